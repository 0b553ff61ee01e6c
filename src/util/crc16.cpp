#include "util/crc16.h"

static uint16_t crc_table[256];
static uint8_t reversed_byte[256];
static bool tables_built = false;

static void build_tables() {
  static const uint8_t nibble_reversed[16] = {0, 8, 4, 12, 2, 10, 6, 14, 1, 9, 5, 13, 3, 11, 7, 15};
  for (unsigned b = 0; b < 256; ++b) {
    unsigned reg = b << 8;
    for (int bit = 0; bit < 8; ++bit) reg = (reg & 0x8000) ? (reg << 1) ^ 0x1021 : reg << 1;
    crc_table[b] = static_cast<uint16_t>(reg);
    reversed_byte[b] = static_cast<uint8_t>((nibble_reversed[b & 15] << 4) | nibble_reversed[b >> 4]);
  }
  tables_built = true;
}

static unsigned reflect_register(unsigned reg) {
  return (reversed_byte[reg & 0xff] << 8) | reversed_byte[(reg >> 8) & 0xff];
}

uint16_t crc16(unsigned initial_register, const unsigned char* data, unsigned length,
               int16_t initial_byte, int reflect) {
  if (!tables_built) build_tables();
  unsigned reg = initial_register & 0xffff;
  if (initial_byte >= 0)
    reg = (static_cast<unsigned>(initial_byte) & 0xff) * 257;
  else if (reflect < 0)
    reg = reflect_register(reg);
  for (unsigned i = 0; i < length; ++i) {
    unsigned d = reflect < 0 ? reversed_byte[data[i]] : data[i];
    reg = (crc_table[d ^ (reg >> 8)] ^ (reg << 8)) & 0xffff;
  }
  return static_cast<uint16_t>(reflect < 0 ? reflect_register(reg) : reg);
}
