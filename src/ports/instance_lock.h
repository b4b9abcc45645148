// The single-instance marker: the file "running", held exclusively for as long
// as this instance runs. One header, one source file per platform; the build
// picks the platform's.
#pragma once

#include <cstdint>
#include <filesystem>

namespace skyvigil {

class InstanceLock {
 public:
  enum class Outcome {
    acquired,             // this instance holds the marker
    other_instance,       // another instance holds it: this one must not start
    unguarded,            // the marker could not be made (e.g. "running" is a folder); start anyway
    folder_not_writable,  // no marker, and none may be made there: start unguarded, but
                          // nothing can be saved either
  };

  InstanceLock() = default;
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  ~InstanceLock();

  // Takes the marker. A marker left behind by a crashed instance is not held
  // by anyone and is simply taken over.
  [[nodiscard]] Outcome Acquire(const std::filesystem::path& marker);

  // Closes and deletes the marker, if this instance holds it.
  void Release();

 private:
  // The platform's open file (a descriptor or a handle); kNoHandle when none.
  static constexpr std::intptr_t kNoHandle = -1;
  std::intptr_t handle_ = kNoHandle;
  std::filesystem::path path_;
};

}  // namespace skyvigil
