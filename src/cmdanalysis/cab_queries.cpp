#include <cstring>

#include "cmdanalysis/cab_internal.h"

static command_description* active_table = &command_table;
static void (*rules_hook)() = exclusion_rules_init;

command_description& active_command() { return *active_table; }

void run_exclusion_hook() { rules_hook(); }

int option_state(const char* name) {
  int k = 1;
  for (const option_entry* option = active_table->options; option; option = option->next, ++k)
    if (strcmp(option->name[CAB_GB], name) == 0) return option->state > 0 ? k : option->state < 0 ? -k : 0;
  cab_error(CAB_BAD_OPTION_NAME, name);
  return 0;
}

static value_node* nth_value(value_node* node, int n) {
  if (n < 1) return nullptr;
  for (int i = 1; i < n && node; ++i) node = node->next;
  return node;
}

value_node* option_value(int k, int n) {
  const long position = k < 0 ? -static_cast<long>(k) : k;
  if (position == 0) return nullptr;
  const option_entry* option = active_table->options;
  for (long i = 1; i < position && option; ++i) option = option->next;
  if (!option || !option->type) return nullptr;
  return nth_value(option->type->values, n);
}

value_node* positional_value(int k, int n) {
  if (k < 1) return nullptr;
  value_descriptor* parameter = active_table->positionals;
  for (int i = 1; i < k && parameter; ++i) parameter = parameter->next;
  return parameter ? nth_value(parameter->values, n) : nullptr;
}

static void clear_run_time(command_description* table) {
  for (value_descriptor* parameter = table->positionals; parameter; parameter = parameter->next)
    parameter->values = nullptr;
  for (option_entry* option = table->options; option; option = option->next) {
    option->state = 0;
    if (option->type) option->type->values = nullptr;
    for (allowed_value* entry = option->allowed; entry; entry = entry->next) entry->selected = 0;
  }
}

void cab_reset(command_description* table, void (*rules_init)()) {
  clear_run_time(active_table);
  cab_release_blocks();
  reset_value_tail();
  active_table = table;
  rules_hook = rules_init;
  clear_run_time(active_table);
}
