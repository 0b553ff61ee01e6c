#include "driver/rio_locks.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/scratch_dir.h"

namespace {

// Whether another open description of the file could take the lock now.
bool free_to_lock(const char* name) {
  const int fd = open(name, O_RDONLY);
  const bool free = flock(fd, LOCK_EX | LOCK_NB) == 0;
  close(fd);
  return free;
}

}  // namespace

// One file under several names (the same name twice, a hard link) is locked
// once: a second lock of this run's own would wait on the first for ever. A
// file gone since pairing is left to its post-processor run.
TEST(RioLocks, EachFileOnceUntilReleased) {
  scratch_dir scratch;
  write_file("a.rio", "a\n");
  write_file("b.rio", "b\n");
  ASSERT_EQ(link("a.rio", "linked.rio"), 0);
  testing::internal::CaptureStderr();
  lock_rio_files({"b.rio", "a.rio", "./a.rio", "linked.rio", "gone.rio"});
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_FALSE(free_to_lock("a.rio"));
  EXPECT_FALSE(free_to_lock("b.rio"));
  lock_rio_files({"b.rio"});
  EXPECT_TRUE(free_to_lock("a.rio"));
  release_rio_files();
  EXPECT_TRUE(free_to_lock("b.rio"));
}
