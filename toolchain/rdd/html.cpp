#include "html.h"

namespace {

const char REPLACEMENT[] = "\xEF\xBF\xBD";

// Length of the well-formed UTF-8 sequence at text[i], 0 when there is none.
size_t utf8_length(std::string_view text, size_t i) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char lead = byte(i);
  size_t length;
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else
    return 0;
  if (i + length > text.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (size_t k = 2; k < length; ++k)
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  return length;
}

// Characters that XML forbids, each a UTF-8 sequence of three bytes.
bool is_noncharacter(std::string_view sequence) { return sequence == "\xEF\xBF\xBE" || sequence == "\xEF\xBF\xBF"; }

void append_text(std::string& out, std::string_view text, bool markup_escaped) {
  for (size_t i = 0; i < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      size_t length = utf8_length(text, i);
      if (length == 0 || is_noncharacter(text.substr(i, length))) {
        out += REPLACEMENT;
        i += length ? length : 1;
      } else {
        out.append(text, i, length);
        i += length;
      }
      continue;
    }
    const char* entity = nullptr;
    switch (c) {
    case '&': entity = "&amp;"; break;
    case '<': entity = "&lt;"; break;
    case '>': entity = "&gt;"; break;
    case '"': entity = "&quot;"; break;
    case '\'': entity = "&#39;"; break;
    }
    if (entity && markup_escaped) out += entity;
    else if (c == '\t') out += ' ';
    else if (c < 0x20 || c == 0x7F) out += REPLACEMENT;
    else out += static_cast<char>(c);
    ++i;
  }
}

} // namespace

void append_escaped(std::string& out, std::string_view text) { append_text(out, text, true); }

std::string printable(std::string_view text) {
  std::string out;
  append_text(out, text, false);
  return out;
}

std::string escaped(std::string_view text) {
  std::string out;
  append_escaped(out, text);
  return out;
}

std::string clipped(std::string_view text, size_t bytes) {
  if (text.size() <= bytes) return std::string(text);
  size_t cut = bytes;
  for (int back = 0; back < 3 && cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80; ++back) --cut;
  return std::string(text.substr(0, cut)) + "\xE2\x80\xA6 (" + std::to_string(text.size() - cut) + " more bytes)";
}

std::string grouped(int64_t value) {
  std::string digits = std::to_string(value < 0 ? -static_cast<uint64_t>(value) : static_cast<uint64_t>(value));
  std::string out = value < 0 ? "\xE2\x88\x92" : "";
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += "\xE2\x80\xAF";
    out += digits[i];
  }
  return out;
}
