#include "util/replacement_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <iterator>

#include "util/ending_signals.h"
#include "util/file_identity.h"
#include "util/in_place_overwrite.h"
#include "util/out_of_memory.h"

// The temporary file's name as the signal handlers see it.
static const char* volatile pending_temporary = nullptr;

void remove_pending_temporary() {
  const char* temporary = pending_temporary;
  pending_temporary = nullptr;
  if (temporary) unlink(temporary);
}

static struct sigaction saved_endings[std::size(ENDING_SIGNALS)], saved_file_size;

static void end_without_temporary(int signal_number) {
  remove_pending_temporary();
  ::signal(signal_number, SIG_DFL);
  raise(signal_number);
}

// Ignored signals stay ignored (a run under nohup keeps going).
static void guard_temporary() {
  for (size_t i = 0; i < std::size(ENDING_SIGNALS); ++i) {
    sigaction(ENDING_SIGNALS[i], nullptr, &saved_endings[i]);
    if (saved_endings[i].sa_handler == SIG_IGN) continue;
    struct sigaction ending = {};
    ending.sa_handler = end_without_temporary;
    sigemptyset(&ending.sa_mask);
    sigaction(ENDING_SIGNALS[i], &ending, nullptr);
  }
  struct sigaction ignored = {};
  ignored.sa_handler = SIG_IGN;
  sigemptyset(&ignored.sa_mask);
  sigaction(SIGXFSZ, &ignored, &saved_file_size);
}

static void release_temporary_guard() {
  pending_temporary = nullptr;
  for (size_t i = 0; i < std::size(ENDING_SIGNALS); ++i) sigaction(ENDING_SIGNALS[i], &saved_endings[i], nullptr);
  sigaction(SIGXFSZ, &saved_file_size, nullptr);
}

static mode_t new_file_mode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

static bool writable(const std::string& path) { return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0; }

bool may_replace(const char* name) {
  const std::string target = link_target(name);
  struct stat status;
  return stat(target.c_str(), &status) != 0 || !S_ISREG(status.st_mode) || writable(target);
}

static bool open_directly(const char* name, replacement_file* file) {
  file->stream = open_file(name, "w");
  return file->stream != nullptr;
}

// The new content goes to memory first: the file changes only once all of
// it is there.
static bool open_in_place(replacement_file* file) {
  file->in_place = open(file->target.c_str(), O_WRONLY | O_CLOEXEC);
  if (file->in_place < 0) return false;
  file->stream = open_memstream(&file->held, &file->held_size);
  if (!file->stream) out_of_memory();
  return true;
}

static std::string temporary_beside(const std::string& target) {
  const size_t slash = target.rfind('/');
  return (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + TEMPORARY_PATTERN;
}

bool open_replacement(const char* name, replacement_file* file) {
  file->name = name;
  file->target = link_target(name);
  struct stat status;
  const bool exists = stat(file->target.c_str(), &status) == 0;
  if (exists && !S_ISREG(status.st_mode)) return open_directly(name, file);
  if (exists && !writable(file->target)) return false;
  file->temporary = temporary_beside(file->target);
  // From its creation on, the temporary file is known to the handlers.
  guard_temporary();
  const sigset_t endings = ending_signal_set();
  sigset_t before;
  sigprocmask(SIG_BLOCK, &endings, &before);
  const int descriptor = mkstemp(file->temporary.data());
  if (descriptor >= 0) pending_temporary = file->temporary.c_str();
  sigprocmask(SIG_SETMASK, &before, nullptr);
  if (descriptor < 0) {
    release_temporary_guard();
    file->temporary.clear();
    return exists ? open_in_place(file) : open_directly(name, file);
  }
  if (fchmod(descriptor, exists ? status.st_mode & 07777 : new_file_mode()) != 0 ||
      !(file->stream = fdopen(descriptor, "w"))) {
    const int error = errno;
    close(descriptor);
    remove_pending_temporary();
    release_temporary_guard();
    if (error == ENOMEM) out_of_memory();
    errno = error;
    return false;
  }
  return true;
}

// A report cut short must not pass for a complete one.
static void discard_cut_file(const std::string& name) {
  struct stat status;
  if (lstat(name.c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
    unlink(name.c_str());
  } else if (stat(name.c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
    // Through a link only the content can go; the fatal message tells the rest.
    int ignored = truncate(name.c_str(), 0);
    static_cast<void>(ignored);
  }
}

// Writing to memory fails only for want of memory, which ends the run as
// any allocation does; the file has not changed yet. A memory stream that
// cannot shrink its buffer when closed loses it.
static bool commit_in_place(replacement_file* file, bool written) {
  written = written && file->held;
  overwrite_result result = overwrite_result::unchanged;
  if (written) result = overwrite_in_place(file->in_place, file->held, file->held_size);
  free(file->held);
  file->held = nullptr;
  close(file->in_place);
  file->in_place = -1;
  if (!written) out_of_memory();
  if (result == overwrite_result::cut) discard_cut_file(file->name);
  return result == overwrite_result::done;
}

bool commit_replacement(replacement_file* file) {
  bool written = !ferror(file->stream) && fflush(file->stream) == 0;
  if (!file->temporary.empty()) written = written && fsync(fileno(file->stream)) == 0;
  if (fclose(file->stream) != 0) written = false;
  file->stream = nullptr;
  if (file->in_place >= 0) return commit_in_place(file, written);
  if (file->temporary.empty()) {
    if (!written) discard_cut_file(file->name);
    return written;
  }
  if (written && rename(file->temporary.c_str(), file->target.c_str()) == 0) {
    release_temporary_guard();
    return true;
  }
  remove_pending_temporary();
  release_temporary_guard();
  return false;
}
