#include "util/crc16.h"

#include <cstring>

#include "util/crc16_fold.h"

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "a word's first byte is its lowest");

static uint16_t crc_table[256];
// The same, reflected: the reflected CRC runs on the reflected register.
// reflected_after[k][b] is byte b's share after k more bytes, so that eight
// bytes, read as one word, take eight independent lookups (a ROD report is
// read whole for it).
static const unsigned SLICE = 8;
static uint16_t reflected_after[SLICE][256];
static uint8_t reversed_byte[256];

static bool build_tables() {
  static const uint8_t nibble_reversed[16] = {0, 8, 4, 12, 2, 10, 6, 14, 1, 9, 5, 13, 3, 11, 7, 15};
  for (unsigned b = 0; b < 256; ++b) {
    unsigned reg = b << 8;
    for (int bit = 0; bit < 8; ++bit) reg = (reg & 0x8000) ? (reg << 1) ^ 0x1021 : reg << 1;
    crc_table[b] = static_cast<uint16_t>(reg);
    reversed_byte[b] = static_cast<uint8_t>((nibble_reversed[b & 15] << 4) | nibble_reversed[b >> 4]);
  }
  for (unsigned b = 0; b < 256; ++b) {
    const unsigned entry = crc_table[reversed_byte[b]];
    reflected_after[0][b] = static_cast<uint16_t>((reversed_byte[entry & 0xff] << 8) | reversed_byte[entry >> 8]);
  }
  for (unsigned k = 1; k < SLICE; ++k)
    for (unsigned b = 0; b < 256; ++b) {
      const unsigned before = reflected_after[k - 1][b];
      reflected_after[k][b] = static_cast<uint16_t>((before >> 8) ^ reflected_after[0][before & 0xff]);
    }
  return true;
}

static unsigned reflect_register(unsigned reg) {
  return (reversed_byte[reg & 0xff] << 8) | reversed_byte[(reg >> 8) & 0xff];
}

static unsigned reflected_by_tables(unsigned reg, const unsigned char* data, unsigned length) {
  unsigned i = 0;
  for (; i + SLICE <= length; i += SLICE) {
    uint64_t word;
    memcpy(&word, data + i, SLICE);
    word ^= reg;
    reg = 0;
    for (unsigned k = 0; k < SLICE; ++k) reg ^= reflected_after[SLICE - 1 - k][word >> 8 * k & 0xff];
  }
  for (; i < length; ++i) reg = (reg >> 8) ^ reflected_after[0][(reg ^ data[i]) & 0xff];
  return reg;
}

uint16_t crc16(unsigned initial_register, const unsigned char* data, unsigned length,
               int16_t initial_byte, int reflect) {
  // Built once, whichever thread comes first; the others wait for it.
  static const bool tables_built = build_tables();
  (void)tables_built;
  if (reflect < 0) {
    unsigned reg = initial_byte >= 0 ? reflect_register((static_cast<unsigned>(initial_byte) & 0xff) * 257)
                                     : initial_register & 0xffff;
    unsigned char folded[16];
    if (const size_t taken = fold_reflected(reg, data, length, folded)) {
      reg = reflected_by_tables(0, folded, sizeof folded);
      data += taken;
      length -= static_cast<unsigned>(taken);
    }
    return static_cast<uint16_t>(reflected_by_tables(reg, data, length));
  }
  unsigned reg = initial_byte >= 0 ? (static_cast<unsigned>(initial_byte) & 0xff) * 257 : initial_register & 0xffff;
  for (unsigned i = 0; i < length; ++i) reg = (crc_table[data[i] ^ (reg >> 8)] ^ (reg << 8)) & 0xffff;
  return static_cast<uint16_t>(reg);
}
