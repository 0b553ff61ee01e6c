#pragma once

// The CRC-16 of the source records.

#include <cstdint>

// Table-driven CRC over polynomial 0x1021. A negative initial byte keeps the
// initial register; a negative reflect reflects input and output. The file
// checksum (initial register 0, initial byte 0, reflect -1) is CRC-16/KERMIT.
uint16_t crc16(unsigned initial_register, const unsigned char* data, unsigned length,
               int16_t initial_byte, int reflect);

// The size and file checksum of bytes taken a block at a time, as they are
// read.
struct file_digest {
  uint64_t size = 0;
  uint16_t crc = 0;

  void add(const unsigned char* block, unsigned length) {
    crc = crc16(crc, block, length, -1, -1);
    size += length;
  }
};
