#include "treelist/cxTLDragDrop.h"

#include <vector>

#include "foundation/cxControls.h"
#include "foundation/cxLookAndFeelPainters.h"
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

// Width of the picture of a band shown by nothing but the customization form.
constexpr Integer HiddenBandPictureWidth = 100;

}  // namespace

// Hides the marker before each scroll step and works the target out again
// at the resting mouse afterwards, as the headers moved under it.
class TcxTreeListDragAndDropObject::TAutoScroller : public TcxDragDropObjectAutoScrollingObject {
public:
  explicit TAutoScroller(TcxTreeListDragAndDropObject* AOwner)
      : TcxDragDropObjectAutoScrollingObject(AOwner), FDrag(AOwner) {}
  void Scroll() override {
    FDrag->HideMarker();
    TcxDragDropObjectAutoScrollingObject::Scroll();
    FDrag->CalculateTarget();
  }

private:
  TcxTreeListDragAndDropObject* FDrag;
};

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
  // The press no longer counts as a header click, and the header loses its pressed look.
  for (const auto& H : C->TreeListViewInfo()->ColumnHeaders()) H->Pressed = false;
  for (const auto& H : C->TreeListViewInfo()->BandHeaders()) H->Pressed = false;
  C->LayoutChanged();
  FInfo.TargetBand = FColumn ? FColumn->Band() : FBand;
  FInfo.TargetColIndex = FColumn ? FColumn->Position().ColIndex : (FBand ? FBand->VisibleIndex() : -1);
  FInfo.TargetRowIndex = FColumn ? FColumn->Position().RowIndex : 0;
  if (CustomizationFormOpen()) {
    if (FColumn) C->Customizing()->ShowColumnsPage();
    else C->Customizing()->ShowBandsPage();
  }
  CreateDragImage();
  CreateAutoScrollers();
}

void TcxTreeListDragAndDropObject::CreateAutoScrollers() {
  TcxCustomTreeListControl* C = TreeList();
  if (!C->IsHScrollBarVisible()) return;
  const TRect R = C->ContentBounds();
  const TRect Areas[2] = {TRect{R.Left, R.Top, R.Left + AutoScrollAreaWidth, R.Bottom},
                          TRect{R.Right - AutoScrollAreaWidth, R.Top, R.Right, R.Bottom}};
  for (Integer I = 0; I < 2; ++I) {
    FScrollers[I] = std::make_unique<TAutoScroller>(this);
    FScrollers[I]->SetParams(Areas[I], sbHorizontal, 1, I == 1);
  }
}

void TcxTreeListDragAndDropObject::CreateDragImage() {
  if (!FColumn && !FBand) return;
  TcxCustomTreeListControl* C = TreeList();
  TcxTreeListViewInfo* VI = C->TreeListViewInfo();
  const TcxCustomLookAndFeelPainter* Painter = VI->LookAndFeelPainter();
  TcxTreeListHeaderViewInfo* Header = FColumn ? VI->ColumnHeader(FColumn) : BandHeaderOf(VI, FBand);
  TRect R{}, TextArea{}, SortMark{};
  String Text;
  TColor Back = Painter->BandBackgroundColor();
  if (Header && Header->Visible()) {
    R = Header->DisplayRect();
    TextArea = Header->TextArea;
    SortMark = Header->SortMarkArea;
    Text = Header->Text;
    FImageHotSpot = TPoint{C->MouseDownPos().X - R.Left, C->MouseDownPos().Y - R.Top};
  } else {
    // Dragged in from the customization form: one header line, centred under the mouse.
    const Integer Width = FColumn ? std::max(FColumn->Width(), 1) : HiddenBandPictureWidth;
    R = TRect{0, 0, Width, std::max(VI->HeaderLineHeight(), 1)};
    TextArea = R;
    InflateRect(TextArea, -2, 0);
    Text = FColumn ? FColumn->Caption() : FBand->Caption();
    if (FColumn) Back = clBtnShadow;
    FImageHotSpot = TPoint{R.Width() / 2, R.Height() / 2};
  }
  if (IsRectEmpty(R)) return;
  const TPoint Origin = R.TopLeft();
  OffsetRect(R, -Origin.X, -Origin.Y);
  OffsetRect(TextArea, -Origin.X, -Origin.Y);
  OffsetRect(SortMark, -Origin.X, -Origin.Y);
  TBitmap Picture(R.Width(), R.Height());
  TcxCanvas Canvas(Picture.Canvas());
  Canvas.SetBrushColor(Back);
  Canvas.FillRectOrTileBitmap(R, nullptr);
  Painter->PaintHeader(&Canvas, R, TextArea, 0, cxAllBorders, cxbsNormal, taLeftJustify, vaCenter, false, true, Text,
                       C->Font(), Painter->HeaderTextColor(), Painter->HeaderColor(), TcxDrawBackgroundEvent());
  if (FColumn && !IsRectEmpty(SortMark))
    Painter->PaintSortMark(&Canvas, SortMark, FColumn->SortOrder() == soAscending);
  FDragImage = std::make_unique<TOverlayWindow>();
  // The picture is taken at the window's size: bounds first.
  FDragImage->SetBounds(R);
  FDragImage->SetImage(&Picture);
  FDragImage->SetAlpha(cxDragImageAlpha);
}

void TcxTreeListDragAndDropObject::MoveDragImage(const TPoint& P) {
  if (!FDragImage) return;
  const TPoint Screen = Control()->ClientToScreen(P);
  TRect R = FDragImage->BoundsRect();
  OffsetRect(R, Screen.X - FImageHotSpot.X - R.Left, Screen.Y - FImageHotSpot.Y - R.Top);
  FDragImage->SetBounds(R);
  FDragImage->Show();
}

void TcxTreeListDragAndDropObject::DragAndDrop(const TPoint& P, bool& Accepted) {
  FMoved = true;
  FInfo.DropPoint = P;
  CalculateTarget();
  MoveDragImage(P);
  for (auto& Scroller : FScrollers)
    if (Scroller) Scroller->CheckPoint(P);
  Accepted = FInfo.DropAllowed;
  TcxDragAndDropObject::DragAndDrop(P, Accepted);
}

void TcxTreeListDragAndDropObject::CalculateTarget() {
  FInfo.DropAllowed = false;
  FInfo.NewRow = false;
  FNoChange = false;
  const TPoint P = FInfo.DropPoint;
  TcxTreeListHitTest* Hit = TreeList()->HitTest();
  Hit->HitTestAtPoint(P.X, P.Y, 0);
  FInfo.TargetHeader = Hit->HeaderAtPoint();
  if (FColumn) CalculateColumnTarget(Hit);
  else if (FBand) CalculateBandTarget(Hit);
  if (!FInfo.DropAllowed || FNoChange) HideMarker();
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
  if (VisibleColumnCount(C) == 0) {
    CalculateFirstColumnTarget();
    return;
  }
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

void TcxTreeListDragAndDropObject::CalculateFirstColumnTarget() {
  TcxCustomTreeListControl* C = TreeList();
  TcxTreeListViewInfo* VI = C->TreeListViewInfo();
  const TRect Client = Control()->ClientRect();
  if (C->Bands()->VisibleItemCount() == 0 || !PtInRect(Client, FInfo.DropPoint)) return;
  TcxTreeListBand* First = C->Bands()->VisibleItems(0);
  if (!CanMoveColumnTo(First)) return;
  FInfo.DropAllowed = true;
  FInfo.TargetBand = First;
  FInfo.TargetRowIndex = 0;
  FInfo.TargetColIndex = 0;
  const Integer Top = Client.Top + (C->OptionsView()->Bands() ? VI->BandLineHeight() : 0);
  ShowMarker(TRect{Client.Left, Top, Client.Right, Top + VI->HeaderLineHeight()}, tldeTop);
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
  for (auto& Scroller : FScrollers)
    if (Scroller) Scroller->Stop();
  if (FDragImage) FDragImage->Hide();
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
  FSizingPress = TreeListController()->PrepareSizing(P);
  return FSizingPress || TcxTreeListDragAndDropObject::CanStartAt(this, P);
}

TcxDragAndDropObjectClass TcxCustomTreeListControl::DragAndDropObjectClass() {
  if (FSizingPress) return TcxSizingDragAndDropObject::StaticClass();
  return TcxTreeListDragAndDropObject::StaticClass();
}
