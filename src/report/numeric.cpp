#include "report/numeric.h"

#include <cstdlib>
#include <string>

#include "report/record_kinds.h"
#include "report/report_errors.h"

int32_t parse_long(std::string_view quoted) {
  if (quoted == "\"??\"") return 0;
  long value = 0;
  if (!quoted.empty() && quoted[0] == '"') {
    // Plain digits, the usual field, are read here; strtol reads the rest,
    // from a copy that ends where the field does.
    size_t digit = 1;
    while (digit < quoted.size() && quoted[digit] >= '0' && quoted[digit] <= '9' && digit <= 18)
      value = value * 10 + (quoted[digit++] - '0');
    if (digit == 1 || (digit < quoted.size() && quoted[digit] >= '0' && quoted[digit] <= '9'))
      value = strtol(std::string(quoted.substr(1)).c_str(), nullptr, 10);
  }
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<unsigned long>(value)));
}

// A record too short for its kind's positions cannot be converted: the
// report is rejected rather than a number taken for a field. The reader
// converts the fields of the records it reads as it goes.
static void convert_record_fields(record* r) {
  for (uint8_t position : facts_of(r->kind()).numeric) {
    if (position == 0) break;
    if (position > r->read_fields()) unexpected_end_of_report();
    if (const field value = r->at(position); value.is_text())
      r->set_number(position, parse_long(value.text));
  }
}

void convert_numeric_fields(objet* report) {
  for (objet* node = report; node; node = node->next) convert_record_fields(node->item.rec());
}
