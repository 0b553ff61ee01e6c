#pragma once

// The current time and the environment, as a run takes them.

#include <cstddef>

// The current local time in ctime form without its line feed; the text lives
// in the platform's static ctime area and is overwritten by the next call.
const char* current_time_text();

// Copies the variable's value into destination and returns it; an unset
// variable empties destination and returns nullptr. A value that does not fit
// (size bytes, NUL included) is fatal ("ENVTOOLNG"), never truncated.
const char* env_copy(const char* name, char* destination, size_t size);
