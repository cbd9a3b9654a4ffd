// The tree list control's node and column half: inserting, moving and
// deleting with the focus kept in place, the delete-selection rule, column
// places, widths, fitting and sorting through the columns.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "data/cxDataStorage.h"
#include "platform/gui/imagelist.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/sysutils.h"
#include "treelist/cxTLControl.h"

namespace {

struct TTree {
  TcxCustomTreeListControl List;
  TcxTreeListColumn* Name;
  TTree() {
    Name = List.CreateColumn();
    Name->SetCaption(u"Name");
  }
  TcxTreeListNode* Make(TcxTreeListNode* AParent, const std::string& AName) {
    TcxTreeListNode* N = List.AddNode(nullptr, AParent, tlamAddChild);
    N->SetValues(0, Variant(UTF8ToString(AName)));
    return N;
  }
  static std::string NameOf(const TcxTreeListNode* N) {
    return N ? StringToUTF8(VarToStr(N->Values(0))) : std::string("none");
  }
  // Depth first: names, "*" after the focused one, "+" for a collapsed parent.
  std::string Shape(const TcxTreeListNode* P = nullptr) {
    if (!P) P = List.Nodes()->Root();
    std::string Result;
    for (TcxTreeListNode* C = P->GetFirstChild(); C; C = C->GetNextSibling()) {
      if (!Result.empty()) Result += ",";
      Result += NameOf(C) + (C == List.FocusedNode() ? "*" : "");
      if (C->Count() > 0) Result += std::string(C->Expanded() ? "" : "+") + "(" + Shape(C) + ")";
    }
    return Result;
  }
};

// a(b,c), d, e with every parent expanded.
struct TFiveNodes : TTree {
  TcxTreeListNode *A, *B, *C, *D, *E;
  TFiveNodes() {
    A = Make(nullptr, "a");
    B = Make(A, "b");
    C = Make(A, "c");
    D = Make(nullptr, "d");
    E = Make(nullptr, "e");
    A->Expand(false);
  }
};

TEST(TreeListControl, TheEditingControlsDataControllerHoldsTheNodes) {
  TFiveNodes T;
  TcxEditingControl& Editing = T.List;
  ASSERT_EQ(Editing.ItemCount(), 1);
  EXPECT_EQ(Editing.Items(0), T.Name);
  EXPECT_EQ(T.Name->EditingControl()->GetControlDataController(), T.List.DataController());
  EXPECT_EQ(Editing.DataController()->GetRecordCount(), 5);
  EXPECT_EQ(Editing.DataController()->GetValue(T.D->RecordIndex(), 0), Variant(String(u"d")));
  // The editing controller's focus is the focused node, both ways.
  Editing.Controller()->ChangeFocusedRecord(T.C->RecordIndex());
  EXPECT_EQ(T.List.FocusedNode(), T.C);
  T.List.SetFocusedNode(T.E);
  EXPECT_EQ(Editing.Controller()->GetFocusedRecordIndex(), T.E->RecordIndex());
  // A removed node's record leaves that data controller; the rest keep their values.
  T.B->Delete();
  EXPECT_EQ(Editing.DataController()->GetRecordCount(), 4);
  EXPECT_EQ(T.C->Texts(0), u"c");
  EXPECT_EQ(T.List.Width(), TcxCustomTreeListControl::DefaultWidth);
  EXPECT_EQ(T.List.Height(), TcxCustomTreeListControl::DefaultHeight);
}

TEST(TreeListControl, DeletingNodesFocusesTheNodeAtTheFocusedPosition) {
  struct TCase {
    const char* Focus;
    std::vector<const char*> Delete;
    std::string Expected;
  };
  const TCase Cases[] = {
      {"b", {"b"}, "a(c*),d,e"},           // the next row moves up into the place
      {"e", {"e"}, "a(b,c),d*"},           // the last row: the new last one
      {"a", {"a"}, "d*,e"},                // a parent with its children
      {"c", {"b", "a"}, "d,e*"},           // child before its parent in the list: freed once
      {"c", {"a", "b"}, "d,e*"},           // parent listed after child: child leaves the list
      {"b", {"d"}, "a(b*,c),e"},           // focus untouched elsewhere
      {"a", {"a", "d", "e"}, ""},          // everything
  };
  for (const TCase& Case : Cases) {
    TFiveNodes T;
    auto ByName = [&](const std::string& N) {
      for (TcxTreeListNode* X : {T.A, T.B, T.C, T.D, T.E})
        if (TTree::NameOf(X) == N) return X;
      return static_cast<TcxTreeListNode*>(nullptr);
    };
    T.List.SetFocusedNode(ByName(Case.Focus));
    std::vector<TcxTreeListNode*> List;
    for (const char* N : Case.Delete) List.push_back(ByName(N));
    T.List.DeleteNodes(List);
    EXPECT_EQ(T.Shape(), Case.Expected) << Case.Focus;
    EXPECT_EQ(T.List.DataController()->GetRecordCount(), T.List.AbsoluteNodeCount());
  }
}

TEST(TreeListControl, DeleteSelectionTakesTheSelectionOrElseTheFocusedNode) {
  {  // single selection: the focused node
    TFiveNodes T;
    T.List.SetFocusedNode(T.D);
    T.List.DeleteSelection();
    EXPECT_EQ(T.Shape(), "a(b,c),e*");
  }
  {  // selected nodes only; the focused, unselected node stays
    TFiveNodes T;
    T.List.SetMultiSelect(true);
    T.List.SetFocusedNode(T.E);
    T.List.SelectNode(T.B);
    T.List.SelectNode(T.D);
    T.List.DeleteSelection();
    EXPECT_EQ(T.Shape(), "a(c),e*");
  }
  {  // multi-selection with nothing selected: the focused node
    TFiveNodes T;
    T.List.SetMultiSelect(true);
    T.List.SetFocusedNode(T.C);
    T.List.DeleteSelection();
    EXPECT_EQ(T.Shape(), "a(b),d*,e");  // the row that moved up into its place
  }
  {  // nothing focused, nothing selected
    TFiveNodes T;
    T.List.DeleteSelection();
    EXPECT_EQ(T.List.AbsoluteNodeCount(), 5);
  }
}

TEST(TreeListControl, SelectNodeNeedsMultiSelection) {
  TFiveNodes T;
  EXPECT_THROW(T.List.SelectNode(T.A), EcxTreeList);
  EXPECT_TRUE(T.List.SelectionList().empty());
}

TEST(TreeListControl, SelectionsWholeAndInOneGo) {
  TFiveNodes T;
  T.List.SetFocusedNode(T.D);
  EXPECT_EQ(T.List.SelectionCount(), 1);  // single selection: the focused node
  EXPECT_EQ(T.List.Selections(0), T.D);
  EXPECT_EQ(T.List.Selections(1), nullptr);
  T.List.SetMultiSelect(true);
  Integer Changes = 0;
  T.List.OnSelectionChanged = TcxTreeListNotifyEvent(&T, [&](TcxTreeListNodesOwner*) { ++Changes; });
  T.List.OnCanSelectNode =
      TcxTreeListNodeAllowEvent(&T, [&](TcxTreeListNodesOwner*, TcxTreeListNode* N, bool& Allow) { Allow = N != T.E; });
  T.A->Collapse(false);
  T.List.SelectAll();  // collapsed children too, not the refused one, no event
  std::string Names;
  for (Integer I = 0; I < T.List.SelectionCount(); ++I) Names += TTree::NameOf(T.List.Selections(I));
  EXPECT_EQ(Names, "abcd");
  EXPECT_EQ(Changes, 0);
  T.List.SelectNodes({T.C, T.E, T.A});
  EXPECT_EQ(T.List.SelectionList(), std::vector<TcxTreeListNode*>({T.C, T.A}));
  EXPECT_EQ(Changes, 1);
  T.List.SetMultiSelect(false);
  EXPECT_THROW(T.List.SelectNodes({T.A}), EcxTreeList);
  T.List.SetMultiSelect(true);
  T.List.SelectNode(T.B);  // the lock was given back after the failure
  EXPECT_EQ(Changes, 2);
}

TEST(TreeListControl, GetSelectionsAnswersBySelectionMode) {
  TFiveNodes T;
  struct TCase {
    const char* Name;
    bool MultiSelect;
    TcxTreeListNode* TFiveNodes::*Focused;
    std::vector<TcxTreeListNode* TFiveNodes::*> Selected, Expected;
  };
  const TCase Cases[] = {
      {"single, focused", false, &TFiveNodes::D, {}, {&TFiveNodes::D}},
      {"multi, in the order selected",
       true,
       &TFiveNodes::A,
       {&TFiveNodes::E, &TFiveNodes::B},
       {&TFiveNodes::E, &TFiveNodes::B}},
      {"multi, nothing selected", true, &TFiveNodes::A, {}, {}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    T.List.SetMultiSelect(Case.MultiSelect);
    T.List.SetFocusedNode(T.*Case.Focused);
    for (auto Node : Case.Selected) T.List.SelectNode(T.*Node);
    std::vector<TcxTreeListNode*> Expected;
    for (auto Node : Case.Expected) Expected.push_back(T.*Node);
    std::vector<TcxTreeListNode*> List{T.C};  // whatever the list held goes
    T.List.GetSelections(List);
    EXPECT_EQ(List, Expected);
    T.List.UnselectAllNodes();
  }
}

TEST(TreeListControl, UnselectingEmptiesTheSelectionWithOneChange) {
  TFiveNodes T;
  T.List.SetMultiSelect(true);
  Integer Changes = 0;
  T.List.OnSelectionChanged = TcxTreeListNotifyEvent(&T, [&](TcxTreeListNodesOwner*) { ++Changes; });
  T.List.UnselectAllNodes();  // nothing selected: no change
  EXPECT_EQ(Changes, 0);
  T.List.SelectNodes({T.A, T.C, T.E});
  T.List.UnselectNode(T.C);
  T.List.UnselectNode(nullptr);
  T.List.UnselectNode(T.D);  // not selected: no change
  EXPECT_EQ(T.List.SelectionList(), std::vector<TcxTreeListNode*>({T.A, T.E}));
  EXPECT_EQ(Changes, 2);
  T.List.UnselectAllNodes();
  EXPECT_TRUE(T.List.SelectionList().empty());
  EXPECT_FALSE(T.A->Selected());
  EXPECT_EQ(Changes, 3);
}

TEST(TreeListControl, SetSelectionTakesTheListWithOneChange) {
  TFiveNodes T;
  TFiveNodes Other;
  EXPECT_THROW(T.List.SetSelection({T.A}), EcxTreeList);
  T.List.SetMultiSelect(true);
  Integer Changes = 0;
  T.List.OnSelectionChanged = TcxTreeListNotifyEvent(&T, [&](TcxTreeListNodesOwner*) { ++Changes; });
  T.List.SelectNode(T.B);
  // Repeats, none and another tree's nodes stay out; the order is the list's.
  T.List.SetSelection({T.E, nullptr, T.A, T.E, Other.A});
  EXPECT_EQ(T.List.SelectionList(), std::vector<TcxTreeListNode*>({T.E, T.A}));
  EXPECT_TRUE(T.A->Selected());
  EXPECT_FALSE(T.B->Selected());
  EXPECT_EQ(Changes, 2);
  T.List.SetSelection({T.E, T.A});  // the same selection: no change
  EXPECT_EQ(Changes, 2);
  T.List.SetSelection({});
  EXPECT_TRUE(T.List.SelectionList().empty());
  EXPECT_EQ(Changes, 3);
}

TEST(TreeListControl, SetNodeFocusedTakesTheFocusAwayOnlyFromTheFocusedNode) {
  TFiveNodes T;
  T.List.SetNodeFocused(T.D, true);
  EXPECT_EQ(T.List.FocusedNode(), T.D);
  T.List.SetNodeFocused(T.E, false);
  EXPECT_EQ(T.List.FocusedNode(), T.D);
  T.List.SetNodeFocused(nullptr, false);
  EXPECT_EQ(T.List.FocusedNode(), T.D);
  T.List.SetNodeFocused(T.E, true);
  EXPECT_EQ(T.List.FocusedNode(), T.E);
  T.List.SetNodeFocused(T.E, false);
  EXPECT_EQ(T.List.FocusedNode(), nullptr);
}

std::string SelectedNames(const TcxCustomTreeListControl& AList) {
  std::string Result;
  for (TcxTreeListNode* N : AList.SelectionList()) Result += TTree::NameOf(N);
  return Result;
}

TEST(TreeListControl, SelectNodeByShiftSelectsAsTheMouseOrKeySays) {
  struct TCase {
    const char* Name;
    TShiftState Shift;
    const char* Selected;
  };
  // e and then b Ctrl+clicked (b the anchor, focused), then d reached with:
  const TCase Cases[] = {
      {"Shift: the range from the anchor alone", ssShift, "bcd"},
      {"Shift+Ctrl: the range added to the selection", ssShift | ssCtrl, "ebcd"},
      {"Ctrl+click: the node toggled", ssCtrl | ssLeft, "ebd"},
      {"Ctrl without a button: nothing toggled", ssCtrl, "eb"},
      {"neither: the focused node alone", 0, "b"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TFiveNodes T;
    T.List.SetMultiSelect(true);
    T.List.SetFocusedNode(T.B);
    T.List.UnselectAllNodes();
    T.List.SelectNodeByShift(T.E, ssCtrl | ssLeft);
    T.List.SelectNodeByShift(T.B, ssCtrl | ssLeft);
    ASSERT_EQ(SelectedNames(T.List), "eb");
    T.List.SelectNodeByShift(T.D, Case.Shift);
    EXPECT_EQ(SelectedNames(T.List), Case.Selected);
  }
  TFiveNodes T;
  T.List.SetMultiSelect(true);
  T.List.SetFocusedNode(T.B);
  T.List.SelectNodeByShift(T.B, ssCtrl | ssLeft);
  T.List.SelectNodeByShift(T.B, ssCtrl | ssLeft);  // b toggled off: the anchor stays b
  T.List.SelectNodeByShift(T.D, ssCtrl);           // d is not selected: not the anchor
  T.List.SelectNodeByShift(T.E, ssShift);
  EXPECT_EQ(SelectedNames(T.List), "bcde");
  // A node under a collapsed parent is left as it is.
  T.A->Collapse(false);
  T.List.SelectNodeByShift(T.C, ssCtrl | ssLeft);
  EXPECT_TRUE(T.C->Selected());
  T.List.SelectNodeByShift(T.C, ssShift);
  EXPECT_EQ(SelectedNames(T.List), "bcde");
  // Without multi-selection nothing is selected.
  T.List.SetMultiSelect(false);
  T.List.SelectNodeByShift(T.E, ssCtrl | ssLeft);
  EXPECT_FALSE(T.E->Selected());
}

TEST(TreeListControl, MultiSelectionFirstNodeAndImagesWidthAsTheSettingsSay) {
  TFiveNodes T;
  EXPECT_EQ(T.List.GetFirstNode(), T.A);
  EXPECT_FALSE(T.List.IsMultiSelect());
  T.List.OptionsSelection()->SetMultiSelect(true);
  EXPECT_TRUE(T.List.IsMultiSelect());
  // One indent width for each image list the control has.
  std::unique_ptr<TImageList> Images = TImageList::CreateSize(30, 30);
  std::unique_ptr<TImageList> StateImages = TImageList::CreateSize(12, 12);
  EXPECT_EQ(T.List.GetImagesWidth(), 0);
  T.List.SetStateImages(StateImages.get());
  const Integer Indent = T.List.BandSettings().IndentWidth;
  EXPECT_EQ(T.List.GetImagesWidth(), Indent);
  T.List.SetImages(Images.get());  // wider pictures widen the indent
  EXPECT_EQ(T.List.BandSettings().IndentWidth, 33);
  EXPECT_EQ(T.List.GetImagesWidth(), 2 * 33);
  T.List.SetStateImages(nullptr);
  T.List.SetImages(nullptr);
  T.List.Clear();
  EXPECT_EQ(T.List.GetFirstNode(), nullptr);
}

TEST(TreeListControl, StructureIsOutdatedOnlyWhenTheRecordsMovedOn) {
  // A control whose records may change behind its nodes.
  struct TOutOfStepTree : TcxCustomTreeListControl {
    bool InStep = true;
    bool IsDataInStep() const override { return InStep; }
  };
  TOutOfStepTree List;
  List.CreateColumn();
  TcxTreeListNode* Parent = List.AddNode(nullptr, nullptr, tlamAddChild);
  List.AddNode(nullptr, Parent, tlamAddChild);
  EXPECT_FALSE(List.IsStructureOutdated());
  List.InStep = false;
  // Refreshing finds the same records: the nodes still match, the node expands.
  EXPECT_FALSE(List.IsStructureOutdated());
  Parent->Expand(false);
  EXPECT_TRUE(Parent->Expanded());
  List.SetLoading(true);
  EXPECT_FALSE(List.IsStructureOutdated());
  List.SetLoading(false);
}

TEST(TreeListControl, InsertNodeAddsAndFocusesTheNewNode) {
  TFiveNodes T;
  EXPECT_FALSE(T.List.InsertNode(false));  // nothing focused: nothing made
  EXPECT_EQ(T.List.AbsoluteNodeCount(), 5);
  EXPECT_TRUE(T.List.InsertNode(true));  // nothing focused: a new last top-level node
  T.List.FocusedNode()->SetValues(0, Variant(String(u"f")));
  EXPECT_EQ(T.Shape(), "a(b,c),d,e,f*");
  T.List.SetFocusedNode(T.D);
  EXPECT_TRUE(T.List.InsertNode(false));  // a child of the collapsed focused node, shown
  T.List.FocusedNode()->SetValues(0, Variant(String(u"g")));
  EXPECT_EQ(T.Shape(), "a(b,c),d(g*),e,f");
  T.List.SetFocusedNode(T.D);
  EXPECT_TRUE(T.List.InsertNode(true));  // top level: before the focused node
  T.List.FocusedNode()->SetValues(0, Variant(String(u"h")));
  EXPECT_EQ(T.Shape(), "a(b,c),h*,d(g),e,f");
  T.List.SetFocusedNode(T.C);
  EXPECT_TRUE(T.List.InsertNode(true));  // below: before the focused node's parent
  T.List.FocusedNode()->SetValues(0, Variant(String(u"i")));
  EXPECT_EQ(T.Shape(), "i*,a(b,c),h,d(g),e,f");
}

TEST(TreeListControl, MoveNodesKeepsTheFocusAndDropsTheTargetsAncestors) {
  {
    TFiveNodes T;
    T.List.SetFocusedNode(T.D);
    T.List.MoveNodes(T.B, tlamAddChild, false, {T.A, T.D, T.E});  // a is b's parent: dropped
    // d went under the collapsed b: the focus went to b, its nearest shown ancestor.
    T.B->Expand(false);
    EXPECT_EQ(T.Shape(), "a(b*(d,e),c)");
  }
  {
    TFiveNodes T;
    T.List.MoveNodes(T.A, tlamAddChildFirst, false, {T.D, T.E});  // first children, order kept
    EXPECT_EQ(T.Shape(), "a(d,e,b,c)");
  }
  {
    TFiveNodes T;
    T.List.MoveNodes(T.D, tlamInsert, false, {T.D, T.E});  // the target itself: dropped
    EXPECT_EQ(T.Shape(), "a(b,c),e,d");
  }
  {
    TFiveNodes T;
    T.List.MoveNodes(T.C, tlamAddChild, false, {T.A});  // only an ancestor: nothing
    EXPECT_EQ(T.Shape(), "a(b,c),d,e");
  }
  {
    TFiveNodes T;
    T.List.SetFocusedNode(T.E);
    T.List.MoveNodes(T.D, tlamAddChild, true, {T.A});  // a copy, subtree included
    T.D->Expand(true);
    EXPECT_EQ(T.Shape(), "a(b,c),d(a(b,c)),e*");
    EXPECT_EQ(T.List.AbsoluteNodeCount(), 8);
  }
}

TEST(TreeListControl, FindNodeWalksFromTheStartAndLoadsChildrenOnDemand) {
  TFiveNodes T;
  T.D->SetHasChildren(true);  // its child comes when it first expands
  T.List.OnExpanding = TcxTreeListNodeAllowEvent(&T, [&](TcxTreeListNodesOwner*, TcxTreeListNode* N, bool&) {
    if (N == T.D && N->Count() == 0) T.Make(N, "d1");
  });
  T.A->Collapse(false);
  auto Named = [](const char* AName) {
    return [AName](TcxTreeListNode* N) { return TTree::NameOf(N) == AName; };
  };
  struct TCase {
    const char* Name;
    TcxTreeListNode* Start;
    bool Forward;
    bool ExpandedOnly;
    const char* Expected;
  };
  const TCase Cases[] = {
      {"c", nullptr, true, false, "c"},  // inside a collapsed parent
      {"c", nullptr, true, true, "none"},  // only shown nodes
      {"a", T.D, true, false, "none"},   // not behind the start
      {"a", T.D, false, false, "a"},     // backward
      {"d", T.D, true, true, "d"},       // the start itself
      {"d1", nullptr, true, true, "none"},
      {"d1", nullptr, true, false, "d1"},  // loaded on the way, collapsed again
  };
  for (const TCase& Case : Cases)
    EXPECT_EQ(TTree::NameOf(T.List.FindNode(Named(Case.Name), Case.Start, Case.Forward, Case.ExpandedOnly)),
              Case.Expected)
        << Case.Name;
  EXPECT_EQ(T.Shape(), "a+(b,c),d+(d1),e");
}

TEST(TreeListColumn, WidthsKeepToTheMinimum) {
  TTree T;
  TcxTreeListColumn* C = T.Name;
  EXPECT_EQ(C->Width(), 100);
  EXPECT_EQ(C->MinWidth(), 20);
  C->SetWidth(5);
  EXPECT_EQ(C->Width(), 20);
  C->SetMinWidth(150);  // above the width: widens the column
  EXPECT_EQ(C->Width(), 150);
  C->SetMinWidth(-3);
  EXPECT_EQ(C->MinWidth(), 0);
  EXPECT_EQ(C->Width(), 150);
  C->RestoreDefaults();
  EXPECT_EQ(C->Width(), 100);
  EXPECT_EQ(C->MinWidth(), 20);
}

TEST(TreeListColumn, PositionsInsertIntoRowsAndStayConsecutive) {
  TTree T;
  TcxTreeListColumn* B = T.List.CreateColumn();
  TcxTreeListColumn* C = T.List.CreateColumn();
  B->SetCaption(u"B");
  C->SetCaption(u"C");
  auto Layout = [&] {
    std::string Result;
    for (TcxTreeListColumn* X : T.List.VisibleColumns())
      Result += StringToUTF8(X->Caption()) + ":" + std::to_string(X->Position().RowIndex) + "." +
                std::to_string(X->Position().ColIndex) + " ";
    return Result;
  };
  T.List.SetColumnPosition(B, 0, false, 0);
  T.List.SetColumnPosition(C, 1, false, 0);
  EXPECT_EQ(Layout(), "B:0.0 C:0.1 Name:0.2 ");
  T.List.SetColumnPosition(T.Name, 0, true, 0);  // a new first row
  EXPECT_EQ(Layout(), "Name:0.0 B:1.0 C:1.1 ");
  T.List.SetColumnPosition(C, 7, false, 0);  // past the end of the row: appended
  EXPECT_EQ(Layout(), "Name:0.0 C:0.1 B:1.0 ");
  T.List.SetColumnPosition(B, -2, false, -1);  // negatives: the first place of the first row
  EXPECT_EQ(Layout(), "B:0.0 Name:0.1 C:0.2 ");
  C->SetVisible(false);
  EXPECT_EQ(Layout(), "B:0.0 Name:0.1 ");
}

TEST(TreeListColumn, AutoWidthFitsEachRowIntoTheWidth) {
  TTree T;
  TcxTreeListColumn* B = T.List.CreateColumn();
  TcxTreeListColumn* C = T.List.CreateColumn();
  T.List.SetColumnPosition(B, 1, false, 0);
  T.List.SetColumnPosition(C, 2, false, 0);
  T.Name->SetWidth(100);
  B->SetWidth(100);
  C->SetWidth(200);
  EXPECT_EQ(T.List.ApplyAutoWidth(200), 200);
  EXPECT_EQ(std::vector<Integer>({T.Name->DisplayWidth(), B->DisplayWidth(), C->DisplayWidth()}),
            std::vector<Integer>({50, 50, 100}));
  EXPECT_EQ(C->Width(), 200);  // the own width is kept for the next fit
  C->Options()->SetSizing(false);         // fixed: keeps its width, the others share the rest
  T.List.ApplyAutoWidth(400);
  EXPECT_EQ(std::vector<Integer>({T.Name->DisplayWidth(), B->DisplayWidth(), C->DisplayWidth()}),
            std::vector<Integer>({100, 100, 200}));
  C->Options()->SetSizing(true);
  T.List.ApplyAutoWidth(10);  // below the minimums: each gets its minimum
  EXPECT_EQ(std::vector<Integer>({T.Name->DisplayWidth(), B->DisplayWidth(), C->DisplayWidth()}),
            std::vector<Integer>({20, 20, 20}));
}

TEST(TreeListColumn, SortOrderSortsTheNodesUnlessSortingIsOff) {
  TTree T;
  for (const char* N : {"c", "a", "b"}) T.Make(nullptr, N);
  T.Name->SetSortOrder(soAscending);
  EXPECT_EQ(T.Shape(), "a,b,c");
  T.Name->SetSortOrder(soDescending);
  EXPECT_EQ(T.Shape(), "c,b,a");
  T.Make(nullptr, "d");
  T.List.Resort();
  EXPECT_EQ(T.Shape(), "d,c,b,a");
  T.Name->SetSortOrder(soNone);
  EXPECT_EQ(T.Name->SortOrder(), soNone);
  T.Name->Options()->Sorting = false;
  T.Name->SetSortOrder(soAscending);
  EXPECT_EQ(T.Name->SortOrder(), soNone);
  EXPECT_EQ(T.Shape(), "d,c,b,a");
}

TEST(TreeListColumn, FreeingAColumnKeepsTheOtherColumnsSortOrders) {
  TTree T;
  TcxTreeListColumn* Key = T.List.CreateColumn();
  Key->DataBinding()->SetValueTypeClass(TcxIntegerValueType::StaticClass());
  Integer K = 3;
  for (const char* N : {"a", "b", "c"}) T.Make(nullptr, N)->SetValues(1, Variant(K--));
  T.Name->SetSortOrder(soDescending);
  Key->SetSortOrder(soAscending);
  EXPECT_EQ(T.Shape(), "c,b,a");
  delete T.Name;  // Key becomes item 0 and stays the one sort column
  EXPECT_EQ(T.List.ColumnCount(), 1);
  EXPECT_EQ(Key->ItemIndex(), 0);
  EXPECT_EQ(Key->SortOrder(), soAscending);
  T.List.Nodes()->Root()->GetFirstChild()->SetValues(0, Variant(Integer(9)));
  T.List.Resort();
  std::vector<Integer> Keys;
  for (TcxTreeListNode* N = T.List.Nodes()->Root()->GetFirstChild(); N; N = N->GetNextSibling())
    Keys.push_back(N->Values(0).AsInteger());
  EXPECT_EQ(Keys, std::vector<Integer>({2, 3, 9}));
}

TEST(TreeListColumn, DisplayTextPassesThroughTheHandler) {
  TTree T;
  TcxTreeListNode* N = T.Make(nullptr, "河流");
  EXPECT_EQ(T.Name->GetDisplayText(N), String(u"河流"));
  T.Name->OnGetDisplayText = TcxTreeListOnGetDisplayTextEvent(
      &T, [](TcxTreeListColumn*, TcxTreeListNode*, String& Value) { Value = u"[" + Value + u"]"; });
  EXPECT_EQ(T.Name->GetDisplayText(N), String(u"[河流]"));
}

TEST(TreeListColumn, StoredPropertiesRoundTripByName) {
  TTree T;
  TcxTreeListColumn* C = T.Name;
  C->SetStoredPropertyValue(u"realwidth", Variant(Integer(140)));
  C->SetStoredPropertyValue(u"RowIndex", Variant(Integer(-4)));
  C->SetStoredPropertyValue(u"Caption", Variant(String(u"名称")));
  C->SetStoredPropertyValue(u"SortOrder", Variant(Integer(9)));  // not an order: ignored
  EXPECT_EQ(C->GetStoredPropertyValue(u"RealWidth").AsInteger(), 140);
  EXPECT_EQ(C->GetStoredPropertyValue(u"ROWINDEX").AsInteger(), 0);
  EXPECT_EQ(VarToStr(C->GetStoredPropertyValue(u"Caption")), String(u"名称"));
  EXPECT_EQ(C->GetStoredPropertyValue(u"SortOrder").AsInteger(), Integer(soNone));
  EXPECT_TRUE(VarIsNull(C->GetStoredPropertyValue(u"SortIndex")));
  EXPECT_TRUE(VarIsNull(C->GetStoredPropertyValue(u"NoSuchName")));
}

}  // namespace
