#include "editors/cxImageComboBox.h"

#include <algorithm>

#include "data/cxVariants.h"
#include "editors/cxEditTextUtils.h"
#include "foundation/cxGraphics.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "platform/gui/sysmetrics.h"

// ---------------------------------------------------------------------------
// Items

namespace {

TcxCustomImageComboBoxProperties* OwnerPropertiesOf(TCollection* ACollection) {
  auto* items = dynamic_cast<TcxImageComboBoxItems*>(ACollection);
  return items ? items->Properties() : nullptr;
}

}  // namespace

TcxImageComboBoxItem::TcxImageComboBoxItem(TCollection* ACollection) : TCollectionItem(ACollection) {
  TcxCustomImageComboBoxProperties* properties = OwnerPropertiesOf(ACollection);
  if (properties && properties->Images() && properties->Images()->Count() >= ACollection->Count())
    FImageIndex = Index();
}

void TcxImageComboBoxItem::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxImageComboBoxItem*>(Source);
  if (!source) return TCollectionItem::Assign(Source);
  FDescription = source->FDescription;
  FImageIndex = source->FImageIndex;
  FValue = source->FValue;
  Changed(false);
}

void TcxImageComboBoxItem::SetDescription(const String& Value) {
  if (FDescription == Value) return;
  FDescription = Value;
  Changed(false);
}

void TcxImageComboBoxItem::SetImageIndex(Integer Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  Changed(false);
}

void TcxImageComboBoxItem::SetTag(Integer Value) {
  if (FTag == Value) return;
  FTag = Value;
  Changed(false);
}

void TcxImageComboBoxItem::SetValue(const Variant& Value) {
  if (VarType(FValue) == VarType(Value) && VariantsEqual(FValue, Value)) return;
  FValue = Value;
  Changed(false);
}

TcxImageComboBoxItems::TcxImageComboBoxItems(TcxCustomImageComboBoxProperties* AOwner)
    : TOwnedCollection(AOwner, TcxImageComboBoxItem::StaticClass()), FProperties(AOwner) {}

void TcxImageComboBoxItems::Update(TCollectionItem* Item) {
  TOwnedCollection::Update(Item);
  if (FProperties) FProperties->ItemsChanged();
}

// ---------------------------------------------------------------------------
// Layout

TcxImageComboBoxLayout cxImageComboBoxCalcLayout(const TRect& AClientRect, TSize AImageSize, TcxImageAlign AAlign,
                                                 bool AShowDescriptions) {
  TcxImageComboBoxLayout layout;
  // The text keeps 2 pixels from the client's sides and 1 from its top and
  // bottom.
  TRect text = Rect(AClientRect.Left + 2, AClientRect.Top + 1, AClientRect.Right - 2, AClientRect.Bottom - 1);
  if (AImageSize.cx > 0 && AImageSize.cy > 0) {
    const Integer top = AClientRect.Top + (AClientRect.Height() - AImageSize.cy) / 2;
    Integer left;
    if (!AShowDescriptions)
      left = AClientRect.Left + (AClientRect.Width() - AImageSize.cx) / 2;
    else if (AAlign == iaRight)
      left = AClientRect.Right - cxImageComboImageMargin - AImageSize.cx;
    else
      left = AClientRect.Left + cxImageComboImageMargin;
    layout.ImageRect = Bounds(left, top, AImageSize.cx, AImageSize.cy);
    if (AAlign == iaRight)
      text.Right = layout.ImageRect.Left - cxImageComboImageMargin;
    else
      text.Left = layout.ImageRect.Right + cxImageComboTextSpacing;
  }
  if (!AShowDescriptions || text.Right < text.Left) text.Right = text.Left;
  if (text.Bottom < text.Top) text.Bottom = text.Top;
  layout.TextRect = text;
  return layout;
}

// ---------------------------------------------------------------------------
// Property sets

TcxCustomImageComboBoxProperties::TcxCustomImageComboBoxProperties(TPersistent* AOwner)
    : TcxCustomComboBoxProperties(AOwner), FItems(std::make_unique<TcxImageComboBoxItems>(this)) {
  SetDropDownListStyle(lsFixedList);
}

TcxCustomImageComboBoxProperties::~TcxCustomImageComboBoxProperties() {
  // No change notices while the items go.
  FItems->BeginUpdate();
  FItems->Clear();
  if (FImages) FreeNotificator()->RemoveSender(FImages);
  if (FLargeImages) FreeNotificator()->RemoveSender(FLargeImages);
}

TcxCustomEditClass TcxCustomImageComboBoxProperties::GetEditorClass() { return TcxImageComboBox::StaticClass(); }

void TcxCustomImageComboBoxProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomImageComboBoxProperties*>(Source);
  TcxUpdateScope update(this);
  TcxCustomComboBoxProperties::Assign(Source);
  if (!source || source == this) return;
  SetDefaultDescription(source->FDefaultDescription);
  SetDefaultImageIndex(source->FDefaultImageIndex);
  SetImageAlign(source->FImageAlign);
  SetImages(source->FImages);
  SetItems(source->FItems.get());
  SetLargeImages(source->FLargeImages);
  SetMultiLineText(source->FMultiLineText);
  SetShowDescriptions(source->FShowDescriptions);
}

void TcxCustomImageComboBoxProperties::SetImageList(TImageList*& AField, TImageList* AValue) {
  if (AField == AValue) return;
  TImageList* old = AField;
  AField = AValue;
  // A list that still serves the other role stays followed.
  if (old && old != FImages && old != FLargeImages) FreeNotificator()->RemoveSender(old);
  if (AValue) FreeNotificator()->AddSender(AValue);
  NotifyChanged();
}

void TcxCustomImageComboBoxProperties::ComponentFreed(TComponent* AComponent) {
  TcxUpdateScope update(this);
  if (AComponent == FImages) SetImages(nullptr);
  if (AComponent == FLargeImages) SetLargeImages(nullptr);
}

void TcxCustomImageComboBoxProperties::ItemsChanged() {
  TStringList* texts = TcxCustomComboBoxProperties::Items();
  TcxUpdateScope update(this);
  texts->BeginUpdate();
  texts->Clear();
  for (Integer i = 0; i < FItems->Count(); ++i) texts->Add(FItems->Item(i)->Description());
  texts->EndUpdate();
  NotifyChanged();
}

Integer TcxCustomImageComboBoxProperties::FindItemByValue(const Variant& AValue) const {
  for (Integer i = 0; i < FItems->Count(); ++i)
    if (VariantsEqual(FItems->Item(i)->Value(), AValue)) return i;
  return -1;
}

Integer TcxCustomImageComboBoxProperties::FindItemByText(const String& AText) const {
  if (!FShowDescriptions) return -1;
  for (Integer i = 0; i < FItems->Count(); ++i)
    if (AnsiSameText(FItems->Item(i)->Description(), AText)) return i;
  return -1;
}

String TcxCustomImageComboBoxProperties::ShownDescription(Integer AIndex) const {
  if (!FShowDescriptions) return String();
  if (AIndex < 0 || AIndex >= FItems->Count()) return FDefaultDescription;
  return FItems->Item(AIndex)->Description();
}

Integer TcxCustomImageComboBoxProperties::ShownImageIndex(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= FItems->Count()) return FDefaultImageIndex;
  return FItems->Item(AIndex)->ImageIndex();
}

String TcxCustomImageComboBoxProperties::GetDisplayTextOfValue(const Variant& AValue) const {
  const Integer index = FindItemByValue(AValue);
  return index < 0 ? FDefaultDescription : FItems->Item(index)->Description();
}

bool TcxCustomImageComboBoxProperties::AreEditValuesEqual(const Variant& A, const Variant& B) const {
  if (VarIsNull(A) || VarIsNull(B)) return VarIsNull(A) && VarIsNull(B);
  return VariantsEqual(A, B);
}

TcxCustomEditViewDataClass TcxCustomImageComboBoxProperties::GetViewDataClass() const {
  return TcxImageComboBoxViewData::StaticClass();
}

TcxCustomEditViewInfoClass TcxCustomImageComboBoxProperties::GetViewInfoClass() const {
  return TcxImageComboBoxViewInfo::StaticClass();
}

TcxCustomTextEditLookupDataClass TcxCustomImageComboBoxProperties::GetLookupDataClass() const {
  return TcxImageComboBoxLookupData::StaticClass();
}

// Lookup data

TcxCustomImageComboBoxProperties* TcxImageComboBoxLookupData::ImageProperties() const {
  return dynamic_cast<TcxCustomImageComboBoxProperties*>(GetEditProperties());
}

Integer TcxImageComboBoxLookupData::GetItemCount() const {
  TcxCustomImageComboBoxProperties* p = ImageProperties();
  return p ? p->Items()->Count() : TcxComboBoxLookupData::GetItemCount();
}

String TcxImageComboBoxLookupData::GetItemText(Integer AIndex) const {
  TcxCustomImageComboBoxProperties* p = ImageProperties();
  if (!p) return TcxComboBoxLookupData::GetItemText(AIndex);
  return AIndex >= 0 && AIndex < p->Items()->Count() ? p->Items()->Item(AIndex)->Description() : String();
}

TSize TcxImageComboBoxLookupData::GetListSize(TcxComboBoxListBox* AList, const TSize& AAvailable) {
  TSize size = TcxComboBoxLookupData::GetListSize(AList, AAvailable);
  TcxCustomImageComboBoxProperties* p = ImageProperties();
  if (!p) return size;
  const Integer frame = AList->Height() - AList->ItemsArea().Height();
  if (p->MultiLineText()) {
    size.cx = frame;
    return size;
  }
  TImageList* images = p->ListImages();
  Integer width = 0;
  for (Integer i = 0; i < GetItemCount(); ++i) width = std::max(width, TextWidthInFont(AList->Font(), GetItemText(i)));
  // The image column (image + 4) and the text's indent on both sides.
  width += images ? images->Width() + cxImageComboListImageSpacing + 2 * cxEditListBoxTextIndent
                  : 2 * cxEditListBoxTextIndent;
  if (GetItemCount() > p->DropDownRows()) width += GetSystemMetrics(SM_CXVSCROLL);
  size.cx = width + frame;
  return size;
}

// ---- View data and view info ----

namespace {

constexpr TcxTextLayoutFlags DescriptionFlags = cxtlSingleLine | cxtlAlignVCenter | cxtlEndEllipsis;

}  // namespace

void TcxImageComboBoxViewData::ComputeViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                               TcxMouseButton AButton, TShiftState AShift,
                                               TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  TcxCustomEditViewData::ComputeViewInfo(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* p = static_cast<TcxCustomImageComboBoxProperties*>(Properties());
  auto* info = static_cast<TcxImageComboBoxViewInfo*>(AViewInfo);
  info->Images = p->Images();
  info->ImageAlign = p->ImageAlign();
  info->ShowDescriptions = p->ShowDescriptions();
  const TSize imageSize = info->Images ? TSize{info->Images->Width(), info->Images->Height()} : TSize{0, 0};
  const TcxImageComboBoxLayout layout =
      cxImageComboBoxCalcLayout(info->ClientRect, imageSize, info->ImageAlign, info->ShowDescriptions);
  info->ImageRect = layout.ImageRect;
  info->TextRect = layout.TextRect;
  if (auto* edit = dynamic_cast<TcxCustomImageComboBox*>(Edit)) {
    info->ImageIndex = p->ShownImageIndex(edit->ItemIndex());
    info->Text = p->ShownDescription(edit->ItemIndex());
  }
}

void TcxImageComboBoxViewData::EditValueToDrawValue(TcxCanvas*, const Variant& AEditValue,
                                                    TcxCustomEditViewInfo* AViewInfo) {
  auto* p = static_cast<TcxCustomImageComboBoxProperties*>(Properties());
  auto* info = static_cast<TcxImageComboBoxViewInfo*>(AViewInfo);
  const Integer item = p->FindItemByValue(AEditValue);
  info->ImageIndex = p->ShownImageIndex(item);
  info->Text = p->ShownDescription(item);
}

void TcxImageComboBoxViewInfo::Assign(TObject* Source) {
  TcxCustomEditViewInfo::Assign(Source);
  if (auto* s = dynamic_cast<TcxImageComboBoxViewInfo*>(Source)) {
    Images = s->Images;
    ImageIndex = s->ImageIndex;
    ImageRect = s->ImageRect;
    ImageAlign = s->ImageAlign;
    ShowDescriptions = s->ShowDescriptions;
    Text = s->Text;
    TextRect = s->TextRect;
  }
}

void TcxImageComboBoxViewInfo::OffsetBy(Integer DX, Integer DY) {
  TcxCustomEditViewInfo::OffsetBy(DX, DY);
  OffsetRect(ImageRect, DX, DY);
  OffsetRect(TextRect, DX, DY);
}

void TcxImageComboBoxViewInfo::Render(TcxCanvas* ACanvas) {
  DrawBackground(ACanvas);
  const bool transparent = BackgroundColor == clNone;
  if (!transparent) TcxCustomLookAndFeelPainter::FillRectColor(ACanvas, ClientRect, BackgroundColor);
  TcxRegion* saved = ACanvas->CopyClipRegion();
  ACanvas->ClipToRect(ClientRect);
  if (Images && ImageIndex >= 0 && ImageIndex < Images->Count() && !IsRectEmpty(ImageRect))
    Images->Draw(ACanvas->Canvas(), ImageRect.Left, ImageRect.Top, ImageIndex, Enabled);
  if (ShowDescriptions && !Text.empty()) {
    if (Font) ACanvas->SetFont(Font);
    ACanvas->GetFont()->SetColor(TextColor);
    ACanvas->GetBrush()->SetStyle(bsClear);
    TRect r = TextRect;
    DrawTextInFontColor(ACanvas, Text, r, DescriptionFlags);
  }
  ACanvas->ApplyClipRegion(saved, roCopy, true);
}

void TcxCustomImageComboBoxProperties::NormalizeEditValue(const Variant& AValue, Variant& ANormalized, bool) const {
  ANormalized = AValue;
}

// ---------------------------------------------------------------------------
// The editor

TcxCustomImageComboBox::TcxCustomImageComboBox(TComponent* AOwner, bool AIsInplace)
    : TcxCustomComboBox(AOwner, AIsInplace) {}

TcxComboBoxListBox* TcxCustomImageComboBox::CreateListBox(TComponent* AOwner) {
  return new TcxImageComboBoxListBox(AOwner);
}

TcxCustomImageComboBoxProperties* TcxCustomImageComboBox::ActiveImageProperties() {
  return static_cast<TcxCustomImageComboBoxProperties*>(ActiveProperties());
}

void TcxCustomImageComboBox::UpdateDisplayValue() {
  TcxCustomImageComboBoxProperties* p = ActiveImageProperties();
  FItemIndex = p->FindItemByValue(EditValue());
  Model()->SetText(p->ShownDescription(FItemIndex));
  GetLookupData()->SelectItemIndex(FItemIndex);
  SyncInnerEdit();
  Invalidate();
}

Integer TcxCustomImageComboBox::ItemIndexForText(const String& AText) {
  TcxCustomImageComboBoxProperties* p = ActiveImageProperties();
  // The chosen item first: another item may share its description.
  if (FItemIndex >= 0 && FItemIndex < p->Items()->Count() && AnsiSameText(p->ShownDescription(FItemIndex), AText))
    return FItemIndex;
  return p->FindItemByText(AText);
}

void TcxCustomImageComboBox::InternalSetDisplayValue(const Variant& Value) {
  const String text = VarToStr(Value);
  const Integer index = ItemIndexForText(text);
  if (index >= 0) {
    ApplyEditValue(ActiveImageProperties()->Items()->Item(index)->Value());
    FItemIndex = index;  // of several items with this value, the one picked
    GetLookupData()->SelectItemIndex(index);
    Invalidate();
  } else if (text.empty() && ActiveImageProperties()->ShowDescriptions()) {
    ApplyEditValue(Null());
  }
  // Any other text names no item: the value stays as it is.
}

void TcxCustomImageComboBox::HandleInnerEditChange() {
  // Typing and stepping make the lookup's current item the chosen one.
  const Integer current = GetLookupData()->CurrentIndex();
  if (current >= 0 && AnsiSameText(GetLookupData()->GetItemText(current), Text())) FItemIndex = current;
  TcxCustomComboBox::HandleInnerEditChange();
  Invalidate();
}

void TcxCustomImageComboBox::ClosePopup(bool AAccept) {
  const Integer current = GetLookupData()->CurrentIndex();
  if (AAccept && HasOpenPopup() && current >= 0 && current != FItemIndex && DoEditing()) {
    FItemIndex = current;
    Model()->SetText(ActiveImageProperties()->ShownDescription(current));
    SyncInnerEdit();
    SetModified(true);
    DoChangeNotice();
    Invalidate();
  }
  TcxCustomComboBox::ClosePopup(AAccept);
}

void TcxCustomImageComboBox::DoPopup() {
  TcxCustomComboBox::DoPopup();
  // The chosen item, not the first with its description.
  GetLookupData()->SelectItemIndex(FItemIndex);
  if (ListBox()) ListBox()->SetItemIndexByCode(FItemIndex);
}

void TcxCustomImageComboBox::HandleKeyPressed(Char& Key) {
  // Without descriptions no typed text can name an item.
  if (Key >= u' ' && !ActiveImageProperties()->ShowDescriptions()) {
    Key = 0;
    return;
  }
  TcxCustomComboBox::HandleKeyPressed(Key);
}

void TcxCustomImageComboBox::PropertiesChanged(TObject* Sender) {
  TcxCustomComboBox::PropertiesChanged(Sender);
  if (IsDestroying()) return;
  if (!IsModified()) UpdateDisplayValue();
  PlaceInnerControl();
}

void TcxCustomImageComboBox::PlaceInnerControl() {
  TcxCustomComboBox::PlaceInnerControl();
  TCustomEdit* inner = InnerEdit();
  if (!inner || !ViewInfo()) return;
  TcxCustomImageComboBoxProperties* p = ActiveImageProperties();
  const TRect area = inner->BoundsRect();
  TImageList* images = p->Images();
  const TSize imageSize = images ? TSize{images->Width(), images->Height()} : TSize{0, 0};
  const TcxImageComboBoxLayout layout = cxImageComboBoxCalcLayout(area, imageSize, p->ImageAlign(), p->ShowDescriptions());
  FImageRect = layout.ImageRect;
  if (!images && p->ShowDescriptions()) return;  // the text keeps the whole area
  TRect text = area;
  if (images && p->ImageAlign() == iaRight) text.Right = std::max(text.Left, FImageRect.Left - cxImageComboImageMargin);
  else if (images) text.Left = std::min(text.Right, FImageRect.Right + cxImageComboTextSpacing);
  if (!p->ShowDescriptions()) text.Right = text.Left;
  if (!RectsEqual(inner->BoundsRect(), text)) inner->SetBoundsRect(text);
}

void TcxCustomImageComboBox::Paint() {
  TcxCustomComboBox::Paint();
  TcxCustomImageComboBoxProperties* p = ActiveImageProperties();
  TImageList* images = p->Images();
  const Integer index = p->ShownImageIndex(FItemIndex);
  if (!images || index < 0 || index >= images->Count() || FImageRect.Width() <= 0) return;
  images->Draw(Canvas(), FImageRect.Left, FImageRect.Top, index, Enabled());
}

// ---------------------------------------------------------------------------
// The list

TcxCustomImageComboBox* TcxImageComboBoxListBox::GetImageComboBox() const {
  auto* combo = dynamic_cast<TcxCustomImageComboBox*>(GetComboBox());
  return combo && !combo->IsDestroying() && combo->PropertiesCreated() ? combo : nullptr;
}

Integer TcxImageComboBoxListBox::TextWidth() const {
  // As wide as the list's rows (or, before the popup lays it out, as the
  // editor). Whether the rows need a vertical scroll bar depends on their
  // heights: they are measured at the list's whole width first, and when
  // they overflow, measured again beside the scroll bar.
  TcxCustomImageComboBox* combo = GetImageComboBox();
  if (Width() <= 0 && combo) return std::max(0, combo->Width() - 2);
  if (FMeasuringRows) return std::max(0, Width() - 2);
  FMeasuringRows = true;
  const Integer width = ItemsArea().Width();
  FMeasuringRows = false;
  return std::max(0, width - 2);
}

Integer TcxImageComboBoxListBox::GetItemHeight(Integer AIndex) const {
  TcxCustomImageComboBox* combo = GetImageComboBox();
  if (!combo) return TcxComboBoxListBox::GetItemHeight(AIndex);
  TcxCustomImageComboBoxProperties* p = combo->ActiveImageProperties();
  TImageList* images = p->ListImages();
  const Integer imageHeight = images ? images->Height() : 0;
  Integer height = std::max(GetDefaultItemHeight() + 2, imageHeight + 2);
  if (p->MultiLineText() && AIndex >= 0 && AIndex < p->Items()->Count()) {
    const Integer width = TextWidth() - (images ? images->Width() + cxImageComboListImageSpacing : 0);
    if (width > 0) {
      TCanvas* canvas = const_cast<TcxImageComboBoxListBox*>(this)->Canvas();
      canvas->Font()->Assign(Font());
      TRect r = Rect(0, 0, width, 0);
      DrawText(canvas->Handle(), p->Items()->Item(AIndex)->Description(), r,
               DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
      height = std::max(r.Height() + 2, imageHeight + 2);
    }
  }
  ApplyMeasureHandlers(AIndex, height);
  return height;
}

void TcxImageComboBoxListBox::DrawItem(Integer Index, const TRect& ARect, TOwnerDrawState AState) {
  TcxCustomImageComboBox* combo = GetImageComboBox();
  if (!combo) {
    TcxComboBoxListBox::DrawItem(Index, ARect, AState);
    return;
  }
  TcxCustomImageComboBoxProperties* p = combo->ActiveImageProperties();
  TCanvas* canvas = Canvas();
  const bool selected = (AState & odSelected) != 0;
  canvas->Brush()->SetColor(selected ? clHighlight : Color());
  canvas->Font()->SetColor(selected ? clHighlightText : ((AState & odDisabled) ? clGrayText : Font()->Color()));
  canvas->FillRect(ARect);
  if (Index < 0 || Index >= p->Items()->Count()) return;
  TcxImageComboBoxItem* item = p->Items()->Item(Index);
  TImageList* images = p->ListImages();
  TRect text = ARect;
  if (ReadingRightToLeft()) text.Right -= cxEditListBoxTextIndent;
  else text.Left += cxEditListBoxTextIndent;
  if (images) {
    const Integer column = images->Width() + cxImageComboListImageSpacing;
    const bool right = p->ImageAlign() == iaRight;
    const Integer columnLeft = right ? ARect.Right - column : ARect.Left;
    const Integer index = item->ImageIndex();
    if (index >= 0 && index < images->Count())
      images->Draw(canvas, columnLeft + 1, ARect.Top + (ARect.Height() - images->Height()) / 2, index, Enabled());
    if (right) text.Right = std::min(text.Right, columnLeft);
    else text.Left = std::max(text.Left, ARect.Left + column + cxEditListBoxTextIndent);
  }
  canvas->Brush()->SetStyle(bsClear);
  const Cardinal align = ReadingRightToLeft() ? DT_RIGHT : DT_LEFT;
  const Cardinal flags = p->MultiLineText() ? (DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | align)
                                            : (DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | align);
  DrawText(canvas->Handle(), item->Description(), text, flags);
  canvas->Brush()->SetStyle(bsSolid);
}

void cxImageComboBoxInitialize() {
  GetEditPropertiesRegistry()->AddClass(TcxImageComboBoxProperties::StaticClass(),
                                        LoadResourceText(cxSEditImageComboBoxKind));
}

void cxImageComboBoxFinalize() { GetEditPropertiesRegistry()->RemoveClass(TcxImageComboBoxProperties::StaticClass()); }
