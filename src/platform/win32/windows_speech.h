// Speech on Windows: one thread that loads the chosen speech layer on the
// first text and hands it every text in order.
#pragma once

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/win32/speech_choice.h"

namespace skyvigil {

// The layer (Tolk, JAWS, UI Automation or SAPI; see speech_choice.h) lives on
// the speech thread, so its COM objects stay in one apartment whichever thread
// speaks. The thread starts with the first Say and then sleeps between texts.
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
  // Any thread. The main window that UI Automation notifications come from.
  void SetNotificationWindow(void* hwnd);
  // Any thread. Drops the texts not yet handed over and stops the system
  // voice, ours or Tolk's; a screen reader has cut its own speech already.
  void Silence();
  // Hands over what is queued, then releases the layer and ends the thread.
  // Later texts are dropped.
  void Shutdown();

  // The layer the first text loaded; nothing before.
  std::optional<SpeechBackend> backend();

  struct Layer;  // the loaded speech layer, speech thread only

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
  std::deque<Item> queue_;
  bool stopped_ = false;
  void* window_ = nullptr;
  std::optional<SpeechBackend> backend_;
  std::thread thread_;
};

}  // namespace skyvigil
