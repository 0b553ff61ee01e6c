#pragma once

#include "cmdline/cmd_line.h"

// Names the run cannot carry, refused before anything runs (status 7): a
// line feed in a file name or in the working directory would split a
// message line and the RDD report's source records, which carry the ROD
// report names and directories ("NAMNEWLIN"); a working directory longer
// than the source records' area would end the run only once all the work is
// done ("NAMTOOLNG").
void refuse_unusable_names(const command_options& options);
