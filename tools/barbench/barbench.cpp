// Times of one toolbar size query for a floating (multi-row) toolbar of 40
// buttons: the size for a height searches row breaks by narrowing the length
// and lays the items out at each step. Measured on the layout values alone and
// through a toolbar window whose item controls measure their captions.
// Then the repaint a hovered button causes on that window, each button with
// a caption and a 16x16 glyph with alpha: the pointer moving onto the next
// button (its rectangle and the previous one's repainted), and one button's
// own repaint (its rectangle invalidated and painted, which includes handing
// the window's pixels on to the display), and that button's paint alone (the
// paint message with a bitmap's device context clipped to the button).
// Prints the median and the fastest time per query of several runs.
//
//   barbench.exe [runs]        (default 15 runs of 200 queries each)
#include "platform/WinApi.h"
#include "tools/common/BenchTiming.h"

#include "bars/controls/dxBarControlsModules.h"
#include "bars/controls/dxBarToolbarControl.h"
#include "bars/controls/dxBarToolbarLayout.h"
#include "bars/model/dxBar.h"
#include "foundation/FoundationModules.h"
#include "foundation/cxGraphicsBitmaps.h"
#include "foundation/cxGraphicsImageList.h"
#include "platform/core/Modules.h"
#include "platform/gui/Forms.h"
#include "platform/gui/GuiModules.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kQueries = 200;
constexpr int kItems = 40;

// Heights from one row to many, so that the search runs from short to long.
int HeightFor(int AQuery) { return 22 + (AQuery % 12) * 22; }

// A 16x16 glyph with alpha: an opaque square in a see-through border.
void AddGlyph(TcxImageList* AImages) {
  auto* glyph = Make<TcxBitmap32>(16, 16, true);
  for (int y = 2; y < 14; ++y) {
    auto* row = static_cast<DWORD*>(glyph->ScanLine(y));
    for (int x = 2; x < 14; ++x) row[x] = 0xFF2060C0;
  }
  AImages->Add(glyph, nullptr);
  TObject::Free(glyph);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 15;
  std::vector<TModuleStep> steps;
  for (auto list : {PlatformCoreModules(), PlatformGuiModules(), FoundationModules(), BarTextsModules(),
                    BarModuleModules(), BarControlsModules()})
    steps.insert(steps.end(), list.begin(), list.end());
  InitializeModules(steps);
  std::printf("barbench: %d runs of %d queries, a floating toolbar of %d buttons\n", runs, kQueries, kItems);

  {
    TdxBarToolbarLayoutInput layout;
    layout.DockingStyle = dsNone;
    for (int i = 0; i < kItems; ++i) {
      TdxBarLayoutItem item;
      item.Width = 40 + (i * 37) % 60;
      item.Height = 22;
      item.BeginGroup = i > 0 && i % 5 == 0;
      layout.Items.push_back(item);
    }
    BenchMeasure("size for a height, layout values", runs, kQueries,
                 [&](int q) { dxBarToolbarSizeForHeight(layout, dsNone, HeightFor(q)); });
    BenchMeasure("size for a length, layout values", runs, kQueries,
                 [&](int q) { dxBarToolbarSizeForLength(layout, dsNone, 120 + (q % 20) * 60); });
  }

  {
    auto* form = Make<TForm>(nullptr, 0);
    form->SetBounds(0, 0, 800, 600);
    auto* manager = Make<TdxBarManager>(form);
    auto* images = Make<TcxImageList>(form, 16, 16);
    AddGlyph(images);
    manager->ImageOptions()->SetImages(images);
    TdxBar* bar = manager->AddToolBar();
    bar->SetDockingStyle(dsNone);
    bar->SetFloatClientWidth(600);
    static const wchar_t* const captions[] = {L"订单查询", L"订单管理", L"生产排单", L"生产用料统计", L"材料库",
                                              L"五金件",   L"封边带",   L"工艺设置", L"修改密码",     L"远程协助"};
    for (int i = 0; i < kItems; ++i) {
      TdxBarButton* button = manager->AddButton();
      button->SetCaption(captions[i % 10]);
      button->SetImageIndex(0);
      button->SetPaintStyle(psCaptionGlyph);
      bar->ItemLinks()->Add(button)->SetBeginGroup(i > 0 && i % 5 == 0);
    }
    bar->SetVisible(true);
    form->Show();
    auto* control = dynamic_cast<TdxBarControl*>(bar->Control()->BarControlObject());
    BenchMeasure("size for a height, toolbar window", runs, kQueries,
                 [&](int q) { control->CalcSizeForHeight(dsNone, HeightFor(q)); });
    BenchMeasure("size for a length, toolbar window", runs, kQueries,
                 [&](int q) { control->CalcSizeForLength(dsNone, 120 + (q % 20) * 60); });

    const HWND wnd = control->WindowHandle();
    UpdateWindow(wnd);
    auto linkRect = [&](int AIndex) { return bar->ItemLinks()->Items(AIndex % 10)->ItemRect(); };
    BenchMeasure("hover onto the next button, both repainted", runs, kQueries, [&](int q) {
      const TRect r = linkRect(q);
      SendMessageW(wnd, WM_MOUSEMOVE, 0, MAKELPARAM((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
      UpdateWindow(wnd);
    });
    BenchMeasure("one button's repaint", runs, kQueries, [&](int q) {
      const TRect r = linkRect(q);
      const RECT rect{r.Left, r.Top, r.Right, r.Bottom};
      InvalidateRect(wnd, &rect, FALSE);
      UpdateWindow(wnd);
    });
    {
      auto* buffer = Make<TBitmap>();
      buffer->SetPixelFormat(pf32bit);
      buffer->SetSize(control->Width(), control->Height());
      HDC dc = buffer->Canvas()->Handle();
      BenchMeasure("one button's paint, into a bitmap", runs, kQueries, [&](int q) {
        const TRect r = linkRect(q);
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
        SendMessageW(wnd, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        RestoreDC(dc, saved);
      });
      TObject::Free(buffer);
    }
    TObject::Free(form);
  }
  FinalizeModules();
  return 0;
}
