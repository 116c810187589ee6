// Ownership of class-library objects in tests: they are freed with Free, not
// delete, also when an assertion leaves the test early.
#pragma once

#include "platform/core/System.h"

#include <memory>
#include <utility>

struct TFreeDeleter : TObjectDeleter {
  TFreeDeleter() = default;
  // Lets `Owned<T>(p, &TObject::Free)` name the deleter explicitly.
  TFreeDeleter(void (*)(TObject*)) {}
};

template <class T>
using Owned = std::unique_ptr<T, TFreeDeleter>;

template <class T>
Owned<T> Own(T* object) {
  return Owned<T>(object);
}

template <class T, class... A>
Owned<T> MakeOwned(A&&... args) {
  return Owned<T>(Make<T>(std::forward<A>(args)...));
}
