// The user's toolbar layout in an INI file, a stream or the registry: the
// manager's menu options, the items known when it was saved, every toolbar's
// docking state and geometry, and every link with its per-link settings.
// The manager's SaveTo*/LoadFrom* operations are defined here.
#pragma once

#include "bars/model/dxBarBase.h"
#include "foundation/dxCore.h"

class TCustomIniFile;

// A stored layout that cannot be read whole; the manager's layout is left as it was.
DECLARE_EXCEPTION(EdxBarLayoutError, EdxException)

// What the manager's read and write handlers receive.
struct TdxBarIniFileEventData {
  TCustomIniFile* IniFile = nullptr;
  TdxBarStoringKind StoringKind = skIni;
  String BaseSection;
  String Delimiter;
};

// The base of the manager's INI sections: the owner names up to the form,
// then the manager's own name, each followed by ".".
String dxBarIniBaseSection(TdxBarManager* AManager);
// The registry path with one "\" in front and one at the end; empty stays empty.
String dxBarNormalizeRegistryPath(const String& APath);

// Erases what an earlier save of the manager wrote under ABase, then writes the layout.
void dxBarWriteLayout(TdxBarManager* AManager, TCustomIniFile* AIniFile, const String& ABase,
                      TdxBarStoringKind AKind);
// Reads the whole layout first and applies it only when all of it reads;
// raises EdxBarLayoutError otherwise. A store holding no layout of the
// manager changes nothing.
void dxBarReadLayout(TdxBarManager* AManager, TCustomIniFile* AIniFile, const String& ABase,
                     TdxBarStoringKind AKind);

// The links an item keeps of its own (a sub item's menu), for the item's
// layout hooks: the section is ABase + "SubItem_" + the item's name.
String dxBarSubItemSection(const String& ABase, TdxBarItem* AItem);
// Writes the links and their "ItemLinkCount" under ASection.
void dxBarWriteItemLinks(TdxBarItemLinks* ALinks, TCustomIniFile* AIniFile, const String& ASection,
                         TdxBarStoringKind AKind);
// Reads the links of ASection when it holds an "ItemLinkCount"; links of
// items the layout did not know stay where they are. EdxBarLayoutError,
// with the links unchanged, when the section does not read.
void dxBarReadItemLinks(TdxBarItemLinks* ALinks, TCustomIniFile* AIniFile, const String& ASection,
                        TdxBarStoringKind AKind);
// The links take back the usage flags the designed snapshot gives them.
void dxBarReloadLinkSettings(TdxBarItemLinks* ALinks, TCustomIniFile* ASavedState, const String& ASection);

// The dotted path a layout stores for a dock control: its name alone when
// the manager's owner owns it, else prefixed with its owners' names up to a
// form; empty for a dock without name.
String dxBarDockControlPath(TdxBarManager* AManager, IdxBarDockControl* ADock);
// The dock control of the manager a stored path names (one of its free-
// standing docks), nil when there is none.
IdxBarDockControl* dxBarFindDockControl(TdxBarManager* AManager, const String& APath);
