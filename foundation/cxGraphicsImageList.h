// The library's image list: every image is kept twice, in the system image
// list (32-bit colour with masks, for fast drawing and the platform's own
// consumers) and as a record holding the image and mask bitmaps with full
// alpha. The records are what a stored definition keeps, so alpha images
// survive streaming; the system list is rebuilt from them after reading.
// Drawing goes through the alpha-aware image drawing of the graphics module.
#pragma once

#include "platform/WinApi.h"
#include "platform/core/Components.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/ImgList.h"

class TcxBitmap;
class TcxImageList;
class TFiler;

// ---------------------------------------------------------------------------
// Image records
// ---------------------------------------------------------------------------

// One image with its mask (white = transparent) and mask colour. The
// bitmaps are the record's own; setting one copies the given bitmap.
class TcxImageInfo : public TPersistent {
  DECLARE_CLASS(TcxImageInfo, TPersistent)
  TcxImageInfo();
  ~TcxImageInfo() override;
  // From another record: image, mask and mask colour.
  void Assign(TPersistent* Source) override;

  TBitmap* Image() const;
  virtual void SetImage(TBitmap* Value);
  TBitmap* Mask() const;
  virtual void SetMask(TBitmap* Value);
  TColor MaskColor() const { return FMaskColor; }
  void SetMaskColor(TColor Value) { FMaskColor = Value; }

 private:
  TcxBitmap* FImage;
  TcxBitmap* FMask;
  TColor FMaskColor = clNone;
};

// A record in the list's stored collection ("Image", "Mask", "MaskColor").
class TcxImageInfoItem : public TCollectionItem {
  DECLARE_CLASS(TcxImageInfoItem, TCollectionItem)
  // Takes CompressData from the collection.
  explicit TcxImageInfoItem(TCollection* Collection);
  ~TcxImageInfoItem() override;
  void Assign(TPersistent* Source) override;

  TcxImageInfo* ImageInfo() const { return FImageInfo; }
  TBitmap* Image() const { return FImageInfo->Image(); }
  void SetImage(TBitmap* Value) { FImageInfo->SetImage(Value); }
  TBitmap* Mask() const { return FImageInfo->Mask(); }
  void SetMask(TBitmap* Value) { FImageInfo->SetMask(Value); }
  TColor MaskColor() const { return FImageInfo->MaskColor(); }
  void SetMaskColor(TColor Value) { FImageInfo->SetMaskColor(Value); }
  // True when both bitmaps store their data compressed.
  bool CompressData() const;
  void SetCompressData(bool Value);

 private:
  TcxImageInfo* FImageInfo;
};

class TcxImageInfoCollection : public TCollection {
  DECLARE_CLASS(TcxImageInfoCollection, TCollection)
  explicit TcxImageInfoCollection(TcxImageList* AImageList);

  TcxImageInfoItem* Add(TBitmap* AImage, TBitmap* AMask, TColor AMaskColor);
  void Move(int ACurrentIndex, int ANewIndex);
  // -1 clears the collection.
  void Delete(int AIndex);
  TcxImageInfoItem* Items(int AIndex) const;
  // Passed on to every item (and to the items added later).
  bool CompressData() const { return FCompressData; }
  void SetCompressData(bool Value);
  TPersistent* GetOwner() override;

 private:
  bool FCompressData = false;
  TcxImageList* FImageList;
};

// ---------------------------------------------------------------------------
// TcxImageList
// ---------------------------------------------------------------------------

// Outside a rebuild the system list and the records hold the same number of
// images in the same order. Adding returns the index of the (first) new
// image or -1; inserting at an index outside 0 ... Count does nothing.
class TcxImageList : public TDragImageList {
  DECLARE_CLASS(TcxImageList, TDragImageList)
  explicit TcxImageList(TComponent* AOwner);
  TcxImageList(TComponent* AOwner, int AWidth, int AHeight);
  ~TcxImageList() override;

  // Only image lists are taken; any other source is ignored.
  void Assign(TPersistent* Source) override;

  // A bitmap that is several cells of the list's size adds one image per
  // cell, rows top to bottom, left to right.
  int Add(TBitmap* AImage, TBitmap* AMask);
  // clNone adds without mask, as Add(AImage, nullptr).
  int AddMasked(TBitmap* AImage, TColor AMaskColor);
  int AddIcon(TIcon* AIcon);
  // -1 for a null list or an index outside it; else the count before copying.
  int AddImage(TCustomImageList* AValue, int AIndex);
  void AddImages(TCustomImageList* AImageList);
  // Images AStartIndex (negative: 0) to AEndIndex (negative: the last).
  void CopyImages(TCustomImageList* AImageList, int AStartIndex = 0, int AEndIndex = -1);
  void Insert(int AIndex, TBitmap* AImage, TBitmap* AMask);
  void InsertMasked(int AIndex, TBitmap* AImage, TColor AMaskColor);
  void InsertIcon(int AIndex, TIcon* AIcon);
  // The old image is kept when the index is bad (EInvalidOperation) or the
  // new image is empty (EInvalidOperation "Unable to Replace Image").
  void Replace(int AIndex, TBitmap* AImage, TBitmap* AMask);
  void ReplaceMasked(int AIndex, TBitmap* AImage, TColor AMaskColor);
  void ReplaceIcon(int AIndex, TIcon* AIcon);
  void Move(int ACurIndex, int ANewIndex);
  // -1 deletes all.
  void Delete(int AIndex);
  void Clear();

  // Appends the images of a bitmap resource (or file with lrFromFile) cut
  // into AWidth-wide images; false and nothing changed when it cannot be loaded.
  bool LoadImage(HINSTANCE AInstance, const String& AResourceName, TColor AMaskColor, int AWidth,
                 TLoadResources AFlags);
  // The platform's loaders; the records follow the loaded images.
  bool FileLoad(TResType AResType, const String& AName, TColor AMaskColor);
  bool GetResource(TResType AResType, const String& AName, int AWidth, TLoadResources ALoadFlags,
                   TColor AMaskColor);
  bool GetInstRes(HINSTANCE AInstance, TResType AResType, const String& AName, int AWidth,
                  TLoadResources ALoadFlags, TColor AMaskColor);
  bool GetInstRes(HINSTANCE AInstance, TResType AResType, DWORD AResID, int AWidth,
                  TLoadResources ALoadFlags, TColor AMaskColor);
  bool ResInstLoad(HINSTANCE AInstance, TResType AResType, const String& AName, TColor AMaskColor);
  bool ResourceLoad(TResType AResType, const String& AName, TColor AMaskColor);

  // Copies image AIndex and its mask (either target may be null); nothing
  // for an index outside the list.
  void GetImageInfo(int AIndex, TBitmap* AImage, TBitmap* AMask);
  void GetImage(int AIndex, TBitmap* AImage) { GetImageInfo(AIndex, AImage, nullptr); }
  void GetMask(int AIndex, TBitmap* AMask) { GetImageInfo(AIndex, nullptr, AMask); }
  // Image AIndex of a system list (-1: the whole image and mask bitmaps)
  // into the bitmaps; a target keeps its pixel format for one image. Mask
  // pixels are white where transparent.
  static void GetImageInfo(HIMAGELIST AHandle, int AIndex, TBitmap* AImage, TBitmap* AMask);
  // Bits per pixel of a system list's image bitmap; 0 when unreadable.
  static int GetPixelFormat(HIMAGELIST AHandle);

  // A rectangle of exactly the list's size is never stretched; without
  // stretching the image is centred in ARect.
  void Draw(TCanvas* ACanvas, const TRect& ARect, int AIndex, bool AStretch = true,
            bool ASmoothResize = false, bool AEnabled = true);
  using TCustomImageList::Draw;

  // One notification follows the outermost EndUpdate(true).
  void BeginUpdate();
  void EndUpdate(bool AForceUpdate = true);
  void Change() override;

  // Copies the images of Value; Value stays the caller's and is never
  // destroyed by the list.
  void SetHandle(HIMAGELIST Value) override;

  // Changing the size empties the list (system images and records).
  void SetWidth(int Value);
  void SetHeight(int Value);

  bool AlphaBlending() const { return FAlphaBlending; }
  void SetAlphaBlending(bool Value) { FAlphaBlending = Value; }
  bool CompressData() const;
  void SetCompressData(bool Value);
  // The format version read from or last written to a stream.
  int FormatVersion() const { return FFormatVersion; }
  TcxImageInfoCollection* Images() const { return FImages; }

 protected:
  void DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled = true) override;
  void DefineProperties(TFiler* Filer) override;

 private:
  void Initialize();
  void AddToInternalCollection(TBitmap* AImage, TBitmap* AMask, TColor AMaskColor, int AFirst,
                               int AAdded);
  int AddRecord(TcxImageInfoItem* AItem);
  void InsertAdded(int AIndex, int AFirst);
  void CheckReplaceIndex(int AIndex) const;
  void RebuildRecordsFromSystem();
  void SynchronizeImages();
  void ReadLegacyBitmap(TStream* AStream);

  bool FAlphaBlending = false;
  int FFormatVersion = 0;
  TcxImageInfoCollection* FImages = nullptr;
  int FLockCount = 0;
  bool FSynchronization = false;
};
