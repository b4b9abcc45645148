// The update check as a chain of background fetches, like the forecast's: the
// version file, the question on the main thread, the download with its
// progress, the signature check, the hand-over to the updater. No thread
// waits for a dialog, and the exit drops whatever step is under way. While the
// main window is hidden a question waits until the user shows it, said once
// in the background; a message is said at once instead of shown.
#pragma once

#include "state/app_state.h"
#include "update/update_check.h"

namespace skyvigil {

// Asks `source` (UpdateSourceFor the settings). `automatic` is true for the
// check at start-up, which says nothing but news; the check from the menu also
// says there is no update, or why it failed. A check while an update is being
// downloaded adds nothing: its window tells.
void StartUpdateCheck(App& app, const UpdateSource& source, bool automatic);

}  // namespace skyvigil
