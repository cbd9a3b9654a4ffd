// The compact record store and the dataset over it give back exactly the
// values written, checked against plain vectors of variants.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>
#include <map>
#include <random>

#include "platform/db/filterexpr.h"
#include "platform/db/recordstore.h"
#include "platform/db/storeddate.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/sysutils.h"
#include "tests/platform/db/dbtestutil.h"

namespace {

// Same type and the same payload, bit for bit (doubles included).
bool SameVariant(const Variant& A, const Variant& B) {
  if (A.Type() != B.Type()) return false;
  TVarType t = A.Type();
  if (t & varArray) {
    const auto* a = A.Array();
    const auto* b = B.Array();
    if (a->Elements.size() != b->Elements.size() || a->ElementType != b->ElementType) return false;
    for (size_t i = 0; i < a->Elements.size(); ++i)
      if (!SameVariant(a->Elements[i], b->Elements[i])) return false;
    return true;
  }
  switch (t) {
    case varEmpty: case varNull: return true;
    case varSingle: case varDouble: case varDate: {
      double a = A.RawDouble(), b = B.RawDouble();
      return std::memcmp(&a, &b, sizeof a) == 0;
    }
    case varOleStr: return A.RawString() == B.RawString();
    case varString: return A.RawBytes() == B.RawBytes();
    case varFMTBcdCode: return BcdToStr(A.RawBcd()) == BcdToStr(B.RawBcd());
    case varSQLTimeStampCode: return A.RawTimeStamp() == B.RawTimeStamp();
    default: return A.RawInt() == B.RawInt();
  }
}

class TValueMaker {
public:
  explicit TValueMaker(unsigned Seed) : FRng(Seed) {}
  unsigned Next(unsigned N) { return unsigned(FRng() % N); }

  // Storable: no half of a surrogate pair alone, which a database refuses.
  String Text(size_t Length, bool Storable = false) {
    static const Char pool[] = {u'a', u'Z', u'0', u' ', u'\0', u'元', u'素', 0xFFFF, u'é', 0xD83D, 0xDE00};
    size_t kinds = sizeof pool / sizeof pool[0] - (Storable ? 2 : 0);
    String s;
    for (size_t i = 0; i < Length; ++i) s += pool[Next(unsigned(kinds))];
    return s;
  }

  RawByteString Bytes(size_t Length) {
    RawByteString s;
    for (size_t i = 0; i < Length; ++i) s += char(Next(4) == 0 ? 0 : Next(256));
    return s;
  }

  // Every kind a cell can hold, and the lengths around the inline limit.
  Variant Any() {
    switch (Next(22)) {
      case 0: return Null();
      case 1: return Variant();
      case 2: return Variant(Integer(FRng()));
      case 3: return Variant(Int64((UInt64(FRng()) << 32) | FRng()));
      case 4: return Variant(SmallInt(FRng()));
      case 5: return Variant(Next(2) == 1);
      case 6: return Variant(Currency::FromRaw(Int64(FRng()) - 99999));
      case 7: return Variant(Word(FRng()));
      case 8: return Variant(Byte(FRng()));
      case 9: return Variant(float(FRng()) / 7.0f);
      case 10: return Variant(double(FRng()) / 3.0 - 1e9);
      case 11: return VarFromDateTime(double(Next(80000)) + double(Next(86400000)) / 86400000.0);
      case 12: return Variant(String());
      case 13: return Variant(Text(1 + Next(TRecordStore::InlineTextUnits)));
      case 14: return Variant(Text(TRecordStore::InlineTextUnits + Next(2)));
      case 15: return Variant(Text(20 + Next(3000)));
      case 16: return VarFromRawByteString(Bytes(Next(3)));
      case 17: return VarFromRawByteString(Bytes(10 + Next(500)));
      case 18: return Variant::MakeBcd(StrToBcd(u"-12345.678" + IntToStr(Integer(Next(100)))));
      case 19: return Variant::MakeTimeStamp(DateTimeToSQLTimeStamp(double(40000 + Next(1000)) + 0.25));
      case 20: return VarArrayOf({Variant(Integer(Next(9))), Variant(Text(9)), Null()});
      default: return Variant(LongWord(FRng()));
    }
  }

private:
  std::mt19937 FRng;
};

void ExpectRow(const TRecordStore& Store, TRowHandle Row, const std::vector<Variant>& Want, const char* When) {
  for (Integer slot = 0; slot < Integer(Want.size()); ++slot) {
    Variant got = Store.Get(Row, slot);
    ASSERT_TRUE(SameVariant(got, Want[slot])) << When << ": row " << Row << " slot " << slot << " type "
                                              << got.Type() << " want " << Want[slot].Type();
    ASSERT_EQ(Store.TypeOf(Row, slot), Want[slot].Type());
    if (Want[slot].Type() == varOleStr) {
      ASSERT_TRUE(Store.TextOf(Row, slot) == Want[slot].RawString());
    }
  }
}

}  // namespace

TEST(RecordStore, RandomRowsReadBackAsWrittenThroughWritesFreesAndCompaction) {
  constexpr Integer Width = 5;
  TValueMaker make(23);
  TRecordStore store;
  store.Reset(Width);
  struct TReference {
    std::vector<Variant> Values;
    UInt64 Id;
    bool HasRowId;
    Int64 RowId;
  };
  std::map<TRowHandle, TReference> reference;
  UInt64 nextId = 1;
  auto check = [&](const char* when) {
    ASSERT_EQ(store.RowCount(), reference.size());
    for (auto& [row, ref] : reference) {
      ASSERT_EQ(store.Id(row), ref.Id);
      ASSERT_EQ(store.HasRowId(row), ref.HasRowId);
      ASSERT_EQ(store.RowId(row), ref.RowId);
      ExpectRow(store, row, ref.Values, when);
    }
  };
  // Enough rows to span several pages, then writes enough long texts over
  // each other that the arena is rewritten more than once.
  for (int step = 0; step < 20000; ++step) {
    unsigned op = make.Next(10);
    if (reference.empty() || op < 3 || (step < 3000 && op < 8)) {
      bool hasRowId = make.Next(2) == 0;
      Int64 rowId = hasRowId ? Int64(make.Next(1u << 30)) - 5 : 0;
      TRowHandle row = store.NewRow(nextId, hasRowId, rowId);
      ASSERT_EQ(reference.count(row), 0u);
      std::vector<Variant> values(Width, Null());
      if (make.Next(2)) {
        for (Variant& v : values) v = make.Any();
        store.WriteRow(row, values);
      }
      reference[row] = {values, nextId++, hasRowId, rowId};
      continue;
    }
    auto it = reference.begin();
    std::advance(it, make.Next(unsigned(std::min<size_t>(reference.size(), 50))));
    TRowHandle row = it->first;
    Integer slot = Integer(make.Next(Width));
    switch (op) {
      case 3:
        store.FreeRow(row);
        reference.erase(it);
        break;
      case 4: {
        String text = make.Text(make.Next(2) ? 3 : 2000 + make.Next(200));
        store.SetText(row, slot, text);
        it->second.Values[slot] = Variant(text);
        break;
      }
      case 5: {
        // A text copied from a cell of the store itself, its own included.
        Integer from = Integer(make.Next(Width));
        if (store.KindOf(row, from) != TRecordStore::TCellKind::ShortText &&
            store.KindOf(row, from) != TRecordStore::TCellKind::Text)
          break;
        store.SetText(row, slot, store.TextOf(row, from));
        it->second.Values[slot] = it->second.Values[from];
        break;
      }
      case 6:
        store.SetInt(row, slot, varInt64, Int64(make.Next(1000)) - 500);
        it->second.Values[slot] = Variant(Int64(store.IntOf(row, slot)));
        break;
      case 7:
        store.SetRowId(row, true, 77);
        it->second.HasRowId = true;
        it->second.RowId = 77;
        break;
      default: {
        Variant v = make.Any();
        store.Set(row, slot, v);
        it->second.Values[slot] = v;
        break;
      }
    }
    if (step % 5000 == 0) check("during");
  }
  check("after random writes");
  // Long texts written over each other until most of the arena is waste:
  // it is rewritten, and every value survives.
  for (int round = 0; round < 30; ++round) {
    for (auto it = reference.begin(); it != reference.end() && std::distance(reference.begin(), it) < 3; ++it) {
      String text = make.Text(100000);
      store.SetText(it->first, 0, text);
      it->second.Values[0] = Variant(text);
    }
  }
  check("after the arena was rewritten");
  std::vector<Variant> row;
  store.ReadRow(reference.begin()->first, row);
  for (Integer slot = 0; slot < Width; ++slot) EXPECT_TRUE(SameVariant(row[slot], reference.begin()->second.Values[slot]));
  // Slots outside the row read Null and ignore writes.
  store.Set(reference.begin()->first, Width, Variant(1));
  EXPECT_EQ(store.Get(reference.begin()->first, Width).Type(), varNull);
  EXPECT_EQ(store.Get(reference.begin()->first, -1).Type(), varNull);
}

TEST(RecordStore, StoredDatesReadAsTheGeneralParserReadsThem) {
  // Canonical forms are taken by the quick reader; whatever it takes, it
  // reads as TryParseDateText does.
  const char* taken[] = {"2024-01-31", "2024-01-31 12:34", "2024-01-31 12:34:56", "2024-01-31 12:34:56.789",
                         "2024-02-29T23:59:59.9", " 1899-12-30 00:00:00 ", "1800-06-15 06:00:00.1234", "2024-1-5 1:2:3"};
  for (const char* text : taken) {
    TDateTime quick = 0, general = 0;
    ASSERT_TRUE(TryReadStoredDate(text, quick)) << text;
    ASSERT_TRUE(TryParseDateText(UTF8ToString(text), general)) << text;
    EXPECT_EQ(std::memcmp(&quick, &general, sizeof quick), 0) << text;
  }
  std::mt19937 rng(5);
  const char pool[] = "0123456789-- ::.T\t\x7f\xe5x";
  for (int n = 0; n < 200000; ++n) {
    std::string text;
    if (rng() % 2) {
      text = "20" + std::to_string(rng() % 100) + "-" + std::to_string(rng() % 14) + "-" + std::to_string(rng() % 33);
      if (rng() % 2) text += (rng() % 2 ? " " : "T") + std::to_string(rng() % 26) + ":" + std::to_string(rng() % 61);
    }
    for (size_t k = rng() % 4; k > 0; --k) text.insert(rng() % (text.size() + 1), 1, pool[rng() % (sizeof pool - 1)]);
    TDateTime quick = 0, general = 0;
    if (!TryReadStoredDate(text, quick)) continue;
    ASSERT_TRUE(TryParseDateText(UTF8ToString(text), general)) << text;
    ASSERT_EQ(std::memcmp(&quick, &general, sizeof quick), 0) << text;
  }
}

namespace {

const char* MixedSchema = R"(
CREATE TABLE t (id integer primary key, n integer, s smallint, name text(20), f float, d datetime, day date,
  note memo, b blob);
)";

// Random rows written straight into the file, with every awkward value.
void FillMixedTable(const TTempDatabase& Db, unsigned Seed, int Rows) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(Db.Path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO t (n, s, name, f, d, day, note, b) VALUES (?,?,?,?,?,?,?,?)", -1, &st, nullptr);
  std::mt19937 rng(Seed);
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  const char* dates[] = {"2024-01-31 12:34:56", "2024-01-31", "1999-12-31 23:59:59.5", " 2001-02-03 04:05 ",
                         "not a date", "31/01/2024", "2024-13-01"};
  for (int i = 0; i < Rows; ++i) {
    if (rng() % 6 == 0) sqlite3_bind_null(st, 1); else sqlite3_bind_int64(st, 1, Int64(rng()) * (rng() % 3 ? 1 : 99999));
    if (rng() % 6 == 0) sqlite3_bind_null(st, 2); else sqlite3_bind_int(st, 2, int(rng() % 80000) - 40000);
    std::string name = rng() % 5 == 0 ? std::string() : "名称" + std::string(rng() % 12, 'x');
    if (rng() % 6 == 0) sqlite3_bind_null(st, 3); else sqlite3_bind_text(st, 3, name.c_str(), -1, SQLITE_TRANSIENT);
    if (rng() % 6 == 0) sqlite3_bind_null(st, 4); else sqlite3_bind_double(st, 4, double(rng()) / 1000.0);
    const char* date = dates[rng() % (sizeof dates / sizeof dates[0])];
    if (rng() % 6 == 0) sqlite3_bind_null(st, 5); else sqlite3_bind_text(st, 5, date, -1, SQLITE_STATIC);
    if (rng() % 6 == 0) sqlite3_bind_null(st, 6); else sqlite3_bind_text(st, 6, dates[rng() % 4], -1, SQLITE_STATIC);
    std::string note(rng() % 3 == 0 ? 3000 + rng() % 100 : rng() % 5, 'n');
    if (rng() % 6 == 0) sqlite3_bind_null(st, 7); else sqlite3_bind_text(st, 7, note.c_str(), -1, SQLITE_TRANSIENT);
    std::string blob(rng() % 40, '\0');
    for (char& c : blob) c = char(rng() % 3 ? 0 : rng());
    if (rng() % 6 == 0) sqlite3_bind_null(st, 8); else sqlite3_bind_blob(st, 8, blob.data(), int(blob.size()), SQLITE_TRANSIENT);
    sqlite3_step(st);
    sqlite3_reset(st);
  }
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_finalize(st);
  sqlite3_close(db);
}

// Each field's value as the general conversion reads the stored value.
std::map<Int64, std::vector<Variant>> ReadByGeneralPath(const TTempDatabase& Db, TDataSet* DataSet) {
  std::map<Int64, std::vector<Variant>> rows;
  sqlite3* db = nullptr;
  sqlite3_open_v2(Db.Path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT * FROM t", -1, &st, nullptr);
  while (sqlite3_step(st) == SQLITE_ROW) {
    std::vector<Variant> values;
    for (int c = 0; c < sqlite3_column_count(st); ++c) {
      TField* f = DataSet->Fields()->Fields(c);
      switch (sqlite3_column_type(st, c)) {
        case SQLITE_NULL: values.push_back(Null()); break;
        case SQLITE_INTEGER: values.push_back(f->ReadStoredValue(Variant(Int64(sqlite3_column_int64(st, c))))); break;
        case SQLITE_FLOAT: values.push_back(f->ReadStoredValue(Variant(sqlite3_column_double(st, c)))); break;
        case SQLITE_BLOB: {
          auto* data = static_cast<const char*>(sqlite3_column_blob(st, c));
          values.push_back(f->ReadStoredValue(VarFromRawByteString(RawByteString(data, sqlite3_column_bytes(st, c)))));
          break;
        }
        default:
        {
          auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
          std::string_view bytes(text, size_t(sqlite3_column_bytes(st, c)));  // NULs included
          values.push_back(f->ReadStoredValue(Variant(UTF8ToString(bytes))));
        }
          break;
      }
    }
    rows[sqlite3_column_int64(st, 0)] = std::move(values);
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return rows;
}

std::map<Int64, std::vector<Variant>> ReadDataSet(TDataSet* DataSet) {
  std::map<Int64, std::vector<Variant>> rows;
  for (DataSet->First(); !DataSet->Eof(); DataSet->Next()) {
    std::vector<Variant> values;
    for (Integer c = 0; c < DataSet->FieldCount(); ++c) values.push_back(DataSet->Fields()->Fields(c)->Value());
    rows[DataSet->Fields()->Fields(0)->AsLargeInt()] = std::move(values);
  }
  return rows;
}

void ExpectSameRows(const std::map<Int64, std::vector<Variant>>& Got, const std::map<Int64, std::vector<Variant>>& Want,
                    const char* When) {
  ASSERT_EQ(Got.size(), Want.size()) << When;
  for (auto& [id, values] : Want) {
    auto it = Got.find(id);
    ASSERT_TRUE(it != Got.end()) << When << ": id " << id;
    for (size_t c = 0; c < values.size(); ++c)
      ASSERT_TRUE(SameVariant(it->second[c], values[c]))
          << When << ": id " << id << " column " << c << " type " << it->second[c].Type() << " want " << values[c].Type();
  }
}

}  // namespace

TEST(RecordStore, AQueryReadsWritesAndRereadsMixedRowsAsThePlainReference) {
  TQueryFixture fx(MixedSchema);
  FillMixedTable(fx.Db, 31, 1500);
  fx.Open(u"select * from t");
  TADOQuery* q = fx.Query;
  // Loading: the quick readers give what the general conversions give.
  std::map<Int64, std::vector<Variant>> reference = ReadByGeneralPath(fx.Db, q);
  ExpectSameRows(ReadDataSet(q), reference, "after opening");

  // Edits, inserts and deletes: what the edit buffer held is what the
  // stored record reads back.
  TValueMaker make(41);
  auto randomValue = [&](Integer c) -> Variant {
    if (make.Next(5) == 0) return Null();
    switch (c) {
      case 1: return Variant(Integer(make.Next(1u << 31)) - 999);
      case 2: return Variant(Integer(make.Next(60000)) - 30000);
      case 3: return Variant(make.Text(make.Next(15), true));
      case 4: return Variant(double(make.Next(1000000)) / 8.0);
      case 5: return VarFromDateTime(double(30000 + make.Next(20000)) + double(make.Next(86400)) / 86400.0);
      case 6: return VarFromDateTime(double(30000 + make.Next(20000)));
      case 7: return Variant(make.Text(make.Next(2) ? 2 : 4000, true));
      default: return VarFromRawByteString(make.Bytes(make.Next(30)));
    }
  };
  fx.Connection->BeginTrans();  // one write to disk for all the posts
  for (int step = 0; step < 300; ++step) {
    unsigned op = make.Next(4);
    q->SetRecNo(1 + Integer(make.Next(unsigned(q->RecordCount()))));
    if (op == 0) {
      Int64 id = q->Fields()->Fields(0)->AsLargeInt();
      q->Delete();
      reference.erase(id);
      continue;
    }
    if (op == 1)
      q->Append();
    else
      q->Edit();
    for (Integer c = 1; c < q->FieldCount(); ++c)
      if (op == 1 || make.Next(2)) q->Fields()->Fields(c)->SetValue(randomValue(c));
    q->Post();
    std::vector<Variant> values;
    for (Integer c = 0; c < q->FieldCount(); ++c) values.push_back(q->Fields()->Fields(c)->Value());
    reference[q->Fields()->Fields(0)->AsLargeInt()] = values;
  }
  fx.Connection->CommitTrans();
  ExpectSameRows(ReadDataSet(q), reference, "after editing");
  // Sorting and filtering read the cells: every record is still there.
  q->SetSort(u"name DESC, d");
  ExpectSameRows(ReadDataSet(q), reference, "sorted");
  // What was written back reads again as the general conversions read it.
  q->Close();
  q->Open();
  ExpectSameRows(ReadDataSet(q), ReadByGeneralPath(fx.Db, q), "after reopening");
}
