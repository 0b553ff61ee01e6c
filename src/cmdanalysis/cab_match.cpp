#include <cstring>

#include "cmdanalysis/cab_internal.h"

// Only a to z are folded: the names are ASCII and user bytes stay as they are.
static unsigned char folded(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return u >= 'a' && u <= 'z' ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}

int match_name(const char* word, const char* name) {
  int count = 0;
  while (name[count] && word[count] && folded(word[count]) == folded(name[count])) ++count;
  if (!name[count]) return count;
  if (!word[count] || word[count] == active_command().value_separator) return count;
  return 0;
}

char* find_separator(char* text, char separator) {
  if (!text[0]) return nullptr;
  for (char* at = text + 1; *at; ++at)
    if (*at == separator && at[-1] != '\\') return at;
  return nullptr;
}

bool weigh_name(best_match& best, const char* word, const char* name, void* entry, int sign,
                bool whole_word) {
  const int length = static_cast<int>(strlen(name));
  int result = match_name(word, name);
  if (whole_word && result == length && word[result] && word[result] != active_command().value_separator)
    result = 0;
  if (result == length) {
    best = {result, entry, sign};
    return true;
  }
  if (result != 0 && result == best.length && best.entry != entry) best.entry = nullptr;
  if (result > best.length) best = {result, entry, sign};
  return false;
}
