#include "rdd_report.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "file_reading.h"
#include "tool_failure.h"
#include "record_kinds.h"

report_line rdd_report::fields_of(const rdd_record& r) const {
  report_line split;
  split_report_line(line_of(r), split);
  return split;
}

bool rdd_report::is_tester(uint32_t report) const {
  return std::binary_search(testers.begin(), testers.end(), report);
}

namespace {

bool is_record_keyword(std::string_view keyword) {
  return keyword.size() == 2 && keyword[0] >= 'A' && keyword[0] <= 'Z' && keyword[1] >= 'A' && keyword[1] <= 'Z';
}

bool is_file_kind(const std::string& text) {
  return text == "RDD file" || text == "ROD file" || text == "RIO file" || text == "TDC file";
}

// The header is the version, the plan, the file kind and the date, counted
// from the end: a ROD header of fewer fields gives no plan (an empty field)
// or its own file kind where the plan belongs, and the plan is then missing.
void read_header(rdd_report& rdd, std::string_view line) {
  report_line header;
  bool split = split_report_line(line, header) && header.keyword == "MIRVA ProbeSuite";
  size_t n = header.fields.size();
  if (!split || n < 2 || header.fields[n - 2] != "\"RDD file\"")
    fail_at(rdd.path, 1, "not an RDD report: the first line is no RDD header");
  rdd.date = field_text(header.fields[n - 1]);
  if (n >= 3) rdd.version = field_text(header.fields[0]);
  for (size_t i = 1; i + 2 < n; ++i) rdd.plan += (i > 1 ? " " : "") + field_text(header.fields[i]);
  if (is_file_kind(rdd.plan)) rdd.plan.clear();
}

// The source record has no tail: its last two fields are the report number
// and 0, where a tail's line number is never 0.
bool read_source_record(rdd_report& rdd, const report_line& split, uint32_t line) {
  if (split.keyword != "CF" || split.fields.size() != 7 || field_number(split.fields[6]) != 0) return false;
  std::optional<int64_t> report = field_number(split.fields[5]);
  std::optional<int64_t> size = field_number(split.fields[3]);
  std::optional<int64_t> crc = field_number(split.fields[4]);
  if (!report || *report < 1 || *report > UINT32_MAX || !size || !crc) return false;
  rdd.sources.push_back({static_cast<uint32_t>(*report), line, field_text(split.fields[0]),
                         field_text(split.fields[1]), field_text(split.fields[2]), *size, *crc});
  rdd.origins.push_back({static_cast<uint32_t>(*report), 0});
  return true;
}

bool read_origins(rdd_report& rdd, const report_line& split, size_t from) {
  size_t count = split.fields.size() - from;
  if (count < 2 || count % 2) return false;
  size_t first = rdd.origins.size();
  for (size_t i = from; i < split.fields.size(); i += 2) {
    std::optional<int64_t> report = field_number(split.fields[i]);
    std::optional<int64_t> line = field_number(split.fields[i + 1]);
    if (!report || !line || *report < 1 || *line < 1 || *report > UINT32_MAX || *line > UINT32_MAX) {
      rdd.origins.resize(first);
      return false;
    }
    rdd.origins.push_back({static_cast<uint32_t>(*report), static_cast<uint32_t>(*line)});
  }
  return true;
}

// Records of merged blocks carry one (report, line) pair per tester after a
// fixed number of fields; any other record ends with exactly one pair.
size_t read_tail(rdd_report& rdd, const report_line& split, uint32_t line) {
  int prefix = shared_prefix_of(split.keyword);
  if (prefix >= 0 && static_cast<size_t>(prefix) < split.fields.size() && read_origins(rdd, split, prefix))
    return prefix;
  if (split.fields.size() >= 2 && read_origins(rdd, split, split.fields.size() - 2)) return split.fields.size() - 2;
  fail_at(rdd.path, line, "record without its report and line numbers");
}

struct open_block {
  std::string_view closing;
  uint32_t line;
  std::string_view opening;
};

// The merger writes blocks as its tree holds them, and a report whose
// constructs interleave (a DT block opened inside a DS block and closed
// after it, say) gives a tree whose closing records do not pair with its
// opening ones. A closing record closes the nearest open block of its kind,
// and one that closes none is passed over; either tells that the report
// interleaves.
void check_nesting(std::vector<open_block>& open, bool& interleaved, std::string_view keyword, uint32_t line) {
  if (opens_kept_block(keyword)) {
    open.push_back({closing_keyword_of(keyword), line, keyword});
    return;
  }
  if (!closes_kept_block(keyword)) return;
  auto closed = std::find_if(open.rbegin(), open.rend(), [&](const open_block& b) { return b.closing == keyword; });
  if (closed != open.rbegin()) interleaved = true;
  if (closed != open.rend()) open.erase(std::prev(closed.base()), open.end());
}

void find_testers(rdd_report& rdd) {
  for (const rdd_record& r : rdd.records)
    if (written_whole(r.keyword())) rdd.testers.push_back(rdd.report_of(r));
  std::sort(rdd.testers.begin(), rdd.testers.end());
  rdd.testers.erase(std::unique(rdd.testers.begin(), rdd.testers.end()), rdd.testers.end());
  for (rdd_record& r : rdd.records) {
    const origin* o = rdd.origins_of(r);
    r.stray = !std::all_of(o, o + r.origins_count, [&](const origin& each) { return rdd.is_tester(each.report); });
  }
}

// A report is a regular file, or standard input: a FIFO or device named
// as a report would hang the reader or never end.
std::string read_report_text(const std::string& path) {
  if (path == "-") return read_standard_input();
  std::optional<std::string> text = read_regular_file(path);
  if (!text) fail_on(path, "no regular file: give a report as a file, or - for standard input");
  return std::move(*text);
}

} // namespace

namespace {

// The line a byte offset of text falls on, from 1.
uint32_t line_at(const std::string& text, size_t offset) {
  uint32_t n = 1;
  for (size_t i = 0; i < offset; ++i) n += text[i] == '\n';
  return n;
}

// The text of a whole report, refused unless it can be one.
void check_report_text(const std::string& path, const std::string& text) {
  if (text.empty()) fail_on(path, "empty file, not an RDD report");
  if (text.size() >= UINT32_MAX) fail_on(path, "too large: 4 GiB at most");
  size_t nul = text.find('\0');
  if (nul != std::string::npos) fail_at(path, line_at(text, nul), "binary data, not an RDD report");
}

// One record line, split, at its line number; its text from begin.
rdd_record record_of(rdd_report& rdd, const report_line& split, size_t begin, size_t length, uint32_t at) {
  rdd_record record{};
  record.line = at;
  record.text_begin = static_cast<uint32_t>(begin);
  record.text_length = static_cast<uint32_t>(length);
  record.key[0] = split.keyword[0];
  record.key[1] = split.keyword[1];
  record.origins_begin = static_cast<uint32_t>(rdd.origins.size());
  size_t before_tail = read_source_record(rdd, split, at) ? split.fields.size() : read_tail(rdd, split, at);
  record.fields_before_tail = static_cast<uint16_t>(before_tail > UINT16_MAX ? UINT16_MAX : before_tail);
  record.origins_count = static_cast<uint32_t>(rdd.origins.size() - record.origins_begin);
  unsigned time_field = time_field_of(split.keyword);
  if (time_field && time_field <= before_tail) {
    std::optional<uint32_t> time = field_time(split.fields[time_field - 1]);
    if (!time) fail_at(rdd.path, at, "time field " + std::to_string(time_field) + " is no number");
    record.timed = true;
    record.time = *time;
  }
  return record;
}

} // namespace

rdd_report read_rdd_report(const std::string& path) {
  rdd_report rdd;
  rdd.path = path;
  rdd.text = read_report_text(path);
  const std::string& text = rdd.text;
  check_report_text(path, text);
  size_t header_end = text.find('\n');
  read_header(rdd, std::string_view(text).substr(0, header_end));
  if (text.back() != '\n') fail_at(path, line_at(text, text.size()), "the last line is cut short (no line end)");

  std::vector<open_block> open;
  bool interleaved = false;
  report_line split;
  uint32_t line = 1;
  for (size_t begin = header_end + 1; begin < text.size(); ++line) {
    size_t end = text.find('\n', begin);
    std::string_view content = std::string_view(text).substr(begin, end - begin);
    uint32_t at = line + 1;
    if (!split_report_line(content, split)) fail_at(path, at, "field without its closing quote");
    if (!is_record_keyword(split.keyword)) fail_at(path, at, "line without a record keyword");
    rdd.records.push_back(record_of(rdd, split, begin, content.size(), at));
    check_nesting(open, interleaved, split.keyword, at);
    begin = end + 1;
  }
  // A report whose blocks nest well and stop early was cut short at a line
  // end; one that interleaves may leave blocks open by itself.
  if (!open.empty() && !interleaved)
    fail_at(path, open.back().line, std::string(open.back().opening) + " block never closed: the report is cut short");
  find_testers(rdd);
  return rdd;
}
