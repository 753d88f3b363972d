// How far one request got on its way to the messaging client, as the HTTP
// stack reports it from its own thread, and what a failure then says. The
// outcome follows what the stack reported, never the clock: a request it has
// written out was delivered, however late it said so.
#pragma once

#include <atomic>
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

// The description of the error once the request to `url` has stopped at
// `state` for `reason` (a sentence ending in a full stop), or nothing when it
// was delivered all the same.
std::optional<std::string> DeliveryFailure(std::string_view url, Delivery state, std::string_view reason);

}  // namespace kobex
