#include "editors/cxGroupBox.h"

#include <algorithm>

#include "editors/cxEditPaintUtils.h"
#include "foundation/cxLookAndFeelPainters.h"

namespace {

// Font orientations of vertical captions, in tenths of a degree.
constexpr Integer LeftCaptionOrientation = 900;
constexpr Integer RightCaptionOrientation = 2700;
// Bottom captions stand this much above the control's bottom.
constexpr Integer BottomCaptionRaise = 2;

bool IsVertical(TcxCaptionSide ASide) { return ASide == cxcsLeft || ASide == cxcsRight; }

}  // namespace

bool IsCaptionAccelerator(Char AChar, const String& ACaption) {
  auto upper = [](Char C) { return C >= u'a' && C <= u'z' ? Char(C - u'a' + u'A') : C; };
  for (size_t i = 0; i + 1 < ACaption.size(); ++i) {
    if (ACaption[i] != u'&') continue;
    if (ACaption[i + 1] == u'&') {
      ++i;
      continue;
    }
    return upper(ACaption[i + 1]) == upper(AChar);
  }
  return false;
}

TcxCaptionSide CaptionSideOf(TcxCaptionAlignment AAlignment) {
  if (AAlignment <= alTopRight) return cxcsTop;
  if (AAlignment <= alBottomRight) return cxcsBottom;
  if (AAlignment <= alLeftBottom) return cxcsLeft;
  if (AAlignment <= alRightBottom) return cxcsRight;
  return cxcsCenter;
}

TcxEditButtonStyle cxButtonGroupItemStyle(bool AIsInplace, TcxLookAndFeelKind AKind,
                                          TcxContainerBorderStyle ABorderStyle) {
  if (AIsInplace) {
    switch (AKind) {
      case lfFlat: return btsFlat;
      case lfUltraFlat: return btsUltraFlat;
      case lfOffice11: return btsOffice11;
      default: return bts3D;
    }
  }
  switch (ABorderStyle) {
    case cbsUltraFlat: return btsUltraFlat;
    case cbsOffice11: return btsOffice11;
    case cbsSingle:
    case cbsThick:
    case cbsFlat: return btsFlat;
    default: return bts3D;
  }
}

// ---- Layout rules ----------------------------------------------------------------------------

TRect cxGroupBoxCaptionRect(TcxCaptionAlignment AAlignment, const TSize& AControl, const TSize& AText,
                            bool AShadow) {
  const Integer s = AShadow ? cxGroupBoxShadowWidth : 0;
  const Integer W = AControl.cx, H = AControl.cy, w = AText.cx, h = AText.cy;
  const Integer indent = cxGroupBoxCaptionIndent;
  // Position along the caption's side: 0 start, 1 centre, 2 end.
  const Integer place = AAlignment == alCenterCenter ? 1 : Integer(AAlignment) % 3;
  switch (CaptionSideOf(AAlignment)) {
    case cxcsLeft: {
      const Integer top = place == 0 ? indent : place == 1 ? (H - s - w) / 2 : H - s - indent - w;
      return Rect(-1, top, h - 1, top + w);
    }
    case cxcsRight: {
      const Integer top = place == 0 ? indent : place == 1 ? (H - w) / 2 : H - indent - w;
      return Rect(W - h + 1, top, W + 1, top + w);
    }
    default: break;
  }
  const Integer left = place == 0 ? indent : place == 1 ? (W - s - w) / 2 : W - indent - s - w;
  TRect r = Rect(left, 0, left + w, h);
  if (AAlignment == alCenterCenter) {
    r.Top = (H - s - h) / 2;
    r.Bottom = r.Top + h;
  } else if (CaptionSideOf(AAlignment) == cxcsBottom) {
    r.Top = H - h - BottomCaptionRaise;
    r.Bottom = H - BottomCaptionRaise;
  }
  return r;
}

TRect cxGroupBoxFrameRect(TcxCaptionAlignment AAlignment, const TSize& AControl, Integer ASampleHeight,
                          Integer ABorderWidth) {
  TRect r = Rect(0, 0, AControl.cx, AControl.cy);
  const Integer d = ASampleHeight / 2 - ABorderWidth + 1;
  switch (CaptionSideOf(AAlignment)) {
    case cxcsTop: r.Top = d; break;
    case cxcsBottom: r.Bottom = AControl.cy - d; break;
    case cxcsLeft: r.Left = d - 1; break;
    case cxcsRight: r.Right = AControl.cx - d + 1; break;
    case cxcsCenter: break;
  }
  return r;
}

TRect cxGroupBoxClientMargins(TcxCaptionAlignment AAlignment, Integer ASampleHeight, Integer ABorderWidth,
                              bool AIsInplace) {
  if (AIsInplace) return TRect{};
  TRect m = Rect(ABorderWidth, ABorderWidth, ABorderWidth, ABorderWidth);
  const Integer band = ASampleHeight + 3;
  switch (CaptionSideOf(AAlignment)) {
    case cxcsTop: m.Top = band; break;
    case cxcsBottom: m.Bottom = band; break;
    case cxcsLeft: m.Left = band; break;
    case cxcsRight: m.Right = band; break;
    case cxcsCenter: break;
  }
  return m;
}

Integer cxButtonGroupRowCount(Integer ACount, Integer AColumns) {
  if (ACount <= 0 || AColumns <= 0) return 0;
  return (ACount + AColumns - 1) / AColumns;
}

std::vector<TRect> cxButtonGroupItemRects(const TRect& B, const TRect& M, Integer ACount, Integer AColumns,
                                          const TcxButtonGroupMetrics& AMetrics) {
  std::vector<TRect> result;
  const Integer rows = cxButtonGroupRowCount(ACount, AColumns);
  if (rows == 0) return result;
  const Integer spacing = AMetrics.ColumnSpacing;
  const Integer columnWidth =
      (B.Right + AMetrics.PlacementWidthAdjustment - B.Left - M.Left - M.Right - (AColumns - 1) * spacing) /
      AColumns;
  const Integer area = std::max(0, B.Bottom - B.Top - M.Top - M.Bottom);
  const Integer firstTop = B.Top + M.Top + (area % rows) / 2;
  const Integer rowHeight = area / rows;
  result.reserve(static_cast<size_t>(ACount));
  for (Integer i = 0; i < ACount; ++i) {
    const Integer column = i / rows, row = i % rows;
    const Integer left = B.Left + M.Left + (columnWidth + spacing) * column + AMetrics.LeftOffset;
    const Integer top = rowHeight * row + firstTop;
    result.push_back(Rect(left, top, left + columnWidth, top + rowHeight));
  }
  return result;
}

Integer cxButtonGroupNavigate(Integer AIndex, Word AKey, Integer ACount, Integer ARows) {
  if (AIndex < 0 || AIndex >= ACount || ARows <= 0) return AIndex;
  const Integer column = AIndex / ARows, row = AIndex % ARows;
  switch (AKey) {
    case VK_LEFT: return column > 0 ? AIndex - ARows : AIndex;
    case VK_UP: return row > 0 ? AIndex - 1 : AIndex;
    case VK_RIGHT: return AIndex + ARows < ACount ? AIndex + ARows : AIndex;
    case VK_DOWN: return row < ARows - 1 && AIndex + 1 < ACount ? AIndex + 1 : AIndex;
    default: return AIndex;
  }
}

// ---- Items -----------------------------------------------------------------------------------

void TcxButtonGroupItem::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TcxButtonGroupItem*>(Source)) {
    FCaption = s->FCaption;
    FEnabled = s->FEnabled;
    FTag = s->FTag;
    ItemChanged();
    return;
  }
  TCollectionItem::Assign(Source);
}

void TcxButtonGroupItem::SetCaption(const String& Value) {
  if (Value == FCaption) return;
  FCaption = Value;
  ItemChanged();
}

void TcxButtonGroupItem::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  ItemChanged();
}

void TcxButtonGroupItems::Notify(TCollectionItem* Item, TCollectionNotification Action) {
  TOwnedCollection::Notify(Item, Action);
  if (Action == cnDeleting) return;  // cnExtracting follows
  FNoticePending = UpdateCount() == 0;
  FChangedIndex = Item->Index();
  FChangedKind = Action == cnAdded ? bgicAdded : bgicDeleted;
}

void TcxButtonGroupItems::Update(TCollectionItem* Item) {
  TOwnedCollection::Update(Item);
  // A notice that follows one item's arrival or leaving, or one item's own
  // change, concerns that item alone.
  FSingleChange = FNoticePending || Item != nullptr;
  if (Item && !FNoticePending) {
    FChangedIndex = Item->Index();
    FChangedKind = bgicChanged;
  }
  FNoticePending = false;
  struct TEndNotice {
    bool& Flag;
    ~TEndNotice() { Flag = false; }
  } endNotice{FSingleChange};
  if (auto* properties = dynamic_cast<TcxCustomEditProperties*>(GetOwner())) properties->NotifyChanged();
}

// ---- TcxCustomButtonGroupProperties ----------------------------------------------------------

TcxCustomButtonGroupProperties::TcxCustomButtonGroupProperties(TPersistent* AOwner)
    : TcxCustomGroupBoxProperties(AOwner) {}

TcxCustomButtonGroupProperties::~TcxCustomButtonGroupProperties() = default;

void TcxCustomButtonGroupProperties::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TcxCustomButtonGroupProperties*>(Source);
  if (!s) return TcxCustomGroupBoxProperties::Assign(Source);
  TcxUpdateScope update(this);
  TcxCustomGroupBoxProperties::Assign(Source);
  SetColumns(s->FColumns);
  Items()->Assign(s->Items());
  SetWordWrap(s->FWordWrap);
}

void TcxCustomButtonGroupProperties::SetColumns(Integer Value) { SetValue(FColumns, std::max(Value, 1)); }

TcxButtonGroupItems* TcxCustomButtonGroupProperties::Items() {
  if (!FItems) FItems.reset(CreateItems());
  return FItems.get();
}

TcxButtonGroupItems* TcxCustomButtonGroupProperties::CreateItems() {
  return new TcxButtonGroupItems(this, TcxButtonGroupItem::StaticClass());
}

Integer TcxCustomButtonGroupProperties::GetEffectiveColumns() {
  const Integer count = Items()->Count();
  if (count == 0) return 1;
  const Integer columns = std::max(1, std::min(FColumns, count));
  const Integer rows = cxButtonGroupRowCount(count, columns);
  return (count + rows - 1) / rows;
}

// ---- TcxCustomGroupBox -----------------------------------------------------------------------

TcxCustomGroupBox::TcxCustomGroupBox(TComponent* AOwner, bool AIsInplace) : TcxCustomEdit(AOwner, AIsInplace) {
  RecreateStylesAndViewInfo();  // the state styles are TcxGroupBoxStyleEx
  SetControlStyle(ControlStyle() | csAcceptsControls);
  SetParentColor(true);
  SetBounds(0, 0, 185, 105);
  SetTabStop(false);
  SetAutoSize(false);
}

void TcxCustomGroupBox::CMDialogChar(TMessage& Message) {
  if (!IsCaptionAccelerator(static_cast<Char>(Message.WParam), Caption()) || !CanFocus()) {
    TcxCustomEdit::CMDialogChar(Message);
    return;
  }
  FSelectingFirstChild = true;
  TcxDestroyGuard guard(this);
  const bool selected = SelectFirstChild();
  if (!guard.Alive()) return;
  FSelectingFirstChild = false;
  if (selected) Message.Result = 1;
}

bool TcxCustomGroupBox::SelectFirstChild() {
  TWinControl* first = nullptr;
  for (Integer i = 0; i < ControlCount(); ++i) {
    auto* child = dynamic_cast<TWinControl*>(Controls(i));
    if (!child || !child->CanFocus() || !child->TabStop()) continue;
    if (!first || child->TabOrder() < first->TabOrder()) first = child;
  }
  if (!first) return false;
  first->SetFocus();
  return true;
}

void TcxCustomGroupBox::SetAlignment(TcxCaptionAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Realign();
  Invalidate();
}

void TcxCustomGroupBox::Dispatch(TMessage& Message) {
  TcxCustomEdit::Dispatch(Message);
  if (Message.Msg == CM_TEXTCHANGED || Message.Msg == CM_FONTCHANGED) Realign();
}

Integer TcxCustomGroupBox::CaptionSampleHeight() {
  cxCanvas()->SetFont(GetCurrentStyle()->GetVisibleFont());
  return cxCanvas()->GetTextHeight(cxGroupBoxCaptionSample);
}

Integer TcxCustomGroupBox::BorderWidth() { return ContainerBorderWidth(GetCurrentStyle()->BorderStyle()); }

TRect TcxCustomGroupBox::CaptionRect() {
  const String caption = Caption();
  if (caption.empty()) return TRect{};
  TcxCanvas* canvas = cxCanvas();
  canvas->SetFont(GetCurrentStyle()->GetVisibleFont());
  TSize text;
  if (IsVertical(CaptionSideOf(FAlignment))) {
    text = canvas->GetTextSize(RemoveAccelChars(caption));
  } else {
    TRect r = Rect(cxGroupBoxCaptionIndent, 0, cxGroupBoxCaptionIndent, 0);
    canvas->MeasureTextRect(caption, r, cxSingleLine | cxShowPrefix);
    text = {r.Right - r.Left, r.Bottom - r.Top};
  }
  const TcxCaptionSide side = CaptionSideOf(FAlignment);
  const bool shadow = GetCurrentStyle()->Shadow() && (side == cxcsTop || side == cxcsLeft || side == cxcsCenter);
  return cxGroupBoxCaptionRect(FAlignment, TSize{Width(), Height()}, text, shadow);
}

TRect TcxCustomGroupBox::ClientMargins() {
  if (FAlignment == alCenterCenter || Caption().empty())
    return cxGroupBoxClientMargins(alCenterCenter, 0, BorderWidth(), IsInplace());
  return cxGroupBoxClientMargins(FAlignment, CaptionSampleHeight(), BorderWidth(), IsInplace());
}

void TcxCustomGroupBox::PaintGroupBox(TcxCanvas* ACanvas) {
  ACanvas->SetFont(GetCurrentStyle()->GetVisibleFont());
  const TRect caption = CaptionRect();
  if (IsRectEmpty(caption)) return PaintFrame(ACanvas);
  // The frame around the caption, then the caption area drawn off-screen
  // (the same frame piece and the text) and copied in one go.
  TcxRegion* saved = ACanvas->CopyClipRegion();
  ACanvas->ClipOutRect(caption);
  PaintFrame(ACanvas);
  ACanvas->ApplyClipRegion(saved, roCopy, true);
  const Integer w = caption.Right - caption.Left, h = caption.Bottom - caption.Top;
  if (!FCaptionBitmap) FCaptionBitmap = std::make_unique<TBitmap>(w, h, pf32bit);
  if (FCaptionBitmap->Width() != w || FCaptionBitmap->Height() != h) FCaptionBitmap->SetSize(w, h);
  TcxCanvas bitmapCanvas(FCaptionBitmap->Canvas());
  HDC dc = bitmapCanvas.GetHandle();
  TPoint previous{};
  GetWindowOrgEx(dc, previous);
  SetWindowOrgEx(dc, caption.Left, caption.Top, nullptr);
  bitmapCanvas.SetFont(GetCurrentStyle()->GetVisibleFont());
  PaintFrame(&bitmapCanvas);
  PaintCaption(&bitmapCanvas, caption);
  SetWindowOrgEx(dc, previous.X, previous.Y, nullptr);
  ACanvas->CopyRectFrom(caption, FCaptionBitmap->Canvas(), Rect(0, 0, w, h));
}

void cxGroupBoxPrepareCaptionFont(TFont* AFont, TcxCaptionAlignment AAlignment) {
  const TcxCaptionSide side = CaptionSideOf(AAlignment);
  if (!IsVertical(side)) return;
  if (!IsOutlineFont(*AFont)) AFont->SetName(cxGroupBoxVerticalCaptionFontName);
  AFont->SetOrientation(side == cxcsLeft ? LeftCaptionOrientation : RightCaptionOrientation);
}

void TcxCustomGroupBox::PaintFrame(TcxCanvas* ACanvas) {
  TcxCustomContainerStyle* style = GetCurrentStyle();
  const TColor background = style->EffectiveColor();
  const TRect bounds = ClientRect();
  TcxCustomLookAndFeelPainter::FillRectColor(ACanvas, bounds, background);
  const TcxCaptionAlignment alignment = Caption().empty() ? alCenterCenter : FAlignment;
  TRect frame = cxGroupBoxFrameRect(alignment, TSize{Width(), Height()}, CaptionSampleHeight(), BorderWidth());
  switch (style->BorderStyle()) {
    case cbsNone: break;
    case cbsSingle:
    case cbsThick:
      ACanvas->DrawBorderBands(frame, style->BorderColor(), cxAllBorders, BorderWidth());
      break;
    case cbsFlat: {
      ACanvas->DrawBorderBands(frame, clBtnShadow, cxAllBorders, 1);
      InflateRect(frame, -1, -1);
      ACanvas->DrawBorderBands(frame, clBtnHighlight, cxAllBorders, 1);
      break;
    }
    case cbs3D: {
      // Etched: the highlight frame one pixel right and down under the
      // shadow frame.
      TRect light = frame;
      light.Left += 1;
      light.Top += 1;
      ACanvas->DrawBorderBands(light, clBtnHighlight, cxAllBorders, 1);
      TRect dark = frame;
      dark.Right -= 1;
      dark.Bottom -= 1;
      ACanvas->DrawBorderBands(dark, clBtnShadow, cxAllBorders, 1);
      break;
    }
    case cbsUltraFlat:
    case cbsOffice11: {
      const TColor color =
          Enabled() ? GetHighlightBorderColor(style->BorderStyle() == cbsOffice11) : TColor(clBtnShadow);
      ACanvas->DrawBorderBands(frame, color, cxAllBorders, 1);
      break;
    }
  }
}

void TcxCustomGroupBox::PaintCaption(TcxCanvas* ACanvas, const TRect& ACaption) {
  const String caption = Caption();
  TcxCustomContainerStyle* style = GetCurrentStyle();
  TcxCustomLookAndFeelPainter::FillRectColor(ACanvas, ACaption, style->EffectiveColor());
  ACanvas->GetFont()->SetColor(style->GetTextColor());
  ACanvas->GetBrush()->SetStyle(bsClear);
  const TcxCaptionSide side = CaptionSideOf(FAlignment);
  if (!IsVertical(side)) {
    ACanvas->DrawTextWithFlags(caption, ACaption, Enabled(), cxSingleLine | cxShowPrefix | cxAlignLeft);
    return;
  }
  TFont font;
  font.Assign(ACanvas->GetFont());
  cxGroupBoxPrepareCaptionFont(&font, FAlignment);
  ACanvas->SetFont(&font);
  TcxRegion* saved = ACanvas->CopyClipRegion();
  ACanvas->ClipToRect(ACaption);
  const String text = RemoveAccelChars(caption);
  if (side == cxcsLeft)
    ACanvas->Canvas()->TextOut(ACaption.Left, ACaption.Bottom - 1, text);
  else
    ACanvas->Canvas()->TextOut(ACaption.Right, ACaption.Top + 1, text);
  ACanvas->ApplyClipRegion(saved, roCopy, true);
}

// ---- TcxCustomButtonGroup --------------------------------------------------------------------

TcxCustomButtonGroup::TcxCustomButtonGroup(TComponent* AOwner, bool AIsInplace)
    : TcxCustomGroupBox(AOwner, AIsInplace) {
  SetTabStop(true);
}

TcxCustomButtonGroup::~TcxCustomButtonGroup() {
  // The buttons go while the whole group still stands (their events point
  // at it).
  while (!FButtons.empty()) FreeButton(ButtonCount() - 1);
}

Integer TcxCustomButtonGroup::IndexOfButton(const TControl* AControl) const {
  for (size_t i = 0; i < FButtons.size(); ++i)
    if (FButtons[i].get() == AControl) return static_cast<Integer>(i);
  return -1;
}

bool TcxCustomButtonGroup::Focused() const {
  if (TcxCustomGroupBox::Focused()) return true;
  for (const std::unique_ptr<TWinControl>& button : FButtons)
    if (button->Focused()) return true;
  return false;
}

void TcxCustomButtonGroup::FreeButton(Integer AIndex) {
  std::unique_ptr<TWinControl> button = std::move(FButtons[static_cast<size_t>(AIndex)]);
  FButtons.erase(FButtons.begin() + AIndex);
  button.reset();
}

void TcxCustomButtonGroup::AttachButton(TWinControl* AButton) {
  AButton->SetParentShowHint(false);
  AButton->SetParent(this);
  AButton->OnKeyDown = TKeyEvent(this, &TcxCustomButtonGroup::ButtonKeyDown);
  AButton->OnKeyPress = TKeyPressEvent(this, &TcxCustomButtonGroup::ButtonKeyPress);
  AButton->OnKeyUp = TKeyEvent(this, &TcxCustomButtonGroup::ButtonKeyUp);
  AButton->OnMouseDown = TMouseEvent(this, &TcxCustomButtonGroup::ButtonMouseDown);
  AButton->OnMouseMove = TMouseMoveEvent(this, &TcxCustomButtonGroup::ButtonMouseMove);
  AButton->OnMouseUp = TMouseEvent(this, &TcxCustomButtonGroup::ButtonMouseUp);
  AButton->OnMouseWheel = TMouseWheelEvent(this, &TcxCustomButtonGroup::ButtonMouseWheel);
  AButton->OnDragOver = TDragOverEvent(this, &TcxCustomButtonGroup::ButtonDragOver);
  AButton->OnDragDrop = TDragDropEvent(this, &TcxCustomButtonGroup::ButtonDragDrop);
}

void TcxCustomButtonGroup::SetButtonCount(Integer AValue) {
  AValue = std::max(AValue, 0);
  TcxButtonGroupItems* items = ButtonGroupProperties()->Items();
  if (items->IsSingleChange() && items->ChangedItemKind() != bgicChanged) {
    const Integer index = items->ChangedItemIndex();
    if (items->ChangedItemKind() == bgicAdded && AValue == ButtonCount() + 1 && index >= 0 && index <= ButtonCount()) {
      std::unique_ptr<TWinControl> button(CreateButton());
      TWinControl* added = button.get();
      FButtons.insert(FButtons.begin() + index, std::move(button));
      AttachButton(added);
      return;
    }
    if (items->ChangedItemKind() == bgicDeleted && AValue == ButtonCount() - 1 && index >= 0 && index < ButtonCount())
      return FreeButton(index);
  }
  while (ButtonCount() > AValue) FreeButton(ButtonCount() - 1);
  while (ButtonCount() < AValue) {
    FButtons.emplace_back(CreateButton());
    AttachButton(FButtons.back().get());
  }
}

void TcxCustomButtonGroup::SynchronizeButtons() {
  if (IsDestroying()) return;
  ++FSynchronizingButtons;
  struct TLeave {
    Integer& Count;
    ~TLeave() { --Count; }
  } leave{FSynchronizingButtons};
  TcxButtonGroupItems* items = ButtonGroupProperties()->Items();
  SetButtonCount(items->Count());
  for (Integer i = 0; i < ButtonCount(); ++i) {
    TWinControl* button = Buttons(i);
    button->SetEnabled(Enabled() && items->Item(i)->Enabled());
    button->SetCursor(Cursor());
    button->SetDragMode(DragMode());
    button->SetParentBackground(ParentBackground());
  }
  PlaceButtons();
  UpdateButtonStyles();
  SynchronizeButtonValue();
}

void TcxCustomButtonGroup::PlaceButtons() {
  const std::vector<TRect> rects = ItemRects();
  for (size_t i = 0; i < rects.size() && i < FButtons.size(); ++i) {
    const TRect& r = rects[i];
    FButtons[i]->SetBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
  }
}

void TcxCustomButtonGroup::UpdateButtonStyles() {
  TcxCustomContainerStyle* style = GetCurrentStyle();
  for (const std::unique_ptr<TWinControl>& button : FButtons) {
    button->SetColor(style->EffectiveColor());
    button->Font()->Assign(Style()->GetVisibleFont());
    button->Font()->SetColor(style->GetTextColor());
  }
}

void TcxCustomButtonGroup::PropertiesChanged(TObject* Sender) {
  TcxCustomGroupBox::PropertiesChanged(Sender);
  if (!IsLoading()) SynchronizeButtons();
}

void TcxCustomButtonGroup::Resize() {
  TcxCustomGroupBox::Resize();
  PlaceButtons();
}

void TcxCustomButtonGroup::CreateWnd() {
  TcxCustomGroupBox::CreateWnd();
  SynchronizeButtons();
}

void TcxCustomButtonGroup::Loaded() {
  TcxCustomGroupBox::Loaded();
  SynchronizeButtons();
}

void TcxCustomButtonGroup::ApplyStyle(TObject* Sender) {
  TcxCustomGroupBox::ApplyStyle(Sender);
  SynchronizeButtons();
}

void TcxCustomButtonGroup::CMEnabledChanged(TMessage& Message) {
  TcxCustomGroupBox::CMEnabledChanged(Message);
  SynchronizeButtons();
}

void TcxCustomButtonGroup::HandleCursorChange() {
  TcxCustomGroupBox::HandleCursorChange();
  SynchronizeButtons();
}

void TcxCustomButtonGroup::SetDragMode(TDragMode Value) {
  TcxCustomGroupBox::SetDragMode(Value);
  for (const std::unique_ptr<TWinControl>& button : FButtons) button->SetDragMode(Value);
}

void TcxCustomButtonGroup::AlignControls(TControl* AControl, TRect& Rect) {
  TcxCustomGroupBox::AlignControls(AControl, Rect);
  PlaceButtons();
}

bool TcxCustomButtonGroup::FocusWhenClicked() {
  // A press in a button focuses the button, not the group behind it.
  return !FButtonMouseDown && TcxCustomGroupBox::FocusWhenClicked();
}

void TcxCustomButtonGroup::NavigateButtons(Integer AIndex, Word AKey) {
  TcxCustomButtonGroupProperties* properties = ButtonGroupProperties();
  const Integer to = cxButtonGroupNavigate(AIndex, AKey, ButtonCount(), properties->RowCount());
  if (to == AIndex || to < 0 || to >= ButtonCount()) return;
  if (Buttons(to)->CanFocus()) Buttons(to)->SetFocus();
}

TPoint TcxCustomButtonGroup::ToGroup(TObject* Sender, Integer X, Integer Y) const {
  auto* button = dynamic_cast<TControl*>(Sender);
  return button ? TPoint{X + button->Left(), Y + button->Top()} : TPoint{X, Y};
}

void TcxCustomButtonGroup::ButtonKeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
  const Integer index = IndexOfButton(dynamic_cast<TControl*>(Sender));
  if (index >= 0 && (Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN) &&
      !(Shift & (ssCtrl | ssAlt))) {
    TcxDestroyGuard guard(this);
    NavigateButtons(index, Key);
    if (!guard.Alive()) return;
  }
  KeyDown(Key, Shift);
}

void TcxCustomButtonGroup::ButtonKeyPress(TObject*, Char& Key) { KeyPress(Key); }
void TcxCustomButtonGroup::ButtonKeyUp(TObject*, Word& Key, TShiftState Shift) { KeyUp(Key, Shift); }

void TcxCustomButtonGroup::ButtonMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X,
                                           Integer Y) {
  const TPoint p = ToGroup(Sender, X, Y);
  TcxDestroyGuard guard(this);
  FButtonMouseDown = true;
  try {
    MouseDown(Button, Shift, p.X, p.Y);
  } catch (...) {
    if (guard.Alive()) FButtonMouseDown = false;
    throw;
  }
  if (guard.Alive()) FButtonMouseDown = false;
}

void TcxCustomButtonGroup::ButtonMouseMove(TObject* Sender, TShiftState Shift, Integer X, Integer Y) {
  const TPoint p = ToGroup(Sender, X, Y);
  MouseMove(Shift, p.X, p.Y);
}

void TcxCustomButtonGroup::ButtonMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X,
                                         Integer Y) {
  const TPoint p = ToGroup(Sender, X, Y);
  MouseUp(Button, Shift, p.X, p.Y);
}

void TcxCustomButtonGroup::ButtonMouseWheel(TObject*, TShiftState Shift, Integer WheelDelta, TPoint MousePos,
                                            bool& Handled) {
  DoMouseWheel(Shift, WheelDelta, MousePos);
  Handled = false;
}

void TcxCustomButtonGroup::ButtonDragOver(TObject* Sender, TObject* Source, Integer X, Integer Y, TDragState State,
                                          bool& Accept) {
  const TPoint p = ToGroup(Sender, X, Y);
  Accept = false;
  if (OnDragOver) OnDragOver(this, Source, p.X, p.Y, State, Accept);
}

void TcxCustomButtonGroup::ButtonDragDrop(TObject* Sender, TObject* Source, Integer X, Integer Y) {
  const TPoint p = ToGroup(Sender, X, Y);
  if (OnDragDrop) OnDragDrop(this, Source, p.X, p.Y);
}

TSize TcxCustomButtonGroup::CalcAutoSize() {
  std::unique_ptr<TcxCustomEditViewData> viewData = CreateViewData();
  TSize size{0, 0};
  if (viewData) viewData->CalcEditorSize(cxCanvas(), EditValue(), TcxEditSizeProperties{}, nullptr, size);
  return size;
}

std::vector<TRect> TcxCustomButtonGroup::ItemRects() {
  TcxCustomButtonGroupProperties* properties = ButtonGroupProperties();
  return cxButtonGroupItemRects(ClientRect(), ClientMargins(), properties->Items()->Count(),
                                properties->GetEffectiveColumns(), GetButtonMetrics());
}

Integer TcxCustomButtonGroup::ItemAt(const TPoint& P) {
  const std::vector<TRect> rects = ItemRects();
  for (size_t i = 0; i < rects.size(); ++i)
    if (PtInRect(rects[i], P)) return static_cast<Integer>(i);
  return -1;
}

void TcxCustomButtonGroup::PaintGroupBox(TcxCanvas* ACanvas) {
  if (PaintsOwnViewData()) return PaintGroupBoxWithItems(ACanvas);
  TcxCustomGroupBox::PaintGroupBox(ACanvas);
}

void TcxCustomButtonGroup::PaintGroupBoxWithItems(TcxCanvas* ACanvas) {
  TcxCustomGroupBox::PaintGroupBox(ACanvas);
  const std::vector<TRect> rects = ItemRects();
  for (size_t i = 0; i < rects.size(); ++i) PaintItem(ACanvas, static_cast<Integer>(i), rects[i]);
}

// ---- View data and view info -----------------------------------------------------------------

TcxContainerBorderStyle TcxGroupBoxStyleEx::DefaultBorderStyle() const {
  if (!IsMasterStyle() && MasterStyle()->BorderStyle() == cbsFlat) return cbsFlat;
  return TcxEditStyleEx::DefaultBorderStyle();
}

TcxCustomEditViewDataClass TcxCustomGroupBoxProperties::GetViewDataClass() const {
  return TcxGroupBoxViewData::StaticClass();
}

TcxCustomEditViewInfoClass TcxCustomGroupBoxProperties::GetViewInfoClass() const {
  return TcxGroupBoxViewInfo::StaticClass();
}

TcxCustomEditStyleClass TcxCustomGroupBoxProperties::GetStyleExClass() const {
  return TcxGroupBoxStyleEx::StaticClass();
}

TcxCustomEditViewDataClass TcxCustomButtonGroupProperties::GetViewDataClass() const {
  return TcxButtonGroupViewData::StaticClass();
}

TcxCustomEditViewInfoClass TcxCustomButtonGroupProperties::GetViewInfoClass() const {
  return TcxButtonGroupViewInfo::StaticClass();
}

void TcxGroupBoxViewInfo::Assign(TObject* Source) {
  TcxCustomEditViewInfo::Assign(Source);
  if (auto* s = dynamic_cast<TcxGroupBoxViewInfo*>(Source)) {
    Caption = s->Caption;
    CaptionRect = s->CaptionRect;
    Alignment = s->Alignment;
  }
}

void TcxGroupBoxViewInfo::OffsetBy(Integer DX, Integer DY) {
  TcxCustomEditViewInfo::OffsetBy(DX, DY);
  OffsetRect(CaptionRect, DX, DY);
}

void TcxGroupBoxViewInfo::Render(TcxCanvas* ACanvas) {
  DrawBackground(ACanvas);
  if (BackgroundColor != clNone) TcxCustomLookAndFeelPainter::FillRectColor(ACanvas, ClientRect, BackgroundColor);
}

void TcxButtonGroupViewInfo::Assign(TObject* Source) {
  TcxGroupBoxViewInfo::Assign(Source);
  if (auto* s = dynamic_cast<TcxButtonGroupViewInfo*>(Source)) {
    ButtonsInfo = s->ButtonsInfo;
    WordWrap = s->WordWrap;
    Metrics = s->Metrics;
  }
}

void TcxButtonGroupViewInfo::OffsetBy(Integer DX, Integer DY) {
  TcxGroupBoxViewInfo::OffsetBy(DX, DY);
  for (TcxGroupBoxButtonViewInfo& button : ButtonsInfo) OffsetRect(button.Bounds, DX, DY);
}

void TcxButtonGroupViewInfo::Render(TcxCanvas* ACanvas) {
  TcxGroupBoxViewInfo::Render(ACanvas);
  TcxRegion* saved = ACanvas->CopyClipRegion();
  ACanvas->ClipToRect(ClientRect);
  for (size_t i = 0; i < ButtonsInfo.size(); ++i) DrawButtonItem(ACanvas, static_cast<Integer>(i));
  ACanvas->ApplyClipRegion(saved, roCopy, true);
}

void TcxButtonGroupViewData::ComputeViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                             TcxMouseButton AButton, TShiftState AShift,
                                             TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  TcxGroupBoxViewData::ComputeViewInfo(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* info = static_cast<TcxButtonGroupViewInfo*>(AViewInfo);
  info->Metrics = GetButtonMetrics();
  info->WordWrap = static_cast<TcxCustomButtonGroupProperties*>(Properties())->WordWrap();
  AssignItemCells(info);
  PlaceItemButtons(info);
  for (size_t i = 0; i < info->ButtonsInfo.size(); ++i) {
    TcxGroupBoxButtonViewInfo& button = info->ButtonsInfo[i];
    button.State = !Enabled || !button.Enabled ? cxbsDisabled : cxbsNormal;
    if (button.State != cxbsDisabled && !IsDesigning && PtInRect(button.Bounds, P))
      button.State = (AShift & (ssLeft | ssRight | ssMiddle)) == 0 ? cxbsHot
                     : (AShift & ssLeft) && AIsMouseEvent ? cxbsPressed
                                                          : cxbsNormal;
    SetItemButtonState(info, static_cast<Integer>(i));
  }
}

void TcxButtonGroupViewData::AssignItemCells(TcxButtonGroupViewInfo* AViewInfo) {
  auto* properties = static_cast<TcxCustomButtonGroupProperties*>(Properties());
  TcxButtonGroupItems* items = properties->Items();
  const Integer rows = properties->RowCount();
  const TcxLookAndFeelKind kind = LookAndFeelKind();
  const TcxContainerBorderStyle border =
      Style() ? static_cast<TcxContainerBorderStyle>(Style()->BorderStyle()) : cbsNone;
  AViewInfo->ButtonsInfo.assign(static_cast<size_t>(items->Count()), TcxGroupBoxButtonViewInfo{});
  for (Integer i = 0; i < items->Count(); ++i) {
    TcxGroupBoxButtonViewInfo& button = AViewInfo->ButtonsInfo[static_cast<size_t>(i)];
    button.Caption = items->Item(i)->Caption();
    button.Enabled = items->Item(i)->Enabled();
    button.Column = rows > 0 ? i / rows : 0;
    button.Row = rows > 0 ? i % rows : 0;
    button.ButtonStyle = cxButtonGroupItemStyle(IsInplace(), kind, border);
  }
}

void TcxButtonGroupViewData::PlaceItemButtons(TcxButtonGroupViewInfo* AViewInfo) {
  auto* properties = static_cast<TcxCustomButtonGroupProperties*>(Properties());
  const TRect& b = AViewInfo->Bounds;
  const TRect& c = AViewInfo->ClientRect;
  const TRect margins = Rect(c.Left - b.Left, c.Top - b.Top, b.Right - c.Right, b.Bottom - c.Bottom);
  const std::vector<TRect> cells = cxButtonGroupItemRects(b, margins, properties->Items()->Count(),
                                                          properties->GetEffectiveColumns(), AViewInfo->Metrics);
  for (size_t i = 0; i < cells.size() && i < AViewInfo->ButtonsInfo.size(); ++i)
    AViewInfo->ButtonsInfo[i].Bounds = cells[i];
}

TSize TcxButtonGroupViewData::CalcButtonGroupSize(TcxCanvas* ACanvas, Integer AWidth, bool AAutoHeight) {
  auto* properties = static_cast<TcxCustomButtonGroupProperties*>(Properties());
  const TcxButtonGroupMetrics m = GetButtonMetrics();
  TcxButtonGroupItems* items = properties->Items();
  const Integer count = items->Count();
  const Integer columns = properties->GetEffectiveColumns();
  const Integer rows = cxButtonGroupRowCount(count, columns);
  if (Style()) ACanvas->SetFont(Style()->GetVisibleFont());
  const Integer textHeight = ACanvas->GetTextHeight(u"Zg");
  constexpr Integer VerticalMargins = 2;
  Integer rowHeight = std::max(m.GlyphHeight, textHeight + VerticalMargins);
  if (count == 0) return TSize{AWidth > 0 ? AWidth : 0, textHeight + VerticalMargins};
  if (AWidth <= 0) {
    Integer widest = 0;
    for (Integer i = 0; i < count; ++i)
      widest = std::max(widest, ACanvas->GetTextWidth(RemoveAccelChars(items->Item(i)->Caption())));
    const Integer width = (widest + m.GlyphTextGap + m.GlyphWidth) * columns + (columns - 1) * m.ColumnSpacing +
                          m.AutoWidthExtra;
    return TSize{width, rowHeight * rows};
  }
  const Integer captionWidth =
      std::max(1, (AWidth + m.WidthAdjustment - ContentOffset.Left - ContentOffset.Right -
                   (columns - 1) * m.ColumnSpacing) / columns - m.GlyphWidth - m.TextWidthReserve);
  if (properties->WordWrap() && AAutoHeight) {
    for (Integer i = 0; i < count; ++i) {
      TRect r = Rect(0, 0, captionWidth, 0);
      ACanvas->MeasureTextRect(items->Item(i)->Caption(), r, cxWordBreak | cxAlignTop | cxShowPrefix);
      rowHeight = std::max(rowHeight, r.Bottom - r.Top + VerticalMargins);
    }
  }
  return TSize{AWidth, rowHeight * rows};
}

TSize TcxButtonGroupViewData::CalcTextExtent(TcxCanvas* ACanvas, const Variant&) {
  if (Style()) ACanvas->SetFont(Style()->GetVisibleFont());
  return TSize{0, ACanvas->GetTextHeight(u"Zg")};
}

TSize TcxButtonGroupViewData::CalcContentExtent(TcxCanvas* ACanvas, const Variant&,
                                                const TcxEditSizeProperties& ALimits) {
  TSize size = CalcButtonGroupSize(ACanvas, ALimits.Width > 0 ? ALimits.Width : 0, true);
  // A live group's caption band lies beyond its border.
  if (auto* group = dynamic_cast<TcxCustomGroupBox*>(Edit); group && !IsInplace()) {
    const TRect margins = group->ClientMargins();
    const Integer border = group->BorderWidth();
    size.cx += margins.Left + margins.Right - 2 * border;
    size.cy += margins.Top + margins.Bottom - 2 * border;
  }
  return size;
}
