#include "control/client_commands.h"

#include <gtest/gtest.h>

#include <set>

#include "fakes.h"

namespace kobex {
namespace {

using testing::FakeWebControl;
using testing::Journal;

TEST(CommandTable, HoldsTheTenRequestsByteForByte) {
  const std::pair<ClientCommand, std::string> expected[] = {
      {ClientCommand::Show, "http://127.0.0.1:8090/show?"},
      {ClientCommand::Hide, "http://127.0.0.1:8090/hide?"},
      {ClientCommand::Exit, "http://127.0.0.1:8090/exit?"},
      {ClientCommand::StateOnline, "http://127.0.0.1:8090/setstatus?online"},
      {ClientCommand::StateBusy, "http://127.0.0.1:8090/setstatus?busy"},
      {ClientCommand::StateBeRightBack, "http://127.0.0.1:8090/setstatus?brb"},
      {ClientCommand::StateAway, "http://127.0.0.1:8090/setstatus?away"},
      {ClientCommand::StateOnThePhone, "http://127.0.0.1:8090/setstatus?phone"},
      {ClientCommand::StateOutToLunch, "http://127.0.0.1:8090/setstatus?lunch"},
      {ClientCommand::StateAppearOffline, "http://127.0.0.1:8090/setstatus?offline"},
  };
  ASSERT_EQ(kCommandTable.size(), std::size(expected));
  std::set<std::string_view> paths;
  for (const auto& [command, url] : expected) {
    EXPECT_EQ(CommandUrl(command), url);
    paths.insert(RequestPath(command));
  }
  EXPECT_EQ(paths.size(), kCommandTable.size()) << "every command has its own path";
}

TEST(SendClientCommand, IssuesExactlyOneGetPerCall) {
  Journal journal;
  FakeWebControl web(journal);
  for (const auto& row : kCommandTable) SendClientCommand(web, row.command);
  SendClientCommand(web, ClientCommand::StateAway);
  ASSERT_EQ(web.urls.size(), kCommandTable.size() + 1);
  for (std::size_t i = 0; i < kCommandTable.size(); ++i) {
    EXPECT_EQ(web.urls[i], "http://127.0.0.1:8090" + std::string(kCommandTable[i].path));
  }
  EXPECT_EQ(web.urls.back(), "http://127.0.0.1:8090/setstatus?away");
}

TEST(SendClientCommand, SendsNothingForAValueOutsideTheTable) {
  Journal journal;
  FakeWebControl web(journal);
  EXPECT_THROW(SendClientCommand(web, static_cast<ClientCommand>(42)), Error);
  EXPECT_TRUE(web.urls.empty());
}

}  // namespace
}  // namespace kobex
