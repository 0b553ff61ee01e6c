#pragma once

// Hand-built report trees for the merge and writer tests: records from ROD
// lines, chains of items, and the records of a tree rendered as lines.

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>

#include "merge/classify.h"
#include "merge/numeric.h"
#include "merge/time_points.h"
#include "pprint/pt_ecrit.h"
#include "report/numbering.h"
#include "report/objet.h"
#include "merge/fields.h"
#include "merge/record_walk.h"
#include "support/report_text.h"

// One record read from a ROD line, numbered as line `line` of report `report`,
// classified and converted.
inline objet* rec(const std::string& text, int report = 1, int line = 1) {
  init_keyword_cells();
  init_fixed_time_cell();
  objet* number = make_int(report);
  objet* node = number_records(number, records_from(text + "\n"));
  free_objet(number);
  node_at(node->item, static_cast<int>(node->item->item->count) + 2)->item->value = line;
  classify_records(node);
  convert_numeric_fields(node);
  objet* record = node->item;
  free_cell(node);
  return record;
}

// A chain whose items are the given cells, in order.
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

// A shaped report: first element, body chain, last element.
inline objet* report_tree(objet* first, objet* body, objet* last) {
  return chain({chain({first}), body, chain({last})});
}

// Every record of a tree, one line each, as pt_ecrit writes it.
inline std::string record_lines(objet* tree) {
  char* buffer = nullptr;
  size_t size = 0;
  FILE* memory = open_memstream(&buffer, &size);
  objet* out = new_objet(OBJ_STREAM);
  out->stream = memory;
  auto write = [out](objet* holder) {
    pt_ecrit(out, holder->item);
    return false;
  };
  walk_records(tree, write);
  fclose(memory);
  free_objet(out);
  std::string text(buffer, size);
  free(buffer);
  return text;
}
