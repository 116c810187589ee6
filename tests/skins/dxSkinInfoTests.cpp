// The resolver of skin members, the built-in skin registered at start-up as
// "UserSkin", the skin painter drawing from it, and damaged copies of the
// built-in skin and of a container read under a fixed-seed mutation loop.
#include "tests/skins/SkinsTestSupport.h"

#include "foundation/cxGraphicsCanvas.h"
#include "foundation/cxLookAndFeelPaintersRegistry.h"
#include "foundation/cxLookAndFeels.h"
#include "platform/core/Exceptions.h"
#include "skins/dxSkinsCoreContainer.h"
#include "skins/dxSkinsDefaultPainters.h"

#include <psapi.h>

#include <random>

using namespace skintest;

namespace {

Owned<TdxSkinInfo> InfoOf(TdxSkin* skin) { return MakeOwned<TdxSkinInfo>(skin); }

TEST(dxSkinInfo, ASkinWithOnlyBarsGainsTheOtherGroupsAndStandIns) {
  REQUIRE_SKIN_ENGINE();
  auto* skin = Make<TdxSkin>(L"Partial", false, nullptr);
  TdxSkinElement* bar = skin->AddGroup(L"Bars")->AddElement(L"Bar");
  auto info = InfoOf(skin);
  EXPECT_EQ(skin->GroupCount(), 13);
  EXPECT_TRUE(skin->HasMissingElements());
  EXPECT_EQ(info->Bar, bar);
  EXPECT_FALSE(info->Bar->State().Contains(sosUnassigned));
  EXPECT_EQ(info->MainMenuCustomize, nullptr);
  ASSERT_TRUE(info->Dock);
  EXPECT_TRUE(info->Dock->State().Contains(sosUnassigned));
  EXPECT_TRUE(info->Group_Common->State().Contains(sosUnassigned));
  // The stand-in draws its red diagonals stretched over the rectangle.
  TSkinDib dib(64, 64);
  dib.Fill(0);
  info->Dock->Draw(dib.DC(), TRect(0, 0, 64, 64));
  EXPECT_EQ(dib.At(32, 32) & 0xFF0000, 0xFF0000u);
  EXPECT_EQ(dib.At(32, 32) & 0x00FF00, 0u);
  EXPECT_EQ(dib.At(56, 30), Rgb(255, 255, 255));
}

TEST(dxSkinInfo, DerivedValuesAndPropertiesOfTheWrongClass) {
  REQUIRE_SKIN_ENGINE();
  struct TCase {
    const char* name;
    TClass cls;
    int fontDelta;
    int expected;
  };
  const TCase cases[] = {{"absent", nullptr, 0, 1},
                         {"zero", TdxSkinIntegerProperty::StaticClass(), 0, 1},
                         {"three", TdxSkinIntegerProperty::StaticClass(), 3, 3},
                         {"a colour of the name", TdxSkinColor::StaticClass(), 0, 1}};
  for (const TCase& c : cases) {
    auto* skin = Make<TdxSkin>(L"S", false, nullptr);
    TdxSkinControlGroup* form = skin->AddGroup(L"Form");
    TdxSkinElement* caption = form->AddElement(L"FormCaption");
    if (c.cls) {
      TdxSkinProperty* p = caption->AddProperty(L"FontDelta", c.cls);
      if (auto* i = dynamic_cast<TdxSkinIntegerProperty*>(p)) i->SetValue(c.fontDelta);
    }
    // A colour where an integer is looked up, an integer where a colour is.
    form->AddProperty(L"TextColorInactive", TdxSkinIntegerProperty::StaticClass());
    auto info = InfoOf(skin);
    EXPECT_EQ(info->FormCaptionDelta, c.expected) << c.name;
    EXPECT_EQ(info->FormInactiveColor, nullptr) << c.name;
  }
}

TEST(dxSkinInfo, NoMemberOutlivesTheSkinItCameFrom) {
  REQUIRE_SKIN_ENGINE();
  auto* first = Make<TdxSkin>(L"A", false, nullptr);
  first->AddColor(L"ContentColor", clRed);
  first->AddGroup(L"Common")->AddElement(L"Button")->AddProperty(L"DisabledText", TdxSkinColor::StaticClass());
  auto info = InfoOf(first);
  ASSERT_TRUE(info->ContentColor);
  ASSERT_TRUE(info->ButtonDisabled);
  info->SetSkin(nullptr);
  TObject::Free(first);
  EXPECT_EQ(info->ContentColor, nullptr);
  EXPECT_EQ(info->ButtonDisabled, nullptr);
  EXPECT_EQ(info->Bar, nullptr);
  EXPECT_EQ(info->ScrollBar_Elements[0][sbpLineUp], nullptr);
}

// ---------------------------------------------------------------------------
// The built-in skin
// ---------------------------------------------------------------------------

TdxSkinLookAndFeelPainterInfo* BuiltIn() {
  return static_cast<const TdxSkinsUserSkinPainter*>(TdxSkinsUserSkinPainter::Instance())->SkinInfo();
}

TEST(dxSkinsDefaultPainters, TheBuiltInSkinIsRegisteredWhole) {
  REQUIRE_SKIN_ENGINE();
  TdxSkinLookAndFeelPainterInfo* info = BuiltIn();
  ASSERT_TRUE(info);
  TdxSkin* skin = info->Skin();
  EXPECT_EQ(skin->Name(), L"defaultuserskindata");
  EXPECT_DOUBLE_EQ(skin->Version(), 1.02);
  EXPECT_EQ(skin->ColorCount(), 13);
  EXPECT_EQ(skin->PropertyCount(), 0);
  ASSERT_EQ(skin->GroupCount(), 13);
  int elements = 0, properties = 0, pictures = 0, gradients = 0;
  for (int g = 0; g < skin->GroupCount(); ++g) {
    TdxSkinControlGroup* group = skin->Groups(g);
    properties += group->PropertyCount();
    for (int e = 0; e < group->Count(); ++e) {
      TdxSkinElement* element = group->Elements(e);
      ++elements;
      properties += element->PropertyCount();
      EXPECT_EQ(element->Alpha(), 255);
      for (TdxSkinImage* image : {element->Image(), element->Glyph()}) {
        pictures += image->Texture()->Empty() ? 0 : 1;
        gradients += image->GradientBeginColor() != clNone ? 1 : 0;
      }
    }
  }
  EXPECT_EQ(elements, 223);
  EXPECT_EQ(properties, 87);
  EXPECT_EQ(pictures, 239);
  EXPECT_EQ(gradients, 7);
  EXPECT_FALSE(skin->HasMissingElements());
  EXPECT_EQ(info->Bar, skin->GetGroupByName(L"Bars")->GetElementByName(L"Bar"));
  EXPECT_TRUE(info->MainMenuCustomize);
  EXPECT_TRUE(info->MainMenuDrag);
  EXPECT_EQ(info->SchedulerTimeGridCurrentTimeIndicator, nullptr);
  TcxCustomLookAndFeelPainterClass painter = nullptr;
  ASSERT_TRUE(cxGetStylePainterRegistry()->GetPainterByName(L"userSKIN", painter));
  EXPECT_EQ(painter, TdxSkinsUserSkinPainter::Instance());
}

TEST(dxSkinsDefaultPainters, ASecondRegistrationOfTheNameTakesNothing) {
  REQUIRE_SKIN_ENGINE();
  // Shutdown and start-up again: the module leaves nothing behind and makes
  // its table anew; a taken name is refused without a leak.
  dxSkinsDefaultPaintersFinalize();
  EXPECT_EQ(BuiltIn(), nullptr);
  TcxCustomLookAndFeelPainterClass painter = nullptr;
  EXPECT_FALSE(cxGetStylePainterRegistry()->GetPainterByName(L"UserSkin", painter));
  auto* squatter = Make<TdxSkinLookAndFeelPainterInfo>(nullptr);
  ASSERT_TRUE(cxGetStylePainterRegistry()->Register(L"USERSKIN", TdxSkinLookAndFeelPainter::Instance(), squatter));
  dxSkinsDefaultPaintersInitialize();
  EXPECT_EQ(BuiltIn(), nullptr);
  dxSkinsDefaultPaintersFinalize();
  cxGetStylePainterRegistry()->Unregister(L"USERSKIN");
  dxSkinsDefaultPaintersInitialize();
  EXPECT_TRUE(BuiltIn());
}

// Run with GDI+ switched off (EXTRA_WINEDLLOVERRIDES="gdiplus=d").
TEST(dxSkinsDefaultPainters, WithoutGdiPlusNoSkinIsRegistered) {
  if (dxIsGdiPlusAvailable()) GTEST_SKIP() << "runs only with gdiplus.dll switched off";
  TcxCustomLookAndFeelPainterClass painter = nullptr;
  EXPECT_FALSE(cxGetStylePainterRegistry()->GetPainterByName(L"UserSkin", painter));
  EXPECT_EQ(BuiltIn(), nullptr);
}

// Counts the changes a look-and-feel that follows the root one hears of.
struct TChangeCounter : TObject {
  int Changes = 0;
  void Changed(TcxLookAndFeel*, TcxLookAndFeelValues) { ++Changes; }
};

// Start-up registers the table; the skin is read when a painter first asks,
// and nobody has drawn with it before, so no look-and-feel is told then.
TEST(dxSkinsDefaultPainters, TheBuiltInSkinIsReadWhenFirstAskedFor) {
  REQUIRE_SKIN_ENGINE();
  dxSkinsDefaultPaintersFinalize();
  dxSkinsDefaultPaintersInitialize();
  TObject* data = nullptr;
  ASSERT_TRUE(cxGetStylePainterRegistry()->GetPainterData(TdxSkinsUserSkinPainter::Instance(), data));
  auto* table = dynamic_cast<TdxSkinLookAndFeelPainterInfo*>(data);
  ASSERT_TRUE(table);
  EXPECT_EQ(table->Skin(), nullptr);

  TChangeCounter counter;
  auto follower = MakeOwned<TcxLookAndFeel>(nullptr);
  follower->OnChanged = TcxLookAndFeelChangedEvent::Bind<&TChangeCounter::Changed>(&counter);
  EXPECT_EQ(BuiltIn(), table);
  ASSERT_TRUE(table->Skin());
  EXPECT_EQ(table->Skin()->GroupCount(), 13);
  EXPECT_EQ(table->Bar, table->Skin()->GetGroupByName(L"Bars")->GetElementByName(L"Bar"));
  EXPECT_EQ(counter.Changes, 0);
  EXPECT_EQ(BuiltIn(), table);   // read once

  // Changes of the skin from then on reach them as before.
  table->Skin()->AddColor(L"AddedByTheTest", clRed);
  EXPECT_GT(counter.Changes, 0);
  follower.reset();
  // A fresh table for the tests after this one.
  dxSkinsDefaultPaintersFinalize();
  dxSkinsDefaultPaintersInitialize();
}

TEST(dxSkinsDefaultPainters, TheSkinPainterDrawsTheButtonElement) {
  REQUIRE_SKIN_ENGINE();
  TdxSkinLookAndFeelPainterInfo* info = BuiltIn();
  ASSERT_TRUE(info && info->ButtonElements);
  const TcxCustomLookAndFeelPainter* painter = TdxSkinsUserSkinPainter::Instance();
  for (TcxButtonState state : {cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled}) {
    TSkinDib viaPainter(24, 22), direct(24, 22);
    viaPainter.Fill(0);
    direct.Fill(0);
    PaintOn(viaPainter, [&](TcxCanvas* canvas) {
      painter->DrawButton(canvas, TRect(0, 0, 24, 22), L"", state, true, clDefault, clDefault, false, false);
    });
    info->ButtonElements->Draw(direct.DC(), TRect(0, 0, 24, 22), 0, dxSkinButtonStateMap[state]);
    for (int y = 0; y < 22; y += 3)
      for (int x = 0; x < 24; x += 3) ASSERT_EQ(viaPainter.At(x, y), direct.At(x, y)) << int(state) << " " << x << "," << y;
  }
  EXPECT_EQ(painter->ButtonBorderSize(cxbsNormal), 0);
  EXPECT_EQ(painter->DefaultContentOddColor(), info->ContentOddColor->Value());
}

// ---------------------------------------------------------------------------
// Damaged data
// ---------------------------------------------------------------------------

std::string BuiltInBytes() {
  TResourceStream stream(GetModuleHandleW(nullptr), L"DefaultUserSkinData", L"DXSKINS");
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

SIZE_T PeakCommit() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
  return counters.PeakPagefileUsage;
}

// Reads every mutation; any outcome but a load or a skin error fails, and so
// does a crash (the process dies), a hang (the suite's time-out) or a read
// that needs far more memory than the data is worth.
void ReadMutations(const std::string& original, bool container, unsigned seed) {
  std::mt19937 random(seed);
  const SIZE_T before = PeakCommit();
  for (int round = 0; round < 150; ++round) {
    std::string bytes = original;
    const int edits = 1 + int(random() % 4);
    for (int k = 0; k < edits; ++k) {
      const size_t at = random() % bytes.size();
      switch (random() % 4) {
        case 0: bytes[at] = char(random()); break;
        case 1: bytes.resize(at); break;
        case 2: bytes[at] = char(0xFF); if (at + 3 < bytes.size()) bytes[at + 3] = char(0x7F); break;
        default: bytes[at] ^= char(1u << (random() % 8)); break;
      }
      if (bytes.empty()) bytes = "x";
    }
    auto stream = StreamOf(bytes);
    auto skin = MakeOwned<TdxSkin>(L"Fuzz", false, nullptr);
    try {
      if (container)
        skin->LoadFromBinaryStream(stream.get());
      else
        skin->LoadFromStream(stream.get());
    } catch (EdxSkin&) {
    } catch (EReadError&) {
    }
    ASSERT_EQ(skin->LockCount(), 0) << round;
  }
  EXPECT_LT(PeakCommit() - before, SIZE_T(256) << 20);
}

// The pictures of a skin in the program's resources are kept where they are,
// those of any other stream copied: either way the skin writes the same bytes,
// and the resource's pictures still decode once its stream is gone.
TEST(dxSkinsDefaultPainters, TheBuiltInSkinReadsAlikeFromTheResourceAndFromACopy) {
  REQUIRE_SKIN_ENGINE();
  auto fromResource = MakeOwned<TdxSkin>(dxSkinsDefaultSkinResourceName, true, GetModuleHandleW(nullptr));
  auto fromCopy = MakeOwned<TdxSkin>(L"Copy", false, nullptr);
  {
    TMemoryStream copy;
    copy.WriteBuffer(BuiltInBytes().data(), NativeInt(BuiltInBytes().size()));
    copy.SetPosition(0);
    fromCopy->LoadFromStream(&copy);
  }
  TMemoryStream a, b;
  fromResource->SaveToStream(&a);
  fromCopy->SaveToStream(&b);
  EXPECT_EQ(Bytes(a), Bytes(b));
  TdxSkinElement* button = fromResource->GetGroupByName(L"Common")->GetElementByName(L"Button");
  ASSERT_TRUE(button);
  EXPECT_FALSE(button->Image()->Texture()->Empty());
  EXPECT_GT(button->Image()->Texture()->Width(), 0);
}

TEST(dxSkinDamagedData, MutatedCopiesOfTheBuiltInSkinAreReadOrRefused) {
  REQUIRE_SKIN_ENGINE();
  ReadMutations(BuiltInBytes(), false, 20261210);
}

TEST(dxSkinDamagedData, MutatedContainersAreReadOrRefused) {
  REQUIRE_SKIN_ENGINE();
  auto skin = MakeOwned<TdxSkin>(L"Small", false, nullptr);
  TMemoryStream full;
  full.WriteBuffer(BuiltInBytes().data(), NativeInt(BuiltInBytes().size()));
  full.SetPosition(0);
  skin->LoadFromStream(&full);
  TMemoryStream container;
  {
    TdxSkinBinaryWriter writer(&container);
    writer.AddSkin(skin.get());
    writer.AddSkin(skin.get());
  }
  ReadMutations(Bytes(container), true, 7);
}

}  // namespace
