#include "report/rod_reader.h"

#include <vector>

#include "report/line_pieces.h"
#include "report/numbering.h"
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

// The fields of a line into fields, as read; returns its keyword.
static std::string_view split_fields(std::string_view line, std::vector<field>* fields) {
  fields->clear();
  // Fields are looked for from the third character on, past a two-letter keyword.
  for (size_t s = 2; s < line.size(); ++s) {
    if (line[s] != '"') continue;
    const size_t t = closing_quote(line, s);
    fields->push_back(field::of_text(line.substr(s, t - s + 1)));
    s = t;
  }
  return line.substr(0, keyword_length(line));
}

// Inlined: the reader makes a record of nearly every line.
[[gnu::always_inline]] inline record* record_of(std::string_view keyword, uint32_t row, std::vector<field>* fields,
                                                bool converting, reader_work* done) {
  const bool known = row < KEYWORD_COUNT;
  uint32_t kind = NO_KIND;
  if (converting) {
    // The kind classification stamps, from the same letters.
    const reader_work line_work{.every_kind_stamped = known && keyword_table[row].read,
                                .every_field_converted = !known || convert_fields(row, fields)};
    if (line_work.every_kind_stamped) kind = row;
    if (done) done->take(line_work);
  }
  return make_record(keyword, fields->data(), fields->size(), kind, known && may_grow(row));
}

record* split_line(std::string_view line, std::vector<field>* scratch, bool converting, reader_work* done) {
  const std::string_view keyword = split_fields(line, scratch);
  return record_of(keyword, row_by_letters(keyword), scratch, converting, done);
}

// A line the filter would drop is not made into a record, unless it follows
// a CO record, whose run the filter keeps or drops by the record after it,
// or is too long for a record, which the record's making refuses.
static bool dropped_unmade(std::string_view line, uint32_t row, bool follows_co, uint64_t rows_dropped) {
  static_assert(KEYWORD_COUNT < 63, "a row's bit below NO_ROW's");
  return (rows_dropped >> (row < 63 ? row : 63) & 1) && !follows_co && line.size() <= UINT16_MAX;
}

tree_node* read_records(FILE* stream, file_digest* digest, reader_work* done, int32_t report_number,
                        const report_filter* early_filter) {
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
  const uint64_t rows_dropped = early_filter ? rows_dropped_alone(*early_filter) : 0;
  bool after_co = false;
  // The first line is the report's header, which keeps its fields as read.
  for (bool converting = false; pieces.next(&line); converting = true) {
    const std::string_view keyword = split_fields(line, &fields);
    const uint32_t row = row_by_letters(keyword);
    const bool follows_co = after_co;
    after_co = begins_with(keyword, KIND_CO);
    if (!converting) {
      head = tail = list1(record_of(keyword, row, &fields, false, done));
      continue;
    }
    ++line_number;
    if (dropped_unmade(line, row, follows_co, rows_dropped)) continue;
    record* r = record_of(keyword, row, &fields, true, done);
    if (report_number != NOT_NUMBERED) r->number(report, line_number);
    tree_node* node = make_list(r, nullptr, r->life());
    tail->next = node;
    tail = node;
  }
  if (digest) *digest = pieces.digest();
  return head;
}
