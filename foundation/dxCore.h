// The library's first module: the repository of user-visible texts, the
// operating-system flags, the first day of the week, code-page and Variant
// helpers, and the library's exception class.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/Exceptions.h"
#include "platform/core/ResStrings.h"
#include "platform/core/System.h"

#include <vector>

class Variant;

// The library's exception class; the skin engine and the editors derive theirs from it.
DECLARE_EXCEPTION(EdxException, Exception)

// ---------------------------------------------------------------------------
// Operating-system flags, computed once by the module's start-up
// ---------------------------------------------------------------------------

struct TdxOSFlags {
  bool IsWin9xPlatform = false;
  bool IsWindows95 = false;
  bool IsNTPlatform = false;
  bool IsWindowsXP = false;
  bool IsWindowsXPOrLater = false;
  bool IsWindowsVista = false;
  bool IsWindowsVistaOrLater = false;
  bool IsWindows7 = false;
};

// The flags for a platform id (VER_PLATFORM_WIN32_*) and a version.
TdxOSFlags dxComputeOSFlags(DWORD APlatformId, DWORD AMajorVersion, DWORD AMinorVersion);
// Whether kernel32's IsWow64Process (looked up by name) reports TRUE for this
// process; false when the entry point is missing or fails.
bool dxQueryIsWow64Process();

extern bool dxIsWin9xPlatform;
extern bool dxIsWindows95;
extern bool dxIsNTPlatform;
extern bool dxIsWindowsXP;
extern bool dxIsWindowsXPOrLater;
extern bool dxIsWindowsVista;
extern bool dxIsWindowsVistaOrLater;
extern bool dxIsWindows7;
extern bool dxIsWow64Process;

// Other names under which the library's code reads the same flags.
inline const bool& IsWin9xPlatform = dxIsWin9xPlatform;
inline const bool& IsWinXPOrLater = dxIsWindowsXPOrLater;
inline const bool& IsWindows6OrLater = dxIsWindowsVistaOrLater;
inline const bool& dxIsWindows6OrLater = dxIsWindowsVistaOrLater;

// ---------------------------------------------------------------------------
// Repository of user-visible texts
// ---------------------------------------------------------------------------

class TdxProductResourceStrings;
class TdxResourceStringsRepository;

// A product's registration procedure: calls Add once per text identifier.
using TdxAddResourceStringsProcedure = void (*)(TdxProductResourceStrings* AProduct);
// A localizer's hook, called with each identifier and its string-table record.
using TdxLocalizationTranslateResStringEvent =
    TClosure<void(const String& AResStringName, const TResStringRec* AResString)>;

// Told after a localizer has translated the texts.
class IdxLocalizerListener {
 public:
  virtual void TranslationChanged() = 0;

 protected:
  ~IdxLocalizerListener() = default;
};

// The texts of one product: identifiers with the addresses of their
// string-table records (texts are never copied), kept in case-insensitive
// name order; a second Add of an identifier keeps the first record.
class TdxProductResourceStrings : public TObject {
  DECLARE_CLASS(TdxProductResourceStrings, TObject)
  // Runs AInitializeProc (when given) with the new product.
  TdxProductResourceStrings(const String& AName, TdxAddResourceStringsProcedure AInitializeProc);
  ~TdxProductResourceStrings() override;

  void Add(const String& AResStringName, const TResStringRec* AResStringAddr);
  void Clear();
  // Position in name order (case-insensitive), -1 when absent.
  int GetIndexByName(const String& AName) const;

  // By position in name order; EStringListError for an index out of range.
  const String& Names(int AIndex) const;
  const TResStringRec* ResStrings(int AIndex) const;
  // The compiled text of the record at the position.
  String Values(int AIndex) const;

  const String& Name() const { return FName; }
  int ResStringsCount() const { return static_cast<int>(FResStrings.size()); }

 private:
  struct TEntry {
    String Name;
    const TResStringRec* Rec;
  };
  // Binary search: true when found; AIndex is the match or the insert position.
  bool Find(const String& AName, int& AIndex) const;
  void CheckIndex(int AIndex) const;

  String FName;
  TdxAddResourceStringsProcedure FInitializeProc;
  std::vector<TEntry> FResStrings;
};

class TdxResourceStringsRepository : public TObject {
  DECLARE_CLASS(TdxResourceStringsRepository, TObject)
  TdxResourceStringsRepository() = default;
  ~TdxResourceStringsRepository() override;

  // Appends a product (no check for an existing one of the same name).
  void RegisterProduct(const String& AProductName, TdxAddResourceStringsProcedure AAddStringsProc);
  // Frees the first product of that exact name; nothing when there is none.
  void UnRegisterProduct(const String& AProductName);
  int GetProductIndexByName(const String& AName) const;
  TdxProductResourceStrings* Products(int AIndex) const;
  int ProductsCount() const { return static_cast<int>(FProducts.size()); }

  // The compiled text of the identifier from the first product that has it,
  // empty when none has.
  String GetOriginalValue(const String& AName) const;
  // Hands every identifier of every product to OnTranslateResString.
  void Translate();

  void AddListener(IdxLocalizerListener* AListener);
  void RemoveListener(IdxLocalizerListener* AListener);
  // Calls each listener once, first to last; listeners may leave or join
  // meanwhile (one that leaves before its turn is not called, one that joins
  // is not called in this round).
  void NotifyListeners();

  TdxLocalizationTranslateResStringEvent OnTranslateResString;

 private:
  std::vector<TdxProductResourceStrings*> FProducts;
  std::vector<IdxLocalizerListener*> FListeners;
  struct TNotification;
  std::vector<TNotification*> FNotifications;
};

// The process-wide repository, made on the first call.
TdxResourceStringsRepository* dxGetResourceStringsRepository();

// ---------------------------------------------------------------------------
// First day of the week: 0 = Sunday ... 6 = Saturday
// ---------------------------------------------------------------------------

// The thread locale's first day (LOCALE_IFIRSTDAYOFWEEK, 0 = Monday there).
Word dxReadLocaleWeekStart();
// The locale's numbering (0 = Monday ... 6 = Sunday) in ours.
Word dxLocaleDayToWeekStart(int ALocaleDay);
Word dxGetEffectiveWeekStart();
// Values 0..6 set the override; any other value is ignored.
void dxSetWeekStartOverride(int ADay);
// Drops the override flag; the stored value stays.
void dxClearWeekStartOverride();
bool dxHasWeekStartOverride();

// ---------------------------------------------------------------------------
// Code pages, Variants and small helpers
// ---------------------------------------------------------------------------

// ANSI bytes in a code page to UTF-16. A negative count means all bytes; a
// count beyond the data is cut to the data.
String dxDecodeAnsiString(const AnsiString& AData, UINT ACodePage, int AByteCount = -1);
// UTF-16 to ANSI bytes in a code page. A negative count means all characters;
// a count beyond the text is cut to the text.
AnsiString dxEncodeWideString(const String& AText, UINT ACodePage, int ACharCount = -1);

// The bytes of a Variant: a one-dimensional array gives its elements' raw
// bytes in index order (each element as wide as its type; the elements of a
// Variant array must hold byte values); anything else its text in CP_ACP.
// Conversion errors of the Variant propagate.
AnsiString dxConvertVariantToAnsi(const Variant& V);
String dxConvertVariantToWide(const Variant& V);
String dxConvertVariantToString(const Variant& V);
// A string or a one-dimensional array.
bool dxVariantHoldsBytes(const Variant& V);

bool dxWideCharInSet(Char C, const TSysCharSet& ASet);
// System colours resolved; blue | green << 8 | red << 16 | reserved << 24.
RGBQUAD dxMakeRGBQuadFromColor(int AColor, Byte AReserved = 0);
// CT_CTYPE1 flags of one character, 0 when the call fails.
Word dxGetCharTypeFlags(Char C);
bool dxCallGetStringTypeW(DWORD AInfoType, const Char* AText, int ALength, Word* ACharTypes);
void dxClearBytes(void* P, std::size_t ACount);
void dxCopyBytes(const void* ASource, void* ADest, std::size_t ACount);
// The locale's text for an information type, ADefault when it has none.
String dxReadLocaleString(LCID ALocale, LCTYPE AType, const String& ADefault);

// Module start-up and shutdown.
void dxCoreInitialize();
void dxCoreFinalize();
