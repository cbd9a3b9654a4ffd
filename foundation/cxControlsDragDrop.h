#pragma once
// Drag and drop inside the library's controls, drag detection, middle-button
// panning and drag images.
//
// A control moves things inside itself (columns, bands, sizing) through a
// TcxDragAndDropObject of the class its DragAndDropObjectClass names: the
// object is told when the operation begins, at every mouse move (it answers
// whether the position accepts a drop and sets the screen cursor), and when
// it ends, accepted or not. Its Dirty flag tells that its drag image must be
// redrawn or hidden.
//
// For the class library's drag and drop between controls the library
// supplies TcxDragControlObject (it frees itself when the drag is over and
// shows the copy cursor for an accepted drop with Ctrl held) and
// TcxDragImageList, whose image follows the mouse in an overlay window.
//
// DragDetectLoop and cxPanContent are modal: they pump the thread's
// messages themselves until the user released, moved, cancelled or
// clicked.
//
// This header needs nothing of the base control's header, so that one may
// include it.
#include <functional>
#include <memory>

#include "foundation/cxGraphics.h"
#include "platform/gui/controls.h"
#include "platform/gui/imagelist.h"
#include "platform/gui/overlay.h"

class TcxControl;
class TcxDragImageList;

// ---------------------------------------------------------------------------
// The control's internal drag and drop

class TcxDragAndDropObject : public TObject {
public:
  using MetaClass = TConstructorMetaClass<TcxDragAndDropObject, TcxControl*>;
  KORVANE_CLASS(TcxDragAndDropObject, TObject)
  // Both mouse positions start at (-1, -1).
  explicit TcxDragAndDropObject(TcxControl* AControl);

  TcxControl* Control() const { return FControl; }
  // The control's canvas.
  TcxCanvas* Canvas() const;
  // Mouse positions of the last two moves (control coordinates).
  TPoint CurMousePos() const { return FCurMousePos; }
  TPoint PrevMousePos() const { return FPrevMousePos; }
  bool Dirty() const { return FDirty; }
  // DirtyChanged on a change.
  void SetDirty(bool Value);

  // ---- What the control calls ----
  // Both positions := the cursor in control coordinates, then BeginDragAndDrop.
  void DoBeginDragAndDrop();
  // Previous := current, current := P, then DragAndDrop.
  void DoDragAndDrop(const TPoint& P, bool& Accepted);
  // BeforeEndDragAndDrop, then EndDragAndDrop.
  void DoEndDragAndDrop(bool Accepted);
  // False while an operation that was cancelled ends (true otherwise).
  bool EndAccepted() const { return FEndAccepted; }

  // ---- Virtual operations ----
  // The drag image must be redrawn or hidden (nothing in the base).
  virtual void DirtyChanged() {}
  // crDrag for an accepted position, else crNoDrop.
  virtual TCursor GetCursor(bool Accepted);
  // False: the operation begins once the mouse left the drag threshold.
  virtual bool StartsImmediately() { return false; }
  virtual void EndDragAndDrop(bool /*Accepted*/) {}
  // DirtyChanged.
  virtual void BeginDragAndDrop();
  // Clears Dirty; Screen->Cursor := GetCursor(Accepted).
  virtual void DragAndDrop(const TPoint& P, bool& Accepted);
  // Sets Dirty.
  virtual void BeforeEndDragAndDrop();

private:
  TcxControl* FControl;
  TPoint FCurMousePos{-1, -1};
  TPoint FPrevMousePos{-1, -1};
  bool FDirty = false;
  bool FEndAccepted = true;
};
using TcxDragAndDropObjectClass = const TcxDragAndDropObject::MetaClass*;

// ---------------------------------------------------------------------------
// Drag detection

// What DragDetectLoop saw.
enum TcxDragDetect : Integer { cxddReleased = 0, cxddDrag = 1, cxddCancelled = 2 };

// Runs a modal loop after a press: the window captures the mouse, and every
// message is translated and dispatched until the mouse leaves the square of
// side 2 x Mouse->DragThreshold around the cursor position at the start
// (cxddDrag), a mouse button is released (cxddReleased), Esc is pressed or
// released, the capture is lost or a quit message arrives (cxddCancelled; the
// quit is posted again). The capture is released at the end when the window
// still has it.
TcxDragDetect DragDetectLoop(HWND AWindow);

// ---------------------------------------------------------------------------
// Middle-button panning

// The pan mark shown at the start point, by the bars that show.
enum TcxPanMarkKind : Integer { cxpmVertical, cxpmHorizontal, cxpmFull };

// Side of the pan mark's square; the neutral zone is as large.
inline constexpr Integer cxPanMarkSize = 28;
// Milliseconds between two checks of the panning timer.
inline constexpr UINT cxPanTimerInterval = 20;

// The pan mark picture (cxPanMarkSize square): arrows for the directions
// that can scroll, around a dot, in an outlined circle; the corners outside
// the circle are in AKeyColor.
std::unique_ptr<TBitmap> cxCreatePanMark(TcxPanMarkKind AKind, TColor AKeyColor);

// Direction and speed of panning for a mouse offset from the start point.
struct TcxPanMotion {
  Integer Direction = 0;  // as the base control's TcxDirection: none, left, right, up, down
  Integer Speed = 0;      // 0 inside the neutral zone, else 1..12
  bool OutsideNeutralZone = false;
};
// Inside the neutral zone (a square of cxPanMarkSize centred on the start;
// without a horizontal bar it spans every X, without a vertical bar every Y)
// nothing moves. Outside, the move is vertical when there is no horizontal
// bar, or when there is a vertical bar and |DY| >= |DX|; the speed is
// (distance along that axis - cxPanMarkSize div 2) div 5 + 1, at most 12.
TcxPanMotion cxPanMotionAt(Integer ADX, Integer ADY, bool AHasHorzBar, bool AHasVertBar);
// The cursor for a motion: one per direction, or one by the bars that show.
TCursor cxPanCursor(Integer ADirection, bool AHasHorzBar, bool AHasVertBar);
// Whether the tick-th timer tick (counting from 1) scrolls at this speed:
// a speed of 12 scrolls on every tick, a speed of 1 on every 12th.
bool cxPanTickScrolls(Integer ATick, Integer ASpeed);

// Pans the control's content with the mouse, started by a middle-button
// press: does nothing unless a scroll bar shows. Shows the pan mark at the
// cursor, captures the mouse on the control and, every 20 ms, scrolls one
// step (ScrollOneStep) in the direction of the mouse at its speed, until a
// button is pressed, the wheel turns, Esc is pressed, the capture is lost, a
// quit arrives (posted again), or the middle button is released after the
// mouse left the neutral zone. Answers whether panning ran. The caller marks
// the control as scrolling its content around the call.
bool cxPanContent(TcxControl* AControl);

// ---------------------------------------------------------------------------
// Class-library drag and drop

// The drag object a TcxControl supplies: frees itself when the drag is over,
// answers the copy cursor for an accepted drop while Ctrl is held, and moves
// its drag images (when given) with the mouse.
class TcxDragControlObject : public TDragControlObject {
public:
  // Its class reference builds it for a control (DragControlObjectClass).
  using MetaClass = TConstructorMetaClass<TcxDragControlObject, TControl*>;
  KORVANE_CLASS(TcxDragControlObject, TDragControlObject)
  explicit TcxDragControlObject(TControl* AControl) : TDragControlObject(AControl) {}
  bool FreesItself() const override { return true; }
  TCursor GetDragCursor(bool Accepted, Integer X, Integer Y) override;
  void Finished(TObject* Target, Integer X, Integer Y, bool Accepted) override;
  void HideDragImage() override;
  void ShowDragImage() override;
  // The images shown while dragging (not owned; nullptr: none).
  TcxDragImageList* DragImages() const { return FDragImages; }
  void SetDragImages(TcxDragImageList* Value) { FDragImages = Value; }

private:
  TcxDragImageList* FDragImages = nullptr;
};

using TcxDragControlObjectClass = const TcxDragControlObject::MetaClass*;

// An image list whose chosen image follows the mouse during a drag, shown in
// an overlay window with its hot spot under the cursor.
class TcxDragImageList : public TImageList {
  KORVANE_CLASS(TcxDragImageList, TImageList)
  explicit TcxDragImageList(TComponent* AOwner);
  ~TcxDragImageList() override;

  // The image dragged and the point in it that stays under the cursor;
  // false for a bad index.
  bool SetDragImage(Integer Index, Integer HotSpotX, Integer HotSpotY);
  TPoint DragHotspot() const { return FHotSpot; }
  Integer DragIndex() const { return FDragIndex; }
  // Shows the image with its hot spot at the screen point; false when there
  // is no image to drag.
  bool BeginDrag(const TPoint& ScreenPos);
  bool DragMove(const TPoint& ScreenPos);
  void HideDragImage();
  void ShowDragImage();
  bool EndDrag();
  bool Dragging() const { return FDragging; }
  // The window that shows the image (tests).
  const TOverlayWindow* DragWindow() const { return FWindow.get(); }

private:
  void PlaceWindow(const TPoint& ScreenPos);

  std::unique_ptr<TOverlayWindow> FWindow;
  Integer FDragIndex = 0;
  TPoint FHotSpot{0, 0};
  bool FDragging = false;
  bool FHidden = false;
};

// Fills a drag-image list with one image of ASize drawn by ADraw (through a
// TcxCanvas over a bitmap of that size), its transparent colour left out:
// the image size becomes ASize, the list is cleared first. Nothing is added
// for an empty size; answers whether an image was added.
bool cxBuildDragImages(TcxDragImageList* AList, const TSize& ASize,
                       const std::function<void(TcxCanvas*, const TRect&)>& ADraw);
