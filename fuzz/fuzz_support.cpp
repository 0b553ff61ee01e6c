#include "fuzz_support.h"

#include <unistd.h>

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <sanitizer/allocator_interface.h>
#include <unordered_set>

#include "messages/catalogue.h"
#include "messages/emit.h"
#include "util/process_exit.h"

[[noreturn]] static void throw_fuzz_ended(int status) { throw fuzz_ended{status}; }

// Blocks allocated while tracking is on and not freed since. The set's own
// blocks are kept out by the guard.
static std::unordered_set<const volatile void*>* tracked;
static bool tracking, in_hook;

static void on_malloc(const volatile void* block, size_t) {
  if (!tracking || in_hook) return;
  in_hook = true;
  tracked->insert(block);
  in_hook = false;
}

static void on_free(const volatile void* block) {
  if (!tracking || in_hook) return;
  in_hook = true;
  tracked->erase(block);
  in_hook = false;
}

// The streams a fatal end leaves open are closed, not freed under glibc's
// feet: fopen and fclose are wrapped at link time (-Wl,--wrap).
static std::unordered_set<FILE*>* open_streams;

extern "C" FILE* __real_fopen(const char* path, const char* mode);
extern "C" int __real_fclose(FILE* stream);

extern "C" FILE* __wrap_fopen(const char* path, const char* mode) {
  const bool was_in_hook = in_hook;
  in_hook = true;
  FILE* stream = __real_fopen(path, mode);
  if (stream) open_streams->insert(stream);
  in_hook = was_in_hook;
  return stream;
}

extern "C" int __wrap_fclose(FILE* stream) {
  const bool was_in_hook = in_hook;
  in_hook = true;
  open_streams->erase(stream);
  in_hook = was_in_hook;
  return __real_fclose(stream);
}

void fuzz_track_allocations(bool on) { tracking = on; }

size_t fuzz_release_tracked() {
  tracking = true;
  while (!open_streams->empty()) __wrap_fclose(*open_streams->begin());
  tracking = false;
  const size_t kept = tracked->size();
  for (const volatile void* block : *tracked) free(const_cast<void*>(block));
  tracked->clear();
  return kept;
}

void fuzz_start_process() {
  tracked = new std::unordered_set<const volatile void*>;
  open_streams = new std::unordered_set<FILE*>;
  tracked->reserve(1 << 16);
  __sanitizer_install_malloc_and_free_hooks(on_malloc, on_free);
  static int argc = 1;
  static char name[] = "mpsmerge";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* app = new QCoreApplication(argc, argv);
  static_cast<void>(app);
  silence_qt_messages();
  fill_message_catalogue();
  set_exit_handler(throw_fuzz_ended);
  // Qt makes some of its state on first use; that must not count as the
  // first input's blocks.
  static_cast<void>(msg_line("UNEXPTEOF", 'F', QString(), QString()).toLocal8Bit());
}

std::string fuzz_path(const std::string& name) {
  static std::string directory = [] {
    char pattern[] = "/tmp/mpsfuzz.XXXXXX";
    if (!mkdtemp(pattern)) abort();
    return std::string(pattern);
  }();
  return directory + "/" + name;
}

void fuzz_write_file(const std::string& path, const std::string& content) {
  FILE* file = fopen(path.c_str(), "wb");
  if (!file) abort();
  fwrite(content.data(), 1, content.size(), file);
  fclose(file);
}

std::vector<std::string> fuzz_split(const uint8_t* data, size_t size, const std::string& separator,
                                    size_t max_parts) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string cut = "\n" + separator + "\n";
  std::vector<std::string> parts;
  size_t start = 0;
  while (parts.size() + 1 < max_parts) {
    size_t found = text.find(cut, start);
    if (found == std::string::npos) break;
    parts.push_back(text.substr(start, found + 1 - start));
    start = found + cut.size();
  }
  parts.push_back(text.substr(start));
  return parts;
}

void fuzz_leak(size_t blocks) {
  fprintf(stderr, "fuzz: the normal road kept %zu blocks\n", blocks);
  abort();
}
