#include "platform/gui/extctrls.h"

#include <algorithm>

// ---- TPanel ------------------------------------------------------------------------------

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csOpaque | csDoubleClicks;
  SetBounds(0, 0, 185, 41);
  SetParentColor(false);
  SetColor(clBtnFace);
}

void TPanel::Changed() {
  Realign();
  Invalidate();
}

void TPanel::SetBevelOuter(TBevelCut Value) { FBevelOuter = Value; Changed(); }
void TPanel::SetBevelInner(TBevelCut Value) { FBevelInner = Value; Changed(); }
void TPanel::SetBevelWidth(Integer Value) { FBevelWidth = std::max(1, Value); Changed(); }
void TPanel::SetBorderWidth(Integer Value) { FBorderWidth = std::max(0, Value); Changed(); }
void TPanel::SetAlignment(TAlignment Value) { FAlignment = Value; Invalidate(); }

void TPanel::CMTextChanged(TMessage& M) {
  TCustomControl::CMTextChanged(M);
  Invalidate();
}

TRect TPanel::InnerRect() const {
  TRect r = ClientRect();
  Integer inset = FBorderWidth + (FBevelOuter != bvNone ? FBevelWidth : 0) + (FBevelInner != bvNone ? FBevelWidth : 0);
  InflateRect(r, -inset, -inset);
  return r;
}

void TPanel::AlignControls(TControl* AControl, TRect& Rect) {
  TRect inner = InnerRect();
  IntersectRect(Rect, Rect, inner);
  TCustomControl::AlignControls(AControl, Rect);
}

namespace {
// One bevel of Width pixels on the edge of R (R shrinks to its inside).
void Bevel(TCanvas* C, TRect& R, TBevelCut Cut, Integer Width) {
  if (Cut == bvNone) return;
  TColor topLeft = Cut == bvLowered ? clBtnShadow : clBtnHighlight;
  TColor bottomRight = Cut == bvLowered ? clBtnHighlight : clBtnShadow;
  if (Cut == bvSpace) topLeft = bottomRight = clBtnFace;
  for (Integer i = 0; i < Width; ++i) {
    C->Pen()->SetColor(topLeft);
    C->MoveTo(R.Left, R.Bottom - 1);
    C->LineTo(R.Left, R.Top);
    C->LineTo(R.Right - 1, R.Top);
    C->Pen()->SetColor(bottomRight);
    C->LineTo(R.Right - 1, R.Bottom - 1);
    C->LineTo(R.Left - 1, R.Bottom - 1);
    InflateRect(R, -1, -1);
  }
}
}  // namespace

void TPanel::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  c->Brush()->SetColor(Color());
  c->Brush()->SetStyle(bsSolid);
  c->FillRect(r);
  c->Pen()->SetStyle(psSolid);
  Bevel(c, r, FBevelOuter, FBevelWidth);
  InflateRect(r, -FBorderWidth, -FBorderWidth);
  Bevel(c, r, FBevelInner, FBevelWidth);
  if (Caption().empty()) return;
  c->Font()->Assign(Font());
  c->Brush()->SetStyle(bsClear);
  Cardinal align = FAlignment == taLeftJustify ? DT_LEFT : FAlignment == taRightJustify ? DT_RIGHT : DT_CENTER;
  c->Realize();  // the text calls through the handle use the context's colours
  ::DrawText(c->Handle(), Caption(), r, align | DT_VCENTER | DT_SINGLELINE);
  c->Brush()->SetStyle(bsSolid);
}

// ---- TImage ------------------------------------------------------------------------------

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
  FControlStyle |= csReplicatable;
  SetBounds(0, 0, 105, 105);
  FPicture->OnChange = MakeEvent(this, &TImage::PictureChanged);
}

TImage::~TImage() = default;

void TImage::SetStretch(bool Value) { FStretch = Value; Invalidate(); }
void TImage::SetProportional(bool Value) { FProportional = Value; Invalidate(); }
void TImage::SetCenter(bool Value) { FCenter = Value; Invalidate(); }

void TImage::SetAutoSize(bool Value) {
  FAutoSize = Value;
  PictureChanged(this);
}

void TImage::PictureChanged(TObject*) {
  if (FAutoSize && FPicture->Width() > 0 && FPicture->Height() > 0)
    SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
  Invalidate();
}

TRect TImage::DestRect() const {
  Integer pw = FPicture->Width(), ph = FPicture->Height(), cw = Width(), ch = Height();
  if (FStretch && pw > 0 && ph > 0) {
    if (!FProportional) return TRect{0, 0, cw, ch};
    if (pw * ch > ph * cw) ph = ph * cw / pw, pw = cw;
    else pw = pw * ch / ph, ph = ch;
  }
  TRect r{0, 0, pw, ph};
  if (FCenter) OffsetRect(r, (cw - pw) / 2, (ch - ph) / 2);
  return r;
}

void TImage::Paint() {
  if (FPicture->Graphic() && !FPicture->Graphic()->Empty()) Canvas()->StretchDraw(DestRect(), FPicture->Graphic());
}

// ---- TSplitter ---------------------------------------------------------------------------

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetAlign(alLeft);
  SetBounds(0, 0, 3, 100);
  SetCursor(crHSplit);
}

TControl* TSplitter::FindControl() const {
  if (!Parent()) return nullptr;
  TRect me = BoundsRect();
  for (Integer i = 0; i < Parent()->ControlCount(); ++i) {
    TControl* c = Parent()->Controls(i);
    if (c == this || !c->Visible() || c->Align() != Align()) continue;
    TRect b = c->BoundsRect();
    bool beside = (Align() == alLeft && b.Right == me.Left) || (Align() == alRight && b.Left == me.Right) ||
                  (Align() == alTop && b.Bottom == me.Top) || (Align() == alBottom && b.Top == me.Bottom);
    if (beside) return c;
  }
  return nullptr;
}

void TSplitter::Paint() {
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(ClientRect());
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  FControl = FindControl();
  FDownPos = ClientToScreen(TPoint{X, Y});
  if (FControl) FStartSize = Horizontal() ? FControl->Height() : FControl->Width();
}

void TSplitter::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FControl || !(Shift & ssLeft)) return;
  TPoint p = ClientToScreen(TPoint{X, Y});
  Integer delta = Horizontal() ? p.Y - FDownPos.Y : p.X - FDownPos.X;
  if (Align() == alRight || Align() == alBottom) delta = -delta;
  // The resized control may not push the splitter out of its parent.
  Integer limit = Horizontal() ? Parent()->ClientHeight() - Height() : Parent()->ClientWidth() - Width();
  Integer size = std::clamp(FStartSize + delta, FMinSize, std::max(FMinSize, limit));
  if (Horizontal()) FControl->SetHeight(size);
  else FControl->SetWidth(size);
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft || !FControl) return;
  FControl = nullptr;
  if (OnMoved) OnMoved(this);
}

// ---- TCoolBar ----------------------------------------------------------------------------

namespace {
// A band without a control still shows its grip this tall.
constexpr Integer EmptyBandHeight = 20;
// The etched line along the bar's top and bottom.
constexpr Integer BarEdge = 2;
}  // namespace

void TCoolBand::SetControl(TControl* Value) {
  if (FControl == Value) return;
  FControl = Value;
  if (Value) {
    Value->FreeNotification(FBar);
    if (FWidth == 0) FWidth = TCoolBar::GripWidth + Value->Width() + 2 * TCoolBar::BandMargin;
    if (Value->Parent() != FBar) Value->SetParent(FBar);
  }
  FBar->BandsChanged();
}

void TCoolBand::SetBreak(bool Value) {
  if (FBreak == Value) return;
  FBreak = Value;
  FBar->BandsChanged();
}

void TCoolBand::SetWidth(Integer Value) {
  FWidth = std::max(0, Value);
  FBar->BandsChanged();
}

void TCoolBand::SetMinHeight(Integer Value) {
  FMinHeight = std::max(0, Value);
  FBar->BandsChanged();
}

Integer TCoolBand::Index() const {
  for (Integer i = 0; i < FBar->BandCount(); ++i)
    if (FBar->Bands(i) == this) return i;
  return -1;
}

TCoolBar::TCoolBar(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle |= csAcceptsControls | csCaptureMouse;
  SetAlign(alTop);
  SetBounds(0, 0, 150, 30);
  SetParentColor(false);
  SetColor(clBtnFace);
}

TCoolBar::~TCoolBar() {
  FDragged = nullptr;
  FBands.clear();
}

TCoolBand* TCoolBar::Bands(Integer Index) const {
  return Index >= 0 && Index < BandCount() ? FBands[static_cast<size_t>(Index)].get() : nullptr;
}

TCoolBand* TCoolBar::AddBand(TControl* AControl) {
  FBands.push_back(std::make_unique<TCoolBand>(this));
  TCoolBand* band = FBands.back().get();
  band->SetControl(AControl);
  BandsChanged();
  return band;
}

void TCoolBar::DeleteBand(TCoolBand* ABand) {
  TRows rows = Rows();
  for (auto& row : rows) row.erase(std::remove(row.begin(), row.end(), ABand), row.end());
  rows.erase(std::remove_if(rows.begin(), rows.end(), [](const auto& row) { return row.empty(); }), rows.end());
  if (FDragged == ABand) FDragged = nullptr;
  SetRows(rows);  // the band's row-mates keep their row
  FBands.erase(std::remove_if(FBands.begin(), FBands.end(), [&](const auto& b) { return b.get() == ABand; }),
               FBands.end());
  BandsChanged();
}

TCoolBand* TCoolBar::FindBand(TControl* AControl) const {
  for (const auto& b : FBands)
    if (AControl && b->FControl == AControl) return b.get();
  return nullptr;
}

TCoolBar::TRows TCoolBar::Rows() const {
  TRows rows;
  for (const auto& b : FBands) {
    if (rows.empty() || b->FBreak) rows.emplace_back();
    rows.back().push_back(b.get());
  }
  return rows;
}

void TCoolBar::SetRows(const TRows& ARows) {
  std::vector<std::unique_ptr<TCoolBand>> ordered;
  for (const auto& row : ARows)
    for (size_t i = 0; i < row.size(); ++i) {
      auto it = std::find_if(FBands.begin(), FBands.end(), [&](const auto& b) { return b.get() == row[i]; });
      if (it == FBands.end()) continue;
      (*it)->FBreak = i == 0;
      ordered.push_back(std::move(*it));
      FBands.erase(it);
    }
  for (auto& rest : FBands) ordered.push_back(std::move(rest));  // bands left out keep their place at the end
  FBands = std::move(ordered);
}

Integer TCoolBar::RowCount() const { return static_cast<Integer>(Rows().size()); }

Integer TCoolBar::RowOf(const TCoolBand* ABand) const {
  const TRows rows = Rows();
  for (size_t r = 0; r < rows.size(); ++r)
    if (std::find(rows[r].begin(), rows[r].end(), ABand) != rows[r].end()) return static_cast<Integer>(r);
  return -1;
}

void TCoolBar::MoveBand(TCoolBand* ABand, Integer ARow, Integer APlace, bool ANewRow) {
  TRows rows = Rows();
  const Integer from = RowOf(ABand);
  if (from < 0) return;
  auto& own = rows[static_cast<size_t>(from)];
  own.erase(std::find(own.begin(), own.end(), ABand));
  Integer row = std::clamp(ARow, 0, static_cast<Integer>(rows.size()) - (ANewRow ? 0 : 1));
  if (own.empty()) {
    if (!ANewRow && row == from) return;  // alone in its row: it stays there
    rows.erase(rows.begin() + from);
    if (from < row) --row;
  }
  if (ANewRow) {
    rows.insert(rows.begin() + row, std::vector<TCoolBand*>{ABand});
  } else {
    auto& target = rows[static_cast<size_t>(row)];
    target.insert(target.begin() + std::clamp(APlace, 0, static_cast<Integer>(target.size())), ABand);
  }
  SetRows(rows);
  BandsChanged();
}

Integer TCoolBar::BandNeed(const TCoolBand* ABand) const {
  return ABand->FWidth > 0 ? ABand->FWidth : GripWidth + 2 * BandMargin;
}

Integer TCoolBar::RowHeight(const std::vector<TCoolBand*>& ARow) const {
  Integer h = 0;
  for (const TCoolBand* b : ARow)
    h = std::max({h, b->FMinHeight, b->FControl ? b->FControl->Height() + 2 * BandMargin : EmptyBandHeight});
  return h;
}

std::vector<std::pair<Integer, Integer>> TCoolBar::RowSpans() {
  std::vector<std::pair<Integer, Integer>> spans;
  Integer y = BarEdge;
  for (const auto& row : Rows()) {
    const Integer h = RowHeight(row);
    spans.emplace_back(y, y + h);
    y += h;
  }
  return spans;
}

std::vector<TCoolBar::TBandPlace> TCoolBar::Layout() {
  std::vector<TBandPlace> places;
  const TRows rows = Rows();
  const auto spans = RowSpans();
  for (size_t r = 0; r < rows.size(); ++r) {
    Integer x = 0;
    for (size_t i = 0; i < rows[r].size(); ++i) {
      TCoolBand* b = rows[r][i];
      Integer right = x + BandNeed(b);
      if (i + 1 == rows[r].size()) right = std::max(right, ClientWidth());  // the last takes the rest
      places.push_back({b, TRect{x, spans[r].first, right, spans[r].second}});
      x = right;
    }
  }
  return places;
}

TRect TCoolBar::BandRect(const TCoolBand* ABand) {
  for (const TBandPlace& p : Layout())
    if (p.Band == ABand) return p.Bounds;
  return TRect{};
}

TRect TCoolBar::GripRect(const TCoolBand* ABand) {
  TRect r = BandRect(ABand);
  if (IsRectEmpty(r)) return r;
  r.Right = std::min(r.Right, r.Left + GripWidth);
  return r;
}

TCoolBand* TCoolBar::BandAtGrip(const TPoint& P) {
  for (const TBandPlace& p : Layout()) {
    TRect grip = p.Bounds;
    grip.Right = std::min(grip.Right, grip.Left + GripWidth);
    if (PtInRect(grip, P)) return p.Band;
  }
  return nullptr;
}

void TCoolBar::SetAutoSize(bool Value) {
  FAutoSize = Value;
  BandsChanged();
}

void TCoolBar::BandsChanged() {
  if (ComponentState() & csDestroying) return;
  Realign();
  Invalidate();
}

void TCoolBar::AlignControls(TControl* AControl, TRect& Rect) {
  TCustomControl::AlignControls(AControl, Rect);
  if (FLayingOut || FBands.empty()) return;
  FLayingOut = true;
  struct TDone {
    bool& Flag;
    ~TDone() { Flag = false; }
  } done{FLayingOut};
  for (const TBandPlace& p : Layout()) {
    TControl* c = p.Band->FControl;
    if (!c) continue;
    const Integer h = c->Height();
    const Integer top = p.Bounds.Top + (p.Bounds.Bottom - p.Bounds.Top - h) / 2;
    const Integer width = std::max(0, p.Bounds.Right - p.Bounds.Left - GripWidth - 2 * BandMargin);
    c->SetBounds(p.Bounds.Left + GripWidth + BandMargin, top, width, h);
  }
  if (FAutoSize) {
    const auto spans = RowSpans();
    SetHeight((spans.empty() ? BarEdge : spans.back().second) + BarEdge);
  }
}

void TCoolBar::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  for (const auto& b : FBands)
    if (b->FControl == AComponent) {
      b->FControl = nullptr;
      BandsChanged();
    }
}

void TCoolBar::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || FFixedOrder) return;
  FDragged = BandAtGrip(TPoint{X, Y});
  FDragMoved = false;
}

void TCoolBar::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (FDragged) {
    DragTo(TPoint{X, Y});
    return;
  }
  SetCursor(!FFixedOrder && BandAtGrip(TPoint{X, Y}) ? crSizeAll : crDefault);
}

void TCoolBar::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button == mbLeft && FDragged) EndDrag();
}

void TCoolBar::WndProc(TMessage& Message) {
  // The mouse taken away mid-drag: the bands stay where they were brought.
  if ((Message.Msg == WM_CANCELMODE || Message.Msg == WM_CAPTURECHANGED) && FDragged) EndDrag();
  TCustomControl::WndProc(Message);
}

// Above the first row or below the last the band makes a row of its own;
// in a row it goes before the first other band whose middle lies right of
// the mouse.
void TCoolBar::DragTo(const TPoint& P) {
  const auto spans = RowSpans();
  if (spans.empty()) return;
  const TRows before = Rows();
  if (P.Y < spans.front().first) {
    MoveBand(FDragged, 0, 0, true);
  } else if (P.Y >= spans.back().second) {
    MoveBand(FDragged, static_cast<Integer>(spans.size()), 0, true);
  } else {
    Integer row = 0;
    while (P.Y >= spans[static_cast<size_t>(row)].second) ++row;
    Integer place = 0;
    for (const TBandPlace& p : Layout())
      if (p.Band != FDragged && RowOf(p.Band) == row && (p.Bounds.Left + p.Bounds.Right) / 2 < P.X) ++place;
    MoveBand(FDragged, row, place, false);
  }
  if (Rows() != before) FDragMoved = true;
}

void TCoolBar::EndDrag() {
  const bool moved = FDragMoved;
  FDragged = nullptr;
  FDragMoved = false;
  if (moved && OnChange) OnChange(this);
}

void TCoolBar::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  c->Brush()->SetColor(Color());
  c->Brush()->SetStyle(bsSolid);
  c->FillRect(r);
  DrawEdge(c->Handle(), r, EDGE_ETCHED, BF_TOP | BF_BOTTOM);
  for (const TBandPlace& p : Layout()) {
    TRect band = p.Bounds;
    if (band.Top > BarEdge) DrawEdge(c->Handle(), band, EDGE_ETCHED, BF_TOP);  // between rows
    if (band.Left > 0) DrawEdge(c->Handle(), band, EDGE_ETCHED, BF_LEFT);     // between bands
    // The grip: two raised ridges.
    for (Integer k = 0; k < 2; ++k) {
      TRect ridge{band.Left + 2 + 3 * k, band.Top + 3, band.Left + 5 + 3 * k, band.Bottom - 3};
      DrawEdge(c->Handle(), ridge, BDR_RAISEDINNER, BF_RECT);
    }
  }
}
