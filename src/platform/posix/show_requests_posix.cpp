// A second start's requests over a unix socket. Its name comes from the
// marker's path, so each marker has its own; both ends check that the other
// runs as this user.
#include "ports/show_requests.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>

namespace skyvigil {

namespace {

namespace fs = std::filesystem;

// One line names the request; the listener answers once it was handed over.
constexpr char kShow[] = "show\n";
constexpr char kSpeak[] = "speak\n";
constexpr char kReply[] = "ok\n";
constexpr size_t kLongestRequest = sizeof kSpeak - 1;

const char* RequestLine(InstanceRequest request) {
  return request == InstanceRequest::speak ? kSpeak : kShow;
}

// The user's runtime folder is private to the user and its paths are short;
// the marker's own folder, then /tmp, serve when it is missing or too long.
std::optional<sockaddr_un> SocketAddress(const fs::path& marker) {
  std::error_code ignored;
  const std::string key = fs::absolute(marker, ignored).lexically_normal().string();
  uint64_t hash = 14695981039346656037u;  // FNV-1a
  for (const unsigned char byte : key)
    hash = (hash ^ byte) * 1099511628211u;
  char name[64];
  std::snprintf(name, sizeof name, "skyvigil-%u-%016llx.sock", static_cast<unsigned>(geteuid()),
                static_cast<unsigned long long>(hash));

  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  for (const fs::path& folder :
       {fs::path(runtime != nullptr ? runtime : ""), marker.parent_path(), fs::path("/tmp")}) {
    if (folder.empty())
      continue;
    const std::string path = (folder / name).string();
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path)
      continue;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
  }
  return std::nullopt;
}

bool PeerIsThisUser(int fd) {
  ucred peer{};
  socklen_t size = sizeof peer;
  return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == geteuid();
}

// A stalled peer can hold neither end for long.
void LimitWaits(int fd) {
  const timeval limit{2, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

// One line of at most `longest` bytes, its line feed included; empty when
// the peer sent something else or nothing.
std::string ReadLine(int fd, size_t longest) {
  std::string got;
  char byte = 0;
  while (got.size() < longest) {
    if (recv(fd, &byte, 1, 0) != 1)
      return {};
    got += byte;
    if (byte == '\n')
      return got;
  }
  return {};
}

std::optional<InstanceRequest> ReadRequest(int fd) {
  const std::string line = ReadLine(fd, kLongestRequest);
  if (line == kShow)
    return InstanceRequest::show;
  if (line == kSpeak)
    return InstanceRequest::speak;
  return std::nullopt;
}

bool Send(int fd, const char* text) {
  return send(fd, text, std::strlen(text), MSG_NOSIGNAL) == static_cast<ssize_t>(std::strlen(text));
}

}  // namespace

bool AskRunningInstance(const fs::path& marker, InstanceRequest request) {
  const std::optional<sockaddr_un> address = SocketAddress(marker);
  if (!address)
    return false;
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0)
    return false;
  LimitWaits(fd);
  const bool done =
      connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0 &&
      PeerIsThisUser(fd) && Send(fd, RequestLine(request)) &&
      ReadLine(fd, sizeof kReply - 1) == kReply;
  close(fd);
  return done;
}

struct ShowRequestListener::Channel {
  int fd = -1;
  std::string path;
  std::thread thread;
};

ShowRequestListener::ShowRequestListener() = default;

ShowRequestListener::~ShowRequestListener() {
  if (!channel_)
    return;
  // Shutting the listening socket down wakes the accept with an error.
  shutdown(channel_->fd, SHUT_RDWR);
  channel_->thread.join();
  close(channel_->fd);
  unlink(channel_->path.c_str());
}

bool ShowRequestListener::Listen(const fs::path& marker,
                                 std::function<void(InstanceRequest)> on_request) {
  const std::optional<sockaddr_un> address = SocketAddress(marker);
  if (channel_ || !address)
    return false;
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0)
    return false;
  // Only the marker's holder listens, so a socket left by a crashed run is stale.
  unlink(address->sun_path);
  if (bind(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0 ||
      listen(fd, 4) != 0) {
    close(fd);
    return false;
  }
  channel_ = std::make_unique<Channel>();
  channel_->fd = fd;
  channel_->path = address->sun_path;
  channel_->thread = std::thread([fd, on_request = std::move(on_request)] {
    for (;;) {
      const int peer = accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
      if (peer < 0) {
        if (errno == EINTR || errno == ECONNABORTED)
          continue;
        return;  // shut down
      }
      LimitWaits(peer);
      const std::optional<InstanceRequest> request =
          PeerIsThisUser(peer) ? ReadRequest(peer) : std::nullopt;
      if (request) {
        on_request(*request);
        Send(peer, kReply);
      }
      close(peer);
    }
  });
  return true;
}

}  // namespace skyvigil
