// The notification-area icon's record: NOTIFYICONDATAA, first version, 88 bytes,
// little-endian, built from zero on every call.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/records.h"

namespace kobex {

// Tray action codes (16-bit, widened with their sign when handed to the shell).
inline constexpr std::int16_t NIM_ADD = 0;
inline constexpr std::int16_t NIM_MODIFY = 1;  // the same icon, its picture at the display's size of now
inline constexpr std::int16_t NIM_DELETE = 2;

inline constexpr std::uint32_t kTrayIconId = 100;
inline constexpr std::uint32_t NIF_MESSAGE = 1;
inline constexpr std::uint32_t NIF_ICON = 2;
inline constexpr std::uint32_t NIF_TIP = 4;
// The icon reports its mouse events as WM_MOUSEMOVE to the main form.
inline constexpr std::uint32_t kTrayCallbackMessage = 0x0200;
inline constexpr std::string_view kTrayTip = "Veltrano IM";

// Field offsets of the record.
inline constexpr std::size_t kOffCbSize = 0;
inline constexpr std::size_t kOffHWnd = 4;
inline constexpr std::size_t kOffUId = 8;
inline constexpr std::size_t kOffUFlags = 12;
inline constexpr std::size_t kOffUCallbackMessage = 16;
inline constexpr std::size_t kOffHIcon = 20;
inline constexpr std::size_t kOffSzTip = 24;
inline constexpr std::size_t kSzTipSize = 64;

NotifyIconRecord BuildNotifyIconRecord(std::uint32_t hWnd, std::uint32_t hIcon);

}  // namespace kobex
