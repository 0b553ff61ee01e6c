#include "util/byte_scan.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

// Against a byte-by-byte search: sets of none to six values (more than are
// compared sixteen at a time), ranges starting and ending anywhere around a
// step of sixteen, found bytes at every place in a step.
TEST(ByteScan, FindsWhatAByteByByteSearchFinds) {
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    uint64_t values = 0;
    const int value_count = static_cast<int>(random() % 7);
    for (int i = 0; i < value_count; ++i) values |= uint64_t{1} << random() % 64;
    std::vector<uint8_t> bytes(random() % 80);
    // Mostly other values, so that a match may lie far from the start.
    for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random() % 8 == 0 ? random() % 64 : 40 + random() % 3);
    const size_t end = bytes.empty() ? 0 : random() % (bytes.size() + 1);
    const size_t from = end == 0 ? 0 : random() % (end + 1);
    size_t expected = from;
    while (expected < end && !(values >> bytes[expected] & 1)) ++expected;
    EXPECT_EQ(byte_scan(values).next(bytes.data(), from, end), expected) << "round " << round;
  }
}
