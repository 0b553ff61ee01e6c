#pragma once

#include <string>
#include <vector>

#include "cmdanalysis/cab.h"

// What a user can write of one option of the program's command table, read
// from the table itself so that the documents checked against it cannot drift.
struct table_option {
  std::string name;                 // with the prefix: "-RA"
  std::string negated;              // "-NOCOMMENT"; empty when not negatable
  bool takes_value;
  std::vector<std::string> values;  // the allowed values; empty: any value
  std::string default_form;         // "-RA=RA", "-NOSUMMARY"; empty when none acts
};

inline std::vector<table_option> table_options() {
  const std::string prefix(1, command_table.option_prefix);
  std::vector<table_option> options;
  for (const option_entry* entry = command_table.options; entry; entry = entry->next) {
    table_option option{prefix + entry->name[CAB_GB], {}, entry->type != nullptr, {}, {}};
    if (entry->negatable) {
      option.negated = prefix + "NO" + entry->name[CAB_GB];
      option.default_form = entry->default_on ? option.name : option.negated;
    }
    int index = 0;
    for (const allowed_value* value = entry->allowed; value; value = value->next) {
      option.values.push_back(value->name[CAB_GB]);
      // A default value of an option that is not on by default never acts.
      if (++index == entry->default_index && entry->default_on)
        option.default_form = option.name + command_table.value_separator + value->name[CAB_GB];
    }
    options.push_back(option);
  }
  return options;
}
