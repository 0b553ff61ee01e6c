#include "util/standard_descriptors.h"

#include <fcntl.h>

#include <cerrno>

void open_standard_descriptors() {
  // open gives the lowest free number: the first one missing.
  for (int descriptor = 0; descriptor <= 2; ++descriptor)
    if (fcntl(descriptor, F_GETFD) == -1 && errno == EBADF) open("/dev/null", O_RDWR);
}
