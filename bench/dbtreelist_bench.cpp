// Loading a 10,000-row table shaped like the record table (id, parent_id
// with root -1, code, content; read in code order, so children often come
// before their parents) into the dataset-bound tree list shown in a window,
// painting its first screen, then reloading it with its top level expanded
// and painting again. Prints the times.
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "editors/cxTextEdit.h"
#include "platform/db/adodb.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/rtl/encoding.h"
#include "treelist/cxDBTL.h"
#include "treelist/cxTLViewInfo.h"

namespace {

constexpr int RowCount = 10000;

// Cells show their value as text.
class TCellTextProperties : public TcxTextEditProperties {
  KORVANE_CLASS(TCellTextProperties, TcxTextEditProperties)
  using TcxTextEditProperties::TcxTextEditProperties;
  String GetDisplayTextOfValue(const Variant& AValue) const override { return VarToStr(AValue); }
};

double Seconds(const std::function<void()>& AWork) {
  const auto Start = std::chrono::steady_clock::now();
  AWork();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

// A random tree at most 12 levels deep; codes in random order.
void MakeTable(const std::string& APath) {
  sqlite3* Db = nullptr;
  sqlite3_open(APath.c_str(), &Db);
  sqlite3_exec(Db, "CREATE TABLE node (id INTEGER PRIMARY KEY, parent_id INTEGER, code TEXT, content TEXT);"
               "BEGIN;", nullptr, nullptr, nullptr);
  std::mt19937 Random(7);
  std::vector<int> Depth(RowCount + 1, 0);
  sqlite3_stmt* Stmt = nullptr;
  sqlite3_prepare_v2(Db, "INSERT INTO node VALUES (?, ?, ?, ?)", -1, &Stmt, nullptr);
  for (int Id = 1; Id <= RowCount; ++Id) {
    int Parent = Id <= 20 ? -1 : int(1 + Random() % unsigned(Id - 1));
    while (Parent > 0 && Depth[size_t(Parent)] >= 11) Parent = -1;
    Depth[size_t(Id)] = Parent > 0 ? Depth[size_t(Parent)] + 1 : 0;
    const std::string Code = std::to_string(Random() % 1000000);
    const std::string Content = "element " + std::to_string(Id);
    sqlite3_bind_int(Stmt, 1, Id);
    sqlite3_bind_int(Stmt, 2, Parent);
    sqlite3_bind_text(Stmt, 3, Code.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(Stmt, 4, Content.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(Stmt);
    sqlite3_reset(Stmt);
  }
  sqlite3_finalize(Stmt);
  sqlite3_exec(Db, "COMMIT;", nullptr, nullptr, nullptr);
  sqlite3_close(Db);
}

}  // namespace

int main() {
  char Pattern[] = "/tmp/korvane-dbtl-bench-XXXXXX";
  if (!mkdtemp(Pattern)) return 1;
  const std::filesystem::path Folder = Pattern;
  const std::string Path = (Folder / "bench.db").string();
  MakeTable(Path);
  {
    EnsureGuiRuntime();
    TComponent Owner(nullptr);
    auto* Connection = new TADOConnection(&Owner);
    Connection->SetConnectionString(u"Provider=SQLite;Data Source=" + UTF8ToString(Path));
    auto* Query = new TADOQuery(&Owner);
    Query->SetConnection(Connection);
    Query->SQL()->SetText(u"SELECT * FROM node ORDER BY code");
    auto* Source = new TDataSource(&Owner);
    Source->SetDataSet(Query);
    auto* Form = new TForm(nullptr);
    Form->SetBounds(0, 0, 640, 480);
    auto* Tree = new TcxDBTreeList(Form);
    Tree->SetBounds(0, 0, 620, 460);
    Tree->SetParent(Form);
    for (auto [Field, Width] : {std::pair{u"content", 300}, std::pair{u"code", 200}}) {
      TcxDBTreeListColumn* Column = Tree->CreateDBColumn(Field);
      Column->SetWidth(Width);
      Column->SetPropertiesClass(TCellTextProperties::StaticClass());
    }
    Tree->DBDataController()->SetKeyField(u"id");
    Tree->DBDataController()->SetParentField(u"parent_id");
    Tree->DBDataController()->SetDataSource(Source);
    Form->Show();
    Application->ProcessMessages();
    TBitmap Screen(Tree->ClientWidth(), Tree->ClientHeight(), pf32bit);
    // The first screen: the view is laid out and painted into a bitmap.
    auto Paint = [&] {
      Tree->LayoutChanged();
      TcxTreeListViewInfo* View = Tree->TreeListViewInfo();
      if (View->IsDirty()) View->Calculate();
      Tree->PaintTo(Screen.Canvas()->Handle(), 0, 0);
    };
    const double Open = Seconds([&] { Query->Open(); });
    const double FirstPaint = Seconds(Paint);
    std::printf("open and load %d rows: %.1f ms (%d nodes, %d top-level); first screen painted: %.1f ms\n",
                RowCount, Open * 1000, Tree->AbsoluteNodeCount(), Tree->Nodes()->Root()->Count(), FirstPaint * 1000);
    for (TcxTreeListNode* N = Tree->Nodes()->Root()->GetFirstChild(); N; N = N->GetNextSibling()) N->Expand(false);
    const double Reload = Seconds([&] { Tree->Reload(); });
    const double SecondPaint = Seconds(Paint);
    std::printf("reload keeping %d top-level nodes expanded (%d rows shown): %.1f ms; painted: %.1f ms\n",
                Tree->Nodes()->Root()->Count(), Tree->Nodes()->ShownNodeCount(), Reload * 1000, SecondPaint * 1000);
    Form->Free();
  }
  std::error_code Ec;
  std::filesystem::remove_all(Folder, Ec);
  return 0;
}
