// An event procedure handed to the one boundary that gives an escaping error the
// host's default handling: the main form. Borrowed, so passing it allocates nothing.
#pragma once

#include <type_traits>
#include <utility>

namespace kobex {

class EventRef {
 public:
  template <class F, class = std::enable_if_t<!std::is_same_v<std::decay_t<F>, EventRef>>>
  EventRef(F&& event) noexcept  // NOLINT(google-explicit-constructor): a lambda goes in as it is
      : context_(const_cast<void*>(static_cast<const void*>(&event))),
        call_([](void* context) { (*static_cast<std::remove_reference_t<F>*>(context))(); }) {}

  void operator()() const { call_(context_); }

 private:
  void* context_;
  void (*call_)(void*);
};

class EventBoundary {
 public:
  // Runs one event procedure: an error that escapes it gets the host's
  // default handling (message box, icon removed, program ended). Never throws.
  virtual void RaiseEvent(EventRef event) noexcept = 0;

 protected:
  ~EventBoundary() = default;
};

}  // namespace kobex
