#pragma once
// The in-place editing container: the data controller an editing control
// owns, and what that controller asks of its control.
#include "data/cxData.h"
#include "platform/rtl/types.h"

// What the data controller of an editing control asks of the control.
class IcxControlDataControllerOwner {
public:
  virtual ~IcxControlDataControllerOwner() = default;
  // The control's item list (columns), 0 .. count - 1.
  virtual TObject* GetControlItem(Integer AIndex) const = 0;
  // Each item's index becomes its position in the item list.
  virtual void UpdateControlItemIndexes() {}
  // Every change notice of the data controller (the caller frees it).
  virtual void ApplyDataChange(TcxUpdateControlInfo*) {}
  // An edit is pending: the open in-place editor's value goes into the record.
  virtual void StoreCellEditorValue() {}
};

// The data controller an editing control owns: items are the control's
// columns and every notice goes to the control.
class TcxControlDataController : public TcxDataController {
  KORVANE_CLASS(TcxControlDataController, TcxDataController)

  TcxControlDataController(TComponent* AOwner, IcxControlDataControllerOwner* AControl)
      : TcxDataController(AOwner), FControl(AControl) {}

  IcxControlDataControllerOwner* Control() const { return FControl; }
  TObject* GetItem(Integer AIndex) const override { return FControl->GetControlItem(AIndex); }
  void NotifyControl(TcxUpdateControlInfo* AInfo) override;
  void UpdateControlData() override { FControl->StoreCellEditorValue(); }

private:
  IcxControlDataControllerOwner* FControl;
};
