#include "treelist/cxTLDragDrop.h"

#include <vector>

#include "foundation/cxControls.h"
#include "platform/gui/forms.h"
#include "treelist/cxTLBands.h"
#include "treelist/cxTLControl.h"
#include "treelist/cxTLCustomizationForm.h"
#include "treelist/cxTLOptions.h"
#include "treelist/cxTLViewInfo.h"

namespace {

// Colour keyed out of the arrow pictures.
constexpr TColor ArrowKeyColor = clFuchsia;

enum class TArrowDirection { Down, Up, Right, Left };

std::unique_ptr<TBitmap> MakeArrow(TArrowDirection ADirection, Integer AWidth, Integer AHeight, TColor AFill) {
  auto Picture = std::make_unique<TBitmap>(AWidth, AHeight, pf32bit);
  TCanvas* C = Picture->Canvas();
  C->Brush()->SetColor(ArrowKeyColor);
  C->FillRect(TRect{0, 0, AWidth, AHeight});
  const Integer R = AWidth - 1, B = AHeight - 1, MX = R / 2, MY = B / 2;
  std::vector<TPoint> Points;
  switch (ADirection) {
    case TArrowDirection::Down: Points = {{0, 0}, {R, 0}, {MX, B}}; break;
    case TArrowDirection::Up: Points = {{0, B}, {R, B}, {MX, 0}}; break;
    case TArrowDirection::Right: Points = {{0, 0}, {0, B}, {R, MY}}; break;
    case TArrowDirection::Left: Points = {{R, 0}, {R, B}, {0, MY}}; break;
  }
  C->Pen()->SetColor(clBtnText);
  C->Brush()->SetColor(AFill);
  C->Polygon(Points);
  return Picture;
}

TcxTreeListHeaderViewInfo* BandHeaderOf(TcxTreeListViewInfo* AViewInfo, TcxTreeListBand* ABand) {
  for (const auto& H : AViewInfo->BandHeaders())
    if (H->Band == ABand) return H.get();
  return nullptr;
}

TRect BandRectOf(TcxTreeListViewInfo* AViewInfo, TcxTreeListBand* ABand) {
  for (const auto& [Band, R] : AViewInfo->BandRects())
    if (Band == ABand) return R;
  return TRect{};
}

Integer VisibleColumnCount(TcxCustomTreeListControl* ATreeList) { return Integer(ATreeList->VisibleColumns().size()); }

}  // namespace

TcxTreeListDragAndDropObject::TcxTreeListDragAndDropObject(TcxControl* AControl) : TcxDragAndDropObject(AControl) {}

TcxTreeListDragAndDropObject::~TcxTreeListDragAndDropObject() = default;

TcxCustomTreeListControl* TcxTreeListDragAndDropObject::TreeList() const {
  return static_cast<TcxCustomTreeListControl*>(Control());
}

void TcxTreeListDragAndDropObject::SetDragged(TcxTreeListColumn* AColumn, TcxTreeListBand* ABand) {
  FColumn = AColumn;
  FBand = AColumn ? nullptr : ABand;
}

bool TcxTreeListDragAndDropObject::CanStartAt(TcxCustomTreeListControl* ATreeList, const TPoint& P) {
  TcxTreeListHitTest* Hit = ATreeList->HitTest();
  Hit->HitTestAtPoint(P.X, P.Y, 0);
  if (Hit->HitAtCode(tlhcHorzSizingEdge) || Hit->HitAtCode(tlhcVertSizingEdge)) return false;
  TcxTreeListHeaderViewInfo* Header = Hit->HeaderAtPoint();
  if (!Header) return false;
  if (Header->Column)
    return Hit->HitAtCode(tlhcColumnHeader) && ATreeList->OptionsCustomizing()->ColumnMoving() &&
           Header->Column->Options()->Moving;
  return Hit->HitAtCode(tlhcBandHeader) && Header->Band && Header->Band->CanMove();
}

bool TcxTreeListDragAndDropObject::CustomizationFormOpen() const { return TreeList()->Customizing()->Visible(); }

bool TcxTreeListDragAndDropObject::OverCustomizationForm() const {
  return TreeList()->Customizing()->PointInForm(Control()->ClientToScreen(FInfo.DropPoint));
}

void TcxTreeListDragAndDropObject::BeginDragAndDrop() {
  TcxDragAndDropObject::BeginDragAndDrop();
  TcxCustomTreeListControl* C = TreeList();
  if (!FColumn && !FBand) {
    TcxTreeListHitTest* Hit = C->HitTest();
    Hit->HitTestAtPoint(C->MouseDownPos().X, C->MouseDownPos().Y, 0);
    if (TcxTreeListHeaderViewInfo* Header = Hit->HeaderAtPoint()) SetDragged(Header->Column, Header->Band);
  }
  // The press no longer counts as a header click.
  for (const auto& H : C->TreeListViewInfo()->ColumnHeaders()) H->Pressed = false;
  FInfo.TargetBand = FColumn ? FColumn->Band() : FBand;
  FInfo.TargetColIndex = FColumn ? FColumn->Position().ColIndex : (FBand ? FBand->VisibleIndex() : -1);
  FInfo.TargetRowIndex = FColumn ? FColumn->Position().RowIndex : 0;
  if (CustomizationFormOpen()) {
    if (FColumn) C->Customizing()->ShowColumnsPage();
    else C->Customizing()->ShowBandsPage();
  }
}

void TcxTreeListDragAndDropObject::DragAndDrop(const TPoint& P, bool& Accepted) {
  FMoved = true;
  FInfo.DropPoint = P;
  FInfo.DropAllowed = false;
  FInfo.NewRow = false;
  FNoChange = false;
  TcxTreeListHitTest* Hit = TreeList()->HitTest();
  Hit->HitTestAtPoint(P.X, P.Y, 0);
  FInfo.TargetHeader = Hit->HeaderAtPoint();
  if (FColumn) CalculateColumnTarget(Hit);
  else if (FBand) CalculateBandTarget(Hit);
  if (!FInfo.DropAllowed || FNoChange) HideMarker();
  Accepted = FInfo.DropAllowed;
  TcxDragAndDropObject::DragAndDrop(P, Accepted);
}

void TcxTreeListDragAndDropObject::CalculateBandTarget(TcxTreeListHitTest* AHit) {
  TcxTreeListViewInfo* VI = TreeList()->TreeListViewInfo();
  TcxTreeListBand* Target = AHit->BandAtPoint();
  FInfo.DropAllowed = Target && (AHit->HitAtCode(tlhcBandHeader) || AHit->HitAtCode(tlhcBandHeaderArea) ||
                                 AHit->HitAtCode(tlhcColumnHeader));
  FInfo.TargetBand = FInfo.DropAllowed ? Target : nullptr;
  if (!FInfo.DropAllowed) {
    FInfo.TargetColIndex = FBand->VisibleIndex();
    return;
  }
  TcxTreeListHeaderViewInfo* Header = BandHeaderOf(VI, Target);
  const TRect R = Header ? Header->DisplayRect() : BandRectOf(VI, Target);
  const bool After = FInfo.DropPoint.X > (R.Left + R.Right) / 2;
  FInfo.TargetColIndex = Target->VisibleIndex() + (After ? 1 : 0);
  const Integer Own = FBand->VisibleIndex();
  FNoChange = Target == FBand || (Own >= 0 && (FInfo.TargetColIndex == Own || FInfo.TargetColIndex == Own + 1));
  if (!FNoChange) ShowMarker(R, After ? tldeRight : tldeLeft);
}

bool TcxTreeListDragAndDropObject::CanMoveColumnTo(TcxTreeListBand* ABand) const {
  TcxTreeListBand* Own = FColumn->Band();
  return ABand == Own || (!ABand->Options()->OnlyOwnColumns() && !(Own && Own->Options()->OnlyOwnColumns()));
}

void TcxTreeListDragAndDropObject::CalculateColumnTarget(TcxTreeListHitTest* AHit) {
  TcxCustomTreeListControl* C = TreeList();
  TcxTreeListViewInfo* VI = C->TreeListViewInfo();
  TcxTreeListBand* Target = AHit->BandAtPoint();
  FInfo.TargetBand = Target;
  FInfo.TargetRowIndex = FColumn->Position().RowIndex;
  FInfo.TargetColIndex = FColumn->Position().ColIndex;
  if (!Target || !CanMoveColumnTo(Target)) return;
  const bool OwnPlace = Target == FColumn->Band() && FColumn->Visible();
  TcxTreeListHeaderViewInfo* Header = AHit->HeaderAtPoint();
  if (AHit->HitAtCode(tlhcColumnHeader) && Header && Header->Column) {
    const TcxTreeListColumnPosition& Pos = Header->Column->Position();
    const TRect R = Header->DisplayRect();
    const bool After = FInfo.DropPoint.X > (R.Left + R.Right) / 2;
    FInfo.DropAllowed = true;
    FInfo.TargetRowIndex = Pos.RowIndex;
    FInfo.TargetColIndex = Pos.ColIndex + (After ? 1 : 0);
    const Integer OwnCol = FColumn->Position().ColIndex;
    FNoChange = OwnPlace && Pos.RowIndex == FColumn->Position().RowIndex &&
                (FInfo.TargetColIndex == OwnCol || FInfo.TargetColIndex == OwnCol + 1);
    if (!FNoChange) ShowMarker(R, After ? tldeRight : tldeLeft);
    return;
  }
  if (!AHit->HitAtCode(tlhcBandHeaderArea) && !AHit->HitAtCode(tlhcBand)) return;
  if (FInfo.DropPoint.Y >= VI->HeadersBottom()) return;
  const TRect BandRect = BandRectOf(VI, Target);
  const Integer Top = BandRect.Top + (C->OptionsView()->Bands() ? VI->BandLineHeight() : 0);
  if (FInfo.DropPoint.Y < Top) return;
  TcxTreeListBandRows* Rows = Target->BandRows();
  if (Rows->Count() == 0) {
    // The first column of an empty band.
    FInfo.DropAllowed = true;
    FInfo.TargetRowIndex = 0;
    FInfo.TargetColIndex = 0;
    ShowMarker(TRect{BandRect.Left, Top, BandRect.Right, Top + VI->HeaderLineHeight()}, tldeLeft);
    return;
  }
  if (C->OptionsView()->HeaderSingleLine()) return;
  // The line after the one that holds the point; below them all, a line at the end.
  Integer Row = 0, LineTop = Top;
  while (Row < Rows->Count()) {
    const Integer Bottom = LineTop + Rows->Items(Row)->LineCount() * VI->HeaderLineHeight();
    ++Row;
    LineTop = Bottom;
    if (FInfo.DropPoint.Y < Bottom) break;
  }
  FInfo.DropAllowed = true;
  FInfo.NewRow = true;
  FInfo.TargetRowIndex = Row;
  FInfo.TargetColIndex = 0;
  ShowMarker(TRect{BandRect.Left, LineTop, BandRect.Right, LineTop + VI->HeaderLineHeight()}, tldeTop);
}

TCursor TcxTreeListDragAndDropObject::GetCursor(bool Accepted) {
  if (!Accepted && CustomizationFormOpen()) {
    const bool Removes = FColumn ? FColumn->Options()->Customizing && VisibleColumnCount(TreeList()) > 1
                                 : !TreeList()->OptionsView()->SimpleCustomizeBox();
    return Removes ? TCursor(crcxRemove) : crArrow;
  }
  return TcxDragAndDropObject::GetCursor(Accepted);
}

void TcxTreeListDragAndDropObject::EndDragAndDrop(bool Accepted) {
  HideMarker();
  TcxCustomTreeListControl* C = TreeList();
  const bool Allowed = Accepted && FMoved && FInfo.DropAllowed;
  if (FMoved && Accepted && CustomizationFormOpen() && (!Allowed || OverCustomizationForm())) HideDragged();
  else if (Allowed && !FNoChange) ApplyMove();
  C->LayoutChanged();
  C->Customizing()->RefreshLists();
}

void TcxTreeListDragAndDropObject::HideDragged() {
  TcxCustomTreeListControl* C = TreeList();
  if (FColumn) {
    if (FColumn->Options()->Customizing && FColumn->Visible() && VisibleColumnCount(C) > 1) FColumn->SetVisible(false);
  } else if (FBand && !C->OptionsView()->SimpleCustomizeBox()) {
    // The band refuses to hide when it is the last visible one.
    FBand->SetVisible(false);
  }
}

void TcxTreeListDragAndDropObject::ApplyMove() {
  TcxCustomTreeListControl* C = TreeList();
  C->BeginUpdate();
  try {
    if (FColumn && FInfo.TargetBand && CanMoveColumnTo(FInfo.TargetBand)) {
      C->SetColumnPosition(FColumn, FInfo.TargetBand->Index(), FInfo.TargetColIndex, FInfo.NewRow,
                           FInfo.TargetRowIndex);
      FColumn->SetVisible(true);
    } else if (FBand) {
      Integer Target = FInfo.TargetColIndex;
      const Integer Own = FBand->VisibleIndex();
      // Leaving its place frees one before the target.
      if (Own >= 0 && Own < Target) --Target;
      FBand->SetVisible(true);
      FBand->SetVisibleIndex(std::clamp(Target, 0, C->Bands()->VisibleItemCount() - 1));
    }
  } catch (...) {
    C->EndUpdate();
    throw;
  }
  C->EndUpdate();
}

void TcxTreeListDragAndDropObject::ShowMarker(const TRect& ATarget, TcxTreeListDropEdge AEdge) {
  const TPoint TL = Control()->ClientToScreen(TPoint{ATarget.Left, ATarget.Top});
  const TPoint BR = Control()->ClientToScreen(TPoint{ATarget.Right, ATarget.Bottom});
  TRect Line{};
  switch (AEdge) {
    case tldeLeft: Line = TRect{TL.X - 1, TL.Y, TL.X - 1, BR.Y}; break;
    case tldeRight: Line = TRect{BR.X, TL.Y, BR.X, BR.Y}; break;
    case tldeTop: Line = TRect{TL.X, TL.Y, BR.X, TL.Y}; break;
    case tldeBottom: Line = TRect{TL.X, BR.Y, BR.X, BR.Y}; break;
  }
  if (FMarkerVisible && Line == FMarkerLine) return;
  FMarkerLine = Line;
  const TColor Fill = TreeList()->OptionsView()->DropArrowColor();
  const bool Vertical = Line.Left == Line.Right;
  const Integer Half = ArrowWidth / 2;
  TRect Bounds[2];
  std::unique_ptr<TBitmap> Pictures[2];
  if (Vertical) {
    Bounds[0] = TRect{Line.Left - Half, Line.Top - ArrowLength, Line.Left + Half, Line.Top};
    Bounds[1] = TRect{Line.Left - Half, Line.Bottom, Line.Left + Half, Line.Bottom + ArrowLength};
    Pictures[0] = MakeArrow(TArrowDirection::Down, ArrowWidth, ArrowLength, Fill);
    Pictures[1] = MakeArrow(TArrowDirection::Up, ArrowWidth, ArrowLength, Fill);
  } else {
    Bounds[0] = TRect{Line.Left - ArrowLength, Line.Top - Half, Line.Left, Line.Top + Half};
    Bounds[1] = TRect{Line.Right, Line.Top - Half, Line.Right + ArrowLength, Line.Top + Half};
    Pictures[0] = MakeArrow(TArrowDirection::Right, ArrowLength, ArrowWidth, Fill);
    Pictures[1] = MakeArrow(TArrowDirection::Left, ArrowLength, ArrowWidth, Fill);
  }
  for (Integer I = 0; I < 2; ++I) {
    if (!FArrows[I]) FArrows[I] = std::make_unique<TOverlayWindow>();
    // The picture is taken at the window's size: bounds first.
    FArrows[I]->SetBounds(Bounds[I]);
    FArrows[I]->SetTransparentColor(ArrowKeyColor);
    FArrows[I]->SetImage(Pictures[I].get());
    FArrows[I]->Show();
  }
  FMarkerVisible = true;
}

void TcxTreeListDragAndDropObject::HideMarker() {
  for (auto& Arrow : FArrows)
    if (Arrow) Arrow->Hide();
  FMarkerVisible = false;
}

// ---- The control's choice of drag object ----------------------------------------------------

bool TcxCustomTreeListControl::StartsDragAndDropAt(const TPoint& P) {
  return TcxTreeListDragAndDropObject::CanStartAt(this, P);
}

TcxDragAndDropObjectClass TcxCustomTreeListControl::DragAndDropObjectClass() {
  return TcxTreeListDragAndDropObject::StaticClass();
}
