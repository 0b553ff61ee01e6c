#include <cstring>
#include <string>

#include "cmdanalysis/cab.h"
#include "cmdline/cmd_line.h"
#include "util/checked.h"

static const char* canonical_value(const char* option_name) {
  const value_node* value = option_value(option_state(option_name), 1);
  return value ? value->text : "";
}

// Index of text in names, 0 when absent.
static int value_code(const char* text, const char* const* names, int count) {
  for (int code = 1; code < count; ++code)
    if (strcmp(text, names[code]) == 0) return code;
  return 0;
}

static void append_element(std::string& text, const char* name, const char* value = nullptr) {
  text += ' ';
  text += command_table.option_prefix;
  text += name;
  if (!value) return;
  text += command_table.value_separator;
  text += value;
}

int analyse_command_line(int argc, char** argv, char* postpro_options, run_settings* run_options) {
  run_options->log = 0;
  if (command_analysis(argc, argv) == -1) return 0;

  static const char* const ra_names[] = {"RA", "TEST", "ERR"};
  static const char* const va_names[] = {"EVAL", "NOEVAL", "COMBINE"};
  const int ra = value_code(canonical_value("RA"), ra_names, 3);
  const int va = value_code(canonical_value("VA"), va_names, 3);
  const bool comment = option_state("COMMENT") >= 0;
  const bool landscape = option_state("PORTRAIT") == 0;
  const bool log = option_state("LOG") > 0;
  const bool no_summary = option_state("SUMMARY") < 1;
  const bool noro = option_state("NORO") >= 1;

  std::string text = " ";
  append_element(text, "RA", ra_names[ra]);
  append_element(text, "VA", va_names[va]);
  // The post-processor always works in GB, whatever -LE said.
  append_element(text, "LE", "GB");
  append_element(text, comment ? "COMMENT" : "NOCOMMENT");
  append_element(text, landscape ? "LANDSCAPE" : "PORTRAIT");
  append_element(text, no_summary ? "NOSUMMARY" : "SUMMARY");
  append_element(text, "ROD");
  if (noro) append_element(text, "NORO");

  checked_sprintf(postpro_options, POSTPRO_OPTIONS_SIZE, "%s", text.c_str());
  run_options->log = log ? 1 : 0;
  return 1;
}
