#include "html.h"
#include "page.h"

namespace {

// The fields of the first record with this keyword, before its tail.
std::string first_fields(const rdd_report& rdd, std::string_view keyword) {
  for (const rdd_record& r : rdd.records) {
    if (r.keyword() != keyword) continue;
    report_line split = rdd.fields_of(r);
    std::string text;
    for (size_t i = 0; i < r.fields_before_tail && i < split.fields.size(); ++i)
      text += (i ? " \xC2\xB7 " : "") + field_text(split.fields[i]);
    return text;
  }
  return std::string();
}

void fact(std::string& out, const char* term, const std::string& text, size_t bytes = 4 * NAME_BYTES) {
  if (text.empty()) return;
  out += "<dt>";
  out += term;
  out += "</dt><dd>";
  append_escaped(out, clipped(text, bytes));
  out += "</dd>\n";
}

void append_errors(std::string& out, const page_input& in, const page_layout& layout) {
  size_t count = 0;
  for (const rdd_record& r : in.rdd.records) count += r.keyword() == "ER" && !r.stray;
  out += "<dt>Incorrect scenarios</dt><dd class=\"errors\" id=\"" + in.id + "errors\" data-count=\"" + std::to_string(count) + "\">";
  if (count == 0) out += "none";
  else out += grouped(static_cast<int64_t>(count)) + " ER record" + (count > 1 ? "s" : "");
  std::vector<std::string> lines;
  for (uint32_t i = 0; i < in.rdd.records.size() && lines.size() < ERROR_LINKS; ++i) {
    const rdd_record& r = in.rdd.records[i];
    if (r.keyword() != "ER" || r.stray) continue;
    const tester& t = in.testers[tester_index(in.testers, in.rdd.report_of(r))];
    report_line split = in.rdd.fields_of(r);
    std::string text;
    for (size_t f = 1; f < r.fields_before_tail && f < split.fields.size(); ++f)
      text += (f > 1 ? " \xC2\xB7 " : "") + field_text(split.fields[f]);
    std::string line = layout.error_drawn[i] ? "<a href=\"#" + error_anchor(in, r.line) + "\">" : "";
    append_escaped(line, clipped(lane_name(t), NAME_BYTES));
    line += (layout.error_drawn[i] ? "</a>, line " : ", line ") + std::to_string(r.line) + ": ";
    append_escaped(line, clipped(text, TEXT_BYTES));
    lines.push_back(std::move(line));
  }
  append_collapsed_list(out, lines, count, "ER records");
  out += "</dd>\n";
}

} // namespace

void append_header(std::string& out, const page_input& in, const page_layout& layout, size_t item_rows) {
  out += "<header>\n<h1>";
  append_escaped(out, clipped(in.rdd.plan, NAME_BYTES));
  out += " <small>merged test run</small></h1>\n";
  append_banner(out, in, layout, item_rows);
  out += "<dl class=\"facts\">\n";
  fact(out, "RDD report", in.rdd_name);
  fact(out, "Date", in.rdd.date);
  fact(out, "Run", first_fields(in.rdd, "RE"));
  fact(out, "Under test", first_fields(in.rdd, "IT"));
  const size_t NAMED_TESTERS = 50;
  std::string testers;
  for (size_t i = 0; i < in.testers.size() && i < NAMED_TESTERS; ++i) {
    const tester& t = in.testers[i];
    testers += (testers.empty() ? "" : ", ") + clipped(lane_name(t), NAME_BYTES);
    if (!t.description.empty()) testers += " (" + clipped(t.description, NAME_BYTES) + ")";
  }
  if (in.testers.size() > NAMED_TESTERS) testers += " and " + grouped(static_cast<int64_t>(in.testers.size() - NAMED_TESTERS)) + " more";
  fact(out, "Testers", std::to_string(in.testers.size()) + ": " + testers, 2 * NAMED_TESTERS * NAME_BYTES);
  fact(out, "Records", grouped(static_cast<int64_t>(in.rdd.records.size())));
  append_errors(out, in, layout);
  out += "</dl>\n</header>\n";
}
