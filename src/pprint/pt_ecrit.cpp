#include "pprint/pt_ecrit.h"

#include <algorithm>
#include <cstring>

#include "util/short_copy.h"

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
inline void record_printer::put_word(const char* text, size_t n) {
  if (sizeof bytes_ - used_ > n) {
    copy_short(bytes_ + used_, text, n);
    bytes_[used_ + n] = ' ';
    used_ += n + 1;
  } else {
    put(text, n);
    put(" ", 1);
  }
}

namespace {
// "00" to "99": two digits a division.
struct digit_pairs {
  char text[200];
  constexpr digit_pairs() : text() {
    for (int i = 0; i < 100; ++i) {
      text[2 * i] = static_cast<char>('0' + i / 10);
      text[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
  }
};
constexpr digit_pairs DIGIT_PAIRS;
}  // namespace

static unsigned decimal_digits(uint32_t n) {
  if (n < 10000) return n < 100 ? (n < 10 ? 1 : 2) : (n < 1000 ? 3 : 4);
  if (n < 100000000) return n < 1000000 ? (n < 100000 ? 5 : 6) : (n < 10000000 ? 7 : 8);
  return n < 1000000000 ? 9 : 10;
}

// Written in place, from the end once the digits are counted: at most 14
// bytes, the quotes, sign and blank included.
inline void record_printer::put_number(int32_t value) {
  if (sizeof bytes_ - used_ < 16) flush();
  char* const start = bytes_ + used_;
  uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  const size_t sign = value < 0;
  char* const end = start + 1 + sign + decimal_digits(magnitude);
  start[0] = '"';
  start[1] = '-';  // overwritten by the first digit when there is no sign
  end[0] = '"';
  end[1] = ' ';
  char* p = end;
  for (; magnitude >= 100; magnitude /= 100) {
    p -= 2;
    memcpy(p, DIGIT_PAIRS.text + magnitude % 100 * 2, 2);
  }
  if (magnitude >= 10)
    memcpy(p - 2, DIGIT_PAIRS.text + magnitude * 2, 2);
  else
    p[-1] = static_cast<char>('0' + magnitude);
  used_ = static_cast<size_t>(end + 2 - bytes_);
}

void record_printer::print(const record& r) {
  put_word(r.keyword().data(), r.keyword().size());
  r.each([this](const field& value) {
    if (value.is_text())
      put_word(value.text.data(), value.text.size());
    else if (value.is_numeric())
      put_number(value.number);
  });
  if (used_ == sizeof bytes_) flush();
  bytes_[used_++] = '\n';
}

void pt_ecrit(FILE* out, const record& r) {
  record_printer printer(out);
  printer.print(r);
}
