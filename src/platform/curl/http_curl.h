// The HTTP client on libcurl: weather requests as one concurrent batch, the
// update download into a file. Only https travels off this machine.
#pragma once

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "ports/http.h"
#include "weather/service_status.h"

namespace skyvigil {

struct CurlHttpOptions {
  // Each request's own limits, counted from the moment it starts, as if it ran alone.
  long connect_timeout_ms = 3000;    // connection set-up, per hop
  long transfer_timeout_ms = 20000;  // whole transfer, redirects included
  // Requests of a batch running at once; the others wait their turn, their
  // clocks not running yet.
  std::size_t max_running = 16;
  int max_redirects = 10;
  // Larger answers count as failed, as the core would count them: no more is held.
  std::size_t max_body_bytes = kMaxServiceAnswerBytes;
  std::size_t max_download_bytes = 512u << 20;  // larger downloads count as failed
};

// What Abort reaches: the flag every call checks and the multi handles of the
// calls in progress, which it wakes.
struct CurlCallsInProgress {
  std::atomic<bool> aborted{false};
  std::mutex mutex;
  std::vector<void*> multis;
};

// Every request follows redirects itself (so each hop's address is checked
// before any connection is made), sends the fixed user agent and no other
// header of its own, verifies TLS and ignores proxy settings of the
// environment. Plain http is accepted only for loopback hosts (127.0.0.0/8,
// ::1, localhost); any other address must be https, redirect targets included.
// Each call makes and releases its own curl handles, so one client may serve
// several threads at once.
class CurlHttpClient : public HttpClient {
 public:
  explicit CurlHttpClient(CurlHttpOptions options = {});

  std::vector<HttpResponse> PerformBatch(const std::vector<HttpRequest>& requests) override;
  using HttpClient::Download;
  bool Download(const std::string& url, const std::filesystem::path& target,
                const DownloadProgress& progress) override;
  void Abort() override;

  const CurlHttpOptions& options() const { return options_; }

 private:
  CurlHttpOptions options_;
  CurlCallsInProgress calls_;
};

}  // namespace skyvigil
