// Shared mechanisms of the library: the text lookup, multi-listener events,
// class registries, weak object links, free notifications, unique component
// names, thread hooks and small routines. The component base classes and
// collections are declared in cxClassesComponents.h, included here.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/Components.h"
#include "platform/core/ResStrings.h"
#include "platform/core/System.h"

#include "foundation/cxClassesComponents.h"

#include <vector>

class TStringList;

// ---------------------------------------------------------------------------
// Text lookup
// ---------------------------------------------------------------------------

// 0: the source list is searched by compiled text; 1: by record address (its
// objects hold the records' addresses); anything else: no translation.
extern Byte cxTranslationMode;
// Translated texts at the index of their source: installed by a localizer,
// owned by this module.
extern TStringList* cxTranslationSourceList;
extern TStringList* cxTranslationTargetList;

// The text of a string-table record: its translation when the translation
// lists have one, else the compiled text. All library texts come through here.
String cxLookUpResourceString(const TResStringRec* ARecord);
// Index of the record's translation, -1 when there is none.
int cxFindTranslatedIndex(const TResStringRec* ARecord);
// Frees the translation lists and switches translation off.
void cxResetTranslationLists();

// ---------------------------------------------------------------------------
// Multi-listener events
// ---------------------------------------------------------------------------

// A handler receives the sender and a caller-defined argument block.
using TcxEventHandler = TClosure<void(TObject* Sender, const void* AEventArgs)>;

// Handlers called in turn, in the order they were added. Handlers may add or
// remove handlers (themselves included) while CallEvents runs: every handler
// that was there when the call started and is still there when its turn
// comes runs exactly once; handlers added meanwhile wait for the next call.
// The collection may even be freed by a handler; the call then ends.
class TcxEventHandlerCollection : public TObject {
  DECLARE_CLASS(TcxEventHandlerCollection, TObject)
  TcxEventHandlerCollection() = default;
  ~TcxEventHandlerCollection() override;

  // Appends the handler unless the same one (code and object) is there.
  void Add(const TcxEventHandler& AEvent);
  void Remove(const TcxEventHandler& AEvent);
  void CallEvents(TObject* Sender, const void* AEventArgs);
  int Count() const { return static_cast<int>(FEvents.size()); }

 private:
  struct TCall;
  std::vector<TcxEventHandler> FEvents;
  std::vector<TCall*> FCalls;
};

// ---------------------------------------------------------------------------
// Class registries
// ---------------------------------------------------------------------------

class TcxRegisteredClassListItemData : public TObject {
  DECLARE_CLASS(TcxRegisteredClassListItemData, TObject)
  TcxRegisteredClassListItemData() = default;
  TClass ItemClass = nullptr;
  TClass RegisteredClass = nullptr;
};

// Maps an item class to a registered class by inheritance: the entry of the
// nearest registered ancestor (or the class itself) answers.
class TcxRegisteredClassList : public TObject {
  DECLARE_CLASS(TcxRegisteredClassList, TObject)
  TcxRegisteredClassList() = default;
  ~TcxRegisteredClassList() override;

  void Clear();
  virtual void Register(TClass AItemClass, TClass ARegisteredClass);
  // Removes every entry of exactly that pair.
  virtual void Unregister(TClass AItemClass, TClass ARegisteredClass);
  TClass FindClass(TClass AItemClass);
  int Count() const { return static_cast<int>(FItems.size()); }
  TcxRegisteredClassListItemData* Items(int AIndex) const;

 protected:
  // Searches from the end for the entry of the class or an ancestor (true,
  // AIndex is its position); otherwise AIndex is the first entry of a
  // descendant, or stays as given.
  virtual bool LocateClass(TClass AItemClass, int& AIndex);

 private:
  std::vector<TcxRegisteredClassListItemData*> FItems;
};

// Classes with a description text "Description|Hint", optionally sorted by
// description and registered for streaming.
class TcxRegisteredClasses : public TObject {
  DECLARE_CLASS(TcxRegisteredClasses, TObject)
  explicit TcxRegisteredClasses(bool ARegisterClasses = false);
  ~TcxRegisteredClasses() override;

  void Clear();
  // Nothing when the class is registered already.
  void Register(TClass AClass, const String& ADescription);
  // Removes the entry; a streaming registration stays.
  void Unregister(TClass AClass);

  TClass FindByClassName(const String& AClassName) const;
  TClass FindByDescription(const String& ADescription) const;
  String GetDescriptionByClass(TClass AClass) const;
  String GetHintByClass(TClass AClass) const;
  int GetIndexByClass(TClass AClass) const;

  int Count() const { return static_cast<int>(FItems.size()); }
  // By index; EListError for an index out of range.
  String Descriptions(int AIndex) const;
  String Hints(int AIndex) const;
  TClass Items(int AIndex) const;

  bool RegisterClasses() const { return FRegisterClasses; }
  void SetRegisterClasses(bool AValue) { FRegisterClasses = AValue; }
  bool Sorted() const { return FSorted; }
  // True sorts at once; false keeps the order.
  void SetSorted(bool AValue);

 protected:
  virtual int CompareByDescription(int AIndex1, int AIndex2) const;
  virtual void SortEntries();

 private:
  struct TEntry {
    String Text;
    TClass Class;
  };
  void CheckIndex(int AIndex) const;
  std::vector<TEntry> FItems;
  bool FRegisterClasses;
  bool FSorted = false;
};

// ---------------------------------------------------------------------------
// Weak object links
// ---------------------------------------------------------------------------

// Follows an object; Ref becomes null when the object is destroyed (its
// destructor calls cxClearObjectLinks).
class TcxObjectLink : public TObject {
  DECLARE_CLASS(TcxObjectLink, TObject)
  TcxObjectLink() = default;
  TObject* Ref = nullptr;
};

class TcxObjectLinkController : public TObject {
  DECLARE_CLASS(TcxObjectLinkController, TObject)
  TcxObjectLinkController() = default;
  // Frees the list, not the links.
  ~TcxObjectLinkController() override = default;

  TcxObjectLink* AddLink(TObject* AObject);
  void RemoveLink(TcxObjectLink* ALink);
  void ClearLinks(TObject* AObject);
  int LinkCount() const { return static_cast<int>(FLinks.size()); }

 private:
  std::vector<TcxObjectLink*> FLinks;
};

// A new link to AObject (null for null). Release it with cxReleaseObjectLink.
TcxObjectLink* cxCreateObjectLink(TObject* AObject);
// Frees a link (null is ignored).
void cxReleaseObjectLink(TcxObjectLink* ALink);
// Sets every link to AObject to null; called by objects that may be linked
// when they are destroyed.
void cxClearObjectLinks(TObject* AObject);
// The controller of the live links, null while no link is handed out.
TcxObjectLinkController* cxGetObjectLinkController();

// ---------------------------------------------------------------------------
// Free notifications as an event
// ---------------------------------------------------------------------------

using TcxFreeNotificationEvent = TClosure<void(TComponent* Sender)>;

class TcxFreeNotificator : public TComponent {
  DECLARE_CLASS(TcxFreeNotificator, TComponent)
  explicit TcxFreeNotificator(TComponent* AOwner);

  // Asks ASender to report its destruction; null is ignored.
  void AddSender(TComponent* ASender);
  void RemoveSender(TComponent* ASender);
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TcxFreeNotificationEvent OnFreeNotification;
};

// ---------------------------------------------------------------------------
// Unique component names, thread hooks, small routines
// ---------------------------------------------------------------------------

// A name no other component of AOwner has: AParent's name, then ABaseName's
// identifier characters (or the class name without APrefix or "T"), then a
// number when needed.
String cxMakeUniqueComponentName(TComponent* AOwner, TComponent* AParent, TComponent* AComponent,
                                 const String& APrefix, const String& ABaseName);

// Installs a hook of the current thread into AHook. A variable that holds a
// hook already raises EAssertionFailed (the hook stays as it is). Returns
// whether the hook is installed; a failure leaves 0. The hook procedure runs
// its body through GuardCallback (platform/core/Exceptions.h) and calls
// CallNextHookEx also when the body raised.
bool cxInstallThreadHook(HHOOK& AHook, int AHookKind, HOOKPROC AHookProc);
// Removes the hook of the variable, if any, and sets it to 0.
void cxRemoveThreadHook(HHOOK& AHook);

void cxInvokeNotifyEvent(TObject* ASender, const TNotifyEvent& AEvent);
inline bool cxIsSameMethod(const TMethod& A, const TMethod& B) { return A.Code == B.Code && A.Data == B.Data; }
template <class Sig>
bool cxIsSameMethod(const TClosure<Sig>& A, const TClosure<Sig>& B) {
  return cxIsSameMethod(A.Method(), B.Method());
}
// The persistent's owner (the protected owner query).
TPersistent* cxGetOwnerOf(TPersistent* APersistent);
inline TSize cxMakeSize(int AWidth, int AHeight) { return TSize(AWidth, AHeight); }
inline int cxSignOfValue(double X) { return X >= 0 ? 1 : -1; }
// Byte size (2, or 4 for a surrogate pair) of the character at the 1-based
// position; 0 outside the text.
int dxCharSizeAt(const String& AText, int APos);

// Module start-up and shutdown.
void cxClassesInitialize();
void cxClassesFinalize();
