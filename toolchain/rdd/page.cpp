#include "page.h"

#include "html.h"

std::string error_anchor(uint32_t rdd_line) { return "er-" + std::to_string(rdd_line); }

std::string render_page(const page_input& in) {
  std::string out;
  out.reserve(1 << 20);
  out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>";
  append_escaped(out, in.rdd.plan + " \xE2\x80\x94 " + in.rdd_name);
  out += "</title>\n<style>";
  out += PAGE_STYLE;
  out += "</style>\n</head>\n<body>\n";
  append_header(out, in);
  append_timeline(out, in);
  append_alignment_table(out, in);
  append_item_table(out, in);
  out += "<script>";
  out += PAGE_SCRIPT;
  out += "</script>\n</body>\n</html>\n";
  return out;
}
