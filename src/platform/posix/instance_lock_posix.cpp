// flock-based single-instance marker (the POSIX stand-in for an unshared open).
#include "ports/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace skyvigil {

InstanceLock::~InstanceLock() {
  if (handle_ != kNoHandle)
    ::close(static_cast<int>(handle_));
}

InstanceLock::Outcome InstanceLock::Acquire(const std::filesystem::path& marker) {
  struct stat info {};
  if (::stat(marker.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
    return Outcome::unguarded;

  for (;;) {
    int fd = ::open(marker.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
      if (errno != EACCES && errno != EPERM && errno != EROFS)
        return Outcome::unguarded;
      // A marker we may not open counts as held; without one, it is the
      // folder that refuses us, and no other instance is involved.
      struct stat existing {};
      return ::lstat(marker.c_str(), &existing) == 0 ? Outcome::other_instance
                                                     : Outcome::folder_not_writable;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      return Outcome::other_instance;
    }
    // The holder we raced with may have deleted the marker between our open and
    // our lock; then we hold a lock on a file nobody else can see. Start over.
    struct stat held {};
    struct stat on_disk {};
    if (::fstat(fd, &held) == 0 && ::stat(marker.c_str(), &on_disk) == 0 &&
        held.st_ino == on_disk.st_ino && held.st_dev == on_disk.st_dev) {
      ::lseek(fd, 0, SEEK_END);
      handle_ = fd;
      path_ = marker;
      return Outcome::acquired;
    }
    ::close(fd);
  }
}

void InstanceLock::Release() {
  if (handle_ == kNoHandle)
    return;
  ::unlink(path_.c_str());
  ::close(static_cast<int>(handle_));
  handle_ = kNoHandle;
}

}  // namespace skyvigil
