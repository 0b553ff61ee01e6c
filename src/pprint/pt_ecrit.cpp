#include "pprint/pt_ecrit.h"

#include <cstring>
#include <string>
#include <vector>

// A record's line is made here and written in one call: printf's parsing
// of a format for every field was a quarter of a run.

static void append_number(std::string& line, int32_t value) {
  char digits[12];
  char* end = digits + sizeof digits;
  char* p = end;
  uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  do {
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude);
  if (value < 0) *--p = '-';
  line += '"';
  line.append(p, end);
  line += "\" ";
}

static void append_atom(std::string& line, const objet* cell) {
  switch (cell->type) {
    case OBJ_STRING:
      line.append(cell->text, strlen(cell->text));
      line += ' ';
      break;
    case OBJ_INT:
    case OBJ_LONG:
      append_number(line, cell->value);
      break;
    case OBJ_STREAM:
      line += "<flux> ";
      break;
    default:
      // Callbacks have no report syntax; nothing is written for them.
      break;
  }
}

// A chain is its items, each chain inside it on a line of its own, then a
// newline; chains wait on a stack of their own, whatever their depth.
static void append_cell(std::string& line, objet* cell) {
  if (cell->type != OBJ_LIST) {
    append_atom(line, cell);
    return;
  }
  std::vector<objet*> waiting;
  for (objet* node = cell;;) {
    if (node->item && node->item->type == OBJ_LIST) {
      waiting.push_back(node);
      node = node->item;
      continue;
    }
    if (node->item) append_atom(line, node->item);
    while (!is_list(node->next)) {
      line += '\n';
      if (waiting.empty()) return;
      node = waiting.back();
      waiting.pop_back();
    }
    node = node->next;
  }
}

void pt_ecrit(objet* out, objet* cell) {
  static std::string line;
  line.clear();
  append_cell(line, cell);
  fwrite(line.data(), 1, line.size(), out->stream);
}
