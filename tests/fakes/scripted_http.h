// An HttpClient whose answers a test computes from each request, recording
// every request and every batch it was given. A refresh calls it from its
// worker thread; tests read what it recorded once the refresh was applied.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ports/http.h"

namespace skyvigil::testing {

class ScriptedHttp : public HttpClient {
 public:
  std::function<HttpResponse(const HttpRequest&)> answer = [](const HttpRequest&) {
    return HttpResponse{};
  };
  // Downloads succeed when this returns true; the fake writes nothing itself.
  std::function<bool(const std::string& url, const std::filesystem::path& target)> download =
      [](const std::string&, const std::filesystem::path&) { return false; };
  std::vector<HttpRequest> requests;
  std::vector<std::string> downloads;  // "url -> target"
  std::vector<size_t> batch_sizes;
  bool aborted = false;
  std::vector<std::string>* abort_log = nullptr;  // gets "abort" when set

  std::vector<HttpResponse> PerformBatch(const std::vector<HttpRequest>& batch) override {
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
  }

  bool Download(const std::string& url, const std::filesystem::path& target) override {
    downloads.push_back(url + " -> " + target.string());
    return download(url, target);
  }
};

// The value of form field `name` in a request body, undoing %XX escapes and "+".
std::string FormField(const std::string& body, const std::string& name);

}  // namespace skyvigil::testing
