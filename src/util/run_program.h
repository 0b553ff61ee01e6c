#pragma once

// Starting a program and waiting for it, without a shell.

#include <string>
#include <vector>

// Starts arguments[0] with exactly these arguments, no shell in between, and
// waits for it. Returns the wait status, or -1 when the program could not be
// started.
int run_program(const std::vector<std::string>& arguments);
