// speech-dispatcher implementation of the speech output layer.
#include "platform/linux/speech_output.h"

#include <libspeechd.h>
#include <pthread.h>
#include <signal.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace skyvigil {

namespace {

// libspeechd writes to its socket with plain write(): when the server has gone
// away the kernel raises SIGPIPE, whose default action ends the process. The
// guard blocks the signal in the calling thread for the length of a call and
// swallows one that the call caused.
class SigpipeGuard {
 public:
  SigpipeGuard() {
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    was_pending_ = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipe_, &previous_);
  }
  SigpipeGuard(const SigpipeGuard&) = delete;
  SigpipeGuard& operator=(const SigpipeGuard&) = delete;
  ~SigpipeGuard() {
    if (!was_pending_) {
      const timespec no_wait{};
      while (sigtimedwait(&pipe_, nullptr, &no_wait) == SIGPIPE) {
      }
    }
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }

 private:
  sigset_t pipe_;
  sigset_t previous_;
  bool was_pending_ = false;
};

}  // namespace

struct SpeechOutput::Connection {
  explicit Connection(SPDConnection* c) : spd(c) {}
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  ~Connection() {
    SigpipeGuard guard;
    spd_close(spd);
  }

  SPDConnection* spd;
};

SpeechOutput::SpeechOutput() = default;

SpeechOutput::~SpeechOutput() = default;

void SpeechOutput::Load() {
  std::call_once(load_once_, [this] {
    // A null address lets libspeechd resolve it as every other client does:
    // SPEECHD_ADDRESS first, then the session's default socket, starting the
    // user's server when it is not running yet. Threaded mode makes the
    // connection safe to share between the main and the update thread.
    SigpipeGuard guard;
    char* error = nullptr;
    SPDConnection* spd = spd_open2("skyvigil", "main", nullptr, SPD_MODE_THREADED, nullptr,
                                   /*autospawn=*/1, &error);
    std::free(error);
    if (spd == nullptr)
      return;
    connection_ = std::make_unique<Connection>(spd);
    connected_.store(true, std::memory_order_release);
  });
}

void SpeechOutput::TrySystemSpeech(bool allow) {
  system_speech_.store(allow);
}

bool SpeechOutput::Output(std::string_view text, bool interrupt) {
  if (!system_speech_.load() || !connected_.load(std::memory_order_acquire))
    return false;
  SPDConnection* spd = connection_->spd;
  const std::string copy(text);  // libspeechd wants a terminated string
  SigpipeGuard guard;
  // Cancelling drops what this connection is saying and has queued. The text
  // itself always goes as a "message": speech-dispatcher plays those one after
  // another, whereas a new "text" would cancel the previous one.
  if (interrupt)
    spd_cancel(spd);
  // speech-dispatcher refuses an empty text, and libspeechd then loses step
  // with the server: every later request on the connection hangs. So an empty
  // text ends here, as refused.
  if (copy.empty())
    return false;
  return spd_say(spd, SPD_MESSAGE, copy.c_str()) >= 0;
}

bool SpeechOutput::IsConnected() const {
  return connected_.load(std::memory_order_acquire);
}

}  // namespace skyvigil
