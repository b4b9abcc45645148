// The control interface of a running local weather service (tools/weather_service.py),
// reached through any HttpClient, so it works on every platform.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "ports/http.h"

namespace skyvigil::testing {

// One request as the service received it.
struct LoggedRequest {
  std::string method;
  std::string path;
  std::string query;                                         // the URL's query string
  std::vector<std::pair<std::string, std::string>> headers;  // in the order sent
  std::string body;
  std::map<std::string, std::vector<std::string>> form;  // decoded form fields
};

// The service's answer to GET /admin/log; fails the current test when it is no list.
std::vector<LoggedRequest> ParseLog(const std::string& json);

class ServiceControl {
 public:
  // `origin` is "http://127.0.0.1:<port>".
  ServiceControl(HttpClient& client, std::string origin)
      : client_(client), origin_(std::move(origin)) {}

  std::string Url(const std::string& path) const { return origin_ + path; }

  // POSTs `json` to "/admin/" + `command` and returns the answer body; a
  // non-200 answer fails the current test.
  std::string Admin(const std::string& command, const std::string& json = "{}");

  std::vector<LoggedRequest> Log() { return ParseLog(Admin("log")); }
  void ClearLog() { Admin("log/clear"); }

 private:
  HttpClient& client_;
  std::string origin_;
};

}  // namespace skyvigil::testing
