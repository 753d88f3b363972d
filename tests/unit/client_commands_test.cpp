#include "control/client_commands.h"

#include "control/delivery.h"

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
  SendClientCommand(web, ClientCommand::Hide);
  SendClientCommand(web, ClientCommand::StateAway);
  SendClientCommand(web, ClientCommand::StateAway);
  EXPECT_EQ(web.urls, (std::vector<std::string>{"http://127.0.0.1:8090/hide?",
                                                "http://127.0.0.1:8090/setstatus?away",
                                                "http://127.0.0.1:8090/setstatus?away"}));
}

TEST(SendClientCommand, SendsNothingForAValueOutsideTheTable) {
  Journal journal;
  FakeWebControl web(journal);
  EXPECT_THROW(SendClientCommand(web, static_cast<ClientCommand>(42)), Error);
  EXPECT_TRUE(web.urls.empty());
}

// What the launcher says about a request follows what the HTTP stack reported,
// whenever it reported it: a "sent" that comes after the deadline still counts.
TEST(Delivery, FollowsWhatWasReportedNotTheClock) {
  const std::string url = "http://127.0.0.1:8090/exit?";
  const std::string late = "the messaging client did not take it within 2 seconds.";
  DeliveryProgress progress;
  EXPECT_EQ(DeliveryFailure(url, progress.state(), "the connection was refused."),
            "The request http://127.0.0.1:8090/exit? could not be delivered: the connection was refused.");
  progress.Sending();
  EXPECT_EQ(DeliveryFailure(url, progress.state(), late),
            "The request http://127.0.0.1:8090/exit? may or may not have reached the messaging client: the "
            "messaging client did not take it within 2 seconds.");
  progress.Sent();
  EXPECT_EQ(DeliveryFailure(url, progress.state(), late), std::nullopt);
  progress.Sending();
  EXPECT_EQ(progress.state(), Delivery::Sent) << "a stray report does not undo a delivery";
}

}  // namespace
}  // namespace kobex
