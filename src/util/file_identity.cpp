#include "util/file_identity.h"

#include <sys/stat.h>

#include "util/paths.h"

file_identity identity_of(const char* name) {
  struct stat status;
  const bool exists = stat(name, &status) == 0;
  return {exists, exists ? status.st_dev : 0, exists ? status.st_ino : 0, clean_absolute_path(name)};
}

bool same_file(const file_identity& a, const file_identity& b) {
  if (a.exists && b.exists) return a.device == b.device && a.inode == b.inode;
  return a.path == b.path;
}
