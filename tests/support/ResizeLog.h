// Records the sizes a control is resized to (its OnResize), for tests of when and how
// often a layout reaches a control.
#pragma once

#include "platform/gui/Controls.h"

#include <vector>

class TResizeLog : public TObject {
 public:
  std::vector<TPoint> Sizes;
  void OnResize(TObject* Sender) {
    auto* c = static_cast<TControl*>(Sender);
    Sizes.push_back({c->Width(), c->Height()});
  }
};
