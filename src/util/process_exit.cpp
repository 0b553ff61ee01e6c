#include "util/process_exit.h"

#include <cstdlib>

#include "util/replacement_file.h"

static exit_handler current_handler = nullptr;

void set_exit_handler(exit_handler handler) { current_handler = handler; }

void end_process(int status) {
  remove_pending_temporary();
  if (current_handler) current_handler(status);
  std::exit(status);
}
