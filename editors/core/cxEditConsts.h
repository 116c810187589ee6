// Texts of the product "ZuvovuvEzavova Library": the editors' messages,
// button, menu and popup captions, navigator hints, the "Name|Description"
// texts of the editor kinds, and the regular-expression and mask messages.
#pragma once

#include "platform/core/ResStrings.h"

#define CX_EDIT_TEXTS(X)                                                                                  \
  X(cxSEditButtonCancel, 62200, "Cancel")                                                                 \
  X(cxSEditButtonOK, 62201, "OK")                                                                         \
  X(cxSEditDateConvertError, 62202, "Could not convert to date")                                          \
  X(cxSEditInvalidRepositoryItem, 62203, "The repository item is not acceptable")                         \
  X(cxSEditNumericValueConvertError, 62204, "Could not convert to numeric value")                         \
  X(cxSEditPopupCircularReferencingError, 62205, "Circular referencing is not allowed")                   \
  X(cxSEditPostError, 62206, "An error occured during posting edit value")                                \
  X(cxSEditTimeConvertError, 62207, "Could not convert to time")                                          \
  X(cxSEditValidateErrorText, 62208, "Invalid input value. Use escape key to abandon changes")            \
  X(cxSEditValueOutOfBounds, 62209, "Value out of bounds")                                                \
  X(cxSEditCheckBoxChecked, 62210, "True")                                                                \
  X(cxSEditCheckBoxGrayed, 62211, "")                                                                     \
  X(cxSEditCheckBoxUnchecked, 62212, "False")                                                             \
  X(cxSRadioGroupDefaultCaption, 62213, "")                                                               \
  X(cxSTextTrue, 62214, "True")                                                                           \
  X(cxSTextFalse, 62215, "False")                                                                         \
  X(cxSBlobButtonOK, 62216, "&OK")                                                                        \
  X(cxSBlobButtonCancel, 62217, "&Cancel")                                                                \
  X(cxSBlobButtonClose, 62218, "&Close")                                                                  \
  X(cxSBlobMemo, 62219, "(MEMO)")                                                                         \
  X(cxSBlobMemoEmpty, 62220, "(memo)")                                                                    \
  X(cxSBlobPicture, 62221, "(PICTURE)")                                                                   \
  X(cxSBlobPictureEmpty, 62222, "(picture)")                                                              \
  X(cxSMenuItemCaptionCut, 62223, "Cu&t")                                                                 \
  X(cxSMenuItemCaptionCopy, 62224, "&Copy")                                                               \
  X(cxSMenuItemCaptionPaste, 62225, "&Paste")                                                             \
  X(cxSMenuItemCaptionDelete, 62226, "&Delete")                                                           \
  X(cxSMenuItemCaptionLoad, 62227, "&Load...")                                                            \
  X(cxSMenuItemCaptionSave, 62228, "Save &As...")                                                         \
  X(cxSDatePopupClear, 62229, "Clear")                                                                    \
  X(cxSDatePopupNow, 62230, "Now")                                                                        \
  X(cxSDatePopupOK, 62231, "OK")                                                                          \
  X(cxSDatePopupToday, 62232, "Today")                                                                    \
  X(cxSDateError, 62233, "Invalid Date")                                                                  \
  X(scxSCalcError, 62234, "Error")                                                                        \
  X(scxSHyperLinkPrefix, 62235, "http://")                                                                \
  X(scxSHyperLinkDoubleSlash, 62236, "//")                                                                \
  X(cxNavigatorHint_First, 62237, "First record")                                                         \
  X(cxNavigatorHint_Prior, 62238, "Prior record")                                                         \
  X(cxNavigatorHint_PriorPage, 62239, "Prior page")                                                       \
  X(cxNavigatorHint_Next, 62240, "Next record")                                                           \
  X(cxNavigatorHint_NextPage, 62241, "Next page")                                                         \
  X(cxNavigatorHint_Last, 62242, "Last record")                                                           \
  X(cxNavigatorHint_Insert, 62243, "Insert record")                                                       \
  X(cxNavigatorHint_Append, 62244, "Append record")                                                       \
  X(cxNavigatorHint_Delete, 62245, "Delete record")                                                       \
  X(cxNavigatorHint_Edit, 62246, "Edit record")                                                           \
  X(cxNavigatorHint_Post, 62247, "Post edit")                                                             \
  X(cxNavigatorHint_Cancel, 62248, "Cancel edit")                                                         \
  X(cxNavigatorHint_Refresh, 62249, "Refresh data")                                                       \
  X(cxNavigatorHint_SaveBookmark, 62250, "Save Bookmark")                                                 \
  X(cxNavigatorHint_GotoBookmark, 62251, "Goto Bookmark")                                                 \
  X(cxNavigatorHint_Filter, 62252, "Filter data")                                                         \
  X(cxNavigator_DeleteRecordQuestion, 62253, "Delete record?")                                            \
  X(scxSEditRepositoryBlobItem, 62254, "BlobEdit|Represents the BLOB editor")                             \
  X(scxSEditRepositoryButtonItem, 62255, "ButtonEdit|Represents an edit control with embedded buttons")   \
  X(scxSEditRepositoryCalcItem, 62256, "CalcEdit|Represents an edit control with a dropdown calculator window") \
  X(scxSEditRepositoryCheckBoxItem, 62257, "CheckBox|Represents a check box control that allows selecting an option") \
  X(scxSEditRepositoryComboBoxItem, 62258, "ComboBox|Represents the combo box editor")                    \
  X(scxSEditRepositoryCurrencyItem, 62259, "CurrencyEdit|Represents an editor enabling editing currency data") \
  X(scxSEditRepositoryDateItem, 62260, "DateEdit|Represents an edit control with a dropdown calendar")     \
  X(scxSEditRepositoryHyperLinkItem, 62261, "HyperLink|Represents a text editor with hyperlink functionality") \
  X(scxSEditRepositoryImageComboBoxItem, 62262,                                                           \
    "ImageComboBox|Represents an editor displaying the list of images and text strings within the dropdown window") \
  X(scxSEditRepositoryImageItem, 62263, "Image|Represents an image editor")                               \
  X(scxSEditRepositoryLookupComboBoxItem, 62264, "LookupComboBox|Represents a lookup combo box control")  \
  X(scxSEditRepositoryMaskItem, 62265, "MaskEdit|Represents a generic masked edit control.")              \
  X(scxSEditRepositoryMemoItem, 62266, "Memo|Represents an edit control that allows editing memo data")   \
  X(scxSEditRepositoryMRUItem, 62267,                                                                     \
    "MRUEdit|Represents a text editor displaying the list of most recently used items (MRU) within a dropdown window") \
  X(scxSEditRepositoryPopupItem, 62268, "PopupEdit|Represents an edit control with a dropdown list")      \
  X(scxSEditRepositorySpinItem, 62269, "SpinEdit|Represents a spin editor")                               \
  X(scxSEditRepositoryRadioGroupItem, 62270, "RadioGroup|Represents a group of radio buttons")            \
  X(scxSEditRepositoryTextItem, 62271, "TextEdit|Represents a single line text editor")                   \
  X(scxSEditRepositoryTimeItem, 62272, "TimeEdit|Represents an editor displaying time values")            \
  X(scxRegExprLine, 62273, "Line")                                                                        \
  X(scxRegExprChar, 62274, "Char")                                                                        \
  X(scxRegExprNotAssignedSourceStream, 62275, "The source stream is not assigned")                        \
  X(scxRegExprEmptySourceStream, 62276, "The source stream is empty")                                     \
  X(scxRegExprCantUsePlusQuantifier, 62277, "The '+' quantifier cannot be applied here")                  \
  X(scxRegExprCantUseStarQuantifier, 62278, "The '*' quantifier cannot be applied here")                  \
  X(scxRegExprCantCreateEmptyAlt, 62279, "The alternative should not be empty")                           \
  X(scxRegExprCantCreateEmptyBlock, 62280, "The block should not be empty")                               \
  X(scxRegExprIllegalSymbol, 62281, "Illegal '%s'")                                                       \
  X(scxRegExprIllegalQuantifier, 62282, "Illegal quantifier '%s'")                                        \
  X(scxRegExprNotSupportQuantifier, 62283, "The parameter quantifiers are not supported")                 \
  X(scxRegExprIllegalIntegerValue, 62284, "Illegal integer value")                                        \
  X(scxRegExprTooBigReferenceNumber, 62285, "Too big reference number")                                   \
  X(scxRegExprCantCreateEmptyEnum, 62286, "Can't create empty enumeration")                               \
  X(scxRegExprSubrangeOrder, 62287, "The starting character of the subrange must be less than the finishing one") \
  X(scxRegExprHexNumberExpected0, 62288, "Hexadecimal number expected")                                   \
  X(scxRegExprHexNumberExpected, 62289, "Hexadecimal number expected but '%s' found")                     \
  X(scxRegExprMissing, 62290, "Missing '%s'")                                                             \
  X(scxRegExprUnnecessary, 62291, "Unnecessary '%s'")                                                     \
  X(scxRegExprIncorrectSpace, 62292, "The space character is not allowed after '\\'")                     \
  X(scxRegExprNotCompiled, 62293, "Regular expression is not compiled")                                   \
  X(scxRegExprIncorrectParameterQuantifier, 62294, "Incorrect parameter quantifier")                      \
  X(scxRegExprCantUseParameterQuantifier, 62295, "The parameter quantifier cannot be applied here")       \
  X(scxMaskEditRegExprError, 62296, "Regular expression errors:")                                         \
  X(scxMaskEditInvalidEditValue, 62297, "The edit value is invalid")                                      \
  X(scxMaskEditNoMask, 62298, "None")                                                                     \
  X(scxMaskEditIllegalFileFormat, 62299, "Illegal file format")                                           \
  X(scxMaskEditEmptyMaskCollectionFile, 62300, "The mask collection file is empty")                       \
  X(scxMaskEditMaskCollectionFiles, 62301, "Mask collection files")                                       \
  X(cxSSpinEditInvalidNumericValue, 62302, "Invalid numeric value")

CX_EDIT_TEXTS(RESOURCESTRING)

void cxEditConstsInitialize();
void cxEditConstsFinalize();
