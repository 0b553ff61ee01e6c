#include <cstdlib>
#include <cstring>

#include "cmdanalysis/cab_internal.h"

// The last node appended, so that long lists of values are not walked once
// per value.
static value_descriptor* tail_owner = nullptr;
static value_node* tail = nullptr;

static void append_value(value_descriptor* type, value_node* node) {
  if (tail_owner != type || !tail || tail->next || !type->values) {
    tail = type->values;
    while (tail && tail->next) tail = tail->next;
  }
  if (tail)
    tail->next = node;
  else
    type->values = node;
  tail_owner = type;
  tail = node;
}

void prepend_value(value_descriptor* type, value_node* node) {
  node->next = type->values;
  type->values = node;
  if (!node->next) {
    tail_owner = type;
    tail = node;
  }
}

static value_node* new_node(char* text, long number) {
  value_node* node = static_cast<value_node*>(cab_alloc(sizeof(value_node)));
  if (node) *node = {text, number, nullptr};
  return node;
}

// A backslash written before the list separator only kept it from cutting.
static void remove_escapes(char* text, char separator) {
  char* kept = text;
  for (const char* at = text; *at; ++at)
    if (!(at[0] == '\\' && at[1] == separator)) *kept++ = *at;
  *kept = '\0';
}

static best_match resolve(const char* text, allowed_value* allowed) {
  best_match best{0, nullptr, 1};
  for (int language = 0; language < CAB_LANGUAGES; ++language)
    for (allowed_value* entry = allowed; entry; entry = entry->next)
      if (weigh_name(best, text, entry->name[language], entry, 1, false)) return best;
  return best;
}

static value_node* refuse(cab_error_index index, const char* text) {
  cab_error(index, text);
  return nullptr;
}

value_node* make_value(value_descriptor* type, char* text, allowed_value* allowed) {
  value_node* node;
  if (type->kind == 'I' || type->kind == 'L') {
    const long number = strtol(text, nullptr, 10);
    if (number < type->min) return refuse(CAB_VALUE_TOO_SMALL, text);
    if (number > type->max) return refuse(CAB_VALUE_TOO_LARGE, text);
    node = new_node(text, number);
  } else if (type->kind == 'C') {
    const size_t length = strlen(text);
    if (type->min > 0 && length < static_cast<size_t>(type->min)) return refuse(CAB_LENGTH_TOO_SMALL, text);
    if (type->max < 0 || length > static_cast<size_t>(type->max)) return refuse(CAB_LENGTH_TOO_LARGE, text);
    node = new_node(text, 0);
    if (node) remove_escapes(text, active_command().list_separator);
  } else {
    return nullptr;
  }
  if (!node || !allowed) return node;

  const best_match found = resolve(text, allowed);
  if (found.length == 0) return refuse(CAB_UNKNOWN_VALUE, text);
  if (!found.entry) return refuse(CAB_AMBIGUOUS_VALUE, text);
  allowed_value* chosen = static_cast<allowed_value*>(found.entry);
  chosen->selected = 1;
  node->text = chosen->name[CAB_GB];
  return node;
}

int append_pieces(value_descriptor* type, char* text, allowed_value* allowed) {
  const char separator = active_command().list_separator;
  for (char* piece = text; *piece;) {
    char* cut = find_separator(piece, separator);
    if (cut) *cut = '\0';
    value_node* node = make_value(type, piece, allowed);
    if (!node) return -1;
    append_value(type, node);
    if (!cut) break;
    piece = cut + 1;
  }
  return 0;
}

int add_positional(char* text, int p) {
  value_descriptor* parameter = active_command().positionals;
  for (int step = 1; step < p && parameter; ++step) parameter = parameter->next;
  if (!parameter) return -2;
  const bool takes_list = parameter->list == 'Y';
  if (!takes_list && find_separator(text, active_command().list_separator))
    return cab_fail(CAB_LIST_FORBIDDEN_ARGUMENT, text);
  if (!takes_list && parameter->values) return cab_fail(CAB_TOO_MANY_ARGUMENTS, text);
  return append_pieces(parameter, text, nullptr);
}

void reset_value_tail() {
  tail_owner = nullptr;
  tail = nullptr;
}
