#pragma once

// An output that replaces a regular file (or makes a new one) whole or not
// at all: it is written to a temporary file in the same directory, flushed
// to disk and renamed over the name only once complete. A killed run or a
// failed write leaves the previous file as it was, and two runs writing one
// name leave one complete file. A symbolic link is followed: the rename goes
// onto its target. A replaced file keeps its permission bits. A name that is
// not a regular file (a terminal, a FIFO, a device) is written directly.

#include <cstdio>
#include <string>

struct replacement_file {
  FILE* stream = nullptr;
  std::string target;     // where the rename goes
  std::string temporary;  // empty when written directly
};

// False (errno set) when neither a temporary file nor the name itself can be
// opened for writing. While a temporary file exists, SIGINT, SIGTERM and
// SIGHUP remove it before they end the process, and SIGXFSZ makes the write
// fail instead of killing the process.
bool open_replacement(const char* name, replacement_file* file);
// Flushes, closes and renames; false when any of it fails, the temporary
// file then removed.
bool commit_replacement(replacement_file* file);

// Removes the temporary file still pending, if any; safe in a signal
// handler. Every road that ends the process calls it.
void remove_pending_temporary();
