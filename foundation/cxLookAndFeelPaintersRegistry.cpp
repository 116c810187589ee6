// The skin-painter registry and the painters' shared drawing resources.
#include "platform/WinApi.h"
#include "foundation/cxLookAndFeelPaintersRegistry.h"

#include "platform/core/SysUtils.h"
#include "platform/gui/GdiAccounting.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/ImgList.h"

// ---------------------------------------------------------------------------
// TcxExtendedStylePainterInfo
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TcxExtendedStylePainterInfo, TObject, nullptr)

TcxExtendedStylePainterInfo::TcxExtendedStylePainterInfo(const String& AName,
                                                         TcxCustomLookAndFeelPainterClass APainter,
                                                         TObject* AData)
    : FData(AData), FName(AName), FPainter(APainter) {}

TcxExtendedStylePainterInfo::~TcxExtendedStylePainterInfo() { FreeAndNil(FData); }

// ---------------------------------------------------------------------------
// TcxExtendedStylePainters
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TcxExtendedStylePainters, TcxObjectList, (ConstructPlain<TcxExtendedStylePainters>))

TcxExtendedStylePainters::TcxExtendedStylePainters()
    : TcxObjectList(true), FListeners(Make<TInterfaceList>()) {
  FListeners->_AddRef();
}

TcxExtendedStylePainters::~TcxExtendedStylePainters() {
  TInterfaceList* listeners = FListeners;
  FListeners = nullptr;
  listeners->_Release();
  Clear();  // the entries and their data
}

int TcxExtendedStylePainters::IndexOfName(const String& AName) const {
  // Names are matched with A-Z folded only, so a skin name in another script
  // keeps its exact spelling.
  for (int i = 0; i < Count(); ++i)
    if (SameText(Names(i), AName)) return i;
  return -1;
}

bool TcxExtendedStylePainters::GetPainterByName(const String& AName,
                                                TcxCustomLookAndFeelPainterClass& Painter) const {
  const int index = IndexOfName(AName);
  if (index < 0) return false;
  Painter = Painters(index);
  return true;
}

bool TcxExtendedStylePainters::GetNameByPainter(TcxCustomLookAndFeelPainterClass APainter,
                                                String& AName) const {
  AName.clear();
  for (int i = 0; i < Count(); ++i)
    if (Painters(i) == APainter) {
      AName = Names(i);
      return true;
    }
  return false;
}

bool TcxExtendedStylePainters::GetPainterData(TcxCustomLookAndFeelPainterClass APainter,
                                              TObject*& Data) const {
  Data = nullptr;
  for (int i = 0; i < Count(); ++i)
    if (Painters(i) == APainter) {
      Data = PainterInfo(i)->Data();
      return true;
    }
  return false;
}

void TcxExtendedStylePainters::SortByName() {
  Sort([](void* A, void* B) {
    return AnsiCompareStr(static_cast<TcxExtendedStylePainterInfo*>(A)->Name(),
                          static_cast<TcxExtendedStylePainterInfo*>(B)->Name());
  });
}

bool TcxExtendedStylePainters::Register(const String& AName,
                                        TcxCustomLookAndFeelPainterClass APainter,
                                        TObject* AData) {
  if (IndexOfName(AName) >= 0) return false;
  auto* info = Make<TcxExtendedStylePainterInfo>(AName, APainter, AData);
  try {
    Add(info);
  } catch (...) {
    // The caller keeps its data when the entry could not be kept.
    info->FData = nullptr;
    TObject::Free(info);
    throw;
  }
  SortByName();
  NotifyListeners(APainter);
  return true;
}

bool TcxExtendedStylePainters::Unregister(const String& AName) {
  const int index = IndexOfName(AName);
  if (index < 0) return false;
  TcxExtendedStylePainterInfo* info = PainterInfo(index);
  Delete(index);
  try {
    NotifyListeners(info->Painter());
  } catch (...) {
    TObject::Free(info);
    throw;
  }
  TObject::Free(info);
  return true;
}

void TcxExtendedStylePainters::NotifyListeners(TcxCustomLookAndFeelPainterClass APainter) {
  if (!FListeners) return;
  // Last to first; a listener may leave the list while it is told.
  for (int i = FListeners->Count() - 1; i >= 0; --i) {
    if (i >= FListeners->Count()) continue;
    if (auto* listener = dynamic_cast<IcxLookAndFeelPainterListener*>(FListeners->Get(i)))
      listener->HandlePainterRegistryChange(APainter);
  }
}

void TcxExtendedStylePainters::AddListener(IcxLookAndFeelPainterListener* AListener) {
  if (!AListener || !FListeners) return;
  if (FListeners->IndexOf(AListener) < 0) FListeners->Add(AListener);
}

void TcxExtendedStylePainters::RemoveListener(IcxLookAndFeelPainterListener* AListener) {
  if (!AListener || !FListeners) return;
  FListeners->Remove(AListener);
}

// ---------------------------------------------------------------------------
// Module resources
// ---------------------------------------------------------------------------

namespace {

int gModuleUsers = 0;
TcxExtendedStylePainters* gRegistry = nullptr;

HINSTANCE ResourceModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&cxGetStylePainterRegistry), &module);
  return module;
}

}  // namespace

TcxExtendedStylePainters* cxGetStylePainterRegistry() { return gRegistry; }

void cxMeasureCheckButtonGlyph() {
  constexpr int OBM_CHECKBOXES_ID = 32759;
  HBITMAP bitmap = GdiLoadBitmap(nullptr, MAKEINTRESOURCEW(OBM_CHECKBOXES_ID));
  BITMAP info{};
  if (bitmap && GetObjectW(bitmap, sizeof(info), &info) == sizeof(info))
    cxCheckButtonGlyphSize = TSize(info.bmWidth / 4, info.bmHeight / 3);
  GdiDeleteObject(bitmap);
}

namespace {
TCustomImageList* gIndicatorImages = nullptr;
TBitmap* gScrollBarPatternBitmaps[2] = {nullptr, nullptr};

void PaintScrollBarPatterns() {
  const TColor colors[2][2] = {{clBtnFace, clBtnHighlight}, {clBlack, cl3DDkShadow}};
  for (int i = 0; i < 2; ++i) {
    TCanvas* canvas = gScrollBarPatternBitmaps[i]->Canvas();
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        canvas->SetPixel(x, y, ColorToRGB(colors[i][(x % 2 == y % 2) ? 0 : 1]));
  }
}
}  // namespace

TCustomImageList* cxIndicatorImages() {
  if (!gIndicatorImages && gModuleUsers > 0) cxLoadIndicatorImages();
  return gIndicatorImages;
}

TBitmap* cxScrollBarPatternBitmaps(int AIndex) {
  if (AIndex < 0 || AIndex > 1) return nullptr;
  if (!gScrollBarPatternBitmaps[AIndex] && gModuleUsers > 0) cxBuildScrollBarPatternBitmaps();
  return gScrollBarPatternBitmaps[AIndex];
}

void cxLoadIndicatorImages() {
  static const Char* const names[] = {L"CX_ARROWBITMAP",      L"CX_EDITBITMAP",
                                      L"CX_INSERTBITMAP",     L"CX_MULTIDOTBITMAP",
                                      L"CX_MULTIARROWBITMAP", L"CX_FILTERBITMAP"};
  cxFreeIndicatorImages();
  const HINSTANCE module = ResourceModule();
  TBitmap* bitmap = Make<TBitmap>();
  TImageList* images = nullptr;
  try {
    for (const Char* name : names) {
      bitmap->LoadFromResourceName(module, name);
      if (!images) images = Make<TImageList>(nullptr, bitmap->Width(), bitmap->Height());
      images->AddMasked(bitmap, TColor(0xFFFFFF));
    }
  } catch (...) {
    TObject::Free(bitmap);
    TObject::Free(images);
    throw;
  }
  TObject::Free(bitmap);
  gIndicatorImages = images;
}

void cxFreeIndicatorImages() {
  TCustomImageList* images = gIndicatorImages;
  gIndicatorImages = nullptr;
  TObject::Free(images);
}

void cxBuildScrollBarPatternBitmaps() {
  for (TBitmap*& bitmap : gScrollBarPatternBitmaps)
    if (!bitmap) bitmap = Make<TBitmap>(8, 8);
  PaintScrollBarPatterns();
}

void cxRefreshScrollBarPatternBitmaps() {
  if (gScrollBarPatternBitmaps[0] && gScrollBarPatternBitmaps[1]) PaintScrollBarPatterns();
}

void cxFreeScrollBarPatternBitmaps() {
  for (TBitmap*& bitmap : gScrollBarPatternBitmaps) {
    TBitmap* b = bitmap;
    bitmap = nullptr;
    TObject::Free(b);
  }
}

void cxLookAndFeelPaintersRegistryInitialize() {
  if (gModuleUsers++ > 0) return;
  gRegistry = Make<TcxExtendedStylePainters>();
  cxMeasureCheckButtonGlyph();
}

void cxLookAndFeelPaintersRegistryFinalize() {
  if (gModuleUsers == 0 || --gModuleUsers > 0) return;
  cxFreeScrollBarPatternBitmaps();
  cxFreeIndicatorImages();
  TcxExtendedStylePainters* registry = gRegistry;
  gRegistry = nullptr;
  TObject::Free(registry);
}
