// How far a request got, as the HTTP stack reports it from its own thread, and
// what a failure says. What the stack reported decides, never the clock.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kobex {

// Connecting and sending fail after this long, unless it was sent meanwhile.
inline constexpr std::uint32_t kSendTimeoutMs = 2000;
// How long a delivered request waits for the reply before it is dropped.
inline constexpr std::uint32_t kReplyTimeoutMs = 2000;
// How long an unsent request, once closed, waits for the HTTP stack's last word.
inline constexpr std::uint32_t kCloseTimeoutMs = 1000;

enum class Delivery { NotStarted, Sending, Sent };

class DeliveryProgress {
 public:
  void Sending() noexcept { Advance(Delivery::Sending); }  // writing the request has begun
  void Sent() noexcept { Advance(Delivery::Sent); }        // all of it is on the connection
  Delivery state() const noexcept { return state_.load(); }

 private:
  void Advance(Delivery to) noexcept;  // it only moves forward
  std::atomic<Delivery> state_{Delivery::NotStarted};
};

// Why a request stopped short.
enum class DeliveryStop {
  Refused,   // no connection could be made
  TimedOut,  // the client did not take it within the send time-out
  Reset,     // the connection was dropped
  Other,     // anything else, told in the system's words
};

// The reason as a sentence: a time-out names its bound; an Other stop is told
// in the system's text for its code.
std::string DeliveryReason(DeliveryStop stop, std::uint32_t timeoutMs, std::string_view systemText);

// The error's description for a request stopped at `state`, or nothing when it
// was delivered all the same.
std::optional<std::string> DeliveryFailure(std::string_view url, Delivery state, std::string_view reason);

}  // namespace kobex
