// The HTTP client on WinHTTP: weather requests as one concurrent batch, the
// update download into a file. Only https travels off this machine.
#pragma once

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "ports/http.h"
#include "weather/http_policy.h"

namespace skyvigil {

// Every request follows redirects itself (WinHTTP's own following is off, so
// each hop's address is checked before any connection is made), as the HTTP
// policy says, sends its user agent, verifies TLS with the system's certificate store and uses
// the system's proxy settings for https (loopback goes direct), answering a
// proxy that asks for the user's logon with it (never a server). Plain http is
// accepted only for loopback hosts. A batch runs on a few threads that live
// only for that batch; one client may serve several threads at once.
// The scheme in which a 407's challenge is answered with the user's own
// logon: Negotiate, else NTLM, when `target` (WINHTTP_AUTH_TARGET_*) is the
// proxy; 0 for a server, or for a proxy asking only for Basic or Digest.
unsigned long ProxyLogonScheme(unsigned long target, unsigned long supported);

class WinHttpClient : public HttpClient {
 public:
  explicit WinHttpClient(HttpLimits limits = {});
  ~WinHttpClient() override;
  WinHttpClient(const WinHttpClient&) = delete;
  WinHttpClient& operator=(const WinHttpClient&) = delete;

  std::vector<HttpResponse> PerformBatch(const std::vector<HttpRequest>& requests) override;
  using HttpClient::Download;
  // `progress` hears of each block as it arrives; a cancel ends the download
  // at the next block, or at the request's own limit while the server is silent.
  DownloadResult Download(const std::string& url, const std::filesystem::path& target,
                          const DownloadProgress& progress) override;
  // Later requests fail at once; a request in progress ends at its next step
  // (hop, block of the body), and while it waits on a silent server, when its
  // own limit runs out: WinHTTP cannot end a synchronous call from another thread.
  void Abort() override;

  const HttpLimits& limits() const { return limits_; }

 private:
  HttpLimits limits_;
  void* session_ = nullptr;  // the WinHTTP session all requests share
  std::atomic<bool> aborted_{false};
};

}  // namespace skyvigil
