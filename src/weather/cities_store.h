// The saved city list: cities.json with each city's switches, last announced
// values and last fetched weather.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "weather/records.h"

namespace skyvigil {

// The exact bytes of the city list file: UTF-8 without byte-order mark, CR LF
// line breaks, no line break after the closing bracket.
std::string CitiesJsonText(const std::vector<city>& cities);

// Replaces `file` with CitiesJsonText(cities) atomically. False on failure,
// leaving the old file as it was; nothing is shown or logged.
bool SaveCities(const std::vector<city>& cities, const std::filesystem::path& file);

// Far more than any list of cities with their weather needs.
inline constexpr std::uintmax_t kMaxCitiesFileBytes = 16u << 20;

// Empties `cities` and reads `file`, matching member names exactly. When the
// file cannot be read (missing, a directory, short read, empty, larger than
// kMaxCitiesFileBytes, not JSON), a non-empty unreadable file is kept aside as
// `file` + ".bad" (or ".bad.1", ".bad.2" ... when taken) so the list can be
// recovered by hand, then ask_first_city(cities) runs; so it does for an
// empty array. Valid JSON that is not an array gives an empty list and no prompt.
void LoadCities(std::vector<city>& cities, const std::filesystem::path& file,
                const std::function<void(std::vector<city>&)>& ask_first_city);

}  // namespace skyvigil
