// Bands of the tree list: columns placed in bands and band rows, band widths
// from their columns, best fit, fitting bands into a width, the visible
// bands' order and fixed kinds, and the last visible band kept shown. Also
// the leftmost indent in front of the tree column, and a column's Index.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/encoding.h"
#include "platform/rtl/sysutils.h"
#include "treelist/cxTLBands.h"

namespace {

struct TBandedTree {
  TcxCustomTreeListControl List;
  TcxTreeListBands* Bands = List.Bands();

  // A band captioned AName with Count columns named AName1, AName2, ...
  TcxTreeListBand* AddBand(const std::string& AName, Integer ACount = 0) {
    TcxTreeListBand* Band = Bands->Add();
    Band->SetCaption(UTF8ToString(AName));
    for (Integer I = 1; I <= ACount; ++I) AddColumn(Band, AName + std::to_string(I));
    return Band;
  }
  TcxTreeListColumn* AddColumn(TcxTreeListBand* ABand, const std::string& AName) {
    TcxTreeListColumn* Column = List.CreateColumn(ABand);
    Column->SetCaption(UTF8ToString(AName));
    return Column;
  }
  static std::string Name(const TcxTreeListColumn* C) { return StringToUTF8(C->Caption()); }
  static std::string Name(const TcxTreeListBand* B) { return StringToUTF8(B->Caption()); }
  // The visible bands in order, "<" after a left-fixed one, ">" after a right-fixed one.
  std::string VisibleBands() const {
    std::string Result;
    for (Integer I = 0; I < Bands->VisibleItemCount(); ++I) {
      TcxTreeListBand* B = Bands->VisibleItems(I);
      if (!Result.empty()) Result += " ";
      Result += Name(B) + (B->FixedKind() == tlbfLeft ? "<" : B->FixedKind() == tlbfRight ? ">" : "");
    }
    return Result;
  }
  // Each visible column as name:band.row.col, in the control's order.
  std::string Places() const {
    std::string Result;
    for (TcxTreeListColumn* C : List.VisibleColumns()) {
      const TcxTreeListColumnPosition& P = C->Position();
      if (!Result.empty()) Result += " ";
      Result += Name(C) + ":" + std::to_string(P.BandIndex) + "." + std::to_string(P.RowIndex) + "." +
                std::to_string(P.ColIndex);
    }
    return Result;
  }
  // A band's rows: columns of a row joined by ",", rows by "/".
  static std::string Rows(const TcxTreeListBand* ABand) {
    std::string Result;
    for (Integer R = 0; R < ABand->BandRows()->Count(); ++R) {
      if (R > 0) Result += "/";
      TcxTreeListBandRow* Row = ABand->BandRows()->Items(R);
      for (Integer I = 0; I < Row->Count(); ++I) Result += (I > 0 ? "," : "") + Name(Row->Items(I));
    }
    return Result;
  }
  static std::vector<Integer> DisplayWidths(std::initializer_list<const TcxTreeListColumn*> AColumns) {
    std::vector<Integer> Result;
    for (const TcxTreeListColumn* C : AColumns) Result.push_back(C->DisplayWidth());
    return Result;
  }
};

// ---- Column places ----

TEST(TreeListBands, ColumnsJoinTheFirstBandMadeForThem) {
  TcxCustomTreeListControl List;
  EXPECT_EQ(List.Bands()->Count(), 0);
  TcxTreeListColumn* A = List.CreateColumn();
  TcxTreeListColumn* B = List.CreateColumn();
  ASSERT_EQ(List.Bands()->Count(), 1);
  EXPECT_EQ(A->Band(), List.Bands()->Items(0));
  EXPECT_EQ(B->Position().BandIndex, 0);
  EXPECT_EQ(List.Bands()->Items(0)->ColumnCount(), 2);
  EXPECT_TRUE(List.DefaultLayout());
}

TEST(TreeListBands, RowsAreRenumberedWithoutGaps) {
  TBandedTree T;
  TcxTreeListBand* Band = T.AddBand("a", 3);
  T.List.BeginUpdate();  // as a stored layout sets them: read together
  Band->Columns(0)->SetRowIndex(5);
  Band->Columns(1)->SetRowIndex(0);
  Band->Columns(2)->SetRowIndex(2);
  T.List.EndUpdate();
  EXPECT_EQ(TBandedTree::Rows(Band), "a2/a3/a1");
  EXPECT_EQ(T.Places(), "a2:0.0.0 a3:0.1.0 a1:0.2.0");
  EXPECT_EQ(Band->BandRows()->Count(), 3);
  EXPECT_EQ(Band->BandRows()->Items(3), nullptr);

  // Places in a row too; a hidden column leaves its row.
  Band->Columns(0)->SetRowIndex(1);
  Band->Columns(0)->SetColIndex(9);
  EXPECT_EQ(TBandedTree::Rows(Band), "a2/a3,a1");
  EXPECT_EQ(Band->Columns(0)->Position().ColIndex, 1);
  Band->Columns(1)->SetVisible(false);
  EXPECT_EQ(TBandedTree::Rows(Band), "a3,a1");
  EXPECT_EQ(T.Places(), "a3:0.0.0 a1:0.0.1");
  // A column two lines high makes its row two lines high.
  Band->Columns(2)->SetLineCount(2);
  EXPECT_EQ(Band->BandRows()->LineCount(), 2);
}

TEST(TreeListBands, SetColumnPositionMovesColumnsBetweenBandsAndRows) {
  TBandedTree T;
  TcxTreeListBand* A = T.AddBand("a", 2);
  TcxTreeListBand* B = T.AddBand("b", 2);
  EXPECT_EQ(T.Places(), "a1:0.0.0 a2:0.0.1 b1:1.0.0 b2:1.0.1");
  struct TCase {
    const char* Column;
    Integer Band, Col;
    bool NewRow;
    Integer Row;
    const char* Expected;
  };
  const TCase Cases[] = {
      {"a1", 1, 1, false, 0, "a2:0.0.0 b1:1.0.0 a1:1.0.1 b2:1.0.2"},  // into the other band's row
      {"b2", 1, 0, true, 0, "a2:0.0.0 b2:1.0.0 b1:1.1.0 a1:1.1.1"},   // a new first row pushes the rest down
      {"a2", 1, 5, false, 1, "b2:1.0.0 b1:1.1.0 a1:1.1.1 a2:1.1.2"},  // past the row's end: appended
      {"b1", 9, -3, false, -1, "b1:1.0.0 b2:1.0.1 a1:1.1.0 a2:1.1.1"},  // clamped: last band, first place and row
      {"a1", -1, 0, false, 0, "b1:1.0.0 b2:1.0.1 a2:1.1.0"},            // no band: no longer shown
  };
  for (const TCase& Case : Cases) {
    TcxTreeListColumn* Column = nullptr;
    for (Integer I = 0; I < T.List.ColumnCount(); ++I)
      if (TBandedTree::Name(T.List.GetColumn(I)) == Case.Column) Column = T.List.GetColumn(I);
    T.List.SetColumnPosition(Column, Case.Band, Case.Col, Case.NewRow, Case.Row);
    EXPECT_EQ(T.Places(), Case.Expected) << Case.Column;
  }
  EXPECT_EQ(A->ColumnCount(), 0);
  EXPECT_EQ(B->ColumnCount(), 3);
  EXPECT_EQ(T.List.GetColumn(0)->Position().BandIndex, -1);
}

TEST(TreeListBands, VisibleColumnsGoByRowThenBandThenPlace) {
  TBandedTree T;
  TcxTreeListBand* A = T.AddBand("a", 3);
  TcxTreeListBand* B = T.AddBand("b", 2);
  A->Columns(2)->SetRowIndex(1);
  B->Columns(0)->SetRowIndex(1);
  EXPECT_EQ(T.Places(), "a1:0.0.0 a2:0.0.1 b2:1.0.0 a3:0.1.0 b1:1.1.0");
  B->SetVisibleIndex(0);  // and first in the collection
  EXPECT_EQ(T.Places(), "b2:0.0.0 a1:1.0.0 a2:1.0.1 b1:0.1.0 a3:1.1.0");
  B->SetVisible(false);
  EXPECT_EQ(T.Places(), "a1:1.0.0 a2:1.0.1 a3:1.1.0");
}

TEST(TreeListBands, BandIndexesFollowTheCollection) {
  TBandedTree T;
  T.AddBand("a", 1);
  TcxTreeListBand* B = T.AddBand("b", 1);
  TcxTreeListBand* C = T.AddBand("c", 1);
  C->SetIndex(0);  // c, a, b
  EXPECT_EQ(C->Columns(0)->Position().BandIndex, 0);
  EXPECT_EQ(B->Columns(0)->Position().BandIndex, 2);
  TcxTreeListColumn* AColumn = T.Bands->Items(1)->Columns(0);
  T.Bands->Delete(1);  // band a: its column is left without a band
  EXPECT_EQ(AColumn->Band(), nullptr);
  EXPECT_EQ(AColumn->Position().BandIndex, -1);
  EXPECT_EQ(B->Columns(0)->Position().BandIndex, 1);
  EXPECT_EQ(T.VisibleBands(), "c b");
  EXPECT_EQ(T.Places(), "c1:0.0.0 b1:1.0.0");
  // Freeing a column takes it out of its band's rows.
  delete B->Columns(0);
  EXPECT_EQ(B->ColumnCount(), 0);
  EXPECT_EQ(B->BandRows()->Count(), 0);
  // The stored band index puts a column into a band.
  AColumn->SetStoredPropertyValue(u"BandIndex", Variant(Integer(1)));
  EXPECT_EQ(AColumn->Band(), B);
  EXPECT_EQ(AColumn->GetStoredPropertyValue(u"bandindex").AsInteger(), 1);
}

TEST(TreeListBands, HeaderSingleLineFlattensTheRows) {
  TBandedTree T;
  TcxTreeListBand* Band = T.AddBand("a", 2);
  Band->Columns(1)->SetRowIndex(1);
  Band->Columns(1)->SetLineCount(3);
  T.List.OptionsView()->SetHeaderSingleLine(true);
  EXPECT_EQ(TBandedTree::Rows(Band), "a1,a2");
  EXPECT_EQ(Band->Columns(1)->Position().LineCount, 1);
}

// ---- Widths ----

TEST(TreeListBands, BandWidthFollowsItsColumnsUnlessSet) {
  TBandedTree T;
  TcxTreeListBand* Band = T.AddBand("a");
  EXPECT_EQ(Band->CalculatedWidth(), TcxTreeListBand::EmptyBandWidth);  // no columns, no width
  TcxTreeListColumn* A = T.AddColumn(Band, "a1");
  TcxTreeListColumn* B = T.AddColumn(Band, "a2");
  TcxTreeListColumn* C = T.AddColumn(Band, "a3");
  A->SetWidth(60);
  B->SetWidth(40);
  C->SetWidth(50);
  C->SetMinWidth(45);
  C->SetRowIndex(1);
  // The widest row; the narrower row is spread over the same width.
  EXPECT_EQ(Band->CalculatedWidth(), 100);
  EXPECT_EQ(Band->DisplayWidth(), 100);
  EXPECT_EQ(TBandedTree::DisplayWidths({A, B, C}), (std::vector<Integer>{60, 40, 100}));
  EXPECT_EQ(Band->BandRows()->Items(0)->Width(), 100);
  EXPECT_EQ(Band->BandRows()->Items(0)->MinWidth(), 40);
  EXPECT_EQ(Band->RealMinWidth(), 45);  // the widest row of minimums

  // A set width is spread over every row, the own widths kept.
  Band->SetWidth(200);
  EXPECT_EQ(Band->CalculatedWidth(), 200);
  EXPECT_EQ(TBandedTree::DisplayWidths({A, B, C}), (std::vector<Integer>{120, 80, 200}));
  EXPECT_EQ(A->Width(), 60);

  // Not below the minimum; a raised minimum raises a set width.
  Band->SetWidth(5);
  EXPECT_EQ(Band->Width(), Band->MinWidth());
  EXPECT_EQ(Band->CalculatedWidth(), 45);
  Band->SetMinWidth(150);
  EXPECT_EQ(Band->Width(), 150);
  Band->RestoreWidths();
  EXPECT_EQ(Band->Width(), 0);
  EXPECT_EQ(Band->MinWidth(), TcxTreeListBand::DefaultMinWidth);
  EXPECT_EQ(Band->CalculatedWidth(), 100);
}

TEST(TreeListBands, AutoWidthSharesTheWidthAmongBandsAndTheirColumns) {
  TBandedTree T;
  TcxTreeListBand* A = T.AddBand("a", 2);
  TcxTreeListBand* B = T.AddBand("b", 1);
  TcxTreeListColumn *A1 = A->Columns(0), *A2 = A->Columns(1), *B1 = B->Columns(0);
  A1->SetWidth(50);
  A2->SetWidth(50);
  B1->SetWidth(300);
  EXPECT_EQ(T.List.ApplyAutoWidth(200), 200);
  EXPECT_EQ(A->DisplayWidth(), 50);
  EXPECT_EQ(B->DisplayWidth(), 150);
  EXPECT_EQ(TBandedTree::DisplayWidths({A1, A2, B1}), (std::vector<Integer>{25, 25, 150}));

  // Below every minimum: each band its minimum, each column its minimum.
  EXPECT_EQ(T.List.ApplyAutoWidth(10), 40 + 20);
  EXPECT_EQ(TBandedTree::DisplayWidths({A1, A2, B1}), (std::vector<Integer>{20, 20, 20}));

  // Without ColumnAutoWidth the bands keep their own widths.
  EXPECT_EQ(T.Bands->CalculateBandWidths(200), 400);
  T.List.OptionsView()->SetColumnAutoWidth(true);
  EXPECT_EQ(T.Bands->CalculateBandWidths(200), 200);

  // A band the user sized keeps its width; the bands after it share the rest.
  TcxTreeListBand* C = T.AddBand("c", 1);
  C->Columns(0)->SetWidth(100);
  A->SizeByDelta(cxsdHorizontal, 20);  // 100 + 20
  EXPECT_EQ(A->Width(), 120);
  T.List.ApplyAutoWidth(320);
  EXPECT_EQ(A->DisplayWidth(), 120);
  EXPECT_EQ(B->DisplayWidth() + C->DisplayWidth(), 200);
  EXPECT_EQ(B->DisplayWidth(), 150);  // 300 : 100
  // The last band sized: it alone keeps its width.
  C->SetWidth(80);
  T.List.ApplyAutoWidth(320);
  EXPECT_EQ(C->DisplayWidth(), 80);
  EXPECT_EQ(A->DisplayWidth() + B->DisplayWidth(), 240);
}

// ---- Best fit ----

struct TBestFitTree : TBandedTree {
  TcxTreeListBand* Band = AddBand("a");
  TcxTreeListColumn* Tree = AddColumn(Band, "tree");
  TcxTreeListColumn* Other = AddColumn(Band, "other");
  TcxTreeListNode* Add(TcxTreeListNode* AParent, const std::string& ATree, const std::string& AOther) {
    TcxTreeListNode* N = List.AddNode(nullptr, AParent, tlamAddChild);
    N->SetValues(Tree->ItemIndex(), Variant(UTF8ToString(ATree)));
    N->SetValues(Other->ItemIndex(), Variant(UTF8ToString(AOther)));
    if (AParent) AParent->Expand(false);
    return N;
  }
};

TEST(TreeListBestFit, ColumnTakesItsWidestShownCell) {
  TBestFitTree T;
  const std::string X = "wwwwwwwwwwww";  // wider than the header's need
  TcxTreeListNode* Top = T.Add(nullptr, X, "short");
  T.Add(nullptr, X, "a rather longer text");
  T.Other->ApplyBestFit();
  const Integer Long = T.Other->Width();
  EXPECT_GT(Long, TextWidthInFont(T.List.Font(), u"a rather longer text") / 2);

  // The tree column adds the node's indent: a cell two levels deeper needs two indents more.
  T.Tree->ApplyBestFit();
  const Integer TopLevel = T.Tree->Width();
  TcxTreeListNode* Deep = T.Add(T.Add(Top, "y", ""), X, "");
  T.Tree->ApplyBestFit();
  EXPECT_EQ(T.Tree->Width(), TopLevel + 2 * T.List.BandSettings().IndentWidth);
  // A collapsed parent hides its children from the fit.
  Top->Collapse(false);
  T.Tree->ApplyBestFit();
  EXPECT_EQ(T.Tree->Width(), TopLevel);
  ASSERT_NE(Deep, nullptr);

  // Never below the header's need; nothing for a column that may not be sized.
  T.Other->SetCaption(u"a caption far wider than any of the cells in this column");
  T.Other->ApplyBestFit();
  EXPECT_EQ(T.Other->Width(), T.Other->GetMinHeaderFooterWidth());
  EXPECT_GT(T.Other->Width(), Long);
  T.Other->SetWidth(33);
  T.Other->Options()->SetSizing(false);
  T.Other->ApplyBestFit();
  EXPECT_EQ(T.Other->Width(), 33);
}

// A cell is measured in its own look: a content style with a larger font
// needs a wider column, for the column's fit and for its band's.
TEST(TreeListBestFit, CellsAreMeasuredInTheirContentStylesFont) {
  auto Big = std::make_unique<TcxStyle>(nullptr);
  Big->Font()->SetHeight(-30);
  TBestFitTree T;
  T.Add(nullptr, "t", "宽度取决于字体的文字");
  T.Other->SetCaption(u"");
  T.Other->ApplyBestFit();
  const Integer Plain = T.Other->Width();
  T.Other->Styles()->SetContent(Big.get());
  T.Other->ApplyBestFit();
  const Integer Large = T.Other->Width();
  EXPECT_GT(Large, Plain + Plain / 2);
  EXPECT_GE(Large, TextWidthInFont(Big->Font(), u"宽度取决于字体的文字"));
  T.Other->SetWidth(30);
  T.Band->ApplyBestFit();
  EXPECT_EQ(T.Other->Width(), Large);
  T.Other->Styles()->SetContent(nullptr);
}

TEST(TreeListBestFit, BandFitsItsColumnsAndItsCaption) {
  TBestFitTree T;
  T.Add(nullptr, "abc", "a longer text than the other");
  T.Band->ApplyBestFit();
  const Integer Fitted = T.Tree->Width() + T.Other->Width();
  EXPECT_GT(T.Other->Width(), T.Tree->Width());
  EXPECT_EQ(T.Band->Width(), Fitted);
  EXPECT_EQ(T.Band->CalculatedWidth(), Fitted);

  // With band headers shown the caption counts.
  T.List.OptionsView()->SetBands(true);
  const String Caption(400, u'W');
  T.Band->SetCaption(Caption);
  T.Band->ApplyBestFit();
  EXPECT_EQ(T.Band->Width(), TextWidthInFont(T.List.Font(), Caption) + TcxTreeListBand::CaptionMargin);
  EXPECT_EQ(T.Tree->DisplayWidth() + T.Other->DisplayWidth(), T.Band->Width());

  // A band that may not be sized keeps its width.
  T.Band->Options()->SetSizing(false);
  T.Band->SetWidth(70);
  T.Band->ApplyBestFit();
  EXPECT_EQ(T.Band->Width(), 70);
}

// ---- Visible bands ----

// Mended: the band lands at the index asked for (not one place after it),
// kept behind the left-fixed and before the right-fixed bands.
TEST(TreeListBands, SetVisibleIndexPutsTheBandAtThatIndex) {
  struct TCase {
    const char* Band;
    Integer Index;
    const char* Expected;
  };
  const TCase Plain[] = {
      {"a", 2, "b c a d"}, {"d", 0, "d a b c"}, {"c", 1, "a c b d"}, {"b", 1, "a b c d"},
      {"a", 9, "b c d a"}, {"c", -1, "a b d"},
  };
  const TCase Fixed[] = {
      {"c", 0, "a< c b d>"},  // not before the left-fixed band
      {"b", 3, "a< c b d>"},  // not after the right-fixed band
      {"a", 2, "a< b c d>"},  // a fixed band stays
      {"d", 0, "a< b c d>"},
  };
  for (bool WithFixed : {false, true}) {
    for (const TCase& Case : WithFixed ? std::vector<TCase>(std::begin(Fixed), std::end(Fixed))
                                       : std::vector<TCase>(std::begin(Plain), std::end(Plain))) {
      TBandedTree T;
      for (const char* N : {"a", "b", "c", "d"}) T.AddBand(N);
      if (WithFixed) {
        T.Bands->Items(0)->SetFixedKind(tlbfLeft);
        T.Bands->Items(3)->SetFixedKind(tlbfRight);
      }
      TcxTreeListBand* Band = T.Bands->Items(Case.Band[0] - 'a');
      Band->SetVisibleIndex(Case.Index);
      EXPECT_EQ(T.VisibleBands(), Case.Expected) << Case.Band << " to " << Case.Index;
      if (Case.Index >= 0 && !WithFixed) {
        EXPECT_EQ(Band->VisibleIndex(), std::min(Case.Index, 3)) << Case.Band;
      }
      // The next update keeps the order.
      T.Bands->BeginUpdate();
      T.Bands->EndUpdate();
      EXPECT_EQ(T.VisibleBands(), Case.Expected) << Case.Band << " to " << Case.Index;
    }
  }
}

// Mended: hiding the only visible band is refused, by Visible and by a
// negative visible index; freeing it is not.
TEST(TreeListBands, TheLastVisibleBandIsNeverHidden) {
  TBandedTree T;
  TcxTreeListBand* A = T.AddBand("a", 1);
  TcxTreeListBand* B = T.AddBand("b", 1);
  A->SetVisible(false);
  EXPECT_EQ(T.VisibleBands(), "b");
  B->SetVisible(false);
  EXPECT_TRUE(B->Visible());
  B->SetVisibleIndex(-1);
  EXPECT_TRUE(B->Visible());
  B->SetStoredPropertyValue(u"Visible", Variant(false));
  EXPECT_TRUE(B->Visible());
  EXPECT_EQ(T.Places(), "b1:1.0.0");
  A->SetVisible(true);  // two again: either may go
  B->SetVisible(false);
  EXPECT_EQ(T.VisibleBands(), "a");
  T.Bands->Delete(0);
  EXPECT_EQ(T.Bands->VisibleItemCount(), 0);
  EXPECT_EQ(T.Bands->FirstVisible(), nullptr);
}

TEST(TreeListBands, FixedBandsStandAtTheEnds) {
  TBandedTree T;
  for (const char* N : {"a", "b", "c"}) T.AddBand(N);
  TcxTreeListBand *A = T.Bands->Items(0), *B = T.Bands->Items(1), *C = T.Bands->Items(2);
  B->SetFixedKind(tlbfLeft);  // the middle band moves first and stays fixed
  EXPECT_EQ(T.VisibleBands(), "b< a c");
  T.Bands->BeginUpdate();
  T.Bands->EndUpdate();
  EXPECT_EQ(T.VisibleBands(), "b< a c");
  A->SetFixedKind(tlbfRight);
  EXPECT_EQ(T.VisibleBands(), "b< c a>");
  C->SetFixedKind(tlbfLeft);  // one band of a kind: b lets go
  EXPECT_EQ(T.VisibleBands(), "c< b a>");
  EXPECT_FALSE(C->CanMove());
  EXPECT_TRUE(B->CanMove());

  // Hidden bands take no fixed kind; a band shown again is not fixed.
  A->SetVisible(false);
  EXPECT_EQ(A->FixedKind(), tlbfRight);
  A->SetFixedKind(tlbfLeft);
  EXPECT_EQ(A->FixedKind(), tlbfRight);
  A->SetVisible(true);
  EXPECT_EQ(A->FixedKind(), tlbfNone);
  EXPECT_EQ(T.VisibleBands(), "c< a b");  // back at its collection place
}

TEST(TreeListBands, MovingAndSizingFollowTheOptions) {
  TBandedTree T;
  TcxTreeListBand* A = T.AddBand("a", 1);
  EXPECT_FALSE(A->CanMove());  // alone
  TcxTreeListBand* B = T.AddBand("b", 1);
  EXPECT_TRUE(A->CanMove());
  A->Options()->SetMoving(false);
  EXPECT_FALSE(A->CanMove());
  EXPECT_TRUE(B->CanSize(cxsdHorizontal));
  B->Options()->SetSizing(false);
  EXPECT_FALSE(B->CanSize(cxsdHorizontal));
  EXPECT_TRUE(B->CanSize(cxsdVertical));
  T.List.OptionsCustomizing()->SetBandMoving(false);
  T.List.OptionsCustomizing()->SetBandVertSizing(false);
  EXPECT_FALSE(B->CanMove());
  EXPECT_FALSE(B->CanSize(cxsdVertical));
  // Vertical sizing changes the band line count, never below 1.
  B->SizeByDelta(cxsdVertical, 2);
  EXPECT_EQ(T.List.BandSettings().BandLineCount, 3);
  B->SizeByDelta(cxsdVertical, -9);
  EXPECT_EQ(T.List.BandSettings().BandLineCount, 1);
  A->RestoreDefaults();
  EXPECT_TRUE(A->Options()->Moving());
}

// ---- Layout ----

TEST(TreeListBands, DefaultLayoutIsOneBandWithEveryColumn) {
  TBandedTree T;
  TcxTreeListColumn* A = T.List.CreateColumn();
  TcxTreeListBand* Second = T.AddBand("b", 1);
  EXPECT_FALSE(T.List.DefaultLayout());
  Second->Columns(0)->SetWidth(300);
  Second->Columns(0)->SetMinWidth(60);
  T.Bands->Items(0)->SetWidth(250);
  T.List.SetDefaultLayout(true);
  EXPECT_TRUE(T.List.DefaultLayout());
  ASSERT_EQ(T.Bands->Count(), 1);
  EXPECT_EQ(T.Bands->Items(0)->Width(), 0);
  EXPECT_EQ(T.Bands->Items(0)->ColumnCount(), 2);
  EXPECT_EQ(A->Band(), T.Bands->Items(0));
  for (Integer I = 0; I < T.List.ColumnCount(); ++I) {
    EXPECT_EQ(T.List.GetColumn(I)->Width(), TcxTreeListColumn::DefaultWidth);
    EXPECT_EQ(T.List.GetColumn(I)->MinWidth(), TcxTreeListColumn::DefaultMinWidth);
  }
  EXPECT_FALSE(T.List.BandSettings().Bands);
}

TEST(TreeListBands, AssignAndStoredValuesCopyTheBand) {
  struct TWithStyle {
    std::unique_ptr<TcxStyle> Header = std::make_unique<TcxStyle>(nullptr);  // outlives the tree
  };
  struct TTree : TWithStyle, TBandedTree {} T;
  TcxTreeListBand* A = T.AddBand("名称");
  TcxTreeListBand* B = T.AddBand("b");
  TcxTreeListBand* C = T.AddBand("c");
  A->SetMinWidth(30);
  A->SetWidth(120);
  A->Options()->SetSizing(false);
  C->Assign(A);
  EXPECT_EQ(TBandedTree::Name(C), "名称");
  EXPECT_EQ(C->Width(), 120);
  EXPECT_EQ(C->MinWidth(), 30);
  EXPECT_FALSE(C->Options()->Sizing());

  TcxStyle* Header = T.Header.get();
  A->Styles()->SetHeader(Header);
  B->Assign(A);
  EXPECT_EQ(B->Styles()->Header(), Header);
  EXPECT_EQ(B->Styles()->Content(), nullptr);
  B->SetCaption(u"b");

  EXPECT_EQ(B->GetStoredName(), String(u"Band1"));
  B->SetStoredPropertyValue(u"realwidth", Variant(Integer(90)));
  B->SetStoredPropertyValue(u"Caption", Variant(String(u"地理")));
  B->SetStoredPropertyValue(u"Index", Variant(Integer(0)));
  EXPECT_EQ(B->GetStoredPropertyValue(u"RealWidth").AsInteger(), 90);
  EXPECT_EQ(VarToStr(B->GetStoredPropertyValue(u"CAPTION")), String(u"地理"));
  EXPECT_EQ(B->GetStoredPropertyValue(u"Index").AsInteger(), 0);
  EXPECT_TRUE(VarIsNull(B->GetStoredPropertyValue(u"NoSuchName")));
}

// ---- Leftmost indent ----

TEST(TreeListBands, TheTreeColumnShowsTheIndentItsSpareWidthCannotHold) {
  TBestFitTree T;
  T.Tree->SetWidth(40);  // 20 above its minimum
  T.Other->SetWidth(60);
  const Integer Step = T.List.BandSettings().IndentWidth;
  auto Fit = [&T] { return T.Bands->CalculateBandWidths(0); };
  TcxTreeListNode* Top = T.Add(nullptr, "t", "o");
  // One level under a shown root: one indent, held by the spare width.
  EXPECT_EQ(Fit(), 100);
  EXPECT_EQ(T.Bands->LeftMostIndent(), 0);

  // Three levels: the tree column shows what its spare width cannot hold in front of its own width.
  T.Add(T.Add(Top, "m", ""), "d", "");
  const Integer Need = 3 * Step - 20;
  ASSERT_GT(Need, 0);
  EXPECT_EQ(Fit(), 100 + Need);
  EXPECT_EQ(T.Bands->LeftMostIndent(), Need);
  EXPECT_EQ(TBandedTree::DisplayWidths({T.Tree, T.Other}), (std::vector<Integer>{40 + Need, 60}));
  EXPECT_EQ(T.Tree->Width(), 40);
  // Sizing by the mouse moves the column's own width by the drag alone.
  T.Tree->SizeByDelta(cxsdHorizontal, 5);
  EXPECT_EQ(T.Tree->Width(), 45);
  Fit();
  EXPECT_EQ(T.Bands->LeftMostIndent(), Need - 5);

  // Without the root's indent one indent fewer.
  T.List.OptionsView()->SetShowRoot(false);
  Fit();
  EXPECT_EQ(T.Bands->LeftMostIndent(), 2 * Step - 25);

  // Collapsed, the indent shrinks back (AutomateLeftMostIndent is on by default)...
  T.List.OptionsView()->SetShowRoot(true);
  Top->Collapse(false);
  Fit();
  EXPECT_EQ(T.Bands->LeftMostIndent(), 0);
  // ...and without AutomateLeftMostIndent it only ever grows.
  T.List.OptionsBehavior()->SetAutomateLeftMostIndent(false);
  Top->Expand(true);
  Fit();
  EXPECT_EQ(T.Bands->LeftMostIndent(), Need - 5);
  Top->Collapse(false);
  Fit();
  EXPECT_EQ(T.Bands->LeftMostIndent(), Need - 5);
}

TEST(TreeListBands, AutoWidthLeavesRoomForTheFixedSeparatorsAndTheIndent) {
  TBandedTree T;
  TcxTreeListBand* A = T.AddBand("a", 1);
  T.AddBand("b", 1);
  TcxTreeListBand* C = T.AddBand("c", 1);
  T.List.OptionsView()->SetColumnAutoWidth(true);
  struct TCase {
    const char* Name;
    TcxTreeListBandFixedKind First, Last;
    Integer Separator, Expected;
  };
  const TCase Cases[] = {
      {"no fixed band", tlbfNone, tlbfNone, 2, 300},
      {"left fixed", tlbfLeft, tlbfNone, 2, 298},
      {"both ends fixed", tlbfLeft, tlbfRight, 2, 296},
      {"wider separators", tlbfLeft, tlbfRight, 7, 286},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    A->SetFixedKind(Case.First);
    C->SetFixedKind(Case.Last);
    T.List.OptionsView()->SetFixedSeparatorWidth(Case.Separator);
    EXPECT_EQ(T.Bands->CalculateBandWidths(300), Case.Expected);
  }
  // With nodes deeper than the tree column's spare width the bands share what the indent leaves.
  A->Columns(0)->SetWidth(20);  // no spare width
  TcxTreeListNode* Top = T.List.AddNode(nullptr, nullptr, tlamAddChild);
  T.List.AddNode(nullptr, Top, tlamAddChild);
  Top->Expand(false);
  EXPECT_EQ(T.Bands->CalculateBandWidths(300), 286);
  EXPECT_EQ(T.Bands->LeftMostIndent(), 2 * T.List.BandSettings().IndentWidth);
  // The first band shows the indent on top of its share; the others fill the rest of the room.
  EXPECT_EQ(A->Columns(0)->DisplayWidth(), A->DisplayWidth());
  EXPECT_GE(A->DisplayWidth(), T.Bands->LeftMostIndent() + A->RealMinWidth());
}

TEST(TreeListBands, AutoWidthTakesTheHiddenScrollBarsRoomOnlyFromARoomTooNarrow) {
  TBandedTree T;
  TcxTreeListBand* A = T.AddBand("a", 1);
  TcxTreeListBand* B = T.AddBand("b", 2);
  T.List.OptionsView()->SetColumnAutoWidth(true);
  ASSERT_FALSE(T.List.IsVScrollBarVisible());
  ASSERT_GT(T.List.VScrollBar()->Width(), 0);
  const Integer Need = A->RealMinWidth() + B->RealMinWidth();
  struct TCase {
    const char* Name;
    Integer Room, Expected;
  };
  const TCase Cases[] = {
      {"below the minimums: each band its minimum", Need - 1, Need},
      {"far below", Need / 2, Need},
      {"no room at all", 0, Need},
      {"exactly the minimums: nothing taken off", Need, Need},
      {"wider: the whole room shared", Need + 30, Need + 30},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    EXPECT_EQ(T.Bands->CalculateBandWidths(Case.Room), Case.Expected);
    EXPECT_GE(A->DisplayWidth(), A->RealMinWidth());
    EXPECT_GE(B->DisplayWidth(), B->RealMinWidth());
  }
}

// ---- A column's Index ----

TEST(TreeListColumnIndex, SettingIndexTradesPlacesAndEachColumnKeepsItsValues) {
  TBandedTree T;
  TcxTreeListBand* Band = T.AddBand("a", 3);
  TcxTreeListColumn *A1 = Band->Columns(0), *A2 = Band->Columns(1), *A3 = Band->Columns(2);
  TcxTreeListNode* Node = T.List.AddNode(nullptr, nullptr, tlamAddChild);
  for (TcxTreeListColumn* C : {A1, A2, A3}) Node->SetValues(C->ItemIndex(), Variant(u"值" + C->Caption()));
  A3->SetSortOrder(soAscending);
  auto Items = [&T] {
    std::string Result;
    for (Integer I = 0; I < T.List.ColumnCount(); ++I) Result += (I ? "," : "") + TBandedTree::Name(T.List.GetColumn(I));
    return Result;
  };
  auto ValuesKept = [&] {
    for (TcxTreeListColumn* C : {A1, A2, A3})
      if (VarToStr(Node->Values(C->ItemIndex())) != u"值" + C->Caption()) return false;
    return true;
  };

  for (TcxTreeListColumn* C : {A1, A2, A3}) C->SetColIndex(Integer(C->Index()));
  ASSERT_EQ(TBandedTree::Rows(Band), "a1,a2,a3");
  // The column trades places with the one at the new index and moves one place that way in its row.
  A1->SetIndex(2);
  EXPECT_EQ(Items(), "a3,a2,a1");
  EXPECT_EQ(A1->Index(), 2);
  EXPECT_EQ(A3->Index(), 0);
  EXPECT_EQ(TBandedTree::Rows(Band), "a2,a1,a3");
  EXPECT_TRUE(ValuesKept());
  // The sorting stays with its column.
  EXPECT_EQ(A3->SortOrder(), soAscending);
  EXPECT_EQ(A1->SortOrder(), soNone);

  A1->SetIndex(1);
  EXPECT_EQ(Items(), "a3,a1,a2");
  EXPECT_EQ(TBandedTree::Rows(Band), "a1,a2,a3");
  EXPECT_TRUE(ValuesKept());

  // Outside the list or the same index: nothing moves.
  for (Integer Index : {-1, 3, 1}) A1->SetIndex(Index);
  EXPECT_EQ(Items(), "a3,a1,a2");
  EXPECT_EQ(TBandedTree::Rows(Band), "a1,a2,a3");

  // The stored layout's "Index" sets it too.
  A2->SetStoredPropertyValue(u"Index", Variant(Integer(0)));
  EXPECT_EQ(Items(), "a2,a1,a3");
  EXPECT_EQ(A2->GetStoredPropertyValue(u"Index").AsInteger(), 0);
  EXPECT_TRUE(ValuesKept());
  EXPECT_EQ(A3->SortOrder(), soAscending);
}

}  // namespace
