// The main window built from its stored definition, as the program builds it.
#include "app/Unit5.h"
#include "bars/controls/dxBarDockControl.h"
#include "bars/controls/dxBarHintWindow.h"
#include "bars/controls/dxBarToolbarControl.h"
#include "tests/support/MessagePump.h"
#include "tests/app/AppTestSupport.h"

#include "platform/core/Streams.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/Jpeg.h"
#include "tests/support/ThreadWindows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

template <class T>
using Owned = std::unique_ptr<T, void (*)(TObject*)>;

template <class T>
Owned<T> Own(T* p) {
  return Owned<T>(p, &TObject::Free);
}

// An image list and a picture read straight from their stored bytes.
class TStoredImageList : public TImageList {
 public:
  using TImageList::TImageList;
  using TCustomImageList::ReadData;
};

class TStoredPicture : public TPicture {
 public:
  using TPicture::ReadData;
};

Owned<TMemoryStream> StreamOf(const std::vector<Byte>& bytes) {
  auto stream = Own(Make<TMemoryStream>());
  if (!bytes.empty()) stream->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
  stream->SetPosition(0);
  return stream;
}

Owned<TForm5> NewForm5() { return Own(static_cast<TForm5*>(TForm5::StaticClass()->NewInstance(nullptr))); }

TEST(Form5Definition, SetsTheStoredFormValues) {
  auto form = NewForm5();
  EXPECT_EQ(form->Name(), L"Form5");
  EXPECT_EQ(form->Caption(), L"岚泽家具生产设计系统3.0");
  EXPECT_EQ(form->WindowState(), wsMaximized);
  EXPECT_EQ(form->Left(), 0);
  EXPECT_EQ(form->Top(), 0);
  EXPECT_EQ(form->ClientWidth(), 873);
  EXPECT_EQ(form->ClientHeight(), 401);
  EXPECT_EQ(form->Color(), clBtnFace);
  EXPECT_FALSE(form->OldCreateOrder());
  EXPECT_EQ(form->PixelsPerInch(), 96);
  EXPECT_EQ(form->TextHeight(), 13);
  TFont* font = form->Font();
  EXPECT_EQ(font->Name(), L"Tahoma");
  EXPECT_EQ(font->Height(), -11);
  EXPECT_EQ(font->Charset(), DEFAULT_CHARSET);
  EXPECT_EQ(font->Color(), clWindowText);
  EXPECT_TRUE(font->Style().Empty());
  // Created hidden: the program's message loop shows it.
  EXPECT_FALSE(form->Visible());
}

TEST(Form5Definition, HoldsTheToolbarGlyphs) {
  auto form = NewForm5();
  TImageList* images = form->SmallImages;
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(images->Name(), L"SmallImages");
  EXPECT_EQ(images->Owner(), form.get());
  EXPECT_EQ(form->FindComponent(L"SmallImages"), images);
  EXPECT_EQ(images->Count(), 149);
  EXPECT_EQ(images->Width(), 16);
  EXPECT_EQ(images->Height(), 16);
  EXPECT_EQ(images->BkColor(), clNone);

  // Exactly the generated glyphs (compared as the list stores them).
  auto stored = Own(Make<TStoredImageList>(nullptr));
  auto bytes = StreamOf(ResourceBytes(L"SMALLIMAGES"));
  stored->ReadData(bytes.get());
  ASSERT_EQ(stored->Count(), 149);
  EXPECT_TRUE(images->Equal(stored.get()));
}

TEST(Form5Definition, ExitHandlerIsPublishedAndClosesTheForm) {
  auto form = NewForm5();
  const TPublishedMethod* method = TForm5::StaticClass()->FindMethod(L"btnExitClick");
  ASSERT_NE(method, nullptr);
  // Bound the way the component stream binds an OnClick by name.
  const TNotifyEvent click = TNotifyEvent::FromMethod(TMethod{method->Code, form.get(), method->Signature});
  ASSERT_TRUE(click.Assigned());

  form->SetWindowState(wsNormal);
  form->Show();
  ASSERT_TRUE(IsWindowVisible(form->Handle()));
  click(form.get());
  // Not the application's main form here: closing hides it.
  EXPECT_FALSE(form->Visible());
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
}

TEST(Form5Definition, HoldsTheToolbarWithItsElevenButtons) {
  auto form = NewForm5();
  TdxBarManager* manager = form->BarManager;
  ASSERT_NE(manager, nullptr);
  EXPECT_EQ(manager->Owner(), form.get());
  EXPECT_EQ(manager->Images(), form->SmallImages);
  EXPECT_EQ(manager->Bars()->DockControls(dsTop)->DockSize(), 27);
  ASSERT_EQ(manager->Bars()->Count(), 1);
  EXPECT_EQ(manager->Bars()->Items(0), form->ExpMenu);
  // Link order, which differs from the item order of the fields.
  TdxBarButton* const links[] = {form->btnChangePwd, form->btnChangeUser, form->btnLogout, form->dxBarButton1,
                                 form->dxBarButton7, form->dxBarButton9,  form->dxBarButton12, form->btnConfig2,
                                 form->btnPassword,  form->btnHelp,       form->btnExit};
  TdxBarItemLinks* itemLinks = form->ExpMenu->ItemLinks();
  ASSERT_EQ(itemLinks->Count(), 11);
  for (int i = 0; i < 11; ++i) {
    ASSERT_NE(links[i], nullptr) << i;
    EXPECT_EQ(itemLinks->Items(i)->Item(), links[i]) << i;
    EXPECT_EQ(itemLinks->Items(i)->BeginGroup(), i == 4 || i == 8 || i == 10) << i;
  }
  EXPECT_EQ(form->dxBarButton1->Index(), 6);
  EXPECT_EQ(form->btnExit->Caption(), L"退出系统");
}

TEST(Form5Definition, ExitButtonClosesTheForm) {
  auto form = NewForm5();
  form->SetWindowState(wsNormal);
  form->Show();
  form->btnHelp->Click();
  EXPECT_TRUE(form->Visible());
  form->btnExit->Click();
  EXPECT_FALSE(form->Visible());
}

TEST(Form5Definition, IsKnownToTheComponentStream) {
  EXPECT_EQ(GetClass(L"TForm5"), TForm5::StaticClass());
  EXPECT_EQ(GetClass(L"TImageList"), TImageList::StaticClass());
  EXPECT_EQ(GetClass(L"TdxBarManager"), TdxBarManager::StaticClass());
  EXPECT_EQ(GetClass(L"TdxBarButton"), TdxBarButton::StaticClass());
}

TEST(BackgroundPictureData, ReadsBackAsAJpegPicture) {
  auto picture = Own(Make<TStoredPicture>());
  auto bytes = StreamOf(ResourceBytes(L"BACKGROUND"));
  picture->ReadData(bytes.get());
  auto* jpeg = dynamic_cast<TJPEGImage*>(picture->Graphic());
  ASSERT_NE(jpeg, nullptr);
  EXPECT_EQ(jpeg->Width(), 1600);
  EXPECT_EQ(jpeg->Height(), 862);
  EXPECT_FALSE(jpeg->ProgressiveEncoding());
  EXPECT_EQ(bytes->Position(), bytes->Size());
  jpeg->DIBNeeded();   // decodes
}

// A thousand main windows built, shown, painted and freed leave no GDI object,
// window or image list behind. (GetGuiResources answers 0 under Wine, so the
// objects are counted where the library creates and deletes them.)
TEST(Form5Lifetime, AThousandFormsLeaveNoHandles) {
  auto canvas = Own(Make<TBitmap>());
  canvas->SetPixelFormat(pf32bit);
  canvas->SetSize(900, 420);
  {
    auto warmup = NewForm5();  // caches filled once (fonts, brushes, classes)
    warmup->SetWindowState(wsNormal);
    warmup->Show();
    warmup->PaintTo(canvas->Canvas(), 0, 0);
  }
  const long gdi = GdiAccounting::Live();
  const long lists = ImgListLiveHandles();
  const int windows = ThreadTopLevelWindowCount();
  for (int i = 0; i < 1000; ++i) {
    auto form = NewForm5();
    form->SetWindowState(wsNormal);
    form->Show();
    form->PaintTo(canvas->Canvas(), 0, 0);
    ASSERT_EQ(form->SmallImages->Count(), 149);
  }
  EXPECT_EQ(GdiAccounting::Live(), gdi);
  EXPECT_EQ(ImgListLiveHandles(), lists);
  EXPECT_EQ(ThreadTopLevelWindowCount(), windows);
}

}  // namespace

TEST(Form5Window, ToolbarDocksAtTheTopAndItsExitButtonClosesTheWindow) {
  auto form = NewForm5();
  form->SetWindowState(wsNormal);
  form->SetBounds(20, 20, 900, 500);
  form->Show();
  PumpQueuedMessages();
  TdxBarManager* manager = form->BarManager;
  auto* top = dynamic_cast<TdxDockControl*>(manager->Bars()->DockControls(dsTop)->DockControlObject());
  ASSERT_NE(top, nullptr);
  auto* toolbar = dynamic_cast<TdxBarControl*>(form->ExpMenu->Control()->BarControlObject());
  ASSERT_NE(toolbar, nullptr);
  ASSERT_TRUE(toolbar->HandleAllocated());
  EXPECT_EQ(GetParent(toolbar->WindowHandle()), top->WindowHandle());
  // One row: the dock is as thick as the toolbar, the toolbar as its tallest
  // button and the two-pixel border on each side (27 with the stored fonts'
  // metrics; the fonts that stand in for them here may be a pixel lower).
  int tallest = 0;
  for (int i = 0; i < 11; ++i) tallest = std::max(tallest, form->ExpMenu->ItemLinks()->Items(i)->ItemRect().Height());
  EXPECT_EQ(top->Height(), toolbar->Height());
  EXPECT_EQ(tallest + 4, toolbar->Height());
  EXPECT_GE(toolbar->Height(), 26);
  EXPECT_EQ(0, top->Top());
  EXPECT_EQ(form->ClientWidth(), toolbar->Width());  // a whole-row toolbar
  // Every one of the eleven buttons has its place on the row.
  for (int i = 0; i < 11; ++i) EXPECT_FALSE(form->ExpMenu->ItemLinks()->Items(i)->ItemRect().IsEmpty()) << i;

  // A real click on "退出系统": the cursor goes there, the toolbar gets the press and release.
  const TRect exitRect = form->ExpMenu->ItemLinks()->Items(10)->ItemRect();
  const TPoint exitPoint((exitRect.Left + exitRect.Right) / 2, (exitRect.Top + exitRect.Bottom) / 2);
  const TPoint screen = toolbar->ClientToScreen(exitPoint);
  SetCursorPos(screen.X, screen.Y);
  const LPARAM at = MAKELPARAM(exitPoint.X, exitPoint.Y);
  for (UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP}) {
    PostMessageW(toolbar->WindowHandle(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, at);
    PumpQueuedMessages();
  }
  EXPECT_FALSE(form->Visible());
}

// Real pointer input over the toolbar; the hint timers are run as their
// window timers would run them, so nothing waits for the clock.
TEST(Form5Window, HoveredButtonsShowTheirCaptionAsHintAndButtonsWithoutAHintNone) {
  auto form = NewForm5();
  form->SetWindowState(wsNormal);
  form->SetBounds(20, 20, 900, 500);
  form->Show();
  PumpQueuedMessages();
  auto* toolbar = dynamic_cast<TdxBarControl*>(form->ExpMenu->Control()->BarControlObject());
  ASSERT_NE(toolbar, nullptr);
  SetForegroundWindow(form->WindowHandle());
  struct Case {
    int Link;
    const wchar_t* Hint;  // null: the button has none
  } const cases[] = {{0, L"订单查询"}, {5, nullptr}, {4, L"材料库"}, {3, nullptr}, {6, nullptr}, {10, L"退出系统"}};
  const COLORREF background = static_cast<COLORREF>(ColorToRGB(clInfoBk));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Link);
    TdxBarItemLink* link = form->ExpMenu->ItemLinks()->Items(c.Link);
    const TRect r = link->ItemRect();
    const TPoint at = toolbar->ClientToScreen(TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    SendPointer(at.X, at.Y, 0);
    ASSERT_TRUE(PumpMessagesUntil([&] { return toolbar->SelectedLink() == link; }));
    PumpQueuedMessages();
    const UINT_PTR showTimer = dxBarHintTimers().HintTimer;
    ASSERT_NE(showTimer, 0u) << "hovering asks for the hint";
    dxBarHintTimerFired(showTimer);
    PumpQueuedMessages();
    auto* window = dynamic_cast<TdxBarHintWindow*>(dxBarHintWindow());
    ASSERT_NE(window, nullptr);
    if (!c.Hint) {
      EXPECT_FALSE(window->IsVisible());
      continue;
    }
    ASSERT_TRUE(window->IsVisible());
    EXPECT_EQ(window->Caption(), c.Hint);
    RECT bounds;
    GetWindowRect(window->WindowHandle(), &bounds);
    EXPECT_GT(bounds.top, at.Y) << "below the cursor";
    UpdateWindow(window->WindowHandle());
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetPixel(screen, bounds.left + 2, bounds.top + 3), background);
    EXPECT_EQ(GetPixel(screen, bounds.right - 3, bounds.bottom - 4), background);
    ReleaseDC(nullptr, screen);
  }
  form->Close();
  PumpQueuedMessages();
}
