// The order of the speech layers and what each kind of text asks of them.
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

SpeechDelivery DeliveryFor(SpeechUrgency urgency) {
  // NotificationProcessing: 0 ImportantAll, 2 All, 3 MostRecent.
  switch (urgency) {
    case SpeechUrgency::interrupt:
      return {true, 3, L"Skyvigil"};
    case SpeechUrgency::queued:
      return {false, 0, L"Skyvigil"};
    case SpeechUrgency::background:
      break;
  }
  // An activity of its own, so a screen reader can tell the news apart.
  return {false, 2, L"Skyvigil.News"};
}

bool SilenceStopsLayer(SpeechBackend backend, bool tolk_speaks_through_sapi) {
  switch (backend) {
    case SpeechBackend::tolk:
      return tolk_speaks_through_sapi;
    case SpeechBackend::jaws:
    case SpeechBackend::ui_automation:
      return false;
    case SpeechBackend::sapi:
      break;
  }
  return true;
}

}  // namespace skyvigil
