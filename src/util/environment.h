#pragma once

// The current time and the environment, as a run takes them.

#include <cstddef>
#include <optional>
#include <string>

// The current local time in ctime form without its line feed; the text lives
// in the platform's static ctime area and is overwritten by the next call.
const char* current_time_text();

// The variable's value; nothing when it is unset. A value of size bytes or
// more (as the areas it was once copied to held, NUL included) is fatal
// ("ENVTOOLNG"), never truncated.
std::optional<std::string> environment_value(const char* name, size_t size);
