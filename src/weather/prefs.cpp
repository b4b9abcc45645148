// Reading and rewriting prefs.ini. The file is kept as a list of lines so that a
// save changes only the five settings' lines and leaves everything else in place.
#include "weather/prefs.h"

#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "ports/files.h"
#include "weather/utf8.h"

namespace skyvigil {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front()))
    s.remove_prefix(1);
  return s;
}

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && IsBlank(s.back()))
    s.remove_suffix(1);
  return s;
}

std::string_view Trim(std::string_view s) {
  return TrimRight(TrimLeft(s));
}

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i]))
      return false;
  }
  return true;
}

// A file with the mark is UTF-8 as it stands; one without is UTF-8 when it is
// valid as such, and otherwise taken as Latin-1.
std::string DecodeFileText(std::string_view bytes) {
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    return std::string(bytes.substr(kByteOrderMark.size()));
  }
  if (IsValidUtf8(bytes))
    return std::string(bytes);
  return Latin1ToUtf8(bytes);
}

struct IniLine {
  enum class Kind { kHeader, kKey, kComment, kOther };
  Kind kind = Kind::kOther;
  std::string text;   // the line as read; written back unchanged unless rewritten
  std::string name;   // group name of a header, key name of a key line
  std::string value;  // key value without surrounding blanks; comment text
};

IniLine ClassifyLine(std::string_view raw) {
  IniLine line;
  line.text = std::string(raw);
  const std::string_view s = TrimLeft(raw);
  if (s.empty())
    return line;
  if (s.front() == ';') {
    line.kind = IniLine::Kind::kComment;
    line.value = std::string(TrimLeft(s.substr(1)));
    return line;
  }
  if (s.front() == '[') {
    const size_t close = s.find(']');
    if (close != std::string_view::npos) {
      line.kind = IniLine::Kind::kHeader;
      line.name = std::string(s.substr(1, close - 1));
    }
    // "[" without "]" is no header; it stays as an unknown line.
    return line;
  }
  const size_t equals = s.find('=');
  if (equals != std::string_view::npos) {
    line.kind = IniLine::Kind::kKey;
    line.name = std::string(TrimRight(s.substr(0, equals)));
    line.value = std::string(Trim(s.substr(equals + 1)));
  }
  return line;
}

// Splits at CR LF, LF or a lone CR. Lines holding only blanks and tabs are
// dropped: the file is written without blank lines.
std::vector<IniLine> ParseLines(std::string_view text) {
  std::vector<IniLine> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos)
      end = text.size();
    const std::string_view raw = text.substr(start, end - start);
    if (!TrimLeft(raw).empty())
      lines.push_back(ClassifyLine(raw));
    if (end == text.size())
      break;
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

std::string KeyLineText(std::string_view key, std::string_view value) {
  return std::string(key) + " = " + std::string(value);
}

IniLine HeaderLine(std::string_view group) {
  IniLine line;
  line.kind = IniLine::Kind::kHeader;
  line.name = std::string(group);
  return line;
}

IniLine KeyLine(std::string_view key, std::string_view value) {
  IniLine line;
  line.kind = IniLine::Kind::kKey;
  line.name = std::string(key);
  line.value = std::string(value);
  line.text = KeyLineText(key, value);
  return line;
}

IniLine KeyLine(std::string_view key, int64_t value) {
  return KeyLine(key, std::to_string(value));
}

std::string Serialize(const std::vector<IniLine>& lines) {
  std::string out(kByteOrderMark);
  out += kLineEnd;
  for (const IniLine& line : lines) {
    switch (line.kind) {
      case IniLine::Kind::kHeader:
        out += "[" + line.name + "]";
        break;
      case IniLine::Kind::kComment:
        out += "; " + line.value;
        break;
      case IniLine::Kind::kKey:
      case IniLine::Kind::kOther:
        out += line.text;
        break;
    }
    out += kLineEnd;
  }
  return out;
}

struct SavedKey {
  std::string_view name;
  std::string value;
  // A key the file never held is added only once it differs from its default,
  // so the files of users who never touch it stay as they were.
  bool added_when_set = false;
};

struct GroupKeys {
  std::string_view group;
  std::vector<SavedKey> keys;
};

SavedKey Key(std::string_view name, int64_t value) {
  return {name, std::to_string(value), false};
}

SavedKey KeyAddedWhenSet(std::string_view name, int64_t value, int64_t default_value) {
  return {name, std::to_string(value), value == default_value};
}

SavedKey TextKey(std::string_view name, const std::string& value) {
  return {name, value, value.empty()};
}

// The keys of each group in the order a save adds missing ones.
std::vector<GroupKeys> SavedKeys(const Preferences& p) {
  return {
      {"general",
       {Key("window_hidden", p.window_hidden), Key("celcius", p.celcius),
        Key("cities_index", p.cities_index), KeyAddedWhenSet("text_size", p.text_size, 100)}},
      {"monitors",
       {Key("monitor_sounds", p.monitor_sounds), Key("temp_diff", p.temp_diff),
        KeyAddedWhenSet("alerts_once", p.alerts_once, 0),
        KeyAddedWhenSet("rain_ahead", p.rain_ahead, 0), TextKey("briefing", p.briefing),
        TextKey("quiet_hours", p.quiet_hours), TextKey("briefing_given", p.briefing_given)}},
  };
}

// The lines of a newly created file; its key order differs from the order in
// which a save adds missing keys.
std::vector<IniLine> NewFileLines() {
  const Preferences defaults;
  return {HeaderLine("general"),
          KeyLine("window_hidden", defaults.window_hidden),
          KeyLine("celcius", defaults.celcius),
          KeyLine("cities_index", defaults.cities_index),
          HeaderLine("monitors"),
          KeyLine("temp_diff", defaults.temp_diff),
          KeyLine("monitor_sounds", defaults.monitor_sounds)};
}

enum class ReadOutcome { kRead, kMissing, kUnusable };

ReadOutcome ReadFileBytes(const fs::path& file, std::string& bytes) {
  std::error_code error;
  const fs::file_status status = fs::status(file, error);
  if (status.type() == fs::file_type::not_found)
    return ReadOutcome::kMissing;
  if (status.type() != fs::file_type::regular)
    return ReadOutcome::kUnusable;
  // Read with a cap: a huge file is not the settings, and is left as it is.
  const std::uintmax_t size = fs::file_size(file, error);
  if (error || size > kMaxPrefsFileBytes)
    return ReadOutcome::kUnusable;
  std::ifstream in(file, std::ios::binary);
  if (!in)
    return ReadOutcome::kUnusable;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad())
    return ReadOutcome::kUnusable;
  return ReadOutcome::kRead;
}

// Brings every occurrence of each key in its group (any letter case, in every
// section of that name) to its value, and adds what is missing.
std::vector<IniLine> ApplySettings(std::vector<IniLine> lines,
                                   const std::vector<GroupKeys>& saved) {
  std::map<size_t, std::vector<IniLine>> inserts;  // before line index; size() = at the end
  std::vector<IniLine> appended;
  for (const GroupKeys& group : saved) {
    bool in_group = false;
    std::optional<size_t> first_section_end;
    bool first_section_open = false;
    std::vector<bool> found(group.keys.size(), false);
    for (size_t i = 0; i < lines.size(); ++i) {
      IniLine& line = lines[i];
      if (line.kind == IniLine::Kind::kHeader) {
        if (first_section_open) {
          first_section_end = i;
          first_section_open = false;
        }
        in_group = EqualsIgnoringCase(line.name, group.group);
        if (in_group && !first_section_end)
          first_section_open = true;
        continue;
      }
      if (!in_group || line.kind != IniLine::Kind::kKey)
        continue;
      for (size_t k = 0; k < group.keys.size(); ++k) {
        const SavedKey& key = group.keys[k];
        if (!EqualsIgnoringCase(line.name, key.name))
          continue;
        line = KeyLine(key.name, key.value);
        found[k] = true;
      }
    }
    if (first_section_open)
      first_section_end = lines.size();

    std::vector<IniLine> missing;
    for (size_t k = 0; k < group.keys.size(); ++k) {
      const SavedKey& key = group.keys[k];
      if (!found[k] && !key.added_when_set)
        missing.push_back(KeyLine(key.name, key.value));
    }
    if (missing.empty() && !first_section_end)
      continue;
    if (!first_section_end) {
      appended.push_back(HeaderLine(group.group));
      appended.insert(appended.end(), missing.begin(), missing.end());
    } else if (!missing.empty()) {
      auto& at = inserts[*first_section_end];
      at.insert(at.end(), missing.begin(), missing.end());
    }
  }

  std::vector<IniLine> out;
  out.reserve(lines.size() + 8);
  for (size_t i = 0; i <= lines.size(); ++i) {
    if (auto it = inserts.find(i); it != inserts.end()) {
      out.insert(out.end(), it->second.begin(), it->second.end());
    }
    if (i < lines.size())
      out.push_back(std::move(lines[i]));
  }
  out.insert(out.end(), appended.begin(), appended.end());
  return out;
}

// A file holding the service key is for its owner's eyes only.
FileAccess AccessFor(const std::vector<IniLine>& lines) {
  bool in_service = false;
  for (const IniLine& line : lines) {
    if (line.kind == IniLine::Kind::kHeader)
      in_service = EqualsIgnoringCase(line.name, "service");
    else if (in_service && line.kind == IniLine::Kind::kKey &&
             EqualsIgnoringCase(line.name, "api_key") && !line.value.empty())
      return FileAccess::owner_only;
  }
  return FileAccess::usual;
}

}  // namespace

int64_t ParseIniInteger(std::string_view text) {
  text = TrimLeft(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  uint64_t base = 10;
  if (!text.empty() && text.front() == '$') {
    base = 16;
    text.remove_prefix(1);
  } else if (!text.empty() && text.front() == '%') {
    base = 2;
    text.remove_prefix(1);
  }

  // The magnitude of the most negative value is one more than the largest.
  const uint64_t limit =
      negative ? uint64_t{1} << 63 : static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
  uint64_t magnitude = 0;
  for (char c : text) {
    uint64_t digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<uint64_t>(c - '0');
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = static_cast<uint64_t>(c - 'a' + 10);
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = static_cast<uint64_t>(c - 'A' + 10);
    } else {
      break;
    }
    if (digit >= base)
      break;
    magnitude = magnitude > (limit - digit) / base ? limit : magnitude * base + digit;
  }

  if (!negative)
    return static_cast<int64_t>(magnitude);
  if (magnitude == limit)
    return std::numeric_limits<int64_t>::min();
  return -static_cast<int64_t>(magnitude);
}

void LoadPreferences(Preferences& prefs, ServiceConfig& service, const fs::path& file) {
  std::string bytes;
  switch (ReadFileBytes(file, bytes)) {
    case ReadOutcome::kMissing:
      // The settings already hold the defaults; a file that can't be created is no error.
      static_cast<void>(WriteFileAtomically(file, Serialize(NewFileLines())));
      return;
    case ReadOutcome::kUnusable:
      return;
    case ReadOutcome::kRead:
      break;
  }

  const std::vector<IniLine> lines = ParseLines(DecodeFileText(bytes));
  // Written by an older build, or copied in by hand, it may still be readable
  // by others; unchanged, it is never rewritten, so its mode is narrowed here.
  if (AccessFor(lines) == FileAccess::owner_only)
    static_cast<void>(KeepForOwnerOnly(file));
  enum class Group { kNone, kGeneral, kMonitors, kService };
  Group group = Group::kNone;
  for (const IniLine& line : lines) {
    if (line.kind == IniLine::Kind::kHeader) {
      group = EqualsIgnoringCase(line.name, "general")    ? Group::kGeneral
              : EqualsIgnoringCase(line.name, "monitors") ? Group::kMonitors
              : EqualsIgnoringCase(line.name, "service")  ? Group::kService
                                                          : Group::kNone;
      continue;
    }
    if (line.kind != IniLine::Kind::kKey || line.value.empty())
      continue;
    // Key names are matched exactly; a key that stands twice gives its later value.
    const std::string& key = line.name;
    switch (group) {
      case Group::kGeneral:
        if (key == "window_hidden")
          prefs.window_hidden = ParseIniInteger(line.value);
        if (key == "celcius")
          prefs.celcius = ParseIniInteger(line.value);
        if (key == "cities_index")
          prefs.cities_index = ParseIniInteger(line.value);
        if (key == "text_size")
          prefs.text_size = ParseIniInteger(line.value);
        break;
      case Group::kMonitors:
        if (key == "monitor_sounds")
          prefs.monitor_sounds = ParseIniInteger(line.value);
        if (key == "temp_diff")
          prefs.temp_diff = ParseIniInteger(line.value);
        if (key == "alerts_once")
          prefs.alerts_once = ParseIniInteger(line.value);
        if (key == "rain_ahead")
          prefs.rain_ahead = ParseIniInteger(line.value);
        if (key == "briefing")
          prefs.briefing = line.value;
        if (key == "quiet_hours")
          prefs.quiet_hours = line.value;
        if (key == "briefing_given")
          prefs.briefing_given = line.value;
        break;
      case Group::kService:
        if (key == "base_address")
          service.base_address = line.value;
        if (key == "api_key")
          service.api_key = line.value;
        if (key == "update_address")
          service.update_address = line.value;
        break;
      case Group::kNone:
        break;
    }
  }
}

namespace {

// Rewrites `file` with `saved` applied, creating it with the defaults first
// when it is missing.
void SaveKeys(const std::vector<GroupKeys>& saved, const fs::path& file) {
  std::string bytes;
  std::vector<IniLine> lines;
  switch (ReadFileBytes(file, bytes)) {
    case ReadOutcome::kMissing:
      lines = NewFileLines();
      break;
    case ReadOutcome::kUnusable:
      return;
    case ReadOutcome::kRead:
      lines = ParseLines(DecodeFileText(bytes));
      break;
  }
  lines = ApplySettings(std::move(lines), saved);
  // Each write syncs to disk: a file that would come out the same is left as it is.
  const std::string updated = Serialize(lines);
  if (updated == bytes)
    return;
  // Failure leaves the file as it was; nothing is reported.
  static_cast<void>(WriteFileAtomically(file, updated, AccessFor(lines)));
}

}  // namespace

void SavePreferences(const Preferences& prefs, const fs::path& file) {
  SaveKeys(SavedKeys(prefs), file);
}

void SaveServiceKey(const std::string& api_key, const fs::path& file) {
  SaveKeys({{"service", {{"api_key", api_key}}}}, file);
}

}  // namespace skyvigil
