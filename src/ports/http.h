// The HTTP client the core talks through: libcurl on Linux (platform/curl),
// WinHTTP on Windows; tests may hand in a fake.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace skyvigil {

struct HttpRequest {
  enum class Method { get, post };
  Method method = Method::get;
  std::string url;
  std::string body;  // the form body of a POST (already encoded)
};

struct HttpResponse {
  bool completed = false;  // the whole answer arrived without a transport error
  long status = 0;         // HTTP status; 0 when no answer came
  std::string body;
};

// Hears how far a download has come, on the downloading thread: the bytes of
// the body received so far and its length (0 while the server has not sent
// one). Returning false cancels the download.
using DownloadProgress = std::function<bool(uint64_t received, uint64_t total)>;

// How a download ended.
struct DownloadResult {
  bool saved = false;  // the whole body of a 2xx answer is in the target file
  long status = 0;     // the last hop's HTTP status; 0 when no answer came
};

class HttpClient {
 public:
  virtual ~HttpClient() = default;

  // Runs all requests together and returns their answers in the order of `requests`.
  virtual std::vector<HttpResponse> PerformBatch(const std::vector<HttpRequest>& requests) = 0;

  // GETs `url` into `target`. The file appears only when the transfer of a
  // 2xx answer completed; an answer with another status fails, its body never
  // kept, and a failed download leaves no file behind. `progress`, when given,
  // hears of each block received (and at times between); a false from it ends
  // the transfer as failed.
  virtual DownloadResult Download(const std::string& url, const std::filesystem::path& target,
                                  const DownloadProgress& progress) = 0;
  DownloadResult Download(const std::string& url, const std::filesystem::path& target) {
    return Download(url, target, nullptr);
  }

  // For the exit: transfers in progress end at once as failed, and so does
  // every later one. Safe to call from any thread.
  virtual void Abort() {}

  HttpResponse Perform(const HttpRequest& request) { return PerformBatch({request}).front(); }
};

}  // namespace skyvigil
