// A second start asks the running instance to bring its window back, or (the
// --speak option) to speak its summary. The channel reaches only the instance
// that holds the same marker, and only from the same user. One header, one
// source file per platform; the build picks the platform's.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>

namespace skyvigil {

enum class InstanceRequest { show, speak };

// Asks the instance holding `marker` to carry out `request`. False when no
// instance listens (or the request could not be delivered).
bool AskRunningInstance(const std::filesystem::path& marker, InstanceRequest request);

class ShowRequestListener {
 public:
  ShowRequestListener();
  ShowRequestListener(const ShowRequestListener&) = delete;
  ShowRequestListener& operator=(const ShowRequestListener&) = delete;
  // Stops listening; `on_request` is not called once this returns.
  ~ShowRequestListener();

  // Listens for requests made for `marker` until destroyed. `on_request` runs
  // once per request, with what was asked, on the listener's own thread, which
  // sleeps in between. False when the channel could not be opened (the
  // program runs without it).
  bool Listen(const std::filesystem::path& marker, std::function<void(InstanceRequest)> on_request);

 private:
  struct Channel;  // the platform's socket or window and its thread
  std::unique_ptr<Channel> channel_;
};

}  // namespace skyvigil
