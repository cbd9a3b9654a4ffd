#pragma once
// The record-kind dialog, asked before a record is created or imported:
// a full record ("元数据", the default) or a core record ("核心元数据").
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"

class Tfrm_kind : public TForm {
  KORVANE_CLASS(Tfrm_kind, TForm)
  explicit Tfrm_kind(TComponent* AOwner);

  TRadioButton* rb_notCore = nullptr;
  TRadioButton* rb_core = nullptr;
  TButton* btn_ok = nullptr;      // closes with mrOk
  TButton* btn_cancel = nullptr;  // closes with mrCancel

  // True exactly when rb_core was checked as OK closed the dialog.
  bool IsCore() const { return FIsCore; }

  void btn_okClick(TObject* Sender);
  void btn_cancelClick(TObject* Sender);

private:
  bool FIsCore = false;
};
