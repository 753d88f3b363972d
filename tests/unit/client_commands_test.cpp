#include "control/client_commands.h"

#include <gtest/gtest.h>

#include <set>

#include "fakes.h"

namespace kobex {
namespace {

using testing::FakeWebControl;
using testing::Journal;
using testing::Op;

// The stand-in and the tests take the endpoint from the program, so only this
// holds it to the client's: HTTP on the loopback address, port 8090.
TEST(CommandTable, AddressesTheClientsEndpoint) {
  EXPECT_EQ(kClientHost, "127.0.0.1");
  EXPECT_EQ(kClientPort, 8090);
}

// Each path is checked byte for byte where its menu item sends it
// (tray_menu_test). Here: no command has two rows (the lookup would find only
// the first), no two commands share a path, and every path has the query mark
// the client's control service matches on.
TEST(CommandTable, GivesEveryCommandOneRowAndItsOwnPathWithAQuery) {
  std::set<ClientCommand> commands;
  std::set<std::string_view> paths;
  for (const CommandRow& row : kCommandTable) {
    EXPECT_TRUE(commands.insert(row.command).second) << "a second row for " << row.path;
    EXPECT_TRUE(paths.insert(row.path).second) << row.path << " twice";
    EXPECT_EQ(row.path.substr(0, 1), "/") << row.path;
    EXPECT_NE(row.path.find('?'), std::string_view::npos) << row.path;
  }
}

TEST(SendClientCommand, IssuesExactlyOneGetPerCall) {
  Journal journal;
  FakeWebControl web(journal);
  SendClientCommand(web, ClientCommand::Hide);
  SendClientCommand(web, ClientCommand::StateAway);
  SendClientCommand(web, ClientCommand::StateAway);
  EXPECT_EQ(journal.Texts(Op::Get), (std::vector<std::string>{"/hide?", "/setstatus?away", "/setstatus?away"}));
}

TEST(SendClientCommand, SendsNothingForAValueOutsideTheTable) {
  Journal journal;
  FakeWebControl web(journal);
  EXPECT_THROW(SendClientCommand(web, static_cast<ClientCommand>(42)), Error);
  EXPECT_TRUE(journal.steps.empty());
}

}  // namespace
}  // namespace kobex
