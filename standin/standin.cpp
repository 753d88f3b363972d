// A stand-in for the Veltrano IM messaging client: it serves the control
// endpoint (the launcher's own, from client_commands.h), answers 200 to each request of the command table
// and 404 to anything else, keeps the window and presence state that the
// commands set, and exits on "/exit?".
//
// standin [--dir DIR] [--port N] [ARG...]
//   DIR/client-args.txt      the arguments it was started with (after the options)
//   DIR/client-requests.log  every request line, as it arrived, one per line
//   DIR/client-state.txt     the current state, rewritten after each command
//   DIR/client.pid           its process id
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "control/client_commands.h"
#include "loopback_http.h"

namespace {

struct ClientState {
  bool shown = false;
  std::string presence = "online";
  std::string Describe() const { return std::string("window=") + (shown ? "shown" : "hidden") + " presence=" + presence; }
};

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::trunc | std::ios::binary);
  out << text;
}

// Applies one command to the state; false for /exit?.
bool Apply(kobex::ClientCommand command, std::string_view path, ClientState& state) {
  using kobex::ClientCommand;
  switch (command) {
    case ClientCommand::Show:
      state.shown = true;
      return true;
    case ClientCommand::Hide:
      state.shown = false;
      return true;
    case ClientCommand::Exit:
      return false;
    default:
      state.presence = std::string(path.substr(path.find('?') + 1));
      return true;
  }
}

// Answers one connection: 200 to a GET of a command, 404 to anything else,
// one request per connection. Ends the program after answering /exit?.
void Serve(int fd, const std::string& dir, std::mutex& lock, ClientState& state, std::ofstream& log) {
  const std::string line = kobex::loopback::ReadRequestLine(fd);
  if (line.empty()) {
    close(fd);
    return;
  }
  const std::size_t methodEnd = line.find(' ');
  const std::size_t targetEnd = line.find(' ', methodEnd + 1);
  const std::string method = line.substr(0, methodEnd);
  const std::string target =
      methodEnd == std::string::npos ? "" : line.substr(methodEnd + 1, targetEnd - methodEnd - 1);
  bool exiting = false;
  int status = 404;
  {
    std::lock_guard<std::mutex> guard(lock);
    log << line << "\n" << std::flush;
    std::cout << "received: " << line << std::endl;
    for (const auto& row : kobex::kCommandTable) {
      if (method != "GET" || target != row.path) continue;
      status = 200;
      exiting = !Apply(row.command, row.path, state);
      WriteFile(dir + "/client-state.txt", state.Describe() + "\n");
      std::cout << (exiting ? "exiting" : "state: " + state.Describe()) << std::endl;
      break;
    }
  }
  const std::string body = status == 200 ? "OK\n" : "not a command\n";
  kobex::loopback::SendAll(fd, "HTTP/1.1 " + std::string(status == 200 ? "200 OK" : "404 Not Found") +
                                   "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) +
                                   "\r\nConnection: close\r\n\r\n" + body);
  close(fd);
  if (exiting) std::_Exit(0);
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir = ".";
  int port = kobex::kClientPort;
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--dir" && i + 1 < argc) {
      dir = argv[++i];
    } else if (arg == "--port" && i + 1 < argc) {
      port = std::stoi(argv[++i]);
    } else {
      args.push_back(arg);
    }
  }
  std::string joined;
  for (const auto& a : args) joined += (joined.empty() ? "" : " ") + a;

  const int listener = kobex::loopback::Listen(port);
  if (listener < 0) {
    std::cerr << "standin: cannot listen on " << kobex::kClientHost << ":" << port << std::endl;
    return 1;
  }
  std::ofstream log(dir + "/client-requests.log", std::ios::app | std::ios::binary);
  std::mutex lock;
  ClientState state;
  // Only the client that holds the port says it is the client: a second one,
  // started while the first runs, leaves the first one's files alone.
  WriteFile(dir + "/client-args.txt", joined + "\n");
  WriteFile(dir + "/client-state.txt", state.Describe() + "\n");
  WriteFile(dir + "/client.pid", std::to_string(getpid()) + "\n");
  std::cout << "Veltrano IM stand-in, started with \"" << joined << "\", listening on " << kobex::kClientHost << ":" << port
            << std::endl;
  for (;;) {
    const int fd = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd >= 0) std::thread(Serve, fd, std::cref(dir), std::ref(lock), std::ref(state), std::ref(log)).detach();
  }
}
