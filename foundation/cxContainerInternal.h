// Scope helpers shared by the container module's sources: each undoes what it
// did when the scope ends, also when an exception leaves it.
#pragma once

#include "foundation/cxClasses.h"

namespace cxcontainer {

// Sets a flag for the scope and puts back the value it had.
struct TFlagScope {
  TFlagScope(bool& AFlag, bool AValue) : Flag(AFlag), Saved(AFlag) { Flag = AValue; }
  ~TFlagScope() { Flag = Saved; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;
  bool& Flag;
  bool Saved;
};

// Holds a lock count up for the scope.
struct TCounterScope {
  explicit TCounterScope(int& ACounter) : Counter(ACounter) { ++Counter; }
  ~TCounterScope() { --Counter; }
  TCounterScope(const TCounterScope&) = delete;
  TCounterScope& operator=(const TCounterScope&) = delete;
  int& Counter;
};

// A weak link to an object for the scope: Alive() turns false when the
// object is destroyed meanwhile.
struct TLinkScope {
  explicit TLinkScope(TObject* AObject) : Link(cxCreateObjectLink(AObject)) {}
  ~TLinkScope() { cxReleaseObjectLink(Link); }
  TLinkScope(const TLinkScope&) = delete;
  TLinkScope& operator=(const TLinkScope&) = delete;
  bool Alive() const { return Link && Link->Ref; }
  TcxObjectLink* Link;
};

}  // namespace cxcontainer
