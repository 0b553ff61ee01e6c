#include <gtest/gtest.h>

#include "util/crc16.h"

// The reflected (KERMIT) road is checked by the source records of the RDD
// report tests; here that it goes on from a previous result.
TEST(Crc16, UnreflectedAndPresetRegister) {
  const auto* data = reinterpret_cast<const unsigned char*>("123456789");
  EXPECT_EQ(crc16(0, data, 9, 0, 1), 0x31c3);        // XMODEM
  EXPECT_EQ(crc16(0xffff, data, 9, -1, 1), 0x29b1);  // CCITT-FALSE
  EXPECT_EQ(crc16(0x1234, data, 9, 0, 1), 0x31c3);   // initial byte overrides the register
  EXPECT_EQ(crc16(crc16(0, data, 4, -1, -1), data + 4, 5, -1, -1), crc16(0, data, 9, 0, -1));
  EXPECT_EQ(crc16(0, data, 9, 0, -1), 0x2189);       // KERMIT
  EXPECT_EQ(crc16(0, data, 9, 0x12, -1), crc16(0x4848, data, 9, -1, -1));  // the register reflected
}
