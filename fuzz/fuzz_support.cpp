#include "fuzz_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sanitizer/allocator_interface.h>
#include <unordered_set>

#include "messages/catalogue.h"
#include "messages/emit.h"
#include "util/process_exit.h"

[[noreturn]] static void throw_fuzz_ended(int status) { throw fuzz_ended{status}; }

// Blocks allocated while tracking is on and not freed since: an open-addressed
// set with linear probing, since a node-based set costs an allocation of
// its own for every block. Deletion shifts the entries behind back, so an
// emptied set needs no clearing. Its own array is kept out by the guard.
namespace {
struct block_set {
  const volatile void** entries = nullptr;
  size_t mask = 0, count = 0;
};
}  // namespace
static block_set tracked;
static bool tracking, in_hook;

static size_t home_of(const volatile void* block, size_t mask) {
  return (reinterpret_cast<uintptr_t>(block) >> 4) * 0x9E3779B97F4A7C15u >> 20 & mask;
}

static void insert_block(const volatile void* block);

static void grow_set() {
  block_set old = tracked;
  tracked.mask = old.mask ? old.mask * 2 + 1 : (1u << 12) - 1;
  tracked.entries = static_cast<const volatile void**>(calloc(tracked.mask + 1, sizeof *tracked.entries));
  if (!tracked.entries) abort();
  tracked.count = 0;
  for (size_t i = 0; old.entries && i <= old.mask; ++i)
    if (old.entries[i]) insert_block(old.entries[i]);
  free(old.entries);
}

static void insert_block(const volatile void* block) {
  if ((tracked.count + 1) * 2 > tracked.mask + 1) grow_set();
  size_t i = home_of(block, tracked.mask);
  while (tracked.entries[i]) i = (i + 1) & tracked.mask;
  tracked.entries[i] = block;
  ++tracked.count;
}

static void erase_block(const volatile void* block) {
  if (!tracked.count) return;
  size_t hole = home_of(block, tracked.mask);
  while (tracked.entries[hole] != block) {
    if (!tracked.entries[hole]) return;
    hole = (hole + 1) & tracked.mask;
  }
  --tracked.count;
  // Entries after the hole that would no longer be found move into it.
  for (size_t next = (hole + 1) & tracked.mask; tracked.entries[next]; next = (next + 1) & tracked.mask) {
    const size_t home = home_of(tracked.entries[next], tracked.mask);
    if (((next - home) & tracked.mask) < ((next - hole) & tracked.mask)) continue;
    tracked.entries[hole] = tracked.entries[next];
    hole = next;
  }
  tracked.entries[hole] = nullptr;
}

static void on_malloc(const volatile void* block, size_t) {
  if (!tracking || in_hook) return;
  in_hook = true;
  insert_block(block);
  in_hook = false;
}

static void on_free(const volatile void* block) {
  if (!tracking || in_hook) return;
  in_hook = true;
  erase_block(block);
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
  const size_t kept = tracked.count;
  for (size_t i = 0; kept && i <= tracked.mask; ++i) {
    free(const_cast<void*>(tracked.entries[i]));
    tracked.entries[i] = nullptr;
  }
  tracked.count = 0;
  return kept;
}

void fuzz_start_process() {
  open_streams = new std::unordered_set<FILE*>;
  grow_set();
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
  // In memory where the system offers it: the RDD report is synced to disk.
  static std::string directory = [] {
    char in_memory[] = "/dev/shm/mpsfuzz.XXXXXX", on_disk[] = "/tmp/mpsfuzz.XXXXXX";
    const char* made = mkdtemp(in_memory);
    if (!made) made = mkdtemp(on_disk);
    if (!made) abort();
    return std::string(made);
  }();
  return directory + "/" + name;
}

// Without stdio: a stream's buffer would be one more allocation per file.
void fuzz_write_file(const std::string& path, const std::string& content) {
  const int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (descriptor < 0) abort();
  if (write(descriptor, content.data(), content.size()) != static_cast<ssize_t>(content.size())) abort();
  close(descriptor);
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
