#include "report/record.h"

#include <new>
#include <string>

#include "report/cell_memory.h"
#include "report/report_errors.h"

// What a growing record gains after it is made, kept beside it: texts set
// later (the record's own text has no room for them) and the tail.
struct record::extension {
  std::string texts;
  std::vector<slot> tail;
};

record* make_record(std::string_view keyword, const field* fields, size_t count, uint32_t kind, bool growing) {
  size_t text_size = keyword.size();
  for (size_t i = 0; i < count; ++i) text_size += fields[i].text.size();
  // Offsets into the record's own text are 16 bits: no line comes near.
  if (text_size > UINT16_MAX || count > UINT16_MAX) internal_report_error();
  const size_t link = growing ? sizeof(record::extension*) : 0;
  const size_t size = (link + sizeof(record) + count * sizeof(record::slot) + text_size + 7) & ~size_t{7};
  char* memory = static_cast<char*>(take_record_memory(size));
  if (growing) new (memory) record::extension*(nullptr);
  record* r = new (memory + link) record;
  r->kind_ = static_cast<uint8_t>(kind);
  r->marks_ = growing ? GROWING_MARK : 0;
  r->slots_ = static_cast<uint16_t>(count);
  r->own_ = r->slots_;
  r->keyword_length_ = static_cast<uint16_t>(keyword.size());
  r->words_ = static_cast<uint16_t>(size / 8);
  char* text = const_cast<char*>(r->text_area());
  keyword.copy(text, keyword.size());
  uint32_t used = r->keyword_length_;
  for (size_t i = 0; i < count; ++i) {
    record::slot& s = r->field_slots()[i];
    s = {static_cast<uint32_t>(fields[i].number), 0, fields[i].type, false};
    if (fields[i].is_text()) {
      fields[i].text.copy(text + used, fields[i].text.size());
      s.word = used;
      s.length = static_cast<uint16_t>(fields[i].text.size());
      used += s.length;
    }
  }
  return r;
}

record* make_record(std::string_view keyword, const std::vector<field>& fields, uint32_t kind, bool growing) {
  return make_record(keyword, fields.data(), fields.size(), kind, growing);
}

record* copy_record(const record& original, std::string_view keyword) {
  std::vector<field> fields;
  for (uint32_t position = 1; position <= original.slots_; ++position)
    fields.push_back(original.field_of(original.field_slots()[position - 1]));
  const bool growing = original.has(GROWING_MARK);
  record* copy = make_record(keyword, fields, original.kind(), growing);
  copy->marks_ |= original.marks_ & NUMBERED_MARK;
  copy->own_ = original.own_;
  copy->report_ = original.report_;
  copy->line_ = original.line_;
  for (uint32_t position = original.own_ + 1; position <= original.size(); ++position) {
    const field value = original.at(position);
    copy->extended().tail.push_back(copy->slot_of(value));
  }
  return copy;
}

void free_record(record* r) {
  if (r->has(SHARED_MARK)) return;
  char* memory = reinterpret_cast<char*>(r);
  if (r->has(GROWING_MARK)) {
    delete r->extension_if_any();
    memory -= sizeof(record::extension*);
  }
  const size_t size = size_t{r->words_} * 8;
  r->~record();
  give_back_record_memory(memory, size);
}

record::extension** record::extension_link() const {
  return reinterpret_cast<extension**>(const_cast<record*>(this)) - 1;
}

record::extension& record::extended() {
  if (!has(GROWING_MARK)) internal_report_error();
  extension** link = extension_link();
  if (!*link) *link = new extension;
  return **link;
}

uint32_t record::size() const {
  const extension* grown = extension_if_any();
  return own_ + (grown ? static_cast<uint32_t>(grown->tail.size()) : 0);
}

field record::field_of(const slot& s) const {
  if (s.type != field_type::text) return {s.type, static_cast<int32_t>(s.word), {}};
  const char* base = s.in_extension ? extension_if_any()->texts.data() : text_area();
  return field::of_text({base + s.word, s.length});
}

field record::at(uint32_t position) const {
  if (position == 0) return {};
  if (position <= own_) {
    if (position <= slots_) return field_of(field_slots()[position - 1]);
    return {field_type::counter, position == slots_ + 1u ? int32_t{report_} : line_, {}};
  }
  const extension* grown = extension_if_any();
  const uint32_t in_tail = position - own_ - 1;
  if (!grown || in_tail >= grown->tail.size()) return {};
  return field_of(grown->tail[in_tail]);
}

void record::number(uint16_t report, int32_t line) {
  set(NUMBERED_MARK);
  report_ = report;
  line_ = line;
  own_ = static_cast<uint16_t>(slots_ + 2);
}

record::slot record::slot_of(const field& value) {
  if (!value.is_text()) return {static_cast<uint32_t>(value.number), 0, value.type, false};
  std::string& texts = extended().texts;
  const slot s{static_cast<uint32_t>(texts.size()), static_cast<uint16_t>(value.text.size()), field_type::text, true};
  texts.append(value.text);
  return s;
}

void record::set_at(uint32_t position, const field& value) {
  if (position == 0 || position > size() || (position > slots_ && position <= own_)) internal_report_error();
  slot& target = position <= own_ ? field_slots()[position - 1] : extended().tail[position - own_ - 1];
  if (!value.is_text()) {
    target = slot_of(value);
    return;
  }
  // The text may lie in this record's extension, which grows under it.
  const std::string copy(value.text);
  target = slot_of(field::of_text(copy));
}

void record::hand_tail_to(record* target, uint32_t first) {
  const uint32_t end = size();
  if (first == 0 || first > end) return;
  std::vector<field> handed;
  std::vector<std::string> texts;
  texts.reserve(end - first + 1);
  for (uint32_t position = first; position <= end; ++position) {
    field value = at(position);
    if (value.is_text()) value.text = texts.emplace_back(value.text);
    handed.push_back(value);
  }
  if (first <= own_) {
    own_ = static_cast<uint16_t>(first - 1);
    if (extension* grown = extension_if_any()) grown->tail.clear();
  } else {
    extended().tail.resize(first - own_ - 1);
  }
  for (const field& value : handed) {
    const slot s = target->slot_of(value);
    target->extended().tail.push_back(s);
  }
}
