#pragma once

#include <cstdint>

// The lines that open and close a run: the banner, and the summary that
// gives the exit status.

// "STARTEXEC" and "COPYRIGHT", translated in the context "VRNTIdent".
void show_banner();

// The summary line; returns the exit status (0, or 3 when some of the
// post-processor runs found incorrect scenarios).
int end_of_run_summary(uint32_t incorrect_runs);
