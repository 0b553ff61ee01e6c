#pragma once

// What the merge needs to know of an incoming report before it aligns it,
// learnt in one walk: its clock records, where they stand, and which of its
// blocks hold no rendezvous (marked as they are passed).

#include <vector>

#include "report/tree_node.h"

struct report_survey {
  std::vector<record*> clocks;          // SY records whose keyword is exactly SY, in document order
  std::vector<record*> first_clocks;    // the SY records of the first section
  std::vector<record*> last_clocks;     // of the last section
  bool body_has_clock = false;          // the body holds an SY record
};

// Marks the report's blocks without RD record (see rendezvous_marks.h) and
// surveys its clocks.
report_survey survey_report(tree_node* report);
