#pragma once

// The files a run reads must be regular files: a FIFO would wait for a
// writer for ever, and a device hands out whatever it holds.

#include <cstdio>

// A descriptor open for reading (close-on-exec), or -1 when the path cannot
// be opened or is no regular file. Nothing is read: a FIFO is opened without
// waiting for a writer and closed again.
int open_regular(const char* path);

// The same as a stream; a failure for want of memory ends the run as
// open_file does.
FILE* open_regular_stream(const char* path);
