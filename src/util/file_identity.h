#pragma once

// What makes two names the same file: the same device and inode when both
// exist (so links and other spellings count), otherwise the same cleaned
// absolute path.

#include <sys/types.h>

#include <string>

struct file_identity {
  bool exists;
  dev_t device;
  ino_t inode;
  std::string path;
};

file_identity identity_of(const char* name);
bool same_file(const file_identity& a, const file_identity& b);
