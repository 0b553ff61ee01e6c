#pragma once

// Builds reports from ROD text or by hand, and renders their shape or their
// records as lines, for the report, merge and writer tests. A shape shows
// blocks and groups in parentheses and empty items as "-", e.g.
// "XX (EV CH FV) ((XI YI) (DS FS))".

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>

#include "pprint/pt_ecrit.h"
#include "report/nesting.h"
#include "report/numbering.h"
#include "report/numeric.h"
#include "report/tree_node.h"
#include "report/record_kinds.h"
#include "report/record_walk.h"
#include "report/rod_reader.h"
#include "report/shapes.h"
#include "report/time_points.h"

inline tree_node* records_from(const std::string& text, reader_work* done = nullptr,
                               int32_t report_number = NOT_NUMBERED, const report_filter* early_filter = nullptr) {
  std::string copy = text;
  FILE* file = copy.empty() ? fopen("/dev/null", "r") : fmemopen(copy.data(), copy.size(), "r");
  tree_node* records = read_records(file, nullptr, done, report_number, early_filter);
  fclose(file);
  return records;
}

// Each record with the kind of its first two letters, closing keywords
// included, as the tree passes see records.
inline tree_node* kinded_records(const std::string& text) {
  tree_node* records = records_from(text);
  for (tree_node* node = records; node; node = node->next) {
    record* r = node->item.rec();
    for (uint32_t kind = 0; kind < KEYWORD_COUNT; ++kind) {
      if (begins_with(r->keyword(), kind)) r->set_kind(kind);
    }
  }
  return records;
}

// Numbered as report `report` and classified; with convert, the numeric
// fields are numbers too.
inline tree_node* classified_records(const std::string& text, bool convert = true, int report = 1) {
  init_keyword_records();
  tree_node* records = number_records(report, records_from(text));
  classify_records(records);
  if (convert) convert_numeric_fields(records, "");
  return records;
}

inline std::string shape(tree_node* chain) {
  std::string out;
  for (tree_node* node = chain; node; node = node->next) {
    if (node != chain) out += ' ';
    const tree_item item = node->item;
    out += item.empty() ? "-" : item.is_record() ? std::string(item.rec()->keyword()) : "(" + shape(item.list()) + ")";
  }
  return out;
}

// One record of a ROD line, as line `line` of report `report`.
inline record* rec(const std::string& text, int report = 1, int line = 1) {
  tree_node* node = classified_records(text + "\n", true, report);
  record* r = node->item.rec();
  r->number(static_cast<uint16_t>(report), line);
  node->item = nullptr;
  free_tree(node);
  return r;
}

// The chain nested into blocks and sections, as the report passes nest it.
inline tree_node* nested_chain(tree_node* chain) {
  report_top top(chain, "");
  return nest_blocks(&top);
}

inline tree_node* chain(std::initializer_list<tree_item> items) {
  tree_node* head = nullptr;
  for (tree_item item : items) head = head ? (append(head, list1(item)), head) : list1(item);
  return head;
}

inline tree_node* report_tree(tree_item first, tree_node* body, tree_item last) {
  return chain({chain({first}), body, chain({last})});
}

// What `write` puts on a stream, as text.
template <typename Write>
std::string stream_text(Write write) {
  char* buffer = nullptr;
  size_t size = 0;
  FILE* out = open_memstream(&buffer, &size);
  write(out);
  fclose(out);
  std::string text(buffer, size);
  free(buffer);
  return text;
}

inline std::string record_lines(tree_node* tree) {
  return stream_text([tree](FILE* out) {
    auto write = [out](tree_node* holder) {
      pt_ecrit(out, *holder->item.rec());
      return false;
    };
    walk_records(tree, write);
  });
}
