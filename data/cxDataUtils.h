#pragma once
// Small data utilities: the locale's currency display format and first day of
// the week, whole-day and time-of-day parts of dates, the prefix test of
// incremental search, and the base class of simple data bindings.
#include "platform/rtl/component.h"
#include "platform/rtl/events.h"
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"
#include "platform/rtl/variant.h"

// A number format for currency values after the process format settings:
// ",0." and as many "0" as the currency decimals, with the currency symbol
// (its "," and "." quoted) placed by the currency format (0 before, 1 after,
// 2 before with a blank, 3 after with a blank).
String GetCurrencyDisplayFormat();

TDateTime DateOfDateTime(TDateTime AValue);
TDateTime TimeOfDateTime(TDateTime AValue);

// 0 Sunday .. 6 Saturday, from the process format settings.
Integer LocaleFirstDayOfWeek();
// The whole-day date of the first day of the week that holds ADate.
TDateTime StartOfWeek(TDateTime ADate);

// Both texts upper-cased: an empty pattern matches only an empty text;
// otherwise the texts are equal, or with APartial the text begins with the
// pattern.
bool SameTextOrPrefix(const String& AText, const String& APattern, bool APartial);

// The data binding of a simple data-aware control. Every operation has a
// do-nothing default; descendants override what they bind.
class TcxCustomDataBinding : public TPersistent {
  KORVANE_CLASS(TcxCustomDataBinding, TPersistent)

  using TcxDataBindingNotifyEvent = TEvent<void(Integer AParam1, Integer AParam2)>;

  TcxCustomDataBinding(TComponent* AOwner, TObject* AData);

  TPersistent* GetOwner() const override { return FOwner; }
  TComponent* Owner() const { return FOwner; }
  TObject* Data() const { return FData; }

  // The three handlers a control passes to its binding.
  TcxDataBindingNotifyEvent OnValueToControl;
  TcxDataBindingNotifyEvent OnDataChanged;
  TcxDataBindingNotifyEvent OnControlToValue;

  // Value to control: calls OnValueToControl when assigned.
  virtual void ValueToControl(Integer AParam1, Integer AParam2);
  // Calls OnDataChanged when assigned.
  virtual void DataChanged(Integer AParam1, Integer AParam2);
  // Control to value: calls OnControlToValue when assigned.
  virtual void ControlToValue(Integer AParam1, Integer AParam2);
  virtual bool ExecuteAction(TObject* AAction);  // false
  virtual bool UpdateAction(TObject* AAction);   // false
  virtual bool CanModify();                      // true
  // The value to show: for editing when AEditing, else for display. Null: an
  // unbound binding has no value.
  virtual Variant GetDisplayValue(bool AEditing);
  virtual bool CanGiveValue();  // true
  // Asked on Escape.
  virtual void Reset();
  // Asked before a key may change the control's value.
  virtual bool CanEdit();  // true
  virtual void StoreValue(const Variant& AValue);
  // Writes the control's value when the control is left.
  virtual void UpdateData();

private:
  TComponent* FOwner;
  TObject* FData;
};
