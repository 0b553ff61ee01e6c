#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

// Every output of this tool starts with one of these openings, its mark line
// included: only a file that starts so from its first byte, or a missing
// one, is ever replaced. A TDC, RIO, ROD or RDD file never does, whatever
// lines follow its header.
extern const char HTML_OUTPUT_OPENING[];
extern const char XML_OUTPUT_OPENING[];
extern const char JSON_OUTPUT_OPENING[];

// An output being made: a temporary file beside its path, renamed over the
// path once complete, so that a reader never sees half of it and a failed
// run leaves none. The temporary is made before the inputs are read, so that
// an output that cannot be written is told before a long read; SIGTERM,
// SIGINT and SIGHUP remove it. It takes the permission bits that all inputs
// share: an output shows their lines.
//
// Throws tool_failure, having made nothing, when the path is an input, no
// regular file, or a file that is no output of this tool, or when an input
// cannot be found.
class pending_output {
public:
  pending_output(const std::string& path, const std::vector<std::string>& inputs);
  ~pending_output();
  pending_output(const pending_output&) = delete;
  pending_output& operator=(const pending_output&) = delete;

  // Writes the content and puts it in place; throws tool_failure, leaving
  // the path as it was, when it cannot.
  void commit(std::string_view content);

  const std::string& path() const { return path_; }

private:
  void discard();

  std::string path_, temporary_;
  int fd_ = -1;
  bool replaces_ = false; // the path holds an earlier output
};

// "DIR/NAME.rdd" as "DIR/NAME" + suffix.
std::string beside(const std::string& report_path, const std::string& suffix);
