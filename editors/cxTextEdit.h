#pragma once
// The single-line text editor (unit cxTextEdit): its property set, the
// lookup data that completes typed text from a list of items and steps
// through them, and the edit model that every text-like editor types into.
//
// The edit model (TcxTextEditModel) is the editor's text with its caret and
// selection and the whole keyboard behaviour: typing, Backspace and Delete,
// caret keys, clipboard, an input-method commit, the maximum length, the
// character case, thousand regrouping of numeric editors and completion
// from the lookup items. It needs no window, so the rules can be checked
// key by key; the masked editor (cxMaskEdit.h) routes the same keys through
// its mask first.
//
// Text is UTF-16. Lengths and limits count code units, but no operation
// ever splits a surrogate pair: a pair is typed, deleted, stepped over and
// cut to a maximum length as one character.
#include <memory>

#include "editors/cxEdit.h"
#include "editors/cxEditProperties.h"
#include "editors/cxEditTextUtils.h"
#include "editors/cxEditViewInfo.h"
#include "editors/cxFormats.h"
#include "foundation/cxContainerPopup.h"
#include "platform/gui/controls.h"
#include "platform/gui/stdctrls.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/resstr.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/variant.h"

inline constexpr TResourceString cxSEditNumericValueConvertError{65076, u"Could not convert to numeric value"};
inline constexpr TResourceString cxSEditValueOutOfBounds{65077, u"Value out of bounds"};

enum TcxEditEchoMode : Integer { eemNormal, eemPassword };
enum TcxTextEditViewStyle : Integer { vsNormal, vsHideCursor, vsButtonsOnly, vsButtonsAutoWidth };

// Editing styles asked of the properties (EditingStyle).
enum TcxEditEditingStyle : Integer {
  esEditing = 0,       // free editing (typed prefixes still completed from the items)
  esEditList = 1,      // completed from the list; only a list item is a value
  esFixedList = 2,     // typing only selects list items
  esNoEdit = 3,        // the text cannot be edited
};

// Steps through the lookup items (StepLookupItem).
enum TcxLookupStep : Integer { lsFirst, lsLast, lsNext, lsPrevious, lsPageBack, lsPageForward };

// The echo character used when PasswordChar is #0.
inline constexpr Char cxDefaultPasswordChar = u'*';
// Rows a page step of the lookup items moves for plain text editors.
inline constexpr Integer cxTextEditLookupPageSize = 8;
// Significant digits of a numeric edit text when the data gives no precision.
inline constexpr Integer cxTextEditDefaultPrecision = 15;

// Whether AChar is a character the user types as text: any printable
// character of any script (not a control character).
bool cxIsTextInputChar(Char AChar);

// ---------------------------------------------------------------------------
// TcxTextEditPropertiesValues: which of DisplayFormat, EditFormat,
// MaxLength, MaxValue and MinValue a text property set assigned itself (an
// unassigned one comes from the default values provider), beside the
// inherited flags.

class TcxTextEditPropertiesValues : public TcxCustomEditPropertiesValues {
  KORVANE_CLASS(TcxTextEditPropertiesValues, TcxCustomEditPropertiesValues)
  using TcxCustomEditPropertiesValues::TcxCustomEditPropertiesValues;
  // The flags, with the inherited ones, inside one update of the owner.
  void Assign(TPersistent* Source) override;
  // Clears every flag inside one update of the owner.
  void RestoreDefaults() override;

  bool DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(bool Value) { SetFlag(FDisplayFormat, Value); }
  bool EditFormat() const { return FEditFormat; }
  void SetEditFormat(bool Value) { SetFlag(FEditFormat, Value); }
  bool MaxLength() const { return FMaxLength; }
  void SetMaxLength(bool Value) { SetFlag(FMaxLength, Value); }
  bool MaxValue() const { return FMaxValue; }
  void SetMaxValue(bool Value) { SetFlag(FMaxValue, Value); }
  bool MinValue() const { return FMinValue; }
  void SetMinValue(bool Value) { SetFlag(FMinValue, Value); }

private:
  // A new value notifies the owner.
  void SetFlag(bool& AFlag, bool Value);

  bool FDisplayFormat = false;
  bool FEditFormat = false;
  bool FMaxLength = false;
  bool FMaxValue = false;
  bool FMinValue = false;
};

class TcxCustomTextEdit;
class TcxCustomTextEditProperties;
class TcxCustomTextEditLookupData;
// The lookup data of an editor is built for the editor's property set.
using TcxCustomTextEditLookupDataMetaClass =
    TConstructorMetaClass<TcxCustomTextEditLookupData, TcxCustomTextEditProperties*>;
using TcxCustomTextEditLookupDataClass = const TcxCustomTextEditLookupDataMetaClass*;
using TcxNewLookupDisplayTextEvent = TEvent<void(TObject* Sender, const String& AText)>;

// ---------------------------------------------------------------------------
// TcxCustomTextEditProperties

// Listens to the format controller: a change of the regional formats
// re-applies the properties.
class TcxCustomTextEditProperties : public TcxCustomEditProperties, public IcxFormatControllerListener {
  KORVANE_CLASS(TcxCustomTextEditProperties, TcxCustomEditProperties)
  explicit TcxCustomTextEditProperties(TPersistent* AOwner);
  ~TcxCustomTextEditProperties() override;
  void FormatsChanged() override { NotifyChanged(); }

  void Assign(TPersistent* Source) override;

  TEditCharCase CharCase() const { return FCharCase; }
  virtual void SetCharCase(TEditCharCase Value);
  TcxEditEchoMode EchoMode() const { return FEchoMode; }
  void SetEchoMode(TcxEditEchoMode Value) { SetValue(FEchoMode, Value); }
  // #0 means "*".
  Char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(Char Value) { SetValue(FPasswordChar, Value); }
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value) { SetValue(FHideSelection, Value); }
  bool HideCursor() const { return FHideCursor; }
  void SetHideCursor(bool Value) { SetValue(FHideCursor, Value); }
  bool UseDisplayFormatWhenEditing() const { return FUseDisplayFormatWhenEditing; }
  void SetUseDisplayFormatWhenEditing(bool Value) { SetValue(FUseDisplayFormatWhenEditing, Value); }

  // Own value when assigned, else the default values provider's, else 0.
  Integer MaxLength() const;
  // A negative value is stored as 0.
  void SetMaxLength(Integer Value);
  String DisplayFormat() const;
  void SetDisplayFormat(const String& Value);
  const String& EditFormat() const { return FEditFormat; }
  void SetEditFormat(const String& Value);
  double MinValue() const;
  // Lowered to MaxValue when MaxValue is assigned.
  void SetMinValue(double Value);
  double MaxValue() const;
  // Raised to MinValue when MinValue is assigned.
  void SetMaxValue(double Value);
  bool IsMaxLengthAssigned() const { return TextAssignedValues()->MaxLength(); }
  bool IsMinValueAssigned() const { return TextAssignedValues()->MinValue(); }
  bool IsMaxValueAssigned() const { return TextAssignedValues()->MaxValue(); }
  // Forgets every assigned value (they fall back to the provider).
  void RestoreAssignedValues();
  // The AssignedValues object, or, when a descendant's GetAssignedValuesClass
  // names a class of its own that does not derive from
  // TcxTextEditPropertiesValues, a companion object that keeps these flags.
  TcxTextEditPropertiesValues* TextAssignedValues() const;
  TcxCustomEditPropertiesValuesClass GetAssignedValuesClass() const override;

  // Input-method settings, stored and copied for the form's sake. The
  // platform's input methods are chosen per user session, not per field,
  // so on Linux they change nothing; OEMConvert (a legacy code-page round
  // trip) likewise. Setting one to a new value notifies.
  Integer ImeMode() const { return FImeMode; }
  void SetImeMode(Integer Value) { SetValue(FImeMode, Value); }
  const String& ImeName() const { return FImeName; }
  void SetImeName(const String& Value) { SetValue(FImeName, Value); }
  bool OEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool Value) { SetValue(FOEMConvert, Value); }

  // Stepping the lookup items writes the item's text into the editor even
  // while the list is shown (otherwise only the list's selection moves).
  bool UpdateTextWhileListShown() const { return FUpdateTextWhileListShown; }
  void SetUpdateTextWhileListShown(bool Value) { FUpdateTextWhileListShown = Value; }

  // Told (Sender: the editor) when the editor takes, in the free editing
  // style, a text that is no lookup item; the own set's first, then the
  // repository item's. Copied by Assign.
  TcxNewLookupDisplayTextEvent OnNewLookupDisplayText;

  // Any change of the list re-applies the properties.
  TStringList* LookupItems() const { return FLookupItems.get(); }
  void SetLookupItems(TStrings* Value) { FLookupItems->Assign(Value); }
  bool LookupItemsSorted() const { return FLookupItems->Sorted(); }
  void SetLookupItemsSorted(bool Value) { FLookupItems->SetSorted(Value); }
  bool ExactLookupMatch() const { return FExactLookupMatch; }
  void SetExactLookupMatch(bool Value) { FExactLookupMatch = Value; }
  bool FixedListSelectMode() const { return FFixedListSelectMode; }
  void SetFixedListSelectMode(bool Value) { FFixedListSelectMode = Value; }

  // Sets the buttons view style and HideCursor together.
  void SetViewStyle(TcxTextEditViewStyle Value);
  TcxTextEditViewStyle ViewStyle() const;

  // The text shown for a display text: one echo character per character in
  // password mode (a surrogate pair is one character), else the case
  // conversion.
  String ApplyEchoAndCase(const String& AText) const;
  // The display (or, AIsEditing, the edit) text of a value. Numeric
  // properties raise EConvertError "Could not convert to numeric value" for
  // a value that is neither null, a number nor a number's text.
  String FormatEditValue(const Variant& AValue, bool AIsEditing) const;
  // The text a closed editor or a cell shows for AValue: ValueToDisplayText
  // with the echo and case applied; a value that cannot be shown gives an
  // empty text (a cell is painted, never raises).
  String GetDisplayTextOfValue(const Variant& AValue) const override;
  // AValue as the kind shows it when not editing (the display format).
  virtual String ValueToDisplayText(const Variant& AValue) const { return FormatEditValue(AValue, false); }
  void NormalizeEditValue(const Variant& AValue, Variant& ANormalized, bool AIsEditing) const override;
  // AValue limited to MinValue..MaxValue when numeric and MaxValue > MinValue.
  Variant ClampToValueRange(const Variant& AValue) const;
  // Numeric range check, then the inherited validation.
  void CheckDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError, IcxCustomEdit* AEdit) override;
  // In the list styles a kind with lookup data admits a non-empty text only
  // when it is a lookup item (any case); the item's own text is written back.
  virtual bool IsDisplayValueAcceptable(String& AText) const;
  bool IsLookupItem(const String& AText) const;
  // Whether a text that is no lookup item is refused as the value in the
  // edit-list style (validation) and cleared when a stand-alone editor in a
  // list style is left with it. Kinds whose value is not the item's text
  // (a key looked up by it) answer false and keep their own road.
  virtual bool RefusesTextOutsideItems() const { return true; }
  bool AreEditValuesEqual(const Variant& A, const Variant& B) const override;
  bool CanValidateDisplayValue() const override { return true; }
  bool CanRevertEditValue() const override { return true; }
  static TcxCustomEditClass GetEditorClass();
  TcxEditEditorFeatures GetEditorFeatures() const override;
  // The text view data and view info.
  TcxCustomEditViewDataClass GetViewDataClass() const override;
  TcxCustomEditViewInfoClass GetViewInfoClass() const override;

  virtual TcxEditEditingStyle EditingStyle() const { return FHideCursor ? esNoEdit : esEditing; }
  // The class of the lookup data an editor of this kind owns: the plain
  // one here; nullptr for a kind without lookup data (its editors neither
  // complete nor step through items).
  virtual TcxCustomTextEditLookupDataClass GetLookupDataClass() const;
  // True when a lookup data class is given.
  bool HasLookupData() const { return GetLookupDataClass() != nullptr; }
  virtual Integer LookupPageSize() const { return cxTextEditLookupPageSize; }
  virtual bool IsNumeric() const { return false; }
  virtual bool UsesThousandSeparators() const { return false; }
  virtual String DefaultDisplayFormat() const { return String(); }
  // The edit format in force: assigned EditFormat, else the provider's,
  // else the display format; empty unless UseDisplayFormatWhenEditing.
  String GetEditFormatInfo() const;
  // The locale the numeric texts use (the process locale unless set).
  const TFormatSettings& Locale() const { return FLocale ? *FLocale : FormatSettings(); }
  void SetLocale(const TFormatSettings* Value) { FLocale = Value; }

private:
  void LookupItemsChanged(TObject* Sender);

  TEditCharCase FCharCase = ecNormal;
  TcxEditEchoMode FEchoMode = eemNormal;
  Char FPasswordChar = 0;
  bool FHideSelection = true;
  bool FHideCursor = false;
  bool FUseDisplayFormatWhenEditing = false;
  bool FExactLookupMatch = false;
  bool FFixedListSelectMode = true;
  bool FUpdateTextWhileListShown = false;
  bool FOEMConvert = false;
  // The platform's "don't care" input-method mode.
  Integer FImeMode = 3;
  String FImeName;
  Integer FMaxLength = 0;
  String FDisplayFormat;
  String FEditFormat;
  double FMinValue = 0;
  double FMaxValue = 0;
  const TFormatSettings* FLocale = nullptr;
  std::unique_ptr<TStringList> FLookupItems;
  mutable std::unique_ptr<TcxTextEditPropertiesValues> FTextValuesCompanion;
};

// ---------------------------------------------------------------------------
// The text editor's view: the view data lays the display text out in the
// editor's content rectangle, measures it for automatic sizes and hints;
// the view info paints it when no inner edit shows it (an editor painted
// through a fresh view data, a closed fixed-list combo box).

// Paint options of a view data (PaintOptions).
inline constexpr Cardinal cxEditPaintEndEllipsis = 0x1;   // a cut text ends in "..."
inline constexpr Cardinal cxEditPaintAutoHeight = 0x2;    // the height follows the text
inline constexpr Cardinal cxEditPaintZeroHeight = 0x4;    // an empty text measures 0 high

class TcxCustomTextEditViewInfo : public TcxCustomEditViewInfo {
  KORVANE_CLASS(TcxCustomTextEditViewInfo, TcxCustomEditViewInfo)
  TcxCustomTextEditViewInfo() = default;

  String Text;
  TRect TextRect{};
  TcxTextLayoutFlags DrawTextFlags = 0;
  // The selection drawn (SelStart -1: none) and its colours.
  Integer SelStart = -1;
  Integer SelLength = 0;
  TColor SelTextColor = clHighlightText;
  TColor SelBackgroundColor = clHighlight;
  // The whole text on a highlight bar (a focused fixed list).
  bool DrawSelectionBar = false;
  // The view paints its text itself (no inner edit shows it).
  bool DrawsText = false;
  // Rows prepared on the first paint; moved with the view info.
  TcxTextOutData TextOutData;
  bool TextOutPrepared = false;

  // The background, then the text (DrawTextEditViewInfo).
  void Render(TcxCanvas* ACanvas) override;
  // With P over the text rectangle: true and the whole text as the hint
  // when the text does not fit (cut, a row wider than the room, or rows
  // reaching below it).
  bool QueryHintWithRect(const TPoint& P, String& AText, TRect& ARect) override;
  void OffsetBy(Integer DX, Integer DY) override;
  void Assign(TObject* Source) override;
};

// Paints the background (not for a transparent or no-edit style) and, when
// the view draws its text, the text (on a selection bar in clHighlight
// with clHighlightText, or with its selection); a focused stand-alone view
// without an inner edit and without an open popup gets a focus rectangle.
void DrawTextEditViewInfo(TcxCanvas* ACanvas, TcxCustomTextEditViewInfo* AViewInfo);

class TcxCustomTextEditViewData : public TcxCustomEditViewData {
  KORVANE_CLASS(TcxCustomTextEditViewData, TcxCustomEditViewData)
  using TcxCustomEditViewData::TcxCustomEditViewData;
  TcxCustomTextEditProperties* TextProperties() const {
    return static_cast<TcxCustomTextEditProperties*>(Properties());
  }

  // The text the view shows, the selection to draw (from a live editor).
  Integer SelStart = -1;
  Integer SelLength = 0;
  // The value the view shows (set by the editor or the container).
  Variant EditValue = Null();

  // The display text of a value (echo and case applied).
  void EditValueToDisplayText(const Variant& AEditValue, String& AText) override;
  // Layout flags from the alignment: keep-left, keep-top and single-line
  // always; multi-line measuring swaps single-line for word break and
  // whole rows; the end-ellipsis paint option adds the ellipsis.
  TcxTextLayoutFlags GetDrawTextFlags(bool AMultiLine = false) const;
  // The base view, then the text rectangle, text, flags and selection.
  void ComputeViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                       TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  TSize CalcTextExtent(TcxCanvas* ACanvas, const Variant& AEditValue) override;
  // The size of AText in the style's font: one row unbounded, or wrapped to
  // AWidth (rows x the "Zg" height); plus one pixel in the list and no-edit
  // styles when stand-alone, plus the content margins. An empty text is 0
  // high when the paint options allow it.
  TSize MeasureEditText(TcxCanvas* ACanvas, const String& AText, Integer AWidth = 0);
  // The alignment offsets; a stand-alone view in the fixed-list and no-edit
  // styles loses a pixel at the left (and at top and bottom when aligned top).
  void AdjustTextEditTextRect(TRect& ARect) const;
  // Explicit selection colours (clDefault: unset) or clHighlight with
  // clHighlightText (white on black when the style's colour is clHighlight);
  // one explicit colour gets the inverse of it as the other.
  void ComputeSelectionColors(TColor& ATextColor, TColor& ABackgroundColor) const;
};

class TcxTextEditProperties : public TcxCustomTextEditProperties {
  KORVANE_CLASS(TcxTextEditProperties, TcxCustomTextEditProperties)
  using TcxCustomTextEditProperties::TcxCustomTextEditProperties;
};

// Puts the locale's thousand separator before every third digit of a number
// text left of its decimal separator (keeping blanks, sign and exponent);
// false when the result, without separators, is no number.
bool cxRegroupThousands(String& AText, const TFormatSettings& ALocale);

// ---------------------------------------------------------------------------
// TcxCustomTextEditLookupData: the current lookup item, incremental search
// and stepping over the items of a property set. Every change of the
// current item is told through OnCurrentKeyChanged (once per change, not
// when it stays; inside ChangeAtOnce once at the end, when the item then
// differs from the one at the start); a row chosen in the list
// (SelectItem) is told through OnSelectItem, also when it was current
// already. Sender: the lookup data.

class TcxCustomTextEditLookupData : public TObject {
public:
  using MetaClass = TcxCustomTextEditLookupDataMetaClass;
  KORVANE_CLASS(TcxCustomTextEditLookupData, TObject)
  explicit TcxCustomTextEditLookupData(TcxCustomTextEditProperties* AProperties) : FProperties(AProperties) {}

  TcxCustomTextEditProperties* GetEditProperties() const { return FProperties; }
  // The items are the properties' LookupItems.
  virtual Integer GetItemCount() const;
  // Empty outside 0..Count-1.
  virtual String GetItemText(Integer AIndex) const;
  Integer CurrentIndex() const { return FCurrentIndex; }
  // The current item index as a value (-1: none).
  Variant CurrentKey() const { return Variant(FCurrentIndex); }
  // Ignored outside -1..Count-1.
  void SelectItemIndex(Integer AIndex);
  // The user chose the row AIndex in the list: it becomes current, then
  // OnSelectItem. Ignored outside 0..Count-1.
  void SelectItem(Integer AIndex);
  // True when AText is an item (case-insensitive); it becomes current.
  bool Locate(const String& AText);
  // Incremental search (see the model's typing). On success AText takes the
  // item's case for its characters and ATail is the rest of the item.
  bool FindTextItem(String& AText, String& ATail, bool AExact, bool AFromCurrent);
  // Moves the current item; false when it stays.
  bool StepLookupItem(TcxLookupStep AStep, bool AWrap = false);

  TNotifyEvent OnCurrentKeyChanged;
  TNotifyEvent OnSelectItem;

  // Runs AChange (several moves of the current item that make one step of
  // the user's) and tells the outcome once.
  template <class TChange>
  void ChangeAtOnce(TChange AChange) {
    BeginChange();
    try {
      AChange();
    } catch (...) {
      EndChange();
      throw;
    }
    EndChange();
  }
  // The brackets of ChangeAtOnce, for a step that may run code which frees
  // the lookup data (the caller then ends no bracket).
  void BeginChange();
  void EndChange();

private:
  // The one place the current item changes; tells a change.
  void SetCurrentIndex(Integer AIndex);

  TcxCustomTextEditProperties* FProperties;
  Integer FCurrentIndex = -1;
  Integer FChangeCount = 0;
  Integer FIndexAtChangeStart = -1;
};

// ---------------------------------------------------------------------------
// TcxTextEditModel: the editor's text, caret and keyboard behaviour.

class TcxTextEditModel {
public:
  explicit TcxTextEditModel(TcxCustomTextEditProperties* AProperties);
  virtual ~TcxTextEditModel();
  TcxTextEditModel(const TcxTextEditModel&) = delete;
  TcxTextEditModel& operator=(const TcxTextEditModel&) = delete;

  TcxCustomTextEditProperties* Properties() const { return FProperties; }
  // Built through the properties' lookup data class; nullptr for a kind
  // without lookup data.
  TcxCustomTextEditLookupData* LookupData() const { return FLookupData.get(); }
  // The lookup items there are (0 without lookup data).
  Integer LookupItemCount() const { return FLookupData ? FLookupData->GetItemCount() : 0; }

  const String& Text() const { return FText; }
  // Shows AText as set by code (no checks); the caret goes to its end.
  virtual void SetText(const String& AText);
  // What the user sees (echo and case applied).
  String DisplayText() const { return FProperties->ApplyEchoAndCase(FText); }
  Integer SelStart() const { return FSelStart; }
  Integer SelLength() const { return FSelLength; }
  String SelText() const { return FText.substr(FSelStart, FSelLength); }
  // Clamped into the text, widened so that no surrogate pair is split.
  void SetSelection(Integer AStart, Integer ALength);
  void SelectAll() { SetSelection(0, Length()); }
  Integer Length() const { return static_cast<Integer>(FText.size()); }

  // Keyboard. KeyDown handles the caret, Delete and lookup keys; KeyPress a
  // character (Backspace is #8). A handled key is set to 0.
  virtual void KeyDown(Word& Key, TShiftState Shift);
  virtual void KeyPress(Char& Key);
  // A committed input-method text: typed character by character (a
  // surrogate pair as one) through KeyPress, so each character meets the
  // same rules as a typed one; a refused character is skipped and the rest
  // is kept.
  void CommitText(const String& AText);
  // Clipboard: the text a copy gives (empty in password mode), a cut (also
  // removes the selection; nothing in password mode) and a paste.
  String CopyText() const;
  virtual String CutText();
  virtual void PasteText(const String& AText);
  // The user placed the caret or selection with the mouse.
  virtual void SelectionMovedByUser(Integer AStart, Integer ALength) { SetSelection(AStart, ALength); }

  // A focused numeric editor regroups thousands while the user types.
  bool Focused() const { return FFocused; }
  void SetFocused(bool Value) { FFocused = Value; }
  // Whether Up/Down/PageUp/PageDown step through the lookup items (the
  // drop-down editors); off for plain text editors.
  bool AllowsLookupStepping() const { return FAllowsLookupStepping; }
  void SetAllowsLookupStepping(bool Value) { FAllowsLookupStepping = Value; }
  bool LookupPending() const { return FLookupPending; }
  // Forgets the pending completion (the text stays as it is shown).
  void CancelLookup() { FLookupPending = false; }
  // The fixed-list style's select mode: on while the user steps the items
  // (the whole text selected), off after Left, Right, Delete, a keystroke
  // that changes the text and a text set by code.
  bool SelectMode() const { return FSelectMode; }
  // Steps the lookup items as the keys do: the item's text, all selected.
  void StepLookupItem(TcxLookupStep AStep) { StepLookup(AStep); }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }

  // How many times a refused key asked for a beep (with BeepOnError).
  Integer BeepCount() const { return FBeepCount; }
  // Fired after every change of the text by the user.
  TNotifyEvent OnChange;
  // Fired for every refused key that beeps (the control sounds it).
  TNotifyEvent OnBeep;

protected:
  // The text handling without mask routing: the insertion check (maximum
  // length, list acceptance), caret keys, deletions.
  bool InsertChecked(const String& AText);
  void BaseKeyPress(Char& Key);
  void BaseKeyDown(Word& Key, TShiftState Shift);
  void DeleteSelection();
  void Backspace();
  void DeleteForward();
  // A character outside the basic plane (a surrogate pair), typed as one.
  virtual void TypePair(const String& APair);
  // Replaces the text and selection by the user's change, then TextChanged.
  void ChangeText(const String& AText, Integer ACaret, Integer ASelLength = 0);
  virtual void TextChanged();
  void Beep();
  // Index of the character before / after APos, never inside a pair.
  Integer PrevCharPos(Integer APos) const;
  Integer NextCharPos(Integer APos) const;

private:
  bool TypeLookupChar(Char AChar);
  bool LookupBackspace();
  void StepLookup(TcxLookupStep AStep);
  String ConvertCase(const String& AText) const;

  TcxCustomTextEditProperties* FProperties;
  std::unique_ptr<TcxCustomTextEditLookupData> FLookupData;
  String FText;
  Integer FSelStart = 0;
  Integer FSelLength = 0;
  bool FFocused = true;
  bool FAllowsLookupStepping = false;
  bool FLookupPending = false;
  bool FSelectMode = false;
  bool FReadOnly = false;
  Integer FBeepCount = 0;
};

// ---------------------------------------------------------------------------
// The text editor control: a native single-line edit inside the editor's
// container shows the edit model; every key, character, input-method
// character and clipboard command that reaches the inner edit goes through
// the editor's key handling and then the model, and the inner edit is given
// the model's text and selection back.

class TcxCustomTextEdit;

class TcxCustomInnerTextEdit : public TCustomEdit, public IcxContainerInnerControl {
  KORVANE_CLASS(TcxCustomInnerTextEdit, TCustomEdit)
  explicit TcxCustomInnerTextEdit(TcxCustomTextEdit* AEdit);
  TWinControl* GetControl() override { return this; }
  TcxContainer* GetControlContainer() override;

private:
  TcxCustomTextEdit* FEdit;
};

class TcxCustomTextEdit : public TcxCustomEdit {
public:
  KORVANE_CLASS(TcxCustomTextEdit, TcxCustomEdit)
  explicit TcxCustomTextEdit(TComponent* AOwner) : TcxCustomTextEdit(AOwner, false) {}
  TcxCustomTextEdit(TComponent* AOwner, bool AIsInplace);
  ~TcxCustomTextEdit() override;

  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TcxTextEditProperties::StaticClass(); }
  TcxCustomTextEditProperties* ActiveTextProperties();
  TCustomEdit* InnerEdit() const { return FInnerEdit; }
  // The model of the active property set (made again when that changes).
  TcxTextEditModel* Model();

  String Text() { return Model()->Text(); }
  // The selection as the editor reports it: none in the no-edit style, and
  // none in the fixed-list style outside its select mode.
  Integer SelStart();
  Integer SelLength();
  void SetSelection(Integer AStart, Integer ALength);
  void SelectWholeText() { SetSelection(0, Model()->Length()); }
  void CopyToClipboard() override;
  void CutToClipboard() override;
  void PasteFromClipboard() override;

  String GetCurrentDisplayText() override { return Model()->Text(); }
  void UpdateDisplayValue() override;
  void SetDisplayValue(const Variant& Value) override;
  void SelectAllText() override { SelectWholeText(); }
  // The shown text and its selection go to the text view data.
  void PrepareViewData(TcxCustomEditViewData* AViewData) override;
  bool KeepsNavigationKeys() const override { return true; }
  void PropertiesChanged(TObject* Sender) override;

protected:
  // Editors with another inner window (a multi-line one) pass its maker.
  using TInnerEditFactory = TCustomEdit* (*)(TcxCustomTextEdit* AEdit);
  TcxCustomTextEdit(TComponent* AOwner, bool AIsInplace, TInnerEditFactory ACreateInner);
  virtual std::unique_ptr<TcxTextEditModel> CreateModel(TcxCustomTextEditProperties* AProperties);
  // The inner window's text and caret positions for the model's, and back;
  // the same unless the inner window writes line breaks differently.
  virtual String InnerTextOf(const String& AModelText) const { return AModelText; }
  virtual Integer InnerPosOf(Integer AModelPos) { return AModelPos; }
  virtual Integer ModelPosOf(Integer AInnerPos) { return AInnerPos; }
  // A text taken in the free style that is no lookup item is told through
  // OnNewLookupDisplayText.
  void InternalSetDisplayValue(const Variant& Value) override;
  bool PreviewInnerMessage(TMessage& Message) override;
  // A stand-alone editor bound to no data, left in a list style with a text
  // that is no item, clears its value (an empty text); in place and bound
  // editors leave that to validation, which refuses such a text.
  void DoExit() override;
  // With lookup stepping by the wheel (LookupWheelAllowed), the popup closed
  // and editing allowed, a notch up steps to the previous item, down to the
  // next, with the change events and ImmediatePost of a key step.
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, const TPoint& MousePos) override;
  // Whether the wheel steps through the lookup items (the drop-down editors
  // answer; a plain text editor does not step).
  virtual bool LookupWheelAllowed() { return false; }
  // A step by the user from the item the editor shows: the text follows, the
  // change events fire once and ImmediatePost posts. False when it stays.
  bool StepLookupByUser(TcxLookupStep AStep);
  // The lookup's current item becomes the one whose text is the editor's
  // (none when no item is), so a step starts from what the editor shows.
  void LocateTextItem();
  // The client rectangle less the buttons at either side.
  void PlaceInnerControl() override;
  void HandleStateChange(const TPoint& P, Integer AButton, bool ARefresh, TShiftState AShift) override;
  void DoEnter() override;
  // Gives the inner edit the model's text and selection.
  void SyncInnerEdit();
  // Takes a selection the user made in the inner edit (mouse) into the model.
  void PullInnerSelection();

private:
  void ModelChanged(TObject* Sender);
  void HandleInnerChar(Char AChar);

  std::unique_ptr<TcxTextEditModel> FModel;
  TCustomEdit* FInnerEdit = nullptr;  // owned by this component
  Char FPendingHighSurrogate = 0;
  bool FSyncing = false;
};

class TcxTextEdit : public TcxCustomTextEdit {
  KORVANE_CLASS(TcxTextEdit, TcxCustomTextEdit)
  using TcxCustomTextEdit::TcxCustomTextEdit;
};

// ---------------------------------------------------------------------------
// TcxCustomEditListBox: the list an editor shows its lookup items in (inside
// its popup). Owner-drawn with a height per row, no border; the rows are
// as many as the lookup items and their texts are read from the lookup
// data, so the list never keeps a copy of them. Hot tracking: a mouse
// move over a row selects it unless the list holds the mouse capture.
// The list never takes the focus from its editor; a click on a row or
// SelectItem tells the owner through OnSelectItem.

// The sample text whose height is the list's default row height.
inline constexpr const Char* cxEditListBoxSampleText = u"Wg";
// The room between a row's text and the row's edge on the reading side.
inline constexpr Integer cxEditListBoxTextIndent = 2;

class TcxCustomEditListBox : public TcxCustomInnerListBox {
  KORVANE_CLASS(TcxCustomEditListBox, TcxCustomInnerListBox)
  // Owner-drawn, variable row heights, the default row height; not a tab
  // stop (the editor keeps the focus).
  explicit TcxCustomEditListBox(TComponent* AOwner);

  // The editor whose lookup items the list shows (nullptr: none).
  virtual TcxCustomTextEdit* GetEdit() const { return nullptr; }
  // The editor's lookup data (nullptr without an editor).
  TcxCustomTextEditLookupData* GetLookupData() const;

  // The text of a row: the lookup item's (empty outside the items).
  String GetItemText(Integer AIndex) const;
  // The height of the sample text "Wg" in the list's font.
  Integer GetDefaultItemHeight() const;
  // The height of a row (default: the default row height); the list asks
  // it for every row.
  virtual Integer GetItemHeight(Integer AIndex) const;
  // The width of a row's text in the list's font.
  virtual Integer GetItemWidth(Integer AIndex) const;
  // The height of ARowCount rows of the default height.
  Integer GetHeight(Integer ARowCount) const { return ARowCount * GetDefaultItemHeight(); }
  // Adds empty rows or deletes rows from the end, in one update of the
  // rows list, until there are as many rows as lookup items.
  void SyncItemCount();

  // Code moves the selection (the list follows its editor): the next mouse
  // move does not hot-track, so a pointer resting over another row does not
  // take the selection back. The owner is not told.
  void SetItemIndexByCode(Integer AIndex);
  // Selects a row as the user's choice and tells the owner (OnSelectItem),
  // even when it was selected already.
  void SelectItem(Integer AIndex);
  // The owner's select-item hook (Sender: the list).
  TNotifyEvent OnSelectItem;

  // The popup holding the list was shown: the list's window hears
  // WM_SETFOCUS directly, so it draws as the active list while the editor
  // keeps the focus.
  void ListShown();
  // Whether the list last heard WM_SETFOCUS (and no WM_KILLFOCUS since).
  bool HasFocusLook() const { return FFocusLook; }
  // Re-creates the list's window (when it has one).
  virtual void RecreateWindow();

  // Right-to-left reading puts the text's indent on the right.
  bool ReadingRightToLeft() const { return FReadingRightToLeft; }
  void SetReadingRightToLeft(bool Value);

  // The hook (DoDrawItem) first; when it declines, DrawItem.
  // The row filled, the text single-line, vertically centred, indented on
  // the reading side.
  void DrawItem(Integer Index, const TRect& ARect, TOwnerDrawState AState) override;
  void MeasureItem(Integer Index, Integer& AHeight) const override;

protected:
  // A press selects without focusing the list; a release over a row
  // releases the capture and selects it (SelectItem).
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  // The mouse rests on another row: it becomes the selected one.
  virtual void HotTrack(Integer AIndex) { SetItemIndex(AIndex); }
  // The system's wheel line count, one WM_VSCROLL line step per line.
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, const TPoint& MousePos) override;
  void CMFontChanged(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  // The text of a row drawn in ARect (the brush and font set).
  void DrawItemText(Integer AIndex, const TRect& ARect);

private:
  bool FSkipHotTrack = false;
  bool FFocusLook = false;
  bool FReadingRightToLeft = false;
};
