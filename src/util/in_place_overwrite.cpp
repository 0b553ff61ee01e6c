#include "util/in_place_overwrite.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "util/ending_signals.h"

static bool write_all(int descriptor, const char* bytes, size_t size, off_t at) {
  while (size > 0) {
    const ssize_t written = pwrite(descriptor, bytes, size, at);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes += written;
    size -= static_cast<size_t>(written);
    at += written;
  }
  return true;
}

static overwrite_result overwrite(int descriptor, const char* bytes, size_t size) {
  struct stat status;
  if (fstat(descriptor, &status) != 0) return overwrite_result::unchanged;
  const size_t old_size = static_cast<size_t>(status.st_size);
  if (size > old_size && !write_all(descriptor, bytes + old_size, size - old_size, static_cast<off_t>(old_size)))
    return ftruncate(descriptor, static_cast<off_t>(old_size)) == 0 ? overwrite_result::unchanged
                                                                    : overwrite_result::cut;
  const bool whole = write_all(descriptor, bytes, std::min(size, old_size), 0) &&
                     ftruncate(descriptor, static_cast<off_t>(size)) == 0 && fsync(descriptor) == 0;
  return whole ? overwrite_result::done : overwrite_result::cut;
}

overwrite_result overwrite_in_place(int descriptor, const char* bytes, size_t size) {
  const sigset_t endings = ending_signal_set();
  sigset_t before;
  sigprocmask(SIG_BLOCK, &endings, &before);
  struct sigaction ignored = {}, saved_file_size;
  ignored.sa_handler = SIG_IGN;
  sigemptyset(&ignored.sa_mask);
  sigaction(SIGXFSZ, &ignored, &saved_file_size);
  const overwrite_result result = overwrite(descriptor, bytes, size);
  sigaction(SIGXFSZ, &saved_file_size, nullptr);
  sigprocmask(SIG_SETMASK, &before, nullptr);
  return result;
}
