// Spoken output through the desktop's speech service, shaped like a screen-reader
// output library: load once, allow the system speech engine, output a text.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>

namespace skyvigil {

// On Linux the text goes to speech-dispatcher (libspeechd), which the screen
// reader (Orca) and the system voices share. A Windows build would put the same
// three operations over a screen-reader library loaded at run time.
//
// Every operation may be called from any thread. Nothing here ever reports a
// failure to the user: without a reachable speech service it stays silent.
class SpeechOutput {
 public:
  SpeechOutput();
  SpeechOutput(const SpeechOutput&) = delete;
  SpeechOutput& operator=(const SpeechOutput&) = delete;
  ~SpeechOutput();

  // Connects to the speech service, through its usual address resolution (so
  // SPEECHD_ADDRESS and the user's settings apply). Only the first call of the
  // object's life does the work, even when several threads call at once; the
  // others wait for it. A failed connection is not retried.
  void Load();

  // Whether the system speech engine may speak when no screen reader takes the
  // text. On Linux speech-dispatcher is that engine, so with `allow` false
  // nothing is spoken. Off until called.
  void TrySystemSpeech(bool allow);

  // Speaks `text` (UTF-8) at the screen reader's own priority. With `interrupt`
  // the speech in progress and the queue of this connection are cut off first
  // (background texts among them are spoken again after it); otherwise the text
  // queues behind them, background texts included. Returns whether the text was
  // handed to the service or queued; false before Load, without a connection or
  // when the service rejects the text (it rejects an empty one).
  bool Output(std::string_view text, bool interrupt);

  // Queues `text` to be spoken after this object's earlier texts, one at a time
  // and below every other client's speech: another client's message (Orca's)
  // or an interrupting Output cuts it off at once, and it is spoken again after
  // that speech. Returns whether it was queued (the same conditions as Output).
  // Once queued, `fate` is told, on any thread and outside every lock of this
  // object, whether the text was heard: true when it ended, false when it was
  // dropped (by Silence, or after too many cuts) or could not be sent.
  bool OutputInBackground(std::string_view text, std::function<void(bool heard)> fate = {});

  // Stops this connection's speech, playing or queued, and drops the background
  // texts not yet spoken.
  void Silence();

  // Whether Load has reached the speech service.
  [[nodiscard]] bool IsConnected() const;

 private:
  struct Connection;

  std::once_flag load_once_;
  std::unique_ptr<Connection> connection_;
  std::atomic<bool> connected_{false};
  std::atomic<bool> system_speech_{false};
};

}  // namespace skyvigil
