#include "report/time_limits.h"

#include <QString>

#include "messages/emit.h"

// The report number and line number every record read ends with, after the
// fields it was read with.
void read_places::pass(const record& r) {
  const field number = r.at(r.read_fields() + 1);
  const field line = r.at(r.read_fields() + 2);
  if (number.type == field_type::counter && line.type == field_type::counter) last_ = {number.number, line.number + 1};
}

void refuse_time_out_of_range(const char* rod_path, int32_t line) {
  msg_fatal("TIMERANGE", name_arg(rod_path), QString::number(line));
}

void refuse_time_of(const char* rod_path, const record& read) {
  read_places places;
  places.pass(read);
  refuse_time_out_of_range(rod_path, places.last().line);
}
