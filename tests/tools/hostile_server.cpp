// A control service on the client's port that misbehaves on purpose, for the launcher's fault tests:
// hostile_server --mode MODE [--log FILE] logs each request line in FILE; "silent" reads none, "mute" never answers.
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "control/client_commands.h"
#include "loopback_http.h"

namespace {

using namespace kobex::loopback;
using namespace std::string_literals;
const std::string kOk = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nOK";
// What each mode sends first; "huge", "endless" and "dribble" go on below.
const std::map<std::string, std::string> kModes = {
    {"silent", ""}, {"mute", ""}, {"reset", ""}, {"full", ""}, {"dribble", ""},
    {"slow", kOk},  // 1.5 s late
    {"garbage", "\x16\x03\x01\x00\xff garbage \x00\x01\x02 not HTTP at all\r\n\r\n"s},
    {"huge", "HTTP/1.1 200 OK\r\nContent-Length: 1073741824\r\n\r\n"},
    {"endless", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"},
    {"404", "HTTP/1.1 404 Not Found\r\nContent-Length: 5\r\nConnection: close\r\n\r\nerror"},
    {"500", "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 5\r\nConnection: close\r\n\r\nerror"},
    {"redirect", "HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1:8091/elsewhere\r\n"
                 "Content-Length: 0\r\nConnection: close\r\n\r\n"}};
std::string mode, logPath;
std::mutex logLock;

void Serve(int fd) {
  if (mode == "silent") return;
  const std::string line = ReadRequestLine(fd);
  if (line.empty()) return (void)close(fd);
  if (!logPath.empty()) {
    std::lock_guard<std::mutex> guard(logLock);
    std::ofstream(logPath, std::ios::app) << line << "\n";
  }
  if (mode == "mute") return;
  if (mode == "slow") usleep(1500 * 1000);
  SendAll(fd, kModes.at(mode));
  for (int i = 0; mode == "huge" && i < 16384 && SendAll(fd, std::string(65536, 'x')); ++i) {
  }
  while (mode == "endless" && SendAll(fd, "10\r\n0123456789abcdef\r\n")) {
  }
  for (std::size_t i = 0; mode == "dribble" && SendAll(fd, kOk.substr(i, 1)); i = (i + 1) % kOk.size()) sleep(1);
  const linger hard{1, 0};
  if (mode == "reset") setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
  close(fd);
}

// Linux queues one connection more than the backlog and drops the handshakes
// of the rest: connecting until one is left waiting fills the queue, and a
// client's connection then waits for ever.
bool FillQueue() {
  sockaddr_in address = LoopbackAddress(kobex::kClientPort);
  for (int i = 0; i < 8; ++i) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) continue;
    if (errno != EINPROGRESS) return false;
    pollfd connecting{fd, POLLOUT, 0};
    if (poll(&connecting, 1, 1000) == 0) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; i += 2) (argv[i] == std::string("--log") ? logPath : mode) = argv[i + 1];
  if (!kModes.count(mode)) {
    std::cerr << "usage: hostile_server --mode MODE [--log FILE]\n";
    return 2;
  }
  const int listener = Listen(kobex::kClientPort, mode == "full" ? 0 : 16);
  if (listener < 0 || (mode == "full" && !FillQueue())) {
    std::perror("hostile_server: cannot listen, or fill the queue");
    return 1;
  }
  std::cout << "listening " << kobex::kClientPort << " mode " << mode << std::endl;
  while (mode == "full") pause();
  for (;;) {
    const int fd = accept(listener, nullptr, nullptr);
    if (fd >= 0) std::thread(Serve, fd).detach();
  }
}
