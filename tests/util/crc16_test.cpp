#include <gtest/gtest.h>

#include <cstring>

#include "util/crc16.h"

static uint16_t file_checksum(const char* data, unsigned length) {
  return crc16(0, reinterpret_cast<const unsigned char*>(data), length, 0, -1);
}

TEST(Crc16, KermitVectors) {
  EXPECT_EQ(file_checksum("123456789", 9), 0x2189);
  EXPECT_EQ(file_checksum("", 0), 0);
  EXPECT_EQ(file_checksum("A", 1), 0x538d);
  const char zeros[4] = {0, 0, 0, 0};
  EXPECT_EQ(file_checksum(zeros, 4), 0);
}

TEST(Crc16, UnreflectedAndPresetRegister) {
  const auto* data = reinterpret_cast<const unsigned char*>("123456789");
  EXPECT_EQ(crc16(0, data, 9, 0, 1), 0x31c3);        // XMODEM
  EXPECT_EQ(crc16(0xffff, data, 9, -1, 1), 0x29b1);  // CCITT-FALSE
  EXPECT_EQ(crc16(0x1234, data, 9, 0, 1), 0x31c3);   // initial byte overrides the register
}
