#include "pprint/pt_ecrit.h"

#include <algorithm>
#include <cstring>
#include <vector>

// A record's fields are formatted here and handed to stdio a buffer at a
// time: printf's parsing of a format for every field was a quarter of a run.
void cell_printer::flush() {
  fwrite(bytes_, 1, used_, stream_);
  used_ = 0;
}

void cell_printer::put(const char* text, size_t n) {
  while (n > 0) {
    if (used_ == sizeof bytes_) flush();
    const size_t taken = std::min(n, sizeof bytes_ - used_);
    memcpy(bytes_ + used_, text, taken);
    used_ += taken;
    text += taken;
    n -= taken;
  }
}

void cell_printer::put_number(int32_t value) {
  char digits[14];
  char* end = digits + sizeof digits;
  char* p = end;
  *--p = ' ';
  *--p = '"';
  uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  do {
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude);
  if (value < 0) *--p = '-';
  *--p = '"';
  put(p, static_cast<size_t>(end - p));
}

void cell_printer::put_atom(const objet* cell) {
  switch (cell->type) {
    case OBJ_STRING: {
      const size_t n = strlen(cell->text);
      if (sizeof bytes_ - used_ > n) {
        memcpy(bytes_ + used_, cell->text, n);
        bytes_[used_ + n] = ' ';
        used_ += n + 1;
      } else {
        put(cell->text, n);
        put(" ", 1);
      }
      break;
    }
    case OBJ_INT:
    case OBJ_LONG:
      put_number(cell->value);
      break;
    case OBJ_STREAM:
      put("<flux> ", 7);
      break;
    default:
      // Callbacks have no report syntax; nothing is written for them.
      break;
  }
}

// A chain is its items, each chain inside it on a line of its own, then a
// newline; chains wait on a stack of their own, whatever their depth.
void cell_printer::print(objet* cell) {
  if (cell->type != OBJ_LIST) {
    put_atom(cell);
    return;
  }
  std::vector<objet*> waiting;
  for (objet* node = cell;;) {
    if (node->item && node->item->type == OBJ_LIST) {
      waiting.push_back(node);
      node = node->item;
      continue;
    }
    if (node->item) put_atom(node->item);
    while (!is_list(node->next)) {
      put("\n", 1);
      if (waiting.empty()) return;
      node = waiting.back();
      waiting.pop_back();
    }
    node = node->next;
  }
}

void pt_ecrit(objet* out, objet* cell) {
  cell_printer printer(out);
  printer.print(cell);
}
