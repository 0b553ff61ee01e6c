#pragma once

// Carry-less multiplication folds a long message to sixteen bytes that leave
// the same CRC-16 remainder: a few instructions per sixteen bytes where the
// tables take a few per byte. The tables finish the CRC.

#include <cstddef>

// The reflected CRC over 0x1021 of data from register reg is the CRC from a
// zero register of folded followed by data's bytes from the count returned
// on. The count is a multiple of sixteen; 0 where the processor has no
// carry-less multiplication or data is too short to gain from it, folded
// then untouched.
size_t fold_reflected(unsigned reg, const unsigned char* data, size_t length, unsigned char folded[16]);
