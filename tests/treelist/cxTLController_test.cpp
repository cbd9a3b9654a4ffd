// The tree list's keys and mouse on a shown control: moving the focus,
// paging, Home and End, expanding from the keypad, Insert and Ctrl+Delete,
// the expand button, header clicks that sort, selection with Shift and
// Ctrl, the wheel, and incremental search with Chinese text.
#include "treelist/cxTLController.h"

#include <gtest/gtest.h>

#include <vector>

#include "editors/cxMRUEdit.h"
#include "platform/gui/stdctrls.h"
#include "platform/gui/testinput.h"
#include "treelist_view_fixture.h"

namespace {

class TAnswerDialogs : public TDialogService {
public:
  Integer Answer = IDOK;
  std::vector<String> Texts;
  Integer MessageBox(HWND, const String& Text, const String& Caption, Cardinal) override {
    Texts.push_back(Text + u"|" + Caption);
    return Answer;
  }
  TFileDialogResult OpenFile(HWND, const TFileDialogRequest&) override { return {}; }
  TFileDialogResult SaveFile(HWND, const TFileDialogRequest&) override { return {}; }
};

struct TInputFixture : TTreeViewFixture {
  TInputFixture() {
    Tree->Controller()->FocusRecordAndItem(A->RecordIndex(), Column(0));
    OldDialogs = SetDialogService(&Dialogs);
  }
  ~TInputFixture() { SetDialogService(OldDialogs); }
  void Key(Word AKey, Cardinal AModifiers = 0) {
    TestKey(AKey, u"", AModifiers);
    Application->ProcessMessages();
  }
  void Click(const TPoint& P, Cardinal AModifiers = 0) {
    TestClick(Tree->Handle(), P, tbLeft, AModifiers);
    Application->ProcessMessages();
  }
  std::string Focused() const { return Name(Tree->FocusedNode()); }
  std::string Selected() const {
    std::string Result;
    for (TcxTreeListNode* N : Tree->SelectionList()) Result += (Result.empty() ? "" : ",") + Name(N);
    return Result;
  }
  void AddMany(Integer ACount) {
    Tree->BeginUpdate();
    for (Integer I = 0; I < ACount; ++I) Make(nullptr, "n" + std::to_string(I));
    Tree->EndUpdate();
  }
  TAnswerDialogs Dialogs;
  TDialogService* OldDialogs = nullptr;
};

}  // namespace

TEST(TreeListKeys, ArrowsHomeEndAndTheKeypad) {
  TInputFixture F;
  // Key, modifiers, focused node and column afterwards.
  struct Step {
    Word Key;
    Cardinal Mods;
    const char* Node;
    Integer Column;
  };
  const Step Steps[] = {
      {VK_DOWN, 0, "a1", 0},    {VK_DOWN, 0, "a2", 0},   {VK_RIGHT, 0, "a2", 1},  {VK_DOWN, 0, "a21", 1},
      {VK_UP, 0, "a2", 1},      {VK_HOME, 0, "a2", 0},   {VK_END, 0, "a2", 1},    {VK_END, tkCtrl, "c", 1},
      {VK_HOME, tkCtrl, "a", 1}, {VK_DOWN, tkShift, "a1", 1},
  };
  for (const Step& S : Steps) {
    F.Key(S.Key, S.Mods);
    EXPECT_EQ(F.Focused(), S.Node) << "after key " << S.Key;
    EXPECT_EQ(F.Tree->Controller()->FocusedItem(), F.Column(S.Column)) << "after key " << S.Key;
  }
  // Keypad: - collapses, + expands, * expands the whole subtree. (The test
  // input has no keypad keys: they go to the controller as the window would pass them.)
  F.Tree->SetFocusedNode(F.A);
  auto Keypad = [&](Word AKey) { F.Tree->Controller()->KeyDown(AKey, 0); };
  Keypad(VK_SUBTRACT);
  EXPECT_FALSE(F.A->Expanded());
  Keypad(VK_ADD);
  EXPECT_TRUE(F.A->Expanded());
  F.A->Collapse(true);
  Keypad(VK_MULTIPLY);
  EXPECT_TRUE(F.A->Expanded());
  EXPECT_TRUE(F.A2->Expanded());
}

TEST(TreeListKeys, LeftAndRightExpandWithOneVisibleColumn) {
  TInputFixture F;
  F.Column(1)->SetVisible(false);
  F.Key(VK_LEFT);
  EXPECT_FALSE(F.A->Expanded());
  F.Key(VK_RIGHT);
  EXPECT_TRUE(F.A->Expanded());
}

TEST(TreeListKeys, ShiftExtendsTheSelectionFromTheAnchor) {
  TInputFixture F;
  F.Tree->SetMultiSelect(true);
  F.Tree->Controller()->FocusRecordAndItem(F.A1->RecordIndex(), F.Column(0));
  F.Key(VK_DOWN, tkShift);
  EXPECT_EQ(F.Selected(), "a1,a2");
  F.Key(VK_DOWN, tkShift);
  EXPECT_EQ(F.Selected(), "a1,a2,a21");
  F.Key(VK_UP, tkShift);
  EXPECT_EQ(F.Selected(), "a1,a2");
  // Shift+End keeps only the anchor's range: from a1 to the last node.
  F.Key(VK_END, tkCtrl | tkShift);
  EXPECT_EQ(F.Selected(), "a1,a2,a21,b,c");
  // Ctrl+Space toggles the focused node; a plain arrow leaves only the focused node.
  F.Key(VK_SPACE, tkCtrl);
  EXPECT_EQ(F.Selected(), "a1,a2,a21,b");
  F.Key(VK_UP);
  EXPECT_EQ(F.Selected(), "b");
}

TEST(TreeListKeys, DownPastTheLastRowNeverLeavesTheRows) {
  TInputFixture F;
  F.Tree->SetFocusedNode(F.C);
  F.Key(VK_DOWN);
  EXPECT_EQ(F.Focused(), "c");
  // With inserting allowed a new node takes the next row and the focus lands on it.
  F.Tree->OptionsData()->SetInserting(true);
  const Integer Count = F.Tree->Nodes()->ShownNodeCount();
  F.Key(VK_DOWN);
  ASSERT_EQ(F.Tree->Nodes()->ShownNodeCount(), Count + 1);
  ASSERT_NE(F.Tree->FocusedNode(), nullptr);
  EXPECT_EQ(F.Tree->FocusedNode()->VisibleIndex(), Count);
  EXPECT_EQ(F.Tree->FocusedNode()->Parent(), F.C);
}

TEST(TreeListKeys, PageDownAndUpMoveAPageAndStopAtTheEnds) {
  TInputFixture F;
  F.AddMany(100);
  TcxTreeListViewInfo* VI = F.Layout();
  const Integer Page = VI->FullRowCount();
  F.Key(VK_NEXT);
  EXPECT_EQ(F.Tree->FocusedNode()->VisibleIndex(), Page - 1);
  EXPECT_EQ(F.Tree->TopVisibleIndex(), 0);
  F.Key(VK_NEXT);
  EXPECT_EQ(F.Tree->TopVisibleIndex(), Page - 1);
  EXPECT_EQ(F.Tree->FocusedNode()->VisibleIndex(), 2 * Page - 2);
  F.Key(VK_PRIOR);
  EXPECT_EQ(F.Tree->FocusedNode()->VisibleIndex(), Page - 1);
  F.Key(VK_END, tkCtrl);
  const Integer Last = F.Tree->Nodes()->ShownNodeCount() - 1;
  EXPECT_EQ(F.Tree->FocusedNode()->VisibleIndex(), Last);
  F.Key(VK_NEXT);
  EXPECT_EQ(F.Tree->FocusedNode()->VisibleIndex(), Last);
}

TEST(TreeListKeys, CtrlDeleteAsksAndPlainDeleteNeverDeletes) {
  TInputFixture F;
  F.Tree->SetFocusedNode(F.B);
  F.Key(VK_DELETE);
  EXPECT_TRUE(F.Dialogs.Texts.empty());
  EXPECT_EQ(F.Tree->AbsoluteNodeCount(), 6);
  F.Dialogs.Answer = IDCANCEL;
  F.Key(VK_DELETE, tkCtrl);
  ASSERT_EQ(F.Dialogs.Texts.size(), 1u);
  EXPECT_EQ(F.Dialogs.Texts[0], u"Delete record(s)?|Confirm");
  EXPECT_EQ(F.Tree->AbsoluteNodeCount(), 6);
  F.Dialogs.Answer = IDOK;
  F.Key(VK_DELETE, tkCtrl);
  EXPECT_EQ(F.Tree->AbsoluteNodeCount(), 5);
  EXPECT_EQ(F.Focused(), "c");
  // Without the confirmation setting no question is asked.
  F.Tree->OptionsBehavior()->SetConfirmDelete(false);
  F.Key(VK_DELETE, tkCtrl);
  EXPECT_EQ(F.Dialogs.Texts.size(), 2u);
  EXPECT_EQ(F.Tree->AbsoluteNodeCount(), 4);
}

TEST(TreeListKeys, F2AndEnterOpenTheEditorAndEscClosesIt) {
  TInputFixture F;
  F.Key(VK_F2);
  EXPECT_TRUE(F.Tree->Controller()->IsEditing());
  F.Key(VK_ESCAPE);
  EXPECT_FALSE(F.Tree->Controller()->IsEditing());
  F.Key(VK_RETURN);
  EXPECT_TRUE(F.Tree->Controller()->IsEditing());
}

// ---- Mouse --------------------------------------------------------------------------------------

TEST(TreeListMouse, ExpandButtonCellClicksAndSelection) {
  TInputFixture F;
  const TRect Button = F.Row(F.A2)->Indents.back()->ButtonRect;
  F.Click(TPoint{Button.Left + 4, Button.Top + 4});
  EXPECT_FALSE(F.A2->Expanded());
  EXPECT_EQ(F.Focused(), "a");
  F.Click(F.CellCenter(F.B, 1));
  EXPECT_EQ(F.Focused(), "b");
  EXPECT_EQ(F.Tree->Controller()->FocusedItem(), F.Column(1));
  // Multi-selection: Ctrl toggles, Shift selects the range from the anchor.
  F.Tree->SetMultiSelect(true);
  F.Click(F.CellCenter(F.A1, 0));
  EXPECT_EQ(F.Selected(), "a1");
  F.Click(F.CellCenter(F.C, 0), tkCtrl);
  EXPECT_EQ(F.Selected(), "a1,c");
  F.Click(F.CellCenter(F.A2, 0), tkShift);
  EXPECT_EQ(F.Selected(), "c,b,a2");
  F.Click(F.CellCenter(F.B, 0));
  EXPECT_EQ(F.Selected(), "b");
}

TEST(TreeListMouse, HeaderClicksSort) {
  TInputFixture F;
  const TRect Name = F.Layout()->ColumnHeader(F.Column(0))->DisplayRect();
  const TRect Note = F.Layout()->ColumnHeader(F.Column(1))->DisplayRect();
  const TPoint OnName{Name.Left + 20, Name.Top + 5};
  const TPoint OnNote{Note.Left + 20, Note.Top + 5};
  // Clicks (and modifiers) against the two columns' orders afterwards.
  struct Step {
    TPoint At;
    Cardinal Mods;
    TcxDataSortOrder Name, Note;
  };
  const Step Steps[] = {
      {OnName, 0, soAscending, soNone},         {OnName, 0, soDescending, soNone},
      {OnName, 0, soAscending, soNone},         {OnNote, tkShift, soAscending, soAscending},
      {OnNote, 0, soNone, soDescending},        {OnNote, tkCtrl, soNone, soNone},
  };
  // Every click is told to OnColumnHeaderClick with its column.
  std::vector<TcxTreeListColumn*> Clicked, Expected;
  F.Tree->OnColumnHeaderClick = TcxTreeListColumnChangedEvent(
      F.Form, [&](TcxCustomTreeListControl*, TcxTreeListColumn* AColumn) { Clicked.push_back(AColumn); });
  for (const Step& S : Steps) {
    F.Click(S.At, S.Mods);
    EXPECT_EQ(F.Column(0)->SortOrder(), S.Name);
    EXPECT_EQ(F.Column(1)->SortOrder(), S.Note);
    Expected.push_back(S.At.X == OnName.X ? F.Column(0) : F.Column(1));
  }
  EXPECT_EQ(Clicked, Expected);
  F.Tree->OnColumnHeaderClick = nullptr;
  F.Click(OnName);
  F.Click(OnName);
  // The sorted column's header keeps room for its sort mark; the other's does not.
  EXPECT_FALSE(IsRectEmpty(F.Layout()->ColumnHeader(F.Column(0))->SortMarkArea));
  EXPECT_TRUE(IsRectEmpty(F.Layout()->ColumnHeader(F.Column(1))->SortMarkArea));
  std::string Top;
  for (TcxTreeListNode* N = F.Tree->Nodes()->Root()->GetFirstChild(); N; N = N->GetNextSibling())
    Top += TTreeViewFixture::Name(N);
  EXPECT_EQ(Top, "cba");
}

TEST(TreeListMouse, WheelScrollsTheRows) {
  TInputFixture F;
  F.AddMany(100);
  const TPoint At = F.CellCenter(F.A, 1);
  TestWheel(F.Tree->Handle(), At, -1);
  Application->ProcessMessages();
  const Integer Down = F.Tree->TopVisibleIndex();
  EXPECT_GT(Down, 0);
  TestWheel(F.Tree->Handle(), At, 1);
  Application->ProcessMessages();
  EXPECT_LT(F.Tree->TopVisibleIndex(), Down);
}

TEST(TreeListMouse, HotTrackingGivesTheNodeUnderTheMouseItsLook) {
  TInputFixture F;
  TcxStyle* Hot = new TcxStyle(F.Form);
  Hot->SetColor(clLime);
  F.Tree->Styles()->SetHotTrack(Hot);
  F.Tree->OptionsBehavior()->SetHotTrack(true);
  std::vector<std::string> Heard;
  F.Tree->OnHotTrackNode = TcxTreeListOnHotTrackNodeEvent(
      F.Form, [&](TcxCustomTreeListControl*, TcxTreeListNode* N, TShiftState, TCursor& ACursor) {
        Heard.push_back(TTreeViewFixture::Name(N));
        ACursor = crHandPoint;
      });
  auto Look = [&](TcxTreeListNode* N) { return F.Row(N)->CellOfColumn(F.Column(1))->ViewParams().Color; };
  TestMouseMove(F.Tree->Handle(), F.CellCenter(F.B, 1));
  Application->ProcessMessages();
  EXPECT_EQ(F.Tree->HotTrackNode(), F.B);
  EXPECT_EQ(Look(F.B), clLime);
  EXPECT_NE(Look(F.C), clLime);
  EXPECT_EQ(F.Tree->Cursor(), crHandPoint);
  TestMouseMove(F.Tree->Handle(), F.CellCenter(F.C, 1));
  Application->ProcessMessages();
  EXPECT_NE(Look(F.B), clLime);
  EXPECT_EQ(Look(F.C), clLime);
  EXPECT_EQ(Heard, (std::vector<std::string>{"b", "c"}));
  // Leaving the control: no hot node, the cursor as it was.
  TestMouseLeave(F.Tree->Handle());
  Application->ProcessMessages();
  EXPECT_EQ(F.Tree->HotTrackNode(), nullptr);
  EXPECT_EQ(F.Tree->Cursor(), crDefault);
}

// ---- Incremental search -------------------------------------------------------------------------

// Chinese text arrives committed by the input method, a character at a time.
TEST(TreeListIncSearch, ChineseTextFindsShownNodesAndDropsAMissingCharacter) {
  TInputFixture F;
  TcxControlOptionsBehavior* Behavior = F.Tree->OptionsBehavior();
  Behavior->SetIncSearch(true);
  const char* Names[] = {"元数据", "标识信息", "标题", "数据质量", "数据集", "分发"};
  TcxTreeListNode* Nodes[] = {F.A, F.A1, F.A2, F.A21, F.B, F.C};
  for (Integer I = 0; I < 6; ++I) Nodes[I]->SetValues(TTreeViewFixture::NameItem, Variant(UTF8ToString(Names[I])));
  TestInputMethodCommit(UTF8ToString("数据"));
  Application->ProcessMessages();
  EXPECT_EQ(F.Focused(), "数据质量");
  EXPECT_EQ(F.Tree->Controller()->IncSearchText(), UTF8ToString("数据"));
  // No name continues with 库: the character is dropped, the focus stays.
  TestInputMethodCommit(UTF8ToString("库"));
  Application->ProcessMessages();
  EXPECT_EQ(F.Tree->Controller()->IncSearchText(), UTF8ToString("数据"));
  EXPECT_EQ(F.Focused(), "数据质量");
  TestInputMethodCommit(UTF8ToString("集"));
  Application->ProcessMessages();
  EXPECT_EQ(F.Focused(), "数据集");
  // A collapsed node's children are not searched.
  F.Key(VK_ESCAPE);
  F.A->SetExpanded(false);
  F.Tree->SetFocusedNode(F.A);
  TestInputMethodCommit(UTF8ToString("标"));
  Application->ProcessMessages();
  EXPECT_EQ(F.Focused(), "元数据");
  EXPECT_FALSE(F.Tree->Controller()->IsIncSearching());
}

TEST(TreeListMouse, DoubleClickTogglesANodeAndTheScrollBarMovesOnlyTheView) {
  TInputFixture F;
  // On the row's outer indent: no cell editor opens in between.
  const TRect Indent = F.Row(F.A2)->Indents.front()->DisplayRect();
  TestDoubleClick(F.Tree->Handle(), TPoint{Indent.Left + 2, Indent.Top + 2});
  Application->ProcessMessages();
  EXPECT_FALSE(F.A2->Expanded());
  F.AddMany(100);
  F.Tree->SetFocusedNode(F.A);
  const Integer Page = F.Layout()->FullRowCount();
  Integer Position = 0;
  F.Tree->TreeListController()->ScrollContent(sbVertical, scPageDown, Position);
  EXPECT_EQ(F.Tree->TopVisibleIndex(), Page - 1);
  EXPECT_EQ(Position, Page - 1);
  EXPECT_EQ(F.Focused(), "a");
  F.Tree->TreeListController()->ScrollContent(sbVertical, scLineUp, Position);
  EXPECT_EQ(F.Tree->TopVisibleIndex(), Page - 2);
  Position = 5;
  F.Tree->TreeListController()->ScrollContent(sbVertical, scTrack, Position);
  EXPECT_EQ(F.Tree->TopVisibleIndex(), 5);
  // Horizontally the columns move left by the offset.
  F.Column(1)->SetWidth(600);
  Position = 50;
  F.Tree->TreeListController()->ScrollContent(sbHorizontal, scTrack, Position);
  EXPECT_EQ(F.Layout()->LeftPos(), 50);
  EXPECT_EQ(F.Layout()->ColumnHeader(F.Column(1))->DisplayRect().Left, 100 - 50);
}

TEST(TreeListKeys, TheOpenEditorCoversItsCell) {
  TInputFixture F;
  F.Tree->Controller()->FocusRecordAndItem(F.B->RecordIndex(), F.Column(1));
  F.Key(VK_F2);
  ASSERT_TRUE(F.Tree->Controller()->IsEditing());
  Application->ProcessMessages();
  F.Tree->Repaint();
  TcxCustomEdit* Edit = F.Tree->EditingController()->Edit();
  ASSERT_NE(Edit, nullptr);
  EXPECT_EQ(Edit->BoundsRect(), F.Row(F.B)->CellOfColumn(F.Column(1))->EditRect());
}

// The editor looks like the cell it opens on, in the cell's font and
// colours, and still covers the whole cell: taking the look must not size
// it anew. Editors are shared by the cells of their properties, so a cell
// of another look gives the same editor that look.
TEST(TreeListKeys, TheOpenEditorTakesTheCellsFontAndColoursAndKeepsItsBounds) {
  TInputFixture F;
  TcxStyle* Content = new TcxStyle(F.Form);
  Content->SetColor(TColor(0x80E0F0));
  Content->SetTextColor(clNavy);
  Content->Font()->SetHeight(-17);
  Content->Font()->SetStyle(TFontStyles{fsBold});
  F.Column(1)->Styles()->SetContent(Content);
  F.Tree->LayoutChanged();
  struct TCase {
    TcxTreeListNode* Node;
    TColor Color, TextColor;
    Integer FontHeight;
  };
  const TCase Cases[] = {
      {F.B, TColor(0x80E0F0), clNavy, -17},
      {F.C, TColor(0x80E0F0), clNavy, -17},
  };
  for (const TCase& C : Cases) {
    F.Tree->Controller()->FocusRecordAndItem(C.Node->RecordIndex(), F.Column(1));
    F.Key(VK_F2);
    ASSERT_TRUE(F.Tree->Controller()->IsEditing());
    TcxCustomEdit* Edit = F.Tree->EditingController()->Edit();
    ASSERT_NE(Edit, nullptr);
    Application->ProcessMessages();
    F.Tree->Repaint();
    Application->ProcessMessages();
    EXPECT_EQ(Edit->Style()->Color(), C.Color) << F.Name(C.Node);
    EXPECT_EQ(Edit->Style()->TextColor(), C.TextColor) << F.Name(C.Node);
    EXPECT_EQ(Edit->Style()->Font()->Height(), C.FontHeight) << F.Name(C.Node);
    EXPECT_TRUE(Edit->Style()->Font()->Style() & TFontStyles{fsBold}) << F.Name(C.Node);
    EXPECT_EQ(Edit->BoundsRect(), F.Row(C.Node)->CellOfColumn(F.Column(1))->EditRect()) << F.Name(C.Node);
    F.Key(VK_ESCAPE);
  }
  // A column without a content style: the same kind of editor in the
  // control's plain look.
  F.Tree->Controller()->FocusRecordAndItem(F.B->RecordIndex(), F.Column(0));
  F.Key(VK_F2);
  TcxCustomEdit* Edit = F.Tree->EditingController()->Edit();
  ASSERT_NE(Edit, nullptr);
  const TcxViewParams& Plain = F.Row(F.B)->CellOfColumn(F.Column(0))->ViewParams();
  EXPECT_EQ(Edit->Style()->Color(), Plain.Color);
  EXPECT_FALSE(Edit->Style()->Font()->Style() & TFontStyles{fsBold});
  Application->ProcessMessages();
  EXPECT_EQ(Edit->BoundsRect(), F.Row(F.B)->CellOfColumn(F.Column(0))->EditRect());
}

// An accepted edit gives back to the column what its editor added to its
// own copy of the properties: the entries of a most-recently-used list.
TEST(TreeListKeys, AnAcceptedEditKeepsTheEntriesTheEditorAddedToItsList) {
  TInputFixture F;
  F.Column(1)->SetPropertiesClass(TcxMRUEditProperties::StaticClass());
  auto* Properties = static_cast<TcxMRUEditProperties*>(F.Column(1)->Properties());
  F.Tree->Controller()->FocusRecordAndItem(F.B->RecordIndex(), F.Column(1));
  F.Key(VK_F2);
  ASSERT_TRUE(F.Tree->Controller()->IsEditing());
  TestTypeText(u" kept");
  Application->ProcessMessages();
  F.Key(VK_RETURN);
  EXPECT_FALSE(F.Tree->Controller()->IsEditing());
  const String Stored = VarToStr(F.B->Values(F.NoteItem));
  EXPECT_NE(Stored.find(u"kept"), String::npos);
  EXPECT_GE(Properties->Items()->IndexOf(Stored), 0) << StringToUTF8(Stored);
  // Esc drops the edit: nothing goes back to the column.
  F.Tree->Controller()->FocusRecordAndItem(F.C->RecordIndex(), F.Column(1));
  F.Key(VK_F2);
  TestTypeText(u"dropped");
  Application->ProcessMessages();
  F.Key(VK_ESCAPE);
  EXPECT_LT(Properties->Items()->IndexOf(u"dropped"), 0);
}

// With cell hints on, a text cut by its cell shows whole in a hint at the
// cell while the mouse rests on it; a text that fits shows none.
TEST(TreeListMouse, ACutCellTextShowsWholeInAHint) {
  TInputFixture F;
  F.Tree->OptionsBehavior()->CellHints = true;
  const String Long = u"a note far longer than its cell can show";
  F.B->SetValues(F.NoteItem, Variant(Long));
  F.Tree->LayoutChanged();
  TcxHotTrackController* Hints = F.Tree->Controller()->HotTrackController();
  auto Hover = [&](const TPoint& P) {
    TestMouseMove(F.Tree->Handle(), P);
    Application->ProcessMessages();
  };
  Hover(F.CellCenter(F.C, 1));
  EXPECT_FALSE(Hints->HintVisible()) << "the text fits";
  Hover(F.CellCenter(F.B, 1));
  ASSERT_TRUE(Hints->HintVisible());
  EXPECT_EQ(Hints->HintText(), Long);
  // The hint stands over the cell, in the cell's font.
  const TRect Cell = F.Row(F.B)->CellOfColumn(F.Column(1))->ContentRect();
  const TPoint At = F.Tree->ClientToScreen(Cell.TopLeft());
  EXPECT_EQ(Hints->HintRect().Left, At.X - 1);
  EXPECT_EQ(Hints->HintRect().Top, At.Y - 1);
  EXPECT_GT(Hints->HintRect().Width(), Cell.Width());
  Hover(F.CellCenter(F.C, 1));
  EXPECT_FALSE(Hints->HintVisible());
}

TEST(TreeListKeys, TheEditorMovesOffScreenAndForgetsItsPlacement) {
  TInputFixture F;
  F.Key(VK_F2);
  TcxEditingController* Editing = F.Tree->EditingController();
  ASSERT_NE(Editing->Edit(), nullptr);
  EXPECT_TRUE(Editing->EditorPlaced());
  Editing->MarkEditorUpdateNeeded();
  Editing->MoveEditorOffScreen();
  EXPECT_EQ(Editing->Edit()->Left(), 1073741823);
  // No placement is due any more: a paint leaves it off screen.
  Editing->UpdateEditorIfNeeded();
  EXPECT_EQ(Editing->Edit()->Left(), 1073741823);
  Editing->ResetEditorPlaced();
  EXPECT_FALSE(Editing->EditorPlaced());
  // Placing again puts it back on its cell.
  Editing->PlaceCellEditor();
  EXPECT_EQ(Editing->Edit()->BoundsRect(), F.Row(F.A)->CellOfColumn(F.Column(0))->EditRect());
}

// Ctrl+Down and Ctrl+Up look for the next match along the shown nodes: a
// match hidden under a collapsed parent is passed over (record order would
// focus it), unless ExpandOnIncSearch opens the parent.
TEST(TreeListIncSearch, CtrlArrowsStepThroughShownMatchesOrOpenTheirParents) {
  struct TCase {
    bool ExpandOnIncSearch;
    // Focused after typing "a", then after Ctrl+Down, Ctrl+Down, Ctrl+Up, Ctrl+Up.
    std::vector<std::string> Focus;
    bool A2Expanded;
  };
  const TCase Cases[] = {{false, {"ab", "aa", "aa", "ab", "ab"}, false},
                         {true, {"ab21", "ab", "aa", "ab", "ab21"}, true}};
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.ExpandOnIncSearch);
    TInputFixture F;
    F.Tree->OptionsBehavior()->SetIncSearch(true);
    F.Tree->OptionsBehavior()->SetExpandOnIncSearch(Case.ExpandOnIncSearch);
    // a (a1, a2 (a21)), b, c  becomes  x (x1, x2 (ab21)), ab, aa
    const std::pair<TcxTreeListNode*, const char*> Names[] = {{F.A, "x"},     {F.A1, "x1"}, {F.A2, "x2"},
                                                              {F.A21, "ab21"}, {F.B, "ab"}, {F.C, "aa"}};
    for (const auto& [Node, Name] : Names) Node->SetValues(TTreeViewFixture::NameItem, Variant(UTF8ToString(Name)));
    F.A2->SetExpanded(false);
    F.Tree->SetFocusedNode(F.A);
    TestTypeText(u"a");
    Application->ProcessMessages();
    ASSERT_TRUE(F.Tree->Controller()->IsIncSearching());
    std::vector<std::string> Seen{F.Focused()};
    for (Word Key : {VK_DOWN, VK_DOWN, VK_UP, VK_UP}) {
      F.Key(Key, tkCtrl);
      Seen.push_back(F.Focused());
      EXPECT_TRUE(F.Tree->FocusedNode()->IsVisible());
    }
    EXPECT_EQ(Seen, Case.Focus);
    EXPECT_EQ(F.A2->Expanded(), Case.A2Expanded);
    EXPECT_TRUE(F.Tree->Controller()->IsIncSearching());
  }
}

// A value set on a node outside the editor shows in its row at once, and
// with a sorted column the node takes its place among its siblings (on
// screen or not).
TEST(TreeListDataChange, AValueSetOutsideTheEditorShowsAndResorts) {
  TInputFixture F;
  auto Text = [&](TcxTreeListNode* ANode) {
    return StringToUTF8(F.Row(ANode)->CellOfColumn(F.Column(0))->GetDisplayText());
  };
  auto TopLevel = [&] {
    std::string S;
    for (TcxTreeListNode* N = F.Tree->Nodes()->Root()->GetFirstChild(); N; N = N->GetNextSibling())
      S += TTreeViewFixture::Name(N) + " ";
    return S;
  };
  ASSERT_EQ(Text(F.B), "b");
  F.B->SetValues(TTreeViewFixture::NameItem, Variant(String(u"bee")));
  EXPECT_EQ(Text(F.B), "bee");
  F.Column(0)->SetSortOrder(soDescending);
  EXPECT_EQ(TopLevel(), "c bee a ");
  F.B->SetValues(TTreeViewFixture::NameItem, Variant(String(u"0")));
  EXPECT_EQ(TopLevel(), "c a 0 ");
  EXPECT_EQ(Text(F.B), "0");
  // Only the node's own siblings move.
  F.A1->SetValues(TTreeViewFixture::NameItem, Variant(String(u"a9")));
  EXPECT_EQ(TTreeViewFixture::Name(F.A->GetFirstChild()), "a9");
  F.A->SetExpanded(false);
  F.A21->SetValues(TTreeViewFixture::NameItem, Variant(String(u"zz")));
  F.C->SetValues(TTreeViewFixture::NameItem, Variant(String(u"0c")));
  EXPECT_EQ(TopLevel(), "a 0c 0 ");
}

// A column sorts by its editor's values only when the editor can sort (or
// the tree list compares nodes itself) and no handler picks editors per node.
TEST(TreeListColumn, EffectiveSortOrderNeedsASortableColumn) {
  TInputFixture F;
  TcxTreeListColumn* Name = F.Column(0);
  Name->SetSortOrder(soAscending);
  // The fixture's cells support incremental search but not sorting.
  EXPECT_FALSE(Name->IsSortable());
  EXPECT_EQ(Name->GetEffectiveSortOrder(), soNone);
  Name->SetPropertiesClass(TcxTextEditProperties::StaticClass());
  EXPECT_TRUE(Name->IsSortable());
  EXPECT_EQ(Name->GetEffectiveSortOrder(), soAscending);
  Name->OnGetEditProperties = TcxGetEditPropertiesEvent(
      nullptr, [](TcxCustomInplaceEditContainer*, Integer, TcxCustomEditProperties*&) {});
  EXPECT_FALSE(Name->IsSortable());
  F.Tree->OnCompare = TcxTreeListCompareEvent(
      nullptr, [](TcxTreeListNodesOwner*, TcxTreeListNode*, TcxTreeListNode*, Integer& R) { R = 0; });
  EXPECT_TRUE(Name->IsSortable());
}

// Numpad * expands a whole branch under the hourglass (with ShowHourGlass);
// the cursor before it returns once the layout is up to date.
TEST(TreeListKeys, ExpandingABranchShowsTheHourglass) {
  for (bool Show : {false, true}) {
    SCOPED_TRACE(Show);
    TInputFixture F;
    F.Tree->OptionsBehavior()->SetShowHourGlass(Show);
    Screen->SetCursor(crDefault);
    F.A->Collapse(true);
    F.Tree->SetFocusedNode(F.A);
    std::vector<TCursor> Seen;
    F.Tree->OnExpanded =
        TcxTreeListNodeEvent(nullptr, [&Seen](TcxTreeListNodesOwner*, TcxTreeListNode*) { Seen.push_back(Screen->Cursor()); });
    // (Test input has no keypad keys: the key goes to the controller.)
    Word Key = VK_MULTIPLY;
    F.Tree->Controller()->KeyDown(Key, 0);
    ASSERT_FALSE(Seen.empty());
    EXPECT_EQ(Seen.front(), Show ? crHourGlass : crDefault);
    EXPECT_TRUE(F.A2->Expanded());
    EXPECT_EQ(Screen->Cursor(), crDefault);
    EXPECT_FALSE(F.Tree->HourGlassShowing());
  }
}

// With two band rows (Name above Note) Down first goes to the node's own
// lower band row, then to the next node's upper one; Up mirrors it.
TEST(TreeListKeys, UpAndDownStepThroughBandRows) {
  TInputFixture F;
  F.Column(1)->SetRowIndex(1);
  F.Tree->LayoutChanged();
  ASSERT_EQ(F.Column(0)->Band()->BandRows()->Count(), 2);
  F.Tree->Controller()->FocusRecordAndItem(F.A->RecordIndex(), F.Column(0));
  std::vector<std::string> Seen;
  for (Word Key : {VK_DOWN, VK_DOWN, VK_UP, VK_UP, VK_UP}) {
    F.Key(Key);
    Seen.push_back(F.Focused() + "/" + StringToUTF8(static_cast<TcxTreeListColumn*>(F.Tree->Controller()->FocusedItem())->Caption()));
  }
  EXPECT_EQ(Seen, (std::vector<std::string>{"a/Note", "a1/Name", "a/Note", "a/Name", "a/Name"}));
}

// After a layout the focus never rests on what does not show: a collapsed
// focused node gives it to its nearest shown ancestor; with cell selection
// a hidden focused column, or any column but the first on a group node,
// gives it to the first shown column.
TEST(TreeListFocus, ALayoutMovesTheFocusOffWhatDoesNotShow) {
  TInputFixture F;
  TcxCustomControlController* Controller = F.Tree->Controller();
  auto FocusedColumn = [Controller] { return Controller->FocusedItem(); };
  Controller->FocusRecordAndItem(F.A21->RecordIndex(), F.Column(1));

  F.Column(1)->SetVisible(false);
  EXPECT_EQ(FocusedColumn(), F.Column(0));
  EXPECT_EQ(F.Focused(), "a21");
  F.Column(1)->SetVisible(true);

  F.A->Collapse(false);
  EXPECT_EQ(F.Focused(), "a");
  F.A->Expand(false);

  // Without cell selection the column is not the user's concern: it stays.
  F.Tree->OptionsSelection()->SetCellSelect(false);
  Controller->FocusRecordAndItem(F.B->RecordIndex(), F.Column(1));
  F.Column(1)->SetVisible(false);
  EXPECT_EQ(FocusedColumn(), F.Column(1));
  EXPECT_EQ(F.Focused(), "b");
  F.Column(1)->SetVisible(true);
  F.Tree->OptionsSelection()->SetCellSelect(true);

  // A group node (categorized look, a node with children) shows one cell: the first column.
  Controller->FocusRecordAndItem(F.B->RecordIndex(), F.Column(1));
  F.View()->SetPaintStyle(tlpsCategorized);
  EXPECT_EQ(FocusedColumn(), F.Column(1));  // b has no children
  Controller->FocusRecordAndItem(F.A2->RecordIndex(), F.Column(1));
  F.Tree->LayoutChanged();
  EXPECT_EQ(FocusedColumn(), F.Column(0));
  EXPECT_EQ(F.Focused(), "a2");
}

namespace {

// The input fixture with a plain edit before the tree list and one after it
// in tab order, the tree list focused.
struct TTabFixture : TInputFixture {
  TTabFixture() {
    Before = Edit(10, 0);
    After = Edit(50, 2);
    Tree->SetFocus();
    Application->ProcessMessages();
  }
  TEdit* Edit(Integer ATop, Integer ATabOrder) {
    auto* edit = new TEdit(Form);
    edit->SetBounds(340, ATop, 100, 24);
    edit->SetParent(Form);
    edit->SetTabOrder(ATabOrder);
    return edit;
  }
  TEdit* Before;
  TEdit* After;
};

}  // namespace

TEST(TreeListKeys, TabFromTheOpenEditorLeavesTheTreeListBothWays) {
  // The open editor stands for the tree list: Shift+Tab from it passes the
  // tree list, and the editor closes as the focus leaves.
  struct TCase {
    const char* Name;
    bool OpenEditor;
    Cardinal Modifiers;
    bool ToAfter;
  };
  const TCase cases[] = {
      {"Tab from the open editor", true, 0, true},
      {"Shift+Tab from the open editor", true, tkShift, false},
      {"Tab from the tree list", false, 0, true},
      {"Shift+Tab from the tree list", false, tkShift, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTabFixture F;
    if (c.OpenEditor) F.Key(VK_F2);
    ASSERT_EQ(F.Tree->Controller()->IsEditing(), c.OpenEditor);
    F.Key(VK_TAB, c.Modifiers);
    EXPECT_TRUE((c.ToAfter ? F.After : F.Before)->Focused());
    EXPECT_FALSE(F.Tree->Focused());
    EXPECT_FALSE(F.Tree->Controller()->IsEditing());
  }
  // Back into the tree list from either side.
  for (const bool fromAfter : {false, true}) {
    SCOPED_TRACE(fromAfter ? "Shift+Tab into the tree list" : "Tab into the tree list");
    TTabFixture F;
    F.Key(VK_F2);
    (fromAfter ? F.After : F.Before)->SetFocus();
    Application->ProcessMessages();
    F.Key(VK_TAB, fromAfter ? tkShift : 0);
    EXPECT_TRUE(F.Tree->Focused());
  }
}

// A click on a band header tells OnBandHeaderClick; a press that is released
// elsewhere is no click, and the band header sorts nothing.
TEST(TreeListMouse, BandHeaderClicksAreTold) {
  TInputFixture F;
  F.View()->SetBands(true);
  F.Tree->LayoutChanged();
  TcxTreeListBand* Band = F.Tree->Bands()->Items(0);
  std::vector<TObject*> Clicked;
  F.Tree->OnBandHeaderClick = TcxTreeListBandChangedEvent(
      F.Form, [&](TcxCustomTreeListControl*, TObject* ABand) { Clicked.push_back(ABand); });
  const TRect Header = F.Layout()->BandHeaders()[0]->DisplayRect();
  const TPoint On{Header.Left + 20, Header.Top + 4};
  F.Click(On);
  EXPECT_EQ(Clicked, std::vector<TObject*>{Band});
  EXPECT_EQ(F.Column(0)->SortOrder(), soNone);
  // Pressed on the header, released over a cell.
  TestMousePress(F.Tree->Handle(), On);
  Application->ProcessMessages();
  EXPECT_TRUE(F.Layout()->BandHeaders()[0]->Pressed);
  TestMouseRelease(F.Tree->Handle(), F.CellCenter(F.B, 0));
  Application->ProcessMessages();
  EXPECT_FALSE(F.Layout()->BandHeaders()[0]->Pressed);
  EXPECT_EQ(Clicked.size(), 1u);
}

// An arrow that the open editor does not use goes on to the tree: Up and
// Down move the focused node (the edit is stored on the way), Left and
// Right move the caret. A drop-down with its list open keeps every such
// key for the list.
TEST(TreeListKeys, ArrowsTheOpenEditorLeavesOverMoveTheFocusedNode) {
  struct TCase {
    const char* Name;
    bool Combo;                 // the note column edits with a combo box
    std::vector<Word> Keys;     // after F2 on the note of "a2"
    const char* Node;           // focused afterwards
    bool Editing;
    Integer ListIndex;          // the open list's row (-1: no list open)
  };
  const TCase Cases[] = {
      {"text: Down moves on", false, {VK_DOWN}, "a21", false, -1},
      {"text: Up moves back", false, {VK_UP}, "a1", false, -1},
      {"text: Left stays in the editor", false, {VK_LEFT}, "a2", true, -1},
      {"text: Right stays in the editor", false, {VK_RIGHT}, "a2", true, -1},
      {"closed combo box: Down moves on", true, {VK_DOWN}, "a21", false, -1},
      {"open combo box: Down moves in its list", true, {VK_F4, VK_DOWN}, "a2", true, 1},
      {"open combo box: Up moves in its list", true, {VK_F4, VK_DOWN, VK_DOWN, VK_UP}, "a2", true, 1},
      {"closed again: Down moves on", true, {VK_F4, VK_ESCAPE, VK_DOWN}, "a21", false, -1},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TInputFixture F;
    F.A2->Expand(false);
    if (C.Combo) {
      F.Column(1)->SetPropertiesClass(TcxComboBoxProperties::StaticClass());
      auto* Items = static_cast<TcxComboBoxProperties*>(F.Column(1)->Properties())->Items();
      for (const char16_t* Item : {u"note a2", u"note a21", u"note b"}) Items->Add(Item);
    }
    F.Tree->Controller()->FocusRecordAndItem(F.A2->RecordIndex(), F.Column(1));
    F.Key(VK_F2);
    ASSERT_TRUE(F.Tree->Controller()->IsEditing());
    for (Word Key : C.Keys) F.Key(Key);
    EXPECT_EQ(F.Focused(), C.Node);
    EXPECT_EQ(F.Tree->Controller()->FocusedItem(), F.Column(1));
    EXPECT_EQ(F.Tree->Controller()->IsEditing(), C.Editing);
    auto* Combo = dynamic_cast<TcxComboBox*>(F.Tree->EditingController()->Edit());
    const bool Open = C.Editing && Combo && Combo->HasOpenPopup();
    EXPECT_EQ(Open ? Combo->ListBox()->ItemIndex() : -1, C.ListIndex);
    EXPECT_EQ(StringToUTF8(VarToStr(F.A2->Values(F.NoteItem))), "note a2") << "nothing picked, nothing changed";
  }
}

TEST(TreeListKeys, AnEditLeftByDownIsStoredOnTheWay) {
  TInputFixture F;
  F.Tree->Controller()->FocusRecordAndItem(F.B->RecordIndex(), F.Column(1));
  F.Key(VK_F2);
  ASSERT_TRUE(F.Tree->Controller()->IsEditing());
  F.Key(VK_END);
  TestTypeText(u" 改");
  Application->ProcessMessages();
  F.Key(VK_DOWN);
  EXPECT_EQ(F.Focused(), "c");
  EXPECT_EQ(StringToUTF8(VarToStr(F.B->Values(F.NoteItem))), "note b 改");
}
