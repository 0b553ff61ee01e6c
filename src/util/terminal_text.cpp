#include "util/terminal_text.h"

#include <cstdio>

static bool continues(unsigned char byte) { return (byte & 0xC0) == 0x80; }

int utf8_sequence_length(const unsigned char* text, size_t available) {
  const unsigned char lead = text[0];
  if (lead < 0x80) return 1;
  const int length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
  if (!length || available < static_cast<size_t>(length)) return 0;
  const bool second_fits = lead == 0xE0   ? text[1] >= 0xA0 && text[1] <= 0xBF
                           : lead == 0xED ? text[1] >= 0x80 && text[1] <= 0x9F
                           : lead == 0xF0 ? text[1] >= 0x90 && text[1] <= 0xBF
                           : lead == 0xF4 ? text[1] >= 0x80 && text[1] <= 0x8F
                                          : continues(text[1]);
  for (int i = 2; i < length; ++i)
    if (!continues(text[i])) return 0;
  return second_fits ? length : 0;
}

static void append_escape(std::string& shown, const char* format, unsigned code) {
  char escape[8];
  snprintf(escape, sizeof escape, format, code);
  shown += escape;
}

static void append_control(std::string& shown, unsigned char byte) {
  if (byte == '\r') shown += "\\r";
  else if (byte == '\n') shown += "\\n";
  else if (byte == '\t') shown += "\\t";
  else append_escape(shown, "\\x%02x", byte);
}

std::string terminal_safe(std::string_view bytes) {
  std::string shown;
  shown.reserve(bytes.size());
  const auto* text = reinterpret_cast<const unsigned char*>(bytes.data());
  for (size_t at = 0; at < bytes.size();) {
    const int length = utf8_sequence_length(text + at, bytes.size() - at);
    if (length == 1 && (text[at] < 0x20 || text[at] == 0x7F)) append_control(shown, text[at]);
    else if (length == 2 && text[at] == 0xC2 && text[at + 1] <= 0x9F) append_escape(shown, "\\u%04x", text[at + 1]);
    else shown.append(bytes.data() + at, length ? length : 1);
    at += length ? length : 1;
  }
  return shown;
}
