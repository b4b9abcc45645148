// The update check's replies, downloads and texts, through fakes.
#include "update/update_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/scripted_http.h"
#include "fakes/temp_dir.h"

namespace skyvigil {
namespace {

using ::testing::ElementsAre;
using Kind = UpdateReply::Kind;

UpdateSource Source(bool packaged = false) {
  UpdateSource source;
  source.update_address = "https://updates.test";
  source.app_version = "0.36";
  source.packaged = packaged;
  return source;
}

std::string Question(const std::string& version) {
  return "There is a new version of Skyvigil available, " + version +
         ". Would you like to download it now?";
}

TEST(UpdateCheckTest, AsksForTheVersionFileWithAGet) {
  const HttpRequest request = VersionRequest(Source());
  EXPECT_EQ(request.method, HttpRequest::Method::get);
  EXPECT_EQ(request.url, "https://updates.test/projects/skyvigilversion.txt");
  EXPECT_EQ(request.body, "");
}

// What the user is told, as "" (nothing), the message, or "? " and the
// version the question offers.
std::string Told(const UpdateReply& reply) {
  switch (reply.kind) {
    case Kind::nothing:
      return "";
    case Kind::message:
      return reply.text;
    case Kind::question:
      EXPECT_EQ(reply.text, Question(reply.version));
      return "? " + reply.version;
  }
  return "unknown kind";
}

TEST(UpdateCheckTest, RepliesToTheVersionFile) {
  const std::string kNoUpdate = "No update available.";
  const std::string kUnreachable = "The update server could not be reached.";
  const HttpResponse none{false, 0, ""};
  const struct {
    HttpResponse answer;
    bool automatic;
    bool packaged;
    std::string told;
  } cases[] = {
      {{true, 200, "0.36"}, true, false, ""},
      {{true, 200, "0.36"}, false, false, kNoUpdate},
      {{true, 200, "0.36\n"}, true, false, "? 0.36\n"},
      {{true, 200, "0.35"}, true, false, "? 0.35"},
      {{true, 200, " 0.36"}, false, false, "?  0.36"},
      {{true, 200, "0.4\xFF\xC3"}, true, false, "? 0.4\xEF\xBF\xBD\xEF\xBF\xBD"},
      {{true, 200, std::string(5000, '9')},
       true,
       false,
       "? " + std::string(511, '9') + "\xE2\x80\xA6"},
      {{true, 200, "0.40"}, true, true, "Skyvigil 0.40 is available from your package source."},
      {{true, 200, "0.36"}, false, true, kNoUpdate},
      {none, true, false, ""},
      {none, false, false, kUnreachable},
      {{true, 404, "0.40"}, false, false, kUnreachable},
      {{true, 500, "0.40"}, true, false, ""},
      {{true, 201, "0.40"}, false, false, kUnreachable},
      {{true, 302, "0.40"}, true, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.answer.status << " \"" << c.answer.body << "\", "
                                      << (c.automatic ? "at start" : "from the menu")
                                      << (c.packaged ? ", packaged" : ""));
    EXPECT_EQ(Told(ReplyToVersion(Source(c.packaged), c.answer, c.automatic)), c.told);
  }
}

TEST(UpdateCheckTest, TheArchiveThenItsSignatureEachWithItsListener) {
  const platform_test::TempDir folder;
  UpdateSource source = Source();
  source.archive_file = folder / "Skyvigil.zip";
  const std::string to = source.archive_file.string();
  const struct {
    const char* name;
    DownloadResult archive;
    std::vector<std::string> downloads;
    std::vector<std::string> heard;
  } cases[] = {
      {"the archive came",
       {true, 200},
       {"https://updates.test/softs/Skyvigil.zip -> " + to,
        "https://updates.test/softs/Skyvigil.zip.minisig -> " + to + ".minisig"},
       {"archive", "signature"}},
      {"it did not",
       {false, 404},
       {"https://updates.test/softs/Skyvigil.zip -> " + to},
       {"archive"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::ScriptedHttp http;
    http.download = [&c](const std::string& url, const std::filesystem::path&,
                         const DownloadProgress& progress) {
      progress(1, 2);
      return url.ends_with(".minisig") ? DownloadResult{true, 200} : c.archive;
    };
    std::vector<std::string> heard;
    const DownloadResult result = DownloadUpdate(
        http, source,
        [&heard](uint64_t, uint64_t) {
          heard.push_back("archive");
          return true;
        },
        [&heard](uint64_t, uint64_t) {
          heard.push_back("signature");
          return true;
        });
    EXPECT_EQ(result.saved, c.archive.saved);
    EXPECT_EQ(result.status, c.archive.status);
    EXPECT_EQ(http.downloads, c.downloads);
    EXPECT_EQ(heard, c.heard);
  }
}

TEST(UpdateCheckTest, ACancelledDownloadLeavesNothing) {
  const platform_test::TempDir folder;
  UpdateSource source = Source();
  source.archive_file = folder / "Skyvigil.zip";
  platform_test::WriteBytes(source.archive_file, "PK part");
  platform_test::WriteBytes(folder / "Skyvigil.zip.minisig", "untrusted comment");
  platform_test::WriteBytes(folder / "prefs.ini", "[general]");
  DeleteDownloadedUpdate(source);
  EXPECT_THAT(platform_test::FolderEntries(folder.path()), ElementsAre("prefs.ini"));
}

TEST(UpdateCheckTest, ADownloadErrorNamesAStatusOtherThan2xx) {
  const std::string plain = "There was an error downloading Skyvigil.zip.";
  const struct {
    DownloadResult archive;
    std::string text;
  } cases[] = {
      {{false, 0}, plain},
      {{false, 200}, plain},
      {{false, 206}, plain},
      {{false, 300},
       "There was an error downloading Skyvigil.zip: the update server answered with status 300."},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DownloadErrorText(c.archive), c.text) << c.archive.status;
}

TEST(UpdateCheckTest, TheNewsOfAVersionAndOfARefusedArchive) {
  EXPECT_EQ(NewVersionText("0.40"), "Skyvigil 0.40 is available.");
  EXPECT_EQ(RefusedUpdateText("it has no signature"),
            "The downloaded update was deleted because it has no signature. Skyvigil is "
            "unchanged.");
}

}  // namespace
}  // namespace skyvigil
