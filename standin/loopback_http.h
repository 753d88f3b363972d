// The little HTTP that the stand-in client and the hostile server need: a
// listening socket on the loopback interface, a request's head read, bytes
// sent. Plain POSIX sockets, so that both programs need nothing but the C and
// C++ runtimes (the stand-in is linked statically and runs in either Debian
// release's userland).
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <string>

namespace kobex::loopback {

// 127.0.0.1:port as a socket address.
inline sockaddr_in LoopbackAddress(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

// A socket listening on 127.0.0.1:port, or -1. SO_REUSEADDR only: a restart
// right after an earlier run binds again, while a second server on a busy
// port fails instead of sharing it.
inline int Listen(int port, int backlog = 16) {
  const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener < 0) return -1;
  const int yes = 1;
  setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address = LoopbackAddress(port);
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, backlog) != 0) {
    close(listener);
    return -1;
  }
  return listener;
}

inline bool SendAll(int fd, const std::string& data) {
  std::size_t sent = 0;
  while (sent < data.size()) {
    const ssize_t n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

// Reads a request's head (up to 64 KiB); returns its first line without CR LF,
// "" when none came.
inline std::string ReadRequestLine(int fd) {
  std::string head;
  char c;
  while (head.size() < 65536 && read(fd, &c, 1) == 1) {
    head += c;
    if (head.size() >= 4 && head.compare(head.size() - 4, 4, "\r\n\r\n") == 0) break;
  }
  return head.substr(0, head.find("\r\n"));
}

}  // namespace kobex::loopback
