#include "platform/WinApi.h"
#include "foundation/cxGraphicsImageList.h"

#include "foundation/cxGraphicsBitmaps.h"
#include "foundation/cxGraphicsRoutines.h"
#include "foundation/dxCore.h"
#include "platform/core/Filer.h"
#include "platform/core/Streams.h"
#include "platform/gui/GdiAccounting.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <exception>
#include <vector>

namespace {

const Char* const kIndexError = L"Invalid ImageList Index";
const Char* const kReplaceError = L"Unable to Replace Image";

constexpr DWORD kTransparentMaskPixel = 0x00FFFFFF;

// ---------------------------------------------------------------------------
// Pixel transfer
// ---------------------------------------------------------------------------

// A bitmap's (or a rectangle's) pixels as 32-bit values, rows top-down.
struct TPixels {
  int Width = 0, Height = 0;
  std::vector<DWORD> Data;
  const DWORD* Row(int y) const { return Data.data() + size_t(y) * Width; }
};

// The pixels of a system list's bitmap, or of its rows from AFirstRow on (at most ARowCount of
// them; AOut row 0 is row AFirstRow): one image needs its own rows only, and the whole bitmap
// of a long list is a buffer that costs more to fill than drawing the image does. GetDIBits
// reads a bitmap that comctl32 keeps selected into its own DC, which no second DC could select.
bool ReadSystemBitmap(HBITMAP ABitmap, TPixels& AOut, int AFirstRow = 0, int ARowCount = INT_MAX) {
  BITMAP bm{};
  if (!ABitmap || !GetObjectW(ABitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return false;
  AFirstRow = std::clamp(AFirstRow, 0, int(bm.bmHeight));
  const int rows = std::min(ARowCount, int(bm.bmHeight) - AFirstRow);
  if (rows <= 0) return false;
  // Bottom-up, where the scan lines GetDIBits counts are the stored ones without doubt: the
  // rows come last row first and are turned round below.
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = bm.bmWidth;
  bi.bmiHeader.biHeight = bm.bmHeight;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  AOut.Width = bm.bmWidth;
  AOut.Height = rows;
  AOut.Data.assign(size_t(bm.bmWidth) * rows, 0);
  HDC dc = GdiCreateCompatibleDC(nullptr);
  GdiFlush();
  const UINT firstScan = UINT(bm.bmHeight - AFirstRow - rows);
  const bool ok = GetDIBits(dc, ABitmap, firstScan, UINT(rows), AOut.Data.data(), &bi, DIB_RGB_COLORS) == rows;
  GdiDeleteDC(dc);
  for (int top = 0, bottom = rows - 1; top < bottom; ++top, --bottom)
    std::swap_ranges(AOut.Data.begin() + ptrdiff_t(top) * bm.bmWidth,
                     AOut.Data.begin() + ptrdiff_t(top + 1) * bm.bmWidth,
                     AOut.Data.begin() + ptrdiff_t(bottom) * bm.bmWidth);
  return ok;
}

// Resizes ATarget to the rectangle and writes the pixels, keeping the
// target's pixel format: 32-bit targets take the bytes (alpha included),
// others what GDI makes of them.
void PutPixels(TBitmap* ATarget, const TPixels& ASource, const TRect& ARect) {
  const int w = std::max(0, ARect.Width()), h = std::max(0, ARect.Height());
  ATarget->SetSize(w, h);
  if (w == 0 || h == 0) return;
  if (ATarget->PixelFormat() == pf32bit) {
    for (int y = 0; y < h; ++y)
      std::memcpy(ATarget->ScanLine(y), ASource.Row(ARect.Top + y) + ARect.Left, size_t(w) * 4);
    return;
  }
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP temp = GdiCreateDIBSection(nullptr, &bi, &bits);
  if (!temp) throw EOutOfResources(L"Out of system resources");
  for (int y = 0; y < h; ++y)
    std::memcpy(static_cast<Byte*>(bits) + size_t(y) * w * 4, ASource.Row(ARect.Top + y) + ARect.Left,
                size_t(w) * 4);
  HDC dc = GdiCreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, temp);
  // A monochrome target takes white (the DC's background colour) as 1.
  BitBlt(ATarget->Canvas()->Handle(), 0, 0, w, h, dc, 0, 0, SRCCOPY);
  SelectObject(dc, old);
  GdiDeleteDC(dc);
  GdiDeleteObject(temp);
  GdiFlush();
}

// The rectangle ARect of ASource into ATarget (resized to it), keeping the
// target's pixel format; 32-bit to 32-bit copies the bytes.
void CopyBitmapRect(TBitmap* ASource, const TRect& ARect, TBitmap* ATarget) {
  const int w = std::max(0, ARect.Width()), h = std::max(0, ARect.Height());
  ATarget->SetSize(w, h);
  if (w == 0 || h == 0 || ASource->Empty()) return;
  if (ATarget->PixelFormat() == pf32bit && ASource->PixelFormat() == pf32bit) {
    for (int y = 0; y < h; ++y)
      std::memcpy(ATarget->ScanLine(y), static_cast<const DWORD*>(ASource->ScanLine(ARect.Top + y)) + ARect.Left,
                  size_t(w) * 4);
    return;
  }
  BitBlt(ATarget->Canvas()->Handle(), 0, 0, w, h, ASource->Canvas()->Handle(), ARect.Left, ARect.Top,
         SRCCOPY);
  GdiFlush();
}

TPixelFormat RecordFormat(TBitmap* ABitmap) {
  const TPixelFormat format = ABitmap->PixelFormat();
  return format == pfCustom ? pf32bit : format;
}

}  // namespace

// Brackets a change of the list: the notification follows when the scope
// ends normally; an exception leaves without one.
class TcxImageListUpdate {
 public:
  explicit TcxImageListUpdate(TcxImageList* AList, bool AForce = true) : FList(AList), FForce(AForce) {
    FList->BeginUpdate();
  }
  TcxImageListUpdate(const TcxImageListUpdate&) = delete;
  TcxImageListUpdate& operator=(const TcxImageListUpdate&) = delete;
  ~TcxImageListUpdate() noexcept(false) {
    FList->EndUpdate(FForce && std::uncaught_exceptions() == FExceptions);
  }
  void SetForce(bool AValue) { FForce = AValue; }

 private:
  TcxImageList* FList;
  bool FForce;
  int FExceptions = std::uncaught_exceptions();
};

// ---------------------------------------------------------------------------
// TcxImageInfo
// ---------------------------------------------------------------------------

TcxImageInfo::TcxImageInfo() : FImage(Make<TcxBitmap>()), FMask(Make<TcxBitmap>()) {}

TcxImageInfo::~TcxImageInfo() {
  TObject::Free(FMask);
  TObject::Free(FImage);
}

TBitmap* TcxImageInfo::Image() const { return FImage; }
TBitmap* TcxImageInfo::Mask() const { return FMask; }

void TcxImageInfo::SetImage(TBitmap* Value) {
  FImage->Assign(Value);
  FImage->HandleNeeded();
}

void TcxImageInfo::SetMask(TBitmap* Value) {
  FMask->Assign(Value);
  FMask->HandleNeeded();
}

void TcxImageInfo::Assign(TPersistent* Source) {
  if (auto* info = dynamic_cast<TcxImageInfo*>(Source)) {
    if (info == this) return;
    SetImage(info->Image());
    SetMask(info->Mask());
    FMaskColor = info->FMaskColor;
    return;
  }
  inherited::Assign(Source);
}

// ---------------------------------------------------------------------------
// TcxImageInfoItem
// ---------------------------------------------------------------------------

TcxImageInfoItem::TcxImageInfoItem(TCollection* Collection)
    : TCollectionItem(Collection), FImageInfo(Make<TcxImageInfo>()) {
  if (auto* images = dynamic_cast<TcxImageInfoCollection*>(Collection)) SetCompressData(images->CompressData());
}

TcxImageInfoItem::~TcxImageInfoItem() { TObject::Free(FImageInfo); }

void TcxImageInfoItem::Assign(TPersistent* Source) {
  if (auto* item = dynamic_cast<TcxImageInfoItem*>(Source)) {
    FImageInfo->Assign(item->FImageInfo);
    return;
  }
  inherited::Assign(Source);
}

bool TcxImageInfoItem::CompressData() const {
  return static_cast<TcxBitmap*>(Image())->CompressData() && static_cast<TcxBitmap*>(Mask())->CompressData();
}

void TcxImageInfoItem::SetCompressData(bool Value) {
  if (Value == CompressData()) return;
  static_cast<TcxBitmap*>(Image())->SetCompressData(Value);
  static_cast<TcxBitmap*>(Mask())->SetCompressData(Value);
}

// ---------------------------------------------------------------------------
// TcxImageInfoCollection
// ---------------------------------------------------------------------------

TcxImageInfoCollection::TcxImageInfoCollection(TcxImageList* AImageList)
    : TCollection(TcxImageInfoItem::StaticClass()), FImageList(AImageList) {}

TcxImageInfoItem* TcxImageInfoCollection::Add(TBitmap* AImage, TBitmap* AMask, TColor AMaskColor) {
  auto* item = static_cast<TcxImageInfoItem*>(TCollection::Add());
  try {
    item->SetImage(AImage);
    item->SetMask(AMask);
    item->SetMaskColor(AMaskColor);
  } catch (...) {
    TObject::Free(item);
    throw;
  }
  return item;
}

void TcxImageInfoCollection::Move(int ACurrentIndex, int ANewIndex) { Items(ACurrentIndex)->SetIndex(ANewIndex); }

void TcxImageInfoCollection::Delete(int AIndex) {
  if (AIndex == -1) Clear();
  else TCollection::Delete(AIndex);
}

TcxImageInfoItem* TcxImageInfoCollection::Items(int AIndex) const {
  return static_cast<TcxImageInfoItem*>(TCollection::Items(AIndex));
}

void TcxImageInfoCollection::SetCompressData(bool Value) {
  FCompressData = Value;
  for (int i = 0; i < Count(); ++i) Items(i)->SetCompressData(Value);
}

TPersistent* TcxImageInfoCollection::GetOwner() { return FImageList; }

// ---------------------------------------------------------------------------
// TcxImageList: life and update bracketing
// ---------------------------------------------------------------------------

TcxImageList::TcxImageList(TComponent* AOwner) : TDragImageList(AOwner) { Initialize(); }

TcxImageList::TcxImageList(TComponent* AOwner, int AWidth, int AHeight) : TDragImageList(AOwner, AWidth, AHeight) {
  Initialize();
}

void TcxImageList::Initialize() {
  FImages = Make<TcxImageInfoCollection>(this);
  FAlphaBlending = true;
  // The platform defaults make the system list ILC_COLOR32 | ILC_MASK with
  // the allocation step as initial size and growth.
  HandleNeeded();
}

TcxImageList::~TcxImageList() { FreeAndNil(FImages); }

void TcxImageList::BeginUpdate() { ++FLockCount; }

void TcxImageList::EndUpdate(bool AForceUpdate) {
  if (FLockCount == 0) return;
  --FLockCount;
  if (AForceUpdate) Change();
}

void TcxImageList::Change() {
  if (FLockCount > 0) return;
  TDragImageList::Change();
}

bool TcxImageList::CompressData() const { return FImages->CompressData(); }
void TcxImageList::SetCompressData(bool Value) { FImages->SetCompressData(Value); }

void TcxImageList::SetWidth(int Value) {
  if (Value == Width()) return;
  TcxImageListUpdate update(this);
  TDragImageList::SetWidth(Value);
  if (!FSynchronization) FImages->Delete(-1);
}

void TcxImageList::SetHeight(int Value) {
  if (Value == Height()) return;
  TcxImageListUpdate update(this);
  TDragImageList::SetHeight(Value);
  if (!FSynchronization) FImages->Delete(-1);
}

// ---------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------

void TcxImageList::AddToInternalCollection(TBitmap* AImage, TBitmap* AMask, TColor AMaskColor, int AFirst,
                                           int AAdded) {
  if (FSynchronization || AAdded <= 0) return;
  const int w = AImage->Width(), h = AImage->Height(), cw = Width(), ch = Height();
  TBitmap* mask = cxHasBitmapContent(AMask) ? AMask : nullptr;
  // One record per system image: a strip or grid of cells is cut up, rows
  // top to bottom; a bitmap that made a single image is kept whole.
  const bool grid = w % cw == 0 && h % ch == 0 && (w > cw || h > ch);
  try {
    if (AAdded == 1 && !grid) {
      FImages->Add(AImage, mask, AMaskColor)->Image()->Dormant();
      return;
    }
    const int columns = std::max(w / cw, 1);
    for (int k = 0; k < AAdded; ++k) {
      const TRect cell = Bounds((k % columns) * cw, (k / columns) * ch, cw, ch);
      TcxImageInfoItem* item = FImages->Add(nullptr, nullptr, AMaskColor);
      item->Image()->SetPixelFormat(RecordFormat(AImage));
      CopyBitmapRect(AImage, cell, item->Image());
      if (mask) {
        item->Mask()->SetPixelFormat(RecordFormat(mask));
        CopyBitmapRect(mask, cell, item->Mask());
      }
      item->Image()->Dormant();
    }
  } catch (...) {
    // The system images were added: keep both sides equal.
    while (FImages->Count() > AFirst) FImages->Delete(FImages->Count() - 1);
    while (Count() > AFirst) TDragImageList::Delete(Count() - 1);
    throw;
  }
}

// Adds a record's image to the system list; returns the first new index.
int TcxImageList::AddRecord(TcxImageInfoItem* AItem) {
  int result;
  if (cxHasBitmapContent(AItem->Mask())) result = Add(AItem->Image(), AItem->Mask());
  else result = AddMasked(AItem->Image(), AItem->MaskColor());
  AItem->Image()->Dormant();
  return result;
}

void TcxImageList::RebuildRecordsFromSystem() {
  FImages->BeginUpdate();
  try {
    FImages->Clear();
    const int n = Count();
    for (int i = 0; i < n; ++i) {
      TcxImageInfoItem* item = FImages->Add(nullptr, nullptr, clNone);
      item->Image()->SetPixelFormat(pf32bit);
      item->Mask()->SetPixelFormat(pf1bit);
      GetImageInfo(Handle(), i, item->Image(), item->Mask());
      item->Image()->Dormant();
      item->Mask()->Dormant();
    }
  } catch (...) {
    FImages->Clear();
    TDragImageList::Clear();
    FImages->EndUpdate();
    throw;
  }
  FImages->EndUpdate();
}

void TcxImageList::SynchronizeImages() {
  BeginUpdate();
  FSynchronization = true;
  try {
    TDragImageList::Clear();
    for (int i = 0; i < FImages->Count();) {
      const int first = Count();
      AddRecord(FImages->Items(i));
      // A record the system list cannot take (an empty or too small image)
      // is dropped; a too wide one keeps only its first image.
      if (Count() == first) {
        FImages->Delete(i);
        continue;
      }
      while (Count() > first + 1) TDragImageList::Delete(Count() - 1);
      ++i;
    }
  } catch (...) {
    FSynchronization = false;
    FImages->Clear();
    TDragImageList::Clear();
    EndUpdate(false);
    throw;
  }
  FSynchronization = false;
  EndUpdate(true);
}

// ---------------------------------------------------------------------------
// Adding, moving, deleting
// ---------------------------------------------------------------------------

int TcxImageList::Add(TBitmap* AImage, TBitmap* AMask) {
  TcxImageListUpdate update(this, false);
  const int first = Count();
  const int result = TDragImageList::Add(AImage, AMask);
  if (result >= 0) {
    AddToInternalCollection(AImage, AMask, clNone, first, Count() - first);
    update.SetForce(true);
  }
  return result;
}

int TcxImageList::AddMasked(TBitmap* AImage, TColor AMaskColor) {
  TcxImageListUpdate update(this);
  if (AMaskColor == clNone) return Add(AImage, nullptr);
  const int first = Count();
  const int result = TDragImageList::AddMasked(AImage, AMaskColor);
  if (result >= 0) AddToInternalCollection(AImage, nullptr, AMaskColor, first, Count() - first);
  return result;
}

int TcxImageList::AddIcon(TIcon* AIcon) {
  TcxImageListUpdate update(this);
  const int first = Count();
  const int result = TDragImageList::AddIcon(AIcon);
  if (result < 0 || FSynchronization) return result;
  try {
    for (int i = first; i < Count(); ++i) {
      TcxImageInfoItem* item = FImages->Add(nullptr, nullptr, clNone);
      item->Image()->SetPixelFormat(pf32bit);
      item->Mask()->SetPixelFormat(pf1bit);
      GetImageInfo(Handle(), i, item->Image(), item->Mask());
      item->Image()->Dormant();
    }
  } catch (...) {
    while (FImages->Count() > first) FImages->Delete(FImages->Count() - 1);
    while (Count() > first) TDragImageList::Delete(Count() - 1);
    throw;
  }
  return result;
}

void TcxImageList::CopyImages(TCustomImageList* AImageList, int AStartIndex, int AEndIndex) {
  if (!AImageList) return;
  auto* source = Make<TcxImageList>(nullptr);
  try {
    source->Assign(AImageList);
    const int count = source->FImages->Count();
    const int last = AEndIndex < 0 ? count - 1 : std::min(AEndIndex, count - 1);
    TcxImageListUpdate update(this);
    for (int i = std::max(AStartIndex, 0); i <= last; ++i) AddRecord(source->FImages->Items(i));
  } catch (...) {
    TObject::Free(source);
    throw;
  }
  TObject::Free(source);
}

int TcxImageList::AddImage(TCustomImageList* AValue, int AIndex) {
  if (!AValue || AIndex < 0 || AIndex >= AValue->Count()) return -1;
  const int result = Count();
  CopyImages(AValue, AIndex, AIndex);
  return result;
}

void TcxImageList::AddImages(TCustomImageList* AImageList) { CopyImages(AImageList, 0, -1); }

// Moves the images added from AFirst on to AIndex, keeping their order.
void TcxImageList::InsertAdded(int AIndex, int AFirst) {
  const int added = Count() - AFirst;
  for (int k = 0; k < added; ++k) Move(AFirst + k, AIndex + k);
}

void TcxImageList::Insert(int AIndex, TBitmap* AImage, TBitmap* AMask) {
  if (AIndex < 0 || AIndex > Count()) return;
  TcxImageListUpdate update(this);
  const int first = Count();
  if (Add(AImage, AMask) >= 0) InsertAdded(AIndex, first);
}

void TcxImageList::InsertMasked(int AIndex, TBitmap* AImage, TColor AMaskColor) {
  if (AIndex < 0 || AIndex > Count()) return;
  TcxImageListUpdate update(this);
  const int first = Count();
  if (AddMasked(AImage, AMaskColor) >= 0) InsertAdded(AIndex, first);
}

void TcxImageList::InsertIcon(int AIndex, TIcon* AIcon) {
  if (AIndex < 0 || AIndex > Count()) return;
  TcxImageListUpdate update(this);
  const int first = Count();
  if (AddIcon(AIcon) >= 0) InsertAdded(AIndex, first);
}

void TcxImageList::CheckReplaceIndex(int AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) throw EInvalidOperation(kIndexError);
}

// The new image is added before the old one goes, so that an image the
// system list refuses leaves the list as it was.
void TcxImageList::Replace(int AIndex, TBitmap* AImage, TBitmap* AMask) {
  CheckReplaceIndex(AIndex);
  TcxImageListUpdate update(this);
  const int first = Count();
  if (Add(AImage, AMask) < 0) throw EInvalidOperation(kReplaceError);
  Delete(AIndex);
  InsertAdded(AIndex, first - 1);
}

void TcxImageList::ReplaceMasked(int AIndex, TBitmap* AImage, TColor AMaskColor) {
  CheckReplaceIndex(AIndex);
  TcxImageListUpdate update(this);
  const int first = Count();
  if (AddMasked(AImage, AMaskColor) < 0) throw EInvalidOperation(kReplaceError);
  Delete(AIndex);
  InsertAdded(AIndex, first - 1);
}

void TcxImageList::ReplaceIcon(int AIndex, TIcon* AIcon) {
  CheckReplaceIndex(AIndex);
  TcxImageListUpdate update(this);
  const int first = Count();
  if (AddIcon(AIcon) < 0) throw EInvalidOperation(kReplaceError);
  Delete(AIndex);
  InsertAdded(AIndex, first - 1);
}

void TcxImageList::Move(int ACurIndex, int ANewIndex) {
  TcxImageListUpdate update(this);
  // The platform moves the system images without comctl32's swap, which
  // loses an image under some systems.
  TDragImageList::Move(ACurIndex, ANewIndex);
  if (!FSynchronization && ACurIndex != ANewIndex) FImages->Move(ACurIndex, ANewIndex);
}

void TcxImageList::Delete(int AIndex) {
  TcxImageListUpdate update(this);
  TDragImageList::Delete(AIndex);
  if (!FSynchronization) FImages->Delete(AIndex);
}

void TcxImageList::Clear() { Delete(-1); }

void TcxImageList::Assign(TPersistent* Source) {
  auto* list = dynamic_cast<TCustomImageList*>(Source);
  if (!list || list == this) return;
  TcxImageListUpdate update(this);
  TDragImageList::Assign(list);
  Clear();
  if (auto* cxList = dynamic_cast<TcxImageList*>(list)) {
    for (int i = 0; i < cxList->FImages->Count(); ++i) AddRecord(cxList->FImages->Items(i));
    return;
  }
  const int n = list->Count();
  for (int i = 0; i < n; ++i) {
    auto* image = Make<TcxBitmap>(0, 0, pf32bit);
    auto* mask = Make<TcxBitmap>(0, 0, pf1bit);
    try {
      GetImageInfo(list->Handle(), i, image, mask);
      Add(image, mask);
    } catch (...) {
      TObject::Free(image);
      TObject::Free(mask);
      throw;
    }
    TObject::Free(image);
    TObject::Free(mask);
  }
}

void TcxImageList::SetHandle(HIMAGELIST Value) {
  if (HandleAllocated() && Value == Handle()) return;
  if (!Value) {
    Clear();
    return;
  }
  // The temporary list only looks at Value: shared images are never destroyed.
  auto* source = Make<TCustomImageList>(nullptr);
  try {
    source->SetShareImages(true);
    source->SetHandle(Value);
    Assign(source);
  } catch (...) {
    TObject::Free(source);
    throw;
  }
  TObject::Free(source);
}

// ---------------------------------------------------------------------------
// Loading
// ---------------------------------------------------------------------------

bool TcxImageList::LoadImage(HINSTANCE AInstance, const String& AResourceName, TColor AMaskColor, int AWidth,
                             TLoadResources AFlags) {
  COLORREF mask;
  if (AMaskColor == clNone) mask = CLR_NONE;
  else if (AMaskColor == clDefault) mask = CLR_DEFAULT;
  else mask = static_cast<COLORREF>(ColorToRGB(AMaskColor));
  static const UINT kFlags[] = {0, LR_DEFAULTSIZE, LR_LOADFROMFILE, LR_LOADMAP3DCOLORS, LR_LOADTRANSPARENT,
                                LR_MONOCHROME};
  UINT flags = LR_CREATEDIBSECTION;
  for (int f = lrDefaultColor; f <= lrMonoChrome; ++f)
    if (AFlags.Contains(static_cast<TLoadResource>(f))) flags |= kFlags[f];
  HIMAGELIST loaded = ImageList_LoadImageW(AInstance, AResourceName.c_str(), AWidth, std::max(AllocBy(), 1),
                                           mask, IMAGE_BITMAP, flags);
  if (!loaded) return false;
  // The temporary list owns the loaded handle from the moment it is given it (even when
  // its change notification then raises) and destroys it when freed.
  auto* source = Make<TCustomImageList>(nullptr);
  try {
    source->SetHandle(loaded);
    CopyImages(source);
  } catch (...) {
    TObject::Free(source);
    throw;
  }
  TObject::Free(source);
  return true;
}

bool TcxImageList::FileLoad(TResType AResType, const String& AName, TColor AMaskColor) {
  TcxImageListUpdate update(this);
  const bool result = TDragImageList::FileLoad(AResType, AName, AMaskColor);
  if (result) RebuildRecordsFromSystem();
  return result;
}

bool TcxImageList::GetResource(TResType AResType, const String& AName, int AWidth, TLoadResources ALoadFlags,
                               TColor AMaskColor) {
  TcxImageListUpdate update(this);
  const bool result = TDragImageList::GetResource(AResType, AName, AWidth, ALoadFlags, AMaskColor);
  if (result) RebuildRecordsFromSystem();
  return result;
}

bool TcxImageList::GetInstRes(HINSTANCE AInstance, TResType AResType, const String& AName, int AWidth,
                              TLoadResources ALoadFlags, TColor AMaskColor) {
  TcxImageListUpdate update(this);
  const bool result = TDragImageList::GetInstRes(AInstance, AResType, AName, AWidth, ALoadFlags, AMaskColor);
  if (result) RebuildRecordsFromSystem();
  return result;
}

bool TcxImageList::GetInstRes(HINSTANCE AInstance, TResType AResType, DWORD AResID, int AWidth,
                              TLoadResources ALoadFlags, TColor AMaskColor) {
  TcxImageListUpdate update(this);
  const bool result = TDragImageList::GetInstRes(AInstance, AResType, AResID, AWidth, ALoadFlags, AMaskColor);
  if (result) RebuildRecordsFromSystem();
  return result;
}

bool TcxImageList::ResInstLoad(HINSTANCE AInstance, TResType AResType, const String& AName, TColor AMaskColor) {
  TcxImageListUpdate update(this);
  const bool result = TDragImageList::ResInstLoad(AInstance, AResType, AName, AMaskColor);
  if (result) RebuildRecordsFromSystem();
  return result;
}

bool TcxImageList::ResourceLoad(TResType AResType, const String& AName, TColor AMaskColor) {
  TcxImageListUpdate update(this);
  const bool result = TDragImageList::ResourceLoad(AResType, AName, AMaskColor);
  if (result) RebuildRecordsFromSystem();
  return result;
}

// ---------------------------------------------------------------------------
// Reading images
// ---------------------------------------------------------------------------

void TcxImageList::GetImageInfo(int AIndex, TBitmap* AImage, TBitmap* AMask) {
  if (AIndex < 0 || AIndex >= Count() || AIndex >= FImages->Count()) return;
  TBitmap* image = FImages->Items(AIndex)->Image();
  if (cxBitmapBitsPerPixel(image) == 32 || dxIsWin9xPlatform) {
    TBitmap* mask = FImages->Items(AIndex)->Mask();
    if (AImage) CopyBitmapRect(image, TRect(0, 0, image->Width(), image->Height()), AImage);
    if (AMask) CopyBitmapRect(mask, TRect(0, 0, mask->Width(), mask->Height()), AMask);
  } else {
    GetImageInfo(Handle(), AIndex, AImage, AMask);
  }
  image->Dormant();
}

void TcxImageList::GetImageInfo(HIMAGELIST AHandle, int AIndex, TBitmap* AImage, TBitmap* AMask) {
  IMAGEINFO info{};
  if (!AHandle || AIndex < -1 || !ImageList_GetImageInfo(AHandle, std::max(AIndex, 0), &info)) return;
  auto copy = [&](HBITMAP ASystemBitmap, TBitmap* ATarget, bool AIsMask) {
    TPixels pixels;
    if (!ATarget) return;
    TRect r(info.rcImage.left, 0, info.rcImage.right, info.rcImage.bottom - info.rcImage.top);
    if (AIndex == -1) {
      if (!ReadSystemBitmap(ASystemBitmap, pixels)) return;
      // The whole bitmap, in its own kind of pixels (a 32-bit target stays so).
      r = TRect(0, 0, pixels.Width, pixels.Height);
      if (!dynamic_cast<TcxBitmap32*>(ATarget)) ATarget->SetPixelFormat(AIsMask ? pf1bit : pf32bit);
    } else if (!ReadSystemBitmap(ASystemBitmap, pixels, info.rcImage.top, r.Height())) {
      return;
    }
    r.Right = std::min<int>(r.Right, pixels.Width);
    r.Bottom = std::min<int>(r.Bottom, pixels.Height);
    if (AIsMask)
      for (DWORD& p : pixels.Data) p = (p & 0xFFFFFF) ? kTransparentMaskPixel : 0;
    PutPixels(ATarget, pixels, r);
  };
  copy(info.hbmMask, AMask, true);
  copy(info.hbmImage, AImage, false);
}

int TcxImageList::GetPixelFormat(HIMAGELIST AHandle) {
  IMAGEINFO info{};
  BITMAP bm{};
  if (!AHandle || !ImageList_GetImageInfo(AHandle, 0, &info) || !info.hbmImage ||
      !GetObjectW(info.hbmImage, sizeof bm, &bm))
    return 0;
  return bm.bmBitsPixel;
}

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------

void TcxImageList::Draw(TCanvas* ACanvas, const TRect& ARect, int AIndex, bool AStretch, bool ASmoothResize,
                        bool AEnabled) {
  if (!ACanvas) return;
  const int w = Width(), h = Height();
  if (ARect.Width() == w && ARect.Height() == h) AStretch = false;
  const TRect target = AStretch ? ARect : Bounds((ARect.Left + ARect.Right - w) / 2, (ARect.Top + ARect.Bottom - h) / 2, w, h);
  const TcxImageDrawMode mode = AEnabled ? idmNormal : idmDisabled;
  if (FAlphaBlending) {
    cxDrawImageOnBackground(ACanvas->Handle(), target, target, nullptr, this, AIndex, mode, ASmoothResize);
  } else if (AStretch) {
    if (AIndex < 0 || AIndex >= Count()) return;
    auto* glyph = Make<TBitmap>();
    try {
      glyph->SetSize(w, h);
      TDragImageList::DoDraw(AIndex, glyph->Canvas(), 0, 0, DrawStyleFlags(DrawingStyle(), ImageType()),
                             AEnabled);
      cxDrawImageOnBackground(ACanvas->Handle(), target, target, glyph, nullptr, -1, mode, ASmoothResize);
    } catch (...) {
      TObject::Free(glyph);
      throw;
    }
    TObject::Free(glyph);
  } else {
    TDragImageList::DoDraw(AIndex, ACanvas, target.Left, target.Top,
                           DrawStyleFlags(DrawingStyle(), ImageType()), AEnabled);
  }
}

void TcxImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT, bool Enabled) {
  Draw(Canvas, Bounds(X, Y, Width(), Height()), Index, false, false, Enabled);
}

// ---------------------------------------------------------------------------
// Stored properties
// ---------------------------------------------------------------------------

void TcxImageList::ReadLegacyBitmap(TStream* AStream) {
  TcxImageListUpdate update(this);
  TDragImageList::ReadData(AStream);
  RebuildRecordsFromSystem();
}

void TcxImageList::DefineProperties(TFiler* Filer) {
  // The platform's "Bitmap" is read from older definitions, never written.
  TComponent::DefineProperties(Filer);
  auto* ancestor = dynamic_cast<TCustomImageList*>(Filer->Ancestor());
  Filer->DefineBinaryProperty(L"Bitmap", [this](TStream* s) { ReadLegacyBitmap(s); }, nullptr, false);
  Filer->DefineProperty(
      L"FormatVersion", [this](TReader* r) { FFormatVersion = r->ReadInteger(); },
      [this](TWriter* w) {
        FFormatVersion = 1;
        w->WriteInteger(FFormatVersion);
      },
      true);
  Filer->DefineProperty(
      L"DesignInfo", [this](TReader* r) { SetDesignInfo(r->ReadInteger()); },
      [this](TWriter* w) { w->WriteInteger(DesignInfo()); },
      !ancestor || ancestor->DesignInfo() != DesignInfo());
  // Comparing with the ancestor serialises both lists: only when writing.
  bool hasImages = false;
  if (dynamic_cast<TWriter*>(Filer)) hasImages = ancestor ? !Equal(ancestor) : Count() > 0;
  Filer->DefineProperty(
      L"ImageInfo",
      [this](TReader* r) {
        if (r->ReadValue() != vaCollection) throw EReadError(L"Invalid property value: ImageInfo");
        FImages->Clear();
        try {
          r->ReadCollection(FImages);
        } catch (...) {
          // Whatever was read is not trusted: both sides end empty.
          FImages->Clear();
          TDragImageList::Clear();
          throw;
        }
        SynchronizeImages();
      },
      [this](TWriter* w) { w->WriteCollection(FImages); }, hasImages);
}

// ---------------------------------------------------------------------------
// Class information
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TcxImageInfo, TPersistent, ConstructPlain<TcxImageInfo>)

BEGIN_CLASS(TcxImageInfoItem, TCollectionItem, (ConstructWith<TcxImageInfoItem, TCollection>))
  b.Prop(L"Image", &TcxImageInfoItem::Image, &TcxImageInfoItem::SetImage);
  b.Prop(L"Mask", &TcxImageInfoItem::Mask, &TcxImageInfoItem::SetMask);
  DefaultValue(b.Prop(L"MaskColor", &TcxImageInfoItem::MaskColor, &TcxImageInfoItem::SetMaskColor,
                      ColorTypeInfo()),
               clNone);
END_CLASS

IMPLEMENT_CLASS(TcxImageInfoCollection, TCollection, nullptr)

BEGIN_CLASS(TcxImageList, TDragImageList, (ConstructWith<TcxImageList, TComponent>))
  b.Prop(L"ColorDepth", &TcxImageList::ColorDepth, &TcxImageList::SetColorDepth);
  DefaultValue(b.Prop(L"BlendColor", &TcxImageList::BlendColor, &TcxImageList::SetBlendColor, ColorTypeInfo()),
               clNone);
  DefaultValue(b.Prop(L"BkColor", &TcxImageList::BkColor, &TcxImageList::SetBkColor, ColorTypeInfo()), clNone);
  DefaultValue(b.Prop(L"CompressData", &TcxImageList::CompressData, &TcxImageList::SetCompressData), 0);
  DefaultValue(b.Prop(L"DrawingStyle", &TcxImageList::DrawingStyle, &TcxImageList::SetDrawingStyle), dsNormal);
  DefaultValue(b.Prop(L"Height", &TcxImageList::Height, &TcxImageList::SetHeight), 16);
  DefaultValue(b.Prop(L"ImageType", &TcxImageList::ImageType, &TcxImageList::SetImageType), itImage);
  DefaultValue(b.Prop(L"ShareImages", &TcxImageList::ShareImages, &TcxImageList::SetShareImages), 0);
  DefaultValue(b.Prop(L"Width", &TcxImageList::Width, &TcxImageList::SetWidth), 16);
  b.Prop(L"OnChange", &TcxImageList::OnChange, &TcxImageList::OnChange);
END_CLASS
