// The core's one asynchronous fetch: the caller hands over its requests and
// the work to run with their answers; the requests are performed on a worker
// thread and the work runs on the main thread, unless its asker has since
// started a newer fetch or given it up (its window closed) or the program is
// exiting. Nothing on the main thread waits for the network.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "state/app_state.h"

namespace skyvigil {

// How long a fetch may take before the user is told that it is under way.
constexpr std::chrono::milliseconds kFetchNotice{1000};

// Runs on the worker with the client; what it returns runs on the main thread.
using FetchWork = std::function<CoreWork(HttpClient&)>;
using AnswersWork = std::function<void(App&, const std::vector<HttpResponse>&)>;

// Where the answer is applied: between handlers through the core gate, or
// right away, inside the handler that waits for it in a modal dialog's loop.
enum class Delivery { between_handlers, inside_handler };

// Starts `work` on a worker; returns the fetch's ticket.
uint64_t StartFetch(App& app, Asker asker, FetchWork work,
                    Delivery delivery = Delivery::between_handlers);
// Performs `requests` as one batch and runs `then` with their answers, in order.
uint64_t FetchAnswers(App& app, Asker asker, std::vector<HttpRequest> requests, AnswersWork then,
                      Delivery delivery = Delivery::between_handlers);

// The asker no longer wants the answer of its fetch (its window closed).
void CancelFetch(App& app, Asker asker);
// The fetch with `ticket` is still awaited.
bool Awaiting(const App& app, Asker asker, uint64_t ticket);

// Says `text` once if the fetch with `ticket` is still awaited after kFetchNotice.
void SayIfStillFetching(App& app, Asker asker, uint64_t ticket, std::string text);

// For the exit: applies nothing more and tells the client to end its
// transfers; waits for nothing, so the window never hangs on a request.
void StopFetches(App& app);

// After the exit: joins the workers that end within `bound`; false when one
// is still held by a request its client could not cut short.
bool AwaitFetchWorkers(App& app, std::chrono::milliseconds bound);

}  // namespace skyvigil
