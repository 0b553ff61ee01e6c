#pragma once

// Before any program runs: no report of the run may land on a file the user
// gave, nor two of them on one file, for the program that writes it would
// destroy the other. "The same file" is that of file_identity.

#include <vector>

// A ROD report the post-processor will write for a RIO file.
struct rod_output {
  const char* rio_name;
  const char* rod_path;
};

// Ends the run ("SAMERODFI" for two RIO files of one ROD report, else
// "OVERWRITE") when a ROD report would be written over another one, over a
// file of the command line, or the RDD report over either.
void refuse_overwrites(const std::vector<rod_output>& outputs, const std::vector<const char*>& inputs,
                       const char* rdd_name);

// Ends the run ("FICNOTOPN") when the RDD report would replace a file the
// run may not write to, or name a directory, as a plain open for writing
// would, rather than once all the work is done.
void refuse_unwritable_report(const char* rdd_name);
