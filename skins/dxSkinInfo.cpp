#include "skins/dxSkinInfo.h"

#include "foundation/dxGDIPlusClasses.h"
#include "skins/dxSkinsStrs.h"

IMPLEMENT_CLASS(TdxSkinScrollInfo, TObject, nullptr)
IMPLEMENT_CLASS(TdxSkinInfo, TcxIUnknownObject, nullptr)
IMPLEMENT_CLASS(TdxSkinLookAndFeelPainterInfo, TdxSkinInfo, nullptr)

TdxSkinScrollInfo::TdxSkinScrollInfo(TdxSkinElement* AElement, int AImageIndex, TcxScrollBarPart)
    : FElement(AElement), FImageIndex(AImageIndex) {}

bool TdxSkinScrollInfo::Draw(HDC DC, const TRect& R, int AImageIndex, TdxSkinElementState AState) {
  if (!FElement) return false;
  FElement->Draw(DC, R, AImageIndex, AState);
  return true;
}

namespace {

void MarkUsed(TdxSkinCustomPersistentObject* AObject) {
  if (!AObject) return;
  TdxSkinObjectStates state = AObject->State();
  state.Exclude(sosUnused);
  AObject->SetState(state);
}

// A property of the name and class asked for; one of another class counts as
// absent, so that a damaged skin cannot stop the program's start.
template <class T>
T* PropertyOf(TdxSkinPersistent* AOwner, const wchar_t* AName, bool AMark = true) {
  if (!AOwner) return nullptr;
  T* result = dynamic_cast<T*>(AOwner->GetPropertyByName(AName));
  if (AMark) MarkUsed(result);
  return result;
}

TdxSkinColor* ColorOf(TdxSkinPersistent* AOwner, const wchar_t* AName) {
  return PropertyOf<TdxSkinColor>(AOwner, AName);
}

TColor ColorValue(TdxSkinPersistent* AOwner, const wchar_t* AName) {
  TdxSkinColor* color = ColorOf(AOwner, AName);
  return color ? color->Value() : clDefault;
}

int IntegerValue(TdxSkinPersistent* AOwner, const wchar_t* AName, int ADefault) {
  auto* value = PropertyOf<TdxSkinIntegerProperty>(AOwner, AName);
  return value ? value->Value() : ADefault;
}

TColor TextColorOf(TdxSkinElement* AElement) { return AElement ? AElement->TextColor() : clDefault; }

int FrameWidth(TdxSkinElement* AElement) { return AElement ? AElement->Image()->Size().cx : 0; }
int FrameHeight(TdxSkinElement* AElement) { return AElement ? AElement->Image()->Size().cy : 0; }

// The picture of a missing element: two red diagonals on 32 x 32.
void MakePlaceholderTexture(TdxSkinElement* AElement) {
  TObjectPtr<TBitmap> bitmap(Make<TBitmap>());
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(32, 32);
  TCanvas* canvas = bitmap->Canvas();
  canvas->Brush()->SetColor(clWhite);
  canvas->FillRect(TRect(0, 0, 32, 32));
  canvas->Pen()->SetColor(clRed);
  canvas->Pen()->SetWidth(2);
  canvas->MoveTo(0, 0);
  canvas->LineTo(32, 32);
  canvas->MoveTo(0, 31);
  canvas->LineTo(32, -1);
  AElement->Image()->Texture()->SetBitmap(bitmap.get());
}

}  // namespace

TdxSkinInfo::TdxSkinInfo(TdxSkin* ASkin) { SetSkin(ASkin); }

TdxSkinInfo::~TdxSkinInfo() {
  TdxSkin* skin = FSkin;
  SetSkin(nullptr);
  TObject::Free(skin);
}

void TdxSkinInfo::SetSkin(TdxSkin* AValue) {
  if (AValue == FSkin) return;
  if (FSkin) {
    ReleaseScrollInfos();
    FSkin->RemoveListener(this);
  }
  FSkin = AValue;
  if (FSkin) FSkin->AddListener(this);
  Rebuild();
}

void TdxSkinInfo::HandleSkinChange(TdxSkin*) {
  ReleaseScrollInfos();
  Rebuild();
}

void TdxSkinInfo::ReleaseScrollInfos() {
  for (auto& row : ScrollBar_Elements)
    for (TdxSkinScrollInfo*& info : row) FreeAndNil(info);
}

TdxSkinControlGroup* TdxSkinInfo::GetGroup(const wchar_t* AName) {
  if (!FSkin) return nullptr;
  TdxSkinControlGroup* group = FSkin->GetGroupByName(AName);
  if (!group) {
    group = FSkin->AddGroup(AName);
    group->SetState({sosUnassigned, sosUnused});
  }
  MarkUsed(group);
  return group;
}

TdxSkinElement* TdxSkinInfo::GetElement(TdxSkinControlGroup* AGroup, const wchar_t* AName, bool ACreate) {
  if (!AGroup) return nullptr;
  TdxSkinElement* element = AGroup->GetElementByName(AName);
  if (!element && ACreate) {
    AGroup->BeginUpdate();
    element = AGroup->AddElement(AName);
    element->Image()->SetStates({esNormal});
    element->Image()->SetStretch(smStretch);
    element->SetState({sosUnassigned, sosUnused});
    MakePlaceholderTexture(element);
    element->Image()->Changed();
    AGroup->EndUpdate();
  }
  MarkUsed(element);
  return element;
}

void TdxSkinInfo::Rebuild() {
  // Nothing of the previous skin, or of the previous resolution, survives.
  static_cast<TdxSkinInfoMembers&>(*this) = TdxSkinInfoMembers();
  auto G = [this](const wchar_t* name) { return GetGroup(name); };
  auto El = [this](TdxSkinControlGroup* group, const wchar_t* name, bool create = true) {
    return GetElement(group, name, create);
  };

  // Groups
  Group_Bars = G(L"Bars");
  Group_Common = G(L"Common");
  Group_Docking = G(L"Docking");
  Group_Editors = G(L"Editors");
  Group_Ribbon = G(L"Ribbon");
  Group_Form = G(L"Form");
  Group_Grid = G(L"Grid");
  Group_Tabs = G(L"PageControl");
  Group_Scheduler = G(L"Scheduler");
  Group_VGrid = G(L"VerticalGrid");
  Group_NavBar = G(L"NavBar");
  Group_NavPane = G(L"NavPane");
  Group_PrintingSystem = G(L"PrintingSystem");

  // Bars
  TdxSkinControlGroup* g = Group_Bars;
  Bar = El(g, L"Bar");
  BarCustomize = El(g, L"BarCustomize");
  BarCustomizeVertical = El(g, L"BarCustomizeVertical");
  BarDrag = El(g, L"BarDragGrip");
  BarDragVertical = El(g, L"BarDragGripVertical");
  BarMDIButtonClose = El(g, L"MDIButtonClose");
  BarMDIButtonMinimize = El(g, L"MDIButtonMinimize");
  BarMDIButtonRestore = El(g, L"MDIButtonRestore");
  BarSeparator = El(g, L"BarSeparator");
  BarVertical = El(g, L"BarVertical");
  BarVerticalSeparator = El(g, L"BarSeparatorVertical");
  Dock = El(g, L"Dock");
  FloatingBar = El(g, L"FloatBar");
  ItemSeparator = El(g, L"ItemSeparator");
  LinkBorderPainter = El(g, L"LinkStatic");
  LinkSelected = El(g, L"LinkSelected");
  MainMenu = El(g, L"MainMenu");
  MainMenuCustomize = El(g, L"MainMenuCustomize", false);
  MainMenuDrag = El(g, L"MainMenuDrag", false);
  MainMenuLinkSelected = El(g, L"MainMenuLinkSelected");
  MainMenuVertical = El(g, L"MainMenuVertical");
  PopupMenu = El(g, L"PopupMenu");
  PopupMenuCheck = El(g, L"PopupMenuCheck");
  PopupMenuExpandButton = El(g, L"PopupMenuExpandButton");
  PopupMenuLinkSelected = El(g, L"PopupMenuLinkSelected");
  PopupMenuSeparator = El(g, L"PopupMenuSeparator");
  PopupMenuSideStrip = El(g, L"PopupMenuSideStrip");
  PopupMenuSideStripNonRecent = El(g, L"PopupMenuSideStripNonRecent");
  PopupMenuSplitButton = El(g, L"PopupMenuDropDownButtonLabel");
  PopupMenuSplitButton2 = El(g, L"PopupMenuDropDownButtonArrow");

  // Form
  g = Group_Form;
  FormIcons[0][5] = El(g, L"SmallFormButtonClose");
  FormIcons[1][1] = El(g, L"FormButtonHelp");
  FormIcons[1][2] = El(g, L"FormButtonMinimize");
  FormIcons[1][3] = El(g, L"FormButtonMaximize");
  FormIcons[1][4] = El(g, L"FormButtonRestore");
  FormIcons[1][5] = El(g, L"FormButtonClose");
  for (int i = 0; i < 8; ++i) FormFrames[i] = El(g, FormFrameMap[i]);
  for (int row = 0; row < 2; ++row)
    FormBorderWidths[row] = TRect(FrameWidth(FormFrames[row * 4]), 0, FrameWidth(FormFrames[row * 4 + 2]),
                                  FrameHeight(FormFrames[row * 4 + 3]));
  FormStatusBar = El(Group_Bars, L"StatusBar");
  FormContent = El(g, L"FormContent");
  FormInactiveColor = ColorOf(g, L"TextColorInactive");
  FormTextShadowColor = ColorOf(g, L"TextShadowColor");
  FormCaptionDelta = IntegerValue(FormFrames[5], L"FontDelta", 0);
  if (FormCaptionDelta <= 0) FormCaptionDelta = 1;

  // Docking
  g = Group_Docking;
  DockControlTabHeaderBackground = El(g, L"TabHeaderBackground");
  DockControlTabHeaderLine = El(g, L"TabHeaderLine");
  DockControlHideBarButtons = El(g, L"TabHeaderAutoHideBar");
  DockControlWindowButton = El(g, L"DockWindowButton");
  DockControlWindowButtonGlyphs = El(g, L"DockWindowButtonGlyphs");
  DockControlTabHeader = El(g, L"TabHeader");
  DockControlHideBar = El(g, L"AutoHideBar");
  DockControlHideBarLeft = El(g, L"AutoHideBarLeft");
  DockControlHideBarRight = El(g, L"AutoHideBarRight");
  DockControlHideBarBottom = El(g, L"AutoHideBarBottom");
  DockControlCaption = El(g, L"DockWindowCaption");
  DockControlBorder = El(g, L"DockWindowBorder");
  DockControlCaptionNonFocusedTextColor = ColorValue(DockControlCaption, L"InactiveCaptionTextColor");
  if (g) {
    DockControlIndents[0] = IntegerValue(g, L"ActiveTabHeaderDownGrow", 0);
    DockControlIndents[1] = IntegerValue(g, L"ActiveTabHeaderHGrow", 0);
    DockControlIndents[2] = IntegerValue(g, L"ActiveTabHeaderUpGrow", 0);
  }

  // Buttons and expand button
  ButtonElements = El(Group_Common, L"Button");
  ExpandButton = El(Group_Grid, L"PlusMinus");
  if (ButtonElements) ButtonDisabled = ColorOf(ButtonElements, L"DisabledText");

  // Footer
  FooterCell = El(Group_Grid, L"FooterCell");
  FooterPanel = El(Group_Grid, L"FooterPanel");

  // Calculator and calendar colours
  g = Group_Editors;
  for (int k = 0; k < 28; ++k) CalcEditButtonTextColors[k] = ColorOf(g, dxSkinsCalcButtonTextColorsMap[k]);
  CalendarDayTextColor = ColorOf(g, L"CalendarDayTextColor");
  CalendarHolidayTextColor = ColorOf(g, L"CalendarHolidayTextColor");
  CalendarInactiveDayTextColor = ColorOf(g, L"CalendarInactiveDayTextColor");
  CalendarSelectedDayTextColor = ColorOf(g, L"CalendarSelectedDayTextColor");
  CalendarSelectedDayColor = ColorOf(g, L"CalendarSelectedDayColor");
  CalendarSeparatorColor = ColorOf(g, L"CalendarSeparatorColor");
  CalendarTodayFrameColor = ColorOf(g, L"CalendarTodayFrameColor");
  CalendarTodayTextColor = ColorOf(g, L"CalendarTodayTextColor");

  // Check box, clock, edit buttons, label lines
  CheckboxElement = El(g, L"Checkbox");
  ClockElements[0] = El(g, L"ClockFace");
  ClockElements[1] = El(g, L"ClockGlass");
  LabelLine[0] = El(g, L"LabelLine");
  LabelLine[1] = El(g, L"LabelLineVert");
  EditButtonElements[0] = El(g, L"EditorButton");
  EditButtonElements[1] = El(g, L"CloseButton");
  for (int k = 0; k < 8; ++k) EditButtonGlyphs[k] = El(g, EditButtonsMap[k]);

  // Group box
  g = Group_Common;
  GroupBoxClient = El(g, L"GroupPanelNoBorder");
  GroupExpandButton = El(g, L"GroupExpandButton");
  static const wchar_t* const groupPanels[5] = {L"GroupPanelTop", L"GroupPanelBottom", L"GroupPanelLeft",
                                                L"GroupPanelRight", L"GroupPanel"};
  static const wchar_t* const groupCaptions[4] = {L"GroupPanelCaptionTop", L"GroupPanelCaptionBottom",
                                                  L"GroupPanelCaptionLeft", L"GroupPanelCaptionRight"};
  for (int p = 0; p < 5; ++p) GroupBoxElements[p] = El(g, groupPanels[p]);
  for (int p = 0; p < 4; ++p) GroupBoxCaptionElements[p] = El(g, groupCaptions[p]);

  // Grid and vertical grid
  g = Group_Grid;
  GridFixedLine = El(g, L"GridFixedLine");
  CardViewSeparator = El(g, L"CardSeparator");
  GridGroupByBox = El(g, L"GridGroupPanel");
  if (GridGroupByBox && !GridGroupByBox->Image()->Empty()) GridGroupByBox->SetColor(clNone);
  GridGroupRow = El(g, L"GroupRow");
  GridLine = El(g, L"GridLine");
  VGridCategory = El(Group_VGrid, L"Category");
  VGridLine[0] = El(Group_VGrid, L"GridLine");
  VGridLine[1] = El(Group_VGrid, L"BandBorder");
  VGridRowHeader = El(Group_VGrid, L"RowHeader");
  GridGroupRowStyleOffice11ContentColor = ColorOf(GridGroupRow, L"Office11ContentColor");
  GridGroupRowStyleOffice11SeparatorColor = ColorOf(GridGroupRow, L"Office11SeparatorColor");
  GridGroupRowStyleOffice11TextColor = ColorOf(GridGroupRow, L"Office11TextColor");

  // Indicator
  IndicatorImages = El(g, L"IndicatorImages");

  // Navigation bar and pane
  g = Group_NavBar;
  NavBarBackgroundColor = El(g, L"Background");
  NavBarGroupClient = El(g, L"GroupClient");
  NavBarItem = El(g, L"Item");
  NavBarGroupHeader = El(g, L"GroupHeader");
  NavBarGroupButtons[0] = El(g, L"GroupOpenButton");
  NavBarGroupButtons[1] = El(g, L"GroupCloseButton");
  g = Group_NavPane;
  NavPaneCollapseButton = El(g, L"CollapseButton");
  NavPaneCollapsedGroupClient = El(g, L"CollapsedGroupClient");
  NavPaneExpandButton = El(g, L"ExpandButton");
  NavPaneFormBorder = El(g, L"PopupBorder");
  NavPaneFormSizeGrip = El(g, L"PopupSizeGrip");
  NavPaneGroupButton[0] = El(g, L"GroupButton");
  NavPaneGroupButton[1] = El(g, L"GroupButtonSelected");
  NavPaneGroupCaption = El(g, L"Caption");
  NavPaneSplitter = El(g, L"Splitter");
  NavPaneScrollButtons[0] = El(g, L"ScrollUpButton");
  NavPaneScrollButtons[1] = El(g, L"ScrollDownButton");
  NavPaneOverflowPanel = El(g, L"OverflowPanel");
  NavPaneOverflowPanelItem = El(g, L"OverflowPanelItem");
  NavPaneOverflowPanelExpandedItem = El(g, L"OverflowPanelExpandItem");
  NavPaneGroupClient = El(g, L"GroupClient");
  NavPaneItem = El(g, L"Item");
  NavPaneSelectedItem = El(g, L"ItemSelected");
  NavPaneCaptionHeight = PropertyOf<TdxSkinIntegerProperty>(NavPaneGroupCaption, L"Height");
  NavPaneCaptionFontSize = PropertyOf<TdxSkinIntegerProperty>(NavPaneGroupCaption, L"FontSize");
  NavPaneOffsetGroupBorders = PropertyOf<TdxSkinBooleanProperty>(g, L"OverlapGroupBorders");

  // Navigator
  NavigatorGlyphs = El(Group_Editors, L"Navigator");
  NavigatorGlyphsVert = El(Group_Editors, L"NavigatorVert");

  // Scheduler
  g = Group_Scheduler;
  SchedulerTimeGridHeader[0] = El(g, L"TimeGridHeader");
  SchedulerTimeGridHeader[1] = El(g, L"TimeGridHeaderSelected");
  SchedulerTimeLine = El(g, L"DefaultTimeLine");
  SchedulerTimeRuler = El(g, L"Ruler");
  SchedulerMoreButton = El(g, L"MoreButton");
  SchedulerAppointment[0] = El(g, L"AppointmentRightBorder");
  SchedulerAppointment[1] = El(g, L"Appointment");
  SchedulerAllDayArea[0] = El(g, L"AllDayArea");
  SchedulerAllDayArea[1] = El(g, L"AllDayAreaSelected");
  SchedulerCurrentTimeIndicator = El(g, L"CurrentTimeIndicator");
  SchedulerAppointmentShadow[0] = El(g, L"AppointmentBottomShadow");
  SchedulerAppointmentShadow[1] = El(g, L"AppointmentRightShadow");
  SchedulerAppointmentBorderSize = PropertyOf<TdxSkinIntegerProperty>(SchedulerAppointment[1], L"BorderSize");
  SchedulerAppointmentMask = El(g, L"AppointmentMask");
  SchedulerAppointmentBorder = ColorOf(SchedulerAppointment[1], L"SeparatorColor");
  SchedulerNavigationButtons[0] = El(g, L"NavButtonPrev");
  SchedulerNavigationButtons[1] = El(g, L"NavButtonNext");
  SchedulerNavigationButtonsArrow[0] = El(g, L"NavButtonPrevArrow");
  SchedulerNavigationButtonsArrow[1] = El(g, L"NavButtonNextArrow");
  SchedulerTimeGridCurrentTimeIndicator = El(g, L"TimeGridCurrentTimeIndicator", false);

  // Header and filter
  Header = El(Group_Common, L"Header");
  HeaderSpecial = El(Group_Common, L"HeaderSpecial");
  FilterButtons[0] = El(Group_Grid, L"FilterButton");
  FilterButtons[1] = El(Group_Grid, L"FilterButtonActive");
  FilterPanel = El(Group_Grid, L"GridFilterPanel");

  // Page control
  g = Group_Tabs;
  PageControlHeader = El(g, L"TabHeader");
  PageControlButtonHorz = El(g, L"TabButtonHorz");
  PageControlButtonVert = El(g, L"TabButtonVert");
  if (FormContent)
    for (TdxSkinElement* button : {PageControlButtonHorz, PageControlButtonVert})
      if (button) button->SetColor(FormContent->Color());
  PageControlPane = El(g, L"TabPane");
  if (g) {
    static const wchar_t* const indents[6] = {L"RowIndentFar",        L"RowIndentNear",
                                              L"SelectedHeaderDownGrow", L"SelectedHeaderHGrow",
                                              L"SelectedHeaderUpGrow", L"HeaderDownGrow"};
    for (int i = 0; i < 6; ++i) PageControlIndents[i] = IntegerValue(g, indents[i], 0);
  }

  // Progress bar and radio button
  g = Group_Editors;
  static const wchar_t* const progress[4] = {L"ProgressBorder", L"ProgressBorderVert", L"ProgressChunk",
                                             L"ProgressChunkVert"};
  for (int i = 0; i < 4; ++i) ProgressBarElements[i] = El(g, progress[i]);
  ProgressBarTextColors[0] = ColorOf(g, L"ProgressBarEmptyTextColor");
  ProgressBarTextColors[1] = ColorOf(g, L"ProgressBarFilledTextColor");
  RadioGroupButton = El(g, L"RadioButton");

  // Scroll bar
  g = Group_Common;
  TdxSkinElement* scrollButton = El(g, L"ScrollButton");
  if (scrollButton && FormContent) scrollButton->SetColor(FormContent->Color());
  TdxSkinElement* thumbVert = El(g, L"ScrollThumbVert");
  TdxSkinElement* thumbHorz = El(g, L"ScrollThumbHorz");
  TdxSkinElement* contentVert = El(g, L"ScrollContentVert");
  TdxSkinElement* contentHorz = El(g, L"ScrollContentHorz");
  if (FSkin) {
    ReleaseScrollInfos();
    for (int horizontal = 0; horizontal < 2; ++horizontal) {
      TdxSkinElement* thumb = horizontal ? thumbHorz : thumbVert;
      TdxSkinElement* content = horizontal ? contentHorz : contentVert;
      auto& row = ScrollBar_Elements[horizontal];
      row[sbpLineUp] = Make<TdxSkinScrollInfo>(scrollButton, horizontal ? 2 : 0, sbpLineUp);
      row[sbpLineDown] = Make<TdxSkinScrollInfo>(scrollButton, horizontal ? 3 : 1, sbpLineDown);
      row[sbpThumbnail] = Make<TdxSkinScrollInfo>(thumb, 0, sbpThumbnail);
      row[sbpPageUp] = Make<TdxSkinScrollInfo>(content, 0, sbpPageUp);
      row[sbpPageDown] = Make<TdxSkinScrollInfo>(content, 0, sbpPageDown);
    }
  }

  // Ribbon
  g = Group_Ribbon;
  RibbonApplicationButton = El(g, L"FormAppButton");
  RibbonApplicationMenuBorders[0] = El(g, L"AppMenuBackground");
  RibbonApplicationMenuBorders[1] = El(g, L"AppMenuBackgroundBottom");
  RibbonCollapsedToolBarBackground = El(g, L"TabGroupCollapsed");
  RibbonCollapsedToolBarGlyphBackground = El(g, L"TabGroupCollapsedBox");
  RibbonFormCaption = El(g, L"FormCaption");
  RibbonFormBottom[0] = El(g, L"FormFrameBottom");
  RibbonFormBottom[1] = El(g, L"DialogFrameBottom");
  RibbonFormLeft[0] = El(g, L"FormFrameLeft");
  RibbonFormLeft[1] = El(g, L"DialogFrameLeft");
  RibbonFormRight[0] = El(g, L"FormFrameRight");
  RibbonFormRight[1] = El(g, L"DialogFrameRight");
  RibbonTab = El(g, L"Tab");
  RibbonTabPanel = El(g, L"TabPanel");
  RibbonTabPanelGroupButton = El(g, L"TabGroupButton");
  RibbonTabSeparatorLine = El(g, L"TabSeparatorLine");
  RibbonTabGroup = El(g, L"TabGroup");
  RibbonTabGroupHeader = El(g, L"TabGroupCaption");
  RibbonTabGroupItemsSeparator = El(g, L"TabGroupItemsSeparator");
  RibbonGalleryBackground = El(g, L"DropDownGalleryBackground");
  RibbonGalleryButtonDown = El(g, L"InRibbonGalleryButtonDown");
  RibbonGalleryButtonDropDown = El(g, L"InRibbonGalleryButtonDropDown");
  RibbonGalleryButtonUp = El(g, L"InRibbonGalleryButtonUp");
  RibbonGalleryGroupCaption = El(g, L"DropDownGalleryGroupHeader");
  RibbonGalleryPane = El(g, L"InRibbonGalleryPane");
  RibbonGallerySizingPanel = El(g, L"DropDownGallerySizePanel");
  RibbonGallerySizeGrips = El(g, L"DropDownGallerySizeGrip");
  RibbonHeaderBackground = El(g, L"TabBackground");
  RibbonSmallButton = El(g, L"Button");
  RibbonSplitButtonLeft = El(g, L"SplitButtonLeft");
  RibbonSplitButtonRight = El(g, L"SplitButtonRight");
  RibbonKeyTip = El(g, L"KeyTip");
  RibbonLargeButton = El(g, L"LargeButton");
  RibbonLargeSplitButtonTop = El(g, L"LargeSplitButtonTop");
  RibbonLargeSplitButtonBottom = El(g, L"LargeSplitButtonBottom");
  RibbonButtonArrow = El(g, L"ButtonArrow");
  RibbonButtonGroup = El(g, L"ButtonGroup");
  RibbonStatusBarBackground = El(g, L"StatusBarBackground");
  RibbonStatusBarButton = El(g, L"StatusBarButton");
  RibbonStatusBarSeparator = El(g, L"StatusBarSeparator");
  RibbonQuickToolbar[1] = El(g, L"QATInRibbonBackground");
  RibbonQuickToolbar[0] = El(g, L"QATAboveBackground");
  RibbonQuickToolbarBelow = El(g, L"QATBelowBackground");
  RibbonQuickToolbarButtonGlyph = El(g, L"QATButtonGlyph");
  RibbonQuickToolbarDropDown = El(g, L"QATOverflow");
  RibbonQuickToolbarGlyph = El(g, L"QATCustomizeButton");
  RibbonButtonGroupButton = El(g, L"ButtonGroupButton");
  RibbonButtonGroupSeparator = El(g, L"ButtonGroupSeparator");
  RibbonGroupScroll[1] = El(g, L"TabGroupLeftScrollButton");
  RibbonGroupScroll[0] = El(g, L"TabGroupRightScrollButton");
  RibbonContextualTabLabel = El(g, L"ContextualTabLabel");
  RibbonContextualTabLabelOnGlass = El(g, L"ContextualTabLabelOnGlass");
  RibbonContextualTabSeparator = El(g, L"ContextualTabSeparator");
  RibbonContextualTabHeader = El(g, L"ContextualTabHeader");
  RibbonContextualTabPanel = El(g, L"ContextualTabPanel");
  for (int i = 0; i < 2; ++i)
    if (RibbonQuickToolbar[i]) {
      RibbonQATCustomizeButtonOutsizeQAT[i] =
          PropertyOf<TdxSkinBooleanProperty>(RibbonQuickToolbar[i], L"DisplayCustomizeButtonOutsideQAT", false);
      RibbonQATIndentBeforeCustomizeButton[i] =
          PropertyOf<TdxSkinIntegerProperty>(RibbonQuickToolbar[i], L"IndentBeforeCustomizeButton", false);
    }
  RibbonCaptionFontDelta = PropertyOf<TdxSkinIntegerProperty>(RibbonFormCaption, L"FontDelta");
  if (g) {
    RibbonIndents[0] = IntegerValue(RibbonApplicationButton, L"RightIndent", 0);
    RibbonIndents[1] = IntegerValue(RibbonQuickToolbar[1], L"Offset", 0);
    RibbonIndents[2] = IntegerValue(g, L"TabHeaderDownGrow", 1);
    RibbonIndents[3] = IntegerValue(g, L"SpaceBetweenTabGroups", 1);
  }
  RibbonEditorBackground = ColorOf(g, L"EditorBackground");
  RibbonExtraPaneColor = ColorOf(g, L"AppMenuExtraPaneColor");
  RibbonExtraPaneHeaderSeparator = ColorOf(g, L"AppMenuExtraPaneHeaderSeparator");
  RibbonCaptionText[0] = ColorValue(RibbonFormCaption, L"TextColorInactive");
  RibbonCaptionText[1] = TextColorOf(RibbonFormCaption);
  RibbonTabTextHot = ColorValue(RibbonTab, L"TextColorHot");
  RibbonTabText[1] = ColorValue(RibbonTab, L"TextColorSelected");
  RibbonTabText[0] = TextColorOf(RibbonTab);
  RibbonContextualTabHeaderText[1] = ColorValue(RibbonContextualTabHeader, L"TextColorSelected");
  RibbonContextualTabHeaderText[0] = TextColorOf(RibbonContextualTabHeader);
  RibbonContextualTabHeaderTextHot = ColorValue(RibbonContextualTabHeader, L"TextColorHot");
  RibbonDocumentNameTextColor[1] = ColorValue(RibbonFormCaption, L"DocumentNameTextColor");
  RibbonDocumentNameTextColor[0] = RibbonCaptionText[0];
  RibbonStatusBarText = ColorValue(RibbonStatusBarButton, L"TextColor");
  RibbonStatusBarTextHot = ColorValue(RibbonStatusBarButton, L"TextColorHot");
  RibbonStatusBarTextDisabled = ColorValue(RibbonStatusBarButton, L"TextColorDisabled");
  RibbonButtonText[0] = TextColorOf(RibbonSmallButton);
  RibbonButtonText[1] = ColorValue(g, L"ButtonDisabled");

  // Size grip, splitter, track bar
  SizeGrip = El(Group_Common, L"SizeGrip");
  Splitter[0] = El(Group_Common, L"Splitter");
  Splitter[1] = El(Group_Common, L"SplitterHorz");
  g = Group_Editors;
  TrackBarTrack[1] = El(g, L"TrackBarTrack");
  TrackBarTrack[0] = El(g, L"TrackBarTrackVert");
  TrackBarThumb[0][tbtaUp] = El(g, L"TrackBarThumbVertUp");
  TrackBarThumb[0][tbtaDown] = El(g, L"TrackBarThumbVert");
  TrackBarThumb[0][tbtaBoth] = El(g, L"TrackBarThumbVertBoth");
  TrackBarThumb[1][tbtaUp] = El(g, L"TrackBarThumbUp");
  TrackBarThumb[1][tbtaDown] = El(g, L"TrackBarThumb");
  TrackBarThumb[1][tbtaBoth] = El(g, L"TrackBarThumbBoth");

  // Screen tip and printing
  ScreenTipWindow = El(Group_Bars, L"ScreenTipWindow");
  ScreenTipItem = ColorOf(ScreenTipWindow, L"ScreenTipItem");
  ScreenTipSeparator = El(Group_Bars, L"ScreenTipSeparator");
  ScreenTipTitleItem = ColorOf(ScreenTipWindow, L"ScreenTipTitleItem");
  PrintingPageBorder = El(Group_PrintingSystem, L"PageBorder");
  PrintingPreviewBackground = El(Group_PrintingSystem, L"PreviewBackground");

  // Colours
  BarDisabledTextColor = ColorOf(Group_Bars, L"DisabledTextColor");
  DockControlTabTextColor[0] = ColorOf(Group_Docking, L"TabHeaderTextColor");
  DockControlTabTextColor[1] = ColorOf(Group_Docking, L"TabHeaderTextColorActive");
  SchedulerNavigatorColor = ColorOf(Group_Scheduler, L"NavigatorColor");
  TabTextColor = ColorOf(PageControlHeader, L"TextColor");
  TabTextColorActive = ColorOf(PageControlHeader, L"TextColorSelected");
  TabTextColorDisabled = ColorOf(PageControlHeader, L"TextColorDisabled");
  TabTextColorHot = ColorOf(PageControlHeader, L"TextColorHot");
  HyperLinkTextColor = ColorOf(Group_Editors, L"HyperLinkTextColor");
  for (int k = 0; k < 4; ++k) {
    EditorTextColors[k] = ColorOf(Group_Editors, dxSkinEditorTextColors[k]);
    EditorBackgroundColors[k] = ColorOf(Group_Editors, dxSkinEditorBackgroundColors[k]);
  }
  if (FSkin) {
    ContainerBorderColor = FSkin->GetColorByName(L"ContainerBorderColor");
    ContainerHighlightBorderColor = FSkin->GetColorByName(L"ContainerHighlightBorderColor");
    ContentColor = FSkin->GetColorByName(L"ContentColor");
    ContentEvenColor = FSkin->GetColorByName(L"ContentEvenColor");
    ContentOddColor = FSkin->GetColorByName(L"ContentOddColor");
    ContentTextColor = FSkin->GetColorByName(L"ContentTextColor");
    DockControlHideBarTextColor[0] = FSkin->GetColorByName(L"DockControlHiddenBarTextColor");
    DockControlHideBarTextColor[1] = FSkin->GetColorByName(L"DockControlHiddenBarTextHotColor");
    HeaderBackgroundColor = FSkin->GetColorByName(L"HeaderBackgroundColor");
    HeaderBackgroundTextColor = FSkin->GetColorByName(L"HeaderBackgroundTextColor");
    LayoutControlColor = FSkin->GetColorByName(L"LayoutControlColor");
    SelectionColor = FSkin->GetColorByName(L"SelectionColor");
    SelectionTextColor = FSkin->GetColorByName(L"SelectionTextColor");
  }
}
