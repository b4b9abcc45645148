// The update signature: minisign's files read, and every rule an update's
// signature must pass, each once.
#include "update/update_signature.h"

#include <gtest/gtest.h>

#include "fakes/update_signer.h"

namespace skyvigil {
namespace {

using testing::MakeTestSigningKey;
using testing::SignForTest;

const testing::TestSigningKey kCurrent = MakeTestSigningKey(0x11);
const testing::TestSigningKey kNext = MakeTestSigningKey(0x22);
const testing::TestSigningKey kStranger = MakeTestSigningKey(0x33);
const UpdateTrust kTrust{{kCurrent.public_key, kNext.public_key}, 23};
const std::string kArchive = "PK\x03\x04 the new build";
const std::string kGood = "file:Skyvigil.zip build:24";

std::string Edited(std::string text, std::string_view from, std::string_view to) {
  return text.replace(text.find(from), from.size(), to);
}

struct Case {
  const char* name;
  std::string file;
  std::string signature;
  std::string refused;  // empty: accepted
};

class SignatureTest : public ::testing::TestWithParam<Case> {};

TEST_P(SignatureTest, AcceptsOnlyANewerBuildSignedByATrustedKey) {
  const Case& c = GetParam();
  EXPECT_EQ(CheckUpdateSignature(c.file, c.signature, "Skyvigil.zip", kTrust), c.refused);
}

INSTANTIATE_TEST_SUITE_P(
    Signatures, SignatureTest,
    ::testing::Values(
        Case{"Current", kArchive, SignForTest(kCurrent, kArchive, kGood), ""},
        Case{"Next", kArchive, SignForTest(kNext, kArchive, kGood), ""},
        Case{"OtherWordsAround", kArchive,
             SignForTest(kCurrent, kArchive, "timestamp:1765000000 build:24 file:Skyvigil.zip"),
             ""},
        Case{"CrLfLines", kArchive, Edited(SignForTest(kCurrent, kArchive, kGood), "\n", "\r\n"),
             ""},
        Case{"UnknownKey", kArchive, SignForTest(kStranger, kArchive, kGood),
             "it is signed with an unknown key"},
        Case{"ChangedFile", kArchive + "!", SignForTest(kCurrent, kArchive, kGood),
             "its signature does not match it"},
        Case{"ChangedTrustedComment", kArchive,
             Edited(SignForTest(kCurrent, kArchive, kGood), "build:24", "build:99"),
             "its signature's trusted comment was changed"},
        Case{"LegacyForm", kArchive, SignForTest(kCurrent, kArchive, kGood, "Ed"),
             "its signature is not of the file's hash"},
        Case{"SameBuild", kArchive, SignForTest(kCurrent, kArchive, "file:Skyvigil.zip build:23"),
             "it is build 23, not newer than this build 23"},
        Case{"OlderBuild", kArchive, SignForTest(kCurrent, kArchive, "file:Skyvigil.zip build:7"),
             "it is build 7, not newer than this build 23"},
        Case{"OtherFile", kArchive, SignForTest(kCurrent, kArchive, "file:Other.zip build:24"),
             "its signature is for Other.zip"},
        Case{"NoBuild", kArchive, SignForTest(kCurrent, kArchive, "file:Skyvigil.zip"),
             "its signature names no file and build"},
        Case{"NotASignature", kArchive, "hello\n", "its signature is not a minisign signature"},
        Case{"DamagedBase64", kArchive,
             Edited(SignForTest(kCurrent, kArchive, kGood), "\ntrusted", "*\ntrusted"),
             "its signature is damaged"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TrustedCommentTest, ReadsFileAndBuildOnce) {
  struct Row {
    const char* comment;
    std::optional<std::pair<std::string, long long>> release;
  };
  for (const Row& row :
       std::initializer_list<Row>{{"file:Skyvigil.zip build:24", std::pair{"Skyvigil.zip", 24}},
                                  {"build:0 file:a", std::pair{"a", 0}},
                                  {"file:a build:24 file:b", std::nullopt},
                                  {"file:a build:2x", std::nullopt},
                                  {"file:a build:-1", std::nullopt},
                                  {"file:a build:", std::nullopt},
                                  {"file: build:3", std::nullopt},
                                  {"file:a build:99999999999999999999", std::nullopt},
                                  {"", std::nullopt}}) {
    SCOPED_TRACE(row.comment);
    const std::optional<TrustedRelease> read = ReadTrustedComment(row.comment);
    ASSERT_EQ(read.has_value(), row.release.has_value());
    if (read) {
      EXPECT_EQ(read->file, row.release->first);
      EXPECT_EQ(read->build, row.release->second);
    }
  }
}

// A key and a signature made by minisign 0.11 itself.
TEST(MinisignFilesTest, ReadsWhatMinisignWrites) {
  const std::optional<MinisignPublicKey> key =
      ReadMinisignPublicKey("RWTpexF3OM6Fmtng7NAXlaD4vX6q9VoT1pBu+kDz8JqgRcUF76uPRKK0");
  ASSERT_TRUE(key);
  const UpdateTrust trust{{"RWTpexF3OM6Fmtng7NAXlaD4vX6q9VoT1pBu+kDz8JqgRcUF76uPRKK0"}, 23};
  const std::string signature =
      "untrusted comment: signature from minisign secret key\n"
      "RUTpexF3OM6FmrfYV5kl8gi+r1Ybcv/OOqTE6fi4Xa3A2bkv6iIZT8uZ27kB7FW8l+BWaaw/VDZgl2Dtkqwoy7gpxP8A"
      "plU5iwY=\n"
      "trusted comment: file:Skyvigil.zip build:24\n"
      "9ta9t1DSwCNZ1G8+dGRAq5Gmo0+WzRhhDtcmFy30/KyL5LH6p1XmGhWjbMbLjHO43lMzyo/JnG11zCurAmpiBA==\n";
  EXPECT_EQ(CheckUpdateSignature("hello\n", signature, "Skyvigil.zip", trust), "");
  EXPECT_EQ(ReadMinisignSignature(signature).signature.key_id, key->key_id);
  EXPECT_FALSE(ReadMinisignPublicKey("RWTpexF3OM6Fmtng7NAXlaD4vX6q9VoT1pBu+kDz8JqgRcUF76uPRKK"));
}

}  // namespace
}  // namespace skyvigil
