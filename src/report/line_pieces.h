#pragma once

// The lines of a ROD report as fgets with a ROD_LINE_BUFFER_SIZE buffer gives
// them, read a block at a time: a piece ends after a line feed, or after
// ROD_LINE_BUFFER_SIZE - 1 bytes, or at the end of the stream; its text ends
// at its first NUL, as strlen would see it. The size and CRC-16 of the bytes
// read are taken on the way, so that the source record describes the bytes
// merged, whatever becomes of the file.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "util/crc16.h"

enum { ROD_LINE_BUFFER_SIZE = 5120 };
static_assert(ROD_LINE_BUFFER_SIZE <= UINT16_MAX, "a record keeps a line's text with 16-bit offsets");

class line_pieces {
 public:
  explicit line_pieces(FILE* file) : file_(file) {}
  line_pieces(const line_pieces&) = delete;
  line_pieces& operator=(const line_pieces&) = delete;

  // The next piece, valid until the next call; false at the end of the
  // stream or at a read error, which the stream's error flag then tells.
  bool next(std::string_view* line);
  // The bytes read so far.
  const file_digest& digest() const { return digest_; }

 private:
  static constexpr size_t PIECE = ROD_LINE_BUFFER_SIZE - 1;

  // The first NUL of block_ from from on; end_ when there is none.
  size_t nul_from(size_t from) const;

  FILE* file_;
  size_t begin_ = 0, end_ = 0;  // the bytes of block_ not yet given
  size_t first_nul_ = 0;        // the first NUL of block_ at or after begin_, or end_
  bool drained_ = false;        // the stream has no more to give
  file_digest digest_;
  char block_[1 << 16];
};
