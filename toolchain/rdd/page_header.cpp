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

void fact(std::string& out, const char* term, const std::string& text) {
  if (text.empty()) return;
  out += "<dt>";
  out += term;
  out += "</dt><dd>";
  append_escaped(out, text);
  out += "</dd>\n";
}

void append_errors(std::string& out, const page_input& in) {
  size_t count = 0;
  for (const rdd_record& r : in.rdd.records) count += r.keyword() == "ER";
  out += "<dt>Incorrect scenarios</dt><dd class=\"errors\" data-count=\"" + std::to_string(count) + "\">";
  if (count == 0) out += "none";
  else out += grouped(static_cast<int64_t>(count)) + " ER record" + (count > 1 ? "s" : "") + "<ul>";
  size_t listed = 0;
  for (const rdd_record& r : in.rdd.records) {
    if (r.keyword() != "ER" || listed == ERROR_LINKS) continue;
    ++listed;
    const tester& t = in.testers[tester_index(in.testers, in.rdd.report_of(r))];
    report_line split = in.rdd.fields_of(r);
    out += "<li><a href=\"#" + error_anchor(r.line) + "\">";
    append_escaped(out, lane_name(t));
    out += "</a>, line " + std::to_string(r.line) + ": ";
    std::string text;
    for (size_t i = 1; i < r.fields_before_tail && i < split.fields.size(); ++i)
      text += (i > 1 ? " \xC2\xB7 " : "") + field_text(split.fields[i]);
    append_escaped(out, text);
    out += "</li>";
  }
  if (count) out += "</ul>";
  if (listed < count) out += "<p>and " + grouped(static_cast<int64_t>(count - listed)) + " more</p>";
  out += "</dd>\n";
}

} // namespace

void append_header(std::string& out, const page_input& in) {
  out += "<header>\n<h1>";
  append_escaped(out, in.rdd.plan);
  out += " <small>merged test run</small></h1>\n<dl class=\"facts\">\n";
  fact(out, "RDD report", in.rdd_name);
  fact(out, "Date", in.rdd.date);
  fact(out, "Run", first_fields(in.rdd, "RE"));
  fact(out, "Under test", first_fields(in.rdd, "IT"));
  std::string testers;
  for (const tester& t : in.testers) {
    testers += (testers.empty() ? "" : ", ") + lane_name(t);
    if (!t.description.empty()) testers += " (" + t.description + ")";
  }
  fact(out, "Testers", std::to_string(in.testers.size()) + ": " + testers);
  fact(out, "Records", grouped(static_cast<int64_t>(in.rdd.records.size())));
  append_errors(out, in);
  out += "</dl>\n</header>\n";
}
