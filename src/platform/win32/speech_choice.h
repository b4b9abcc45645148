// Which speech layer a Windows run talks through, decided once from what the
// machine offers, and how each kind of text goes to it.
#pragma once

namespace skyvigil {

enum class SpeechBackend { tolk, jaws, ui_automation, sapi };

struct SpeechProbes {
  bool tolk = false;           // Tolk.dll beside the program, with its three functions
  bool jaws = false;           // JAWS runs and its automation object was made
  bool screen_reader = false;  // the system says a screen reader is running
  bool notifications = false;  // UI Automation can raise notification events
};

// Tolk first, since it knows every screen reader; then JAWS's own interface;
// then UI Automation notifications, which every current screen reader reads;
// the system voice only when no screen reader would hear the others.
SpeechBackend ChooseSpeechBackend(const SpeechProbes& probes);

// How much of the user's screen reader a text may take.
enum class SpeechUrgency {
  interrupt,   // asked for by the user: cuts off speech in progress
  queued,      // asked for by the user: follows speech in progress
  background,  // news nobody asked for just then: follows, and may wait or be dropped
};

struct SpeechDelivery {
  bool flush = false;               // Tolk's interrupt, JAWS's flush, SAPI's purge first
  int notification_processing = 0;  // UI Automation's NotificationProcessing
  const wchar_t* activity = L"";    // UI Automation's activity id
};

// Background news goes out as a plain queued text (Tolk, JAWS, SAPI) or as a
// notification the screen reader may hold back behind the user's own speech
// and drop when more comes (UI Automation's "All" rather than "Important").
SpeechDelivery DeliveryFor(SpeechUrgency urgency);

// Whether silencing has to stop the layer's own speech. A screen reader
// (behind Tolk, JAWS, or reading UI Automation notifications) already cut its
// speech, this program's included, on the key press, and stopping it again
// would cut what it began to say about the key. A system voice hears no keys.
bool SilenceStopsLayer(SpeechBackend backend, bool tolk_speaks_through_sapi);

}  // namespace skyvigil
