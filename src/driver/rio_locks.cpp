#include "driver/rio_locks.h"

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <tuple>

#include "messages/emit.h"
#include "util/regular_file.h"

namespace {

struct rio_lock {
  const char* name;
  dev_t device;
  ino_t inode;
  int fd;
};

std::vector<int> held_descriptors;

// A file gone since it was paired is left to its post-processor run to tell.
std::vector<rio_lock> opened_locks(const std::vector<const char*>& rio_names) {
  std::vector<rio_lock> locks;
  for (const char* name : rio_names) {
    const int fd = open_regular(name);
    struct stat status;
    if (fd >= 0 && fstat(fd, &status) == 0) locks.push_back({name, status.st_dev, status.st_ino, fd});
    else if (fd >= 0) close(fd);
  }
  return locks;
}

bool same_file(const rio_lock& a, const rio_lock& b) { return a.device == b.device && a.inode == b.inode; }

// True when another run holds the lock; false once it is taken, or where the
// file system offers none.
bool held_elsewhere(int fd) {
  int result;
  do result = flock(fd, LOCK_EX | LOCK_NB);
  while (result != 0 && errno == EINTR);
  return result != 0 && errno == EWOULDBLOCK;
}

void wait_for_lock(int fd) {
  while (flock(fd, LOCK_EX) != 0 && errno == EINTR) continue;
}

}  // namespace

void lock_rio_files(const std::vector<const char*>& rio_names) {
  // Locks of an earlier pairing in this process would make this one wait on
  // itself.
  release_rio_files();
  std::vector<rio_lock> locks = opened_locks(rio_names);
  std::sort(locks.begin(), locks.end(), [](const rio_lock& a, const rio_lock& b) {
    return std::tie(a.device, a.inode) < std::tie(b.device, b.inode);
  });
  bool waited = false;
  for (size_t i = 0; i < locks.size(); ++i) {
    // A second description of a file this run locks would wait on itself.
    if (i && same_file(locks[i - 1], locks[i])) {
      close(locks[i].fd);
      continue;
    }
    if (held_elsewhere(locks[i].fd)) {
      if (!waited) msg_info("RIOINUSED", name_arg(locks[i].name), QString());
      waited = true;
      wait_for_lock(locks[i].fd);
    }
    held_descriptors.push_back(locks[i].fd);
  }
}

void release_rio_files() {
  for (int fd : held_descriptors) close(fd);
  held_descriptors.clear();
}
