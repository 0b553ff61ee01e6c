#pragma once

// The command analysis engine: a table describes a program's command (its
// options, their values, the positional arguments, the pairs that exclude each
// other), and the engine checks a command line against it word by word,
// keeping what it found for the program's queries. A refusal is one error line
// with the usage text. The engine knows nothing of the program that uses it.

#include <cstddef>
#include <cstdint>

// Table-driven command analysis. The program describes its command in
// command_table and supplies exclusion_rules_init; the run-time fields of the
// table start at zero and are filled by the one analysis of the process.

enum { CAB_LANGUAGES = 3, CAB_NAME_SIZE = 21, CAB_GB = 2 };

struct value_node {
  char* text;   // kind C: the value, or the GB name of the allowed value it resolved to
  long number;  // kinds I and L
  value_node* next;
};

// A value type; also serves as a positional parameter.
struct value_descriptor {
  char name[CAB_LANGUAGES][CAB_NAME_SIZE];  // placeholder names FR, FA, GB
  char kind;                                // 'C' string, 'I' or 'L' decimal integer
  char list;                                // 'Y' several values, 'N' one value
  int32_t min;                              // length (C) or value (I, L)
  int32_t max;
  int32_t optional;                         // positional parameter may stay without value
  value_descriptor* next;                   // next positional parameter
  value_node* values;                       // run time, in the order received
};

struct allowed_value {
  char name[CAB_LANGUAGES][CAB_NAME_SIZE];
  int32_t selected;  // run time
  allowed_value* next;
};

struct option_entry {
  char name[CAB_LANGUAGES][CAB_NAME_SIZE];  // without the prefix character
  int32_t value_mandatory;
  value_descriptor* type;  // null: the option takes no value
  int32_t state;           // run time: 0 absent, +1 on, -1 negated
  int32_t negatable;       // "no" + name sets the state to -1
  int32_t default_on;
  int32_t default_index;   // 1-based in allowed, 0 for none
  allowed_value* allowed;  // null: any value of the type
  option_entry* next;
};

// The absolute value of a kind names the element: 1 allowed_value,
// 2 value_descriptor, 3 option_entry. A negative kind asks for its absence.
enum { RULE_ALLOWED_VALUE = 1, RULE_PARAMETER = 2, RULE_OPTION = 3 };

struct exclusion_rule {
  int32_t kind1;
  void* element1;
  int32_t kind2;
  void* element2;
  exclusion_rule* next;
};

struct command_description {
  int32_t language;  // not used by the analysis
  const char* usage[CAB_LANGUAGES];
  char command_name[CAB_NAME_SIZE];
  char option_prefix;
  char value_separator;
  char list_separator;
  value_descriptor* positionals;
  option_entry* options;
  exclusion_rule* exclusions;
};

// Supplied by the program.
extern command_description command_table;
void exclusion_rules_init();

// Analyses argv[1..argc-1]; 0 on success, -1 after printing the first error.
int command_analysis(int argc, char** argv);

// +k, -k or 0 for the state of the option with this GB name, k its 1-based
// position; an unknown name prints error 20 and gives 0.
int option_state(const char* name);
value_node* option_value(int k, int n);
value_node* positional_value(int k, int n);

int match_name(const char* word, const char* name);
char* find_separator(char* text, char separator);
int add_positional(char* text, int p);
value_node* make_value(value_descriptor* type, char* text, allowed_value* allowed);
// item null: no item; index 0 to 16 append the usage text.
void cab_error(int index, const char* item);
// Blocks stay allocated until the process ends.
void* cab_alloc(size_t size);

// Test support: makes table (with its rules hook) the one analysed next,
// clears its run-time fields and releases every block of earlier analyses.
void cab_reset(command_description* table, void (*rules_init)());
// The allocator behind cab_alloc, replaceable to provoke its failure.
extern void* (*cab_malloc)(size_t size);
