#include "report/numeric.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "report/record_kinds.h"
#include "report/report_errors.h"
#include "report/time_limits.h"

int64_t parse_number(std::string_view quoted) {
  if (quoted.size() == 4 && quoted[0] == '"' && quoted[1] == '?' && quoted[2] == '?' && quoted[3] == '"') return 0;
  long value = 0;
  if (!quoted.empty() && quoted[0] == '"') {
    // Plain digits, the usual field, are read here; strtol reads the rest,
    // from a copy that ends where the field does.
    size_t digit = 1;
    const size_t end = std::min(quoted.size(), size_t{19});  // 18 digits at most: no overflow
    while (digit < end && static_cast<unsigned char>(quoted[digit] - '0') < 10)
      value = value * 10 + (quoted[digit++] - '0');
    if (digit == 1 || (digit < quoted.size() && quoted[digit] >= '0' && quoted[digit] <= '9'))
      value = strtol(std::string(quoted.substr(1)).c_str(), nullptr, 10);
  }
  return value;
}

bool holds_time(uint32_t kind, uint32_t position) {
  const kind_facts& facts = facts_of(kind);
  return position == facts.time_field || position == facts.matched_time;
}

// A record too short for its kind's positions cannot be converted: the
// report is rejected rather than a number taken for a field. The reader
// converts the fields of the records it reads as it goes, but for a time
// out of range, which it leaves to this pass: the record may yet be
// filtered out, and here its report is known.
static void convert_record_fields(record* r, const char* rod_path) {
  for (uint8_t position : facts_of(r->kind()).numeric) {
    if (position == 0) break;
    if (position > r->read_fields()) unexpected_end_of_report();
    const field value = r->at(position);
    if (!value.is_text()) continue;
    const int64_t number = parse_number(value.text);
    if (holds_time(r->kind(), position) && !in_time_range(number)) refuse_time_of(rod_path, *r);
    r->set_number(position, low_32_bits(number));
  }
}

void convert_numeric_fields(tree_node* report, const char* rod_path) {
  for (tree_node* node = report; node; node = node->next) convert_record_fields(node->item.rec(), rod_path);
}
