// TGraphic's common behaviour, TPicture with the registry of graphic classes
// and file formats, and the graphics module's start-up and shutdown.
#include "platform/gui/Graphics.h"
#include "platform/gui/GraphicsInternal.h"
#include "platform/gui/Jpeg.h"
#include "platform/core/Streams.h"
#include "platform/core/SysUtils.h"

#include "platform/core/Filer.h"

#include <memory>
#include <vector>

namespace {

using TStreamPtr = TObjectPtr<TStream>;

TStreamPtr OpenFile(const String& fileName, Word mode) {
  return TStreamPtr(Make<TFileStream>(fileName, mode));
}

struct TFileFormat {
  String Extension;   // lower case, no dot
  String Description;
  TClass GraphicClass;
};

struct TClipboardFormat {
  Word Format;
  TClass GraphicClass;
};

std::vector<TFileFormat>& FileFormats() {
  static std::vector<TFileFormat> formats;
  return formats;
}

std::vector<TClipboardFormat>& ClipboardFormats() {
  static std::vector<TClipboardFormat> formats;
  return formats;
}

TClass ClassForExtension(const String& extension) {
  for (const TFileFormat& f : FileFormats())
    if (SameText(f.Extension, extension)) return f.GraphicClass;
  return nullptr;
}

TClass ClassForClipboardFormat(Word format) {
  for (const TClipboardFormat& f : ClipboardFormats())
    if (f.Format == format) return f.GraphicClass;
  return nullptr;
}

TGraphic* NewGraphic(TClass graphicClass) {
  return static_cast<TGraphic*>(graphicClass->NewInstance(nullptr));
}

TBytes SavedBytes(TGraphic* graphic) {
  auto* stream = Make<TMemoryStream>();
  TStreamPtr guard(stream);
  graphic->SaveToStream(stream);
  const auto* p = static_cast<const Byte*>(stream->Memory());
  return TBytes(p, p + stream->Size());
}

}  // namespace

// ---------------------------------------------------------------------------
// TGraphic
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TGraphic, TPersistent, nullptr)

void TGraphic::LoadFromFile(const String& fileName) {
  TStreamPtr stream = OpenFile(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(stream.get());
}

void TGraphic::SaveToFile(const String& fileName) {
  TStreamPtr stream = OpenFile(fileName, fmCreate);
  SaveToStream(stream.get());
}

void TGraphic::LoadFromClipboardFormat(Word, HANDLE, HPALETTE) {
  throw EInvalidGraphic(L"Unsupported clipboard format");
}

void TGraphic::SaveToClipboardFormat(Word&, HANDLE&, HPALETTE&) {
  throw EInvalidGraphic(L"Unsupported clipboard format");
}

bool TGraphic::Equals(TGraphic* graphic) {
  if (!graphic || graphic->ClassType() != ClassType()) return false;
  if (graphic == this) return true;
  if (Empty() || graphic->Empty()) return Empty() == graphic->Empty();
  return SavedBytes(this) == SavedBytes(graphic);
}

void TGraphic::SetSize(int width, int height) {
  SetWidth(width);
  SetHeight(height);
}

void TGraphic::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  Changed(this);
}

void TGraphic::SetModified(bool value) {
  if (value) Changed(this);
  else modified_ = false;
}

void TGraphic::Changed(TObject*) {
  modified_ = true;
  if (OnChange.Assigned()) OnChange(this);
}

void TGraphic::ReadData(TStream* stream) { LoadFromStream(stream); }
void TGraphic::WriteData(TStream* stream) { SaveToStream(stream); }

void TGraphic::DefineProperties(TFiler* filer) {
  bool write;
  if (auto* ancestor = dynamic_cast<TGraphic*>(filer->Ancestor())) write = !Equals(ancestor);
  else write = filer->Ancestor() != nullptr || !Empty();
  filer->DefineBinaryProperty(L"Data", [this](TStream* s) { ReadData(s); },
                              [this](TStream* s) { WriteData(s); }, write);
}

// ---------------------------------------------------------------------------
// TPicture
// ---------------------------------------------------------------------------

IMPLEMENT_CLASS(TPicture, TPersistent, ConstructPlain<TPicture>)

TPicture::TPicture() = default;

TPicture::~TPicture() { TObject::Free(graphic_); }

void TPicture::TakeGraphic(TGraphic* graphic) {
  TGraphic* old = graphic_;
  graphic_ = graphic;
  if (graphic_) graphic_->OnChange = TNotifyEvent::Bind<&TPicture::Changed>(this);
  TObject::Free(old);
  Changed(this);
}

void TPicture::SetGraphic(TGraphic* value) {
  TGraphic* copy = nullptr;
  if (value) {
    copy = NewGraphic(value->ClassType());
    try {
      copy->Assign(value);
    } catch (...) {
      TObject::Free(copy);
      throw;
    }
  }
  TakeGraphic(copy);
}

void TPicture::ForceType(TClass graphicClass) {
  if (graphic_ && graphic_->InheritsFrom(graphicClass)) return;
  TakeGraphic(NewGraphic(graphicClass));
}

TBitmap* TPicture::Bitmap() {
  ForceType(TBitmap::StaticClass());
  return static_cast<TBitmap*>(graphic_);
}

TIcon* TPicture::Icon() {
  ForceType(TIcon::StaticClass());
  return static_cast<TIcon*>(graphic_);
}

TMetafile* TPicture::Metafile() {
  ForceType(TMetafile::StaticClass());
  return static_cast<TMetafile*>(graphic_);
}

int TPicture::Width() const { return graphic_ ? graphic_->Width() : 0; }
int TPicture::Height() const { return graphic_ ? graphic_->Height() : 0; }

void TPicture::Assign(TPersistent* source) {
  if (!source) TakeGraphic(nullptr);
  else if (auto* picture = dynamic_cast<TPicture*>(source)) SetGraphic(picture->graphic_);
  else if (auto* graphic = dynamic_cast<TGraphic*>(source)) SetGraphic(graphic);
  else inherited::Assign(source);
}

void TPicture::AssignTo(TPersistent* dest) {
  if (graphic_ && dynamic_cast<TGraphic*>(dest) && graphic_->InheritsFrom(dest->ClassType()))
    dest->Assign(graphic_);
  else
    inherited::AssignTo(dest);
}

void TPicture::Changed(TObject*) {
  if (OnChange.Assigned()) OnChange(this);
}

void TPicture::LoadFromFile(const String& fileName) {
  String ext = ExtractFileExt(fileName);
  if (!ext.empty() && ext[0] == L'.') ext.erase(0, 1);
  ext = LowerCase(ext);
  TClass graphicClass = ClassForExtension(ext);
  if (!graphicClass) throw EInvalidGraphic(L"Unknown picture file extension (." + ext + L")");
  TGraphic* graphic = NewGraphic(graphicClass);
  try {
    graphic->LoadFromFile(fileName);
  } catch (...) {
    TObject::Free(graphic);
    throw;
  }
  TakeGraphic(graphic);
}

void TPicture::SaveToFile(const String& fileName) {
  if (graphic_) graphic_->SaveToFile(fileName);
}

void TPicture::LoadFromClipboardFormat(Word format, HANDLE data, HPALETTE palette) {
  TClass graphicClass = ClassForClipboardFormat(format);
  if (!graphicClass) throw EInvalidGraphic(L"Unsupported clipboard format");
  TGraphic* graphic = NewGraphic(graphicClass);
  try {
    graphic->LoadFromClipboardFormat(format, data, palette);
  } catch (...) {
    TObject::Free(graphic);
    throw;
  }
  TakeGraphic(graphic);
}

void TPicture::SaveToClipboardFormat(Word& format, HANDLE& data, HPALETTE& palette) {
  if (graphic_) graphic_->SaveToClipboardFormat(format, data, palette);
}

bool TPicture::SupportsClipboardFormat(Word format) { return ClassForClipboardFormat(format) != nullptr; }

// The stored form: a length byte, the class name in ASCII, then the graphic's
// own data. An empty name stands for no graphic.
void TPicture::ReadData(TStream* stream) {
  Byte length = 0;
  stream->ReadBuffer(&length, 1);
  std::string name(length, '\0');
  if (length) stream->ReadBuffer(name.data(), length);
  if (name.empty()) {
    TakeGraphic(nullptr);
    return;
  }
  const String className(name.begin(), name.end());
  TClass graphicClass = FindGraphicClass(className);
  if (!graphicClass) throw EInvalidGraphic(L"Graphic class " + className + L" is not registered");
  TGraphic* graphic = NewGraphic(graphicClass);
  try {
    graphic->ReadData(stream);
  } catch (...) {
    TObject::Free(graphic);
    throw;
  }
  TakeGraphic(graphic);
}

void TPicture::WriteData(TStream* stream) {
  std::string name;
  if (graphic_)
    for (Char c : graphic_->ClassName()) name += static_cast<char>(c);
  const Byte length = static_cast<Byte>(std::min<size_t>(name.size(), 255));
  stream->WriteBuffer(&length, 1);
  if (length) stream->WriteBuffer(name.data(), length);
  if (graphic_) graphic_->WriteData(stream);
}

void TPicture::DefineProperties(TFiler* filer) {
  bool write;
  if (TPersistent* ancestor = filer->Ancestor()) {
    write = true;
    if (auto* picture = dynamic_cast<TPicture*>(ancestor)) {
      TGraphic* other = picture->graphic_;
      write = !(graphic_ == other || (graphic_ && other && graphic_->Equals(other)));
    }
  } else {
    write = graphic_ != nullptr;
  }
  filer->DefineBinaryProperty(L"Data", [this](TStream* s) { ReadData(s); },
                              [this](TStream* s) { WriteData(s); }, write);
}

// ---- Registry -------------------------------------------------------------------

void TPicture::RegisterFileFormat(const String& extension, const String& description,
                                  TClass graphicClass) {
  if (!graphicClass || !graphicClass->InheritsFrom(TGraphic::StaticClass()))
    throw EInvalidGraphic(L"Invalid graphic class");
  String ext = LowerCase(extension);
  if (!ext.empty() && ext[0] == L'.') ext.erase(0, 1);
  for (TFileFormat& f : FileFormats())
    if (f.Extension == ext) {
      f.Description = description;
      f.GraphicClass = graphicClass;
      return;
    }
  FileFormats().push_back({ext, description, graphicClass});
}

void TPicture::RegisterClipboardFormat(Word format, TClass graphicClass) {
  if (!graphicClass || !graphicClass->InheritsFrom(TGraphic::StaticClass()))
    throw EInvalidGraphic(L"Invalid graphic class");
  for (TClipboardFormat& f : ClipboardFormats())
    if (f.Format == format) {
      f.GraphicClass = graphicClass;
      return;
    }
  ClipboardFormats().push_back({format, graphicClass});
}

void TPicture::UnregisterGraphicClass(TClass graphicClass) {
  if (!graphicClass) return;
  std::erase_if(FileFormats(), [&](const TFileFormat& f) { return f.GraphicClass->InheritsFrom(graphicClass); });
  std::erase_if(ClipboardFormats(),
                [&](const TClipboardFormat& f) { return f.GraphicClass->InheritsFrom(graphicClass); });
}

TClass TPicture::FindGraphicClass(const String& className) {
  for (const TFileFormat& f : FileFormats())
    if (SameText(f.GraphicClass->Name, className)) return f.GraphicClass;
  for (const TClipboardFormat& f : ClipboardFormats())
    if (SameText(f.GraphicClass->Name, className)) return f.GraphicClass;
  return nullptr;
}

String GraphicFilter(TClass graphicClass) {
  String filters, masks;
  int count = 0;
  for (const TFileFormat& f : FileFormats()) {
    if (graphicClass && !f.GraphicClass->InheritsFrom(graphicClass)) continue;
    if (count) {
      filters += L'|';
      masks += L';';
    }
    filters += f.Description + L" (*." + f.Extension + L")|*." + f.Extension;
    masks += L"*." + f.Extension;
    ++count;
  }
  return count > 1 ? L"All (" + masks + L")|" + masks + L"|" + filters : filters;
}

String GraphicExtension(TClass graphicClass) {
  for (const TFileFormat& f : FileFormats())
    if (f.GraphicClass == graphicClass) return f.Extension;
  return String();
}

String GraphicFileMask(TClass graphicClass) {
  String masks;
  for (const TFileFormat& f : FileFormats()) {
    if (graphicClass && !f.GraphicClass->InheritsFrom(graphicClass)) continue;
    if (!masks.empty()) masks += L';';
    masks += L"*." + f.Extension;
  }
  return masks;
}

// ---- Module start-up --------------------------------------------------------------

void GraphicsInitialize() {
  InitializeGraphicsDefaults();
  // The component stream writes colours and character sets by name.
  RegisterIntegerConsts(ColorTypeInfo(), IdentToColor, ColorToIdent);
  RegisterIntegerConsts(FontCharsetTypeInfo(), IdentToCharset, CharsetToIdent);
  TPicture::RegisterFileFormat(L"bmp", L"Bitmaps", TBitmap::StaticClass());
  TPicture::RegisterFileFormat(L"ico", L"Icons", TIcon::StaticClass());
  TPicture::RegisterFileFormat(L"emf", L"Enhanced Metafiles", TMetafile::StaticClass());
  TPicture::RegisterFileFormat(L"wmf", L"Metafiles", TMetafile::StaticClass());
  TPicture::RegisterFileFormat(L"jpg", L"JPEG Image File", TJPEGImage::StaticClass());
  TPicture::RegisterFileFormat(L"jpeg", L"JPEG Image File", TJPEGImage::StaticClass());
  TPicture::RegisterClipboardFormat(CF_BITMAP, TBitmap::StaticClass());
  TPicture::RegisterClipboardFormat(CF_ENHMETAFILE, TMetafile::StaticClass());
  TPicture::RegisterClipboardFormat(CF_METAFILEPICT, TMetafile::StaticClass());
}

void GraphicsFinalize() {
  UnregisterIntegerConsts(ColorTypeInfo());
  UnregisterIntegerConsts(FontCharsetTypeInfo());
  FileFormats().clear();
  ClipboardFormats().clear();
}
