#include "tray/notify_icon.h"

#include <gtest/gtest.h>

#include <vector>

namespace kobex {
namespace {

TEST(NotifyIconRecord, MatchesTheShellsLayoutByteForByte) {
  const NotifyIconRecord record = BuildNotifyIconRecord(0x11223344, 0xA1B2C3D4);
  const std::uint8_t expectedHead[24] = {
      88,   0,    0,    0,     // cbSize
      0x44, 0x33, 0x22, 0x11,  // hWnd
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

TEST(NotifyIconRecord, HandlesWithTheTopBitSetStayUnsigned) {
  const NotifyIconRecord record = BuildNotifyIconRecord(0xFFFFFFFE, 0x80000000);
  using Bytes = std::vector<std::uint8_t>;
  EXPECT_EQ(Bytes(record.begin(), record.begin() + 8), (Bytes{88, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(Bytes(record.begin() + 20, record.begin() + 24), (Bytes{0x00, 0x00, 0x00, 0x80}));
}

}  // namespace
}  // namespace kobex
