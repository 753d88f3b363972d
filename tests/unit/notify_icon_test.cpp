#include "tray/notify_icon.h"

#include <gtest/gtest.h>

namespace kobex {
namespace {

// Both handles have the top bit set: they stay unsigned.
TEST(NotifyIconRecord, MatchesTheShellsLayoutByteForByte) {
  const NotifyIconRecord record = BuildNotifyIconRecord(0xF1223344, 0xA1B2C3D4);
  const std::uint8_t expectedHead[24] = {
      88,   0,    0,    0,     // cbSize
      0x44, 0x33, 0x22, 0xF1,  // hWnd
      100,  0,    0,    0,     // uID
      7,    0,    0,    0,     // uFlags: message, icon, tip
      0x00, 0x02, 0,    0,     // uCallbackMessage: WM_MOUSEMOVE
      0xD4, 0xC3, 0xB2, 0xA1,  // hIcon
  };
  for (std::size_t i = 0; i < 24; ++i) EXPECT_EQ(record[i], expectedHead[i]) << "byte " << i;

  const std::string tip(record.begin() + 24, record.begin() + 35);
  EXPECT_EQ(tip, "Veltrano IM");
  EXPECT_EQ(record[35], 0);
  for (std::size_t i = 36; i < 88; ++i) EXPECT_EQ(record[i], 0x20) << "byte " << i;
}

}  // namespace
}  // namespace kobex
