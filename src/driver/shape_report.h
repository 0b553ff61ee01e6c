#pragma once

// One ROD report from its file to the shaped tree a merge takes: read,
// numbered, filtered, classified, evaluated, closed, nested, pruned and
// regrouped.

#include "report/tree_node.h"
#include "util/crc16.h"

// The header lines of the ROD reports read, in reading order. A report's
// joins at the end, which is kept: a run of many reports does not walk the
// chain once per report.
class record_chain {
 public:
  // A chain of one node, at the end.
  void push(tree_node* node);
  tree_node* head() const { return head_; }
  // The chain, which the caller takes; this one is left empty.
  tree_node* take();

 private:
  tree_node* head_ = nullptr;
  tree_node* last_ = nullptr;
};

// Reads the ROD report at rod_path as report number report_number, sets its
// header record aside on headers and returns its shaped tree:
// numbered, filtered (by the time filter when time_variant), classified, evaluated,
// closed, nested, pruned and regrouped; with read, the size and CRC-16 of
// the bytes read.
tree_node* shape_report(const char* rod_path, int report_number, bool time_variant, record_chain* headers,
                    file_digest* read = nullptr);
