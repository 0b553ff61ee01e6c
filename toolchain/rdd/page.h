#pragma once

#include <string>
#include <vector>

#include "alignment.h"
#include "rdd_report.h"
#include "step_results.h"
#include "testers.h"
#include "timeline.h"

// One run as the page shows it.
struct page_input {
  const rdd_report& rdd;
  std::string rdd_name;
  const timeline& lanes;
  const std::vector<tester>& testers;
  const std::vector<clock_alignment>& clocks;
  const std::vector<step_result>& results;
  std::string id = ""; // starts the id of every element, where a page shows two runs
};

// The whole page: one HTML file holding its style, drawing and script.
std::string render_page(const page_input& in);

// The page's head, up to its body, and its end.
void append_page_start(std::string& out, const std::string& title);
void append_page_end(std::string& out);

// Its sections, each appended to `out`.
void append_header(std::string& out, const page_input& in);
void append_timeline(std::string& out, const page_input& in);
void append_alignment_table(std::string& out, const page_input& in);
void append_item_table(std::string& out, const page_input& in);

// Anchor of an ER mark on the timeline, from the record's line.
std::string error_anchor(const page_input& in, uint32_t rdd_line);

// Budgets that keep the page of any report small enough to open: every part
// is bounded in count and in bytes, every text shown in bytes, so that a
// run's page stays under PAGE_BYTES whatever its report holds.
const size_t LANES = 1000;            // as many testers as the merger takes
const size_t NAME_BYTES = 256;        // a name or short text from the report
const size_t LINE_BYTES = 8192;       // a record line shown on hover
const size_t TEXT_BYTES = 1024;       // the text of an ER record
const size_t MARKS_PER_LANE = 5000;   // more cannot be told apart on a screen
const size_t MARKS_PER_PAGE = 30000;
// A record shared by many testers is drawn in each of their lanes with its
// whole line: bytes, not only marks, must be counted.
const size_t MARK_BYTES_PER_PAGE = 14u << 20;
const size_t DENSITY_BINS_PER_PAGE = 200000;
const size_t ERROR_MARKS = 2000;
const size_t ERROR_MARK_BYTES = 2u << 20;
const size_t RENDEZVOUS_LINKS = 2000;
const size_t LINK_BYTES = 2u << 20;
const size_t ERROR_LINKS = 100;
const size_t ITEM_ROWS = 2000;
const size_t ITEM_TABLE_BYTES = 8u << 20;
const size_t PAGE_BYTES = 40u << 20;

extern const char PAGE_STYLE[];
extern const char PAGE_SCRIPT[];
