#pragma once
// Moving band and column headers with the mouse: to another place among the
// headers, into another band or a new line of a band, or (while the
// customization form is open) out of the view, which hides the header.
//
// The control picks this object when a left press lands on a movable header
// and the mouse then leaves the drag threshold; the customization form
// starts it for a hidden band or column it lists. Every move works out the
// drop target; the release applies it.
//
// The drop marker is a line along one edge of the target with an arrow at
// each end; the arrows are overlay windows, so nothing is drawn on the
// screen and nothing is left behind when the marker moves or hides.
//
// A semi-transparent picture of the dragged header follows the mouse; near
// the left and right edges of the scrolling area the view scrolls on its
// own, and the target is worked out again after every step.
#include <memory>

#include "foundation/cxControlsDragDrop.h"
#include "platform/gui/overlay.h"
#include "platform/rtl/geometry.h"
#include "treelist/cxHitTest.h"

class TcxCustomTreeListControl;
class TcxTreeListBand;
class TcxTreeListColumn;
class TcxTreeListHeaderViewInfo;
class TcxTreeListHitTest;

// Where a dragged header would land; worked out anew at every move.
struct TcxTreeListHeaderDragDropInfo {
  TPoint DropPoint{-1, -1};
  bool DropAllowed = false;
  TcxTreeListBand* TargetBand = nullptr;
  // A column's place in the target line; a band's new visible index.
  Integer TargetColIndex = -1;
  // The band line that receives a column.
  Integer TargetRowIndex = 0;
  // A new band line is inserted at TargetRowIndex for the column.
  bool NewRow = false;
  TcxTreeListHeaderViewInfo* TargetHeader = nullptr;
};

// Edges of the target rectangle the marker line lies on.
enum TcxTreeListDropEdge : Integer { tldeLeft = 0, tldeTop = 1, tldeRight = 2, tldeBottom = 3 };

class TcxTreeListDragAndDropObject : public TcxDragAndDropObject {
  KORVANE_CLASS(TcxTreeListDragAndDropObject, TcxDragAndDropObject)

  // Width of each auto-scroll area at the scrolling area's left and right edges.
  static constexpr Integer AutoScrollAreaWidth = 10;

  // Each marker arrow: its length along the marker line and its width across it.
  static constexpr Integer ArrowLength = 10;
  static constexpr Integer ArrowWidth = 20;

  explicit TcxTreeListDragAndDropObject(TcxControl* AControl);
  ~TcxTreeListDragAndDropObject() override;

  TcxCustomTreeListControl* TreeList() const;
  // The header to move: a column (ABand none) or a band. Without a call the
  // header pressed at the mouse-down point is taken when the drag begins.
  void SetDragged(TcxTreeListColumn* AColumn, TcxTreeListBand* ABand);
  TcxTreeListColumn* DraggedColumn() const { return FColumn; }
  TcxTreeListBand* DraggedBand() const { return FBand; }
  const TcxTreeListHeaderDragDropInfo& DragDropInfo() const { return FInfo; }

  // The marker line in screen coordinates (zero width or height) and its arrows (tests).
  bool MarkerVisible() const { return FMarkerVisible; }
  TRect MarkerLine() const { return FMarkerLine; }
  const TOverlayWindow* Arrow(Integer AIndex) const { return FArrows[AIndex].get(); }
  // The picture of the dragged header (tests).
  const TOverlayWindow* DragImage() const { return FDragImage.get(); }
  // The auto-scroll areas, 0 left and 1 right; none when the view does not scroll horizontally (tests).
  const TcxAutoScrollingObject* AutoScroller(Integer AIndex) const { return FScrollers[AIndex].get(); }

  // Whether a press at P (control coordinates) lands on a header that may move.
  static bool CanStartAt(TcxCustomTreeListControl* ATreeList, const TPoint& P);

  TCursor GetCursor(bool Accepted) override;
  void BeginDragAndDrop() override;
  void DragAndDrop(const TPoint& P, bool& Accepted) override;
  void EndDragAndDrop(bool Accepted) override;

private:
  class TAutoScroller;
  // The drop target at FInfo.DropPoint.
  void CalculateTarget();
  void CalculateBandTarget(TcxTreeListHitTest* AHit);
  void CalculateColumnTarget(TcxTreeListHitTest* AHit);
  // No column shows: a point in the client area takes the first place of the first visible band.
  void CalculateFirstColumnTarget();
  // The column may go to ABand by the bands' own-columns rule.
  bool CanMoveColumnTo(TcxTreeListBand* ABand) const;
  bool CustomizationFormOpen() const;
  bool OverCustomizationForm() const;
  // Hides the header when the drop lands on the form or nowhere while the form is open.
  void HideDragged();
  void ApplyMove();
  // AEdge of ATarget (control coordinates).
  void ShowMarker(const TRect& ATarget, TcxTreeListDropEdge AEdge);
  void HideMarker();
  void CreateAutoScrollers();
  void CreateDragImage();
  void MoveDragImage(const TPoint& P);

  TcxTreeListColumn* FColumn = nullptr;
  TcxTreeListBand* FBand = nullptr;
  TcxTreeListHeaderDragDropInfo FInfo;
  // The drop would leave the header where it is.
  bool FNoChange = false;
  bool FMoved = false;
  bool FMarkerVisible = false;
  TRect FMarkerLine{};
  std::unique_ptr<TOverlayWindow> FArrows[2];
  // From the top-left of the drag picture to the mouse.
  TPoint FImageHotSpot{};
  std::unique_ptr<TOverlayWindow> FDragImage;
  std::unique_ptr<TcxAutoScrollingObject> FScrollers[2];
};
