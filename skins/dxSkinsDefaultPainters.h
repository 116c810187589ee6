// The built-in skin: registered as the painter "UserSkin" at start-up, read
// from the program's resources and resolved when a painter first asks for it.
#pragma once

#include "skins/dxSkinsLookAndFeelPainter.h"

// Its table refreshes the root look-and-feel after every change of the skin,
// so that skinned controls repaint.
class TdxSkinUserLookAndFeelPainterInfo : public TdxSkinLookAndFeelPainterInfo {
  DECLARE_CLASS(TdxSkinUserLookAndFeelPainterInfo, TdxSkinLookAndFeelPainterInfo)
  using TdxSkinLookAndFeelPainterInfo::TdxSkinLookAndFeelPainterInfo;
  ~TdxSkinUserLookAndFeelPainterInfo() override;
  void HandleSkinChange(TdxSkin* ASkin) override;
};

class TdxSkinsUserSkinPainter : public TdxSkinLookAndFeelPainter {
  DECLARE_CLASS(TdxSkinsUserSkinPainter, TdxSkinLookAndFeelPainter)
  static TcxCustomLookAndFeelPainterClass Instance();
  // The built-in skin's table, the skin read and resolved on the first call; nil
  // without GDI+ and outside start-up .. shutdown.
  TdxSkinLookAndFeelPainterInfo* SkinInfo() const override;
  String InternalUnitName() const override { return L"dxSkinsDefaultPainters"; }

 protected:
  TdxSkinsUserSkinPainter() = default;
};

inline constexpr const wchar_t* dxSkinsUserSkinPainterName = L"UserSkin";
inline constexpr const wchar_t* dxSkinsDefaultSkinResourceName = L"DefaultUserSkinData";

void dxSkinsDefaultPaintersInitialize();
void dxSkinsDefaultPaintersFinalize();
