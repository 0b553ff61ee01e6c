#include "util/checked.h"

#include <QCoreApplication>
#include <QString>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <string>

#include "util/out_of_memory.h"
#include "util/process_exit.h"
#include "util/run_ending.h"

enum { FATAL_STATUS = 7 };

void fatal_exit(const char* text, const char* comment, const char* argument) {
  defer_on_worker([text, comment, given = argument != nullptr, copy = std::string(argument ? argument : "")] {
    fatal_exit(text, comment, given ? copy.c_str() : nullptr);
  });
  QString message = QCoreApplication::translate("Fatal error", text, comment);
  if (argument && message.contains(QLatin1String("%1")))
    message = message.arg(QString::fromLocal8Bit(argument));
  fprintf(stderr, "%s", message.toLocal8Bit().constData());
  end_process(FATAL_STATUS);
}

void* checked_malloc(size_t size) {
  void* block = malloc(size);
  if (!block) out_of_memory();
  return block;
}

char* checked_strdup(const char* text) {
  char* copy = strdup(text);
  if (!copy) out_of_memory();
  return copy;
}

void checked_sprintf(char* destination, size_t size, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  int written = vsnprintf(destination, size, format, arguments);
  va_end(arguments);
  if (written < 0 || static_cast<size_t>(written) >= size)
    fatal_exit("FATAL ERROR on sprintf (%1),\n Please contact your administrative.\n",
               "%1 : the sprintf format", format);
}
