#pragma once
// Editor defaults from a dataset field.
//
// TcxCustomDBEditDefaultValuesProvider answers an editor's questions about
// the settings its property set leaves unassigned (alignment, formats, edit
// mask, length, range, precision, read-only, required ...) from a TField, so
// that an editor bound to a field takes the field's settings unless its own
// properties say otherwise. Every answer is read from the field when asked;
// nothing is cached, so a property set that holds the provider sees a
// change of the field at its next question.
//
// The provider does not own the field. It watches the field through a free
// notificator and forgets it when the field is freed. A field is usable
// while it belongs to a dataset that is not inactive; without a usable field
// every answer is the base provider's, except ProvideCanModify and
// ProvideIsBlob, which answer false, and ProvidePrecision, which reads the
// field's precision even when its dataset is closed.
#include <memory>

#include "editors/cxEditProperties.h"
#include "foundation/cxClasses.h"
#include "platform/db/fields.h"

class TcxCustomDBEditDefaultValuesProvider : public TcxCustomEditDefaultValuesProvider {
  KORVANE_CLASS(TcxCustomDBEditDefaultValuesProvider, TcxCustomEditDefaultValuesProvider)
  explicit TcxCustomDBEditDefaultValuesProvider(TPersistent* AOwner);
  // Stops watching the field, then leaves no property set pointing at it.
  ~TcxCustomDBEditDefaultValuesProvider() override;

  // The field the answers come from (nullptr: none, or it was freed).
  TField* Field() const { return FField; }
  // Stops watching the old field and watches the new one; nothing when it is
  // the same field.
  void SetField(TField* Value);

  // Alignment, edit mask, read-only and required of any field.
  TAlignment ProvideAlignment() override;
  // Memo, formatted memo and wide memo 3 (memo), graphic 2 (picture), the
  // two OLE types 4 (OLE), everything else 0 (none).
  Integer ProvideBlobKind() override;
  // Not read-only, usable, and the field can be modified, or it is a lookup
  // field whose key fields can all be modified.
  bool ProvideCanModify() override;
  // Display and edit formats of numeric fields.
  String ProvideDisplayFormat() override;
  String ProvideEditFormat() override;
  String ProvideEditMask() override;
  // Float, currency and BCD data types.
  bool ProvideIsFloat() override;
  // Size of string and wide-string data types.
  Integer ProvideMaxLength() override;
  // Integer fields: their range; float fields: their range rounded to the
  // field's precision; BCD fields: their range as a floating value.
  double ProvideMaxValue() override;
  double ProvideMinValue() override;
  // Float, BCD, aggregate and FMTBCD fields: their precision.
  Integer ProvidePrecision() override;
  bool ProvideReadOnly() override;
  bool ProvideRequired() override;
  bool ProvidesDataValues() override { return true; }
  bool ProvideIsBlob() override;
  // Float, BCD, aggregate and FMTBCD fields: their currency setting.
  bool ProvideIsCurrency() override;
  // An OnGetText handler, a non-empty display format of a numeric, date-time
  // or aggregate field, or (with ACurrencyFormat) a currency setting.
  bool HasDisplayFormat(bool ACurrencyFormat) override;
  // HasDisplayFormat(false) holds while ProvideDisplayFormat is empty.
  bool HasEmptyDisplayFormat() override;
  // An OnGetText handler, or the field's own IsValidChar.
  bool AcceptsChar(Char AChar) override;

  // A field is set, it belongs to a dataset and the dataset is not inactive.
  virtual bool IsFieldUsable() const;

private:
  void FreeNotificatorComponentRemoved(TObject* Sender, TComponent* AComponent);
  // The range limit of the field as the editor takes it (see ProvideMaxValue).
  double FieldLimit(bool AMax);

  TField* FField = nullptr;
  std::unique_ptr<TcxFreeNotificator> FFreeNotificator;
};

// The currency setting of float, BCD, FMT BCD and aggregate fields; false
// for other fields and nullptr.
bool FieldCurrency(TField* AField);
