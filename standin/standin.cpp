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
#include <httplib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <mutex>
#include <string>
#include <vector>

#include "control/client_commands.h"

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

  const std::string logPath = dir + "/client-requests.log";
  const std::string statePath = dir + "/client-state.txt";
  std::ofstream log(logPath, std::ios::app | std::ios::binary);
  std::mutex lock;
  ClientState state;

  httplib::Server server;
  // SO_REUSEADDR only: a restart right after an earlier run binds again, while a
  // second stand-in on a busy port fails instead of sharing it (SO_REUSEPORT,
  // the library's default, would let both listen).
  server.set_socket_options([](int sock) {
    const int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  server.set_pre_routing_handler([&](const httplib::Request& req, httplib::Response& res) {
    std::lock_guard<std::mutex> guard(lock);
    const std::string line = req.method + " " + req.target + " " + req.version;
    log << line << "\n" << std::flush;
    std::cout << "received: " << line << std::endl;

    res.status = 404;
    res.set_content("not a command\n", "text/plain");
    if (req.method != "GET") return httplib::Server::HandlerResponse::Handled;
    for (const auto& row : kobex::kCommandTable) {
      if (req.target != row.path) continue;
      res.status = 200;
      res.set_content("OK\n", "text/plain");
      if (!Apply(row.command, row.path, state)) {
        std::cout << "exiting" << std::endl;
        server.stop();
      }
      WriteFile(statePath, state.Describe() + "\n");
      std::cout << "state: " << state.Describe() << std::endl;
      break;
    }
    return httplib::Server::HandlerResponse::Handled;
  });

  if (!server.bind_to_port(std::string(kobex::kClientHost), port)) {
    std::cerr << "standin: cannot listen on " << kobex::kClientHost << ":" << port << std::endl;
    return 1;
  }
  // Only the client that holds the port says it is the client: a second one,
  // started while the first runs, leaves the first one's files alone.
  WriteFile(dir + "/client-args.txt", joined + "\n");
  WriteFile(statePath, state.Describe() + "\n");
  WriteFile(dir + "/client.pid", std::to_string(getpid()) + "\n");
  std::cout << "Veltrano IM stand-in, started with \"" << joined << "\", listening on " << kobex::kClientHost << ":" << port
            << std::endl;
  server.listen_after_bind();
  return 0;
}
