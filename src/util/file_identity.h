#pragma once

// What makes two names the same file. A name that exists is its device and
// inode (so links and other spellings count); one that does not exist yet
// is where it would be made: the device and inode of its folder, as the
// folder resolves, and its last component, once the symbolic links it names
// are followed. A name whose folder does not exist either is its cleaned
// absolute path.

#include <sys/types.h>

#include <string>

enum class identity_kind { file, name_in_folder, path };

struct file_identity {
  identity_kind kind;
  dev_t device;      // of the file, or of its folder
  ino_t inode;
  std::string name;  // the last component, or the cleaned absolute path
};

file_identity identity_of(const char* name);
bool same_file(const file_identity& a, const file_identity& b);

// The name a chain of symbolic links ends at, existing or not.
std::string link_target(const char* name);
