// Filter edit helpers: for one editor kind, the editor in which a filter
// value is typed, the comparison operators that make sense for it and the
// conversions between the editor's value and the filter value; and the
// process-wide registry that maps an editor properties class to its helper.
#pragma once

#include "editors/core/cxDataStorage.h"
#include "editors/core/cxEditProperties.h"
#include "platform/core/System.h"

#include <vector>

class TcxCustomEdit;
class TcxCustomEditProperties;
class TcxInplaceEditList;

DECLARE_ENUM(TcxFilterControlOperator, fcoNone, fcoEqual, fcoNotEqual, fcoLess, fcoLessEqual, fcoGreater,
             fcoGreaterEqual, fcoLike, fcoNotLike, fcoBlanks, fcoNonBlanks, fcoBetween, fcoNotBetween, fcoInList,
             fcoNotInList, fcoYesterday, fcoToday, fcoTomorrow, fcoLast7Days, fcoLastWeek, fcoLast14Days,
             fcoLastTwoWeeks, fcoLast30Days, fcoLastMonth, fcoLastYear, fcoInPast, fcoThisWeek, fcoThisMonth,
             fcoThisYear, fcoNext7Days, fcoNextWeek, fcoNext14Days, fcoNextTwoWeeks, fcoNext30Days, fcoNextMonth,
             fcoNextYear, fcoInFuture)
using TcxFilterControlOperators = TSet<TcxFilterControlOperator, 37>;

class TcxCustomFilterEditHelper;
// A helper is one stateless object per class (`Instance()`).
using TcxCustomFilterEditHelperClass = const TcxCustomFilterEditHelper*;

class TcxCustomFilterEditHelper {
 public:
  virtual ~TcxCustomFilterEditHelper() = default;
  static TcxCustomFilterEditHelperClass Instance();

  // Clears OnButtonClick, OnChange, OnEditValueChanged and OnValidate.
  virtual void ClearPropertiesEvents(TcxCustomEditProperties* AProperties) const;
  virtual bool KeepsDefaultValuesProvider(TcxCustomEditProperties*) const { return true; }
  virtual bool EditPropertiesHasButtons() const { return false; }
  // The properties class of the editor a filter value is typed in (each
  // helper names its own; the base has none).
  virtual TcxCustomEditPropertiesClass GetFilterEditPropertiesClass() const { return nullptr; }
  // Makes the editor's active properties fit the column's.
  virtual void InitializeFilterEdit(TcxCustomEdit* AEdit, TcxCustomEditProperties* AEditProperties) const;
  // The editor's value, and its display text as the column shows it.
  virtual void GetFilterValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AEditProperties, Variant& V,
                              String& S) const;
  virtual void SetFilterValue(TcxCustomEdit*, TcxCustomEditProperties*, const Variant&) const {}
  // The in-place list's editor of the filter class, or a new one without an
  // owner; set up for AEditProperties.
  TcxCustomEdit* GetFilterEdit(TcxCustomEditProperties* AEditProperties,
                               TcxInplaceEditList* AInplaceEditList = nullptr) const;
  // fcoEqual..fcoNonBlanks, plus fcoBetween..fcoNotInList when extended;
  // the like operators only for a string value type.
  virtual TcxFilterControlOperators GetSupportedFilterOperators(TcxCustomEditProperties* AProperties,
                                                                TcxValueTypeClass AValueTypeClass,
                                                                bool AExtendedSet) const;
  // Copies AEditProperties into AProperties and makes them fit a filter
  // editor: left and top aligned, no beep, no buttons unless AHasButtons,
  // writable, validated on Enter, no events.
  virtual void InitializeProperties(TcxCustomEditProperties* AProperties, TcxCustomEditProperties* AEditProperties,
                                    bool AHasButtons) const;
  virtual bool IsValueValid(TcxValueTypeClass AValueTypeClass, Variant& AValue) const;
  virtual bool UseDisplayValue() const { return false; }

 protected:
  TcxCustomFilterEditHelper() = default;
};

// Entries are keyed by the parent class of the properties class passed in,
// and found for that class and every descendant of it, the last registered
// entry first.
class TcxFilterEditsController : public TObject {
  DECLARE_CLASS(TcxFilterEditsController, TObject)
  TcxFilterEditsController() = default;

  void Register(TClass AItemClass, TcxCustomFilterEditHelperClass AHelper);
  // The last unregistration frees the process-wide instance.
  void Unregister(TClass AItemClass, TcxCustomFilterEditHelperClass AHelper);
  TcxCustomFilterEditHelperClass FindHelper(TClass APropertiesClass) const;
  int Count() const { return static_cast<int>(FItems.size()); }

 private:
  struct TEntry {
    TClass ItemClass;
    TcxCustomFilterEditHelperClass Helper;
  };
  std::vector<TEntry> FItems;
};

// The process-wide controller, made on first use.
TcxFilterEditsController* cxFilterEditsControllerInstance();
// Whether the process-wide controller exists now.
bool cxFilterEditsControllerExists();
