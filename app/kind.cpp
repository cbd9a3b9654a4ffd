#include "app/kind.h"

namespace {

constexpr Integer FormClientWidth = 293;
constexpr Integer FormClientHeight = 190;
constexpr Integer ButtonWidth = 75;
constexpr Integer ButtonHeight = 25;

}  // namespace

Tfrm_kind::Tfrm_kind(TComponent* AOwner) : TForm(AOwner) {
  SetName(u"frm_kind");
  SetCaption(u"元数据类型");
  SetBorderStyle(bsDialog);
  SetPosition(poMainFormCenter);
  SetClientWidth(FormClientWidth);
  SetClientHeight(FormClientHeight);

  rb_notCore = new TRadioButton(this);
  rb_notCore->SetParent(this);
  rb_notCore->SetCaption(u"元数据");
  rb_notCore->SetBounds(70, 36, 160, 20);
  rb_notCore->SetChecked(true);
  rb_core = new TRadioButton(this);
  rb_core->SetParent(this);
  rb_core->SetCaption(u"核心元数据");
  rb_core->SetBounds(70, 76, 160, 20);

  btn_ok = new TButton(this);
  btn_ok->SetParent(this);
  btn_ok->SetCaption(u"确定");
  btn_ok->SetDefault(true);
  btn_ok->SetBounds(50, 140, ButtonWidth, ButtonHeight);
  btn_ok->OnClick = TNotifyEvent(this, &Tfrm_kind::btn_okClick);
  btn_cancel = new TButton(this);
  btn_cancel->SetParent(this);
  btn_cancel->SetCaption(u"取消");
  btn_cancel->SetCancel(true);
  btn_cancel->SetBounds(FormClientWidth - 50 - ButtonWidth, 140, ButtonWidth, ButtonHeight);
  btn_cancel->OnClick = TNotifyEvent(this, &Tfrm_kind::btn_cancelClick);
}

void Tfrm_kind::btn_okClick(TObject*) {
  FIsCore = rb_core->Checked();
  SetModalResult(mrOk);
}

void Tfrm_kind::btn_cancelClick(TObject*) { SetModalResult(mrCancel); }
