// The editor kinds as owners of their styles: each real kind is the style
// owner of its four state styles and tells which editor values it ignores
// (those are never written with its style); and the global default style
// controller backs a real editor that has no controller of its own, down to
// the buttons its view lays out.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "../platform/gui/guitestutil.h"
#include "editors/cxBlobEdit.h"
#include "editors/cxCalc.h"
#include "editors/cxCheckBox.h"
#include "editors/cxDBLookupComboBox.h"
#include "editors/cxDateEdit.h"
#include "editors/cxDropDownEdit.h"
#include "editors/cxImage.h"
#include "editors/cxImageComboBox.h"
#include "editors/cxMRUEdit.h"
#include "editors/cxMaskEdit.h"
#include "editors/cxMemo.h"
#include "editors/cxRadioGroup.h"
#include "editors/cxTextEdit.h"

namespace {

constexpr TcxEditStyleValues kEditorValues =
    StyleValueBit(svButtonStyle) | StyleValueBit(svButtonTransparency) | StyleValueBit(svPopupBorderStyle);

template <class TEdit>
TcxCustomEdit* MakeEdit(TComponent* AOwner) {
  return new TEdit(AOwner);
}

struct TKindCase {
  const char* Name;
  TcxCustomEdit* (*Make)(TComponent*);
  TcxEditStyleValues Ignored;
};

// Kinds without buttons ignore the three editor values, the button editor
// only the popup's border, every kind with a popup none.
const TKindCase kKinds[] = {
    {"text", MakeEdit<TcxTextEdit>, kEditorValues},
    {"mask", MakeEdit<TcxMaskEdit>, kEditorValues},
    {"memo", MakeEdit<TcxMemo>, kEditorValues},
    {"check box", MakeEdit<TcxCheckBox>, kEditorValues},
    {"image", MakeEdit<TcxImage>, kEditorValues},
    {"radio group", MakeEdit<TcxRadioGroup>, kEditorValues},
    {"button", MakeEdit<TcxButtonEdit>, StyleValueBit(svPopupBorderStyle)},
    {"combo box", MakeEdit<TcxComboBox>, 0},
    {"popup", MakeEdit<TcxPopupEdit>, 0},
    {"date", MakeEdit<TcxDateEdit>, 0},
    {"calculator", MakeEdit<TcxCalcEdit>, 0},
    {"blob", MakeEdit<TcxBlobEdit>, 0},
    {"image combo box", MakeEdit<TcxImageComboBox>, 0},
    {"MRU", MakeEdit<TcxMRUEdit>, 0},
    {"lookup combo box", MakeEdit<TcxLookupComboBox>, 0},
};

class cxEditStyleOwners : public ::testing::Test {
protected:
  void SetUp() override { EnsureGuiRuntime(); }
  void TearDown() override {
    // Back to an untouched default controller for the next test.
    DefaultEditStyleController()->Style()->RestoreDefaults();
  }
};

TEST_F(cxEditStyleOwners, EveryKindOwnsItsStylesAndStoresOnlyTheValuesItUses) {
  for (const TKindCase& c : kKinds) {
    SCOPED_TRACE(c.Name);
    std::unique_ptr<TcxCustomEdit> edit(c.Make(nullptr));
    auto* owner = dynamic_cast<IcxEditStyleOwner*>(edit.get());
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(owner->GetIgnoredStyleValues(), c.Ignored);
    EXPECT_TRUE(owner->UsesDefaultEditStyleController());

    // Every value is assigned on the normal style and the state styles; only
    // the used ones are written with the style.
    TcxCustomEditStyle* style = edit->Style();
    style->SetButtonStyle(btsFlat);
    style->SetButtonTransparency(ebtAlways);
    style->SetPopupBorderStyle(epbsSingle);
    style->SetBorderStyle(ebsSingle);
    EXPECT_TRUE(style->IsValueAssigned(svButtonStyle));
    EXPECT_TRUE(style->IsValueAssigned(svPopupBorderStyle));
    EXPECT_EQ(style->IsButtonStyleStored(), !(c.Ignored & StyleValueBit(svButtonStyle)));
    EXPECT_EQ(style->IsButtonTransparencyStored(), !(c.Ignored & StyleValueBit(svButtonTransparency)));
    EXPECT_EQ(style->IsPopupBorderStyleStored(), !(c.Ignored & StyleValueBit(svPopupBorderStyle)));
    EXPECT_TRUE(style->IsBorderStyleStored());

    // A value that is not assigned is never stored, used or not.
    auto* focused = static_cast<TcxCustomEditStyle*>(edit->StyleFocused());
    EXPECT_FALSE(focused->IsButtonStyleStored());
    EXPECT_EQ(focused->ButtonStyle(), btsFlat);
  }
}

TEST_F(cxEditStyleOwners, TheGlobalDefaultControllerBacksARealEditor) {
  TTestForm form(320, 160);
  auto* combo = form.Place<TcxComboBox>(10, 10, 160, 24);
  auto* text = form.Place<TcxTextEdit>(10, 50, 160, 24);
  form.ShowForm();
  ASSERT_EQ(combo->Style()->StyleController(), nullptr);

  TcxEditStyle* defaults = DefaultEditStyleController()->Style();
  defaults->SetButtonStyle(btsUltraFlat);
  defaults->SetBorderStyle(ebsSingle);
  defaults->SetColor(clAqua);
  // Resolved through the controller: the editors' styles and the buttons
  // the combo box's view lays out.
  EXPECT_EQ(combo->Style()->ButtonStyle(), btsUltraFlat);
  EXPECT_EQ(text->Style()->BorderStyle(), ebsSingle);
  EXPECT_EQ(text->Style()->Color(), clAqua);
  combo->RefreshViewStateAtCursor();
  ASSERT_NE(combo->GetViewInfo(), nullptr);
  ASSERT_GT(combo->GetViewInfo()->ButtonCount(), 0);
  EXPECT_EQ(combo->GetViewInfo()->Button(0)->ButtonStyle, btsUltraFlat);

  // The editor's own value wins over the controller's; a state style that
  // assigns nothing shows what the normal style resolves to.
  combo->Style()->SetButtonStyle(bts3D);
  EXPECT_EQ(combo->Style()->ButtonStyle(), bts3D);
  EXPECT_EQ(static_cast<TcxCustomEditStyle*>(combo->StyleHot())->ButtonStyle(), bts3D);
  EXPECT_EQ(text->Style()->ButtonStyle(), btsUltraFlat);

  // A controller of its own replaces the global one.
  TcxEditStyleController own(nullptr);
  own.Style()->SetBorderStyle(ebsThick);
  text->Style()->SetStyleController(&own);
  EXPECT_EQ(text->Style()->BorderStyle(), ebsThick);
  EXPECT_EQ(text->Style()->ButtonStyle(), btsDefault);
  text->Style()->SetStyleController(nullptr);
  EXPECT_EQ(text->Style()->BorderStyle(), ebsSingle);
}

}  // namespace
