#include "page_file.h"

#include "output_file.h"
#include "page.h"
#include "run_view.h"

void write_page_file(const std::string& rdd_path, const std::string& page_path) {
  pending_output page(page_path, {rdd_path});
  run_view run = read_run(rdd_path);
  page.commit(render_page(page_input_of(run)));
}
