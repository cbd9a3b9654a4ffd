#include "editors/cxMRUEdit.h"

#include "platform/gui/messages.h"

namespace {

// Raises a flag for the scope (also when it is left by an exception).
struct TRestoreFlag {
  explicit TRestoreFlag(bool& AFlag) : Flag(AFlag), Saved(AFlag) { Flag = true; }
  ~TRestoreFlag() { Flag = Saved; }
  bool& Flag;
  bool Saved;
};

}  // namespace

TcxCustomMRUEditProperties::TcxCustomMRUEditProperties(TPersistent* AOwner) : TcxCustomComboBoxProperties(AOwner) {
  TcxUpdateScope update(this);
  TcxEditButton* ellipsis = Buttons()->Add();
  ellipsis->SetKind(bkEllipsis);
  ellipsis->SetDefault(true);
  SetDropDownListStyle(lsEditList);
}

TcxCustomEditClass TcxCustomMRUEditProperties::GetEditorClass() { return TcxMRUEdit::StaticClass(); }

void TcxCustomMRUEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomMRUEditProperties*>(Source);
  TcxUpdateScope update(this);
  TcxCustomComboBoxProperties::Assign(Source);
  if (!source || source == this) return;
  SetMaxItemCount(source->FMaxItemCount);
  SetShowEllipsis(source->FShowEllipsis);
  OnButtonClick = source->OnButtonClick;
}

void TcxCustomMRUEditProperties::NotifyChanged() {
  SyncButtonKinds();
  TcxCustomComboBoxProperties::NotifyChanged();
}

void TcxCustomMRUEditProperties::SyncButtonKinds() {
  if (FSyncingButtons || Buttons()->Count() <= cxMRUEllipsisButtonIndex) return;
  FSyncingButtons = true;
  struct TDone {
    bool& Flag;
    ~TDone() { Flag = false; }
  } done{FSyncingButtons};
  SetGlyphButtonIndex(FShowEllipsis ? cxMRUEllipsisButtonIndex : 0);  // the glyph moves along
  const bool glyph = ButtonGlyph() != nullptr;
  Buttons()->GetButton(cxMRUEllipsisButtonIndex)->SetKind(FShowEllipsis && glyph ? bkGlyph : bkEllipsis);
  Buttons()->GetButton(0)->SetKind(!FShowEllipsis && glyph ? bkGlyph : bkDown);
}

void TcxCustomMRUEditProperties::CopyExtraDataTo(TcxCustomEditProperties* ADest) {
  TcxCustomComboBoxProperties::CopyExtraDataTo(ADest);
  if (auto* dest = dynamic_cast<TcxCustomMRUEditProperties*>(ADest); dest && dest != this)
    dest->Items()->Assign(Items());
}

void TcxCustomMRUEditProperties::SetMaxItemCount(Integer Value) {
  if (Value < 0) Value = 0;
  if (FMaxItemCount == Value) return;
  TcxUpdateScope update(this);
  FMaxItemCount = Value;
  DeleteExcessItems();
  NotifyChanged();
}

void TcxCustomMRUEditProperties::SetShowEllipsis(bool Value) {
  if (FShowEllipsis == Value) return;
  TcxUpdateScope update(this);
  FShowEllipsis = Value;
  if (Buttons()->Count() > cxMRUEllipsisButtonIndex) Buttons()->GetButton(cxMRUEllipsisButtonIndex)->SetVisible(Value);
  NotifyChanged();
}

void TcxCustomMRUEditProperties::DeleteExcessItems() {
  if (FMaxItemCount <= 0) return;
  TStringList* items = Items();
  while (items->Count() > FMaxItemCount) items->Delete(items->Count() - 1);
}

void TcxCustomMRUEditProperties::AddItem(const String& AText) {
  if (AText.empty()) return;
  TStringList* items = Items();
  TcxUpdateScope update(this);
  const Integer index = items->IndexOf(AText);
  if (index == 0) return;
  items->BeginUpdate();
  if (items->Sorted()) {
    // A sorted list keeps its order: a new text takes its sorted place.
    if (index < 0) items->Add(AText);
  } else if (index > 0) {
    items->Move(index, 0);
  } else {
    items->Insert(0, AText);
  }
  DeleteExcessItems();
  items->EndUpdate();
}

// ---------------------------------------------------------------------------

TcxCustomMRUEditProperties* TcxCustomMRUEdit::ActiveMRUProperties() {
  return static_cast<TcxCustomMRUEditProperties*>(ActiveProperties());
}

void TcxCustomMRUEdit::AddCurrentText() {
  if (!CanModifyValue()) return;
  ActiveMRUProperties()->AddItem(Text());
}

void TcxCustomMRUEdit::DoEnter() {
  TcxCustomComboBox::DoEnter();
  FTextOnEnter = Text();
}

void TcxCustomMRUEdit::EnterPostState() {
  TcxCustomComboBox::EnterPostState();
  if (!FCyclingByDoubleClick) AddCurrentText();
}

void TcxCustomMRUEdit::DoButtonClick(Integer AButtonIndex) {
  TcxDestroyGuard guard(this);
  TcxCustomComboBox::DoButtonClick(AButtonIndex);
  if (!guard.Alive() || AButtonIndex != cxMRUEllipsisButtonIndex) return;
  auto* own = static_cast<TcxCustomMRUEditProperties*>(Properties());
  own->OnButtonClick(this);
  if (!guard.Alive() || !RepositoryItem()) return;
  if (auto* item = dynamic_cast<TcxCustomMRUEditProperties*>(RepositoryItem()->Properties())) item->OnButtonClick(this);
}

void TcxCustomMRUEdit::DblClick() {
  TRestoreFlag cycling(FCyclingByDoubleClick);
  TcxCustomComboBox::DblClick();
}

bool TcxCustomMRUEdit::PreviewInnerMessage(TMessage& Message) {
  if (Message.Msg != WM_LBUTTONDBLCLK) return TcxCustomComboBox::PreviewInnerMessage(Message);
  TRestoreFlag cycling(FCyclingByDoubleClick);
  return TcxCustomComboBox::PreviewInnerMessage(Message);
}

bool TcxCustomMRUEdit::ValidateAndMark() {
  if (!TcxCustomComboBox::ValidateAndMark()) return false;
  if (Text() != FTextOnEnter) AddCurrentText();
  return true;
}

void cxMRUEditInitialize() {
  GetEditPropertiesRegistry()->AddClass(TcxMRUEditProperties::StaticClass(), LoadResourceText(cxSEditMRUEditKind));
}

void cxMRUEditFinalize() { GetEditPropertiesRegistry()->RemoveClass(TcxMRUEditProperties::StaticClass()); }
