// A form with a bar manager and one toolbar of buttons, shown on the screen,
// and real mouse input for it: the cursor is put where the messages say.
#pragma once

#include "bars/controls/dxBarDockControl.h"
#include "bars/controls/dxBarToolbarControl.h"
#include "bars/model/dxBar.h"
#include "platform/gui/Forms.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include <vector>

class TBarWindowForm : public TForm {
  DECLARE_CLASS(TBarWindowForm, TForm)
  explicit TBarWindowForm(TComponent* AOwner) : TForm(AOwner, 0) {}
  void ButtonClick(TObject* Sender) { Clicks.push_back(static_cast<TdxBarItem*>(Sender)); }
  std::vector<TdxBarItem*> Clicks;
};

class TBarWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A toolbar docked at the top with buttons of the given captions.
  TdxBar* AddToolbar(std::initializer_list<const wchar_t*> ACaptions, TdxBarDockingStyle AStyle = dsTop);
  TdxBarControl* ControlOf(TdxBar* ABar) const;
  TdxDockControl* Dock(TdxBarDockingStyle AStyle) const;
  TdxBarButtonControl* ButtonControl(TdxBar* ABar, int AIndex) const;
  // The centre of a link's rectangle on the screen.
  TPoint ScreenCenter(TdxBar* ABar, int AIndex) const;

  // Real mouse input at a screen point: the cursor moves there and the
  // window under it gets the message.
  void MouseMoveTo(TPoint AScreen);
  void MouseDown(TPoint AScreen, bool ADouble = false);
  void MouseUp(TPoint AScreen);
  void Click(TPoint AScreen);

  TBarWindowForm* Form = nullptr;
  TdxBarManager* Manager = nullptr;

 private:
  void SendMouse(UINT AMessage, TPoint AScreen, WPARAM AKeys);
};
