#pragma once
// The system clipboard: text and pictures, and which formats it holds.
#include "platform/gui/graphics.h"

// Clipboard formats asked of HasFormat. CF_PICTURE: any picture the
// picture classes can take (here: a bitmap).
enum : Word { CF_TEXT = 1, CF_BITMAP = 2, CF_METAFILEPICT = 3, CF_UNICODETEXT = 13, CF_ENHMETAFILE = 14,
              CF_PICTURE = 0xC100 };

class TClipboard : public TPersistent {
  KORVANE_CLASS(TClipboard, TPersistent)
  // The text on the clipboard ("" when it holds none).
  String AsText() const;
  void SetAsText(const String& Value);
  // CF_TEXT / CF_UNICODETEXT: text; CF_BITMAP / CF_PICTURE: an image;
  // metafile formats never (this system has no metafiles).
  bool HasFormat(Word Format) const;
  void Clear();
  // Puts a picture (TPicture or any TGraphic, drawn as a bitmap) on the clipboard.
  void Assign(TPersistent* Source) override;
  // Takes the clipboard's image into a TBitmap or TPicture; raises
  // EInvalidGraphic "The clipboard holds no picture" when there is none.
  void AssignTo(TPersistent* Dest) override;
};

// The program's clipboard object.
TClipboard* Clipboard();
