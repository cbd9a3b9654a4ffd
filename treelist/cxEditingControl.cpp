#include "treelist/cxEditingControl.h"

#include <algorithm>

#include "editors/cxEditStyles.h"
#include "editors/cxEditTextUtils.h"
#include "editors/cxEditViewInfo.h"
#include "editors/cxTextEdit.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/cxLookAndFeels.h"
#include "platform/gui/dialogs.h"
#include "platform/rtl/exceptions.h"

// ---- Styles -------------------------------------------------------------------------------

TcxCustomControlStyles::TcxCustomControlStyles(TcxEditingControl* AControl) : TcxStyles(AControl), FControl(AControl) {}

TcxCustomControlStyles::TcxCustomControlStyles(TPersistent* AOwner)
    : TcxStyles(AOwner), FControl(dynamic_cast<TcxEditingControl*>(AOwner)) {}

void TcxCustomControlStyles::Assign(TPersistent* ASource) {
  if (auto* Source = dynamic_cast<TcxCustomControlStyles*>(ASource)) {
    for (Integer I = ContentIndex; I <= SelectionIndex; ++I) SetIndexedStyle(I, Source->GetIndexedStyle(I));
  }
  inherited::Assign(ASource);
  ItemChanged(ContentIndex);
}

TcxViewParams TcxCustomControlStyles::Params(Integer AIndex) {
  TcxViewParams Result;
  ResolveStyleParams(AIndex, nullptr, Result);
  return Result;
}

TcxViewParams TcxCustomControlStyles::GetBackgroundParams() { return Params(BackgroundIndex); }
TcxViewParams TcxCustomControlStyles::GetContentParams() { return Params(ContentIndex); }

TcxViewParams TcxCustomControlStyles::GetSelectionParams() {
  return Params(FControl && FControl->IsSelectionActive() ? SelectionIndex : InactiveIndex);
}

void TcxCustomControlStyles::GetDefaultStyleParams(Integer AIndex, void* AData, TcxStyleParams& AParams) {
  TcxStyles::GetDefaultStyleParams(AIndex, AData, AParams);
  const TcxCustomLookAndFeelPainter* Painter = FControl ? PainterOf(FControl->LookAndFeel()->Painter()) : nullptr;
  if (!Painter) Painter = PainterOf(cxCustomLookAndFeelPainter());
  if (FControl) AParams.Font = FControl->Font();
  switch (AIndex) {
    case InactiveIndex:
      AParams.Color = Painter->InactiveColor();
      AParams.TextColor = Painter->InactiveTextColor();
      break;
    case SelectionIndex:
      AParams.Color = Painter->SelectionColor();
      AParams.TextColor = Painter->SelectionTextColor();
      break;
    default:
      AParams.Color = Painter->ContentColor();
      AParams.TextColor = Painter->ContentTextColor();
      break;
  }
}

void TcxCustomControlStyles::ItemChanged(Integer) {
  if (FControl && !FControl->IsDestroying()) FControl->LayoutChangedWithStyles();
}

// ---- View info items ----------------------------------------------------------------------

void TcxCustomViewInfoItem::SetBounds(const TRect& ARect, const TRect& AClip) {
  FDisplayRect = ARect;
  FVisible = IntersectRect(FClipRect, ARect, AClip);
}

void TcxCustomViewInfoItem::SetBoundsInClient(const TRect& ARect) { SetBounds(ARect, FOwner->ClientRect()); }

TcxEditingControl* TcxCustomViewInfoItem::GetControl() const { return FOwner->Control(); }

void TcxCustomViewInfoItem::Invalidate(bool ARecalculate) {
  if (ARecalculate) Calculate();
  if (FVisible) GetControl()->InvalidateArea(FClipRect, false);
}

// ---- Edit cells ---------------------------------------------------------------------------

TcxEditCellViewInfo::TcxEditCellViewInfo(TcxCustomControlViewInfo* AOwner, TcxCustomInplaceEditContainer* AItem)
    : TcxCustomViewInfoItem(AOwner), FItem(AItem) {}

TcxEditCellViewInfo::~TcxEditCellViewInfo() {
  if (TcxEditingControl* Control = GetControl()) {
    if (Control->Controller() && Control->Controller()->HitTestController())
      Control->Controller()->HitTestController()->CellRemoved(this);
  }
}

void TcxEditCellViewInfo::SetBounds(const TRect& ARect, const TRect& AClip) {
  TcxCustomViewInfoItem::SetBounds(ARect, AClip);
  FContentRect = ARect;
  if (FBorders & BorderBit(bLeft)) ++FContentRect.Left;
  if (FBorders & BorderBit(bTop)) ++FContentRect.Top;
  if (FBorders & BorderBit(bRight)) --FContentRect.Right;
  if (FBorders & BorderBit(bBottom)) --FContentRect.Bottom;
  // The text and the editor take the whole cell, also where the cell is
  // cut off by the control's edge: painting clips to ClipRect. (Laid out in
  // the clipped part, a partly shown row's text would stand in the wrong
  // place, shifted up against the row above.)
  if (!FVisible) {
    FEditRect = TRect{};
    return;
  }
  FEditRect = FContentRect;
  const TRect Offset = GetContentOffset();
  FEditRect.Left += Offset.Left;
  FEditRect.Top += Offset.Top;
  FEditRect.Right -= Offset.Right;
  FEditRect.Bottom -= Offset.Bottom;
}

bool TcxEditCellViewInfo::IsFocusedCell() const {
  TcxCustomControlController* Controller = GetControl()->Controller();
  return Controller->FocusedItem() == FItem && Controller->GetFocusedRecordIndex() == GetRecordIndex();
}

Variant TcxEditCellViewInfo::GetDisplayValue() const {
  const Integer Record = GetRecordIndex();
  if (Record < 0 || Record >= FItem->CountRecords()) return Null();
  return FItem->GetCellValue(FProperties, Record);
}

TcxEditButtonTransparency TcxEditCellViewInfo::GetButtonTransparency() const {
  switch (FItem->Options()->ShowEditButtons()) {
    case eisbAlways: return ebtNone;
    case eisbNever: return ebtHideInactive;
    default: break;
  }
  switch (GetControl()->OptionsView()->ShowEditButtons()) {
    case ecsbAlways: return ebtNone;
    case ecsbFocused: return IsFocusedCell() ? ebtNone : ebtHideInactive;
    default: return ebtHideInactive;
  }
}

TcxViewParams TcxEditCellViewInfo::GetViewParams() const { return Owner()->BackgroundParams(); }

String TcxEditCellViewInfo::GetDisplayText() const {
  return FProperties ? FProperties->GetDisplayTextOfValue(FValue) : String();
}

void TcxEditCellViewInfo::CalculateIncSearch() {
  FIncSearchLength = 0;
  TcxCustomControlController* Controller = GetControl()->Controller();
  if (!Controller || !Controller->IsIncSearching() || Controller->GetIncSearchingItem() != FItem) return;
  if (GetRecordIndex() != Controller->GetFocusedRecordIndex()) return;
  FItem->ApplyIncSearchColors(FViewData, FViewParams.TextColor, FViewParams.Color);
  FIncSearchLength = Integer(Controller->IncSearchText().size());
}

void TcxEditCellViewInfo::InitProperties() {
  TcxCustomEditProperties* Properties = FItem->GetCellProperties(GetRecordIndex());
  const bool Changed = Properties != FProperties || !FViewData;
  FProperties = Properties;
  FValue = FProperties ? GetDisplayValue() : Null();
  FViewParams = GetViewParams();
  if (!FProperties) return;
  if (Changed) {
    FEditViewInfo.reset();
    FOwnViewData.reset();
    if (FProperties != FItem->ResolvedProperties() || !FItem->EditViewData())
      FOwnViewData.reset(FProperties->CreateViewData(GetControl()->EditStyle(), true));
    FEditViewInfo.reset(dynamic_cast<TcxCustomEditViewInfo*>(FProperties->GetViewInfoClass()->Create()));
  }
  FViewData = FOwnViewData ? FOwnViewData.get() : FItem->EditViewData();
}

void TcxEditCellViewInfo::Calculate() { CalculateAt(TPoint{-1, -1}); }

void TcxEditCellViewInfo::CalculateAt(const TPoint& P) {
  InitProperties();
  if (!FViewData || !FEditViewInfo) return;
  FViewData->ContentOffset = TRect{};
  FViewData->SelTextColor = cxEditDefaultSelectionColor;
  FViewData->SelBackgroundColor = cxEditDefaultSelectionColor;
  CalculateIncSearch();
  // Every cell's view data shares the control's edit style (silent, direct
  // access): the buttons this cell shows are set on it before each calculation.
  GetControl()->EditStyle()->SetButtonTransparency(GetButtonTransparency());
  // The view of a text takes the cell's text (a cell hint shows it whole).
  if (auto* TextData = dynamic_cast<TcxCustomTextEditViewData*>(FViewData)) TextData->EditValue = FValue;
  CalcViewInfoAtOrigin(FViewData, GetControl()->cxCanvas(), FContentRect, P, cxmbNone, 0, FEditViewInfo.get(), false);
  ApplyViewParams();
  // The editor's own look of the value (a check box, an image, a link...).
  FViewData->EditValueToDrawValue(GetControl()->cxCanvas(), FValue, FEditViewInfo.get());
}

bool TcxEditCellViewInfo::IsHotTrackable() const {
  if (!FProperties || !FViewData || GetControl()->InDesignMode()) return false;
  if (!(FProperties->GetEditorFeatures() & cxEditFeatureHasButtons)) return false;
  TcxCustomEditStyle* Style = FViewData->Style();
  TcxLookAndFeel* LookAndFeel = Style ? Style->LookAndFeel() : nullptr;
  if (!LookAndFeel) LookAndFeel = GetControl()->LookAndFeel();
  const TcxCustomLookAndFeelPainter* Painter = PainterOf(LookAndFeel->Painter());
  return Painter && Painter->HotTracksButtons();
}

void TcxEditCellViewInfo::UpdateHotTrackState(const TPoint& P) {
  if (!Visible() || !FEditViewInfo || !IsHotTrackable()) return;
  // The buttons as they look now, to repaint only those that change.
  std::vector<std::unique_ptr<TcxEditButtonViewInfo>> Old;
  for (Integer I = 0; I < FEditViewInfo->ButtonCount(); ++I) {
    Old.push_back(std::make_unique<TcxEditButtonViewInfo>());
    Old.back()->Assign(FEditViewInfo->Button(I));
  }
  CalculateAt(P);
  TcxEditingControl* Control = GetControl();
  if (!Control->HandleAllocated() || !FEditViewInfo) return;
  for (Integer I = 0; I < FEditViewInfo->ButtonCount(); ++I) {
    TcxEditButtonViewInfo* Button = FEditViewInfo->Button(I);
    if (I < Integer(Old.size()) && !Button->Differs(Old[static_cast<size_t>(I)].get())) continue;
    TRect Bounds = Button->Bounds;
    OffsetRect(Bounds, FEditViewInfo->Left, FEditViewInfo->Top);
    TRect Changed;
    if (IntersectRect(Changed, Bounds, FClipRect)) InvalidateRect(Control->Handle(), &Changed, false);
  }
}

void TcxEditCellViewInfo::ApplyViewParams() {
  FEditViewInfo->BackgroundColor = FViewParams.Color;
  FEditViewInfo->TextColor = FViewParams.TextColor;
  FEditViewInfo->Font = FViewParams.Font;
  // A cell is never hot or active; its view info tells whether it shows the
  // selection instead.
  FEditViewInfo->IsSelected = IsSelectedLook();
}

Integer TcxEditCellViewInfo::GetMaxLineCount() const { return GetControl()->OptionsView()->CellTextMaxLineCount(); }
bool TcxEditCellViewInfo::IsAutoHeight() const { return GetControl()->OptionsView()->CellAutoHeight(); }
bool TcxEditCellViewInfo::IsEndEllipsis() const { return GetControl()->OptionsView()->CellEndEllipsis(); }

Cardinal TcxEditCellViewInfo::GetTextFlags() const {
  Cardinal Flags = IsAutoHeight() ? Cardinal(cxtlWordBreak | cxtlAlignTop) : Cardinal(cxtlSingleLine | cxtlAlignVCenter);
  if (IsEndEllipsis()) Flags |= cxtlEndEllipsis;
  return Flags;
}

bool TcxEditCellViewInfo::SetCellHeight(Integer AValue) {
  if (AValue == FCellHeight) return false;
  FCellHeight = AValue;
  return true;
}

bool TcxEditCellViewInfo::RefreshCellParams(bool ARecalculate) {
  bool HeightChanged = false;
  if (ARecalculate) {
    Integer Height = Owner()->DefaultEditHeight();
    if (IsAutoHeight()) {
      InitProperties();
      Height = FItem->CalcCellHeight(this);
    }
    HeightChanged = SetCellHeight(Height);
    if (!HeightChanged) Calculate();
  } else {
    RefreshViewParams();
  }
  if (!HeightChanged) Invalidate();
  return HeightChanged;
}

void TcxEditCellViewInfo::RefreshViewParams() {
  if (!FEditViewInfo) return;
  FViewParams = GetViewParams();
  ApplyViewParams();
}

bool TcxEditCellViewInfo::NeedShowHint(TcxCanvas* ACanvas, const TPoint& P, String& AText, bool& AIsHintBelowCursor,
                                       TRect& ATextRect) {
  AIsHintBelowCursor = false;
  if (!Visible() || !FEditViewInfo) return false;
  // The hint shows the text in the cell's font.
  if (ACanvas && FEditViewInfo->Font) ACanvas->SetFont(FEditViewInfo->Font);
  TPoint At = P;
  At.X -= FEditViewInfo->Left;
  At.Y -= FEditViewInfo->Top;
  if (!FEditViewInfo->QueryHintWithRect(At, AText, ATextRect)) return false;
  TRect Content;
  return IntersectRect(Content, FClipRect, GetControl()->ClientRect());
}

// ---- Control view info --------------------------------------------------------------------

TcxCustomControlViewInfo::TcxCustomControlViewInfo(TcxEditingControl* AControl)
    : FControl(AControl), FPainter(std::make_unique<TcxCustomControlPainter>(AControl)) {
  FEditCells.reserve(1024);
}

TcxCustomControlViewInfo::~TcxCustomControlViewInfo() = default;

void TcxCustomControlViewInfo::Calculate() {
  if (FStylesChanged) {
    FStylesChanged = false;
    FDefaultEditHeight = GetDefaultEditHeight();
    FBackgroundParams = FControl->Styles()->GetBackgroundParams();
    FSelectionParams = FControl->Styles()->GetSelectionParams();
    FControl->Invalidate();
  }
  FClientRect = FControl->ClientRect();
  CalculateCells();
  FDirty = false;
}

Integer TcxCustomControlViewInfo::GetDefaultEditHeight() const {
  Integer Height = 0;
  for (Integer I = 0; I < FControl->ItemCount(); ++I)
    Height = std::max(Height, FControl->Items(I)->GetDefaultEditHeight());
  return Height;
}

void TcxCustomControlViewInfo::ReplacePainter(std::unique_ptr<TcxCustomControlPainter> APainter) {
  FPainter = std::move(APainter);
}

void TcxCustomControlViewInfo::UpdateSelectionParams() {
  FSelectionParams = FControl->Styles()->GetSelectionParams();
}

void TcxCustomControlViewInfo::CalculateCells() {
  for (TcxEditCellViewInfo* Cell : FEditCells)
    if (Cell->Visible()) Cell->Calculate();
}

// ---- The control --------------------------------------------------------------------------

TcxEditingControl::TcxEditingControl(TComponent* AOwner) : TcxControl(AOwner) {
  SetKeys(Keys() | dkArrows | dkChars);
  SetBorderStyle(cxcbsDefault);
}

void TcxEditingControl::CreateSubobjects() {
  FStyles = CreateStyles();
  // The style the cells' editor views share; its look and feel follows the
  // control's.
  FEditStyle = std::make_unique<TcxEditStyle>(nullptr, false);
  if (TcxLookAndFeel* EditLookAndFeel = FEditStyle->LookAndFeel()) EditLookAndFeel->SetMaster(LookAndFeel());
  FOptionsView = CreateOptionsView();
  FOptionsData = CreateOptionsData();
  FOptionsBehavior = CreateOptionsBehavior();
  FController = CreateController();
  FController->CreateSubobjects();
  FDataController = std::make_unique<TcxControlDataController>(this, this);
  FViewInfo = CreateViewInfo();
}

TcxEditingControl::~TcxEditingControl() {
  FDestroying = true;
  EndDragImage();
  if (FController) FController->EditingController()->EndCellEdit(false);
  // Items outlive the control only detached.
  for (TcxCustomInplaceEditContainer* Item : std::vector<TcxCustomInplaceEditContainer*>(FItems))
    Item->SetEditingControl(nullptr);
  FViewInfo.reset();
  FController.reset();
  FDataController.reset();
  FStyles.reset();
}

std::unique_ptr<TcxCustomControlStyles> TcxEditingControl::CreateStyles() {
  return std::make_unique<TcxCustomControlStyles>(this);
}

std::unique_ptr<TcxControlOptionsView> TcxEditingControl::CreateOptionsView() {
  return std::make_unique<TcxControlOptionsView>(nullptr, this);
}

std::unique_ptr<TcxControlOptionsData> TcxEditingControl::CreateOptionsData() {
  return std::make_unique<TcxControlOptionsData>(nullptr, this);
}

std::unique_ptr<TcxControlOptionsBehavior> TcxEditingControl::CreateOptionsBehavior() {
  return std::make_unique<TcxControlOptionsBehavior>(nullptr, this);
}

std::unique_ptr<TcxCustomControlViewInfo> TcxEditingControl::CreateViewInfo() {
  return std::make_unique<TcxCustomControlViewInfo>(this);
}

// ---- Items --------------------------------------------------------------------------------

void TcxEditingControl::AddContainerItem(TcxCustomInplaceEditContainer* AItem) {
  FItems.push_back(AItem);
  AItem->SetItemIndex(ItemCount() - 1);
  FDataController->AddItemField(AItem);
}

void TcxEditingControl::RemoveContainerItem(TcxCustomInplaceEditContainer* AItem) {
  auto It = std::find(FItems.begin(), FItems.end(), AItem);
  if (It == FItems.end()) return;
  if (FController) {
    if (EditingController()->EditingItem() == AItem) EditingController()->EndCellEdit(false);
    if (FController->FocusedItem() == AItem) FController->ChangeFocusedItem(nullptr);
    EditingController()->FreeEditData(AItem);
  }
  {
    // The data controller's notices wait until the items are numbered
    // like its fields again.
    ++FLockCount;
    struct TUnlock {
      Integer& Count;
      ~TUnlock() { --Count; }
    } Unlock{FLockCount};
    FDataController->BeginUpdate();
    FItems.erase(It);
    FDataController->RemoveItem(AItem);
    for (Integer I = 0; I < ItemCount(); ++I) FItems[size_t(I)]->SetItemIndex(I);
    FDataController->EndUpdate();
  }
  if (!FDestroying) LayoutChanged();
}

void TcxEditingControl::ExchangeContainerItems(Integer AIndex1, Integer AIndex2) {
  if (AIndex1 == AIndex2 || AIndex1 < 0 || AIndex2 < 0 || AIndex1 >= ItemCount() || AIndex2 >= ItemCount()) return;
  const Integer Low = std::min(AIndex1, AIndex2);
  const Integer High = std::max(AIndex1, AIndex2);
  std::swap(FItems[size_t(Low)], FItems[size_t(High)]);
  FItems[size_t(Low)]->SetItemIndex(Low);
  FItems[size_t(High)]->SetItemIndex(High);
  // A field's index is its item's: the fields trade places the same way.
  TcxCustomDataFieldList* Fields = FDataController->Fields();
  Fields->Move(Low, High);
  Fields->Move(High - 1, Low);
  FDataController->UpdateItemIndexes();
}

TcxCustomInplaceEditContainer* TcxEditingControl::EditingItem() const {
  return FController ? EditingController()->EditingItem() : nullptr;
}

void TcxEditingControl::SwitchEditedItem(TcxCustomInplaceEditContainer* AItem) {
  if (FController) EditingController()->SwitchEditedItem(AItem);
}

TcxCustomInplaceEditContainer* TcxEditingControl::IncSearchItem() const {
  return FController ? FController->GetIncSearchingItem() : nullptr;
}

void TcxEditingControl::CancelIncSearch() {
  if (FController) FController->CancelIncSearch();
}

void TcxEditingControl::EditPropertiesRemoved(TcxCustomEditProperties* AProperties) {
  if (FController) EditingController()->PropertiesRemoved(AProperties);
}

void TcxEditingControl::BehaviorChanged() { SelectionLookChanged(); }

void TcxEditingControl::SetWantsTabKey(bool AValue) { SetKeys(AValue ? (Keys() | dkTab) : (Keys() & ~dkTab)); }

// ---- Data ---------------------------------------------------------------------------------

void TcxEditingControl::ApplyDataChange(TcxUpdateControlInfo* AInfo) {
  if (!FController || FDestroying) return;
  if (dynamic_cast<TcxFocusedRecordChangedInfo*>(AInfo) || dynamic_cast<TcxFocusedRowChangedInfo*>(AInfo)) {
    FController->FocusedRecordChanged();
    if (FController->Navigator()) FController->Navigator()->Refresh();
  } else if (dynamic_cast<TcxDataChangedInfo*>(AInfo)) {
    DataChanged();
  } else if (dynamic_cast<TcxLayoutChangedInfo*>(AInfo)) {
    DataLayoutChanged();
  } else if (dynamic_cast<TcxSelectionChangedInfo*>(AInfo)) {
    SelectionChanged();
  } else if (auto* Updated = dynamic_cast<TcxUpdateRecordInfo*>(AInfo)) {
    FController->RecordUpdated(Updated->RecordIndex);
  }
}

void TcxEditingControl::DataLayoutChanged() {
  EditingController()->LoadEditorValue();
  if (!IsLocked()) FController->RefreshFocusedCells();
}

void TcxEditingControl::DataChanged() {
  BeginUpdate();
  try {
    for (TcxCustomInplaceEditContainer* Item : FItems) Item->DataChanged();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxEditingControl::StoreCellEditorValue() {
  // A store that failed keeps the editor open; the record is not posted.
  if (FController && !EditingController()->StoreEditorValue()) throw EAbort(u"");
}

// ---- Layout -------------------------------------------------------------------------------

void TcxEditingControl::BeginUpdate() {
  ++FLockCount;
  // The data controller's notices wait for the end of the update too.
  if (FDataController) FDataController->BeginUpdate();
}

void TcxEditingControl::EndUpdate() {
  // Its notices come while the control still counts as updating.
  if (FDataController) FDataController->EndUpdate();
  if (--FLockCount > 0) return;
  ContentChanged();
  LayoutChanged();
}

void TcxEditingControl::LayoutChanged() {
  if (!FViewInfo) return;
  FViewInfo->SetDirty();
  if (IsLocked() || FDestroying) return;
  ++FLayoutCount;
  try {
    FController->ResetMouseState();
    FViewInfo->Calculate();
  } catch (...) {
    --FLayoutCount;
    throw;
  }
  if (--FLayoutCount == 0) {
    FController->RecalcHitTest();
    EditingController()->MarkEditorUpdateNeeded();
    FFullRepaint = true;
    AfterLayoutChanged();
    Invalidate();
  }
}

void TcxEditingControl::ApplyLookAndFeelChange(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChanged) {
  TcxControl::ApplyLookAndFeelChange(Sender, AChanged);
  if (FDestroying || !FController) return;
  TcxEditingController* Editing = FController->EditingController();
  const bool Reopen = Editing->IsEditing();
  // A value the editor cannot give up keeps it open in the old look.
  if (Reopen && !Editing->EndCellEdit(true)) return;
  BeginUpdate();
  try {
    for (TcxCustomInplaceEditContainer* Item : FItems) Item->PropertiesChanged();
    LayoutChangedWithStyles();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  if (Reopen && !FDestroying) Editing->ActivateCellEditor(nullptr);
}

void TcxEditingControl::LayoutChangedWithStyles() {
  if (FViewInfo) FViewInfo->StylesChanged();
  LayoutChanged();
}

void TcxEditingControl::SizeOrBorderChanged() {
  LayoutChanged();
  TcxControl::SizeOrBorderChanged();
}

void TcxEditingControl::ScrollContent(TScrollBarKind AKind, TScrollCode ACode, Integer& APosition) {
  EditingController()->MarkEditorUpdateNeeded();
  FController->ScrollContent(AKind, ACode, APosition);
}

bool TcxEditingControl::ConfirmBox(const String& AText, const String& ACaption) {
  return MessageBox(0, AText, ACaption, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

// ---- Painting -----------------------------------------------------------------------------

void TcxEditingControl::Paint() {
  if (FDragImage) FDragImage->Hide();
  FController->BeforePaint();
  TcxControl::Paint();
  if (FViewInfo->IsDirty()) FViewInfo->Calculate();
  FViewInfo->Painter()->PaintControl();
  FController->AfterPaint();
  if (FDragImage) FDragImage->Show();
}

bool TcxEditingControl::BufferedPaint() const { return FViewInfo->Painter()->Buffered(); }

void TcxEditingControl::SetBufferedPaint(bool AValue) {
  if (AValue == BufferedPaint()) return;
  FViewInfo->Painter()->SetBuffered(AValue);
  InvalidateArea(ClientRect(), false);
}

// ---- Input --------------------------------------------------------------------------------

void TcxEditingControl::WndProc(TMessage& Message) {
  if (FController && FController->HandleMessage(Message)) return;
  TcxControl::WndProc(Message);
}

void TcxEditingControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  FController->HideHint();
  FController->BeforeMouseDown(Button, Shift, X, Y);
  FDragPos = TPoint{X, Y};
  TcxControl::MouseDown(Button, Shift, X, Y);
  // An editor that kept the focus (its value was refused) keeps the cell.
  if (FocusWhenClicked() && !Focused()) return;
  FController->HandleMouseDown(Button, Shift, X, Y);
}

void TcxEditingControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TcxControl::MouseMove(Shift, X, Y);
  if (DragAndDropState() == ddsNone) FController->HandleMouseMove(Shift, X, Y);
}

void TcxEditingControl::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxControl::MouseUp(Button, Shift, X, Y);
  FController->HandleMouseUp(Button, Shift, X, Y);
}

void TcxEditingControl::HandleMouseLeave(TControl* AControl) {
  TcxControl::HandleMouseLeave(AControl);
  if (FController) FController->MouseLeave();
}

void TcxEditingControl::KeyDown(Word& Key, TShiftState Shift) {
  TcxControl::KeyDown(Key, Shift);
  if (Key != 0) FController->KeyDown(Key, Shift);
}

void TcxEditingControl::KeyPress(Char& Key) {
  TcxControl::KeyPress(Key);
  if (Key != 0) FController->KeyPress(Key);
}

void TcxEditingControl::KeyUp(Word& Key, TShiftState Shift) {
  TcxControl::KeyUp(Key, Shift);
  if (Key != 0) FController->KeyUp(Key, Shift);
}

void TcxEditingControl::DblClick() {
  FController->DblClick();
  TcxControl::DblClick();
}

void TcxEditingControl::DoExit() {
  FController->ControlExit();
  TcxControl::DoExit();
}

void TcxEditingControl::HandleFocusChange() {
  TcxControl::HandleFocusChange();
  if (!FController || FDestroying) return;
  FController->FocusChanged();
  SelectionLookChanged();
}

void TcxEditingControl::SelectionLookChanged() {
  // The selected cells switch between the focused and the inactive look;
  // they take it when painted next.
  if (!FViewInfo) return;
  FViewInfo->UpdateSelectionParams();
  FViewInfo->SetDirty();
  Invalidate();
}

bool TcxEditingControl::HasFocus() { return TcxControl::HasFocus() || (FController && FController->EditorHasFocus()); }

// ---- Drag picture -------------------------------------------------------------------------

void TcxEditingControl::BeginDragImage() {
  EndDragImage();
  if (!FOptionsBehavior->DragDropText) return;
  FDragImage = std::make_unique<TcxDragImageHelper>(this, FDragPos);
  InstallDragMouseHook(this);
}

void TcxEditingControl::EndDragImage() {
  if (DragMouseHookControl() == this) RemoveDragMouseHook();
  FDragImage.reset();
}

void TcxEditingControl::DoStartDrag(TDragObject*& DragObject) {
  FController->HitTestController()->HitTest(FDragPos);
  TcxControl::DoStartDrag(DragObject);
  BeginDragImage();
}

void TcxEditingControl::DoEndDrag(TObject* Target, Integer X, Integer Y) {
  FController->EndDrag(X, Y);
  TcxControl::DoEndDrag(Target, X, Y);
  EndDragImage();
  FDragPos = TPoint{-1, -1};
}

void TcxEditingControl::DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  TcxControl::DragOver(Source, X, Y, State, Accept);
  FController->DragOver();
}

// ---- Painter ------------------------------------------------------------------------------

TcxCustomControlPainter::TcxCustomControlPainter(TcxEditingControl* AControl)
    : FControl(AControl), FCanvas(AControl->cxCanvas()) {}

TcxCustomControlPainter::~TcxCustomControlPainter() = default;

void TcxCustomControlPainter::SetBuffered(bool AValue) {
  if (AValue == FBuffered) return;
  FBuffered = AValue;
  if (AValue) {
    FBitmap = std::make_unique<TBitmap>();
    FBitmapCanvas = std::make_unique<TcxCanvas>(FBitmap->Canvas());
  } else {
    FBitmapCanvas.reset();
    FBitmap.reset();
  }
}

void TcxCustomControlPainter::PaintControl() {
  TcxCanvas* ControlCanvas = FControl->cxCanvas();
  const TRect Client = FControl->ViewInfo()->ClientRect();
  if (!ControlCanvas->IsRectVisible(Client)) return;
  if (FBuffered) {
    const TRect Bounds = FControl->ClientRect();
    FBitmap->SetSize(Bounds.Width(), Bounds.Height());
    if (FControl->FullRepaintNeeded()) {
      FControl->ClearFullRepaint();
      FBitmapCanvas->ApplyClipRegion(new TcxRegion(Client), roCopy, true);
    } else {
      FBitmapCanvas->ApplyClipRegion(ControlCanvas->CopyClipRegion(), roCopy, true);
    }
    FCanvas = FBitmapCanvas.get();
  }
  try {
    PaintContent();
  } catch (...) {
    FCanvas = ControlCanvas;
    throw;
  }
  FCanvas = ControlCanvas;
  if (FBuffered) {
    const TRect Bounds{0, 0, FBitmap->Width(), FBitmap->Height()};
    ControlCanvas->CopyRectFrom(Bounds, FBitmap->Canvas(), Bounds);
  }
}

void TcxCustomControlPainter::PaintContent() {
  TcxCustomControlViewInfo* ViewInfo = FControl->ViewInfo();
  TcxRegion* Saved = FCanvas->CopyClipRegion();
  for (TcxEditCellViewInfo* Cell : ViewInfo->EditCells()) PaintEditCell(Cell, true);
  FCanvas->SetBrushColor(ViewInfo->BackgroundParams().Color);
  FCanvas->FillRectOrTileBitmap(ViewInfo->ClientRect(), ViewInfo->BackgroundParams().Bitmap);
  FCanvas->ApplyClipRegion(Saved, roCopy, true);
}

void TcxCustomControlPainter::PaintEditCell(TcxEditCellViewInfo* ACell, bool AExclude) {
  if (!ACell->Visible() || !FCanvas->IsRectVisible(ACell->ClipRect())) return;
  bool Done = false;
  if (FControl->OnCustomDrawCell) FControl->OnCustomDrawCell(FControl, FCanvas, ACell, Done);
  if (!Done && ACell->EditViewInfo()) {
    PaintViewInfoAtOrigin(ACell->EditViewInfo(), FCanvas);
    if (!ACell->EditViewInfo()->PaintsOwnContent) PaintCellText(ACell);
  }
  if (AExclude) FCanvas->ClipOutRect(ACell->ClipRect());
}

void TcxCustomControlPainter::SaveAndApplyViewParams(TcxEditCellViewInfo* ACell) {
  FSavedFont = std::make_unique<TFont>();
  FSavedFont->Assign(FCanvas->GetFont());
  FSavedBrushColor = FCanvas->GetBrush()->Color();
  const TcxViewParams& Params = ACell->ViewParams();
  if (Params.Font) FCanvas->GetFont()->Assign(Params.Font);
  FCanvas->GetFont()->SetColor(Params.TextColor);
  FCanvas->SetBrushColor(Params.Color);
}

void TcxCustomControlPainter::RestoreViewParams(TcxEditCellViewInfo*) {
  if (FSavedFont) FCanvas->GetFont()->Assign(FSavedFont.get());
  FCanvas->SetBrushColor(FSavedBrushColor);
  FSavedFont.reset();
}

void TcxCustomControlPainter::PaintCellText(TcxEditCellViewInfo* ACell) {
  const String Text = ACell->GetDisplayText();
  if (Text.empty()) return;
  TRect R = ACell->EditRect();
  TcxRegion* Saved = FCanvas->CopyClipRegion();
  FCanvas->ClipToRect(ACell->ClipRect());
  SaveAndApplyViewParams(ACell);
  const Integer SelLength = std::min(ACell->IncSearchLength(), Integer(Text.size()));
  cxTextOut(FCanvas, Text, R, ACell->GetTextFlags(), SelLength > 0 ? 0 : -1, SelLength,
            ACell->GetSelectionBackgroundColor(), ACell->GetSelectionTextColor(),
            ACell->GetMaxLineCount());
  RestoreViewParams(ACell);
  FCanvas->ApplyClipRegion(Saved, roCopy, true);
}
