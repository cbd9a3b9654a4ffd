#include "editors/cxDropDownEdit.h"

#include <algorithm>
#include <optional>

#include "foundation/cxStandardPainters.h"
#include "platform/gui/sysmetrics.h"
#include "platform/gui/windowing.h"

namespace {

struct TStyleWidths {
  Integer Border;
  Integer ClientEdge;
};
// In TcxEditPopupBorderStyle order.
constexpr TStyleWidths kStyleWidths[] = {{0, 0}, {1, 2}, {4, 2}, {2, 1}};
constexpr TStyleWidths kNativeWidths = {1, 2};

bool GripOnLeft(TcxEditPopupGripCorner C) { return C == epgcTopLeft || C == epgcBottomLeft; }
bool GripOnTop(TcxEditPopupGripCorner C) { return C == epgcTopLeft || C == epgcTopRight; }

// One line of AColor around R; R shrinks by it.
void DrawLineRing(TcxCanvas* ACanvas, TRect& R, TColor AColor) {
  ACanvas->DrawBorderBands(R, AColor, cxAllBorders, 1);
  InflateRect(R, -1, -1);
}

void FillArea(TcxCanvas* ACanvas, const TRect& R, TColor AColor) {
  ACanvas->GetBrush()->SetColor(AColor);
  ACanvas->Canvas()->FillRect(R);
}

// A one-line 3-D ring; R shrinks by it.
void DrawEdgeLine(TcxCanvas* ACanvas, TRect& R, bool ASunken, bool AOuter) {
  ACanvas->DrawEdgeRing(R, ASunken, AOuter, cxAllBorders);
  InflateRect(R, -1, -1);
}

}  // namespace

Integer EditPopupBorderWidth(TcxEditPopupBorderStyle AStyle, bool ANativeStyle) {
  return ANativeStyle ? kNativeWidths.Border : kStyleWidths[AStyle].Border;
}

Integer EditPopupClientEdgeWidth(TcxEditPopupBorderStyle AStyle, bool ANativeStyle) {
  return ANativeStyle ? kNativeWidths.ClientEdge : kStyleWidths[AStyle].ClientEdge;
}

TcxEditPopupSizingDirection EditPopupGripDirection(TcxEditPopupGripCorner ACorner) {
  return {GripOnLeft(ACorner) ? -1 : 1, GripOnTop(ACorner) ? -1 : 1};
}

TCursor EditPopupSizingCursor(const TcxEditPopupSizingDirection& D) {
  if (D.H != 0 && D.V != 0) return D.H == D.V ? crSizeNWSE : crSizeNESW;
  if (D.V != 0) return crSizeNS;
  if (D.H != 0) return crSizeWE;
  return crDefault;
}

TcxEditPopupGripCorner EditPopupGripCornerFor(const TRect& AOwner, const TRect& APopup, TcxPopupAlignHorz AAlign,
                                             const TRect& AWorkArea) {
  const bool below = APopup.Top >= AOwner.Bottom;
  const bool right = (AAlign == pahLeft && APopup.Left == AOwner.Left) || AWorkArea.Left >= AOwner.Left ||
                     (AAlign == pahRight && APopup.Right != AOwner.Right) ||
                     (AAlign == pahCenter && AWorkArea.Right - AOwner.Right >= AOwner.Left - AWorkArea.Left);
  static constexpr TcxEditPopupGripCorner kCorners[] = {epgcTopLeft, epgcBottomLeft, epgcTopRight,
                                                        epgcBottomRight};
  return kCorners[2 * (right ? 1 : 0) + (below ? 1 : 0)];
}

// ---- TcxCustomEditPopupWindowViewInfo --------------------------------------------------------

Integer TcxCustomEditPopupWindowViewInfo::ClientEdgeWidthValue() const {
  return ClientEdge ? EditPopupClientEdgeWidth(PopupBorderStyle, NativeStyle) : 0;
}

Integer TcxCustomEditPopupWindowViewInfo::CalculateSysPanelHeight() const {
  Integer h = std::max(GetSystemMetrics(SM_CYHSCROLL), GetSystemMetrics(SM_CYSIZE));
  return std::max(h, MinSysPanelHeight);
}

TRect TcxCustomEditPopupWindowViewInfo::GetFrameExtents() const {
  const Integer side = BorderWidthValue() + ClientEdgeWidthValue();
  TRect r{side, side, side, side};
  if (Shadow) {
    r.Right += cxEditPopupShadowWidth;
    r.Bottom += cxEditPopupShadowWidth;
  }
  if (SysPanel) {
    const Integer panel = CalculateSysPanelHeight() + (HasSeparator() ? 1 : 0);
    (GripOnTop(SizeGripCorner) ? r.Top : r.Bottom) += panel;
  }
  return r;
}

TSize TcxCustomEditPopupWindowViewInfo::GetMinSize() const {
  const TRect e = GetFrameExtents();
  TSize size{e.Left + e.Right, e.Top + e.Bottom};
  if (Sizeable && SysPanel) {
    // The rectangles as Calculate would make them, for any bounds.
    const Integer panel = CalculateSysPanelHeight();
    const Integer grip = panel - 2;
    const Integer close = CloseButton ? panel - 4 : 0;
    size.cx += close + grip + cxEditPopupPanelSpacing;
  }
  return size;
}

TRect TcxCustomEditPopupWindowViewInfo::FrameRect() const {
  TRect r = Bounds;
  if (Shadow) {
    r.Right -= cxEditPopupShadowWidth;
    r.Bottom -= cxEditPopupShadowWidth;
  }
  return r;
}

void TcxCustomEditPopupWindowViewInfo::Calculate() {
  OffsetRect(Bounds, -Bounds.Left, -Bounds.Top);
  const TRect e = GetFrameExtents();
  ClientRect = {Bounds.Left + e.Left, Bounds.Top + e.Top, Bounds.Right - e.Right, Bounds.Bottom - e.Bottom};
  SizingOffset = std::max(GetSystemMetrics(SM_CYHSCROLL), GetSystemMetrics(SM_CYSIZE));
  SizingRegion = FrameRect();
  const Integer inset = BorderWidthValue() + (SysPanel ? 0 : ClientEdgeWidthValue());
  InflateRect(SizingRegion, -inset, -inset);
  SysPanelHeight = SysPanel ? CalculateSysPanelHeight() : 0;
  SysPanelRect = SizeGripRect = CloseButtonRect = TRect{};
  if (!SysPanel) return;

  const bool top = GripOnTop(SizeGripCorner);
  const bool left = GripOnLeft(SizeGripCorner);
  const TRect& s = SizingRegion;
  SysPanelRect = top ? TRect{s.Left, s.Top, s.Right, s.Top + SysPanelHeight}
                     : TRect{s.Left, s.Bottom - SysPanelHeight, s.Right, s.Bottom};
  if (Sizeable) {
    const Integer side = SysPanelHeight - 2;
    const Integer x = left ? s.Left : s.Right - side;
    const Integer y = top ? s.Top : s.Bottom - side;
    SizeGripRect = ::Bounds(x, y, side, side);
  }
  if (CloseButton) {
    // On the side opposite the grip, 3 pixels in from the side and 2 from
    // the panel's outer edge.
    const Integer side = SysPanelHeight - 4;
    const Integer x = left ? s.Right - 3 - side : s.Left + 3;
    const Integer y = top ? s.Top + 2 : s.Bottom - 2 - side;
    CloseButtonRect = ::Bounds(x, y, side, side);
  }
}

TcxEditPopupSizingDirection TcxCustomEditPopupWindowViewInfo::GetSizingDirection(const TPoint& P) const {
  if (!Sizeable || !PtInRect(Bounds, P)) return {};
  if (PtInRect(SizeGripRect, P)) return EditPopupGripDirection(SizeGripCorner);
  if (PtInRect(SizingRegion, P)) return {};
  TcxEditPopupSizingDirection d;
  if (GripOnLeft(SizeGripCorner)) {
    if (P.X < Bounds.Left + SizingOffset) d.H = -1;
  } else if (P.X >= Bounds.Right - SizingOffset) {
    d.H = 1;
  }
  if (GripOnTop(SizeGripCorner)) {
    if (P.Y < Bounds.Top + SizingOffset) d.V = -1;
  } else if (P.Y >= Bounds.Bottom - SizingOffset) {
    d.V = 1;
  }
  return d;
}

void TcxCustomEditPopupWindowViewInfo::Render(TcxCanvas* ACanvas) {
  TRect r = FrameRect();
  if (Shadow) DrawContainerShadow(ACanvas, r);
  DrawFrame(ACanvas, r);
  FillArea(ACanvas, ClientRect, clBtnFace);
  DrawClientEdge(ACanvas);
  DrawSysPanel(ACanvas);
}

void TcxCustomEditPopupWindowViewInfo::DrawFrame(TcxCanvas* ACanvas, TRect& R) {
  if (NativeStyle || PopupBorderStyle == epbsSingle) {
    DrawLineRing(ACanvas, R, clBtnText);
    return;
  }
  if (PopupBorderStyle == epbsDefault) return;
  DrawEdgeLine(ACanvas, R, false, true);
  DrawEdgeLine(ACanvas, R, false, false);
  if (PopupBorderStyle == epbsFrame3D) DrawFrame3DInner(ACanvas, R);
}

void TcxCustomEditPopupWindowViewInfo::DrawFrame3DInner(TcxCanvas* ACanvas, TRect& R) {
  if (ClientEdge) {
    DrawLineRing(ACanvas, R, clInactiveBorder);
    DrawLineRing(ACanvas, R, clBtnFace);
  } else {
    DrawLineRing(ACanvas, R, clBtnFace);
    DrawEdgeLine(ACanvas, R, true, true);
  }
}

void TcxCustomEditPopupWindowViewInfo::DrawClientEdge(TcxCanvas* ACanvas) {
  const Integer w = ClientEdgeWidthValue();
  if (w == 0) return;
  TRect r = ClientRect;
  InflateRect(r, w, w);
  DrawEdgeLine(ACanvas, r, true, true);
  if (w > 1) DrawEdgeLine(ACanvas, r, true, false);
}

void TcxCustomEditPopupWindowViewInfo::DrawSysPanel(TcxCanvas* ACanvas) {
  if (!SysPanel) return;
  FillArea(ACanvas, SysPanelRect, clBtnFace);
  if (HasSeparator()) {
    const bool top = GripOnTop(SizeGripCorner);
    const Integer y = top ? SysPanelRect.Bottom : SysPanelRect.Top - 1;
    FillArea(ACanvas, TRect{SysPanelRect.Left, y, SysPanelRect.Right, y + 1}, clBtnText);
  }
  if (!IsRectEmpty(CloseButtonRect)) {
    const TcxCustomLookAndFeelPainter* painter = PainterOf(TcxStandardLookAndFeelPainter::StaticClass());
    painter->PaintCloseButton(ACanvas, CloseButtonRect, CloseButtonState);
  }
  DrawSizeGrip(ACanvas);
}

void TcxCustomEditPopupWindowViewInfo::DrawSizeGrip(TcxCanvas* ACanvas) {
  if (IsRectEmpty(SizeGripRect)) return;
  // Groups of four diagonal lines (face, shadow, shadow, highlight counted
  // from the grip's outer corner, 2 pixels in from its outer sides), one
  // group per 4 pixels (more for a taller panel); drawn for the bottom-right
  // corner and mirrored for the others.
  const TRect& g = SizeGripRect;
  const Integer span = g.Width() - 2;
  const Integer step = std::max(1, (SysPanelHeight - 2) / 12) * 4;
  const bool left = GripOnLeft(SizeGripCorner);
  const bool top = GripOnTop(SizeGripCorner);
  // (dx, dy) from the outer corner, counted inward.
  auto plot = [&](Integer dx, Integer dy, TColor AColor) {
    const Integer x = left ? g.Left + 2 + dx : g.Right - 3 - dx;
    const Integer y = top ? g.Top + 2 + dy : g.Bottom - 3 - dy;
    if (PtInRect(g, TPoint{x, y})) ACanvas->SetPixel(x, y, AColor);
  };
  static constexpr TColor kLineColors[] = {clBtnHighlight, clBtnShadow, clBtnShadow, clBtnFace};
  for (Integer group = 1; group * step <= span; ++group)
    for (Integer line = 0; line < 4; ++line) {
      const Integer d = group * step - 1 - line;  // the line's distance from the corner
      if (d < 0) continue;
      for (Integer i = 0; i <= d; ++i) plot(i, d - i, kLineColors[line]);
    }
}

void TcxPopupEditPopupWindowViewInfo::DrawFrame3DInner(TcxCanvas* ACanvas, TRect& R) {
  DrawLineRing(ACanvas, R, clInactiveBorder);
  DrawLineRing(ACanvas, R, clBtnFace);
}

// ---- TcxCustomEditPopupWindow ----------------------------------------------------------------

TcxPopupEditPopupWindow::TcxPopupEditPopupWindow(TWinControl* AOwnerControl, IcxEditPopupWindowOwner* AOwner,
                                                 std::unique_ptr<TcxCustomEditPopupWindowViewInfo> AViewInfo)
    : TcxCustomEditPopupWindow(AOwnerControl, AOwner,
                               AViewInfo ? std::move(AViewInfo)
                                         : std::make_unique<TcxPopupEditPopupWindowViewInfo>()) {}

TcxCustomEditPopupWindow::TcxCustomEditPopupWindow(TWinControl* AOwnerControl, IcxEditPopupWindowOwner* AOwner,
                                                   std::unique_ptr<TcxCustomEditPopupWindowViewInfo> AViewInfo)
    : TcxCustomPopupWindow(AOwnerControl), FEditOwner(AOwner), FEditViewInfo(std::move(AViewInfo)) {
  if (!FEditViewInfo) FEditViewInfo = std::make_unique<TcxCustomEditPopupWindowViewInfo>();
  FEditViewInfo->CloseButtonState = cxbsNormal;
  // The popup sizes itself (CalculateSize), not around its children.
  SetAdjustable(false);
}

TcxCustomEditPopupWindow::~TcxCustomEditPopupWindow() = default;

bool TcxCustomEditPopupWindow::LimitToWorkArea() { return FEditOwner->PopupLimitedToWorkArea(); }

TSize TcxCustomEditPopupWindow::CalculateSize(Integer AOwnerWidth) {
  FEditViewInfo->SizeGripCorner = epgcBottomRight;
  const TRect e = FEditViewInfo->GetFrameExtents();
  const TSize minSize = FEditViewInfo->GetMinSize();
  const bool sizeable = Sizeable();
  TSize size;
  if (FAutoSize) {
    const TSize content = FEditOwner->PopupContentSize();
    size = {e.Left + e.Right + content.cx, e.Top + e.Bottom + content.cy};
  } else {
    size.cx = FPopupWidth != 0 ? FPopupWidth : AOwnerWidth;
    size.cy = FPopupHeight != 0 ? FPopupHeight : std::max(FMinHeight, minSize.cy);
  }
  if (sizeable) {
    size.cx = std::max(size.cx, FMinWidth);
    size.cy = std::max(size.cy, FMinHeight);
  }
  return {std::max(size.cx, minSize.cx), std::max(size.cy, minSize.cy)};
}

bool TcxCustomEditPopupWindow::AcceptNewSize(Integer& AWidth, Integer& AHeight) {
  if (!Sizeable() || (AWidth == Width() && AHeight == Height())) return true;
  const TSize minSize = FEditViewInfo->GetMinSize();
  AWidth = std::max({AWidth, minSize.cx, FMinWidth});
  AHeight = std::max({AHeight, minSize.cy, FMinHeight});
  const TRect e = FEditViewInfo->GetFrameExtents();
  TSize client{AWidth - e.Left - e.Right, AHeight - e.Top - e.Bottom};
  const TRect work = MonitorWorkAreaAt(ClientToScreen(TPoint{0, 0}));
  const Integer available = work.Bottom - ClientToScreen(TPoint{0, 0}).Y - e.Top - e.Bottom;
  if (!FEditOwner->AdjustPopupClientSize(client, available)) return false;
  AWidth = std::max(e.Left + e.Right + client.cx, minSize.cx);
  AHeight = std::max(e.Top + e.Bottom + client.cy, minSize.cy);
  return true;
}

void TcxCustomEditPopupWindow::RecalculateViewInfo() {
  FEditViewInfo->Bounds = TRect{0, 0, Width(), Height()};
  FEditViewInfo->Calculate();
  FEditOwner->PopupClientRectChanged(FEditViewInfo->ClientRect);
}

void TcxCustomEditPopupWindow::Paint() { FEditViewInfo->Render(cxCanvas()); }

void TcxCustomEditPopupWindow::Resize() {
  inherited::Resize();
  RecalculateViewInfo();
  Invalidate();
}

TRect TcxCustomEditPopupWindow::OwnerScreenRect() const {
  TControl* parent = OwnerParent();
  TRect r = OwnerBounds();
  if (!parent) {
    if (!OwnerControl()) return r;
    parent = OwnerControl();
    r = OwnerControl()->ClientRect();
  }
  const TPoint tl = parent->ClientToScreen(r.TopLeft());
  return Bounds(tl.X, tl.Y, r.Width(), r.Height());
}

void TcxCustomEditPopupWindow::CalculatePosition(TPoint& P) {
  inherited::CalculatePosition(P);
  const TRect owner = OwnerScreenRect();
  const TRect popup = Bounds(P.X, P.Y, Width(), Height());
  const TRect work = MonitorWorkAreaAt(TPoint{owner.Left, owner.Top});
  FEditViewInfo->SizeGripCorner = EditPopupGripCornerFor(owner, popup, AlignHorz(), work);
  if (Shadow() && popup.Top < owner.Bottom) P.Y += cxEditPopupShadowWidth;
}

void TcxCustomEditPopupWindow::Dispatch(TMessage& Message) {
  if (Message.Msg == CXM_POPUPCHAR) {
    HWND focused = GetFocus();
    if (Visible() && focused) SendMessage(focused, WM_CHAR, Message.WParam, 0);
    return;
  }
  inherited::Dispatch(Message);
}

void TcxCustomEditPopupWindow::SetCloseButtonState(TcxButtonState AState) {
  if (FEditViewInfo->CloseButtonState == AState) return;
  FEditViewInfo->CloseButtonState = AState;
  Invalidate();
}

void TcxCustomEditPopupWindow::UpdateCursor(const TPoint& P) {
  SetCursor(EditPopupSizingCursor(FEditViewInfo->GetSizingDirection(P)));
}

void TcxCustomEditPopupWindow::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  const TPoint p{X, Y};
  if (PtInRect(FEditViewInfo->CloseButtonRect, p)) {
    SetCloseButtonState(cxbsPressed);
    return;
  }
  const TcxEditPopupSizingDirection d = FEditViewInfo->GetSizingDirection(p);
  if (d == TcxEditPopupSizingDirection{}) return;
  SetMouseCapture(true);
  FSizing = true;
  FSizingDirection = d;
  FSizingStartBounds = BoundsRect();
  FSizingStartPos = ClientToScreen(p);
  SetCursor(EditPopupSizingCursor(d));
}

void TcxCustomEditPopupWindow::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseMove(Shift, X, Y);
  const TPoint p{X, Y};
  if (FSizing) {
    DoSizing(ClientToScreen(p));
    return;
  }
  const bool inside = PtInRect(FEditViewInfo->CloseButtonRect, p);
  if (FEditViewInfo->CloseButtonState == cxbsPressed) {
    if (!(Shift & ssLeft)) SetCloseButtonState(inside ? cxbsHot : cxbsNormal);
  } else {
    SetCloseButtonState(inside ? cxbsHot : cxbsNormal);
  }
  UpdateCursor(p);
}

void TcxCustomEditPopupWindow::DoSizing(const TPoint& AScreenPos) {
  const TRect start = FSizingStartBounds;
  const TcxEditPopupSizingDirection d = FSizingDirection;
  Integer w = start.Width() + d.H * (AScreenPos.X - FSizingStartPos.X);
  Integer h = start.Height() + d.V * (AScreenPos.Y - FSizingStartPos.Y);
  if (!AcceptNewSize(w, h)) return;
  // The edge opposite the grip stays where it was.
  TRect r = start;
  if (d.H > 0) r.Right = r.Left + w;
  if (d.H < 0) r.Left = r.Right - w;
  if (d.V > 0) r.Bottom = r.Top + h;
  if (d.V < 0) r.Top = r.Bottom - h;
  // At least one pixel of horizontal contact with the owner.
  const TRect owner = OwnerScreenRect();
  if (r.Right <= owner.Left) r.Right = owner.Left + 1;
  if (r.Left >= owner.Right) r.Left = owner.Right - 1;
  const TRect work = MonitorWorkAreaAt(TPoint{(owner.Left + owner.Right) / 2, (owner.Top + owner.Bottom) / 2});
  TRect clipped;
  if (IntersectRect(clipped, r, work)) r = clipped;
  if (r == BoundsRect()) return;
  SetBoundsRect(r);
  FEditOwner->PopupResizedByUser();
}

void TcxCustomEditPopupWindow::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  const TPoint p{X, Y};
  if (FSizing) {
    FSizing = false;
    SetMouseCapture(false);
    RecalculateViewInfo();
    UpdateCursor(p);
    return;
  }
  if (FEditViewInfo->CloseButtonState != cxbsPressed) return;
  if (!PtInRect(FEditViewInfo->CloseButtonRect, p)) {
    SetCloseButtonState(cxbsNormal);
    return;
  }
  if (CloseQuery()) FEditOwner->ClosePopup(false);
  SetCloseButtonState(Visible() ? cxbsHot : cxbsNormal);
}

void TcxCustomEditPopupWindow::CMMouseLeave(TMessage& Message) {
  inherited::CMMouseLeave(Message);
  if (FSizing) return;
  SetCloseButtonState(cxbsNormal);
  SetCursor(crDefault);
}

// ---------------------------------------------------------------------------
// TcxCustomDropDownEditProperties

TcxCustomDropDownEditProperties::TcxCustomDropDownEditProperties(TPersistent* AOwner)
    : TcxCustomMaskEditProperties(AOwner) {
  Buttons()->Add()->SetKind(bkDown);
}

TcxCustomEditClass TcxCustomDropDownEditProperties::GetEditorClass() {
  return TcxCustomDropDownEdit::StaticClass();
}

void TcxCustomDropDownEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomDropDownEditProperties*>(Source);
  TcxUpdateScope update(this);
  TcxCustomMaskEditProperties::Assign(Source);
  if (source && source != this) {
    FImmediateDropDown = source->FImmediateDropDown;
    FImmediatePopup = source->FImmediatePopup;
    FGlyphButtonIndex = source->FGlyphButtonIndex;
    FPopupAlignment = source->FPopupAlignment;
    FPopupAutoSize = source->FPopupAutoSize;
    FPopupClientEdge = source->FPopupClientEdge;
    FPopupSizeable = source->FPopupSizeable;
    FPopupSysPanelStyle = source->FPopupSysPanelStyle;
    FPostPopupValueOnTab = source->FPostPopupValueOnTab;
    FPopupMinWidth = source->FPopupMinWidth;
    FPopupMinHeight = source->FPopupMinHeight;
    FPopupWidth = source->FPopupWidth;
    FPopupHeight = source->FPopupHeight;
    OnInitPopup = source->OnInitPopup;
    OnPopup = source->OnPopup;
    OnCloseUp = source->OnCloseUp;
    OnCloseQuery = source->OnCloseQuery;
    NotifyChanged();
  }
}

TcxEditButton* TcxCustomDropDownEditProperties::GlyphButton() const {
  TcxEditButtons* buttons = Buttons();
  return FGlyphButtonIndex < buttons->Count() ? buttons->GetButton(FGlyphButtonIndex) : nullptr;
}

TBitmap* TcxCustomDropDownEditProperties::ButtonGlyph() const {
  TcxEditButton* button = GlyphButton();
  return button && button->HasGlyph() ? button->Glyph() : nullptr;
}

void TcxCustomDropDownEditProperties::SetButtonGlyph(TBitmap* Value) {
  TcxEditButton* button = GlyphButton();
  if (!button) return;
  TcxUpdateScope update(this);
  button->SetGlyph(Value && !Value->Empty() ? Value : nullptr);
  NotifyChanged();
}

void TcxCustomDropDownEditProperties::SetGlyphButtonIndex(Integer Value) {
  Value = std::max<Integer>(Value, 0);
  if (Value == FGlyphButtonIndex) return;
  TcxUpdateScope update(this);
  TcxEditButton* old = GlyphButton();
  FGlyphButtonIndex = Value;
  TcxEditButton* button = GlyphButton();
  // Without a button to take it, the picture stays where it is.
  if (old && old->HasGlyph() && button) {
    button->SetGlyph(old->Glyph());
    old->SetGlyph(nullptr);
    if (old->Kind() == bkGlyph) old->SetKind(bkDown);
  }
  NotifyChanged();
}

void TcxCustomDropDownEditProperties::ApplyGlyphKind() {
  TcxEditButton* button = GlyphButton();
  if (!button || FApplyingGlyphKind) return;
  struct TApplying {
    bool& Flag;
    ~TApplying() { Flag = false; }
  } applying{FApplyingGlyphKind = true};
  const bool glyph = button->HasGlyph() && !button->Glyph()->Empty();
  if (glyph && button->Kind() != bkGlyph) button->SetKind(bkGlyph);
  if (!glyph && button->Kind() == bkGlyph) button->SetKind(bkDown);
}

void TcxCustomDropDownEditProperties::NotifyChanged() {
  ApplyGlyphKind();
  TcxCustomMaskEditProperties::NotifyChanged();
}

void TcxCustomDropDownEditProperties::SetPopupWidth(Integer Value) {
  Value = std::max<Integer>(Value, 0);
  if (Value > 0) Value = std::max(Value, FPopupMinWidth);
  SetValue(FPopupWidth, Value);
}

void TcxCustomDropDownEditProperties::SetPopupHeight(Integer Value) {
  SetValue(FPopupHeight, std::max(Value, FPopupMinHeight));
}

void TcxCustomDropDownEditProperties::SetPopupMinWidth(Integer Value) {
  SetValue(FPopupMinWidth, std::max<Integer>(Value, 0));
  SetPopupWidth(FPopupWidth);
}

void TcxCustomDropDownEditProperties::SetPopupMinHeight(Integer Value) {
  SetValue(FPopupMinHeight, std::max<Integer>(Value, 0));
  SetPopupHeight(FPopupHeight);
}

// ---------------------------------------------------------------------------
// TcxCustomDropDownEdit

namespace {

TcxPopupAlignHorz PopupAlignHorzOf(TAlignment AAlignment) {
  switch (AAlignment) {
    case taRightJustify: return pahRight;
    case taCenter: return pahCenter;
    default: return pahLeft;
  }
}

}  // namespace

// ---- The popup controls' look and feel and the view data ----

TcxEditPopupControlLookAndFeel::TcxEditPopupControlLookAndFeel(TcxCustomDropDownEdit* AEdit)
    : TcxLookAndFeel(AEdit), FEdit(AEdit) {}

void TcxEditPopupControlLookAndFeel::Refresh() {
  if (!FEdit || FEdit->IsDestroying()) return;
  const TcxLookAndFeel* source = FEdit->GetCurrentStyle()->LookAndFeel();
  if (!source) source = FEdit->Style()->LookAndFeel();
  if (!source) return;
  // Each setter tells its own change (a change bracket would tell a kind
  // change twice).
  if (Kind() != source->Kind()) SetKind(source->Kind());
  if (NativeStyle() != source->NativeStyle()) SetNativeStyle(source->NativeStyle());
}

TcxCustomEditViewDataClass TcxCustomDropDownEditProperties::GetViewDataClass() const {
  return TcxCustomDropDownEditViewData::StaticClass();
}

void TcxCustomDropDownEditViewData::ComputeViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                                    TcxMouseButton AButton, TShiftState AShift,
                                                    TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  TcxCustomTextEditViewData::ComputeViewInfo(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* vi = dynamic_cast<TcxCustomTextEditViewInfo*>(AViewInfo);
  if (!vi) return;
  // A focused fixed list shows its item on the selection bar, as a closed
  // list does; while the user steps the list in its select mode the
  // selection of the whole item shows instead.
  auto* edit = dynamic_cast<TcxCustomTextEdit*>(Edit);
  TcxTextEditModel* model = edit ? edit->Model() : nullptr;
  const bool selectMode = GetProperties()->FixedListSelectMode() && model && model->SelectMode();
  vi->DrawSelectionBar = Focused && GetProperties()->EditingStyle() == esFixedList && !selectMode;
  if (!vi->DrawSelectionBar) return;
  // On the bar a pending completion keeps its tail selected in the
  // swapped colours, so the completed part stands apart from what was
  // typed; otherwise the bar alone marks the item.
  if (model && model->LookupPending() && GetProperties()->FixedListSelectMode() && vi->SelStart >= 0) {
    vi->SelTextColor = clHighlight;
    vi->SelBackgroundColor = clHighlightText;
  } else {
    vi->SelStart = -1;
    vi->SelLength = 0;
  }
}

bool TcxCustomDropDownEditViewData::IsButtonPressedByMouse(TcxCustomEditViewInfo* AViewInfo, Integer AIndex) {
  auto* edit = dynamic_cast<TcxCustomDropDownEdit*>(Edit);
  if (!edit || !edit->IsHotAndPopup() || AIndex < 0 || AIndex >= AViewInfo->ButtonCount()) return true;
  return AViewInfo->Button(AIndex)->ButtonIndex != GetProperties()->DropDownButtonIndex();
}

// ---- TcxCustomDropDownEdit ----

TcxCustomDropDownEdit::TcxCustomDropDownEdit(TComponent* AOwner, bool AIsInplace,
                                             TcxEditPopupWindowFactory ACreatePopupWindow)
    : TcxCustomMaskEdit(AOwner, AIsInplace) {
  FPopupControlsLookAndFeel = std::make_unique<TcxEditPopupControlLookAndFeel>(this);
  FPopupControlsLookAndFeel->OnChanged =
      TcxLookAndFeelChangedEvent(this, &TcxCustomDropDownEdit::PopupControlsLookAndFeelChanged);
  FPopupWindow = ACreatePopupWindow ? ACreatePopupWindow(this) : new TcxCustomEditPopupWindow(this, this);
  FPopupWindow->SetOwnLoop(false);
  FPopupWindow->SetAdjustable(false);
  FPopupWindow->OnAfterShow = TNotifyEvent(this, &TcxCustomDropDownEdit::PopupWindowShowed);
  FPopupWindow->OnAfterClose = TNotifyEvent(this, &TcxCustomDropDownEdit::PopupWindowClosed);
  FPopupWindow->OnCloseQuery = TCloseQueryEvent(this, &TcxCustomDropDownEdit::PopupCloseQuery);
}

TcxCustomDropDownEdit::~TcxCustomDropDownEdit() {
  // The popup talks to this editor through its owner interface: it goes
  // while the editor is still whole.
  if (FPopupWindow) {
    FPopupWindow->OnAfterClose = nullptr;
    FPopupWindow->Free();
    FPopupWindow = nullptr;
  }
}

TcxCustomDropDownEditProperties* TcxCustomDropDownEdit::ActiveDropDownProperties() {
  return static_cast<TcxCustomDropDownEditProperties*>(ActiveProperties());
}

bool TcxCustomDropDownEdit::HasOpenPopup() const { return FPopupWindow && FPopupWindow->IsShown(); }

namespace {

// The last punctuation key of the second group and the extra key of
// 102-key keyboards (both type characters on some layouts).
constexpr Word VkOem8 = 0xDF;
constexpr Word VkOem102 = 0xE2;

// A key that types a printable character (with Shift at most): the space,
// the digits and letters, the number pad's digits and signs, and the
// punctuation keys.
bool IsCharacterKey(Word Key) {
  return Key == VK_SPACE || (Key >= u'0' && Key <= u'9') || (Key >= u'A' && Key <= u'Z') ||
         (Key >= VK_NUMPAD0 && Key <= VK_DIVIDE && Key != VK_SEPARATOR) || (Key >= VK_OEM_1 && Key <= VK_OEM_3) ||
         (Key >= VK_OEM_4 && Key <= VkOem8) || Key == VkOem102;
}

}  // namespace

bool TcxCustomDropDownEdit::IsEditorKey(Word Key, TShiftState Shift) {
  if (IsInplace() && HasOpenPopup()) return !IsCharacterKey(Key) || (Shift & (ssCtrl | ssAlt));
  return TcxCustomMaskEdit::IsEditorKey(Key, Shift);
}

// Fires an event of the own properties, then of the repository item's.
template <class TFire>
void FireForPropertySets(TcxCustomDropDownEdit* AEdit, TFire AFire) {
  AFire(static_cast<TcxCustomDropDownEditProperties*>(AEdit->Properties()));
  if (TcxEditRepositoryItem* item = AEdit->RepositoryItem())
    if (auto* p = dynamic_cast<TcxCustomDropDownEditProperties*>(item->Properties())) AFire(p);
}

void TcxCustomDropDownEdit::DoInitPopup() {
  FireForPropertySets(this, [this](TcxCustomDropDownEditProperties* p) { if (p->OnInitPopup) p->OnInitPopup(this); });
}

void TcxCustomDropDownEdit::DoPopup() {
  FireForPropertySets(this, [this](TcxCustomDropDownEditProperties* p) { if (p->OnPopup) p->OnPopup(this); });
}

void TcxCustomDropDownEdit::DoCloseUp() {
  FireForPropertySets(this, [this](TcxCustomDropDownEditProperties* p) { if (p->OnCloseUp) p->OnCloseUp(this); });
}

void TcxCustomDropDownEdit::PopupCloseQuery(TObject*, bool& CanClose) {
  FireForPropertySets(this, [this, &CanClose](TcxCustomDropDownEditProperties* p) {
    if (p->OnCloseQuery) p->OnCloseQuery(this, CanClose);
  });
}

TWinControl* TcxCustomDropDownEdit::PopupFocusedControl() { return InnerEdit(); }

TRect TcxCustomDropDownEdit::GetPopupOwnerBounds() {
  TRect r = BoundsRect();
  if (Style()->Shadow()) r.Right += cxEditPopupShadowWidth;
  return r;
}

void TcxCustomDropDownEdit::SetupPopupWindow() {
  TcxCustomDropDownEditProperties* p = ActiveDropDownProperties();
  TcxCustomEditPopupWindow* w = FPopupWindow;
  w->SetOwnerParent(Parent());
  // The content is measured in the font the popup shows it in (the owner's),
  // so the popup is sized for the rows it really shows.
  w->TakeOwnerFont();
  w->SetOwnerBounds(GetPopupOwnerBounds());
  w->SetAlignHorz(PopupAlignHorzOf(p->PopupAlignment()));
  w->SetClientEdge(p->PopupClientEdge());
  w->SetMinWidth(p->PopupMinWidth());
  w->SetMinHeight(p->PopupMinHeight());
  w->SetPopupAutoSize(p->PopupAutoSize());
  w->SetSizeable(p->PopupSizeable());
  w->SetSysPanelStyle(p->PopupSysPanelStyle());
  const bool remembered = p->PopupSizeable() && FRememberedSize.cx > 0;
  w->SetPopupWidth(remembered ? FRememberedSize.cx : p->PopupWidth());
  w->SetPopupHeight(remembered ? FRememberedSize.cy : p->PopupHeight());
  w->SetPopupBorderStyle(Style()->PopupBorderStyle());
  FPopupControlsLookAndFeel->Refresh();
  w->SetNativeStyle(FPopupControlsLookAndFeel->NativeStyle());
  w->SetShadow(Style()->Shadow());
}

void TcxCustomDropDownEdit::LayoutPopupWindow() {
  TcxCustomDropDownEditProperties* p = ActiveDropDownProperties();
  if (FPopupWindow->TakesFocus() != p->PopupWindowCapturesFocus())
    FPopupWindow->ChangeTakesFocus(p->PopupWindowCapturesFocus());
  SetupPopupWindow();
  FPopupWindow->GetViewInfo()->Calculate();
  const TSize size = FPopupWindow->CalculateSize(GetPopupOwnerBounds().Width());
  FPopupWindow->SetBounds(FPopupWindow->Left(), FPopupWindow->Top(), size.cx, size.cy);
  TPoint pos;
  FPopupWindow->CalculatePosition(pos);
  TRect bounds = Bounds(pos.X, pos.Y, size.cx, size.cy);
  FPopupWindow->AdjustToWorkArea(bounds);
  FPopupWindow->SetBoundsRect(bounds);
  FPopupWindow->RecalculateViewInfo();
}

void TcxCustomDropDownEdit::DropDown() {
  DoInitPopup();
  if (!FPopupWindow || HasOpenPopup()) return;
  PreparePopup();
  if (!CanDropDown()) return;
  // The lookup starts over from the item the text names (none when no item
  // does); one that is current already stays, so opening tells no change.
  LocateTextItem();
  LayoutPopupWindow();
  // The message names the focus control by its window: a control freed
  // before it arrives is not touched.
  PostShowPopup(FPopupWindow, PopupFocusedControl());
  FShowPending = true;
}

void TcxCustomDropDownEdit::TakeLookupItem() {
  TcxCustomTextEditLookupData* lookup = Model()->LookupData();
  if (!lookup || lookup->CurrentIndex() < 0) return;
  const String text = lookup->GetItemText(lookup->CurrentIndex());
  if (text == Text() || !DoEditing()) return;
  Model()->SetText(text);
  SyncInnerEdit();
  SetModified(true);
  // A pick is a change like a typed or stepped one: OnChange and
  // OnEditValueChanged (collected while the caller locks them).
  DoChangeNotice();
}

void TcxCustomDropDownEdit::ClosePopup(bool AAccept) {
  if (!HasOpenPopup()) {
    CancelPendingPopup();
    return;
  }
  if (AAccept) {
    LockChangeEvents(true);
    try {
      TakeLookupItem();
      if (!ActiveDropDownProperties()->PostPopupValueOnClose() && ActiveProperties()->ImmediatePost() && !IsLoading())
        PostEditValue(true);
    } catch (...) {
      LockChangeEvents(false);
      FPopupWindow->ClosePopup(false);
      throw;
    }
    LockChangeEvents(false);
  }
  FPopupWindow->ClosePopup(false);
}

void TcxCustomDropDownEdit::CancelPendingPopup() {
  if (!FShowPending) return;
  FShowPending = false;
  if (FPopupWindow->HandleAllocated()) RemoveMessages(FPopupWindow->Handle(), CXM_SHOWPOPUP);
  if (!HasOpenPopup()) PopupShowCancelled();
}

void TcxCustomDropDownEdit::PopupWindowShowed(TObject*) {
  FShowPending = false;
  // The popup may show after the release of the press that opened it: a
  // second press on the drop-down button only closes it again.
  FIsHotAndPopup = true;
  FPopupWindow->SetClosedByOwnerClick(false);
  SetSelection(Model()->Length(), 0);
  FPopupWindow->RecalculateViewInfo();
  TcxDestroyGuard guard(this);
  DoPopup();
  if (!guard.Alive()) return;
  // What the user typed before the popup took the focus finds its item.
  TcxCustomTextEditLookupData* lookup = Model()->LookupData();
  if (lookup && FTypedInto && ActiveDropDownProperties()->ImmediateDropDown() && FPopupWindow->TakesFocus() &&
      Model()->LookupItemCount() > 0) {
    String typed = Text().substr(0, static_cast<size_t>(std::max<Integer>(SelStart(), 0)));
    String tail;
    lookup->FindTextItem(typed, tail, false, false);
  }
  FTypedInto = false;
  FPopupSizeChanged = false;
}

void TcxCustomDropDownEdit::HandleInnerEditChange() {
  TcxCustomMaskEdit::HandleInnerEditChange();
  if (!IsDestroying() && Focused()) FTypedInto = true;
}

void TcxCustomDropDownEdit::PopupWindowClosed(TObject*) {
  FShowPending = false;
  // A press on the editor closed it: that press (still on its way) must not
  // open it again.
  FIsHotAndPopup = FPopupWindow->ClosedByOwnerClick();
  if (ActiveDropDownProperties()->PopupSizeable() && FPopupSizeChanged) {
    FRememberedSize = {FPopupWindow->Width(), FPopupWindow->Height()};
    if (auto* data = dynamic_cast<TcxCustomDropDownEditData*>(EditData()); data && IsInplace()) {
      data->SizeChanged = true;
      data->Width = FRememberedSize.cx;
      data->Height = FRememberedSize.cy;
    }
    if (!IsInplace()) {
      auto* own = static_cast<TcxCustomDropDownEditProperties*>(Properties());
      own->SetPopupWidth(FRememberedSize.cx);
      own->SetPopupHeight(FRememberedSize.cy);
    }
  }
  FPopupSizeChanged = false;
  if (ActiveTextProperties()->EditingStyle() == esFixedList) SelectWholeText();
  TcxDestroyGuard guard(this);
  DoCloseUp();
  if (!guard.Alive()) return;
  TcxCustomDropDownEditProperties* p = ActiveDropDownProperties();
  if (p->PostPopupValueOnClose() && p->ImmediatePost() && !IsLoading() && IsModified()) PostEditValue(true);
}

void TcxCustomDropDownEdit::HandleStateChange(const TPoint& P, Integer AButton, bool ARefresh, TShiftState AShift) {
  TcxDestroyGuard guard(this);
  TcxCustomMaskEdit::HandleStateChange(P, AButton, ARefresh, AShift);
  if (!guard.Alive()) return;
  if (AButton != cxmbNone && HasOpenPopup() && GetButtonAt(P) < 0) {
    ClosePopup(false);
    if (!guard.Alive()) return;
  }
  FIsHotAndPopup = HasOpenPopup();
  FPopupControlsLookAndFeel->Refresh();
}

void TcxCustomDropDownEdit::StoreEditData(TcxCustomEditData* AEditData) {
  TcxCustomMaskEdit::StoreEditData(AEditData);
  auto* data = dynamic_cast<TcxCustomDropDownEditData*>(AEditData);
  if (!data) return;
  TcxCustomDropDownEditProperties* p = ActiveDropDownProperties();
  data->SizeChanged = false;
  data->Width = p->PopupWidth();
  data->Height = p->PopupHeight();
}

void TcxCustomDropDownEdit::ActivateInplace(TcxCustomEditData*& AEditData) {
  TcxCustomMaskEdit::ActivateInplace(AEditData);
  TcxCustomDropDownEditProperties* p = ActiveDropDownProperties();
  auto* data = dynamic_cast<TcxCustomDropDownEditData*>(AEditData);
  FRememberedSize = data && data->SizeChanged && p->PopupSizeable() ? TSize{data->Width, data->Height} : TSize{0, 0};
  if (p->ImmediatePopup() && !HasOpenPopup() && !FShowPending) DropDown();
}

void TcxCustomDropDownEdit::PropertiesChanged(TObject* Sender) {
  if (!ActiveDropDownProperties()->PopupSizeable()) FRememberedSize = {0, 0};
  if (HasOpenPopup()) LayoutPopupWindow();
  TcxCustomMaskEdit::PropertiesChanged(Sender);
}

std::unique_ptr<TcxTextEditModel> TcxCustomDropDownEdit::CreateModel(TcxCustomTextEditProperties* AProperties) {
  std::unique_ptr<TcxTextEditModel> model = TcxCustomMaskEdit::CreateModel(AProperties);
  model->SetAllowsLookupStepping(!IsInplace());
  return model;
}

void TcxCustomDropDownEdit::EditKeyDown(Word& Key, TShiftState Shift) {
  const bool alt = Shift & ssAlt;
  if (((Key == VK_UP || Key == VK_DOWN) && alt) || (Key == VK_F4 && !alt)) {
    if (HasOpenPopup()) ClosePopup(true);
    else DropDown();
    Key = 0;
    return;
  }
  if ((Key == VK_RETURN || Key == VK_ESCAPE) && !alt && HasOpenPopup()) {
    ClosePopup(Key == VK_RETURN && DoEditing());
    if (!HasOpenPopup()) {
      if (Key == VK_ESCAPE) ReleaseCapture();
      Key = 0;
    }
    return;
  }
  TcxCustomMaskEdit::EditKeyDown(Key, Shift);
}

bool TcxCustomDropDownEdit::IsLookupStepKey(Word Key) {
  return Key == VK_UP || Key == VK_DOWN || Key == VK_PRIOR || Key == VK_NEXT || Key == VK_HOME || Key == VK_END;
}

void TcxCustomDropDownEdit::HandleKeyPressed(Char& Key) {
  TcxCustomDropDownEditProperties* p = ActiveDropDownProperties();
  if (Key >= u' ' && p->ImmediateDropDown() && !HasOpenPopup() && !FShowPending && CanDropDown())
    Perform(CXM_DROPDOWN);
  // Queued behind the message that shows the popup; a popup that is not
  // showing would drop the character, so the editor keeps it then.
  const bool showing = HasOpenPopup() || FShowPending;
  if (Key >= u' ' && showing && FPopupWindow->TakesFocus() && CanDropDown() && PopupFocusedControl()) {
    PostMessage(FPopupWindow->Handle(), CXM_POPUPCHAR, static_cast<WPARAM>(Key), 0);
    Key = 0;
    return;
  }
  TcxCustomMaskEdit::HandleKeyPressed(Key);
}

void TcxCustomDropDownEdit::ButtonDown(Integer AButtonIndex) {
  TcxCustomMaskEdit::ButtonDown(AButtonIndex);
  // A show already on its way (an activation by this very click with
  // ImmediatePopup) is not asked for twice.
  if (AButtonIndex == ActiveDropDownProperties()->DropDownButtonIndex() && !HasOpenPopup() && !FShowPending)
    DropDown();
}

void TcxCustomDropDownEdit::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxDestroyGuard guard(this);
  TcxCustomMaskEdit::MouseDown(Button, Shift, X, Y);
  if (!guard.Alive() || Button != mbLeft || !ActiveDropDownProperties()->DropDownOnClick()) return;
  if (GetButtonAt(TPoint{X, Y}) < 0 && !HasOpenPopup() && !FShowPending) DropDown();
}

void TcxCustomDropDownEdit::PasteFromClipboard() {
  const String before = Text();
  TcxCustomMaskEdit::PasteFromClipboard();
  if (Text() == before || !ActiveDropDownProperties()->ImmediateDropDown() || HasOpenPopup() || FShowPending ||
      !CanDropDown())
    return;
  Perform(CXM_DROPDOWN);
  if (HandleAllocated()) PostMessage(Handle(), CXM_CLOSEUPEVENT, 0, 0);
}

void TcxCustomDropDownEdit::BeforeTabFocusMove() {
  TcxCustomMaskEdit::BeforeTabFocusMove();
  if (ActiveDropDownProperties()->PostPopupValueOnTab()) ClosePopup(true);
}

void TcxCustomDropDownEdit::DoExit() {
  // A popup that takes the focus is shown before it focuses its control, so
  // an exit with the popup not shown means it is not wanted any more.
  if (!HasOpenPopup()) CancelPendingPopup();
  else if (!FPopupWindow->TakesFocus()) ClosePopup(false);
  TcxCustomMaskEdit::DoExit();
}

void TcxCustomDropDownEdit::Dispatch(TMessage& Message) {
  if (Message.Msg == CXM_DROPDOWN) {
    DropDown();
    return;
  }
  if (Message.Msg == CM_HINTSHOW && HasOpenPopup()) {
    // No hint over the editor while its popup is open.
    Message.Result = 1;
    return;
  }
  if (Message.Msg == CXM_CLOSEUPEVENT) {
    // The lookup's current item becomes the text while the popup is open.
    if (!HasOpenPopup()) return;
    const Integer caret = SelStart();
    const bool atEnd = caret == Model()->Length() && SelLength() == 0;
    TakeLookupItem();
    const TcxEditEditingStyle style = ActiveTextProperties()->EditingStyle();
    if (style == esFixedList)
      SelectWholeText();
    else if (style == esEditing && atEnd && caret <= Model()->Length())
      SetSelection(caret, Model()->Length() - caret);
    return;
  }
  TcxCustomMaskEdit::Dispatch(Message);
}

bool TcxCustomDropDownEdit::PreviewInnerMessage(TMessage& Message) {
  // Tab that is to take the popup's value comes to the editor's own key
  // handling instead of moving the focus (which would close the popup
  // without it).
  if (Message.Msg == CM_WANTSPECIALKEY && Message.WParam == VK_TAB && HasOpenPopup() &&
      ActiveDropDownProperties()->PostPopupValueOnTab()) {
    Message.Result = 1;
    return true;
  }
  if (Message.Msg == CM_HINTSHOW && HasOpenPopup()) {
    Message.Result = 1;
    return true;
  }
  // The text area is the inner edit's: a click there opens the popup for a
  // kind that drops down on a click into the text (the inner edit still
  // places its caret).
  if (Message.Msg == WM_LBUTTONDOWN && ActiveDropDownProperties()->DropDownOnClick() && !HasOpenPopup() &&
      !FShowPending)
    DropDown();
  if ((Message.Msg == WM_SYSKEYUP || Message.Msg == WM_KEYUP) && Message.WParam == VK_MENU &&
      !(GetKeyState(VK_SHIFT) & 0x8000) && !(GetKeyState(VK_CONTROL) & 0x8000) && InnerEdit() &&
      InnerEdit()->HandleAllocated())
    RemoveMessages(InnerEdit()->Handle(), WM_CHAR);
  if (Message.Msg == WM_SYSKEYDOWN) {
    Word key = static_cast<Word>(Message.WParam);
    if (key == VK_UP || key == VK_DOWN) {
      KeyDown(key, KeyDataToShiftState(Message.LParam) | ssAlt);
      if (key == 0) return true;
    }
  }
  if (Message.Msg == WM_KEYDOWN && IsLookupStepKey(static_cast<Word>(Message.WParam)) && !HasOpenPopup())
    return StepLookupByKey(Message);
  return TcxCustomMaskEdit::PreviewInnerMessage(Message);
}

bool TcxCustomDropDownEdit::DoMouseWheel(TShiftState Shift, Integer WheelDelta, const TPoint& MousePos) {
  if (HasOpenPopup()) {
    TWinControl* target = PopupWheelControl();
    if (!target || !target->HandleAllocated() || Model()->LookupItemCount() == 0)
      return TcxCustomMaskEdit::DoMouseWheel(Shift, WheelDelta, MousePos);
    const WPARAM wParam = (static_cast<WPARAM>(static_cast<Word>(static_cast<SmallInt>(WheelDelta))) << 16) |
                          ShiftStateToKeys(Shift);
    SendMessage(target->Handle(), WM_MOUSEWHEEL, wParam, PointToLParam(MousePos));
    return true;
  }
  return TcxCustomMaskEdit::DoMouseWheel(Shift, WheelDelta, MousePos);
}

bool TcxCustomDropDownEdit::StepLookupByKey(TMessage& Message) {
  TcxCustomTextEditLookupData* lookup = Model()->LookupData();
  if (!lookup) return TcxCustomMaskEdit::PreviewInnerMessage(Message);
  // The step starts from the item shown: one change told. The key's
  // handlers may free the editor or give it other properties (and with
  // them other lookup data): the bracket then went with the lookup data.
  TcxDestroyGuard guard(this);
  auto lookupLives = [&] { return guard.Alive() && Model()->LookupData() == lookup; };
  lookup->BeginChange();
  Integer before = -1;
  bool handled = false;
  try {
    LocateTextItem();
    before = lookup->CurrentIndex();
    handled = TcxCustomMaskEdit::PreviewInnerMessage(Message);
  } catch (...) {
    if (lookupLives()) lookup->EndChange();
    throw;
  }
  if (!guard.Alive()) return true;
  if (!lookupLives()) return handled;
  lookup->EndChange();
  // A step to another item is a choice like one taken from the popup.
  if (!lookupLives() || lookup->CurrentIndex() == before) return handled;
  SetModified(true);
  if (ActiveProperties()->ImmediatePost() && !IsLoading()) PostEditValue(true);
  return handled;
}

// ---------------------------------------------------------------------------
// The combo box

namespace {

// Sets a flag for the scope.
struct TRestoreFlag {
  explicit TRestoreFlag(bool& AFlag) : Flag(AFlag) { Flag = true; }
  ~TRestoreFlag() { Flag = false; }
  bool& Flag;
};

}  // namespace

void TcxCustomComboBoxProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomComboBoxProperties*>(Source);
  TcxUpdateScope update(this);
  TcxCustomDropDownEditProperties::Assign(Source);
  if (source && source != this) {
    FDropDownListStyle = source->FDropDownListStyle;
    FDropDownRows = source->FDropDownRows;
    FItemHeight = source->FItemHeight;
    FRevertable = source->FRevertable;
    // The items came with the text editor's settings; their order rule too.
    SetSorted(source->Sorted());
    OnDrawItem = source->OnDrawItem;
    OnMeasureItem = source->OnMeasureItem;
    NotifyChanged();
  }
}

TcxCustomEditClass TcxCustomComboBoxProperties::GetEditorClass() { return TcxComboBox::StaticClass(); }

TcxCustomEditViewDataClass TcxCustomComboBoxProperties::GetViewDataClass() const {
  return TcxCustomComboBoxViewData::StaticClass();
}

// ---- TcxCustomComboBoxViewData ----

bool TcxCustomComboBoxViewData::DrawsItemByHandler() const {
  // Only an editor calls the handler: a cell drawn without one shows the
  // text.
  auto* combo = dynamic_cast<TcxCustomComboBox*>(Edit);
  return combo && combo->DrawsItemClosed();
}

void TcxCustomComboBoxViewData::ComputeViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                                TcxMouseButton AButton, TShiftState AShift,
                                                TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  TcxCustomDropDownEditViewData::ComputeViewInfo(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* vi = dynamic_cast<TcxCustomTextEditViewInfo*>(AViewInfo);
  if (!vi || !DrawsItemByHandler()) return;
  vi->DrawsText = false;
  vi->DrawSelectionBar = false;
}

Integer cxComboBoxPopupFreeHeight(const TRect& AEditor, const TRect& AWorkArea, Integer AFrameHeight, bool AShadow) {
  const Integer above = AEditor.Top - AWorkArea.Top - AFrameHeight + (AShadow ? 0 : cxEditPopupShadowWidth);
  const Integer below = AWorkArea.Bottom - AEditor.Bottom - AFrameHeight;
  return std::max(above, below);
}

TcxEditEditingStyle TcxCustomComboBoxProperties::EditingStyle() const {
  if (HideCursor()) return esNoEdit;
  switch (FDropDownListStyle) {
    case lsEditFixedList: return esEditList;
    case lsFixedList: return esFixedList;
    default: return esEditing;
  }
}

TcxCustomTextEditLookupDataClass TcxCustomComboBoxProperties::GetLookupDataClass() const {
  return TcxComboBoxLookupData::StaticClass();
}

TcxCustomTextEdit* TcxComboBoxListBox::GetEdit() const { return GetComboBox(); }

TcxCustomComboBox* TcxComboBoxListBox::GetComboBox() const {
  auto* popup = dynamic_cast<TcxCustomEditPopupWindow*>(Parent() ? static_cast<TComponent*>(Parent()) : Owner());
  return popup ? dynamic_cast<TcxCustomComboBox*>(popup->GetOwnerControl()) : nullptr;
}

bool TcxComboBoxListBox::DoDrawItem(Integer Index, const TRect& ARect, TOwnerDrawState AState) {
  TcxCustomComboBox* combo = GetComboBox();
  return (combo && combo->DrawListItem(Index, ARect, AState)) || TcxCustomEditListBox::DoDrawItem(Index, ARect, AState);
}

Integer TcxComboBoxListBox::GetItemHeight(Integer AIndex) const {
  TcxCustomComboBox* combo = GetComboBox();
  if (!combo || combo->IsDestroying() || !combo->PropertiesCreated()) return TcxCustomEditListBox::GetItemHeight(AIndex);
  const Integer itemHeight = combo->ActiveComboProperties()->ItemHeight();
  Integer height = itemHeight > 0 ? itemHeight : TcxCustomEditListBox::GetItemHeight(AIndex);
  ApplyMeasureHandlers(AIndex, height);
  return height;
}

void TcxComboBoxListBox::HotTrack(Integer AIndex) {
  TcxCustomEditListBox::HotTrack(AIndex);
  TcxCustomComboBox* combo = GetComboBox();
  if (combo && !combo->IsDestroying() && combo->PropertiesCreated() && ItemIndex() == AIndex)
    combo->GetLookupData()->SelectItemIndex(AIndex);
}

void TcxComboBoxListBox::ApplyMeasureHandlers(Integer AIndex, Integer& AHeight) const {
  TcxCustomComboBox* combo = GetComboBox();
  if (combo && !combo->IsDestroying() && combo->PropertiesCreated()) combo->MeasureListItem(AIndex, AHeight);
}

void TcxComboBoxListBox::RecreateWindow() {
  TcxCustomComboBox* combo = GetComboBox();
  if (!combo) return;
  bool measuring = false;
  combo->ForEachComboProperties([&](TcxCustomComboBoxProperties* AProps) { measuring = measuring || AProps->OnMeasureItem; });
  const Integer itemHeight = combo->ActiveComboProperties()->ItemHeight();
  if (!FFirstCreation && measuring == FMeasuring && itemHeight == FLastItemHeight) return;
  FFirstCreation = false;
  FMeasuring = measuring;
  FLastItemHeight = itemHeight;
  TcxCustomEditListBox::RecreateWindow();
}

TcxCustomComboBox::TcxCustomComboBox(TComponent* AOwner, bool AIsInplace) : TcxCustomDropDownEdit(AOwner, AIsInplace) {}

TcxComboBoxListBox* TcxCustomComboBox::ListBox() {
  if (!FListBox && !IsDestroying() && PopupWindow()) {
    FListBox = CreateListBox(PopupWindow());
    FListBox->SetParent(PopupWindow());
    FListBox->OnSelectItem = TNotifyEvent(this, &TcxCustomComboBox::ListSelectItem);
  }
  return FListBox;
}

TcxComboBoxListBox* TcxCustomComboBox::CreateListBox(TComponent* AOwner) { return new TcxComboBoxListBox(AOwner); }

void TcxCustomComboBox::ListSelectItem(TObject*) {
  if (FListBox) ListItemClicked(FListBox->ItemIndex());
}

std::unique_ptr<TcxTextEditModel> TcxCustomComboBox::CreateModel(TcxCustomTextEditProperties* AProperties) {
  std::unique_ptr<TcxTextEditModel> model = TcxCustomDropDownEdit::CreateModel(AProperties);
  TcxCustomTextEditLookupData* lookup = model->LookupData();
  lookup->OnCurrentKeyChanged = TNotifyEvent(this, &TcxCustomComboBox::LookupCurrentKeyChanged);
  lookup->OnSelectItem = TNotifyEvent(this, &TcxCustomComboBox::LookupItemSelected);
  return model;
}

void TcxCustomComboBox::LookupCurrentKeyChanged(TObject*) {
  if (HasOpenPopup() && !IsDestroying()) SyncList();
}

void TcxCustomComboBox::LookupItemSelected(TObject*) {
  if (!IsDestroying()) ClosePopup(true);
}

void TcxCustomComboBox::PopupWindowShowed(TObject* Sender) {
  // The show is queued behind the key that asked for it (ImmediateDropDown):
  // a completion that key typed keeps its selected tail, so the next key
  // goes on completing instead of being appended to the whole item.
  TcxTextEditModel* model = Model();
  TcxCustomTextEditLookupData* lookup = model->LookupData();
  const Integer start = model->SelStart(), length = model->SelLength();
  // A completion: pending, or (posted at once with ImmediatePost) the
  // current item shown with its tail selected.
  const bool pending = model->LookupPending() ||
                       (length > 0 && start > 0 && start + length == model->Length() &&
                        lookup->CurrentIndex() >= 0 && lookup->GetItemText(lookup->CurrentIndex()) == model->Text());
  TcxCustomDropDownEdit::PopupWindowShowed(Sender);
  if (IsDestroying() || !HasOpenPopup()) return;
  if (pending && Model() == model && model->Length() >= start + length) SetSelection(start, length);
  if (ListBox()) ListBox()->ListShown();
}

TcxCustomComboBoxProperties* TcxCustomComboBox::ActiveComboProperties() {
  return static_cast<TcxCustomComboBoxProperties*>(ActiveProperties());
}

bool TcxCustomComboBox::CanDropDown() const {
  return const_cast<TcxCustomComboBox*>(this)->ActiveComboProperties()->Items()->Count() > 0;
}

template <class TFire>
void TcxCustomComboBox::ForEachComboProperties(TFire AFire) {
  AFire(static_cast<TcxCustomComboBoxProperties*>(Properties()));
  if (TcxEditRepositoryItem* item = RepositoryItem())
    if (auto* p = dynamic_cast<TcxCustomComboBoxProperties*>(item->Properties())) AFire(p);
}

void TcxCustomComboBox::PrepareList() {
  TcxComboBoxListBox* list = ListBox();
  if (!list) return;
  // The rows show in the editor's font and colour.
  list->SetParentFont(false);
  list->Font()->Assign(Style()->GetVisibleFont());
  list->SetColor(Style()->Color());
  list->RecreateWindow();
  list->SetItemHeight(ActiveComboProperties()->ItemHeight() > 0 ? ActiveComboProperties()->ItemHeight()
                                                                 : list->GetDefaultItemHeight());
  list->SyncItemCount();
}

bool TcxCustomComboBox::DrawListItem(Integer Index, const TRect& ARect, TOwnerDrawState AState) {
  bool drawn = false;
  ForEachComboProperties([&](TcxCustomComboBoxProperties* AProps) {
    if (!AProps->OnDrawItem) return;
    if (!drawn) {
      TCanvas* c = FListBox->Canvas();
      c->Brush()->SetColor((AState & odSelected) ? clHighlight : FListBox->Color());
      c->Font()->SetColor((AState & odSelected) ? clHighlightText : FListBox->Font()->Color());
    }
    AProps->OnDrawItem(this, FListBox->cxCanvas(), Index, ARect, AState);
    drawn = true;
  });
  return drawn;
}

bool TcxCustomComboBox::DrawsItemClosed() {
  if (IsDestroying() || !PropertiesCreated() || ActiveComboProperties()->DropDownListStyle() != lsFixedList)
    return false;
  bool handler = false;
  ForEachComboProperties([&](TcxCustomComboBoxProperties* AProps) { handler = handler || AProps->OnDrawItem; });
  return handler;
}

void TcxCustomComboBox::PlaceInnerControl() {
  if (FPlacing) return;
  TRestoreFlag placing(FPlacing);
  TcxCustomDropDownEdit::PlaceInnerControl();
  TWinControl* inner = InnerEdit();
  if (!inner) return;
  FItemRect = inner->BoundsRect();
  if (DrawsItemClosed()) inner->SetBoundsRect(TRect{FItemRect.Left, FItemRect.Top, FItemRect.Left, FItemRect.Top});
}

void TcxCustomComboBox::Paint() {
  // A drawing handler set or removed since the last placement: the inner
  // edit makes or takes the room.
  if (InnerEdit() && DrawsItemClosed() == (InnerEdit()->Width() > 0)) PlaceInnerControl();
  TcxCustomDropDownEdit::Paint();
  if (!DrawsItemClosed() || IsRectEmpty(FItemRect)) return;
  const Integer index = ActiveComboProperties()->Items()->IndexOf(Text());
  const bool focused = Focused() || (InnerEdit() && InnerEdit()->Focused());
  const TOwnerDrawState state = focused ? TOwnerDrawState(odSelected | odFocused) : TOwnerDrawState(0);
  TcxCanvas* canvas = cxCanvas();
  canvas->SetBrushColor(focused ? clHighlight : Style()->Color());
  canvas->GetFont()->Assign(Style()->GetVisibleFont());
  canvas->GetFont()->SetColor(focused ? clHighlightText : Style()->TextColor());
  canvas->FillRectOrTileBitmap(FItemRect, nullptr);
  ForEachComboProperties([&](TcxCustomComboBoxProperties* AProps) {
    if (AProps->OnDrawItem) AProps->OnDrawItem(this, canvas, index, FItemRect, state);
  });
}

void TcxCustomComboBox::MeasureListItem(Integer Index, Integer& AHeight) {
  ForEachComboProperties([&](TcxCustomComboBoxProperties* AProps) {
    if (AProps->OnMeasureItem) AProps->OnMeasureItem(this, Index, FListBox->cxCanvas(), AHeight);
  });
}

void TcxCustomComboBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  if (HasOpenPopup() && (Shift & ssLeft) && HasMouseCapture() && FListBox && FListBox->HandleAllocated()) {
    const TPoint p = FListBox->ScreenToClient(ClientToScreen(TPoint{X, Y}));
    if (PtInRect(FListBox->ClientRect(), p)) {
      ReleaseCapture();
      SendMessage(FListBox->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(p));
      return;
    }
  }
  TcxCustomDropDownEdit::MouseMove(Shift, X, Y);
}

void TcxCustomComboBox::SetupPopupWindow() {
  TcxCustomDropDownEdit::SetupPopupWindow();
  PrepareList();
}

// ---------------------------------------------------------------------------
// TcxComboBoxLookupData

TSize TcxComboBoxLookupData::GetListSize(TcxComboBoxListBox* AList, const TSize& AAvailable) {
  // The list's own frame around the rows.
  const Integer frame = AList->Height() - AList->ItemsArea().Height();
  const Integer count = GetItemCount();
  Integer rows = std::min(GetEditProperties()->LookupPageSize(), count);
  Integer height = 0;
  for (Integer i = 0; i < rows; ++i) height += AList->ItemHeightOf(i);
  while (rows > 1 && height + frame > AAvailable.cy) height -= AList->ItemHeightOf(--rows);
  // A row's text is indented on both sides.
  Integer widest = 0;
  for (Integer i = 0; i < count; ++i) widest = std::max(widest, AList->GetItemWidth(i) + 2 * cxEditListBoxTextIndent);
  AList->SetScrollWidth(widest);
  Integer width = widest;
  if (count > rows) width += GetSystemMetrics(SM_CXVSCROLL);
  if (width + frame > AAvailable.cx) {
    width = std::max<Integer>(AAvailable.cx - frame, 0);
    height += GetSystemMetrics(SM_CYHSCROLL);
  }
  return {width + frame, height + frame};
}

TSize TcxCustomComboBox::PopupContentSize() {
  TcxCustomComboBoxProperties* p = ActiveComboProperties();
  TcxComboBoxListBox* list = ListBox();
  if (!list) return {Width(), 0};
  // The room the list may take: the larger side above or below the editor,
  // the work area's width (or the set popup width when the popup neither
  // sizes itself nor may be sized).
  const TRect e = PopupWindow()->GetViewInfo()->GetFrameExtents();
  const TPoint origin = ClientToScreen(TPoint{0, 0});
  const TRect work = MonitorWorkAreaAt(origin);
  const Integer frameV = e.Top + e.Bottom, frameH = e.Left + e.Right;
  const Integer freeHeight =
      cxComboBoxPopupFreeHeight(Bounds(origin.X, origin.Y, Width(), Height()), work, frameV, PopupWindow()->Shadow());
  Integer freeWidth = work.Width() - frameH;
  if (!p->PopupSizeable() && !p->PopupAutoSize()) freeWidth = (p->PopupWidth() > 0 ? p->PopupWidth() : Width()) - frameH;

  auto* lookup = dynamic_cast<TcxComboBoxLookupData*>(GetLookupData());
  const TSize size = lookup ? lookup->GetListSize(list, TSize{freeWidth, freeHeight}) : TSize{0, 0};
  return {std::max(size.cx, Width()), size.cy};
}

bool TcxCustomComboBox::AdjustPopupClientSize(TSize& AClientSize, Integer) {
  TcxComboBoxListBox* list = ListBox();
  if (!list) return true;
  const Integer frame = list->Height() - list->ItemsArea().Height();
  const Integer room = AClientSize.cy - frame;
  // Rows past the items have the list's own row height.
  auto rowHeight = [list](Integer i) {
    return i < list->ItemCount() ? list->ItemHeightOf(i) : std::max<Integer>(list->ItemHeight(), 1);
  };
  Integer height = rowHeight(0);
  for (Integer i = 1; height + rowHeight(i) <= room; ++i) height += rowHeight(i);
  AClientSize.cy = height + frame;
  return true;
}

void TcxCustomComboBox::ResetPopupHeight() {
  TcxCustomComboBoxProperties* p = ActiveComboProperties();
  if (IsInplace() && p->PopupSizeable()) {
    const TSize kept = RememberedPopupSize();
    SetRememberedPopupSize(TSize{kept.cx, 0});
    if (auto* data = dynamic_cast<TcxCustomDropDownEditData*>(EditData())) data->Height = 0;
    return;
  }
  static_cast<TcxCustomComboBoxProperties*>(Properties())->SetPopupHeight(0);
}

void TcxCustomComboBox::DblClick() {
  TcxCustomDropDownEdit::DblClick();
  StepOnDoubleClick();
}

bool TcxCustomComboBox::PreviewInnerMessage(TMessage& Message) {
  // The step replaces the text's own double click (selecting a word).
  if (Message.Msg == WM_LBUTTONDBLCLK && StepOnDoubleClick()) return true;
  return TcxCustomDropDownEdit::PreviewInnerMessage(Message);
}

bool TcxCustomComboBox::StepOnDoubleClick() {
  TcxCustomComboBoxProperties* p = ActiveComboProperties();
  if (HasOpenPopup() || !p->Revertable() || IsDestroying() || !DoEditing()) return false;
  bool stepped = false;
  GetLookupData()->ChangeAtOnce([&] {
    LocateTextItem();
    stepped = GetLookupData()->StepLookupItem(lsNext, true);
  });
  if (!stepped) return false;
  TakeLookupItem();
  if (p->ImmediatePost() && !IsLoading()) PostEditValue(true);
  return true;
}

void TcxCustomComboBox::PopupClientRectChanged(const TRect& AClientRect) {
  if (TcxComboBoxListBox* list = ListBox()) list->SetBoundsRect(AClientRect);
}

void TcxCustomComboBox::SyncList() {
  if (TcxComboBoxListBox* list = ListBox()) list->SetItemIndexByCode(GetLookupData()->CurrentIndex());
}

void TcxCustomComboBox::DoPopup() {
  GetLookupData()->Locate(Text());
  SyncList();
  TcxCustomDropDownEdit::DoPopup();
}

void TcxCustomComboBox::ListItemClicked(Integer AIndex) {
  GetLookupData()->SelectItem(AIndex);
}

void TcxCustomComboBox::EditKeyDown(Word& Key, TShiftState Shift) {
  if (HasOpenPopup() && !(Shift & ssAlt)) {
    const bool ctrl = Shift & ssCtrl;
    const bool fixed = ActiveComboProperties()->EditingStyle() == esFixedList;
    std::optional<TcxLookupStep> step;
    switch (Key) {
      case VK_UP: step = lsPrevious; break;
      case VK_DOWN: step = lsNext; break;
      case VK_PRIOR: step = ctrl ? lsFirst : lsPageBack; break;
      case VK_NEXT: step = ctrl ? lsLast : lsPageForward; break;
      case VK_HOME: if (fixed) step = lsFirst; break;
      case VK_END: if (fixed) step = lsLast; break;
      default: break;
    }
    if (step) {
      // The list's selection only; the text follows when the popup accepts
      // (at once with UpdateTextWhileListShown).
      GetLookupData()->StepLookupItem(*step);
      SyncList();
      if (ActiveComboProperties()->UpdateTextWhileListShown()) TakeLookupItem();
      Key = 0;
      return;
    }
  }
  TcxCustomDropDownEdit::EditKeyDown(Key, Shift);
}

void TcxCustomComboBox::HandleInnerEditChange() {
  TcxCustomDropDownEdit::HandleInnerEditChange();
  if (!PropertiesCreated() || IsDestroying()) return;
  const TcxEditEditingStyle style = ActiveComboProperties()->EditingStyle();
  if (!HasOpenPopup() && style != esEditList && style != esFixedList) return;
  // The list's current item is the one the text names (none when no item
  // does), also while the list is closed.
  LocateTextItem();
  if (HasOpenPopup()) SyncList();
}

// ---------------------------------------------------------------------------
// The popup editor

TcxCustomPopupEditProperties::TcxCustomPopupEditProperties(TPersistent* AOwner)
    : TcxCustomDropDownEditProperties(AOwner) {
  SetPopupMinWidth(100);
  SetPopupMinHeight(100);
  SetPopupWidth(250);
  SetPopupHeight(200);
  SetPopupSizeable(true);
}

TcxCustomPopupEditProperties::~TcxCustomPopupEditProperties() {
  if (FPopupControl) FreeNotificator()->RemoveSender(FPopupControl);
}

TcxCustomEditClass TcxCustomPopupEditProperties::GetEditorClass() { return TcxPopupEdit::StaticClass(); }

void TcxCustomPopupEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomPopupEditProperties*>(Source);
  TcxUpdateScope update(this);
  TcxCustomDropDownEditProperties::Assign(Source);
  if (source && source != this) SetPopupControl(source->FPopupControl);
}

void TcxCustomPopupEditProperties::SetPopupControl(TControl* Value) {
  if (FPopupControl == Value) return;
  if (FPopupControl) FreeNotificator()->RemoveSender(FPopupControl);
  FPopupControl = Value;
  if (FPopupControl) FreeNotificator()->AddSender(FPopupControl);
  NotifyChanged();
}

void TcxCustomPopupEditProperties::ComponentFreed(TComponent* AComponent) {
  if (AComponent == FPopupControl) FPopupControl = nullptr;
}

TcxPopupEditProperties::TcxPopupEditProperties(TPersistent* AOwner) : TcxCustomPopupEditProperties(AOwner) {
  SetImmediateDropDown(true);
  SetImmediatePopup(true);
}

namespace {

TcxCustomEditPopupWindow* CreatePopupEditPopupWindow(TcxCustomDropDownEdit* AEdit) {
  return new TcxPopupEditPopupWindow(AEdit, AEdit);
}

}  // namespace

TcxCustomPopupEdit::TcxCustomPopupEdit(TComponent* AOwner, bool AIsInplace,
                                       TcxEditPopupWindowFactory ACreatePopupWindow)
    : TcxCustomDropDownEdit(AOwner, AIsInplace, ACreatePopupWindow ? ACreatePopupWindow : CreatePopupEditPopupWindow),
      FFreeNotificator(std::make_unique<TcxFreeNotificator>(nullptr)) {
  FFreeNotificator->OnComponentRemoved = TcxComponentRemovedEvent(this, &TcxCustomPopupEdit::WatchedComponentFreed);
}

TcxCustomPopupEdit::~TcxCustomPopupEdit() {
  // The popup window goes with the editor and would take a lent control
  // down with it.
  RestorePopupControl();
}

TcxCustomPopupEditProperties* TcxCustomPopupEdit::ActivePopupProperties() {
  return static_cast<TcxCustomPopupEditProperties*>(ActiveProperties());
}

bool TcxCustomPopupEdit::CanDropDown() const {
  return const_cast<TcxCustomPopupEdit*>(this)->ActivePopupProperties()->PopupControl() != nullptr;
}

TSize TcxCustomPopupEdit::PopupContentSize() {
  TControl* control = ActivePopupProperties()->PopupControl();
  return control ? TSize{control->Width(), control->Height()} : TSize{0, 0};
}

void TcxCustomPopupEdit::PopupClientRectChanged(const TRect& AClientRect) {
  if (FHostedControl) FHostedControl->SetBoundsRect(AClientRect);
}

void TcxCustomPopupEdit::PreparePopup() {
  TControl* control = ActivePopupProperties()->PopupControl();
  bool circular = control && (control == PopupWindow() || control == this);
  for (TControl* parent = Parent(); parent && !circular; parent = parent->Parent()) circular = control == parent;
  if (circular) throw Exception(LoadResString(cxSEditPopupCircularReferencing));
  TcxCustomDropDownEdit::PreparePopup();
}

TWinControl* TcxCustomPopupEdit::PopupFocusedControl() {
  return dynamic_cast<TWinControl*>(ActivePopupProperties()->PopupControl());
}

void TcxCustomPopupEdit::LayoutPopupWindow() {
  TControl* control = ActivePopupProperties()->PopupControl();
  if (control != FHostedControl) {
    RestorePopupControl();
    if (control) {
      SavePopupControlState(control);
      if (auto* form = dynamic_cast<TCustomForm*>(control)) form->SetBorderStyle(bsNone);
      control->SetParent(PopupWindow());
      control->SetVisible(true);
    }
  }
  TcxCustomDropDownEdit::LayoutPopupWindow();
  if (FHostedControl) FHostedControl->SetAlign(alClient);
}

void TcxCustomPopupEdit::PopupWindowClosed(TObject* Sender) {
  RestorePopupControl();
  TcxCustomDropDownEdit::PopupWindowClosed(Sender);
}

void TcxCustomPopupEdit::SavePopupControlState(TControl* AControl) {
  FHostedControl = AControl;
  FSavedParent = AControl->Parent();
  FSavedAlign = AControl->Align();
  FSavedBounds = AControl->BoundsRect();
  FSavedVisible = AControl->Visible();
  if (auto* form = dynamic_cast<TCustomForm*>(AControl)) FSavedBorderStyle = form->BorderStyle();
  FFreeNotificator->AddSender(FHostedControl);
  FFreeNotificator->AddSender(FSavedParent);
}

void TcxCustomPopupEdit::RestorePopupControl() {
  TControl* control = FHostedControl;
  TWinControl* parent = FSavedParent;
  FHostedControl = nullptr;
  FSavedParent = nullptr;
  if (parent) FFreeNotificator->RemoveSender(parent);
  if (!control) return;
  FFreeNotificator->RemoveSender(control);
  control->SetVisible(false);
  // Unaligned first, so the bounds are its own when the old Align comes back.
  control->SetAlign(alNone);
  control->SetParent(parent);
  control->SetBoundsRect(FSavedBounds);
  control->SetAlign(FSavedAlign);
  if (auto* form = dynamic_cast<TCustomForm*>(control)) form->SetBorderStyle(FSavedBorderStyle);
  control->SetVisible(FSavedVisible);
}

void TcxCustomPopupEdit::WatchedComponentFreed(TObject*, TComponent* AComponent) {
  if (AComponent == FHostedControl) FHostedControl = nullptr;
  if (AComponent == FSavedParent) FSavedParent = nullptr;
}

void cxDropDownEditInitialize() {
  TcxRegisteredClasses* registry = GetEditPropertiesRegistry();
  registry->AddClass(TcxComboBoxProperties::StaticClass(), LoadResourceText(cxSEditComboBoxKind));
  registry->AddClass(TcxPopupEditProperties::StaticClass(), LoadResourceText(cxSEditPopupEditKind));
}

void cxDropDownEditFinalize() {
  TcxRegisteredClasses* registry = GetEditPropertiesRegistry();
  registry->RemoveClass(TcxComboBoxProperties::StaticClass());
  registry->RemoveClass(TcxPopupEditProperties::StaticClass());
}
