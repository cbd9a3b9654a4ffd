#include "platform/gui/buttons.h"

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
  SetBounds(0, 0, 23, 22);
  FControlStyle = csCaptureMouse | csDoubleClicks | csClickEvents | csSetCaption;
  SetParentColor(true);
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetFlat(bool Value) { FFlat = Value; Invalidate(); }

void TSpeedButton::SetGlyph(TBitmap* Value) {
  if (Value) FGlyph->Assign(Value);
  else FGlyph->SetSize(0, 0);
  Invalidate();
}

void TSpeedButton::SetImages(TImageList* Value) {
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (Value) Value->FreeNotification(this);
  Invalidate();
}

void TSpeedButton::SetImageIndex(Integer Value) { FImageIndex = Value; Invalidate(); }

void TSpeedButton::SetDown(bool Value) {
  if (FDown == Value) return;
  FDown = Value;
  if (Value && FGroupIndex && Parent())
    for (Integer i = 0; i < Parent()->ControlCount(); ++i)
      if (auto* b = dynamic_cast<TSpeedButton*>(Parent()->Controls(i)); b && b != this && b->FGroupIndex == FGroupIndex)
        b->SetDown(false);
  Invalidate();
}

void TSpeedButton::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

void TSpeedButton::Click() {
  if (FGroupIndex) SetDown(!FDown);
  TGraphicControl::Click();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (Button == mbLeft && Enabled()) {
    FPressed = true;
    Invalidate();
  }
  TGraphicControl::MouseDown(Button, Shift, X, Y);
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (Button == mbLeft && FPressed) {
    FPressed = false;
    Invalidate();
  }
  TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TSpeedButton::CMMouseEnter(TMessage& M) {
  TGraphicControl::CMMouseEnter(M);
  FMouseIn = true;
  if (FFlat) Invalidate();
}

void TSpeedButton::CMMouseLeave(TMessage& M) {
  TGraphicControl::CMMouseLeave(M);
  FMouseIn = false;
  if (FFlat) Invalidate();
}

void TSpeedButton::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  bool sunken = FPressed || FDown;
  c->Brush()->SetColor(Color());
  c->Brush()->SetStyle(bsSolid);
  c->FillRect(r);
  TRect edge = r;
  if (!FFlat) DrawEdge(c->Handle(), edge, sunken ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  else if (sunken) DrawEdge(c->Handle(), edge, BDR_SUNKENOUTER, BF_RECT);
  else if (FMouseIn && Enabled()) DrawEdge(c->Handle(), edge, BDR_RAISEDINNER, BF_RECT);
  Integer shift = sunken ? 1 : 0;
  Integer gw = 0, gh = 0;
  if (!FGlyph->Empty()) gw = FGlyph->Width(), gh = FGlyph->Height();
  else if (FImages && FImageIndex >= 0 && FImageIndex < FImages->Count()) gw = FImages->Width(), gh = FImages->Height();
  c->Font()->Assign(Font());
  Integer tw = Caption().empty() ? 0 : c->TextWidth(Caption());
  Integer spacing = gw && tw ? 4 : 0;
  Integer x = (r.Right - gw - spacing - tw) / 2 + shift, y = (r.Bottom - gh) / 2 + shift;
  if (!FGlyph->Empty()) {
    FGlyph->SetTransparent(true);
    c->Draw(x, y, FGlyph.get());
  } else if (gw) {
    FImages->Draw(c, x, y, FImageIndex, Enabled());
  }
  if (tw) {
    if (!Enabled()) c->Font()->SetColor(clGrayText);
    c->Brush()->SetStyle(bsClear);
    c->TextOut(x + gw + spacing, (r.Bottom - c->TextHeight(Caption())) / 2 + shift, Caption());
    c->Brush()->SetStyle(bsSolid);
  }
}
