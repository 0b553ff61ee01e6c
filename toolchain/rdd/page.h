#pragma once

#include <string>
#include <vector>

#include "alignment.h"
#include "rdd_report.h"
#include "testers.h"
#include "timeline.h"

struct page_input {
  const rdd_report& rdd;
  std::string rdd_name;
  const timeline& lanes;
  const std::vector<tester>& testers;
  const std::vector<clock_alignment>& clocks;
};

// The whole page: one HTML file holding its style, drawing and script.
std::string render_page(const page_input& in);

// Its sections, each appended to `out`.
void append_header(std::string& out, const page_input& in);
void append_timeline(std::string& out, const page_input& in);
void append_alignment_table(std::string& out, const page_input& in);
void append_item_table(std::string& out, const page_input& in);

// Anchor of an ER mark on the timeline, from the record's line.
std::string error_anchor(uint32_t rdd_line);

// Budgets that keep a page of a huge report small enough to open.
const size_t MARKS_PER_LANE = 5000;   // more cannot be told apart on a screen
const size_t MARKS_PER_PAGE = 30000;
// A record shared by many testers is drawn in each of their lanes with its
// whole line: bytes, not only marks, must be counted.
const size_t MARK_BYTES_PER_PAGE = 14u << 20;
const size_t ERROR_MARKS = 2000;
const size_t RENDEZVOUS_LINKS = 2000;
const size_t ERROR_LINKS = 100;
const size_t ITEM_ROWS = 2000;

extern const char PAGE_STYLE[];
extern const char PAGE_SCRIPT[];
