// The update check's decisions and texts: what the version file's answer
// tells the user, the download of the archive and its signature, and the
// messages of a failure. app/update_chain runs them as a chain of background
// fetches with the dialogs on the main thread.
#pragma once

#include <filesystem>
#include <string>

#include "ports/http.h"
#include "update/update_signature.h"

namespace skyvigil {

struct UpdateSource {
  std::string update_address;  // the server's base address; empty: no check
  std::string app_version;
  std::filesystem::path archive_file = "Skyvigil.zip";
  // Installed by the system's package manager: a new version is only told
  // about, since the package source brings it.
  bool packaged = false;
  UpdateTrust trust = BuiltInUpdateTrust();
};

// What the user is told: nothing, a message box "Alert", or the question
// whether to download `version`.
struct UpdateReply {
  enum class Kind { nothing, message, question };
  Kind kind = Kind::nothing;
  std::string text;     // the message or the question
  std::string version;  // the version offered, as shown
};

// The check of a build that names no update server: the menu's says so.
// `automatic` is true for the check at start-up, which says nothing but news.
UpdateReply ReplyWithoutServer(bool automatic);

// The request for the version file.
HttpRequest VersionRequest(const UpdateSource& source);

// The reply to the version file's answer. Compared as text: anything but
// exactly our version is offered, shown with bytes that are not UTF-8
// replaced and cut to kMaxServerTextCharacters.
UpdateReply ReplyToVersion(const UpdateSource& source, const HttpResponse& answer, bool automatic);

// Told in the background while the question waits for the hidden window.
std::string NewVersionText(const std::string& version);

// On a worker: the archive into source.archive_file and, once it came, its
// signature beside it (a missing signature is refused with the archive).
// Each listener hears its own transfer; a false ends it. The archive's result.
DownloadResult DownloadUpdate(HttpClient& http, const UpdateSource& source,
                              const DownloadProgress& archive_progress,
                              const DownloadProgress& signature_progress);

// Deletes what a cancelled download left of the archive and its signature.
void DeleteDownloadedUpdate(const UpdateSource& source);

// "Download error" texts: the archive did not come (naming a status other
// than 2xx), or the signature check refused it for `reason`.
std::string DownloadErrorText(const DownloadResult& archive);
std::string RefusedUpdateText(const std::string& reason);

}  // namespace skyvigil
