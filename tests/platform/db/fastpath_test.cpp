// The fast paths of loading and sorting give exactly what the general
// conversions and comparisons give.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>

#include "platform/db/adodb.h"
#include "platform/db/sqlitedb.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/sysutils.h"

TEST(LoadFastPaths, TextValuesAndSortOrdersMatchTheGeneralRules) {
  // 1. Text conversion equals the general decoder on random bytes.
  std::mt19937 rng(11);
  const unsigned char pool[] = {'a', 'Z', 0, 0x7F, 0x80, 0xBF, 0xC0, 0xC1, 0xC2, 0xDF, 0xE0, 0xE4, 0xED, 0xEF,
                                0xF0, 0xF4, 0xF5, 0xF7, 0xF8, 0xFF, 0x90, 0xA0, 0x9F, 0x8F};
  for (int n = 0; n < 20000; ++n) {
    std::string s;
    size_t len = rng() % 24;
    for (size_t i = 0; i < len; ++i) s += char(rng() % 3 == 0 ? pool[rng() % sizeof pool] : (rng() % 2 ? 'a' + rng() % 26 : 0x80 + rng() % 0x80));
    EXPECT_EQ(SQLiteTextToString(s.data(), s.size()), UTF8ToString(s)) << "length " << len;
  }
  const char* samples[] = {"", "abc", "元素名称12345", "😀x", "\xF0\x9F\x98", "a\xED\xA0\x80z", "\xC0\x80", "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "abcdefgh\xE4\xB8\xADijklmnop"};
  for (const char* s : samples) EXPECT_TRUE(SQLiteTextToString(s, strlen(s)) == UTF8ToString(s));

  // 2. Loaded values and sort orders against a reference comparison.
  char pattern[] = "/tmp/korvane-verify-XXXXXX";
  std::string folder = mkdtemp(pattern), path = folder + "/v.db";
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  sqlite3_exec(db, "CREATE TABLE t (id integer, name text(20), n integer, s smallint, w word, mixed, f float);", 0, 0, 0);
  sqlite3_stmt* st;
  sqlite3_prepare_v2(db, "INSERT INTO t VALUES (?,?,?,?,?,?,?)", -1, &st, 0);
  std::vector<std::string> names = {"", "a", "a\x01", "abcdefgh", "abcdefghi", "abcdefgh", "元素名称1", "元素名称12", "元素名称2", "zz", "ab", "😀", "\xEF\xBF\xBF"};
  sqlite3_exec(db, "BEGIN", 0, 0, 0);
  for (int i = 1; i <= 3000; ++i) {
    sqlite3_bind_int(st, 1, i);
    if (rng() % 7 == 0) sqlite3_bind_null(st, 2); else { auto& nm = names[rng() % names.size()]; sqlite3_bind_text(st, 2, nm.c_str(), -1, SQLITE_TRANSIENT); }
    switch (rng() % 5) {
      case 0: sqlite3_bind_null(st, 3); break;
      case 1: sqlite3_bind_int64(st, 3, (long long)(rng() % 1000) - 500); break;
      case 2: sqlite3_bind_int64(st, 3, (long long)rng() * 40000000LL * (rng() % 2 ? 1 : -1)); break;
      default: sqlite3_bind_int64(st, 3, INT64_MIN + rng() % 3); break;
    }
    if (rng() % 5 == 0) sqlite3_bind_int(st, 4, 40000); else sqlite3_bind_int(st, 4, int(rng() % 60000) - 30000);
    if (rng() % 5 == 0) sqlite3_bind_int(st, 5, -1); else sqlite3_bind_int(st, 5, int(rng() % 70000));
    switch (rng() % 4) {
      case 0: sqlite3_bind_int(st, 6, rng() % 50); break;
      case 1: sqlite3_bind_text(st, 6, "x", -1, SQLITE_STATIC); break;
      case 2: sqlite3_bind_double(st, 6, 2.5); break;
      default: sqlite3_bind_null(st, 6); break;
    }
    if (rng() % 3 == 0) sqlite3_bind_text(st, 7, "1.5", -1, SQLITE_STATIC); else sqlite3_bind_double(st, 7, rng() % 100 / 7.0);
    sqlite3_step(st); sqlite3_reset(st);
  }
  sqlite3_exec(db, "COMMIT", 0, 0, 0);
  sqlite3_finalize(st);

  TADOConnection con(nullptr);
  con.SetProperty(u"Data Source", UTF8ToString(path));
  TADOQuery q(nullptr);
  q.SetConnection(&con);
  q.SQL()->SetText(u"select * from t");
  q.Open();
  // Every loaded value equals the general reader's (value and type).
  sqlite3_prepare_v2(db, "SELECT * FROM t", -1, &st, 0);
  q.First();
  int rows = 0;
  while (sqlite3_step(st) == SQLITE_ROW) {
    for (int c = 0; c < 7; ++c) {
      TField* f = q.Fields()->Fields(c);
      Variant got = f->Value();
      Variant want;
      switch (sqlite3_column_type(st, c)) {
        case SQLITE_NULL: want = Null(); break;
        case SQLITE_INTEGER: want = f->ReadStoredValue(Variant(Int64(sqlite3_column_int64(st, c)))); break;
        case SQLITE_FLOAT: want = f->ReadStoredValue(Variant(sqlite3_column_double(st, c))); break;
        default: want = f->ReadStoredValue(Variant(UTF8ToString(reinterpret_cast<const char*>(sqlite3_column_text(st, c))))); break;
      }
      bool same = VarType(got) == VarType(want) && (VarIsNull(want) || VarSameValue(got, want));
      EXPECT_TRUE(same) << "row " << rows << " column " << c << " type " << VarType(got) << " vs " << VarType(want);
    }
    ++rows;
    q.Next();
  }
  EXPECT_TRUE(rows == 3000);
  sqlite3_finalize(st);
  sqlite3_close(db);

  // Sort orders: each adjacent pair is ordered by the reference rule.
  auto refCompare = [](const Variant& a, const Variant& b) -> int {
    TVarType ta = a.Type(), tb = b.Type();
    if (ta == varOleStr && tb == varOleStr) { int c = a.RawString().compare(b.RawString()); return c < 0 ? -1 : c > 0; }
    if ((ta == varInteger || ta == varInt64) && (tb == varInteger || tb == varInt64)) return a.RawInt() < b.RawInt() ? -1 : a.RawInt() > b.RawInt();
    bool an = ta <= varNull, bn = tb <= varNull;
    if (an || bn) return an == bn ? 0 : (an ? -1 : 1);
    if (VarIsStr(a) && VarIsStr(b)) return AnsiCompareStr(a.AsString(), b.AsString());
    try { switch (VarCompareValue(a, b)) { case vrEqual: return 0; case vrLessThan: return -1; case vrGreaterThan: return 1; default: break; } } catch (const Exception&) {}
    return VarType(a) < VarType(b) ? -1 : (VarType(a) > VarType(b) ? 1 : 0);
  };
  const char16_t* sorts[] = {u"name", u"name DESC", u"n", u"n DESC", u"name, n DESC", u"s", u"w DESC", u"mixed", u"f"};
  for (const char16_t* sort : sorts) {
    q.SetSort(sort);
    bool desc = String(sort).find(u"DESC") != String::npos && String(sort).find(u',') == String::npos;
    String field = String(sort).substr(0, String(sort).find_first_of(u" ,"));
    q.First();
    Variant prev = q.FieldByName(field)->Value();
    Integer prevId = q.FieldByName(u"id")->AsInteger();
    int count = 1;
    for (q.Next(); !q.Eof(); q.Next(), ++count) {
      Variant cur = q.FieldByName(field)->Value();
      Integer id = q.FieldByName(u"id")->AsInteger();
      int c = refCompare(prev, cur);
      if (desc) c = -c;
      bool ok = c < 0 || (c == 0 && (String(sort).find(u',') != String::npos || prevId < id));
      EXPECT_TRUE(ok) << "order broken in " << StringToUTF8(sort) << " at " << count;
      prev = cur; prevId = id;
    }
    EXPECT_TRUE(count == 3000);
  }
  std::filesystem::remove_all(folder);
  }
