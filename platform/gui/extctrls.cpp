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

TCoolBar::TCoolBar(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle |= csAcceptsControls;
  SetAlign(alTop);
  SetBounds(0, 0, 150, 30);
  SetParentColor(false);
  SetColor(clBtnFace);
}

void TCoolBar::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  c->Brush()->SetColor(Color());
  c->Brush()->SetStyle(bsSolid);
  c->FillRect(r);
  DrawEdge(c->Handle(), r, EDGE_ETCHED, BF_TOP | BF_BOTTOM);
}
