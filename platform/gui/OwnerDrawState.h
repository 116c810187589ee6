// The state an owner-drawn item is painted in (menu items, list and combo box
// items): the ODS_* flags of WM_DRAWITEM as a set.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/System.h"

DECLARE_ENUM(TOwnerDrawStateItem, odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight,
             odInactive, odNoAccel, odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit)
using TOwnerDrawState = TSet<TOwnerDrawStateItem, 16>;

// The ODS_* bits of a DRAWITEMSTRUCT's itemState in the platform's order.
inline TOwnerDrawState OwnerDrawStateFromFlags(UINT itemState) {
  return TOwnerDrawState::FromBits(itemState & 0x1FFF);
}
