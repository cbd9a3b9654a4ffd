#include "platform/db/adodb.h"

#include <algorithm>
#include <typeinfo>

#include "platform/db/dbconsts.h"
#include "platform/db/sqlitedb.h"
#include "platform/db/storeddate.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/sysutils.h"

using namespace dbconsts;

namespace {

bool IsBlank(const Variant& v) { return VarIsNull(v) || VarIsEmpty(v); }

bool Contains(const String& text, const char16_t* word) { return text.find(word) != String::npos; }

// ---- Connection strings ----

std::vector<std::pair<String, String>> ParseConnectionString(const String& text) {
  std::vector<std::pair<String, String>> result;
  size_t i = 0, n = text.size();
  while (i < n) {
    size_t eq = text.find(u'=', i);
    size_t semi = text.find(u';', i);
    if (eq == String::npos || (semi != String::npos && semi < eq)) {
      // A part without "=": skipped.
      i = semi == String::npos ? n : semi + 1;
      continue;
    }
    String name = Trim(text.substr(i, eq - i));
    size_t j = eq + 1;
    while (j < n && text[j] == u' ') ++j;
    String value;
    if (j < n && (text[j] == u'"' || text[j] == u'\'')) {
      Char q = text[j++];
      while (j < n) {
        if (text[j] == q) {
          if (j + 1 < n && text[j + 1] == q) {
            value += q;
            j += 2;
            continue;
          }
          ++j;
          break;
        }
        value += text[j++];
      }
      while (j < n && text[j] != u';') ++j;
    } else {
      size_t end = text.find(u';', j);
      if (end == String::npos) end = n;
      value = Trim(text.substr(j, end - j));
      j = end;
    }
    if (!name.empty()) result.emplace_back(name, value);
    i = j < n ? j + 1 : n;
  }
  return result;
}

String QuoteConnectionValue(const String& value) {
  if (!value.empty() && value.find_first_of(u";\"'") == String::npos && value.front() != u' ' &&
      value.back() != u' ')
    return value;
  String result = u"\"";
  for (Char c : value) {
    if (c == u'"') result += c;
    result += c;
  }
  return result + u"\"";
}

// ---- Reading SQL texts ----

struct TSqlWord {
  String Upper;
  size_t End;  // position just after the word
  Integer Depth;
};

// The words of an SQL text outside quotes and comments, with their depth of
// parentheses.
std::vector<TSqlWord> SqlWords(const String& sql) {
  std::vector<TSqlWord> words;
  size_t i = 0, n = sql.size();
  Integer depth = 0;
  auto isWordChar = [](Char c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_' || c >= 0x80;
  };
  while (i < n) {
    Char c = sql[i];
    if (c == u'\'' || c == u'"' || c == u'[' || c == u'`') {
      Char close = c == u'[' ? u']' : c;
      for (++i; i < n && sql[i] != close; ++i) {
      }
      ++i;
    } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
      while (i < n && sql[i] != u'\n') ++i;
    } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
      size_t end = sql.find(u"*/", i + 2);
      i = end == String::npos ? n : end + 2;
    } else if (c == u'(') {
      ++depth;
      ++i;
    } else if (c == u')') {
      --depth;
      ++i;
    } else if (isWordChar(c)) {
      size_t start = i;
      while (i < n && isWordChar(sql[i])) ++i;
      words.push_back({UpperCase(sql.substr(start, i - start)), i, depth});
    } else {
      ++i;
    }
  }
  return words;
}

// Where a rowid column can be put into a plain select over one table, or
// npos when the text is not such a select.
size_t RowIdInsertPoint(const String& sql) {
  std::vector<TSqlWord> words = SqlWords(sql);
  if (words.empty() || words[0].Upper != u"SELECT" || words[0].Depth != 0) return String::npos;
  for (const TSqlWord& w : words) {
    if (w.Depth != 0) continue;
    if (w.Upper == u"UNION" || w.Upper == u"INTERSECT" || w.Upper == u"EXCEPT" || w.Upper == u"DISTINCT" ||
        w.Upper == u"GROUP" || w.Upper == u"HAVING" || w.Upper == u"WINDOW")
      return String::npos;
  }
  if (words.size() > 1 && words[1].Upper == u"ALL") return words[1].End;
  return words[0].End;
}

// ---- Declared column types ----

Integer FirstNumber(const String& decl, Integer& second) {
  second = 0;
  size_t open = decl.find(u'(');
  if (open == String::npos) return 0;
  size_t close = decl.find(u')', open);
  String inner = decl.substr(open + 1, close == String::npos ? String::npos : close - open - 1);
  size_t comma = inner.find(u',');
  if (comma != String::npos) second = StrToIntDef(Trim(inner.substr(comma + 1)), 0);
  return StrToIntDef(Trim(inner.substr(0, comma)), 0);
}

void MapDeclType(const String& decl, TFieldDef& def) {
  String t = UpperCase(decl);
  Integer second = 0;
  Integer first = FirstNumber(t, second);
  def.Size = 0;
  if (Contains(t, u"MEMO") || Contains(t, u"LONGTEXT") || Contains(t, u"CLOB") || Contains(t, u"NTEXT") ||
      Contains(t, u"LONGCHAR") || Contains(t, u"MEDIUMTEXT")) {
    def.DataType = ftMemo;
  } else if (Contains(t, u"CHAR") || Contains(t, u"TEXT") || Contains(t, u"STRING")) {
    def.DataType = ftWideString;
    def.Size = first;
  } else if (Contains(t, u"BOOL") || t == u"BIT" || Contains(t, u"YESNO") || Contains(t, u"LOGICAL")) {
    def.DataType = ftBoolean;
  } else if (Contains(t, u"BIGINT") || Contains(t, u"INT64") || Contains(t, u"LARGEINT")) {
    def.DataType = ftLargeint;
  } else if (Contains(t, u"UNSIGNED SMALLINT") || Contains(t, u"WORD")) {
    def.DataType = ftWord;
  } else if (Contains(t, u"SMALLINT") || Contains(t, u"TINYINT") || Contains(t, u"INT2") || t == u"BYTE" ||
             t == u"SHORT") {
    def.DataType = ftSmallint;
  } else if (Contains(t, u"COUNTER") || Contains(t, u"AUTOINC")) {
    def.DataType = ftAutoInc;
  } else if (Contains(t, u"INT") || t == u"LONG") {
    def.DataType = ftInteger;
  } else if (Contains(t, u"CURRENCY") || Contains(t, u"MONEY")) {
    def.DataType = ftCurrency;
  } else if (Contains(t, u"DECIMAL") || Contains(t, u"NUMERIC")) {
    def.DataType = ftBCD;
    def.Precision = first;
    def.Size = second;
  } else if (Contains(t, u"REAL") || Contains(t, u"FLOA") || Contains(t, u"DOUB") || Contains(t, u"SINGLE")) {
    def.DataType = ftFloat;
  } else if (Contains(t, u"DATETIME") || Contains(t, u"TIMESTAMP")) {
    def.DataType = ftDateTime;
  } else if (Contains(t, u"DATE")) {
    def.DataType = ftDate;
  } else if (Contains(t, u"TIME")) {
    def.DataType = ftTime;
  } else if (Contains(t, u"GRAPHIC") || Contains(t, u"PICTURE")) {
    def.DataType = ftGraphic;
  } else if (Contains(t, u"BLOB") || Contains(t, u"BINARY") || Contains(t, u"IMAGE") || Contains(t, u"OLE")) {
    def.DataType = ftBlob;
  } else {
    def.DataType = ftWideString;
  }
}

TFieldType TypeOfStoredValue(TSQLiteStatement& stmt, Integer column) {
  switch (stmt.ColumnType(column)) {
    case TSQLiteType::Integer: {
      Int64 v = stmt.ColumnInt64(column);
      return v >= INT32_MIN && v <= INT32_MAX ? ftInteger : ftLargeint;
    }
    case TSQLiteType::Float: return ftFloat;
    case TSQLiteType::Blob: return ftBlob;
    default: return ftWideString;
  }
}

String DateText(TDateTime value, TFieldType type) {
  TFormatSettings fs = TFormatSettings::Invariant();
  fs.DateSeparator = u'-';
  fs.TimeSeparator = u':';
  Word h, n, s, ms;
  DecodeTime(value, h, n, s, ms);
  String time = ms ? u"hh:nn:ss.zzz" : u"hh:nn:ss";
  if (type == ftDate) return FormatDateTime(u"yyyy/mm/dd", value, fs);
  if (type == ftTime) return FormatDateTime(time, value, fs);
  return FormatDateTime(u"yyyy/mm/dd " + time, value, fs);
}

bool IsTextType(TFieldType type) {
  switch (type) {
    case ftString: case ftWideString: case ftFixedChar: case ftFixedWideChar: case ftMemo: case ftWideMemo:
    case ftFmtMemo: case ftUnknown:
      return true;
    default:
      return false;
  }
}

// A value read from storage in the field's own kind; a value that does not
// convert is kept as it is.
Variant ReadCell(const TSQLiteCell& Cell, TField* Field) {
  TFieldType type = Field ? Field->DataType() : ftUnknown;
  switch (Cell.Type) {
    case TSQLiteType::Null: return Null();
    case TSQLiteType::Integer: {
      Int64 v = Cell.Int;
      bool small32 = v >= INT32_MIN && v <= INT32_MAX;
      switch (type) {
        case ftInteger: case ftAutoInc: if (small32) return Variant(Integer(v)); break;
        case ftLargeint: return Variant(v);
        case ftFloat: case ftCurrency: return Variant(double(v));
        case ftBoolean: return Variant(v != 0);
        case ftUnknown: return small32 ? Variant(Integer(v)) : Variant(v);
        default: break;
      }
      return Field->ReadStoredValue(Variant(v));
    }
    case TSQLiteType::Float: {
      double d = Cell.Float;
      if (type == ftFloat || type == ftCurrency || type == ftUnknown) return Variant(d);
      return Field->ReadStoredValue(Variant(d));
    }
    case TSQLiteType::Text: {
      Variant s(SQLiteTextToString(Cell.Data, size_t(Cell.Size)));
      return IsTextType(type) ? s : Field->ReadStoredValue(s);
    }
    case TSQLiteType::Blob: {
      Variant b = VarFromRawByteString(Cell.Data ? RawByteString(Cell.Data, size_t(Cell.Size)) : RawByteString());
      return Field ? Field->ReadStoredValue(b) : b;
    }
  }
  return Null();
}

// How the loader reads a column: the common kinds are written straight
// into the record's cells; everything else goes through ReadCell.
enum class TColumnReader { General, Text, Integer, Smallint, Word, Float, DateTime, Date, Time };

TColumnReader ReaderOf(TField* Field) {
  if (!Field) return TColumnReader::General;
  TFieldType type = Field->DataType();
  if (IsTextType(type)) return TColumnReader::Text;
  if (type == ftInteger || type == ftAutoInc) return TColumnReader::Integer;
  if (type == ftFloat || type == ftCurrency) return TColumnReader::Float;
  // Dates are read in place only by the plain date fields, whose
  // conversion is known; others may convert in their own way.
  const std::type_info& kind = typeid(*Field);
  if (type == ftDateTime && kind == typeid(TDateTimeField)) return TColumnReader::DateTime;
  if (type == ftDate && kind == typeid(TDateField)) return TColumnReader::Date;
  if (type == ftTime && kind == typeid(TTimeField)) return TColumnReader::Time;
  // Small integers convert without a range check only when the field is a
  // plain one with no range of its own.
  auto* small = dynamic_cast<TIntegerField*>(Field);
  bool plain = small && small->MinValue() == 0 && small->MaxValue() == 0;
  if (plain && type == ftSmallint && kind == typeid(TSmallintField)) return TColumnReader::Smallint;
  if (plain && type == ftWord && kind == typeid(TWordField)) return TColumnReader::Word;
  return TColumnReader::General;
}

// A stored date text read as the plain date fields read it; false when it
// is not in the stored form.
bool ReadDateCell(const TSQLiteCell& Cell, TColumnReader Reader, TDateTime& Value) {
  if (Cell.Type != TSQLiteType::Text || !TryReadStoredDate(std::string_view(Cell.Data, size_t(Cell.Size)), Value))
    return false;
  if (Reader == TColumnReader::Date) Value = DateOf(Value);
  if (Reader == TColumnReader::Time) Value = TimeOf(Value);
  return true;
}

bool InRange(const TSQLiteCell& Cell, Int64 Least, Int64 Most) {
  return Cell.Type == TSQLiteType::Integer && Cell.Int >= Least && Cell.Int <= Most;
}

// Writes one column's value into a record being loaded, whose cells are
// all Null to begin with. Scratch is room for decoding texts.
void StoreCell(TRecordStore& Store, TRowHandle Row, Integer Slot, const TSQLiteCell& Cell, TColumnReader Reader,
               TField* Field, String& Scratch) {
  if (Cell.Type == TSQLiteType::Null) return;
  TDateTime date;
  switch (Reader) {
    case TColumnReader::Text:
      if (Cell.Type != TSQLiteType::Text) break;
      SQLiteTextToString(Cell.Data, size_t(Cell.Size), Scratch);
      Store.SetText(Row, Slot, Scratch);
      return;
    case TColumnReader::Integer:
      if (!InRange(Cell, INT32_MIN, INT32_MAX)) break;
      Store.SetInt(Row, Slot, varInteger, Cell.Int);
      return;
    case TColumnReader::Smallint:
      if (!InRange(Cell, MinSmallint, MaxSmallint)) break;
      Store.SetInt(Row, Slot, varSmallint, Cell.Int);
      return;
    case TColumnReader::Word:
      if (!InRange(Cell, 0, MaxWord)) break;
      Store.SetInt(Row, Slot, varWord, Cell.Int);
      return;
    case TColumnReader::Float:
      if (Cell.Type == TSQLiteType::Float) {
        Store.SetDouble(Row, Slot, varDouble, Cell.Float);
        return;
      }
      if (Cell.Type == TSQLiteType::Integer) {
        Store.SetDouble(Row, Slot, varDouble, double(Cell.Int));
        return;
      }
      break;
    case TColumnReader::DateTime:
    case TColumnReader::Date:
    case TColumnReader::Time:
      if (!ReadDateCell(Cell, Reader, date)) break;
      Store.SetDouble(Row, Slot, varDate, date);
      return;
    case TColumnReader::General:
      break;
  }
  Store.Set(Row, Slot, ReadCell(Cell, Field));
}

}  // namespace

// ---- TADOConnection -----------------------------------------------------------------------

TADOConnection::TADOConnection(TComponent* AOwner) : TComponent(AOwner) {}

TADOConnection::~TADOConnection() {
  Destroying();
  try {
    Close();
  } catch (...) {
  }
  for (TCustomADODataSet* ds : std::vector<TCustomADODataSet*>(FDataSets)) ds->SetConnection(nullptr);
}

String TADOConnection::ConnectionString() const {
  String result;
  for (auto& [name, value] : FProperties) {
    if (!result.empty()) result += u';';
    result += name + u"=" + QuoteConnectionValue(value);
  }
  return result;
}

void TADOConnection::SetConnectionString(const String& Value) {
  if (Connected()) Close();
  FProperties = ParseConnectionString(Value);
}

String TADOConnection::Property(const String& Name) const {
  for (auto& [name, value] : FProperties)
    if (AnsiSameText(name, Name)) return value;
  return String();
}

void TADOConnection::SetProperty(const String& Name, const String& Value) {
  for (auto& [name, value] : FProperties) {
    if (AnsiSameText(name, Name)) {
      value = Value;
      return;
    }
  }
  FProperties.emplace_back(Name, Value);
}

void TADOConnection::SetConnected(bool Value) {
  if (Value)
    Open();
  else
    Close();
}

void TADOConnection::Open() {
  if (Connected()) return;
  if (BeforeConnect) BeforeConnect(this);
  FDatabase = std::make_unique<TSQLiteDatabase>(Property(u"Data Source"));
  FTransLevel = 0;
  if (AfterConnect) AfterConnect(this);
}

void TADOConnection::Close() {
  if (!Connected()) return;
  bool events = !IsDestroying();
  if (events && BeforeDisconnect) BeforeDisconnect(this);
  for (TCustomADODataSet* ds : std::vector<TCustomADODataSet*>(FDataSets)) ds->ConnectionClosing();
  if (FTransLevel > 0) {
    try {
      FDatabase->Exec(u"ROLLBACK");
    } catch (...) {
    }
    FTransLevel = 0;
  }
  FDatabase.reset();
  if (events && AfterDisconnect) AfterDisconnect(this);
}

void TADOConnection::CheckConnected() const {
  if (!FDatabase) DatabaseError(SNotConnected, this);
}

TSQLiteDatabase* TADOConnection::Database() {
  if (!FDatabase) Open();
  return FDatabase.get();
}

Integer TADOConnection::Execute(const String& CommandText) {
  TSQLiteDatabase* db = Database();
  db->Exec(CommandText);
  return db->Changes();
}

Integer TADOConnection::BeginTrans() {
  TSQLiteDatabase* db = Database();
  // The write lock is taken at once, under the busy timeout: a transaction
  // that read first would be refused at its first write, without waiting,
  // while another program writes.
  if (FTransLevel == 0)
    db->Exec(u"BEGIN IMMEDIATE");
  else
    db->Exec(u"SAVEPOINT korvane_level" + IntToStr(FTransLevel + 1));
  return ++FTransLevel;
}

void TADOConnection::CommitTrans() {
  CheckConnected();
  if (FTransLevel == 0) DatabaseError(SNoTransaction, this);
  if (FTransLevel == 1)
    FDatabase->Exec(u"COMMIT");
  else
    FDatabase->Exec(u"RELEASE korvane_level" + IntToStr(FTransLevel));
  --FTransLevel;
}

void TADOConnection::RollbackTrans() {
  CheckConnected();
  if (FTransLevel == 0) DatabaseError(SNoTransaction, this);
  if (FTransLevel == 1) {
    FDatabase->Exec(u"ROLLBACK");
  } else {
    String name = u"korvane_level" + IntToStr(FTransLevel);
    FDatabase->Exec(u"ROLLBACK TO " + name + u"; RELEASE " + name);
  }
  --FTransLevel;
}

void TADOConnection::RegisterDataSet(TCustomADODataSet* DataSet) {
  if (std::find(FDataSets.begin(), FDataSets.end(), DataSet) == FDataSets.end()) FDataSets.push_back(DataSet);
}

void TADOConnection::UnregisterDataSet(TCustomADODataSet* DataSet) {
  FDataSets.erase(std::remove(FDataSets.begin(), FDataSets.end(), DataSet), FDataSets.end());
}

// ---- Master link -------------------------------------------------------------------------------

class TCustomADODataSet::TMasterLink : public TDataLink {
public:
  explicit TMasterLink(TCustomADODataSet* ADetail) : FDetail(ADetail) {}

protected:
  void ActiveChanged() override {
    if (Active()) Follow();
  }
  void DataSetChanged() override { Follow(); }
  void DataSetScrolled(Integer) override { Follow(); }
  void RecordChanged(TField* Field) override {
    if (Field && FDetail->Parameters()->FindParam(Field->FieldName())) Follow();
  }

private:
  void Follow() {
    if (FDetail->Active()) FDetail->MasterChanged();
  }
  TCustomADODataSet* FDetail;
};

// ---- TCustomADODataSet ----------------------------------------------------------------------------

TCustomADODataSet::TCustomADODataSet(TComponent* AOwner) : TDataSet(AOwner) {}

TCustomADODataSet::~TCustomADODataSet() {
  Destroying();
  try {
    Close();
  } catch (...) {
  }
  FMasterLink.reset();
  SetConnection(nullptr);
}

void TCustomADODataSet::SetConnection(TADOConnection* Value) {
  if (Value == FConnection) return;
  if (!IsDestroying()) Close();
  if (FConnection) {
    FConnection->UnregisterDataSet(this);
    FConnection->RemoveFreeNotification(this);
  }
  FConnection = Value;
  if (FConnection) {
    FConnection->RegisterDataSet(this);
    FConnection->FreeNotification(this);
  }
}

void TCustomADODataSet::Notification(TComponent* AComponent, TOperation Operation) {
  TDataSet::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FConnection) FConnection = nullptr;
}

void TCustomADODataSet::ConnectionClosing() { Close(); }

TDataSource* TCustomADODataSet::DataSource() const { return FMasterLink ? FMasterLink->DataSource() : nullptr; }

void TCustomADODataSet::SetDataSource(TDataSource* Value) {
  if (Value == DataSource()) return;
  for (TDataSource* s = Value; s; s = s->DataSet() ? s->DataSet()->MasterSource() : nullptr)
    if (s->DataSet() == this) DatabaseError(SCircularDataLink, this);
  if (!FMasterLink) FMasterLink = std::make_unique<TMasterLink>(this);
  FMasterLink->SetDataSource(Value);
}

bool TCustomADODataSet::CanModify() const {
  return TDataSet::CanModify() && FUpdatable && FLockType != ltReadOnly;
}

void TCustomADODataSet::SetParamsFromMaster() {
  TDataSource* source = DataSource();
  TDataSet* master = source ? source->DataSet() : nullptr;
  if (!master || !master->Active()) return;
  for (Integer i = 0; i < FParameters.Count(); ++i) {
    TParam* p = FParameters.Items(i);
    if (TField* f = master->FindField(p->Name())) {
      if (p->DataType() == ftUnknown) p->SetDataType(f->DataType());
      p->SetValue(f->IsNull() ? Null() : f->Value());
    }
  }
}

void TCustomADODataSet::MasterChanged() { Requery(); }

void TCustomADODataSet::Requery() {
  if (!Active()) return;
  CheckBrowseMode();
  DoBeforeScroll();
  SetParamsFromMaster();
  Reload(false);
  DoAfterScroll();
}

TSQLiteStatement TCustomADODataSet::PrepareWithParams(const String& SQL) {
  TSQLiteStatement stmt = FConnection->Database()->Prepare(SQL);
  for (Integer i = 1; i <= stmt.ParamCount(); ++i) {
    String name = stmt.ParamName(i);
    TParam* p = nullptr;
    if (!name.empty() && name[0] != u'?') {
      p = FParameters.FindParam(name.substr(1));
      if (!p) DatabaseError(FormatDbMessage(SParameterNotFound, {name.substr(1)}), this);
    } else {
      Integer index = name.size() > 1 ? StrToIntDef(name.substr(1), i) - 1 : i - 1;
      if (index < 0 || index >= FParameters.Count())
        DatabaseError(FormatDbMessage(SParameterNotFound, {IntToStr(index + 1)}), this);
      p = FParameters.Items(index);
    }
    BindValue(stmt, i, p->Value(), nullptr);
  }
  return stmt;
}

void TCustomADODataSet::BindValue(TSQLiteStatement& Stmt, Integer Index, const Variant& Value, TField* Field) const {
  if (IsBlank(Value)) {
    Stmt.BindNull(Index);
    return;
  }
  switch (VarType(Value)) {
    case varOleStr: Stmt.BindText(Index, Value.RawString()); break;
    case varString: Stmt.BindBlob(Index, Value.RawBytes()); break;
    case varBoolean: Stmt.BindInt64(Index, Value.AsBoolean() ? 1 : 0); break;
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord: case varLongWord:
    case varInt64:
      Stmt.BindInt64(Index, Value.AsInt64());
      break;
    case varSingle: case varDouble: case varCurrency: Stmt.BindDouble(Index, Value.AsDouble()); break;
    case varDate: Stmt.BindText(Index, DateText(Value.AsDateTime(), Field ? Field->DataType() : ftDateTime)); break;
    case varFMTBcdCode: Stmt.BindText(Index, BcdToStr(VarToBcd(Value), TFormatSettings::Invariant())); break;
    case varSQLTimeStampCode: Stmt.BindText(Index, DateText(Value.AsDateTime(), ftDateTime)); break;
    default:
      if (VarIsArray(Value)) DatabaseError(FormatDbMessage(SInvalidValue, {Field ? Field->FieldName() : String()}), this);
      Stmt.BindText(Index, VarToStr(Value));
      break;
  }
}

Variant TCustomADODataSet::ReadColumn(TSQLiteStatement& Stmt, Integer Column, TField* Field) const {
  return ReadCell(Stmt.Cell(Column), Field);
}

void TCustomADODataSet::Analyze(TSQLiteStatement& Probe, const String& SQL) {
  FUpdatable = false;
  FHasRowIdColumn = false;
  FSelectText = SQL;
  FBaseColumns.clear();
  FBaseDatabase.clear();
  FBaseTable.clear();
  size_t insertAt = RowIdInsertPoint(SQL);
  if (insertAt == String::npos) return;
  Integer n = Probe.ColumnCount();
  std::vector<String> columns;
  for (Integer i = 0; i < n; ++i) {
    TSQLiteColumnOrigin origin = Probe.ColumnOrigin(i);
    if (origin.IsComputed()) return;
    if (i == 0) {
      FBaseDatabase = origin.Database;
      FBaseTable = origin.Table;
    } else if (origin.Database != FBaseDatabase || origin.Table != FBaseTable) {
      return;
    }
    columns.push_back(origin.Column);
  }
  String rewritten = SQL.substr(0, insertAt) + u" _rowid_ AS korvane_rowid_," + SQL.substr(insertAt);
  try {
    TSQLiteStatement check = FConnection->Database()->Prepare(rewritten);
    if (check.ColumnCount() != n + 1) return;
  } catch (const EDatabaseError&) {
    return;
  }
  FSelectText = rewritten;
  FHasRowIdColumn = true;
  FBaseColumns = std::move(columns);
  FUpdatable = true;
}

void TCustomADODataSet::InternalOpen() {
  if (!FConnection) DatabaseError(SMissingConnection, this);
  TSQLiteDatabase* db = FConnection->Database();
  SetParamsFromMaster();
  String sql = CommandText();
  if (Trim(sql).empty()) DatabaseError(SNoResultSet, this);
  TSQLiteStatement probe = PrepareWithParams(sql);
  Integer n = probe.ColumnCount();
  if (n == 0) DatabaseError(SNoResultSet, this);
  Analyze(probe, sql);
  FieldDefs()->Clear();
  bool computed = false;
  for (Integer i = 0; i < n; ++i) {
    String name = probe.ColumnName(i);
    String unique = name;
    for (Integer k = 1; FieldDefs()->IndexOf(unique) >= 0; ++k) unique = name + u"_" + IntToStr(k);
    TFieldDef& def = FieldDefs()->Add(unique, ftUnknown);
    String decl = probe.ColumnDeclType(i);
    TSQLiteColumnOrigin origin = probe.ColumnOrigin(i);
    if (!origin.IsComputed()) def.Origin = origin.Table + u"." + origin.Column;
    if (decl.empty()) {
      computed = true;
      continue;
    }
    MapDeclType(decl, def);
    TSQLiteColumnInfo info;
    if (!origin.IsComputed() && db->ColumnInfo(origin.Database, origin.Table, origin.Column, info) &&
        info.PrimaryKey && UpperCase(Trim(info.DeclType)) == u"INTEGER")
      def.DataType = ftAutoInc;
  }
  if (computed) {
    // Computed columns take the kind of their first value.
    bool row = probe.Step();
    for (Integer i = 0; i < n; ++i) {
      TFieldDef& def = FieldDefs()->Items(i);
      if (def.DataType == ftUnknown) def.DataType = row ? TypeOfStoredValue(probe, i) : ftWideString;
    }
  }
}

void TCustomADODataSet::InternalLoad() {
  TSQLiteStatement stmt = PrepareWithParams(FSelectText);
  Integer offset = FHasRowIdColumn ? 1 : 0;
  Integer n = ColumnCount();
  std::vector<TField*> fields(n);
  std::vector<TColumnReader> readers(n);
  for (Integer i = 0; i < n; ++i) {
    fields[i] = FieldOfColumn(i);
    readers[i] = ReaderOf(fields[i]);
  }
  TRecordStore& store = Records();
  String scratch;
  while (stmt.Step()) {
    TSQLiteCell rowId = FHasRowIdColumn ? stmt.Cell(0) : TSQLiteCell();
    bool hasRowId = rowId.Type == TSQLiteType::Integer;
    if (FHasRowIdColumn && !hasRowId) FUpdatable = false;
    TRowHandle row = AppendRecord(hasRowId, rowId.Int);
    for (Integer i = 0; i < n; ++i) StoreCell(store, row, i, stmt.Cell(i + offset), readers[i], fields[i], scratch);
  }
}

void TCustomADODataSet::InternalClose() {
  FUpdatable = false;
  FHasRowIdColumn = false;
  FBaseColumns.clear();
}

void TCustomADODataSet::WriteInSavepoint(const std::function<void()>& Work) {
  TSQLiteDatabase* db = FConnection->Database();
  db->Exec(u"SAVEPOINT korvane_post");
  try {
    Work();
  } catch (...) {
    try {
      db->Exec(u"ROLLBACK TO korvane_post; RELEASE korvane_post");
    } catch (...) {
    }
    throw;
  }
  db->Exec(u"RELEASE korvane_post");
}

void TCustomADODataSet::RereadRow(Int64 RowId, std::vector<Variant>& Values) {
  String sql = u"SELECT ";
  for (size_t i = 0; i < FBaseColumns.size(); ++i) sql += (i ? u", " : u"") + SQLiteQuoteName(FBaseColumns[i]);
  sql += u" FROM " + SQLiteQuoteName(FBaseDatabase) + u"." + SQLiteQuoteName(FBaseTable) + u" WHERE _rowid_ = ?";
  TSQLiteStatement stmt = FConnection->Database()->Prepare(sql);
  stmt.BindInt64(1, RowId);
  if (!stmt.Step()) return;
  for (Integer i = 0; i < Integer(FBaseColumns.size()) && i < Integer(Values.size()); ++i)
    Values[i] = ReadColumn(stmt, i, FieldOfColumn(i));
}

void TCustomADODataSet::InternalPost(TRecordData& Record, std::vector<Variant>& NewValues, bool Inserting) {
  if (!FUpdatable || !FConnection) DatabaseError(SDataSetReadOnly, this);
  TSQLiteDatabase* db = FConnection->Database();
  String table = SQLiteQuoteName(FBaseDatabase) + u"." + SQLiteQuoteName(FBaseTable);
  std::vector<Integer> columns;
  Integer n = Integer(FBaseColumns.size());
  for (Integer i = 0; i < n; ++i) {
    const Variant& now = NewValues[i];
    if (Inserting) {
      if (!IsBlank(now)) columns.push_back(i);
      continue;
    }
    const Variant& was = Record.Values[i];
    bool same = IsBlank(now) ? IsBlank(was)
                             : !IsBlank(was) && VarType(now) == VarType(was) && VarSameValue(now, was);
    if (!same) columns.push_back(i);
  }
  if (!Inserting) {
    if (columns.empty()) return;
    String sql = u"UPDATE " + table + u" SET ";
    for (size_t k = 0; k < columns.size(); ++k) sql += (k ? u", " : u"") + SQLiteQuoteName(FBaseColumns[columns[k]]) + u" = ?";
    sql += u" WHERE _rowid_ = ?";
    // One statement changes the row or nothing: no save point is needed.
    TSQLiteStatement stmt = db->Prepare(sql);
    for (size_t k = 0; k < columns.size(); ++k)
      BindValue(stmt, Integer(k) + 1, NewValues[columns[k]], FieldOfColumn(columns[k]));
    stmt.BindInt64(Integer(columns.size()) + 1, Record.RowId);
    stmt.Step();
    if (db->Changes() == 0) DatabaseError(SRowGone, this);
    return;
  }
  String sql = u"INSERT INTO " + table;
  if (columns.empty()) {
    sql += u" DEFAULT VALUES";
  } else {
    String names, marks;
    for (size_t k = 0; k < columns.size(); ++k) {
      names += (k ? u", " : u"") + SQLiteQuoteName(FBaseColumns[columns[k]]);
      marks += k ? u", ?" : u"?";
    }
    sql += u" (" + names + u") VALUES (" + marks + u")";
  }
  Int64 rowId = 0;
  WriteInSavepoint([&] {
    TSQLiteStatement stmt = db->Prepare(sql);
    for (size_t k = 0; k < columns.size(); ++k)
      BindValue(stmt, Integer(k) + 1, NewValues[columns[k]], FieldOfColumn(columns[k]));
    stmt.Step();
    rowId = db->LastInsertRowId();
    // Values the database gave the new row (defaults, keys) come back.
    RereadRow(rowId, NewValues);
  });
  Record.RowId = rowId;
  Record.HasRowId = true;
}

void TCustomADODataSet::InternalDelete(TRecordData& Record) {
  if (!FUpdatable || !FConnection || !Record.HasRowId) DatabaseError(SDataSetReadOnly, this);
  TSQLiteDatabase* db = FConnection->Database();
  String sql = u"DELETE FROM " + SQLiteQuoteName(FBaseDatabase) + u"." + SQLiteQuoteName(FBaseTable) +
               u" WHERE _rowid_ = ?";
  // One statement: it deletes the row or nothing.
  TSQLiteStatement stmt = db->Prepare(sql);
  stmt.BindInt64(1, Record.RowId);
  stmt.Step();
  if (db->Changes() == 0) DatabaseError(SRowGone, this);
}

// ---- TADOQuery ----------------------------------------------------------------------------------

TADOQuery::TADOQuery(TComponent* AOwner) : TCustomADODataSet(AOwner), FSQL(std::make_unique<TStringList>()) {
  FSQL->OnChange = TNotifyEvent(this, &TADOQuery::SQLChanged);
}

TADOQuery::~TADOQuery() {
  Destroying();
  try {
    Close();
  } catch (...) {
  }
  FSQL->OnChange = nullptr;
}

void TADOQuery::SQLChanged(TObject*) {
  Close();
  Parameters()->ParseSQL(FSQL->Text(), true);
}

String TADOQuery::CommandText() const { return FSQL->Text(); }

Integer TADOQuery::ExecSQL() {
  if (!Connection()) DatabaseError(SMissingConnection, this);
  TSQLiteDatabase* db = Connection()->Database();
  TSQLiteStatement stmt = PrepareWithParams(CommandText());
  while (stmt.Step()) {
  }
  FRowsAffected = stmt.IsReadOnly() ? 0 : db->Changes();
  return FRowsAffected;
}
