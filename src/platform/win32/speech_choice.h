// Which speech layer a Windows text goes to, decided for each text from what
// runs at that moment, and how each kind of text goes to it.
#pragma once

#include <functional>
#include <optional>

namespace skyvigil {

enum class SpeechBackend { tolk, nvda, jaws, narrator, sapi };

// Hands a text to the first layer that runs and takes it, asking each in this
// order: Tolk (beside the program: a user who supplies it knows best), NVDA
// and JAWS through their own interfaces (which speak and show braille
// whichever window has the focus), Narrator through UI Automation
// notifications, and last the system voice, which is not asked and takes what
// no reader took. `runs` asks whether a layer runs now, checked again for each
// text, so a reader started, restarted or switched after Skyvigil is used from
// its next text on; nothing after the first layer that takes the text is asked
// (no process list is read while NVDA answers). `takes` hands it the text;
// false (refused, failed, given up) passes the text to the next layer. The
// system's screen-reader flag is not asked: a crashed reader leaves it set,
// Narrator never sets it, and a reader we cannot reach would not hear us anyway.
// Returns the layer that took the text; nothing when not even the system voice
// could.
std::optional<SpeechBackend> DeliverInOrder(const std::function<bool(SpeechBackend)>& runs,
                                            const std::function<bool(SpeechBackend)>& takes);

// "tolk", "nvda", "jaws", "narrator" or "sapi".
const char* SpeechBackendName(SpeechBackend backend);

// How much of the user's screen reader a text may take.
enum class SpeechUrgency {
  interrupt,   // asked for by the user: cuts off speech in progress
  queued,      // asked for by the user: follows speech in progress
  background,  // news nobody asked for just then: follows, and may wait or be dropped
  alert,       // a weather alert: background news that must not be dropped
};

struct SpeechDelivery {
  bool flush = false;  // Tolk's interrupt, NVDA's cancelSpeech, JAWS's flush, SAPI's purge
  int notification_processing = 0;  // UI Automation's NotificationProcessing
  const wchar_t* activity = L"";    // UI Automation's activity id
};

// Only a text the user asked to interrupt cuts anything off; a background
// text never cancels the reader's own speech. Narrator may hold back plain
// news behind the user's own speech ("All"); alerts are "ImportantAll".
SpeechDelivery DeliveryFor(SpeechUrgency urgency);

// Whether silencing has to stop a layer's own speech. A screen reader
// (behind Tolk, NVDA, JAWS, Narrator) already cut its speech, this program's
// included, on the key press, and stopping it again would cut what it began
// to say about the key. A system voice hears no keys.
bool SilenceStopsLayer(SpeechBackend backend, bool tolk_speaks_through_sapi);

}  // namespace skyvigil
