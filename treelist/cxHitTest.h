#pragma once
// Finding the element under the mouse, sizing parts of an editing control
// by dragging, and the picture shown while text is dragged out of it.
//
// Sizing moves in whole steps of an increment: the line (or, with dynamic
// update, the element itself) follows the snapped position, never the raw
// mouse, so slow drags keep stepping and a step never overshoots. The
// sizing line and the drag picture are overlay windows; nothing is drawn on
// the screen itself.
#include <memory>
#include <vector>

#include "foundation/cxControls.h"
#include "foundation/cxControlsDragDrop.h"
#include "foundation/cxScrollBar.h"
#include "platform/gui/overlay.h"
#include "platform/gui/timers.h"
#include "platform/rtl/geometry.h"
#include "platform/rtl/types.h"

class TcxEditingControl;
class TcxCustomControlController;
class TcxCustomViewInfoItem;
class TcxEditCellViewInfo;

// ---- Hit test -----------------------------------------------------------------------------

class TcxCustomHitTestController : public TObject {
  KORVANE_CLASS(TcxCustomHitTestController, TObject)
  explicit TcxCustomHitTestController(TcxCustomControlController* AController);

  // Bit 0 of the state: the hit test comes from a mouse event.
  enum : Cardinal { htsMouseEvent = 0x1 };

  TcxCustomControlController* Controller() const { return FController; }
  TPoint HitPoint() const { return FHitPoint; }
  TShiftState ShiftState() const { return FShiftState; }
  TcxCustomViewInfoItem* HitItem() const { return FHitItem; }
  // The hit item when it is an edit cell.
  TcxEditCellViewInfo* HitEditCell() const;

  // Nothing while the control is update-locked; the view info is brought up
  // to date first.
  void HitTest(const TPoint& P);
  // A mouse event's hit test.
  void HitTestAtPoint(Integer X, Integer Y, TShiftState AShift);
  void RecalcHitTest() { HitTest(FHitPoint); }
  // The hit item is forgotten when it is ACell.
  void CellRemoved(TcxCustomViewInfoItem* ACell);
  void Reset();
  static bool IsPointInItem(TcxCustomViewInfoItem* AItem, const TPoint& P);

  // Runs a mouse hit test there; answers false.
  virtual bool DesignHitTest(Integer X, Integer Y, TShiftState AShift);
  virtual TCursor GetHitCursor() { return crDefault; }

protected:
  // Base: the first visible edit cell whose clip rectangle holds the point.
  virtual void DoHitTest();
  virtual void HitItemChanged(TcxCustomViewInfoItem*) {}
  void SetHitItem(TcxCustomViewInfoItem* AItem);

private:
  TcxCustomControlController* FController;
  TPoint FHitPoint{-1, -1};
  TShiftState FShiftState = 0;
  Cardinal FState = 0;
  TcxCustomViewInfoItem* FHitItem = nullptr;
};

// ---- Sizing -------------------------------------------------------------------------------

enum TcxSizingDirection : Integer { cxsdHorizontal = 0, cxsdVertical = 1 };

// What a sizable element answers while it is sized by dragging.
class IcxDragSizing {
public:
  virtual ~IcxDragSizing() = default;
  // Minimum (Left, Top) and maximum (Right, Bottom) of the sizing line, in
  // control coordinates.
  virtual TRect GetSizingBoundsRect(TcxSizingDirection ADirection) = 0;
  // Pixels of one step, at least 1.
  virtual Integer GetSizingIncrement(TcxSizingDirection ADirection) = 0;
  // True: every step applies at once; false: a line shows and the whole
  // delta applies at the end.
  virtual bool IsDynamicUpdate() = 0;
  // ADelta steps (negative: smaller).
  virtual void SetSizeDelta(TcxSizingDirection ADirection, Integer ADelta) = 0;
};

// Steps of AIncrement in a distance, the nearest whole number with ties to
// even (14, 15, 25 pixels of 10 give 1, 2, 2).
Integer cxSizingSteps(Integer ADistance, Integer AIncrement);

class TcxSizingDragAndDropObject : public TcxDragAndDropObject {
  KORVANE_CLASS(TcxSizingDragAndDropObject, TcxDragAndDropObject)
  explicit TcxSizingDragAndDropObject(TcxControl* AControl);
  ~TcxSizingDragAndDropObject() override;

  TcxSizingDirection Direction() const { return FDirection; }
  Integer Increment() const { return FIncrement; }
  // The snapped position the line (or the element) is at.
  TPoint DragPos() const { return FDragPos; }
  // Steps not yet applied (without dynamic update: the whole drag).
  Integer SizeDelta() const { return FSizeDelta; }
  bool DynamicUpdate() const { return FDynamicUpdate; }
  // The sizing line while it shows (tests).
  const TOverlayWindow* SizingLine() const { return FLine.get(); }

  // Starts sizing AElement from AStart (control coordinates).
  void BeginSizing(IcxDragSizing* AElement, TcxSizingDirection ADirection, const TPoint& AStart);
  // A drag that Esc or a cancel-mode message cut short applies nothing.
  void SetCancelled(bool AValue) { FCancelled = AValue; }

  TCursor GetCursor(bool Accepted) override;
  bool StartsImmediately() override { return true; }
  // The controller's sizing element must take part, else a silent abort.
  void BeginDragAndDrop() override;
  void DragAndDrop(const TPoint& P, bool& Accepted) override;
  void BeforeEndDragAndDrop() override;
  void DirtyChanged() override;

  // The start moved along the direction by whole increments towards P,
  // kept within the bounds.
  virtual TPoint SnapToIncrement(const TPoint& P) const;
  // The one-pixel line at the drag position across the bounds.
  virtual TRect GetSizingLineRect() const;

private:
  Integer Along(const TPoint& P) const { return FDirection == cxsdHorizontal ? P.X : P.Y; }
  void ShowLine();

  IcxDragSizing* FElement = nullptr;
  TcxSizingDirection FDirection = cxsdHorizontal;
  TRect FBounds{};
  Integer FIncrement = 1;
  TPoint FStartPos{};
  TPoint FDragPos{};
  Integer FSizeDelta = 0;
  bool FDynamicUpdate = false;
  bool FCancelled = false;
  std::unique_ptr<TOverlayWindow> FLine;
};

// ---- Auto-scrolling -----------------------------------------------------------------------

// Milliseconds between two scroll steps while the mouse rests in an area.
inline constexpr Cardinal cxAutoScrollInterval = 50;

// Scrolls a control step by step while the mouse (during a drag) lies in a
// sensitive area near its edge.
class TcxAutoScrollingObject : public TObject {
  KORVANE_CLASS(TcxAutoScrollingObject, TObject)
  explicit TcxAutoScrollingObject(TObject* AOwner);
  ~TcxAutoScrollingObject() override;

  TObject* Owner() const { return FOwner; }
  // AToEnd: towards the bar's maximum; the increment is taken as its size.
  void SetParams(const TRect& AArea, TScrollBarKind AKind, Integer AIncrement, bool AToEnd);
  // The timer runs exactly while P lies in the area; answers whether it does.
  bool CheckPoint(const TPoint& P);
  void Stop();
  bool Active() const;

  // One step: the bar's position moved by the increment, kept in its range;
  // a visible bar whose position changes scrolls the content.
  virtual void Scroll();
  virtual TcxEditingControl* GetControl() const { return nullptr; }
  virtual TcxControlScrollBar* GetScrollBar(TScrollBarKind AKind) const;

protected:
  // The amount of one step (positive) and the area.
  Integer Amount() const { return FIncrement < 0 ? -FIncrement : FIncrement; }
  const TRect& Area() const { return FArea; }
  // Moves the bar of AKind by ADelta, kept in its range; a visible bar
  // whose position changes scrolls the content.
  void ScrollBar(TScrollBarKind AKind, Integer ADelta);

private:
  TObject* FOwner;
  std::unique_ptr<TTimer> FTimer;
  TRect FArea{};
  TScrollBarKind FKind = sbVertical;
  Integer FIncrement = 1;
  bool FToEnd = true;
};

// Scrolls the control of a drag-and-drop object.
class TcxDragDropObjectAutoScrollingObject : public TcxAutoScrollingObject {
  KORVANE_CLASS(TcxDragDropObjectAutoScrollingObject, TcxAutoScrollingObject)
  explicit TcxDragDropObjectAutoScrollingObject(TcxDragAndDropObject* AOwner) : TcxAutoScrollingObject(AOwner) {}
  TcxEditingControl* GetControl() const override;
};

// Directions a bounds-mode scroller scrolls in, as bits of a set.
enum TcxAutoScrollDirection : Integer { asdLeft = 0, asdUp = 1, asdRight = 2, asdDown = 3 };
using TcxAutoScrollDirections = Cardinal;
inline constexpr TcxAutoScrollDirections cxAutoScrollDirection(TcxAutoScrollDirection ADirection) {
  return TcxAutoScrollDirections(1) << ADirection;
}

// Scrolls the control of a controller. In bounds mode one step scrolls in
// every direction of its set (left and right on the horizontal bar, up and
// down on the vertical one), each kept in its bar's range.
class TcxControllerAutoScrollingObject : public TcxAutoScrollingObject {
  KORVANE_CLASS(TcxControllerAutoScrollingObject, TcxAutoScrollingObject)
  explicit TcxControllerAutoScrollingObject(TcxCustomControlController* AOwner);
  TcxEditingControl* GetControl() const override;
  bool BoundsMode() const { return FBoundsMode; }
  void SetBoundsMode(bool AValue) { FBoundsMode = AValue; }
  TcxAutoScrollDirections Directions() const { return FDirections; }
  void SetDirections(TcxAutoScrollDirections AValue) { FDirections = AValue; }
  void Scroll() override;

private:
  bool FBoundsMode = false;
  TcxAutoScrollDirections FDirections = 0;
};

// ---- Drag-and-drop objects of a control ---------------------------------------------------

// Shows the control's DragCursor where a drop is taken, the no-drop cursor elsewhere.
class TcxBaseDragAndDropObject : public TcxDragAndDropObject {
  KORVANE_CLASS(TcxBaseDragAndDropObject, TcxDragAndDropObject)
  using TcxDragAndDropObject::TcxDragAndDropObject;
  TCursor GetCursor(bool Accepted) override;
};

// Moves something of the control with the mouse: a semi-transparent picture
// of the dragged element (PaintDragImage) follows the mouse with the grab
// point kept under it, and auto-scrolling areas scroll the control while the
// mouse rests in them. A descendant names the element's bounds and draws it.
class TcxCustomControlDragAndDropObject : public TcxBaseDragAndDropObject {
  KORVANE_CLASS(TcxCustomControlDragAndDropObject, TcxBaseDragAndDropObject)
  explicit TcxCustomControlDragAndDropObject(TcxControl* AControl);
  ~TcxCustomControlDragAndDropObject() override;

  // Accepted: the default cursor; else the library's no-drop cursor.
  TCursor GetCursor(bool Accepted) override;
  // Then BuildDragImage.
  void BeginDragAndDrop() override;
  // The picture follows P, every area checks P, the answer is kept.
  void DragAndDrop(const TPoint& P, bool& Accepted) override;
  // Every area stops and the picture goes.
  void BeforeEndDragAndDrop() override;

  // An area that scrolls the bar of AKind towards its end (AToEnd) or start.
  TcxAutoScrollingObject* AddAutoScrollingObject(const TRect& AArea, TScrollBarKind AKind, bool AToEnd);
  Integer AutoScrollingObjectCount() const { return Integer(FAutoScrollObjects.size()); }
  TcxAutoScrollingObject* AutoScrollingObjects(Integer AIndex) const { return FAutoScrollObjects[size_t(AIndex)].get(); }
  // The picture's window (tests) and the last answer.
  const TOverlayWindow* DragImage() const { return FDragImage.get(); }
  bool LastAccepted() const { return FAccepted; }
  // From the mouse at the start to the picture's top-left.
  TPoint HotSpot() const { return FHotSpot; }

  // Draws the picture of the element from the control's painter.
  virtual void BuildDragImage();
  // Where the operation applies at once (empty here).
  virtual TRect GetImmediateArea() { return TRect{}; }
  // The area objects AddAutoScrollingObject makes.
  virtual std::unique_ptr<TcxAutoScrollingObject> CreateAutoScrollingObject();
  // The dragged element's rectangle in control coordinates.
  virtual TRect GetDragItemBounds() = 0;
  virtual Integer GetHorzScrollIncrement() { return 1; }
  virtual Integer GetVertScrollIncrement() { return 1; }
  virtual void ShowDragImage();
  virtual void HideDragImage();
  // Draws the dragged element onto ACanvas at its place in the control.
  virtual void PaintDragImage(TcxCanvas* ACanvas) = 0;

private:
  void MoveDragImage(const TPoint& P);
  std::vector<std::unique_ptr<TcxAutoScrollingObject>> FAutoScrollObjects;
  std::unique_ptr<TOverlayWindow> FDragImage;
  TRect FPictureRect{};
  TPoint FHotSpot{};
  bool FAccepted = false;
};

// ---- Drag picture -------------------------------------------------------------------------

// Opacity of a drag picture over what lies below it.
inline constexpr Byte cxDragImageAlpha = 200;

// The picture of dragged text that follows the mouse during a drag out of
// an editing control: drawn once by the control, shown semi-transparent in
// an overlay window with its hot spot under the cursor.
class TcxDragImageHelper : public TObject {
  KORVANE_CLASS(TcxDragImageHelper, TObject)
  // ADragStart: the press point in control coordinates.
  TcxDragImageHelper(TcxEditingControl* AControl, const TPoint& ADragStart);
  ~TcxDragImageHelper() override;

  // Shows the picture at a screen point (the first move shows it).
  virtual void MoveTo(const TPoint& AScreenPoint);
  void Hide();
  void Show();
  bool Visible() const;
  // The overlay window showing the picture (tests).
  const TOverlayWindow* Window() const { return FWindow.get(); }
  TRect PictureBounds() const { return FBounds; }

protected:
  virtual void InitImage();

private:
  TcxEditingControl* FControl;
  TPoint FDragStart;
  TPoint FHotSpot{};
  TRect FBounds{};
  std::unique_ptr<TOverlayWindow> FWindow;
};

// The drag mouse hook (one for the program): while installed, mouse moves
// move the drag picture of the remembered control and a left or right
// button release ends it (the hook removes itself). A second install
// replaces the remembered control.
void InstallDragMouseHook(TcxEditingControl* AControl);
void RemoveDragMouseHook();
TcxEditingControl* DragMouseHookControl();
