#include "pprint/pt_ecrit.h"

#include <algorithm>
#include <cstring>
#include <vector>

// A record's line is made here and handed to stdio whole (in 4 KiB pieces
// when longer): printf's parsing of a format for every field was a quarter
// of a run.
namespace {
// A fixed array, flushed when full: a buffer the heap gave would outlive
// the run that made it.
class line_buffer {
 public:
  explicit line_buffer(FILE* stream) : stream_(stream) {}
  ~line_buffer() { flush(); }
  line_buffer(const line_buffer&) = delete;
  line_buffer& operator=(const line_buffer&) = delete;
  void put(const char* text, size_t n) {
    while (n > 0) {
      if (used_ == sizeof bytes_) flush();
      const size_t taken = std::min(n, sizeof bytes_ - used_);
      memcpy(bytes_ + used_, text, taken);
      used_ += taken;
      text += taken;
      n -= taken;
    }
  }
  void put(char c) { put(&c, 1); }

 private:
  void flush() {
    fwrite(bytes_, 1, used_, stream_);
    used_ = 0;
  }
  FILE* stream_;
  size_t used_ = 0;
  char bytes_[4096];
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
  line_buffer line(out->stream);
  put_cell(line, cell);
}
