#include "control/delivery.h"

namespace kobex {

void DeliveryProgress::Advance(Delivery to) noexcept {
  Delivery now = state_.load();
  while (now < to && !state_.compare_exchange_weak(now, to)) {
  }
}

std::string DeliveryReason(DeliveryStop stop, std::uint32_t timeoutMs, std::string_view systemText) {
  switch (stop) {
    case DeliveryStop::Refused:
      return "the connection was refused or could not be made. Is the messaging client running?";
    case DeliveryStop::TimedOut:
      return "the messaging client did not take it within " + std::to_string(timeoutMs / 1000) + " seconds.";
    case DeliveryStop::Reset:
      return "the connection was reset.";
    case DeliveryStop::Other:
      break;
  }
  return std::string(systemText) + ".";
}

std::optional<std::string> DeliveryFailure(std::string_view url, Delivery state, std::string_view reason) {
  std::string text = "The request ";
  text += url;
  switch (state) {
    case Delivery::Sent:
      return std::nullopt;
    case Delivery::Sending:
      // Part of it was written: the client may have acted on it.
      text += " may or may not have reached the messaging client: ";
      break;
    case Delivery::NotStarted:
      text += " could not be delivered: ";
      break;
  }
  text += reason;
  return text;
}

}  // namespace kobex
