// Image lists: many small images of one size kept in one comctl32 image list
// (HIMAGELIST), drawn by index. Components that show images from a list
// register a TChangeLink to hear when the list changes.
//
// The component stream stores a list as the binary property "Bitmap" in the
// comctl32 image-list stream format (ImageList_Write / ImageList_Read).
#pragma once

#include "platform/WinApi.h"
#include "platform/core/Components.h"
#include "platform/gui/Graphics.h"

#include <vector>

class TCustomImageList;
class TFiler;
class TStream;

using TImageIndex = int;
// 0..3: the overlay slots of a list (comctl32's 1..4).
using TOverlay = int;

DECLARE_ENUM(TDrawingStyle, dsFocus, dsSelected, dsNormal, dsTransparent)
DECLARE_ENUM(TImageType, itImage, itMask)
DECLARE_ENUM(TResType, rtBitmap, rtCursor, rtIcon)
DECLARE_ENUM(TLoadResource, lrDefaultColor, lrDefaultSize, lrFromFile, lrMap3DColors,
             lrTransparent, lrMonoChrome)
using TLoadResources = TSet<TLoadResource, 6>;
// cdDeviceDependent makes a list of the display's depth (ILC_COLORDDB).
DECLARE_ENUM(TColorDepth, cdDeviceDependent, cd4Bit, cd8Bit, cd16Bit, cd24Bit, cd32Bit)

// Tells one client that an image list changed. A link registered with a list
// leaves it when either is freed.
class TChangeLink : public TObject {
  DECLARE_CLASS(TChangeLink, TObject)
  TChangeLink() = default;
  ~TChangeLink() override;

  // The list the link is registered with; null when none.
  TCustomImageList* Sender() const { return sender_; }
  void SetSender(TCustomImageList* value) { sender_ = value; }
  // Fires OnChange with the list as sender.
  virtual void Change();

  TNotifyEvent OnChange;

 private:
  TCustomImageList* sender_ = nullptr;
};

// The image list component. The HIMAGELIST is made on first use with the
// list's Width, Height, ColorDepth, Masked and AllocBy; changing Width or
// Height empties the list.
class TCustomImageList : public TComponent {
  DECLARE_CLASS(TCustomImageList, TComponent)
  explicit TCustomImageList(TComponent* AOwner);
  // The platform's CreateSize.
  TCustomImageList(TComponent* AOwner, int width, int height);
  ~TCustomImageList() override;

  // Copies the images and settings of another image list (null: empties this one).
  void Assign(TPersistent* source) override;
  void Loaded() override;

  // Adding: each returns the index of the first new image, -1 when none was
  // added. A bitmap as wide as several images adds one image per Width
  // pixels. A null mask makes every pixel opaque.
  int Add(TBitmap* image, TBitmap* mask);
  int AddIcon(TIcon* image);
  // Copies image `index` of another list; -1 for a null list or a bad index.
  int AddImage(TCustomImageList* value, int index);
  void AddImages(TCustomImageList* value);
  // Pixels of `maskColor` become transparent; clDefault takes the bitmap's
  // TransparentColor (its bottom-left pixel), clNone adds it without mask.
  int AddMasked(TBitmap* image, TColor maskColor);
  // Inserting at Count appends; an index outside 0..Count raises
  // EInvalidOperation "Invalid ImageList Index".
  void Insert(int index, TBitmap* image, TBitmap* mask);
  void InsertIcon(int index, TIcon* image);
  void InsertMasked(int index, TBitmap* image, TColor maskColor);
  // Replaces one image; EInvalidOperation for an index outside 0..Count - 1.
  void Replace(int index, TBitmap* image, TBitmap* mask);
  void ReplaceIcon(int index, TIcon* image);
  void ReplaceMasked(int index, TBitmap* newImage, TColor maskColor);
  // -1 deletes every image.
  void Delete(int index);
  void Clear();
  // Moves an image; the images between shift by one.
  void Move(int curIndex, int newIndex);

  // Draws with the list's DrawingStyle and ImageType.
  void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
  void Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle drawingStyle,
            TImageType imageType, bool enabled = true);
  void DrawOverlay(TCanvas* canvas, int x, int y, int imageIndex, TOverlay overlay,
                   bool enabled = true);
  void DrawOverlay(TCanvas* canvas, int x, int y, int imageIndex, TOverlay overlay,
                   TDrawingStyle drawingStyle, TImageType imageType, bool enabled = true);
  // Makes image `imageIndex` the overlay image of slot `overlay`.
  bool Overlay(int imageIndex, TOverlay overlay);

  // Resizes `image` to Width x Height and draws image `index` on it; false
  // (and nothing changed) for a null bitmap or a bad index.
  bool GetBitmap(int index, TBitmap* image);
  void GetIcon(int index, TIcon* image);
  void GetIcon(int index, TIcon* image, TDrawingStyle drawingStyle, TImageType imageType);
  // The list's own image and mask bitmaps (all images, 4 across); they stay
  // the list's: do not delete or select them. 0 without images.
  HBITMAP GetImageBitmap();
  HBITMAP GetMaskBitmap();

  // Loading from a bitmap (or icon, cursor) resource or file, split into
  // images Width (or `width`) pixels wide. The loaded images replace the
  // list's; false and nothing changed when the resource cannot be loaded.
  bool FileLoad(TResType resType, const String& name, TColor maskColor);
  bool GetResource(TResType resType, const String& name, int width, TLoadResources loadFlags,
                   TColor maskColor);
  bool GetInstRes(HINSTANCE instance, TResType resType, const String& name, int width,
                  TLoadResources loadFlags, TColor maskColor);
  bool GetInstRes(HINSTANCE instance, TResType resType, DWORD resID, int width,
                  TLoadResources loadFlags, TColor maskColor);
  bool ResInstLoad(HINSTANCE instance, TResType resType, const String& name, TColor maskColor);
  bool ResourceLoad(TResType resType, const String& name, TColor maskColor);

  // Same count and, when not empty, the same stored bytes.
  bool Equal(TCustomImageList* other);

  void RegisterChanges(TChangeLink* value);
  void UnRegisterChanges(TChangeLink* value);
  // Changes inside a BeginUpdate/EndUpdate bracket are reported once, at
  // the outermost EndUpdate.
  void BeginUpdate();
  void EndUpdate();

  HIMAGELIST Handle();
  // Takes `value` as the list's images (its size becomes the list's). The
  // old handle is destroyed unless ShareImages is set; so is `value` later.
  virtual void SetHandle(HIMAGELIST value);
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded() { Handle(); }

  int Count() const;
  int Width() const { return width_; }
  void SetWidth(int value);
  int Height() const { return height_; }
  void SetHeight(int value);
  int AllocBy() const { return allocBy_; }
  void SetAllocBy(int value);
  TColor BkColor() const;
  void SetBkColor(TColor value);
  TColor BlendColor() const { return blendColor_; }
  void SetBlendColor(TColor value);
  TColorDepth ColorDepth() const { return colorDepth_; }
  void SetColorDepth(TColorDepth value);
  TDrawingStyle DrawingStyle() const { return drawingStyle_; }
  void SetDrawingStyle(TDrawingStyle value);
  TImageType ImageType() const { return imageType_; }
  void SetImageType(TImageType value);
  bool Masked() const { return masked_; }
  void SetMasked(bool value);
  // True: the list never destroys its handle (it belongs to someone else).
  bool ShareImages() const { return shareImages_; }
  void SetShareImages(bool value);

  TNotifyEvent OnChange;

  // Reports a change to every registered link and OnChange (deferred while
  // an update bracket is open).
  virtual void Change();

 protected:
  // Draws one image with ILD_ flags; disabled images are drawn embossed in
  // the highlight and shadow colours.
  virtual void DoDraw(int index, TCanvas* canvas, int x, int y, UINT style, bool enabled = true);
  void DefineProperties(TFiler* filer) override;
  // The "Bitmap" property: the comctl32 image-list stream. Reading checks the
  // whole stream first; anything malformed raises EReadError "Failed to read
  // ImageList data from stream" and leaves the list as it was.
  virtual void ReadData(TStream* stream);
  virtual void WriteData(TStream* stream);
  // Copies image `index` and its mask into the bitmaps (Width x Height, 32 and
  // 1 bits per pixel); either may be null.
  void GetImages(int index, TBitmap* image, TBitmap* mask);
  // Replaces the list's images by those of a comctl32 list (not taken over).
  void CopyImages(HIMAGELIST value, int index = -1);
  // Destroys the handle unless ShareImages; the list is then without one.
  void FreeHandle();
  UINT DrawStyleFlags(TDrawingStyle drawingStyle, TImageType imageType) const;

 private:
  void Init(int width, int height);
  void CreateImageList();
  void RecreateHandle(bool keepImages);
  void TakeHandle(HIMAGELIST value);
  void CheckIndex(int index, bool insert) const;
  int AddCells(HIMAGELIST source, int first, int last);
  void MoveBlock(int first, int count, int index);
  bool LoadList(HINSTANCE instance, TResType resType, const Char* name, int width,
                TLoadResources loadFlags, TColor maskColor);
  void WriteList(TStream* stream);

  HIMAGELIST handle_ = nullptr;
  int width_ = 16, height_ = 16;
  int allocBy_ = 4;
  TColor bkColor_ = clNone;
  TColor blendColor_ = clNone;
  TColorDepth colorDepth_ = cd32Bit;
  TDrawingStyle drawingStyle_ = dsNormal;
  TImageType imageType_ = itImage;
  bool masked_ = true;
  bool shareImages_ = false;
  int updateCount_ = 0;
  bool changed_ = false;
  std::vector<TChangeLink*> clients_;
};

// A list that can also be dragged across windows (ImageList_BeginDrag and
// friends). Only one list drags at a time in a process.
class TDragImageList : public TCustomImageList {
  DECLARE_CLASS(TDragImageList, TCustomImageList)
  explicit TDragImageList(TComponent* AOwner);
  TDragImageList(TComponent* AOwner, int width, int height);
  ~TDragImageList() override;

  // Starts dragging the drag image (SetDragImage) locked to `window`, drawn at
  // (x, y) of the window.
  bool BeginDrag(HWND window, int x, int y);
  // Locks the drag image to `window` (ImageList_DragEnter); false when it is
  // already locked there.
  bool DragLock(HWND window, int xPos, int yPos);
  bool DragMove(int x, int y);
  void DragUnlock();
  bool EndDrag();
  void HideDragImage();
  void ShowDragImage();
  // Chooses image and hot spot of the drag image; starts the drag operation
  // of comctl32 when not dragging yet.
  bool SetDragImage(int index, int hotSpotX, int hotSpotY);
  TPoint HotSpot() const { return dragHotspot_; }
  bool Dragging() const { return dragging_; }
  // The platform cursor id (crDefault 0, crNone -1, ...) that the drag
  // machinery of the controls shows while this list drags; only kept here.
  int DragCursor() const { return dragCursor_; }
  void SetDragCursor(int value);

 private:
  int dragCursor_ = 0;
  bool dragging_ = false;
  HWND dragWindow_ = nullptr;
  int dragIndex_ = 0;
  TPoint dragHotspot_{0, 0};
  TPoint dragPos_{0, 0};
};

// The image list of stored window definitions.
class TImageList : public TDragImageList {
  DECLARE_CLASS(TImageList, TDragImageList)
  explicit TImageList(TComponent* AOwner) : TDragImageList(AOwner) {}
  TImageList(TComponent* AOwner, int width, int height) : TDragImageList(AOwner, width, height) {}
};

// An 8 x 8 checker of the two colours ((0, 0) is fgColor), shared by every
// caller asking for the same pair; it stays the module's (freed by
// ImgListFinalize).
TBitmap* AllocPatternBitmap(TColor bkColor, TColor fgColor);

// Live HIMAGELISTs that this module created or took over and has not
// destroyed yet (for leak tests).
long ImgListLiveHandles();

// Module start-up: registers TImageList for the component stream. Shutdown
// frees the pattern bitmaps.
void ImgListInitialize();
void ImgListFinalize();
