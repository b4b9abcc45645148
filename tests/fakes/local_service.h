// Runs tools/weather_service.py on a free loopback port for the lifetime of one
// object, and talks to its control interface.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "fakes/service_control.h"

namespace skyvigil::testing {

#ifdef SKYVIGIL_SERVICE_SCRIPT
// The service script of this source tree; the build tells test programs where it is.
inline constexpr const char* kServiceScript = SKYVIGIL_SERVICE_SCRIPT;
#endif

class LocalService {
 public:
  // Starts `script` with /usr/bin/python3; extra command-line arguments may be
  // given (e.g. {"--key", "..."}). Fails the current test if it does not start.
  explicit LocalService(std::string script, std::vector<std::string> arguments = {});
  ~LocalService();  // kills the service and waits for it
  LocalService(const LocalService&) = delete;
  LocalService& operator=(const LocalService&) = delete;

  bool running() const { return port_ > 0; }
  int port() const { return port_; }
  std::string Url(const std::string& path) const;  // "http://127.0.0.1:<port>" + path
  std::string BaseAddress() const { return Url("/v1"); }

  // POSTs `json` to "/admin/" + `command` (e.g. "delay", "fault") and returns the
  // answer body; a non-200 answer fails the current test.
  std::string Admin(const std::string& command, const std::string& json = "{}");

  std::vector<LoggedRequest> Log();
  void ClearLog() { Admin("log/clear"); }

 private:
  pid_t pid_ = -1;
  int port_ = 0;
  int stdin_pipe_ = -1;  // the service exits when this closes, even if we crash
};

}  // namespace skyvigil::testing
