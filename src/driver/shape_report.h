#pragma once

// One ROD report from its file to the shaped tree a merge takes: read,
// numbered, filtered, classified, evaluated, closed, nested, pruned and
// regrouped.

#include "report/objet.h"
#include "util/crc16.h"

// Reads the ROD report at rod_path as report number report_number, sets its
// header record aside on report_headers and returns its shaped tree:
// numbered, filtered (by the time filter when time_variant), classified, evaluated,
// closed, nested, pruned and regrouped; with read, the size and CRC-16 of
// the bytes read.
objet* shape_report(const char* rod_path, int report_number, bool time_variant, file_digest* read = nullptr);
