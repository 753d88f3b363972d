// The two fixed-size records the program hands to the system, as plain bytes.
// Their layout is built and read by the tray code; the platform passes them on untouched.
#pragma once

#include <array>
#include <cstdint>

namespace kobex {

// NOTIFYICONDATAA in its first, 88-byte version, with 32-bit handles.
inline constexpr std::size_t kNotifyIconDataSize = 88;
using NotifyIconRecord = std::array<std::uint8_t, kNotifyIconDataSize>;

// OSVERSIONINFOA: five 32-bit fields, then 128 one-byte characters.
inline constexpr std::size_t kOsVersionInfoSize = 148;
using OsVersionRecord = std::array<std::uint8_t, kOsVersionInfoSize>;

template <std::size_t N>
void PutU32LE(std::array<std::uint8_t, N>& record, std::size_t offset, std::uint32_t value) {
  static_assert(N >= 4);
  for (int i = 0; i < 4; ++i) record.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

template <std::size_t N>
std::uint32_t GetU32LE(const std::array<std::uint8_t, N>& record, std::size_t offset) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | record.at(offset + i);
  return value;
}

}  // namespace kobex
