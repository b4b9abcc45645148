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
  std::replace(folded.begin(), folded.end(), '\\', '/');
  return folded;
}

}  // namespace

bool IsSafeEntryName(std::string_view name) {
  if (name.empty() || name.front() == '/' || name.front() == '\\')
    return false;
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == ':')
      return false;
  }
  std::size_t start = 0;
  const std::string folded = Folded(name);
  while (start <= folded.size()) {
    std::size_t end = folded.find('/', start);
    if (end == std::string::npos)
      end = folded.size();
    const std::string_view part = std::string_view(folded).substr(start, end - start);
    if (part == ".." || part == "." || (part.empty() && end != folded.size()))
      return false;
    if (start == 0 && (part == kStagingFolder || part == kBackupFolder))
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
