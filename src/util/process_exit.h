#pragma once

// Every road that ends the run goes through end_process, so that tests and
// fuzz targets can replace the real exit with a handler that unwinds instead.
using exit_handler = void (*)(int status);

// Installs a handler (nullptr restores the real exit). A handler that returns
// is followed by the real exit.
void set_exit_handler(exit_handler handler);

// Removes the temporary file of a report being written, then ends.
[[noreturn]] void end_process(int status);

// While one lives, worker threads may be running: the process then ends
// without running the static destructors the workers may still be using,
// its standard streams flushed.
class workers_running {
 public:
  workers_running();
  ~workers_running();
  workers_running(const workers_running&) = delete;
  workers_running& operator=(const workers_running&) = delete;
};
