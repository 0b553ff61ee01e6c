#include "page_file.h"

#include "alignment.h"
#include "output_file.h"
#include "page.h"
#include "rdd_report.h"
#include "step_results.h"
#include "testers.h"
#include "timeline.h"

void write_page_file(const std::string& rdd_path, const std::string& page_path) {
  pending_output page(page_path, {rdd_path});
  rdd_report rdd = read_rdd_report(rdd_path);
  std::vector<tester> testers = testers_of(rdd);
  std::vector<clock_alignment> clocks = align_clocks(rdd, testers);
  timeline lanes = build_timeline(rdd, testers, clocks);
  std::vector<step_result> results = step_results(rdd, lanes, testers);
  page.commit(render_page({rdd, rdd_path.substr(rdd_path.rfind('/') + 1), lanes, testers, clocks, results}));
}
