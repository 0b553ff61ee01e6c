#pragma once

// The lines that open and close a run: the banner, and the summary that
// gives the exit status.

// "STARTEXEC" and "COPYRIGHT", translated in the context "VRNTIdent".
void show_banner();

// The summary line; returns the exit status (0, or 3 after incorrect scenarios).
int end_of_run_summary();
