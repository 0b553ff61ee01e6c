#include "driver/shape_report.h"

#include <QString>

#include "messages/emit.h"
#include "report/closing.h"
#include "report/nesting.h"
#include "report/numbering.h"
#include "report/numeric.h"
#include "report/record_kinds.h"
#include "report/regroup.h"
#include "report/report_errors.h"
#include "report/rod_reader.h"
#include "report/time_points.h"
#include "util/out_of_memory.h"

static tree_node* read_report_file(const char* rod_path, int report_number, report_filter filter, file_digest* read,
                                   reader_work* done) {
  FILE* stream = open_file(rod_path, "r");
  if (!stream) msg_fatal("FICNOTOPN", name_arg(rod_path), QString());
  tree_node* records = read_records(stream, read, done, report_number, &filter);
  // A read error is not the end of the report: what was read is not all of it.
  const bool unreadable = ferror(stream);
  fclose(stream);
  if (unreadable) msg_fatal("FICNOTOPN", name_arg(rod_path), QString());
  return records;
}

// A report without even its header line has nothing to set aside.
static tree_node* set_header_aside(tree_node* records, record_chain* headers) {
  if (!records) unexpected_end_of_report();
  tree_node* rest = records->next;
  records->next = nullptr;
  headers->push(records);
  return rest;
}

void record_chain::push(tree_node* node) {
  (last_ ? last_->next : head_) = node;
  last_ = node;
}

tree_node* record_chain::take() {
  tree_node* chain = head_;
  head_ = last_ = nullptr;
  return chain;
}

tree_node* shape_report(const char* rod_path, int report_number, bool time_variant, record_chain* headers,
                    file_digest* read) {
  // The reader numbers the records as it makes them, and makes none of those
  // the filter drops by their keyword alone; the number is checked where
  // numbering would have checked it.
  const report_filter filter = time_variant ? report_filter::time_filter : report_filter::default_filter;
  reader_work done;
  tree_node* records = set_header_aside(read_report_file(rod_path, report_number, filter, read, &done), headers);
  held_report_number(report_number);
  tree_node* report = filter_report(records, filter);
  if (!done.every_kind_stamped) classify_records(report);
  if (!done.every_field_converted) convert_numeric_fields(report, rod_path);
  insert_time_points(report);
  report_top top(report, rod_path);
  add_closing_records(&top);
  report = nest_blocks(&top);
  report = prune_blocks(report);
  regroup_all(report);
  return report;
}
