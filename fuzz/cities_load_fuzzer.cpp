// Fuzzes loading cities.json from arbitrary bytes, and checks that a list that
// loaded is saved and loaded back unchanged.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "round_trip.h"
#include "scratch_folder.h"
#include "weather/cities_store.h"
#include "weather/json_value.h"
#include "weather/records.h"
#include "weather/utf8.h"

namespace skyvigil::fuzz {
namespace {

namespace fs = std::filesystem;

void CheckLoad(const fs::path& folder, const std::string& bytes) {
  const fs::path file = folder / "cities.json";
  fs::path bad = file;
  bad += ".bad";
  std::error_code error;
  fs::remove(bad, error);
  WriteBytes(file, bytes);

  int prompts = 0;
  const auto ask = [&prompts](std::vector<city>& list) {
    ++prompts;
    city first;
    first.name = "Prompted";
    first.alerts = 1;
    list.push_back(first);
  };
  std::vector<city> cities(2);  // stale entries must go
  LoadCities(cities, file, ask);

  // Bytes that are not UTF-8 are read as Latin-1, each on its own.
  const std::optional<JsonValue> parsed =
      bytes.empty() ? std::nullopt : ParseJson(DecodeInvalidUtf8AsLatin1(bytes));
  const bool valid = parsed.has_value();
  // An empty list asks for a first city, as a missing file does.
  const JsonValue::Array* list = valid ? parsed->as_array() : nullptr;
  if (list != nullptr && list->empty()) {
    if (prompts != 1 || cities.size() != 1 || cities[0].name != "Prompted")
      Fail("an empty list did not lead to exactly one prompt");
    return;
  }
  if (!valid) {
    if (prompts != 1 || cities.size() != 1 || cities[0].name != "Prompted")
      Fail("an unreadable file did not lead to exactly one prompt");
    if (!bytes.empty() && (fs::exists(file) || ReadBytes(bad) != bytes))
      Fail("an unreadable file was not kept aside as cities.json.bad");
    return;
  }
  if (prompts != 0)
    Fail("a file holding JSON led to a prompt");
  if (fs::exists(bad))
    Fail("a readable file was kept aside");

  // A JSON value that holds no list loads as none; saved, that empty list
  // would ask for a first city when loaded again.
  if (cities.empty())
    return;
  // Loaded: saving writes exactly CitiesJsonText, and loading that gives it back.
  const std::string text = CitiesJsonText(cities);
  if (!SaveCities(cities, file))
    Fail("saving a loaded list failed");
  if (ReadBytes(file) != text)
    Fail("the saved file differs from CitiesJsonText");
  std::vector<city> reloaded;
  LoadCities(reloaded, file, ask);
  if (prompts != 0)
    Fail("a saved list could not be loaded");
  if (CitiesJsonText(reloaded) != NonFiniteAsZero(text))
    Fail("a saved list loaded back differently");
}

}  // namespace
}  // namespace skyvigil::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static skyvigil::fuzz::ScratchFolder folder("cities-fuzz");
  skyvigil::fuzz::CheckLoad(folder.path(), std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
