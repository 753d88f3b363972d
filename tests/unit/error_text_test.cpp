#include "platform/error.h"
#include "tray/error_text.h"

#include <gtest/gtest.h>

#include <string>

#include "control/delivery.h"

namespace kobex {
namespace {

// The system's sentence without its line break and full stop, then the code; the bare code without a text.
TEST(ErrorText, WindowsCodesKeepTheSystemsWordsAndTheirNumber) {
  EXPECT_EQ(StepFailure("Cannot load the tray icon", SystemText("Access is denied.\r\n", 5)),
            "Cannot load the tray icon: Access is denied (error 5)");
  EXPECT_EQ(SystemText("The operation timed out\r\n", 12002), "The operation timed out (error 12002)");
  EXPECT_EQ(SystemText("", 12345), "error 12345");
  EXPECT_EQ(SystemText(". \r\n", 7), "error 7") << "nothing but a line end is no text";
  EXPECT_EQ(SystemText("Disk full", 4294967295u), "Disk full (error 4294967295)");
}

// A COM result reads in hexadecimal, as COM's own codes are known.
TEST(ErrorText, ComResultsInHexadecimal) {
  EXPECT_EQ(ComText("Catastrophic failure\r\n", 0x8000FFFFu), "Catastrophic failure (0x8000FFFF)");
  EXPECT_EQ(ComText("", 0x800A01E1u), "error 0x800A01E1");
  EXPECT_EQ(ComText("Done", 0x1u), "Done (0x00000001)") << "eight digits, zeros kept";
}

TEST(ErrorText, RequestsStopForAReasonTheUserCanActOn) {
  EXPECT_EQ(DeliveryReason(DeliveryStop::Refused, 2000, "ignored"),
            "the connection was refused or could not be made. Is the messaging client running?");
  EXPECT_EQ(DeliveryReason(DeliveryStop::TimedOut, 2000, "ignored"),
            "the messaging client did not take it within 2 seconds.");
  EXPECT_EQ(DeliveryReason(DeliveryStop::TimedOut, 20000, ""),
            "the messaging client did not take it within 20 seconds.");
  EXPECT_EQ(DeliveryReason(DeliveryStop::Reset, 2000, ""), "the connection was reset.");
  EXPECT_EQ(DeliveryReason(DeliveryStop::Other, 2000, "The server name cannot be resolved (error 12007)"),
            "The server name cannot be resolved (error 12007).");
}

// What is said of a request follows what the HTTP stack reported: a "sent" after the deadline still counts.
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

// The end-to-end tests read these bounds from the values file: only this holds them to the design.
TEST(Delivery, WaitsWithinTheDesignsBounds) {
  EXPECT_EQ(kSendTimeoutMs, 2000u);
  EXPECT_EQ(kReplyTimeoutMs, 2000u);
  EXPECT_EQ(kCloseTimeoutMs, 1000u);
}

}  // namespace
}  // namespace kobex
