// The user settings and their file prefs.ini: an INI file in UTF-8 with a
// byte-order mark, rewritten in place so that foreign groups and comments survive.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "weather/service_config.h"

namespace skyvigil {

// The settings, with the values they have before the file is read.
struct Preferences {
  int64_t window_hidden = 0;     // exactly 1: only the notification-area icon shows
  int64_t celcius = 0;           // temperature display unit 0..3
  int64_t cities_index = 0;      // city selected when the report was last built
  int64_t temp_diff = 10;        // degrees F a monitored temperature must move
  int64_t monitor_sounds = 1;    // exactly 1: cues play with announcements
  int64_t alerts_once = 0;       // exactly 1: an alert already spoken is not spoken again
  int64_t text_size = 100;       // percent of the system's font size in every window
  int64_t rain_ahead = 0;        // exactly 1: rain in the next hours of monitored cities is said
  std::string briefing{};        // "HH:MM" of the daily briefing; empty: none
  std::string quiet_hours{};     // "HH:MM-HH:MM" when background news is held; empty: none
  std::string briefing_given{};  // "yyyy-mm-dd": the day the briefing was last given

  bool operator==(const Preferences&) const = default;
};

// Turns a value text into an integer: leading blanks and tabs skipped, an
// optional "+" or "-", then "$" and hex digits, "%" and binary digits, or
// decimal digits, up to the first other character. No digits gives 0; a value
// too large for 64 bits is clamped to the nearest limit.
int64_t ParseIniInteger(std::string_view text);

// A settings file is a few hundred bytes; a larger one than this is not read.
inline constexpr std::uintmax_t kMaxPrefsFileBytes = 1u << 20;

// Reads the settings from `file`; a key that is absent or empty leaves its
// setting as it is. A missing file is created holding the defaults; a name that
// is a folder, larger than kMaxPrefsFileBytes or cannot be read is left alone. Non-empty values of
// base_address, api_key and update_address in the optional group [service] override `service`.
// A file that holds a service key is made its owner's alone (KeepForOwnerOnly).
void LoadPreferences(Preferences& prefs, ServiceConfig& service, const std::filesystem::path& file);

// Writes the settings into `file`, keeping every other line it holds; alerts_once,
// text_size, rain_ahead, briefing, quiet_hours and briefing_given are added only
// once they differ from their defaults. A file that cannot be read or replaced is
// left alone, silently; one
// whose bytes would not change is not written.
void SavePreferences(const Preferences& prefs, const std::filesystem::path& file);

// Writes api_key into the group [service] of `file`, keeping every other line.
void SaveServiceKey(const std::string& api_key, const std::filesystem::path& file);

}  // namespace skyvigil
