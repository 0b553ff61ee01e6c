#pragma once

// Two runs on the same RIO files would each rewrite the ROD reports the
// other is reading. A run holds an exclusive advisory lock (flock) on each
// of its RIO files, inputs that no program recreates, from before its first
// post-processor run until its ROD reports are read; the kernel drops them
// however the run ends. They are taken in one order, by device and inode, so
// that two runs given the files in different orders cannot deadlock. A run
// that has to wait says so once ("RIOINUSED"). Where the file system offers
// no such lock, the run goes on without it.

#include <vector>

// Drops the locks taken before.
void lock_rio_files(const std::vector<const char*>& rio_names);

void release_rio_files();
