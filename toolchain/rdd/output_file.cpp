#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "tool_failure.h"

const char HTML_OUTPUT_OPENING[] =
    "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<meta name=\"generator\" content=\"mpsrdd\">\n";
const char XML_OUTPUT_OPENING[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- generator: mpsrdd -->\n";
const char JSON_OUTPUT_OPENING[] = "{\"otherData\": {\"generator\": \"mpsrdd\"},\n";

std::string beside(const std::string& report_path, const std::string& suffix) {
  size_t slash = report_path.rfind('/');
  size_t base = slash == std::string::npos ? 0 : slash + 1;
  size_t dot = report_path.rfind('.');
  bool has_extension = dot != std::string::npos && dot > base;
  return (has_extension ? report_path.substr(0, dot) : report_path) + suffix;
}

namespace {

// The temporary that a signal must remove: one output is made at a time.
char signalled_path[8192];
volatile sig_atomic_t temporary_pending = 0;

void remove_temporary_and_end(int signal_number) {
  if (temporary_pending) unlink(signalled_path);
  signal(signal_number, SIG_DFL);
  raise(signal_number);
}

const int ENDING_SIGNALS[] = {SIGTERM, SIGINT, SIGHUP};

void watch_ending_signals() {
  static bool watching = false;
  if (watching) return;
  watching = true;
  struct sigaction action {};
  action.sa_handler = remove_temporary_and_end;
  sigemptyset(&action.sa_mask);
  for (int s : ENDING_SIGNALS) {
    struct sigaction before {};
    // A signal ignored by whoever started the run (nohup) stays ignored.
    if (sigaction(s, nullptr, &before) == 0 && before.sa_handler != SIG_IGN) sigaction(s, &action, nullptr);
  }
  // Past the file size limit a write then fails and the temporary goes,
  // instead of the process ending beside it.
  signal(SIGXFSZ, SIG_IGN);
}

// Runs `change` with the ending signals held back, so that the handler never
// sees a half-registered temporary.
template <typename F> void with_signals_held(F change) {
  sigset_t held, before;
  sigemptyset(&held);
  for (int s : ENDING_SIGNALS) sigaddset(&held, s);
  sigprocmask(SIG_BLOCK, &held, &before);
  change();
  sigprocmask(SIG_SETMASK, &before, nullptr);
}

bool same_file(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

bool is_own_output(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  char head[sizeof HTML_OUTPUT_OPENING];
  size_t got = 0;
  while (got < sizeof head) {
    const ssize_t n = read(fd, head + got, sizeof head - got);
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  close(fd);
  const std::string_view start(head, got);
  return start.starts_with(HTML_OUTPUT_OPENING) || start.starts_with(XML_OUTPUT_OPENING) ||
         start.starts_with(JSON_OUTPUT_OPENING);
}

std::string directory_of(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

pending_output::pending_output(const std::string& path, const std::vector<std::string>& inputs) : path_(path) {
  mode_t mode = 0777;
  std::vector<struct stat> input_files;
  for (const std::string& input : inputs) {
    struct stat st;
    if (stat(input.c_str(), &st) != 0) throw tool_failure("cannot read " + input);
    mode &= st.st_mode & 0777;
    input_files.push_back(st);
  }
  struct stat out;
  if (lstat(path.c_str(), &out) == 0) {
    if (!S_ISREG(out.st_mode)) fail_on(path, "is no regular file: not replaced");
    for (const struct stat& in : input_files)
      if (same_file(in, out)) fail_on(path, "is a report read: not replaced");
    if (!is_own_output(path)) fail_on(path, "exists and is no output of mpsrdd: not replaced");
    replaces_ = true;
  } else if (errno != ENOENT) {
    fail_on(path, std::string("cannot write: ") + strerror(errno));
  }

  std::string base = path.substr(path.rfind('/') + 1);
  temporary_ = directory_of(path) + "/." + base + ".XXXXXX";
  if (temporary_.size() >= sizeof signalled_path) fail_on(path, "name too long");
  watch_ending_signals();
  int error = 0;
  with_signals_held([&] {
    fd_ = mkostemp(temporary_.data(), O_CLOEXEC);
    error = errno;
    if (fd_ < 0) return;
    memcpy(signalled_path, temporary_.c_str(), temporary_.size() + 1);
    temporary_pending = 1;
  });
  if (fd_ < 0) fail_on(path, std::string("cannot write: ") + strerror(error));
  if (fchmod(fd_, mode) != 0) {
    error = errno;
    discard();
    fail_on(path, std::string("cannot write: ") + strerror(error));
  }
}

pending_output::~pending_output() { discard(); }

void pending_output::discard() {
  if (fd_ < 0 && temporary_.empty()) return;
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  with_signals_held([&] {
    if (!temporary_.empty()) unlink(temporary_.c_str());
    temporary_pending = 0;
  });
  temporary_.clear();
}

void pending_output::commit(std::string_view content) {
  bool written = true;
  for (size_t done = 0; written && done < content.size();) {
    ssize_t n = write(fd_, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    written = n > 0;
    if (written) done += static_cast<size_t>(n);
  }
  int error = errno;
  if (close(fd_) != 0 && written) {
    written = false;
    error = errno;
  }
  fd_ = -1;
  if (written) {
    // A file made at the path since it was found missing is not replaced.
    int renamed = replaces_ ? rename(temporary_.c_str(), path_.c_str())
                            : renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, path_.c_str(), RENAME_NOREPLACE);
    if (renamed != 0 && !replaces_ && errno == EINVAL) renamed = rename(temporary_.c_str(), path_.c_str());
    if (renamed != 0) {
      written = false;
      error = errno;
    }
  }
  if (!written) {
    discard();
    fail_on(path_, error == EEXIST ? "was made by another program meanwhile: not replaced"
                                   : std::string("cannot write: ") + strerror(error));
  }
  with_signals_held([&] { temporary_pending = 0; });
  temporary_.clear();
}
