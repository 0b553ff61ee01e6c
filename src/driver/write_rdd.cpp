#include "driver/write_rdd.h"

#include <cstdlib>

#include "driver/run_state.h"
#include "merge/rdd_writer.h"
#include "merge/record_kinds.h"
#include "messages/emit.h"
#include "util/checked.h"
#include "util/replacement_file.h"

[[noreturn]] static void fail_on(const char* code, char* name) {
  QString shown = name_arg(name);
  free(name);
  msg_fatal(code, shown, QString());
}

const char* rdd_report_name(const char* dest_value) { return dest_value ? dest_value : "mpsrdd.rdd"; }

const char* write_rdd_report(const char* dest_value, objet* merged) {
  objet* output = make_rdd_header(report_headers.take(), merged, start_date);

  char* name = checked_strdup(rdd_report_name(dest_value));
  replacement_file file;
  if (!open_replacement(name, &file)) {
    // The cells go before any fatal end, so that nothing is left behind.
    free_objet(output);
    fail_on("FICNOTOPN", name);
  }
  setvbuf(file.stream, nullptr, _IOFBF, 1 << 20);
  objet* stream = make_stream(file.stream);
  number_duplicate_names(output);
  write_rdd_records(stream, output);
  free_objet(stream);
  free_at_exit(output);
  if (!commit_replacement(&file)) fail_on("FICERROPN", name);
  return name;
}

void release_rdd_report(const char* output_name) {
  free(const_cast<char*>(output_name));
  free_keyword_cells();
}
