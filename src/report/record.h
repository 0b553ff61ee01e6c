#pragma once

// A record as every pass holds it: its kind, its keyword and its fields, in
// one allocation with their text. Positions count from 1, the keyword being
// no field. A record read from a ROD report is numbered: its report and line
// numbers stand as two more positions after its fields. The ends of merged
// test items and steps grow a tail: the positions other reports' records
// hand them, after their own.
//
// One allocation, in four-byte words, eight-byte aligned on a growing record:
//
//   [extension*]  only on a growing record: its extension, or null
//   [head]        16 bytes, the members below
//   [u32 x n]     a word per slot: a number, or where its text lies
//   [u8 x n]      a type per slot: field_type, and KEPT_BESIDE
//   [text]        the keyword, then every text slot's bytes
//   [pad]         up to the next four-byte word
//
// n is slots_. The extension holds what a growing record gains after it is
// made: texts kept beside it and its tail.

#include <cstdint>
#include <string_view>
#include <vector>

#include "report/node_memory.h"

enum class field_type : uint8_t {
  none,     // trimmed by the writer, or beyond the record's end
  text,     // a quoted field as read, its quotes and doubled quotes kept
  number,   // a field converted to a number, or a number a pass made
  counter,  // a report or line number given by numbering
};

// What one position holds; a text stays valid while its record is unchanged.
struct field {
  field_type type = field_type::none;
  int32_t number = 0;
  std::string_view text;

  bool is_text() const { return type == field_type::text; }
  bool is_number() const { return type == field_type::number; }
  bool is_numeric() const { return type == field_type::number || type == field_type::counter; }
  bool text_is(std::string_view quoted) const { return is_text() && text == quoted; }

  static field of_text(std::string_view quoted) { return {field_type::text, 0, quoted}; }
  static field of_number(int32_t value) { return {field_type::number, value, {}}; }
};

// A field named for the records of some kinds (a bit per kind): a record
// of another kind has no such field, and asking it for one is an internal
// error, where a bare position would read whatever stands there.
template <uint64_t Kinds>
struct field_name {
  uint8_t position;
};

// Marks that passes leave on records.
enum record_mark : uint8_t {
  DROPPED_MARK = 1,   // the report filter drops the record
  NO_RD_MARK = 2,     // on a block's opening record: no RD record anywhere in the block
  NUMBERED_MARK = 4,  // read from a report and numbered
  SHARED_MARK = 8,    // one of the shared keyword records: no tree owns it
  GROWING_MARK = 16,  // made with room to gain texts and a tail later
  UNTIL_MERGED_MARK = 32,  // cut where the ends that merge away are (see node_memory.h)
};

// The kind of a record before classification, and of records of no kind.
constexpr uint8_t NO_KIND = 0xFE;

class record {
 public:
  record(const record&) = delete;
  record& operator=(const record&) = delete;

  uint32_t kind() const { return kind_; }
  void set_kind(uint32_t kind) { kind_ = static_cast<uint8_t>(kind); }
  std::string_view keyword() const { return {text_area(), keyword_length_}; }

  bool has(record_mark mark) const { return marks_ & mark; }
  block_life life() const { return has(UNTIL_MERGED_MARK) ? block_life::until_merged : block_life::whole_run; }
  void set(record_mark mark) { marks_ |= mark; }
  void clear(record_mark mark) { marks_ &= static_cast<uint8_t>(~mark); }

  // The fields as read, on a numbered record; none on a record a pass made.
  uint32_t read_fields() const { return has(NUMBERED_MARK) ? slots_ : 0; }
  // Whether the record holds the numbers of where it was read: it was
  // numbered, and has not handed them to a merged record's tail.
  bool holds_numbers() const { return has(NUMBERED_MARK) && own_ >= slots_ + 2u; }
  int32_t report_number() const { return report_; }
  int32_t line_number() const { return line_; }  // after the header line, 0 for the first
  // Positions held: fields, report and line numbers, then the tail.
  uint32_t size() const { return own_ + (has(GROWING_MARK) ? tail_size() : 0); }
  // What a position holds: nothing at 0 or beyond the end. Inlined wherever
  // asked: walks ask it for a field or two of every record.
  [[gnu::always_inline]] field at(uint32_t position) const {
    if (position - 1 < slots_ && position <= own_) return field_of(words()[position - 1], types()[position - 1]);
    return beyond_fields(position);
  }

  template <uint64_t Kinds>
  field at(field_name<Kinds> name) const {
    check_kind(Kinds);
    return at(name.position);
  }

  // Numbering: the report and line numbers join as two positions.
  void number(uint16_t report, int32_t line);
  // A field within size() takes a new value; the numbers stay as given. A
  // text only goes where the record was made growing.
  void set_at(uint32_t position, const field& value) {
    if (!value.is_text() && position - 1 < slots_ && position <= own_) {
      words()[position - 1] = static_cast<uint32_t>(value.number);
      types()[position - 1] = static_cast<uint8_t>(value.type);
    } else {
      set_beyond(position, value);
    }
  }
  void set_number(uint32_t position, int32_t value) { set_at(position, field::of_number(value)); }
  template <uint64_t Kinds>
  void set_at(field_name<Kinds> name, const field& value) {
    check_kind(Kinds);
    set_at(name.position, value);
  }
  template <uint64_t Kinds>
  void set_number(field_name<Kinds> name, int32_t value) {
    set_at(name, field::of_number(value));
  }

  // Every position in order, as at() gives it: f(field).
  template <typename F>
  void each(F f) const {
    const uint32_t fields = slots_ < own_ ? slots_ : own_;
    for (uint32_t i = 0; i < fields; ++i) f(field_of(words()[i], types()[i]));
    uint32_t position = fields + 1;
    // The report and line numbers without a call each: the writer asks for
    // them on every record.
    for (; position <= own_; ++position) f(number_at(position));
    for (const uint32_t end = size(); position <= end; ++position) f(beyond_fields(position));
  }
  // The positions from first on, when there are any, leave this record, which
  // ends before them, and join the end of target's tail (target growing).
  void hand_tail_to(record* target, uint32_t first);

  struct extension;

 private:
  friend record* make_record(std::string_view, const field*, size_t, uint32_t, bool);
  friend void free_record(record*);
  friend record* copy_record(const record&, std::string_view);
  record() = default;

  // A field is a word and a byte: the word holds a number, or where the
  // text starts in the record's own text (low half) and its length (high
  // half), or, for a text kept beside the record, its index there.
  enum : uint8_t { TYPE = 3, KEPT_BESIDE = 4 };
  uint32_t* words() { return reinterpret_cast<uint32_t*>(this + 1); }
  const uint32_t* words() const { return reinterpret_cast<const uint32_t*>(this + 1); }
  uint8_t* types() { return reinterpret_cast<uint8_t*>(words() + slots_); }
  const uint8_t* types() const { return reinterpret_cast<const uint8_t*>(words() + slots_); }
  const char* text_area() const { return reinterpret_cast<const char*>(types() + slots_); }
  // A growing record's extension, made when first needed, is found just
  // before its head: most records never grow and pay nothing for it.
  extension** extension_link() const;
  extension* extension_if_any() const;
  field field_of(uint32_t word, uint8_t type) const {
    const auto kind = static_cast<field_type>(type & TYPE);
    if (kind != field_type::text) return {kind, static_cast<int32_t>(word), {}};
    if (type & KEPT_BESIDE) return kept_text(word);
    return field::of_text({text_area() + (word & 0xFFFF), word >> 16});
  }
  field kept_text(uint32_t index) const;
  // The report or line number at a position past the slots, within own_.
  field number_at(uint32_t position) const {
    return {field_type::counter, position == slots_ + 1u ? int32_t{report_} : line_, {}};
  }
  void check_kind(uint64_t kinds) const {
    if (kind_ >= 64 || !(kinds >> kind_ & 1)) wrong_kind();
  }
  [[noreturn]] void wrong_kind() const;
  void set_beyond(uint32_t position, const field& value);
  field beyond_fields(uint32_t position) const;
  uint32_t tail_size() const;
  // The word and byte of a value, a text being kept beside the record.
  struct word_and_type {
    uint32_t word;
    uint8_t type;
  };
  word_and_type kept(const field& value);
  // Made with room for tail_capacity positions of tail when first needed.
  extension& extended(uint32_t tail_capacity = 0);
  static constexpr uint32_t FIRST_TAIL_CAPACITY = 8;
  void push_tail(word_and_type value);

  uint8_t kind_ = NO_KIND;        // the row of the vocabulary, once classified
  uint8_t marks_ = 0;              // record_mark bits
  uint16_t slots_ = 0;             // fields held in the record's own slots
  uint16_t own_ = 0;               // positions of the record itself: its slots, then its numbers
  uint16_t keyword_length_ = 0;    // bytes of the keyword, first in the text
  uint16_t report_ = 0;            // numbered: the report it was read from
  uint16_t words_ = 0;             // the memory held, in four-byte words, from the extension link on
  int32_t line_ = 0;               // numbered: its line after the header line (0 for the first)
};
static_assert(sizeof(record) == 16, "a record's head costs 16 bytes");

// A new record: the keyword, then the fields, texts copied, of the kind
// given; growing when it may gain texts or a tail later.
record* make_record(std::string_view keyword, const field* fields, size_t count, uint32_t kind = NO_KIND,
                    bool growing = false);
record* make_record(std::string_view keyword, const std::vector<field>& fields, uint32_t kind = NO_KIND,
                    bool growing = false);
// A copy under another keyword, with its numbers and tail and no marks but
// the numbering's.
record* copy_record(const record& original, std::string_view keyword);
void free_record(record* r);
