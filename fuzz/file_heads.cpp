// RIO and TDC file heads through identification and pairing. Input: up to
// four files separated by lines "====".

#include <cstring>

#include "cmdline/cmd_line.h"
#include "driver/pairing.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz_start_process();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> files = fuzz_split(data, size, "====", 4);
  static std::string names[4];
  memset(&cmd_line, 0, sizeof cmd_line);
  for (size_t i = 0; i < files.size(); ++i) {
    names[i] = fuzz_path("f" + std::to_string(i));
    fuzz_write_file(names[i], files[i]);
    cmd_line.files[i] = names[i].c_str();
  }
  size_t left_behind = 0;
  if (fuzz_run([] { identify_and_pair(false); }, &left_behind) == -1 && left_behind) fuzz_leak(left_behind);
  return 0;
}
