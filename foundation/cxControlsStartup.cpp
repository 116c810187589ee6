// Start-up and shutdown of the base controls module.
#include "foundation/cxControls.h"
#include "foundation/dxCore.h"
#include "platform/core/Components.h"
#include "platform/gui/Forms.h"

#include <algorithm>
#include <vector>

void cxControlsTrackingInitialize();
void cxControlsCreateSystemController();
int cxControlsTrackingFinalize();

namespace {

HMODULE gUser32 = nullptr;

struct TCursorEntry {
  TCursor Id;
  const wchar_t* Name;   // null: the system's hand
};

// In the order they are installed.
constexpr TCursorEntry kCursors[] = {
    {crcxDragCopy, L"CX_DRAGCOPYCURSOR"},     {crcxFullScroll, L"CX_FULLSCROLLCURSOR"},
    {crcxHorScroll, L"CX_HORSCROLLCURSOR"},   {crcxVerScroll, L"CX_VERSCROLLCURSOR"},
    {crcxUpScroll, L"CX_UPSCROLLCURSOR"},     {crcxRightScroll, L"CX_RIGHTSCROLLCURSOR"},
    {crcxDownScroll, L"CX_DOWNSCROLLCURSOR"}, {crcxLeftScroll, L"CX_LEFTSCROLLCURSOR"},
    {crcxRemove, L"CX_REMOVECURSOR"},         {crcxVertSize, L"CX_VERTSIZECURSOR"},
    {crcxHorzSize, L"CX_HORZSIZECURSOR"},     {crcxMultiDrag, L"CX_MULTIDRAGCURSOR"},
    {crcxNoDrop, L"CX_NODROPCURSOR"},         {crcxDrag, L"CX_DRAGCURSOR"},
    {crcxHandPoint, nullptr},                 {crcxColorPicker, L"CX_COLORPICKERCURSOR"},
    {crcxMultiDragCopy, L"CX_MULTIDRAGCOPYCURSOR"},
};

}  // namespace

HMODULE cxUser32Module() { return gUser32; }

HCURSOR cxLoadCursorFromResourceData(HMODULE AModule, const wchar_t* AName) {
  HRSRC info = FindResourceW(AModule, AName, MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!info) return nullptr;
  const DWORD size = SizeofResource(AModule, info);
  HGLOBAL data = LoadResource(AModule, info);
  const auto* bytes = static_cast<const BYTE*>(data ? LockResource(data) : nullptr);
  // The file: a 6-byte header, a 16-byte entry (hot spot at 4, image size at
  // 8, image offset at 12), then the image.
  if (!bytes || size < 22) return nullptr;
  auto word = [&](DWORD at) { return static_cast<DWORD>(bytes[at] | (bytes[at + 1] << 8)); };
  auto dword = [&](DWORD at) { return word(at) | (word(at + 2) << 16); };
  const DWORD imageSize = dword(6 + 8), imageOffset = dword(6 + 12);
  if (imageOffset > size || imageSize > size - imageOffset) return nullptr;
  std::vector<BYTE> cursor(4 + imageSize);
  std::copy(bytes + 6 + 4, bytes + 6 + 8, cursor.begin());
  std::copy(bytes + imageOffset, bytes + imageOffset + imageSize, cursor.begin() + 4);
  return reinterpret_cast<HCURSOR>(CreateIconFromResourceEx(cursor.data(), static_cast<DWORD>(cursor.size()),
                                                             FALSE, 0x00030000, 0, 0, LR_DEFAULTCOLOR));
}

void cxControlsInitialize() {
  cxControlsTrackingInitialize();
  // Loaded when first looked up; a cursor that cannot be loaded leaves the
  // identifier to the default cursor.
  if (Screen)
    for (const TCursorEntry& entry : kCursors)
      Screen->SetCursorResource(entry.Id, entry.Name ? GetModuleHandleW(nullptr) : nullptr,
                                entry.Name ? entry.Name : MAKEINTRESOURCEW(32649));
  gUser32 = GetModuleHandleW(L"user32.dll");
  GroupDescendentsWith(TcxControlChildComponent::StaticClass(), TControl::StaticClass());
  cxControlsCreateSystemController();
}

void cxControlsFinalize() {
  const int leftOver = cxControlsTrackingFinalize();
  gUser32 = nullptr;
  // The rest of the shutdown has run: a left tracker is reported, not leaked.
  if (leftOver != 0) throw EdxException(L"MouseTrackingTimerList.Count <> 0");
}
