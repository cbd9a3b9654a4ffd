// The editor control: the edit value / modified / validate / post / reset
// state machine against a recording data binding, change notices, in-place
// activation by key and mouse, the in-place editor cache, repository items
// coming and going, and a modal form closed with OK over an invalid value.
#include "editors/cxEdit.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../platform/gui/guitestutil.h"
#include "../platform/gui/recordingdialogs.h"

#include "platform/gui/application.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/exceptions.h"

namespace {

class TTestEdit;

// A kind that validates (texts with "!" are refused by the test's handler
// when RefuseBang is on), can revert, and compares values when asked.
class TTestEditProperties : public TcxCustomEditProperties {
  KORVANE_CLASS(TTestEditProperties, TcxCustomEditProperties)
  using TcxCustomEditProperties::TcxCustomEditProperties;
  static TcxCustomEditClass GetEditorClass();
  bool CanValidateDisplayValue() const override { return true; }
  bool CanRevertEditValue() const override { return true; }
  bool DetectsValueChangeByCompare() const override { return Compares; }
  bool Compares = false;
};

class TOtherKindProperties : public TcxCustomEditProperties {
  KORVANE_CLASS(TOtherKindProperties, TcxCustomEditProperties)
  using TcxCustomEditProperties::TcxCustomEditProperties;
};

class TTestItem : public TcxEditRepositoryItem {
  KORVANE_CLASS(TTestItem, TcxEditRepositoryItem)
  using TcxEditRepositoryItem::TcxEditRepositoryItem;
  TcxCustomEditPropertiesClass GetPropertiesClass() const override { return TTestEditProperties::StaticClass(); }
};

// Stores the editor's value, or fails as a full disk would.
class TRecordingBinding : public TcxEditDataBinding {
  KORVANE_CLASS(TRecordingBinding, TcxEditDataBinding)
  using TcxEditDataBinding::TcxEditDataBinding;
  void StoreValue() override {
    if (Fail) throw Exception(u"disk full");
    Stored = Edit()->EditValue();
    ++Stores;
  }
  Variant Stored = Null();
  Integer Stores = 0;
  bool Fail = false;
};

// A text editor without a native edit: typed characters append to Text.
class TTestEdit : public TcxCustomEdit {
  KORVANE_CLASS(TTestEdit, TcxCustomEdit)
  using TcxCustomEdit::TcxCustomEdit;
  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TTestEditProperties::StaticClass(); }
  TcxEditDataBindingClass GetDataBindingClass() const override { return TRecordingBinding::StaticClass(); }
  TRecordingBinding* Binding() { return static_cast<TRecordingBinding*>(DataBinding()); }
  TTestEditProperties* TestProperties() { return static_cast<TTestEditProperties*>(Properties()); }

  String GetCurrentDisplayText() override { return Text; }
  void UpdateDisplayValue() override { Text = VarIsNull(EditValue()) ? String() : VarToStr(EditValue()); }
  void SetDisplayValue(const Variant& Value) override { Text = VarToStr(Value); }
  void SelectAllText() override { ++SelectAlls; }
  void CopyToClipboard() override { Clipboard += "copy "; }
  void CutToClipboard() override { Clipboard += "cut "; }
  void PasteFromClipboard() override { Clipboard += "paste "; }
  bool IsValueChangingChar(Char C) override { return C >= u' '; }
  void PropertiesChanged(TObject* Sender) override {
    ++PropertiesChanges;
    TcxCustomEdit::PropertiesChanged(Sender);
  }
  void DblClick() override {
    ++DblClicks;
    TcxCustomEdit::DblClick();
  }
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override {
    Presses.push_back(TPoint{X, Y});
    TcxCustomEdit::MouseDown(Button, Shift, X, Y);
  }

  String Text;
  std::string Clipboard;  // the clipboard operations run, in order
  Integer SelectAlls = 0;
  Integer PropertiesChanges = 0;
  Integer DblClicks = 0;
  std::vector<TPoint> Presses;

protected:
  void InternalSetDisplayValue(const Variant& Value) override { InternalSetEditValue(Value, false); }
  void HandleKeyPressed(Char& Key) override {
    TcxCustomEdit::HandleKeyPressed(Key);
    if (Key < u' ') return;
    Text += Key;
    HandleInnerEditChange();
  }
};

TcxCustomEditClass TTestEditProperties::GetEditorClass() { return TTestEdit::StaticClass(); }

// A shown form with the editor under test and a second editor to move the
// focus to; message boxes go to a recorder.
struct TEditFixture : TTestForm {
  TEditFixture() : TTestForm(320, 200) {
    OldDialogs = SetDialogService(&Dialogs);
    Edit = Place<TTestEdit>(10, 10, 150, 24);
    Other = Place<TTestEdit>(10, 60, 150, 24);
    Edit->Properties()->OnChange = TNotifyEvent(this, [this](TObject*) { Log.push_back("change"); });
    Edit->Properties()->OnEditValueChanged = TNotifyEvent(this, [this](TObject*) { Log.push_back("value"); });
    Edit->Properties()->OnValidate = TcxEditValidateEvent(this, [this](TObject*, Variant& V, TCaption&, bool& E) {
      if (RefuseBang && VarToStr(V).find(u'!') != String::npos) E = true;
    });
    ShowForm();
  }
  ~TEditFixture() {
    FreeForm();
    SetDialogService(OldDialogs);
  }
  // "t:<text>" types, "esc", "enter", "leave" (focus to Other), "focus".
  void Run(const std::vector<std::string>& Steps) {
    for (const std::string& step : Steps) {
      if (step.rfind("t:", 0) == 0)
        TestTypeText(String(step.begin() + 2, step.end()));
      else if (step == "esc")
        TestKey(VK_ESCAPE);
      else if (step == "enter")
        TestKey(VK_RETURN);
      else if (step == "leave")
        Other->SetFocus();
      else if (step == "focus")
        Edit->SetFocus();
      Application->ProcessMessages();
    }
  }
  TRecordingDialogs Dialogs;
  TDialogService* OldDialogs = nullptr;
  TTestEdit* Edit;

  TTestEdit* Other;
  std::vector<std::string> Log;
  bool RefuseBang = true;
};

std::string Narrow(const String& S) { return std::string(S.begin(), S.end()); }

const String kErrorText = u"Invalid input value. Use escape key to abandon changes.";

TEST(cxEdit, StateMachineOfKeyAndFocusSequences) {
  struct TCase {
    const char* Name;
    std::vector<std::string> Steps;
    bool ValidateOnEnter;
    const char* Stored;  // nullptr: nothing stored
    Integer Stores;
    const char* Text;
    bool Modified;
    bool FocusInEdit;
    std::vector<std::string> Log;
    std::vector<String> Errors;
  };
  const std::vector<std::string> typedABC{"change", "value", "change", "value", "change", "value"};
  const TCase cases[] = {
      {"typing then leaving posts", {"focus", "t:abc", "leave"}, false, "startabc", 1, "startabc", false, false,
       typedABC, {}},
      {"Esc reverts to the value at focus-in", {"focus", "t:abc", "esc"}, false, nullptr, 0, "start", false, true,
       typedABC, {}},
      {"leaving with nothing typed posts nothing", {"focus", "leave"}, false, nullptr, 0, "start", false, false, {},
       {}},
      {"an invalid value keeps the focus and the text", {"focus", "t:a!", "leave"}, false, nullptr, 0, "starta!", true,
       true, {"change", "value", "change", "value"}, {kErrorText}},
      {"Enter posts a valid value", {"focus", "t:x", "enter"}, true, "startx", 1, "startx", false, true,
       {"change", "value"}, {}},
      {"Enter then Esc keeps what was posted", {"focus", "t:x", "enter", "esc", "leave"}, true, "startx", 1, "startx",
       false, false, {"change", "value"}, {}},
      {"Enter on an invalid value shows the error", {"focus", "t:!", "enter"}, true, nullptr, 0, "start!", true, true,
       {"change", "value"}, {kErrorText}},
      {"Enter without ValidateOnEnter posts nothing", {"focus", "t:x", "enter"}, false, nullptr, 0, "startx", true,
       true, {"change", "value"}, {}},
      {"correcting after an error posts the correction",
       {"focus", "t:!", "leave", "esc", "t:ok", "leave"}, false, "startok", 1, "startok", false, false,
       {"change", "value", "change", "value", "change", "value"}, {kErrorText}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TEditFixture f;
    f.Edit->SetEditValue(u"start");
    f.Edit->Properties()->SetValidateOnEnter(c.ValidateOnEnter);
    f.Run(c.Steps);
    if (c.Stored)
      EXPECT_EQ(VarToStr(f.Edit->Binding()->Stored), String(c.Stored, c.Stored + strlen(c.Stored)));
    else
      EXPECT_TRUE(VarIsNull(f.Edit->Binding()->Stored));
    EXPECT_EQ(f.Edit->Binding()->Stores, c.Stores);
    EXPECT_EQ(Narrow(f.Edit->Text), c.Text);
    EXPECT_EQ(f.Edit->IsModified(), c.Modified);
    EXPECT_EQ(f.Edit->Focused(), c.FocusInEdit);
    EXPECT_EQ(f.Log, c.Log);
    EXPECT_EQ(f.Dialogs.Texts, c.Errors);
  }
}

TEST(cxEdit, EscKeyPressDoesNotReachTheEditorAfterAReset) {
  TEditFixture f;
  std::vector<Char> pressed;
  f.Edit->OnKeyPress = TKeyPressEvent(&f, [&](TObject*, Char& K) { pressed.push_back(K); });
  f.Run({"focus", "t:a", "esc"});
  EXPECT_EQ(pressed, (std::vector<Char>{u'a'})) << "the Esc that reset the editor is eaten";
  pressed.clear();
  f.Run({"esc"});
  EXPECT_EQ(pressed, (std::vector<Char>{Char(VK_ESCAPE)})) << "an Esc with nothing to revert goes on";
}

TEST(cxEdit, AnEditorNobodyTouchedIsLaidOutWhenShown) {
  TEditFixture f;
  auto* fresh = new TTestEdit(f.Form);
  fresh->SetBounds(10, 120, 100, 24);
  fresh->SetParent(f.Form);
  Application->ProcessMessages();
  ASSERT_NE(fresh->GetViewInfo(), nullptr);
  EXPECT_EQ(fresh->GetViewInfo()->Bounds.Right, 100);
}

TEST(cxEdit, FocusChangesAreTold) {
  TEditFixture f;
  f.Run({"leave"});
  std::vector<bool> told;
  f.Edit->OnFocusChanged = TNotifyEvent(&f, [&](TObject*) { told.push_back(f.Edit->Focused()); });
  f.Run({"focus", "leave"});
  EXPECT_EQ(told, (std::vector<bool>{true, false}));
}

TEST(cxEdit, BeepAndSelectionOnTheErrorRoad) {
  TEditFixture f;
  f.Edit->Properties()->SetBeepOnError(true);
  f.Edit->Properties()->SetValidateOnEnter(true);
  f.Run({"focus", "t:!"});
  const Integer beeps = BeepCount();
  const Integer selects = f.Edit->SelectAlls;
  f.Run({"enter"});
  EXPECT_EQ(BeepCount(), beeps + 1);
  EXPECT_GT(f.Edit->SelectAlls, selects);
  EXPECT_FALSE(f.Edit->IsValidated());
}

TEST(cxEdit, ValidateHandlerMayProposeAnotherText) {
  TEditFixture f;
  f.RefuseBang = false;
  f.Edit->Properties()->OnValidate = TcxEditValidateEvent(&f, [](TObject*, Variant& V, TCaption& T, bool& E) {
    V = Variant(String(u"fixed"));
    T = u"try again";
    E = true;
  });
  f.Run({"focus", "t:x"});
  EXPECT_THROW(f.Edit->ValidateEdit(true), Exception);
  EXPECT_EQ(f.Edit->Text, u"fixed") << "a handler's proposal is shown";
  EXPECT_FALSE(f.Edit->ValidateEdit(false)) << "still not valid, without raising";
}

TEST(cxEdit, SettingTheEditValueTellsChangesOnlyWhenTheKindCompares) {
  struct TCase {
    const char* Name;
    bool Compares;
    Variant Old;
    Variant New;
    std::vector<std::string> Log;
  };
  const TCase cases[] = {
      {"equal value", true, Variant(String(u"abc")), Variant(String(u"abc")), {}},
      {"letter case alone", true, Variant(String(u"abc")), Variant(String(u"ABC")), {"value", "change"}},
      {"another type", true, Variant(Integer(1)), Variant(String(u"1")), {"value", "change"}},
      {"null to value", true, Null(), Variant(Integer(0)), {"value", "change"}},
      {"kind that does not compare", false, Variant(String(u"abc")), Variant(String(u"xyz")), {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TEditFixture f;
    f.Edit->TestProperties()->Compares = c.Compares;
    f.Edit->SetEditValue(c.Old);
    f.Log.clear();
    f.Edit->SetEditValue(c.New);
    EXPECT_EQ(f.Log, c.Log);
    EXPECT_FALSE(f.Edit->IsModified());
  }
}

TEST(cxEdit, LockedChangeEventsFireOnceAtTheEnd) {
  TEditFixture f;
  f.Edit->TestProperties()->Compares = true;
  f.Edit->LockChangeEvents(true);
  f.Edit->SetEditValue(u"a");
  f.Edit->SetEditValue(u"b");
  EXPECT_TRUE(f.Log.empty());
  f.Edit->LockChangeEvents(false);
  EXPECT_EQ(f.Log, (std::vector<std::string>{"change", "value"}));

  f.Log.clear();
  f.Edit->LockChangeEvents(true);
  f.Edit->SetEditValue(u"c");
  f.Edit->LockChangeEvents(false, false);
  EXPECT_TRUE(f.Log.empty()) << "an unlock without firing drops what was pending";
}

TEST(cxEdit, StoreFailureKeepsTheUsersTextAndShowsTheError) {
  TEditFixture f;
  f.Edit->SetEditValue(u"start");
  f.Edit->Binding()->Fail = true;
  f.Run({"focus", "t:x", "leave"});
  EXPECT_EQ(f.Dialogs.Texts, (std::vector<String>{u"disk full."}));
  EXPECT_EQ(f.Edit->Text, u"startx");
  EXPECT_TRUE(f.Edit->Focused());
  f.Edit->Binding()->Fail = false;
  f.Run({"leave"});
  EXPECT_EQ(VarToStr(f.Edit->Binding()->Stored), u"startx");
}

TEST(cxEdit, ReadOnlyEditorRefusesTyping) {
  TEditFixture f;
  f.Edit->SetEditValue(u"start");
  f.Edit->Properties()->SetReadOnly(true);
  f.Run({"focus", "t:x", "leave"});
  EXPECT_EQ(f.Edit->Text, u"start");
  EXPECT_EQ(f.Edit->Binding()->Stores, 0);
  EXPECT_TRUE(f.Log.empty());
}

TEST(cxEdit, ClickKeyClearKeyAndNavigationKeys) {
  TEditFixture f;
  f.Edit->SetEditValue(u"abc");
  f.Edit->Properties()->Buttons()->Add();
  f.Edit->Properties()->Buttons()->Add()->SetDefault(true);
  f.Edit->Properties()->SetClearKey(0x4000 | VK_DELETE);  // Ctrl+Del
  std::vector<Integer> clicked;
  f.Edit->Properties()->OnButtonClick =
      TcxEditButtonClickEvent(&f, [&](TObject*, Integer Index) { clicked.push_back(Index); });
  f.Run({"focus"});

  TestKey(VK_RETURN, u"", tkCtrl);
  Application->ProcessMessages();
  EXPECT_EQ(clicked, (std::vector<Integer>{1})) << "Ctrl+Enter clicks the default button";
  EXPECT_EQ(f.Edit->Text, u"abc") << "and types nothing";

  TestKey(VK_DELETE, u"", tkCtrl);
  Application->ProcessMessages();
  EXPECT_TRUE(VarIsNull(f.Edit->EditValue()));
  EXPECT_TRUE(f.Edit->IsModified());
  EXPECT_TRUE(f.Edit->Focused());

  TestKey(VK_TAB, u"", tkCtrl);
  Application->ProcessMessages();
  EXPECT_TRUE(f.Edit->Focused()) << "Ctrl+Tab does not move the focus";

  // Accelerators of button captions: the first letter after a lone "&".
  f.Edit->Properties()->Buttons()->GetButton(0)->SetCaption(u"R&&D &go");
  clicked.clear();
  for (Char c : {u'd', u'G', u'x'}) f.Form->Perform(CM_DIALOGCHAR, c, 0);
  EXPECT_EQ(clicked, (std::vector<Integer>{0}));
}

TEST(cxEdit, MouseClickOnAButtonFiresItsClick) {
  TEditFixture f;
  f.Edit->Properties()->Buttons()->Add()->SetKind(bkEllipsis);
  std::vector<Integer> clicked;
  f.Edit->Properties()->OnButtonClick =
      TcxEditButtonClickEvent(&f, [&](TObject*, Integer Index) { clicked.push_back(Index); });
  f.Run({"focus"});
  ASSERT_NE(f.Edit->GetViewInfo(), nullptr);
  ASSERT_EQ(f.Edit->GetViewInfo()->ButtonCount(), 1);
  const TRect r = f.Edit->GetViewInfo()->Button(0)->Bounds;
  const TPoint centre{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  EXPECT_EQ(f.Edit->GetButtonAt(centre), 0);
  EXPECT_EQ(f.Edit->GetButtonAt(TPoint{2, 2}), -1);

  TestClick(f.Edit->Handle(), centre);
  Application->ProcessMessages();
  EXPECT_EQ(clicked, (std::vector<Integer>{0}));

  // Pressed on the button, released elsewhere: no click.
  TestMousePress(f.Edit->Handle(), centre);
  TestMouseMove(f.Edit->Handle(), TPoint{2, 2});
  TestMouseRelease(f.Edit->Handle(), TPoint{2, 2});
  Application->ProcessMessages();
  EXPECT_EQ(clicked, (std::vector<Integer>{0}));
}

TEST(cxEdit, ClipboardMessagesRespectReadOnly) {
  struct TCase {
    bool ReadOnly;
    const char* Expected;
  } const cases[] = {{false, "copy cut paste "}, {true, "copy copy "}};
  for (const TCase& c : cases) {
    TEditFixture f;
    f.Edit->Properties()->SetReadOnly(c.ReadOnly);
    for (UINT message : {WM_COPY, WM_CUT, WM_PASTE}) SendMessage(f.Edit->Handle(), message, 0, 0);
    EXPECT_EQ(f.Edit->Clipboard, c.Expected) << "read-only " << c.ReadOnly;
  }
}

TEST(cxEdit, ValidationRunsNoMessageLoop) {
  TEditFixture f;
  // A handler that refuses without a text: nothing is raised, and nothing
  // queued may run meanwhile (it could free the editor).
  f.Edit->Properties()->OnValidate =
      TcxEditValidateEvent(&f, [](TObject*, Variant&, TCaption& T, bool& E) {
        T.clear();
        E = true;
      });
  f.Run({"focus", "t:x"});
  bool ranMeanwhile = false;
  f.Other->OnKeyPress = TKeyPressEvent(&f, [&](TObject*, Char&) { ranMeanwhile = true; });
  PostMessage(f.Other->Handle(), WM_CHAR, u'q', 0);
  EXPECT_FALSE(f.Edit->ValidateEdit(true));
  EXPECT_FALSE(ranMeanwhile);
  Application->ProcessMessages();
  EXPECT_TRUE(ranMeanwhile);
}

TEST(cxEdit, ForeignPrivateMessagesFreeNothing) {
  TEditFixture f;
  // The old deferred-error message carried a heap block to be freed; a
  // message parameter is never trusted with that.
  char notHeap[16] = {};
  constexpr UINT kOldDeferredError = 0x8069;
  SendMessage(f.Edit->Handle(), kOldDeferredError, reinterpret_cast<WPARAM>(notHeap), 0);
  Application->ProcessMessages();
  EXPECT_TRUE(f.Dialogs.Texts.empty());
}

// ---- Modal forms ---------------------------------------------------------------------------

TEST(cxEdit, ModalOkWithAnInvalidValueKeepsTheFormOpen) {
  TEditFixture f;
  TForm* dialog = new TForm(nullptr);
  dialog->SetBounds(150, 150, 200, 100);
  auto* edit = new TTestEdit(dialog);
  edit->SetBounds(10, 10, 120, 24);
  edit->SetParent(dialog);
  edit->Properties()->OnValidate = TcxEditValidateEvent(&f, [](TObject*, Variant& V, TCaption&, bool& E) {
    E = VarToStr(V).find(u'!') != String::npos;
  });
  bool openWhenTold = false;
  String textWhenTold;
  f.Dialogs.OnShown = [&] {
    openWhenTold = dialog->Visible();
    textWhenTold = edit->Text;
    PostMessage(dialog->Handle(), WM_USER + 1, 0, 0);
  };
  dialog->WindowProc = TWndMethod(&f, [&](TMessage& m) {
    if (m.Msg == WM_USER + 1) {
      edit->Text = u"good";  // the user corrects the value and presses OK again
      dialog->SetModalResult(mrOk);
    }
    dialog->WndProc(m);
  });
  dialog->OnShow = TNotifyEvent(&f, [&](TObject*) {
    edit->SetFocus();
    Application->ProcessMessages();
    TestTypeText(u"bad!");
    Application->ProcessMessages();
    dialog->SetModalResult(mrOk);
  });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(f.Dialogs.Texts, (std::vector<String>{kErrorText}));
  EXPECT_TRUE(openWhenTold);
  EXPECT_EQ(textWhenTold, u"bad!");
  EXPECT_EQ(VarToStr(edit->EditValue()), u"good");
  dialog->Free();
}

TEST(cxEdit, ModalCancelDoesNotValidate) {
  TEditFixture f;
  TForm* dialog = new TForm(nullptr);
  auto* edit = new TTestEdit(dialog);
  edit->SetParent(dialog);
  edit->Properties()->OnValidate =
      TcxEditValidateEvent(&f, [](TObject*, Variant&, TCaption&, bool& E) { E = true; });
  dialog->OnShow = TNotifyEvent(&f, [&](TObject*) {
    edit->SetFocus();
    Application->ProcessMessages();
    TestTypeText(u"x");
    Application->ProcessMessages();
    dialog->SetModalResult(mrCancel);
  });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_TRUE(f.Dialogs.Texts.empty());
  dialog->Free();
}

// ---- Repository items ------------------------------------------------------------------------

TEST(cxEdit, RepositoryItemSuppliesTheSettingsUntilItGoes) {
  TEditFixture f;
  auto repository = std::make_unique<TcxEditRepository>(nullptr);
  TcxEditRepositoryItem* item = repository->CreateItem(TTestItem::StaticClass());
  f.Edit->SetRepositoryItem(item);
  EXPECT_EQ(f.Edit->ActiveProperties(), item->Properties());
  const Integer before = f.Edit->PropertiesChanges;
  item->Properties()->SetReadOnly(true);
  EXPECT_EQ(f.Edit->PropertiesChanges, before + 1);
  f.Edit->Properties()->SetAutoSelect(false);
  EXPECT_EQ(f.Edit->PropertiesChanges, before + 1) << "the own set is not listened to meanwhile";

  TcxEditRepositoryItem* other = repository->CreateItem(TcxEditRepositoryItem::StaticClass());
  EXPECT_THROW(f.Edit->SetRepositoryItem(other), Exception);
  EXPECT_EQ(f.Edit->RepositoryItem(), item);

  // The item goes: the editor is back on its own set, hooked as before.
  item->Free();
  EXPECT_EQ(f.Edit->RepositoryItem(), nullptr);
  EXPECT_EQ(f.Edit->ActiveProperties(), f.Edit->Properties());
  EXPECT_EQ(f.Edit->Properties()->DefaultValuesProvider(), f.Edit->DataBinding()->DefaultValuesProvider());
  const Integer after = f.Edit->PropertiesChanges;
  f.Edit->Properties()->SetReadOnly(true);
  EXPECT_EQ(f.Edit->PropertiesChanges, after + 1);
  EXPECT_FALSE(f.Edit->CanModifyValue());
}

TEST(cxEdit, EditorsItemsAndRepositoriesDestroyedInEveryOrder) {
  enum TOrder { EditorFirst, ItemFirst, RepositoryFirst };
  for (TOrder order : {EditorFirst, ItemFirst, RepositoryFirst}) {
    SCOPED_TRACE(order);
    auto repository = std::make_unique<TcxEditRepository>(nullptr);
    TcxEditRepositoryItem* item = repository->CreateItem(TTestItem::StaticClass());
    auto* standAlone = new TTestEdit(nullptr);
    standAlone->SetRepositoryItem(item);
    auto list = std::make_unique<TcxInplaceEditList>();
    TcxCustomEdit* inplace = list->GetEdit(item->Properties());
    inplace->SetRepositoryItem(item);
    switch (order) {
      case EditorFirst:
        standAlone->Free();
        list.reset();
        EXPECT_EQ(item->ListenerCount(), 0);
        repository.reset();
        break;
      case ItemFirst:
        item->Free();
        EXPECT_EQ(standAlone->RepositoryItem(), nullptr);
        EXPECT_EQ(inplace->RepositoryItem(), nullptr);
        standAlone->Free();
        list.reset();
        break;
      case RepositoryFirst:
        repository.reset();
        EXPECT_EQ(inplace->ActiveProperties(), inplace->Properties());
        list.reset();
        standAlone->Free();
        break;
    }
  }
}

// ---- In-place editors ------------------------------------------------------------------------

TEST(cxEdit, InplaceEditListGivesOneEditorPerPropertySet) {
  TTestEditProperties first(nullptr), second(nullptr);
  TcxInplaceEditList list;
  TcxCustomEdit* a = list.GetEdit(&first);
  EXPECT_EQ(list.GetEdit(&first), a) << "callers of one property set share the editor";
  TcxCustomEdit* b = list.GetEdit(&second);
  EXPECT_NE(a, b) << "an equal but distinct set gets its own editor";
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(a->ClassType(), TTestEdit::StaticClass());
  EXPECT_TRUE(a->IsInplace());
  EXPECT_FALSE(a->Visible());
  EXPECT_EQ(a->Owner(), nullptr);

  // A changed column setting reaches the cached editor when taken again,
  // without a change notice.
  Integer changes = 0;
  a->Properties()->OnChange = TNotifyEvent(&list, [&](TObject*) { ++changes; });
  first.OnChange = a->Properties()->OnChange;
  first.SetReadOnly(true);
  EXPECT_FALSE(a->ActiveProperties()->ReadOnly());
  list.GetEdit(&first);
  EXPECT_TRUE(a->ActiveProperties()->ReadOnly());
  EXPECT_EQ(changes, 0);

  list.RemoveEdit(&first);
  list.RemoveEdit(&first);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(0).Edit, b);
  EXPECT_THROW(list.Items(1), EListError);
}

// A grid stand-in that hosts the in-place editor over a cell and stores
// what it posts.
struct TInplaceFixture : TEditFixture {
  TInplaceFixture() {
    Host = new TcxControl(Form);
    Host->SetBounds(10, 100, 300, 80);
    Host->SetParent(Form);
    Edit->Hide();
    Column.OnChange = TNotifyEvent(this, [this](TObject*) { Log.push_back("change"); });
    Inplace = static_cast<TTestEdit*>(List.GetEdit(&Column));
    Inplace->SetParent(Host);
    Inplace->SetBounds(40, 20, 100, 24);
    Inplace->OnPostEditValue = TNotifyEvent(this, [this](TObject*) {
      if (!StoreError.empty()) throw Exception(StoreError);
      Cell = Inplace->EditValue();
    });
  }
  ~TInplaceFixture() { List.Clear(); }
  TTestEditProperties Column{nullptr};
  TcxInplaceEditList List;
  TcxControl* Host;
  TTestEdit* Inplace;
  Variant Cell = Null();
  String StoreError;
};

TEST(cxEdit, ActivationByKeyForwardsTheKeyToTheEditor) {
  TInplaceFixture f;
  TcxCustomEditData* data = nullptr;
  f.Inplace->ActivateByKey(u'k', data);
  Application->ProcessMessages();
  EXPECT_TRUE(f.Inplace->Visible());
  EXPECT_TRUE(f.Inplace->Focused());
  EXPECT_EQ(f.Inplace->Text, u"k");
  EXPECT_TRUE(f.Inplace->ModifiedAfterEnter());
  TestTypeText(u"ey");
  Application->ProcessMessages();
  EXPECT_TRUE(f.Inplace->PostEditValue());
  EXPECT_EQ(VarToStr(f.Cell), u"key");
  EXPECT_FALSE(f.Inplace->ModifiedAfterEnter());
}

TEST(cxEdit, InplaceStoreFailureKeepsTheEditorOpenAndShowsTheError) {
  TInplaceFixture f;
  TcxCustomEditData* data = nullptr;
  f.Inplace->ActivateByKey(u'z', data);
  Application->ProcessMessages();
  f.StoreError = u"the record is locked";
  // An application hook that only logs does not hide the error from the user.
  std::vector<String> logged;
  Application->OnException = TExceptionEvent(&f, [&](TObject*, Exception* E) { logged.push_back(E->Message); });
  EXPECT_FALSE(f.Inplace->PostEditValue());
  Application->OnException = nullptr;
  EXPECT_EQ(f.Dialogs.Texts, (std::vector<String>{u"the record is locked."}));
  EXPECT_TRUE(f.Inplace->Visible());
  EXPECT_EQ(f.Inplace->Text, u"z");
  EXPECT_TRUE(f.Inplace->ModifiedAfterEnter());
  EXPECT_TRUE(VarIsNull(f.Cell));

  f.StoreError.clear();
  EXPECT_TRUE(f.Inplace->PostEditValue());
  EXPECT_EQ(VarToStr(f.Cell), u"z");
}

TEST(cxEdit, ActivationByMouseClickAndDoubleClick) {
  TInplaceFixture f;
  TcxCustomEditData* data = nullptr;
  // A click at (60, 30) of the host lies at (20, 10) of the editor.
  f.Inplace->ActivateByMouse(ssLeft, 60, 30, data);
  Application->ProcessMessages();
  ASSERT_EQ(f.Inplace->Presses.size(), 1u);
  EXPECT_EQ(f.Inplace->Presses[0].X, 20);
  EXPECT_EQ(f.Inplace->Presses[0].Y, 10);
  EXPECT_TRUE(f.Inplace->Focused());
  EXPECT_NE(GetCapture(), f.Inplace->Handle()) << "the button is not down any more";

  // The second click of the double click that opened the editor.
  TestMouseRelease(f.Inplace->Handle(), TPoint{20, 10});
  TestMousePress(f.Inplace->Handle(), TPoint{20, 10});
  TestMouseRelease(f.Inplace->Handle(), TPoint{20, 10});
  Application->ProcessMessages();
  EXPECT_EQ(f.Inplace->DblClicks, 1);
  TestMousePress(f.Inplace->Handle(), TPoint{20, 10});
  TestMouseRelease(f.Inplace->Handle(), TPoint{20, 10});
  Application->ProcessMessages();
  EXPECT_EQ(f.Inplace->DblClicks, 1) << "a later click is a click";
}

TEST(cxEdit, MouseActivationRules) {
  TInplaceFixture f;
  f.Column.SetMouseActivation(false);
  f.List.GetEdit(&f.Column);
  EXPECT_FALSE(f.Inplace->AcceptsMouseActivation(ssLeft));
  EXPECT_TRUE(f.Inplace->AcceptsMouseActivation(ssLeft | ssCtrl));
  f.Edit->Properties()->SetMouseActivation(false);
  EXPECT_TRUE(f.Edit->AcceptsMouseActivation(ssLeft)) << "stand-alone editors always take clicks";
}

}  // namespace
