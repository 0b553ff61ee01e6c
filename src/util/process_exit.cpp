#include "util/process_exit.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "util/replacement_file.h"

static exit_handler current_handler = nullptr;
static std::atomic<int> worker_groups{0};

void set_exit_handler(exit_handler handler) { current_handler = handler; }

workers_running::workers_running() { ++worker_groups; }
workers_running::~workers_running() { --worker_groups; }

void end_process(int status) {
  remove_pending_temporary();
  if (current_handler) current_handler(status);
  if (worker_groups > 0) {
    fflush(nullptr);
    _exit(status);
  }
  std::exit(status);
}
