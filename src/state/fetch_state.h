// What the core's background fetches keep on the main thread: the newest
// fetch of each asker, so an older answer is known and dropped, and the
// workers, so the exit can wait for them.
#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace skyvigil {

// Who asked. A fetch replaces the one its asker started before; forecast,
// next hours and search share window 1, which shows one of them at a time.
enum class Asker { refresh, window_one, key_trial, update, briefing, summary, count };

// Set by a worker when its work is done, so the exit can wait for it a
// bounded time: an HTTP client may not be able to cut a request short at once.
struct WorkerDone {
  std::mutex mutex;
  std::condition_variable signal;
  bool done = false;
};

struct FetchWorker {
  std::thread thread;
  std::shared_ptr<WorkerDone> done;
};

struct FetchState {
  FetchState() = default;
  // Movable so that a desktop can build its App by value; only before a fetch starts.
  FetchState(FetchState&&) = default;
  FetchState& operator=(FetchState&&) = delete;
  // A worker only performs its requests and posts; it is done or nearly so.
  ~FetchState() {
    for (FetchWorker& w : workers) {
      if (w.thread.joinable())
        w.thread.join();
    }
  }

  uint64_t last_ticket = 0;
  // Per asker, the ticket of the fetch whose answers are awaited; 0 for none.
  std::array<uint64_t, static_cast<size_t>(Asker::count)> awaited{};
  std::vector<FetchWorker> workers;
  bool stopped = false;  // exiting: no answer is applied any more
};

}  // namespace skyvigil
