#pragma once
// The time editor (unit cxTimeEdit): a spin editor over a fixed mask that
// shows hours, minutes and seconds in a 24-hour or 12-hour form. The spin
// buttons, arrow keys and wheel step the part of the time under the caret.
//
// Inside the spin machinery values are seconds of the day (0..86399). A text
// that does not read as a time (a blank digit, an hour out of range, a
// blank or unknown AM/PM designator) is never taken as midnight, as the
// afternoon or as the current time: it cannot be stepped, validation refuses
// it ("Could not convert to time"), and a value that cannot be shown gives
// an empty text.
#include "editors/cxSpinEdit.h"

inline constexpr TResourceString cxSEditTimeConvertError{65182, u"Could not convert to time"};

enum TcxTimeEditTimeFormat : Integer { tfHourMinSec, tfHourMin, tfHour };
// The part of a time text: hours, minutes, seconds, the AM/PM designator.
enum TcxTimePart : Integer { tpHour = 0, tpMin = 1, tpSec = 2, tpAMPM = 3 };

// Seconds of a day less one: the largest time value.
inline constexpr Integer cxTimeEditMaxSeconds = 86399;
// Seconds of half a day: the step between AM and PM.
inline constexpr Integer cxTimeEditHalfDay = 43200;

// Display format and edit mask of (ATimeFormat, AUse24Hour). The 12-hour
// mask's designator part follows the locale's PM designator: a blank for a
// blank, any character otherwise.
String cxTimeEditDisplayFormat(TcxTimeEditTimeFormat ATimeFormat, bool AUse24Hour);
String cxTimeEditMask(TcxTimeEditTimeFormat ATimeFormat, bool AUse24Hour, const TFormatSettings& ALocale);
// Characters of the time digits and separators (8, 5 or 2).
Integer cxTimeEditTimeLength(TcxTimeEditTimeFormat ATimeFormat);

class TcxCustomTimeEditProperties : public TcxCustomSpinEditProperties {
  KORVANE_CLASS(TcxCustomTimeEditProperties, TcxCustomSpinEditProperties)
  explicit TcxCustomTimeEditProperties(TPersistent* AOwner);
  void Assign(TPersistent* Source) override;
  // The 12-hour masks follow the locale's designators.
  void FormatsChanged() override;

  TcxTimeEditTimeFormat TimeFormat() const { return FTimeFormat; }
  void SetTimeFormat(TcxTimeEditTimeFormat Value);
  bool Use24HourFormat() const { return FUse24HourFormat; }
  void SetUse24HourFormat(bool Value);
  bool ShowDate() const { return FShowDate; }
  void SetShowDate(bool Value) { SetValue(FShowDate, Value); }
  bool UseTimeFormatWhenUnfocused() const { return FUseTimeFormatWhenUnfocused; }
  void SetUseTimeFormatWhenUnfocused(bool Value) { SetValue(FUseTimeFormatWhenUnfocused, Value); }
  static TcxCustomEditClass GetEditorClass();

  bool ClampsAtBounds() const override { return false; }
  bool ChecksTextWhileTyping() const override { return false; }
  bool KeepsSelectionAfterStep() const override { return true; }
  // Seconds as the editing text.
  String ValueText(const Variant& AValue) const override;

  // ---- Reading and writing time texts ----
  // The seconds of a shown text; false when a digit is blank, a part is out
  // of range, or (12-hour) the designator is neither AM nor PM.
  bool ReadSeconds(const String& AText, Integer& ASeconds) const;
  String TextOfSeconds(Integer ASeconds) const;
  // The text of an edit value (AIsEditing: the editing format); empty for a
  // value that cannot be read as a date and time.
  String EditValueToText(const Variant& AValue, bool AIsEditing) const;
  String ValueToDisplayText(const Variant& AValue) const override { return EditValueToText(AValue, false); }
  // The part of ATextLength-long text at the caret ASelStart.
  TcxTimePart PartAt(Integer ASelStart) const;
  // The step of AKind in APart from ASeconds.
  double PartStep(TcxTimePart APart, Integer AKind, Integer ASeconds) const;
  // An unreadable text is an error "Could not convert to time"; then
  // OnValidate.
  void CheckDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError, IcxCustomEdit* AEdit) override;

private:
  void UpdateMask();

  TcxTimeEditTimeFormat FTimeFormat = tfHourMinSec;
  bool FUse24HourFormat = true;
  bool FShowDate = false;
  bool FUseTimeFormatWhenUnfocused = true;
};

class TcxTimeEditProperties : public TcxCustomTimeEditProperties {
  KORVANE_CLASS(TcxTimeEditProperties, TcxCustomTimeEditProperties)
  using TcxCustomTimeEditProperties::TcxCustomTimeEditProperties;
};

// Typed characters meet the time rules of the part under the caret; in the
// designator a letter of the other half switches to it.
class TcxTimeEditModel : public TcxSpinEditModel {
public:
  explicit TcxTimeEditModel(TcxCustomTimeEditProperties* AProperties) : TcxSpinEditModel(AProperties) {}
  TcxCustomTimeEditProperties* TimeProperties() const;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  // Shows ASeconds and selects the last digit of APart (or the designator).
  void ShowSeconds(Integer ASeconds, TcxTimePart APart);

private:
  bool IsDigitAcceptable(Char AChar) const;
  // A printable character in the designator; false when it is dropped.
  bool TypeDesignatorChar(Char& AChar);
};

class TcxCustomTimeEdit : public TcxCustomSpinEdit {
public:
  KORVANE_CLASS(TcxCustomTimeEdit, TcxCustomSpinEdit)
  explicit TcxCustomTimeEdit(TComponent* AOwner) : TcxCustomTimeEdit(AOwner, false) {}
  TcxCustomTimeEdit(TComponent* AOwner, bool AIsInplace);

  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TcxTimeEditProperties::StaticClass(); }
  TcxCustomTimeEditProperties* ActiveTimeProperties();

  // Seconds of the typed text (focused) or of the edit value; null when the
  // text cannot be read.
  Variant GetValue() override;
  double GetIncrement(Integer AKind) override;
  // Nothing for a text that cannot be read; the stepped part stays selected.
  bool DoStep(Integer AKind) override;
  void UpdateDisplayValue() override;
  // The time of day of the text or value; null when it cannot be read.
  Variant Time();
  // Keeps the date part of the value.
  void SetTime(TDateTime AValue);

protected:
  std::unique_ptr<TcxTextEditModel> CreateModel(TcxCustomTextEditProperties* AProperties) override;
  // A readable text becomes the date part plus its time (a date variant).
  void InternalSetDisplayValue(const Variant& Value) override;

private:
  TcxTimeEditModel* TimeModel() { return static_cast<TcxTimeEditModel*>(Model()); }
  // Whole days of the edit value (0 for null or unreadable values).
  double DatePart() const;
};

class TcxTimeEdit : public TcxCustomTimeEdit {
  KORVANE_CLASS(TcxTimeEdit, TcxCustomTimeEdit)
  using TcxCustomTimeEdit::TcxCustomTimeEdit;
};

// Registers the time editor kind (repeated calls do nothing) / removes it.
void cxTimeEditInitialize();
void cxTimeEditFinalize();
