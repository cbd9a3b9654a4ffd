// The lookup data an editor owns: the class each editor kind names for it,
// the model building it through that class, and a kind that names none
// (typing, keys, the wheel and the popup work without completion or
// stepping, and no list style refuses a text).
#include <gtest/gtest.h>

#include <memory>

#include "../platform/gui/guitestutil.h"
#include "editors/cxBlobEdit.h"
#include "editors/cxCalc.h"
#include "editors/cxCurrencyEdit.h"
#include "editors/cxDateEdit.h"
#include "editors/cxDropDownEdit.h"
#include "editors/cxHyperLinkEdit.h"
#include "editors/cxImageComboBox.h"
#include "editors/cxMRUEdit.h"
#include "editors/cxMaskEdit.h"
#include "editors/cxMemo.h"
#include "editors/cxSpinEdit.h"
#include "editors/cxTextEdit.h"
#include "editors/cxTimeEdit.h"
#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "tests/editors/cxEditKeyScript.h"

namespace {

TEST(cxTextEditLookupData, EachKindNamesItsLookupDataClassAndTheModelBuildsIt) {
  struct TCase {
    TcxCustomEditPropertiesClass Kind;
    TClass LookupData;
  };
  const TClass plain = TcxCustomTextEditLookupData::StaticClass();
  const TClass combo = TcxComboBoxLookupData::StaticClass();
  const TCase cases[] = {
      {TcxTextEditProperties::StaticClass(), plain},     {TcxMaskEditProperties::StaticClass(), plain},
      {TcxMemoProperties::StaticClass(), plain},         {TcxHyperLinkEditProperties::StaticClass(), plain},
      {TcxSpinEditProperties::StaticClass(), plain},     {TcxCurrencyEditProperties::StaticClass(), plain},
      {TcxTimeEditProperties::StaticClass(), plain},     {TcxDropDownEditProperties::StaticClass(), plain},
      {TcxPopupEditProperties::StaticClass(), plain},    {TcxDateEditProperties::StaticClass(), plain},
      {TcxCalcEditProperties::StaticClass(), plain},     {TcxBlobEditProperties::StaticClass(), plain},
      {TcxComboBoxProperties::StaticClass(), combo},     {TcxMRUEditProperties::StaticClass(), combo},
      {TcxImageComboBoxProperties::StaticClass(), TcxImageComboBoxLookupData::StaticClass()},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(Utf8(c.Kind->ClassName()));
    std::unique_ptr<TcxCustomEditProperties> created(c.Kind->Create(nullptr));
    auto* properties = dynamic_cast<TcxCustomTextEditProperties*>(created.get());
    ASSERT_NE(properties, nullptr);
    ASSERT_EQ(properties->GetLookupDataClass(), c.LookupData);
    EXPECT_TRUE(properties->HasLookupData());
    TcxTextEditModel model(properties);
    ASSERT_NE(model.LookupData(), nullptr);
    EXPECT_EQ(model.LookupData()->ClassType(), c.LookupData);
    EXPECT_EQ(model.LookupData()->GetEditProperties(), properties);
  }
}

TEST(cxTextEditLookupData, TheImageComboBoxReadsItsItemsByDescription) {
  TcxImageComboBoxProperties properties(nullptr);
  for (const char16_t* text : {u"石英 quartz", u"长石 feldspar"}) properties.Items()->Add()->SetDescription(text);
  TcxImageComboBoxLookupData data(&properties);
  EXPECT_EQ(data.GetItemCount(), 2);
  EXPECT_EQ(data.GetItemText(1), u"长石 feldspar");
  EXPECT_EQ(data.GetItemText(2), u"");
  EXPECT_EQ(data.GetItemText(-1), u"");
  // Built for another kind it falls back to that kind's lookup items.
  TcxComboBoxProperties plain(nullptr);
  plain.Items()->Add(u"one");
  TcxImageComboBoxLookupData other(&plain);
  EXPECT_EQ(other.GetItemCount(), 1);
  EXPECT_EQ(other.GetItemText(0), u"one");
}

// A kind without lookup data, in the list style the test picks; its items
// are still there, as a kind may keep them for other uses.
class TNoLookupProperties : public TcxCustomDropDownEditProperties {
  KORVANE_CLASS(TNoLookupProperties, TcxCustomDropDownEditProperties)
  using TcxCustomDropDownEditProperties::TcxCustomDropDownEditProperties;
  TcxCustomTextEditLookupDataClass GetLookupDataClass() const override { return nullptr; }
  TcxEditEditingStyle EditingStyle() const override { return Style; }
  TcxEditEditingStyle Style = esEditing;
};

void AddItems(TcxCustomTextEditProperties& AProperties) {
  for (const char16_t* item : {u"apple", u"apricot", u"banana"}) AProperties.LookupItems()->Add(item);
}

TEST(cxTextEditLookupData, AModelWithoutLookupDataTypesAndStepsNothingInEveryStyle) {
  struct TStyleCase {
    TcxEditEditingStyle Style;
    const char16_t* Typed;        // after typing "ap"
    const char16_t* AfterDelete;  // after one Backspace
  };
  // The fixed list's typed character replaces the whole text.
  const TStyleCase cases[] = {{esEditing, u"ap", u"a"}, {esEditList, u"ap", u"a"}, {esFixedList, u"p", u""}};
  for (const TStyleCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Style));
    TNoLookupProperties properties(nullptr);
    properties.Style = c.Style;
    AddItems(properties);
    EXPECT_FALSE(properties.HasLookupData());
    // No list to hold a text to: any text is acceptable.
    String text = u"cherry";
    EXPECT_TRUE(properties.IsDisplayValueAcceptable(text));
    TcxTextEditModel model(&properties);
    EXPECT_EQ(model.LookupData(), nullptr);
    EXPECT_EQ(model.LookupItemCount(), 0);
    model.SetAllowsLookupStepping(true);
    model.CommitText(u"ap");  // no completion
    EXPECT_EQ(model.Text(), c.Typed);
    EXPECT_FALSE(model.LookupPending());
    Char backspace = 8;
    model.KeyPress(backspace);
    EXPECT_EQ(model.Text(), c.AfterDelete);
    for (Word key : {VK_DOWN, VK_UP, VK_NEXT, VK_PRIOR}) {
      Word k = key;
      model.KeyDown(k, 0);
    }
    model.StepLookupItem(lsNext);
    EXPECT_EQ(model.Text(), c.AfterDelete);
  }
}

// A drop-down editor of that kind, its popup holding nothing.
class TNoLookupEdit : public TcxCustomDropDownEdit {
  KORVANE_CLASS(TNoLookupEdit, TcxCustomDropDownEdit)
  using TcxCustomDropDownEdit::TcxCustomDropDownEdit;
  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TNoLookupProperties::StaticClass(); }
  bool CanDropDown() const override { return true; }
  TSize PopupContentSize() override { return TSize{120, 80}; }
};

TEST(cxTextEditLookupData, AnEditorWithoutLookupDataTypesWheelsAndOpensItsPopup) {
  TTestForm f(360, 200);
  auto* edit = f.Place<TNoLookupEdit>(20, 20, 160, 24);
  auto* properties = static_cast<TNoLookupProperties*>(edit->Properties());
  properties->Style = esEditList;
  AddItems(*properties);
  f.ShowForm(edit);
  ASSERT_EQ(edit->Model()->LookupData(), nullptr);
  f.Key(VK_F4);
  ASSERT_TRUE(edit->HasOpenPopup());
  f.Key(VK_DOWN);
  f.Key(VK_RETURN);
  EXPECT_FALSE(edit->HasOpenPopup());
  EXPECT_EQ(edit->Text(), u"");
  f.Type(u"ap");
  EXPECT_EQ(edit->Text(), u"ap");
  f.Key(VK_DOWN);
  TestWheel(edit->Handle(), TPoint{10, 10}, -1);
  Application->ProcessMessages();
  EXPECT_EQ(edit->Text(), u"ap");
  // Leaving the editor keeps the text: no list refuses it.
  f.Focus(f.Place<TcxTextEdit>(20, 80, 100, 24));
  EXPECT_EQ(edit->Text(), u"ap");
}

}  // namespace
