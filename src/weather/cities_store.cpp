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

// The whole content of a regular file; nullopt when it cannot be opened or
// fewer bytes arrive than its size.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error))
    return std::nullopt;
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  if (error)
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

// Moves an unreadable list out of the way of the next save, to <file>.bad, so
// the user can still recover it. Nothing to keep when it is missing or empty.
void KeepAside(const std::filesystem::path& file) {
  std::error_code error;
  const auto status = std::filesystem::symlink_status(file, error);
  if (error || !std::filesystem::exists(status))
    return;
  if (std::filesystem::is_regular_file(status) && std::filesystem::file_size(file, error) == 0) {
    return;
  }
  std::filesystem::path bad = file;
  bad += ".bad";
  std::filesystem::rename(file, bad, error);
  if (error) {
    // An older .bad of another kind (a folder) blocks the rename; it may go if empty.
    std::filesystem::remove(bad, error);
    std::filesystem::rename(file, bad, error);
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
    // A list hand-edited in a Latin-1 editor is read as Latin-1, as prefs.ini is.
    document = ParseJson(IsValidUtf8(*bytes) ? *bytes : Latin1ToUtf8(*bytes));
  }
  if (!document) {
    KeepAside(file);
    if (ask_first_city)
      ask_first_city(cities);
    return;
  }
  FillList(cities, &*document, NameMatch::exact);
}

}  // namespace skyvigil
