#pragma once

// Overwriting a file in place with new bytes held whole, so that it ends as
// it was or as the new bytes: the part beyond the old end is written first
// (a full disk or the file size limit then stops the write before any old
// byte changes, and the file is cut back to its old end), the ending signals
// wait until the file is whole, SIGXFSZ makes a write fail instead of ending
// the process, and the file is cut to the new size last. Only SIGKILL, or a
// write error once the old bytes are being overwritten, can leave a mix of
// both.

#include <cstddef>

enum class overwrite_result { done, unchanged, cut };

overwrite_result overwrite_in_place(int descriptor, const char* bytes, size_t size);
