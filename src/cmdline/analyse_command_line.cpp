#include <QString>
#include <cstring>
#include <string>

#include "cmdanalysis/cab.h"
#include "cmdline/cmd_line.h"
#include "messages/emit.h"

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

static std::string postpro_options_text() {
  static const char* const ra_names[] = {"RA", "TEST", "ERR"};
  static const char* const va_names[] = {"EVAL", "NOEVAL", "COMBINE"};
  const int ra = value_code(canonical_value("RA"), ra_names, 3);
  const int va = value_code(canonical_value("VA"), va_names, 3);
  std::string text = " ";
  append_element(text, "RA", ra_names[ra]);
  append_element(text, "VA", va_names[va]);
  // The post-processor always works in GB, whatever -LE said.
  append_element(text, "LE", "GB");
  append_element(text, option_state("COMMENT") >= 0 ? "COMMENT" : "NOCOMMENT");
  append_element(text, option_state("PORTRAIT") == 0 ? "LANDSCAPE" : "PORTRAIT");
  append_element(text, option_state("SUMMARY") < 1 ? "NOSUMMARY" : "SUMMARY");
  append_element(text, "ROD");
  if (option_state("NORO") >= 1) append_element(text, "NORO");
  return text;
}

// -RDD requires its value, so the analysis never leaves it empty.
static std::optional<std::string> dest_value() {
  const int k = option_state("RDD");
  const value_node* value = k ? option_value(k, 1) : nullptr;
  return value ? std::optional<std::string>(value->text) : std::nullopt;
}

command_options analysed_options() {
  command_options options;
  options.postpro_options = postpro_options_text();
  options.log = option_state("LOG") > 0;
  for (int n = 1;; ++n) {
    const value_node* file = positional_value(1, n);
    if (!file) break;
    if (n > MAX_FILES) msg_fatal("TOOMANYFI", QString(), QString());
    options.files.emplace_back(file->text);
  }
  options.time_variant = option_state("TIME") != 0;
  options.dest = dest_value();
  return options;
}

std::optional<command_options> analyse_command_line(int argc, char** argv) {
  if (command_analysis(argc, argv) == -1) return std::nullopt;
  return analysed_options();
}
