#pragma once

#include <string>
#include <unordered_set>
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

struct run_view;
// What the page shows of a run read; id as in page_input.
page_input page_input_of(const run_view& run, const std::string& id = "");

// The whole page: one HTML file holding its style, drawing and script.
std::string render_page(const page_input& in);

// The page's head, up to its body, and its end.
void append_page_start(std::string& out, const std::string& title);
void append_page_end(std::string& out);

// The first few of `lines` (HTML, already escaped), the rest folded away
// under a line that counts them and the `count` of `what` in all.
void append_collapsed_list(std::string& out, const std::vector<std::string>& lines, size_t count, const std::string& what);

// Anchor of an ER mark on the timeline, from the record's line; of a test
// step's mark, from its DS record's line and the tester's report number.
std::string error_anchor(const page_input& in, uint32_t rdd_line);
std::string step_anchor(const page_input& in, uint32_t ds_line, uint32_t report);

// A record's line as a mark's hover text shows it.
std::string trimmed_line(const rdd_report& rdd, const rdd_record& r);

size_t lane_count(const page_input& in);

// How the timeline draws each lane: mark by mark, or as a density band when
// the lane or the page holds too many; notes tell the reader which and why.
struct lane_plan {
  std::vector<std::vector<uint32_t>> marks; // per lane, the marks' positions
  std::vector<bool> density;
  std::vector<std::string> notes;
};
lane_plan plan_lanes(const page_input& in);

// What the page draws of the timeline. ER records and failed steps are drawn
// above everything else, and in density bands too, within budgets, those a
// link points to first.
struct page_layout {
  lane_plan lanes;
  std::vector<verdict> verdicts; // by mark: what a step's mark says of its step
  std::vector<bool> drawn;       // by mark
  std::vector<bool> error_drawn; // by record: its ER mark is drawn
  std::unordered_set<uint64_t> failed_steps_drawn; // DS record and report
};
page_layout lay_out_page(const page_input& in);
bool is_top(const page_layout& layout, uint32_t mark_index, const mark& m);
bool failed_step_drawn(const page_layout& layout, uint32_t ds_record, uint32_t report);

// Its sections, each appended to `out`.
// The banner's links to rows reach the first `item_rows` of the item table.
void append_banner(std::string& out, const page_input& in, const page_layout& layout, size_t item_rows);
void append_header(std::string& out, const page_input& in, const page_layout& layout, size_t item_rows);
void append_timeline(std::string& out, const page_input& in, const page_layout& layout);
void append_timeline(std::string& out, const page_input& in); // lays it out itself
void append_alignment_table(std::string& out, const page_input& in);
size_t append_item_table(std::string& out, const page_input& in); // the rows listed

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
// Each of ER marks and failed steps drawn over density bands.
const size_t ERROR_MARKS = 2000;
const size_t ERROR_MARK_BYTES = 2u << 20;
const size_t RENDEZVOUS_LINKS = 2000;
const size_t LINK_BYTES = 2u << 20;
const size_t ERROR_LINKS = 100;
const size_t FAILURE_LINKS = 100;
const size_t ITEM_TABLE_BYTES = 12u << 20;
const size_t ITEM_ROWS_SHOWN = 100;   // the others until a filter asks for them
const size_t PAGE_BYTES = 40u << 20;

extern const char PAGE_STYLE[];
extern const char PAGE_SCRIPT[];
