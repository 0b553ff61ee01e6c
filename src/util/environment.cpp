#include "util/environment.h"

#include <QString>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "messages/emit.h"

const char* current_time_text() {
  time_t now = time(nullptr);
  char* text = ctime(&now);
  if (!text) return "";
  size_t length = strlen(text);
  if (length && text[length - 1] == '\n') text[length - 1] = '\0';
  return text;
}

std::optional<std::string> environment_value(const char* name, size_t size) {
  const char* value = getenv(name);
  if (!value) return std::nullopt;
  if (strlen(value) >= size)
    msg_fatal("ENVTOOLNG", QString::fromLocal8Bit(name), QString::number(size - 1));
  return std::string(value);
}
