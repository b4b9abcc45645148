// The HTTP client on libcurl: weather requests as one concurrent batch, the
// update download into a file. Only https travels off this machine.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "ports/http.h"

namespace skyvigil {

struct CurlHttpOptions {
  long connect_timeout_ms = 3000;    // connection set-up, per hop
  long transfer_timeout_ms = 20000;  // whole transfer, redirects included
  int max_redirects = 10;
  std::size_t max_body_bytes = 8u << 20;        // larger answers count as failed
  std::size_t max_download_bytes = 512u << 20;  // larger downloads count as failed
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
  bool Download(const std::string& url, const std::filesystem::path& target) override;

  const CurlHttpOptions& options() const { return options_; }

 private:
  CurlHttpOptions options_;
};

}  // namespace skyvigil
