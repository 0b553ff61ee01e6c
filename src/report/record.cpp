#include "report/record.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "report/node_memory.h"
#include "report/record_kinds.h"
#include "report/report_errors.h"
#include "util/out_of_memory.h"
#include "util/short_copy.h"

namespace {
// An array that grows by doubling from eight items, in memory from malloc
// alone: a run that ends while records are held leaves it to whoever
// releases what malloc gave.
template <typename T>
struct grown_array {
  T* items = nullptr;
  uint32_t size = 0, capacity = 0;

  void append(const T* more, uint32_t n) {
    if (size + n > capacity) {
      capacity = std::max({size + n, capacity * 2, 8u});
      void* moved = realloc(items, size_t{capacity} * sizeof(T));
      if (!moved) out_of_memory();
      items = static_cast<T*>(moved);
    }
    memcpy(items + size, more, size_t{n} * sizeof(T));
    size += n;
  }
  void push(const T& item) { append(&item, 1); }
  void release() { free(items); }
};

struct text_place {
  uint32_t start, length;
};

// Texts set on a growing record after it is made, which its own text has no
// room for, by index.
struct kept_texts {
  grown_array<char> bytes;
  grown_array<text_place> places;

  void release() {
    bytes.release();
    places.release();
    free(this);
  }
};
}  // namespace

// What a growing record gains after it is made, in one block from malloc:
// its tail, a word and a type a position as in the record's own slots, and
// the texts kept beside it. Most grown records are merged ends whose tail
// holds numbers alone, two a report: the block is all they pay.
//
//   [head]         16 bytes, the members below
//   [u32 x capacity]  the tail's words
//   [u8 x capacity]   the tail's types
struct record::extension {
  kept_texts* texts = nullptr;  // none until a text is kept
  uint32_t tail_size = 0;
  uint32_t tail_capacity = 0;

  uint32_t* words() { return reinterpret_cast<uint32_t*>(this + 1); }
  const uint32_t* words() const { return reinterpret_cast<const uint32_t*>(this + 1); }
  uint8_t* types() { return reinterpret_cast<uint8_t*>(words() + tail_capacity); }
  const uint8_t* types() const { return reinterpret_cast<const uint8_t*>(words() + tail_capacity); }
  static size_t bytes_for(uint32_t capacity) { return sizeof(extension) + size_t{capacity} * 5; }

  void release() {
    if (texts) texts->release();
    free(this);
  }
};

record* make_record(std::string_view keyword, const field* fields, size_t count, uint32_t kind, bool growing) {
  size_t text_size = keyword.size();
  for (size_t i = 0; i < count; ++i) text_size += fields[i].text.size();
  // Offsets into the record's own text are 16 bits: no line comes near.
  if (text_size > UINT16_MAX || count > UINT16_MAX) internal_report_error();
  const block_life life = life_of_record(kind, growing);
  // A growing record's link is an aligned word, where a leak checker finds
  // the extension: four bytes more leave room to align it, unless the block
  // is cut in the eight-byte steps of the nodes beside it (until merged).
  const bool eight_byte_steps = life == block_life::until_merged;
  const size_t link_room = growing ? sizeof(record::extension*) + (eight_byte_steps ? 0 : 4) : 0;
  const size_t step = eight_byte_steps ? 8 : 4;
  const size_t size = (link_room + sizeof(record) + count * 5 + text_size + step - 1) & ~(step - 1);
  if (size / 4 > UINT16_MAX) internal_report_error();
  char* memory = static_cast<char*>(take_record_memory(size, life));
  size_t kept = size;  // from the link on, on a growing record
  if (growing) {
    const size_t shift = reinterpret_cast<uintptr_t>(memory) % alignof(record::extension*);
    memory += shift;
    kept -= shift;
    new (memory) record::extension*(nullptr);
  }
  record* r = new (memory + (growing ? sizeof(record::extension*) : 0)) record;
  r->kind_ = static_cast<uint8_t>(kind);
  r->marks_ = static_cast<uint8_t>((growing ? GROWING_MARK : 0) | (eight_byte_steps ? UNTIL_MERGED_MARK : 0));
  r->slots_ = static_cast<uint16_t>(count);
  r->own_ = r->slots_;
  r->keyword_length_ = static_cast<uint16_t>(keyword.size());
  r->words_ = static_cast<uint16_t>(kept / 4);
  char* text = const_cast<char*>(r->text_area());
  copy_short(text, keyword.data(), keyword.size());
  uint32_t used = r->keyword_length_;
  for (size_t i = 0; i < count; ++i) {
    r->types()[i] = static_cast<uint8_t>(fields[i].type);
    r->words()[i] = static_cast<uint32_t>(fields[i].number);
    if (fields[i].is_text()) {
      copy_short(text + used, fields[i].text.data(), fields[i].text.size());
      r->words()[i] = used | static_cast<uint32_t>(fields[i].text.size()) << 16;
      used += static_cast<uint32_t>(fields[i].text.size());
    }
  }
  return r;
}

record* make_record(std::string_view keyword, const std::vector<field>& fields, uint32_t kind, bool growing) {
  return make_record(keyword, fields.data(), fields.size(), kind, growing);
}

record* copy_record(const record& original, std::string_view keyword) {
  std::vector<field> fields;
  fields.reserve(original.slots_);
  for (uint32_t i = 0; i < original.slots_; ++i)
    fields.push_back(original.field_of(original.words()[i], original.types()[i]));
  record* copy = make_record(keyword, fields, original.kind(), original.has(GROWING_MARK));
  copy->marks_ |= original.marks_ & NUMBERED_MARK;
  copy->own_ = original.own_;
  copy->report_ = original.report_;
  copy->line_ = original.line_;
  for (uint32_t position = original.own_ + 1; position <= original.size(); ++position)
    copy->push_tail(copy->kept(original.at(position)));
  return copy;
}

void free_record(record* r) {
  if (r->has(SHARED_MARK)) return;
  char* memory = reinterpret_cast<char*>(r);
  if (r->has(GROWING_MARK)) {
    if (record::extension* grown = r->extension_if_any()) grown->release();
    memory -= sizeof(record::extension*);
  }
  const size_t size = size_t{r->words_} * 4;
  r->~record();
  give_back_record_memory(memory, size);
}

record::extension** record::extension_link() const {
  return reinterpret_cast<extension**>(const_cast<record*>(this)) - 1;
}

record::extension* record::extension_if_any() const { return has(GROWING_MARK) ? *extension_link() : nullptr; }

record::extension& record::extended(uint32_t tail_capacity) {
  if (!has(GROWING_MARK)) internal_report_error();
  extension** link = extension_link();
  if (!*link) {
    void* memory = malloc(extension::bytes_for(tail_capacity));
    if (!memory) out_of_memory();
    *link = new (memory) extension;
    (*link)->tail_capacity = tail_capacity;
  }
  return **link;
}

// The tail grows by doubling from eight positions: a merged end gains two a
// report, and a start at four cost a few testers' runs a second reallocation
// for every merged record (a fiftieth of their instructions), for a
// hundredth less memory on runs of eight testers.
void record::push_tail(word_and_type value) {
  extension* grown = &extended(FIRST_TAIL_CAPACITY);
  if (grown->tail_size == grown->tail_capacity) {
    const uint32_t old_capacity = grown->tail_capacity;
    const uint32_t capacity = std::max(FIRST_TAIL_CAPACITY, old_capacity * 2);
    void* moved = realloc(grown, extension::bytes_for(capacity));
    if (!moved) out_of_memory();
    grown = static_cast<extension*>(moved);
    *extension_link() = grown;
    uint8_t* const old_types = reinterpret_cast<uint8_t*>(grown->words() + old_capacity);
    grown->tail_capacity = capacity;
    memmove(grown->types(), old_types, grown->tail_size);
  }
  grown->words()[grown->tail_size] = value.word;
  grown->types()[grown->tail_size] = value.type;
  ++grown->tail_size;
}

void record::wrong_kind() const { internal_report_error(); }

uint32_t record::tail_size() const {
  const extension* grown = extension_if_any();
  return grown ? grown->tail_size : 0;
}

field record::kept_text(uint32_t index) const {
  const kept_texts* texts = extension_if_any()->texts;
  const text_place place = texts->places.items[index];
  return field::of_text({texts->bytes.items + place.start, place.length});
}

// The numbers and the tail, and nothing at 0 or beyond the end.
field record::beyond_fields(uint32_t position) const {
  if (position == 0) return {};
  if (position <= own_) {
    if (position <= slots_) return field_of(words()[position - 1], types()[position - 1]);
    return number_at(position);
  }
  const extension* grown = extension_if_any();
  const uint32_t in_tail = position - own_ - 1;
  if (!grown || in_tail >= grown->tail_size) return {};
  return field_of(grown->words()[in_tail], grown->types()[in_tail]);
}

void record::number(uint16_t report, int32_t line) {
  set(NUMBERED_MARK);
  report_ = report;
  line_ = line;
  own_ = static_cast<uint16_t>(slots_ + 2);
}

record::word_and_type record::kept(const field& value) {
  if (!value.is_text()) return {static_cast<uint32_t>(value.number), static_cast<uint8_t>(value.type)};
  extension& grown = extended();
  if (!grown.texts) {
    void* memory = malloc(sizeof(kept_texts));
    if (!memory) out_of_memory();
    grown.texts = new (memory) kept_texts;
  }
  kept_texts& texts = *grown.texts;
  texts.places.push({texts.bytes.size, static_cast<uint32_t>(value.text.size())});
  texts.bytes.append(value.text.data(), static_cast<uint32_t>(value.text.size()));
  return {texts.places.size - 1, static_cast<uint8_t>(static_cast<uint8_t>(field_type::text) | KEPT_BESIDE)};
}

// Texts, numbers and the tail: what set_at does not do in place.
void record::set_beyond(uint32_t position, const field& value) {
  if (position == 0 || position > size() || (position > slots_ && position <= own_)) internal_report_error();
  // The text may be one this record keeps beside it: copied before it moves.
  const std::string copy(value.is_text() ? value.text : std::string_view());
  const auto [word, type] = kept(value.is_text() ? field::of_text(copy) : value);
  if (position <= own_) {
    words()[position - 1] = word;
    types()[position - 1] = type;
  } else {
    extension& grown = extended();
    grown.words()[position - own_ - 1] = word;
    grown.types()[position - own_ - 1] = type;
  }
}

void record::hand_tail_to(record* target, uint32_t first) {
  const uint32_t end = size();
  if (first == 0 || first > end) return;
  for (uint32_t position = first; position <= end; ++position) {
    // A text copied now, before this record (which may be target) changes.
    const field value = at(position);
    const std::string text(value.is_text() ? value.text : std::string_view());
    const auto handed = target->kept(value.is_text() ? field::of_text(text) : value);
    target->push_tail(handed);
  }
  if (first <= own_) {
    own_ = static_cast<uint16_t>(first - 1);
    if (extension* grown = extension_if_any()) grown->tail_size = 0;
  } else {
    extended().tail_size = first - own_ - 1;
  }
}
