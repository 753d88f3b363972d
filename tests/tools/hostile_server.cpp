// A control service that misbehaves on purpose, for the launcher's fault tests.
//   hostile_server --mode MODE [--port N] [--log FILE]
// Modes:
//   silent   accepts connections and never reads or answers
//   mute     reads the request, records its request line, never answers
// Each accepted connection is kept open until the server is killed.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

// Reads up to the end of the first line; returns it without CR LF.
std::string ReadRequestLine(int fd) {
  std::string line;
  char c;
  while (line.size() < 8192 && read(fd, &c, 1) == 1) {
    if (c == '\n') break;
    line += c;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode, logPath;
  int port = 8090;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--mode")) mode = argv[i + 1];
    else if (!std::strcmp(argv[i], "--port")) port = std::atoi(argv[i + 1]);
    else if (!std::strcmp(argv[i], "--log")) logPath = argv[i + 1];
  }
  if (mode != "silent" && mode != "mute") {
    std::cerr << "usage: hostile_server --mode silent|mute [--port N] [--log FILE]\n";
    return 2;
  }

  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  const int yes = 1;
  setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 16) != 0) {
    std::perror("hostile_server: cannot listen");
    return 1;
  }
  std::cout << "listening " << port << " mode " << mode << std::endl;

  std::vector<int> held;
  for (;;) {
    const int fd = accept(listener, nullptr, nullptr);
    if (fd < 0) continue;
    held.push_back(fd);
    if (mode == "mute") {
      const std::string line = ReadRequestLine(fd);
      if (!logPath.empty()) std::ofstream(logPath, std::ios::app) << line << "\n";
    }
  }
}
