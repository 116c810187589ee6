// Repository items (named, shareable properties objects that editors can use
// instead of their own), the repository that holds them, the registry of
// editor properties classes, and small routines of the editor module.
#pragma once

#include "editors/core/cxEditProperties.h"
#include "foundation/cxGeometry.h"
#include "platform/core/Components.h"
#include "platform/gui/Controls.h"

#include <vector>

class TcxEditRepository;
class TcxEditRepositoryItem;

// {4E27D642-022B-4CD2-AB96-64C7CF9B3299}
class IcxEditRepositoryItemListener {
 public:
  virtual void ItemRemoved(TcxEditRepositoryItem* Sender) = 0;
  virtual void PropertiesChanged(TcxEditRepositoryItem* Sender) = 0;

 protected:
  ~IcxEditRepositoryItemListener() = default;
};

class TcxEditRepositoryItem : public TComponent {
  DECLARE_CLASS(TcxEditRepositoryItem, TComponent)
  explicit TcxEditRepositoryItem(TComponent* AOwner);
  void AfterConstruction() override;
  // Tells every listener, last registered first, then leaves the repository.
  void BeforeDestruction() override;
  ~TcxEditRepositoryItem() override;

  // The class of the item's properties (its editor kind).
  virtual TcxCustomEditPropertiesClass GetEditPropertiesClass() const;
  // The repository's name followed by the class name after "TcxEditRepository".
  virtual String GetBaseName();
  virtual void NotifyPropertiesChanged(TObject* Sender);
  virtual void AddListener(IcxEditRepositoryItemListener* AListener);
  virtual void RemoveListener(IcxEditRepositoryItemListener* AListener);
  int ListenerCount() const { return static_cast<int>(FListenerList.size()); }
  // Whether AClass is the properties' class or an ancestor of it.
  bool ArePropertiesCompatible(TClass AClass) const;

  TComponent* GetParentComponent() override;
  bool HasParent() override { return FRepository != nullptr; }
  // EInvalidCast for a parent that is no repository.
  void SetParentComponent(TComponent* AParent) override;
  void ReadState(TReader* AReader) override;

  TcxCustomEditProperties* Properties() const { return FProperties; }
  void SetProperties(TcxCustomEditProperties* Value) { FProperties->Assign(Value); }
  TcxEditRepository* Repository() const { return FRepository; }
  void SetRepository(TcxEditRepository* Value);
  TNotifyEvent PropertiesEvents;

 private:
  std::vector<IcxEditRepositoryItemListener*> FListenerList;
  TcxCustomEditProperties* FProperties = nullptr;
  TcxEditRepository* FRepository = nullptr;
};

using TcxEditRepositoryItemClass = TClassOf<TcxEditRepositoryItem, TComponent*>;

class TcxEditRepository : public TComponent {
  DECLARE_CLASS(TcxEditRepository, TComponent)
  explicit TcxEditRepository(TComponent* AOwner);
  ~TcxEditRepository() override;

  virtual TcxEditRepositoryItem* CreateItem(TcxEditRepositoryItemClass ARepositoryItemClass);
  virtual TcxEditRepositoryItem* CreateItemEx(TcxEditRepositoryItemClass ARepositoryItemClass, TComponent* AOwner);
  // Frees the items from the last to the first.
  void Clear();
  // Case-insensitive; null when none.
  TcxEditRepositoryItem* ItemByName(const String& AName) const;
  int Count() const { return static_cast<int>(FItems.size()); }
  TcxEditRepositoryItem* Items(int AIndex) const { return FItems.at(static_cast<std::size_t>(AIndex)); }
  void GetChildren(TGetChildProc AProc, TComponent* ARoot) override;

 private:
  friend class TcxEditRepositoryItem;
  std::vector<TcxEditRepositoryItem*> FItems;
};

// The registry of editor properties classes, each with "Name|Description";
// made on first use, sorted.
TcxRegisteredClasses* cxEditPropertiesRegistry();
bool cxEditPropertiesRegistryExists();
void cxFreeEditPropertiesRegistry();

// When both are given, ACurrent is the item's properties object and its
// class inherits from AProperties' class: ACurrent := AProperties.
bool cxSubstituteRepositoryProperties(TcxCustomEditProperties* AProperties, TcxEditRepositoryItem* AItem,
                                      TcxCustomEditProperties*& ACurrent);
void cxAddRegionTo(HRGN ADest, HRGN ASource);
bool cxIsBlankChar(Char C);
// Sends the key in wParam and 0 in lParam to the window.
void cxSendKeyMessage(HWND AReceiver, UINT AMsg, WPARAM AKey);
void cxSendKeyDownMessage(HWND AReceiver, WPARAM AKey);
void cxSendCharMessage(HWND AReceiver, WPARAM AKey);
TShiftState cxMouseButtonShift(TMouseButton AButton);
// The option nothing in this system sets.
extern bool cxEditAltFocusRectMode;
