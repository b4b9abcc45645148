// The HTTP client on libcurl: weather requests as one concurrent batch, the
// update download into a file. Only https travels off this machine.
#pragma once

#include <atomic>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "ports/http.h"
#include "weather/http_policy.h"

namespace skyvigil {

// What Abort reaches: the flag every call checks and the multi handles of the
// calls in progress, which it wakes.
struct CurlCallsInProgress {
  std::atomic<bool> aborted{false};
  std::mutex mutex;
  std::vector<void*> multis;
};

// Every request follows redirects itself (so each hop's address is checked
// before any connection is made), as the HTTP policy says, sends its user
// agent and no other header of its own, verifies TLS and ignores proxy
// settings of the environment. Plain http is accepted only for loopback hosts
// (127.0.0.0/8, ::1, localhost); any other address must be https, redirect
// targets included.
// Each call makes and releases its own curl handles, so one client may serve
// several threads at once.
class CurlHttpClient : public HttpClient {
 public:
  explicit CurlHttpClient(HttpLimits limits = {});

  std::vector<HttpResponse> PerformBatch(const std::vector<HttpRequest>& requests) override;
  using HttpClient::Download;
  DownloadResult Download(const std::string& url, const std::filesystem::path& target,
                          const DownloadProgress& progress) override;
  void Abort() override;

  const HttpLimits& limits() const { return limits_; }

 private:
  HttpLimits limits_;
  CurlCallsInProgress calls_;
};

}  // namespace skyvigil
