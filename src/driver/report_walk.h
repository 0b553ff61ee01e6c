#pragma once

// The main phase of a run: every ROD report read, shaped and merged, in the
// order of the RIO files on the command line.

#include <cstddef>

#include "driver/run_plan.h"
#include "driver/shape_report.h"
#include "merge/time_shift.h"
#include "report/tree_node.h"

// The merged tree, with the shift its times owe, and the header lines of
// the ROD reports read, in reading order.
struct merged_run {
  owing_tree tree;
  record_chain headers;
};

// Reads, shapes and merges every tester's ROD report, in report order. With
// more than one thread, the next reports are read and shaped on the others
// while one is merged; what the run shows and writes is the same, an error
// in a report showing when the merge reaches that report.
merged_run walk_reports(const run_plan& plan, size_t threads);

// The threads a run reads and shapes with: MPSMERGE_THREADS when it is a
// number from 1 to MAX_THREADS, else the processors the run may use, at
// most DEFAULT_THREADS.
enum { MAX_THREADS = 64, DEFAULT_THREADS = 4 };
size_t reading_threads();
