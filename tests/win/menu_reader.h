// Shared by winprobe and the menu reader it hooks into a menu's process: the block's name ends in "-" and
// the asking winprobe's process id, which the message carries as its wParam.
#pragma once

namespace kobex::probe {
inline constexpr char kMenuBlockName[] = "kobex-winprobe-menu-items";
inline constexpr int kMenuBlockSize = 16384;
inline constexpr char kMenuReadMessage[] = "kobex-winprobe-read-menu";
}  // namespace kobex::probe
