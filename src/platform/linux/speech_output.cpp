// speech-dispatcher implementation of the speech output layer.
#include "platform/linux/speech_output.h"

#include <libspeechd.h>
#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

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

// How often a cut-off background text is sent again: after it had begun to
// sound (each time the user heard its start again), and in all, counting the
// cuts while it still waited unheard. Two clients that both resend their
// cut-off texts would otherwise cut each other forever.
constexpr int kMaxHeardCuts = 2;
constexpr int kMaxCuts = 20;

struct SpeechOutput::Connection {
  using Fate = std::function<void(bool heard)>;

  explicit Connection(SPDConnection* c) : spd(c) {}
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  ~Connection() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    if (worker_.joinable())
      worker_.join();
    {
      std::lock_guard lock(RegistryMutex());
      std::erase(Registry(), this);
    }
    SigpipeGuard guard;
    spd_close(spd);  // joins libspeechd's thread: no callback after this
  }

  // Asks for the events of this connection's messages and starts the thread
  // that hands the background texts over.
  void Start() {
    SigpipeGuard guard;
    {
      std::lock_guard lock(RegistryMutex());
      Registry().push_back(this);
    }
    spd->callback_begin = &Connection::OnEvent;
    spd->callback_end = &Connection::OnEvent;
    spd->callback_cancel = &Connection::OnEvent;
    spd_set_notification_on(spd, SPD_BEGIN);
    spd_set_notification_on(spd, SPD_END);
    spd_set_notification_on(spd, SPD_CANCEL);
    worker_ = std::thread([this] { HandOver(); });
  }

  bool Say(std::string text, bool interrupt) {
    std::lock_guard send(send_mutex_);
    {
      std::lock_guard lock(mutex_);
      if (interrupt) {
        std::erase_if(queue_, [](const Pending& item) { return item.foreground; });
      } else if (!text.empty() && (in_flight_ || !queue_.empty())) {
        // Our earlier background texts go first: this program's order.
        queue_.push_back(Pending{std::move(text), /*foreground=*/true, 0, 0, {}});
        wake_.notify_all();
        return true;
      }
    }
    SigpipeGuard guard;
    // Cancelling drops what this connection is saying and has queued; a
    // background text among it is sent again after the new text.
    if (interrupt)
      spd_cancel(spd);
    // speech-dispatcher refuses an empty text, and libspeechd then loses step
    // with the server: every later request on the connection hangs. So an empty
    // text ends here, as refused.
    if (text.empty())
      return false;
    return SendMessage(text);
  }

  bool Queue(std::string text, Fate fate) {
    if (text.empty())
      return false;
    {
      std::lock_guard send(send_mutex_);
      std::unique_lock lock(mutex_);
      Pending item{std::move(text), false, 0, 0, std::move(fate)};
      if (in_flight_ || !queue_.empty()) {
        queue_.push_back(std::move(item));
        wake_.notify_all();
      } else {
        // Nothing of ours ahead: with the server before this call returns, as a
        // message would be, so a key handled next finds it there.
        SendBackground(lock, std::move(item));
      }
    }
    TellFates();
    return true;
  }

  void Silence() {
    // Under send_mutex_ the text in flight, if any, is with the server, where
    // the cancel reaches it.
    std::lock_guard send(send_mutex_);
    {
      std::lock_guard lock(mutex_);
      for (Pending& item : queue_)
        Told(item, false);
      queue_.clear();
      if (in_flight_)
        in_flight_->dropped = true;
    }
    {
      SigpipeGuard guard;
      spd_cancel(spd);
    }
    TellFates();
  }

  SPDConnection* spd;

 private:
  struct Pending {
    std::string text;
    bool foreground = false;
    int cuts = 0;
    int heard_cuts = 0;
    Fate fate;  // of a background text, when asked for
  };

  // Keeps what became of `item` for TellFates. Needs mutex_.
  void Told(Pending& item, bool heard) {
    if (item.fate)
      told_.emplace_back(std::move(item.fate), heard);
    item.fate = nullptr;
  }

  // Tells the fates kept so far, holding no lock: whoever hears of them may
  // speak again at once.
  void TellFates() {
    std::vector<std::pair<Fate, bool>> told;
    {
      std::lock_guard lock(mutex_);
      told.swap(told_);
    }
    for (auto& [fate, heard] : told)
      fate(heard);
  }
  struct InFlight {
    Pending item;
    int id = -1;  // until spd_say returns
    bool began = false;
    bool dropped = false;  // by Silence: no resend
  };
  struct Event {
    int id;
    SPDNotificationType type;
  };

  // Never destroyed: libspeechd's thread may still call in while the process
  // runs its exit handlers.
  static std::mutex& RegistryMutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
  }
  static std::vector<Connection*>& Registry() {
    static auto* connections = new std::vector<Connection*>;
    return *connections;
  }

  // libspeechd's callbacks carry no pointer of ours; the message ids, unique
  // within a server, tell each connection its own. (spd_get_client_id would
  // crash on a server that hangs up.) They run on libspeechd's thread, which
  // must not wait for the server.
  static void OnEvent(size_t msg_id, size_t /*client_id*/, SPDNotificationType type) {
    std::lock_guard registry(RegistryMutex());
    for (Connection* connection : Registry())
      connection->Notice(static_cast<int>(msg_id), type);
  }

  void Notice(int id, SPDNotificationType type) {
    {
      std::lock_guard lock(mutex_);
      if (!in_flight_)
        return;
      if (in_flight_->id < 0) {
        early_.push_back(Event{id, type});
      } else if (in_flight_->id == id) {
        Apply(type);
      }
    }
    TellFates();
  }

  // The background text in flight began, ended or was cut off. Needs mutex_.
  void Apply(SPDNotificationType type) {
    if (type == SPD_EVENT_BEGIN) {
      in_flight_->began = true;
      return;
    }
    if (type == SPD_EVENT_CANCEL && !in_flight_->dropped) {
      Pending item = std::move(in_flight_->item);
      ++item.cuts;
      if (in_flight_->began)
        ++item.heard_cuts;
      // Sent at once, it waits behind whatever cut it off.
      if (item.cuts <= kMaxCuts && item.heard_cuts <= kMaxHeardCuts)
        queue_.push_front(std::move(item));
      else
        Told(item, false);
    } else if (type == SPD_EVENT_END || type == SPD_EVENT_CANCEL) {
      Told(in_flight_->item, type == SPD_EVENT_END);
    } else {
      return;
    }
    in_flight_.reset();
    wake_.notify_all();
  }

  // A "message" waits for other clients' messages and never cuts them off.
  // Needs send_mutex_.
  bool SendMessage(const std::string& text) {
    SigpipeGuard guard;
    return spd_say(spd, SPD_MESSAGE, text.c_str()) >= 0;
  }

  // One background text at a time as a "text": speech-dispatcher cuts that off
  // for any client's message instead of making the message wait. A text of the
  // user's queued behind them goes once they are done.
  void HandOver() {
    for (;;) {
      TellFates();  // those of the last hand-over, with no lock held
      {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return stopping_ || (!in_flight_ && !queue_.empty()); });
        if (stopping_)
          return;
      }
      // Holding send_mutex_ from the pop to the reply keeps Silence out between.
      std::lock_guard send(send_mutex_);
      std::unique_lock lock(mutex_);
      if (stopping_ || in_flight_ || queue_.empty())
        continue;
      Pending item = std::move(queue_.front());
      queue_.pop_front();
      if (item.foreground) {
        lock.unlock();
        SendMessage(item.text);
        continue;
      }
      SendBackground(lock, std::move(item));
    }
  }

  // Needs send_mutex_ and `lock` (on mutex_), which it holds again on return.
  void SendBackground(std::unique_lock<std::mutex>& lock, Pending item) {
    in_flight_.emplace(InFlight{std::move(item)});
    const std::string text = in_flight_->item.text;
    lock.unlock();
    int id = -1;
    {
      SigpipeGuard guard;
      id = spd_say(spd, SPD_TEXT, text.c_str());
    }
    lock.lock();
    std::vector<Event> early = std::move(early_);
    early_.clear();
    if (id < 0) {
      Told(in_flight_->item, false);
      in_flight_.reset();
      wake_.notify_all();
      return;
    }
    in_flight_->id = id;
    for (const Event& event : early) {
      if (in_flight_ && event.id == id)
        Apply(event.type);
    }
  }

  std::thread worker_;
  std::mutex send_mutex_;  // one request at a time; taken before mutex_
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Pending> queue_;
  std::optional<InFlight> in_flight_;
  std::vector<Event> early_;                 // events that came before spd_say returned
  std::vector<std::pair<Fate, bool>> told_;  // fates not told yet
  bool stopping_ = false;
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
    connection_->Start();
    connected_.store(true, std::memory_order_release);
  });
}

void SpeechOutput::TrySystemSpeech(bool allow) {
  system_speech_.store(allow);
}

bool SpeechOutput::Output(std::string_view text, bool interrupt) {
  if (!system_speech_.load() || !connected_.load(std::memory_order_acquire))
    return false;
  return connection_->Say(std::string(text), interrupt);
}

bool SpeechOutput::OutputInBackground(std::string_view text, std::function<void(bool heard)> fate) {
  if (!system_speech_.load() || !connected_.load(std::memory_order_acquire))
    return false;
  return connection_->Queue(std::string(text), std::move(fate));
}

void SpeechOutput::Silence() {
  if (connected_.load(std::memory_order_acquire))
    connection_->Silence();
}

bool SpeechOutput::IsConnected() const {
  return connected_.load(std::memory_order_acquire);
}

}  // namespace skyvigil
