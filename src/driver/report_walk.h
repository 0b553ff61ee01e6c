#pragma once

// The main phase of a run: every ROD report read, shaped and merged, in the
// order of the RIO files on the command line.

#include "driver/run_plan.h"
#include "driver/shape_report.h"
#include "report/tree_node.h"

// The merged tree, every time settled, and the header lines of the ROD
// reports read, in reading order.
struct merged_run {
  tree_node* tree;
  record_chain headers;
};

// Reads, shapes and merges every tester's ROD report, in report order.
merged_run walk_reports(const run_plan& plan);
