// The order of the speech layers.
#include "platform/win32/speech_choice.h"

namespace skyvigil {

SpeechBackend ChooseSpeechBackend(const SpeechProbes& probes) {
  if (probes.tolk)
    return SpeechBackend::tolk;
  if (probes.jaws)
    return SpeechBackend::jaws;
  if (probes.screen_reader && probes.notifications)
    return SpeechBackend::ui_automation;
  return SpeechBackend::sapi;
}

}  // namespace skyvigil
