#include "util/paths.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

// Names are bytes: they are cut where QFileInfo cuts them (at the last
// separator, nothing cleaned), without a round trip through a text encoding
// that would change the bytes that are not UTF-8.

void file_name_of(const char* path, std::string& destination) {
  if (!path || !*path) return;
  const char* separator = strrchr(path, '/');
  destination = separator ? separator + 1 : path;
}

void dir_name_of(const char* path, std::string& destination) {
  destination.clear();
  if (!path || !*path) return;
  const char* separator = strrchr(path, '/');
  if (!separator)
    destination = ".";
  else if (separator == path)
    destination = "/";
  else
    destination.assign(path, separator);
}

void absolute_path(const char* base, const char* path, std::string& destination) {
  if (!base || !path) return;
  if (path[0] == '/')
    destination = path;
  else if (!*path)
    destination = base;
  else
    destination = std::string(base) + '/' + path;
}

std::optional<std::string> relative_path(const char* from, const char* to) {
  if (!from || !to || from[0] != '/' || to[0] != '/') return std::nullopt;
  std::string a(from), b(to);
  if (a.back() != '/') a += '/';
  if (b.back() != '/') b += '/';

  size_t pa = 1, pb = 1;
  int components_a = 0, common = 0;
  bool diverged = false;
  size_t rest_of_b = b.size();
  while (pa < a.size()) {
    size_t end_a = a.find('/', pa);
    ++components_a;
    if (!diverged) {
      size_t end_b = pb < b.size() ? b.find('/', pb) : std::string::npos;
      if (end_b != std::string::npos &&
          a.compare(pa, end_a - pa, b, pb, end_b - pb) == 0) {
        ++common;
        pb = end_b + 1;
      } else {
        diverged = true;
        rest_of_b = pb;
      }
    }
    pa = end_a + 1;
  }
  if (!diverged) rest_of_b = pb;

  std::string result;
  for (int up = components_a - common; up > 0; --up) result += "../";
  if (rest_of_b < b.size()) result.append(b, rest_of_b, std::string::npos);
  return result;
}

std::string clean_absolute_path(const std::string& path) {
  std::string whole = path;
  if (path.empty() || path[0] != '/') {
    std::vector<char> here(4096);
    while (!getcwd(here.data(), here.size())) {
      if (errno != ERANGE) return path;
      here.resize(here.size() * 2);
    }
    whole = std::string(here.data()) + (path.empty() ? "" : "/" + path);
  }
  std::vector<std::string> parts;
  for (size_t start = 1; start <= whole.size();) {
    size_t end = whole.find('/', start);
    if (end == std::string::npos) end = whole.size();
    std::string part = whole.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string cleaned;
  for (const std::string& part : parts) cleaned += "/" + part;
  return cleaned.empty() ? "/" : cleaned;
}
