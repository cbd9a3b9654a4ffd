#pragma once
// The masked editor (unit cxMaskEdit): a text editor whose every key, paste
// and caret move goes through a mask mode first.
//
// Mask kinds:
//   emkStandard   the fixed-length picture mask (cxStandardMask.h), edited
//                 in overwrite mode; the caret is shown as the one selected
//                 character.
//   emkRegExpr    a regular expression (cxRegExpr.h), edited in insert mode;
//                 the text is always a beginning the pattern can complete.
//   emkRegExprEx  the same, and the characters the pattern leaves no choice
//                 about are typed by the editor and removed again together
//                 with the character before them.
//
// Keys the mask refuses are swallowed and, in every mode alike, beep when
// BeepOnError is set. Pasted and input-method text is typed character by
// character through the mode, so each character meets the mask and a
// refused one is dropped while the rest is kept. A mask position holds one
// UTF-16 unit, so a character outside the basic plane (a surrogate pair) is
// refused whole, never split.
#include <memory>

#include "editors/cxRegExpr.h"
#include "editors/cxStandardMask.h"
#include "editors/cxTextEdit.h"

inline constexpr TResourceString cxSMaskEditRegExprError{65009, u"Regular expression errors:"};
inline constexpr TResourceString cxSMaskEditInvalidEditValue{65010, u"The edit value is invalid"};

KORVANE_EXCEPTION(EcxMaskEditError, Exception);

enum TcxEditMaskKind : Integer { emkStandard, emkRegExpr, emkRegExprEx };

class TcxCustomMaskEditProperties;
class TcxMaskEditModel;

// ---------------------------------------------------------------------------
// Mask modes. Key operations answer true when the text editor's own
// handling is to run afterwards, false when the mode did the work.

class TcxMaskEditCustomMode {
public:
  // AEdit may be nullptr: a mode that only formats and checks texts.
  TcxMaskEditCustomMode(TcxMaskEditModel* AEdit, TcxCustomMaskEditProperties* AProperties);
  virtual ~TcxMaskEditCustomMode() = default;
  TcxMaskEditCustomMode(const TcxMaskEditCustomMode&) = delete;
  TcxMaskEditCustomMode& operator=(const TcxMaskEditCustomMode&) = delete;

  virtual TcxEditMaskKind Kind() const = 0;
  // Raises EcxMaskEditError for a mask that cannot be used.
  virtual void ApplyMask(const String& AMask) = 0;
  const String& Mask() const { return FMask; }
  // The text an empty editor shows.
  virtual String EmptyText() = 0;
  // A value's text as the editor shows it.
  virtual String FormatText(const String& AText) = 0;
  // The value a shown text stands for.
  virtual String ValueFromText(const String& AText) = 0;
  virtual bool IsValidText(const String& AText) = 0;
  virtual bool CaretAtStart() = 0;
  virtual bool CaretAtEnd();
  virtual void CaretMoved() {}
  virtual bool TypeChar(Char& AChar) = 0;
  virtual bool Backspace() = 0;
  virtual bool Delete() = 0;
  virtual bool Home(bool AShift) = 0;
  virtual bool End(bool AShift) = 0;
  virtual bool Left(bool AShift) = 0;
  virtual bool Right(bool AShift) = 0;

protected:
  TcxCustomMaskEditProperties* Properties() const { return FProperties; }
  TcxMaskEditModel* Edit() const { return FEdit; }
  // A refused key: beeps when BeepOnError is set.
  void Refuse();

  String FMask;

private:
  TcxMaskEditModel* FEdit;
  TcxCustomMaskEditProperties* FProperties;
};

class TcxMaskEditStandardMode : public TcxMaskEditCustomMode {
public:
  using TcxMaskEditCustomMode::TcxMaskEditCustomMode;
  TcxEditMaskKind Kind() const override { return emkStandard; }
  void ApplyMask(const String& AMask) override;
  String EmptyText() override { return FStandardMask.EmptyPicture(); }
  String FormatText(const String& AText) override;
  String ValueFromText(const String& AText) override;
  bool IsValidText(const String& AText) override;
  bool CaretAtStart() override;
  void CaretMoved() override;
  bool TypeChar(Char& AChar) override;
  bool Backspace() override;
  bool Delete() override;
  bool Home(bool AShift) override;
  bool End(bool AShift) override;
  bool Left(bool AShift) override;
  bool Right(bool AShift) override;
  const TcxStandardMask& StandardMask() const { return FStandardMask; }

private:
  bool IsLiteral(Integer APos) const;
  bool IsLiteralChar(Integer APos, Char AChar) const;
  // The first editable position at or after APos (Count when none).
  Integer NextEditable(Integer APos) const;
  // Selects the one character at APos (nothing at the end).
  void PlaceCaret(Integer APos);

  TcxStandardMask FStandardMask;
};

class TcxMaskEditRegExprMode : public TcxMaskEditCustomMode {
public:
  TcxMaskEditRegExprMode(TcxMaskEditModel* AEdit, TcxCustomMaskEditProperties* AProperties);
  TcxEditMaskKind Kind() const override { return emkRegExpr; }
  void ApplyMask(const String& AMask) override;
  String EmptyText() override { return String(); }
  String FormatText(const String& AText) override;
  String ValueFromText(const String& AText) override { return AText; }
  bool IsValidText(const String& AText) override;
  bool CaretAtStart() override;
  bool TypeChar(Char& AChar) override;
  bool Backspace() override;
  bool Delete() override;
  bool Home(bool AShift) override;
  bool End(bool AShift) override;
  bool Left(bool AShift) override;
  bool Right(bool AShift) override;

protected:
  // Restarts the engine and feeds AText; false when a character does not fit.
  bool Feed(const String& AText);
  // Shows AHead + ATail with the caret after AHead; a tail that no longer
  // fits after the head is cut off.
  void ShowSplit(const String& AHead, const String& ATail);
  // The forced characters the pattern adds at the engine's state (the
  // engine advances over them).
  String TakeForced();
  // The text with the selection taken out; the caret at its start.
  void SplitAtSelection(String& AHead, String& ATail) const;
  virtual bool TypeInto(String& AHead, String& ATail, Char& AChar);

  TcxRegExpr FRegExpr;
};

class TcxMaskEditRegExprExMode : public TcxMaskEditRegExprMode {
public:
  using TcxMaskEditRegExprMode::TcxMaskEditRegExprMode;
  TcxEditMaskKind Kind() const override { return emkRegExprEx; }
  String EmptyText() override;
  String FormatText(const String& AText) override;
  bool IsValidText(const String& AText) override;
  bool CaretAtStart() override;
  bool Backspace() override;
  bool Delete() override;
  bool Left(bool AShift) override;
  bool Right(bool AShift) override;

protected:
  bool TypeInto(String& AHead, String& ATail, Char& AChar) override;

private:
  // For each character of AText: whether the pattern forced it there.
  std::vector<bool> ForcedChars(const String& AText);
};

// ---------------------------------------------------------------------------
// TcxCustomMaskEditProperties

class TcxCustomMaskEditProperties : public TcxCustomTextEditProperties {
  KORVANE_CLASS(TcxCustomMaskEditProperties, TcxCustomTextEditProperties)
  explicit TcxCustomMaskEditProperties(TPersistent* AOwner);
  ~TcxCustomMaskEditProperties() override;

  void Assign(TPersistent* Source) override;
  // The locale's separators in the mask are read again.
  void FormatsChanged() override;

  TcxEditMaskKind MaskKind() const { return FMaskKind; }
  void SetMaskKind(TcxEditMaskKind Value);
  // The effective mask: for a standard kind with a blank own mask, the
  // data binding's; otherwise the own mask.
  String EditMask() const;
  // Raises EcxMaskEditError for a mask that does not compile; the old mask
  // stays in force.
  void SetEditMask(const String& Value);
  bool IsMasked() const;
  // Forced on while CharCase is not normal.
  bool CaseInsensitive() const { return FCaseInsensitive; }
  void SetCaseInsensitive(bool Value);
  void SetCharCase(TEditCharCase Value) override;
  bool IgnoreMaskBlank() const { return FIgnoreMaskBlank; }
  void SetIgnoreMaskBlank(bool Value) { SetValue(FIgnoreMaskBlank, Value); }
  bool AlwaysShowBlanksAndLiterals() const { return FAlwaysShowBlanksAndLiterals; }
  void SetAlwaysShowBlanksAndLiterals(bool Value) { SetValue(FAlwaysShowBlanksAndLiterals, Value); }
  static TcxCustomEditClass GetEditorClass();

  // A new mode of the current kind with the effective mask applied.
  std::unique_ptr<TcxMaskEditCustomMode> CreateMode(TcxMaskEditModel* AEdit);
  // The shown text of a value (AFocused: as while editing).
  String FormatText(const String& AText, bool AFocused);
  // With a mask the text must satisfy it ("The edit value is invalid"),
  // then the text editor's checks run.
  void CheckDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError, IcxCustomEdit* AEdit) override;

private:
  TcxMaskEditCustomMode* CachedMode();

  TcxEditMaskKind FMaskKind = emkStandard;
  String FEditMask;
  bool FCaseInsensitive = true;
  bool FIgnoreMaskBlank = false;
  bool FAlwaysShowBlanksAndLiterals = false;
  std::unique_ptr<TcxMaskEditCustomMode> FCachedMode;
};

class TcxMaskEditProperties : public TcxCustomMaskEditProperties {
  KORVANE_CLASS(TcxMaskEditProperties, TcxCustomMaskEditProperties)
  using TcxCustomMaskEditProperties::TcxCustomMaskEditProperties;
};

// ---------------------------------------------------------------------------
// TcxMaskEditModel: the edit model with the mask routing.

class TcxMaskEditModel : public TcxTextEditModel {
public:
  explicit TcxMaskEditModel(TcxCustomMaskEditProperties* AProperties);
  ~TcxMaskEditModel() override;

  TcxCustomMaskEditProperties* MaskProperties() const;
  TcxMaskEditCustomMode* Mode() const { return FMode.get(); }
  // Re-creates the mode after a change of kind or mask; shows the text again.
  void PropertiesChanged();

  // Shows a value's text formatted by the mask.
  void SetText(const String& AText) override;
  // The mode is told (the standard mode selects the character at the caret).
  void SelectionMovedByUser(Integer AStart, Integer ALength) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  String CutText() override;
  void PasteText(const String& AText) override;
  // Whether the shown text satisfies the mask.
  bool IsTextValid();
  // The value the shown text stands for.
  String Value();

  // Per-character veto the standard mode asks before writing.
  virtual bool CanInsertChar(Char, Integer) { return true; }

  // ---- What the modes use ----
  // Shows AText as it stands, not formatted by the mask (the unfocused
  // display of a value).
  void ShowUnformatted(const String& AText) { TcxTextEditModel::SetText(AText); }
  // Shows AText as the user's change with the given selection.
  void ShowUserText(const String& AText, Integer ASelStart, Integer ASelLength = 0);
  using TcxTextEditModel::Beep;

protected:
  void TypePair(const String& APair) override;

private:
  std::unique_ptr<TcxMaskEditCustomMode> FMode;
};

// ---------------------------------------------------------------------------
// The masked editor control. Its edit value is the mask's value of the
// shown text (ValueFromText); an unmasked one behaves as the text editor.

class TcxCustomMaskEdit : public TcxCustomTextEdit {
public:
  KORVANE_CLASS(TcxCustomMaskEdit, TcxCustomTextEdit)
  explicit TcxCustomMaskEdit(TComponent* AOwner) : TcxCustomMaskEdit(AOwner, false) {}
  TcxCustomMaskEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomTextEdit(AOwner, AIsInplace) {}

  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TcxMaskEditProperties::StaticClass(); }
  TcxMaskEditModel* MaskModel() { return static_cast<TcxMaskEditModel*>(Model()); }
  void PropertiesChanged(TObject* Sender) override;
  // Unfocused, a standard mask shows the value (the picture only with
  // AlwaysShowBlanksAndLiterals); focused, the picture.
  void UpdateDisplayValue() override;

protected:
  std::unique_ptr<TcxTextEditModel> CreateModel(TcxCustomTextEditProperties* AProperties) override;
  void InternalSetDisplayValue(const Variant& Value) override;
};

class TcxMaskEdit : public TcxCustomMaskEdit {
  KORVANE_CLASS(TcxMaskEdit, TcxCustomMaskEdit)
  using TcxCustomMaskEdit::TcxCustomMaskEdit;
};

// ---------------------------------------------------------------------------
// The button editor: a masked editor that starts with one ellipsis button.

class TcxCustomButtonEditProperties : public TcxCustomMaskEditProperties {
  KORVANE_CLASS(TcxCustomButtonEditProperties, TcxCustomMaskEditProperties)
  explicit TcxCustomButtonEditProperties(TPersistent* AOwner);
  static TcxCustomEditClass GetEditorClass();
};

class TcxButtonEditProperties : public TcxCustomButtonEditProperties {
  KORVANE_CLASS(TcxButtonEditProperties, TcxCustomButtonEditProperties)
  using TcxCustomButtonEditProperties::TcxCustomButtonEditProperties;
};

class TcxCustomButtonEdit : public TcxCustomMaskEdit {
public:
  KORVANE_CLASS(TcxCustomButtonEdit, TcxCustomMaskEdit)
  using TcxCustomMaskEdit::TcxCustomMaskEdit;
  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TcxButtonEditProperties::StaticClass(); }
  // Buttons without a popup: only PopupBorderStyle is unused.
  TcxEditStyleValues GetIgnoredStyleValues() override { return StyleValueBit(svPopupBorderStyle); }
};

class TcxButtonEdit : public TcxCustomButtonEdit {
  KORVANE_CLASS(TcxButtonEdit, TcxCustomButtonEdit)
  using TcxCustomButtonEdit::TcxCustomButtonEdit;
};

// Registers the text, masked and button editor kinds in the editor kind registry
// (GetEditPropertiesRegistry); called once at start-up, repeated calls do
// nothing.
void cxTextAndMaskEditInitialize();
// Unregisters them (finalisation).
void cxTextAndMaskEditFinalize();
