#pragma once

// Wrappers that do not return on failure: they write their "FATAL ERROR on"
// text (translated, context "Fatal error") and end the run with status 7.

#include <cstddef>
#include <cstdio>

[[noreturn]] void fatal_exit(const char* text, const char* comment = nullptr,
                             const char* argument = nullptr);

void* checked_malloc(size_t size);
char* checked_strdup(const char* text);

// Formats into a destination of the given size; a formatting error or a result
// that would not fit is fatal, never a silent truncation.
void checked_sprintf(char* destination, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
