#pragma once

// What ends a run (a fatal message, memory gone) may happen on a worker
// thread doing work ahead for the main one. There it must not show yet: the
// run would end before the work in front of it was done, and the user would
// see a later report's error before an earlier one's. On a thread that
// defers, the ending is thrown as a run_ending instead; the thread that
// takes the work replays it where the work comes in its turn.

#include <functional>
#include <utility>

class run_ending {
 public:
  explicit run_ending(std::function<void()> end) : end_(std::move(end)) {}
  // Ends the run as the deferring thread would have: shows what it would
  // have shown, with its exit status.
  [[noreturn]] void replay() const;

 private:
  std::function<void()> end_;
};

// While one lives, the thread it was made on defers its endings.
class deferred_endings {
 public:
  deferred_endings();
  ~deferred_endings();
  deferred_endings(const deferred_endings&) = delete;
  deferred_endings& operator=(const deferred_endings&) = delete;
};

// Throws run_ending(end) on a thread that defers; returns on any other, which
// then ends the run itself.
void defer_on_worker(std::function<void()> end);
