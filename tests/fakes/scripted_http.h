// An HttpClient whose answers a test computes from each request, recording
// every request and every batch it was given. A refresh calls it from its
// worker thread; tests read what it recorded once the refresh was applied.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "ports/http.h"

namespace skyvigil::testing {

class ScriptedHttp : public HttpClient {
 public:
  std::function<HttpResponse(const HttpRequest&)> answer = [](const HttpRequest&) {
    return HttpResponse{};
  };
  // Each download's outcome; the fake writes nothing itself.
  std::function<DownloadResult(const std::string& url, const std::filesystem::path& target,
                               const DownloadProgress& progress)>
      download = [](const std::string&, const std::filesystem::path&, const DownloadProgress&) {
        return DownloadResult{};
      };
  std::vector<HttpRequest> requests;
  std::vector<std::string> downloads;  // "url -> target"
  std::vector<size_t> batch_sizes;
  bool aborted = false;
  std::vector<std::string>* abort_log = nullptr;  // gets "abort" when set
  std::function<void()> on_abort;                 // run by Abort when set

  // While held, a batch waits before it is answered: a slow service.
  void Hold() {
    std::lock_guard lock(hold_mutex_);
    held_ = true;
  }
  void Release() {
    std::lock_guard lock(hold_mutex_);
    held_ = false;
    hold_cv_.notify_all();
  }

  std::vector<HttpResponse> PerformBatch(const std::vector<HttpRequest>& batch) override {
    {
      std::unique_lock hold(hold_mutex_);
      hold_cv_.wait(hold, [this] { return !held_; });
    }
    // Fetches of different askers may run at once.
    std::lock_guard lock(mutex_);
    batch_sizes.push_back(batch.size());
    std::vector<HttpResponse> answers;
    for (const HttpRequest& r : batch) {
      requests.push_back(r);
      answers.push_back(answer(r));
    }
    return answers;
  }

  void Abort() override {
    aborted = true;
    if (abort_log != nullptr)
      abort_log->push_back("abort");
    if (on_abort)
      on_abort();
  }

  using HttpClient::Download;
  DownloadResult Download(const std::string& url, const std::filesystem::path& target,
                          const DownloadProgress& progress) override {
    {
      std::lock_guard lock(mutex_);
      downloads.push_back(url + " -> " + target.string());
    }
    // Unlocked: a download may wait on the test while batches go on.
    return download(url, target, progress);
  }

 private:
  std::mutex mutex_;
  std::mutex hold_mutex_;
  std::condition_variable hold_cv_;
  bool held_ = false;
};

// The value of form field `name` in a request body, undoing %XX escapes and "+".
std::string FormField(const std::string& body, const std::string& name);

}  // namespace skyvigil::testing
