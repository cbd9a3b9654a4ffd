#pragma once
// Pictures of several kinds behind one holder.
//
// TIcon reads icon files (the largest image of the file is shown; the file's
// bytes are what is saved). TMetafile stands for vector pictures of another
// system: they cannot be read here, and loading one raises EInvalidGraphic
// with a message that says so. TPicture holds one graphic of any kind,
// chooses the kind of a file or stream by its content (by the file's
// extension when the content is not recognised), and tells OnChange about
// every change. A load that fails raises and leaves the picture as it was.
#include <memory>
#include <vector>

#include "platform/gui/bitmap.h"
#include "platform/gui/jpeg.h"

// A kind of picture: the metaclass of a TGraphic descendant.
using TGraphicClass = TClass;

class TIcon : public TGraphic {
  KORVANE_CLASS(TIcon, TGraphic)
  TIcon();
  ~TIcon() override;
  bool Empty() const override;
  Integer Width() const override;
  Integer Height() const override;
  // An icon keeps the size of its image: these change nothing.
  void SetWidth(Integer) override {}
  void SetHeight(Integer) override {}
  void Assign(TPersistent* Source) override;
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  // Draws the pixels that are at least half opaque, stretched into Rect.
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

private:
  RawByteString FData;
  std::unique_ptr<TBitmap> FImage;
  std::vector<Byte> FAlpha;  // one value per pixel of FImage
};

class TMetafile : public TGraphic {
  KORVANE_CLASS(TMetafile, TGraphic)
  bool Empty() const override { return true; }
  Integer Width() const override { return 0; }
  Integer Height() const override { return 0; }
  void SetWidth(Integer) override {}
  void SetHeight(Integer) override {}
  // Raises EInvalidGraphic: metafiles are not supported on this system.
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream*) override {}
  void Draw(TCanvas*, const TRect&) override {}
};

class TPicture : public TPersistent {
  KORVANE_CLASS(TPicture, TPersistent)
  TPicture();
  ~TPicture() override;

  // The graphic held (nullptr: none). SetGraphic keeps a copy of Value.
  TGraphic* Graphic() const { return FGraphic.get(); }
  void SetGraphic(TGraphic* Value);
  // The graphic as a bitmap / icon: a graphic of another kind is replaced
  // by an empty one of that kind first.
  TBitmap* Bitmap();
  TIcon* Icon();
  Integer Width() const { return FGraphic ? FGraphic->Width() : 0; }
  Integer Height() const { return FGraphic ? FGraphic->Height() : 0; }

  // The kind is taken from the content, else from the extension; an
  // unknown kind raises EInvalidGraphic "Unknown picture file extension (.x)".
  void LoadFromFile(const String& FileName);
  // Raises EInvalidGraphic when there is no graphic.
  void SaveToFile(const String& FileName);
  // The kind is taken from the content; unknown content raises EInvalidGraphic.
  void LoadFromStream(TStream* Stream);
  void SaveToStream(TStream* Stream);
  // From a picture (its graphic copied), a graphic (copied) or nullptr (cleared).
  void Assign(TPersistent* Source) override;

  TNotifyEvent OnChange;

private:
  void Changed(TObject* Sender);
  void Adopt(std::unique_ptr<TGraphic> Graphic);
  void LoadAs(TGraphicClass Kind, TStream* Stream);

  std::unique_ptr<TGraphic> FGraphic;
};

// The kind of picture the bytes start with (nullptr: not recognised).
// PNG counts as a bitmap.
TGraphicClass GraphicClassOfContent(const RawByteString& Head);
// The kind registered for a file extension with or without the dot, any
// case (nullptr: none).
TGraphicClass GraphicClassOfExtension(const String& Extension);
// The default extension of a kind without the dot ("bmp", "ico", "emf",
// "jpg"); "" for an unknown kind.
String GraphicExtension(TGraphicClass Kind);
// Filter text for picture dialogs: for one kind its own entries, for
// TGraphic (or nullptr) an "All" entry of every pattern followed by one
// entry per registered extension, such as
// "All (*.bmp;*.png;...)|*.bmp;*.png;...|Bitmaps (*.bmp)|*.bmp|...".
String GraphicFilter(TGraphicClass Kind);
