// The requests the launcher sends to the messaging client's control service,
// and the one operation that sends them.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/web_control.h"

namespace kobex {

// Scheme, loopback host and port of the client's control endpoint.
inline constexpr std::string_view kClientEndpoint = "http://127.0.0.1:8090";

enum class ClientCommand {
  Show,
  Hide,
  Exit,
  StateOnline,
  StateBusy,
  StateBeRightBack,
  StateAway,
  StateOnThePhone,
  StateOutToLunch,
  StateAppearOffline,
};

struct CommandRow {
  ClientCommand command;
  std::string_view path;  // exactly as sent, after the port
};

// The complete table: nothing else is ever requested.
inline constexpr std::array<CommandRow, 10> kCommandTable{{
    {ClientCommand::Show, "/show?"},
    {ClientCommand::Hide, "/hide?"},
    {ClientCommand::Exit, "/exit?"},
    {ClientCommand::StateOnline, "/setstatus?online"},
    {ClientCommand::StateBusy, "/setstatus?busy"},
    {ClientCommand::StateBeRightBack, "/setstatus?brb"},
    {ClientCommand::StateAway, "/setstatus?away"},
    {ClientCommand::StateOnThePhone, "/setstatus?phone"},
    {ClientCommand::StateOutToLunch, "/setstatus?lunch"},
    {ClientCommand::StateAppearOffline, "/setstatus?offline"},
}};

// The request path of a command; throws Error for a value outside the table.
std::string_view RequestPath(ClientCommand command);

// The full URL of a command: endpoint prefix plus request path.
std::string CommandUrl(ClientCommand command);

// One GET for the command's URL through webControl; nothing built, nothing retried.
void SendClientCommand(WebControl& webControl, ClientCommand command);

}  // namespace kobex
