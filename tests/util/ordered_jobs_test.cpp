#include "util/ordered_jobs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>

#include "report/report_errors.h"
#include "support/process_trap.h"

namespace {
// Jobs that finish out of order: the later ones first.
void pause_for(size_t index, size_t count) { std::this_thread::sleep_for(std::chrono::microseconds(200 * (count - index))); }
}  // namespace

TEST(OrderedJobs, ResultsComeInJobOrderWithinTheWindow) {
  for (size_t workers : {0, 1, 3}) {
    for (size_t window : {1, 2, 5}) {
      SCOPED_TRACE("workers " + std::to_string(workers) + " window " + std::to_string(window));
      const size_t count = 12;
      std::atomic<size_t> started{0}, taken{0}, widest{0};
      ordered_jobs<size_t> jobs(count, workers, window, [&](size_t index) {
        const size_t ahead = ++started - taken;
        for (size_t wide = widest; ahead > wide && !widest.compare_exchange_weak(wide, ahead);) {
        }
        pause_for(index, count);
        return index * index;
      });
      for (size_t index = 0; index < count; ++index) {
        EXPECT_EQ(jobs.take(), index * index);
        ++taken;
      }
      EXPECT_EQ(started, count);
      // Beside the job being taken, at most the window's jobs started ahead.
      EXPECT_LE(widest, window + 1);
    }
  }
}

// What a thread holds for its jobs goes once it has none left: each thread
// that did jobs runs done once, after the last of them.
TEST(OrderedJobs, EachThreadThatDidJobsRunsDoneOnceAfterItsLast) {
  for (size_t workers : {0, 1, 3}) {
    SCOPED_TRACE("workers " + std::to_string(workers));
    const size_t count = 12;
    std::mutex mutex;
    std::map<std::thread::id, size_t> jobs_done, jobs_before_done, dones;
    {
      ordered_jobs<size_t> jobs(
          count, workers, 2,
          [&](size_t index) {
            pause_for(index, count);
            std::lock_guard<std::mutex> lock(mutex);
            ++jobs_done[std::this_thread::get_id()];
            return index;
          },
          [&] {
            std::lock_guard<std::mutex> lock(mutex);
            ++dones[std::this_thread::get_id()];
            jobs_before_done[std::this_thread::get_id()] = jobs_done[std::this_thread::get_id()];
          });
      for (size_t index = 0; index < count; ++index) EXPECT_EQ(jobs.take(), index);
    }
    EXPECT_EQ(dones.size(), jobs_done.size());
    for (const auto& [thread, done] : jobs_done) {
      EXPECT_EQ(dones[thread], 1u);
      EXPECT_EQ(jobs_before_done[thread], done);
    }
  }
}

// A run that ends before taking every job (an earlier report failed to
// merge) leaves its workers to finish what they started, and starts no more.
TEST(OrderedJobs, EndingBeforeTheLastJobWaitsForTheStartedOnes) {
  std::atomic<size_t> started{0};
  {
    ordered_jobs<int> jobs(100, 2, 3, [&](size_t) {
      ++started;
      return 0;
    });
    jobs.take();
  }
  EXPECT_LE(started, 4u);
}

// On a worker, a fatal error shows nothing and ends nothing: the run ends
// with it, as it would have there, when the job's turn comes, after the
// jobs before it were taken.
TEST(OrderedJobs, AWorkersFatalErrorEndsTheRunInItsTurn) {
  for (size_t workers : {0, 1}) {
    std::string written;
    const int status = run_to_end(
        [&] {
          ordered_jobs<int> jobs(2, workers, 2, [](size_t index) -> int {
            if (index == 1) unexpected_end_of_report();
            return 7;
          });
          EXPECT_EQ(jobs.take(), 7);
          jobs.take();
        },
        &written);
    EXPECT_EQ(status, 7);
    EXPECT_EQ(written, UNEXPECTED_END);
  }
}
