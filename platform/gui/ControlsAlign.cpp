// TWinControl's children: the control lists, alignment and anchors, the tab
// order, hit testing and the component stream's view of the children.
#include "platform/gui/Controls.h"

#include "platform/core/Filer.h"
#include "platform/core/Lists.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/ControlsInternal.h"

#include <algorithm>

using namespace controlsdetail;

// ---------------------------------------------------------------------------
// Lists
// ---------------------------------------------------------------------------

TControl* TWinControl::Controls(int index) const {
  const int n = static_cast<int>(controls_.size());
  if (index >= 0 && index < n) return controls_[index];
  if (index >= n && index < ControlCount()) return winControls_[index - n];
  throw EListError(Format(L"List index out of bounds (%d)", {index}));
}

void TWinControl::Insert(TControl* AControl) {
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    winControls_.push_back(w);
    tabList_.push_back(w);
    AControl->parent_ = this;
    if (w->tabOrder_ >= 0) w->UpdateTabOrder(w->tabOrder_);
  } else {
    controls_.push_back(AControl);
    AControl->parent_ = this;
  }
}

void TWinControl::Remove(TControl* AControl) {
  // By address: a control on its way out of its destructor is no longer of
  // its class.
  std::erase_if(tabList_, [AControl](TWinControl* w) { return static_cast<TControl*>(w) == AControl; });
  std::erase_if(winControls_, [AControl](TWinControl* w) { return static_cast<TControl*>(w) == AControl; });
  std::erase(controls_, AControl);
  AControl->parent_ = nullptr;
  if (focusedChild_ && AControl == focusedChild_) focusedChild_ = this;
}

void TWinControl::InsertControl(TControl* AControl) {
  AControl->ValidateContainer(this);
  Perform(CM_CONTROLLISTCHANGING, reinterpret_cast<WPARAM>(AControl), TRUE);
  Insert(AControl);
  if (!AControl->ComponentState().Contains(csReading)) {
    AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
      w->Perform(CM_PARENTCTL3DCHANGED, 0, 0);
      w->UpdateControlState();
    } else if (HandleAllocated()) {
      AControl->Invalidate();
    }
    AlignControl(AControl);
  }
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), TRUE);
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), TRUE);
}

void TWinControl::RemoveControl(TControl* AControl) {
  const bool destroying = ComponentState().Contains(csDestroying);
  if (!destroying) {
    Perform(CM_CONTROLLISTCHANGING, reinterpret_cast<WPARAM>(AControl), FALSE);
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), FALSE);
  }
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    w->RemoveFocus(true);
    w->DestroyHandle();
  } else if (HandleAllocated()) {
    AControl->InvalidateControl(AControl->Visible(), false);
  }
  Remove(AControl);
  if (State().captureControl == AControl) SetCaptureControl(nullptr);
  if (!destroying) {
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), FALSE);
    Realign();
  }
}

bool TWinControl::ContainsControl(TControl* Control) const {
  while (Control && Control != this) Control = Control->Parent();
  return Control != nullptr;
}

TControl* TWinControl::FindChildControl(const String& ControlName) const {
  for (int i = 0; i < ControlCount(); ++i)
    if (SameText(Controls(i)->Name(), ControlName)) return Controls(i);
  return nullptr;
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls, bool AllLevels) {
  auto hit = [&](TControl* c) {
    const TPoint p{Pos.X - c->Left(), Pos.Y - c->Top()};
    return TRect(0, 0, c->Width(), c->Height()).Contains(p) && c->Visible() &&
           (c->Enabled() || AllowDisabled) &&
           c->Perform(CM_HITTEST, 0, PointToLParam(p)) != 0;
  };
  TControl* result = nullptr;
  if (AllowWinControls)
    for (auto it = winControls_.rbegin(); it != winControls_.rend() && !result; ++it)
      if (hit(*it)) result = *it;
  for (auto it = controls_.rbegin(); it != controls_.rend() && !result; ++it)
    if (hit(*it)) result = *it;
  if (AllLevels)
    if (auto* w = dynamic_cast<TWinControl*>(result)) {
      TControl* inner =
          w->ControlAtPos({Pos.X - w->Left(), Pos.Y - w->Top()}, AllowDisabled, AllowWinControls, true);
      if (inner) result = inner;
    }
  return result;
}

void TWinControl::Broadcast(void* Message) {
  TMessage& m = *static_cast<TMessage*>(Message);
  for (int i = ControlCount() - 1; i >= 0; --i) {
    if (i >= ControlCount()) continue;   // a handler removed controls
    TControl* c = Controls(i);
    if (c->WindowProc.Assigned())
      c->WindowProc(m);
    else
      c->WndProc(m);
    if (m.Result != 0) return;
  }
}

void TWinControl::NotifyControls(Word Msg) {
  TMessage m{Msg, 0, 0, 0};
  Broadcast(&m);
}

// ---------------------------------------------------------------------------
// Alignment
// ---------------------------------------------------------------------------

void TWinControl::DisableAlign() { ++alignLevel_; }

void TWinControl::EnableAlign() {
  if (alignLevel_ > 0) --alignLevel_;
  if (alignLevel_ == 0 && controlState_.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AlignControl(TControl* AControl) {
  if (!handle_ || ComponentState().Contains(csDestroying)) return;
  if (alignLevel_ != 0) {
    controlState_ += csAlignmentNeeded;
    return;
  }
  DisableAlign();
  try {
    TRect r = ClientRect();
    AlignControls(AControl, r);
  } catch (...) {
    controlState_ -= csAlignmentNeeded;
    EnableAlign();
    throw;
  }
  controlState_ -= csAlignmentNeeded;
  EnableAlign();
}

void TWinControl::AdjustClientRect(TRect&) {}

bool TWinControl::CustomAlignInsertBefore(TControl*, TControl*) { return false; }

void TWinControl::CustomAlignPosition(TControl*, int&, int&, int&, int&, TRect&) {}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
  bool work = false;
  for (int i = ControlCount() - 1; i >= 0 && !work; --i) {
    TControl* c = Controls(i);
    work = c->Align() != alNone || !(c->Anchors() == TAnchors{akLeft, akTop});
  }
  if (work) {
    AdjustClientRect(Rect);
    const TRect clientRect = ClientRect();
    const TPoint parentSize{clientRect.Right, clientRect.Bottom};

    auto insertBefore = [this](TControl* c1, TControl* c2, TAlign a) {
      switch (a) {
        case alTop: return c1->Top() < c2->Top();
        case alBottom: return c1->Top() + c1->Height() >= c2->Top() + c2->Height();
        case alLeft: return c1->Left() < c2->Left();
        case alRight: return c1->Left() + c1->Width() >= c2->Left() + c2->Width();
        case alCustom: return CustomAlignInsertBefore(c1, c2);
        default: return false;
      }
    };

    auto doPosition = [&](TControl* c, TAlign a) {
      int newLeft, newTop, newWidth, newHeight;
      if (a == alNone) {
        // Anchored controls keep their distances to the anchored edges.
        if (c->originalParentSize_.X == 0 || c->originalParentSize_.Y == 0) return;
        const TAnchors anchors = c->Anchors();
        newLeft = c->Left();
        newTop = c->Top();
        newWidth = c->Width();
        newHeight = c->Height();
        if (anchors.Contains(akRight)) {
          if (anchors.Contains(akLeft))
            newWidth = parentSize.X - c->originalParentSize_.X + c->anchorRules_.X;
          else
            newLeft = parentSize.X - c->originalParentSize_.X + c->anchorRules_.X;
        } else if (!anchors.Contains(akLeft)) {
          newLeft = MulDiv(c->anchorRules_.X, parentSize.X, c->originalParentSize_.X) - newWidth / 2;
        }
        if (anchors.Contains(akBottom)) {
          if (anchors.Contains(akTop))
            newHeight = parentSize.Y - c->originalParentSize_.Y + c->anchorRules_.Y;
          else
            newTop = parentSize.Y - c->originalParentSize_.Y + c->anchorRules_.Y;
        } else if (!anchors.Contains(akTop)) {
          newTop = MulDiv(c->anchorRules_.Y, parentSize.Y, c->originalParentSize_.Y) - newHeight / 2;
        }
        c->anchorMove_ = true;
        try {
          c->SetBounds(newLeft, newTop, newWidth, newHeight);
        } catch (...) {
          c->anchorMove_ = false;
          throw;
        }
        c->anchorMove_ = false;
        return;
      }
      newLeft = Rect.Left;
      newTop = Rect.Top;
      newWidth = Rect.Right - Rect.Left;
      newHeight = Rect.Bottom - Rect.Top;
      switch (a) {
        case alTop:
          newHeight = c->Height();
          Rect.Top += newHeight;
          break;
        case alBottom:
          newHeight = c->Height();
          newTop = Rect.Bottom - newHeight;
          Rect.Bottom -= newHeight;
          break;
        case alLeft:
          newWidth = c->Width();
          Rect.Left += newWidth;
          break;
        case alRight:
          newWidth = c->Width();
          newLeft = Rect.Right - newWidth;
          Rect.Right -= newWidth;
          break;
        case alCustom:
          newLeft = c->Left();
          newTop = c->Top();
          newWidth = c->Width();
          newHeight = c->Height();
          CustomAlignPosition(c, newLeft, newTop, newWidth, newHeight, Rect);
          break;
        default:
          break;
      }
      c->anchorMove_ = true;
      try {
        c->SetBounds(newLeft, newTop, newWidth, newHeight);
      } catch (...) {
        c->anchorMove_ = false;
        throw;
      }
      c->anchorMove_ = false;
      // A control that did not take the size it was given (constraints)
      // leaves the rest of the area to the others.
      if (c->Width() != newWidth || c->Height() != newHeight) {
        switch (a) {
          case alTop: Rect.Top -= newHeight - c->Height(); break;
          case alBottom: Rect.Bottom += newHeight - c->Height(); break;
          case alLeft: Rect.Left -= newWidth - c->Width(); break;
          case alRight: Rect.Right += newWidth - c->Width(); break;
          case alClient:
            Rect.Right -= newWidth - c->Width();
            Rect.Bottom -= newHeight - c->Height();
            break;
          default: break;
        }
      }
    };

    auto doAlign = [&](TAlign a) {
      std::vector<TControl*> list;
      if (AControl && AControl->Parent() == this && AControl->Align() == a &&
          (a == alNone || AControl->Visible()))
        list.push_back(AControl);
      for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (c == AControl || c->Align() != a || (a != alNone && !c->Visible())) continue;
        size_t j = 0;
        while (j < list.size() && !insertBefore(c, list[j], a)) ++j;
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(j), c);
      }
      TControlGuard guard(this);
      for (TControl* c : list) {
        doPosition(c, a);
        if (!guard.Alive()) return;
      }
    };

    doAlign(alTop);
    doAlign(alBottom);
    doAlign(alLeft);
    doAlign(alRight);
    doAlign(alClient);
    doAlign(alCustom);
    doAlign(alNone);
    ControlsAligned();
  }
  if (Showing()) AdjustSize();
}

bool TWinControl::CanAutoSize(int& NewWidth, int& NewHeight) {
  bool any = false;
  TRect extent(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->Visible() || c->Align() == alClient) continue;
    any = true;
    extent.Left = std::min(extent.Left, c->Left());
    extent.Top = std::min(extent.Top, c->Top());
    extent.Right = std::max(extent.Right, c->Left() + c->Width());
    extent.Bottom = std::max(extent.Bottom, c->Top() + c->Height());
  }
  if (!any) return true;
  const TRect client = ClientRect();
  NewWidth = extent.Right + (width_ - client.Right);
  NewHeight = extent.Bottom + (height_ - client.Bottom);
  return true;
}

// ---------------------------------------------------------------------------
// Tab order
// ---------------------------------------------------------------------------

TTabOrder TWinControl::TabOrder() const {
  if (!parent_) return tabOrder_;
  const auto& list = parent_->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(TTabOrder value) {
  // Kept for a control that has no parent yet, and re-applied when loaded
  // (controls read earlier may have taken the place).
  tabOrder_ = value;
  UpdateTabOrder(value);
}

void TWinControl::UpdateTabOrder(int value) {
  if (!parent_) return;
  auto& list = parent_->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  const int cur = static_cast<int>(it - list.begin());
  const int count = static_cast<int>(list.size());
  if (value < 0 || value >= count) value = count - 1;
  if (value == cur) return;
  list.erase(it);
  list.insert(list.begin() + value, this);
}

void TWinControl::GetTabOrderList(TList* List) {
  for (TWinControl* c : tabList_) {
    List->Add(c);
    c->GetTabOrderList(List);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
  TList* list = Make<TList>();
  TWinControl* result = nullptr;
  try {
    GetTabOrderList(list);
    const int count = list->Count();
    if (count > 0) {
      int start = list->IndexOf(CurControl);
      if (start == -1) start = GoForward ? count - 1 : 0;
      int i = start;
      do {
        if (GoForward) {
          if (++i == count) i = 0;
        } else {
          if (i == 0) i = count;
          --i;
        }
        auto* c = static_cast<TWinControl*>(list->Get(i));
        if (c->CanFocus() && (!CheckTabStop || c->TabStop()) && (!CheckParent || c->Parent() == this))
          result = c;
      } while (!result && i != start);
    }
  } catch (...) {
    TObject::Free(list);
    throw;
  }
  TObject::Free(list);
  return result;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  if (TWinControl* c = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop)) c->SetFocus();
}

void TWinControl::SelectFirst() {
  TWinControl* c = FindNextControl(nullptr, true, true, false);
  if (!c) c = FindNextControl(nullptr, true, false, false);
  if (c) c->SetFocus();
}

// ---------------------------------------------------------------------------
// Component stream
// ---------------------------------------------------------------------------

void TWinControl::GetChildren(TGetChildProc proc, TComponent* root) {
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->Owner() == root) proc(c);
  }
}

void TWinControl::SetChildOrder(TComponent* child, int order) {
  auto move = [order](auto& list, auto* item) {
    auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end()) return false;
    list.erase(it);
    const int pos = std::clamp(order, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + pos, item);
    return true;
  };
  if (auto* w = dynamic_cast<TWinControl*>(child)) {
    if (move(winControls_, w) && w->handle_)
      SetWindowPos(w->handle_, PrecedingWindow(w), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else if (auto* c = dynamic_cast<TControl*>(child)) {
    if (move(controls_, c)) c->Invalidate();
  }
}

void TWinControl::ReadState(TReader* reader) {
  DisableAlign();
  try {
    TControl::ReadState(reader);
  } catch (...) {
    EnableAlign();
    throw;
  }
  EnableAlign();
}

void TWinControl::Loaded() {
  TControl::Loaded();
  if (handle_) UpdateBounds();
  if (tabOrder_ >= 0) UpdateTabOrder(tabOrder_);
  UpdateControlState();
  Realign();
}

void TWinControl::Notification(TComponent* AComponent, TOperation operation) {
  TControl::Notification(AComponent, operation);
}
