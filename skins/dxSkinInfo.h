// A skin resolved once into the named members the skin painters read, and
// again after every change of the skin. Missing groups, and missing elements
// the painters rely on, are added to the skin as placeholders.
#pragma once

#include "foundation/cxClassesComponents.h"
#include "skins/dxSkinsCore.h"

// One part of a scroll bar: the element and the image index it draws with.
class TdxSkinScrollInfo : public TObject {
  DECLARE_CLASS(TdxSkinScrollInfo, TObject)
  TdxSkinScrollInfo(TdxSkinElement* AElement, int AImageIndex, TcxScrollBarPart APart);
  bool Draw(HDC DC, const TRect& R, int AImageIndex, TdxSkinElementState AState);
  bool Draw(HDC DC, const TRect& R, TdxSkinElementState AState) { return Draw(DC, R, FImageIndex, AState); }
  TdxSkinElement* Element() const { return FElement; }
  int ImageIndex() const { return FImageIndex; }

 private:
  TdxSkinElement* FElement;
  int FImageIndex;
};

// The resolved members; a Rebuild starts from these defaults, so that nothing
// keeps pointing into a skin that went away.
struct TdxSkinInfoMembers {
  using E = TdxSkinElement*;
  using C = TdxSkinColor*;
  // Groups
  TdxSkinControlGroup *Group_Bars = nullptr, *Group_Common = nullptr, *Group_Docking = nullptr,
                      *Group_Editors = nullptr, *Group_Ribbon = nullptr, *Group_Form = nullptr,
                      *Group_Grid = nullptr, *Group_Tabs = nullptr, *Group_Scheduler = nullptr,
                      *Group_VGrid = nullptr, *Group_NavBar = nullptr, *Group_NavPane = nullptr,
                      *Group_PrintingSystem = nullptr;
  // Bars
  E Bar = nullptr, BarCustomize = nullptr, BarCustomizeVertical = nullptr, BarDrag = nullptr,
    BarDragVertical = nullptr, BarMDIButtonClose = nullptr, BarMDIButtonMinimize = nullptr,
    BarMDIButtonRestore = nullptr, BarSeparator = nullptr, BarVertical = nullptr, BarVerticalSeparator = nullptr,
    Dock = nullptr, FloatingBar = nullptr, ItemSeparator = nullptr, LinkBorderPainter = nullptr,
    LinkSelected = nullptr, MainMenu = nullptr, MainMenuCustomize = nullptr, MainMenuDrag = nullptr,
    MainMenuLinkSelected = nullptr, MainMenuVertical = nullptr, PopupMenu = nullptr, PopupMenuCheck = nullptr,
    PopupMenuExpandButton = nullptr, PopupMenuLinkSelected = nullptr, PopupMenuSeparator = nullptr,
    PopupMenuSideStrip = nullptr, PopupMenuSideStripNonRecent = nullptr, PopupMenuSplitButton = nullptr,
    PopupMenuSplitButton2 = nullptr;
  // Form
  E FormIcons[2][6] = {};
  E FormFrames[8] = {};
  TRect FormBorderWidths[2] = {};
  E FormStatusBar = nullptr, FormContent = nullptr;
  C FormInactiveColor = nullptr, FormTextShadowColor = nullptr;
  int FormCaptionDelta = 1;
  // Docking
  E DockControlTabHeaderBackground = nullptr, DockControlTabHeaderLine = nullptr,
    DockControlHideBarButtons = nullptr, DockControlWindowButton = nullptr, DockControlWindowButtonGlyphs = nullptr,
    DockControlTabHeader = nullptr, DockControlHideBar = nullptr, DockControlHideBarLeft = nullptr,
    DockControlHideBarRight = nullptr, DockControlHideBarBottom = nullptr, DockControlCaption = nullptr,
    DockControlBorder = nullptr;
  TColor DockControlCaptionNonFocusedTextColor = clDefault;
  int DockControlIndents[3] = {};
  // Buttons, footer, editors
  E ButtonElements = nullptr, ExpandButton = nullptr;
  C ButtonDisabled = nullptr;
  E FooterCell = nullptr, FooterPanel = nullptr;
  C CalcEditButtonTextColors[28] = {};
  C CalendarDayTextColor = nullptr, CalendarHolidayTextColor = nullptr, CalendarInactiveDayTextColor = nullptr,
    CalendarSelectedDayTextColor = nullptr, CalendarSelectedDayColor = nullptr, CalendarSeparatorColor = nullptr,
    CalendarTodayFrameColor = nullptr, CalendarTodayTextColor = nullptr;
  E CheckboxElement = nullptr;
  E ClockElements[2] = {};
  E LabelLine[2] = {};
  E EditButtonElements[2] = {};
  E EditButtonGlyphs[8] = {};
  // Group box
  E GroupBoxClient = nullptr, GroupExpandButton = nullptr;
  E GroupBoxElements[5] = {};
  E GroupBoxCaptionElements[4] = {};
  // Grid and vertical grid
  E GridFixedLine = nullptr, CardViewSeparator = nullptr, GridGroupByBox = nullptr, GridGroupRow = nullptr,
    GridLine = nullptr, VGridCategory = nullptr, VGridRowHeader = nullptr;
  E VGridLine[2] = {};
  C GridGroupRowStyleOffice11ContentColor = nullptr, GridGroupRowStyleOffice11SeparatorColor = nullptr,
    GridGroupRowStyleOffice11TextColor = nullptr;
  E IndicatorImages = nullptr;
  // Navigation bar and pane
  E NavBarBackgroundColor = nullptr, NavBarGroupClient = nullptr, NavBarItem = nullptr, NavBarGroupHeader = nullptr;
  E NavBarGroupButtons[2] = {};
  E NavPaneCollapseButton = nullptr, NavPaneCollapsedGroupClient = nullptr, NavPaneExpandButton = nullptr,
    NavPaneFormBorder = nullptr, NavPaneFormSizeGrip = nullptr, NavPaneGroupCaption = nullptr,
    NavPaneSplitter = nullptr, NavPaneOverflowPanel = nullptr, NavPaneOverflowPanelItem = nullptr,
    NavPaneOverflowPanelExpandedItem = nullptr, NavPaneGroupClient = nullptr, NavPaneItem = nullptr,
    NavPaneSelectedItem = nullptr;
  E NavPaneGroupButton[2] = {};
  E NavPaneScrollButtons[2] = {};
  TdxSkinIntegerProperty *NavPaneCaptionHeight = nullptr, *NavPaneCaptionFontSize = nullptr;
  TdxSkinBooleanProperty* NavPaneOffsetGroupBorders = nullptr;
  E NavigatorGlyphs = nullptr, NavigatorGlyphsVert = nullptr;
  // Scheduler
  E SchedulerTimeGridHeader[2] = {};
  E SchedulerTimeLine = nullptr, SchedulerTimeRuler = nullptr, SchedulerMoreButton = nullptr,
    SchedulerCurrentTimeIndicator = nullptr, SchedulerAppointmentMask = nullptr,
    SchedulerTimeGridCurrentTimeIndicator = nullptr;
  E SchedulerAppointment[2] = {};
  E SchedulerAllDayArea[2] = {};
  E SchedulerAppointmentShadow[2] = {};
  E SchedulerNavigationButtons[2] = {};
  E SchedulerNavigationButtonsArrow[2] = {};
  TdxSkinIntegerProperty* SchedulerAppointmentBorderSize = nullptr;
  C SchedulerAppointmentBorder = nullptr;
  // Header, filter, page control, progress, radio
  E Header = nullptr, HeaderSpecial = nullptr;
  E FilterButtons[2] = {};
  E FilterPanel = nullptr;
  E PageControlHeader = nullptr, PageControlButtonHorz = nullptr, PageControlButtonVert = nullptr,
    PageControlPane = nullptr;
  int PageControlIndents[6] = {};
  E ProgressBarElements[4] = {};
  C ProgressBarTextColors[2] = {};
  E RadioGroupButton = nullptr;
  // Ribbon
  E RibbonApplicationButton = nullptr, RibbonCollapsedToolBarBackground = nullptr,
    RibbonCollapsedToolBarGlyphBackground = nullptr, RibbonFormCaption = nullptr, RibbonTab = nullptr,
    RibbonTabPanel = nullptr, RibbonTabPanelGroupButton = nullptr, RibbonTabSeparatorLine = nullptr,
    RibbonTabGroup = nullptr, RibbonTabGroupHeader = nullptr, RibbonTabGroupItemsSeparator = nullptr,
    RibbonGalleryBackground = nullptr, RibbonGalleryButtonDown = nullptr, RibbonGalleryButtonDropDown = nullptr,
    RibbonGalleryButtonUp = nullptr, RibbonGalleryGroupCaption = nullptr, RibbonGalleryPane = nullptr,
    RibbonGallerySizingPanel = nullptr, RibbonGallerySizeGrips = nullptr, RibbonHeaderBackground = nullptr,
    RibbonSmallButton = nullptr, RibbonSplitButtonLeft = nullptr, RibbonSplitButtonRight = nullptr,
    RibbonKeyTip = nullptr, RibbonLargeButton = nullptr, RibbonLargeSplitButtonTop = nullptr,
    RibbonLargeSplitButtonBottom = nullptr, RibbonButtonArrow = nullptr, RibbonButtonGroup = nullptr,
    RibbonStatusBarBackground = nullptr, RibbonStatusBarButton = nullptr, RibbonStatusBarSeparator = nullptr,
    RibbonQuickToolbarBelow = nullptr, RibbonQuickToolbarButtonGlyph = nullptr, RibbonQuickToolbarDropDown = nullptr,
    RibbonQuickToolbarGlyph = nullptr, RibbonButtonGroupButton = nullptr, RibbonButtonGroupSeparator = nullptr,
    RibbonContextualTabLabel = nullptr, RibbonContextualTabLabelOnGlass = nullptr,
    RibbonContextualTabSeparator = nullptr, RibbonContextualTabHeader = nullptr, RibbonContextualTabPanel = nullptr;
  E RibbonApplicationMenuBorders[2] = {};
  E RibbonFormBottom[2] = {};
  E RibbonFormLeft[2] = {};
  E RibbonFormRight[2] = {};
  E RibbonQuickToolbar[2] = {};
  E RibbonGroupScroll[2] = {};
  TdxSkinBooleanProperty* RibbonQATCustomizeButtonOutsizeQAT[2] = {};
  TdxSkinIntegerProperty* RibbonQATIndentBeforeCustomizeButton[2] = {};
  TdxSkinIntegerProperty* RibbonCaptionFontDelta = nullptr;
  int RibbonIndents[4] = {};
  C RibbonEditorBackground = nullptr, RibbonExtraPaneColor = nullptr, RibbonExtraPaneHeaderSeparator = nullptr;
  TColor RibbonCaptionText[2] = {clDefault, clDefault};
  TColor RibbonTabTextHot = clDefault;
  TColor RibbonTabText[2] = {clDefault, clDefault};
  TColor RibbonContextualTabHeaderText[2] = {clDefault, clDefault};
  TColor RibbonContextualTabHeaderTextHot = clDefault;
  TColor RibbonDocumentNameTextColor[2] = {clDefault, clDefault};
  TColor RibbonStatusBarText = clDefault, RibbonStatusBarTextHot = clDefault, RibbonStatusBarTextDisabled = clDefault;
  TColor RibbonButtonText[2] = {clDefault, clDefault};
  // Size grip, splitter, track bar, screen tip, printing
  E SizeGrip = nullptr;
  E Splitter[2] = {};
  E TrackBarTrack[2] = {};
  E TrackBarThumb[2][3] = {};
  E ScreenTipWindow = nullptr, ScreenTipSeparator = nullptr;
  C ScreenTipItem = nullptr, ScreenTipTitleItem = nullptr;
  E PrintingPageBorder = nullptr, PrintingPreviewBackground = nullptr;
  // Colours
  C BarDisabledTextColor = nullptr;
  C DockControlTabTextColor[2] = {};
  C SchedulerNavigatorColor = nullptr;
  C TabTextColor = nullptr, TabTextColorActive = nullptr, TabTextColorDisabled = nullptr, TabTextColorHot = nullptr;
  C HyperLinkTextColor = nullptr;
  C EditorTextColors[4] = {};
  C EditorBackgroundColors[4] = {};
  C ContainerBorderColor = nullptr, ContainerHighlightBorderColor = nullptr, ContentColor = nullptr,
    ContentEvenColor = nullptr, ContentOddColor = nullptr, ContentTextColor = nullptr, HeaderBackgroundColor = nullptr,
    HeaderBackgroundTextColor = nullptr, LayoutControlColor = nullptr, SelectionColor = nullptr,
    SelectionTextColor = nullptr;
  C DockControlHideBarTextColor[2] = {};
};

class TdxSkinInfo : public TcxIUnknownObject, public IdxSkinChangeListener, public TdxSkinInfoMembers {
  DECLARE_CLASS(TdxSkinInfo, TcxIUnknownObject)
  // Takes ownership of ASkin.
  explicit TdxSkinInfo(TdxSkin* ASkin);
  ~TdxSkinInfo() override;

  TdxSkin* Skin() const { return FSkin; }
  void SetSkin(TdxSkin* AValue);
  void HandleSkinChange(TdxSkin* ASkin) override;
  virtual void Rebuild();
  virtual void ReleaseScrollInfos();

  // [horizontal][part]
  TdxSkinScrollInfo* ScrollBar_Elements[2][6] = {};

 protected:
  TdxSkinControlGroup* GetGroup(const wchar_t* AName);
  TdxSkinElement* GetElement(TdxSkinControlGroup* AGroup, const wchar_t* AName, bool ACreate = true);

 private:
  TdxSkin* FSkin = nullptr;
};

// The table a skin painter is registered with. The painters' caches forget
// their renderings when it changes or goes, so that none outlives its element.
class TdxSkinLookAndFeelPainterInfo : public TdxSkinInfo {
  DECLARE_CLASS(TdxSkinLookAndFeelPainterInfo, TdxSkinInfo)
  using TdxSkinInfo::TdxSkinInfo;
  ~TdxSkinLookAndFeelPainterInfo() override;
  void HandleSkinChange(TdxSkin* ASkin) override;
};
