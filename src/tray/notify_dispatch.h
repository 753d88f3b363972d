// Turning a mouse-move X coordinate back into the shell's mouse message code:
// the icon's callback is WM_MOUSEMOVE, so the code arrives as X in twips.
#pragma once

#include <cstdint>

namespace kobex {

inline constexpr std::int32_t WM_LBUTTONDBLCLK = 0x0203;  // 515: show the client
inline constexpr std::int32_t WM_RBUTTONDOWN = 0x0204;    // 516: open the tray menu

// X divided by the factor in double precision, rounded to the nearest integer
// with ties to even. Throws the host's Error: division by zero (11) for a zero
// factor, overflow (6) for an invalid operation or a result outside 32 bits.
std::int32_t NotificationCode(float x, float twipsPerPixelX);

}  // namespace kobex
