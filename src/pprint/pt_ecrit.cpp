#include "pprint/pt_ecrit.h"

#include <algorithm>
#include <cstring>
#include <vector>

// A record's line is made here and written in one call: printf's parsing
// of a format for every field was a quarter of a run.
namespace {
class line_buffer {
 public:
  void clear() { used_ = 0; }
  // Room for n more characters; returns where they go.
  char* room(size_t n) {
    if (used_ + n > bytes_.size()) bytes_.resize(std::max(bytes_.size() * 2, used_ + n));
    return bytes_.data() + used_;
  }
  void put(const char* text, size_t n) {
    memcpy(room(n), text, n);
    used_ += n;
  }
  void put(char c) {
    *room(1) = c;
    ++used_;
  }
  void write_to(FILE* stream) const { fwrite(bytes_.data(), 1, used_, stream); }

 private:
  std::vector<char> bytes_ = std::vector<char>(4096);
  size_t used_ = 0;
};
}  // namespace

static void put_number(line_buffer& line, int32_t value) {
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
  line.put(p, static_cast<size_t>(end - p));
}

static void put_atom(line_buffer& line, const objet* cell) {
  switch (cell->type) {
    case OBJ_STRING:
      line.put(cell->text, strlen(cell->text));
      line.put(' ');
      break;
    case OBJ_INT:
    case OBJ_LONG:
      put_number(line, cell->value);
      break;
    case OBJ_STREAM:
      line.put("<flux> ", 7);
      break;
    default:
      // Callbacks have no report syntax; nothing is written for them.
      break;
  }
}

// A chain is its items, each chain inside it on a line of its own, then a
// newline; chains wait on a stack of their own, whatever their depth.
static void put_cell(line_buffer& line, objet* cell) {
  if (cell->type != OBJ_LIST) {
    put_atom(line, cell);
    return;
  }
  std::vector<objet*> waiting;
  for (objet* node = cell;;) {
    if (node->item && node->item->type == OBJ_LIST) {
      waiting.push_back(node);
      node = node->item;
      continue;
    }
    if (node->item) put_atom(line, node->item);
    while (!is_list(node->next)) {
      line.put('\n');
      if (waiting.empty()) return;
      node = waiting.back();
      waiting.pop_back();
    }
    node = node->next;
  }
}

void pt_ecrit(objet* out, objet* cell) {
  static line_buffer line;
  line.clear();
  put_cell(line, cell);
  line.write_to(out->stream);
}
