// How far one request got on its way to the messaging client, as the HTTP
// stack reports it from its own thread, and what a failure then says. The
// outcome follows what the stack reported, never the clock: a request it has
// written out was delivered, however late it said so.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kobex {

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

// The reason as a sentence ending in a full stop. A time-out names the bound
// it met (`timeoutMs`); any other stop the stack has no words of ours for is
// told in the system's text for its code (`systemText`, see SystemText).
std::string DeliveryReason(DeliveryStop stop, std::uint32_t timeoutMs, std::string_view systemText);

// The description of the error once the request to `url` has stopped at
// `state` for `reason` (a sentence ending in a full stop), or nothing when it
// was delivered all the same.
std::optional<std::string> DeliveryFailure(std::string_view url, Delivery state, std::string_view reason);

}  // namespace kobex
