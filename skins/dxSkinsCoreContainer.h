// The multi-skin container: a skin stream header, a count, then each skin
// stream behind its size.
#pragma once

#include "skins/dxSkinsCore.h"

#include <vector>

class TdxSkinBinaryWriter : public TObject {
  DECLARE_CLASS(TdxSkinBinaryWriter, TObject)
  // Writes the header with a count of 0 at the stream's position.
  explicit TdxSkinBinaryWriter(TStream* AStream);
  // Writes the final count and leaves the stream at the container's end.
  ~TdxSkinBinaryWriter() override;
  void AddSkin(TdxSkin* ASkin);
  int Count() const { return FCount; }

 private:
  TStream* FStream;
  Int64 FHeaderOffset;
  int FCount = 0;
};

class TdxSkinBinaryReader : public TObject {
  DECLARE_CLASS(TdxSkinBinaryReader, TObject)
  // Reads the table from the stream's position; a stream that is no container
  // gives an empty table, an entry that does not fit or is no skin ends it.
  explicit TdxSkinBinaryReader(TStream* AStream);

  int Count() const { return int(FTable.size()); }
  const String& SkinName(int AIndex) const { return FTable[AIndex].Name; }
  bool LoadSkin(TdxSkin* ASkin, int ASkinIndex);
  // An empty name stands for the first skin; names compare ignoring case.
  bool LoadSkin(TdxSkin* ASkin, const String& ASkinName);

 private:
  struct TEntry {
    String Name;
    Int64 Position;
  };
  TStream* FStream;
  std::vector<TEntry> FTable;
};
