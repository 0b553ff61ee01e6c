#pragma once

// Whatever fails to allocate (cells, containers, Qt), the run ends the way
// the checked allocator ends it: its "FATAL ERROR on malloc" text on
// standard error and status 7, never an uncaught std::bad_alloc.

#include <cstdio>

// Makes every failed operator new, and every std::bad_alloc that would end
// the process uncaught, end the run here. The first thing main does.
void end_runs_out_of_memory_here();

// Translates the text once the translators are installed: when memory is
// gone, translating it may be impossible.
void prepare_out_of_memory_text();

[[noreturn]] void out_of_memory();

// fopen, where a failure for want of memory ends the run as above instead of
// passing for a file that cannot be opened.
FILE* open_file(const char* path, const char* mode);
