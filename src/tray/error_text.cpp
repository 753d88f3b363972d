#include "tray/error_text.h"

namespace kobex {
namespace {

std::string_view Trimmed(std::string_view raw) {
  while (!raw.empty() && (raw.back() == '\r' || raw.back() == '\n' || raw.back() == ' ' || raw.back() == '.')) {
    raw.remove_suffix(1);
  }
  return raw;
}

}  // namespace

std::string SystemText(std::string_view raw, std::uint32_t code) {
  const std::string number = "error " + std::to_string(code);
  const std::string_view text = Trimmed(raw);
  return text.empty() ? number : std::string(text) + " (" + number + ")";
}

std::string ComText(std::string_view raw, std::uint32_t result) {
  std::string hex = "0x";
  for (int shift = 28; shift >= 0; shift -= 4) hex += "0123456789ABCDEF"[(result >> shift) & 0xFu];
  const std::string_view text = Trimmed(raw);
  return text.empty() ? "error " + hex : std::string(text) + " (" + hex + ")";
}

std::string StepFailure(std::string_view step, std::string_view why) {
  std::string text(step);
  text += ": ";
  text += why;
  return text;
}

}  // namespace kobex
