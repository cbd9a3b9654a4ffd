#pragma once
// Panels, pictures on forms, splitters and the toolbar band.
#include <memory>

#include "platform/gui/controls.h"
#include "platform/gui/picture.h"

enum TBevelCut : Integer { bvNone, bvLowered, bvRaised, bvSpace };

// A container with bevels and an optional centred caption. Aligned
// children are placed inside the border and bevels.
class TPanel : public TCustomControl {
  KORVANE_CLASS(TPanel, TCustomControl)
  explicit TPanel(TComponent* AOwner);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut Value);
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut Value);
  Integer BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(Integer Value);
  // Space between the bevels.
  Integer BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(Integer Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  void AlignControls(TControl* AControl, TRect& Rect) override;

protected:
  void Paint() override;
  void CMTextChanged(TMessage& Message) override;
  // The part inside bevels and border.
  TRect InnerRect() const;

private:
  void Changed();
  TBevelCut FBevelOuter = bvRaised;
  TBevelCut FBevelInner = bvNone;
  Integer FBevelWidth = 1;
  Integer FBorderWidth = 0;
  TAlignment FAlignment = taCenter;
};

// A picture shown on a form.
class TImage : public TGraphicControl {
  KORVANE_CLASS(TImage, TGraphicControl)
  explicit TImage(TComponent* AOwner);
  ~TImage() override;
  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
  // Stretch: fill the control (keeping the proportions with Proportional);
  // Center: centre the picture; AutoSize: take the picture's size.
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  bool Proportional() const { return FProportional; }
  void SetProportional(bool Value);
  bool Center() const { return FCenter; }
  void SetCenter(bool Value);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  // Where the picture is drawn (client coordinates).
  TRect DestRect() const;

protected:
  void Paint() override;

private:
  void PictureChanged(TObject* Sender);
  std::unique_ptr<TPicture> FPicture;
  bool FStretch = false;
  bool FProportional = false;
  bool FCenter = false;
  bool FAutoSize = false;
};

// A bar the user drags to resize the control aligned on the same side just
// before it (a left splitter resizes the left-aligned control at its left).
class TSplitter : public TGraphicControl {
  KORVANE_CLASS(TSplitter, TGraphicControl)
  explicit TSplitter(TComponent* AOwner);
  // The resized control never gets smaller than this.
  Integer MinSize() const { return FMinSize; }
  void SetMinSize(Integer Value) { FMinSize = std::max(0, Value); }
  // The control the splitter resizes (nullptr: none beside it).
  TControl* FindControl() const;
  TNotifyEvent OnMoved;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

private:
  bool Horizontal() const { return Align() == alTop || Align() == alBottom; }
  Integer FMinSize = 30;
  TControl* FControl = nullptr;  // while dragging
  TPoint FDownPos;               // screen
  Integer FStartSize = 0;
};

// The toolbar band along the top of a window: a raised strip whose child
// controls (speed buttons, edits) sit where they are placed.
class TCoolBar : public TCustomControl {
  KORVANE_CLASS(TCoolBar, TCustomControl)
  explicit TCoolBar(TComponent* AOwner);

protected:
  void Paint() override;
};
