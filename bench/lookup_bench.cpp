// The lookup combo box over a code list of 10,000 rows (code, ename, cname
// with four-character Chinese names): opening the drop-down, then typing
// three characters that complete from the list and filter it, as the user
// does (keys through the window system's queue, input-method commits). The
// time of the opening and of each keystroke is printed, the best of five
// rounds; the work of a keystroke includes filtering the list and
// repainting the editor and the open list. Not a timed test: it only
// prints figures (and fails when the typing did not complete).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "editors/cxDBLookupComboBox.h"
#include "platform/db/datasource.h"
#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/graphics.h"
#include "platform/gui/testinput.h"
#include "platform/rtl/encoding.h"
#include "tests/platform/db/dbtestutil.h"

namespace {

constexpr int RowCount = 10000;
constexpr int Rounds = 5;
// Ten characters, four positions: 10,000 different names.
const char* const Alphabet[] = {"地", "球", "科", "学", "海", "洋", "气", "象", "水", "文"};

std::string NameOf(int AIndex) {
  std::string name;
  for (int d = 0, n = AIndex; d < 4; ++d, n /= 10) name = std::string(Alphabet[n % 10]) + name;
  return name;
}

std::string Schema() {
  std::string sql = "create table codelist (code varchar(6) primary key, ename varchar(20), cname varchar(20));";
  sql += "begin;";
  for (int i = 0; i < RowCount; ++i) {
    char code[8];
    std::snprintf(code, sizeof(code), "%05d", i);
    sql += "insert into codelist values ('" + std::string(code) + "', 'name" + std::to_string(i) + "', '" +
           NameOf(i) + "');";
  }
  return sql + "commit;";
}

double Ms(std::chrono::steady_clock::time_point AFrom) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - AFrom).count();
}

void Drain() {
  for (int i = 0; i < 3; ++i) Application->ProcessMessages();
}

}  // namespace

int main() {
  EnsureGuiRuntime();
  TestSetApplicationActive(true);
  TQueryFixture fx(Schema());
  TForm* form = new TForm(nullptr);
  form->SetBounds(100, 100, 480, 400);
  auto* source = new TDataSource(form);
  source->SetDataSet(fx.Query);
  fx.Open(u"select code, ename, cname from codelist order by code");
  auto* combo = new TcxLookupComboBox(form);
  combo->SetBounds(20, 20, 220, 24);
  combo->SetParent(form);
  TcxLookupComboBoxProperties* p = combo->LookupProperties();
  p->SetListSource(source);
  p->SetKeyFieldNames(u"code");
  p->SetListFieldNames(u"code;cname");
  p->SetListFieldIndex(1);
  form->Show();
  Drain();
  combo->SetFocus();
  Drain();

  const String typed = UTF8ToString(std::string(Alphabet[4]) + Alphabet[5] + Alphabet[6]);  // 海洋气
  double open = 1e30, keys[3] = {1e30, 1e30, 1e30};
  int rows[3] = {0, 0, 0};
  bool completed = true;
  for (int round = 0; round < Rounds; ++round) {
    combo->SetEditValue(Variant(u"00000"));
    Drain();
    auto start = std::chrono::steady_clock::now();
    TestKey(VK_F4);
    Drain();
    open = std::min(open, Ms(start));
    completed = completed && combo->HasOpenPopup() && p->Grid()->RowCount() == RowCount;
    combo->SelectWholeText();
    for (int k = 0; k < 3; ++k) {
      start = std::chrono::steady_clock::now();
      TestInputMethodCommit(typed.substr(k, 1));
      Drain();
      keys[k] = std::min(keys[k], Ms(start));
      rows[k] = p->Grid()->RowCount();
    }
    completed = completed && combo->HasOpenPopup() && combo->Text().substr(0, 3) == typed;
    TestKey(VK_ESCAPE);
    Drain();
  }
  std::printf("lookup combo box over %d rows (best of %d rounds)\n", RowCount, Rounds);
  std::printf("  %-34s %8.2f ms\n", "open the drop-down", open);
  for (int k = 0; k < 3; ++k) {
    char what[64];
    std::snprintf(what, sizeof(what), "keystroke %d (%d rows remain)", k + 1, rows[k]);
    std::printf("  %-34s %8.2f ms\n", what, keys[k]);
  }
  form->Free();
  Drain();
  if (!completed) {
    std::printf("FAILED: the typed text did not complete from the list\n");
    return 1;
  }
  return 0;
}
