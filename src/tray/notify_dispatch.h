// The shell's mouse message code back from a mouse-move X (the icon's callback is WM_MOUSEMOVE, so
// the code arrives as X in twips), and the code into what the icon does.
#pragma once

#include <cstdint>

namespace kobex {

inline constexpr std::int32_t WM_LBUTTONDBLCLK = 0x0203;  // 515
inline constexpr std::int32_t WM_RBUTTONDOWN = 0x0204;    // 516
inline constexpr std::int32_t WM_RBUTTONDBLCLK = 0x0206;  // 518

enum class IconReaction { None, ShowClient, OpenMenu };

struct NotificationRule {
  std::int32_t code;
  IconReaction reaction;
};

// The codes the icon reacts to; every other does nothing. A second right press
// within the double-click time arrives as WM_RBUTTONDBLCLK, so that too opens
// the menu; a third press is a plain press again.
inline constexpr NotificationRule kNotificationRules[] = {
    {WM_LBUTTONDBLCLK, IconReaction::ShowClient},
    {WM_RBUTTONDOWN, IconReaction::OpenMenu},
    {WM_RBUTTONDBLCLK, IconReaction::OpenMenu},
};

constexpr IconReaction ReactionTo(std::int32_t code) {
  for (const NotificationRule& rule : kNotificationRules) {
    if (rule.code == code) return rule.reaction;
  }
  return IconReaction::None;
}

// X divided by the factor in double precision, rounded to the nearest integer
// with ties to even. Throws the host's Error: division by zero (11) for a zero
// factor, overflow (6) for an invalid operation or a result outside 32 bits.
std::int32_t NotificationCode(float x, float twipsPerPixelX);

}  // namespace kobex
