// The order of the speech layers and what each kind of text asks of them.
#include "platform/win32/speech_choice.h"

namespace skyvigil {

std::optional<SpeechBackend> DeliverInOrder(const std::function<bool(SpeechBackend)>& runs,
                                            const std::function<bool(SpeechBackend)>& takes) {
  using enum SpeechBackend;
  for (const SpeechBackend layer : {tolk, nvda, jaws, narrator}) {
    if (runs(layer) && takes(layer))
      return layer;
  }
  if (takes(sapi))
    return sapi;
  return std::nullopt;
}

const char* SpeechBackendName(SpeechBackend backend) {
  static constexpr const char* kNames[] = {"tolk", "nvda", "jaws", "narrator", "sapi"};
  return kNames[static_cast<int>(backend)];
}

SpeechDelivery DeliveryFor(SpeechUrgency urgency) {
  // NotificationProcessing: 0 ImportantAll, 2 All.
  switch (urgency) {
    case SpeechUrgency::interrupt:
      return {true, 2, L"Skyvigil"};
    case SpeechUrgency::queued:
      return {false, 2, L"Skyvigil"};
    case SpeechUrgency::alert:
      return {false, 0, L"Skyvigil.Alert"};
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
    case SpeechBackend::nvda:
    case SpeechBackend::jaws:
    case SpeechBackend::narrator:
      return false;
    case SpeechBackend::sapi:
      break;
  }
  return true;
}

}  // namespace skyvigil
