#include "skins/dxSkinsDefaultPainters.h"

#include "foundation/cxLookAndFeelPaintersRegistry.h"
#include "foundation/cxLookAndFeels.h"

IMPLEMENT_CLASS(TdxSkinUserLookAndFeelPainterInfo, TdxSkinLookAndFeelPainterInfo, nullptr)
IMPLEMENT_CLASS(TdxSkinsUserSkinPainter, TdxSkinLookAndFeelPainter, nullptr)

namespace {

TdxSkinUserLookAndFeelPainterInfo*& UserSkinInfo() {
  static TdxSkinUserLookAndFeelPainterInfo* info = nullptr;
  return info;
}

}  // namespace

TdxSkinUserLookAndFeelPainterInfo::~TdxSkinUserLookAndFeelPainterInfo() {
  // Whoever frees the table (the registry, as a rule) leaves no pointer to it.
  if (UserSkinInfo() == this) UserSkinInfo() = nullptr;
}

void TdxSkinUserLookAndFeelPainterInfo::HandleSkinChange(TdxSkin* ASkin) {
  inherited::HandleSkinChange(ASkin);
  if (TcxLookAndFeel* root = cxGetGlobalLookAndFeel()) root->Refresh();
}

TcxCustomLookAndFeelPainterClass TdxSkinsUserSkinPainter::Instance() {
  static const TdxSkinsUserSkinPainter painter;
  return &painter;
}

TdxSkinLookAndFeelPainterInfo* TdxSkinsUserSkinPainter::SkinInfo() const { return UserSkinInfo(); }

namespace {

void DefaultPaintersStart() {
  if (!dxIsGdiPlusReady()) return;
  auto* skin = Make<TdxSkin>(dxSkinsDefaultSkinResourceName, true, GetModuleHandleW(nullptr));
  TdxSkinUserLookAndFeelPainterInfo* info = nullptr;
  try {
    info = Make<TdxSkinUserLookAndFeelPainterInfo>(skin);
  } catch (...) {
    TObject::Free(skin);
    throw;
  }
  TcxExtendedStylePainters* registry = cxGetStylePainterRegistry();
  if (!registry || !registry->Register(dxSkinsUserSkinPainterName, TdxSkinsUserSkinPainter::Instance(), info)) {
    // The name is taken: the table is nobody's, so it goes now.
    TObject::Free(info);
    return;
  }
  UserSkinInfo() = info;
}

void DefaultPaintersStop() {
  if (TcxExtendedStylePainters* registry = cxGetStylePainterRegistry())
    if (UserSkinInfo()) registry->Unregister(dxSkinsUserSkinPainterName);
  UserSkinInfo() = nullptr;
}

}  // namespace

void dxSkinsDefaultPaintersInitialize() {
  dxGetDeferredUnitsLoader()->AddUnit(&DefaultPaintersStart, &DefaultPaintersStop);
}

void dxSkinsDefaultPaintersFinalize() { dxGetDeferredUnitsLoader()->RemoveUnit(&DefaultPaintersStop); }
