#pragma once

#include <string>

// Reads the RDD report and writes its page; throws tool_failure, leaving no
// page behind, when the report is no complete RDD report or the page cannot
// be written.
void write_page_file(const std::string& rdd_path, const std::string& page_path);
