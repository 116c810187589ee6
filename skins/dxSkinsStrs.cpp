#include "skins/dxSkinsStrs.h"

namespace {
constexpr const wchar_t* kEditing = L"CalcEditEditingOperationTextColor";
constexpr const wchar_t* kMemory = L"CalcEditMemoryOperationTextColor";
constexpr const wchar_t* kDigit = L"CalcEditDigitTextColor";
constexpr const wchar_t* kArithmetic = L"CalcEditArithmeticOperationTextColor";
constexpr const wchar_t* kScientific = L"CalcEditScientificOperationTextColor";
}  // namespace

const wchar_t* const dxSkinsCalcButtonTextColorsMap[28] = {
    kEditing, kEditing, kEditing,                                            // back, cancel, clear
    kMemory,  kMemory,  kMemory,  kMemory,                                   // MC MR MS MP
    kDigit,   kDigit,   kDigit,   kDigit,   kDigit, kDigit, kDigit, kDigit,  // 0-7
    kDigit,   kDigit,   kDigit,   kDigit,                                    // 8, 9, sign, decimal
    kArithmetic, kArithmetic, kArithmetic, kArithmetic,                      // / * - +
    kScientific, kScientific, kScientific, kScientific, kScientific};       // sqrt % 1/x = none

const wchar_t* const EditButtonsMap[8] = {L"CloseButton",   L"ComboButtonGlyph", L"EditorButton",
                                          L"EditorButton",  L"SpinUpGlyph",      L"SpinDownGlyph",
                                          L"SpinLeftGlyph", L"SpinRightGlyph"};

const wchar_t* const FormFrameMap[8] = {L"FormFrameLeft", L"SmallFormCaption", L"FormFrameRight",
                                        L"FormFrameBottom", L"FormFrameLeft", L"FormCaption",
                                        L"FormFrameRight", L"FormFrameBottom"};

const wchar_t* const dxSkinEditorBackgroundColors[4] = {L"BackgroundColor", L"BackgroundDisabledColor",
                                                        L"BackgroundInactiveColor", L"BackgroundReadOnlyColor"};

const wchar_t* const dxSkinEditorTextColors[4] = {L"TextColor", L"TextDisabledColor", L"TextInactiveColor",
                                                  L"TextReadOnlyColor"};
