#include "file_reading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "tool_failure.h"

namespace {

// Reads fd to its end or to limit bytes; false on a read error.
bool read_to_end(int fd, std::string& text, size_t limit) {
  char piece[1 << 16];
  while (text.size() < limit) {
    ssize_t got = read(fd, piece, std::min(sizeof piece, limit - text.size()));
    if (got == 0) return true;
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    text.append(piece, static_cast<size_t>(got));
  }
  return true;
}

} // namespace

std::optional<std::string> read_regular_file(const std::string& path, size_t limit) {
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) throw tool_failure("cannot read " + path);
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return std::nullopt;
  }
  std::string text;
  bool read_whole = read_to_end(fd, text, limit);
  close(fd);
  if (!read_whole) fail_on(path, "cannot read to its end");
  return text;
}

std::string read_standard_input() {
  std::string text;
  if (!read_to_end(STDIN_FILENO, text, SIZE_MAX)) fail_on("-", "cannot read standard input to its end");
  return text;
}
