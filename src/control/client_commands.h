// The requests the launcher sends to the messaging client's control service,
// and the one operation that sends them.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/web_control.h"

namespace kobex {

// The client's control endpoint, written only here: the stand-in and the tests read it too.
inline constexpr std::string_view kClientHost = "127.0.0.1";
inline constexpr std::uint16_t kClientPort = 8090;

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

// One GET of the command's path through webControl; never retried.
void SendClientCommand(WebControl& webControl, ClientCommand command);

}  // namespace kobex
