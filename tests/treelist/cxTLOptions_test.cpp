// The tree list's settings: defaults, which writes lay the control out,
// clamped values, the view options' column flattening, the data options on
// the data controller, the preview, and assignment. Also a column's own
// options with their effects and its summary footer.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "data/cxDataSummary.h"
#include "tests/treelist/treelist_view_fixture.h"
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
  EXPECT_TRUE(To.IsMultiSelect());
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

// ---- Column options -----------------------------------------------------------------------------

TEST(TreeListColumnOptions, DefaultsAndEachOwnOptionLaysTheControlOutOnAChange) {
  TOptionsFixture F;
  TcxTreeListColumnOptions* O = F.List.CreateColumn()->Options();
  EXPECT_TRUE(O->CellEndEllipsis() && O->Sizing() && O->Customizing && O->Editing() && O->Focusing &&
              O->IncSearch() && O->Moving && O->Sorting && O->TabStop);
  EXPECT_FALSE(O->Footer() || O->Hidden());
  EXPECT_EQ(O->ShowEditButtons(), eisbDefault);

  struct TCase {
    const char* Name;
    std::function<bool()> Get;
    std::function<void(bool)> Set;
  };
  const TCase Cases[] = {
      {"CellEndEllipsis", [O] { return O->CellEndEllipsis(); }, [O](bool V) { O->SetCellEndEllipsis(V); }},
      {"Sizing", [O] { return O->Sizing(); }, [O](bool V) { O->SetSizing(V); }},
      {"Footer", [O] { return O->Footer(); }, [O](bool V) { O->SetFooter(V); }},
      {"Hidden", [O] { return O->Hidden(); }, [O](bool V) { O->SetHidden(V); }},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    const bool Old = Case.Get();
    EXPECT_EQ(F.LayoutsOf([&] { Case.Set(Old); }), 0);
    EXPECT_EQ(F.LayoutsOf([&] { Case.Set(!Old); }), 1);
    EXPECT_EQ(Case.Get(), !Old);
    Case.Set(Old);
  }
}

TEST(TreeListColumnOptions, RestoreDefaultsAllowsEverythingAndAssignCopies) {
  TcxCustomTreeListControl L;
  TcxTreeListColumn* C = L.CreateColumn();
  TcxTreeListColumnOptions* O = C->Options();
  O->Sorting = O->Customizing = O->TabStop = O->Focusing = O->Moving = false;
  O->SetEditing(false);
  O->SetSizing(false);
  O->SetFooter(true);
  O->SetHidden(true);
  O->SetCellEndEllipsis(false);

  TcxTreeListColumn* Copy = L.CreateColumn();
  Copy->Options()->Assign(O);
  EXPECT_FALSE(Copy->Options()->Sizing() || Copy->Options()->CellEndEllipsis() || Copy->Options()->Moving);
  EXPECT_TRUE(Copy->Options()->Footer() && Copy->Options()->Hidden());

  O->RestoreDefaults();
  EXPECT_TRUE(O->Sorting && O->Customizing && O->TabStop && O->Focusing && O->Moving && O->Editing() && O->Sizing());
  // What the user asked to show or keep out is not a permission: it stays.
  EXPECT_TRUE(O->Footer() && O->Hidden());
  EXPECT_FALSE(O->CellEndEllipsis());
  // The column's own RestoreDefaults restores its options too.
  Copy->RestoreDefaults();
  EXPECT_TRUE(Copy->Options()->Sizing() && Copy->Options()->Moving);
}

TEST(TreeListColumnOptions, ACellEndsInAnEllipsisOnlyWhenTheViewAndTheColumnBothSaySo) {
  TTreeViewFixture F;
  struct TCase {
    bool View, Column, Expected;
  };
  for (const TCase& Case : {TCase{false, true, false}, TCase{true, true, true}, TCase{true, false, false},
                            TCase{false, false, false}}) {
    SCOPED_TRACE(testing::Message() << "view " << Case.View << " column " << Case.Column);
    F.View()->SetCellEndEllipsis(Case.View);
    F.Column(0)->Options()->SetCellEndEllipsis(Case.Column);
    TcxEditCellViewInfo* Cell = F.Row(F.A)->CellOfColumn(F.Column(0));
    ASSERT_NE(Cell, nullptr);
    EXPECT_EQ(Cell->IsEndEllipsis(), Case.Expected);
    // The other column keeps its own default.
    EXPECT_EQ(F.Row(F.A)->CellOfColumn(F.Column(1))->IsEndEllipsis(), Case.View);
  }
}

// ---- Column summary footer ----------------------------------------------------------------------

TEST(TreeListColumnSummaryFooter, KindAndFormatLiveInTheDataControllersFooterItem) {
  TcxCustomTreeListControl L;
  TcxTreeListColumn* C = L.CreateColumn();
  L.CreateColumn();
  TcxDataFooterSummaryItems* Items = L.DataController()->Summary()->FooterSummaryItems();
  TcxTreeListColumnSummaryFooter* S = C->SummaryFooter();
  EXPECT_EQ(S->Kind(), skNone);
  EXPECT_EQ(S->AlignHorz(), taLeftJustify);
  EXPECT_EQ(S->AlignVert(), vaTop);
  EXPECT_FALSE(S->MultiLine() || S->IsFormatStored());

  // A format without a kind makes no item; it is kept for the item a kind makes.
  S->SetFormat(u"合计 0");
  EXPECT_EQ(Items->Count(), 0);
  EXPECT_EQ(S->Format(), u"合计 0");
  S->SetKind(skSum);
  ASSERT_EQ(Items->Count(), 1);
  EXPECT_EQ(Items->IndexOfItemLink(C), 0);
  EXPECT_EQ(Items->Items(0)->Kind(), skSum);
  EXPECT_EQ(Items->Items(0)->Format(), u"合计 0");
  EXPECT_EQ(Items->Items(0)->Position(), spFooter);

  // Reading answers from the item, whoever changed it.
  Items->Items(0)->SetKind(skMax);
  Items->Items(0)->SetFormat(u"最大 0");
  EXPECT_EQ(S->Kind(), skMax);
  EXPECT_EQ(S->Format(), u"最大 0");
  S->SetKind(skCount);
  EXPECT_EQ(Items->Count(), 1);
  EXPECT_EQ(Items->Items(0)->Kind(), skCount);

  // skNone frees the item; its format stays with the column for the next kind.
  S->SetKind(skNone);
  EXPECT_EQ(Items->Count(), 0);
  EXPECT_EQ(S->Kind(), skNone);
  EXPECT_TRUE(S->IsFormatStored());
  S->SetKind(skMin);
  ASSERT_EQ(Items->Count(), 1);
  EXPECT_EQ(Items->Items(0)->Format(), u"最大 0");

  // Another column's footer copies kind, format and layout into its own item.
  TcxTreeListColumn* Other = L.GetColumn(1);
  S->SetAlignHorz(taRightJustify);
  S->SetMultiLine(true);
  Other->SummaryFooter()->Assign(S);
  ASSERT_EQ(Items->Count(), 2);
  EXPECT_EQ(Other->SummaryFooter()->Kind(), skMin);
  EXPECT_EQ(Other->SummaryFooter()->Format(), u"最大 0");
  EXPECT_EQ(Other->SummaryFooter()->AlignHorz(), taRightJustify);
  EXPECT_TRUE(Other->SummaryFooter()->MultiLine());

  // A freed column takes its item along.
  delete Other;
  EXPECT_EQ(Items->Count(), 1);
  EXPECT_EQ(Items->IndexOfItemLink(C), 0);
}

TEST(TreeListColumnSummaryFooter, TheFooterCellShowsTheSummaryWhenTheColumnAsksForIt) {
  TTreeViewFixture F;
  F.View()->SetFooter(true);
  TcxTreeListColumn* Note = F.Column(1);
  Note->SummaryFooter()->SetKind(skCount);
  auto FooterOf = [&F](TcxTreeListColumn* AColumn) -> TcxTreeListFooterItemViewInfo* {
    for (const auto& Item : F.Layout()->FooterItems())
      if (Item->Column == AColumn) return Item.get();
    return nullptr;
  };
  // Without the column's Footer option its footer cell does not show.
  ASSERT_NE(FooterOf(Note), nullptr);
  EXPECT_FALSE(FooterOf(Note)->Visible());

  Note->Options()->SetFooter(true);
  Note->SummaryFooter()->SetAlignHorz(taRightJustify);
  Note->SummaryFooter()->SetAlignVert(vaBottom);
  TcxTreeListFooterItemViewInfo* Item = FooterOf(Note);
  ASSERT_NE(Item, nullptr);
  EXPECT_TRUE(Item->Visible());
  // The count of the six nodes, laid out as the summary footer says.
  EXPECT_EQ(Item->Text, Note->SummaryFooter()->Text());
  EXPECT_NE(Item->Text.find(u"6"), String::npos) << StringToUTF8(Item->Text);
  EXPECT_EQ(Item->AlignHorz, taRightJustify);
  EXPECT_EQ(Item->AlignVert, vaBottom);
  EXPECT_FALSE(FooterOf(F.Column(0))->Visible());

  // A footer text wider than the column widens the column's least width for a fit.
  const Integer Before = Note->GetMinHeaderFooterWidth();
  Note->SummaryFooter()->SetFormat(u"节点总数 0 个，全部计入本列的页脚");
  EXPECT_GT(Note->GetMinHeaderFooterWidth(), Before);
  EXPECT_GE(Note->GetMinHeaderFooterWidth(), TextWidthInFont(F.Tree->Font(), Note->SummaryFooter()->Text()));
}

// A picture of a footer with two summaries and of a cell too narrow for its
// text, with and without the column's ellipsis.
TEST(TreeListColumnSummaryFooter, PictureOfTheFooterAndOfAnEllipsisCell) {
  TTreeViewFixture F;
  F.View()->SetFooter(true);
  F.View()->SetCellEndEllipsis(true);
  for (Integer I = 0; I < 2; ++I) F.Column(I)->Options()->SetFooter(true);
  F.Column(0)->SummaryFooter()->SetKind(skCount);
  F.Column(0)->SummaryFooter()->SetFormat(u"共 0 项");
  F.Column(1)->SummaryFooter()->SetKind(skCount);
  F.Column(1)->SummaryFooter()->SetAlignHorz(taRightJustify);
  F.A->SetValues(TTreeViewFixture::NoteItem, Variant(String(u"一段很长很长的说明文字，放不进这一列")));
  F.Column(1)->SetWidth(90);
  F.Layout();
  auto On = F.Shot();
  On->SaveToFile(u"/tmp/korvane_tl_footer_ellipsis.png");
  F.Column(1)->Options()->SetCellEndEllipsis(false);
  F.Layout();
  auto Off = F.Shot();
  Off->SaveToFile(u"/tmp/korvane_tl_footer_no_ellipsis.png");

  // The footer cells carry their texts.
  Integer DarkInFooter = 0;
  for (const auto& Footer : F.Layout()->FooterItems()) {
    ASSERT_TRUE(Footer->Visible());
    const TRect R = Footer->ClipRect();
    for (Integer Y = R.Top; Y < R.Bottom; ++Y)
      for (Integer X = R.Left; X < R.Right; ++X)
        if ((ColorToRGB(On->PixelColor(X, Y)) & 0xFF) < 0x60) ++DarkInFooter;
  }
  EXPECT_GT(DarkInFooter, 20);
  // Only the narrow cell's ending differs between the two pictures.
  const TRect Cell = F.Row(F.A)->CellOfColumn(F.Column(1))->ClipRect();
  Integer Differ = 0, DifferElsewhere = 0;
  for (Integer Y = 0; Y < On->Height(); ++Y)
    for (Integer X = 0; X < On->Width(); ++X)
      if (On->PixelColor(X, Y) != Off->PixelColor(X, Y))
        ++(X >= Cell.Left && X < Cell.Right && Y >= Cell.Top && Y < Cell.Bottom ? Differ : DifferElsewhere);
  EXPECT_GT(Differ, 0);
  EXPECT_EQ(DifferElsewhere, 0);
}

}  // namespace
