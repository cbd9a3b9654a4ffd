// Editor styles: the three editor values, their assigned bits and their
// resolution (own value, else the style controller's style for the state,
// else the default), state styles deferring to the normal style, the
// editor style controller and the global default controller.
#include "editors/cxEditStyles.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/gui/graphics.h"
#include "platform/rtl/exceptions.h"

namespace {

// An editor as its styles see it.
class TTestEdit : public TComponent, public IcxEditStyleOwner {
  KORVANE_CLASS(TTestEdit, TComponent)
  TTestEdit() : TComponent(nullptr) {}
  TcxEditStyleValues GetIgnoredStyleValues() override { return Ignored; }
  bool UsesDefaultEditStyleController() override { return UsesDefault; }
  TcxEditStyleValues Ignored = 0;
  bool UsesDefault = false;
};

// The four styles of an editor.
struct TEditStyles {
  TcxContainerStyles Styles;
  explicit TEditStyles(TPersistent* AOwner)
      : Styles(AOwner, TcxEditStyle::StaticClass(), TcxEditStyleEx::StaticClass()) {}
  TcxCustomEditStyle* Get(TcxContainerStateIndex AState) const {
    return static_cast<TcxCustomEditStyle*>(Styles.GetStyleByState(AState));
  }
  TcxCustomEditStyle* Normal() const { return Get(cxsiNormal); }
  TcxCustomEditStyle* Focused() const { return Get(cxsiFocused); }
  TcxCustomEditStyle* Disabled() const { return Get(cxsiDisabled); }
  TcxCustomEditStyle* Hot() const { return Get(cxsiHot); }
};

struct TNoticeCounter {
  Integer Count = 0;
  void Changed(TObject*) { ++Count; }
};

class cxEditStylesTest : public ::testing::Test {
protected:
  void SetUp() override { EnsureGuiRuntime(); }
  void TearDown() override { cxEditStylesFinalize(); }
};

TEST_F(cxEditStylesTest, ValuesNamesAndDefaults) {
  TTestEdit edit;
  TEditStyles styles(&edit);
  TcxCustomEditStyle* normal = styles.Normal();
  EXPECT_EQ(normal->StyleValueCount(), 13);
  EXPECT_EQ(normal->NameOfStyleValue(svButtonStyle), u"ButtonStyle");
  EXPECT_EQ(normal->NameOfStyleValue(svButtonTransparency), u"ButtonTransparency");
  EXPECT_EQ(normal->NameOfStyleValue(svPopupBorderStyle), u"PopupBorderStyle");
  EXPECT_EQ(normal->NameOfStyleValue(csvBorderStyle), u"BorderStyle");
  EXPECT_THROW(normal->NameOfStyleValue(13), EListError);
  EXPECT_THROW(normal->NameOfStyleValue(-1), EListError);

  for (TcxContainerStateIndex state : {cxsiNormal, cxsiFocused, cxsiDisabled, cxsiHot}) {
    TcxCustomEditStyle* style = styles.Get(state);
    EXPECT_EQ(style->ButtonStyle(), btsDefault) << state;
    EXPECT_EQ(style->ButtonTransparency(), ebtNone) << state;
    EXPECT_EQ(style->PopupBorderStyle(), epbsDefault) << state;
    EXPECT_EQ(style->PopupFlag(), 1) << state;
    EXPECT_FALSE(style->IsValueAssigned(svButtonStyle)) << state;
  }
  EXPECT_EQ(normal->AssignedValues(), 0u);

  // The border style in the editor's terms.
  normal->SetBorderStyle(ebsOffice11);
  EXPECT_EQ(normal->BorderStyle(), ebsOffice11);
  EXPECT_EQ(static_cast<TcxCustomContainerStyle*>(normal)->BorderStyle(), cbsOffice11);
  normal->SetBorderStyle(cbsFlat);
  EXPECT_EQ(normal->BorderStyle(), ebsFlat);
}

TEST_F(cxEditStylesTest, OwnValueThenControllersStyleForTheStateThenDefault) {
  TTestEdit edit;
  TEditStyles styles(&edit);
  TcxEditStyleController controller(nullptr);
  styles.Normal()->SetStyleController(&controller);

  // The controller's focused style fills the focused style; the normal style
  // is the default of every state style.
  controller.Style()->SetButtonStyle(btsFlat);
  controller.StyleFocused()->SetButtonStyle(btsHotFlat);
  EXPECT_EQ(styles.Normal()->ButtonStyle(), btsFlat);
  EXPECT_EQ(styles.Focused()->ButtonStyle(), btsHotFlat);
  EXPECT_EQ(styles.Hot()->ButtonStyle(), btsFlat);
  EXPECT_EQ(styles.Disabled()->ButtonStyle(), btsFlat);
  EXPECT_TRUE(styles.Normal()->IsValueAssigned(svButtonStyle));
  EXPECT_TRUE(styles.Focused()->IsValueAssigned(svButtonStyle));
  EXPECT_FALSE(styles.Hot()->IsValueAssigned(svButtonStyle));
  EXPECT_EQ(styles.Normal()->AssignedValues(), 0u);

  // Own values win, on each state.
  styles.Normal()->SetButtonStyle(btsUltraFlat);
  styles.Hot()->SetButtonStyle(bts3D);
  EXPECT_EQ(styles.Normal()->ButtonStyle(), btsUltraFlat);
  EXPECT_EQ(styles.Focused()->ButtonStyle(), btsHotFlat);
  EXPECT_EQ(styles.Hot()->ButtonStyle(), bts3D);
  EXPECT_EQ(styles.Disabled()->ButtonStyle(), btsUltraFlat);
  EXPECT_EQ(styles.Hot()->AssignedValues(), StyleValueBit(svButtonStyle));

  // The controllers chain, for all three values.
  TcxEditStyleController outer(nullptr);
  controller.Style()->SetStyleController(&outer);
  outer.Style()->SetButtonTransparency(ebtHideInactive);
  outer.Style()->SetPopupBorderStyle(epbsFrame3D);
  EXPECT_EQ(styles.Normal()->ButtonTransparency(), ebtHideInactive);
  EXPECT_EQ(styles.Focused()->ButtonTransparency(), ebtHideInactive);  // via the normal style
  EXPECT_EQ(styles.Normal()->PopupBorderStyle(), epbsFrame3D);
  EXPECT_TRUE(styles.Normal()->IsValueAssigned(svPopupBorderStyle));

  // Clearing the own set brings the controller's values back.
  styles.Normal()->SetAssignedValues(0);
  EXPECT_EQ(styles.Normal()->ButtonStyle(), btsFlat);

  // Without a controller only own values and defaults remain.
  styles.Normal()->SetStyleController(nullptr);
  EXPECT_EQ(styles.Normal()->ButtonStyle(), btsDefault);
  EXPECT_EQ(styles.Focused()->ButtonStyle(), btsDefault);
  EXPECT_EQ(styles.Normal()->ButtonTransparency(), ebtNone);
}

TEST_F(cxEditStylesTest, EditorShowsControllersFlatButtonsUntilItsOwnStyleAssignsAnother) {
  TTestEdit edit;
  TEditStyles styles(&edit);
  TcxEditStyleController controller(nullptr);
  controller.Style()->SetButtonStyle(btsFlat);
  styles.Normal()->SetStyleController(&controller);
  EXPECT_EQ(styles.Normal()->ButtonStyle(), btsFlat);
  EXPECT_EQ(styles.Focused()->ButtonStyle(), btsFlat);  // a focused style that assigns none
  styles.Normal()->SetButtonStyle(btsOffice11);
  EXPECT_EQ(styles.Normal()->ButtonStyle(), btsOffice11);
  EXPECT_EQ(styles.Focused()->ButtonStyle(), btsOffice11);
}

TEST_F(cxEditStylesTest, StateStylesHandTransparencyPopupBorderAndFlagToTheMaster) {
  TTestEdit edit;
  TEditStyles styles(&edit);
  TNoticeCounter notices;
  styles.Styles.SetOnChanged(TNotifyEvent(&notices, &TNoticeCounter::Changed));

  styles.Hot()->SetButtonTransparency(ebtAlways);
  styles.Focused()->SetPopupBorderStyle(epbsFlat);
  styles.Disabled()->SetPopupFlag(0);
  EXPECT_EQ(styles.Normal()->ButtonTransparency(), ebtAlways);
  EXPECT_EQ(styles.Normal()->PopupBorderStyle(), epbsFlat);
  EXPECT_EQ(styles.Normal()->PopupFlag(), 0);
  EXPECT_EQ(styles.Hot()->PopupFlag(), 0);
  EXPECT_EQ(styles.Hot()->ButtonTransparency(), ebtAlways);
  EXPECT_EQ(styles.Normal()->AssignedValues(), StyleValueBit(svButtonTransparency) | StyleValueBit(svPopupBorderStyle));
  EXPECT_EQ(styles.Hot()->AssignedValues(), 0u);
  EXPECT_EQ(notices.Count, 3);

  // ButtonStyle stays with the state style.
  styles.Hot()->SetButtonStyle(btsSimple);
  EXPECT_EQ(styles.Normal()->ButtonStyle(), btsDefault);

  // The same value again changes nothing.
  notices.Count = 0;
  styles.Hot()->SetButtonStyle(btsSimple);
  styles.Hot()->SetButtonTransparency(ebtAlways);
  styles.Normal()->SetPopupBorderStyle(epbsFlat);
  styles.Normal()->SetPopupFlag(0);
  EXPECT_EQ(notices.Count, 0);
}

TEST_F(cxEditStylesTest, AssignCopiesEditorAndContainerValuesWithOneNotice) {
  TEditStyles source(nullptr), target(nullptr);
  source.Normal()->SetButtonStyle(btsHotFlat);
  source.Normal()->SetButtonTransparency(ebtInactive);
  source.Normal()->SetPopupBorderStyle(epbsSingle);
  source.Normal()->SetPopupFlag(0);
  source.Normal()->SetBorderColor(clRed);

  TNoticeCounter notices;
  target.Normal()->OnChanged = TNotifyEvent(&notices, &TNoticeCounter::Changed);
  target.Normal()->Assign(source.Normal());
  EXPECT_EQ(notices.Count, 1);
  EXPECT_EQ(target.Normal()->ButtonStyle(), btsHotFlat);
  EXPECT_EQ(target.Normal()->ButtonTransparency(), ebtInactive);
  EXPECT_EQ(target.Normal()->PopupBorderStyle(), epbsSingle);
  EXPECT_EQ(target.Normal()->PopupFlag(), 0);
  EXPECT_EQ(target.Normal()->BorderColor(), clRed);
  EXPECT_EQ(target.Normal()->AssignedValues(), source.Normal()->AssignedValues());

  // From a plain container style: the container values and its assigned
  // set, which has no editor bits.
  TcxContainerStyle plain(nullptr, false);
  plain.SetColor(clYellow);
  target.Normal()->Assign(&plain);
  EXPECT_EQ(target.Normal()->Color(), clYellow);
  EXPECT_FALSE(target.Normal()->IsValueAssigned(svButtonStyle));
  EXPECT_EQ(target.Normal()->ButtonStyle(), btsDefault);

  TcxEditStyleController notAStyle(nullptr);
  EXPECT_THROW(target.Normal()->Assign(&notAStyle), EConvertError);
}

TEST_F(cxEditStylesTest, OnlyAssignedValuesTheEditorKindUsesAreStored) {
  TTestEdit edit;
  TEditStyles styles(&edit);
  TcxCustomEditStyle* normal = styles.Normal();
  EXPECT_FALSE(normal->IsButtonStyleStored());
  normal->SetBorderStyle(ebsSingle);
  normal->SetButtonStyle(btsFlat);
  normal->SetButtonTransparency(ebtAlways);
  normal->SetPopupBorderStyle(epbsFlat);

  struct TCase {
    TcxEditStyleValues Ignored;
    bool Border, Button, Transparency, Popup;
  };
  const TCase cases[] = {
      // a plain editor ignores the three editor values
      {StyleValueBit(svButtonStyle) | StyleValueBit(svButtonTransparency) | StyleValueBit(svPopupBorderStyle), true,
       false, false, false},
      // a button editor ignores only the popup border
      {StyleValueBit(svPopupBorderStyle), true, true, true, false},
      // a drop-down editor ignores none
      {0, true, true, true, true},
      {StyleValueBit(csvBorderStyle), false, true, true, true},
  };
  for (const TCase& c : cases) {
    edit.Ignored = c.Ignored;
    EXPECT_EQ(normal->IsBorderStyleStored(), c.Border) << c.Ignored;
    EXPECT_EQ(normal->IsButtonStyleStored(), c.Button) << c.Ignored;
    EXPECT_EQ(normal->IsButtonTransparencyStored(), c.Transparency) << c.Ignored;
    EXPECT_EQ(normal->IsPopupBorderStyleStored(), c.Popup) << c.Ignored;
  }
  // A value that comes from a controller is not stored.
  TEditStyles other(&edit);
  TcxEditStyleController controller(nullptr);
  controller.Style()->SetButtonStyle(btsFlat);
  other.Normal()->SetStyleController(&controller);
  EXPECT_FALSE(other.Normal()->IsButtonStyleStored());
  // Not owned by an editor: stored when assigned.
  TEditStyles loose(nullptr);
  loose.Normal()->SetPopupBorderStyle(epbsFlat);
  EXPECT_TRUE(loose.Normal()->IsPopupBorderStyleStored());
}

TEST_F(cxEditStylesTest, EditorsFallBackToTheGlobalDefaultController) {
  TTestEdit edit;
  edit.UsesDefault = true;
  TEditStyles styles(&edit);
  TcxEditStyleController* global = DefaultEditStyleController();
  ASSERT_NE(global, nullptr);
  EXPECT_EQ(DefaultEditStyleController(), global);
  EXPECT_EQ(styles.Normal()->DefaultStyleController(), global);
  EXPECT_EQ(styles.Focused()->DefaultStyleController(), nullptr);
  EXPECT_EQ(global->Style()->DefaultStyleController(), nullptr);  // a controller's own styles

  global->Style()->SetButtonStyle(bts3D);
  global->StyleHot()->SetButtonTransparency(ebtHideUnselected);
  EXPECT_EQ(styles.Normal()->ButtonStyle(), bts3D);
  EXPECT_EQ(styles.Hot()->ButtonStyle(), bts3D);
  EXPECT_EQ(styles.Normal()->StyleController(), nullptr);  // the default one reads as none

  // An editor that opts out, and styles of anything else, have none.
  TTestEdit optedOut;
  TEditStyles other(&optedOut);
  EXPECT_EQ(other.Normal()->DefaultStyleController(), nullptr);
  EXPECT_EQ(other.Normal()->ButtonStyle(), btsDefault);
  TEditStyles loose(nullptr);
  EXPECT_EQ(loose.Normal()->DefaultStyleController(), nullptr);

  // Attached explicitly (none given means the default), the style hears of
  // the controller's end and keeps working.
  styles.Normal()->SetStyleController(nullptr);
  EXPECT_TRUE(global->HasListener(styles.Normal()));
  cxEditStylesFinalize();
  EXPECT_EQ(styles.Normal()->StyleController(), nullptr);
  TcxEditStyleController* restarted = DefaultEditStyleController();
  ASSERT_NE(restarted, nullptr);
  EXPECT_EQ(styles.Normal()->ButtonStyle(), btsDefault);  // the new one assigns nothing
}

TEST_F(cxEditStylesTest, EditStyleControllerHasEditStyles) {
  TcxEditStyleController controller(nullptr);
  EXPECT_TRUE(controller.TcxStyleController::Style()->InheritsFrom(TcxEditStyle::StaticClass()));
  for (TcxCustomContainerStyle* s : {controller.TcxStyleController::StyleDisabled(),
                                     controller.TcxStyleController::StyleFocused(),
                                     controller.TcxStyleController::StyleHot()})
    EXPECT_EQ(s->ClassType(), TcxEditStyleEx::StaticClass());
  EXPECT_EQ(controller.StyleFocused()->MasterStyle(), controller.Style());

  // The setters assign into the controller's styles.
  TEditStyles given(nullptr);
  given.Normal()->SetButtonStyle(btsSimple);
  given.Hot()->SetButtonStyle(btsFlat);
  controller.SetStyle(static_cast<TcxEditStyle*>(given.Normal()));
  controller.SetStyleHot(static_cast<TcxEditStyleEx*>(given.Hot()));
  EXPECT_EQ(controller.Style()->ButtonStyle(), btsSimple);
  EXPECT_EQ(controller.StyleHot()->ButtonStyle(), btsFlat);

  // Its style changes reach OnStyleChanged.
  TNoticeCounter notices;
  controller.OnStyleChanged = TNotifyEvent(&notices, &TNoticeCounter::Changed);
  controller.StyleDisabled()->SetButtonStyle(bts3D);
  EXPECT_EQ(notices.Count, 1);
}

TEST_F(cxEditStylesTest, DirectModeStyleHoldsOnlyWhatItIsGiven) {
  TcxEditStyle direct(nullptr, true);
  TcxEditStyleController controller(nullptr);
  controller.Style()->SetButtonStyle(btsFlat);
  direct.SetStyleController(&controller);  // refused in direct mode
  EXPECT_EQ(direct.ButtonStyle(), btsDefault);
  direct.SetButtonStyle(btsOffice11);
  direct.SetPopupBorderStyle(epbsFrame3D);
  EXPECT_EQ(direct.ButtonStyle(), btsOffice11);
  EXPECT_EQ(direct.PopupBorderStyle(), epbsFrame3D);
  EXPECT_EQ(direct.ButtonTransparency(), ebtNone);
  EXPECT_EQ(direct.DefaultStyleController(), nullptr);
}

}  // namespace
