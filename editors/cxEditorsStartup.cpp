#include "editors/cxEditorsStartup.h"

#include "editors/cxBlobEdit.h"
#include "editors/cxCalc.h"
#include "editors/cxCheckBox.h"
#include "editors/cxCurrencyEdit.h"
#include "editors/cxDateEdit.h"
#include "editors/cxDBLookupComboBox.h"
#include "editors/cxDropDownEdit.h"
#include "editors/cxEditProperties.h"
#include "editors/cxEditRepository.h"
#include "editors/cxEditRepositoryItems.h"
#include "editors/cxHyperLinkEdit.h"
#include "editors/cxImage.h"
#include "editors/cxImageComboBox.h"
#include "editors/cxMaskEdit.h"
#include "editors/cxMemo.h"
#include "editors/cxMRUEdit.h"
#include "editors/cxRadioGroup.h"
#include "editors/cxSpinEdit.h"
#include "editors/cxTimeEdit.h"

void cxEditorsInitialize() {
  cxTextAndMaskEditInitialize();
  cxDropDownEditInitialize();
  cxSpinEditInitialize();
  cxTimeEditInitialize();
  cxCurrencyEditInitialize();
  cxCalcEditInitialize();
  cxDateEditInitialize();
  cxMemoRegister();
  cxImageRegister();
  cxImageComboBoxInitialize();
  cxBlobEditRegister();
  cxCheckBoxRegister();
  cxRadioGroupRegister();
  cxMRUEditInitialize();
  cxHyperLinkEditInitialize();
  cxDBLookupComboBoxInitialize();
  RegisterRepositoryItemClasses();
  RegisterDataRepositoryItems();
  RegisterDBRepositoryItems();
}

void cxEditorsFinalize() {
  UnregisterDBRepositoryItems();
  UnregisterDataRepositoryItems();
  UnregisterRepositoryItemClasses();
  cxEditRepositoryFinalize();
  cxDBLookupComboBoxFinalize();
  cxHyperLinkEditFinalize();
  cxMRUEditFinalize();
  cxRadioGroupUnregister();
  cxCheckBoxUnregister();
  cxBlobEditFinalize();
  cxImageComboBoxFinalize();
  cxImageMenuGlyphsFree();
  cxDateEditFinalize();
  cxCalcEditFinalize();
  cxCurrencyEditFinalize();
  cxTimeEditFinalize();
  cxSpinEditFinalize();
  cxDropDownEditFinalize();
  cxTextAndMaskEditFinalize();
  // The memo and image kinds have no finaliser of their own: the registry
  // goes with them.
  cxEditPropertiesFinalize();
}
