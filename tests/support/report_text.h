#pragma once

// Builds reports from ROD text or by hand, and renders their shape or their
// records as lines, for the report, merge and writer tests. A shape shows
// blocks and groups in parentheses and empty items as "-", e.g.
// "XX (EV CH FV) ((XI YI) (DS FS))".

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>

#include "merge/shapes.h"
#include "merge/fields.h"
#include "merge/numeric.h"
#include "merge/record_walk.h"
#include "merge/time_points.h"
#include "pprint/pt_ecrit.h"
#include "report/nesting.h"
#include "report/numbering.h"
#include "report/objet.h"
#include "report/rod_reader.h"

inline objet* records_from(const std::string& text) {
  std::string copy = text;
  FILE* file = copy.empty() ? fopen("/dev/null", "r") : fmemopen(copy.data(), copy.size(), "r");
  objet* stream = new_objet(OBJ_STREAM);
  stream->stream = file;
  objet* records = read_records(stream);
  close_stream(stream);
  free_objet(stream);
  return records;
}

// Each keyword cell with the kind of its first two letters, closing keywords
// included, as the tree passes see records.
inline objet* kinded_records(const std::string& text) {
  objet* records = records_from(text);
  for (objet* node = records; node; node = node->next) {
    objet* keyword = node->item->item;
    for (uint32_t kind = 0; kind < KEYWORD_COUNT; ++kind) {
      if (begins_with(keyword, kind)) keyword->kind = kind;
    }
  }
  return records;
}

// Numbered as report `report` and classified; with convert, the numeric
// fields also become long cells.
inline objet* classified_records(const std::string& text, bool convert = true, int report = 1) {
  init_keyword_cells();
  init_fixed_time_cell();
  objet* number = make_int(report);
  objet* records = number_records(number, records_from(text));
  free_objet(number);
  classify_records(records);
  if (convert) convert_numeric_fields(records);
  return records;
}

inline std::string shape(objet* chain) {
  std::string out;
  for (objet* node = chain; is_list(node); node = node->next) {
    objet* item = node->item;
    if (node != chain) out += ' ';
    out += !item ? "-" : is_record(item) ? std::string(item->item->text) : is_list(item) ? "(" + shape(item) + ")" : "?";
  }
  return out;
}

inline objet* keyword_cell(const char* keyword, uint32_t kind) {
  objet* cell = make_string(keyword);
  cell->kind = kind;
  return cell;
}

// One record of a ROD line, as line `line` of report `report`.
inline objet* rec(const std::string& text, int report = 1, int line = 1) {
  objet* node = classified_records(text + "\n", true, report);
  node_at(node->item, static_cast<int>(node->item->item->count) + 2)->item->value = line;
  objet* record = node->item;
  free_cell(node);
  return record;
}

// The chain nested into blocks and sections, as the report passes nest it.
inline objet* nested_chain(objet* chain) {
  report_top top(chain);
  return nest_blocks(&top);
}

inline objet* chain(std::initializer_list<objet*> items) {
  objet* head = nullptr;
  for (objet* item : items) head = head ? (append(head, list1(item)), head) : list1(item);
  return head;
}

inline objet* report_tree(objet* first, objet* body, objet* last) {
  return chain({chain({first}), body, chain({last})});
}

// What `write` puts on a stream cell, as text.
template <typename Write>
std::string stream_text(Write write) {
  char* buffer = nullptr;
  size_t size = 0;
  objet* out = new_objet(OBJ_STREAM);
  out->stream = open_memstream(&buffer, &size);
  write(out);
  fclose(out->stream);
  free_objet(out);
  std::string text(buffer, size);
  free(buffer);
  return text;
}

inline std::string record_lines(objet* tree) {
  return stream_text([tree](objet* out) {
    auto write = [out](objet* holder) {
      pt_ecrit(out, holder->item);
      return false;
    };
    walk_records(tree, write);
  });
}
