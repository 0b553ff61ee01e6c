#pragma once

#include <string>
#include <vector>

#include "cmdanalysis/cab.h"
#include "support/command_words.h"

// A command of its own, so that the engine is exercised as the generic engine
// it is: names that differ between languages, integer kinds, a second
// positional parameter, a hidden option line in the usage text.
namespace sample {

inline const char usage[] = "\nUsage SAMPLE:\n\t<input>[,input] [output]\n\t[-XTRACE]\n\t[-VERBOSE]\n";

inline value_descriptor output = {{"sortie", "khoruji", "output"}, 'C', 'N', 2, 5, 1, nullptr, nullptr};
inline value_descriptor input = {{"entree", "vorodi", "input"}, 'C', 'Y', 1, 8, 0, &output, nullptr};
inline value_descriptor count_type = {{"nombre", "adad", "count"}, 'I', 'N', 1, 99, 0, nullptr, nullptr};
inline value_descriptor offset_type = {{"decalage", "jabeja", "offset"}, 'L', 'Y', -5, 5, 0, nullptr, nullptr};
inline value_descriptor shape_type = {{"forme", "shekl", "shape"}, 'C', 'N', 1, 7, 0, nullptr, nullptr};

inline allowed_value shapes[] = {
    {{"ROND", "GERD", "ROUND"}, 0, &shapes[1]},
    {{"CARRE", "MORABA", "SQUARE"}, 0, &shapes[2]},
    {{"SPIRALE", "MARPICH", "SPIRAL"}, 0, nullptr},
};

enum { COUNT, OFFSET, SHAPE, VERBOSE, VERIFY, COLOR, XTRACE, OPTION_COUNT };

inline option_entry options[OPTION_COUNT] = {
    {{"COMPTE", "TEDAD", "COUNT"}, 1, &count_type, 0, 0, 0, 0, nullptr, &options[OFFSET]},
    {{"DECALAGE", "JABEJA", "OFFSET"}, 0, &offset_type, 0, 0, 0, 0, nullptr, &options[SHAPE]},
    {{"FORME", "SHEKL", "SHAPE"}, 1, &shape_type, 0, 0, 0, 3, shapes, &options[VERBOSE]},
    {{"VERBOSE", "VERBOSE", "VERBOSE"}, 0, nullptr, 0, 1, 0, 0, nullptr, &options[VERIFY]},
    {{"VERIFY", "VERIFY", "VERIFY"}, 0, nullptr, 0, 0, 0, 0, nullptr, &options[COLOR]},
    {{"COULEUR", "RANG", "COLOR"}, 0, nullptr, 0, 1, 1, 0, nullptr, &options[XTRACE]},
    {{"XTRACE", "XTRACE", "XTRACE"}, 0, nullptr, 0, 0, 0, 0, nullptr, nullptr},
};

inline exclusion_rule rules[2];

// VERIFY excludes VERBOSE; SQUARE asks for an output.
inline void rules_init();

inline command_description command = {
    CAB_GB, {usage, usage, usage}, "SAMPLE", '-', '=', ',', &input, options, nullptr};

inline void rules_init() {
  rules[0] = {RULE_OPTION, &options[VERIFY], RULE_OPTION, &options[VERBOSE], &rules[1]};
  rules[1] = {RULE_ALLOWED_VALUE, &shapes[1], -RULE_PARAMETER, &output, nullptr};
  command.exclusions = rules;
}

inline int analyse(std::vector<std::string> words, std::string* error_output = nullptr) {
  cab_reset(&command, rules_init);
  return analyse_words(command_analysis, std::move(words), error_output);
}

inline std::vector<std::string> texts(const value_node* node) {
  std::vector<std::string> result;
  for (; node; node = node->next) result.push_back(node->text);
  return result;
}

inline std::string error_line(const std::string& text, const std::string& item) {
  return "MIRVA ProbeSuite Command analysis : " + text + " " + item + "\nUsage SAMPLE:\n\t<input>[,input] [output]\n\n";
}

}  // namespace sample
