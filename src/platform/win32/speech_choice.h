// Which speech layer a Windows text goes to, decided for each text from what
// runs at that moment, and how each kind of text goes to it.
#pragma once

namespace skyvigil {

enum class SpeechBackend { tolk, nvda, jaws, narrator, sapi };

// Each is checked again for every text, so a screen reader started, restarted
// or switched after Skyvigil is used from its next text on.
struct SpeechProbes {
  bool tolk = false;           // Tolk.dll beside the program, with its three functions
  bool nvda = false;           // NVDA's controller answered testIfRunning
  bool jaws = false;           // JAWS's window exists and its automation object was made
  bool narrator = false;       // Narrator.exe runs in this session
  bool notifications = false;  // our notification window exists and UIA can raise them
  // The system's flag: not trusted. A crashed reader leaves it set, Narrator
  // never sets it, and a reader it names but we cannot reach would not hear
  // us anyway.
  bool screen_reader_flag = false;
};

// Tolk first, since a user who supplies it knows best; then NVDA and JAWS
// through their own interfaces, which speak and show braille whichever
// window has the focus; then Narrator through UI Automation notifications;
// the system voice when no reader we can reach runs.
SpeechBackend ChooseSpeechBackend(const SpeechProbes& probes);

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
