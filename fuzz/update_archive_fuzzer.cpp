// Fuzzes the updater's reading of a downloaded Skyvigil.zip: the directory,
// every entry and the replace plan. What is extracted has the size and the
// CRC-32 its entry promises; a planned file has a safe name.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "update_tool/replace_plan.h"
#include "update_tool/zip_reader.h"

namespace skyvigil::fuzz {
namespace {

void Check(bool condition) {
  if (!condition)
    std::abort();
}

}  // namespace
}  // namespace skyvigil::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace skyvigil::update_tool;
  using skyvigil::fuzz::Check;
  const std::string_view archive(reinterpret_cast<const char*>(data), size);
  const ZipDirectory directory = ReadZipDirectory(archive);
  Check(directory.error.empty() || directory.entries.empty());
  for (const ZipEntry& entry : directory.entries) {
    const ZipData extracted = ExtractEntry(archive, entry);
    if (extracted.error.empty()) {
      Check(extracted.bytes.size() == entry.size);
      Check(crc32(0, reinterpret_cast<const Bytef*>(extracted.bytes.data()),
                  static_cast<uInt>(extracted.bytes.size())) == entry.crc32);
    } else {
      Check(extracted.bytes.empty());
    }
  }
  for (const ZipEntry* entry : PlanReplacement(directory.entries).files)
    Check(IsSafeEntryName(entry->name) && !IsUserFile(entry->name));
  return 0;
}
