// The common base of the components a bar manager holds (items, groups,
// popup menus), the design-time selection protocol they share with toolbars
// and item links, the small lists they use, and groups of items.
#pragma once

#include "bars/model/dxBarBase.h"
#include "bars/model/dxBarSelection.h"

#include <vector>

class TStringList;
class TdxBarComponentList;
class TdxObjectList;

// A non-owning object list that ignores nil and duplicates.
class TdxObjectList : public TObjectList {
  DECLARE_CLASS(TdxObjectList, TObjectList)
  TdxObjectList() : TObjectList(false) {}
  int Add(TObject* AObject);
  void AddList(TObjectList* AObjects);
  void CopyFrom(TObjectList* ASource);
  void CopyTo(TObjectList* ADestination);
  // The objects of A not in B, then those of B not in A.
  void XorList(TObjectList* ASourceA, TObjectList* ASourceB);
  // Nil for an empty list.
  TObject* First() const { return TObjectList::First(); }
  TObject* Last() const { return TObjectList::Last(); }
};

// Base of items, groups and popup menus: the manager they belong to and the
// lists that want to hear about their changes.
class TdxBarComponent : public TcxComponent, public IdxBarSelectableItem {
  DECLARE_CLASS(TdxBarComponent, TcxComponent)
  explicit TdxBarComponent(TComponent* AOwner);
  ~TdxBarComponent() override;

  TdxBarManager* BarManager() const override { return FBarManager; }
  virtual bool Enabled() = 0;
  virtual void SetEnabled(bool AValue) = 0;
  TdxBarItemVisible Visible() const { return FVisible; }
  virtual void SetVisible(TdxBarItemVisible AValue) = 0;

  // Tells every list that holds the component that it changed (nil instead
  // of the component when the whole list changed).
  virtual void NotifyListsOfChange(bool AAllChanged);

  // IdxBarSelectableItem
  bool MayBeDeleted(bool ADeleteComponent) override;
  void DeleteFromDesigner(IdxBarSelectableItem*& AReference, bool ADeleteComponent) override;
  void RunCustomizationAction(TdxBarCustomizationAction) override {}
  void CollectMasterObjects(TdxObjectList* AObjects) override;
  IdxBarSelectableItem* FollowingSelectable() override { return nullptr; }
  TPersistent* SelectableParentObject() override { return Owner(); }
  TdxBarSelectionStatus DesignSelectionState() override;
  TdxBarCustomizationActions SupportedCustomizationActions() override { return {caDelete}; }
  void RefreshDesignView() override {}
  bool HasMultipleParts() override { return false; }
  bool IsDesignSelected() override { return DesignSelectionState() == ssActiveSelected; }
  void SelectInDesigner(TdxBarSelectionOperation AOperation) override;
  bool SelectParentInDesigner() override { return false; }
  void SelectionStateChanged() override {}
  TPersistent* SelectableInstance() override { return this; }

  // A hook for the designer; nothing here.
  virtual void ExtraDesignHook() {}

 protected:
  friend class TdxBarComponentList;
  TdxBarManager* FBarManager = nullptr;
  // The component lists that hold this component (not owned).
  std::vector<TdxBarComponentList*> FChangeNotifies;
  bool FEnabled = true;
  TdxBarItemVisible FVisible = ivAlways;
};

// The manager's lists of items and groups: accepts bar components only and
// registers itself with each member, so a member's change reaches the list.
class TdxBarComponentList : public TcxComponentList {
  DECLARE_CLASS(TdxBarComponentList, TcxComponentList)
  TdxBarComponentList() = default;
  TdxBarComponent* Items(int AIndex) const { return static_cast<TdxBarComponent*>(Get(AIndex)); }
  // The member changed (nil: the whole list).
  void ComponentChanged(TdxBarComponent* AComponent);

 protected:
  TClass AcceptedItemClass() override { return TdxBarComponent::StaticClass(); }
  void NotifyChanged(TComponent* AComponent, TListNotification AAction) override;
};

// A named set of items and groups whose Enabled and Visible reach all members.
class TdxBarGroup : public TdxBarComponent {
  DECLARE_CLASS(TdxBarGroup, TdxBarComponent)
  explicit TdxBarGroup(TComponent* AOwner);
  ~TdxBarGroup() override;

  // Nothing for nil or a member; EdxException for a group that would contain itself.
  void Add(TdxBarComponent* AItem);
  void Delete(int AIndex);
  void Remove(TdxBarComponent* AItem);
  int IndexOf(TdxBarComponent* AItem) const;
  void Move(int AFromIndex, int AToIndex);
  // While the group is compared with its ancestor form, the stored names count.
  int Count() const;
  TdxBarComponent* Items(int AIndex) const { return FItems->Items(AIndex); }
  // Position in the manager's group list; the setter moves it there.
  int Index() const;
  void SetIndex(int AValue);

  bool Enabled() override { return FEnabled; }
  void SetEnabled(bool AValue) override;
  void SetVisible(TdxBarItemVisible AValue) override;
  void SetName(const String& ANewName) override;

  void DefineProperties(TFiler* AFiler) override;
  void Loaded() override;
  bool HasParent() override { return FBarManager != nullptr; }
  TComponent* GetParentComponent() override;
  void SetParentComponent(TComponent* AParent) override;

 private:
  bool ContainsGroup(TdxBarGroup* AGroup);
  bool IsComparedWithAncestor() const;
  // The name of a member as the stored definition gives it.
  String MemberName(int AIndex) const;
  // Runs AProc on every member, inside the manager's update bracket when asked.
  template <class F>
  void ForEachMember(bool ABracket, F&& AProc);
  // Adds the components of the owner form with these names, then frees the list.
  void AddNamedItems(TStringList* ANames);
  void ReadItems(TReader* AReader);
  void WriteItems(TWriter* AWriter);
  TdxBarComponentList* FItems;
  TStringList* FItemsNames = nullptr;
};
