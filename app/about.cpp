#include "app/about.h"

#include "platform/rtl/sysutils.h"
#include "store/pubfunc.h"

namespace {

constexpr Integer FormClientWidth = 370;
constexpr Integer FormClientHeight = 218;
constexpr TColor FormColour = 14145454;
constexpr Integer PictureSide = 128;
constexpr Integer TextLeft = 170;

TLabel* NewLabel(TForm* Form, const String& Caption, const String& FontName, Integer Top) {
  auto* label = new TLabel(Form);
  label->SetParent(Form);
  label->SetBounds(TextLeft, Top, 0, 0);  // placed first: the caption then sizes the label
  label->Font()->SetName(FontName);
  label->SetTransparent(true);
  label->SetCaption(Caption);
  return label;
}

}  // namespace

Tfrm_about::Tfrm_about(TComponent* AOwner) : TForm(AOwner) {
  SetName(u"frm_about");
  SetCaption(u"关于");
  SetBorderStyle(bsDialog);
  SetPosition(poMainFormCenter);
  SetClientWidth(FormClientWidth);
  SetClientHeight(FormClientHeight);
  SetColor(FormColour);

  Image1 = new TImage(this);
  Image1->SetParent(this);
  Image1->SetBounds(20, (FormClientHeight - PictureSide) / 2, PictureSide, PictureSide);
  Image1->SetCenter(true);
  try {
    Image1->Picture()->LoadFromFile(ProgramFolder() + AboutPictureFile);
  } catch (Exception&) {
    Image1->Picture()->Assign(nullptr);  // no picture: the box shows without it
  }

  Label4 = NewLabel(this, u"Korvane", u"黑体", 40);
  Label4->Font()->SetHeight(-19);
  Label4->Font()->SetStyle(fsBold);
  Label1 = NewLabel(this, u"Korvane", u"宋体", 86);
  Label2 = NewLabel(this, u"版本：2.0", u"宋体", 116);

  btn_ok = new TButton(this);
  btn_ok->SetParent(this);
  btn_ok->SetCaption(u"确定");
  btn_ok->SetDefault(true);
  btn_ok->SetCancel(true);
  btn_ok->SetBounds(FormClientWidth - 95, FormClientHeight - 40, 75, 25);
  btn_ok->OnClick = TNotifyEvent(this, &Tfrm_about::btn_okClick);
}

void Tfrm_about::btn_okClick(TObject*) { Close(); }
