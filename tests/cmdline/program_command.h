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

// What the last analysis gave.
inline std::optional<command_options> analysed;

inline int analyse(std::vector<std::string> words, std::string* error_output = nullptr) {
  cab_reset(&command_table, exclusion_rules_init);
  analysed.reset();
  return analyse_words(
      [](int argc, char** argv) {
        analysed = analyse_command_line(argc, argv);
        return analysed ? 1 : 0;
      },
      std::move(words), error_output);
}

inline std::string error_line(const std::string& text, const std::string& item) {
  return "MIRVA ProbeSuite Command analysis : " + text + " " + item + usage + "\n";
}

}  // namespace program
