#include "util/paths.h"

#include <QFileInfo>
#include <QString>

#include "messages/emit.h"

static std::string local_text(const QString& text) { return text.toLocal8Bit().toStdString(); }

void file_name_of(const char* path, std::string& destination) {
  if (!path || !*path) return;
  destination = local_text(QFileInfo(QString::fromLocal8Bit(path)).fileName());
}

void dir_name_of(const char* path, std::string& destination) {
  destination.clear();
  if (!path || !*path) return;
  destination = local_text(QFileInfo(QString::fromLocal8Bit(path)).path());
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
