// The zip reader against archives built byte by byte: what it reads and what it refuses.
#include "update_tool/zip_reader.h"

#include <gtest/gtest.h>

#include "fakes/zip_builder.h"

namespace skyvigil::update_tool {
namespace {

using testing::BuildZip;
using testing::ZipItem;

const std::string kText = "Skyvigil, Skyvigil, Skyvigil: the same words pack well.";

std::string Spoiled(std::string archive, const std::string& from, const std::string& to) {
  archive.replace(archive.find(from), from.size(), to);
  return archive;
}

// A 32-bit field of the central directory entry of the only entry, "b.wav".
std::string WithCentralField(std::string archive, std::size_t offset, const char* value) {
  return archive.replace(archive.size() - 22 - 46 - 5 + offset, 4, std::string(value, 4));
}

// A zip bomb's trick: the second entry's header is the first one's.
std::string SharingTheFirstEntrysData() {
  std::string archive = BuildZip({{"a.wav", kText, true}, {"b.wav", kText, true}});
  const std::size_t directory = static_cast<unsigned char>(archive[archive.size() - 6]) |
                                static_cast<unsigned char>(archive[archive.size() - 5]) << 8;
  return archive.replace(directory + 46 + 5 + 42, 4, std::string(4, '\0'));
}

struct Case {
  const char* name;
  std::string archive;
  std::string error;  // of the directory, or else of the first bad entry
};

class ZipReaderTest : public ::testing::TestWithParam<Case> {};

TEST_P(ZipReaderTest, ReadsOrRefuses) {
  const Case& c = GetParam();
  const ZipDirectory directory = ReadZipDirectory(c.archive);
  std::string error = directory.error;
  std::vector<std::string> contents;
  for (const ZipEntry& entry : directory.entries) {
    const ZipData data = ExtractEntry(c.archive, entry);
    if (error.empty())
      error = data.error;
    contents.push_back(data.bytes);
  }
  EXPECT_EQ(error, c.error);
  if (c.error.empty()) {
    EXPECT_EQ(contents, (std::vector<std::string>{"stored bytes\r\n", kText, ""}));
  }
}

const std::string kGood = BuildZip(
    {{"a.txt", "stored bytes\r\n"}, {"snd/b.wav", kText, true}, {"snd/", ""}}, "a comment");

const std::string kDeflated = BuildZip({{"b.wav", kText, true}});

INSTANTIATE_TEST_SUITE_P(
    Archives, ZipReaderTest,
    ::testing::Values(
        Case{"StoredDeflatedAndFolder", kGood, ""},
        Case{"NotAZip", "<html>404</html>", "it is not a zip archive, or it is cut short"},
        Case{"CutInTheDirectory", kGood.substr(0, kGood.size() - 40),
             "it is not a zip archive, or it is cut short"},
        Case{"CommentCutShort", Spoiled(kGood, "a comment", ""),
             "it is not a zip archive, or it is cut short"},
        Case{"BadCrc", Spoiled(kGood, "stored bytes", "stored bytez"),
             "a.txt: its CRC-32 does not match"},
        Case{"DataPastTheEnd", WithCentralField(kDeflated, 20, "\xff\x7f\x00\x00"),
             "its entries overlap each other or the directory"},
        Case{"SharedData", SharingTheFirstEntrysData(),
             "its entries overlap each other or the directory"},
        Case{"MoreThan256MiB", WithCentralField(kDeflated, 24, "\x01\x00\x00\x10"),
             "it would unpack to more than 256 MiB"},
        Case{"SizeBeyondDeflate", WithCentralField(kDeflated, 24, "\xff\xff\xff\x0f"),
             "b.wav: its sizes are damaged"},
        Case{"Encrypted", BuildZip({{"a.txt", "x", false, 1}}), "a.txt: encrypted"},
        Case{"Bzip2", BuildZip({{"a.txt", "x", false, 0, 12}}),
             "a.txt: compressed with an unknown method"},
        Case{"DeflateDamaged", std::string(kDeflated).replace(30 + 5, 3, "\xff\xff\xff"),
             "b.wav: its compressed data is damaged"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace skyvigil::update_tool
