#include "platform/WinApi.h"
#include "editors/core/cxEditViewData.h"

#include "editors/core/cxEdit.h"
#include "foundation/cxGraphicsCanvas.h"
#include "platform/gui/Forms.h"
#include "tests/support/TestObjects.h"

#include <gtest/gtest.h>

namespace {

// Properties with a style in direct-access mode: layout as values, no window.
struct TLayout {
  Owned<TcxCustomEditProperties> Properties{Make<TcxCustomEditProperties>(nullptr)};
  Owned<TcxEditStyle> Style{Make<TcxEditStyle>(nullptr, csNormal, nullptr, false)};
  Owned<TcxCustomEditViewInfo> ViewInfo{Make<TcxCustomEditViewInfo>()};

  TcxEditButton* AddButton(int AWidth, bool ALeft = false) {
    TcxEditButton* button = Properties->Buttons()->Add();
    button->SetKind(bkEllipsis);
    button->SetWidth(AWidth);
    button->SetLeftAlignment(ALeft);
    return button;
  }
  void Calculate(const TRect& ABounds, const TPoint& P = TPoint(-1, -1), TShiftState AShift = TShiftState(),
                 bool AMouse = false, bool AInplace = false, bool AFocused = true) {
    auto data = MakeOwned<TcxCustomEditViewData>(Properties.get(), Style.get(), AInplace);
    data->Focused = AFocused;
    data->Calculate(ABounds, P, cxmbNone, AShift, ViewInfo.get(), AMouse);
  }
};

}  // namespace

TEST(cxEditViewData, BorderExtentsByStyleAndShadow) {
  struct TCase {
    TcxEditBorderStyle Border;
    bool Shadow;
    TRect Extent;
  } cases[] = {
      {ebsNone, false, TRect(0, 0, 0, 0)},  {ebsSingle, false, TRect(1, 1, 1, 1)},
      {ebsThick, false, TRect(2, 2, 2, 2)}, {ebsUltraFlat, false, TRect(1, 1, 1, 1)},
      {ebsSingle, true, TRect(1, 1, 4, 4)},
  };
  for (const TCase& c : cases) {
    TLayout l;
    l.Style->SetTransparentBorder(false);
    l.Style->SetBorderStyle(c.Border);
    l.Style->SetShadow(c.Shadow);
    l.Calculate(TRect(0, 0, 100, 20));
    EXPECT_EQ(l.ViewInfo->BorderExtent, c.Extent) << int(c.Border) << c.Shadow;
    EXPECT_EQ(l.ViewInfo->BorderRect.Left, c.Extent.Left);
  }
}

TEST(cxEditViewData, ButtonsArePlacedFromTheOuterEdgeAndClipped) {
  TLayout l;
  l.Style->SetTransparentBorder(false);
  l.Style->SetBorderStyle(ebsSingle);
  l.AddButton(20, true);
  l.AddButton(15);
  l.AddButton(25);
  l.Calculate(TRect(0, 0, 100, 20));
  ASSERT_EQ(l.ViewInfo->ButtonCount(), 3);
  EXPECT_EQ(l.ViewInfo->ButtonsInfo[0]->Bounds, TRect(1, 1, 21, 19));
  EXPECT_EQ(l.ViewInfo->ButtonsInfo[2]->Bounds, TRect(74, 1, 99, 19));   // the last item sits outermost
  EXPECT_EQ(l.ViewInfo->ButtonsInfo[1]->Bounds, TRect(59, 1, 74, 19));
  EXPECT_EQ(l.ViewInfo->ClientRect, TRect(21, 1, 59, 19));
  EXPECT_EQ(l.ViewInfo->HitTestButton(TPoint(80, 5)), 2);
  EXPECT_EQ(l.ViewInfo->HitTestButton(TPoint(40, 5)), -1);
  EXPECT_EQ(l.ViewInfo->HitTestButton(TPoint(0, 0)), -2);
  EXPECT_EQ(l.ViewInfo->GetPartBounds(-1), TRect(21, 1, 59, 19));
  // Too narrow: a right-aligned button's visible part is cut.
  TLayout narrow;
  narrow.Style->SetTransparentBorder(false);
  narrow.AddButton(30);
  narrow.Calculate(TRect(0, 0, 20, 20));
  EXPECT_EQ(narrow.ViewInfo->ButtonsInfo[0]->Bounds.Width(), 30);
  EXPECT_EQ(narrow.ViewInfo->ButtonsInfo[0]->VisibleBounds.Width(), narrow.ViewInfo->BorderRect.Width());
}

TEST(cxEditViewData, ButtonsOnlyStyleSpreadsTheFreeWidth) {
  TLayout l;
  l.Style->SetTransparentBorder(false);
  l.Style->SetBorderStyle(ebsNone);
  l.Properties->SetButtonsViewStyle(bvsButtonsOnly);
  for (int i = 0; i < 3; ++i) l.AddButton(20);
  // 61 pixels are free: the last two buttons get 20 each, the first the rest.
  l.Calculate(TRect(0, 0, 121, 20));
  ASSERT_EQ(l.ViewInfo->ButtonCount(), 3);
  EXPECT_EQ(l.ViewInfo->ButtonsInfo[0]->Bounds.Width(), 41);
  EXPECT_EQ(l.ViewInfo->ButtonsInfo[1]->Bounds.Width(), 40);
  EXPECT_EQ(l.ViewInfo->ButtonsInfo[2]->Bounds.Width(), 40);
}

TEST(cxEditViewData, ButtonStatesFollowThePointerAndTheLeftButton) {
  TLayout l;
  l.Style->SetTransparentBorder(false);
  l.AddButton(20);
  const TRect bounds(0, 0, 100, 20);
  const TPoint over(90, 10), away(30, 10);
  struct TStep {
    TPoint P;
    TShiftState Shift;
    bool Mouse;
    TcxEditButtonState State;
    int Pressed, Selected;
  } steps[] = {
      {over, {}, false, ebsSelected, -1, 0},           // hover
      {over, {ssLeft}, true, ebsPressed, 0, -1},       // press
      {away, {ssLeft}, false, ebsNormal, -1, -1},      // dragged off, still held
      {over, {ssLeft}, false, ebsPressed, 0, -1},      // back over it: pressed again (kept)
      {over, {}, true, ebsSelected, -1, 0},            // released over it
  };
  for (const TStep& s : steps) {
    l.ViewInfo->RememberButtonStates();
    auto data = MakeOwned<TcxCustomEditViewData>(l.Properties.get(), l.Style.get(), false);
    data->Focused = true;
    data->HasCapture = true;
    data->CaptureButtonIndex = 0;
    data->Calculate(bounds, s.P, cxmbLeft, s.Shift, l.ViewInfo.get(), s.Mouse);
    EXPECT_EQ(l.ViewInfo->ButtonsInfo[0]->Data.State, s.State);
    EXPECT_EQ(l.ViewInfo->PressedButton, s.Pressed);
    EXPECT_EQ(l.ViewInfo->SelectedButton, s.Selected);
  }
  // Transparency that hides buttons of an inactive editor.
  l.Style->SetButtonTransparency(ebtHideInactive);
  l.Calculate(bounds, away, {}, false, false, false);
  EXPECT_EQ(l.ViewInfo->ButtonCount(), 0);
  l.Style->SetButtonTransparency(ebtHideUnselected);
  l.Calculate(bounds, away, {}, false, false, false);
  EXPECT_EQ(l.ViewInfo->ButtonCount(), 1);
}

TEST(cxEditViewData, SizesOfBorderButtonsAndContent) {
  TLayout l;
  l.Style->SetTransparentBorder(false);
  l.Style->SetBorderStyle(ebsSingle);
  l.AddButton(20);
  TcxScreenCanvas* canvas = cxGetSharedScreenCanvas();
  TSize minContent;
  // One pixel of border on each side and a 20-pixel button.
  EXPECT_EQ(l.Properties->GetEditConstantPartSize(canvas, l.Style.get(), false, minContent), TSize(22, 2));
  TcxEditSizeProperties size;
  EXPECT_EQ(l.Properties->GetEditSize(canvas, l.Style.get(), false, Null(), size), TSize(22, 2));
  // A requested width below the constant part is kept as it is.
  size.Width = 10;
  EXPECT_EQ(l.Properties->GetEditSize(canvas, l.Style.get(), false, Null(), size).cx, 10);
  // Buttons-only style: the content is a text line plus the content correction.
  l.Properties->SetButtonsViewStyle(bvsButtonsOnly);
  canvas->Font()->Assign(l.Style->GetVisibleFont());
  const int line = canvas->TextHeight(L"Zg");
  EXPECT_EQ(l.Properties->GetEditContentSize(canvas, l.Style.get(), false, Null(), TcxEditSizeProperties()).cy,
            line + 4);
}

// What a state change invalidates, read back from the window's update region.
TEST(cxEditViewInfo, RepaintInvalidatesOnlyWhatChanged) {
  Owned<TForm> form{Make<TForm>(nullptr, 0)};
  form->SetBounds(20, 20, 200, 100);
  form->Show();
  const HWND wnd = form->Handle();
  TLayout l;
  l.Style->SetTransparentBorder(false);
  l.Style->SetBorderStyle(ebsSingle);
  l.AddButton(20);
  l.Calculate(TRect(0, 0, 100, 20));
  auto old = MakeOwned<TcxCustomEditViewInfo>();
  old->Assign(l.ViewInfo.get());
  auto invalid = [&](int X, int Y) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(wnd, region, FALSE);
    const bool inside = PtInRegion(region, X, Y);
    DeleteObject(region);
    return inside;
  };
  struct TCase {
    const char* Name;
    void (*Change)(TcxCustomEditViewInfo*);
    bool Expected;
    bool Border, Interior, Button;
  } cases[] = {
      {"nothing changed", [](TcxCustomEditViewInfo*) {}, false, false, false, false},
      {"the border colour: the band only", [](TcxCustomEditViewInfo* v) { v->BorderColor = clRed; }, true, true,
       false, false},
      {"the background: all but the inner edit", [](TcxCustomEditViewInfo* v) { v->SetBackgroundColor(clRed); },
       true, true, true, true},
      {"a button's state: that button", [](TcxCustomEditViewInfo* v) { v->ButtonsInfo[0]->Data.State = ebsPressed; },
       true, false, false, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    ValidateRect(wnd, nullptr);
    auto current = MakeOwned<TcxCustomEditViewInfo>();
    current->Assign(l.ViewInfo.get());
    current->Bounds = l.ViewInfo->Bounds;
    current->BorderRect = l.ViewInfo->BorderRect;
    current->ClientRect = l.ViewInfo->ClientRect;
    for (int i = 0; i < current->ButtonCount(); ++i) current->ButtonsInfo[i]->Bounds = l.ViewInfo->ButtonsInfo[i]->Bounds;
    c.Change(current.get());
    EXPECT_EQ(current->Repaint(wnd, TRect(), old.get()), c.Expected);
    EXPECT_EQ(invalid(0, 10), c.Border);
    EXPECT_EQ(invalid(30, 10), c.Interior);
    EXPECT_EQ(invalid(90, 10), c.Button);
  }
  ValidateRect(wnd, nullptr);
  EXPECT_FALSE(l.ViewInfo->Repaint(nullptr, TRect(), old.get()));
}
