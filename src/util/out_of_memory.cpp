#include "util/out_of_memory.h"

#include <unistd.h>

#include <QCoreApplication>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>

#include "util/process_exit.h"
#include "util/run_ending.h"
#include "util/replacement_file.h"

enum { FATAL_STATUS = 7, TEXT_SIZE = 1024 };

static const char MALLOC_TEXT[] =
    QT_TRANSLATE_NOOP("Fatal error", "FATAL ERROR on malloc,\n Please contact your administrative.\n");

static char prepared_text[TEXT_SIZE] = "FATAL ERROR on malloc,\n Please contact your administrative.\n";
static bool ending = false;

void prepare_out_of_memory_text() {
  const QByteArray text = QCoreApplication::translate("Fatal error", MALLOC_TEXT).toLocal8Bit();
  if (static_cast<size_t>(text.size()) < sizeof prepared_text) memcpy(prepared_text, text.constData(), text.size() + 1);
}

void out_of_memory() {
  defer_on_worker(out_of_memory);
  // The exit itself may need memory; failing again there ends at once.
  if (ending) {
    remove_pending_temporary();
    _exit(FATAL_STATUS);
  }
  ending = true;
  fputs(prepared_text, stderr);
  // Where the exit unwinds instead (tests, fuzz targets), the next failure
  // is handled again.
  struct unwound {
    ~unwound() { ending = false; }
  } reset;
  end_process(FATAL_STATUS);
}

[[noreturn]] static void on_terminate() {
  if (std::exception_ptr escaped = std::current_exception()) {
    try {
      std::rethrow_exception(escaped);
    } catch (const std::bad_alloc&) {
      out_of_memory();
    } catch (...) {
    }
  }
  abort();
}

void end_runs_out_of_memory_here() {
  std::set_new_handler(out_of_memory);
  std::set_terminate(on_terminate);
}

FILE* open_file(const char* path, const char* mode) {
  FILE* stream = fopen(path, mode);
  if (!stream && errno == ENOMEM) out_of_memory();
  return stream;
}
