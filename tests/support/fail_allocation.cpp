// Preloaded into a program (LD_PRELOAD), makes the k-th allocation of its run
// fail: whatever allocates, the program's own code, the C++ library, Qt or
// the C library (fopen, strdup, getcwd). Only allocations from main's start
// to the exit count, and every one of them is counted once: an operator new
// that takes its block from malloc is one allocation.
//   FAIL_ALLOCATION=k        the allocation that fails (from 1); 0: none
//   FAIL_ALLOCATION_LOG=path receives "failed k kind" when it fails, and
//                            "count n" when the run reaches its exit
// Both variables and LD_PRELOAD leave the environment at main's start, so
// that the programs the run starts are left alone. In a sanitizer build the
// library comes before the sanitizer's runtime (ASAN_OPTIONS must then hold
// verify_asan_link_order=0), and every allocation that does not fail goes on
// to the sanitizer's allocator. The programs under test are single-threaded.

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

struct next_functions {
  void* (*malloc)(size_t);
  void* (*calloc)(size_t, size_t);
  void* (*realloc)(void*, size_t);
  void (*free)(void*);
  void* (*aligned_alloc)(size_t, size_t);
  void* (*memalign)(size_t, size_t);
  int (*posix_memalign)(void**, size_t, size_t);
  void* (*valloc)(size_t);
  void* (*pvalloc)(size_t);
  void* (*new_single)(size_t);
  void* (*new_array)(size_t);
  void* (*new_single_aligned)(size_t, std::align_val_t);
  void* (*new_array_aligned)(size_t, std::align_val_t);
  void (*exit)(int);
};
next_functions next;

// dlsym allocates while the functions are looked up: those blocks come from
// here and are never given back.
alignas(std::max_align_t) char bootstrap_area[8192];
size_t bootstrap_used;
bool looking_up;

bool counting;
unsigned long allocation_count, failing_allocation;
int log_descriptor = -1;
int inside_new;  // an operator new's own malloc is not counted again

template <typename Function>
void look_up(Function* function, const char* name) {
  *function = reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

void look_up_all() {
  looking_up = true;
  look_up(&next.malloc, "malloc");
  look_up(&next.calloc, "calloc");
  look_up(&next.realloc, "realloc");
  look_up(&next.free, "free");
  look_up(&next.aligned_alloc, "aligned_alloc");
  look_up(&next.memalign, "memalign");
  look_up(&next.posix_memalign, "posix_memalign");
  look_up(&next.valloc, "valloc");
  look_up(&next.pvalloc, "pvalloc");
  look_up(&next.new_single, "_Znwm");
  look_up(&next.new_array, "_Znam");
  look_up(&next.new_single_aligned, "_ZnwmSt11align_val_t");
  look_up(&next.new_array_aligned, "_ZnamSt11align_val_t");
  look_up(&next.exit, "exit");
  looking_up = false;
}

void ensure_looked_up() {
  if (!next.malloc && !looking_up) look_up_all();
}

void* bootstrap_block(size_t size) {
  const size_t rounded = (size + alignof(std::max_align_t) - 1) & ~(alignof(std::max_align_t) - 1);
  if (rounded > sizeof bootstrap_area - bootstrap_used) return nullptr;
  void* block = bootstrap_area + bootstrap_used;
  bootstrap_used += rounded;
  return block;
}

bool from_bootstrap(const void* block) {
  return block >= bootstrap_area && block < bootstrap_area + sizeof bootstrap_area;
}

// Without allocating: the log is written while memory is short.
void write_log(const char* word, unsigned long number, const char* kind) {
  if (log_descriptor < 0) return;
  char line[96];
  size_t length = strlen(word);
  memcpy(line, word, length);
  line[length++] = ' ';
  char digits[24];
  size_t count = 0;
  do digits[count++] = static_cast<char>('0' + number % 10);
  while ((number /= 10) != 0);
  while (count) line[length++] = digits[--count];
  if (kind) {
    line[length++] = ' ';
    const size_t kind_length = strlen(kind);
    memcpy(line + length, kind, kind_length);
    length += kind_length;
  }
  line[length++] = '\n';
  ssize_t ignored = write(log_descriptor, line, length);
  static_cast<void>(ignored);
}

bool fails_now(const char* kind) {
  if (!counting || inside_new) return false;
  if (++allocation_count != failing_allocation) return false;
  write_log("failed", allocation_count, kind);
  return true;
}

void stop_counting() {
  if (!counting) return;
  counting = false;
  write_log("count", allocation_count, nullptr);
}

// The next allocator's block, unless this allocation is the one that fails.
template <typename... Parameters, typename... Arguments>
void* counted(void* (*const* next_function)(Parameters...), const char* kind, Arguments... arguments) {
  if (fails_now(kind)) {
    errno = ENOMEM;
    return nullptr;
  }
  return (*next_function)(arguments...);
}

// As the C++ library's own: the new handler gets its chance, else
// std::bad_alloc. The handler installed may end the process itself.
template <typename... Alignment>
void* counted_new(void* (*const* next_new)(size_t, Alignment...), const char* kind, size_t size,
                  Alignment... alignment) {
  ensure_looked_up();
  while (fails_now(kind)) {
    std::new_handler handler = std::get_new_handler();
    if (!handler) throw std::bad_alloc();
    handler();
  }
  ++inside_new;
  struct leave {
    ~leave() { --inside_new; }
  } on_return;
  return (*next_new)(size, alignment...);
}

template <typename... Alignment>
void* counted_new_nothrow(void* (*const* next_new)(size_t, Alignment...), const char* kind, size_t size,
                          Alignment... alignment) noexcept {
  try {
    return counted_new(next_new, kind, size, alignment...);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

int (*program_main)(int, char**, char**);

int counted_main(int argc, char** argv, char** envp) {
  const char* failing = getenv("FAIL_ALLOCATION");
  failing_allocation = failing ? strtoul(failing, nullptr, 10) : 0;
  if (const char* log_path = getenv("FAIL_ALLOCATION_LOG"))
    log_descriptor = open(log_path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  unsetenv("LD_PRELOAD");
  unsetenv("FAIL_ALLOCATION");
  unsetenv("FAIL_ALLOCATION_LOG");
  counting = true;
  const int status = program_main(argc, argv, envp);
  stop_counting();
  return status;
}

}  // namespace

extern "C" {

int __libc_start_main(int (*main)(int, char**, char**), int argc, char** argv, void (*init)(),
                      void (*fini)(), void (*rtld_fini)(), void* stack_end) {
  using start_function = int (*)(int (*)(int, char**, char**), int, char**, void (*)(), void (*)(),
                                 void (*)(), void*);
  auto next_start = reinterpret_cast<start_function>(dlsym(RTLD_NEXT, "__libc_start_main"));
  program_main = main;
  return next_start(counted_main, argc, argv, init, fini, rtld_fini, stack_end);
}

void exit(int status) noexcept {
  ensure_looked_up();
  stop_counting();
  next.exit(status);
  __builtin_unreachable();
}

void* malloc(size_t size) noexcept {
  ensure_looked_up();
  if (looking_up) return bootstrap_block(size);
  return counted(&next.malloc, "malloc", size);
}

void* calloc(size_t count, size_t size) noexcept {
  ensure_looked_up();
  if (looking_up) {
    void* block = count && size > SIZE_MAX / count ? nullptr : bootstrap_block(count * size);
    if (block) memset(block, 0, count * size);
    return block;
  }
  return counted(&next.calloc, "calloc", count, size);
}

void* realloc(void* block, size_t size) noexcept {
  ensure_looked_up();
  if (from_bootstrap(block)) {
    void* moved = malloc(size);
    const size_t available = static_cast<size_t>(bootstrap_area + sizeof bootstrap_area - static_cast<char*>(block));
    if (moved) memcpy(moved, block, size < available ? size : available);
    return moved;
  }
  // realloc(block, 0) frees the block: no allocation to fail.
  if (block && size == 0) return next.realloc(block, size);
  return counted(&next.realloc, "realloc", block, size);
}

void free(void* block) noexcept {
  if (from_bootstrap(block)) return;
  ensure_looked_up();
  next.free(block);
}

void* aligned_alloc(size_t alignment, size_t size) noexcept {
  ensure_looked_up();
  return counted(&next.aligned_alloc, "aligned_alloc", alignment, size);
}

void* memalign(size_t alignment, size_t size) noexcept {
  ensure_looked_up();
  return counted(&next.memalign, "memalign", alignment, size);
}

int posix_memalign(void** block, size_t alignment, size_t size) noexcept {
  ensure_looked_up();
  if (fails_now("posix_memalign")) return ENOMEM;
  return next.posix_memalign(block, alignment, size);
}

void* valloc(size_t size) noexcept {
  ensure_looked_up();
  return counted(&next.valloc, "valloc", size);
}

void* pvalloc(size_t size) noexcept {
  ensure_looked_up();
  return counted(&next.pvalloc, "pvalloc", size);
}

}  // extern "C"

void* operator new(size_t size) { return counted_new(&next.new_single, "new", size); }
void* operator new[](size_t size) { return counted_new(&next.new_array, "new[]", size); }
void* operator new(size_t size, std::align_val_t alignment) {
  return counted_new(&next.new_single_aligned, "new", size, alignment);
}
void* operator new[](size_t size, std::align_val_t alignment) {
  return counted_new(&next.new_array_aligned, "new[]", size, alignment);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  return counted_new_nothrow(&next.new_single, "new", size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
  return counted_new_nothrow(&next.new_array, "new[]", size);
}
void* operator new(size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return counted_new_nothrow(&next.new_single_aligned, "new", size, alignment);
}
void* operator new[](size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return counted_new_nothrow(&next.new_array_aligned, "new[]", size, alignment);
}
