// A control service that misbehaves on purpose, for the launcher's fault tests.
//   hostile_server --mode MODE [--port N] [--log FILE] [--redirect URL]
// It records the request line of every connection that sends one in FILE, and
// keeps each connection until the behaviour below is done or it is killed.
// Modes:
//   silent    accepts, never reads or answers
//   mute      reads the request, never answers
//   slow      reads the request, answers 200 1.5 s later
//   dribble   answers one byte a second, for ever
//   endless   answers 200 with a chunked body that never ends
//   garbage   answers bytes that are not HTTP, then closes
//   huge      answers 200 with a 1 GB body, as fast as it is read
//   reset     reads the request, then resets the connection
//   404, 500  answers with that status
//   redirect  answers 302 to the --redirect URL
//   full      never accepts, its queue of waiting connections full with its
//             own: a new connection is never taken (the one case where the
//             launcher's connect-and-send time-out decides)
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "control/client_commands.h"
#include "loopback_http.h"

namespace {

std::string mode, logPath, redirectUrl = "http://127.0.0.1:8091/elsewhere";
std::mutex logLock;

using kobex::loopback::SendAll;

void Serve(int fd) {
  if (mode == "silent") return;  // the descriptor stays open: nothing is read
  const std::string line = kobex::loopback::ReadRequestLine(fd);
  if (line.empty()) {
    close(fd);
    return;
  }
  if (!logPath.empty()) {
    std::lock_guard<std::mutex> guard(logLock);
    std::ofstream(logPath, std::ios::app) << line << "\n";
  }
  if (mode == "mute") return;
  if (mode == "slow") {
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nOK");
  } else if (mode == "dribble") {
    const std::string reply = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nOK";
    for (std::size_t i = 0;; i = (i + 1) % reply.size()) {
      if (!SendAll(fd, reply.substr(i, 1))) break;
      sleep(1);
    }
  } else if (mode == "endless") {
    SendAll(fd, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n");
    while (SendAll(fd, "10\r\n0123456789abcdef\r\n")) {
    }
  } else if (mode == "garbage") {
    const char garbage[] = "\x16\x03\x01\x00\xff garbage \x00\x01\x02 not HTTP at all\r\n\r\n";
    SendAll(fd, std::string(garbage, sizeof garbage - 1));
  } else if (mode == "huge") {
    SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 1073741824\r\n\r\n");
    const std::string block(65536, 'x');
    for (int i = 0; i < 16384 && SendAll(fd, block); ++i) {
    }
  } else if (mode == "reset") {
    linger hard{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
  } else if (mode == "404" || mode == "500") {
    SendAll(fd, "HTTP/1.1 " + mode + (mode == "404" ? " Not Found" : " Internal Server Error") +
                    "\r\nContent-Length: 5\r\nConnection: close\r\n\r\nerror");
  } else if (mode == "redirect") {
    SendAll(fd, "HTTP/1.1 302 Found\r\nLocation: " + redirectUrl +
                    "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
  }
  close(fd);
}

// Connects to the listener on 127.0.0.1:port until a connection is left
// waiting (not taken within a second): the queue is full. The sockets stay open.
bool FillQueue(int port) {
  sockaddr_in address = kobex::loopback::LoopbackAddress(port);
  for (int i = 0; i < 8; ++i) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) continue;
    if (errno != EINPROGRESS) return false;
    fd_set writable;
    FD_ZERO(&writable);
    FD_SET(fd, &writable);
    timeval second{1, 0};
    if (select(fd + 1, nullptr, &writable, nullptr, &second) == 0) return true;  // left waiting
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  int port = kobex::kClientPort;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--mode")) mode = argv[i + 1];
    else if (!std::strcmp(argv[i], "--port")) port = std::atoi(argv[i + 1]);
    else if (!std::strcmp(argv[i], "--log")) logPath = argv[i + 1];
    else if (!std::strcmp(argv[i], "--redirect")) redirectUrl = argv[i + 1];
  }
  const std::set<std::string> modes = {"silent", "mute", "slow", "dribble", "endless", "garbage",
                                       "huge",    "reset", "404",     "500",     "redirect", "full"};
  if (!modes.count(mode)) {
    std::cerr << "usage: hostile_server --mode MODE [--port N] [--log FILE] [--redirect URL]\n";
    return 2;
  }

  const int listener = kobex::loopback::Listen(port, mode == "full" ? 0 : 16);
  if (listener < 0) {
    std::perror("hostile_server: cannot listen");
    return 1;
  }
  if (mode == "full") {
    // Linux queues one connection more than the backlog and drops the
    // handshakes of the rest: these fill the queue, and a client's
    // connection then waits for ever.
    if (!FillQueue(port)) {
      std::cerr << "hostile_server: cannot fill the queue\n";
      return 1;
    }
    std::cout << "listening " << port << " mode " << mode << std::endl;
    for (;;) pause();
  }
  std::cout << "listening " << port << " mode " << mode << std::endl;
  for (;;) {
    const int fd = accept(listener, nullptr, nullptr);
    if (fd >= 0) std::thread(Serve, fd).detach();
  }
}
