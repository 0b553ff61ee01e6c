#include "util/file_identity.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <vector>

#include "util/paths.h"

std::string link_target(const char* name) {
  std::string path = name;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat status;
    if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) break;
    std::vector<char> text(static_cast<size_t>(status.st_size > 0 ? status.st_size : PATH_MAX) + 1);
    const ssize_t length = readlink(path.c_str(), text.data(), text.size());
    if (length < 0 || static_cast<size_t>(length) >= text.size()) break;
    const std::string target(text.data(), static_cast<size_t>(length));
    const size_t slash = path.rfind('/');
    path = target[0] == '/' || slash == std::string::npos ? target : path.substr(0, slash + 1) + target;
  }
  return path;
}

file_identity identity_of(const char* name) {
  struct stat status;
  if (stat(name, &status) == 0) return {identity_kind::file, status.st_dev, status.st_ino, std::string()};
  const std::string target = link_target(name);
  const size_t slash = target.rfind('/');
  const std::string last = slash == std::string::npos ? target : target.substr(slash + 1);
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
  if (!last.empty() && last != "." && last != ".." && stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode))
    return {identity_kind::name_in_folder, status.st_dev, status.st_ino, last};
  return {identity_kind::path, 0, 0, clean_absolute_path(target)};
}

bool same_file(const file_identity& a, const file_identity& b) {
  return a.kind == b.kind && a.device == b.device && a.inode == b.inode && a.name == b.name;
}
