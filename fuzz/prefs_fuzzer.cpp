// Fuzzes reading and rewriting prefs.ini from arbitrary bytes: reading must not
// change the file, and whatever a save writes must load back as saved, with the
// rest of the file (the service group included) still read the same.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <string>
#include <string_view>

#include "round_trip.h"
#include "scratch_folder.h"
#include "weather/prefs.h"
#include "weather/service_config.h"

namespace skyvigil::fuzz {
namespace {

namespace fs = std::filesystem;

bool SameService(const ServiceConfig& a, const ServiceConfig& b) {
  return a.base_address == b.base_address && a.api_key == b.api_key &&
         a.update_address == b.update_address;
}

// Settings to save, picked from the input so that every edge value turns up.
Preferences SettingsFor(std::string_view bytes) {
  static constexpr int64_t kValues[] = {0,
                                        1,
                                        -1,
                                        10,
                                        3,
                                        255,
                                        std::numeric_limits<int64_t>::min(),
                                        std::numeric_limits<int64_t>::max()};
  uint64_t pick = std::hash<std::string_view>{}(bytes);
  const auto next = [&pick] {
    const int64_t value = kValues[pick % 8];
    pick /= 8;
    return value;
  };
  Preferences settings;
  settings.window_hidden = next();
  settings.celcius = next();
  settings.cities_index = next();
  settings.temp_diff = next();
  settings.monitor_sounds = next();
  settings.alerts_once = next();
  return settings;
}

// Loads `file` into the start-up defaults.
Preferences Load(const fs::path& file, ServiceConfig& service) {
  Preferences prefs;
  service = DefaultServiceConfig();
  LoadPreferences(prefs, service, file);
  return prefs;
}

void CheckPreferences(const fs::path& folder, const std::string& bytes) {
  const fs::path file = folder / "prefs.ini";
  WriteBytes(file, bytes);

  ServiceConfig service;
  const Preferences loaded = Load(file, service);
  if (ReadBytes(file) != bytes)
    Fail("reading the preferences changed the file");

  // Saving what was read changes none of the settings.
  SavePreferences(loaded, file);
  ServiceConfig service_after;
  if (Load(file, service_after) != loaded)
    Fail("saving the loaded settings changed them");
  if (!SameService(service_after, service))
    Fail("a save changed the service group");

  // Any settings saved into this file load back as saved; saving twice is stable.
  const Preferences saved = SettingsFor(bytes);
  SavePreferences(saved, file);
  const std::string once = ReadBytes(file);
  if (Load(file, service_after) != saved)
    Fail("saved settings loaded back differently");
  if (!SameService(service_after, service))
    Fail("a save changed the service group");
  SavePreferences(saved, file);
  if (ReadBytes(file) != once)
    Fail("saving the same settings again changed the file");
}

}  // namespace
}  // namespace skyvigil::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static skyvigil::fuzz::ScratchFolder folder("prefs-fuzz");
  skyvigil::fuzz::CheckPreferences(folder.path(),
                                   std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
