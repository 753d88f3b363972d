// The words of a failure: the system's text for its code, and a failed step.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kobex {

// The system's text for a Windows error code (`raw`, less its line break and closing full stop), then
// the code: "Access is denied (error 5)"; just "error 5" when the system has no text.
std::string SystemText(std::string_view raw, std::uint32_t code);

// The same for a COM result, whose code reads in hexadecimal:
// "Catastrophic failure (0x8000FFFF)"; just "error 0x8000FFFF" without text.
std::string ComText(std::string_view raw, std::uint32_t result);

// A step that failed, and why: "Cannot load the tray icon: Access is denied (error 5)".
std::string StepFailure(std::string_view step, std::string_view why);

}  // namespace kobex
