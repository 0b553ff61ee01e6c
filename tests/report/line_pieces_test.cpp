#include "report/line_pieces.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {
// The pieces as the reader took them before: fgets into a buffer of the
// same size, each piece's text up to strlen, until fgets gives none.
std::vector<std::string> pieces_by_fgets(std::string text) {
  std::vector<std::string> pieces;
  FILE* file = fmemopen(text.data(), text.size(), "r");
  char buffer[ROD_LINE_BUFFER_SIZE];
  while (fgets(buffer, sizeof buffer, file)) {
    pieces.emplace_back(buffer, strlen(buffer));
    if (feof(file)) break;
  }
  fclose(file);
  return pieces;
}

std::vector<std::string> pieces_of(std::string text) {
  std::vector<std::string> pieces;
  FILE* file = fmemopen(text.data(), text.size(), "r");
  line_pieces reader(file);
  std::string_view line;
  while (reader.next(&line)) pieces.emplace_back(line);
  fclose(file);
  return pieces;
}
}  // namespace

// Lines of every length around the piece size and the block size, NULs,
// and streams that end with and without a line feed.
TEST(LinePieces, AreThePiecesFgetsGives) {
  std::mt19937 random(11);
  const std::string bytes("ab\" \r\0x", 7);
  const size_t lengths[] = {0, 1, 2, 5118, 5119, 5120, 5121, 10238, 10239, 65535, 65536, 70000};
  for (int round = 0; round < 200; ++round) {
    std::string text;
    for (int line = 0, lines = random() % 8; line < lines; ++line) {
      const size_t length = random() % 3 ? random() % 40 : lengths[random() % std::size(lengths)];
      for (size_t i = 0; i < length; ++i) text += bytes[random() % bytes.size()];
      if (random() % 4) text += '\n';
    }
    ASSERT_EQ(pieces_of(text), pieces_by_fgets(text)) << "round " << round << ", " << text.size() << " bytes";
  }
}
