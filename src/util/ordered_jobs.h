#pragma once

// Jobs 0 to count-1 done ahead on worker threads, their results taken one
// after the other in job order on the thread that owns this. At most
// `window` jobs are started beyond the one being taken, so what waits to be
// taken stays bounded. Without workers (none asked, or none could start) each
// job is done on the taking thread when it is taken, as a plain loop would.
// A thread that did jobs runs `done` once none is left for it: a worker once
// every job is started (or the jobs stop), the taking thread after the first
// job with workers, after the last without. A job that throws hands its
// exception over: take rethrows it, in order.
// Workers defer the run's endings (see run_ending.h): a job's ending is
// replayed by take, in the job's turn.

#include <pthread.h>

#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include "util/ending_signals.h"
#include "util/process_exit.h"
#include "util/run_ending.h"

template <typename Result>
class ordered_jobs {
 public:
  using job = std::function<Result(size_t index)>;
  using thread_done = std::function<void()>;

  ordered_jobs(size_t count, size_t workers, size_t window, job work, thread_done done = {})
      : work_(std::move(work)), done_(std::move(done)), slots_(count), window_(window < 1 ? 1 : window) {
    // The ending signals stay with the main thread, as without workers.
    const sigset_t endings = ending_signal_set();
    sigset_t before;
    pthread_sigmask(SIG_BLOCK, &endings, &before);
    // The taker does the first job itself, the workers the next ones
    // meanwhile, rather than the taker waiting for the first.
    started_ = workers > 0 && count > 0 ? 1 : 0;
    for (size_t i = 0; i < workers && i < count; ++i) {
      try {
        threads_.emplace_back([this] { run_worker(); });
      } catch (const std::system_error&) {
        break;  // fewer workers, or none: the taking thread does the rest
      }
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    if (!threads_.empty()) running_ = std::make_unique<workers_running>();
  }
  ordered_jobs(const ordered_jobs&) = delete;
  ordered_jobs& operator=(const ordered_jobs&) = delete;

  // Jobs not yet started never start; those under way are waited for.
  ~ordered_jobs() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    wake_workers_.notify_all();
    for (std::thread& thread : threads_) thread.join();
  }

  // The next job's result; called once per job, in job order.
  Result take() {
    const size_t index = taken_;
    std::unique_lock<std::mutex> lock(mutex_);
    ++taken_;
    if (threads_.empty()) started_ = taken_;
    lock.unlock();
    wake_workers_.notify_all();  // the window moved on
    if (threads_.empty() || index == 0) {
      Result result = work_(index);
      if (done_ && (!threads_.empty() || index + 1 == slots_.size())) done_();
      return result;
    }
    lock.lock();
    result_ready_.wait(lock, [&] { return slots_[index].done; });
    slot finished = std::move(slots_[index]);
    lock.unlock();
    if (finished.failure) rethrow_in_turn(finished.failure);
    return std::move(*finished.result);
  }

 private:
  struct slot {
    bool done = false;
    std::optional<Result> result;
    std::exception_ptr failure;
  };

  [[noreturn]] static void rethrow_in_turn(std::exception_ptr failure) {
    try {
      std::rethrow_exception(failure);
    } catch (const run_ending& ending) {
      ending.replay();
    }
  }

  void run_worker() {
    const deferred_endings on_worker;
    bool owes_done = false;  // jobs done since this thread last ran done_
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      wake_workers_.wait(lock, [&] {
        const bool all_started = started_ == slots_.size();
        return stopping_ || (owes_done && all_started) || (!all_started && started_ < taken_ + window_);
      });
      if (stopping_ || started_ == slots_.size()) {
        if (owes_done && done_) {
          lock.unlock();
          done_();
          lock.lock();
        }
        owes_done = false;
        if (stopping_) return;
        continue;
      }
      owes_done = true;
      const size_t index = started_++;
      // Idle workers that did jobs have none left now.
      if (started_ == slots_.size()) wake_workers_.notify_all();
      lock.unlock();
      slot finished;
      try {
        finished.result.emplace(work_(index));
      } catch (...) {
        finished.failure = std::current_exception();
      }
      finished.done = true;
      lock.lock();
      slots_[index] = std::move(finished);
      result_ready_.notify_all();
    }
  }

  const job work_;
  const thread_done done_;
  std::vector<slot> slots_;
  const size_t window_;
  size_t started_ = 0;  // jobs handed to a worker or the taker
  size_t taken_ = 0;
  bool stopping_ = false;
  std::mutex mutex_;
  std::condition_variable wake_workers_, result_ready_;
  std::vector<std::thread> threads_;
  std::unique_ptr<workers_running> running_;
};
