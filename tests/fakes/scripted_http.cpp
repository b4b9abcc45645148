// Form-body decoding for the scripted HTTP fake.
#include "fakes/scripted_http.h"

#include <cstdlib>

namespace skyvigil::testing {

std::string FormField(const std::string& body, const std::string& name) {
  size_t start = 0;
  while (start <= body.size()) {
    size_t end = body.find('&', start);
    if (end == std::string::npos)
      end = body.size();
    const std::string pair = body.substr(start, end - start);
    const size_t eq = pair.find('=');
    if (eq != std::string::npos && pair.substr(0, eq) == name) {
      std::string value;
      const std::string raw = pair.substr(eq + 1);
      for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '+') {
          value += ' ';
        } else if (raw[i] == '%' && i + 2 < raw.size()) {
          value += static_cast<char>(std::strtol(raw.substr(i + 1, 2).c_str(), nullptr, 16));
          i += 2;
        } else {
          value += raw[i];
        }
      }
      return value;
    }
    start = end + 1;
  }
  return {};
}

}  // namespace skyvigil::testing
