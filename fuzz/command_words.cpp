// Command-line words through the command analysis engine and the program's
// table. Input: the words, one per line.

#include "cmdanalysis/cab.h"
#include "cmdline/cmd_line.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz_start_process();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> words = {"mpsmerge"};
  std::string word;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == '\n') {
      words.push_back(word);
      word.clear();
    } else if (data[i]) {
      word += static_cast<char>(data[i]);
    }
  }
  if (!word.empty()) words.push_back(word);
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  cab_reset(&command_table, exclusion_rules_init);
  // The engine's blocks live until the next cab_reset, outside the tracking.
  if (command_analysis(static_cast<int>(words.size()), argv.data()) == -1) return 0;
  fuzz_run([] { static_cast<void>(analysed_options()); });
  return 0;
}
