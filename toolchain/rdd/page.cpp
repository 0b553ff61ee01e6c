#include "page.h"

#include "html.h"
#include "output_file.h"

std::string error_anchor(const page_input& in, uint32_t rdd_line) { return in.id + "er-" + std::to_string(rdd_line); }

void append_page_start(std::string& out, const std::string& title) {
  out += HTML_OUTPUT_OPENING;
  out += "<title>";
  append_escaped(out, clipped(title, 2 * NAME_BYTES));
  out += "</title>\n<style>";
  out += PAGE_STYLE;
  out += "</style>\n</head>\n<body>\n";
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
  append_header(out, in);
  append_timeline(out, in);
  append_alignment_table(out, in);
  append_item_table(out, in);
  append_page_end(out);
  return out;
}
