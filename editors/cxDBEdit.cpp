#include "editors/cxDBEdit.h"

#include "data/cxDB.h"
#include "platform/db/dataset.h"
#include "platform/rtl/currency.h"
#include "platform/rtl/sysutils.h"

namespace {

constexpr Integer BlobKindNone = 0;
constexpr Integer BlobKindPicture = 2;
constexpr Integer BlobKindMemo = 3;
constexpr Integer BlobKindOle = 4;

// The value as the general format shows it at APrecision significant digits.
double RoundToPrecision(double AValue, Integer APrecision) {
  double result = AValue;
  if (TryStrToFloat(FloatToStrF(AValue, ffGeneral, APrecision, APrecision), result)) return result;
  return AValue;
}

}  // namespace

TcxCustomDBEditDefaultValuesProvider::TcxCustomDBEditDefaultValuesProvider(TPersistent* AOwner)
    : TcxCustomEditDefaultValuesProvider(AOwner), FFreeNotificator(std::make_unique<TcxFreeNotificator>(nullptr)) {
  FFreeNotificator->OnComponentRemoved =
      TcxComponentRemovedEvent(this, &TcxCustomDBEditDefaultValuesProvider::FreeNotificatorComponentRemoved);
}

TcxCustomDBEditDefaultValuesProvider::~TcxCustomDBEditDefaultValuesProvider() {
  FFreeNotificator.reset();
  FField = nullptr;
}

void TcxCustomDBEditDefaultValuesProvider::FreeNotificatorComponentRemoved(TObject*, TComponent* AComponent) {
  // The field has already left the notificator's lists; only forget it.
  if (AComponent == FField) FField = nullptr;
}

void TcxCustomDBEditDefaultValuesProvider::SetField(TField* Value) {
  if (Value == FField) return;
  if (FField) FFreeNotificator->RemoveSender(FField);
  FField = Value;
  if (FField) FFreeNotificator->AddSender(FField);
}

bool TcxCustomDBEditDefaultValuesProvider::IsFieldUsable() const {
  return FField && FField->DataSet() && FField->DataSet()->State() != dsInactive;
}

TAlignment TcxCustomDBEditDefaultValuesProvider::ProvideAlignment() {
  return IsFieldUsable() ? FField->Alignment() : inherited::ProvideAlignment();
}

Integer TcxCustomDBEditDefaultValuesProvider::ProvideBlobKind() {
  if (!IsFieldUsable()) return inherited::ProvideBlobKind();
  switch (FField->DataType()) {
    case ftMemo: case ftFmtMemo: case ftWideMemo: return BlobKindMemo;
    case ftGraphic: return BlobKindPicture;
    case ftParadoxOle: case ftDBaseOle: return BlobKindOle;
    default: return BlobKindNone;
  }
}

bool TcxCustomDBEditDefaultValuesProvider::ProvideCanModify() {
  if (ProvideReadOnly() || !IsFieldUsable()) return false;
  return FField->CanModify() || (FField->Lookup() && LookupKeyFieldsModifiable(FField));
}

String TcxCustomDBEditDefaultValuesProvider::ProvideDisplayFormat() {
  if (IsFieldUsable())
    if (auto* numeric = dynamic_cast<TNumericField*>(FField)) return numeric->DisplayFormat();
  return inherited::ProvideDisplayFormat();
}

String TcxCustomDBEditDefaultValuesProvider::ProvideEditFormat() {
  if (IsFieldUsable())
    if (auto* numeric = dynamic_cast<TNumericField*>(FField)) return numeric->EditFormat();
  return inherited::ProvideEditFormat();
}

String TcxCustomDBEditDefaultValuesProvider::ProvideEditMask() {
  return IsFieldUsable() ? FField->EditMask() : inherited::ProvideEditMask();
}

bool TcxCustomDBEditDefaultValuesProvider::ProvideIsFloat() {
  if (!IsFieldUsable()) return inherited::ProvideIsFloat();
  TFieldType type = FField->DataType();
  return type == ftFloat || type == ftCurrency || type == ftBCD;
}

Integer TcxCustomDBEditDefaultValuesProvider::ProvideMaxLength() {
  if (IsFieldUsable() && (FField->DataType() == ftString || FField->DataType() == ftWideString))
    return FField->Size();
  return inherited::ProvideMaxLength();
}

double TcxCustomDBEditDefaultValuesProvider::FieldLimit(bool AMax) {
  if (auto* integer = dynamic_cast<TIntegerField*>(FField)) return AMax ? integer->MaxValue() : integer->MinValue();
  if (auto* real = dynamic_cast<TFloatField*>(FField))
    return RoundToPrecision(AMax ? real->MaxValue() : real->MinValue(), real->Precision());
  if (auto* bcd = dynamic_cast<TBCDField*>(FField)) return (AMax ? bcd->MaxValue() : bcd->MinValue()).ToDouble();
  return AMax ? inherited::ProvideMaxValue() : inherited::ProvideMinValue();
}

double TcxCustomDBEditDefaultValuesProvider::ProvideMaxValue() {
  return IsFieldUsable() ? FieldLimit(true) : inherited::ProvideMaxValue();
}

double TcxCustomDBEditDefaultValuesProvider::ProvideMinValue() {
  return IsFieldUsable() ? FieldLimit(false) : inherited::ProvideMinValue();
}

Integer TcxCustomDBEditDefaultValuesProvider::ProvidePrecision() {
  if (auto* real = dynamic_cast<TFloatField*>(FField)) return real->Precision();
  if (auto* bcd = dynamic_cast<TBCDField*>(FField)) return bcd->Precision();
  if (auto* aggregate = dynamic_cast<TAggregateField*>(FField)) return aggregate->Precision();
  if (auto* fmtbcd = dynamic_cast<TFMTBCDField*>(FField)) return fmtbcd->Precision();
  return inherited::ProvidePrecision();
}

bool TcxCustomDBEditDefaultValuesProvider::ProvideReadOnly() {
  return IsFieldUsable() ? FField->ReadOnly() : inherited::ProvideReadOnly();
}

bool TcxCustomDBEditDefaultValuesProvider::ProvideRequired() {
  return IsFieldUsable() ? FField->Required() : inherited::ProvideRequired();
}

bool TcxCustomDBEditDefaultValuesProvider::ProvideIsBlob() { return IsFieldUsable() && FField->IsBlob(); }

bool FieldCurrency(TField* AField) {
  if (auto* real = dynamic_cast<TFloatField*>(AField)) return real->currency();
  if (auto* bcd = dynamic_cast<TBCDField*>(AField)) return bcd->currency();
  if (auto* aggregate = dynamic_cast<TAggregateField*>(AField)) return aggregate->currency();
  if (auto* fmtbcd = dynamic_cast<TFMTBCDField*>(AField)) return fmtbcd->currency();
  return false;
}

bool TcxCustomDBEditDefaultValuesProvider::ProvideIsCurrency() {
  if (IsFieldUsable()) return FieldCurrency(FField);
  return inherited::ProvideIsCurrency();
}

bool TcxCustomDBEditDefaultValuesProvider::HasDisplayFormat(bool ACurrencyFormat) {
  if (!IsFieldUsable()) return false;
  if (FField->OnGetText) return true;
  if (ACurrencyFormat) {
    if (auto* real = dynamic_cast<TFloatField*>(FField); real && real->currency()) return true;
    if (auto* bcd = dynamic_cast<TBCDField*>(FField); bcd && bcd->currency()) return true;
    if (auto* fmtbcd = dynamic_cast<TFMTBCDField*>(FField); fmtbcd && fmtbcd->currency()) return true;
  }
  if (auto* dateTime = dynamic_cast<TDateTimeField*>(FField)) return !dateTime->DisplayFormat().empty();
  if (auto* numeric = dynamic_cast<TNumericField*>(FField)) return !numeric->DisplayFormat().empty();
  if (auto* aggregate = dynamic_cast<TAggregateField*>(FField))
    return !aggregate->DisplayFormat().empty() || (ACurrencyFormat && aggregate->currency());
  return false;
}

bool TcxCustomDBEditDefaultValuesProvider::HasEmptyDisplayFormat() {
  return HasDisplayFormat(false) && ProvideDisplayFormat().empty();
}

bool TcxCustomDBEditDefaultValuesProvider::AcceptsChar(Char AChar) {
  if (!IsFieldUsable()) return inherited::AcceptsChar(AChar);
  return static_cast<bool>(FField->OnGetText) || FField->IsValidChar(AChar);
}
