#include "pprint/pt_ecrit.h"

#include <algorithm>
#include <cstring>

// A record's fields are formatted here and handed to stdio a buffer at a
// time: printf's parsing of a format for every field was a quarter of a run.
void record_printer::flush() {
  fwrite(bytes_, 1, used_, stream_);
  used_ = 0;
}

void record_printer::put(const char* text, size_t n) {
  while (n > 0) {
    if (used_ == sizeof bytes_) flush();
    const size_t taken = std::min(n, sizeof bytes_ - used_);
    memcpy(bytes_ + used_, text, taken);
    used_ += taken;
    text += taken;
    n -= taken;
  }
}

// A text and the blank after it.
void record_printer::put_word(const char* text, size_t n) {
  if (sizeof bytes_ - used_ > n) {
    memcpy(bytes_ + used_, text, n);
    bytes_[used_ + n] = ' ';
    used_ += n + 1;
  } else {
    put(text, n);
    put(" ", 1);
  }
}

void record_printer::put_number(int32_t value) {
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
  const size_t n = static_cast<size_t>(end - p);
  if (sizeof bytes_ - used_ < n) flush();
  memcpy(bytes_ + used_, p, n);
  used_ += n;
}

void record_printer::print(const record& r) {
  put_word(r.keyword().data(), r.keyword().size());
  r.each([this](const field& value) {
    if (value.is_text())
      put_word(value.text.data(), value.text.size());
    else if (value.is_numeric())
      put_number(value.number);
  });
  put("\n", 1);
}

void pt_ecrit(FILE* out, const record& r) {
  record_printer printer(out);
  printer.print(r);
}
