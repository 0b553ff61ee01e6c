#include "report/rod_reader.h"

#include <vector>

#include "report/line_pieces.h"
#include "report/numeric.h"
#include "report/record_kinds.h"
#include "report/report_errors.h"
#include "report/time_limits.h"

static size_t keyword_length(std::string_view line) {
  size_t end = 0;
  while (end < line.size() && line[end] != '"' && line[end] != '\n') ++end;
  while (end > 0 && line[end - 1] == ' ') --end;
  return end;
}

// Position of the quote that closes the field opened at s; a doubled quote
// stands for one quote character and does not close it.
static size_t closing_quote(std::string_view line, size_t s) {
  for (size_t t = s + 1; t < line.size(); ++t) {
    if (line[t] != '"') continue;
    if (t + 1 == line.size() || line[t + 1] != '"') return t;
    ++t;
  }
  unexpected_end_of_report();
}

// The conversion the kind's numeric fields will get, made now: their text is
// then never kept. A time out of range stays text for that conversion to
// refuse, and a field the record lacks is left for it to report.
static bool convert_fields(uint32_t row, std::vector<field>* fields) {
  bool all_converted = true;
  for (uint8_t position : facts_of(row).numeric) {
    if (position == 0) break;
    if (position > fields->size()) {
      all_converted = false;
      continue;
    }
    field& value = (*fields)[position - 1];
    const int64_t number = parse_number(value.text);
    if (in_time_range(number) || !holds_time(row, position))
      value = field::of_number(low_32_bits(number));
    else
      all_converted = false;
  }
  return all_converted;
}

record* split_line(std::string_view line, std::vector<field>* scratch, bool converting, reader_work* done) {
  std::vector<field>& fields = *scratch;
  fields.clear();
  // Fields are looked for from the third character on, past a two-letter keyword.
  for (size_t s = 2; s < line.size(); ++s) {
    if (line[s] != '"') continue;
    const size_t t = closing_quote(line, s);
    fields.push_back(field::of_text(line.substr(s, t - s + 1)));
    s = t;
  }
  const std::string_view keyword = line.substr(0, keyword_length(line));
  const uint32_t row = row_by_letters(keyword);
  const bool known = row < KEYWORD_COUNT;
  uint32_t kind = NO_KIND;
  if (converting) {
    // The kind classification stamps, from the same letters.
    const reader_work line_work{.every_kind_stamped = known && keyword_table[row].read,
                                .every_field_converted = !known || convert_fields(row, &fields)};
    if (line_work.every_kind_stamped) kind = row;
    if (done) done->take(line_work);
  }
  return make_record(keyword, fields, kind, known && may_grow(row));
}

tree_node* read_records(FILE* stream, file_digest* digest, reader_work* done, int32_t report_number) {
  if (digest) *digest = file_digest{};
  if (done) *done = reader_work{};
  if (feof(stream)) return nullptr;
  line_pieces pieces(stream);
  tree_node* head = nullptr;
  tree_node* tail = nullptr;
  std::string_view line;
  std::vector<field> fields;  // kept from line to line: a report has millions of lines
  // Out of the records' range, the number is refused by numbering's check
  // before anything reads it.
  const auto report = static_cast<uint16_t>(report_number);
  int32_t line_number = 0;
  // The first line is the report's header, which keeps its fields as read.
  for (bool converting = false; pieces.next(&line); converting = true) {
    record* r = split_line(line, &fields, converting, done);
    if (converting && report_number != NOT_NUMBERED) r->number(report, ++line_number);
    tree_node* node = list1(r);
    (tail ? tail->next : head) = node;
    tail = node;
  }
  if (digest) *digest = pieces.digest();
  return head;
}
