// The tree list's events and delayed change notice (on the test clock), the
// keys it handles itself (through the real key path), the navigator link,
// listeners, and copying rows to the clipboard as text.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/gui/application.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "platform/gui/timers.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/sysutils.h"
#include "tests/platform/gui/guitestutil.h"
#include "treelist/cxTLControl.h"

namespace {

// a(b, c), d, e with a expanded; columns "Name" and "Note".
struct TTree {
  TcxCustomTreeListControl* List;
  std::unique_ptr<TcxCustomTreeListControl> Own;
  TcxTreeListColumn *Name, *Note;
  TcxTreeListNode *A, *B, *C, *D, *E;
  explicit TTree(TcxCustomTreeListControl* AList = nullptr) : List(AList) {
    if (!List) {
      Own = std::make_unique<TcxCustomTreeListControl>();
      List = Own.get();
    }
    Name = List->CreateColumn();
    Name->SetCaption(u"Name");
    Note = List->CreateColumn();
    Note->SetCaption(u"Note");
    A = Make(nullptr, "a");
    B = Make(A, "b");
    C = Make(A, "c");
    D = Make(nullptr, "d");
    E = Make(nullptr, "e");
    A->Expand(false);
  }
  TcxTreeListNode* Make(TcxTreeListNode* AParent, const std::string& AName) {
    TcxTreeListNode* N = List->AddNode(nullptr, AParent, tlamAddChild);
    N->SetValues(0, Variant(UTF8ToString(AName)));
    return N;
  }
  static std::string NameOf(const TcxTreeListNode* N) {
    return N ? StringToUTF8(VarToStr(N->Values(0))) : std::string("none");
  }
  // Depth first: names, "*" after the focused one.
  std::string Shape() const {
    std::string Result;
    for (TcxTreeListNode* N = List->Nodes()->Root()->GetFirstChild(); N; N = N->GetNext())
      Result += (Result.empty() ? "" : ",") + NameOf(N) + (N == List->FocusedNode() ? "*" : "");
    return Result;
  }
};

// ---- Change notice ----

TEST(TreeListEvents, ChangeDelayGathersABurstIntoOneNoticeAtTheNextTick) {
  EnsureGuiRuntime();
  TTestClock Clock;
  TTree T;
  Integer Changes = 0;
  T.List->OnChange = TcxTreeListNotifyEvent(&T, [&](TcxTreeListNodesOwner*) { ++Changes; });
  T.List->OptionsBehavior()->SetChangeDelay(250);
  T.A->Collapse(false);
  T.A->Expand(false);
  T.List->SetFocusedNode(T.D);
  T.Name->SetSortOrder(soDescending);  // a sort that moves nodes: not at once while delayed
  EXPECT_EQ(Changes, 0);
  Clock.Advance(249);
  EXPECT_EQ(Changes, 0);
  Clock.Advance(1);
  EXPECT_EQ(Changes, 1);
  Clock.Advance(1000);  // nothing happened since
  EXPECT_EQ(Changes, 1);
  T.List->SetFocusedNode(T.E);
  Clock.Advance(250);
  EXPECT_EQ(Changes, 2);
}

TEST(TreeListEvents, WithoutDelayASortTellsAtOnceAndOnlyAfterSomethingHappened) {
  TTree T;
  Integer Changes = 0;
  T.List->OnChange = TcxTreeListNotifyEvent(&T, [&](TcxTreeListNodesOwner*) { ++Changes; });
  T.Name->SetSortOrder(soDescending);
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(T.Shape(), "e,d,a,c,b");
  // The after-sorting and layout events that followed are told by the next
  // notice; a notice without anything having happened since stays silent.
  T.List->DoChange(false);
  EXPECT_EQ(Changes, 2);
  T.List->DoChange(false);
  EXPECT_EQ(Changes, 2);
  T.List->NoteChange();
  T.List->DoChange(false);
  EXPECT_EQ(Changes, 3);
}

TEST(TreeListEvents, RaisersMarkTheChangeAndPassTheirParameters) {
  TTree T;
  std::vector<std::string> Log;
  T.List->OnFocusedNodeChanged = TcxTreeListFocusedChangedEvent(
      &T, [&](TcxCustomTreeListControl*, TcxTreeListNode* P, TcxTreeListNode* N) {
        Log.push_back("focus " + TTree::NameOf(P) + ">" + TTree::NameOf(N));
      });
  T.List->OnNodeChanged = TcxTreeListNodeDataChangedEvent(
      &T, [&](TcxCustomTreeListControl*, TcxTreeListNode* N, TcxTreeListColumn* C) {
        Log.push_back("node " + TTree::NameOf(N) + " " + (C ? StringToUTF8(C->Caption()) : std::string("all")));
      });
  T.List->OnSelectionChanged = TcxTreeListNotifyEvent(&T, [&](TcxTreeListNodesOwner*) { Log.push_back("selection"); });
  T.List->DoChange(false);  // clears the mark
  T.List->SetFocusedNode(T.D);
  T.List->SetFocusedNode(T.B);
  T.C->SetValues(1, Variant(String(u"x")));
  EXPECT_EQ(Log, (std::vector<std::string>{"focus none>d", "selection", "focus d>b", "selection", "node c Note"}));
  EXPECT_TRUE(T.List->ChangeHappened());
  // With multi-selection a focus change is no selection change.
  Log.clear();
  T.List->SetMultiSelect(true);
  T.List->SetFocusedNode(T.E);
  EXPECT_EQ(Log, (std::vector<std::string>{"focus b>e"}));
}

TEST(TreeListEvents, MoveToSeesTheFilteredListAndMayTakeOverOrCopy) {
  struct TCase {
    const char* Name;
    bool Done;
    bool Copy;
    std::string Expected;
  };
  const TCase Cases[] = {
      {"left alone: moved", false, false, "a,b,c,e,d"},
      {"done by the handler: nothing", true, false, "a,b,c,d,e"},
      {"turned into a copy", false, true, "a,b,c,d,e,e"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TTree T;
    std::vector<std::string> Seen;
    T.List->OnMoveTo = TcxTreeListMoveToEvent(
        &T, [&](TcxCustomTreeListControl*, TcxTreeListNode* Target, TcxTreeListNodeAttachMode,
                const std::vector<TcxTreeListNode*>& Nodes, bool& IsCopy, bool& Done) {
          Seen.push_back(TTree::NameOf(Target));
          for (TcxTreeListNode* N : Nodes) Seen.push_back(TTree::NameOf(N));
          IsCopy = Case.Copy;
          Done = Case.Done;
        });
    T.List->MoveNodes(T.D, tlamInsert, false, {T.D, T.E});  // the target itself is dropped first
    EXPECT_EQ(Seen, (std::vector<std::string>{"d", "e"}));
    EXPECT_EQ(T.Shape(), Case.Expected);
  }
}

TEST(TreeListEvents, ImageIndexesAndGroupNodes) {
  TTree T;
  T.A->SetStoredImageIndex(tlitImageIndex, 4);
  T.A->SetStoredImageIndex(tlitSelectedIndex, -1);
  EXPECT_EQ(T.List->GetNodeImageIndex(T.A, tlitSelectedIndex), 4);  // the image index stands in
  T.List->OptionsView()->SetUseImageIndexForSelected(false);
  EXPECT_EQ(T.List->GetNodeImageIndex(T.A, tlitSelectedIndex), -1);
  EXPECT_EQ(T.List->GetNodeImageIndex(nullptr, tlitImageIndex), -1);
  T.List->OnGetNodeImageIndex = TcxTreeListGetNodeImageIndexEvent(
      &T, [](TcxCustomTreeListControl*, TcxTreeListNode*, TcxTreeListImageIndexType, Integer& I) { I += 10; });
  EXPECT_EQ(T.List->GetNodeImageIndex(T.A, tlitImageIndex), 14);

  EXPECT_FALSE(T.List->IsGroupNode(T.A));  // standard paint style: never
  T.List->OptionsView()->SetPaintStyle(tlpsCategorized);
  EXPECT_TRUE(T.List->IsGroupNode(T.A));
  EXPECT_FALSE(T.List->IsGroupNode(T.B));
  T.List->OnIsGroupNode = TcxTreeListIsGroupNodeEvent(
      &T, [&](TcxCustomTreeListControl*, TcxTreeListNode* N, bool& IsGroup) { IsGroup = N == T.B; });
  EXPECT_FALSE(T.List->IsGroupNode(T.A));
  EXPECT_TRUE(T.List->IsGroupNode(T.B));
}

// ---- Listeners ----

struct TListener : IcxTreeListListener {
  std::vector<std::string> Heard;
  void TreeListChanged(TcxCustomTreeListControl*) override { Heard.push_back("changed"); }
  void TreeListRemoved(TcxCustomTreeListControl*) override { Heard.push_back("removed"); }
};

TEST(TreeListEvents, ListenersHearLayoutsOutsideUpdatesAndTheEnd) {
  TListener L;
  {
    TcxCustomTreeListControl List;
    List.AddListener(&L);
    List.AddListener(&L);  // once
    List.BeginUpdate();
    List.CreateColumn();
    List.Add();
    EXPECT_TRUE(L.Heard.empty());
    List.EndUpdate();
    EXPECT_EQ(L.Heard, std::vector<std::string>{"changed"});
  }
  EXPECT_EQ(L.Heard, (std::vector<std::string>{"changed", "removed"}));
}

// ---- Text export ----

TEST(TreeListExport, CopiesRowsAsTabSeparatedText) {
  EnsureGuiRuntime();
  struct TCase {
    const char* Name;
    bool Headers;
    bool SelectedOnly;
    bool Empty;
    std::string Expected;
  };
  const TCase Cases[] = {
      {"headers", true, false, false, "名称\tNote\r\n甲\t\r\nb\t注\r\nc\t\r\nd\t\r\ne\t"},
      {"no headers: no leading line break", false, false, false, "甲\t\r\nb\t注\r\nc\t\r\nd\t\r\ne\t"},
      {"selected only", true, true, false, "名称\tNote\r\nb\t注\r\nd\t"},
      {"selected only, no headers", false, true, false, "b\t注\r\nd\t"},
      {"no nodes, no headers: nothing", false, false, true, ""},
      {"no nodes, headers", true, false, true, "名称\tNote"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TTree T;
    T.Name->SetCaption(u"名称");
    T.A->SetValues(0, Variant(String(u"甲")));
    T.B->SetValues(1, Variant(String(u"注")));
    T.A->Collapse(false);  // expansion does not matter
    T.List->SetMultiSelect(true);
    T.List->SelectNode(T.B);
    T.List->SelectNode(T.D);
    if (Case.Empty) T.List->Clear();
    T.List->OptionsView()->SetHeaders(Case.Headers);
    Clipboard()->SetAsText(u"before");
    const String Text = T.List->CopyToClipboard(Case.SelectedOnly);
    EXPECT_EQ(StringToUTF8(Text), Case.Expected);
    EXPECT_EQ(StringToUTF8(Clipboard()->AsText()), Case.Expected.empty() ? "before" : Case.Expected);
  }
}

TEST(TreeListExport, LinesFollowTheVisibleColumnsInDisplayOrder) {
  TTree T;
  TcxTreeListColumn* Hidden = T.List->CreateColumn();
  Hidden->SetCaption(u"Hidden");
  Hidden->SetVisible(false);
  T.List->SetColumnPosition(T.Note, 0, false, 0);  // Note before Name
  T.B->SetValues(1, Variant(String(u"n")));
  T.Name->OnGetDisplayText = TcxTreeListOnGetDisplayTextEvent(
      &T, [](TcxTreeListColumn*, TcxTreeListNode*, String& Value) { Value = u"<" + Value + u">"; });
  EXPECT_EQ(T.List->GetHeaderLineText(), u"Note\tName");
  EXPECT_EQ(T.List->GetNodeLineText(T.B), u"n\t<b>");
}

// ---- Keys and the navigator on a shown form ----

class TAnsweringDialogs : public TDialogService {
public:
  Integer Answer = IDOK;
  std::vector<String> Asked;
  Integer MessageBox(HWND, const String& Text, const String& Caption, Cardinal) override {
    Asked.push_back(Caption + u": " + Text);
    return Answer;
  }
  TFileDialogResult OpenFile(HWND, const TFileDialogRequest&) override { return {}; }
  TFileDialogResult SaveFile(HWND, const TFileDialogRequest&) override { return {}; }
};

struct TShownTree : TTestForm {
  TAnsweringDialogs Dialogs;
  TDialogService* OldDialogs;
  TcxCustomTreeListControl* List;
  std::unique_ptr<TTree> T;
  TShownTree() : TTestForm(400, 300) {
    OldDialogs = SetDialogService(&Dialogs);
    List = new TcxCustomTreeListControl(Form);
    List->SetParent(Form);
    T = std::make_unique<TTree>(List);
    Form->Show();
    List->SetFocus();
    Application->ProcessMessages();
  }
  ~TShownTree() {
    FreeForm();
    SetDialogService(OldDialogs);
  }
};

TEST(TreeListKeys, CtrlDeleteTakesTheSelectionOrElseTheFocusedNode) {
  struct TCase {
    const char* Name;
    std::vector<const char*> Selected;  // with multi-selection when not empty
    Cardinal Modifiers;
    bool Confirm;
    Integer Answer;
    bool Deleting;
    std::string Expected;
  };
  const TCase Cases[] = {
      {"selection only; the focused node stays", {"b", "d"}, tkCtrl, false, IDOK, true, "a,c,e*"},
      {"nothing selected: the focused node", {}, tkCtrl, false, IDOK, true, "a,b,c,d*"},
      {"asked and answered OK", {}, tkCtrl, true, IDOK, true, "a,b,c,d*"},
      {"asked and cancelled", {}, tkCtrl, true, IDCANCEL, true, "a,b,c,d,e*"},
      {"plain Delete deletes nothing", {"b"}, 0, false, IDOK, true, "a,b,c,d,e*"},
      {"deleting not allowed", {}, tkCtrl, false, IDOK, false, "a,b,c,d,e*"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TShownTree S;
    TTree& T = *S.T;
    S.List->OptionsBehavior()->SetConfirmDelete(Case.Confirm);
    S.List->OptionsData()->SetDeleting(Case.Deleting);
    S.Dialogs.Answer = Case.Answer;
    S.List->SetFocusedNode(T.E);
    if (!Case.Selected.empty()) S.List->SetMultiSelect(true);
    for (const char* N : Case.Selected) S.List->SelectNode(N == std::string("b") ? T.B : T.D);
    S.Key(VK_DELETE, Case.Modifiers);
    EXPECT_EQ(T.Shape(), Case.Expected);
    EXPECT_EQ(S.Dialogs.Asked.size(), Case.Confirm && Case.Deleting && Case.Modifiers ? 1u : 0u);
    if (!S.Dialogs.Asked.empty()) {
      EXPECT_EQ(S.Dialogs.Asked[0], u"Confirm: Delete record(s)?");
    }
  }
}

TEST(TreeListKeys, InsertAddsANodeWhenInsertingIsAllowed) {
  TShownTree S;
  TTree& T = *S.T;
  S.List->SetFocusedNode(T.D);
  S.Key(VK_INSERT, 0);
  EXPECT_EQ(S.List->AbsoluteNodeCount(), 5);  // Inserting is off by default
  S.List->OptionsData()->SetInserting(true);
  S.Key(VK_INSERT, 0);  // a child of the focused node
  ASSERT_EQ(S.List->AbsoluteNodeCount(), 6);
  EXPECT_EQ(S.List->FocusedNode()->Parent(), T.D);
  S.Key(VK_INSERT, tkCtrl);  // before the focused node's parent
  EXPECT_EQ(S.List->FocusedNode()->GetNextSibling(), T.D);
}

struct TNavigator : IcxNavigator {
  Integer Refreshes = 0;
  void RefreshNavigator() override { ++Refreshes; }
};

TEST(TreeListNavigator, ActionsMoveTheFocusInsertAndDelete) {
  TTree T;
  TcxCustomTreeListControl& L = *T.List;
  L.DoNavigatorAction(nbLast);
  EXPECT_EQ(L.FocusedNode(), T.E);
  L.DoNavigatorAction(nbPrior);
  L.DoNavigatorAction(nbPrior);
  EXPECT_EQ(L.FocusedNode(), T.C);
  L.DoNavigatorAction(nbNext);
  EXPECT_EQ(L.FocusedNode(), T.D);
  L.DoNavigatorAction(nbFirst);
  L.DoNavigatorAction(nbPrior);  // nothing before the first
  EXPECT_EQ(L.FocusedNode(), T.A);
  T.A->Collapse(false);
  L.DoNavigatorAction(nbLast);
  L.DoNavigatorAction(nbNext);  // nothing after the last
  EXPECT_EQ(L.FocusedNode(), T.E);
  L.DoNavigatorAction(nbInsert);  // before the focused node, focused
  EXPECT_EQ(L.FocusedNode()->GetNextSibling(), T.E);
  L.DoNavigatorAction(nbDelete);
  EXPECT_EQ(T.Shape(), "a,b,c,d,e*");
  L.DoNavigatorAction(nbSaveBookmark);
  L.DoNavigatorAction(nbFirst);
  L.DoNavigatorAction(nbGotoBookmark);
  EXPECT_EQ(L.FocusedNode(), T.E);
}

TEST(TreeListNavigator, ButtonStatesAndRefreshes) {
  TcxCustomTreeListControl L;
  TNavigator N;
  L.NavigatorNotifier()->AddNavigator(&N);
  // No data: insert needs only the option; delete needs data.
  EXPECT_FALSE(L.IsNavigatorButtonEnabled(nbInsert));
  L.OptionsData()->SetInserting(true);
  EXPECT_TRUE(L.IsNavigatorButtonEnabled(nbInsert));
  EXPECT_FALSE(L.IsNavigatorButtonEnabled(nbDelete));
  EXPECT_TRUE(L.IsNavigatorButtonEnabled(nbEdit));  // no data, but insert is enabled
  EXPECT_FALSE(L.IsNavigatorButtonEnabled(nbGotoBookmark));
  L.CreateColumn();
  TcxTreeListNode* A = L.Add();
  EXPECT_TRUE(L.HasData());
  EXPECT_TRUE(L.IsNavigatorButtonEnabled(nbDelete));
  EXPECT_FALSE(L.IsNavigatorButtonEnabled(nbInsert));  // data but no focused node
  L.SetFocusedNode(A);
  EXPECT_TRUE(L.IsNavigatorButtonEnabled(nbInsert));
  L.OptionsData()->SetDeleting(false);
  EXPECT_FALSE(L.IsNavigatorButtonEnabled(nbDelete));
  // Data changes outside updates refresh the navigators.
  N.Refreshes = 0;
  A->SetValues(0, Variant(String(u"x")));
  EXPECT_GT(N.Refreshes, 0);
  L.NavigatorNotifier()->RemoveNavigator(&N);
}

}  // namespace
