#pragma once
// The plain data controller without a dataset: its records live in its own
// storage; each item is the object given to AddItemField.
#include "data/cxCustomDataController.h"

class TcxDataController : public TcxCustomDataController {
  KORVANE_CLASS(TcxDataController, TcxCustomDataController)

  explicit TcxDataController(TComponent* AOwner) : TcxCustomDataController(AOwner) {}
  // The item object of the data field at AIndex.
  TObject* GetItem(Integer AIndex) const override;
};
