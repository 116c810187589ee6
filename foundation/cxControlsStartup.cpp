// Start-up and shutdown of the base controls module.
#include "foundation/cxControls.h"
#include "foundation/dxCore.h"
#include "platform/core/Components.h"
#include "platform/gui/Forms.h"

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

void cxControlsInitialize() {
  cxControlsTrackingInitialize();
  if (Screen)
    for (const TCursorEntry& entry : kCursors) {
      // A cursor that cannot be loaded leaves the identifier to the default cursor.
      const HCURSOR cursor = entry.Name ? LoadCursorW(GetModuleHandleW(nullptr), entry.Name)
                                        : LoadCursorW(nullptr, MAKEINTRESOURCEW(32649));
      Screen->SetCursors(entry.Id, cursor);
    }
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
