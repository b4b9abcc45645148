// Asks the update server whether a newer build exists, downloads it on the
// user's consent and hands over to the updater program.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "ports/announcer.h"
#include "ports/http.h"
#include "update/update_signature.h"

namespace skyvigil {

// The dialogs and the hand-over as the thread running the check sees them.
// The desktop layer carries them to the main thread, so a check on a
// background thread never touches a window itself.
class UpdatePrompter {
 public:
  virtual ~UpdatePrompter() = default;
  // A version other than ours was found, before it is offered.
  virtual void NewVersionFound(const std::string& /*version*/) {}
  virtual void ShowMessage(const std::string& title, const std::string& text) = 0;
  virtual bool AskYesNo(const std::string& title, const std::string& text) = 0;
  // Starts the updater without waiting for it; a failure is not reported.
  virtual void StartUpdater() = 0;
  // The orderly exit of the whole program.
  virtual void ExitProgram() = 0;

  // Around the download: Begins before its first transfer, Ends after its
  // last, telling whether the user cancelled it first. Between them the
  // downloading thread reports the archive's progress (total 0: unknown) and
  // hears false once the user cancelled.
  virtual void DownloadBegins() {}
  virtual bool DownloadGoesOn(uint64_t /*received*/, uint64_t /*total*/) { return true; }
  virtual bool DownloadCancelled() { return false; }
  virtual bool DownloadEnds() { return false; }
};

struct UpdateSource {
  std::string update_address;  // the server's base address; empty: no check
  std::string app_version;
  std::filesystem::path archive_file = "Skyvigil.zip";
  // Installed by the system's package manager: a new version is only told
  // about, since the package source brings it.
  bool packaged = false;
  UpdateTrust trust = BuiltInUpdateTrust();
};

// `automatic` is true for the check at start-up, which says nothing when
// there is no update.
void CheckForUpdate(HttpClient& http, Announcer& announcer, UpdatePrompter& prompter,
                    const UpdateSource& source, bool automatic);

}  // namespace skyvigil
