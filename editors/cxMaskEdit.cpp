#include "editors/cxMaskEdit.h"

#include <algorithm>

#include "platform/gui/messages.h"

namespace {

constexpr Char cxKeyBackspace = 8;

bool IsBlankMask(const String& AMask) {
  return std::all_of(AMask.begin(), AMask.end(), [](Char C) {
    return C == 0 || C == u'\t' || C == u'\n' || C == u'\f' || C == u'\r' || C == u' ';
  });
}

bool IsSurrogate(Char C) { return C >= 0xD800 && C <= 0xDFFF; }

}  // namespace

// ---------------------------------------------------------------------------
// TcxMaskEditCustomMode

TcxMaskEditCustomMode::TcxMaskEditCustomMode(TcxMaskEditModel* AEdit, TcxCustomMaskEditProperties* AProperties)
    : FEdit(AEdit), FProperties(AProperties) {}

bool TcxMaskEditCustomMode::CaretAtEnd() { return FEdit->SelStart() + FEdit->SelLength() >= FEdit->Length(); }

void TcxMaskEditCustomMode::Refuse() {
  if (FEdit) FEdit->Beep();
}

// ---------------------------------------------------------------------------
// TcxMaskEditStandardMode

void TcxMaskEditStandardMode::ApplyMask(const String& AMask) {
  FMask = AMask;
  if (!IsBlankMask(AMask)) FStandardMask.SetMask(AMask);
}

String TcxMaskEditStandardMode::FormatText(const String& AText) {
  String text = AText;
  FStandardMask.FitText(text, true);
  return text;
}

String TcxMaskEditStandardMode::ValueFromText(const String& AText) {
  String text = AText;
  FStandardMask.FitText(text, Properties()->CharCase() == ecNormal);
  FStandardMask.ExtractValue(text);
  return text;
}

bool TcxMaskEditStandardMode::IsValidText(const String& AText) {
  String text = AText;
  if (FStandardMask.IsComplete(text)) return true;
  return Properties()->IgnoreMaskBlank() && AText == FStandardMask.EmptyPicture();
}

bool TcxMaskEditStandardMode::IsLiteral(Integer APos) const {
  return APos < FStandardMask.Count() && FStandardMask.Items(APos)->IsLiteral();
}

bool TcxMaskEditStandardMode::IsLiteralChar(Integer APos, Char AChar) const {
  return IsLiteral(APos) && static_cast<TcxStandardMaskLiteralItem*>(FStandardMask.Items(APos))->Literal() == AChar;
}

Integer TcxMaskEditStandardMode::NextEditable(Integer APos) const {
  while (APos < FStandardMask.Count() && IsLiteral(APos)) ++APos;
  return APos;
}

void TcxMaskEditStandardMode::PlaceCaret(Integer APos) {
  Edit()->SetSelection(APos, APos < Edit()->Length() ? 1 : 0);
}

bool TcxMaskEditStandardMode::CaretAtStart() {
  for (Integer i = 0; i < Edit()->SelStart(); ++i)
    if (!IsLiteral(i)) return false;
  return true;
}

void TcxMaskEditStandardMode::CaretMoved() {
  if (Edit()->SelLength() == 0) PlaceCaret(Edit()->SelStart());
}

bool TcxMaskEditStandardMode::TypeChar(Char& AChar) {
  Integer pos = Edit()->SelStart();
  // A selection is blanked only by a character that is taken: a refused
  // one leaves the text as it was.
  const bool overSelection = Edit()->SelLength() > 1;
  // Typing the literal that stands at the caret steps over it; typing the
  // one the caret has just skipped is taken as done.
  if (IsLiteralChar(pos, AChar)) {
    if (overSelection) Delete();
    PlaceCaret(NextEditable(pos + 1));
    return false;
  }
  if (pos > 0 && IsLiteralChar(pos - 1, AChar)) {
    if (overSelection) Delete();
    return false;
  }
  pos = NextEditable(pos);
  Char converted = AChar;
  if (pos >= FStandardMask.Count() || pos >= Edit()->Length() || !FStandardMask.Items(pos)->Accepts(converted) ||
      !Edit()->CanInsertChar(converted, pos)) {
    Refuse();
    return false;
  }
  if (overSelection) Delete();
  String text = Edit()->Text();
  text[pos] = converted;
  Edit()->ShowUserText(text, pos);
  PlaceCaret(NextEditable(pos + 1));
  return false;
}

bool TcxMaskEditStandardMode::Backspace() {
  if (Edit()->SelLength() <= 1) {
    const Integer from = Edit()->SelStart();
    Left(false);
    // Nothing editable before the caret: the character at the caret stays.
    if (Edit()->SelStart() == from) {
      Refuse();
      return false;
    }
  }
  return Delete();
}

bool TcxMaskEditStandardMode::Delete() {
  const Integer start = Edit()->SelStart(), end = start + std::max(Edit()->SelLength(), 1);
  String text = Edit()->Text();
  for (Integer i = start; i < end && i < static_cast<Integer>(text.size()); ++i)
    if (!IsLiteral(i)) text[i] = FStandardMask.Blank();
  Edit()->ShowUserText(text, start);
  PlaceCaret(start);
  return false;
}

bool TcxMaskEditStandardMode::Home(bool AShift) {
  if (AShift) return true;
  PlaceCaret(NextEditable(0));
  return false;
}

bool TcxMaskEditStandardMode::End(bool AShift) {
  if (AShift) return true;
  PlaceCaret(Edit()->Length());
  return false;
}

bool TcxMaskEditStandardMode::Left(bool AShift) {
  if (AShift) {
    if (Edit()->SelLength() == 1) Edit()->SetSelection(Edit()->SelStart(), 0);
    return true;
  }
  if (Edit()->SelLength() > 1) {
    PlaceCaret(Edit()->SelStart());
    return false;
  }
  for (Integer pos = Edit()->SelStart() - 1; pos >= 0; --pos)
    if (!IsLiteral(pos)) {
      PlaceCaret(pos);
      return false;
    }
  PlaceCaret(Edit()->SelStart());
  return false;
}

bool TcxMaskEditStandardMode::Right(bool AShift) {
  if (AShift) {
    if (Edit()->SelLength() == 1) Edit()->SetSelection(Edit()->SelStart(), 0);
    return true;
  }
  if (Edit()->SelLength() > 1) {
    Integer end = Edit()->SelStart() + Edit()->SelLength();
    while (end > Edit()->SelStart() + 1 && IsLiteral(end - 1)) --end;
    PlaceCaret(end);
    return false;
  }
  PlaceCaret(std::min(NextEditable(Edit()->SelStart() + 1), Edit()->Length()));
  return false;
}

// ---------------------------------------------------------------------------
// TcxMaskEditRegExprMode

TcxMaskEditRegExprMode::TcxMaskEditRegExprMode(TcxMaskEditModel* AEdit, TcxCustomMaskEditProperties* AProperties)
    : TcxMaskEditCustomMode(AEdit, AProperties) {
  FRegExpr.SetCaseInsensitive(AProperties->CaseInsensitive());
}

void TcxMaskEditRegExprMode::ApplyMask(const String& AMask) {
  FMask = AMask;
  if (IsBlankMask(AMask)) return;
  try {
    FRegExpr.Compile(AMask);
  } catch (const EcxRegExprError& e) {
    String text = LoadResourceText(cxSMaskEditRegExprError);
    for (Integer i = 0; i < e.Errors().Count(); ++i) text += u"\r\n" + e.Errors()[i].Describe();
    throw EcxMaskEditError(text);
  }
}

bool TcxMaskEditRegExprMode::Feed(const String& AText) {
  FRegExpr.Restart();
  for (Char c : AText)
    if (!FRegExpr.Advance(c)) return false;
  return true;
}

String TcxMaskEditRegExprMode::TakeForced() {
  String forced;
  FRegExpr.OnForcedCharAdded = TcxRegExprForcedCharAddedEvent(this, [&forced](Char C) { forced += C; });
  FRegExpr.SetAutoAdvance(true);
  FRegExpr.SetAutoAdvance(false);
  FRegExpr.OnForcedCharAdded = nullptr;
  return forced;
}

String TcxMaskEditRegExprMode::FormatText(const String& AText) {
  if (!FRegExpr.Compiled()) return AText;
  FRegExpr.Restart();
  String result;
  for (Char c : AText)
    if (FRegExpr.Advance(c)) result += c;
  return result;
}

bool TcxMaskEditRegExprMode::IsValidText(const String& AText) {
  if (AText.empty() || !FRegExpr.Compiled()) return true;
  // A second engine, so that the editor's one keeps its state.
  TcxRegExpr check;
  check.SetCaseInsensitive(Properties()->CaseInsensitive());
  check.Compile(FRegExpr.Source());
  for (Char c : AText)
    if (!check.Advance(c)) return false;
  return Properties()->IgnoreMaskBlank() || check.IsComplete();
}

bool TcxMaskEditRegExprMode::CaretAtStart() { return Edit()->SelStart() == 0; }

void TcxMaskEditRegExprMode::SplitAtSelection(String& AHead, String& ATail) const {
  AHead = Edit()->Text().substr(0, Edit()->SelStart());
  ATail = Edit()->Text().substr(Edit()->SelStart() + Edit()->SelLength());
}

void TcxMaskEditRegExprMode::ShowSplit(const String& AHead, const String& ATail) {
  // The tail is kept only when it still fits after the head.
  const bool tailFits = Feed(AHead + ATail);
  Edit()->ShowUserText(tailFits ? AHead + ATail : AHead, static_cast<Integer>(AHead.size()));
}

bool TcxMaskEditRegExprMode::TypeInto(String& AHead, String&, Char& AChar) {
  if (!Feed(AHead) || !FRegExpr.Advance(AChar)) return false;
  AHead += AChar;
  return true;
}

bool TcxMaskEditRegExprMode::TypeChar(Char& AChar) {
  String head, tail;
  SplitAtSelection(head, tail);
  if (IsSurrogate(AChar) || !TypeInto(head, tail, AChar)) {
    Refuse();
    return false;
  }
  ShowSplit(head, tail);
  return false;
}

bool TcxMaskEditRegExprMode::Backspace() {
  String head, tail;
  SplitAtSelection(head, tail);
  if (Edit()->SelLength() == 0) {
    if (head.empty()) return false;
    head.pop_back();
  }
  ShowSplit(head, tail);
  return false;
}

bool TcxMaskEditRegExprMode::Delete() {
  String head, tail;
  SplitAtSelection(head, tail);
  if (Edit()->SelLength() == 0) {
    if (tail.empty()) return false;
    tail.erase(0, 1);
  }
  ShowSplit(head, tail);
  return false;
}

bool TcxMaskEditRegExprMode::Home(bool AShift) {
  if (AShift) return true;
  Edit()->SetSelection(0, 0);
  return false;
}

bool TcxMaskEditRegExprMode::End(bool AShift) {
  if (AShift) return true;
  Edit()->SetSelection(Edit()->Length(), 0);
  return false;
}

bool TcxMaskEditRegExprMode::Left(bool AShift) {
  if (AShift) return true;
  const Integer start = Edit()->SelStart();
  Edit()->SetSelection(Edit()->SelLength() > 0 ? start : std::max(start - 1, 0), 0);
  return false;
}

bool TcxMaskEditRegExprMode::Right(bool AShift) {
  if (AShift) return true;
  const Integer caret = Edit()->SelStart() + Edit()->SelLength();
  Edit()->SetSelection(Edit()->SelLength() > 0 ? caret : std::min(caret + 1, Edit()->Length()), 0);
  return false;
}

// ---------------------------------------------------------------------------
// TcxMaskEditRegExprExMode

String TcxMaskEditRegExprExMode::EmptyText() {
  if (!FRegExpr.Compiled()) return String();
  FRegExpr.Restart();
  return TakeForced();
}

String TcxMaskEditRegExprExMode::FormatText(const String& AText) {
  if (!FRegExpr.Compiled()) return AText;
  FRegExpr.Restart();
  String result = TakeForced();
  for (Char c : AText)
    if (FRegExpr.Advance(c)) result += c + TakeForced();
  return result;
}

bool TcxMaskEditRegExprExMode::IsValidText(const String& AText) {
  return AText == EmptyText() || TcxMaskEditRegExprMode::IsValidText(AText);
}

std::vector<bool> TcxMaskEditRegExprExMode::ForcedChars(const String& AText) {
  std::vector<bool> forced(AText.size(), false);
  FRegExpr.Restart();
  size_t i = 0;
  while (i < AText.size()) {
    const String run = TakeForced();
    if (!run.empty() && AText.compare(i, run.size(), run) == 0) {
      std::fill(forced.begin() + i, forced.begin() + i + run.size(), true);
      i += run.size();
      continue;
    }
    // Not the forced run: go on from the state before it.
    Feed(AText.substr(0, i));
    Char c = AText[i++];
    if (!FRegExpr.Advance(c)) break;
  }
  return forced;
}

bool TcxMaskEditRegExprExMode::CaretAtStart() {
  const std::vector<bool> forced = ForcedChars(Edit()->Text());
  for (Integer i = 0; i < Edit()->SelStart(); ++i)
    if (!forced[i]) return false;
  return true;
}

bool TcxMaskEditRegExprExMode::TypeInto(String& AHead, String& ATail, Char& AChar) {
  const String& text = Edit()->Text();
  const std::vector<bool> forced = ForcedChars(text);
  // The forced prefix is kept when typing over a selection from the start.
  size_t prefix = 0;
  while (prefix < forced.size() && forced[prefix]) ++prefix;
  if (AHead.size() < prefix) AHead = text.substr(0, prefix);
  if (text.size() - ATail.size() < prefix) ATail = text.substr(prefix);
  // Typing the forced character the editor has just typed is taken as done.
  if (!AHead.empty() && forced[AHead.size() - 1] && AHead.back() == AChar) return true;
  if (!Feed(AHead) || !FRegExpr.Advance(AChar)) return false;
  const String added = TakeForced();
  AHead += AChar;
  AHead += added;
  // Forced characters already standing at the caret are not doubled.
  if (ATail.compare(0, added.size(), added) == 0) ATail.erase(0, added.size());
  return true;
}

bool TcxMaskEditRegExprExMode::Backspace() {
  if (Edit()->SelLength() > 0) return TcxMaskEditRegExprMode::Backspace();
  const std::vector<bool> forced = ForcedChars(Edit()->Text());
  Integer from = Edit()->SelStart();
  while (from > 0 && forced[from - 1]) --from;
  // Only forced characters before the caret: the forced prefix stays.
  if (from == 0) {
    if (Edit()->SelStart() > 0) Refuse();
    return false;
  }
  --from;
  ShowSplit(Edit()->Text().substr(0, from), Edit()->Text().substr(Edit()->SelStart()));
  return false;
}

bool TcxMaskEditRegExprExMode::Delete() {
  if (Edit()->SelLength() > 0) return TcxMaskEditRegExprMode::Delete();
  const std::vector<bool> forced = ForcedChars(Edit()->Text());
  Integer to = Edit()->SelStart();
  if (to >= Edit()->Length()) return false;
  if (forced[to]) {
    Refuse();  // a forced character is not deleted by itself
    return false;
  }
  ++to;
  while (to < Edit()->Length() && forced[to]) ++to;
  ShowSplit(Edit()->Text().substr(0, Edit()->SelStart()), Edit()->Text().substr(to));
  return false;
}

bool TcxMaskEditRegExprExMode::Left(bool AShift) {
  if (AShift || Edit()->SelLength() > 0) return TcxMaskEditRegExprMode::Left(AShift);
  const std::vector<bool> forced = ForcedChars(Edit()->Text());
  Integer pos = Edit()->SelStart();
  while (pos > 0 && forced[pos - 1]) --pos;
  if (pos > 0 && pos == Edit()->SelStart()) --pos;
  Edit()->SetSelection(pos, 0);
  return false;
}

bool TcxMaskEditRegExprExMode::Right(bool AShift) {
  if (AShift || Edit()->SelLength() > 0) return TcxMaskEditRegExprMode::Right(AShift);
  const std::vector<bool> forced = ForcedChars(Edit()->Text());
  Integer pos = Edit()->SelStart();
  if (pos < Edit()->Length()) ++pos;
  while (pos < Edit()->Length() && forced[pos]) ++pos;
  Edit()->SetSelection(pos, 0);
  return false;
}

// ---------------------------------------------------------------------------
// TcxCustomMaskEditProperties

TcxCustomMaskEditProperties::TcxCustomMaskEditProperties(TPersistent* AOwner) : TcxCustomTextEditProperties(AOwner) {
  SetValidateOnEnter(true);
}

TcxCustomMaskEditProperties::~TcxCustomMaskEditProperties() = default;

void TcxCustomMaskEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomMaskEditProperties*>(Source);
  BeginUpdate();
  try {
    TcxCustomTextEditProperties::Assign(Source);
    if (source && source != this) {
      FMaskKind = source->FMaskKind;
      FEditMask = source->FEditMask;
      FCaseInsensitive = source->FCaseInsensitive;
      FIgnoreMaskBlank = source->FIgnoreMaskBlank;
      FAlwaysShowBlanksAndLiterals = source->FAlwaysShowBlanksAndLiterals;
      FCachedMode.reset();
    }
  } catch (...) {
    EndUpdate(true);
    throw;
  }
  EndUpdate(true);
}

void TcxCustomMaskEditProperties::FormatsChanged() {
  FCachedMode.reset();
  TcxCustomTextEditProperties::FormatsChanged();
}

void TcxCustomMaskEditProperties::SetMaskKind(TcxEditMaskKind Value) {
  if (FMaskKind == Value) return;
  // The mask must compile under the new kind (as SetEditMask checks a new
  // mask): a kind that refuses it raises and the old kind stays.
  const TcxEditMaskKind old = FMaskKind;
  FMaskKind = Value;
  try {
    CreateMode(nullptr);
  } catch (...) {
    FMaskKind = old;
    throw;
  }
  FCachedMode.reset();
  NotifyChanged();
}

String TcxCustomMaskEditProperties::EditMask() const {
  if (FMaskKind == emkStandard && IsBlankMask(FEditMask) && DefaultValuesProvider())
    return DefaultValuesProvider()->ProvideEditMask();
  return FEditMask;
}

void TcxCustomMaskEditProperties::SetEditMask(const String& Value) {
  if (Value == EditMask()) {
    FEditMask = Value;
    return;
  }
  String old = FEditMask;
  FEditMask = Value;
  try {
    CreateMode(nullptr);  // raises for a mask that cannot be used
  } catch (...) {
    FEditMask = old;
    throw;
  }
  FCachedMode.reset();
  if (IsMasked() && MaxLength() != 0) SetMaxLength(0);
  NotifyChanged();
}

bool TcxCustomMaskEditProperties::IsMasked() const { return !IsBlankMask(EditMask()); }

void TcxCustomMaskEditProperties::SetCaseInsensitive(bool Value) {
  FCaseInsensitive = Value || CharCase() != ecNormal;
  FCachedMode.reset();
  NotifyChanged();
}

void TcxCustomMaskEditProperties::SetCharCase(TEditCharCase Value) {
  if (Value != ecNormal) FCaseInsensitive = true;
  TcxCustomTextEditProperties::SetCharCase(Value);
}

std::unique_ptr<TcxMaskEditCustomMode> TcxCustomMaskEditProperties::CreateMode(TcxMaskEditModel* AEdit) {
  std::unique_ptr<TcxMaskEditCustomMode> mode;
  switch (FMaskKind) {
    case emkStandard: mode = std::make_unique<TcxMaskEditStandardMode>(AEdit, this); break;
    case emkRegExpr: mode = std::make_unique<TcxMaskEditRegExprMode>(AEdit, this); break;
    case emkRegExprEx: mode = std::make_unique<TcxMaskEditRegExprExMode>(AEdit, this); break;
  }
  mode->ApplyMask(EditMask());
  return mode;
}

TcxMaskEditCustomMode* TcxCustomMaskEditProperties::CachedMode() {
  if (!FCachedMode || FCachedMode->Mask() != EditMask()) FCachedMode = CreateMode(nullptr);
  return FCachedMode.get();
}

String TcxCustomMaskEditProperties::FormatText(const String& AText, bool AFocused) {
  if (!IsMasked()) return AText;
  TcxMaskEditCustomMode* mode = CachedMode();
  if (AFocused || mode->Kind() != emkStandard || FAlwaysShowBlanksAndLiterals) return mode->FormatText(AText);
  return mode->ValueFromText(AText);
}

void TcxCustomMaskEditProperties::CheckDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError,
                                                    IcxCustomEdit* AEdit) {
  if (IsMasked() && !AError && !CachedMode()->IsValidText(VarToStr(ADisplayValue))) {
    AError = true;
    AErrorText = LoadResourceText(cxSMaskEditInvalidEditValue);
  }
  TcxCustomTextEditProperties::CheckDisplayValue(ADisplayValue, AErrorText, AError, AEdit);
}

// ---------------------------------------------------------------------------
// TcxMaskEditModel

TcxMaskEditModel::TcxMaskEditModel(TcxCustomMaskEditProperties* AProperties) : TcxTextEditModel(AProperties) {
  PropertiesChanged();
}

TcxMaskEditModel::~TcxMaskEditModel() = default;

TcxCustomMaskEditProperties* TcxMaskEditModel::MaskProperties() const {
  return static_cast<TcxCustomMaskEditProperties*>(Properties());
}

void TcxMaskEditModel::PropertiesChanged() {
  const String value = FMode ? Value() : Text();
  FMode.reset();
  if (MaskProperties()->IsMasked()) FMode = MaskProperties()->CreateMode(this);
  SetText(value);
}

void TcxMaskEditModel::SetText(const String& AText) {
  if (!FMode) return TcxTextEditModel::SetText(AText);
  TcxTextEditModel::SetText(AText.empty() ? FMode->EmptyText() : FMode->FormatText(AText));
  if (FMode->Kind() == emkStandard) FMode->Home(false);
}

void TcxMaskEditModel::SelectionMovedByUser(Integer AStart, Integer ALength) {
  TcxTextEditModel::SelectionMovedByUser(AStart, ALength);
  if (FMode) FMode->CaretMoved();
}

void TcxMaskEditModel::ShowUserText(const String& AText, Integer ASelStart, Integer ASelLength) {
  ChangeText(AText, ASelStart, ASelLength);
}

bool TcxMaskEditModel::IsTextValid() { return !FMode || FMode->IsValidText(Text()); }

String TcxMaskEditModel::Value() { return FMode ? FMode->ValueFromText(Text()) : Text(); }

void TcxMaskEditModel::KeyDown(Word& Key, TShiftState Shift) {
  if (!FMode || ReadOnly()) return TcxTextEditModel::KeyDown(Key, Shift);
  const bool shift = Shift & ssShift, ctrl = Shift & ssCtrl;
  bool passOn = true;
  switch (Key) {
    case VK_UP:
    case VK_DOWN: passOn = false; break;  // the text does not change
    case VK_LEFT: passOn = ctrl ? FMode->Home(shift) : FMode->Left(shift); break;
    case VK_RIGHT: passOn = ctrl ? FMode->End(shift) : FMode->Right(shift); break;
    case VK_HOME: passOn = FMode->Home(shift); break;
    case VK_END: passOn = FMode->End(shift); break;
    case VK_DELETE:
      // Shift+Delete without a selection is Backspace; with one, the
      // control cuts (the model only takes the selection out through the mask).
      passOn = shift && SelLength() == 0 ? FMode->Backspace() : FMode->Delete();
      break;
    default: break;
  }
  if (passOn)
    BaseKeyDown(Key, Shift);
  else
    Key = 0;
}

void TcxMaskEditModel::KeyPress(Char& Key) {
  if (!FMode) return TcxTextEditModel::KeyPress(Key);
  if (Key == u'\r' || (Key < u' ' && Key != cxKeyBackspace)) return;
  if (!ReadOnly()) {
    if (Key == cxKeyBackspace)
      FMode->Backspace();
    else
      FMode->TypeChar(Key);
  }
  Key = 0;
}

void TcxMaskEditModel::TypePair(const String& APair) {
  if (!FMode) return TcxTextEditModel::TypePair(APair);
  Beep();  // a mask position holds one UTF-16 unit: the pair is refused whole
}

String TcxMaskEditModel::CutText() {
  if (!FMode) return TcxTextEditModel::CutText();
  String text = CopyText();
  if (!text.empty() && !ReadOnly()) FMode->Delete();
  return text;
}

void TcxMaskEditModel::PasteText(const String& AText) {
  if (!FMode) return TcxTextEditModel::PasteText(AText);
  if (ReadOnly() || AText.empty()) return;
  // The regular-expression modes insert; the pasted text replaces the
  // selection first.
  if (FMode->Kind() != emkStandard && SelLength() > 0) FMode->Delete();
  CommitText(AText);
}

// ---------------------------------------------------------------------------
// TcxCustomMaskEdit

TcxCustomEditClass TcxCustomMaskEditProperties::GetEditorClass() { return TcxMaskEdit::StaticClass(); }

std::unique_ptr<TcxTextEditModel> TcxCustomMaskEdit::CreateModel(TcxCustomTextEditProperties* AProperties) {
  return std::make_unique<TcxMaskEditModel>(static_cast<TcxCustomMaskEditProperties*>(AProperties));
}

void TcxCustomMaskEdit::PropertiesChanged(TObject* Sender) {
  if (!IsDestroying()) MaskModel()->PropertiesChanged();
  TcxCustomTextEdit::PropertiesChanged(Sender);
}

void TcxCustomMaskEdit::UpdateDisplayValue() {
  TcxMaskEditModel* model = MaskModel();
  if (!model->Mode() || Focused()) return TcxCustomTextEdit::UpdateDisplayValue();
  auto* properties = static_cast<TcxCustomMaskEditProperties*>(ActiveProperties());
  model->ShowUnformatted(VarIsNull(EditValue()) && model->Mode()->Kind() != emkStandard
                             ? model->Mode()->EmptyText()
                             : properties->FormatText(VarToStr(EditValue()), false));
  SyncInnerEdit();
}

void TcxCustomMaskEdit::InternalSetDisplayValue(const Variant& Value) {
  if (!MaskModel()->Mode()) return TcxCustomTextEdit::InternalSetDisplayValue(Value);
  ApplyEditValue(Variant(MaskModel()->Mode()->ValueFromText(VarToStr(Value))));
}

TcxCustomButtonEditProperties::TcxCustomButtonEditProperties(TPersistent* AOwner)
    : TcxCustomMaskEditProperties(AOwner) {
  Buttons()->Add()->SetKind(bkEllipsis);
}

TcxCustomEditClass TcxCustomButtonEditProperties::GetEditorClass() { return TcxButtonEdit::StaticClass(); }

void cxTextAndMaskEditInitialize() {
  TcxRegisteredClasses* registry = GetEditPropertiesRegistry();
  registry->AddClass(TcxTextEditProperties::StaticClass(), LoadResourceText(cxSEditTextEditKind));
  registry->AddClass(TcxMaskEditProperties::StaticClass(), LoadResourceText(cxSEditMaskEditKind));
  registry->AddClass(TcxButtonEditProperties::StaticClass(), LoadResourceText(cxSEditButtonEditKind));
}

void cxTextAndMaskEditFinalize() {
  TcxRegisteredClasses* registry = GetEditPropertiesRegistry();
  registry->RemoveClass(TcxTextEditProperties::StaticClass());
  registry->RemoveClass(TcxMaskEditProperties::StaticClass());
  registry->RemoveClass(TcxButtonEditProperties::StaticClass());
}
