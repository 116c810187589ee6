// Draws the common elements (buttons, check boxes, radio buttons, arrows,
// headers, scroll bars, borders) of every painter the library knows, in every
// state, into one labelled PNG - a quick way to look at all the looks at once.
//
//   lfgallery [output.png]        (default: lfgallery.png)
//
// The painters come from the look-and-feel's style table and the skin-painter
// registry, so a new painter shows up without changes here. Below them, every
// element of every registered skin in every state of its picture strip, one
// row per image index.
#include "platform/WinApi.h"

#include "foundation/FoundationModules.h"
#include "foundation/cxGraphicsCanvas.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/cxLookAndFeelPaintersRegistry.h"
#include "foundation/cxLookAndFeels.h"
#include "foundation/dxGDIPlusClasses.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Modules.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/GuiModules.h"
#include "platform/gui/StdCtrls.h"
#include "skins/SkinsModules.h"
#include "skins/dxSkinsLookAndFeelPainter.h"
#if __has_include("foundation/cxLookAndFeelPaintersStartup.h") && \
    __has_include("foundation/cxLookAndFeelPaintersStartup.cpp")
#include "foundation/cxLookAndFeelPaintersStartup.h"
#define LFGALLERY_HAS_PAINTERS_STARTUP 1
#endif

#include <cstdio>
#include <vector>

namespace {

constexpr int kLabelWidth = 230;
constexpr int kCellWidth = 96;
constexpr int kCellHeight = 30;
constexpr int kHeaderHeight = 26;
constexpr int kPainterGap = 8;

const TcxButtonState kStates[] = {cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled, cxbsDefault};
constexpr int kStateCount = 5;

struct Painter {
  String Label;
  TcxCustomLookAndFeelPainterClass Class;
};

std::vector<Painter> CollectPainters() {
  std::vector<Painter> result;
  auto add = [&result](const String& label, TcxCustomLookAndFeelPainterClass painter) {
    if (!painter) return;
    for (const Painter& p : result)
      if (p.Class == painter) return;
    result.push_back({label + L" (" + painter->ClassName() + L")", painter});
  };
  for (int s = 0; s < 5; ++s) {
    const auto style = static_cast<TcxLookAndFeelStyle>(s);
    add(TypeInfoOf<TcxLookAndFeelStyle>().NameOf(s), cxLookAndFeelStylePainter(style));
  }
  if (TcxExtendedStylePainters* registry = cxGetStylePainterRegistry())
    for (int i = 0; i < registry->Count(); ++i) add(L"skin " + registry->Names(i), registry->Painters(i));
  return result;
}

using TDrawCell = void (*)(TcxCustomLookAndFeelPainterClass P, TcxCanvas* C, const TRect& R,
                           TcxButtonState S);

struct Element {
  const Char* Name;
  TDrawCell Draw;
  bool PerState;
};

TRect Centered(const TRect& R, int W, int H) {
  const int x = R.Left + (R.Width() - W) / 2;
  const int y = R.Top + (R.Height() - H) / 2;
  return TRect(x, y, x + W, y + H);
}

const Element kElements[] = {
    {L"Button", [](auto P, auto C, const TRect& R, auto S) {
       P->DrawButton(C, Centered(R, 80, 24), L"Button", S, true, clDefault, clDefault, false, false);
     }, true},
    {L"Tool button", [](auto P, auto C, const TRect& R, auto S) {
       P->DrawButton(C, Centered(R, 80, 24), L"Tool", S, true, clDefault, clDefault, false, true);
     }, true},
    {L"Check box: unchecked / checked / grayed", [](auto P, auto C, const TRect& R, auto S) {
       const TSize size = P->CheckButtonSize();
       const int w = size.cx > 0 ? size.cx : 13, h = size.cy > 0 ? size.cy : 13;
       const TcxCheckBoxState checks[] = {cbsUnchecked, cbsChecked, cbsGrayed};
       for (int i = 0; i < 3; ++i) {
         const TRect cell(R.Left + 8 + i * (w + 8), R.Top, R.Left + 8 + i * (w + 8) + w, R.Bottom);
         P->DrawCheckButton(C, Centered(cell, w, h), S, checks[i]);
       }
     }, true},
    {L"Radio button: off / on", [](auto P, auto C, const TRect& R, auto S) {
       const TSize size = P->RadioButtonSize();
       const int w = size.cx > 0 ? size.cx : 13, h = size.cy > 0 ? size.cy : 13;
       for (int i = 0; i < 2; ++i)
         P->DrawRadioButton(C, R.Left + 12 + i * (w + 12), R.Top + (R.Height() - h) / 2, S, i == 1,
                            false, clDefault, false);
     }, true},
    {L"Arrows: up / down / left / right", [](auto P, auto C, const TRect& R, auto S) {
       const TcxArrowDirection dirs[] = {adUp, adDown, adLeft, adRight};
       for (int i = 0; i < 4; ++i) {
         const TRect cell(R.Left + 4 + i * 22, R.Top + 4, R.Left + 4 + i * 22 + 18, R.Top + 22);
         P->DrawArrow(C, cell, S, dirs[i], true);
       }
     }, true},
    {L"Header", [](auto P, auto C, const TRect& R, auto S) {
       const TRect bounds = Centered(R, 88, 22);
       TRect text = bounds;
       text.Left += 4;
       text.Right -= 4;
       P->DrawHeader(C, bounds, text, TcxNeighbors(), cxBordersAll, S, taLeftJustify, vaCenter,
                     false, false, L"Header", C->Font(), clWindowText, clBtnFace, nullptr, false,
                     false);
     }, true},
    {L"Scroll bar: line up / thumb / page", [](auto P, auto C, const TRect& R, auto S) {
       const TRect bar(R.Left + 4, R.Top + 6, R.Right - 4, R.Top + 23);
       P->DrawScrollBarBackground(C, bar, true);
       const int w = bar.Height();
       P->DrawScrollBarPart(C, true, TRect(bar.Left, bar.Top, bar.Left + w, bar.Bottom), sbpLineUp, S);
       P->DrawScrollBarPart(C, true, TRect(bar.Left + w, bar.Top, bar.Left + 2 * w, bar.Bottom),
                            sbpPageUp, S);
       P->DrawScrollBarPart(C, true, TRect(bar.Left + 2 * w, bar.Top, bar.Left + 4 * w, bar.Bottom),
                            sbpThumbnail, S);
       P->DrawScrollBarPart(C, true, TRect(bar.Right - w, bar.Top, bar.Right, bar.Bottom),
                            sbpLineDown, S);
     }, true},
    {L"Border", [](auto P, auto C, const TRect& R, auto) {
       P->DrawBorder(C, Centered(R, 80, 22));
     }, false},
};
constexpr int kElementCount = static_cast<int>(sizeof(kElements) / sizeof(kElements[0]));

constexpr int kSkinCellWidth = 44;
constexpr int kSkinCellHeight = 28;

struct SkinRow {
  String Label;
  TdxSkinElement* Element;
  int ImageIndex;
};

std::vector<SkinRow> CollectSkinRows(TcxCustomLookAndFeelPainterClass APainter) {
  std::vector<SkinRow> rows;
  auto* painter = dynamic_cast<const TdxSkinLookAndFeelPainter*>(APainter);
  TdxSkinLookAndFeelPainterInfo* info = painter ? painter->SkinInfo() : nullptr;
  if (!info || !info->Skin()) return rows;
  TdxSkin* skin = info->Skin();
  for (int g = 0; g < skin->GroupCount(); ++g)
    for (int e = 0; e < skin->Groups(g)->Count(); ++e) {
      TdxSkinElement* element = skin->Groups(g)->Elements(e);
      for (int i = 0; i < element->ImageCount(); ++i)
        rows.push_back({skin->Groups(g)->Name() + L"/" + element->Name() +
                            (element->ImageCount() > 1 ? L" #" + IntToStr(i) : String()),
                        element, i});
    }
  return rows;
}

void Label(TCanvas* canvas, int x, int y, const String& text, bool bold = false) {
  canvas->Brush()->SetStyle(bsClear);
  canvas->Font()->SetColor(clBlack);
  canvas->Font()->SetStyle(bold ? TFontStyles{fsBold} : TFontStyles());
  canvas->TextOut(x, y, text);
}

int Run(const String& output) {
  const std::vector<Painter> painters = CollectPainters();
  const int width = kLabelWidth + kStateCount * kCellWidth + 8;
  const int blockHeight = kHeaderHeight + kElementCount * kCellHeight + kPainterGap;
  int height = kHeaderHeight + static_cast<int>(painters.size()) * blockHeight;
  std::vector<std::pair<const Painter*, std::vector<SkinRow>>> skins;
  for (const Painter& painter : painters) {
    std::vector<SkinRow> rows = CollectSkinRows(painter.Class);
    if (rows.empty()) continue;
    height += 2 * kHeaderHeight + static_cast<int>(rows.size()) * kSkinCellHeight + kPainterGap;
    skins.push_back({&painter, std::move(rows)});
  }

  TBitmap* bitmap = Make<TBitmap>(width, height);
  TcxCanvas* canvas = nullptr;
  TdxPNGImage* png = nullptr;
  try {
    bitmap->SetPixelFormat(pf32bit);
    TCanvas* c = bitmap->Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect(0, 0, width, height));
    c->Font()->SetName(L"Tahoma");
    c->Font()->SetHeight(-11);
    for (int s = 0; s < kStateCount; ++s)
      Label(c, kLabelWidth + s * kCellWidth + 4, 6, TypeInfoOf<TcxButtonState>().NameOf(kStates[s]), true);

    canvas = Make<TcxCanvas>(c);
    int y = kHeaderHeight;
    for (const Painter& painter : painters) {
      c->Brush()->SetStyle(bsSolid);
      c->Brush()->SetColor(TColor(0xEEDDCC));
      c->FillRect(TRect(0, y, width, y + kHeaderHeight - 2));
      Label(c, 6, y + 5, painter.Label, true);
      y += kHeaderHeight;
      for (const Element& element : kElements) {
        Label(c, 14, y + 8, element.Name);
        for (int s = 0; s < (element.PerState ? kStateCount : 1); ++s) {
          const TRect cell(kLabelWidth + s * kCellWidth, y, kLabelWidth + (s + 1) * kCellWidth, y + kCellHeight);
          c->Brush()->SetStyle(bsSolid);
          c->Brush()->SetColor(clBtnFace);
          c->FillRect(TRect(cell.Left + 1, cell.Top + 1, cell.Right - 1, cell.Bottom - 1));
          canvas->SaveState();
          canvas->SaveClipRegion();
          canvas->IntersectClipRect(cell);
          try {
            element.Draw(painter.Class, canvas, cell, kStates[s]);
          } catch (Exception& e) {
            std::fwprintf(stderr, L"%ls / %ls: %ls\n", painter.Label.c_str(), element.Name, e.Message.c_str());
          }
          canvas->RestoreClipRegion();
          canvas->RestoreState();
        }
        y += kCellHeight;
      }
      y += kPainterGap;
    }
    static const wchar_t* const stateNames[dxSkinElementStateCount] = {
        L"normal", L"hot", L"pressed", L"disabled", L"active", L"focused", L"dropped", L"checked",
        L"hotcheck", L"actdis", L"chkpress"};
    for (const auto& [painter, rows] : skins) {
      c->Brush()->SetStyle(bsSolid);
      c->Brush()->SetColor(TColor(0xEEDDCC));
      c->FillRect(TRect(0, y, width, y + kHeaderHeight - 2));
      Label(c, 6, y + 5, painter->Label + L": every element in every state", true);
      y += kHeaderHeight;
      for (int s = 0; s < dxSkinElementStateCount; ++s)
        Label(c, kLabelWidth + s * kSkinCellWidth + 2, y + 6, stateNames[s]);
      y += kHeaderHeight;
      for (const SkinRow& row : rows) {
        Label(c, 14, y + 7, row.Label);
        const TdxSkinElementStates states = row.Element->Image()->States();
        for (int s = 0; s < dxSkinElementStateCount; ++s) {
          const auto state = static_cast<TdxSkinElementState>(s);
          if (!states.Contains(state) && !(states.Empty() && s == 0)) continue;
          const TRect cell(kLabelWidth + s * kSkinCellWidth + 2, y + 2, kLabelWidth + (s + 1) * kSkinCellWidth - 2,
                           y + kSkinCellHeight - 2);
          try {
            row.Element->Draw(c->Handle(), cell, row.ImageIndex, state);
          } catch (Exception& e) {
            std::fwprintf(stderr, L"%ls: %ls\n", row.Label.c_str(), e.Message.c_str());
          }
        }
        y += kSkinCellHeight;
      }
      y += kPainterGap;
    }
    // GDI leaves the alpha bytes at zero; the picture is opaque.
    for (int row = 0; row < height; ++row) {
      auto* pixel = static_cast<unsigned char*>(bitmap->ScanLine(row));
      for (int x = 0; x < width; ++x) pixel[x * 4 + 3] = 255;
    }
    png = Make<TdxPNGImage>();
    png->Assign(bitmap);
    png->SaveToFile(output);
  } catch (...) {
    TObject::Free(png);
    TObject::Free(canvas);
    TObject::Free(bitmap);
    throw;
  }
  TObject::Free(png);
  TObject::Free(canvas);
  TObject::Free(bitmap);
  std::wprintf(L"%d painters -> %ls\n", static_cast<int>(painters.size()), output.c_str());
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const String output = argc > 1 ? String(argv[1]) : String(L"lfgallery.png");
  std::vector<TModuleStep> steps;
  for (auto list : {PlatformCoreModules(), PlatformGuiModules(), FoundationModulesBeforeSkins(), SkinsEngineModules(),
                    FoundationModulesAfterSkins(), SkinsPainterModules()})
    steps.insert(steps.end(), list.begin(), list.end());
  int result = 1;
  try {
    InitializeModules(steps);
    // Counted start-ups: harmless when the module list ran them already.
#ifdef LFGALLERY_HAS_PAINTERS_STARTUP
    cxLookAndFeelPaintersInitialize();
#endif
    cxLookAndFeelPaintersRegistryInitialize();
    cxLookAndFeelsInitialize();
    result = Run(output);
    cxLookAndFeelsFinalize();
    cxLookAndFeelPaintersRegistryFinalize();
#ifdef LFGALLERY_HAS_PAINTERS_STARTUP
    cxLookAndFeelPaintersFinalize();
#endif
  } catch (Exception& e) {
    std::fwprintf(stderr, L"lfgallery: %ls\n", e.Message.c_str());
  }
  FinalizeModules();
  return result;
}
