#pragma once

#include <string_view>

// What the reader needs to know of a record keyword as the merger writes it.

// Position of the record's own time field, 0 for records without one.
unsigned time_field_of(std::string_view keyword);

// Opening and closing records of the blocks whose both ends the RDD report
// keeps; these are also the records that merged blocks share between testers.
bool opens_kept_block(std::string_view keyword);
bool closes_kept_block(std::string_view keyword);
std::string_view closing_keyword_of(std::string_view opening);

// Number of fields written before the report-number tail of a record of a
// merged block (XI 1, YI 0, DS 5, FS 3, ...); -1 for other records, whose
// tail is their last two fields.
int shared_prefix_of(std::string_view keyword);

// Records the merger writes with all their fields and never merges.
bool written_whole(std::string_view keyword);
