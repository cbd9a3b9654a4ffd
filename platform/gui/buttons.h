#pragma once
// TSpeedButton: a button without a window for toolbars, showing a glyph
// (its own bitmap or an image of an image list) and/or a caption. A flat
// button shows its edge only while the mouse is over it or it is pressed.
#include <memory>

#include "platform/gui/bitmap.h"
#include "platform/gui/controls.h"
#include "platform/gui/imagelist.h"

class TSpeedButton : public TGraphicControl {
  KORVANE_CLASS(TSpeedButton, TGraphicControl)
  explicit TSpeedButton(TComponent* AOwner);
  ~TSpeedButton() override;
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  // The glyph: the bitmap (its bottom-left colour transparent) when not
  // empty, else image ImageIndex of Images.
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* Value);
  Integer ImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer Value);
  // Stays pressed (toggled by clicks when GroupIndex is not 0).
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  Integer GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(Integer Value) { FGroupIndex = Value; }
  // The mouse is over the button (a flat button shows its edge).
  bool MouseInControl() const { return FMouseIn; }
  void Click() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;

private:
  bool FFlat = false;
  std::unique_ptr<TBitmap> FGlyph;
  TImageList* FImages = nullptr;
  Integer FImageIndex = -1;
  bool FDown = false;
  bool FPressed = false;
  bool FMouseIn = false;
  Integer FGroupIndex = 0;
};
