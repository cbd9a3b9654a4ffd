// The lookup grid over an SQLite code list: columns bound by field name,
// keys, header sorting, mouse selection in the popup, auto-scroll, the
// scroll position at the end of the list, drop-down sizing, painting that
// leaves the dataset alone, and a picture.
#include "editors/cxLookupDBGrid.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/encoding.h"
#include "tests/platform/db/dbtestutil.h"
#include "tests/platform/gui/guitestutil.h"

namespace {

const char* const CodeNames[] = {"地球科学", "大气科学", "海洋科学", "地理学",   "地质学",   "水文学",
                                 "冰川学",   "土壤学",   "生态学",   "遥感",     "测绘学",   "气候学",
                                 "地震学",   "矿物学",   "古生物学", "地球化学", "地球物理", "环境科学",
                                 "湖泊学",   "沙漠学",   "植被学",   "湿地学",   "冻土学",   "灾害学"};
constexpr Integer CodeCount = sizeof(CodeNames) / sizeof(CodeNames[0]);

std::string CodeListSchema() {
  std::string sql = "create table codelist (code varchar(4) primary key, ename varchar(20), cname varchar(20));";
  for (Integer i = 0; i < CodeCount; ++i) {
    char code[8];
    std::snprintf(code, sizeof(code), "%03d", i + 1);
    sql += "insert into codelist values ('" + std::string(code) + "', 'name" + std::to_string(i + 1) + "', '" +
           CodeNames[i] + "');";
  }
  return sql;
}

// A dataset controller that counts the display texts read from it.
class TCountingController : public TcxLookupGridDBDataController {
  KORVANE_CLASS(TCountingController, TcxLookupGridDBDataController)
  using TcxLookupGridDBDataController::TcxLookupGridDBDataController;
  Integer Reads = 0;
  String GetRecordDisplayText(Integer ARecordIndex, TcxCustomDataField* AField) override {
    ++Reads;
    return TcxLookupGridDBDataController::GetRecordDisplayText(ARecordIndex, AField);
  }
};

class TCountingGrid : public TcxLookupDBGrid {
  KORVANE_CLASS(TCountingGrid, TcxLookupDBGrid)
  explicit TCountingGrid(TComponent* AOwner) : TcxLookupDBGrid(AOwner) { RecreateDataController(); }
  TCountingController* Counter() const { return static_cast<TCountingController*>(DataController()); }

protected:
  std::unique_ptr<TcxCustomDataController> CreateDataController() override {
    return std::make_unique<TCountingController>(this);
  }
};

// A code list in a grid on a form.
struct TGridFixture : TTestForm {
  explicit TGridFixture(bool AGridMode = false) : TTestForm(400, 320), Fx(CodeListSchema()) {
    Source = new TDataSource(Form);
    Source->SetDataSet(Fx.Query);
    Grid = Place<TCountingGrid>(10, 10, 300, 200);
    if (AGridMode) {
      Grid->DBDataController()->DataModeController()->SetGridModeBufferCount(12);
      Grid->DBDataController()->DataModeController()->SetGridMode(true);
    }
    Grid->SetKeyFieldNames(u"code");
    Grid->SetColumnsFromFieldNames(u"code;cname");
    Grid->SetDataSource(Source);
    Fx.Open(u"select code, ename, cname from codelist order by code");
    ShowForm();
  }
  ~TGridFixture() { FreeForm(); }

  TcxLookupGridViewInfo* Info() const { return Grid->ViewInfo(); }
  Integer Focused() const { return Grid->FocusedRowIndex(); }
  // The text of a row in the list's order.
  std::string RowText(Integer ARow, Integer AColumn) const {
    TcxCustomDataController* c = Grid->DataController();
    return StringToUTF8(c->GetDisplayText(c->GetRowInfo(ARow).RecordIndex, AColumn));
  }
  TPoint RowPoint(Integer ARow) const {
    const TcxLookupGridRowViewInfo* row = Info()->FindRow(ARow);
    return TPoint{row->Bounds.Left + 20, (row->Bounds.Top + row->Bounds.Bottom) / 2};
  }
  TPoint HeaderPoint(Integer AColumn) const {
    const TRect& r = Info()->Columns[AColumn].Bounds;
    return TPoint{r.Left + 10, (r.Top + r.Bottom) / 2};
  }
  void Click(const TPoint& P, Cardinal AModifiers = 0) {
    TestClick(Grid->Handle(), P, tbLeft, AModifiers);
    Application->ProcessMessages();
  }

  TQueryFixture Fx;

  TDataSource* Source;
  TCountingGrid* Grid;
};

// ---- Columns ----

TEST(cxLookupDBGrid, ColumnsFromFieldNamesBindFieldsByName) {
  TGridFixture f;
  ASSERT_EQ(f.Grid->ColumnCount(), 2);
  EXPECT_EQ(f.Grid->Column(0)->FieldName(), u"code");
  EXPECT_EQ(f.Grid->Column(1)->FieldName(), u"cname");
  EXPECT_EQ(f.Grid->Column(1)->Caption(), f.Fx.Query->FieldByName(u"cname")->DisplayName());
  EXPECT_EQ(f.Grid->GetColumnByFieldName(u"CNAME"), f.Grid->Column(1));
  EXPECT_EQ(f.RowText(0, 1), "地球科学");
  EXPECT_EQ(f.Grid->RowCount(), CodeCount);

  // Moving a column keeps each column on its own field.
  f.Grid->Column(1)->SetIndex(0);
  EXPECT_EQ(f.Grid->Column(0)->FieldName(), u"cname");
  EXPECT_EQ(f.Grid->Column(1)->FieldName(), u"code");
  EXPECT_EQ(f.RowText(0, 0), "地球科学");
  EXPECT_EQ(f.RowText(0, 1), "001");
  // The editor defaults follow the field of a reopened dataset.
  f.Fx.Open(u"select code, cname from codelist order by code");
  Application->ProcessMessages();
  EXPECT_EQ(f.Grid->Column(0)->DefaultValuesProvider()->Field(), f.Fx.Query->FieldByName(u"cname"));

  // A name that is no field: empty cells, the plain default width.
  TcxLookupDBGridColumn* bad = f.Grid->CreateColumn();
  bad->SetFieldName(u"nosuch");
  EXPECT_EQ(bad->Field(), nullptr);
  EXPECT_EQ(bad->Width(), cxLookupGridDefaultColumnWidth);
  EXPECT_EQ(bad->Caption(), u"nosuch");
  EXPECT_EQ(f.RowText(0, 2), "");
  // Every column has an editor, even one without a field.
  ASSERT_NE(bad->GetRepositoryItem(), nullptr);
  EXPECT_NE(bad->GetProperties(), nullptr);
  // Its own repository item wins, and is forgotten when it is freed.
  auto* item = new TcxEditRepositoryItem(nullptr);
  bad->SetRepositoryItem(item);
  EXPECT_EQ(bad->GetRepositoryItem(), item);
  delete item;
  EXPECT_EQ(bad->RepositoryItem(), nullptr);
}

TEST(cxLookupDBGrid, ColumnsLayOutInsideTheScrollBar) {
  TGridFixture f;
  ASSERT_TRUE(f.Grid->IsVScrollBarVisible());
  EXPECT_EQ(f.Info()->Columns.back().Bounds.Right, f.Grid->VScrollBar()->Left());
  // Fewer rows than fit: no scroll bar, the columns take the whole width.
  f.Fx.Open(u"select code, ename, cname from codelist where code < '004' order by code");
  Application->ProcessMessages();
  EXPECT_EQ(f.Grid->RowCount(), 3);
  EXPECT_FALSE(f.Grid->IsVScrollBarVisible());
  EXPECT_EQ(f.Info()->Columns.back().Bounds.Right, f.Grid->ClientWidth() - f.Grid->BorderThickness());
}

TEST(cxLookupDBGrid, ColumnsShareTheWidthAndRespectMinimumAndFixedWidths) {
  TGridFixture f;
  f.Grid->Column(0)->SetFixed(true);
  f.Grid->Column(0)->SetWidth(50);
  const TRect client = f.Grid->ContentBounds();
  const auto& columns = f.Info()->Columns;
  ASSERT_EQ(columns.size(), 2u);
  EXPECT_EQ(columns[0].Bounds.Right - columns[0].Bounds.Left, 50);
  EXPECT_EQ(columns[1].Bounds.Left, columns[0].Bounds.Right);
  EXPECT_EQ(columns[1].Bounds.Right, client.Right);
  // Minimum widths: negative becomes 0, a larger minimum widens the column.
  f.Grid->Column(0)->SetMinWidth(-5);
  EXPECT_EQ(f.Grid->Column(0)->MinWidth(), 0);
  f.Grid->Column(0)->SetMinWidth(80);
  EXPECT_EQ(f.Grid->Column(0)->Width(), 80);
}

struct TLinesCase {
  TcxGridLines Lines;
  bool RowLine;        // a line below every row
  bool InnerCellLine;  // a line right of the first of two cells
  bool LastCellLine;   // a line right of the last cell
};

TEST(cxLookupGrid, GridLinesFollowTheOption) {
  TGridFixture f;
  const TLinesCase cases[] = {
      {glBoth, true, true, true},
      {glNone, false, false, false},
      {glVertical, false, true, true},
      {glHorizontal, true, false, true},
  };
  for (const TLinesCase& c : cases) {
    SCOPED_TRACE(c.Lines);
    f.Grid->Options()->SetGridLines(c.Lines);
    const TcxLookupGridRowViewInfo& row = f.Info()->Rows[0];
    EXPECT_EQ((row.Borders & BorderBit(bBottom)) != 0, c.RowLine);
    EXPECT_EQ((row.Cells[0].Borders & BorderBit(bRight)) != 0, c.InnerCellLine);
    EXPECT_EQ((row.Cells[1].Borders & BorderBit(bRight)) != 0, c.LastCellLine);
    EXPECT_EQ(f.Grid->RowStep(), f.Info()->RowHeight + (c.RowLine ? cxLookupGridLineWidth : 0));
    EXPECT_EQ(f.Info()->Rows[1].Bounds.Top, row.Bounds.Bottom);
  }
}

TEST(cxLookupGrid, OptionsReportToTheOwnerAndCopyAsAWhole) {
  TGridFixture f;
  Integer changes = 0;
  f.Grid->Options()->OnChanged = TNotifyEvent(&f, [&](TObject*) { ++changes; });
  f.Grid->Options()->SetShowHeader(false);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(f.Info()->HeadersBounds.Bottom, f.Info()->HeadersBounds.Top);
  EXPECT_EQ(f.Info()->Rows[0].Bounds.Top, f.Grid->ContentBounds().Top);

  TcxLookupGrid other(nullptr);
  other.Options()->SetAnsiSort(true);
  other.Options()->SetCaseInsensitive(true);
  other.Options()->SetGridLines(glVertical);
  other.Options()->SetRowSelect(false);
  f.Grid->SetOptions(other.Options());
  EXPECT_TRUE(f.Grid->Options()->AnsiSort());
  EXPECT_TRUE(f.Grid->DataController()->HasOption(dcoCompareIgnoreCase));
  EXPECT_EQ(f.Grid->Options()->GridLines(), glVertical);
  EXPECT_FALSE(f.Grid->Options()->RowSelect());
  EXPECT_TRUE(f.Grid->Options()->ShowHeader());
  EXPECT_GT(f.Info()->HeadersBounds.Bottom, f.Info()->HeadersBounds.Top);

  // Without row select the columns take the focus.
  f.Grid->SetFocus();
  f.Grid->SetFocusedRowIndex(3);
  f.Key(VK_RIGHT);
  EXPECT_EQ(f.Grid->FocusedColumn(), f.Grid->Column(1));
  f.Key(VK_HOME);
  EXPECT_EQ(f.Grid->FocusedColumn(), f.Grid->Column(0));
  EXPECT_EQ(f.Focused(), 3);
}

// ---- The dataset ----

TEST(cxLookupDBGrid, TheListNeitherFollowsNorMovesTheDataset) {
  TGridFixture f;
  f.Grid->SetFocusedRowIndex(6);
  EXPECT_EQ(f.Fx.Query->RecNo(), 1);
  f.Fx.Query->MoveBy(10);
  Application->ProcessMessages();
  EXPECT_EQ(f.Focused(), 6);
}

TEST(cxLookupDBGrid, GridModeScrollsOverTheWholeDataset) {
  TGridFixture f(true);
  const Integer visible = f.Info()->VisibleRowCount;
  ASSERT_EQ(f.Grid->RowCount(), 12);
  ASSERT_LT(visible, 12);
  f.Grid->RecalcScrollBars();
  EXPECT_EQ(f.Grid->VScrollBar()->Max(), CodeCount + visible - 2);
  EXPECT_EQ(f.Grid->VScrollBar()->Position(), f.Fx.Query->RecNo() - 1);
  // The thumb released far down takes the dataset there.
  Integer pos = 19;
  f.Grid->ScrollContent(sbVertical, scPosition, pos);
  EXPECT_EQ(f.Fx.Query->RecNo(), 20);
  EXPECT_EQ(pos, 19);
  EXPECT_EQ(f.RowText(f.Focused(), 0), "020");
  // Down at the last loaded row moves the window by one row.
  f.Grid->SetFocus();
  f.Grid->SetFocusedRowIndex(f.Grid->RowCount() - 1);
  const std::string last = f.RowText(f.Focused(), 0);
  f.Key(VK_DOWN);
  EXPECT_EQ(std::stoi(f.RowText(f.Focused(), 0)), std::stoi(last) + 1);
}

// ---- Keys ----

struct TKeyCase {
  const char* Name;
  Integer StartRow;
  Word Key;
  Cardinal Modifiers;
  Integer ExpectedRow;
};

TEST(cxLookupGrid, KeysMoveTheFocusedRow) {
  TGridFixture f;
  f.Grid->SetFocus();
  Application->ProcessMessages();
  const Integer visible = f.Info()->VisibleRowCount;
  ASSERT_GT(visible, 2);
  ASSERT_LT(visible, CodeCount);
  const TKeyCase cases[] = {
      {"down", 3, VK_DOWN, 0, 4},
      {"up", 3, VK_UP, 0, 2},
      {"up at the first row stays", 0, VK_UP, 0, 0},
      {"down at the last row stays", CodeCount - 1, VK_DOWN, 0, CodeCount - 1},
      {"home goes to the first row with row select", 5, VK_HOME, 0, 0},
      {"end goes to the last row with row select", 5, VK_END, 0, CodeCount - 1},
      {"ctrl end", 5, VK_END, tkCtrl, CodeCount - 1},
      {"page down to the last visible row", 0, VK_NEXT, 0, visible - 1},
      {"page down from the last visible row scrolls", visible - 1, VK_NEXT, 0, 2 * visible - 2},
      {"page up from the top row scrolls", visible - 1 + 3, VK_PRIOR, 0, 3},
      {"left does not change rows", 4, VK_LEFT, 0, 4},
      {"right does not change rows", 4, VK_RIGHT, 0, 4},
  };
  for (const TKeyCase& c : cases) {
    SCOPED_TRACE(c.Name);
    f.Grid->SetTopRowIndex(0);
    f.Grid->SetFocusedRowIndex(c.StartRow);
    f.Grid->MakeFocusedRowVisible();
    f.Key(c.Key, c.Modifiers);
    EXPECT_EQ(f.Focused(), c.ExpectedRow);
    // The focused row is always shown.
    EXPECT_GE(f.Focused(), f.Grid->TopRowIndex());
    EXPECT_LT(f.Focused(), f.Grid->TopRowIndex() + f.Info()->VisibleRowCount);
  }
  EXPECT_EQ(f.Grid->FocusedColumn(), nullptr);
}

// The pixels along the top edge of a row's first cell that differ from the
// cell's background (the dotted focus frame runs there; nothing else is
// drawn on it).
Integer FramePixels(TBitmap& APicture, const TcxLookupGridRowViewInfo* ARow) {
  const TRect cell = ARow->Cells[0].Bounds;
  const TColor background = APicture.PixelColor(cell.Right - 3, cell.Top + 3);
  Integer n = 0;
  for (Integer x = cell.Left; x < cell.Right - cxLookupGridLineWidth; ++x)
    if (APicture.PixelColor(x, cell.Top) != background) ++n;
  return n;
}

TEST(cxLookupGrid, FocusRectangleFollowsTheFocusUnlessInAPopup) {
  TGridFixture f;
  TcxLookupGrid other(f.Form);
  other.SetParent(f.Form);
  other.SetBounds(320, 10, 60, 60);
  EXPECT_GT(f.Grid->BorderThickness(), 0);
  f.Grid->SetFocusedRowIndex(1);
  auto snapshot = [&] {
    Application->ProcessMessages();
    auto picture = std::make_unique<TBitmap>(f.Grid->Width(), f.Grid->Height(), pf24bit);
    f.Grid->PaintTo(picture->Canvas()->Handle(), 0, 0);
    return picture;
  };
  f.Grid->SetFocus();
  EXPECT_GT(FramePixels(*snapshot(), f.Info()->FindRow(1)), 10);
  other.SetFocus();
  EXPECT_EQ(FramePixels(*snapshot(), f.Info()->FindRow(1)), 0);
  // A popup list frames the focused row without having the focus.
  f.Grid->SetIsPopupList(true);
  EXPECT_EQ(f.Grid->BorderThickness(), 0);
  EXPECT_GT(FramePixels(*snapshot(), f.Info()->FindRow(1)), 10);
}

TEST(cxLookupGrid, EnterClosesUpAcceptingAFocusedRow) {
  TGridFixture f;
  std::vector<bool> closes;
  f.Grid->OnCloseUp = TcxLookupGridCloseUpEvent(&f, [&](TObject*, bool AAccept) { closes.push_back(AAccept); });
  f.Grid->SetFocus();
  f.Grid->SetFocusedRowIndex(2);
  f.Key(VK_RETURN);
  EXPECT_EQ(closes, std::vector<bool>{true});
}

// ---- Sorting ----

TEST(cxLookupGrid, HeaderClicksSortAscendingThenDescendingAndCtrlClears) {
  TGridFixture f;
  TcxLookupDBGridColumn* code = f.Grid->Column(0);
  TcxLookupDBGridColumn* name = f.Grid->Column(1);
  f.Click(f.HeaderPoint(0));
  EXPECT_EQ(code->SortOrder(), soAscending);
  EXPECT_EQ(f.RowText(0, 0), "001");
  f.Click(f.HeaderPoint(0));
  EXPECT_EQ(code->SortOrder(), soDescending);
  EXPECT_EQ(f.RowText(0, 0), "024");
  EXPECT_EQ(f.Info()->Columns[0].SortOrder, soDescending);
  // Shift adds a column without clearing; a plain click clears the others.
  f.Click(f.HeaderPoint(1), tkShift);
  EXPECT_EQ(code->SortOrder(), soDescending);
  EXPECT_EQ(name->SortOrder(), soAscending);
  f.Click(f.HeaderPoint(1));
  EXPECT_EQ(code->SortOrder(), soNone);
  EXPECT_EQ(name->SortOrder(), soDescending);
  f.Click(f.HeaderPoint(1), tkCtrl);
  EXPECT_EQ(name->SortOrder(), soNone);
  // Sorting switched off: clicks change nothing.
  name->SetSorting(false);
  f.Click(f.HeaderPoint(1));
  EXPECT_EQ(name->SortOrder(), soNone);
  f.Grid->Options()->SetColumnSorting(false);
  f.Click(f.HeaderPoint(0));
  EXPECT_EQ(code->SortOrder(), soNone);
}

// ---- Mouse ----

TEST(cxLookupGrid, PopupSelectsUnderTheMouseButNotOnTheFirstMove) {
  TGridFixture f;
  f.Grid->SetIsPopupList(true);
  Application->ProcessMessages();
  EXPECT_EQ(f.Grid->BorderThickness(), 0);
  std::vector<bool> closes;
  f.Grid->OnCloseUp = TcxLookupGridCloseUpEvent(&f, [&](TObject*, bool AAccept) { closes.push_back(AAccept); });
  f.Grid->SetFocusedRowIndex(0);
  f.Grid->LockPopupMouseMove();
  TestMouseMove(f.Grid->Handle(), f.RowPoint(3));
  Application->ProcessMessages();
  EXPECT_EQ(f.Focused(), 0);
  TestMouseMove(f.Grid->Handle(), f.RowPoint(4));
  Application->ProcessMessages();
  EXPECT_EQ(f.Focused(), 4);
  EXPECT_TRUE(f.Grid->DataController()->IsRowSelected(4));

  // Released over a row: accepted; released outside every row: not.
  Integer clicks = 0;
  f.Grid->OnClick = TNotifyEvent(&f, [&](TObject*) { ++clicks; });
  f.Click(f.RowPoint(2));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(f.Focused(), 2);
  TestMousePress(f.Grid->Handle(), f.RowPoint(5));
  TestMouseRelease(f.Grid->Handle(), TPoint{f.Grid->Width() + 30, 5});
  Application->ProcessMessages();
  EXPECT_EQ(closes, (std::vector<bool>{true, false}));
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(f.Grid->IsAutoScrolling());
}

TEST(cxLookupGrid, AutoScrollMovesOneRowPerTickInEachDirection) {
  TGridFixture f;
  TTestClock clock;
  const Integer visible = f.Info()->VisibleRowCount;
  f.Grid->SetTopRowIndex(5);
  TestMousePress(f.Grid->Handle(), f.RowPoint(7));
  Application->ProcessMessages();
  ASSERT_EQ(f.Focused(), 7);
  // Below the rows: the row after the last visible one, then one more.
  TestMouseMove(f.Grid->Handle(), TPoint{20, f.Grid->ClientHeight() - 1});
  Application->ProcessMessages();
  ASSERT_TRUE(f.Grid->IsAutoScrolling());
  clock.Advance(cxLookupGridAutoScrollInterval);
  EXPECT_EQ(f.Focused(), 5 + visible);
  EXPECT_EQ(f.Grid->TopRowIndex(), 6);
  clock.Advance(cxLookupGridAutoScrollInterval);
  EXPECT_EQ(f.Focused(), 6 + visible);
  EXPECT_EQ(f.Grid->TopRowIndex(), 7);
  // Above the rows: the row before the top row.
  TestMouseMove(f.Grid->Handle(), TPoint{20, f.Info()->HeadersBounds.Top + 1});
  Application->ProcessMessages();
  clock.Advance(cxLookupGridAutoScrollInterval);
  EXPECT_EQ(f.Focused(), 6);
  EXPECT_EQ(f.Grid->TopRowIndex(), 6);
  clock.Advance(cxLookupGridAutoScrollInterval * 3);
  EXPECT_EQ(f.Focused(), 3);
  EXPECT_EQ(f.Grid->TopRowIndex(), 3);
  // Back over the rows auto-scroll stops; release ends it for good.
  TestMouseMove(f.Grid->Handle(), f.RowPoint(4));
  Application->ProcessMessages();
  EXPECT_FALSE(f.Grid->IsAutoScrolling());
  TestMouseRelease(f.Grid->Handle(), f.RowPoint(4));
  Application->ProcessMessages();
  EXPECT_FALSE(f.Grid->IsAutoScrolling());
}

// ---- Scrolling and sizing ----

TEST(cxLookupGrid, ScrolledToTheEndTheLastRowSitsAtTheBottom) {
  TGridFixture f;
  const Integer visible = f.Info()->VisibleRowCount;
  f.Grid->SetTopRowIndex(CodeCount - 1);
  EXPECT_EQ(f.Grid->TopRowIndex(), CodeCount - visible);
  EXPECT_EQ(f.Info()->Rows[visible - 1].RowIndex, CodeCount - 1);
  // The scroll bar follows the top row.
  ASSERT_TRUE(f.Grid->IsVScrollBarVisible());
  EXPECT_EQ(f.Grid->VScrollBar()->Position(), CodeCount - visible);
  Integer pos = 2;
  f.Grid->ScrollContent(sbVertical, scTrack, pos);
  EXPECT_EQ(f.Grid->TopRowIndex(), 2);
  f.Grid->ScrollContent(sbVertical, scLineDown, pos);
  EXPECT_EQ(pos, 3);
}

TEST(cxLookupGrid, DropDownHeightsAreWholeRows) {
  TGridFixture f;
  const Integer step = f.Grid->RowStep();
  const Integer above = f.Info()->RowsBounds.Top - f.Grid->DrawingBounds().Top;
  EXPECT_GT(above, 0);  // the header
  EXPECT_EQ(f.Grid->GetHeightForRows(8), 8 * step + above);
  EXPECT_EQ(f.Grid->SnapHeightToRows(above + 3 * step + step / 2), above + 3 * step);
  EXPECT_EQ(f.Grid->SnapHeightToRows(above + 2), above + step);
  EXPECT_EQ(f.Grid->SnapHeightToRows(100000), above + CodeCount * step);
  EXPECT_EQ(f.Grid->GetPreferredWidth(), f.Grid->Column(0)->Width() + f.Grid->Column(1)->Width());
}

// ---- Painting and the dataset ----

TEST(cxLookupDBGrid, PaintingNeitherLocatesNorMovesTheDataset) {
  TGridFixture f(true);
  ASSERT_TRUE(f.Grid->DataController()->IsGridMode());
  f.Fx.Query->First();
  f.Fx.Query->MoveBy(4);
  Application->ProcessMessages();
  const Integer recNo = f.Fx.Query->RecNo();
  Integer scrolls = 0;
  f.Grid->Counter()->Reads = 0;
  f.Fx.Query->BeforeScroll = TDataSetNotifyEvent(&f, [&](TDataSet*) { ++scrolls; });
  for (Integer i = 0; i < 5; ++i) {
    f.Grid->Invalidate();
    f.Grid->Repaint();
    TBitmap picture(f.Grid->Width(), f.Grid->Height(), pf24bit);
    f.Grid->PaintTo(picture.Canvas()->Handle(), 0, 0);
  }
  EXPECT_EQ(scrolls, 0);  // every Locate and every move starts with BeforeScroll
  EXPECT_EQ(f.Fx.Query->RecNo(), recNo);
  EXPECT_EQ(f.Grid->Counter()->Reads, 0);  // the texts were taken during layout
  // The cells painted come from the loaded rows.
  EXPECT_FALSE(f.Info()->Rows.empty());
  EXPECT_FALSE(f.Info()->Rows[0].Cells[1].Text.empty());
}

TColor RGBOf(TColor AColor) { return ColorToRGB(AColor) & 0xFFFFFF; }

TEST(cxLookupDBGrid, PictureOfAChineseCodeListInTheUltraFlatLook) {
  TGridFixture f;
  f.Grid->SetFocus();
  f.Grid->Column(1)->SetSortOrder(soAscending);
  f.Grid->SetFocusedRowIndex(2);
  f.Grid->SetFocusedSelected(true);
  Application->ProcessMessages();
  f.Form->Repaint();
  TBitmap picture(f.Grid->Width(), f.Grid->Height(), pf24bit);
  f.Grid->PaintTo(picture.Canvas()->Handle(), 0, 0);
  std::filesystem::path dir = std::filesystem::path(KORVANE_BINARY_DIR) / "pictures";
  std::filesystem::create_directories(dir);
  picture.SaveToFile(UTF8ToString((dir / "cxLookupDBGrid.png").string()));

  const TcxCustomLookAndFeelPainter* painter = f.Grid->LookAndFeelPainter();
  ASSERT_EQ(painter->Kind(), lfUltraFlat);
  // Header background, a row separator line, the selected focused row.
  const TcxLookupGridColumnViewInfo& header = f.Info()->Columns[0];
  EXPECT_EQ(picture.PixelColor(header.Bounds.Right - 6, header.Bounds.Top + 3), RGBOf(painter->HeaderColor()));
  const TcxLookupGridRowViewInfo& row0 = f.Info()->Rows[0];
  EXPECT_EQ(picture.PixelColor(row0.Bounds.Left + 30, row0.Bounds.Bottom - 1), RGBOf(clBtnFace));
  const TcxLookupGridCellViewInfo& cell = row0.Cells[0];
  EXPECT_EQ(picture.PixelColor(cell.Bounds.Right - 1, cell.Bounds.Top + 2), RGBOf(clBtnFace));
  const TcxLookupGridRowViewInfo& focused = f.Info()->Rows[2];
  EXPECT_EQ(picture.PixelColor(focused.Cells[1].Bounds.Right - 4, focused.Bounds.Top + 3),
            RGBOf(painter->SelectionColor()));
  // Some text drew into the header and the Chinese cells.
  auto darkPixels = [&](const TRect& r) {
    Integer n = 0;
    for (Integer y = r.Top; y < r.Bottom; ++y)
      for (Integer x = r.Left; x < r.Right; ++x)
        if ((picture.PixelColor(x, y) & 0xFF) < 0x60) ++n;
    return n;
  };
  EXPECT_GT(darkPixels(f.Info()->Columns[1].ContentBounds), 5);
  EXPECT_GT(darkPixels(f.Info()->Rows[4].Cells[1].ContentBounds), 5);
}

}  // namespace

namespace {

// A column that, as it goes, asks the grid's data controller how many items
// it holds: the controller must still be whole when the grid frees its
// columns (a freed one is caught by the address sanitizer).
class TItemCountingColumn : public TcxLookupGridColumn {
  KORVANE_CLASS(TItemCountingColumn, TcxLookupGridColumn)
  explicit TItemCountingColumn(TCollection* ACollection) : TcxLookupGridColumn(ACollection) {}
  ~TItemCountingColumn() override {
    TcxCustomLookupGrid* grid = Grid();
    SeenItemCounts().push_back(grid && grid->DataController() ? grid->DataController()->GetItemCount() : -1);
  }
  static std::vector<Integer>& SeenItemCounts() {
    static std::vector<Integer> counts;
    return counts;
  }
};

class TCountingColumnsGrid : public TcxCustomLookupGrid {
public:
  TCountingColumnsGrid() : TcxCustomLookupGrid(nullptr, TItemCountingColumn::StaticClass()) {}
};

}  // namespace

TEST(cxLookupGrid, ColumnsLeaveAWholeDataControllerWhenTheGridGoes) {
  EnsureGuiRuntime();
  TItemCountingColumn::SeenItemCounts().clear();
  {
    TCountingColumnsGrid grid;
    grid.CreateColumn();
    grid.CreateColumn();
    grid.CreateColumn();
    EXPECT_EQ(grid.DataController()->GetItemCount(), 3);
  }
  // Each column found the data controller still there, holding items.
  const std::vector<Integer>& seen = TItemCountingColumn::SeenItemCounts();
  ASSERT_EQ(seen.size(), 3u);
  for (Integer count : seen) EXPECT_GE(count, 1);
}
