// The HTTP client of the Linux program: each batch or download runs in a
// short-lived skyvigil-fetch process, so libcurl and the TLS libraries are
// loaded only while a transfer runs, and never into the program itself.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/curl/http_curl.h"
#include "ports/http.h"

namespace skyvigil {

struct FetcherOptions {
  std::filesystem::path helper;  // the skyvigil-fetch program
  CurlHttpOptions limits;        // handed to the helper with each job
};

// A helper that cannot be started, dies or answers anything but a whole,
// well-formed answer gives failed answers. One client may serve several
// threads at once, each call with its own helper.
class FetcherHttpClient : public HttpClient {
 public:
  explicit FetcherHttpClient(FetcherOptions options);

  std::vector<HttpResponse> PerformBatch(const std::vector<HttpRequest>& requests) override;
  bool Download(const std::string& url, const std::filesystem::path& target) override;
  // Kills the helpers running; later calls start none.
  void Abort() override;

 private:
  // The helper's whole output for `input`, or nothing when it could not be
  // started, was killed, failed, wrote more than `max_output` bytes or ran past `limit_ms`.
  std::optional<std::string> RunHelper(const std::string& input, std::size_t max_output,
                                       long limit_ms);

  FetcherOptions options_;
  std::atomic<bool> aborted_{false};
  std::mutex mutex_;
  std::vector<pid_t> running_;  // helpers started and not reaped yet
};

}  // namespace skyvigil
