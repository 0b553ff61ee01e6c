#pragma once

// Reads, shapes and merges every ROD report of rod_file_list into
// merged_report, in slot order; report n comes from slot n - 1.
void walk_reports(bool time_variant);
