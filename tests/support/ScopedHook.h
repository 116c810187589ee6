// Sets a hook (an event of the application, the screen or a form, a window
// procedure, a procedure variable) for the life of the object and puts the
// previous value back when it goes. A test whose handler lives on its stack
// declares this after the handler and after whatever owns the hooked object,
// so the hook is gone before either, also when an assertion leaves early.
#pragma once

#include <type_traits>
#include <utility>

template <class T>
class TScopedHook {
 public:
  TScopedHook(T& slot, std::type_identity_t<T> value) : slot_(slot), saved_(slot) { slot_ = std::move(value); }
  ~TScopedHook() { slot_ = std::move(saved_); }
  TScopedHook(const TScopedHook&) = delete;
  TScopedHook& operator=(const TScopedHook&) = delete;
  // What the slot held before.
  const T& Saved() const { return saved_; }

 private:
  T& slot_;
  T saved_;
};
