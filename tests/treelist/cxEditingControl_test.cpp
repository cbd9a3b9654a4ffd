// The editing control through a flat list built on it: the cached in-place
// editor opened by click, typing and input-method composition, stored on
// Enter and on leaving the cell, dropped on Esc, kept open with an invalid
// value or a failed store; cell hints; the hit test; sizing steps and the
// overlay pictures of sizing and dragging.
#include "treelist/cxEditingControl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/forms.h"
#include "platform/gui/sysmetrics.h"
#include "platform/gui/testinput.h"
#include "platform/gui/timers.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include "editors/cxMaskEdit.h"
#include "editors/cxTextEdit.h"
#include "tests/platform/gui/recordingdialogs.h"

namespace {

constexpr Integer kRowHeight = 20;
constexpr Integer kColumnWidth = 60;

// Answers a hint for every point of the cell.
class TTestViewInfo : public TcxCustomEditViewInfo {
  KORVANE_CLASS(TTestViewInfo, TcxCustomEditViewInfo)
  bool QueryHintWithRect(const TPoint&, String& AText, TRect& ARect) override {
    AText = u"whole text";
    ARect = TRect{0, 0, 70, 16};
    return true;
  }
};

// Texts with "!" are invalid.
class TTestEditProperties : public TcxCustomEditProperties {
  KORVANE_CLASS(TTestEditProperties, TcxCustomEditProperties)
  using TcxCustomEditProperties::TcxCustomEditProperties;
  static TcxCustomEditClass GetEditorClass();
  TcxCustomEditViewInfoClass GetViewInfoClass() const override { return TTestViewInfo::StaticClass(); }
  bool CanValidateDisplayValue() const override { return true; }
  TcxEditEditorFeatures GetEditorFeatures() const override { return cxEditFeatureIncSearch; }
  String GetDisplayTextOfValue(const Variant& AValue) const override { return VarToStr(AValue); }
};

// A text editor without a native edit: typed characters append to Text.
class TTestEdit : public TcxCustomEdit {
  KORVANE_CLASS(TTestEdit, TcxCustomEdit)
  using TcxCustomEdit::TcxCustomEdit;
  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TTestEditProperties::StaticClass(); }
  String GetCurrentDisplayText() override { return Text; }
  void UpdateDisplayValue() override { Text = VarIsNull(EditValue()) ? String() : VarToStr(EditValue()); }
  void SetDisplayValue(const Variant& Value) override { Text = VarToStr(Value); }
  void SelectAllText() override { Selected = true; }
  bool IsValueChangingChar(Char C) override { return C >= u' '; }
  // In place it keeps a little data per item between activations.
  TcxCustomEditDataClass GetEditDataClass() const override { return TcxCustomEditData::StaticClass(); }
  String Text;
  // Typing replaces selected text.
  bool Selected = false;

protected:
  void InternalSetDisplayValue(const Variant& Value) override { InternalSetEditValue(Value, false); }
  void HandleKeyPressed(Char& Key) override {
    TcxCustomEdit::HandleKeyPressed(Key);
    if (Key < u' ') return;
    if (std::exchange(Selected, false)) Text.clear();
    Text += Key;
    HandleInnerEditChange();
  }
};

TcxCustomEditClass TTestEditProperties::GetEditorClass() { return TTestEdit::StaticClass(); }

// A column whose record can refuse the value, as a locked record would.
class TTestColumn : public TcxCustomInplaceEditContainer {
  KORVANE_CLASS(TTestColumn, TcxCustomInplaceEditContainer)
  using TcxCustomInplaceEditContainer::TcxCustomInplaceEditContainer;
  bool WriteEditValue(const Variant& AValue) override {
    if (!StoreError.empty()) throw Exception(StoreError);
    return TcxCustomInplaceEditContainer::WriteEditValue(AValue);
  }
  String StoreError;
};

class TTestList;

class TTestCell : public TcxEditCellViewInfo {
  KORVANE_CLASS(TTestCell, TcxEditCellViewInfo)
  TTestCell(TcxCustomControlViewInfo* AOwner, TcxCustomInplaceEditContainer* AItem, Integer ARecord)
      : TcxEditCellViewInfo(AOwner, AItem), Record(ARecord) {}
  Integer GetRecordIndex() const override { return Record; }
  // The focused record's row shows the selection.
  TcxViewParams GetViewParams() const override {
    TcxCustomControlStyles* Styles = GetControl()->Styles();
    return Record == GetControl()->Controller()->GetFocusedRecordIndex() ? Styles->GetSelectionParams()
                                                                       : Styles->GetContentParams();
  }
  Integer Record;
};

// Rows of records, one column per item.
class TTestListViewInfo : public TcxCustomControlViewInfo {
  KORVANE_CLASS(TTestListViewInfo, TcxCustomControlViewInfo)
  using TcxCustomControlViewInfo::TcxCustomControlViewInfo;
  TTestCell* Cell(Integer ARecord, Integer AItem) const {
    for (const auto& C : FCells)
      if (C->Record == ARecord && C->GetItem()->ItemIndex() == AItem) return C.get();
    return nullptr;
  }

protected:
  void CalculateCells() override {
    FEditCells.clear();
    FCells.clear();
    TcxEditingControl* List = Control();
    for (Integer R = 0; R < List->DataController()->GetRecordCount(); ++R)
      for (Integer I = 0; I < List->ItemCount(); ++I) {
        FCells.push_back(std::make_unique<TTestCell>(this, List->Items(I), R));
        TTestCell* C = FCells.back().get();
        C->SetBorders(BorderBit(bRight) | BorderBit(bBottom));
        C->SetBoundsInClient(
            TRect{I * kColumnWidth, R * kRowHeight, (I + 1) * kColumnWidth, (R + 1) * kRowHeight});
        C->SetCellHeight(DefaultEditHeight());
        FEditCells.push_back(C);
      }
    TcxCustomControlViewInfo::CalculateCells();
  }

private:
  std::vector<std::unique_ptr<TTestCell>> FCells;
};

class TTestNavigator : public TcxCustomCellNavigator {
  KORVANE_CLASS(TTestNavigator, TcxCustomCellNavigator)
  using TcxCustomCellNavigator::TcxCustomCellNavigator;

protected:
  void GetFocusedCell(Integer& ARow, Integer& ACell) override {
    ARow = Controller()->GetFocusedRecordIndex();
    ACell = Controller()->FocusedItem() ? Controller()->FocusedItem()->ItemIndex() : -1;
  }
  Integer GetCellCount(Integer) override { return Controller()->EditingControl()->ItemCount(); }
  TcxCustomInplaceEditContainer* GetCellItem(Integer, Integer ACell) override {
    return Controller()->EditingControl()->Items(ACell);
  }
  Integer RowCount() override { return Controller()->EditingControl()->DataController()->GetRecordCount(); }
  void SetFocusedCell(Integer ARow, Integer ACell, TShiftState) override {
    Controller()->FocusRecordAndItem(ARow, Controller()->EditingControl()->Items(ACell));
  }
};

class TTestController : public TcxCustomControlController {
  KORVANE_CLASS(TTestController, TcxCustomControlController)
  using TcxCustomControlController::TcxCustomControlController;
  TcxEditCellViewInfo* GetFocusedCellViewInfo(TcxCustomInplaceEditContainer* AItem) override;
  void MakeFocusedCellVisible() override {}
  // The selected row moves: the rows are laid out anew.
  void FocusedRecordChanged() override {
    TcxCustomControlController::FocusedRecordChanged();
    EditingControl()->LayoutChanged();
  }
  bool MakeFocusedRecordVisible() override { return true; }
  void RecordUpdated(Integer ARecordIndex) override { UpdatedRecords.push_back(ARecordIndex); }
  std::vector<Integer> UpdatedRecords;
  // The content follows the bar.
  void ScrollContent(TScrollBarKind AKind, TScrollCode, Integer& APosition) override {
    Scrolls.push_back(APosition);
    TcxControlScrollBar* Bar = AKind == sbVertical ? EditingControl()->VScrollBar() : EditingControl()->HScrollBar();
    Bar->SetPosition(APosition);
  }
  std::vector<Integer> Scrolls;

protected:
  std::unique_ptr<TcxCustomCellNavigator> CreateCellNavigator() override {
    return std::make_unique<TTestNavigator>(this);
  }
};

class TTestList : public TcxEditingControl {
  KORVANE_CLASS(TTestList, TcxEditingControl)
  explicit TTestList(TComponent* AOwner) : TcxEditingControl(AOwner) { CreateSubobjects(); }
  TTestListViewInfo* ListViewInfo() const { return static_cast<TTestListViewInfo*>(ViewInfo()); }
  TPoint CellCenter(Integer ARecord, Integer AItem) const {
    return TPoint{AItem * kColumnWidth + kColumnWidth / 2, ARecord * kRowHeight + kRowHeight / 2};
  }
  // The data controller's notices as their class names.
  void ApplyDataChange(TcxUpdateControlInfo* AInfo) override {
    Notices.push_back(StringToUTF8(AInfo->ClassName()));
    TcxEditingControl::ApplyDataChange(AInfo);
  }
  void SelectionChanged() override { ++Selections; }
  std::vector<std::string> Notices;
  Integer Selections = 0;
  using TcxEditingControl::BeginUpdate;

protected:
  std::unique_ptr<TcxCustomControlController> CreateController() override {
    return std::make_unique<TTestController>(this);
  }
  std::unique_ptr<TcxCustomControlViewInfo> CreateViewInfo() override {
    return std::make_unique<TTestListViewInfo>(this);
  }
  TRect GetDragImageBounds() override { return TRect{10, 10, 50, 26}; }
  void DrawDragPicture(TCanvas* ACanvas) override {
    ACanvas->Brush()->SetColor(clRed);
    ACanvas->FillRect(TRect{10, 10, 50, 26});
  }
};

TcxEditCellViewInfo* TTestController::GetFocusedCellViewInfo(TcxCustomInplaceEditContainer* AItem) {
  // Also asked while the control is being destroyed: only the view info is
  // reached through its own type.
  auto* ViewInfo = static_cast<TTestListViewInfo*>(EditingControl()->ViewInfo());
  if (!ViewInfo) return nullptr;
  if (ViewInfo->IsDirty()) ViewInfo->Calculate();
  return ViewInfo->Cell(GetFocusedRecordIndex(), AItem->ItemIndex());
}

// A shown form with a list of three records of two text columns and an
// edit box to take the focus away.
struct TListFixture {
  TListFixture() {
    EnsureGuiRuntime();
    OldDialogs = SetDialogService(&Dialogs);
    Form = new TForm(nullptr);
    Form->SetBounds(100, 100, 400, 300);
    List = new TTestList(Form);
    List->SetBorderStyle(cxcbsNone);
    List->SetBounds(10, 10, 2 * kColumnWidth + 40, 3 * kRowHeight + 40);
    List->SetParent(Form);
    Other = new TTestEdit(Form);
    Other->SetBounds(10, 200, 150, 24);
    Other->SetParent(Form);
    for (auto& Column : Columns) {
      Column = std::make_unique<TTestColumn>(nullptr);
      Column->SetPropertiesClass(TTestEditProperties::StaticClass());
      Column->Properties()->OnValidate =
          TcxEditValidateEvent(this, [](TObject*, Variant& V, TCaption& Error, bool& IsError) {
            if (VarToStr(V).find(u'!') == String::npos) return;
            Error = u"No exclamation marks";
            IsError = true;
          });
      Column->SetEditingControl(List);
    }
    TcxControlDataController* DC = List->DataController();
    DC->SetRecordCount(3);
    for (Integer R = 0; R < 3; ++R)
      for (Integer I = 0; I < 2; ++I) DC->SetValue(R, I, Variant(String(1, Char(u'a' + R)) + Char(u'0' + I)));
    Form->Show();
    List->SetFocus();
    List->LayoutChanged();
    List->Controller()->FocusRecordAndItem(0, Columns[0].get());
    Application->ProcessMessages();
  }
  ~TListFixture() {
    ReleaseCapture();
    TestSetApplicationActive(true);
    Form->Free();
    Columns[0].reset();
    Columns[1].reset();
    Application->ProcessMessages();
    SetDialogService(OldDialogs);
  }

  TTestEdit* Editor() const { return static_cast<TTestEdit*>(List->EditingController()->Edit()); }
  String Cell(Integer ARecord, Integer AItem) const {
    return VarToStr(List->DataController()->GetValue(ARecord, AItem));
  }
  void Click(Integer ARecord, Integer AItem) {
    TestClick(List->Handle(), List->CellCenter(ARecord, AItem));
    Application->ProcessMessages();
  }
  static Word KeyOf(const std::string& AStep) {
    const std::pair<const char*, Word> Keys[] = {
        {"enter", VK_RETURN}, {"esc", VK_ESCAPE}, {"tab", VK_TAB}, {"down", VK_DOWN}, {"right", VK_RIGHT}};
    for (const auto& [Name, Key] : Keys)
      if (AStep == Name) return Key;
    return 0;
  }
  // "click:R,I", "t:<text>", "ime:<text>", a key ("enter", "esc", "tab",
  // "down", "right"), "leave" (focus
  // to the edit box), "away" (another program becomes active), "fail"
  // (the record refuses the value), "heal".
  void Run(const std::vector<std::string>& Steps) {
    for (const std::string& Step : Steps) {
      if (Step.rfind("click:", 0) == 0)
        Click(Step[6] - '0', Step[8] - '0');
      else if (Step.rfind("t:", 0) == 0)
        TestTypeText(UTF8ToString(Step.substr(2)));
      else if (Step.rfind("ime:", 0) == 0) {
        const String Text = UTF8ToString(Step.substr(4));
        TestInputMethodPreedit(Text.substr(0, 1));
        Application->ProcessMessages();
        TestInputMethodCommit(Text);
      } else if (Word Key = KeyOf(Step))
        TestKey(Key);
      else if (Step == "leave")
        Other->SetFocus();
      else if (Step == "away")
        TestSetApplicationActive(false);
      else if (Step == "fail")
        Columns[0]->StoreError = u"the record is locked";
      else if (Step == "heal")
        Columns[0]->StoreError.clear();
      else
        ADD_FAILURE() << "unknown step " << Step;
      Application->ProcessMessages();
    }
  }

  TRecordingDialogs Dialogs;
  TDialogService* OldDialogs = nullptr;
  TForm* Form;
  TTestList* List;
  TTestEdit* Other;
  std::unique_ptr<TTestColumn> Columns[2];
};

std::string Narrow(const String& S) { return StringToUTF8(S); }

TEST(EditingControl, EditorOpensStoresAndCloses) {
  struct TCase {
    const char* Name;
    std::vector<std::string> Steps;
    const char* Cell00;          // record 0, item 0 afterwards
    const char* EditorText;      // nullptr: no editor open
    std::vector<std::string> Errors;
  };
  const TCase Cases[] = {
      {"click opens, Enter stores", {"click:0,0", "t:x", "enter"}, "x", nullptr, {}},
      {"typing opens with the key", {"t:q", "enter"}, "q", nullptr, {}},
      {"Esc drops the text", {"t:q", "esc"}, "a0", nullptr, {}},
      {"leaving the cell stores", {"t:q", "click:1,1"}, "q", "b1", {}},
      {"leaving the control stores", {"t:q", "leave"}, "q", nullptr, {}},
      {"another program keeps the editor", {"t:qr", "away"}, "a0", "qr", {}},
      {"composition opens the editor", {"ime:中文", "enter"}, "中文", nullptr, {}},
      {"invalid value keeps the editor", {"t:q!", "enter"}, "a0", "q!", {"No exclamation marks."}},
      {"invalid value kept on leaving the cell", {"t:q!", "click:1,1"}, "a0", "q!", {"No exclamation marks."}},
      {"invalid value dropped by Esc", {"t:q!", "enter", "esc"}, "a0", nullptr, {"No exclamation marks."}},
      {"failed store keeps the text", {"fail", "t:q", "enter"}, "a0", "q", {"the record is locked."}},
      {"failed store on leaving keeps the text", {"fail", "t:q", "leave"}, "a0", "q", {"the record is locked."}},
      {"failed store, then stored", {"fail", "t:q", "enter", "heal", "enter"}, "q", nullptr, {"the record is locked."}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TListFixture F;
    F.Run(Case.Steps);
    EXPECT_EQ(Narrow(F.Cell(0, 0)), Case.Cell00);
    TTestEdit* Editor = F.Editor();
    if (Case.EditorText) {
      ASSERT_NE(Editor, nullptr);
      EXPECT_TRUE(Editor->Visible());
      EXPECT_EQ(Narrow(Editor->Text), Case.EditorText);
    } else {
      EXPECT_EQ(Editor, nullptr);
    }
    std::vector<std::string> Errors;
    for (const String& T : F.Dialogs.Texts) Errors.push_back(Narrow(T));
    EXPECT_EQ(Errors, Case.Errors);
  }
}

// An application whose error hook only records (a program's logger): the
// reason a value was refused still reaches the user in a message box, once,
// whichever way the user leaves the cell; the editor stays on the text and
// the focus stays on the edited cell.
TEST(EditingControl, ARefusedValueIsShownWhateverTheApplicationsErrorHookDoes) {
  struct TCase {
    const char* Name;
    std::vector<std::string> Steps;
    std::string Shown;
  };
  const TCase Cases[] = {
      {"Enter", {"t:q!", "enter"}, "No exclamation marks."},
      {"a click on another row", {"t:q!", "click:1,0"}, "No exclamation marks."},
      {"a click on another row and column", {"t:q!", "click:2,1"}, "No exclamation marks."},
      {"a click on another row, the store failing", {"fail", "t:q", "click:1,0"}, "the record is locked."},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TListFixture F;
    std::vector<std::string> Hooked;
    Application->OnException = TExceptionEvent(nullptr, [&](TObject*, Exception* E) {
      Hooked.push_back(Narrow(E->Message));
    });
    F.Run(Case.Steps);
    Application->OnException = nullptr;
    std::vector<std::string> Shown;
    for (const String& T : F.Dialogs.Texts) Shown.push_back(Narrow(T));
    EXPECT_EQ(Shown, std::vector<std::string>{Case.Shown});
    EXPECT_EQ(Hooked, std::vector<std::string>{});
    ASSERT_NE(F.Editor(), nullptr);
    EXPECT_TRUE(F.Editor()->Focused());
    EXPECT_EQ(F.Editor()->Text, UTF8ToString(Case.Steps[Case.Steps.size() - 2].substr(2)));
    EXPECT_EQ(F.List->Controller()->GetFocusedRecordIndex(), 0);
    EXPECT_EQ(F.List->Controller()->FocusedItem(), F.Columns[0].get());
    EXPECT_EQ(Narrow(F.Cell(0, 0)), "a0");
  }
}

TEST(EditingControl, KeysMoveTheFocusedCell) {
  struct TCase {
    const char* Name;
    std::function<void(TcxControlOptionsBehavior*)> Options;
    std::vector<std::string> Steps;
    Integer Record, Item;    // the focused cell afterwards
    const char* EditorText;  // nullptr: no editor open
  };
  const auto None = [](TcxControlOptionsBehavior*) {};
  const TCase Cases[] = {
      {"Down moves by row", None, {"down"}, 1, 0, nullptr},
      {"Right moves within the row", None, {"right"}, 0, 1, nullptr},
      {"Enter opens the editor", None, {"enter"}, 0, 0, "a0"},
      {"Enter moves on and opens the next editor",
       [](TcxControlOptionsBehavior* B) { B->GoToNextCellOnEnter = true; }, {"t:q", "enter"}, 0, 1, "a1"},
      {"Tab moves on", [](TcxControlOptionsBehavior* B) { B->SetGoToNextCellOnTab(true); }, {"tab"}, 0, 1, nullptr},
      {"Tab stops at the row's end", [](TcxControlOptionsBehavior* B) { B->SetGoToNextCellOnTab(true); },
       {"tab", "tab"}, 0, 1, nullptr},
      {"Tab cycles to the next row",
       [](TcxControlOptionsBehavior* B) {
         B->SetGoToNextCellOnTab(true);
         B->FocusCellOnCycle = true;
       },
       {"tab", "tab"}, 1, 0, nullptr},
      {"typing searches instead of editing", [](TcxControlOptionsBehavior* B) { B->SetIncSearch(true); }, {"t:c"},
       2, 0, nullptr},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TListFixture F;
    Case.Options(F.List->OptionsBehavior());
    F.Run(Case.Steps);
    TcxCustomControlController* Controller = F.List->Controller();
    EXPECT_EQ(Controller->GetFocusedRecordIndex(), Case.Record);
    ASSERT_NE(Controller->FocusedItem(), nullptr);
    EXPECT_EQ(Controller->FocusedItem()->ItemIndex(), Case.Item);
    if (Case.EditorText) {
      ASSERT_NE(F.Editor(), nullptr);
      EXPECT_EQ(F.List->EditingController()->EditingItem(), Controller->FocusedItem());
      EXPECT_EQ(Narrow(F.Editor()->Text), Case.EditorText);
    } else {
      EXPECT_EQ(F.Editor(), nullptr);
    }
  }
}

TEST(EditingControl, OneCachedEditorServesEveryCellOfAColumn) {
  TListFixture F;
  F.Click(1, 0);
  TTestEdit* First = F.Editor();
  ASSERT_NE(First, nullptr);
  EXPECT_EQ(First->Parent(), F.List);
  EXPECT_EQ(Narrow(First->Text), "b0") << "the cell's value is loaded";
  const TRect Edit = F.List->ListViewInfo()->Cell(1, 0)->EditRect();
  EXPECT_EQ(First->BoundsRect().Left, Edit.Left);
  EXPECT_EQ(First->BoundsRect().Top, Edit.Top);
  EXPECT_TRUE(First->Focused());
  EXPECT_TRUE(F.Columns[0]->IsFocusedItem());
  EXPECT_FALSE(F.Columns[1]->IsFocusedItem());
  EXPECT_EQ(F.Columns[1]->FocusedCellViewInfo(), F.List->ListViewInfo()->Cell(1, 1));
  EXPECT_TRUE(F.Columns[1]->IsCellVisible());
  F.Click(2, 0);
  EXPECT_EQ(F.Editor(), First) << "the same hidden editor moves to the next cell";
  EXPECT_EQ(Narrow(First->Text), "c0");
  EXPECT_EQ(F.List->EditingController()->EditList()->Count(), 1);
  F.Click(2, 1);
  EXPECT_NE(F.Editor(), First) << "another column has its own property set and editor";
  EXPECT_FALSE(First->Visible());
  EXPECT_EQ(F.List->EditingController()->EditList()->Count(), 2);
  F.Run({"esc"});
  EXPECT_EQ(F.Editor(), nullptr);
  EXPECT_TRUE(F.List->Focused()) << "the focus goes back to the control";
}

// Which press focuses a cell and which opens its editor, at the press or
// at the release.
TEST(EditingControl, PressesByButtonAndDragMode) {
  struct TCase {
    const char* Name;
    Integer Button;
    TDragMode DragMode;
    Integer FocusedRecord;  // after the press
    bool OpenAtPress;  // (a press that may start a drag never opens it)
    bool OpenAtRelease;
  };
  const TCase Cases[] = {
      {"left", tbLeft, dmManual, 2, true, true},
      {"right: focus only", tbRight, dmManual, 2, false, false},
      {"middle: nothing", tbMiddle, dmManual, 0, false, false},
      {"left, automatic dragging: at the release", tbLeft, dmAutomatic, 2, false, true},
  };
  for (const TCase& C : Cases) {
    TListFixture F;
    F.List->SetDragMode(C.DragMode);
    const TPoint At = F.List->CellCenter(2, 1);
    EXPECT_EQ(F.List->Controller()->OpensEditorOnMouseDown(), C.DragMode == dmManual) << C.Name;
    // A press that may start a drag waits in the drag detection for the
    // mouse to move or be released: the release comes while it waits.
    const HWND Handle = F.List->Handle();
    if (C.DragMode == dmAutomatic)
      F.List->OnMouseDown = TMouseEvent(nullptr, [Handle, At](TObject*, TMouseButton, TShiftState, Integer, Integer) {
        PostMessage(Handle, WM_LBUTTONUP, 0, PointToLParam(At));
      });
    TestMousePress(Handle, At, C.Button);
    F.List->OnMouseDown = TMouseEvent();
    if (C.DragMode == dmManual) {
      EXPECT_EQ(F.List->Controller()->GetFocusedRecordIndex(), C.FocusedRecord) << C.Name;
      EXPECT_EQ(F.Editor() != nullptr, C.OpenAtPress) << C.Name;
      TestMouseRelease(Handle, At, C.Button);
    }
    Application->ProcessMessages();
    EXPECT_EQ(F.List->Controller()->GetFocusedRecordIndex(), C.FocusedRecord) << C.Name;
    EXPECT_EQ(F.Editor() != nullptr, C.OpenAtRelease) << C.Name;
    if (C.OpenAtRelease) EXPECT_EQ(Narrow(F.Editor()->Text), "c1") << C.Name;
  }
}

// With AlwaysShowEditor and no per-record choice of editor, a move to
// another record keeps the editor open with that record's value; a
// per-record choice closes it and opens it anew.
TEST(EditingControl, AlwaysShowEditorKeepsTheEditorAcrossRecords) {
  TListFixture F;
  F.List->OptionsBehavior()->AlwaysShowEditor = true;
  F.Click(0, 1);
  TTestEdit* Open = F.Editor();
  ASSERT_NE(Open, nullptr);
  EXPECT_FALSE(F.List->EditingController()->MustCloseEditorOnRecordChange());
  F.List->DataController()->FocusRecord(1);
  Application->ProcessMessages();
  ASSERT_EQ(F.Editor(), Open) << "the same editor stays";
  EXPECT_EQ(Narrow(F.Editor()->Text), "b1") << "with the new record's value";
  F.Columns[1]->OnGetEditProperties =
      TcxGetEditPropertiesEvent(&F, [](TObject*, Integer, TcxCustomEditProperties*&) {});
  EXPECT_TRUE(F.List->EditingController()->MustCloseEditorOnRecordChange());
  F.List->DataController()->FocusRecord(2);
  Application->ProcessMessages();
  ASSERT_NE(F.Editor(), nullptr) << "opened again on the new record";
  EXPECT_EQ(Narrow(F.Editor()->Text), "c1");
}

TEST(EditingControl, WithoutImmediateEditorASecondClickOpensAfterTheDoubleClickTime) {
  TListFixture F;
  TTestClock Clock;
  F.List->OptionsBehavior()->ImmediateEditor = false;
  F.Click(1, 0);
  EXPECT_EQ(F.Editor(), nullptr) << "the first click focuses the cell";
  EXPECT_FALSE(F.List->EditingController()->HasDelayTimer());
  F.Click(1, 0);
  EXPECT_EQ(F.Editor(), nullptr);
  EXPECT_TRUE(F.List->EditingController()->HasDelayTimer());
  Clock.Advance(GetDoubleClickTime());
  Application->ProcessMessages();
  ASSERT_NE(F.Editor(), nullptr) << "a click on the focused cell opens its editor once the time passed";
  EXPECT_EQ(Narrow(F.Editor()->Text), "b0");
  F.Run({"esc"});
  // A double click frees the timer and arms none.
  TestDoubleClick(F.List->Handle(), F.List->CellCenter(1, 0));
  Application->ProcessMessages();
  EXPECT_FALSE(F.List->EditingController()->HasDelayTimer());
  Clock.Advance(GetDoubleClickTime());
  Application->ProcessMessages();
  EXPECT_EQ(F.Editor(), nullptr);
}

TEST(EditingControl, EscInAnUnchangedEditorCancelsTheRecord) {
  TListFixture F;
  TcxControlDataController* DC = F.List->DataController();
  F.Run({"t:q", "enter"});
  ASSERT_NE(DC->GetEditState() & dceModified, 0) << "the record holds the stored value, not yet posted";
  F.Click(0, 0);
  ASSERT_NE(F.Editor(), nullptr);
  F.Run({"esc"});
  EXPECT_EQ(F.Editor(), nullptr);
  EXPECT_EQ(DC->GetEditState(), 0) << "Esc reached the control";
  EXPECT_EQ(Narrow(F.Cell(0, 0)), "a0");
}

TEST(EditingControl, AColumnDestroyedWhileEditedTakesItsEditorAlong) {
  TListFixture F;
  F.Run({"click:1,1", "t:zz"});
  ASSERT_NE(F.Editor(), nullptr);
  F.List->OptionsBehavior()->CellHints = true;
  TestMouseMove(F.List->Handle(), F.List->CellCenter(2, 1));
  Application->ProcessMessages();
  F.Columns[1].reset();
  Application->ProcessMessages();
  EXPECT_EQ(F.Editor(), nullptr);
  EXPECT_EQ(F.List->ItemCount(), 1);
  EXPECT_EQ(F.List->Controller()->FocusedItem(), nullptr);
  EXPECT_FALSE(F.List->Controller()->HotTrackController()->HintVisible());
  // The remaining column still edits.
  F.Run({"click:2,0", "t:k", "enter"});
  EXPECT_EQ(Narrow(F.Cell(2, 0)), "k");
}

TEST(EditingControl, CellHintsShowOverCellsButNotOverTheEditor) {
  TListFixture F;
  TcxHotTrackController* Hints = F.List->Controller()->HotTrackController();
  TestMouseMove(F.List->Handle(), F.List->CellCenter(2, 1));
  Application->ProcessMessages();
  EXPECT_FALSE(Hints->HintVisible()) << "cell hints are off by default";
  F.List->OptionsBehavior()->CellHints = true;
  TestMouseMove(F.List->Handle(), F.List->CellCenter(1, 1));
  Application->ProcessMessages();
  EXPECT_TRUE(Hints->HintVisible());
  EXPECT_EQ(Narrow(Hints->HintText()), "whole text");
  const TPoint Cell = F.List->ClientToScreen(F.List->ListViewInfo()->Cell(1, 1)->ContentRect().TopLeft());
  EXPECT_EQ(Hints->HintRect().Left, Cell.X - 1);
  EXPECT_EQ(Hints->HintTimer()->Interval(), cxHintHidePause);
  EXPECT_TRUE(Hints->HintTimer()->Enabled());
  {
    TTestClock Clock;
    Clock.Advance(cxHintHidePause);
    Application->ProcessMessages();
    EXPECT_FALSE(Hints->HintVisible()) << "the hint hides after its pause";
  }
  TestMouseMove(F.List->Handle(), F.List->CellCenter(2, 1));
  Application->ProcessMessages();
  EXPECT_TRUE(Hints->HintVisible());
  // Another cell: the hint follows; the edited cell shows none.
  F.Click(0, 0);
  EXPECT_FALSE(Hints->HintVisible()) << "a press hides the hint";
  TestMouseMove(F.List->Handle(), TPoint{F.List->CellCenter(0, 0).X + 1, F.List->CellCenter(0, 0).Y});
  Application->ProcessMessages();
  EXPECT_FALSE(Hints->HintVisible());
  TestMouseMove(F.List->Handle(), F.List->CellCenter(2, 0));
  Application->ProcessMessages();
  EXPECT_TRUE(Hints->HintVisible());
}

// An editor is prepared only in a control that has the focus: asked while
// another control holds it, none opens; once the control is focused it does.
TEST(EditingControl, AnEditorOpensOnlyInTheFocusedControl) {
  TListFixture F;
  F.Other->SetFocus();
  Application->ProcessMessages();
  ASSERT_FALSE(F.List->Focused());
  F.List->EditingController()->ActivateCellEditor(F.Columns[1].get());
  Application->ProcessMessages();
  EXPECT_EQ(F.Editor(), nullptr);
  EXPECT_TRUE(F.Other->Focused());
  F.List->SetFocus();
  F.List->EditingController()->ActivateCellEditor(F.Columns[1].get());
  Application->ProcessMessages();
  ASSERT_NE(F.Editor(), nullptr);
  EXPECT_TRUE(F.Editor()->Visible());
  EXPECT_EQ(F.List->EditingController()->EditingItem(), F.Columns[1].get());
}

// A cell shows its hint only while its form is the active one.
TEST(EditingControl, CellHintsWaitForTheirFormToBeActive) {
  TListFixture F;
  F.List->OptionsBehavior()->CellHints = true;
  TcxHotTrackController* Hints = F.List->Controller()->HotTrackController();
  auto Hover = [&](Integer ARecord) {
    TestMouseMove(F.List->Handle(), F.List->CellCenter(ARecord, 1));
    Application->ProcessMessages();
  };
  auto* Other = new TForm(nullptr);
  Other->SetBounds(600, 100, 200, 100);
  Other->Show();
  Application->ProcessMessages();
  ASSERT_FALSE(F.Form->Active());
  Hover(1);
  EXPECT_FALSE(Hints->HintVisible()) << "another form is active";
  Other->Free();
  F.Form->Show();
  F.Form->SetFocus();
  Application->ProcessMessages();
  ASSERT_TRUE(F.Form->Active());
  Hover(2);
  EXPECT_TRUE(Hints->HintVisible());
}

// An element that wants its hint under the mouse cursor: its hint point is
// where it was asked.
class TBelowCursorElement : public TObject, public IcxHintHotTrackItem {
  KORVANE_CLASS(TBelowCursorElement, TObject)
  TPoint GetHintPoint() const override { return FAskedAt; }
  bool NeedShowHint(TcxCanvas*, const TPoint& P, String& AText, bool& AIsHintBelowCursor, TRect& ATextRect) override {
    FAskedAt = P;
    AText = u"under the cursor";
    AIsHintBelowCursor = true;
    ATextRect = TRect{0, 0, 80, 16};
    return true;
  }

private:
  TPoint FAskedAt;
};

// Where a hint goes: from the element's hint point, past the rows the
// current cursor draws below its hot spot when asked, and for a cell one
// pixel left and up.
TEST(EditingControl, HintsStandBelowTheCursorsDrawnRowsOrOnTheirCell) {
  TListFixture F;
  TcxHotTrackController* Hints = F.List->Controller()->HotTrackController();
  const HCURSOR Old = GetCursor();
  TBitmap Image(16, 16);
  Image.Canvas()->Brush()->SetColor(clFuchsia);
  Image.Canvas()->FillRect(TRect{0, 0, 16, 16});
  Image.Canvas()->Brush()->SetColor(clBlack);
  Image.Canvas()->FillRect(TRect{2, 2, 6, 9});  // rows 2 to 8
  Image.SetTransparentColor(clFuchsia);
  const HCURSOR Drawn = CreateCursorFromBitmap(&Image, nullptr, 2, 2);
  struct TCase {
    const char* Name;
    HCURSOR Cursor;
    bool Below;
    bool Cell;
    TPoint Offset;
  };
  const TCase Cases[] = {
      {"arrow, below", LoadCursor(IDC_ARROW), true, false, {0, 20}},
      {"I-beam, below", LoadCursor(IDC_IBEAM), true, false, {0, 10}},
      {"drawn cursor, below", Drawn, true, false, {0, 7}},
      {"no cursor, below: the system's height", 0, true, false, {0, GetSystemMetrics(SM_CYCURSOR)}},
      {"arrow, at the point", LoadCursor(IDC_ARROW), false, false, {0, 0}},
      {"cell at its point", LoadCursor(IDC_ARROW), false, true, {-1, -1}},
      {"cell below the I-beam", LoadCursor(IDC_IBEAM), true, true, {-1, 9}},
  };
  const TPoint Point{30, 12};
  const TPoint Screen = F.List->ClientToScreen(Point);
  for (const TCase& C : Cases) {
    SetCursor(C.Cursor);
    EXPECT_EQ(Hints->HintPosition(Point, C.Below, C.Cell), (TPoint{Screen.X + C.Offset.X, Screen.Y + C.Offset.Y}))
        << C.Name;
  }
  // An element asking for its hint below the cursor gets it there.
  SetCursor(LoadCursor(IDC_ARROW));
  TBelowCursorElement Element;
  Hints->SetHintsEnabled(true);
  Hints->HotTrack(&Element, Point);
  ASSERT_TRUE(Hints->HintVisible());
  EXPECT_EQ(Hints->HintRect().Left, Screen.X);
  EXPECT_EQ(Hints->HintRect().Top, Screen.Y + 20) << "the arrow's twenty rows stay free";
  Hints->ElementRemoved(&Element);
  EXPECT_FALSE(Hints->HintVisible());
  SetCursor(Old);
  DestroyCursor(Drawn);
}

TEST(EditingControl, HitTestFindsTheCellUnderThePoint) {
  TListFixture F;
  struct TCase {
    TPoint P;
    Integer Record, Item;  // -1: no cell
  };
  const TCase Cases[] = {
      {{0, 0}, 0, 0},
      {{59, 19}, 0, 0},
      {{60, 19}, 0, 1},
      {{60, 20}, 1, 1},
      {{119, 59}, 2, 1},
      {{120, 10}, -1, -1},  // right of the last column
      {{10, 60}, -1, -1},   // below the last record
      {{-1, 5}, -1, -1},
  };
  TcxCustomHitTestController* HitTest = F.List->Controller()->HitTestController();
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(testing::Message() << Case.P.X << "," << Case.P.Y);
    HitTest->HitTest(Case.P);
    auto* Cell = dynamic_cast<TTestCell*>(HitTest->HitEditCell());
    if (Case.Record < 0) {
      EXPECT_EQ(Cell, nullptr);
      continue;
    }
    ASSERT_NE(Cell, nullptr);
    EXPECT_EQ(Cell->Record, Case.Record);
    EXPECT_EQ(Cell->GetItem()->ItemIndex(), Case.Item);
  }
}

// A sizable element with bounds 10 .. 100 along X, recording its deltas.
class TTestSizing : public IcxDragSizing {
public:
  TRect GetSizingBoundsRect(TcxSizingDirection) override { return TRect{10, 0, 100, 50}; }
  Integer GetSizingIncrement(TcxSizingDirection) override { return 10; }
  bool IsDynamicUpdate() override { return Dynamic; }
  void SetSizeDelta(TcxSizingDirection, Integer ADelta) override { Deltas.push_back(ADelta); }
  bool Dynamic = false;
  std::vector<Integer> Deltas;
};

TEST(EditingControl, SizingStepsAreWholeIncrementsRoundedToEven) {
  struct TCase {
    Integer Drag;
    Integer Steps;
  };
  const TCase Cases[] = {{14, 1}, {15, 2}, {25, 2}, {4, 0}, {5, 0}, {6, 1}, {-15, -2}, {-14, -1}};
  for (const TCase& Case : Cases) EXPECT_EQ(cxSizingSteps(Case.Drag, 10), Case.Steps) << Case.Drag;

  TListFixture F;
  struct TDragCase {
    Integer Drag;       // along X from 40
    Integer Applied;    // the delta applied at the end
    Integer LineX;      // the sizing line's position (snapped)
  };
  const TDragCase Drags[] = {{14, 1, 50}, {15, 2, 60}, {25, 2, 60}, {200, 6, 100}, {-200, -3, 10}};
  for (const TDragCase& Case : Drags) {
    SCOPED_TRACE(Case.Drag);
    TTestSizing Element;
    TcxSizingDragAndDropObject Sizing(F.List);
    Sizing.BeginSizing(&Element, cxsdHorizontal, TPoint{40, 10});
    bool Accepted = true;
    Sizing.DragAndDrop(TPoint{40 + Case.Drag, 10}, Accepted);
    EXPECT_EQ(Sizing.DragPos().X, Case.LineX);
    ASSERT_NE(Sizing.SizingLine(), nullptr) << "the line is an overlay window";
    EXPECT_TRUE(Sizing.SizingLine()->Visible());
    EXPECT_EQ(Sizing.SizingLine()->BoundsRect().Left, F.List->ClientToScreen(TPoint{Case.LineX - 1, 0}).X);
    EXPECT_TRUE(Element.Deltas.empty()) << "without dynamic update nothing applies while dragging";
    Sizing.BeforeEndDragAndDrop();
    EXPECT_EQ(Sizing.SizingLine(), nullptr);
    EXPECT_EQ(Element.Deltas, Case.Applied ? std::vector<Integer>{Case.Applied} : std::vector<Integer>{});
  }

  // Esc during the drag applies nothing.
  TTestSizing Element;
  TcxSizingDragAndDropObject Sizing(F.List);
  Sizing.BeginSizing(&Element, cxsdHorizontal, TPoint{40, 10});
  bool Accepted = true;
  Sizing.DragAndDrop(TPoint{70, 10}, Accepted);
  Sizing.SetCancelled(true);
  Sizing.BeforeEndDragAndDrop();
  EXPECT_TRUE(Element.Deltas.empty());
}

TEST(EditingControl, LiveSizingFollowsTheSnappedPosition) {
  TListFixture F;
  // A slow drag, one pixel per move, from 40 to 75: the element grows by a
  // step each time the mouse passes the next half increment, 3 in all -
  // never more than the mouse has travelled.
  TTestSizing Element;
  Element.Dynamic = true;
  TcxSizingDragAndDropObject Sizing(F.List);
  Sizing.BeginSizing(&Element, cxsdHorizontal, TPoint{40, 10});
  bool Accepted = true;
  for (Integer X = 41; X <= 75; ++X) Sizing.DragAndDrop(TPoint{X, 10}, Accepted);
  EXPECT_EQ(Element.Deltas, (std::vector<Integer>{1, 1, 1}));
  EXPECT_EQ(Sizing.DragPos().X, 70);
  EXPECT_EQ(Sizing.SizingLine(), nullptr) << "live sizing shows no line";
  // Back to the start: three steps back, one by one.
  for (Integer X = 74; X >= 40; --X) Sizing.DragAndDrop(TPoint{X, 10}, Accepted);
  EXPECT_EQ(Element.Deltas, (std::vector<Integer>{1, 1, 1, -1, -1, -1}));
  Sizing.BeforeEndDragAndDrop();
  EXPECT_EQ(Element.Deltas.size(), 6u) << "nothing more at the end";
}

TEST(EditingControl, AutoScrollStepsWhileTheMouseRestsInTheArea) {
  TListFixture F;
  TTestClock Clock;
  TcxControlScrollBar* Bar = F.List->VScrollBar();
  ASSERT_NE(Bar, nullptr);
  Bar->SetScrollValues(0, 10, false, 3, 5);
  Bar->Show();
  auto* Controller = static_cast<TTestController*>(F.List->Controller());
  struct TCase {
    bool ToEnd;
    std::vector<Integer> Positions;  // after 4 steps from 5
  };
  const TCase Cases[] = {{true, {6, 7, 8}}, {false, {4, 3, 2, 1}}};
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.ToEnd);
    Bar->SetPosition(5);
    Controller->Scrolls.clear();
    TcxControllerAutoScrollingObject Scroller(Controller);
    Scroller.SetParams(TRect{0, 0, 100, 10}, sbVertical, 1, Case.ToEnd);
    EXPECT_FALSE(Scroller.CheckPoint(TPoint{50, 20}));
    Clock.Advance(cxAutoScrollInterval);
    EXPECT_TRUE(Controller->Scrolls.empty()) << "outside the area nothing scrolls";
    EXPECT_TRUE(Scroller.CheckPoint(TPoint{50, 5}));
    Clock.Advance(4 * cxAutoScrollInterval);
    // Towards the end the last position is Max - PageSize + 1.
    EXPECT_EQ(Controller->Scrolls, Case.Positions);
    EXPECT_FALSE(Scroller.CheckPoint(TPoint{50, 20}));
    EXPECT_FALSE(Scroller.Active());
  }
}

// In bounds mode one step scrolls in every direction of the set, each bar
// within its range; without the mode only the area's own bar moves.
TEST(EditingControl, BoundsModeAutoScrollMovesEachBarOfItsDirections) {
  TListFixture F;
  TTestClock Clock;
  TcxControlScrollBar* VBar = F.List->VScrollBar();
  TcxControlScrollBar* HBar = F.List->HScrollBar();
  ASSERT_NE(VBar, nullptr);
  ASSERT_NE(HBar, nullptr);
  for (TcxControlScrollBar* Bar : {VBar, HBar}) {
    Bar->SetScrollValues(0, 10, false, 3, 5);
    Bar->Show();
  }
  auto* Controller = static_cast<TTestController*>(F.List->Controller());
  struct TCase {
    TcxAutoScrollDirections Directions;
    Integer Vert, Horz;  // after 2 steps from 5 by 2
  };
  const TCase Cases[] = {{cxAutoScrollDirection(asdDown) | cxAutoScrollDirection(asdRight), 8, 8},
                         {cxAutoScrollDirection(asdUp), 1, 5},
                         {cxAutoScrollDirection(asdLeft) | cxAutoScrollDirection(asdDown), 8, 1},
                         {0, 5, 5}};
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Directions);
    VBar->SetPosition(5);
    HBar->SetPosition(5);
    TcxControllerAutoScrollingObject Scroller(Controller);
    Scroller.SetParams(TRect{0, 0, 100, 10}, sbVertical, 2, true);
    Scroller.SetBoundsMode(true);
    Scroller.SetDirections(Case.Directions);
    ASSERT_TRUE(Scroller.CheckPoint(TPoint{50, 5}));
    Clock.Advance(2 * cxAutoScrollInterval);
    EXPECT_EQ(VBar->Position(), Case.Vert);
    EXPECT_EQ(HBar->Position(), Case.Horz);
  }
}

namespace {

// Drags the rectangle (10, 10, 50, 30) of the list, painted red.
class TTestControlDrag : public TcxCustomControlDragAndDropObject {
public:
  using TcxCustomControlDragAndDropObject::TcxCustomControlDragAndDropObject;
  TRect GetDragItemBounds() override { return TRect{10, 10, 50, 30}; }
  void PaintDragImage(TcxCanvas* ACanvas) override {
    ACanvas->Canvas()->Brush()->SetColor(clRed);
    ACanvas->Canvas()->FillRect(TRect{10, 10, 50, 30});
    ++Paints;
  }
  Integer Paints = 0;
};

}  // namespace

// The picture of the dragged element follows the mouse with the grab point
// kept; the areas scroll while the mouse rests in them and stop at the end;
// the cursor tells whether the place takes a drop.
TEST(EditingControl, ControlDragObjectMovesItsPictureAndScrolls) {
  TListFixture F;
  TTestClock Clock;
  TcxControlScrollBar* Bar = F.List->VScrollBar();
  Bar->SetScrollValues(0, 10, false, 3, 5);
  Bar->Show();
  Bar->SetPosition(5);
  TestMouseMove(F.List->Handle(), TPoint{20, 15});
  TTestControlDrag Drag(F.List);
  TcxAutoScrollingObject* Down = Drag.AddAutoScrollingObject(TRect{0, 60, 100, 70}, sbVertical, true);
  Drag.DoBeginDragAndDrop();
  EXPECT_EQ(Drag.Paints, 1);
  EXPECT_EQ(Drag.HotSpot(), (TPoint{-10, -5}));
  ASSERT_NE(Drag.DragImage(), nullptr);
  EXPECT_EQ(Drag.DragImage()->Alpha(), cxDragImageAlpha);
  bool Accepted = true;
  Drag.DoDragAndDrop(TPoint{40, 65}, Accepted);
  EXPECT_TRUE(Drag.DragImage()->Visible());
  EXPECT_EQ(Drag.DragImage()->BoundsRect().Left, F.List->ClientToScreen(TPoint{30, 60}).X);
  EXPECT_EQ(Drag.DragImage()->BoundsRect().Width(), 40);
  EXPECT_TRUE(Down->Active());
  Clock.Advance(cxAutoScrollInterval);
  EXPECT_EQ(Bar->Position(), 6);
  EXPECT_EQ(Drag.GetCursor(true), crDefault);
  EXPECT_EQ(Drag.GetCursor(false), crcxNoDrop);
  Drag.DoEndDragAndDrop(true);
  EXPECT_FALSE(Down->Active());
  EXPECT_FALSE(Drag.DragImage()->Visible());
  Clock.Advance(cxAutoScrollInterval);
  EXPECT_EQ(Bar->Position(), 6);
  // The base object shows the control's own drag cursor where a drop is taken.
  TcxBaseDragAndDropObject Base(F.List);
  F.List->SetDragCursor(crMultiDrag);
  EXPECT_EQ(Base.GetCursor(true), crMultiDrag);
  EXPECT_EQ(Base.GetCursor(false), crNoDrop);
}

TEST(EditingControl, DragPictureIsASemiTransparentOverlay) {
  TListFixture F;
  F.List->OptionsBehavior()->DragDropText = true;
  TestMousePress(F.List->Handle(), TPoint{20, 15});
  Application->ProcessMessages();
  F.List->BeginDragImage();
  ASSERT_NE(F.List->DragImage(), nullptr);
  const TPoint Screen = F.List->ClientToScreen(TPoint{30, 25});
  F.List->DragImage()->MoveTo(Screen);
  const TOverlayWindow* Window = F.List->DragImage()->Window();
  ASSERT_NE(Window, nullptr);
  EXPECT_TRUE(Window->Visible());
  EXPECT_EQ(Window->Alpha(), cxDragImageAlpha);
  // The picture keeps its place relative to the cursor: its top-left was
  // (10, 10) with the press at (20, 15).
  EXPECT_EQ(Window->BoundsRect().Left, Screen.X - 10);
  EXPECT_EQ(Window->BoundsRect().Top, Screen.Y - 5);
  EXPECT_EQ(Window->BoundsRect().Width(), 40);
  // The drag mouse hook moves it with the mouse and ends it at the release.
  EXPECT_EQ(DragMouseHookControl(), F.List);
  TestMouseMove(F.List->Handle(), TPoint{60, 45});
  Application->ProcessMessages();
  ASSERT_NE(F.List->DragImage(), nullptr);
  EXPECT_EQ(F.List->DragImage()->Window()->BoundsRect().Left, F.List->ClientToScreen(TPoint{50, 40}).X);
  TestMouseRelease(F.List->Handle(), TPoint{60, 45});
  Application->ProcessMessages();
  EXPECT_EQ(F.List->DragImage(), nullptr);
  EXPECT_EQ(DragMouseHookControl(), nullptr);
}

// ---- Painting ---------------------------------------------------------------------------------

std::string Hex(TColor C) { return Narrow(IntToHex(Integer(C), 6)); }

// The list as it paints itself.
std::unique_ptr<TBitmap> Shot(TTestList* AList) {
  auto Picture = std::make_unique<TBitmap>(AList->ClientWidth(), AList->ClientHeight(), pf32bit);
  AList->PaintTo(Picture->Canvas()->Handle(), 0, 0);
  return Picture;
}

// A point of the cell's background, away from its text.
TPoint Background(Integer ARecord, Integer AItem) {
  return TPoint{(AItem + 1) * kColumnWidth - 6, ARecord * kRowHeight + 3};
}

struct TStyledFixture : TListFixture {
  TStyledFixture() {
    const std::pair<TcxStyle**, TColor> Looks[] = {
        {&Content, clYellow}, {&Selection, clNavy}, {&Inactive, clGray}};
    for (const auto& [Style, Color] : Looks) {
      *Style = new TcxStyle(Form);
      (*Style)->SetColor(Color);
    }
    List->Styles()->SetContent(Content);
    List->Styles()->SetSelection(Selection);
    List->Styles()->SetInactive(Inactive);
    Application->ProcessMessages();
  }
  TcxStyle* Content = nullptr;
  TcxStyle* Selection = nullptr;
  TcxStyle* Inactive = nullptr;
};

TEST(EditingControlPainting, CellsTakeContentSelectionAndInactiveStyles) {
  TStyledFixture F;
  struct Case {
    const char* Name;
    bool Focused;
    TPoint At;
    TColor Expected;
  };
  const Case Cases[] = {
      {"other row, focused", true, Background(1, 1), clYellow},
      {"selected row, focused", true, Background(0, 1), clNavy},
      {"other row, focus elsewhere", false, Background(2, 0), clYellow},
      {"selected row, focus elsewhere", false, Background(0, 1), clGray},
  };
  for (const Case& C : Cases) {
    if (C.Focused)
      F.List->SetFocus();
    else
      F.Other->SetFocus();
    Application->ProcessMessages();
    const TColor Found = Shot(F.List)->PixelColor(C.At.X, C.At.Y);
    EXPECT_EQ(Found, C.Expected) << C.Name << ": found " << Hex(Found) << ", wanted " << Hex(C.Expected);
  }
}

TEST(EditingControlPainting, UnassignedStylesFollowTheLookAndFeel) {
  TListFixture F;
  const TcxCustomLookAndFeelPainter* Painter = PainterOf(F.List->LookAndFeel()->Painter());
  ASSERT_NE(Painter, nullptr);
  const auto Picture = Shot(F.List);
  const std::pair<TPoint, TColor> Probes[] = {{Background(1, 0), ColorToRGB(Painter->ContentColor())},
                                              {Background(0, 1), ColorToRGB(Painter->SelectionColor())}};
  for (const auto& [At, Wanted] : Probes) {
    const TColor Found = Picture->PixelColor(At.X, At.Y);
    EXPECT_EQ(Found, Wanted) << "at " << At.X << "," << At.Y << " found " << Hex(Found);
  }
  // Outside every cell only the background shows.
  const TColor Outside = Picture->PixelColor(2 * kColumnWidth + 10, 3 * kRowHeight + 10);
  EXPECT_EQ(Outside, ColorToRGB(Painter->ContentColor())) << "found " << Hex(Outside);
}

TEST(EditingControlPainting, WithoutItemsOnlyTheBackgroundShows) {
  TStyledFixture F;
  auto* Back = new TcxStyle(F.Form);
  Back->SetColor(clTeal);
  F.List->Styles()->SetBackground(Back);
  for (auto& Column : F.Columns) Column->SetEditingControl(nullptr);
  Application->ProcessMessages();
  const auto Picture = Shot(F.List);
  Integer Other = 0;
  for (Integer Y = 0; Y < Picture->Height(); ++Y)
    for (Integer X = 0; X < Picture->Width(); ++X) Other += Picture->PixelColor(X, Y) != clTeal;
  EXPECT_EQ(Other, 0) << "pixels other than the background";
}

TEST(EditingControlPainting, BufferedPaintingDrawsTheSamePicture) {
  TStyledFixture F;
  const auto Direct = Shot(F.List);
  F.List->SetBufferedPaint(true);
  ASSERT_TRUE(F.List->BufferedPaint());
  Application->ProcessMessages();
  const auto Buffered = Shot(F.List);
  F.List->SetBufferedPaint(false);
  Application->ProcessMessages();
  const auto DirectAgain = Shot(F.List);
  Integer Differ = 0, DifferAgain = 0;
  for (Integer Y = 0; Y < Direct->Height(); ++Y)
    for (Integer X = 0; X < Direct->Width(); ++X) {
      Differ += Direct->PixelColor(X, Y) != Buffered->PixelColor(X, Y);
      DifferAgain += Direct->PixelColor(X, Y) != DirectAgain->PixelColor(X, Y);
    }
  EXPECT_EQ(Differ, 0);
  EXPECT_EQ(DifferAgain, 0);
  // Not an empty picture twice: the selected row is there.
  EXPECT_EQ(Buffered->PixelColor(Background(0, 1).X, Background(0, 1).Y), clNavy);
}

// Pixels of the cell's left part in AColor.
Integer CountInCell(const TBitmap& APicture, Integer ARecord, Integer AItem, TColor AColor) {
  Integer Count = 0;
  for (Integer Y = ARecord * kRowHeight; Y < (ARecord + 1) * kRowHeight; ++Y)
    for (Integer X = AItem * kColumnWidth; X < AItem * kColumnWidth + kColumnWidth / 2; ++X)
      Count += APicture.PixelColor(X, Y) == AColor;
  return Count;
}

TEST(EditingControlPainting, IncrementalSearchHighlightsTheFoundText) {
  TListFixture F;
  F.List->OptionsBehavior()->SetIncSearch(true);
  // The selection colour of the look-and-feel may be a system colour: the
  // highlight inverts the colour it stands for.
  const TColor Highlight = cxInvertedColor(F.List->Styles()->GetSelectionParams().Color);
  EXPECT_EQ(CountInCell(*Shot(F.List), 1, 0, Highlight), 0) << "highlight before any search";
  F.List->Controller()->IncSearch(u"b");
  Application->ProcessMessages();
  ASSERT_EQ(F.List->Controller()->GetFocusedRecordIndex(), 1);
  auto Picture = Shot(F.List);
  Picture->SaveToFile(u"/tmp/korvane_editing_control_search.png");
  EXPECT_GT(CountInCell(*Picture, 1, 0, Highlight), 10) << "no highlight in " << Hex(Highlight);
  // Only the search column's cell shows it.
  EXPECT_EQ(CountInCell(*Picture, 1, 1, Highlight), 0);
  F.List->Controller()->CancelIncSearch();
  Application->ProcessMessages();
  EXPECT_EQ(CountInCell(*Shot(F.List), 1, 0, Highlight), 0) << "highlight after the search ended";
}

// The list with the focus and a selected row, first with a search
// highlight, then with an open editor (opening it ends the search); both
// saved for a look.
TEST(EditingControlPainting, PicturesOfTheListWithSearchAndEditor) {
  TListFixture F;
  F.List->OptionsBehavior()->SetIncSearch(true);
  const TColor Selected = ColorToRGB(F.List->Styles()->GetSelectionParams().Color);
  F.List->Controller()->IncSearch(u"c");
  Application->ProcessMessages();
  TBitmap Picture(F.Form->ClientWidth(), F.Form->ClientHeight(), pf32bit);
  F.Form->PaintTo(Picture.Canvas()->Handle(), 0, 0);
  Picture.SaveToFile(u"/tmp/korvane_editing_control_1.png");
  // The list lies at (10, 10) in the form.
  const TPoint Row2 = Background(2, 1);
  EXPECT_EQ(Picture.PixelColor(10 + Row2.X, 10 + Row2.Y), Selected);
  auto Inside = std::make_unique<TBitmap>(F.List->ClientWidth(), F.List->ClientHeight(), pf32bit);
  Inside->Canvas()->CopyRect(TRect{0, 0, Inside->Width(), Inside->Height()}, Picture.Canvas(),
                             TRect{10, 10, 10 + Inside->Width(), 10 + Inside->Height()});
  EXPECT_GT(CountInCell(*Inside, 2, 0, cxInvertedColor(Selected)), 10);

  F.List->EditingController()->ActivateCellEditor(F.Columns[1].get());
  Application->ProcessMessages();
  ASSERT_NE(F.Editor(), nullptr);
  EXPECT_TRUE(F.List->Controller()->IncSearchText().empty());
  F.Form->PaintTo(Picture.Canvas()->Handle(), 0, 0);
  Picture.SaveToFile(u"/tmp/korvane_editing_control_2.png");
  // The editor covers its cell; the row keeps the selection look.
  EXPECT_EQ(F.Editor()->BoundsRect().TopLeft(), (TPoint{kColumnWidth + 1, 2 * kRowHeight + 1}));
  const TPoint Row2Left = Background(2, 0);
  EXPECT_EQ(Picture.PixelColor(10 + Row2Left.X, 10 + Row2Left.Y), Selected);
}

TEST(EditingControlPainting, CustomDrawReplacesTheCellsPainting) {
  TStyledFixture F;
  F.List->OnCustomDrawCell = TcxEditingControlCustomDrawCellEvent(
      &F, [](TcxEditingControl*, TcxCanvas* ACanvas, TcxEditCellViewInfo* ACell, bool& ADone) {
        if (ACell->GetItem()->ItemIndex() != 1) return;
        ACanvas->SetBrushColor(clRed);
        ACanvas->FillRectOrTileBitmap(ACell->ClipRect(), nullptr);
        ADone = true;
      });
  F.List->Invalidate();
  Application->ProcessMessages();
  const auto Picture = Shot(F.List);
  EXPECT_EQ(Picture->PixelColor(Background(2, 1).X, Background(2, 1).Y), clRed);
  // The background fill does not overdraw the custom-drawn cell.
  EXPECT_EQ(Picture->PixelColor(2 * kColumnWidth - 1, 2 * kRowHeight + 5), clRed);
  EXPECT_EQ(Picture->PixelColor(Background(2, 0).X, Background(2, 0).Y), clYellow);
}

// ---- Measuring --------------------------------------------------------------------------------

// Which cells show their editor buttons: the item's own choice, else the
// control's (always, the focused cell only, never).
TEST(EditingControlPainting, EditorButtonsShowByTheItemsOrTheControlsChoice) {
  struct TCase {
    const char* Name;
    TcxEditItemShowEditButtons Item;
    TcxEditingControlEditShowButtons Control;
    bool Focused;  // the focused cell shows buttons
    bool Other;    // another cell of the column does
  };
  const TCase Cases[] = {
      {"control: never (the default)", eisbDefault, ecsbNever, false, false},
      {"control: focused cell", eisbDefault, ecsbFocused, true, false},
      {"control: always", eisbDefault, ecsbAlways, true, true},
      {"item: always beats the control's never", eisbAlways, ecsbNever, true, true},
      {"item: never beats the control's always", eisbNever, ecsbAlways, false, false},
  };
  for (const TCase& C : Cases) {
    TListFixture F;
    F.Columns[1]->SetPropertiesClass(TcxButtonEditProperties::StaticClass());
    F.Columns[1]->Options()->SetShowEditButtons(C.Item);
    F.List->OptionsView()->SetShowEditButtons(C.Control);
    F.List->Controller()->FocusRecordAndItem(1, F.Columns[1].get());
    F.List->LayoutChanged();
    Application->ProcessMessages();
    ASSERT_EQ(F.Editor(), nullptr) << C.Name;
    auto Shows = [&](Integer ARecord) {
      return F.List->ListViewInfo()->Cell(ARecord, 1)->EditViewInfo()->ButtonCount() > 0;
    };
    EXPECT_EQ(Shows(1), C.Focused) << C.Name;
    EXPECT_EQ(Shows(2), C.Other) << C.Name;
  }
}

// A cell's editor button lights up under the mouse in a look that
// hot-tracks buttons, and only its button is repainted; a look that does
// not, or a property set without buttons, stays as it is.
TEST(EditingControlPainting, ACellsEditorButtonFollowsTheMouse) {
  TListFixture F;
  F.Columns[1]->SetPropertiesClass(TcxButtonEditProperties::StaticClass());
  F.List->OptionsView()->SetShowEditButtons(ecsbAlways);
  F.List->LookAndFeel()->SetNativeStyle(false);
  F.List->LookAndFeel()->SetKind(lfUltraFlat);
  F.List->LayoutChanged();
  Application->ProcessMessages();
  TTestCell* Cell = F.List->ListViewInfo()->Cell(2, 1);
  ASSERT_TRUE(Cell && Cell->EditViewInfo());
  ASSERT_EQ(Cell->EditViewInfo()->ButtonCount(), 1);
  auto ButtonCentre = [&] {
    TRect B = Cell->EditViewInfo()->Button(0)->Bounds;
    OffsetRect(B, Cell->EditViewInfo()->Left, Cell->EditViewInfo()->Top);
    return TPoint{(B.Left + B.Right) / 2, (B.Top + B.Bottom) / 2};
  };
  auto Hover = [&](const TPoint& P) {
    TestMouseMove(F.List->Handle(), P);
    Application->ProcessMessages();
  };
  const TPoint Text = TPoint{Cell->ContentRect().Left + 3, ButtonCentre().Y};
  const TPoint Button = ButtonCentre();
  const TColor Normal = Shot(F.List)->PixelColor(Button.X, Button.Y - 3);
  Hover(Button);
  EXPECT_EQ(Cell->EditViewInfo()->HotButton, 0);
  EXPECT_TRUE(Cell->EditViewInfo()->Button(0)->Data.Hot);
  EXPECT_NE(Shot(F.List)->PixelColor(Button.X, Button.Y - 3), Normal) << "the hot button is drawn hot";
  Hover(Text);
  EXPECT_EQ(Cell->EditViewInfo()->HotButton, -1) << "off the button";
  Hover(Button);
  Hover(F.List->CellCenter(2, 0));
  EXPECT_EQ(Cell->EditViewInfo()->HotButton, -1) << "the mouse left the cell";
  EXPECT_EQ(Shot(F.List)->PixelColor(Button.X, Button.Y - 3), Normal);
  // The flat look does not hot-track buttons.
  F.List->LookAndFeel()->SetKind(lfFlat);
  F.List->LayoutChanged();
  Application->ProcessMessages();
  Cell = F.List->ListViewInfo()->Cell(2, 1);
  Hover(F.List->CellCenter(2, 0));
  Hover(ButtonCentre());
  EXPECT_EQ(Cell->EditViewInfo()->HotButton, -1);
}

TEST(EditingControlMeasuring, CellSizesFollowTextRowsAndFont) {
  TListFixture F;
  struct Case {
    const char* Name;
    const char* Text;
    Integer FontSize;  // 0: the control's font
    bool AutoHeight;
    Integer MaxLines;
    Integer Rows;  // the rows the text takes in the 57-pixel text width
  };
  const Case Cases[] = {
      {"single line", "a0", 0, false, 0, 1},
      {"long text, one row without auto height", "aaa bbb ccc ddd eee", 0, false, 0, 1},
      {"long text broken into rows", "aaa bbb ccc ddd eee", 0, true, 0, 3},
      {"rows limited", "aaa bbb ccc ddd eee", 0, true, 2, 2},
      {"line breaks", "a\nb", 0, true, 0, 2},
      {"empty text takes a row", "", 0, true, 0, 1},
      {"larger font", "a0", 20, false, 0, 1},
  };
  TcxStyle* Style = new TcxStyle(F.Form);
  TCanvas* Canvas = F.List->Canvas();
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TFont Font;
    Font.Assign(F.List->Font());
    if (C.FontSize) Font.SetSize(C.FontSize);
    Style->SetFont(&Font);
    F.List->Styles()->SetContent(Style);
    F.List->OptionsView()->SetCellAutoHeight(C.AutoHeight);
    F.List->OptionsView()->SetCellTextMaxLineCount(C.MaxLines);
    F.List->DataController()->SetValue(2, 0, Variant(UTF8ToString(C.Text)));
    F.List->LayoutChanged();
    TTestCell* Cell = F.List->ListViewInfo()->Cell(2, 0);
    ASSERT_NE(Cell, nullptr);
    // One row of the font, and the text's width, as the canvas measures them.
    Canvas->Font()->Assign(&Font);
    const Integer Row = Canvas->TextHeight(u"Qq");
    const Integer TextWidth = Canvas->TextWidth(UTF8ToString(C.Text));
    TcxCustomInplaceEditContainer* Item = F.Columns[0].get();
    const Integer OneRow = Item->GetDefaultEditHeight(&Font);
    EXPECT_GE(OneRow, Row);
    // Content offsets (1 + 1) and the bottom border.
    EXPECT_EQ(Item->CalcCellHeight(Cell), OneRow + (C.Rows - 1) * Row + 3);
    if (!C.AutoHeight) {
      EXPECT_EQ(Item->CalcCellWidth(Cell), OneRow - Row + TextWidth + 2);
    }
    // An auto-height cell keeps the measured height; others the default.
    Cell->RefreshCellParams(true);
    EXPECT_EQ(Cell->CellHeight(), C.AutoHeight ? Item->CalcCellHeight(Cell) : F.List->ViewInfo()->DefaultEditHeight());
  }
}

// Cells showing the column's own properties share its view data; a record
// with other properties has its own. A new property class gives a new
// shared view data, which the cells take at the next layout.
TEST(EditingControlMeasuring, CellsShareTheColumnsViewData) {
  TListFixture F;
  TTestEditProperties Other(nullptr);
  TTestColumn* Column = F.Columns[0].get();
  Column->OnGetEditProperties = TcxGetEditPropertiesEvent(
      &F, [&Other](TcxCustomInplaceEditContainer*, Integer ARecord, TcxCustomEditProperties*& AProperties) {
        if (ARecord == 2) AProperties = &Other;
      });
  F.List->LayoutChanged();
  TTestListViewInfo* ViewInfo = F.List->ListViewInfo();
  ASSERT_NE(Column->EditViewData(), nullptr);
  EXPECT_EQ(ViewInfo->Cell(0, 0)->ViewData(), Column->EditViewData());
  EXPECT_EQ(ViewInfo->Cell(1, 0)->ViewData(), Column->EditViewData());
  ASSERT_NE(ViewInfo->Cell(2, 0)->ViewData(), nullptr);
  EXPECT_NE(ViewInfo->Cell(2, 0)->ViewData(), Column->EditViewData());
  EXPECT_EQ(ViewInfo->Cell(2, 0)->ViewData()->Properties(), &Other);

  Column->SetPropertiesClass(nullptr);
  Column->SetPropertiesClass(TTestEditProperties::StaticClass());
  Application->ProcessMessages();
  ASSERT_NE(Column->EditViewData(), nullptr);
  EXPECT_EQ(Column->EditViewData()->Properties(), Column->Properties());
  EXPECT_EQ(ViewInfo->Cell(0, 0)->ViewData(), Column->EditViewData());
  // Painting reaches every cell's view data.
  Shot(F.List);
  // The cells let go of the other property set before it goes.
  Column->OnGetEditProperties = TcxGetEditPropertiesEvent();
  F.List->LayoutChanged();
}

}  // namespace

TEST(EditingControl, ALookAndFeelChangeStoresTheEditorAndOpensItAgainInTheNewLook) {
  TListFixture F;
  F.Run({"click:0,0", "t:q"});
  ASSERT_NE(F.Editor(), nullptr);
  F.List->LookAndFeel()->SetKind(lfFlat);
  Application->ProcessMessages();
  // The typed value was kept and the editor is open again on the same cell.
  EXPECT_EQ(Narrow(F.Cell(0, 0)), "q");
  ASSERT_NE(F.Editor(), nullptr);
  EXPECT_TRUE(F.Editor()->Visible());
  EXPECT_EQ(F.List->Controller()->FocusedItem(), F.List->Items(0));
  // A value the editor refuses is reported to the caller and keeps the editor open with the user's text.
  F.Run({"t:!"});
  const String Text = F.Editor()->Text;
  EXPECT_ANY_THROW(F.List->LookAndFeel()->SetKind(lfStandard));
  Application->ProcessMessages();
  ASSERT_NE(F.Editor(), nullptr);
  EXPECT_EQ(F.Editor()->Text, Text);
  EXPECT_EQ(Narrow(F.Cell(0, 0)), "q");
}

// While the control updates, the data controller holds its notices: the
// values set meanwhile reach the control as one notice at the end.
TEST(EditingControl, TheControlsUpdateHoldsTheDataNoticesUntilItEnds) {
  TListFixture F;
  TcxControlDataController* DC = F.List->DataController();
  F.List->Notices.clear();
  F.List->BeginUpdate();
  DC->SetValue(1, 1, Variant(String(u"y")));
  DC->SetValue(2, 1, Variant(String(u"z")));
  EXPECT_TRUE(F.List->Notices.empty());
  F.List->EndUpdate();
  EXPECT_EQ(std::count(F.List->Notices.begin(), F.List->Notices.end(), "TcxDataChangedInfo"), 1);
  EXPECT_EQ(Narrow(F.List->ListViewInfo()->Cell(2, 1)->GetDisplayText()), "z");
}

// Each notice of the data controller reaches its own hook of the control.
TEST(EditingControl, SelectionAndRecordUpdateNoticesReachTheirHooks) {
  TListFixture F;
  TcxControlDataController* DC = F.List->DataController();
  DC->SetMultiSelect(true);
  const Integer Before = F.List->Selections;
  DC->ChangeRowSelection(1, true);
  EXPECT_EQ(F.List->Selections, Before + 1);
  auto& Updated = static_cast<TTestController*>(F.List->Controller())->UpdatedRecords;
  Updated.clear();
  // Typing starts the editing of the record: the record is updated.
  F.Run({"click:2,0", "t:x"});
  ASSERT_FALSE(Updated.empty());
  EXPECT_EQ(Updated.back(), 2);
}

// Only the focused row's cells are taken anew; the others wait for the
// next layout.
TEST(EditingControl, RefreshingTheFocusedCellsTakesTheirValuesAnew) {
  TListFixture F;
  TcxControlDataController* DC = F.List->DataController();
  F.List->BeginUpdate();
  DC->SetValue(0, 1, Variant(String(u"new focused")));
  DC->SetValue(1, 1, Variant(String(u"new other")));
  F.List->Controller()->RefreshFocusedCells();
  EXPECT_EQ(Narrow(F.List->ListViewInfo()->Cell(0, 1)->GetDisplayText()), "new focused");
  EXPECT_EQ(Narrow(F.List->ListViewInfo()->Cell(1, 1)->GetDisplayText()), "b1");
  F.List->EndUpdate();
  EXPECT_EQ(Narrow(F.List->ListViewInfo()->Cell(1, 1)->GetDisplayText()), "new other");
}

// What an item's editor kept between activations goes when the item's
// properties change, but never under its open editor.
TEST(EditingControl, AnItemsEditDataGoesWithItsPropertiesButNotUnderItsEditor) {
  TListFixture F;
  TcxEditingController* Editing = F.List->EditingController();
  F.Run({"click:1,1", "enter", "click:1,0"});
  ASSERT_NE(Editing->ItemEditData(F.Columns[1].get()), nullptr);
  ASSERT_NE(F.Editor(), nullptr);
  TcxCustomEditData* Open = Editing->ItemEditData(F.Columns[0].get());
  ASSERT_NE(Open, nullptr);
  // The open editor's item keeps its data; another item's goes.
  F.Columns[0]->PropertiesChanged();
  F.Columns[1]->PropertiesChanged();
  EXPECT_EQ(Editing->ItemEditData(F.Columns[0].get()), Open);
  EXPECT_EQ(F.Editor()->EditData(), Open);
  EXPECT_EQ(Editing->ItemEditData(F.Columns[1].get()), nullptr);
  F.Run({"esc"});
  // A new kind of editor for the item: the old kind's data goes.
  F.Columns[0]->SetPropertiesClass(TcxTextEditProperties::StaticClass());
  EXPECT_EQ(Editing->ItemEditData(F.Columns[0].get()), nullptr);
}

// The cells' editor views draw in the control's look and feel.
TEST(EditingControl, TheCellsFollowTheControlsLookAndFeel) {
  TListFixture F;
  for (TcxLookAndFeelKind Kind : {lfFlat, lfOffice11, lfStandard}) {
    F.List->LookAndFeel()->SetKind(Kind);
    Application->ProcessMessages();
    F.List->LayoutChanged();
    EXPECT_EQ(F.List->EditStyle()->LookAndFeel()->Kind(), Kind);
    EXPECT_EQ(F.List->ListViewInfo()->Cell(1, 1)->ViewData()->LookAndFeelKind(), Kind);
  }
}

// A drag over the control ends the editor with its value kept; at the end
// of the drag the editor opens again only when one was open at the press.
TEST(EditingControl, ADragEndsTheEditorAndItsEndOpensItAgainWhenOneWasOpen) {
  TListFixture F;
  TcxCustomControlController* Controller = F.List->Controller();
  struct TCase {
    const char* Name;
    std::vector<std::string> Steps;  // the last press starts the drag
    bool Reopens;
  };
  const TCase Cases[] = {
      {"editor open at the press", {"click:1,1", "click:1,1", "t:q"}, true},
      {"no editor at the press", {"click:2,1", "enter", "click:2,1", "t:q"}, false},
  };
  for (const TCase& C : Cases) {
    F.Run(C.Steps);
    ASSERT_NE(F.Editor(), nullptr) << C.Name;
    Controller->DragOver();
    EXPECT_EQ(F.Editor(), nullptr) << C.Name;
    const Integer Record = Controller->GetFocusedRecordIndex();
    EXPECT_EQ(Narrow(F.Cell(Record, 1)).back(), 'q') << C.Name << ": the typed value was kept";
    const TPoint P = F.List->CellCenter(Record, 1);
    Controller->EndDrag(P.X, P.Y);
    EXPECT_EQ(F.Editor() != nullptr, C.Reopens) << C.Name;
    F.Run({"esc"});
  }
}
