// Perform on a worker, apply on the main thread, drop what nobody awaits.
#include "state/fetch.h"

#include <algorithm>
#include <utility>

namespace skyvigil {

namespace {

uint64_t& AwaitedTicket(FetchState& f, Asker asker) {
  return f.awaited[static_cast<size_t>(asker)];
}

// Joins the workers that are done, so threads do not pile up over a long run.
void ReapWorkers(FetchState& f) {
  std::erase_if(f.workers, [](FetchWorker& w) {
    {
      std::lock_guard lock(w.done->mutex);
      if (!w.done->done)
        return false;
    }
    w.thread.join();
    return true;
  });
}

}  // namespace

uint64_t StartFetch(App& app, Asker asker, FetchWork work, Delivery delivery) {
  FetchState& f = app.state.fetch;
  if (f.stopped)
    return 0;
  ReapWorkers(f);
  const uint64_t ticket = ++f.last_ticket;
  AwaitedTicket(f, asker) = ticket;
  // Runs on the main thread: only an answer still awaited is applied.
  auto land = [asker, ticket](CoreWork apply) {
    return [asker, ticket, apply = std::move(apply)](App& a) {
      FetchState& state = a.state.fetch;
      if (state.stopped || AwaitedTicket(state, asker) != ticket)
        return;
      AwaitedTicket(state, asker) = 0;
      apply(a);
    };
  };
  auto done = std::make_shared<WorkerDone>();
  // The worker sees only the client, the work and the ways back, never the state.
  std::function<void(CoreWork)> post;
  if (delivery == Delivery::between_handlers) {
    post = [core = app.core, land](CoreWork apply) { core->PostToCore(land(std::move(apply))); };
  } else {
    post = [&main = app.main_thread, &app, land](CoreWork apply) {
      main.Post([&app, landed = land(std::move(apply))] { landed(app); });
    };
  }
  std::thread thread([&http = app.http, work = std::move(work), post = std::move(post), done] {
    post(work(http));
    std::lock_guard lock(done->mutex);
    done->done = true;
    done->signal.notify_all();
  });
  f.workers.push_back({std::move(thread), std::move(done)});
  return ticket;
}

uint64_t FetchAnswers(App& app, Asker asker, std::vector<HttpRequest> requests, AnswersWork then,
                      Delivery delivery) {
  return StartFetch(
      app, asker,
      [requests = std::move(requests), then = std::move(then)](HttpClient& http) -> CoreWork {
        return [answers = http.PerformBatch(requests), then](App& a) { then(a, answers); };
      },
      delivery);
}

void CancelFetch(App& app, Asker asker) {
  AwaitedTicket(app.state.fetch, asker) = 0;
}

bool Awaiting(const App& app, Asker asker, uint64_t ticket) {
  const FetchState& f = app.state.fetch;
  return ticket != 0 && !f.stopped && f.awaited[static_cast<size_t>(asker)] == ticket;
}

void SayIfStillFetching(App& app, Asker asker, uint64_t ticket, std::string text) {
  app.main_thread.PostAfter(kFetchNotice, [core = app.core, asker, ticket, text] {
    core->PostToCore([asker, ticket, text](App& a) {
      if (Awaiting(a, asker, ticket))
        a.announcer.Speak(text, false);
    });
  });
}

void StopFetches(App& app) {
  FetchState& f = app.state.fetch;
  f.stopped = true;
  f.awaited = {};
  app.http.Abort();
}

bool AwaitFetchWorkers(App& app, std::chrono::milliseconds bound) {
  FetchState& f = app.state.fetch;
  const auto deadline = std::chrono::steady_clock::now() + bound;
  std::erase_if(f.workers, [deadline](FetchWorker& w) {
    {
      std::unique_lock lock(w.done->mutex);
      if (!w.done->signal.wait_until(lock, deadline, [&w] { return w.done->done; }))
        return false;
    }
    w.thread.join();
    return true;
  });
  return f.workers.empty();
}

}  // namespace skyvigil
