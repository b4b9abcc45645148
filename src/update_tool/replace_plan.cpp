// The rules of what an update may write.
#include "update_tool/replace_plan.h"

#include <algorithm>
#include <set>

namespace skyvigil::update_tool {

namespace {

// Windows names ignore ASCII case.
std::string Folded(std::string_view name) {
  std::string folded(name);
  std::transform(folded.begin(), folded.end(), folded.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return folded;
}

// Names Windows would read as another file: a device, also with an
// extension or spaces before it ("nul .txt"), a trailing dot or space
// (prefs.ini. is prefs.ini). Short names (CITIES~1.JSO) and other devices
// (CONIN$, COM¹) have characters no part may hold.
bool IsAliasingPart(std::string_view part) {
  static const std::set<std::string, std::less<>> kDevices = {
      "con",  "prn",  "aux",  "nul",  "com0", "com1", "com2", "com3",
      "com4", "com5", "com6", "com7", "com8", "com9", "lpt0", "lpt1",
      "lpt2", "lpt3", "lpt4", "lpt5", "lpt6", "lpt7", "lpt8", "lpt9"};
  if (part.back() == '.' || part.back() == ' ')
    return true;
  std::string_view stem = part.substr(0, part.find('.'));
  while (!stem.empty() && stem.back() == ' ')
    stem.remove_suffix(1);
  return kDevices.count(stem) != 0;
}

bool IsPlainCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
         c == '_' || c == ' ' || c == '-';
}

}  // namespace

bool IsSafeEntryName(std::string_view name) {
  if (name.empty() || name.front() == '/')
    return false;
  // Only these in a part: no drive letters, streams, wildcards, short names
  // or letters beyond ASCII that Windows may fold into another name.
  for (const char c : name) {
    if (c != '/' && !IsPlainCharacter(c))
      return false;
  }
  const std::string folded = Folded(name);
  // A folder entry ends with '/'.
  const std::string_view path = folded.back() == '/'
                                    ? std::string_view(folded).substr(0, folded.size() - 1)
                                    : std::string_view(folded);
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find('/', start), path.size());
    const std::string_view part = path.substr(start, end - start);
    if (part.empty() || part == ".." || part == "." || IsAliasingPart(part))
      return false;
    if (start == 0 && (part == kStagingFolder || part == kBackupFolder || part == kRunFolder ||
                       part.starts_with(kJournalName)))
      return false;
    start = end + 1;
  }
  return true;
}

bool IsUserFile(std::string_view name) {
  const std::string folded = Folded(name);
  return folded == "prefs.ini" || folded == "cities.json" || folded == "running";
}

ReplacePlan PlanReplacement(const std::vector<ZipEntry>& entries) {
  ReplacePlan plan;
  std::set<std::string> seen;
  bool has_program = false;
  for (const ZipEntry& entry : entries) {
    if (!IsSafeEntryName(entry.name)) {
      plan.error = "it holds a file with a forbidden name: " + entry.name;
      break;
    }
    const std::string folded =
        Folded(entry.IsFolder() ? entry.name.substr(0, entry.name.size() - 1) : entry.name);
    if (!seen.insert(folded).second) {
      plan.error = "it holds a file twice: " + entry.name;
      break;
    }
    if (entry.IsFolder() || IsUserFile(entry.name))
      continue;
    has_program = has_program || folded == "skyvigil.exe";
    plan.files.push_back(&entry);
  }
  if (plan.error.empty() && !has_program)
    plan.error = "it holds no Skyvigil.exe";
  if (!plan.error.empty())
    plan.files.clear();
  return plan;
}

}  // namespace skyvigil::update_tool
