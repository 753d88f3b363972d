// What winprobe and the menu reader it hooks into a menu's process share.
#pragma once

namespace kobex::probe {

// The block's name ends in "-" and the asking winprobe's process id, which the
// message carries as its wParam.
inline constexpr char kMenuBlockName[] = "kobex-winprobe-menu-items";
inline constexpr int kMenuBlockSize = 16384;
inline constexpr char kMenuReadMessage[] = "kobex-winprobe-read-menu";

}  // namespace kobex::probe
