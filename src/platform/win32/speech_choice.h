// Which speech layer a Windows run talks through, decided once from what the
// machine offers.
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

}  // namespace skyvigil
