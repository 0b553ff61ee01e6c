#pragma once

// "STARTEXEC" and "COPYRIGHT", translated in the context "VRNTIdent".
void show_banner();

// The summary line; returns the exit status (0, or 3 after incorrect scenarios).
int end_of_run_summary();
