// The main thread as a test sees it: posted work waits until the test runs it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "ports/main_thread.h"

namespace skyvigil::testing {

class FakeMainThread : public MainThread {
 public:
  void Post(std::function<void()> work) override {
    std::lock_guard lock(mutex_);
    posted_.push_back(std::move(work));
    posted_cv_.notify_all();
  }

  // Kept until the test lets the time pass with RunDelayed.
  void PostAfter(std::chrono::milliseconds delay, std::function<void()> work) override {
    std::lock_guard lock(mutex_);
    delays.push_back(delay);
    delayed_.push_back({delay, std::move(work)});
  }

  // The delays asked for, in order.
  std::vector<std::chrono::milliseconds> delays;

  // `passed` has passed: runs the delayed work due by then (by default the
  // short waits of a few seconds, not the refresh's or the briefing's).
  void RunDelayed(std::chrono::milliseconds passed = std::chrono::seconds(5)) {
    std::deque<std::pair<std::chrono::milliseconds, std::function<void()>>> due;
    {
      std::lock_guard lock(mutex_);
      due.swap(delayed_);
      for (auto it = due.begin(); it != due.end();) {
        if (it->first > passed) {
          delayed_.push_back(std::move(*it));
          it = due.erase(it);
        } else {
          ++it;
        }
      }
    }
    for (auto& [delay, work] : due)
      work();
  }

  // Waits until something was posted (by a worker thread, say).
  void AwaitPost() {
    std::unique_lock lock(mutex_);
    posted_cv_.wait(lock, [this] { return !posted_.empty(); });
  }

  // Runs what was posted, including work posted meanwhile; returns how much ran.
  int RunPosted() {
    int ran = 0;
    for (;;) {
      std::function<void()> next;
      {
        std::lock_guard lock(mutex_);
        if (posted_.empty())
          return ran;
        next = std::move(posted_.front());
        posted_.pop_front();
      }
      next();
      ++ran;
    }
  }

  // Throws away what was posted, unrun, as a desktop whose window is gone does.
  void DropPosted() {
    std::deque<std::function<void()>> dropped;
    {
      std::lock_guard lock(mutex_);
      dropped.swap(posted_);
    }
  }

  size_t Pending() {
    std::lock_guard lock(mutex_);
    return posted_.size();
  }

 private:
  std::mutex mutex_;
  std::condition_variable posted_cv_;
  std::deque<std::function<void()>> posted_;
  std::deque<std::pair<std::chrono::milliseconds, std::function<void()>>> delayed_;
};

}  // namespace skyvigil::testing
