#include "editors/cxEditPaintUtils.h"

#include <algorithm>
#include <array>

#include "editors/cxEditViewInfo.h"
#include "foundation/cxContainer.h"
#include "foundation/cxUltraFlatPainters.h"
#include "foundation/qzOffice11.h"
#include "platform/gui/messages.h"
#include "platform/gui/sysmetrics.h"
#include "platform/gui/windowing.h"

// ---------------------------------------------------------------------------
// TcxSolidBrushCache

TcxSolidBrushCache::TcxSolidBrushCache(Integer AMaxDepth, bool AListenToPalette)
    : FMaxDepth(std::max<Integer>(AMaxDepth, 1)) {
  FColors.reserve(static_cast<size_t>(FMaxDepth));
  FBrushes.reserve(static_cast<size_t>(FMaxDepth));
  FUseCounts.reserve(static_cast<size_t>(FMaxDepth));
  if (AListenToPalette) {
    FNotifier = std::make_unique<TcxSystemPaletteChangedNotifier>();
    FNotifier->OnSystemPaletteChanged = TcxSystemPaletteChangedEvent(this, &TcxSolidBrushCache::PaletteChanged);
  }
}

TcxSolidBrushCache::~TcxSolidBrushCache() {
  FNotifier.reset();
  Clear();
}

void TcxSolidBrushCache::Clear() {
  for (HBRUSH brush : FBrushes) DeleteObject(brush);
  FColors.clear();
  FBrushes.clear();
  FUseCounts.clear();
}

bool TcxSolidBrushCache::Find(TColor AColor, Integer& AIndex) const {
  Integer low = 0, high = Depth() - 1;
  while (low <= high) {
    const Integer mid = (low + high) / 2;
    const TColor c = FColors[static_cast<size_t>(mid)];
    if (c == AColor) {
      AIndex = mid;
      return true;
    }
    if (c < AColor)
      low = mid + 1;
    else
      high = mid - 1;
  }
  AIndex = low;
  return false;
}

Integer TcxSolidBrushCache::IndexOf(TColor AColor) const {
  Integer index;
  return Find(AColor, index) ? index : -1;
}

void TcxSolidBrushCache::DeleteLeastUsed(Integer& AInsertIndex) {
  const auto least = std::min_element(FUseCounts.begin(), FUseCounts.end());
  const Integer index = static_cast<Integer>(least - FUseCounts.begin());
  DeleteObject(FBrushes[static_cast<size_t>(index)]);
  FColors.erase(FColors.begin() + index);
  FBrushes.erase(FBrushes.begin() + index);
  FUseCounts.erase(FUseCounts.begin() + index);
  if (AInsertIndex > index) --AInsertIndex;
}

HBRUSH TcxSolidBrushCache::GetBrush(TColor AColor) {
  if ((static_cast<Cardinal>(AColor) & 0xFFFFFF00u) == 0xFF000000u && (AColor & 0xFF) < cxSystemBrushCount)
    return SystemColorBrushOf(AColor & 0xFF);
  Integer index;
  if (Find(AColor, index)) {
    ++FUseCounts[static_cast<size_t>(index)];
    return FBrushes[static_cast<size_t>(index)];
  }
  if (Depth() >= FMaxDepth) DeleteLeastUsed(index);
  HBRUSH brush = CreateSolidBrush(ColorToRGB(AColor) & 0xFFFFFF);
  FColors.insert(FColors.begin() + index, AColor);
  FBrushes.insert(FBrushes.begin() + index, brush);
  FUseCounts.insert(FUseCounts.begin() + index, 0);
  return brush;
}

// ---------------------------------------------------------------------------
// The unit's globals

namespace {

struct TEditPaintGlobals {
  std::array<HBRUSH, cxSystemBrushCount> SystemBrushes{};
  bool SystemBrushesTaken = false;
  std::unique_ptr<TcxSolidBrushCache> Cache;
};

TEditPaintGlobals& Globals() {
  static TEditPaintGlobals globals;
  return globals;
}

void TakeSystemBrushes() {
  TEditPaintGlobals& g = Globals();
  if (g.SystemBrushesTaken) return;
  for (Integer i = 0; i < cxSystemBrushCount; ++i) g.SystemBrushes[static_cast<size_t>(i)] = GetSysColorBrush(i);
  g.SystemBrushesTaken = true;
}

}  // namespace

void cxEditPaintUtilsInitialize() {
  TakeSystemBrushes();
  if (!Globals().Cache) Globals().Cache = std::make_unique<TcxSolidBrushCache>();
}

void cxEditPaintUtilsFinalize() {
  Globals().Cache.reset();
  // The system brushes belong to the system: they are only forgotten.
  Globals().SystemBrushes.fill(nullptr);
  Globals().SystemBrushesTaken = false;
}

TcxSolidBrushCache* SolidBrushCache() {
  cxEditPaintUtilsInitialize();
  return Globals().Cache.get();
}

HBRUSH SystemColorBrushOf(Integer AIndex) {
  if (AIndex < 0 || AIndex >= cxSystemBrushCount) return nullptr;
  TakeSystemBrushes();
  return Globals().SystemBrushes[static_cast<size_t>(AIndex)];
}

HBRUSH GetCachedSolidBrush(TColor AColor) { return SolidBrushCache()->GetBrush(AColor); }

HBRUSH GetCachedSolidBrushForCanvas(TcxCanvas*, TColor AColor) { return GetCachedSolidBrush(AColor); }

// ---------------------------------------------------------------------------
// Small routines

bool VariantsEqualSameType(const Variant& A, const Variant& B) {
  if (VarType(A) != VarType(B)) return false;
  try {
    return A == B;
  } catch (const Exception&) {
    return false;
  }
}

void CombineRegionsUnion(TcxRegion* ARegion, TcxRegion* AOther) {
  if (!ARegion || !AOther || !ARegion->Handle() || !AOther->Handle()) return;
  CombineRgn(ARegion->Handle(), ARegion->Handle(), AOther->Handle(), RGN_OR);
}

void FillRectByBrushHandle(HDC DC, const TRect& R, HBRUSH ABrush) {
  if (DC && ABrush && !IsRectEmpty(R)) FillRect(DC, R, ABrush);
}

TSize MaxSize(const TSize& A, const TSize& B) { return TSize{std::max(A.cx, B.cx), std::max(A.cy, B.cy)}; }

bool IsRegionEmpty(HRGN ARegion) {
  if (!ARegion) return true;
  TRect box{};
  const Integer kind = GetRgnBox(ARegion, box);
  return kind == NULLREGION || kind == RGN_ERROR;
}

void SendKeyDown(TWinControl* AControl, Word AKey, TShiftState AShift) {
  if (!AControl) return;
  // The key data carries the Alt flag (bit 29) as the system sets it.
  const LPARAM keyData = (AShift & ssAlt) ? LPARAM(1) << 29 : 0;
  SendMessage(AControl->Handle(), WM_KEYDOWN, AKey, keyData);
}

void SendKeyPress(TWinControl* AControl, Char AChar) {
  if (!AControl) return;
  SendMessage(AControl->Handle(), WM_CHAR, AChar, 0);
}

TShiftState MouseButtonToShiftFlag(TMouseButton AButton) {
  switch (AButton) {
    case mbLeft: return ssLeft;
    case mbRight: return ssRight;
    case mbMiddle: return ssMiddle;
  }
  return 0;
}

WPARAM ShiftStateToMouseKeyFlags(TShiftState AShift) {
  WPARAM result = 0;
  if (AShift & ssLeft) result |= MK_LBUTTON;
  if (AShift & ssRight) result |= MK_RBUTTON;
  if (AShift & ssMiddle) result |= MK_MBUTTON;
  if (AShift & ssShift) result |= MK_SHIFT;
  if (AShift & ssCtrl) result |= MK_CONTROL;
  return result;
}

Word RemapCheckBoxFlags(Byte AFlags) {
  Word result = 0;
  if (AFlags & 0x04) result |= 0x0001;
  if (AFlags & 0x02) result |= 0x0002;
  if (AFlags & 0x20) result |= 0x0010;
  if (AFlags & 0x10) result |= 0x0020;
  if (AFlags & 0x40) result |= 0x0200;
  return result;
}

Byte UnmapCheckBoxFlags(Word AFlags) {
  Byte result = 0;
  if (AFlags & 0x0001) result |= 0x04;
  if (AFlags & 0x0002) result |= 0x02;
  if (AFlags & 0x0010) result |= 0x20;
  if (AFlags & 0x0020) result |= 0x10;
  if (AFlags & 0x0200) result |= 0x40;
  return result;
}

String RemoveHotkeyPrefixes(const String& ACaption) { return RemoveAccelChars(ACaption); }

// ---------------------------------------------------------------------------
// Drawing routines

namespace {

void FillColor(TcxCanvas* ACanvas, const TRect& R, TColor AColor) {
  if (AColor == clNone || IsRectEmpty(R)) return;
  FillRectByBrushHandle(ACanvas->GetHandle(), R, GetCachedSolidBrush(AColor));
}

void FrameColor(TcxCanvas* ACanvas, const TRect& R, TColor AColor, TcxBorders ABorders) {
  if (AColor == clNone || IsRectEmpty(R)) return;
  if (ABorders & BorderBit(bLeft)) FillColor(ACanvas, TRect{R.Left, R.Top, R.Left + 1, R.Bottom}, AColor);
  if (ABorders & BorderBit(bTop)) FillColor(ACanvas, TRect{R.Left, R.Top, R.Right, R.Top + 1}, AColor);
  if (ABorders & BorderBit(bRight)) FillColor(ACanvas, TRect{R.Right - 1, R.Top, R.Right, R.Bottom}, AColor);
  if (ABorders & BorderBit(bBottom)) FillColor(ACanvas, TRect{R.Left, R.Bottom - 1, R.Right, R.Bottom}, AColor);
}

}  // namespace

void DrawOrthogonalPolyline(TcxCanvas* ACanvas, const std::vector<TPoint>& APoints, TColor AColor, bool AUsePen) {
  if (APoints.empty()) return;
  if (AUsePen) {
    ACanvas->DrawPolyline(APoints, AColor);
    return;
  }
  if (APoints.size() == 1) {
    FillColor(ACanvas, TRect{APoints[0].X, APoints[0].Y, APoints[0].X + 1, APoints[0].Y + 1}, AColor);
    return;
  }
  for (size_t i = 1; i < APoints.size(); ++i) {
    const TPoint& a = APoints[i - 1];
    const TPoint& b = APoints[i];
    const TRect r{std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X) + 1, std::max(a.Y, b.Y) + 1};
    FillColor(ACanvas, r, AColor);
  }
}

TSize CalcArrowExtent(const TRect& R, TcxArrowDirection ADirection) {
  Integer across = (std::min(WidthOfRect(R), HeightOfRect(R)) - 1) / 2;
  if (across % 2 == 0) --across;
  across = std::max<Integer>(across, 1);
  const Integer depth = across / 2 + 1;
  if (ADirection == adLeft || ADirection == adRight) return TSize{depth, across};
  return TSize{across, depth};
}

void DrawArrowGroup(TcxCanvas* ACanvas, const TRect& R, TcxArrowDirection ADirection, Integer ACount,
                    const TSize& ASize, bool APressed, TColor AColor) {
  if (ACount <= 0 || ASize.cx <= 0 || ASize.cy <= 0) return;
  const bool horizontal = ADirection == adLeft || ADirection == adRight;
  const Integer totalW = horizontal ? ASize.cx * ACount : ASize.cx;
  const Integer totalH = horizontal ? ASize.cy : ASize.cy * ACount;
  Integer x = R.Left + CenteredOffset(WidthOfRect(R) - totalW, APressed);
  Integer y = R.Top + CenteredOffset(HeightOfRect(R) - totalH, APressed);
  for (Integer n = 0; n < ACount; ++n) {
    const Integer across = horizontal ? ASize.cy : ASize.cx;
    const Integer depth = horizontal ? ASize.cx : ASize.cy;
    for (Integer step = 0; step < depth; ++step) {
      // Line `step` counted from the arrow's base; the tip is one pixel.
      const Integer len = across - 2 * step;
      if (len <= 0) break;
      const Integer off = step;
      switch (ADirection) {
        case adDown: FillColor(ACanvas, TRect{x + off, y + step, x + off + len, y + step + 1}, AColor); break;
        case adUp:
          FillColor(ACanvas, TRect{x + off, y + depth - 1 - step, x + off + len, y + depth - step}, AColor);
          break;
        case adRight: FillColor(ACanvas, TRect{x + step, y + off, x + step + 1, y + off + len}, AColor); break;
        case adLeft:
          FillColor(ACanvas, TRect{x + depth - 1 - step, y + off, x + depth - step, y + off + len}, AColor);
          break;
      }
    }
    if (horizontal)
      x += ASize.cx;
    else
      y += ASize.cy;
  }
}

bool IsGlyphUsable(TBitmap* AGlyph) {
  return AGlyph && !AGlyph->Empty() && AGlyph->Width() >= 1 && AGlyph->Height() >= 1;
}

void DrawButtonGlyph(TcxCanvas* ACanvas, TBitmap* AGlyph, const TRect& R, bool AEnabled, TColor ABackgroundColor) {
  if (!IsGlyphUsable(AGlyph)) return;
  TcxRegion* saved = ACanvas->CopyClipRegion();
  ACanvas->ClipToRect(R);
  ACanvas->DrawGlyphBitmap(R.Left, R.Top, ABackgroundColor, AEnabled, AGlyph);
  ACanvas->ApplyClipRegion(saved, roCopy, true);
}

void DrawImageListGlyph(TcxCanvas* ACanvas, TImageList* AImages, Integer AIndex, const TRect& R,
                        TColor ABackgroundColor, bool AEnabled) {
  if (!AImages || AIndex < 0 || AIndex >= AImages->Count()) return;
  TBitmap temp(AImages->Width(), AImages->Height(), pf32bit);
  temp.Canvas()->Brush()->SetColor(ABackgroundColor == clNone ? clWindow : ABackgroundColor);
  temp.Canvas()->FillRect(TRect{0, 0, temp.Width(), temp.Height()});
  AImages->Draw(temp.Canvas(), 0, 0, AIndex, AEnabled);
  TcxRegion* saved = ACanvas->CopyClipRegion();
  ACanvas->ClipToRect(R);
  ACanvas->DrawGraphic(R.Left, R.Top, &temp);
  ACanvas->ApplyClipRegion(saved, roCopy, true);
}

TcxCustomLookAndFeelPainterClass GetEditPainterClass(bool ANativeStyle, TcxLookAndFeelKind AKind) {
  if (NativeThemeAvailable(ANativeStyle, 3) && NativeLookAndFeelPainter()) return NativeLookAndFeelPainter();
  return PainterClassOfKind(AKind);
}

// ---------------------------------------------------------------------------
// Colours

TColor GetHotTrackTextColor() { return clHotLight; }

TColor GetHighlightBorderColor(bool AIsOffice11) { return AIsOffice11 ? Office11Color(o11Highlight) : clHighlight; }

TColor GetFlatButtonStateColor(bool APressed, bool AIsOffice11) {
  const TcxCustomLookAndFeelPainter* painter =
      AIsOffice11 ? PainterOf(TcxOffice11LookAndFeelPainter::StaticClass())
                  : PainterOf(TcxUltraFlatLookAndFeelPainter::StaticClass());
  return painter->ButtonFaceColor(APressed ? cxbsPressed : cxbsHot);
}

// ---------------------------------------------------------------------------
// Editor painting

Integer EditButtonFrameExtent(TcxEditButtonStyle AStyle) {
  switch (AStyle) {
    case bts3D: return 4;
    case btsFlat:
    case btsSimple: return 3;
    default: return 2;
  }
}

Integer CalcEditButtonWidth(TcxCanvas* ACanvas, TcxEditButtonViewInfo* AViewInfo) {
  const TcxEditButtonViewInfoData& data = AViewInfo->Data;
  if (data.Width >= 1) return data.Width;
  const Integer arrow = GetSystemMetrics(SM_CXHSCROLL);
  const Integer frame = EditButtonFrameExtent(AViewInfo->ButtonStyle);
  if (data.Kind == bkGlyph && IsGlyphUsable(data.Glyph)) return data.Glyph->Width() + frame;
  if (data.Kind == bkText) {
    const Integer text = ACanvas ? ACanvas->GetTextWidth(data.VisibleCaption) : 0;
    return std::max(frame + text + 3, arrow);
  }
  return arrow;
}

TPoint GetEditContentMargins(TcxCustomEditViewData* AViewData) {
  if (!AViewData->IsInplace()) return TPoint{3, 4};
  return AViewData->NativeStyle ? TPoint{3, 3} : TPoint{3, 2};
}

Integer CenteredOffset(Integer AFree, bool APressed) {
  if (AFree <= 0) return AFree / 2;
  return AFree / 2 + ((APressed && (AFree % 2) != 0) ? 1 : 0);
}

void DrawEditBackgroundAndButtons(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo) {
  TcxCustomEditViewInfo& vi = *AViewInfo;
  TcxRegion* saved = ACanvas->CopyClipRegion();
  ACanvas->ClipToRect(vi.Bounds);
  if (vi.ButtonCount() > 0 && !vi.Button(0)->Data.Transparent)
    for (Integer i = 0; i < vi.ButtonCount(); ++i) ACanvas->ClipOutRect(vi.Button(i)->VisibleBounds);
  // Shadow and border around BorderRect (the container's frame), then the
  // area inside the border up to the client rectangle, then the client.
  TRect frame = vi.BorderRect;
  frame.Left -= vi.BorderWidth;
  frame.Top -= vi.BorderWidth;
  frame.Right += vi.BorderWidth;
  frame.Bottom += vi.BorderWidth;
  if (vi.Shadow) DrawContainerShadow(ACanvas, frame);
  vi.PaintContainerBorder(ACanvas, frame);
  FillFrameArea(ACanvas, vi.Bounds, frame, vi.BackgroundColor);
  TRect client = vi.ClientRect;
  if (!IntersectRect(client, client, vi.BorderRect)) client = TRect{};
  FillFrameArea(ACanvas, vi.BorderRect, client, vi.BackgroundColor);
  if (!vi.PaintsOwnContent) FillColor(ACanvas, client, vi.BackgroundColor);
  ACanvas->ApplyClipRegion(saved, roCopy, true);
  for (Integer i = 0; i < vi.ButtonCount(); ++i) {
    const TcxEditButtonViewInfo* button = vi.Button(i);
    if (IsRectEmpty(button->Bounds)) continue;
    const bool sticksOut = !IsRectEmpty(button->Bounds) &&
                           (button->Bounds.Left < vi.Bounds.Left || button->Bounds.Right > vi.Bounds.Right ||
                            button->Bounds.Top < vi.Bounds.Top || button->Bounds.Bottom > vi.Bounds.Bottom);
    TcxRegion* clip = nullptr;
    if (sticksOut) {
      clip = ACanvas->CopyClipRegion();
      ACanvas->ClipToRect(vi.Bounds);
    }
    vi.DrawButton(ACanvas, i);
    if (clip) ACanvas->ApplyClipRegion(clip, roCopy, true);
  }
}

namespace {

// The sides of a frame that is open toward the text area (see the marks).
TcxBorders FrameSides(const TcxEditButtonViewInfo& AButton) {
  const bool left = AButton.Data.LeftAlignment;
  const bool closed = left ? AButton.RightEndMark : AButton.LeftEndMark;
  if (closed) return cxAllBorders;
  return left ? (cxAllBorders & ~BorderBit(bRight)) : (cxAllBorders & ~BorderBit(bLeft));
}

TColor FaceColor(const TcxCustomEditViewInfo& AViewInfo, const TcxEditButtonViewInfo& AButton) {
  return AButton.Data.Transparent ? AViewInfo.BackgroundColor : clBtnFace;
}

void Draw3DFrame(TcxCanvas* ACanvas, TRect& R, bool APressed, TColor AFace) {
  if (APressed) {
    FrameColor(ACanvas, R, clBtnShadow, cxAllBorders);
    InflateRect(R, -1, -1);
    FillColor(ACanvas, R, AFace);
    InflateRect(R, -1, -1);
    return;
  }
  ACanvas->DrawTwoColorBorders(R, cl3DLight, 1, cxAllBorders, cl3DDkShadow);
  InflateRect(R, -1, -1);
  ACanvas->DrawTwoColorBorders(R, clBtnHighlight, 1, cxAllBorders, clBtnShadow);
  InflateRect(R, -1, -1);
}

void DrawFlatFrame(TcxCanvas* ACanvas, TRect& R, bool APressed, TColor AFace) {
  if (APressed)
    ACanvas->DrawTwoColorBorders(R, clBtnShadow, 1, cxAllBorders, clBtnHighlight);
  else
    ACanvas->DrawTwoColorBorders(R, clBtnHighlight, 1, cxAllBorders, clBtnShadow);
  R = GrowRectSides(R, -1, -1, -1, -1);
  FillColor(ACanvas, TRect{R.Right - 1, R.Top, R.Right, R.Bottom}, AFace);
  R.Right -= 1;
}

}  // namespace

void DrawEditButtonFrame(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo, Integer AIndex, TRect& ARect,
                         TcxEditButtonStyle AStyle) {
  const TcxEditButtonViewInfo& button = *AViewInfo->Button(AIndex);
  const TcxEditButtonState state = button.Data.State;
  const bool pressed = state == ebsPressed;
  const bool hot = state == ebsSelected;
  const TColor face = FaceColor(*AViewInfo, button);
  ARect = button.Bounds;
  switch (AStyle) {
    case bts3D:
    case btsDefault:
      FillColor(ACanvas, ARect, face);
      Draw3DFrame(ACanvas, ARect, pressed, face);
      break;
    case btsFlat:
      FillColor(ACanvas, ARect, face);
      DrawFlatFrame(ACanvas, ARect, pressed, face);
      break;
    case btsSimple:
      FillColor(ACanvas, ARect, face);
      ARect = GrowRectSides(ARect, -1, -1, -2, -1);
      break;
    case btsHotFlat: {
      const TColor fill = pressed ? GetFlatButtonStateColor(true, false)
                          : hot   ? GetFlatButtonStateColor(false, false)
                                  : face;
      const TColor frame = (pressed || hot) ? GetHighlightBorderColor(false) : clBtnShadow;
      FillColor(ACanvas, ARect, fill);
      FrameColor(ACanvas, ARect, frame, FrameSides(button));
      InflateRect(ARect, -1, -1);
      break;
    }
    case btsUltraFlat:
    case btsOffice11: {
      const bool office11 = AStyle == btsOffice11;
      if (pressed || hot) {
        FillColor(ACanvas, ARect, GetFlatButtonStateColor(pressed, office11));
        FrameColor(ACanvas, ARect, GetHighlightBorderColor(office11), FrameSides(button));
      } else {
        FillColor(ACanvas, ARect, face);
      }
      InflateRect(ARect, -1, -1);
      break;
    }
  }
}

void DrawEllipsisDots(TcxCanvas* ACanvas, const TRect& AArea, Integer ADotSize, bool AEnabled, bool APressed,
                      TColor AColor) {
  const Integer dot = std::max<Integer>(ADotSize, 1);
  const Integer width = 3 * dot + 4;
  const Integer x = AArea.Left + CenteredOffset(WidthOfRect(AArea) - width, APressed);
  const Integer y = AArea.Top + CenteredOffset(HeightOfRect(AArea) - dot, APressed);
  auto dots = [&](Integer dx, Integer dy, TColor color) {
    for (Integer i = 0; i < 3; ++i) {
      const Integer left = x + dx + i * (dot + 2);
      FillColor(ACanvas, TRect{left, y + dy, left + dot, y + dy + dot}, color);
    }
  };
  if (AEnabled) {
    dots(0, 0, AColor);
  } else {
    dots(1, 1, clBtnHighlight);
    dots(0, 0, clBtnShadow);
  }
}

Integer EllipsisDotSize(Integer AButtonWidth) { return AButtonWidth > 11 ? 2 : 1; }

void DrawEditButtonContent(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo, Integer AIndex,
                           const TRect& AContentRect) {
  const TcxEditButtonViewInfo& button = *AViewInfo->Button(AIndex);
  const TcxEditButtonViewInfoData& data = button.Data;
  const bool enabled = data.State != ebsDisabled;
  const bool pressed = data.State == ebsPressed;
  TcxRegion* saved = ACanvas->CopyClipRegion();
  ACanvas->ClipToRect(AContentRect);
  switch (data.Kind) {
    case bkEllipsis:
      DrawEllipsisDots(ACanvas, AContentRect, EllipsisDotSize(WidthOfRect(button.Bounds)), enabled, pressed,
                       data.TextColor);
      break;
    case bkDown: {
      TRect r = AContentRect;
      if ((button.ButtonStyle == btsUltraFlat || button.ButtonStyle == btsOffice11) &&
          (data.LeftAlignment ? !button.RightEndMark : !button.LeftEndMark)) {
        // Next to a shared border line the arrow has one pixel more.
        if (data.LeftAlignment)
          ++r.Right;
        else
          --r.Left;
      }
      if (pressed) OffsetRect(r, 1, 1);
      const TcxCustomLookAndFeelPainter* painter = PainterOf(cxCustomLookAndFeelPainter());
      if (enabled) {
        painter->PaintDownArrowGlyph(ACanvas, r, data.TextColor);
      } else {
        TRect shadow = r;
        OffsetRect(shadow, 1, 1);
        painter->PaintDownArrowGlyph(ACanvas, shadow, clBtnHighlight);
        painter->PaintDownArrowGlyph(ACanvas, r, clBtnShadow);
      }
      break;
    }
    case bkGlyph: {
      if (!IsGlyphUsable(data.Glyph)) break;
      const Integer x =
          AContentRect.Left + CenteredOffset(WidthOfRect(AContentRect) - data.Glyph->Width(), pressed);
      const Integer y =
          AContentRect.Top + CenteredOffset(HeightOfRect(AContentRect) - data.Glyph->Height(), pressed);
      DrawButtonGlyph(ACanvas, data.Glyph, TRect{x, y, x + data.Glyph->Width(), y + data.Glyph->Height()}, enabled);
      break;
    }
    case bkText: {
      if (AViewInfo->Font) ACanvas->SetFont(AViewInfo->Font);
      const TSize size = ACanvas->GetTextSize(data.VisibleCaption);
      const Integer x = AContentRect.Left + CenteredOffset(WidthOfRect(AContentRect) - size.cx, pressed);
      const Integer y = AContentRect.Top + CenteredOffset(HeightOfRect(AContentRect) - size.cy, pressed);
      ACanvas->GetFont()->SetColor(data.TextColor);
      ACanvas->GetBrush()->SetStyle(bsClear);
      ACanvas->DrawTextWithFlags(data.VisibleCaption, TRect{x, y, x + size.cx + 1, y + size.cy + 1}, enabled,
                                 cxSingleLine | cxAlignLeft | cxAlignTop | cxDontClip);
      ACanvas->GetBrush()->SetStyle(bsSolid);
      break;
    }
  }
  if (saved) ACanvas->ApplyClipRegion(saved, roCopy, true);
}
