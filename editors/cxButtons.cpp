#include "editors/cxButtons.h"

#include <algorithm>

#include "foundation/cxControls.h"
#include "foundation/qzThemeManager.h"
#include "platform/gui/forms.h"
#include "platform/gui/sysmetrics.h"
#include "platform/gui/windowing.h"

namespace {

// The style code of the Office 11 painter.
constexpr Byte Office11StyleCode = 4;
// A pressed-state colour the disabled recolouring maps to the shadow.
constexpr TColor DisabledGrey = 0x808080;

TColor RGBOf(TColor AColor) { return ColorToRGB(AColor) & 0xFFFFFF; }

}  // namespace

// ---- TcxButtonColors -------------------------------------------------------------------------

void TcxButtonColors::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TcxButtonColors*>(Source)) {
    std::copy(std::begin(s->FColors), std::end(s->FColors), std::begin(FColors));
    FAssignedColors = s->FAssignedColors;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

void TcxButtonColors::SetColor(TcxButtonState AState, TColor Value) {
  const TcxButtonStates bit = cxButtonStateBit(AState);
  if (Value == clNone || Value == clDefault) {
    if ((FAssignedColors & bit) == 0 && FColors[AState] == clDefault) return;
    FAssignedColors &= TcxButtonStates(~bit);
    FColors[AState] = clDefault;
  } else {
    if (FColors[AState] == Value && (FAssignedColors & bit) != 0) return;
    FColors[AState] = Value;
    FAssignedColors |= bit;
  }
  Changed();
}

void TcxButtonColors::SetAssignedColors(TcxButtonStates Value) {
  for (Integer s = cxbsDefault; s <= cxbsDisabled; ++s) {
    const TcxButtonStates bit = cxButtonStateBit(TcxButtonState(s));
    if ((Value & bit) == 0) FColors[s] = clDefault;
    if (FColors[s] == clDefault) Value &= TcxButtonStates(~bit);
  }
  if (Value == FAssignedColors) return;
  FAssignedColors = Value;
  Changed();
}

void TcxButtonColors::Changed() {
  if (FOwner) FOwner->Repaint();
}

// ---- TcxButtonGlyph --------------------------------------------------------------------------

TcxButtonGlyph::TcxButtonGlyph() : FGlyph(std::make_unique<TBitmap>()) {}

TcxButtonGlyph::~TcxButtonGlyph() = default;

void TcxButtonGlyph::SetGlyph(TBitmap* AValue) {
  if (AValue && !AValue->Empty()) {
    FGlyph->Assign(AValue);
    const Integer w = FGlyph->Width(), h = FGlyph->Height();
    if (h > 0 && w % h == 0) {
      const Integer n = w / h;
      FNumGlyphs = n >= 1 && n <= cxMaxNumGlyphs ? n : 1;
    }
  } else {
    FGlyph = std::make_unique<TBitmap>();
  }
  Changed();
}

void TcxButtonGlyph::SetNumGlyphs(Integer Value) {
  if (Value < 1) return;
  Value = std::min(Value, cxMaxNumGlyphs);
  if (Value == FNumGlyphs) return;
  FNumGlyphs = Value;
  Changed();
}

void TcxButtonGlyph::SetTransparentColor(TColor Value) {
  if (Value == FTransparentColor) return;
  FTransparentColor = Value;
  Changed();
}

TSize TcxButtonGlyph::CellSize() const {
  if (FGlyph->Empty()) return {};
  return {FGlyph->Width() / FNumGlyphs, FGlyph->Height()};
}

TcxButtonGlyphImage TcxButtonGlyph::ImageOfState(TcxButtonState AState) const {
  switch (AState) {
    case cxbsPressed: return FNumGlyphs < 3 ? cxgiUp : cxgiDown;
    case cxbsDisabled: return cxgiDisabled;
    default: return cxgiUp;
  }
}

Integer TcxButtonGlyph::CellOfImage(TcxButtonGlyphImage AImage) const {
  return AImage < FNumGlyphs ? Integer(AImage) : 0;
}

TBitmap* TcxButtonGlyph::ImageForState(TcxButtonState AState) {
  if (FGlyph->Empty() || CellSize().cx == 0) return nullptr;
  const TcxButtonGlyphImage image = ImageOfState(AState);
  if (!FImages[image]) FImages[image] = BuildImage(image);
  return FImages[image].get();
}

// Cells are copied pixel by pixel; transparent pixels keep the key colour
// (the glyph's transparent colour for a fixed-mode bitmap, else the
// bitmap's own bottom-left colour) so that Draw can leave them out.
std::unique_ptr<TBitmap> TcxButtonGlyph::BuildImage(TcxButtonGlyphImage AImage) const {
  const TSize cell = CellSize();
  const TColor key = RGBOf(FGlyph->TransparentMode() == tmFixed ? FTransparentColor : FGlyph->TransparentColor());
  auto result = std::make_unique<TBitmap>(cell.cx, cell.cy, pf32bit);
  TCanvas* c = result->Canvas();
  const Integer x0 = CellOfImage(AImage) * cell.cx;
  auto source = [&](Integer x, Integer y) { return FGlyph->PixelColor(x0 + x, y); };
  for (Integer y = 0; y < cell.cy; ++y)
    for (Integer x = 0; x < cell.cx; ++x) c->SetPixels(x, y, key);
  if (AImage != cxgiDisabled) {
    for (Integer y = 0; y < cell.cy; ++y)
      for (Integer x = 0; x < cell.cx; ++x) c->SetPixels(x, y, source(x, y));
  } else if (FNumGlyphs < 2) {
    // Embossed from the up cell: highlight one pixel right and down, then
    // the shadow in place.
    for (Integer y = 0; y + 1 < cell.cy; ++y)
      for (Integer x = 0; x + 1 < cell.cx; ++x)
        if (source(x, y) != key) c->SetPixels(x + 1, y + 1, clBtnHighlight);
    for (Integer y = 0; y < cell.cy; ++y)
      for (Integer x = 0; x < cell.cx; ++x)
        if (source(x, y) != key) c->SetPixels(x, y, clBtnShadow);
  } else {
    // The strip's own disabled cell, recoloured to the system colours.
    for (Integer y = 0; y < cell.cy; ++y)
      for (Integer x = 0; x < cell.cx; ++x) {
        const TColor p = source(x, y);
        c->SetPixels(x, y, p == RGBOf(clWhite) ? clBtnHighlight : p == DisabledGrey ? clBtnShadow : p);
      }
  }
  result->SetTransparentColor(key);
  return result;
}

void TcxButtonGlyph::Draw(TcxCanvas* ACanvas, const TPoint& P, TcxButtonState AState) {
  TBitmap* image = ImageForState(AState);
  if (!image) return;
  const TColor key = RGBOf(image->TransparentColor());
  for (Integer y = 0; y < image->Height(); ++y)
    for (Integer x = 0; x < image->Width(); ++x) {
      const TColor p = image->PixelColor(x, y);
      if (p != key) ACanvas->SetPixel(P.X + x, P.Y + y, p);
    }
}

void TcxButtonGlyph::ReleaseImages() {
  for (auto& image : FImages) image.reset();
}

void TcxButtonGlyph::Changed() {
  ReleaseImages();
  OnChange(this);
}

// ---- Layout ----------------------------------------------------------------------------------

TcxButtonContentLayout cxCalcButtonContentLayout(const TSize& AClient, const TSize& AGlyph, const TSize& ACaption,
                                                 TButtonLayout ALayout, Integer AMargin, Integer ASpacing,
                                                 bool ARightToLeft, Integer AShift) {
  if (ARightToLeft && ALayout == blGlyphLeft)
    ALayout = blGlyphRight;
  else if (ARightToLeft && ALayout == blGlyphRight)
    ALayout = blGlyphLeft;
  const bool horizontal = ALayout == blGlyphLeft || ALayout == blGlyphRight;
  const bool hasGlyph = AGlyph.cx > 0 && AGlyph.cy > 0;
  const bool hasCaption = ACaption.cx > 0 || ACaption.cy > 0;
  const TSize g = hasGlyph ? AGlyph : TSize{};
  const TSize t = hasCaption ? ACaption : TSize{};

  TPoint glyph, text;
  if (horizontal) {
    glyph.Y = (AClient.cy - g.cy) / 2;
    text.Y = (AClient.cy - t.cy - 1) / 2;
  } else {
    glyph.X = (AClient.cx - g.cx) / 2;
    text.X = (AClient.cx - t.cx) / 2;
  }

  // Along the layout axis.
  const Integer c = horizontal ? AClient.cx : AClient.cy;
  const Integer gl = horizontal ? g.cx : g.cy;
  const Integer tl = horizontal ? t.cx : t.cy;
  Integer m = AMargin, s = ASpacing;
  if (!hasGlyph || !hasCaption) s = 0;
  if (m == -1 && s == -1)
    m = s = (c - (tl + gl)) / 3;
  else if (m == -1)
    m = (c - (s + gl + tl)) / 2;
  else if (s == -1)
    s = (c - m - gl - tl) / 2;

  Integer glyphAt = 0, textAt = 0;
  if (ALayout == blGlyphLeft || ALayout == blGlyphTop) {
    glyphAt = m;
    textAt = m + gl + s;
  } else {
    glyphAt = c - m - gl;
    textAt = glyphAt - s - tl;
  }
  (horizontal ? glyph.X : glyph.Y) = glyphAt;
  (horizontal ? text.X : text.Y) = textAt;

  TcxButtonContentLayout result;
  result.GlyphPos = Point(glyph.X + AShift, glyph.Y + AShift);
  result.TextRect = Bounds(text.X + AShift, text.Y + AShift, t.cx, t.cy);
  return result;
}

TPoint cxDropDownMenuPoint(const TPoint& AOrigin, const TSize& AButton, TPopupAlignment AAlignment,
                           Integer AMenuHeight, Integer AWorkAreaBottom) {
  TPoint p = Point(0, AButton.cy);
  if (AAlignment == paRight)
    p.X = AButton.cx;
  else if (AAlignment == paCenter)
    p.X = AButton.cx / 2;
  p.X += AOrigin.X;
  p.Y += AOrigin.Y;
  if (p.Y + AMenuHeight > AWorkAreaBottom) p.Y -= AMenuHeight + AButton.cy + 2;
  return p;
}

// ---- TcxCustomButton -------------------------------------------------------------------------

TcxCustomButton::TcxCustomButton(TComponent* AOwner)
    : TButton(AOwner),
      FLookAndFeel(std::make_unique<TcxLookAndFeel>(this)),
      FGlyph(std::make_unique<TcxButtonGlyph>()),
      FColors(std::make_unique<TcxButtonColors>(this)) {
  FGlyph->OnChange = TNotifyEvent(this, &TcxCustomButton::GlyphChanged);
  FLookAndFeel->OnChanged = TcxLookAndFeelChangedEvent(this, &TcxCustomButton::LookAndFeelChanged);
}

TcxCustomButton::~TcxCustomButton() {
  FGlyph->OnChange = nullptr;
  FLookAndFeel->OnChanged = nullptr;
  SetDropDownMenu(nullptr);
}

void TcxCustomButton::Repaint() { Invalidate(); }

void TcxCustomButton::SetDropDownMenu(TPopupMenu* Value) {
  if (Value == FDropDownMenu) return;
  if (FDropDownMenu) FDropDownMenu->RemoveFreeNotification(this);
  FDropDownMenu = Value;
  if (FDropDownMenu) FDropDownMenu->FreeNotification(this);
}

void TcxCustomButton::Notification(TComponent* AComponent, TOperation Operation) {
  TButton::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDropDownMenu) FDropDownMenu = nullptr;
}

void TcxCustomButton::SetKind(TcxButtonKind Value) {
  if (Value == FKind) return;
  FKind = Value;
  Repaint();
}

void TcxCustomButton::SetLayout(TButtonLayout Value) {
  if (Value == FLayout) return;
  FLayout = Value;
  Repaint();
}

void TcxCustomButton::SetMargin(Integer Value) {
  if (Value < -1 || Value == FMargin) return;
  FMargin = Value;
  Repaint();
}

void TcxCustomButton::SetSpacing(Integer Value) {
  if (Value == FSpacing) return;
  FSpacing = Value;
  Repaint();
}

void TcxCustomButton::SetWordWrap(bool Value) {
  if (Value == FWordWrap) return;
  FWordWrap = Value;
  Repaint();
}

TcxCustomLookAndFeelPainterClass TcxCustomButton::GetPainter() const {
  TcxCustomLookAndFeelPainterClass painter = FLookAndFeel->GetPainterClass();
  if (painter && PainterOf(painter)->StyleCode() == Office11StyleCode) {
    TcxCustomLookAndFeelPainterClass native = NativeLookAndFeelPainter();
    painter = native && ThemeClassAvailable(thcButton) ? native : LookAndFeelPainterOfKind(lfStandard);
  }
  return painter;
}

TcxButtonState TcxCustomButton::CurrentState() const {
  if (!Enabled()) return cxbsDisabled;
  const bool pressed = (GetCaptureControl() == this && !FLockDown) || FMenuVisible;
  if (pressed) return cxbsPressed;
  if (FMouseInControl) return cxbsHot;
  if (Focused() || Default()) return cxbsDefault;
  return cxbsNormal;
}

bool TcxCustomButton::DoDropDownMenuPopup(TPopupMenu*& AMenu) {
  bool handled = false;
  OnDropDownMenuPopup(this, AMenu, handled);
  return handled;
}

void TcxCustomButton::Click() {
  if (FKind == cxbkDropDown && !FMenuVisible && !FIsMouseClick) {
    OpenDropDownMenu();
    return;
  }
  if (FKind != cxbkStandard && FIsMouseClick) {
    FIsMouseClick = false;
    return;
  }
  FIsMouseClick = false;
  TButton::Click();
}

void TcxCustomButton::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (Button == mbLeft && FKind != cxbkStandard) {
    if (FMenuVisible) {
      FIsMouseClick = true;
      Repaint();
    } else if (FKind == cxbkDropDown || X >= ClientWidth() - cxDropDownPartWidth) {
      FIsMouseClick = true;
      OpenDropDownMenu();
    }
  }
  TButton::MouseDown(Button, Shift, X, Y);
}

void TcxCustomButton::KeyDown(Word& Key, TShiftState Shift) {
  if (FKind == cxbkDropDownButton && (Key == VK_UP || Key == VK_DOWN) && (Shift & (ssAlt | ssShift)) != 0) {
    Key = 0;
    OpenDropDownMenu();
    return;
  }
  TButton::KeyDown(Key, Shift);
}

void TcxCustomButton::OpenDropDownMenu() {
  FLockDown = true;
  if (HandleAllocated())
    PostMessage(Handle(), CM_DROPDOWNPOPUPMENU, 0, 0);
  else
    DropDownMenuPopup();
}

void TcxCustomButton::DropDownMenuPopup() {
  TPopupMenu* menu = FDropDownMenu;
  if (FKind == cxbkStandard || DoDropDownMenuPopup(menu) || !menu) {
    FLockDown = false;
    return;
  }
  FMenuVisible = true;
  Repaint();
  const TPoint origin = ClientToScreen(Point(0, 0));
  const TRect work = GetMonitorWorkArea(origin);
  const TPoint p = cxDropDownMenuPoint(origin, TSize{Width(), Height()}, FPopupAlignment,
                                       menu->Items()->Count() * GetSystemMetrics(SM_CYMENU), work.Bottom);
  const TPopupAlignment saved = menu->Alignment();
  menu->SetAlignment(FPopupAlignment);
  menu->SetPopupComponent(this);
  ShowPopupMenu(menu, p);
  menu->SetAlignment(saved);
  TPoint cursor;
  FMouseInControl = GetCursorPos(cursor) && PtInRect(ClientRect(), ScreenToClient(cursor));
  FMenuVisible = false;
  FLockDown = false;
  Repaint();
}

void TcxCustomButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT:
      if (HDC dc = reinterpret_cast<HDC>(Message.WParam)) {
        TcxCanvas canvas(dc);
        PaintButton(&canvas, CurrentState());
      }
      return;
    case CM_DROPDOWNPOPUPMENU: DropDownMenuPopup(); return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
      const bool inside = Message.Msg == CM_MOUSEENTER;
      TButton::Dispatch(Message);
      const TcxCustomLookAndFeelPainterClass painter = GetPainter();
      if (painter && PainterOf(painter)->HotTracksButtons() && Enabled() && inside != FMouseInControl) {
        FMouseInControl = inside;
        Repaint();
      }
      return;
    }
    case CM_ENABLEDCHANGED:
      FMouseInControl = false;
      break;
    default: break;
  }
  TButton::Dispatch(Message);
}

void TcxCustomButton::PaintButton(TcxCanvas* ACanvas, TcxButtonState AState) {
  if (!GetPainter()) return;
  const TcxCustomLookAndFeelPainter* painter = PainterOf(GetPainter());
  const TRect client = ClientRect();
  TRect content = client;
  TRect part;
  TcxButtonState mainState = AState;
  if (FKind == cxbkDropDown && FMenuVisible) mainState = AState = cxbsPressed;
  if (FKind == cxbkDropDownButton) {
    part = Rect(client.Right - cxDropDownPartWidth, client.Top, client.Right, client.Bottom);
    content.Right = part.Left + 2;
    if (FLockDown && mainState == cxbsPressed) mainState = cxbsNormal;
  }

  // The caption takes the painter's text colour unless OnGetDrawParams
  // changes the font.
  const TColor textColor = painter->ButtonGlyphColor(mainState);
  TFont font;
  font.Assign(Font());
  font.SetColor(textColor);
  TColor color = FColors->Color(mainState);
  OnGetDrawParams(this, mainState, &font, color);
  ACanvas->SetFont(&font);
  painter->PaintCaptionButton(ACanvas, content, textColor, color, true, mainState, String());
  ACanvas->SetFont(&font);
  PaintContent(ACanvas, content, mainState, painter);

  if (FKind == cxbkDropDownButton) {
    painter->PaintCaptionButton(ACanvas, part, textColor, color, true, AState, String());
    painter->PaintButtonArrow(ACanvas, part, adDown, AState);
  }
  if ((Focused() || Default()) && !FMenuVisible && AState != cxbsDisabled)
    ACanvas->DrawFocusFrame(painter->FocusRectOfButton(content));
}

void TcxCustomButton::PaintContent(TcxCanvas* ACanvas, const TRect& AClient, TcxButtonState AState,
                                   const TcxCustomLookAndFeelPainter* APainter) {
  const Integer shift = AState == cxbsPressed ? APainter->PressedContentShift() : 0;
  const TSize glyph = FGlyph->CellSize();
  const String caption = Caption();
  TSize text;
  if (!caption.empty()) {
    TcxTextFlags flags = cxAlignHCenter | cxShowPrefix;
    if (FWordWrap && glyph.cx == 0)
      flags |= cxWordBreak;
    else
      flags |= cxSingleLine;
    TRect r = Rect(0, 0, AClient.Right - AClient.Left, 0);
    ACanvas->MeasureTextRect(caption, r, flags);
    text = {r.Right - r.Left, r.Bottom - r.Top};
  }
  const TcxButtonContentLayout layout =
      cxCalcButtonContentLayout(TSize{AClient.Right - AClient.Left, AClient.Bottom - AClient.Top}, glyph, text,
                                FLayout, FMargin, FSpacing, false, shift);

  TcxRegion* saved = ACanvas->CopyClipRegion();
  TRect clip = AClient;
  const Integer frame = APainter->ButtonFrameWidth(AState);
  InflateRect(clip, -frame, -frame);
  ACanvas->ClipToRect(clip);
  FGlyph->Draw(ACanvas, Point(AClient.Left + layout.GlyphPos.X, AClient.Top + layout.GlyphPos.Y), AState);
  if (!caption.empty()) {
    TRect r = layout.TextRect;
    OffsetRect(r, AClient.Left, AClient.Top);
    const TcxTextFlags flags =
        cxAlignHCenter | cxAlignVCenter | cxShowPrefix | (FWordWrap && glyph.cx == 0 ? cxWordBreak : cxSingleLine);
    ACanvas->GetBrush()->SetStyle(bsClear);
    if (AState == cxbsDisabled) {
      const TColor fontColor = ACanvas->GetFont()->Color();
      TRect shadow = r;
      OffsetRect(shadow, 1, 1);
      ACanvas->GetFont()->SetColor(clBtnHighlight);
      ACanvas->DrawTextWithFlags(caption, shadow, true, flags);
      ACanvas->GetFont()->SetColor(clBtnShadow);
      ACanvas->DrawTextWithFlags(caption, r, true, flags);
      ACanvas->GetFont()->SetColor(fontColor);
    } else {
      ACanvas->DrawTextWithFlags(caption, r, true, flags);
    }
  }
  ACanvas->ApplyClipRegion(saved, roCopy, true);
}
