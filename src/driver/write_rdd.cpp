#include "driver/write_rdd.h"

#include <cstdlib>

#include "driver/run_state.h"
#include "merge/rdd_writer.h"
#include "report/record_kinds.h"
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
  record* header = make_rdd_header(report_headers.take(), start_date);

  char* name = checked_strdup(rdd_report_name(dest_value));
  replacement_file file;
  if (!open_replacement(name, &file)) {
    // The tree goes before any fatal end, so that nothing is left behind.
    free_record(header);
    free_objet(merged);
    fail_on("FICNOTOPN", name);
  }
  setvbuf(file.stream, nullptr, _IOFBF, 1 << 20);
  number_duplicate_names(merged);
  write_rdd_records(file.stream, *header, merged);
  free_record(header);
  free_at_exit(merged);
  if (!commit_replacement(&file)) fail_on("FICERROPN", name);
  return name;
}

void release_rdd_report(const char* output_name) {
  free(const_cast<char*>(output_name));
  free_keyword_cells();
}
