#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cmdanalysis/cab_internal.h"

static const char* const and_words[CAB_LANGUAGES] = {"et", "et", "and"};

static best_match find_option(const char* word) {
  best_match best{0, nullptr, 1};
  for (int language = 0; language < CAB_LANGUAGES; ++language)
    for (option_entry* option = active_command().options; option; option = option->next) {
      if (weigh_name(best, word, option->name[language], option, 1, true)) return best;
      if (!option->negatable) continue;
      char negated[2 + CAB_NAME_SIZE];
      snprintf(negated, sizeof negated, "no%.*s", CAB_NAME_SIZE - 1, option->name[language]);
      if (weigh_name(best, word, negated, option, -1, true)) return best;
    }
  return best;
}

// word: the argument after its prefix character, kept whole as the error item.
static int analyse_option(char* word) {
  const command_description& command = active_command();
  const best_match best = find_option(word);
  if (best.length == 0) return cab_fail(CAB_UNKNOWN_OPTION, word);
  if (!best.entry) return cab_fail(CAB_AMBIGUOUS_OPTION, word);
  option_entry* option = static_cast<option_entry*>(best.entry);
  const char* rest = word + best.length;
  const bool has_separator = *rest == command.value_separator;
  if (*rest && !has_separator) return cab_fail(CAB_INVALID_CHARACTER, word);
  if (option->state != 0 && (!option->type || option->type->list != 'Y'))
    return cab_fail(CAB_USED_TWICE, word);
  option->state = best.sign;
  if (option->value_mandatory && (!has_separator || !rest[1])) return cab_fail(CAB_VALUE_MANDATORY, word);
  if (!option->type && has_separator) return cab_fail(CAB_NO_VALUE_ALLOWED, word);
  if (!has_separator) return 0;
  char* value = word + best.length + 1;
  if (option->type->list != 'Y' && find_separator(value, command.list_separator))
    return cab_fail(CAB_LIST_FORBIDDEN_OPTION, word);
  return append_pieces(option->type, value, option->allowed);
}

static int apply_defaults() {
  for (option_entry* option = active_command().options; option; option = option->next) {
    if (option->default_on && option->state == 0)
      option->state = 1;
    else if (option->state == 0 && option->negatable)
      option->state = -1;
    if (!option->allowed || option->default_index < 1 || !option->type) continue;
    allowed_value* fallback = nullptr;
    bool chosen = false;
    int position = 1;
    for (allowed_value* entry = option->allowed; entry; entry = entry->next, ++position) {
      chosen = chosen || entry->selected;
      if (position == option->default_index) fallback = entry;
    }
    // A default index past the end of the chain gives no default.
    if (chosen || !fallback) continue;
    value_node* node = make_value(option->type, fallback->name[CAB_GB], option->allowed);
    if (!node) return -1;
    prepend_value(option->type, node);
  }
  return 0;
}

static int element_flag(int kind, void* element) {
  switch (abs(kind)) {
    case RULE_ALLOWED_VALUE: return static_cast<allowed_value*>(element)->selected;
    case RULE_PARAMETER: return static_cast<value_descriptor*>(element)->values ? 1 : 0;
    case RULE_OPTION: return static_cast<option_entry*>(element)->state;
  }
  return 0;
}

static const char* element_name(int kind, void* element) {
  switch (abs(kind)) {
    case RULE_ALLOWED_VALUE: return static_cast<allowed_value*>(element)->name[CAB_GB];
    case RULE_PARAMETER: return static_cast<value_descriptor*>(element)->name[CAB_GB];
    case RULE_OPTION: return static_cast<option_entry*>(element)->name[CAB_GB];
  }
  return "";
}

static bool side_present(int kind, void* element) {
  int flag = element_flag(kind, element);
  if (flag * kind < 0)
    flag = 0;
  else if (kind < 0 && flag == 0)
    flag = 1;
  return flag != 0;
}

static int check_exclusions() {
  for (const exclusion_rule* rule = active_command().exclusions; rule; rule = rule->next) {
    if (!side_present(rule->kind1, rule->element1) || !side_present(rule->kind2, rule->element2)) continue;
    char item[3 * CAB_NAME_SIZE + 8];
    snprintf(item, sizeof item, "%.*s %s %.*s", CAB_NAME_SIZE - 1, element_name(rule->kind1, rule->element1),
             and_words[CAB_GB], CAB_NAME_SIZE - 1, element_name(rule->kind2, rule->element2));
    return cab_fail(CAB_ILLEGAL_COMBINATION, item);
  }
  return 0;
}

static int finish_analysis() {
  for (value_descriptor* parameter = active_command().positionals; parameter; parameter = parameter->next)
    if (!parameter->values && !parameter->optional)
      return cab_fail(CAB_ARGUMENT_MISSING, parameter->name[CAB_GB]);
  if (apply_defaults() != 0) return -1;
  run_exclusion_hook();
  return check_exclusions();
}

int command_analysis(int argc, char** argv) {
  int p = 0;
  for (int i = 1; i < argc && argv[i]; ++i) {
    const size_t size = strlen(argv[i]) + 1;
    char* copy = static_cast<char*>(cab_alloc(size));
    if (!copy) return -1;
    memcpy(copy, argv[i], size);
    if (copy[0] != active_command().option_prefix) {
      const int result = add_positional(copy, ++p);
      if (result == -1) return -1;
      // Arguments beyond the last parameter go on filling it.
      if (result == -2 && add_positional(copy, --p) == -1) return -1;
      continue;
    }
    if (analyse_option(copy + 1) != 0) return -1;
  }
  return finish_analysis();
}
