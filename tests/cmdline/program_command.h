#pragma once

#include <string>
#include <vector>

#include "cmdanalysis/cab.h"
#include "cmdline/cmd_line.h"
#include "support/command_words.h"

namespace program {

inline const std::string usage =
    "\nUsage MPSMERGE:\n\t<TDC_and_RIO_files>[,TDC_and_RIO_files]\n\t[-RA=<TEST|ERR|RA>]\n"
    "\t[-VA=<EVAL|NOEVAL|COMBINE>]\n\t[-LE=<GB|FA|FR>]\n\t[-COMMENT|-NOCOMMENT]\n\t[-PORTRAIT]\n"
    "\t[-LANDSCAPE]\n\t[-NOLOG]\n\t[-LOG]\n\t[-NORO]\n\t[-SUMMARY|-NOSUMMARY]\n\t[-RDD=<file_name>]\n"
    "\t[-TIME]\n";

inline char options_text[POSTPRO_OPTIONS_SIZE];
inline run_settings settings;

inline int analyse(std::vector<std::string> words, std::string* error_output = nullptr) {
  cab_reset(&command_table, exclusion_rules_init);
  settings.log = -1;
  options_text[0] = '\0';
  return analyse_words(
      [](int argc, char** argv) { return analyse_command_line(argc, argv, options_text, &settings); },
      std::move(words), error_output);
}

inline std::string error_line(const std::string& text, const std::string& item) {
  return "MIRVA ProbeSuite Command analysis : " + text + " " + item + usage + "\n";
}

}  // namespace program
