#pragma once

// Builds reports from ROD text or by hand, and renders their shape or their
// records as lines, for the report, merge and writer tests.

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
#include "report/numbering.h"
#include "report/objet.h"
#include "report/rod_reader.h"

// records_from: text read as a ROD report would be read.
// kinded_records: read, each keyword cell with the kind of its first two
//   letters, closing keywords included, as the tree passes see records.
// classified_records: read, numbered as report `report` and classified; with
//   convert, the numeric fields also become long cells.
// rec: one record of a ROD line, as line `line` of report `report`.
// chain: a chain of the given items; report_tree: a shaped report.
// stream_text: what a writer puts on a stream cell.
// record_lines: every record of a tree, one line each, as pt_ecrit writes it.
// shape: the keywords of a chain, blocks and groups in parentheses, empty
//   items as "-", e.g. "XX (EV CH FV) ((XI YI) (DS FS))".
// keyword_cell: keyword cell of a record made by a pass, with its kind.

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

inline void append_shape(objet* chain, std::string* out) {
  for (objet* node = chain; is_list(node); node = node->next) {
    if (node != chain) *out += ' ';
    objet* item = node->item;
    if (!item) {
      *out += '-';
    } else if (is_record(item)) {
      *out += item->item->text;
    } else if (is_list(item)) {
      *out += '(';
      append_shape(item, out);
      *out += ')';
    } else {
      *out += '?';
    }
  }
}

inline std::string shape(objet* chain) {
  std::string out;
  append_shape(chain, &out);
  return out;
}

inline objet* keyword_cell(const char* keyword, uint32_t kind) {
  objet* cell = make_string(keyword);
  cell->kind = kind;
  return cell;
}

inline objet* rec(const std::string& text, int report = 1, int line = 1) {
  objet* node = classified_records(text + "\n", true, report);
  node_at(node->item, static_cast<int>(node->item->item->count) + 2)->item->value = line;
  objet* record = node->item;
  free_cell(node);
  return record;
}

inline objet* chain(std::initializer_list<objet*> items) {
  objet* head = nullptr;
  objet* tail = nullptr;
  for (objet* item : items) {
    objet* node = list1(item);
    if (tail)
      tail->next = node;
    else
      head = node;
    tail = node;
  }
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
