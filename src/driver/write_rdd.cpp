#include "driver/write_rdd.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "driver/run_state.h"
#include "merge/classify.h"
#include "merge/rdd_writer.h"
#include "messages/emit.h"
#include "util/checked.h"

// A report cut short by a write error must not pass for a complete one.
static void discard_partial_report(const char* name) {
  struct stat status;
  if (lstat(name, &status) == 0 && S_ISREG(status.st_mode)) {
    unlink(name);
  } else if (stat(name, &status) == 0 && S_ISREG(status.st_mode)) {
    // Through a link only the content can go; the fatal message tells the rest.
    int ignored = truncate(name, 0);
    static_cast<void>(ignored);
  }
}

// The cells of the writing go before any fatal end, so that nothing is left
// behind on any road.
static void release_writing(objet* output, objet* name_cell, objet* mode_cell, objet* stream) {
  if (stream) free_objet(stream);
  free_objet(name_cell);
  free_objet(mode_cell);
  free_objet(output);
}

[[noreturn]] static void fail_on(const char* code, char* name) {
  QString shown = QString::fromLocal8Bit(name);
  free(name);
  msg_fatal(code, shown, QString());
}

const char* write_rdd_report(const char* dest_value) {
  objet* output = make_rdd_header(report_header_list, merged_report, start_date);
  report_header_list = nullptr;
  merged_report = nullptr;

  char* name = checked_strdup(dest_value ? dest_value : "mpsrdd.rdd");
  objet* name_cell = make_string(name);
  objet* mode_cell = make_string("w");
  objet* stream = open_stream(name_cell, mode_cell);
  if (!stream) {
    release_writing(output, name_cell, mode_cell, nullptr);
    fail_on("FICNOTOPN", name);
  }

  number_duplicate_names(output);
  write_rdd_records(stream, output);
  bool failed = ferror(stream->stream) || fflush(stream->stream) != 0;
  if (close_stream(stream) != 0) failed = true;
  release_writing(output, name_cell, mode_cell, stream);
  if (failed) {
    discard_partial_report(name);
    fail_on("FICERROPN", name);
  }
  return name;
}

void release_rdd_report(const char* output_name) {
  free(const_cast<char*>(output_name));
  free_keyword_cells();
}
