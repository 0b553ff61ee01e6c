#include "driver/shape_report.h"

#include <QString>

#include "driver/run_state.h"
#include "merge/shapes.h"
#include "merge/numeric.h"
#include "merge/time_points.h"
#include "messages/emit.h"
#include "report/closing.h"
#include "report/nesting.h"
#include "report/numbering.h"
#include "report/regroup.h"
#include "report/report_errors.h"
#include "report/rod_reader.h"

static objet* read_report_file(const char* rod_path, objet* read_mode_cell, file_digest* read) {
  objet* path = make_string(rod_path);
  objet* stream = open_stream(path, read_mode_cell);
  if (!stream) msg_fatal("FICNOTOPN", name_arg(rod_path), QString());
  objet* records = read_records(stream, read);
  // A read error is not the end of the report: what was read is not all of it.
  const bool unreadable = ferror(stream->stream);
  close_stream(stream);
  free_objet(stream);
  free_objet(path);
  if (unreadable) msg_fatal("FICNOTOPN", name_arg(rod_path), QString());
  return records;
}

// A report without even its header line has nothing to set aside.
static objet* set_header_aside(objet* records) {
  if (!records) unexpected_end_of_report();
  objet* rest = records->next;
  records->next = nullptr;
  report_headers.push(records);
  return rest;
}

objet* shape_report(const char* rod_path, int report_number, objet* read_mode_cell, bool time_variant,
                    file_digest* read) {
  objet* records = set_header_aside(read_report_file(rod_path, read_mode_cell, read));
  objet* number = make_int(report_number);
  number_records(number, records);
  free_objet(number);
  objet* report = filter_report(records, time_variant ? FILTER_B : FILTER_A);
  classify_records(report);
  convert_numeric_fields(report);
  insert_time_points(report);
  report_top top(report);
  add_closing_records(&top);
  report = nest_blocks(&top);
  report = prune_blocks(report);
  regroup_all(report);
  return report;
}
