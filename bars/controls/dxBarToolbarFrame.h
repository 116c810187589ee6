// The frame of a toolbar window as values: how a point of the frame is hit
// (move zone, resize edge, close button), how a dragged edge resizes a
// floating toolbar, how a floating toolbar is kept on the screen, where the
// MDI buttons and the caption buttons lie. The toolbar window fills the
// inputs from its state and applies the results; nothing here needs a window.
#pragma once

#include "bars/model/dxBarBase.h"

#include <vector>

// What the hit test of a toolbar's frame reads.
struct TdxBarFrameHitTestInput {
  int Inherited = HTNOWHERE;  // the system's answer
  bool Unmoved = false;       // the bar cannot be moved (bboUnmoved)
  TdxBarDockingStyle DockingStyle = dsNone;
  bool Customizing = false;
  TPoint Client;            // the point in client coordinates
  TPoint Window;            // the point in window coordinates
  TSize WindowSize;
  int BorderSizeX = 0;      // the floating frame's resize bands
  int BorderSizeY = 0;
  bool OverItem = false;    // an item that takes the mouse (any item while customizing)
  bool OverMDIArea = false; // an MDI button (or the close button of the MDI area)
  bool OverMark = false;
  bool OverSizeGrip = false;
  bool OverCloseButton = false;
  bool OverCaptionButton = false;
  bool UseSystemClose = false;  // the painter's close button is the system's
};

// The answer to the system and the code the toolbar remembers (HTCAPTION: a
// press there starts a drag; 0: the point belongs to a part of the bar).
struct TdxBarFrameHitTest {
  int Answer = HTCLIENT;
  int HitTest = 0;
};

TdxBarFrameHitTest dxBarFrameHitTest(const TdxBarFrameHitTestInput& AInput);

// A floating toolbar that lies outside every work area comes back to the
// edge of the work area under the mouse (on each axis it left it);
// AMoved tells whether it was moved.
TRect dxBarKeepFloatingRectOnScreen(const TRect& ARect, const std::vector<TRect>& AWorkAreas,
                                    const TRect& AMouseWorkArea, bool& AMoved);

// Where the MDI buttons of a main menu bar lie (client coordinates).
struct TdxBarMDIButtonsGeometry {
  TSize Client;
  bool Docked = true;
  bool Vertical = false;     // docked left or right
  int MarkAreaSize = 0;
  // The size of one button along and across a horizontal bar.
  int ButtonWidth = 0;
  int ButtonHeight = 0;
  bool ShowsMDIButtons = true;  // else only the close button shows
  int MDIAreaLength = 0;        // along the bar
  bool MultiRow = false;
  bool OwnRow = false;          // the buttons take a row of their own
  int LastRowHeight = 0;
};
// AButton: 0 minimize, 1 restore, 2 close.
TRect dxBarMDIButtonRect(const TdxBarMDIButtonsGeometry& AGeometry, int AButton);

// The caption buttons placed right to left in the caption (window
// coordinates), each a square of the caption's height, ending at ARight.
std::vector<TRect> dxBarLayoutCaptionButtons(const TRect& ACaption, int ARight, int ACount);

// The MDI buttons' press state, one for the process: a button is held, the
// cursor is over the held (or hot) button, which is held and which is hot.
struct TdxBarMDIButtonPressState {
  bool Pressed = false;
  bool Inside = false;
  int HeldIndex = -1;
  int HotIndex = -1;
};
TdxBarMDIButtonPressState& dxBarMDIButtonPressState();

// The fading helpers of a toolbar's mark and MDI buttons (made and freed with the toolbar).
class TdxBarControl;
class TdxBarControlMarkFadingHelper;
class TdxBarControlMDIButtonFadingHelper;
TdxBarControlMarkFadingHelper* dxBarCreateMarkFadingHelper(TdxBarControl* AOwner);
TdxBarControlMDIButtonFadingHelper* dxBarCreateMDIButtonFadingHelper(TdxBarControl* AOwner, int AButton);
void dxBarFreeFadingHelpers(TdxBarControl* AOwner);
