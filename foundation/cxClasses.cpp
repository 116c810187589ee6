#include "platform/WinApi.h"
#include "foundation/cxClasses.h"

#include "platform/core/Exceptions.h"
#include "platform/core/StringLists.h"
#include "platform/core/SysUtils.h"

#include <climits>

namespace {

int gInitCount = 0;

}  // namespace

// ---------------------------------------------------------------------------
// Text lookup
// ---------------------------------------------------------------------------

Byte cxTranslationMode = 2;
TStringList* cxTranslationSourceList = nullptr;
TStringList* cxTranslationTargetList = nullptr;

int cxFindTranslatedIndex(const TResStringRec* ARecord) {
  if (!cxTranslationSourceList || !ARecord) return -1;
  switch (cxTranslationMode) {
    case 0:
      return cxTranslationSourceList->IndexOf(LoadResString(ARecord));
    case 1:
      for (int i = 0; i < cxTranslationSourceList->Count(); ++i)
        if (static_cast<const void*>(cxTranslationSourceList->GetObject(i)) == ARecord) return i;
      return -1;
    default:
      return -1;
  }
}

String cxLookUpResourceString(const TResStringRec* ARecord) {
  const int index = cxFindTranslatedIndex(ARecord);
  // A target list that lacks the index has no translation for it.
  if (index < 0 || !cxTranslationTargetList || index >= cxTranslationTargetList->Count())
    return LoadResString(ARecord);
  return cxTranslationTargetList->Get(index);
}

void cxResetTranslationLists() {
  FreeAndNil(cxTranslationSourceList);
  FreeAndNil(cxTranslationTargetList);
  cxTranslationMode = 2;
}

// ---------------------------------------------------------------------------
// Unique component names
// ---------------------------------------------------------------------------

namespace {

bool IsIdentChar(Char c) {
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'_';
}

bool NameTaken(TComponent* AOwner, TComponent* AComponent, const String& AName) {
  if (!AOwner) return false;
  for (int i = 0; i < AOwner->ComponentCount(); ++i) {
    TComponent* c = AOwner->Components(i);
    if (c != AComponent && SameText(c->Name(), AName)) return true;
  }
  return false;
}

}  // namespace

String cxMakeUniqueComponentName(TComponent* AOwner, TComponent* AParent, TComponent* AComponent,
                                 const String& APrefix, const String& ABaseName) {
  String base;
  for (std::size_t i = 0; i < ABaseName.size(); ++i) {
    const Char c = ABaseName[i];
    if (IsIdentChar(c)) {
      base += c;
    } else if (c < 256 && IsDBCSLeadByte(static_cast<BYTE>(c))) {
      ++i;  // a double-byte lead takes its trail byte along
    }
  }
  const String className = AComponent ? AComponent->ClassName() : String();
  if ((base.empty() || (base[0] >= L'0' && base[0] <= L'9')) && !className.empty()) {
    if (!APrefix.empty() && className.size() >= APrefix.size() &&
        SameText(std::wstring_view(className).substr(0, APrefix.size()), APrefix)) {
      base = className.substr(APrefix.size()) + base;
    } else {
      base = className + base;
      if (!base.empty() && base[0] == L'T') base.erase(0, 1);
    }
  }
  if (AParent) base = AParent->Name() + base;

  String candidate;
  for (Int64 n = ABaseName.empty() ? 1 : 0;; ++n) {
    candidate = n > 0 ? base + IntToStr(n) : base;
    if (!NameTaken(AOwner, AComponent, candidate) || n >= INT_MAX) break;
  }
  return candidate;
}

// ---------------------------------------------------------------------------
// Thread hooks
// ---------------------------------------------------------------------------

bool cxInstallThreadHook(HHOOK& AHook, int AHookKind, HOOKPROC AHookProc) {
  // Overwriting would leak the installed hook and leave it running.
  Assert(AHook == nullptr, L"cxClasses: the hook variable holds a hook already");
  AHook = SetWindowsHookExW(AHookKind, AHookProc, nullptr, GetCurrentThreadId());
  return AHook != nullptr;
}

void cxRemoveThreadHook(HHOOK& AHook) {
  if (!AHook) return;
  UnhookWindowsHookEx(AHook);
  AHook = nullptr;
}

// ---------------------------------------------------------------------------
// Small routines
// ---------------------------------------------------------------------------

void cxInvokeNotifyEvent(TObject* ASender, const TNotifyEvent& AEvent) {
  if (AEvent) AEvent(ASender);
}

namespace {

// Names the protected owner query through a public using-declaration.
struct TPersistentOwnerAccess : TPersistent {
  using TPersistent::GetOwner;
};

}  // namespace

TPersistent* cxGetOwnerOf(TPersistent* APersistent) {
  if (!APersistent) return nullptr;
  TPersistent* (TPersistent::*getOwner)() = &TPersistentOwnerAccess::GetOwner;
  return (APersistent->*getOwner)();
}

int dxCharSizeAt(const String& AText, int APos) {
  if (APos < 1 || APos > static_cast<int>(AText.size())) return 0;
  const Char* p = AText.c_str() + (APos - 1);
  int units = static_cast<int>(CharNextW(p) - p);
  // Not every CharNextW steps over a whole surrogate pair.
  if (units < 2 && IS_HIGH_SURROGATE(p[0]) && IS_LOW_SURROGATE(p[1])) units = 2;
  return units * static_cast<int>(sizeof(Char));
}

// ---------------------------------------------------------------------------
// Module
// ---------------------------------------------------------------------------

void cxClassesInitialize() {
  ++gInitCount;
}

void cxClassesFinalize() {
  if (gInitCount == 0 || --gInitCount > 0) return;
  cxResetTranslationLists();
}
