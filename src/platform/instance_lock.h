// The single-instance marker: the file "running" in the working folder, held
// with an exclusive lock for as long as this instance runs.
#pragma once

#include <filesystem>

namespace skyvigil {

class InstanceLock {
 public:
  enum class Outcome {
    acquired,        // this instance holds the marker
    other_instance,  // another instance holds it: this one must not start
    unguarded,       // the marker could not be made (e.g. "running" is a folder); start anyway
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
  int fd_ = -1;
  std::filesystem::path path_;
};

}  // namespace skyvigil
