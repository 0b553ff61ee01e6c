#include "util/run_ending.h"

#include <cstdlib>

static thread_local bool deferring = false;

void run_ending::replay() const {
  end_();
  abort();  // every ending ends the process
}

deferred_endings::deferred_endings() { deferring = true; }
deferred_endings::~deferred_endings() { deferring = false; }

void defer_on_worker(std::function<void()> end) {
  if (deferring) throw run_ending(std::move(end));
}
