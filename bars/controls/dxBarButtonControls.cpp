// Button controls: the button-like base (pressing, fade frames, drop-downs
// opened and closed by two delayed timers), buttons, large buttons and the
// application-menu button.
#include "bars/controls/dxBarControls.h"
#include "bars/controls/dxBarItemControls.h"
#include "bars/controls/dxBarPainter.h"
#include "bars/controls/dxBarToolbarControl.h"
#include "foundation/cxGraphicsBitmaps.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/dxCore.h"
#include "foundation/dxFading.h"
#include "foundation/dxOffice11.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/Menus.h"

#include <algorithm>

namespace {

// The links of a button's drop-down menu, nil without one.
TdxBarItemLinks* DropDownMenuLinksOf(TdxBarButton* AButton) { return AButton ? AButton->ItemLinks() : nullptr; }

// Pops the button's drop-down menu up at a screen point for the control. The
// popup menus bring this to the button item with their window; until then no
// button has drop-down menu links, and DropDown stops before it gets here.
void ShowDropDownMenuOf(TdxBarButton*, TdxBarItemControl*, const TPoint&, bool) {}

bool HasContent(TBitmap* ABitmap) { return ABitmap && !ABitmap->Empty(); }

// Whether the left (primary) mouse button is down now.
bool LeftButtonDown() {
  return (GetKeyState(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON) & 0x8000) != 0;
}

bool IsToolbar(TCustomdxBarControl* ABar) { return dynamic_cast<TdxBarControl*>(ABar) != nullptr; }

}  // namespace

// ---------------------------------------------------------------------------
// Delayed drop-down timers: one opening and one closing pending in the
// process, each on a thread timer of its own.
// ---------------------------------------------------------------------------

namespace {

struct TDropDownSlot {
  TdxBarButtonLikeControl* Control = nullptr;
  UINT_PTR TimerID = 0;
};

constexpr UINT kDropDownDelay = 400;

TDropDownSlot& OpenSlot() {
  static TDropDownSlot slot;
  return slot;
}

TDropDownSlot& CloseSlot() {
  static TDropDownSlot slot;
  return slot;
}

void CancelSlot(TDropDownSlot& ASlot) {
  if (ASlot.TimerID) KillTimer(nullptr, ASlot.TimerID);
  ASlot = TDropDownSlot();
}

void OpenTimerFired() {
  TdxBarButtonLikeControl* control = OpenSlot().Control;
  CancelSlot(OpenSlot());
  if (control) control->BecomeActive(true, true);
}

void CloseTimerFired() {
  TdxBarButtonLikeControl* control = CloseSlot().Control;
  CancelSlot(CloseSlot());
  if (control) control->BecomeInactive(true);
}

void CALLBACK OpenTimerProc(HWND, UINT, UINT_PTR, DWORD) { GuardCallback([] { OpenTimerFired(); }); }
void CALLBACK CloseTimerProc(HWND, UINT, UINT_PTR, DWORD) { GuardCallback([] { CloseTimerFired(); }); }

void StartSlot(TDropDownSlot& ASlot, TdxBarButtonLikeControl* AControl, TIMERPROC AProc) {
  CancelSlot(ASlot);
  ASlot.Control = AControl;
  ASlot.TimerID = SetTimer(nullptr, 0, kDropDownDelay, AProc);
}

void StartOpenTimer(TdxBarButtonLikeControl* AControl) { StartSlot(OpenSlot(), AControl, &OpenTimerProc); }
void StartCloseTimer(TdxBarButtonLikeControl* AControl) { StartSlot(CloseSlot(), AControl, &CloseTimerProc); }

void CancelDropDownTimers(TdxBarButtonLikeControl* AControl) {
  if (OpenSlot().Control == AControl) CancelSlot(OpenSlot());
  if (CloseSlot().Control == AControl) CancelSlot(CloseSlot());
}

void ScheduleDropDown(TdxBarButtonLikeControl* AControl, bool AOpen) {
  if (AOpen) {
    if (CloseSlot().Control == AControl) CancelSlot(CloseSlot());
    StartOpenTimer(AControl);  // only one opening may be pending
  } else {
    if (OpenSlot().Control == AControl) CancelSlot(OpenSlot());
    if (AControl->IsDroppedDown()) StartCloseTimer(AControl);
  }
}

}  // namespace

bool dxBarDropDownOpenPending(TdxBarButtonLikeControl* AControl) { return AControl && OpenSlot().Control == AControl; }
bool dxBarDropDownClosePending(TdxBarButtonLikeControl* AControl) {
  return AControl && CloseSlot().Control == AControl;
}
UINT_PTR dxBarDropDownOpenTimer() { return OpenSlot().TimerID; }
UINT_PTR dxBarDropDownCloseTimer() { return CloseSlot().TimerID; }
void dxBarDropDownOpenTimerFired() { OpenTimerFired(); }
void dxBarDropDownCloseTimerFired() { CloseTimerFired(); }

// ---------------------------------------------------------------------------
// TdxBarButtonLikeControl
// ---------------------------------------------------------------------------

BEGIN_CLASS(TdxBarButtonLikeControl, TdxBarItemControl, (ConstructWith<TdxBarButtonLikeControl, TdxBarItemLink>))
END_CLASS

void TdxBarButtonLikeControl::BeforeDestruction() {
  CancelDropDownTimers(this);
  if (TCustomdxBarControl* subMenu = SubMenuControl(); subMenu && dxBarIsLiveControl(subMenu)) subMenu->Hide();
  TdxBarItemControl::BeforeDestruction();
}

int TdxBarButtonLikeControl::DropDownArrowWidth() {
  if (FParent && FParent->Kind() == bkSubMenu) return FParent->MenuArrowWidth();
  return Painter()->RealButtonArrowWidth(BarManager());
}

bool TdxBarButtonLikeControl::CanDropDownNow() {
  TdxBarManager* manager = BarManager();
  return Enabled() || (manager && manager->Designing());
}

void TdxBarButtonLikeControl::OpenByPress(bool) {
  if (FParent) FParent->SetIsDowned(true);
}

bool TdxBarButtonLikeControl::ArrowInTextColor() { return Painter()->ArrowUsesTextColor(); }

bool TdxBarButtonLikeControl::HasCustomSelectedTextColor() {
  return Painter()->IsCustomSelectedTextColorExists(this);
}

void TdxBarButtonLikeControl::FillDrawParams(bool AFull) {
  TdxBarItemControl::FillDrawParams(AFull);
  TdxBarButtonLikeControlDrawParams* p = ButtonParams();
  if (AFull) {
    p->ButtonGroup = FViewInfo ? FViewInfo->RealPositionInButtonGroup() : bgrpNone;
    p->IsTextSelected = HasCustomSelectedTextColor();
    p->IsFlatText = ArrowInTextColor();
    // A control drawn in its parent's menu style draws no arrow of its own.
    p->IsMenuItem = UsesParentSubMenuStyle();
  }
  p->ArrowSize = TSize(DropDownArrowWidth(), FParent ? FParent->MenuArrowHeight() : 4);
}

void TdxBarButtonLikeControl::DrawInterior(const TRect& ARect, TdxBarPaintType) {
  Painter()->DrawButtonLikeControl(ButtonParams(), ARect);
}

bool TdxBarButtonLikeControl::CanAnimateFading() {
  const bool possible = FParent && FParent->CanFade() && QueryFader() && Painter()->SupportsFading();
  return possible && !IsDroppedDown();
}

void TdxBarButtonLikeControl::PrepareFadingImages(TBitmap*& ANormal, TBitmap*& AHot) {
  ANormal = nullptr;
  AHot = nullptr;
  auto* painter = dynamic_cast<const IdxBarFadingPainter*>(Painter());
  if (!painter || QueryPaintType() == ptMenu) return;
  const TRect bounds = ItemBounds();
  TcxBitmap32* images[2] = {nullptr, nullptr};
  try {
    for (int i = 0; i < 2; ++i) {
      images[i] = Make<TcxBitmap32>(bounds.Width(), bounds.Height(), true);
      HDC DC = images[i]->cxCanvas()->Handle();
      FActiveCanvas = images[i]->cxCanvas();
      FillDrawParams(true);
      POINT origin{};
      SetViewportOrgEx(DC, -bounds.Left, -bounds.Top, &origin);
      FDrawParams->DrawSelected = i == 1;
      if (i == 0) FDrawParams->HotPartIndex = -1;
      try {
        painter->DrawButtonFadingImage(FDrawParams);
      } catch (...) {
        SetViewportOrgEx(DC, origin.x, origin.y, nullptr);
        throw;
      }
      SetViewportOrgEx(DC, origin.x, origin.y, nullptr);
      FActiveCanvas = nullptr;
      FillDrawParams(false);
      if (painter->FadingImagesNeedOpaque()) images[i]->MakeOpaque();
    }
  } catch (...) {
    FActiveCanvas = nullptr;
    FillDrawParams(false);
    TObject::Free(images[0]);
    TObject::Free(images[1]);
    throw;
  }
  ANormal = images[0];
  AHot = images[1];
}

void TdxBarButtonLikeControl::BecomeActive(bool AImmediately, bool AByMouse) {
  if (IsDroppedDown()) {
    CancelDropDownTimers(this);
    return;
  }
  FIsActive = true;
  if (!HasDropDown() || !CanDropDownNow()) return;
  TdxBarManager* manager = BarManager();
  bool now = AImmediately || (manager && manager->IsCustomizing());
  if (IsToolbar(FParent)) {
    if (!FParent->IsCustomizing() && !FParent->IsDowned()) return;
    now = true;
  }
  if (!now) {
    ScheduleDropDown(this, true);
    return;
  }
  // A drop-down waiting to close closes first, so two never show at once.
  if (TdxBarButtonLikeControl* closing = CloseSlot().Control) {
    CancelSlot(CloseSlot());
    closing->BecomeInactive(true);
  }
  DropDown(AByMouse);
}

void TdxBarButtonLikeControl::BecomeInactive(bool AImmediately) {
  TdxBarManager* manager = BarManager();
  if (IsToolbar(FParent) || AImmediately || !FParent || FParent->IsDestroying() ||
      (manager && manager->IsCustomizing())) {
    FIsActive = false;
    CloseUp(SubMenuControl() != nullptr);
  } else {
    ScheduleDropDown(this, false);
  }
}

void TdxBarButtonLikeControl::ReleasePress(bool AIsSelected, bool& AStop) {
  if (!AIsSelected) {
    TdxBarItemControl::ReleasePress(AIsSelected, AStop);
  } else if (FParent && FParent->IsDowned() && IsDroppedDown()) {
    // A press on the open drop-down's owner closes the bar's mode.
    FParent->BarLostFocus();
  }
}

bool TdxBarButtonLikeControl::IsAcceleratorChar(Word AKey) {
  if (!HasDropDown()) return false;
  if (FParent && FParent->Kind() == bkSubMenu) return AKey == VK_RIGHT;
  return AKey == VK_UP || AKey == VK_DOWN;
}

void TdxBarButtonLikeControl::HandleKeyDown(Word& AKey, TShiftState) {
  if (IsAcceleratorChar(AKey)) OpenByPress(false);
}

void TdxBarButtonLikeControl::CloseUp(bool AHasSubMenu) {
  CancelDropDownTimers(this);
  if (AHasSubMenu)
    if (TCustomdxBarControl* subMenu = SubMenuControl(); subMenu && dxBarIsLiveControl(subMenu)) subMenu->Hide();
  Repaint();
}

// ---------------------------------------------------------------------------
// TdxBarButtonControl
// ---------------------------------------------------------------------------

BEGIN_CLASS(TdxBarButtonControl, TdxBarButtonLikeControl, (ConstructWith<TdxBarButtonControl, TdxBarItemLink>))
END_CLASS

TdxBarPaintStyle TdxBarButtonControl::EffectivePaintStyle() {
  TdxBarPaintStyle style = ItemLink() ? ItemLink()->PaintStyle() : psStandard;
  if (style == psStandard && IsToolbar(FParent)) AdjustPaintStyle(style);
  return style;
}

void TdxBarButtonControl::AdjustPaintStyle(TdxBarPaintStyle& AStyle) {
  if (AStyle == psStandard && !HasImage(ViewSizeForLevel(CurrentViewLevel()))) AStyle = psCaption;
}

TdxBarItemControlViewStructure TdxBarButtonControl::DefaultViewStructure() {
  const bool menu = FDrawParams->PaintType == ptMenu;
  switch (EffectivePaintStyle()) {
    case psStandard:
      if (menu) return {cpIcon, cpText};
      return HasImage(ViewSizeForLevel(CurrentViewLevel())) ? TdxBarItemControlViewStructure{cpIcon}
                                                            : TdxBarItemControlViewStructure{cpText};
    case psCaption: return {cpText};
    case psCaptionInMenu: return menu ? TdxBarItemControlViewStructure{cpText} : TdxBarItemControlViewStructure{cpIcon};
    default: return {cpIcon, cpText};
  }
}

TdxBarItemControlViewStructure TdxBarButtonControl::CalcViewStructure() {
  if (CurrentViewLevel() == ivlSmallIcon) return {cpIcon};
  return TdxBarButtonLikeControl::CalcViewStructure();
}

namespace {

// Whether the left button is held down with the cursor over the control.
bool LeftButtonDownOver(TdxBarItemControl* AControl) {
  TCustomdxBarControl* bar = AControl->Parent();
  if (!bar || !bar->HandleAllocated() || !LeftButtonDown()) return false;
  POINT p;
  if (!GetCursorPos(&p)) return false;
  return AControl->ItemBounds().Contains(bar->ScreenToClient(TPoint(p.x, p.y)));
}

}  // namespace

bool TdxBarButtonControl::IsPressedNow() {
  if (FPressed && !(ButtonItem() && ButtonItem()->IsCheckable())) return true;
  return DrawsSelected() && FParent && FParent->IsActive() && Enabled() && FHotPartIndex == 0 &&
         LeftButtonDownOver(this);
}

bool TdxBarButtonControl::DropDownPartPressed() {
  return HasDropDown() && FHotPartIndex == 1 && LeftButtonDownOver(this);
}

bool TdxBarButtonControl::DrawsSelected() {
  return (IsSelected() && !(FParent && FParent->IsCustomizing())) || FPressed;
}

bool TdxBarButtonControl::IsDroppedDown() { return FDroppedDown && SubMenuControl() != nullptr; }

TCustomdxBarControl* TdxBarButtonControl::SubMenuControl() {
  TdxBarItemLinks* links = DropDownMenuLinksOf(ButtonItem());
  IdxBarControl* bar = links ? links->BarControl() : nullptr;
  return bar ? dynamic_cast<TCustomdxBarControl*>(bar->BarControlObject()) : nullptr;
}

void TdxBarButtonControl::FillDrawParams(bool AFull) {
  TdxBarButtonLikeControl::FillDrawParams(AFull);
  if (!AFull) return;
  TdxBarButtonLikeControlDrawParams* p = ButtonParams();
  TdxBarButton* button = ButtonItem();
  const TShortCut shortCut = FetchShortCut();
  p->ShortCut = shortCut ? ShortCutToText(shortCut) : String();
  p->IsPressed = IsPressedNow();
  p->Downed = button && button->Down();
  p->DrawDowned = p->IsPressed;
  p->DroppedDown = FDroppedDown;
  p->DroppedDownFlat = Painter()->IsFlatItemText() && FDroppedDown;
  p->SplitDropDown = true;
  p->DropDownEnabled = button && button->DropDownEnabled();
  p->GrayScale = DrawsGrayScaleGlyph();
  p->IsLowered = button && button->Lowered();
}

void TdxBarButtonControl::CalcParts() {
  TdxBarButtonLikeControl::CalcParts();
  Painter()->CalculateButtonParts(ButtonParams(), FParts, ItemBounds());
}

int TdxBarButtonControl::PartCount() { return FDrawParams->IsDropDown ? 2 : 1; }

bool TdxBarButtonControl::HasDropDown() {
  TdxBarButton* button = ButtonItem();
  if (!button) return false;
  const TdxBarButtonStyle style = button->ButtonStyle();
  return style == bsDropDown || style == bsCheckedDropDown;
}

bool TdxBarButtonControl::ClickClosesMenus() {
  if (IsToolbar(FParent)) return true;
  TdxBarButton* button = ButtonItem();
  return !button || button->CloseSubMenuOnClick();
}

bool TdxBarButtonControl::CapturesMouse() { return !FDroppedDown && FParent && FParent->Kind() == bkBarQuickControl; }

bool TdxBarButtonControl::UnclicksAfterClick() {
  TdxBarButton* button = ButtonItem();
  return !button || button->UnclickAfterDoing();
}

void TdxBarButtonControl::PaintStyleChanged() {
  if (FParent) FParent->RepaintBar();
}

void TdxBarButtonControl::Press(bool AByMouse) {
  if (IsToolbar(FParent) && !FParent->IsDowned()) return;
  if (DropDownPartPressed())
    OpenByPress(AByMouse);
  else if (IsToolbar(FParent) || HasDropDown())
    Repaint();
}

void TdxBarButtonControl::ExecuteClick(bool AByMouse) {
  // A release on the arrow of a split button opens nothing and clicks nothing.
  if (AByMouse && FHotPartIndex != 0) return;
  if (TdxBarButton* button = ButtonItem(); button && button->IsCheckable()) button->SetDown(!button->Down());
  BecomeInactive(true);
  TdxBarButtonLikeControl::ExecuteClick(AByMouse);
}

void TdxBarButtonControl::ReleasePress(bool AIsSelected, bool& AStop) {
  if (AIsSelected && FParent && FParent->IsDowned() && IsDroppedDown() && FHotPartIndex == 0) {
    if (FParent->BehaviorOptions().Contains(bboSubMenuCaptureMouse)) FParent->BarLostFocus();
    FParent->BarGetFocus(this);
  } else {
    TdxBarButtonLikeControl::ReleasePress(AIsSelected, AStop);
  }
}

void TdxBarButtonControl::OpenByPress(bool AByMouse) {
  TdxBarButtonLikeControl::OpenByPress(AByMouse);
  BecomeActive(true, AByMouse);
}

bool TdxBarButtonControl::ArrowInTextColor() {
  return !HasCustomSelectedTextColor() || TdxBarButtonLikeControl::ArrowInTextColor();
}

bool TdxBarButtonControl::HasCustomSelectedTextColor() {
  const TdxBarPainter* painter = Painter();
  if (!painter->IsFlatItemText()) return false;
  const bool down = ButtonItem() && ButtonItem()->Down();
  const bool pressedNow = IsPressedNow();
  if ((pressedNow || (down && DrawsSelected())) && painter->IsItemTextSelectedInverted()) return true;
  if (pressedNow || down || DrawsSelected())
    return (dxIsButtonFaceWhite() && !FDroppedDown) || painter->IsCustomSelectedTextColorExists(this);
  return false;
}

int TdxBarButtonControl::CalcHeight() {
  int height = TdxBarButtonLikeControl::CalcHeight();
  if (ButtonItem() && ButtonItem()->Lowered()) height += 2 * Painter()->LoweredBorderSize(this);
  return height;
}

int TdxBarButtonControl::CalcWidth() {
  int width = TdxBarButtonLikeControl::CalcWidth();
  Painter()->AddArrowWidth(ButtonParams(), width);
  if (ButtonItem() && ButtonItem()->Lowered()) width += 2 * Painter()->LoweredBorderSize(this);
  return width;
}

int TdxBarButtonControl::NormalViewHeight() {
  int height = TdxBarButtonLikeControl::NormalViewHeight();
  if (FDrawParams->ViewStructure.Contains(cpText)) {
    const TSize button = FDrawParams->DefaultButtonSize;
    height = std::max(height, OnVerticalBar() ? button.cx : button.cy);
  }
  return height;
}

void TdxBarButtonControl::CloseUp(bool AHasSubMenu) {
  // The sub-menu forgets its drop-down button when the sub-menu window
  // knows one (the menus' part).
  FDroppedDown = false;
  TdxBarButtonLikeControl::CloseUp(AHasSubMenu);
}

void TdxBarButtonControl::DropDown(bool AByMouse) {
  TdxBarButton* button = ButtonItem();
  if (FDroppedDown || !Enabled() || !button || !button->DropDownEnabled() || !DropDownMenuLinksOf(button)) return;
  if (!FParent) return;
  FDroppedDown = true;
  FParent->NotifyItemControlFocused(this);
  Repaint();
  const TRect r = FParent->GetItemRect(this);
  TPoint origin(r.Left, r.Bottom);
  if (FParent->Kind() == bkSubMenu || FParent->IsRealVertical()) {
    origin = TPoint(r.Right, r.Top);
    if (FParent->Kind() == bkSubMenu) origin.Y -= FParent->FrameBorderSize();
  }
  if (FParent->HandleAllocated()) origin = FParent->ClientToScreen(origin);
  TcxObjectLink* self = cxCreateObjectLink(this);
  try {
    ShowDropDownMenuOf(button, this, origin, AByMouse);
  } catch (...) {
    cxReleaseObjectLink(self);
    throw;
  }
  const bool alive = self->Ref != nullptr;
  cxReleaseObjectLink(self);
  if (!alive) return;
  // The menu took the animation wish along.
  ShowAnimation = false;
  if (Painter()->IsDropDownRepaintNeeded()) Repaint();
}

// ---------------------------------------------------------------------------
// TdxBarLargeButtonControl
// ---------------------------------------------------------------------------

BEGIN_CLASS(TdxBarLargeButtonControl, TdxBarButtonControl, (ConstructWith<TdxBarLargeButtonControl, TdxBarItemLink>))
END_CLASS

int TdxBarLargeButtonControl::DropDownArrowWidth() {
  if (IsToolbar(FParent)) return Painter()->RealLargeButtonArrowWidth(BarManager());
  return TdxBarButtonControl::DropDownArrowWidth();
}

void TdxBarLargeButtonControl::LargeImageChanged() {
  if (FDrawParams->ViewSize() != cvsLarge) return;
  TdxBarLargeButton* item = LargeButtonItem();
  if ((item && item->Width() != 0 && item->Height() != 0) || QueryPaintType() == ptMenu)
    Repaint();
  else if (FParent)
    FParent->RepaintBar();
}

bool TdxBarLargeButtonControl::ResolveImage(TdxBarItemControlViewSize ASize, bool AHot, int& AIndex,
                                            TCustomImageList*& AList, TBitmap*& AGlyph) {
  if (FDrawParams->ViewSize() != cvsLarge) return TdxBarButtonControl::ResolveImage(ASize, AHot, AIndex, AList, AGlyph);
  AGlyph = nullptr;
  AList = nullptr;
  AIndex = -1;
  TdxBarLargeButton* item = LargeButtonItem();
  auto hotSource = [&] {
    if (TBitmap* glyph = item ? item->HotGlyph() : nullptr; HasContent(glyph)) {
      AGlyph = glyph;
      return true;
    }
    if (item && item->HotImageAvailable()) {
      AList = FetchHotImages();
      AIndex = item->HotImageIndex();
      return true;
    }
    return false;
  };
  auto largeSource = [&] {
    if (TBitmap* glyph = FetchLargeGlyph(); HasContent(glyph)) {
      AGlyph = glyph;
      return true;
    }
    if (item && item->LargeImageAvailable()) {
      AList = LargeImageList();
      AIndex = FetchLargeImageIndex();
      return true;
    }
    return false;
  };
  if (AHot ? (hotSource() || largeSource()) : (largeSource() || hotSource())) return true;
  AList = LargeImageList() ? LargeImageList() : FetchHotImages();
  return false;
}

bool TdxBarLargeButtonControl::DrawsGrayScaleGlyph() {
  TdxBarLargeButton* item = LargeButtonItem();
  return !DrawsSelected() && Enabled() && item && item->AutoGrayScale();
}

TdxBarItemControlViewStructure TdxBarLargeButtonControl::DefaultViewStructure() {
  if (FDrawParams->PaintType == ptMenu) return TdxBarButtonControl::DefaultViewStructure();
  return Item() && Item()->ShowCaption() ? TdxBarItemControlViewStructure{cpIcon, cpText}
                                         : TdxBarItemControlViewStructure{cpIcon};
}

TdxBarItemControlViewSize TdxBarLargeButtonControl::CalcViewSize() {
  if (QueryPaintType() == ptMenu) return TdxBarButtonControl::CalcViewSize();
  return cvsLarge;
}

TdxBarItemViewLevels TdxBarLargeButtonControl::GetPossibleViewLevels() {
  return TdxBarButtonControl::GetPossibleViewLevels() + TdxBarItemViewLevels{ivlLargeIconWithText};
}

int TdxBarLargeButtonControl::HeightForViewSize() {
  TdxBarLargeButton* item = LargeButtonItem();
  return item && item->Height() != 0 ? item->Height() : TdxBarButtonControl::HeightForViewSize();
}

int TdxBarLargeButtonControl::WidthForViewSize() {
  return Item() && Item()->Width() != 0 ? Item()->Width() : TdxBarButtonControl::WidthForViewSize();
}

bool TdxBarLargeButtonControl::OnVerticalBar() {
  return FParent && FParent->IsVertical() && Item() && Item()->ShowCaption();
}

// ---------------------------------------------------------------------------
// TdxBarApplicationMenuButtonControl
// ---------------------------------------------------------------------------

BEGIN_CLASS(TdxBarApplicationMenuButtonControl, TdxBarButtonLikeControl,
            (ConstructWith<TdxBarApplicationMenuButtonControl, TdxBarItemLink>))
END_CLASS

void TdxBarApplicationMenuButtonControl::FillDrawParams(bool AFull) {
  TdxBarButtonLikeControl::FillDrawParams(AFull);
  if (AFull)
    static_cast<TdxBarApplicationMenuButtonControlDrawParams*>(FDrawParams)->ContentWidth =
        TdxBarButtonLikeControl::WidthForViewSize();
}

void TdxBarApplicationMenuButtonControl::DrawInterior(const TRect& ARect, TdxBarPaintType) {
  Painter()->ApplicationMenuDrawButton(FDrawParams, ARect);
}

TdxBarItemControlViewStructure TdxBarApplicationMenuButtonControl::DefaultViewStructure() {
  return HasImage(ViewSizeForLevel(CurrentViewLevel())) ? TdxBarItemControlViewStructure{cpIcon, cpText}
                                                        : TdxBarItemControlViewStructure{cpText};
}

int TdxBarApplicationMenuButtonControl::WidthForViewSize() {
  return Item() && Item()->Width() != 0 ? Item()->Width() : TdxBarButtonLikeControl::WidthForViewSize();
}

void TdxBarApplicationMenuButtonControl::RepaintParentWindow() {
  if (FParent && FParent->HandleAllocated()) FParent->Repaint();
}

void TdxBarApplicationMenuButtonControl::CaptionChanged() { RepaintParentWindow(); }
void TdxBarApplicationMenuButtonControl::ImageChanged() { RepaintParentWindow(); }
void TdxBarApplicationMenuButtonControl::LinkVisibilityChanged() { RepaintParentWindow(); }
void TdxBarApplicationMenuButtonControl::WidthChanged() { RepaintParentWindow(); }
