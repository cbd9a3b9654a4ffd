#pragma once
// A thin owner of one SQLite database handle and its prepared statements.
// Every failure raises EDatabaseError with SQLite's own message. Text that
// has no faithful UTF-8 form (half of a surrogate pair alone), bound or in
// the SQL text, raises EDatabaseError before it reaches SQLite.
#include <memory>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/types.h"

struct sqlite3;
struct sqlite3_stmt;

// Storage class of a column value in a result row.
enum class TSQLiteType { Integer, Float, Text, Blob, Null };

// Where a result column comes from (empty strings for computed columns).
struct TSQLiteColumnOrigin {
  String Database;
  String Table;
  String Column;
  bool IsComputed() const { return Table.empty() || Column.empty(); }
};

// One column of the current row as SQLite holds it, read in one call. Data
// and Size give the bytes of a text (UTF-8) or blob; they stay valid until
// the next step, reset or read of the same column in another form.
struct TSQLiteCell {
  TSQLiteType Type = TSQLiteType::Null;
  Int64 Int = 0;        // Integer
  double Float = 0;     // Float
  const char* Data = nullptr;  // Text, Blob
  Integer Size = 0;            // Text, Blob: bytes
};

class TSQLiteStatement {
public:
  TSQLiteStatement(sqlite3* db, sqlite3_stmt* stmt);
  TSQLiteStatement(TSQLiteStatement&& other) noexcept;
  TSQLiteStatement& operator=(TSQLiteStatement&& other) noexcept;
  TSQLiteStatement(const TSQLiteStatement&) = delete;
  TSQLiteStatement& operator=(const TSQLiteStatement&) = delete;
  ~TSQLiteStatement();

  // Parameters: indexes are 1-based, as SQLite counts them.
  Integer ParamCount() const;
  String ParamName(Integer index) const;  // with its prefix (":code"), empty for "?"
  void BindNull(Integer index);
  void BindInt64(Integer index, Int64 value);
  void BindDouble(Integer index, double value);
  void BindText(Integer index, const String& value);
  void BindBlob(Integer index, const RawByteString& value);

  // Runs one step: true when a row is available, false when done.
  bool Step();
  void Reset();

  // Result columns: indexes are 0-based.
  Integer ColumnCount() const;
  String ColumnName(Integer index) const;
  String ColumnDeclType(Integer index) const;  // empty for expressions
  TSQLiteColumnOrigin ColumnOrigin(Integer index) const;
  TSQLiteType ColumnType(Integer index) const;
  Int64 ColumnInt64(Integer index) const;
  double ColumnDouble(Integer index) const;
  String ColumnText(Integer index) const;
  RawByteString ColumnBlob(Integer index) const;
  // The storage class and payload of a column without converting it: the
  // cheap way to read a whole row.
  TSQLiteCell Cell(Integer index) const;

  bool IsReadOnly() const;

private:
  void Check(int rc) const;
  sqlite3* FDb = nullptr;
  sqlite3_stmt* FStmt = nullptr;
};

// Column facts of a table, as the schema declares them.
struct TSQLiteColumnInfo {
  String DeclType;
  bool NotNull = false;
  bool PrimaryKey = false;
  bool AutoIncrement = false;
};

class TSQLiteDatabase {
public:
  // Opens an existing database file for reading and writing; a missing file
  // is an error and is never created. The busy timeout is set and foreign
  // keys are enforced.
  explicit TSQLiteDatabase(const String& fileName);
  ~TSQLiteDatabase();
  TSQLiteDatabase(const TSQLiteDatabase&) = delete;
  TSQLiteDatabase& operator=(const TSQLiteDatabase&) = delete;

  TSQLiteStatement Prepare(const String& sql);
  // Runs one or more statements without parameters.
  void Exec(const String& sql);

  Int64 LastInsertRowId() const;
  Integer Changes() const;
  bool InTransaction() const;  // false in autocommit mode
  bool ColumnInfo(const String& database, const String& table, const String& column,
                  TSQLiteColumnInfo& info) const;
  const String& FileName() const { return FFileName; }

  [[noreturn]] void RaiseError(int rc) const;

private:
  sqlite3* FDb = nullptr;
  String FFileName;
};

// UTF-8 text as SQLite stores it, as a String: the same result as
// UTF8ToString, in one allocation and with a fast path for ASCII.
String SQLiteTextToString(const char* Data, size_t Size);
// The same into Out, reusing its room: no allocation once Out is large enough.
void SQLiteTextToString(const char* Data, size_t Size, String& Out);

// Writes an identifier in double quotes, inner quotes doubled.
String SQLiteQuoteName(const String& name);
