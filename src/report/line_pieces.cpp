#include "report/line_pieces.h"

#include <algorithm>
#include <cstring>

bool line_pieces::next(std::string_view* line) {
  const char* feed;
  for (;;) {
    const size_t window = std::min(end_ - begin_, PIECE);
    feed = static_cast<const char*>(memchr(block_ + begin_, '\n', window));
    if (feed || window == PIECE || drained_) break;
    // Too few bytes left for a whole piece: the rest moves to the front and
    // the block fills up behind it.
    memmove(block_, block_ + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    const size_t got = fread(block_ + end_, 1, sizeof block_ - end_, file_);
    digest_.add(reinterpret_cast<const unsigned char*>(block_ + end_), static_cast<unsigned>(got));
    end_ += got;
    drained_ = got == 0;
    first_nul_ = nul_from(0);
  }
  if (begin_ == end_) return false;
  const size_t n = feed ? static_cast<size_t>(feed - (block_ + begin_)) + 1 : std::min(end_ - begin_, PIECE);
  const char* piece = block_ + begin_;
  begin_ += n;
  if (begin_ <= first_nul_) {
    *line = std::string_view(piece, n);
    return true;
  }
  *line = std::string_view(piece, strnlen(piece, n));
  first_nul_ = nul_from(begin_);
  return true;
}

// A block is looked at for NULs once, rather than every line for its own.
size_t line_pieces::nul_from(size_t from) const {
  const void* nul = memchr(block_ + from, '\0', end_ - from);
  return nul ? static_cast<size_t>(static_cast<const char*>(nul) - block_) : end_;
}
