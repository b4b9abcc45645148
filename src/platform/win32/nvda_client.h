// NVDA's controller interface over local RPC, bound on demand and dropped
// when NVDA stops answering. Speech thread only.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "platform/win32/bounded_call.h"

namespace skyvigil {

class NvdaClient {
 public:
  // Local RPC ignores the binding's call time-out, so each call runs on a
  // thread of its own and is given up after this long.
  static constexpr std::chrono::milliseconds kCallLimit{1500};

  NvdaClient() = default;
  NvdaClient(const NvdaClient&) = delete;
  NvdaClient& operator=(const NvdaClient&) = delete;

  // Whether NVDA answers testIfRunning now; binds first when no binding is kept.
  bool Running();
  // Cancels NVDA's speech first when `interrupt`, speaks `text` and shows it
  // on the braille display. False when NVDA did not take it: the binding is
  // dropped, and the caller hands the text to the next layer.
  bool Say(const std::wstring& text, bool interrupt);

  struct Binding;

 private:
  bool Bind();
  // Runs `calls` against the binding within kCallLimit; false drops the binding.
  bool Call(bool (*calls)(void* binding, const std::wstring& text, bool interrupt),
            const std::wstring& text, bool interrupt);

  std::shared_ptr<Binding> binding_;
  BoundedCaller caller_{kCallLimit};
};

// "NvdaCtlr.<session>.<desktop>", where NVDA of this session and desktop listens.
std::wstring NvdaEndpoint();

// The RPC interface the client asks NVDA for (an RPC_IF_HANDLE).
void* NvdaClientInterface();

}  // namespace skyvigil
