#include <gtest/gtest.h>

#include "util/crc16.h"

// The variants by their check values.
TEST(Crc16, UnreflectedAndPresetRegister) {
  const auto* data = reinterpret_cast<const unsigned char*>("123456789");
  EXPECT_EQ(crc16(0, data, 9, 0, 1), 0x31c3);        // XMODEM
  EXPECT_EQ(crc16(0xffff, data, 9, -1, 1), 0x29b1);  // CCITT-FALSE
  EXPECT_EQ(crc16(0x1234, data, 9, 0, 1), 0x31c3);   // initial byte overrides the register
  EXPECT_EQ(crc16(0, data, 9, 0, -1), 0x2189);       // KERMIT
  EXPECT_EQ(crc16(0, data, 9, 0x12, -1), crc16(0x4848, data, 9, -1, -1));  // the register reflected
}

// KERMIT one bit at a time, as its definition reads.
static uint16_t kermit_by_bits(const unsigned char* data, size_t length) {
  unsigned reg = 0;
  for (size_t i = 0; i < length; ++i) {
    reg ^= data[i];
    for (int bit = 0; bit < 8; ++bit) reg = (reg & 1) ? (reg >> 1) ^ 0x8408 : reg >> 1;
  }
  return static_cast<uint16_t>(reg);
}

// Long inputs go a word at a time, or are folded sixteen bytes at a time
// where the processor multiplies without carries, with bytes left over; a
// file is read in blocks of any length.
TEST(Crc16, ReflectedWordsAndBlocksAgreeWithTheDefinition) {
  unsigned char data[1200];
  for (size_t i = 0; i < sizeof data; ++i) data[i] = static_cast<unsigned char>(i * 131 + (i >> 3) * 7 + 1);
  for (unsigned length : {0u, 1u, 7u, 8u, 9u, 15u, 16u, 17u, 127u, 128u, 129u, 191u, 192u, 300u, 1199u, 1200u}) {
    EXPECT_EQ(crc16(0, data, length, 0, -1), kermit_by_bits(data, length)) << length;
    for (unsigned cut = 0; cut <= length; cut += 13) {
      file_digest digest;
      digest.add(data, cut);
      digest.add(data + cut, length - cut);
      EXPECT_EQ(digest.crc, kermit_by_bits(data, length)) << length << " cut at " << cut;
    }
  }
}
