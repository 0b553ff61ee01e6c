#pragma once

// Names shown in message lines, where a control character would steer the
// terminal (move the cursor, erase a line) or split the line.

#include <cstddef>
#include <string>
#include <string_view>

// Length of the well-formed UTF-8 sequence that starts text, 0 when there is
// none; never reads past available bytes.
int utf8_sequence_length(const unsigned char* text, size_t available);

// The bytes as they are, but for the control characters: a carriage return,
// a line feed and a TAB as \r, \n and \t, any other C0 control character and
// DEL as \xHH, and U+0080 to U+009F written in UTF-8 as \u0080 to \u009F.
// Bytes that are not UTF-8 stay as they are.
std::string terminal_safe(std::string_view bytes);
