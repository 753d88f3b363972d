#include "control/client_commands.h"

#include <gtest/gtest.h>

#include <set>

#include "fakes.h"

namespace kobex {
namespace {

using namespace testing;  // NOLINT(google-build-using-namespace): the fakes' steps

// The stand-in and the tests take the endpoint from the program: only this holds it to the client's.
TEST(CommandTable, AddressesTheClientsEndpoint) {
  EXPECT_EQ(kClientHost, "127.0.0.1");
  EXPECT_EQ(kClientPort, 8090);
}

// One row a command (a lookup finds only the first), no shared path, and the query mark the client matches on.
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

TEST(SendClientCommand, IssuesExactlyOneGetPerCallAndNoneForAValueOutsideTheTable) {
  Steps journal;
  FakeHost web(journal);
  SendClientCommand(web, ClientCommand::Hide);
  SendClientCommand(web, ClientCommand::StateAway);
  SendClientCommand(web, ClientCommand::StateAway);
  EXPECT_THROW(SendClientCommand(web, static_cast<ClientCommand>(42)), Error);
  EXPECT_EQ(journal, (Steps{Get("/hide?"), Get("/setstatus?away"), Get("/setstatus?away")}));
}

}  // namespace
}  // namespace kobex
