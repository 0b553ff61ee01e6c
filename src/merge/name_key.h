#pragma once

// Names (text cells) as keys of maps, equal when equal_string says so.

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

#include "report/objet.h"

// equal_string as a map key: the same length and the same text up to a NUL.
using name_key = std::pair<uint32_t, std::string>;
inline name_key key_of(const objet* name) {
  return {name->length, std::string(name->text, strnlen(name->text, name->length))};
}
