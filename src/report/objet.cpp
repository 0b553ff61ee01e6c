#include "report/objet.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "messages/emit.h"
#include "util/checked.h"
#include "util/out_of_memory.h"

[[noreturn]] static void internal_error() { msg_fatal("ERRINTERN", QString(), QString()); }

// Cells and middle-sized texts come in slabs and freed ones wait on a free
// list: a report holds millions of each, and one malloc apiece would cost half
// as much again in allocator overhead. Sanitizer builds keep one malloc each,
// so that a use after free is still caught.
namespace {
struct slot_pool {
  size_t slot_size;
  void* free_slots;  // slots given back
  char* unused;      // the current slab's slots never taken yet
  char* end;
};
slot_pool cell_pool = {sizeof(objet), nullptr, nullptr, nullptr};
const size_t TEXT_SLOT = 16;  // bytes of a text slot, the NUL included
slot_pool text_pool = {TEXT_SLOT, nullptr, nullptr, nullptr};
}  // namespace

#if defined(__SANITIZE_ADDRESS__)
#define CELLS_FROM_MALLOC 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CELLS_FROM_MALLOC 1
#endif
#endif

#if defined(CELLS_FROM_MALLOC)
static void* take_slot(slot_pool* pool) { return checked_malloc(pool->slot_size); }
static void give_back_slot(slot_pool*, void* slot) { free(slot); }
#else
const size_t SLAB_SIZE = 2u << 20;

// A slab is one huge page where the system offers them on request: a large
// run touches hundreds of megabytes, and a fault per 4 KiB page costs more
// than the cells' own work.
static char* new_slab() {
  const size_t size = SLAB_SIZE;
  void* slab = aligned_alloc(size, size);
  if (!slab) slab = checked_malloc(size);
#if defined(MADV_HUGEPAGE)
  madvise(slab, size, MADV_HUGEPAGE);
#endif
  return static_cast<char*>(slab);
}

// Every slab stays reachable, so that a tree left to the end of the process
// is memory the process takes with it, not a leak; never destroyed, since
// static destructors run before the leak checkers look.
static std::vector<char*>& slabs = *new std::vector<char*>;

static void* take_slot(slot_pool* pool) {
  if (void* slot = pool->free_slots) {
    pool->free_slots = *static_cast<void**>(slot);
    return slot;
  }
  if (pool->unused == pool->end) {
    pool->unused = new_slab();
    slabs.push_back(pool->unused);
    pool->end = pool->unused + SLAB_SIZE / pool->slot_size * pool->slot_size;
  }
  void* slot = pool->unused;
  pool->unused += pool->slot_size;
  return slot;
}

static void give_back_slot(slot_pool* pool, void* slot) {
  *static_cast<void**>(slot) = pool->free_slots;
  pool->free_slots = slot;
}
#endif

objet* new_objet(uint32_t type) {
  auto* o = static_cast<objet*>(take_slot(&cell_pool));
  o->type = type;
  o->flags = 0;
  o->kind = 1;
  o->count = 0;
  o->length = 0;
  o->next = nullptr;
  o->item = nullptr;
  return o;
}

objet* make_list(objet* item, objet* next) {
  objet* node = new_objet(OBJ_LIST);
  node->item = item;
  node->next = next;
  return node;
}

objet* new_node() { return make_list(nullptr, nullptr); }

static objet* chain_of(std::initializer_list<objet*> items) {
  objet* head = nullptr;
  objet** link = &head;
  for (objet* item : items) {
    *link = make_list(item, nullptr);
    link = &(*link)->next;
  }
  return head;
}

objet* list1(objet* a) { return chain_of({a}); }
objet* list2(objet* a, objet* b) { return chain_of({a, b}); }
objet* list8(objet* a, objet* b, objet* c, objet* d, objet* e, objet* f, objet* g, objet* h) {
  return chain_of({a, b, c, d, e, f, g, h});
}

objet* make_string(const char* text, uint32_t length) {
  objet* s = new_objet(OBJ_STRING);
  size_t size = static_cast<size_t>(length) + 1;
  if (size <= sizeof s->short_text)
    s->text = s->short_text;
  else
    s->text = static_cast<char*>(size <= TEXT_SLOT ? take_slot(&text_pool) : checked_malloc(size));
  memcpy(s->text, text, length);
  s->text[length] = '\0';
  s->length = length;
  return s;
}

objet* make_string(const char* text) { return make_string(text, static_cast<uint32_t>(strlen(text))); }

objet* make_int(int32_t v) {
  objet* o = new_objet(OBJ_INT);
  o->value = v;
  return o;
}

objet* make_long(int32_t v) {
  objet* o = new_objet(OBJ_LONG);
  o->value = v;
  return o;
}

objet* make_function(objet_function f) {
  objet* o = new_objet(OBJ_FUNCTION);
  o->function = f;
  return o;
}

objet* make_stream(FILE* stream) {
  objet* s = new_objet(OBJ_STREAM);
  s->stream = stream;
  return s;
}

objet* open_stream(objet* name, objet* mode) {
  FILE* stream = open_file(name->text, mode->text);
  return stream ? make_stream(stream) : nullptr;
}

int close_stream(objet* s) {
  int result = fclose(s->stream);
  s->stream = nullptr;
  return result;
}

objet* last_node(objet* chain) {
  while (chain->next) chain = chain->next;
  return chain;
}

objet* append(objet* chain, objet* tail) {
  objet* last = last_node(chain);
  last->next = tail;
  return last;
}

objet* insert_after(objet* node, objet* chain) {
  objet* old_successor = node->next;
  node->next = nullptr;
  append(node, chain);
  objet* inserted_last = last_node(chain);
  inserted_last->next = old_successor;
  return inserted_last;
}

objet* nest_range(objet* first, objet* last) {
  objet* run = first->next;
  objet* holder = make_list(run, last->next);
  last->next = nullptr;
  first->next = holder;
  return holder;
}

void free_cell(objet* o) {
  switch (o->type) {
    case OBJ_STRING:
      if (o->text == o->short_text) break;
      if (static_cast<size_t>(o->length) + 1 <= TEXT_SLOT)
        give_back_slot(&text_pool, o->text);
      else
        free(o->text);
      break;
    case OBJ_LIST:
    case OBJ_INT:
    case OBJ_LONG:
    case OBJ_STREAM:
    case OBJ_FUNCTION:
      break;
    default:
      internal_error();
  }
  give_back_slot(&cell_pool, o);
}

namespace {
// Cells waiting for release, last in first out. Most releases are of one
// record, a level or two: those never touch the heap.
class release_stack {
 public:
  void push(objet* cell) {
    if (near_ < sizeof near_cells_ / sizeof *near_cells_)
      near_cells_[near_++] = cell;
    else
      far_.push_back(cell);
  }
  bool empty() const { return near_ == 0 && far_.empty(); }
  objet* pop() {
    if (far_.empty()) return near_cells_[--near_];
    objet* cell = far_.back();
    far_.pop_back();
    return cell;
  }

 private:
  objet* near_cells_[32];
  size_t near_ = 0;
  std::vector<objet*> far_;
};
}  // namespace

// Iterative over both links, so that neither long chains nor deep trees can
// exhaust the stack.
void free_objet(objet* o) {
  release_stack pending;
  pending.push(o);
  while (!pending.empty()) {
    objet* cell = pending.pop();
    while (cell) {
      objet* next = nullptr;
      if (cell->type == OBJ_LIST) {
        next = cell->next;
        if (cell->item) pending.push(cell->item);
      }
      free_cell(cell);
      cell = next;
    }
  }
}

#if defined(CELLS_FROM_MALLOC)
void free_at_exit(objet* tree) { free_objet(tree); }
#else
void free_at_exit(objet*) {}
#endif

objet* drop_first(objet* chain) {
  objet* rest = chain->next;
  chain->next = nullptr;
  free_objet(chain);
  return rest;
}

static objet* copy_atom(objet* o) {
  objet* copy;
  switch (o->type) {
    case OBJ_STRING:
      copy = make_string(o->text, o->length);
      break;
    case OBJ_INT:
    case OBJ_LONG:
      copy = new_objet(o->type);
      copy->value = o->value;
      break;
    case OBJ_FUNCTION:
      copy = make_function(o->function);
      break;
    default:
      internal_error();
  }
  copy->kind = o->kind;
  copy->count = o->count;
  return copy;
}

objet* copy_objet(objet* o) {
  if (o->type != OBJ_LIST) return copy_atom(o);
  objet* copy = make_list(o->item, o->next);
  copy->kind = o->kind;
  copy->count = o->count;
  return copy;
}

objet* deep_copy(objet* o) {
  objet* head = nullptr;
  objet** link = &head;
  while (o) {
    if (o->type != OBJ_LIST) {
      *link = copy_atom(o);
      break;
    }
    objet* copy = make_list(nullptr, nullptr);
    copy->kind = o->kind;
    copy->count = o->count;
    *link = copy;
    copy->item = deep_copy(o->item);
    link = &copy->next;
    o = o->next;
  }
  return head;
}

// The first characters decide most comparisons without a call.
bool equal_string(const objet* a, const objet* b) {
  if (a->length != b->length) return false;
  if (a->length == 0) return true;
  return a->text[0] == b->text[0] && strncmp(a->text, b->text, a->length) == 0;
}

objet* parse_long(const char* text, uint32_t length) {
  if (length == 4 && memcmp(text, "\"??\"", 4) == 0 && text[4] == '\0') return make_long(0);
  long value = 0;
  if (length >= 1 && text[0] == '"') {
    // As sscanf's "%ld" after the opening quote: blanks, sign, digits; the
    // 64-bit result keeps its low 32 bits. No number reads as 0. Plain
    // digits, the usual field, are read here; strtol reads the rest.
    const char* digit = text + 1;
    while (*digit >= '0' && *digit <= '9' && digit - text <= 18) value = value * 10 + (*digit++ - '0');
    if (digit == text + 1 || (*digit >= '0' && *digit <= '9')) value = strtol(text + 1, nullptr, 10);
  }
  return make_long(static_cast<int32_t>(static_cast<uint32_t>(static_cast<unsigned long>(value))));
}
