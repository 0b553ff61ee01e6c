#include "util/replacement_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "util/file_identity.h"
#include "util/out_of_memory.h"

// The temporary file's name as the signal handlers see it.
static const char* volatile pending_temporary = nullptr;

void remove_pending_temporary() {
  const char* temporary = pending_temporary;
  pending_temporary = nullptr;
  if (temporary) unlink(temporary);
}

static const int ENDING_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};
static struct sigaction saved_endings[3], saved_file_size;

static void end_without_temporary(int signal_number) {
  remove_pending_temporary();
  ::signal(signal_number, SIG_DFL);
  raise(signal_number);
}

// Ignored signals stay ignored (a run under nohup keeps going).
static void guard_temporary() {
  for (size_t i = 0; i < 3; ++i) {
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
  for (size_t i = 0; i < 3; ++i) sigaction(ENDING_SIGNALS[i], &saved_endings[i], nullptr);
  sigaction(SIGXFSZ, &saved_file_size, nullptr);
}

static mode_t new_file_mode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

static bool open_directly(const char* name, replacement_file* file) {
  file->temporary.clear();
  file->stream = open_file(name, "w");
  return file->stream != nullptr;
}

bool open_replacement(const char* name, replacement_file* file) {
  file->target = link_target(name);
  struct stat status;
  const bool exists = stat(file->target.c_str(), &status) == 0;
  if (exists && !S_ISREG(status.st_mode)) return open_directly(name, file);
  file->temporary = file->target + ".XXXXXX";
  // From its creation on, the temporary file is known to the handlers.
  guard_temporary();
  sigset_t endings, before;
  sigemptyset(&endings);
  for (int signal_number : ENDING_SIGNALS) sigaddset(&endings, signal_number);
  sigprocmask(SIG_BLOCK, &endings, &before);
  const int descriptor = mkstemp(file->temporary.data());
  if (descriptor >= 0) pending_temporary = file->temporary.c_str();
  sigprocmask(SIG_SETMASK, &before, nullptr);
  // A directory we may not write in may still hold a file we may: that file
  // is written in place, as it always was.
  if (descriptor < 0) {
    release_temporary_guard();
    return open_directly(name, file);
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

bool commit_replacement(replacement_file* file) {
  bool written = !ferror(file->stream) && fflush(file->stream) == 0;
  if (!file->temporary.empty()) written = written && fsync(fileno(file->stream)) == 0;
  if (fclose(file->stream) != 0) written = false;
  file->stream = nullptr;
  if (file->temporary.empty()) return written;
  if (written && rename(file->temporary.c_str(), file->target.c_str()) == 0) {
    release_temporary_guard();
    return true;
  }
  remove_pending_temporary();
  release_temporary_guard();
  return false;
}
