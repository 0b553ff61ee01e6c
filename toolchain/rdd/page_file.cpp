#include "page_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "alignment.h"
#include "tool_failure.h"
#include "page.h"
#include "rdd_report.h"
#include "testers.h"
#include "timeline.h"

std::string page_name_for(const std::string& rdd_name) {
  size_t dot = rdd_name.rfind('.');
  return (dot == std::string::npos || dot == 0 ? rdd_name : rdd_name.substr(0, dot)) + ".html";
}

namespace {

// Written beside the page and renamed over it, so that a reader never sees
// half a page and a failed run leaves none.
void write_atomically(const std::string& path, const std::string& directory, const std::string& content) {
  std::string temporary = directory + "/." + path.substr(path.rfind('/') + 1) + ".XXXXXX";
  int fd = mkstemp(temporary.data());
  if (fd < 0) fail_on(path, std::string("cannot write: ") + strerror(errno));
  mode_t mask = umask(0);
  umask(mask);
  bool written = fchmod(fd, 0666 & ~mask) == 0;
  for (size_t done = 0; written && done < content.size();) {
    ssize_t n = write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    written = n > 0;
    if (written) done += static_cast<size_t>(n);
  }
  int error = errno;
  if (close(fd) != 0 && written) {
    written = false;
    error = errno;
  }
  if (written && rename(temporary.c_str(), path.c_str()) != 0) {
    written = false;
    error = errno;
  }
  if (!written) {
    unlink(temporary.c_str());
    fail_on(path, std::string("cannot write: ") + strerror(error));
  }
}

} // namespace

std::string write_bridge_page(const std::string& directory, const std::string& name) {
  std::string rdd_path = directory + "/" + name;
  rdd_report rdd = read_rdd_report(rdd_path);
  timeline lanes = build_timeline(rdd);
  std::vector<tester> testers = testers_of(rdd, lanes.reports);
  std::vector<clock_alignment> clocks = align_clocks(rdd, testers);
  std::string page = render_page({rdd, name, lanes, testers, clocks});
  std::string page_path = directory + "/" + page_name_for(name);
  write_atomically(page_path, directory, page);
  return page_path;
}
