#include "util/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "util/out_of_memory.h"

int open_regular(const char* path) {
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat status;
  if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) return fd;
  close(fd);
  return -1;
}

FILE* open_regular_stream(const char* path) {
  const int fd = open_regular(path);
  if (fd < 0) return nullptr;
  FILE* stream = fdopen(fd, "r");
  if (stream) return stream;
  const int error = errno;
  close(fd);
  if (error == ENOMEM) out_of_memory();
  return nullptr;
}
