// The user's toolbar layout in an INI file, a stream or the registry: the
// manager's menu options, the items known when it was saved, every toolbar's
// docking state and geometry, and every link with its per-link settings.
// The manager's SaveTo*/LoadFrom* operations are defined here.
#pragma once

#include "bars/model/dxBarBase.h"
#include "foundation/dxCore.h"

class TCustomIniFile;

DECLARE_ENUM(TdxBarStoringKind, skIni, skReg)

// A stored layout that cannot be read whole; the manager's layout is left as it was.
DECLARE_EXCEPTION(EdxBarLayoutError, EdxException)

// "." for INI text, "\" for registry keys.
String dxBarLayoutDelimiter(TdxBarStoringKind AKind);
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
