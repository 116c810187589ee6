#include "skins/dxSkinsCoreContainer.h"

#include "platform/core/Streams.h"
#include "platform/core/SysUtils.h"
#include "skins/dxSkinsCoreDraw.h"

IMPLEMENT_CLASS(TdxSkinBinaryWriter, TObject, nullptr)
IMPLEMENT_CLASS(TdxSkinBinaryReader, TObject, nullptr)

RESOURCESTRING(sdxSkinNoSkinInContainer, 64903, "The skin container holds no skin")

TdxSkinBinaryWriter::TdxSkinBinaryWriter(TStream* AStream) : FStream(AStream), FHeaderOffset(AStream->Position()) {
  dxSkinWriteHeader(FStream);
  dxSkinWriteInteger(FStream, 0);
}

TdxSkinBinaryWriter::~TdxSkinBinaryWriter() {
  try {
    const Int64 end = FStream->Position();
    FStream->Seek(FHeaderOffset, soBeginning);
    dxSkinWriteHeader(FStream);
    dxSkinWriteInteger(FStream, FCount);
    // A caller that goes on writing must not overwrite the first entry.
    FStream->Seek(end, soBeginning);
  } catch (...) {
  }
}

void TdxSkinBinaryWriter::AddSkin(TdxSkin* ASkin) {
  const Int64 position = FStream->Position();
  dxSkinWriteInteger(FStream, 0);
  ASkin->SaveToStream(FStream);
  const Int64 size = FStream->Position() - position - 4;
  FStream->Seek(position, soBeginning);
  dxSkinWriteInteger(FStream, int(size));
  FStream->Seek(position + 4 + size, soBeginning);
  ++FCount;
}

TdxSkinBinaryReader::TdxSkinBinaryReader(TStream* AStream) : FStream(AStream) {
  TdxSkinReader reader(AStream);
  double version = 0;
  // Version 1.0 is accepted as it is in a single skin stream.
  if (!reader.ReadHeader(version) || !(version >= 1.0) || reader.Remaining() < 4) return;
  const int count = reader.ReadInteger();
  for (int i = 0; i < count; ++i) {
    if (reader.Remaining() < 4) break;
    const int size = reader.ReadInteger();
    const Int64 position = AStream->Position();
    if (size < 0 || size > reader.Remaining()) break;
    double entryVersion = 0;
    String name;
    try {
      if (!reader.ReadHeader(entryVersion)) break;
      name = reader.ReadString();
    } catch (Exception&) {
      break;
    }
    FTable.push_back({name, position});
    AStream->Seek(position + size, soBeginning);
  }
}

bool TdxSkinBinaryReader::LoadSkin(TdxSkin* ASkin, int ASkinIndex) {
  if (ASkinIndex < 0 || ASkinIndex >= Count()) return false;
  FStream->Seek(FTable[ASkinIndex].Position, soBeginning);
  ASkin->LoadFromStream(FStream);
  return true;
}

bool TdxSkinBinaryReader::LoadSkin(TdxSkin* ASkin, const String& ASkinName) {
  int index = ASkinName.empty() ? 0 : -1;
  for (int i = 0; i < Count() && index < 0; ++i)
    if (SameText(FTable[i].Name, ASkinName)) index = i;
  return LoadSkin(ASkin, index);
}

void TdxSkin::SaveToBinaryStream(TStream* AStream) {
  TdxSkinBinaryWriter writer(AStream);
  writer.AddSkin(this);
}

void TdxSkin::SaveToBinaryFile(const String& AFileName) {
  TFileStream stream(AFileName, fmCreate);
  SaveToBinaryStream(&stream);
}

void TdxSkin::LoadFromBinaryStream(TStream* AStream) {
  TdxSkinBinaryReader reader(AStream);
  if (!reader.LoadSkin(this, 0)) throw EdxSkin(LoadResString(&sdxSkinNoSkinInContainer));
}

void TdxSkin::LoadFromBinaryFile(const String& AFileName) {
  TFileStream stream(AFileName, fmOpenRead | fmShareDenyNone);
  LoadFromBinaryStream(&stream);
}
