#pragma once

// Names (text cells) as keys of maps, equal when equal_string says so.

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "report/objet.h"

// equal_string as a map key: the same length and the same text up to a NUL.
using name_key = std::pair<uint32_t, std::string>;
inline name_key key_of(const objet* name) {
  return {name->length, std::string(name->text, strnlen(name->text, name->length))};
}

// The same equality without a copy, for maps that outlive no cell they name.
struct name_view {
  uint32_t length;
  std::string_view text;
  bool operator==(const name_view& other) const { return length == other.length && text == other.text; }
};
inline name_view view_of(const objet* name) { return {name->length, {name->text, strnlen(name->text, name->length)}}; }
struct name_view_hash {
  size_t operator()(const name_view& name) const { return std::hash<std::string_view>()(name.text) ^ name.length; }
};
