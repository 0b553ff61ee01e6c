#pragma once

// An output that replaces a regular file (or makes a new one) whole or not
// at all. It is written to a temporary file of a short name in the same
// directory (TEMPORARY_PATTERN: it fits wherever the name does), flushed to
// disk and renamed over the name only once complete: a killed run or a
// failed write leaves the previous file as it was, and two runs writing one
// name leave one complete file. A symbolic link is followed: the rename
// goes onto its target. A replaced file keeps its permission bits; one the
// run may not write to is not replaced, as a plain open for writing would
// refuse it. Where no temporary file can be made (a directory the run may
// not write in), the previous file is overwritten in place once the new
// content is complete in memory (see in_place_overwrite.h). A name that is
// not a regular file (a terminal, a FIFO, a device) is written directly.

#include <cstdio>
#include <string>

// The temporary file's name in the target's directory.
constexpr char TEMPORARY_PATTERN[] = "mpsmerge.XXXXXX";

struct replacement_file {
  FILE* stream = nullptr;
  std::string name;       // as given
  std::string target;     // where the rename goes, or the file overwritten
  std::string temporary;  // the temporary file, when there is one
  int in_place = -1;      // the file overwritten in place, once complete
  char* held = nullptr;   // what stream wrote, for the file in place
  size_t held_size = 0;
};

// Whether an existing regular file of that name (a link followed) may be
// replaced: the run may write to it. A name that does not exist may.
bool may_replace(const char* name);

// False (errno set) when neither a temporary file nor the name itself can be
// opened for writing, or the file may not be replaced. While a temporary
// file exists, SIGINT, SIGTERM and SIGHUP remove it before they end the
// process, and SIGXFSZ makes the write fail instead of killing the process.
bool open_replacement(const char* name, replacement_file* file);
// Flushes, closes and renames (or overwrites in place); false when any of
// it fails, the temporary file then removed, and a file written directly or
// in place that was left cut removed (through a link, emptied).
bool commit_replacement(replacement_file* file);

// Removes the temporary file still pending, if any; safe in a signal
// handler. Every road that ends the process calls it.
void remove_pending_temporary();
