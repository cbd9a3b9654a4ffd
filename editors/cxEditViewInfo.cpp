#include "editors/cxEditViewInfo.h"

#include <algorithm>

#include "foundation/qzOffice11.h"
#include "platform/gui/graphics.h"

// ---------------------------------------------------------------------------
// TcxEditButtonViewInfo

void TcxEditButtonViewInfo::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxEditButtonViewInfo*>(Source);
  if (!source) return TPersistent::Assign(Source);
  Bounds = source->Bounds;
  VisibleBounds = source->VisibleBounds;
  ContentRect = source->ContentRect;
  LeftEndMark = source->LeftEndMark;
  RightEndMark = source->RightEndMark;
  ButtonIndex = source->ButtonIndex;
  ButtonStyle = source->ButtonStyle;
  Data = source->Data;
}

bool TcxEditButtonViewInfo::Differs(const TcxEditButtonViewInfo* AOld) const {
  return !AOld || ButtonStyle != AOld->ButtonStyle || !(Data == AOld->Data) ||
         LeftEndMark != AOld->LeftEndMark || RightEndMark != AOld->RightEndMark;
}

TcxRegion* TcxEditButtonViewInfo::GetUpdateRegion(TcxEditButtonViewInfo* AOld) const {
  return Differs(AOld) ? new TcxRegion(Bounds) : new TcxRegion();
}

// ---------------------------------------------------------------------------
// TcxCustomEditViewInfo

TcxCustomEditViewInfo::~TcxCustomEditViewInfo() = default;

void TcxCustomEditViewInfo::SetButtonCount(Integer ACount) {
  ACount = std::max<Integer>(ACount, 0);
  if (static_cast<size_t>(ACount) < FButtons.size()) FButtons.resize(static_cast<size_t>(ACount));
  while (FButtons.size() < static_cast<size_t>(ACount)) {
    TObject* created = GetButtonViewInfoClass()->Create();
    auto* button = dynamic_cast<TcxEditButtonViewInfo*>(created);
    if (!button) {
      delete created;
      button = new TcxEditButtonViewInfo();
    }
    FButtons.emplace_back(button);
  }
}

Integer TcxCustomEditViewInfo::GetButtonIndexAt(const TPoint& P) const {
  for (Integer i = 0; i < ButtonCount(); ++i)
    if (PtInRect(Button(i)->VisibleBounds, P)) return i;
  return -1;
}

void TcxCustomEditViewInfo::DrawButton(TcxCanvas* ACanvas, Integer AIndex) {
  TRect content;
  DrawButtonFrame(ACanvas, AIndex, content);
  Button(AIndex)->ContentRect = content;
  DrawButtonContent(ACanvas, AIndex, content);
}

void TcxCustomEditViewInfo::DrawButtonFrame(TcxCanvas* ACanvas, Integer AIndex, TRect& AContentRect) {
  const TcxEditButtonViewInfo* button = Button(AIndex);
  TcxEditButtonStyle style = button->ButtonStyle;
  const TcxEditButtonState state = button->Data.State;
  if (style == btsSimple && (state == ebsPressed || state == ebsSelected) && button->Data.ThemePart == 0)
    style = btsFlat;
  DrawEditButtonFrame(ACanvas, this, AIndex, AContentRect, style);
}

void TcxCustomEditViewInfo::DrawButtonContent(TcxCanvas* ACanvas, Integer AIndex, const TRect& AContentRect) {
  DrawEditButtonContent(ACanvas, this, AIndex, AContentRect);
}

bool TcxCustomEditViewInfo::QueryHint(const TPoint& P, String& AText) {
  AText.clear();
  TRect rect{};
  return QueryHintWithRect(P, AText, rect);
}

bool TcxCustomEditViewInfo::QueryHintWithRect(const TPoint&, String&, TRect& ARect) {
  ARect = TRect{};
  return false;
}

void TcxCustomEditViewInfo::DrawBackground(TcxCanvas* ACanvas) { DrawEditBackgroundAndButtons(ACanvas, this); }

void TcxCustomEditViewInfo::Assign(TObject* Source) {
  TcxContainerViewInfo::Assign(Source);
  auto* source = dynamic_cast<TcxCustomEditViewInfo*>(Source);
  if (!source) return;
  BackgroundColor = source->BackgroundColor;
  BorderColor = source->BorderColor;
  BorderStyle = source->BorderStyle;
  EditBorderStyle = source->EditBorderStyle;
  StyleBorderStyle = source->StyleBorderStyle;
  ContainerState = source->ContainerState;
  NativeState = source->NativeState;
  SetButtonCount(source->ButtonCount());
  for (Integer i = 0; i < ButtonCount(); ++i) Button(i)->Assign(source->Button(i));
  PressedButton = source->PressedButton;
  HotButton = source->HotButton;
}

TcxRegion* TcxCustomEditViewInfo::GetChangedRegion(TcxCustomEditViewInfo* AOld) {
  if (!AOld) return new TcxRegion(Bounds);
  if (NativeState != AOld->NativeState || BackgroundColor != AOld->BackgroundColor ||
      ButtonCount() != AOld->ButtonCount() ||
      (NeedsRepaintOnStateChange() && ContainerState != AOld->ContainerState))
    return new TcxRegion(Bounds);
  auto* region = new TcxRegion();
  if ((EditBorderStyle != ebsNone && BorderColor != AOld->BorderColor) || EditBorderStyle != AOld->EditBorderStyle)
    CombineRegionsUnion(region, std::unique_ptr<TcxRegion>(new TcxRegion(Bounds)).get());
  for (Integer i = 0; i < ButtonCount(); ++i) {
    std::unique_ptr<TcxRegion> part(Button(i)->GetUpdateRegion(AOld->Button(i)));
    CombineRegionsUnion(region, part.get());
  }
  return region;
}

TcxRegion* TcxCustomEditViewInfo::CreateRepaintRegion(TcxContainerViewInfo* AOther) {
  return GetChangedRegion(dynamic_cast<TcxCustomEditViewInfo*>(AOther));
}

bool TcxCustomEditViewInfo::InvalidateChanges(TWinControl* AControl, TcxCustomEditViewInfo* AOld,
                                              const TRect& AInnerRect) {
  std::unique_ptr<TcxRegion> region(GetChangedRegion(AOld));
  if (!IsRectEmpty(AInnerRect)) {
    std::unique_ptr<TcxRegion> inner(new TcxRegion(AInnerRect));
    region->CombineWith(inner.get(), roSubtract, false);
  }
  if (IsRegionEmpty(region->Handle())) return false;
  if (AControl && AControl->HandleAllocated()) InvalidateRgn(AControl->Handle(), region->Handle(), false);
  return true;
}

void TcxCustomEditViewInfo::OffsetBy(Integer DX, Integer DY) {
  OffsetRect(Bounds, DX, DY);
  OffsetRect(BorderRect, DX, DY);
  OffsetRect(ClientRect, DX, DY);
  OffsetRect(InnerEditRect, DX, DY);
  OffsetRect(ShadowRect, DX, DY);
  for (auto& button : FButtons) {
    OffsetRect(button->Bounds, DX, DY);
    OffsetRect(button->VisibleBounds, DX, DY);
    OffsetRect(button->ContentRect, DX, DY);
  }
}

// ---------------------------------------------------------------------------
// TcxCustomEditViewData

namespace {

Integer EditBorderWidth(TcxEditBorderStyle AStyle) {
  return ContainerBorderWidth(static_cast<TcxContainerBorderStyle>(AStyle));
}

bool Has(TShiftState AShift, TShiftState AFlag) { return (AShift & AFlag) != 0; }

}  // namespace

TcxCustomEditViewData::TcxCustomEditViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle,
                                             bool AIsInplace)
    : FProperties(AProperties), FStyle(AStyle), FIsInplace(AIsInplace) {
  TcxCustomEditViewData::CacheProperties();
}

TcxCustomEditViewData::~TcxCustomEditViewData() = default;

void TcxCustomEditViewData::InitState() {
  ContentOffset = TRect{};
  Enabled = true;
  CacheProperties();
}

void TcxCustomEditViewData::CacheProperties() {
  if (!FProperties) return;
  TcxEditAlignment* alignment = FProperties->GetAlignment();
  HorzAlignment = alignment->Horz();
  VertAlignment = alignment->Vert();
}

TcxLookAndFeelKind TcxCustomEditViewData::LookAndFeelKind() const {
  TcxLookAndFeel* lookAndFeel = FStyle ? FStyle->LookAndFeel() : nullptr;
  return lookAndFeel ? lookAndFeel->Kind() : cxDefaultLookAndFeelKind;
}

bool TcxCustomEditViewData::IsNativeLookAndFeel(TcxLookAndFeel* ALookAndFeel) const {
  return ALookAndFeel && NativeThemeAvailable(ALookAndFeel->NativeStyle(), 3);
}

bool TcxCustomEditViewData::HasShadow() const { return FStyle && FStyle->Shadow() && !NativeStyle; }

TcxEditBorderStyle TcxCustomEditViewData::ComputeBorderStyle() const {
  if (FIsInplace || !FStyle) return ebsNone;
  const TcxEditBorderStyle style = FStyle->BorderStyle();
  return (style == ebsUltraFlat || style == ebsOffice11) ? ebsSingle : style;
}

TColor TcxCustomEditViewData::ComputeBorderColor() const {
  if (!FStyle) return clWindowFrame;
  const TcxEditBorderStyle style = FStyle->BorderStyle();
  if (style != ebsUltraFlat && style != ebsOffice11) return FStyle->BorderColor();
  if (Focused || (IsSelected && FStyle->HotTrack())) return GetHighlightBorderColor(style == ebsOffice11);
  return clBtnShadow;
}

TcxEditButtonStyle TcxCustomEditViewData::ComputeButtonStyle() const {
  const TcxEditButtonStyle style = FStyle ? FStyle->ButtonStyle() : btsDefault;
  if (style != btsDefault) return style;
  if (FIsInplace) {
    switch (LookAndFeelKind()) {
      case lfFlat: return btsFlat;
      case lfStandard: return bts3D;
      case lfUltraFlat: return btsUltraFlat;
      case lfOffice11: return btsOffice11;
    }
    return bts3D;
  }
  switch (FStyle ? FStyle->BorderStyle() : ebsNone) {
    case ebsNone: return btsSimple;
    case ebsSingle: return btsHotFlat;
    case ebsThick: return bts3D;
    case ebsFlat: return btsFlat;
    case ebs3D: return bts3D;
    case ebsUltraFlat: return btsUltraFlat;
    case ebsOffice11: return btsOffice11;
  }
  return bts3D;
}

TcxEditPopupBorderStyle TcxCustomEditViewData::ComputePopupBorderStyle(TcxEditBorderStyle ABorderStyle) const {
  const TcxEditPopupBorderStyle style = FStyle ? FStyle->PopupBorderStyle() : epbsDefault;
  if (style != epbsDefault) return style;
  if (FIsInplace) {
    switch (LookAndFeelKind()) {
      case lfFlat: return epbsFlat;
      case lfStandard: return epbsFrame3D;
      default: return epbsSingle;
    }
  }
  return (ABorderStyle == ebsNone || ABorderStyle == ebsFlat) ? epbsFlat : epbsSingle;
}

TRect TcxCustomEditViewData::CalcBorderExtent() const {
  if (FIsInplace) return ContentOffset;
  if (!FStyle) return TRect{};
  if (FStyle->TransparentBorder()) return TRect{2, 2, 2, 2};
  const TcxEditBorderStyle style = ComputeBorderStyle();
  if (!FStyle->BorderAllowed()) return TRect{};
  if (NativeStyle) return style == ebsNone ? TRect{} : TRect{2, 2, 2, 2};
  const Integer w = EditBorderWidth(style);
  const TcxBorders edges = FStyle->Edges();
  TRect r{(edges & BorderBit(bLeft)) ? w : 0, (edges & BorderBit(bTop)) ? w : 0,
          (edges & BorderBit(bRight)) ? w : 0, (edges & BorderBit(bBottom)) ? w : 0};
  if (HasShadow()) {
    r.Right += cxContainerShadowWidth;
    r.Bottom += cxContainerShadowWidth;
  }
  return r;
}

TRect TcxCustomEditViewData::CalcThemedBorderExtent(TcxCanvas*) const {
  if (FIsInplace) return ContentOffset;
  // No theme opens on this platform: the themed extent is the plain one.
  return CalcBorderExtent();
}

TRect TcxCustomEditViewData::CalcClientMargins(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo) const {
  TRect margins = ButtonsOnlyStyle ? CalcThemedBorderExtent(ACanvas) : CalcBorderExtent();
  for (Integer i = 0; i < AViewInfo->ButtonCount(); ++i) {
    const TcxEditButtonViewInfo* button = AViewInfo->Button(i);
    const Integer width = WidthOfRect(button->VisibleBounds);
    if (button->Data.LeftAlignment)
      margins.Left += width;
    else
      margins.Right += width;
  }
  if (HScrollBar && HScrollBar->Visible()) margins.Bottom += HScrollBar->Height();
  if (VScrollBar && VScrollBar->Visible()) margins.Right += VScrollBar->Width();
  return margins;
}

void TcxCustomEditViewData::ComputeButtonThemeState(TcxEditButtonViewInfo* AButtonViewInfo) {
  TcxEditButtonViewInfoData& data = AButtonViewInfo->Data;
  if (!NativeStyle) {
    data.ThemePart = 0;
    data.ThemeState = 0;
    return;
  }
  // The push button part (a single down button uses the drop-down part);
  // states normal 1, hot 2, pressed 3, disabled 4.
  data.ThemePart = 1;
  static constexpr Integer kStates[] = {4, 1, 3, 2};
  data.ThemeState = kStates[std::clamp<Integer>(data.State, 0, 3)];
}

void TcxCustomEditViewData::FillButtonViewInfo(TcxCustomEditViewInfo* AViewInfo, Integer AIndex,
                                               Integer AButtonIndex) {
  TcxEditButtonViewInfo* vi = AViewInfo->Button(AIndex);
  const TcxEditButton* button = FProperties->Buttons()->GetButton(AButtonIndex);
  vi->ButtonIndex = AButtonIndex;
  vi->LeftEndMark = false;
  vi->RightEndMark = false;
  TcxEditButtonViewInfoData& data = vi->Data;
  data = TcxEditButtonViewInfoData{};
  data.Kind = button->Kind();
  data.Caption = button->Caption();
  data.VisibleCaption = button->VisibleCaption();
  data.TextColor = button->TextColor();
  data.Default = button->Default();
  data.Glyph = button->HasGlyph() ? const_cast<TcxEditButton*>(button)->Glyph() : nullptr;
  data.LeftAlignment = button->LeftAlignment();
  data.Stretchable = button->Stretchable();
  data.Width = button->Width();
  data.Enabled = button->Enabled();
  data.IsInplace = FIsInplace;
  data.IsSingleDownButton = AViewInfo->ButtonCount() == 1 && button->Kind() == bkDown;
  const TcxEditButtonTransparency transparency = FStyle ? FStyle->ButtonTransparency() : ebtNone;
  const bool active = (AViewInfo->ContainerState & csActive) != 0;
  data.Transparent = transparency == ebtAlways || (transparency == ebtInactive && !active);
}

void TcxCustomEditViewData::PlaceButton(TcxCustomEditViewInfo* AViewInfo, Integer AIndex, TRect& AArea,
                                        Integer AWidth) {
  TcxEditButtonViewInfo* vi = AViewInfo->Button(AIndex);
  if (IsRectEmpty(AArea)) {
    vi->Bounds = TRect{};
    vi->VisibleBounds = TRect{};
    return;
  }
  const Integer visible = std::min(AWidth, WidthOfRect(AArea));
  if (vi->Data.LeftAlignment) {
    vi->Bounds = TRect{AArea.Left, AArea.Top, AArea.Left + AWidth, AArea.Bottom};
    vi->VisibleBounds = TRect{AArea.Left, AArea.Top, AArea.Left + visible, AArea.Bottom};
    AArea.Left += visible;
    if (LeftSideLeftmostButtonIndex < 0) LeftSideLeftmostButtonIndex = AIndex;
    LeftSideRightmostButtonIndex = AIndex;
  } else {
    vi->Bounds = TRect{AArea.Right - AWidth, AArea.Top, AArea.Right, AArea.Bottom};
    vi->VisibleBounds = TRect{AArea.Right - visible, AArea.Top, AArea.Right, AArea.Bottom};
    AArea.Right -= visible;
    if (RightSideRightmostButtonIndex < 0) RightSideRightmostButtonIndex = AIndex;
    RightSideLeftmostButtonIndex = AIndex;
  }
  vi->ContentRect = vi->Bounds;
}

void TcxCustomEditViewData::StretchButtons(TcxCustomEditViewInfo* AViewInfo, std::vector<Integer>& AWidths,
                                           Integer AFree) const {
  if (AFree <= 0 || AWidths.empty()) return;
  std::vector<Integer> chosen;
  for (Integer i = 0; i < AViewInfo->ButtonCount(); ++i)
    if (AViewInfo->Button(i)->Data.Stretchable) chosen.push_back(i);
  if (chosen.empty())
    for (Integer i = 0; i < AViewInfo->ButtonCount(); ++i) chosen.push_back(i);
  long long total = 0;
  for (Integer i : chosen) total += std::max<Integer>(AWidths[static_cast<size_t>(i)], 0);
  Integer rest = AFree;
  for (size_t n = 0; n < chosen.size(); ++n) {
    const size_t i = static_cast<size_t>(chosen[n]);
    Integer extra;
    if (n + 1 == chosen.size())
      extra = rest;
    else if (total > 0)
      extra = static_cast<Integer>(static_cast<long long>(AFree) * std::max<Integer>(AWidths[i], 0) / total);
    else
      extra = AFree / static_cast<Integer>(chosen.size());
    AWidths[i] += extra;
    rest -= extra;
  }
}

void TcxCustomEditViewData::ComputeButtonStates(TcxCustomEditViewInfo* AViewInfo, const TPoint& P,
                                                TcxMouseButton AButton, TShiftState AShift, bool AIsMouseEvent,
                                                const std::vector<TcxEditButtonState>& AOldStates,
                                                Integer AOldPressed) {
  const Integer captured = GetCapturedButtonIndex();
  const TShiftState mouseShift = AShift & ~ssDouble;
  for (Integer i = 0; i < AViewInfo->ButtonCount(); ++i) {
    TcxEditButtonViewInfo* vi = AViewInfo->Button(i);
    TcxEditButtonViewInfoData& data = vi->Data;
    const TcxEditButtonState old = static_cast<size_t>(i) < AOldStates.size() ? AOldStates[static_cast<size_t>(i)]
                                                                               : ebsNormal;
    TcxEditButtonState state = ebsNormal;
    if (!AViewInfo->Enabled || !data.Enabled) {
      state = ebsDisabled;
    } else {
      const bool held = IsButtonHeldPressed(AViewInfo, i);
      const bool over = !IsDesigning && PtInRect(vi->VisibleBounds, P);
      const bool reentered = i == captured && Has(AShift, ssLeft) && over;
      if (!held && !over) {
        state = ebsNormal;
      } else if (!held && AShift == 0 && !reentered) {
        state = ebsSelected;
      } else if (held || (reentered && old == ebsNormal && IsButtonPressedByMouse(AViewInfo, i)) ||
                 (mouseShift == ssLeft &&
                  ((AIsMouseEvent && AButton == cxmbLeft && IsButtonPressedByMouse(AViewInfo, i)) ||
                   i == AOldPressed)) ||
                 (old == ebsPressed && Has(AShift, ssLeft))) {
        state = ebsPressed;
      }
    }
    data.State = state;
    data.Hot = state == ebsSelected;
    data.Pressed = state == ebsPressed;
    if (state == ebsSelected) AViewInfo->HotButton = i;
    if (state == ebsPressed) {
      AViewInfo->PressedButton = i;
      AViewInfo->IsButtonReallyPressed = true;
    }
    ComputeButtonThemeState(vi);
  }
}

void TcxCustomEditViewData::ComputeButtonMarks(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo,
                                               const std::vector<Integer>& AOrder) {
  Integer leftOuter = -1, leftInner = -1, rightOuter = -1, rightInner = -1;
  for (Integer i : AOrder) {
    if (AViewInfo->Button(i)->Data.LeftAlignment) {
      if (leftOuter < 0) leftOuter = i;
      leftInner = i;
    } else {
      if (rightOuter < 0) rightOuter = i;
      rightInner = i;
    }
  }
  if (leftOuter >= 0) AViewInfo->Button(leftOuter)->LeftEndMark = true;
  if (rightOuter >= 0) AViewInfo->Button(rightOuter)->RightEndMark = true;
  if (leftInner >= 0 && (!ButtonsOnlyStyle || rightOuter < 0)) AViewInfo->Button(leftInner)->RightEndMark = true;
  if (rightInner >= 0 && (!ButtonsOnlyStyle || leftOuter < 0)) AViewInfo->Button(rightInner)->LeftEndMark = true;
  if (ButtonsOnlyStyle) {
    for (Integer i = 0; i < AViewInfo->ButtonCount(); ++i) AViewInfo->Button(i)->Data.LeftAlignment = false;
    return;
  }
  const TRect inside = DeflateRectByMargins(Bounds, CalcThemedBorderExtent(ACanvas));
  auto widen = [&](Integer AIndex, bool ALeftGroup, bool AOtherEmpty) {
    if (AIndex < 0) return;
    TcxEditButtonViewInfo* vi = AViewInfo->Button(AIndex);
    if (IsRectEmpty(vi->Bounds) || vi->ButtonStyle != btsHotFlat || vi->Data.ThemePart != 0) return;
    if (ALeftGroup)
      ++vi->Bounds.Right;
    else
      --vi->Bounds.Left;
    if (!AOtherEmpty) return;
    TRect visible = vi->VisibleBounds;
    if (ALeftGroup)
      ++visible.Right;
    else
      --visible.Left;
    if (visible.Left >= inside.Left && visible.Right <= inside.Right) vi->VisibleBounds = visible;
  };
  widen(leftInner, true, rightOuter < 0);
  widen(rightInner, false, leftOuter < 0);
}

void TcxCustomEditViewData::ComputeButtonsViewInfo(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo,
                                                   const TPoint& P, TcxMouseButton AButton, TShiftState AShift,
                                                   bool AIsMouseEvent) {
  std::vector<TcxEditButtonState> oldStates;
  for (Integer i = 0; i < AViewInfo->ButtonCount(); ++i) oldStates.push_back(AViewInfo->Button(i)->Data.State);
  const Integer oldPressed = AIsMouseEvent ? AViewInfo->PressedButton : -1;
  AViewInfo->PressedButton = -1;
  AViewInfo->HotButton = -1;
  AViewInfo->IsButtonReallyPressed = false;
  LeftSideLeftmostButtonIndex = LeftSideRightmostButtonIndex = -1;
  RightSideLeftmostButtonIndex = RightSideRightmostButtonIndex = -1;

  TcxEditButtons* buttons = FProperties ? FProperties->Buttons() : nullptr;
  VisibleButtonCount = buttons ? buttons->VisibleCount() : 0;
  const TcxEditButtonTransparency transparency = FStyle ? FStyle->ButtonTransparency() : ebtNone;
  const bool active = (AViewInfo->ContainerState & csActive) != 0;
  if (VisibleButtonCount == 0 || (transparency == ebtHideInactive && !active) ||
      (transparency == ebtHideUnselected && !AViewInfo->IsSelected)) {
    AViewInfo->SetButtonCount(0);
    ButtonsCalculated(AViewInfo);
    return;
  }
  AViewInfo->SetButtonCount(VisibleButtonCount);
  const TcxEditButtonStyle buttonStyle = ComputeButtonStyle();

  // Visible buttons in collection order; view info index = visible rank.
  std::vector<Integer> buttonIndexes;
  for (Integer i = 0; i < buttons->Count(); ++i)
    if (buttons->GetButton(i)->Visible()) buttonIndexes.push_back(i);

  std::vector<Integer> widths(buttonIndexes.size(), 0);
  bool canvasPrepared = false;
  for (Integer i = static_cast<Integer>(buttonIndexes.size()) - 1; i >= 0; --i) {
    TcxEditButtonViewInfo* vi = AViewInfo->Button(i);
    vi->ButtonStyle = buttonStyle;
    FillButtonViewInfo(AViewInfo, i, buttonIndexes[static_cast<size_t>(i)]);
    if (vi->Data.Kind == bkText && !canvasPrepared && ACanvas) {
      if (AViewInfo->Font) ACanvas->SetFont(AViewInfo->Font);
      AViewInfo->PrepareMeasureCanvas(ACanvas);
      canvasPrepared = true;
    }
    widths[static_cast<size_t>(i)] = CalcEditButtonWidth(ACanvas, vi);
  }

  const TRect start = DeflateRectByMargins(Bounds, ButtonsOnlyStyle ? CalcThemedBorderExtent(ACanvas)
                                                                    : CalcBorderExtent());
  if (ButtonsOnlyStyle) {
    long long used = 0;
    for (Integer w : widths) used += w;
    StretchButtons(AViewInfo, widths, static_cast<Integer>(std::max<long long>(0, WidthOfRect(start) - used)));
  }
  TRect area = start;
  std::vector<Integer> order;
  for (Integer i = static_cast<Integer>(buttonIndexes.size()) - 1; i >= 0; --i) {
    PlaceButton(AViewInfo, i, area, widths[static_cast<size_t>(i)]);
    order.push_back(i);
  }

  ComputeButtonStates(AViewInfo, P, AButton, AShift, AIsMouseEvent, oldStates, oldPressed);
  ComputeButtonMarks(ACanvas, AViewInfo, order);
  ButtonsCalculated(AViewInfo);
}

void TcxCustomEditViewData::CalculateEditViewInfoRects(TcxCanvas*, TcxCustomEditViewInfo* AViewInfo) {
  TcxCustomEditViewInfo& vi = *AViewInfo;
  vi.NativeStyle = NativeStyle;
  if (NativeStyle) {
    const TcxContainerState s = vi.ContainerState;
    vi.NativeState = (s & csDisabled) ? 4 : (FProperties && FProperties->ReadOnly()) ? 6 : (s & csActive) ? 5
                     : (s & csHotTrack) ? 2 : 1;
  } else {
    vi.NativeState = 0;
  }
  vi.ThemeState = vi.NativeState;
  vi.ClientRect = DeflateRectByMargins(Bounds, CalcBorderExtent());
  // Inside the border (and the shadow beyond it).
  vi.BorderRect = vi.ClientRect;
  vi.HasContentOffsets = ContentOffset.Left != 0 || ContentOffset.Top != 0 || ContentOffset.Right != 0 ||
                         ContentOffset.Bottom != 0;
  if (!FIsInplace) vi.BorderColor = ComputeBorderColor();
  vi.TextColor = FStyle ? FStyle->TextColor() : clWindowText;
  vi.BackgroundColor = FStyle ? FStyle->Color() : clWindow;
  if (NativeStyle && !Enabled) vi.BackgroundColor = clBtnFace;
  vi.ShadowRect = vi.Shadow ? TRect{Bounds.Left + cxContainerShadowWidth, Bounds.Top + cxContainerShadowWidth,
                                    Bounds.Right, Bounds.Bottom}
                            : TRect{};
}

void TcxCustomEditViewData::ComputeViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                            TcxMouseButton AButton, TShiftState AShift,
                                            TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  Bounds = ABounds;
  TcxCustomEditViewInfo& vi = *AViewInfo;
  TcxLookAndFeel* lookAndFeel = FStyle ? FStyle->LookAndFeel() : nullptr;
  NativeStyle = IsNativeLookAndFeel(lookAndFeel);
  if (Edit) Focused = Edit->IsFocusedEditor();

  // 1. Container state.
  TcxContainerState state;
  if (!Enabled)
    state = csDisabled;
  else if (IsDesigning)
    state = csNormal;
  else
    state = Focused ? csActive : csNormal;
  TRect hotArea = ABounds;
  if (Edit) IntersectRect(hotArea, hotArea, Edit->VisibleBounds());
  const bool mouseFree = (AShift & (ssLeft | ssRight | ssMiddle)) == 0;
  if (PtInRect(hotArea, P) && (mouseFree || (Edit && Edit->HasMouseCapture()))) state |= csHotTrack;
  vi.ContainerState = state;
  IsSelected = (state & (csActive | csHotTrack)) != 0;
  const bool hotTrack = FStyle && FStyle->HotTrack();
  vi.HotState = (IsDesigning || !hotTrack || FIsInplace) ? cxEditHotTrackOff
                : IsSelected                              ? cxEditHotTrackSelected
                                                          : cxEditHotTrackNormal;

  // 2. Border style.
  vi.EditBorderStyle = ComputeBorderStyle();
  vi.StyleBorderStyle = FStyle ? FStyle->BorderStyle() : ebsNone;
  vi.BorderStyle = static_cast<TcxContainerBorderStyle>(vi.EditBorderStyle);
  vi.BorderWidth = EditBorderWidth(vi.EditBorderStyle);
  vi.Edges = FStyle ? FStyle->Edges() : cxAllBorders;

  // 3. Buttons-only style.
  const TcxEditButtonsViewStyle viewStyle = FProperties ? FProperties->ButtonsViewStyle() : TcxEditButtonsViewStyle(cxbvsNormal);
  ButtonsOnlyStyle = FIsInplace ? (IsBounded() && viewStyle != cxbvsNormal) : viewStyle == cxbvsButtonsOnly;

  // 4. Copy.
  vi.Bounds = ABounds;
  vi.Enabled = Enabled;
  vi.Focused = Focused;
  vi.IsHot = (state & csHotTrack) != 0;
  vi.IsInnerEditVisible = InnerEdit != nullptr && InnerEdit->Visible();
  vi.IsDesigning = IsDesigning;
  vi.IsInplace = FIsInplace;
  vi.IsSelected = IsSelected;
  vi.PaintOptions = PaintOptions;
  if (FStyle) vi.Font = FStyle->GetVisibleFont();
  vi.Shadow = !FIsInplace && HasShadow();
  vi.WindowHandle = WindowHandle;

  // 5. - 7.
  CalculateEditViewInfoRects(ACanvas, AViewInfo);
  ComputeButtonsViewInfo(ACanvas, AViewInfo, P, AButton, AShift, AIsMouseEvent);
  vi.ClientRect = DeflateRectByMargins(ABounds, CalcClientMargins(ACanvas, AViewInfo));
  vi.InnerEditRect = InnerEdit ? InnerEdit->BoundsRect() : vi.ClientRect;

  // 8. Popup border style.
  vi.PopupBorderStyle = ComputePopupBorderStyle(vi.StyleBorderStyle);
}

TSize TcxCustomEditViewData::CalcNonTextExtent(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo) {
  if (!FIsInplace || !AViewInfo) return TSize{0, 0};
  Integer tallest = 0;
  for (Integer i = 0; i < AViewInfo->ButtonCount(); ++i) {
    const TcxEditButtonViewInfoData& data = AViewInfo->Button(i)->Data;
    Integer h = 0;
    if (data.Kind == bkGlyph && IsGlyphUsable(data.Glyph))
      h = data.Glyph->Height();
    else if (data.Kind == bkText && ACanvas)
      h = ACanvas->GetTextHeight(data.VisibleCaption);
    else
      continue;
    h += EditButtonFrameExtent(AViewInfo->Button(i)->ButtonStyle);
    tallest = std::max(tallest, h);
  }
  if (tallest == 0) return TSize{0, 0};
  const TRect border = CalcThemedBorderExtent(ACanvas);
  tallest += border.Top + border.Bottom;
  const Integer text = ACanvas ? ACanvas->GetTextHeight(u"Zg") + GetEditContentMargins(this).Y : 0;
  return TSize{0, std::max(0, tallest - text)};
}

TSize TcxCustomEditViewData::CalcFrameExtent(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo) {
  std::unique_ptr<TcxCustomEditViewInfo> temp;
  if (!AViewInfo) {
    // Of the kind's own class: its view data may take it for one.
    if (FProperties && FProperties->GetViewInfoClass())
      temp.reset(dynamic_cast<TcxCustomEditViewInfo*>(FProperties->GetViewInfoClass()->Create()));
    if (!temp) temp = std::make_unique<TcxCustomEditViewInfo>();
    AViewInfo = temp.get();
    const TRect savedBounds = Bounds;
    ComputeViewInfo(ACanvas, TRect{0, 0, cxMaxRectSize, cxMaxRectSize}, TPoint{-1, -1}, cxmbNone, 0, AViewInfo,
                    false);
    Bounds = savedBounds;
  }
  const TRect m = CalcClientMargins(ACanvas, AViewInfo);
  return TSize{m.Left + m.Right, m.Top + m.Bottom};
}

TSize TcxCustomEditViewData::CalcContentExtent(TcxCanvas* ACanvas, const Variant& AEditValue,
                                               const TcxEditSizeProperties&) {
  if (ButtonsOnlyStyle) {
    if (FStyle && ACanvas) ACanvas->SetFont(FStyle->GetVisibleFont());
    const Integer text = ACanvas ? ACanvas->GetTextHeight(u"Zg") : 0;
    return TSize{0, text + GetEditContentMargins(this).Y};
  }
  return CalcTextExtent(ACanvas, AEditValue);
}

void TcxCustomEditViewData::CalcEditorSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                           const TcxEditSizeProperties& ALimits, TcxCustomEditViewInfo* AViewInfo,
                                           TSize& ASize) {
  const TSize frame = CalcFrameExtent(ACanvas, AViewInfo);
  TcxEditSizeProperties limits = ALimits;
  TSize content{0, 0};
  if (ALimits.Height > 0 && ALimits.Height < frame.cy) {
    content = TSize{0, 0};
  } else {
    if (ALimits.Height > 0) limits.Height = ALimits.Height - frame.cy;
    if (ALimits.Width > 0) limits.Width = std::max(0, ALimits.Width - frame.cx);
    content = CalcContentExtent(ACanvas, AEditValue, limits);
    if (limits.Height > 0) content.cy = std::min(content.cy, limits.Height);
  }
  ASize = MaxSize(ASize, TSize{frame.cx + content.cx, frame.cy + content.cy});
}

void TcxCustomEditViewData::DoGetDisplayText(const Variant& AEditValue, String& AText) {
  EditValueToDisplayText(AEditValue, AText);
  if (OnGetDisplayText) OnGetDisplayText(this, AText);
}

// ---------------------------------------------------------------------------
// Routines

void CalcViewInfoAtOrigin(TcxCustomEditViewData* AViewData, TcxCanvas* ACanvas, const TRect& ARect, const TPoint& P,
                          TcxMouseButton AButton, TShiftState AShift, TcxCustomEditViewInfo* AViewInfo,
                          bool AIsMouseEvent) {
  const TRect atOrigin{0, 0, WidthOfRect(ARect), HeightOfRect(ARect)};
  const TPoint relative{P.X - ARect.Left, P.Y - ARect.Top};
  AViewData->ComputeViewInfo(ACanvas, atOrigin, relative, AButton, AShift, AViewInfo, AIsMouseEvent);
  AViewInfo->Left = ARect.Left;
  AViewInfo->Top = ARect.Top;
}

void PaintViewInfoAtOrigin(TcxCustomEditViewInfo* AViewInfo, TcxCanvas* ACanvas) {
  HDC dc = ACanvas->GetHandle();
  TPoint previous{};
  GetWindowOrgEx(dc, previous);
  SetWindowOrgEx(dc, previous.X - AViewInfo->Left, previous.Y - AViewInfo->Top, nullptr);
  try {
    AViewInfo->Render(ACanvas);
  } catch (...) {
    SetWindowOrgEx(dc, previous.X, previous.Y, nullptr);
    throw;
  }
  SetWindowOrgEx(dc, previous.X, previous.Y, nullptr);
}
