// Control calls and log reading of the local weather service.
#include "fakes/service_control.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace skyvigil::testing {

std::vector<LoggedRequest> ParseLog(const std::string& json) {
  std::vector<LoggedRequest> log;
  const nlohmann::json entries = nlohmann::json::parse(json, nullptr, false);
  if (!entries.is_array()) {
    ADD_FAILURE() << "the service log is not a JSON array";
    return log;
  }
  for (const nlohmann::json& entry : entries) {
    LoggedRequest request;
    request.method = entry.at("method").get<std::string>();
    request.path = entry.at("path").get<std::string>();
    request.query = entry.at("query").get<std::string>();
    for (const nlohmann::json& header : entry.at("headers")) {
      request.headers.emplace_back(header.at(0).get<std::string>(),
                                   header.at(1).get<std::string>());
    }
    request.body = entry.at("body").get<std::string>();
    for (const auto& [name, values] : entry.at("form").items()) {
      request.form[name] = values.get<std::vector<std::string>>();
    }
    log.push_back(std::move(request));
  }
  return log;
}

std::string ServiceControl::Admin(const std::string& command, const std::string& json) {
  const bool get = command == "log";
  const HttpResponse answer =
      client_.Perform({get ? HttpRequest::Method::get : HttpRequest::Method::post,
                       Url("/admin/" + command), get ? "" : json});
  if (!answer.completed || answer.status != 200) {
    ADD_FAILURE() << "control call " << command << " " << json << " failed: status "
                  << answer.status << ", " << answer.body;
  }
  return answer.body;
}

}  // namespace skyvigil::testing
