#pragma once

// A line feed in a file name or in the working directory would split a
// message line, and the RDD report's source records, which carry the ROD
// report names and directories: such a run is refused before anything
// runs ("NAMNEWLIN", status 7).
void refuse_names_with_line_feeds();
