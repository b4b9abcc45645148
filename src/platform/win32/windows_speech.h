// Speech on Windows: one thread that hands every text, in order, to the
// speech layer chosen for it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/win32/speech_choice.h"
#include "platform/win32/uia_notifier.h"

namespace skyvigil {

// The layers (Tolk, NVDA, JAWS, Narrator or SAPI; see speech_choice.h) live
// on the speech thread, so their COM objects stay in one apartment whichever
// thread speaks. Which one runs is checked again for each text; a layer whose
// call fails passes that text on to the next. The thread starts with the
// first Say and then sleeps between texts.
class WindowsSpeech {
 public:
  // Tolk.dll is looked for in `tolk_folder`; empty means the program's folder.
  explicit WindowsSpeech(std::filesystem::path tolk_folder = {});
  ~WindowsSpeech();
  WindowsSpeech(const WindowsSpeech&) = delete;
  WindowsSpeech& operator=(const WindowsSpeech&) = delete;

  // Any thread. Queues `text` (UTF-8) behind texts not yet handed over.
  void Say(const std::string& text, bool interrupt);
  // Any thread. Like Say, for news the user did not ask for (DeliveryFor).
  void SayInBackground(const std::string& text);
  // Any thread. Like SayInBackground, for a weather alert.
  void SayAlert(const std::string& text);
  // Any thread. Where Narrator's notifications are raised.
  void SetNotifier(std::shared_ptr<UiaNotifier> notifier);
  // Any thread. Drops the texts not yet handed over and stops the system
  // voice, ours or Tolk's; a screen reader has cut its own speech already.
  void Silence();
  // Waits until every text queued so far has been handed to its layer, at
  // most `limit`; false when some text had not been by then.
  bool WaitHandedOver(std::chrono::milliseconds limit);
  // Hands over what is queued, lets the system voice finish (2 s at most),
  // then releases the layers and ends the thread. Later texts are dropped.
  // Each reader's call is given up after 1.5 s, so a reader that hangs holds
  // the exit no longer.
  void Shutdown();

  // The layer that took the last text; nothing before the first, or when no
  // layer, not even the system voice, could take it.
  std::optional<SpeechBackend> backend();

  struct Layers;  // the speech layers, speech thread only

 private:
  struct Item {
    std::wstring text;
    SpeechUrgency urgency = SpeechUrgency::queued;
    bool purge = false;  // silence instead of speaking
  };
  void Queue(const std::string& text, SpeechUrgency urgency);
  void Run();

  const std::filesystem::path tolk_folder_;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable handed_over_;  // the queue ran empty and no text is in hand
  std::deque<Item> queue_;
  bool in_hand_ = false;  // the thread is handing a text over
  bool stopped_ = false;
  std::shared_ptr<UiaNotifier> notifier_;
  std::optional<SpeechBackend> backend_;
  std::thread thread_;
};

}  // namespace skyvigil
