#pragma once
// Panels, pictures on forms, splitters and the toolbar band.
#include <memory>
#include <vector>

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

class TCoolBar;

// One band of a cool bar: a grip at its left and one control beside it.
class TCoolBand {
public:
  explicit TCoolBand(TCoolBar* ABar) : FBar(ABar) {}
  TCoolBar* CoolBar() const { return FBar; }
  // The control the band holds (nullptr: an empty band); the bar places it.
  TControl* Control() const { return FControl; }
  void SetControl(TControl* Value);
  // The band starts a new row (the first band always does).
  bool Break() const { return FBreak; }
  void SetBreak(bool Value);
  // The band's width with its grip; 0: as wide as its control needs. The
  // last band of a row reaches to the row's end.
  Integer Width() const { return FWidth; }
  void SetWidth(Integer Value);
  // The least height of the band's row.
  Integer MinHeight() const { return FMinHeight; }
  void SetMinHeight(Integer Value);
  // The place among the bar's bands (rows read left to right, top to bottom).
  Integer Index() const;

private:
  friend class TCoolBar;
  TCoolBar* FBar;
  TControl* FControl = nullptr;
  bool FBreak = false;
  Integer FWidth = 0;
  Integer FMinHeight = 0;
};

// The toolbar container along the top of a window: a raised strip whose
// child controls (speed buttons, edits) sit where they are placed, and
// whose bands, if it has any, stand in rows, each with a grip.
//
// Unless FixedOrder is set, the user drags a band by its grip: along its
// row (before another band), into another row, or above the first or
// below the last row (a row of its own); the bands follow the mouse and
// OnChange tells once the mouse is released. With AutoSize the bar is as
// tall as its rows.
class TCoolBar : public TCustomControl {
  KORVANE_CLASS(TCoolBar, TCustomControl)
  // The grip at the left of every band.
  static constexpr Integer GripWidth = 10;
  // Room around a band's control.
  static constexpr Integer BandMargin = 2;

  explicit TCoolBar(TComponent* AOwner);
  ~TCoolBar() override;

  Integer BandCount() const { return static_cast<Integer>(FBands.size()); }
  // nullptr outside 0 .. BandCount - 1.
  TCoolBand* Bands(Integer Index) const;
  // A new band, last in the last row (owned by the bar).
  TCoolBand* AddBand(TControl* AControl = nullptr);
  // Frees the band (its control stays where it is).
  void DeleteBand(TCoolBand* ABand);
  // The band that holds the control (nullptr: none).
  TCoolBand* FindBand(TControl* AControl) const;
  // Moves the band to row ARow at place APlace in that row; with ANewRow,
  // the band makes a row of its own that goes in before row ARow (ARow =
  // RowCount: after the last).
  void MoveBand(TCoolBand* ABand, Integer ARow, Integer APlace, bool ANewRow);

  // Rows of bands as they stand now.
  Integer RowCount() const;
  // The row that holds the band (-1: not a band of this bar).
  Integer RowOf(const TCoolBand* ABand) const;
  // The band's rectangle and its grip's, in client coordinates.
  TRect BandRect(const TCoolBand* ABand);
  TRect GripRect(const TCoolBand* ABand);
  // The band whose grip holds the point (nullptr: none).
  TCoolBand* BandAtGrip(const TPoint& P);
  // The band being dragged (nullptr: none).
  TCoolBand* DraggedBand() const { return FDragged; }

  bool FixedOrder() const { return FFixedOrder; }
  void SetFixedOrder(bool Value) { FFixedOrder = Value; }
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);

  void AlignControls(TControl* AControl, TRect& Rect) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TNotifyEvent OnChange;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void WndProc(TMessage& Message) override;

private:
  friend class TCoolBand;
  struct TBandPlace {
    TCoolBand* Band;
    TRect Bounds;
  };
  using TRows = std::vector<std::vector<TCoolBand*>>;
  TRows Rows() const;
  void SetRows(const TRows& ARows);
  // Band rectangles, row by row, with each row's top and bottom.
  std::vector<TBandPlace> Layout();
  std::vector<std::pair<Integer, Integer>> RowSpans();
  Integer RowHeight(const std::vector<TCoolBand*>& ARow) const;
  Integer BandNeed(const TCoolBand* ABand) const;
  void BandsChanged();
  void DragTo(const TPoint& P);
  void EndDrag();

  std::vector<std::unique_ptr<TCoolBand>> FBands;  // in row order
  TCoolBand* FDragged = nullptr;
  bool FDragMoved = false;
  bool FFixedOrder = false;
  bool FAutoSize = false;
  bool FLayingOut = false;
};
