// The tree list's settings: defaults, which writes lay the control out,
// clamped values, the view options' column flattening, the data options on
// the data controller, the preview, and assignment.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "data/cxDataSummary.h"
#include "treelist/cxTLControl.h"

namespace {

// A tree list that counts its layouts (OnLayoutChanged) and navigator refreshes.
struct TOptionsFixture : IcxNavigator {
  TcxCustomTreeListControl List;
  Integer Layouts = 0;
  Integer Refreshes = 0;
  TOptionsFixture() {
    List.OnLayoutChanged = TcxTreeListControlNotifyEvent(&List, [this](TcxCustomTreeListControl*) { ++Layouts; });
    List.NavigatorNotifier()->AddNavigator(this);
  }
  void RefreshNavigator() override { ++Refreshes; }
  // Layouts that AChange causes.
  Integer LayoutsOf(const std::function<void()>& AChange) {
    Layouts = 0;
    AChange();
    return Layouts;
  }
};

TEST(TreeListOptions, Defaults) {
  TcxCustomTreeListControl L;
  TcxTreeListOptionsView* V = L.OptionsView();
  EXPECT_EQ(V->Bits(), (1u << 3) | (1u << 5) | (1u << 7) | (1u << 9) | (1u << 13));
  EXPECT_TRUE(V->Headers() && V->ShowRoot() && V->Buttons() && V->UseNodeColorForIndent() &&
              V->UseImageIndexForSelected());
  EXPECT_EQ(V->IndicatorWidth(), 15);
  EXPECT_EQ(V->FixedSeparatorWidth(), 2);
  EXPECT_EQ(V->DropArrowColor(), TColor(0x00FF00));
  EXPECT_EQ(V->GridLineColor(), clDefault);
  EXPECT_EQ(V->TreeLineStyle(), tllsDot);
  EXPECT_EQ(V->BandLineCount(), 1);

  TcxTreeListOptionsCustomizing* C = L.OptionsCustomizing();
  EXPECT_TRUE(C->BandHorzSizing() && C->BandMoving() && C->BandVertSizing() && C->ColumnCustomizing() &&
              C->ColumnHorzSizing() && C->ColumnMoving() && C->BandCustomizing() && C->ColumnVertSizing());
  EXPECT_FALSE(C->DynamicSizing() || C->RowSizing());

  TcxTreeListOptionsSelection* S = L.OptionsSelection();
  EXPECT_TRUE(S->CellSelect() && S->HideFocusRect() && S->InvertSelect());
  EXPECT_FALSE(S->HideSelection() || S->MultiSelect());

  TcxTreeListOptionsBehavior* B = L.OptionsBehavior();
  EXPECT_TRUE(B->DragCollapse() && B->DragExpand() && B->ShowHourGlass() && B->ConfirmDelete() && B->MultiSort() &&
              B->Sorting() && B->AutomateLeftMostIndent() && B->ExpandOnDblClick());
  EXPECT_FALSE(B->ExpandOnIncSearch() || B->AutoDragCopy() || B->HotTrack() || B->DragFocusing());
  EXPECT_EQ(B->WaitForExpandNodeTime(), 500);
  EXPECT_EQ(B->ChangeDelay(), 0);

  TcxTreeListOptionsData* D = L.OptionsData();
  EXPECT_TRUE(D->Deleting() && D->Editing());
  EXPECT_FALSE(D->Inserting() || D->AnsiSort() || D->CaseInsensitive() || D->SummaryNullIgnore());

  TcxTreeListPreview* P = L.Preview();
  EXPECT_TRUE(P->AutoHeight());
  EXPECT_EQ(P->LeftIndent(), 3);
  EXPECT_EQ(P->RightIndent(), 5);
  EXPECT_EQ(P->MaxLineCount(), 3);
  EXPECT_EQ(P->Place(), tlppBottom);
  EXPECT_FALSE(P->Visible() || P->Active());
}

TEST(TreeListOptions, WhichWritesLayTheControlOut) {
  struct TCase {
    const char* Name;
    std::function<void(TcxCustomTreeListControl&)> Change;
    Integer Layouts;
  };
  const TCase Cases[] = {
      {"a view bit", [](auto& L) { L.OptionsView()->SetFooter(true); }, 1},
      {"the same bit again", [](auto& L) { L.OptionsView()->SetHeaders(true); }, 0},
      {"indicator width, indicator off", [](auto& L) { L.OptionsView()->SetIndicatorWidth(30); }, 0},
      {"indicator width, indicator on",
       [](auto& L) {
         L.OptionsView()->SetIndicator(true);
         L.OptionsView()->SetIndicatorWidth(30);
       },
       2},
      {"grid line colour without grid lines", [](auto& L) { L.OptionsView()->SetGridLineColor(clRed); }, 0},
      {"grid line colour with grid lines",
       [](auto& L) {
         L.OptionsView()->SetGridLines(tlglBoth);
         L.OptionsView()->SetGridLineColor(clRed);
       },
       2},
      {"band line count without bands", [](auto& L) { L.OptionsView()->SetBandLineCount(3); }, 0},
      {"paint style", [](auto& L) { L.OptionsView()->SetPaintStyle(tlpsCategorized); }, 1},
      {"a selection bit", [](auto& L) { L.OptionsSelection()->SetHideSelection(true); }, 1},
      {"multi-select", [](auto& L) { L.OptionsSelection()->SetMultiSelect(true); }, 1},
      {"a customizing bit", [](auto& L) { L.OptionsCustomizing()->SetColumnMoving(false); }, 0},
      {"a behavior bit", [](auto& L) { L.OptionsBehavior()->SetHotTrack(true); }, 0},
      {"a data bit", [](auto& L) { L.OptionsData()->SetInserting(true); }, 1},
      {"preview indent, preview inactive", [](auto& L) { L.Preview()->SetLeftIndent(9); }, 0},
      {"preview column while hidden: kept, laid out", [](auto& L) { L.Preview()->SetColumn(L.GetColumn(0)); }, 1},
      {"preview indent, preview active",
       [](auto& L) {
         L.Preview()->SetColumn(L.GetColumn(0));
         L.Preview()->SetVisible(true);
         L.Preview()->SetLeftIndent(9);
       },
       3},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TOptionsFixture F;
    F.List.CreateColumn();
    EXPECT_EQ(F.LayoutsOf([&] { Case.Change(F.List); }), Case.Layouts);
  }
}

TEST(TreeListOptions, ValuesAreClampedWhenSet) {
  TcxCustomTreeListControl L;
  L.OptionsBehavior()->SetWaitForExpandNodeTime(-200);  // no negative waiting time is kept
  EXPECT_EQ(L.OptionsBehavior()->WaitForExpandNodeTime(), 0);
  L.OptionsBehavior()->SetChangeDelay(-5);
  EXPECT_EQ(L.OptionsBehavior()->ChangeDelay(), 0);
  EXPECT_FALSE(L.ChangeTimer()->Enabled());
  L.OptionsBehavior()->SetChangeDelay(250);
  EXPECT_EQ(L.ChangeTimer()->Interval(), 250u);
  EXPECT_TRUE(L.ChangeTimer()->Enabled());
  L.OptionsView()->SetIndicatorWidth(-1);
  L.OptionsView()->SetFixedSeparatorWidth(-1);
  L.OptionsView()->SetBandLineCount(0);
  EXPECT_EQ(L.OptionsView()->IndicatorWidth(), 0);
  EXPECT_EQ(L.OptionsView()->FixedSeparatorWidth(), 0);
  EXPECT_EQ(L.OptionsView()->BandLineCount(), 1);
  L.Preview()->SetLeftIndent(-3);
  L.Preview()->SetMaxLineCount(-1);
  EXPECT_EQ(L.Preview()->LeftIndent(), 0);
  EXPECT_EQ(L.Preview()->MaxLineCount(), 0);
}

TEST(TreeListOptions, HeaderSingleLineFlattensTheColumns) {
  TcxCustomTreeListControl L;
  TcxTreeListColumn* A = L.CreateColumn();
  TcxTreeListColumn* B = L.CreateColumn();
  TcxTreeListColumn* C = L.CreateColumn();
  L.SetColumnPosition(B, 0, true, 1);
  C->SetRowIndex(2);
  C->SetLineCount(3);
  L.OptionsView()->SetHeaderSingleLine(true);
  for (TcxTreeListColumn* X : {A, B, C}) {
    EXPECT_EQ(X->Position().RowIndex, 0);
    EXPECT_EQ(X->Position().LineCount, 1);
  }
  // One row, places in the order of the old rows.
  EXPECT_EQ(A->Position().ColIndex, 0);
  EXPECT_EQ(B->Position().ColIndex, 1);
  EXPECT_EQ(C->Position().ColIndex, 2);
}

TEST(TreeListOptions, ResetAndCategorizedColumn) {
  TcxCustomTreeListControl L;
  L.OptionsView()->SetFooter(true);
  L.OptionsView()->SetIndicatorWidth(40);
  L.OptionsView()->Reset();
  EXPECT_EQ(L.OptionsView()->Bits(), 1u << TcxTreeListOptionsView::HeadersBit);
  EXPECT_EQ(L.OptionsView()->IndicatorWidth(), 15);

  EXPECT_EQ(L.OptionsView()->CategorizedColumn(), nullptr);
  TcxTreeListColumn* A = L.CreateColumn();
  TcxTreeListColumn* B = L.CreateColumn();
  EXPECT_EQ(L.OptionsView()->CategorizedColumn(), A);  // the first visible column stands in
  A->SetVisible(false);
  EXPECT_EQ(L.OptionsView()->CategorizedColumn(), B);
  L.OptionsView()->SetCategorizedColumn(A);
  EXPECT_EQ(L.OptionsView()->CategorizedColumn(), A);
  delete A;  // a freed column is forgotten
  EXPECT_EQ(L.OptionsView()->CategorizedColumn(), B);
}

TEST(TreeListOptions, DataOptionsReachTheDataControllerAndTheNavigators) {
  TOptionsFixture F;
  TcxTreeListOptionsData* D = F.List.OptionsData();
  D->SetInserting(true);
  D->SetDeleting(false);
  EXPECT_EQ(F.Refreshes, 2);
  D->SetAnsiSort(true);
  D->SetCaseInsensitive(true);
  EXPECT_TRUE(F.List.DataController()->HasOption(dcoCompareLocaleAware));
  EXPECT_TRUE(F.List.DataController()->HasOption(dcoCompareIgnoreCase));
  D->SetAnsiSort(false);
  EXPECT_FALSE(F.List.DataController()->HasOption(dcoCompareLocaleAware));
  EXPECT_TRUE(D->CaseInsensitive());
  D->SetSummaryNullIgnore(true);
  EXPECT_EQ(F.List.DataController()->Summary()->Options(), TcxSummaryOptions{soNullIgnore});
  D->SetSummaryNullIgnore(false);
  EXPECT_TRUE(F.List.DataController()->Summary()->Options().empty());
  F.List.NavigatorNotifier()->RemoveNavigator(&F);
}

TEST(TreeListOptions, AssignmentCopiesEverySetting) {
  TcxCustomTreeListControl From, To;
  From.CreateColumn();
  From.CreateColumn();
  To.CreateColumn();
  TcxTreeListColumn* ToSecond = To.CreateColumn();
  From.OptionsView()->SetGridLines(tlglHorz);
  From.OptionsView()->SetCategorizedColumn(From.GetColumn(1));
  From.OptionsView()->SetIndicator(true);
  From.OptionsSelection()->SetMultiSelect(true);
  From.OptionsSelection()->SetCellSelect(false);
  From.OptionsCustomizing()->SetRowSizing(true);
  From.OptionsBehavior()->SetWaitForExpandNodeTime(80);
  From.OptionsBehavior()->SetChangeDelay(120);
  From.OptionsBehavior()->SetHotTrack(true);
  From.OptionsData()->SetInserting(true);
  From.OptionsData()->SetSummaryNullIgnore(true);
  From.Preview()->SetColumn(From.GetColumn(1));
  From.Preview()->SetVisible(true);
  From.Preview()->SetPlace(tlppTop);

  To.OptionsView()->Assign(From.OptionsView());
  To.OptionsSelection()->Assign(From.OptionsSelection());
  To.OptionsCustomizing()->Assign(From.OptionsCustomizing());
  To.OptionsBehavior()->Assign(From.OptionsBehavior());
  To.OptionsData()->Assign(From.OptionsData());
  To.Preview()->Assign(From.Preview());

  EXPECT_EQ(To.OptionsView()->GridLines(), tlglHorz);
  EXPECT_EQ(To.OptionsView()->CategorizedColumn(), ToSecond);
  EXPECT_TRUE(To.OptionsView()->Indicator());
  EXPECT_TRUE(To.MultiSelect());
  EXPECT_FALSE(To.OptionsSelection()->CellSelect());
  EXPECT_TRUE(To.OptionsCustomizing()->RowSizing());
  EXPECT_EQ(To.OptionsBehavior()->WaitForExpandNodeTime(), 80);
  EXPECT_EQ(To.OptionsBehavior()->ChangeDelay(), 120);
  EXPECT_TRUE(To.OptionsBehavior()->HotTrack());
  EXPECT_TRUE(To.OptionsData()->Inserting());
  EXPECT_TRUE(To.OptionsData()->SummaryNullIgnore());
  // The preview column is the target's column of the same index.
  EXPECT_EQ(To.Preview()->Column(), ToSecond);
  EXPECT_TRUE(To.Preview()->Active());
  EXPECT_EQ(To.Preview()->Place(), tlppTop);
}

TEST(TreeListOptions, AFreedPreviewColumnLeavesThePreview) {
  TcxCustomTreeListControl L;
  TcxTreeListColumn* C = L.CreateColumn();
  L.Preview()->SetColumn(C);
  L.Preview()->SetVisible(true);
  delete C;
  EXPECT_EQ(L.Preview()->Column(), nullptr);
  EXPECT_FALSE(L.Preview()->Active());
}

}  // namespace
