// The HTTP client on WinHTTP: weather requests as one concurrent batch, the
// update download into a file. Only https travels off this machine.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "ports/http.h"

namespace skyvigil {

struct WinHttpOptions {
  long connect_timeout_ms = 3000;    // connection set-up, per hop
  long transfer_timeout_ms = 20000;  // whole request from its start, redirects included
  int max_redirects = 10;
  std::size_t max_body_bytes = 8u << 20;        // larger answers count as failed
  std::size_t max_download_bytes = 512u << 20;  // larger downloads count as failed
  int max_parallel = 16;  // requests of one batch in flight at once (so per host)
};

// Every request follows redirects itself (WinHTTP's own following is off, so
// each hop's address is checked before any connection is made), sends the
// fixed user agent, verifies TLS with the system's certificate store and uses
// the system's proxy settings for https (loopback goes direct). Plain http is
// accepted only for loopback hosts. A batch runs on a few threads that live
// only for that batch; one client may serve several threads at once.
class WinHttpClient : public HttpClient {
 public:
  explicit WinHttpClient(WinHttpOptions options = {});
  ~WinHttpClient() override;
  WinHttpClient(const WinHttpClient&) = delete;
  WinHttpClient& operator=(const WinHttpClient&) = delete;

  std::vector<HttpResponse> PerformBatch(const std::vector<HttpRequest>& requests) override;
  bool Download(const std::string& url, const std::filesystem::path& target) override;

  const WinHttpOptions& options() const { return options_; }

 private:
  WinHttpOptions options_;
  void* session_ = nullptr;  // the WinHTTP session all requests share
};

}  // namespace skyvigil
