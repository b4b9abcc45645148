// POSIX implementation of the atomic file replacement.
#include "ports/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace skyvigil {

namespace {

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Makes the rename itself durable; failure here does not undo the save.
void SyncFolder(const std::filesystem::path& folder) {
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         FileAccess access) {
  // A file the user made read-only stays as it is, even for root.
  struct stat old_info {};
  const bool exists = ::stat(path.c_str(), &old_info) == 0;
  if (exists && (!S_ISREG(old_info.st_mode) || (old_info.st_mode & S_IWUSR) == 0 ||
                 ::access(path.c_str(), W_OK) != 0)) {
    return false;
  }

  const std::filesystem::path folder = path.parent_path();
  std::string temp = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
  int fd = ::mkstemp(temp.data());
  if (fd < 0)
    return false;

  // Keep the permissions of the file being replaced; a new file gets the usual
  // 0644. A secret is for its owner alone, whatever the old file allowed.
  mode_t mode = exists ? (old_info.st_mode & 07777) : 0644;
  if (access == FileAccess::owner_only)
    mode = (mode & 0700) | 0600;
  bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok)
    ok = ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  SyncFolder(folder);
  return true;
}

bool KeepForOwnerOnly(const std::filesystem::path& path) {
  // Opened, then changed through the descriptor: the file checked is the
  // file changed. O_NONBLOCK: a FIFO put in its place does not hang the start.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return false;
  struct stat info {};
  bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  if (ok && (info.st_mode & 07077) != 0)
    ok = ::fchmod(fd, info.st_mode & 0700) == 0;
  ::close(fd);
  return ok;
}

}  // namespace skyvigil
