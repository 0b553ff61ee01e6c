#pragma once

// The cell every report is made of, and its primitives: making, linking,
// copying, comparing and releasing cells; the removal mark.

#include <cstdint>
#include <cstdio>

// The one cell of all report data: a list node linking cells into chains and
// trees, or an atom (string, number, stream, callback).
enum objet_type : uint32_t {
  OBJ_LIST = 1,
  OBJ_STRING = 2,
  OBJ_INT = 3,
  OBJ_LONG = 4,
  OBJ_STREAM = 5,
  OBJ_FUNCTION = 6,
};

struct objet;
using objet_function = void (*)(objet* argument);

// REMOVAL_MARK: set by the filter on the records it drops. The
// other bits of `flags`, from OWNER_MARK on, belong to whichever step owns
// the cell's structure (see merge/rendezvous_marks.h).
enum { REMOVAL_MARK = 1, OWNER_MARK = 2 };

// 24 bytes: a report holds millions of cells. A string of up to 7 characters
// is kept in the cell itself, its text pointing at `short_text`, so a cell is
// never copied by value.
struct objet {
  uint8_t type : 4;
  uint8_t flags : 4;  // REMOVAL_MARK, and marks of the owner
  uint8_t kind;       // role code: record kind on keyword cells, 2/3 on number cells
  uint16_t count;     // on a keyword cell: the number of fields as read
  uint32_t length;    // OBJ_STRING
  union {
    objet* next;              // OBJ_LIST
    int32_t value;            // OBJ_INT, OBJ_LONG
    FILE* stream;             // OBJ_STREAM
    objet_function function;  // OBJ_FUNCTION
    char short_text[8];       // OBJ_STRING
  };
  union {
    objet* item;  // OBJ_LIST
    char* text;   // OBJ_STRING, length + 1 bytes, NUL-terminated
  };
};
static_assert(sizeof(objet) == 24, "cells are packed: every byte counts a million times over");

inline bool is_list(const objet* o) { return o && o->type == OBJ_LIST; }
inline bool is_string(const objet* o) { return o && o->type == OBJ_STRING; }
inline bool is_number(const objet* o) { return o && (o->type == OBJ_INT || o->type == OBJ_LONG); }
inline bool is_marked(const objet* o) { return o->flags & REMOVAL_MARK; }
inline void mark_for_removal(objet* o) { o->flags |= REMOVAL_MARK; }

// Construction
objet* new_objet(uint32_t type);
objet* make_list(objet* item, objet* next);
objet* new_node();
objet* list1(objet* a);
objet* list2(objet* a, objet* b);
objet* list8(objet* a, objet* b, objet* c, objet* d, objet* e, objet* f, objet* g, objet* h);
objet* make_string(const char* text, uint32_t length);
objet* make_string(const char* text);  // up to the NUL
objet* make_int(int32_t v);
objet* make_long(int32_t v);
objet* make_function(objet_function f);
objet* make_stream(FILE* stream);  // the cell does not own the stream
objet* open_stream(objet* name, objet* mode);
int close_stream(objet* s);

// List operations
objet* last_node(objet* chain);
objet* append(objet* chain, objet* tail);
objet* insert_after(objet* node, objet* chain);
objet* nest_range(objet* first, objet* last);

// Release
void free_objet(objet* o);
// For a tree the run needs no more when only its end is left: where cells
// come from slabs, the tree stays in them and goes with the process, which
// a walk over millions of cells would only delay; sanitizer builds, whose
// cells come from malloc, release it cell by cell.
void free_at_exit(objet* tree);
void free_cell(objet* o);
// Frees the first node of a chain (and its item); returns the rest.
objet* drop_first(objet* chain);

// Copy and comparison
objet* copy_objet(objet* o);
objet* deep_copy(objet* o);
bool equal_string(const objet* a, const objet* b);

// A quoted field ("-12", "??") as a new OBJ_LONG; text holds length
// characters and a NUL after them, as a cell's text does.
objet* parse_long(const char* text, uint32_t length);
