#include "report/time_limits.h"

#include <QString>

#include "messages/emit.h"

void read_places::pass(const record& r) {
  if (r.holds_numbers()) last_ = {r.report_number(), r.line_number() + 1};
}

void refuse_time_out_of_range(const char* rod_path, int32_t line) {
  msg_fatal("TIMERANGE", name_arg(rod_path), QString::number(line));
}

void refuse_time_of(const char* rod_path, const record& read) {
  read_places places;
  places.pass(read);
  refuse_time_out_of_range(rod_path, places.last().line);
}
