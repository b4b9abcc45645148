// Where the weather service and the update server are, and the service key.
#pragma once

#include <string>

namespace skyvigil {

struct ServiceConfig {
  std::string base_address;    // weather service, ending in "/v1"
  std::string api_key;         // value of "key=" in every weather request
  std::string update_address;  // update server; empty: no update check
};

// The built-in values; the optional [service] group of prefs.ini overrides them.
inline ServiceConfig DefaultServiceConfig() {
  return {"https://api.weatherapi.com/v1", "0f1e2d3c4b5a69788796a5b4c3d2e1f", ""};
}

}  // namespace skyvigil
