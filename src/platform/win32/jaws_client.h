// JAWS's automation object (FreedomSci.JawsApi), made once per JAWS run and
// called only within a time limit, whatever apartment COM puts it in.
// Speech thread only.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "platform/win32/bounded_call.h"

namespace skyvigil {

class JawsClient {
 public:
  // As NVDA's calls: a call that hangs is given up and its text goes on.
  static constexpr std::chrono::milliseconds kCallLimit{1500};

  JawsClient() = default;
  ~JawsClient();
  JawsClient(const JawsClient&) = delete;
  JawsClient& operator=(const JawsClient&) = delete;

  // Whether JAWS's window exists and its object could be made.
  bool Running();
  // SayString (flushing JAWS's speech first when `interrupt`), then the text
  // flashed on the braille display. False when JAWS did not take it: the
  // object is dropped and made again for a later text.
  bool Say(const std::wstring& text, bool interrupt);

  struct Object;

 private:
  void Drop();

  std::shared_ptr<Object> object_;
  BoundedCaller caller_{kCallLimit};
};

// Whether an object of this registration leaves the main thread free: COM
// makes an in-process object without a threading model (or "Single") in the
// process's first single-threaded apartment, our window thread, where a call
// that hangs would freeze the windows. Every other model runs elsewhere.
bool JawsObjectLeavesMainThreadFree(bool in_process, std::wstring_view threading_model);

}  // namespace skyvigil
