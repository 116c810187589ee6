#include "skins/dxSkinsDefaultPainters.h"

#include "foundation/cxLookAndFeelPaintersRegistry.h"
#include "foundation/cxLookAndFeels.h"
#include "platform/core/Streams.h"
#include "skins/dxSkinsCoreDraw.h"

#include <cmath>

IMPLEMENT_CLASS(TdxSkinUserLookAndFeelPainterInfo, TdxSkinLookAndFeelPainterInfo, nullptr)
IMPLEMENT_CLASS(TdxSkinsUserSkinPainter, TdxSkinLookAndFeelPainter, nullptr)

namespace {

// The built-in skin's table, registered at start-up without its skin: the skin
// is read and resolved when a painter first asks for the table. The program's
// window does not select the skin, and reading it would cost start-up time and
// memory (and start GDI+) for nothing.
struct TBuiltInSkin {
  TdxSkinUserLookAndFeelPainterInfo* Info = nullptr;
  bool Read = false;      // the skin was read (or reading it was given up)
  bool Reading = false;   // it is being read and resolved now
};

TBuiltInSkin& BuiltInSkin() {
  static TBuiltInSkin skin;
  return skin;
}

// Reads the skin into the registered table once. Without GDI+ (it may fail to
// start even where the library is present) the table stays without a skin and
// is not handed out, as when GDI+ was missing at start-up. A damaged resource
// raises once; the table then stays without a skin.
TdxSkinUserLookAndFeelPainterInfo* ReadBuiltInSkin() {
  TBuiltInSkin& state = BuiltInSkin();
  if (!state.Info) return nullptr;
  if (!state.Read) {
    state.Read = true;
    if (!dxIsGdiPlusReady()) return nullptr;
    auto* skin = Make<TdxSkin>(dxSkinsDefaultSkinResourceName, true, GetModuleHandleW(nullptr));
    state.Reading = true;
    try {
      state.Info->SetSkin(skin);   // takes the skin over, even when resolving it raises
    } catch (...) {
      state.Reading = false;
      throw;
    }
    state.Reading = false;
  }
  return state.Info->Skin() ? state.Info : nullptr;
}

// What start-up still checks of the resource: that it is there and is a skin
// stream of a version this engine reads (the errors a full read raises first).
void CheckBuiltInSkinResource() {
  TResourceStream stream(GetModuleHandleW(nullptr), dxSkinsDefaultSkinResourceName, L"DXSKINS");
  TdxSkinReader reader(&stream, stream.Memory());
  double version = 0;
  if (!reader.ReadHeader(version)) throw EdxSkin(LoadResString(&sdxSkinInvalidStreamFormat));
  reader.ReadString();
  if (!std::isfinite(version) || version < 1.0) throw EdxSkin(LoadResString(&sdxSkinOldFormat));
}

}  // namespace

TdxSkinUserLookAndFeelPainterInfo::~TdxSkinUserLookAndFeelPainterInfo() {
  // Whoever frees the table (the registry, as a rule) leaves no pointer to it.
  if (BuiltInSkin().Info == this) BuiltInSkin() = TBuiltInSkin();
}

void TdxSkinUserLookAndFeelPainterInfo::HandleSkinChange(TdxSkin* ASkin) {
  inherited::HandleSkinChange(ASkin);
  // While the skin is first read and resolved (on a painter's first question,
  // often inside a paint) nobody has drawn with it yet: nothing to refresh.
  if (BuiltInSkin().Info == this && BuiltInSkin().Reading) return;
  if (TcxLookAndFeel* root = cxGetGlobalLookAndFeel()) root->Refresh();
}

TcxCustomLookAndFeelPainterClass TdxSkinsUserSkinPainter::Instance() {
  static const TdxSkinsUserSkinPainter painter;
  return &painter;
}

TdxSkinLookAndFeelPainterInfo* TdxSkinsUserSkinPainter::SkinInfo() const { return ReadBuiltInSkin(); }

namespace {

void DefaultPaintersStart() {
  if (!dxIsGdiPlusAvailable()) return;
  CheckBuiltInSkinResource();
  auto* info = Make<TdxSkinUserLookAndFeelPainterInfo>(nullptr);
  TcxExtendedStylePainters* registry = cxGetStylePainterRegistry();
  if (!registry || !registry->Register(dxSkinsUserSkinPainterName, TdxSkinsUserSkinPainter::Instance(), info)) {
    // The name is taken: the table is nobody's, so it goes now.
    TObject::Free(info);
    return;
  }
  BuiltInSkin().Info = info;
}

void DefaultPaintersStop() {
  if (TcxExtendedStylePainters* registry = cxGetStylePainterRegistry())
    if (BuiltInSkin().Info) registry->Unregister(dxSkinsUserSkinPainterName);
  BuiltInSkin() = TBuiltInSkin();
}

}  // namespace

void dxSkinsDefaultPaintersInitialize() {
  dxGetDeferredUnitsLoader()->AddUnit(&DefaultPaintersStart, &DefaultPaintersStop);
}

void dxSkinsDefaultPaintersFinalize() { dxGetDeferredUnitsLoader()->RemoveUnit(&DefaultPaintersStop); }
