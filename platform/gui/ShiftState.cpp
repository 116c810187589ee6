#include "platform/gui/ShiftState.h"

TShiftState KeyDataToShiftState(LPARAM keyData) {
  TShiftState result;
  if (GetKeyState(VK_SHIFT) < 0) result.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) result.Include(ssCtrl);
  if (keyData & 0x20000000) result.Include(ssAlt);
  return result;
}

TShiftState KeyboardStateToShiftState(const BYTE keyboardState[256]) {
  TShiftState result;
  if (keyboardState[VK_SHIFT] & 0x80) result.Include(ssShift);
  if (keyboardState[VK_CONTROL] & 0x80) result.Include(ssCtrl);
  if (keyboardState[VK_MENU] & 0x80) result.Include(ssAlt);
  if (keyboardState[VK_LBUTTON] & 0x80) result.Include(ssLeft);
  if (keyboardState[VK_RBUTTON] & 0x80) result.Include(ssRight);
  if (keyboardState[VK_MBUTTON] & 0x80) result.Include(ssMiddle);
  return result;
}

TShiftState KeyboardStateToShiftState() {
  BYTE state[256] = {};
  if (!GetKeyboardState(state)) return TShiftState();
  return KeyboardStateToShiftState(state);
}
