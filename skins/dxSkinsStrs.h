// The element and colour names the resolver looks up by an enumeration.
#pragma once

#include "foundation/cxLookAndFeelPainters.h"

extern const wchar_t* const dxSkinsCalcButtonTextColorsMap[28];
extern const wchar_t* const EditButtonsMap[8];
extern const wchar_t* const FormFrameMap[8];
extern const wchar_t* const dxSkinEditorBackgroundColors[4];
extern const wchar_t* const dxSkinEditorTextColors[4];
