#pragma once
// The date editor (unit cxDateEdit): a popup editor whose popup holds the
// month calendar (cxCalendar.h). It edits one date or date-time value; null
// (or NullDate) means no date.
//
// Each editor owns its calendar and shows it in its popup (the properties'
// PopupControl is not used, so property sets shared by several editors
// never hand one editor's calendar to another). The popup takes the focus
// but runs no nested message loop; while it is open the editor counts as
// editing (its text takes the editing form, and Esc after the popup closed
// still goes back to the value it had when it got the focus).
//
// Typing is checked by the kind of input: free text read by the smart date
// reading (ikStandard: "today", "bom+3", a date in the locale's order), or
// the format controller's standard (ikMask) or regular-expression
// (ikRegExpr) masks for dates or date-times.
//
// A date-only editor (ckDate) with SaveTime keeps the time of day of the
// value it was given: a typed date gets that time back. Clearing the text
// always stores null: the kept time alone (a time on 1899-12-30) would be a
// date the user never entered.
//
// Typing is never refused for not (yet) reading as a date: "t" on the way
// to "today" must stay. The mask, if any, checks each key; the text as a
// whole is checked when the editor validates it.
//
// An unreadable text is an error "Invalid Date" unless DateOnError or an
// OnValidate handler settles it; a date outside MinDate..MaxDate (only when
// MaxDate > MinDate) is "Value out of bounds".
#include <memory>

#include "editors/cxCalendar.h"
#include "editors/cxDropDownEdit.h"
#include "editors/cxFormats.h"

inline constexpr TResourceString cxSDateError{65334, u"Invalid Date"};
inline constexpr TResourceString cxSEditDateConvertError{65335, u"Could not convert to date"};

enum TDateOnError : Integer { deNoChange, deToday, deNull };
enum TcxInputKind : Integer { ikStandard, ikMask, ikRegExpr };

class TcxCustomDateEdit;

// The time part of the date-time text under a position (masked date-time
// entry): hour, minute, second or the AM/PM designator.
struct TcxDateEditTimePart {
  TcxDateTimeFormatItemKind Kind = fikLiteral;  // fikLiteral: no time part
  Integer Start = 0;                            // 0-based
  Integer Length = 0;
  TcxAmPmStyle AmPmStyle = apsAP;
  bool IsNumeric() const { return Kind == fikHour || Kind == fikMinute || Kind == fikSecond; }
};

// The assigned flags of the two settings whose default follows Kind.
class TcxDateEditPropertiesValues : public TcxCustomEditPropertiesValues {
  KORVANE_CLASS(TcxDateEditPropertiesValues, TcxCustomEditPropertiesValues)
  using TcxCustomEditPropertiesValues::TcxCustomEditPropertiesValues;
  void Assign(TPersistent* Source) override;
  void RestoreDefaults() override;
  bool DateButtons() const { return FDateButtons; }
  void SetDateButtons(bool Value);
  bool InputKind() const { return FInputKind; }
  void SetInputKind(bool Value);

private:
  bool FDateButtons = false;
  bool FInputKind = false;
};

// ---------------------------------------------------------------------------
// TcxCustomDateEditProperties: settings, text/date conversion, validation.

class TcxCustomDateEditProperties : public TcxCustomPopupEditProperties {
  KORVANE_CLASS(TcxCustomDateEditProperties, TcxCustomPopupEditProperties)
  explicit TcxCustomDateEditProperties(TPersistent* AOwner);
  void Assign(TPersistent* Source) override;
  static TcxCustomEditClass GetEditorClass();
  TcxCustomEditPropertiesValuesClass GetAssignedValuesClass() const override;
  TcxDateEditPropertiesValues* DateAssignedValues() const;

  // ---- Settings ----
  bool ArrowsForYear() const { return FArrowsForYear; }
  void SetArrowsForYear(bool Value) { SetValue(FArrowsForYear, Value); }
  // Assigned: its own value; else [btnClear, btnToday] for ckDate and
  // [btnClear, btnNow] for ckDateTime.
  TDateButtons DateButtons() const;
  void SetDateButtons(TDateButtons Value);
  TDateOnError DateOnError() const { return FDateOnError; }
  void SetDateOnError(TDateOnError Value) { SetValue(FDateOnError, Value); }
  // Assigned: its own value; else ikRegExpr for ckDate, ikMask for ckDateTime.
  TcxInputKind InputKind() const;
  void SetInputKind(TcxInputKind Value);
  TcxCalendarKind Kind() const { return FKind; }
  void SetKind(TcxCalendarKind Value) { SetValue(FKind, Value); }
  // MaxValue and MinValue as dates.
  TDateTime MaxDate() const { return MaxValue(); }
  void SetMaxDate(TDateTime Value) { SetMaxValue(Value); }
  TDateTime MinDate() const { return MinValue(); }
  void SetMinDate(TDateTime Value) { SetMinValue(Value); }
  bool SaveTime() const { return FSaveTime; }
  void SetSaveTime(bool Value) { SetValue(FSaveTime, Value); }
  bool ShowTime() const { return FShowTime; }
  void SetShowTime(bool Value) { SetValue(FShowTime, Value); }
  bool YearsInMonthList() const { return FYearsInMonthList; }
  void SetYearsInMonthList(bool Value) { SetValue(FYearsInMonthList, Value); }

  // Rebuilds the edit mask (outside an update), then tells the owner.
  void NotifyChanged() override;
  // A change of the locale formats rebuilds the mask.
  void FormatsChanged() override;

  // ---- Text and dates ----
  // The text an empty editor shows (the mask's blanks; empty unmasked).
  String EmptyText() const;
  // The empty text, or the empty picture with the zero time a masked
  // date-time editor shows while editing: both mean no date.
  bool IsEmptyText(const String& AText) const;
  // A text as a date: the empty text is no date; else the smart reading;
  // unreadable text gives today (now for ckDateTime) with deToday and no
  // date otherwise. False for no date (ADate NullDate).
  bool TextToDate(const String& AText, TDateTime& ADate) const;
  // A text given from outside (not typed key by key): with ikStandard only
  // no text, the empty text or one that reads as a date; the masks check
  // their own kinds.
  bool IsDateTextAcceptable(const String& AText) const;
  // Whether the time of day of AValue shows (AIsEditing: the focused text).
  bool ShowsTime(TDateTime AValue, bool AIsEditing) const;
  // The text of an edit value. Raises EConvertError "Could not convert to
  // date" for a text that is no date, for NullDate and for values of other
  // types.
  String DateEditValueToText(const Variant& AValue, bool AIsEditing) const;
  String ValueToDisplayText(const Variant& AValue) const override { return DateEditValueToText(AValue, false); }
  // A string that reads as a date; blank, numeric and date values.
  bool AcceptsEditValue(Variant& AValue, bool AIsEditing) const override;
  void NormalizeEditValue(const Variant& AValue, Variant& ANormalized, bool AIsEditing) const override;
  // The typed text: "Invalid Date" unless DateOnError or OnValidate settles
  // it; the bounds; a date-only value gets the kept time of day back.
  void CheckDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError, IcxCustomEdit* AEdit) override;

  // ---- Masked date-time entry ----
  // A date-time editor over the controller's own standard date-time mask.
  bool UsesMaskedTimeEntry() const;
  // The time part at APos (0-based) of such a text; Kind fikLiteral for
  // none (and in every other editor).
  TcxDateEditTimePart TimePartAt(Integer APos) const;

private:
  void UpdateEditMask();
  // Step 6 of the validation: the bounds and the kept time of day.
  void AcceptDate(TDateTime ADate, Variant& ADisplayValue, TCaption& AErrorText, bool& AError,
                  TcxCustomDateEdit* AEdit);

  bool FArrowsForYear = true;
  TDateButtons FDateButtons = 0;
  TDateOnError FDateOnError = deNoChange;
  TcxInputKind FInputKind = ikStandard;
  TcxCalendarKind FKind = ckDate;
  bool FSaveTime = true;
  bool FShowTime = true;
  bool FYearsInMonthList = true;
  bool FUpdatingMask = false;
};

class TcxDateEditProperties : public TcxCustomDateEditProperties {
  KORVANE_CLASS(TcxDateEditProperties, TcxCustomDateEditProperties)
  using TcxCustomDateEditProperties::TcxCustomDateEditProperties;
};

// Masked date-time entry: a digit that would put an hour, minute or second
// out of range is placed so that the part stays readable (typing 5 into the
// first hour digit gives 05, 2 into 09 gives 20); a letter in the AM/PM part
// writes the whole designator it starts ("P" gives "PM"). Other keys go to
// the mask.
class TcxDateEditModel : public TcxMaskEditModel {
public:
  explicit TcxDateEditModel(TcxCustomDateEditProperties* AProperties) : TcxMaskEditModel(AProperties) {}
  TcxCustomDateEditProperties* DateProperties() const;
  void KeyPress(Char& Key) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  String CutText() override;

private:
  // Blanks left in the hours, minutes and seconds show as 0.
  void ZeroTimeBlanks();
  // False when the key was handled (or refused) here.
  bool TypeTimeDigit(Char& Key, const TcxDateEditTimePart& APart);
  bool TypeDesignatorLetter(Char& Key, const TcxDateEditTimePart& APart);
  // Writes AText over the text at AStart and puts the caret at ACaret.
  void Rewrite(Integer AStart, const String& AText, Integer ACaret);
  void Refuse(Char& Key);
};

// ---------------------------------------------------------------------------
// TcxDateEditPopupWindow: previews the keys; Esc on a calendar button or on
// an unchanged time editor, Alt+Up, Alt+Down and F4 reach the calendar,
// which closes the popup.

class TcxDateEditPopupWindow : public TcxPopupEditPopupWindow {
  KORVANE_CLASS(TcxDateEditPopupWindow, TcxPopupEditPopupWindow)
  // Made while AEdit's base part is being constructed: the date editor is
  // reached only later, through Edit().
  explicit TcxDateEditPopupWindow(TcxCustomDropDownEdit* AEdit);
  TcxCustomDateEdit* Edit() const;

protected:
  void KeyDown(Word& Key, TShiftState Shift) override;

private:
  bool PassesToCalendar(Word Key, TShiftState Shift) const;

  TcxCustomDropDownEdit* FEdit;
};

// ---------------------------------------------------------------------------
// TcxCustomDateEdit: the editor control.

class TcxCustomDateEdit : public TcxCustomPopupEdit {
public:
  KORVANE_CLASS(TcxCustomDateEdit, TcxCustomPopupEdit)
  explicit TcxCustomDateEdit(TComponent* AOwner) : TcxCustomDateEdit(AOwner, false) {}
  TcxCustomDateEdit(TComponent* AOwner, bool AIsInplace);
  ~TcxCustomDateEdit() override;

  TcxPopupCalendar* Calendar() const { return FCalendar.get(); }
  // The date shown when the popup last opened (NullDate before).
  TDateTime DateAtDropDown() const { return FDateAtDropDown; }
  // The calendar is the popup's content.
  bool CanDropDown() const override { return true; }
  TSize PopupContentSize() override;
  void PopupClientRectChanged(const TRect& AClientRect) override;

  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TcxDateEditProperties::StaticClass(); }
  TcxCustomDateEditProperties* ActiveDateProperties();

  // The typed text (focused and modified) or the edit value as a date;
  // NullDate for none.
  TDateTime Date();
  // NullDate stores null; a date-only value without a time of day gets the
  // kept time (with SaveTime).
  void SetDate(TDateTime Value);
  // The time of day kept from the last value (a date-only editor).
  TDateTime SavedTime() const { return FSavedTime; }
  void SetSavedTime(TDateTime Value) { FSavedTime = Value; }
  // The typed text as the edit value would take it; NullDate for none.
  TDateTime DisplayTextToDate(const String& AText);

  void UpdateDisplayValue() override;
  void ClearEditValue() override { SetDate(NullDate); }
  // With MaxDate > MinDate, a date below MinDate becomes MinDate and one
  // above MaxDate becomes MaxDate (the modified state is kept).
  virtual void CheckEditorValueBounds();
  // A modified editor not bound to data is kept within new bounds.
  void PropertiesChanged(TObject* Sender) override;

protected:
  std::unique_ptr<TcxTextEditModel> CreateModel(TcxCustomTextEditProperties* AProperties) override;
  void InternalSetEditValue(const Variant& Value, bool AValidateFirst) override;
  void InternalSetDisplayValue(const Variant& Value) override;
  TWinControl* PopupFocusedControl() override { return FCalendar.get(); }
  // The calendar gets the editor's colour, look, buttons, date, time
  // format and font, and lays itself out.
  void SetupPopupWindow() override;
  void PopupWindowShowed(TObject* Sender) override;
  void PopupWindowClosed(TObject* Sender) override;

private:
  // Focused, or the popup (holding the focus) is open.
  bool IsEditingText() const { return Focused() || HasOpenPopup(); }
  TDateTime EditValueAsDate();
  // The calendar's choice becomes the value (the editor is then modified).
  void CalendarDateChosen(TObject* Sender);
  void CalendarCloseRequest(TObject* Sender);

  std::unique_ptr<TcxPopupCalendar> FCalendar;  // shown in the popup window
  TDateTime FDateAtDropDown = NullDate;
  TDateTime FSavedTime = 0;
};

class TcxDateEdit : public TcxCustomDateEdit {
  KORVANE_CLASS(TcxDateEdit, TcxCustomDateEdit)
  using TcxCustomDateEdit::TcxCustomDateEdit;
};

// The repository item of date editors: one TcxDateEditProperties.
class TcxEditRepositoryDateItem : public TcxEditRepositoryItem {
  KORVANE_CLASS(TcxEditRepositoryDateItem, TcxEditRepositoryItem)
  using TcxEditRepositoryItem::TcxEditRepositoryItem;
  TcxCustomEditPropertiesClass GetPropertiesClass() const override { return TcxDateEditProperties::StaticClass(); }
  TcxDateEditProperties* DateProperties() const { return static_cast<TcxDateEditProperties*>(Properties()); }
};

// Registers the date editor kind (repeated calls do nothing) / removes it.
void cxDateEditInitialize();
void cxDateEditFinalize();
