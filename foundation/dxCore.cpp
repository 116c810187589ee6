#include "platform/WinApi.h"
#include "foundation/dxCore.h"

#include "platform/core/SysUtils.h"
#include "platform/core/Variants.h"
#include "platform/gui/Graphics.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_CLASS(TdxProductResourceStrings, TObject, nullptr)
IMPLEMENT_CLASS(TdxResourceStringsRepository, TObject, (ConstructPlain<TdxResourceStringsRepository>))

bool dxIsWin9xPlatform = false;
bool dxIsWindows95 = false;
bool dxIsNTPlatform = false;
bool dxIsWindowsXP = false;
bool dxIsWindowsXPOrLater = false;
bool dxIsWindowsVista = false;
bool dxIsWindowsVistaOrLater = false;
bool dxIsWindows7 = false;
bool dxIsWow64Process = false;

namespace {

int gInitCount = 0;
TdxResourceStringsRepository* gRepository = nullptr;

Word gWeekStartOverride = 0;
bool gHasWeekStartOverride = false;

}  // namespace

// ---------------------------------------------------------------------------
// Operating-system flags
// ---------------------------------------------------------------------------

TdxOSFlags dxComputeOSFlags(DWORD APlatformId, DWORD AMajorVersion, DWORD AMinorVersion) {
  TdxOSFlags f;
  f.IsWin9xPlatform = APlatformId == VER_PLATFORM_WIN32_WINDOWS;
  f.IsWindows95 = f.IsWin9xPlatform && AMinorVersion == 0;
  f.IsNTPlatform = APlatformId == VER_PLATFORM_WIN32_NT;
  f.IsWindowsXP = f.IsNTPlatform && AMajorVersion == 5 && AMinorVersion > 0;
  f.IsWindowsXPOrLater = f.IsNTPlatform && AMajorVersion >= 5 && !(AMajorVersion == 5 && AMinorVersion == 0);
  f.IsWindowsVista = f.IsNTPlatform && AMajorVersion == 6;
  f.IsWindowsVistaOrLater = f.IsNTPlatform && AMajorVersion >= 6;
  f.IsWindows7 = f.IsNTPlatform && AMajorVersion == 6 && AMinorVersion == 1;
  return f;
}

bool dxQueryIsWow64Process() {
  using TIsWow64Process = BOOL(WINAPI*)(HANDLE, PBOOL);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (!kernel) return false;
  auto fn = reinterpret_cast<TIsWow64Process>(reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")));
  if (!fn) return false;
  BOOL wow64 = FALSE;
  return fn(GetCurrentProcess(), &wow64) && wow64;
}

namespace {

void ComputeProcessOSFlags() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!GetVersionExW(&info)) info = OSVERSIONINFOW{};
  const TdxOSFlags f = dxComputeOSFlags(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
  dxIsWin9xPlatform = f.IsWin9xPlatform;
  dxIsWindows95 = f.IsWindows95;
  dxIsNTPlatform = f.IsNTPlatform;
  dxIsWindowsXP = f.IsWindowsXP;
  dxIsWindowsXPOrLater = f.IsWindowsXPOrLater;
  dxIsWindowsVista = f.IsWindowsVista;
  dxIsWindowsVistaOrLater = f.IsWindowsVistaOrLater;
  dxIsWindows7 = f.IsWindows7;
  dxIsWow64Process = dxQueryIsWow64Process();
}

}  // namespace

// ---------------------------------------------------------------------------
// TdxProductResourceStrings
// ---------------------------------------------------------------------------

TdxProductResourceStrings::TdxProductResourceStrings(const String& AName,
                                                     TdxAddResourceStringsProcedure AInitializeProc)
    : FName(AName), FInitializeProc(AInitializeProc) {
  if (FInitializeProc) FInitializeProc(this);
}

TdxProductResourceStrings::~TdxProductResourceStrings() {
  FInitializeProc = nullptr;
}

bool TdxProductResourceStrings::Find(const String& AName, int& AIndex) const {
  // Same order and matching as a sorted, case-insensitive string list.
  int lo = 0, hi = ResStringsCount() - 1;
  bool found = false;
  while (lo <= hi) {
    const int mid = (lo + hi) / 2;
    const int c = AnsiCompareText(FResStrings[mid].Name, AName);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) found = true;
    }
  }
  AIndex = lo;
  return found;
}

void TdxProductResourceStrings::Add(const String& AResStringName, const TResStringRec* AResStringAddr) {
  int index;
  if (Find(AResStringName, index)) return;
  FResStrings.insert(FResStrings.begin() + index, TEntry{AResStringName, AResStringAddr});
}

void TdxProductResourceStrings::Clear() {
  FResStrings.clear();
}

int TdxProductResourceStrings::GetIndexByName(const String& AName) const {
  int index;
  return Find(AName, index) ? index : -1;
}

void TdxProductResourceStrings::CheckIndex(int AIndex) const {
  if (AIndex < 0 || AIndex >= ResStringsCount())
    throw EStringListError(Format(L"List index out of bounds (%d)", {AIndex}));
}

const String& TdxProductResourceStrings::Names(int AIndex) const {
  CheckIndex(AIndex);
  return FResStrings[AIndex].Name;
}

const TResStringRec* TdxProductResourceStrings::ResStrings(int AIndex) const {
  CheckIndex(AIndex);
  return FResStrings[AIndex].Rec;
}

String TdxProductResourceStrings::Values(int AIndex) const {
  return LoadResString(ResStrings(AIndex));
}

// ---------------------------------------------------------------------------
// TdxResourceStringsRepository
// ---------------------------------------------------------------------------

// One running NotifyListeners: the next position to call and the end of the
// listeners that were there when it started, both kept in step with removals.
struct TdxResourceStringsRepository::TNotification {
  std::size_t Next = 0;
  std::size_t End = 0;
  bool RepositoryGone = false;
};

TdxResourceStringsRepository::~TdxResourceStringsRepository() {
  for (TNotification* n : FNotifications) n->RepositoryGone = true;
  for (TdxProductResourceStrings* p : FProducts) TObject::Free(p);
  FProducts.clear();
}

void TdxResourceStringsRepository::RegisterProduct(const String& AProductName,
                                                   TdxAddResourceStringsProcedure AAddStringsProc) {
  auto* product = Make<TdxProductResourceStrings>(AProductName, AAddStringsProc);
  FProducts.push_back(product);
}

void TdxResourceStringsRepository::UnRegisterProduct(const String& AProductName) {
  const int index = GetProductIndexByName(AProductName);
  if (index < 0) return;
  TdxProductResourceStrings* product = FProducts[index];
  FProducts.erase(FProducts.begin() + index);
  TObject::Free(product);
}

int TdxResourceStringsRepository::GetProductIndexByName(const String& AName) const {
  for (std::size_t i = 0; i < FProducts.size(); ++i)
    if (FProducts[i]->Name() == AName) return static_cast<int>(i);
  return -1;
}

TdxProductResourceStrings* TdxResourceStringsRepository::Products(int AIndex) const {
  if (AIndex < 0 || AIndex >= ProductsCount())
    throw EListError(Format(L"List index out of bounds (%d)", {AIndex}));
  return FProducts[AIndex];
}

String TdxResourceStringsRepository::GetOriginalValue(const String& AName) const {
  for (TdxProductResourceStrings* p : FProducts) {
    const int index = p->GetIndexByName(AName);
    if (index >= 0) return p->Values(index);
  }
  return String();
}

void TdxResourceStringsRepository::Translate() {
  if (!OnTranslateResString) return;
  // Positions are checked on every step: the handler may change the lists,
  // even unregister the product being walked.
  for (int i = 0; i < ProductsCount();) {
    TdxProductResourceStrings* product = FProducts[i];
    auto present = [this, i, product] { return i < ProductsCount() && FProducts[i] == product; };
    for (int j = 0; present() && j < product->ResStringsCount(); ++j)
      OnTranslateResString(product->Names(j), product->ResStrings(j));
    // A product that went has made room for the next one at its place.
    if (present()) ++i;
  }
}

void TdxResourceStringsRepository::AddListener(IdxLocalizerListener* AListener) {
  if (!AListener) return;
  if (std::find(FListeners.begin(), FListeners.end(), AListener) != FListeners.end()) return;
  FListeners.push_back(AListener);
}

void TdxResourceStringsRepository::RemoveListener(IdxLocalizerListener* AListener) {
  const auto it = std::find(FListeners.begin(), FListeners.end(), AListener);
  if (it == FListeners.end()) return;
  const std::size_t pos = static_cast<std::size_t>(it - FListeners.begin());
  FListeners.erase(it);
  for (TNotification* n : FNotifications) {
    if (pos < n->Next) {
      --n->Next;
      --n->End;
    } else if (pos < n->End) {
      --n->End;
    }
  }
}

void TdxResourceStringsRepository::NotifyListeners() {
  TNotification n;
  n.End = FListeners.size();
  FNotifications.push_back(&n);
  auto leave = [this, &n] {
    if (!n.RepositoryGone) FNotifications.erase(std::find(FNotifications.begin(), FNotifications.end(), &n));
  };
  try {
    while (!n.RepositoryGone && n.Next < n.End) {
      IdxLocalizerListener* listener = FListeners[n.Next++];
      listener->TranslationChanged();
    }
  } catch (...) {
    leave();
    throw;
  }
  leave();
}

TdxResourceStringsRepository* dxGetResourceStringsRepository() {
  if (!gRepository) gRepository = Make<TdxResourceStringsRepository>();
  return gRepository;
}

// ---------------------------------------------------------------------------
// First day of the week
// ---------------------------------------------------------------------------

Word dxLocaleDayToWeekStart(int ALocaleDay) {
  const int day = ALocaleDay + 1;
  return static_cast<Word>(day > 6 || day < 0 ? 0 : day);
}

Word dxReadLocaleWeekStart() {
  const String text = dxReadLocaleString(GetThreadLocale(), LOCALE_IFIRSTDAYOFWEEK, L"0");
  return dxLocaleDayToWeekStart(StrToIntDef(text, 0));
}

Word dxGetEffectiveWeekStart() {
  return gHasWeekStartOverride ? gWeekStartOverride : dxReadLocaleWeekStart();
}

void dxSetWeekStartOverride(int ADay) {
  if (ADay < 0 || ADay > 6) return;
  gWeekStartOverride = static_cast<Word>(ADay);
  gHasWeekStartOverride = true;
}

void dxClearWeekStartOverride() {
  gHasWeekStartOverride = false;
}

bool dxHasWeekStartOverride() {
  return gHasWeekStartOverride;
}

// ---------------------------------------------------------------------------
// Code pages
// ---------------------------------------------------------------------------

String dxDecodeAnsiString(const AnsiString& AData, UINT ACodePage, int AByteCount) {
  if (AData.empty()) return String();
  const int size = static_cast<int>(AData.size());
  const int count = AByteCount < 0 || AByteCount > size ? size : AByteCount;
  if (count == 0) return String();
  if (!dxIsNTPlatform && ACodePage == CP_UTF8) return UTF8Decode(std::string_view(AData.data(), count));
  const int length = MultiByteToWideChar(ACodePage, 0, AData.data(), count, nullptr, 0);
  if (length <= 0) return String();
  String result(static_cast<std::size_t>(length), L'\0');
  const DWORD flags = ACodePage == CP_UTF8 ? 0 : MB_PRECOMPOSED;
  int written = MultiByteToWideChar(ACodePage, flags, AData.data(), count, result.data(), length);
  // Some code pages (ISO-2022, symbol) accept no flags at all.
  if (written == 0 && flags != 0)
    written = MultiByteToWideChar(ACodePage, 0, AData.data(), count, result.data(), length);
  result.resize(static_cast<std::size_t>(written > 0 ? written : 0));
  return result;
}

AnsiString dxEncodeWideString(const String& AText, UINT ACodePage, int ACharCount) {
  if (AText.empty()) return AnsiString();
  const int size = static_cast<int>(AText.size());
  const int count = ACharCount < 0 || ACharCount > size ? size : ACharCount;
  if (count == 0) return AnsiString();
  if (!dxIsNTPlatform && ACodePage == CP_UTF8) return UTF8Encode(std::wstring_view(AText.data(), count));
  const int length = WideCharToMultiByte(ACodePage, 0, AText.data(), count, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return AnsiString();
  AnsiString result(static_cast<std::size_t>(length), '\0');
  const int written =
      WideCharToMultiByte(ACodePage, 0, AText.data(), count, result.data(), length, nullptr, nullptr);
  result.resize(static_cast<std::size_t>(written > 0 ? written : 0));
  return result;
}

// ---------------------------------------------------------------------------
// Variants
// ---------------------------------------------------------------------------

namespace {

template <class T>
void AppendRaw(AnsiString& out, T value) {
  char bytes[sizeof(T)];
  std::memcpy(bytes, &value, sizeof(T));
  out.append(bytes, sizeof(T));
}

// The element's bytes as the array stores them.
void AppendElement(AnsiString& out, const Variant& e, TVarType elementType) {
  switch (elementType) {
    case varByte:
    case varShortInt:
      out.push_back(static_cast<char>(e.AsInteger()));
      break;
    case varSmallint:
    case varWord:
      AppendRaw(out, static_cast<std::uint16_t>(e.AsInteger()));
      break;
    case varBoolean:
      AppendRaw(out, static_cast<std::int16_t>(e.AsBoolean() ? -1 : 0));
      break;
    case varInteger:
    case varLongWord:
    case varError:
      AppendRaw(out, static_cast<std::uint32_t>(e.AsInt64()));
      break;
    case varSingle:
      AppendRaw(out, static_cast<float>(e.AsDouble()));
      break;
    case varDouble:
    case varDate:
      AppendRaw(out, e.AsDouble());
      break;
    case varCurrency:
      AppendRaw(out, e.AsCurrency().Value);
      break;
    case varInt64:
      AppendRaw(out, e.AsInt64());
      break;
    case varUInt64:
      AppendRaw(out, e.AsUInt64());
      break;
    default: {
      // Variant (or string) elements carry no raw layout: each must be a byte value.
      const int v = e.AsInteger();
      if (v < 0 || v > 255) throw EVariantOverflowError(L"Arithmetic overflow error");
      out.push_back(static_cast<char>(v));
      break;
    }
  }
}

}  // namespace

AnsiString dxConvertVariantToAnsi(const Variant& V) {
  if (VarIsArray(V) && VarArrayDimCount(V) == 1) {
    const TVarType elementType = V.VType() & varTypeMask;
    const int low = VarArrayLowBound(V, 1);
    const int high = VarArrayHighBound(V, 1);
    AnsiString result;
    for (int i = low; i <= high; ++i) AppendElement(result, VarArrayGet(V, i), elementType);
    return result;
  }
  // A byte string is already the bytes: going through text would lose those
  // the active code page cannot map (double-byte code pages).
  if (VarType(V) == varString) return V.AsAnsiString();
  return dxEncodeWideString(VarToStr(V), CP_ACP);
}

String dxConvertVariantToWide(const Variant& V) {
  if (VarIsStr(V)) return V.AsString();
  return dxDecodeAnsiString(dxConvertVariantToAnsi(V), CP_ACP);
}

String dxConvertVariantToString(const Variant& V) {
  return dxConvertVariantToWide(V);
}

bool dxVariantHoldsBytes(const Variant& V) {
  return VarIsStr(V) || (VarIsArray(V) && VarArrayDimCount(V) == 1);
}

// ---------------------------------------------------------------------------
// Small helpers
// ---------------------------------------------------------------------------

bool dxWideCharInSet(Char C, const TSysCharSet& ASet) {
  return C < 256 && ASet.Contains(static_cast<unsigned char>(C));
}

RGBQUAD dxMakeRGBQuadFromColor(int AColor, Byte AReserved) {
  const TColor rgb = ColorToRGB(AColor);
  RGBQUAD q;
  q.rgbRed = GetRValue(rgb);
  q.rgbGreen = GetGValue(rgb);
  q.rgbBlue = GetBValue(rgb);
  q.rgbReserved = AReserved;
  return q;
}

bool dxCallGetStringTypeW(DWORD AInfoType, const Char* AText, int ALength, Word* ACharTypes) {
  return GetStringTypeW(AInfoType, AText, ALength, ACharTypes) != FALSE;
}

Word dxGetCharTypeFlags(Char C) {
  Word flags = 0;
  return dxCallGetStringTypeW(CT_CTYPE1, &C, 1, &flags) ? flags : 0;
}

void dxClearBytes(void* P, std::size_t ACount) {
  if (P && ACount) std::memset(P, 0, ACount);
}

void dxCopyBytes(const void* ASource, void* ADest, std::size_t ACount) {
  if (ASource && ADest && ACount) std::memmove(ADest, ASource, ACount);
}

String dxReadLocaleString(LCID ALocale, LCTYPE AType, const String& ADefault) {
  const int length = GetLocaleInfoW(ALocale, AType, nullptr, 0);
  if (length <= 0) return ADefault;
  String text(static_cast<std::size_t>(length), L'\0');
  const int written = GetLocaleInfoW(ALocale, AType, text.data(), length);
  if (written <= 0) return ADefault;
  text.resize(static_cast<std::size_t>(written - 1));
  return text;
}

// ---------------------------------------------------------------------------
// Module
// ---------------------------------------------------------------------------

void dxCoreInitialize() {
  if (gInitCount++ > 0) return;
  ComputeProcessOSFlags();
  // Kept as the override's value without the flag: until an override is set,
  // the live locale is read.
  gWeekStartOverride = dxReadLocaleWeekStart();
  gHasWeekStartOverride = false;
}

void dxCoreFinalize() {
  if (gInitCount == 0 || --gInitCount > 0) return;
  FreeAndNil(gRepository);
}
