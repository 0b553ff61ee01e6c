#pragma once

#include <string>

// Reads DIR/NAME, an RDD report, and writes its page DIR/<NAME without its
// extension>.html; returns the page's path. Throws tool_failure, leaving
// no page behind, when the report is no complete RDD report or the page
// cannot be written.
std::string write_bridge_page(const std::string& directory, const std::string& name);

std::string page_name_for(const std::string& rdd_name);
