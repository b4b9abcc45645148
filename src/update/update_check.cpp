// The update check: version file, question, download, hand-over.
#include "update/update_check.h"

#include "weather/utf8.h"

namespace skyvigil {

void CheckForUpdate(HttpClient& http, Announcer& announcer, UpdatePrompter& prompter,
                    const UpdateSource& source, bool automatic) {
  if (source.update_address.empty())
    return;

  HttpRequest version_request;
  version_request.url = source.update_address + "/projects/skyvigilversion.txt";
  const HttpResponse answer = http.Perform(version_request);
  if (answer.status != 200)
    return;

  // Compared as text: anything else than exactly our version is offered. The
  // text is shown, so bytes that are not UTF-8 are replaced.
  if (answer.body == source.app_version) {
    if (!automatic)
      prompter.ShowMessage("Alert", "No update available.");
    return;
  }
  const std::string version = ReplaceInvalidUtf8(answer.body);
  prompter.NewVersionFound(version);
  if (source.packaged) {
    prompter.ShowMessage("Alert",
                         "Skyvigil " + version + " is available from your package source.");
    return;
  }
  if (!prompter.AskYesNo("Alert", "There is a new version of Skyvigil available, " + version +
                                      ". Would you like to download it now?")) {
    return;
  }

  announcer.Speak("Downloading update", false);
  prompter.DownloadBegins();
  const bool downloaded =
      http.Download(source.update_address + "/softs/Skyvigil.zip", source.archive_file,
                    [&prompter](uint64_t received, uint64_t total) {
                      return prompter.DownloadGoesOn(received, total);
                    });
  // A missing signature is refused below, with the archive.
  if (downloaded) {
    http.Download(source.update_address + "/softs/Skyvigil.zip.minisig",
                  SignatureFileOf(source.archive_file),
                  [&prompter](uint64_t, uint64_t) { return !prompter.DownloadCancelled(); });
  }
  if (prompter.DownloadEnds()) {
    // Cancelled: what did arrive goes, and nothing else changes. The user
    // was told when they cancelled.
    std::error_code ignored;
    std::filesystem::remove(source.archive_file, ignored);
    std::filesystem::remove(SignatureFileOf(source.archive_file), ignored);
    return;
  }
  if (!downloaded) {
    prompter.ShowMessage("Download error", "There was an error downloading Skyvigil.zip.");
    return;
  }
  if (const std::string refused = CheckDownloadedUpdate(source.archive_file, source.trust);
      !refused.empty()) {
    prompter.ShowMessage("Download error", "The downloaded update was deleted because " + refused +
                                               ". Skyvigil is unchanged.");
    return;
  }
  prompter.StartUpdater();
  prompter.ExitProgram();
}

}  // namespace skyvigil
