#pragma once

// The signals that end a run from outside (an interrupt, a termination, a
// hang-up): a report being written must not be left cut by them.

#include <csignal>

constexpr int ENDING_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};

inline sigset_t ending_signal_set() {
  sigset_t endings;
  sigemptyset(&endings);
  for (int signal_number : ENDING_SIGNALS) sigaddset(&endings, signal_number);
  return endings;
}
