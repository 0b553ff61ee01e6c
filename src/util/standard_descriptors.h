#pragma once

// Descriptors 0 to 2 that the run was started without are opened on
// /dev/null: otherwise the first files the run opens would take their
// numbers, and whatever is written on standard error, by this program or by
// those it runs, would land in them.
void open_standard_descriptors();
