#pragma once
// The About box: the program's picture, name and version.
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"

// The picture of the box, under the program's folder; a missing or
// unreadable file leaves the image empty.
inline constexpr const char16_t* AboutPictureFile = u"images/about.png";

class Tfrm_about : public TForm {
  KORVANE_CLASS(Tfrm_about, TForm)
  explicit Tfrm_about(TComponent* AOwner);

  TImage* Image1 = nullptr;
  TLabel* Label4 = nullptr;  // the name, large
  TLabel* Label1 = nullptr;  // the name
  TLabel* Label2 = nullptr;  // the version
  TButton* btn_ok = nullptr;

  void btn_okClick(TObject* Sender);
};
