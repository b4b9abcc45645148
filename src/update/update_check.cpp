// The update check: the version file read, the texts, the downloads.
#include "update/update_check.h"

#include <string>
#include <system_error>
#include <utility>

#include "weather/http_policy.h"
#include "weather/utf8.h"

namespace skyvigil {

namespace {

UpdateReply Message(std::string text) {
  return {UpdateReply::Kind::message, std::move(text), ""};
}

}  // namespace

UpdateReply ReplyWithoutServer(bool automatic) {
  if (automatic)
    return {};
  return Message("Updates are not set up in this build.");
}

HttpRequest VersionRequest(const UpdateSource& source) {
  return {HttpRequest::Method::get, source.update_address + "/projects/skyvigilversion.txt", ""};
}

UpdateReply ReplyToVersion(const UpdateSource& source, const HttpResponse& answer, bool automatic) {
  if (answer.status != 200)
    return automatic ? UpdateReply{} : Message("The update server could not be reached.");
  if (answer.body == source.app_version)
    return automatic ? UpdateReply{} : Message("No update available.");
  const std::string version =
      CapCharacters(ReplaceInvalidUtf8(answer.body), kMaxServerTextCharacters);
  if (source.packaged)
    return Message("Skyvigil " + version + " is available from your package source.");
  return {UpdateReply::Kind::question,
          "There is a new version of Skyvigil available, " + version +
              ". Would you like to download it now?",
          version};
}

std::string NewVersionText(const std::string& version) {
  return "Skyvigil " + version + " is available.";
}

DownloadResult DownloadUpdate(HttpClient& http, const UpdateSource& source,
                              const DownloadProgress& archive_progress,
                              const DownloadProgress& signature_progress) {
  const DownloadResult archive = http.Download(source.update_address + "/softs/Skyvigil.zip",
                                               source.archive_file, archive_progress);
  if (archive.saved) {
    http.Download(source.update_address + "/softs/Skyvigil.zip.minisig",
                  SignatureFileOf(source.archive_file), signature_progress);
  }
  return archive;
}

void DeleteDownloadedUpdate(const UpdateSource& source) {
  std::error_code ignored;
  std::filesystem::remove(source.archive_file, ignored);
  std::filesystem::remove(SignatureFileOf(source.archive_file), ignored);
}

std::string DownloadErrorText(const DownloadResult& archive) {
  const std::string text = "There was an error downloading Skyvigil.zip";
  if (archive.status == 0 || IsSuccessStatus(archive.status))
    return text + ".";
  return text + ": the update server answered with status " + std::to_string(archive.status) + ".";
}

std::string RefusedUpdateText(const std::string& reason) {
  return "The downloaded update was deleted because " + reason + ". Skyvigil is unchanged.";
}

}  // namespace skyvigil
