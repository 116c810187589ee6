#include "foundation/dxGDIPlusClasses.h"
#include "platform/core/SysUtils.h"
#include "skins/dxSkinsCoreDraw.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

const char kSignature[6] = {'d', 'x', 'S', 'k', 'i', 'n'};
constexpr double kWriteVersion = 1.02;

// Smallest stream forms, to bound a count by the bytes left.
constexpr int kMinStringSize = 4;
constexpr int kMinColorEntry = 2 * kMinStringSize + 4;
constexpr int kMinPropertyEntry = 2 * kMinStringSize + 1;
constexpr int kMinImageRecord = 16 + 1 + 2 + 1 + 4;
constexpr int kMinBorderRecord = kMinStringSize + 4 + 4;
constexpr int kMinElementRecord = 4 + 1 + 4 + 16 + 2 * kMinImageRecord + 4 * kMinBorderRecord;
constexpr int kMinElementEntry = kMinStringSize + kMinElementRecord;
constexpr int kMinGroupEntry = kMinStringSize + 4;

}  // namespace

// ---------------------------------------------------------------------------
// TdxSkinReader
// ---------------------------------------------------------------------------

TdxSkinReader::TdxSkinReader(TStream* AStream, const void* ALastingMemory)
    : FStream(AStream), FLastingMemory(ALastingMemory) {}

std::string_view TdxSkinReader::LastingBytes(Int64 ACount) {
  if (!FLastingMemory || ACount <= 0) return {};
  Need(ACount);
  return std::string_view(static_cast<const char*>(FLastingMemory) + FStream->Position(), size_t(ACount));
}

Int64 TdxSkinReader::Remaining() { return FStream->Size() - FStream->Position(); }

void TdxSkinReader::Damaged(const String& AWhat) {
  throw EdxSkin(Format(LoadResString(&sdxSkinDamagedStream), {AWhat}));
}

void TdxSkinReader::Need(Int64 ACount) {
  if (ACount < 0 || ACount > Remaining()) Damaged(L"the data ends too soon");
}

template <class T>
T TdxSkinReader::ReadValue() {
  Need(sizeof(T));
  T value{};
  FStream->ReadBuffer(&value, sizeof(T));
  return value;
}

int TdxSkinReader::ReadInteger() { return ReadValue<int32_t>(); }
Byte TdxSkinReader::ReadByte() { return ReadValue<Byte>(); }
Word TdxSkinReader::ReadWord() { return ReadValue<Word>(); }
double TdxSkinReader::ReadDouble() { return ReadValue<double>(); }

TRect TdxSkinReader::ReadRect() {
  TRect r;
  r.Left = ReadInteger();
  r.Top = ReadInteger();
  r.Right = ReadInteger();
  r.Bottom = ReadInteger();
  return r;
}

TSize TdxSkinReader::ReadSize() {
  TSize s;
  s.cx = ReadInteger();
  s.cy = ReadInteger();
  return s;
}

String TdxSkinReader::ReadString() {
  const int count = ReadInteger();
  if (count <= 0) return String();
  Need(count);
  AnsiString bytes(size_t(count), '\0');
  FStream->ReadBuffer(bytes.data(), count);
  return dxDecodeAnsiString(bytes, CP_ACP);
}

int TdxSkinReader::ReadCount(int AMinRecordSize) {
  const int count = ReadInteger();
  if (count < 0 || Int64(count) * AMinRecordSize > Remaining()) Damaged(L"a count does not fit in the data");
  return count;
}

bool TdxSkinReader::ReadHeader(double& AVersion) {
  if (Remaining() < 4 + 6) return false;
  FStream->Seek(4, soCurrent);
  char signature[6];
  if (FStream->Read(signature, 6) != 6 || std::memcmp(signature, kSignature, 6) != 0) return false;
  if (Remaining() < 8) throw EReadError(L"Stream read error");
  FStream->ReadBuffer(&AVersion, 8);
  return true;
}

void dxSkinWriteInteger(TStream* AStream, int AValue) {
  const int32_t value = AValue;
  AStream->WriteBuffer(&value, 4);
}

void dxSkinWriteString(TStream* AStream, const String& AValue) {
  const AnsiString bytes = dxEncodeWideString(AValue, CP_ACP);
  dxSkinWriteInteger(AStream, int(bytes.size()));
  if (!bytes.empty()) AStream->WriteBuffer(bytes.data(), NativeInt(bytes.size()));
}

void dxSkinWriteHeader(TStream* AStream, double AVersion) {
  dxSkinWriteInteger(AStream, 6);
  AStream->WriteBuffer(kSignature, 6);
  AStream->WriteBuffer(&AVersion, 8);
}

namespace {

// The size a PNG's header gives; (0, 0) when the data is no PNG.
TSize PngSize(std::string_view AData) {
  static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (AData.size() < 33 || std::memcmp(AData.data(), signature, 8) != 0 || AData.compare(12, 4, "IHDR") != 0)
    return TSize();
  auto be = [&AData](size_t at) {
    const auto* p = reinterpret_cast<const unsigned char*>(AData.data()) + at;
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
  };
  const uint32_t width = be(16), height = be(20);
  // Sizes no picture of a skin comes near.
  if (width == 0 || height == 0 || width > 16384 || height > 16384) return TSize();
  return TSize(int(width), int(height));
}

void WriteByte(TStream* AStream, Byte AValue) { AStream->WriteBuffer(&AValue, 1); }

void WriteRect(TStream* AStream, const TRect& R) {
  for (int v : {R.Left, R.Top, R.Right, R.Bottom}) dxSkinWriteInteger(AStream, v);
}

}  // namespace

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

void TdxSkinProperty::ReadFromStream(TdxSkinReader& AReader) {
  SetName(AReader.ReadString());
  ReadData(AReader);
}

void TdxSkinProperty::WriteToStream(TStream* AStream) {
  dxSkinWriteString(AStream, ClassType()->Name);
  dxSkinWriteString(AStream, Name());
  WriteData(AStream);
}

void TdxSkinIntegerProperty::ReadData(TdxSkinReader& AReader) { FValue = AReader.ReadInteger(); }
void TdxSkinIntegerProperty::WriteData(TStream* AStream) { dxSkinWriteInteger(AStream, FValue); }
void TdxSkinBooleanProperty::ReadData(TdxSkinReader& AReader) { FValue = AReader.ReadByte() != 0; }
void TdxSkinBooleanProperty::WriteData(TStream* AStream) { WriteByte(AStream, FValue ? 1 : 0); }
void TdxSkinColor::ReadData(TdxSkinReader& AReader) { FValue = AReader.ReadInteger(); }
void TdxSkinColor::WriteData(TStream* AStream) { dxSkinWriteInteger(AStream, FValue); }
void TdxSkinRectProperty::ReadData(TdxSkinReader& AReader) { FValue = AReader.ReadRect(); }
void TdxSkinRectProperty::WriteData(TStream* AStream) { WriteRect(AStream, FValue); }
void TdxSkinSizeProperty::ReadData(TdxSkinReader& AReader) { FValue = AReader.ReadSize(); }
void TdxSkinSizeProperty::WriteData(TStream* AStream) {
  dxSkinWriteInteger(AStream, FValue.cx);
  dxSkinWriteInteger(AStream, FValue.cy);
}
void TdxSkinStringProperty::ReadData(TdxSkinReader& AReader) { FValue = AReader.ReadString(); }
void TdxSkinStringProperty::WriteData(TStream* AStream) { dxSkinWriteString(AStream, FValue); }

void TdxSkinBorder::ReadData(TdxSkinReader& AReader) {
  FColor = AReader.ReadInteger();
  FThin = AReader.ReadInteger();
}

void TdxSkinBorder::WriteData(TStream* AStream) {
  dxSkinWriteInteger(AStream, FColor);
  dxSkinWriteInteger(AStream, FThin);
}

void TdxSkinBorders::ReadData(TdxSkinReader& AReader) {
  for (TdxSkinBorder* border : FBorders) {
    AReader.ReadString();  // the class name
    border->ReadFromStream(AReader);
  }
}

void TdxSkinBorders::WriteData(TStream* AStream) {
  for (TdxSkinBorder* border : FBorders) border->WriteToStream(AStream);
}

void TdxSkinPersistent::ReadProperties(TdxSkinReader& AReader) {
  const int count = AReader.ReadCount(kMinPropertyEntry);
  for (int i = 0; i < count; ++i) {
    const String className = AReader.ReadString();
    // Only the property classes: a stream must not make any other class.
    const TClass cls = TdxSkinProperty::FindRegistered(className);
    if (!cls) AReader.Damaged(Format(L"\"%s\" is not a skin property class", {className}));
    const String name = AReader.ReadString();
    TdxSkinProperty* property = TdxSkinProperty::Create(cls, this, name);
    Adopt(property);
    FProperties->Add(property);
    property->ReadData(AReader);
  }
}

void TdxSkinPersistent::WriteProperties(TStream* AStream) {
  dxSkinWriteInteger(AStream, PropertyCount());
  for (int i = 0; i < PropertyCount(); ++i) Properties(i)->WriteToStream(AStream);
}

// ---------------------------------------------------------------------------
// Images, elements, groups
// ---------------------------------------------------------------------------

void TdxSkinImage::ReadData(TdxSkinReader& AReader, double AVersion) {
  FMargins = AReader.ReadRect();
  FImageLayout = AReader.ReadByte() == 1 ? ilVertical : ilHorizontal;
  const Word states = AReader.ReadWord();
  FStates = TdxSkinElementStates();
  for (int s = 0; s < dxSkinElementStateCount; ++s)
    if (states & (1u << s)) FStates.Include(TdxSkinElementState(s));
  const Byte stretch = AReader.ReadByte();
  FStretch = stretch <= smNoResize ? TdxSkinStretchMode(stretch) : smStretch;
  if (AVersion >= 1.02) {
    FGradientBeginColor = AReader.ReadInteger();
    FGradientEndColor = AReader.ReadInteger();
    const Byte gradient = AReader.ReadByte();
    FGradient = gradient <= gmBackwardDiagonal ? TdxSkinGradientMode(gradient) : gmHorizontal;
  }
  const int count = AReader.ReadInteger();
  AReader.Need(count);
  TStream* stream = AReader.Stream();
  const Int64 start = stream->Position();
  FPendingPng.clear();
  FTexture->SetHandle(nullptr);
  if (const std::string_view lasting = AReader.LastingBytes(count); !lasting.empty()) {
    FPendingSize = PngSize(lasting);
    if (FPendingSize.cx <= 0 || FPendingSize.cy <= 0) AReader.Damaged(L"a picture is no PNG data");
    FPendingPng.Lasting = lasting;
  } else if (count > 0) {
    // The bytes go through the window of the record, so that nothing reads
    // into the next one; they are decoded when the picture is first used.
    TdxSkinPartStream* part = dxSkinPartStream();
    TdxSkinPartStream local(nullptr);
    if (!part) part = &local;
    part->InitializeEx(stream, start, start + count);
    part->Seek(0, soBeginning);
    AnsiString bytes(size_t(count), '\0');
    const int read = part->Read(bytes.data(), count);
    part->InitializeEx(nullptr, 0, 0);
    if (read != count) AReader.Damaged(L"the data ends too soon");
    FPendingSize = PngSize(bytes);
    if (FPendingSize.cx <= 0 || FPendingSize.cy <= 0) AReader.Damaged(L"a picture is no PNG data");
    FPendingPng.Copy = std::move(bytes);
  }
  stream->Seek(start + count, soBeginning);
  FIsDirty = true;
}

void TdxSkinImage::WriteData(TStream* AStream) {
  WriteRect(AStream, FMargins);
  WriteByte(AStream, Byte(FImageLayout));
  Word states = 0;
  for (int s = 0; s < dxSkinElementStateCount; ++s)
    if (FStates.Contains(TdxSkinElementState(s))) states |= Word(1u << s);
  AStream->WriteBuffer(&states, 2);
  WriteByte(AStream, Byte(FStretch));
  dxSkinWriteInteger(AStream, FGradientBeginColor);
  dxSkinWriteInteger(AStream, FGradientEndColor);
  WriteByte(AStream, Byte(FGradient));
  if (!FPendingPng.empty()) {
    // Never decoded, so never changed: the bytes as they were read.
    dxSkinWriteInteger(AStream, int(FPendingPng.size()));
    AStream->WriteBuffer(FPendingPng.data(), NativeInt(FPendingPng.size()));
    return;
  }
  TMemoryStream png;
  if (!FTexture->Empty()) FTexture->SaveToStream(&png);
  dxSkinWriteInteger(AStream, int(png.Size()));
  if (png.Size() > 0) AStream->WriteBuffer(png.Memory(), NativeInt(png.Size()));
}

void TdxSkinElement::ReadData(TdxSkinReader& AReader, double AVersion) {
  FColor = AReader.ReadInteger();
  FAlpha = AReader.ReadByte();
  FImageCount = AReader.ReadInteger();
  // The drawing divides the strip by the image count.
  if (FImageCount < 1) AReader.Damaged(Format(L"element \"%s\" has an image count below 1", {Name()}));
  FContentOffset = AReader.ReadRect();
  FGlyph->ReadData(AReader, AVersion);
  FImage->ReadData(AReader, AVersion);
  FBorders->ReadData(AReader);
  SetColor(FColor);
  FTextColor = AReader.ReadInteger();
  FMinSize = AReader.ReadSize();
  ReadProperties(AReader);
}

void TdxSkinElement::WriteData(TStream* AStream, double) {
  dxSkinWriteInteger(AStream, FColor);
  WriteByte(AStream, FAlpha);
  dxSkinWriteInteger(AStream, FImageCount);
  WriteRect(AStream, FContentOffset);
  FGlyph->WriteData(AStream);
  FImage->WriteData(AStream);
  FBorders->WriteData(AStream);
  dxSkinWriteInteger(AStream, FTextColor);
  dxSkinWriteInteger(AStream, FMinSize.cx);
  dxSkinWriteInteger(AStream, FMinSize.cy);
  WriteProperties(AStream);
}

void TdxSkinControlGroup::ReadData(TdxSkinReader& AReader, double AVersion) {
  const int count = AReader.ReadCount(kMinElementEntry);
  for (int i = 0; i < count; ++i) AddElement(AReader.ReadString())->ReadData(AReader, AVersion);
  ReadProperties(AReader);
  Changed();
}

void TdxSkinControlGroup::WriteData(TStream* AStream) {
  dxSkinWriteString(AStream, Name());
  dxSkinWriteInteger(AStream, Count());
  for (int i = 0; i < Count(); ++i) {
    dxSkinWriteString(AStream, Elements(i)->Name());
    Elements(i)->WriteData(AStream, kWriteVersion);
  }
  WriteProperties(AStream);
}

// ---------------------------------------------------------------------------
// TdxSkin
// ---------------------------------------------------------------------------

void TdxSkin::LoadFromStream(TStream* AStream) {
  if (!dxIsGdiPlusReady()) return;
  const auto* lasting = AStream && AStream == FLastingStream ? static_cast<TCustomMemoryStream*>(AStream) : nullptr;
  TdxSkinReader reader(AStream, lasting ? lasting->Memory() : nullptr);
  double version = 0;
  if (!reader.ReadHeader(version)) throw EdxSkin(LoadResString(&sdxSkinInvalidStreamFormat));
  const String name = reader.ReadString();
  if (!std::isfinite(version) || version < 1.0) throw EdxSkin(LoadResString(&sdxSkinOldFormat));
  // Everything is read into a skin of its own and taken over only when the
  // whole stream was read: a failed load leaves this skin as it was, and
  // listeners hear of nothing half-read.
  TObjectPtr<TdxSkin> loaded(Make<TdxSkin>(name, false, nullptr));
  loaded->FVersion = version;
  loaded->BeginUpdate();
  const int colorCount = reader.ReadCount(kMinColorEntry);
  for (int i = 0; i < colorCount; ++i) {
    reader.ReadString();  // the class name
    const String colorName = reader.ReadString();
    loaded->AddColor(colorName, reader.ReadInteger());
  }
  loaded->ReadProperties(reader);
  const int groupCount = reader.ReadCount(kMinGroupEntry);
  for (int i = 0; i < groupCount; ++i) loaded->AddGroup(reader.ReadString())->ReadData(reader, version);
  loaded->CancelUpdate();

  InUpdate([&] {
    Clear();
    TakeContent(loaded.get());
    Changed();
  });
}

void TdxSkin::SaveToStream(TStream* AStream) {
  dxSkinWriteHeader(AStream, kWriteVersion);
  dxSkinWriteString(AStream, FName);
  dxSkinWriteInteger(AStream, ColorCount());
  for (int i = 0; i < ColorCount(); ++i) Colors(i)->WriteToStream(AStream);
  WriteProperties(AStream);
  dxSkinWriteInteger(AStream, GroupCount());
  for (int i = 0; i < GroupCount(); ++i) Groups(i)->WriteData(AStream);
}

void TdxSkin::LoadFromFile(const String& AFileName) {
  TFileStream stream(AFileName, fmOpenRead | fmShareDenyNone);
  LoadFromStream(&stream);
}

void TdxSkin::SaveToFile(const String& AFileName) {
  TFileStream stream(AFileName, fmCreate);
  SaveToStream(&stream);
}

void TdxSkin::LoadFromResource(HINSTANCE hInst) {
  TResourceStream stream(hInst, FName, L"DXSKINS");
  // The program's own image is never unloaded: its pictures are kept where
  // they are instead of copied (a skin library's could go before the skin).
  const bool lasting = !hInst || hInst == GetModuleHandleW(nullptr);
  FLastingStream = lasting ? &stream : nullptr;
  try {
    LoadFromStream(&stream);
  } catch (...) {
    FLastingStream = nullptr;
    throw;
  }
  FLastingStream = nullptr;
}
