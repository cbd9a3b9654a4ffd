#pragma once
// The connection and query components over an SQLite database file.
//
// TADOConnection reads its file name from the "Data Source" property of its
// connection string; opening a file that does not exist is an error and
// never creates it. TADOQuery reads its whole result into memory when it
// opens (a static cursor); each post and delete is written back to the one
// table the select reads, by the row's SQLite rowid, with bound values,
// inside a transaction. A select over several tables, with computed
// columns, DISTINCT, GROUP BY or a compound select is read-only. Errors of
// the database become EDatabaseError with its message.
#include <memory>
#include <utility>
#include <vector>

#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/params.h"
#include "platform/rtl/stringlist.h"

class TSQLiteDatabase;
class TSQLiteStatement;
class TCustomADODataSet;

enum TConnectMode {
  cmUnknown, cmRead, cmWrite, cmReadWrite, cmShareDenyRead, cmShareDenyWrite, cmShareExclusive,
  cmShareDenyNone
};
enum TCursorType { ctUnspecified, ctOpenForwardOnly, ctKeyset, ctDynamic, ctStatic };
enum TCursorLocation { clUseServer, clUseClient };
enum TADOLockType { ltUnspecified, ltReadOnly, ltPessimistic, ltOptimistic, ltBatchOptimistic };
enum TExecuteOption { eoAsyncExecute, eoAsyncFetch, eoAsyncFetchNonBlocking, eoExecuteNoRecords };
using TExecuteOptions = std::set<TExecuteOption>;

class TADOConnection : public TComponent {
  KORVANE_CLASS(TADOConnection, TComponent)
  explicit TADOConnection(TComponent* AOwner);
  ~TADOConnection() override;

  // "Name=Value;Name=Value": values may be quoted with " or '.
  String ConnectionString() const;
  void SetConnectionString(const String& Value);
  // One property of the connection string ("" when absent).
  String Property(const String& Name) const;
  void SetProperty(const String& Name, const String& Value);
  String Provider() const { return Property(u"Provider"); }
  void SetProvider(const String& Value) { SetProperty(u"Provider", Value); }

  bool Connected() const { return FDatabase != nullptr; }
  void SetConnected(bool Value);
  // BeforeConnect, then opens the file named by "Data Source", then AfterConnect.
  void Open();
  // BeforeDisconnect, closes every dataset of the connection, rolls back
  // an open transaction and closes the file, then AfterDisconnect.
  void Close();
  bool LoginPrompt() const { return FLoginPrompt; }
  void SetLoginPrompt(bool Value) { FLoginPrompt = Value; }
  TConnectMode Mode() const { return FMode; }
  void SetMode(TConnectMode Value) { FMode = Value; }

  // Runs a statement without parameters; answers the rows it changed.
  Integer Execute(const String& CommandText);

  // Transactions; nested calls use save points. BeginTrans answers the new level.
  // The outermost one takes the write lock at once, waiting up to the busy
  // timeout while another program writes.
  Integer BeginTrans();
  void CommitTrans();
  void RollbackTrans();
  bool InTransaction() const { return FTransLevel > 0; }

  Integer DataSetCount() const { return Integer(FDataSets.size()); }
  TCustomADODataSet* DataSets(Integer Index) const { return FDataSets.at(Index); }

  TNotifyEvent BeforeConnect, AfterConnect, BeforeDisconnect, AfterDisconnect;

  // ---- For datasets ----
  // Connects when needed and answers the open database.
  TSQLiteDatabase* Database();
  void RegisterDataSet(TCustomADODataSet* DataSet);
  void UnregisterDataSet(TCustomADODataSet* DataSet);

private:
  void CheckConnected() const;
  std::vector<std::pair<String, String>> FProperties;
  std::unique_ptr<TSQLiteDatabase> FDatabase;
  std::vector<TCustomADODataSet*> FDataSets;
  bool FLoginPrompt = true;
  TConnectMode FMode = cmUnknown;
  Integer FTransLevel = 0;
};

class TCustomADODataSet : public TDataSet {
  KORVANE_CLASS(TCustomADODataSet, TDataSet)
  explicit TCustomADODataSet(TComponent* AOwner);
  ~TCustomADODataSet() override;

  TADOConnection* Connection() const { return FConnection; }
  void SetConnection(TADOConnection* Value);
  TParams* Parameters() { return &FParameters; }
  // The master: parameters take the values of its fields of the same
  // names, and the query runs again whenever the master moves.
  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* Value);
  TDataSource* MasterSource() const override { return DataSource(); }

  // Accepted for the callers' settings; the cursor is always static.
  TCursorType CursorType() const { return FCursorType; }
  void SetCursorType(TCursorType Value) { FCursorType = Value; }
  TCursorLocation CursorLocation() const { return FCursorLocation; }
  void SetCursorLocation(TCursorLocation Value) { FCursorLocation = Value; }
  // ltReadOnly makes the dataset read-only; the others are accepted.
  TADOLockType LockType() const { return FLockType; }
  void SetLockType(TADOLockType Value) { FLockType = Value; }
  const TExecuteOptions& ExecuteOptions() const { return FExecuteOptions; }
  void SetExecuteOptions(const TExecuteOptions& Value) { FExecuteOptions = Value; }

  bool CanModify() const override;
  // Whether the open result can be written back (one base table with rowids).
  bool Updatable() const { return FUpdatable; }
  // Runs the statement again with the parameters' current values, keeping
  // the fields; the cursor goes to the first record.
  void Requery();
  Integer RowsAffected() const { return FRowsAffected; }
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void ConnectionClosing();

protected:
  virtual String CommandText() const = 0;
  void InternalOpen() override;
  void InternalLoad() override;
  void InternalClose() override;
  void InternalPost(TRecordData& Record, std::vector<Variant>& NewValues, bool Inserting) override;
  void InternalDelete(TRecordData& Record) override;
  // Prepares the text and binds the parameters.
  TSQLiteStatement PrepareWithParams(const String& SQL);
  void SetParamsFromMaster();
  Integer FRowsAffected = 0;

private:
  class TMasterLink;
  friend class TMasterLink;
  void MasterChanged() override;
  void Analyze(TSQLiteStatement& Probe, const String& SQL);
  Variant ReadColumn(TSQLiteStatement& Stmt, Integer Column, TField* Field) const;
  void BindValue(TSQLiteStatement& Stmt, Integer Index, const Variant& Value, TField* Field) const;
  void WriteInSavepoint(const std::function<void()>& Work);
  void RereadRow(Int64 RowId, std::vector<Variant>& Values);

  TADOConnection* FConnection = nullptr;
  TParams FParameters;
  std::unique_ptr<TMasterLink> FMasterLink;
  TCursorType FCursorType = ctUnspecified;
  TCursorLocation FCursorLocation = clUseClient;
  TADOLockType FLockType = ltUnspecified;
  TExecuteOptions FExecuteOptions;

  // The open result.
  bool FUpdatable = false;
  String FSelectText;        // what InternalLoad runs
  bool FHasRowIdColumn = false;
  String FBaseDatabase;
  String FBaseTable;
  std::vector<String> FBaseColumns;  // per result column
};

class TADOQuery : public TCustomADODataSet {
  KORVANE_CLASS(TADOQuery, TCustomADODataSet)
  explicit TADOQuery(TComponent* AOwner);
  ~TADOQuery() override;

  // The statement; changing it closes the query and refreshes Parameters.
  TStrings* SQL() { return FSQL.get(); }
  // Runs the statement; answers the rows it changed.
  Integer ExecSQL();

protected:
  String CommandText() const override;

private:
  void SQLChanged(TObject* Sender);
  std::unique_ptr<TStringList> FSQL;
};
