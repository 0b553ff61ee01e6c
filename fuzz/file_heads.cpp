// RIO and TDC file heads through identification and pairing. Input: up to
// four files separated by lines "====".

#include <string>
#include <vector>

#include "cmdline/cmd_line.h"
#include "driver/pairing.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz_start_process();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> files = fuzz_split(data, size, "====", 4);
  std::vector<std::string> names;
  for (size_t i = 0; i < files.size(); ++i) {
    names.push_back(fuzz_path("f" + std::to_string(i)));
    fuzz_write_file(names.back(), files[i]);
  }
  size_t left_behind = 0;
  // The options are made and the plan dropped inside the road, which
  // releases what it allocated.
  auto pair = [&names] {
    command_options options;
    options.files = names;
    static_cast<void>(identify_and_pair(std::move(options)));
  };
  if (fuzz_run(pair, &left_behind) == -1 && left_behind) fuzz_leak(left_behind);
  return 0;
}
