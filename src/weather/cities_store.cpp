// Saving and loading the city list file.
#include "weather/cities_store.h"

#include <fstream>
#include <optional>
#include <system_error>

#include "ports/files.h"
#include "weather/json_value.h"
#include "weather/record_json.h"
#include "weather/utf8.h"

namespace skyvigil {

namespace {

// The whole content of a regular file; nullopt when it cannot be opened, is
// larger than kMaxCitiesFileBytes or fewer bytes arrive than its size.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error))
    return std::nullopt;
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  if (error || size > kMaxCitiesFileBytes)
    return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in)
    return std::nullopt;
  std::string bytes(static_cast<size_t>(size), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (static_cast<std::uintmax_t>(in.gcount()) != size)
    return std::nullopt;
  return bytes;
}

// Moves an unreadable list out of the way of the next save, to the first free
// name of <file>.bad, <file>.bad.1, <file>.bad.2 ..., so that no list kept
// aside earlier is lost. Nothing to keep when it is missing or empty.
void KeepAside(const std::filesystem::path& file) {
  std::error_code error;
  const auto status = std::filesystem::symlink_status(file, error);
  if (error || !std::filesystem::exists(status))
    return;
  if (std::filesystem::is_regular_file(status) && std::filesystem::file_size(file, error) == 0) {
    return;
  }
  for (int number = 0; number < 1000; ++number) {
    std::filesystem::path bad = file;
    bad += number == 0 ? std::string(".bad") : ".bad." + std::to_string(number);
    if (std::filesystem::exists(std::filesystem::symlink_status(bad, error)))
      continue;
    std::filesystem::rename(file, bad, error);
    return;
  }
}

}  // namespace

std::string CitiesJsonText(const std::vector<city>& cities) {
  return RecordListJsonText(cities);
}

bool SaveCities(const std::vector<city>& cities, const std::filesystem::path& file) {
  return WriteFileAtomically(file, CitiesJsonText(cities));
}

void LoadCities(std::vector<city>& cities, const std::filesystem::path& file,
                const std::function<void(std::vector<city>&)>& ask_first_city) {
  cities.clear();
  std::optional<JsonValue> document;
  if (std::optional<std::string> bytes = ReadWholeFile(file); bytes && !bytes->empty()) {
    // A list hand-edited in a Latin-1 editor: its odd bytes are read as Latin-1.
    document = ParseJson(DecodeInvalidUtf8AsLatin1(*bytes));
  }
  if (!document) {
    KeepAside(file);
    if (ask_first_city)
      ask_first_city(cities);
    return;
  }
  FillList(cities, &*document, NameMatch::exact);
  // The list left by removing the last city starts like a first run.
  const JsonValue::Array* list = document->as_array();
  if (list != nullptr && list->empty() && ask_first_city)
    ask_first_city(cities);
}

}  // namespace skyvigil
