#include "platform/db/sqlitedb.h"

#include <sqlite3.h>

#include <cstring>
#include <utility>

#include "platform/rtl/encoding.h"
#include "platform/rtl/sysutils.h"

namespace {

constexpr int BusyTimeoutMs = 5000;

String FromUtf8(const char* text) { return text ? UTF8ToString(text) : String(); }

[[noreturn]] void RaiseText(const String& text) { throw EDatabaseError(text); }

// Whether every byte is below 0x80, eight bytes at a time.
bool IsAscii(const unsigned char* Bytes, size_t Size) {
  UInt64 high = 0;
  size_t i = 0;
  for (; i + 8 <= Size; i += 8) {
    UInt64 word;
    std::memcpy(&word, Bytes + i, sizeof word);
    high |= word;
  }
  for (; i < Size; ++i) high |= Bytes[i];
  return (high & 0x8080808080808080ULL) == 0;
}

// Decodes one well-formed sequence at I into a code point and moves I past
// it; false for anything the general decoder would replace.
bool DecodeSequence(const unsigned char* Bytes, size_t Size, size_t& I, char32_t& Code) {
  static constexpr char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
  unsigned char b = Bytes[I];
  size_t len = b < 0x80 ? 1 : b >= 0xF8 ? 0 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
  if (len == 0 || I + len > Size) return false;
  if (len == 1) {
    Code = b;
    ++I;
    return true;
  }
  char32_t cp = b & (0x7F >> len);
  for (size_t k = 1; k < len; ++k) {
    if ((Bytes[I + k] & 0xC0) != 0x80) return false;
    cp = (cp << 6) | (Bytes[I + k] & 0x3F);
  }
  if (cp < least[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
  Code = cp;
  I += len;
  return true;
}

// Well-formed UTF-8 into Out, sized beforehand to its exact code units:
// one per lead or single byte, one more per four-byte sequence.
bool DecodeWellFormed(const unsigned char* Bytes, size_t Size, String& Out) {
  size_t units = 0;
  for (size_t i = 0; i < Size; ++i) units += ((Bytes[i] & 0xC0) != 0x80) + (Bytes[i] >= 0xF0);
  Out.assign(units, u'\0');
  size_t out = 0;
  for (size_t i = 0; i < Size;) {
    char32_t cp;
    if (!DecodeSequence(Bytes, Size, i, cp)) return false;
    size_t need = cp >= 0x10000 ? 2 : 1;
    if (out + need > units) return false;
    if (need == 2) {
      cp -= 0x10000;
      Out[out++] = Char(0xD800 + (cp >> 10));
      Out[out++] = Char(0xDC00 + (cp & 0x3FF));
    } else {
      Out[out++] = Char(cp);
    }
  }
  return out == units;
}

// Text in the UTF-8 that SQLite stores. Half of a surrogate pair alone has
// no UTF-8 form: it is refused rather than stored as U+FFFD, which would
// change the text without a word.
std::string ToStoredText(const String& Text, const char16_t* What) {
  for (size_t i = 0; i < Text.size(); ++i) {
    Char c = Text[i];
    if (c < 0xD800 || c > 0xDFFF) continue;
    if (c <= 0xDBFF && i + 1 < Text.size() && Text[i + 1] >= 0xDC00 && Text[i + 1] <= 0xDFFF) {
      ++i;
      continue;
    }
    RaiseText(String(What) + u" holds an unpaired UTF-16 surrogate (U+" + IntToHex(Integer(c), 4) +
              u" at character " + IntToStr(Integer(i) + 1) + u") and cannot be stored as it is");
  }
  return StringToUTF8(Text);
}

}  // namespace

String SQLiteTextToString(const char* Data, size_t Size) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(Data);
  if (IsAscii(bytes, Size)) return String(bytes, bytes + Size);
  String result;
  if (DecodeWellFormed(bytes, Size, result)) return result;
  // Malformed text: the general decoder replaces what it cannot read.
  return UTF8ToString(std::string_view(Data, Size));
}

void SQLiteTextToString(const char* Data, size_t Size, String& Out) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(Data);
  if (IsAscii(bytes, Size)) {
    Out.assign(bytes, bytes + Size);
    return;
  }
  if (DecodeWellFormed(bytes, Size, Out)) return;
  Out = UTF8ToString(std::string_view(Data, Size));
}

String SQLiteQuoteName(const String& name) {
  String result = u"\"";
  for (Char c : name) {
    if (c == u'"') result += u'"';
    result += c;
  }
  result += u'"';
  return result;
}

// ---- TSQLiteStatement --------------------------------------------------------

TSQLiteStatement::TSQLiteStatement(sqlite3* db, sqlite3_stmt* stmt) : FDb(db), FStmt(stmt) {}

TSQLiteStatement::TSQLiteStatement(TSQLiteStatement&& other) noexcept
    : FDb(std::exchange(other.FDb, nullptr)), FStmt(std::exchange(other.FStmt, nullptr)) {}

TSQLiteStatement& TSQLiteStatement::operator=(TSQLiteStatement&& other) noexcept {
  if (this != &other) {
    sqlite3_finalize(FStmt);
    FDb = std::exchange(other.FDb, nullptr);
    FStmt = std::exchange(other.FStmt, nullptr);
  }
  return *this;
}

TSQLiteStatement::~TSQLiteStatement() { sqlite3_finalize(FStmt); }

void TSQLiteStatement::Check(int rc) const {
  if (rc != SQLITE_OK) RaiseText(FromUtf8(sqlite3_errmsg(FDb)));
}

Integer TSQLiteStatement::ParamCount() const { return sqlite3_bind_parameter_count(FStmt); }

String TSQLiteStatement::ParamName(Integer index) const {
  return FromUtf8(sqlite3_bind_parameter_name(FStmt, index));
}

void TSQLiteStatement::BindNull(Integer index) { Check(sqlite3_bind_null(FStmt, index)); }

void TSQLiteStatement::BindInt64(Integer index, Int64 value) {
  Check(sqlite3_bind_int64(FStmt, index, value));
}

void TSQLiteStatement::BindDouble(Integer index, double value) {
  Check(sqlite3_bind_double(FStmt, index, value));
}

void TSQLiteStatement::BindText(Integer index, const String& value) {
  std::string utf8 = ToStoredText(value, u"The text");
  Check(sqlite3_bind_text64(FStmt, index, utf8.data(), utf8.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
}

void TSQLiteStatement::BindBlob(Integer index, const RawByteString& value) {
  Check(sqlite3_bind_blob64(FStmt, index, value.data(), value.size(), SQLITE_TRANSIENT));
}

bool TSQLiteStatement::Step() {
  int rc = sqlite3_step(FStmt);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  String message = FromUtf8(sqlite3_errmsg(FDb));
  sqlite3_reset(FStmt);
  RaiseText(message);
}

void TSQLiteStatement::Reset() {
  sqlite3_reset(FStmt);
  sqlite3_clear_bindings(FStmt);
}

Integer TSQLiteStatement::ColumnCount() const { return sqlite3_column_count(FStmt); }

String TSQLiteStatement::ColumnName(Integer index) const {
  return FromUtf8(sqlite3_column_name(FStmt, index));
}

String TSQLiteStatement::ColumnDeclType(Integer index) const {
  return FromUtf8(sqlite3_column_decltype(FStmt, index));
}

TSQLiteColumnOrigin TSQLiteStatement::ColumnOrigin(Integer index) const {
  return {FromUtf8(sqlite3_column_database_name(FStmt, index)),
          FromUtf8(sqlite3_column_table_name(FStmt, index)),
          FromUtf8(sqlite3_column_origin_name(FStmt, index))};
}

TSQLiteType TSQLiteStatement::ColumnType(Integer index) const {
  switch (sqlite3_column_type(FStmt, index)) {
    case SQLITE_INTEGER: return TSQLiteType::Integer;
    case SQLITE_FLOAT: return TSQLiteType::Float;
    case SQLITE_TEXT: return TSQLiteType::Text;
    case SQLITE_BLOB: return TSQLiteType::Blob;
    default: return TSQLiteType::Null;
  }
}

Int64 TSQLiteStatement::ColumnInt64(Integer index) const { return sqlite3_column_int64(FStmt, index); }

double TSQLiteStatement::ColumnDouble(Integer index) const { return sqlite3_column_double(FStmt, index); }

String TSQLiteStatement::ColumnText(Integer index) const {
  // UTF-8 is the stored form: reading it is far cheaper than asking SQLite
  // for UTF-16.
  auto text = reinterpret_cast<const char*>(sqlite3_column_text(FStmt, index));
  int size = sqlite3_column_bytes(FStmt, index);
  return text ? SQLiteTextToString(text, size_t(size)) : String();
}

RawByteString TSQLiteStatement::ColumnBlob(Integer index) const {
  auto data = static_cast<const char*>(sqlite3_column_blob(FStmt, index));
  int size = sqlite3_column_bytes(FStmt, index);
  return data ? RawByteString(data, size) : RawByteString();
}

TSQLiteCell TSQLiteStatement::Cell(Integer index) const {
  // One look-up of the column; the value calls that follow skip the
  // statement's checks, which matter only for shared connections.
  TSQLiteCell cell;
  sqlite3_value* value = sqlite3_column_value(FStmt, index);
  switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
      cell.Type = TSQLiteType::Integer;
      cell.Int = sqlite3_value_int64(value);
      break;
    case SQLITE_FLOAT:
      cell.Type = TSQLiteType::Float;
      cell.Float = sqlite3_value_double(value);
      break;
    case SQLITE_TEXT:
      cell.Type = TSQLiteType::Text;
      cell.Data = reinterpret_cast<const char*>(sqlite3_value_text(value));
      cell.Size = cell.Data ? sqlite3_value_bytes(value) : 0;
      break;
    case SQLITE_BLOB:
      cell.Type = TSQLiteType::Blob;
      cell.Data = static_cast<const char*>(sqlite3_value_blob(value));
      cell.Size = cell.Data ? sqlite3_value_bytes(value) : 0;
      break;
    default:
      break;
  }
  return cell;
}

bool TSQLiteStatement::IsReadOnly() const { return sqlite3_stmt_readonly(FStmt) != 0; }

// ---- TSQLiteDatabase ---------------------------------------------------------

TSQLiteDatabase::TSQLiteDatabase(const String& fileName) : FFileName(fileName) {
  if (fileName.empty()) RaiseText(u"No database file name given");
  std::string path = StringToUTF8(fileName);
  // A name that looks like a URI is taken as a plain relative file name.
  if (path.rfind("file:", 0) == 0) path = "./" + path;
  // Read and write only: a missing file fails instead of being created, and
  // the name is never read as a URI.
  // One connection serves one thread: no mutex on every call.
  int rc = sqlite3_open_v2(path.c_str(), &FDb, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    String message = FDb ? FromUtf8(sqlite3_errmsg(FDb)) : String(u"out of memory");
    sqlite3_close(FDb);
    FDb = nullptr;
    RaiseText(u"Cannot open database file '" + fileName + u"': " + message);
  }
  sqlite3_extended_result_codes(FDb, 1);
  sqlite3_busy_timeout(FDb, BusyTimeoutMs);
  try {
    // Reading the schema proves the file is a database at all.
    Exec(u"PRAGMA foreign_keys = ON; SELECT count(*) FROM sqlite_master;");
  } catch (...) {
    sqlite3_close(FDb);
    FDb = nullptr;
    throw;
  }
}

TSQLiteDatabase::~TSQLiteDatabase() { sqlite3_close_v2(FDb); }

void TSQLiteDatabase::RaiseError(int) const { RaiseText(FromUtf8(sqlite3_errmsg(FDb))); }

TSQLiteStatement TSQLiteDatabase::Prepare(const String& sql) {
  std::string utf8 = ToStoredText(sql, u"The SQL text");
  sqlite3_stmt* stmt = nullptr;
  const char* tail = nullptr;
  int rc = sqlite3_prepare_v2(FDb, utf8.c_str(), int(utf8.size()), &stmt, &tail);
  if (rc != SQLITE_OK) RaiseError(rc);
  if (!stmt) RaiseText(u"The SQL text holds no statement");
  TSQLiteStatement result(FDb, stmt);
  for (; tail && *tail; ++tail) {
    if (*tail == ';' || static_cast<unsigned char>(*tail) <= ' ') continue;
    RaiseText(u"The SQL text holds more than one statement");
  }
  return result;
}

void TSQLiteDatabase::Exec(const String& sql) {
  std::string utf8 = ToStoredText(sql, u"The SQL text");
  char* error = nullptr;
  int rc = sqlite3_exec(FDb, utf8.c_str(), nullptr, nullptr, &error);
  if (rc != SQLITE_OK) {
    String message = error ? FromUtf8(error) : FromUtf8(sqlite3_errmsg(FDb));
    sqlite3_free(error);
    RaiseText(message);
  }
}

Int64 TSQLiteDatabase::LastInsertRowId() const { return sqlite3_last_insert_rowid(FDb); }

Integer TSQLiteDatabase::Changes() const { return sqlite3_changes(FDb); }

bool TSQLiteDatabase::InTransaction() const { return sqlite3_get_autocommit(FDb) == 0; }

bool TSQLiteDatabase::ColumnInfo(const String& database, const String& table,
                                 const String& column, TSQLiteColumnInfo& info) const {
  std::string db = StringToUTF8(database), tb = StringToUTF8(table), col = StringToUTF8(column);
  const char* declType = nullptr;
  const char* collation = nullptr;
  int notNull = 0, primaryKey = 0, autoInc = 0;
  int rc = sqlite3_table_column_metadata(FDb, db.empty() ? nullptr : db.c_str(), tb.c_str(),
                                         col.c_str(), &declType, &collation, &notNull,
                                         &primaryKey, &autoInc);
  if (rc != SQLITE_OK) return false;
  info.DeclType = FromUtf8(declType);
  info.NotNull = notNull != 0;
  info.PrimaryKey = primaryKey != 0;
  info.AutoIncrement = autoInc != 0;
  return true;
}
