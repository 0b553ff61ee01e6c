#pragma once

// Shared by the fuzz targets: the process set up once as main() would, a
// fatal end that unwinds to the target instead of leaving the fuzzer, and a
// scratch directory for the files an input stands for.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct fuzz_ended {
  int status;
};

// Creates the application, fills the catalogue, silences Qt and installs the
// throwing exit handler. Called from LLVMFuzzerInitialize.
void fuzz_start_process();

// Runs one input's road. A fatal end is caught, and the blocks allocated
// during the road and still held are released, as the real exit would: the
// fatal road keeps no cleanup of its own. Returns the status, -1 when the
// road ran through; *left_behind receives how many blocks the road kept.
template <typename Road>
int fuzz_run(Road road, size_t* left_behind = nullptr);

// A directory made once per fuzzing process; paths inside it.
std::string fuzz_path(const std::string& name);

void fuzz_write_file(const std::string& path, const std::string& content);

// Splits data on lines holding only separator (the line feed before it goes
// with it); at most max_parts parts, the last taking the rest.
std::vector<std::string> fuzz_split(const uint8_t* data, size_t size, const std::string& separator,
                                    size_t max_parts);

// Ends the fuzzer: a normal road kept blocks.
[[noreturn]] void fuzz_leak(size_t blocks);

void fuzz_track_allocations(bool on);
size_t fuzz_release_tracked();

template <typename Road>
int fuzz_run(Road road, size_t* left_behind) {
  int status = -1;
  fuzz_track_allocations(true);
  try {
    road();
  } catch (const fuzz_ended& ended) {
    status = ended.status;
  }
  fuzz_track_allocations(false);
  const size_t kept = fuzz_release_tracked();
  if (left_behind) *left_behind = kept;
  return status;
}
