#include "page.h"

#include "html.h"
#include "output_file.h"
#include "run_view.h"

std::string error_anchor(const page_input& in, uint32_t rdd_line) { return in.id + "er-" + std::to_string(rdd_line); }

std::string trimmed_line(const rdd_report& rdd, const rdd_record& r) {
  std::string_view line = rdd.line_of(r);
  while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
  return clipped(line, LINE_BYTES);
}

std::string step_anchor(const page_input& in, uint32_t ds_line, uint32_t report) {
  return in.id + "step-" + std::to_string(ds_line) + "-" + std::to_string(report);
}

void append_page_start(std::string& out, const std::string& title) {
  out += HTML_OUTPUT_OPENING;
  out += "<title>";
  append_escaped(out, clipped(title, 2 * NAME_BYTES));
  out += "</title>\n<style>";
  out += PAGE_STYLE;
  out += "</style>\n</head>\n<body>\n";
}

void append_collapsed_list(std::string& out, const std::vector<std::string>& lines, size_t count, const std::string& what) {
  const size_t SHOWN = 5;
  if (lines.empty()) return;
  out += "<ul class=\"list\">";
  for (size_t i = 0; i < lines.size() && i < SHOWN; ++i) out += "<li>" + lines[i] + "</li>";
  out += "</ul>";
  if (lines.size() > SHOWN) {
    out += "<details><summary>" + grouped(static_cast<int64_t>(lines.size() - SHOWN)) + " more";
    if (count > lines.size()) out += " of the first " + grouped(static_cast<int64_t>(lines.size()));
    out += " (" + grouped(static_cast<int64_t>(count)) + " " + what + " in all)</summary><ul class=\"list\">";
    for (size_t i = SHOWN; i < lines.size(); ++i) out += "<li>" + lines[i] + "</li>";
    out += "</ul></details>";
  }
}

void append_page_end(std::string& out) {
  out += "<div class=\"hover\" hidden></div>\n<script>";
  out += PAGE_SCRIPT;
  out += "</script>\n</body>\n</html>\n";
}

std::string render_page(const page_input& in) {
  std::string out;
  out.reserve(1 << 20);
  append_page_start(out, in.rdd.plan + " \xE2\x80\x94 " + in.rdd_name);
  page_layout layout = lay_out_page(in);
  std::string items;
  size_t item_rows = append_item_table(items, in);
  append_header(out, in, layout, item_rows);
  append_timeline(out, in, layout);
  append_alignment_table(out, in);
  out += items;
  append_page_end(out);
  return out;
}

page_input page_input_of(const run_view& run, const std::string& id) {
  return {run.rdd, file_name_of(run.path), run.lanes, run.testers, run.clocks, run.results, id};
}
