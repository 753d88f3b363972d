#include "tray/notify_icon.h"

namespace kobex {

NotifyIconRecord BuildNotifyIconRecord(std::uint32_t hWnd, std::uint32_t hIcon) {
  NotifyIconRecord record{};
  PutU32LE(record, kOffCbSize, static_cast<std::uint32_t>(kNotifyIconDataSize));
  PutU32LE(record, kOffHWnd, hWnd);
  PutU32LE(record, kOffUId, kTrayIconId);
  PutU32LE(record, kOffUFlags, NIF_MESSAGE | NIF_ICON | NIF_TIP);
  PutU32LE(record, kOffUCallbackMessage, kTrayCallbackMessage);
  PutU32LE(record, kOffHIcon, hIcon);

  // The tip is ASCII, so it is the same in every ANSI code page. It is stored
  // left-justified with its terminating NUL, and spaces fill the rest of the
  // field: the shell stops at the NUL.
  std::size_t at = kOffSzTip;
  for (char c : kTrayTip) record[at++] = static_cast<std::uint8_t>(c);
  record[at++] = 0;
  while (at < kOffSzTip + kSzTipSize) record[at++] = ' ';
  return record;
}

}  // namespace kobex
