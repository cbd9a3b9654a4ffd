#pragma once
// The record data module: the one connection to the database file
// "DataIdentification.mdb" in the program's folder, every dataset through
// which the program reads and writes records, the element template and the
// record list, and the record operations.
//
// Operations answer success and fill an error text. Values reach the
// statements as bound parameters, so any character in a value is safe.
// Operations of several statements run in one transaction and leave nothing
// half done when one of them fails.
#include <functional>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

#include "platform/db/adodb.h"
#include "platform/db/datasource.h"
#include "platform/db/fields.h"
#include "platform/rtl/stringlist.h"

// The file name of the database in the program's folder.
inline constexpr const char16_t* DatabaseFileName = u"DataIdentification.mdb";
// Kind names of the record list: a full record and a core record.
inline constexpr const char16_t* FullRecordKind = u"元数据";
inline constexpr const char16_t* CoreRecordKind = u"核心元数据";
// The code of the title element, whose content is the record's title.
inline constexpr const char16_t* TitleElementCode = u"010101";

// Values bound to the ":name" marks of a statement: {u"key", Variant(...)}.
using TSqlArgs = std::initializer_list<std::pair<String, Variant>>;

class Tdm : public TComponent {
  KORVANE_CLASS(Tdm, TComponent)
  // Builds the module's components and connects: before connecting, the
  // connection's "Data Source" becomes ProgramFolder() + DatabaseFileName;
  // then the record list (aq_fileList) opens. A missing or broken database
  // raises the dataset layer's exception.
  explicit Tdm(TComponent* AOwner);
  ~Tdm() override;

  // ---- Components (owned by the module) ----
  TADOConnection* ADOConnection1 = nullptr;
  TADOQuery* aq_public = nullptr;      // scratch query for selects
  TADOQuery* aq_codelist = nullptr;    // unused
  TADOQuery* aq_combobox = nullptr;    // t_combobox; never opened
  TADOQuery* aq_exec = nullptr;        // scratch query for executed statements
  TADOQuery* aq_metadata = nullptr;    // the open record
  TADOQuery* aq_test = nullptr;        // never opened
  TADOQuery* aq_CI_DateTypeCode = nullptr;  // never opened
  TDataSource* ds_CI_DateTypeCode = nullptr;
  TDataSource* ds_combobox = nullptr;
  TDataSource* ds_metadata = nullptr;  // the editing window's tree list binds to it
  TADOQuery* aq_fileList = nullptr;    // the record list (t_metakind)
  TDataSource* ds_aq_fileList = nullptr;
  TADOQuery* aq_moreINfo = nullptr;    // template row of the focused element
  TDataSource* ds_conn = nullptr;      // over aq_metadata: the master of aq_moreINfo
  TADOQuery* aq_find = nullptr;        // the template in code order, for the structure check
  TADOQuery* aq_choice = nullptr;      // lookup source of choice_name

  // Persistent fields of aq_metadata, in the order of its columns.
  TWideStringField* aq_metadatameta_id = nullptr;
  TIntegerField* aq_metadataid = nullptr;
  TWideStringField* aq_metadatacode = nullptr;
  TWideStringField* aq_metadatacname = nullptr;
  TWideStringField* aq_metadataename = nullptr;
  TMemoField* aq_metadatacontent = nullptr;
  TIntegerField* aq_metadataparent_id = nullptr;
  TWideStringField* aq_metadataparent_code = nullptr;
  TIntegerField* aq_metadatamax_times = nullptr;
  TWordField* aq_metadataisEnd = nullptr;
  TIntegerField* aq_metadatatag = nullptr;
  TIntegerField* aq_metadatachoice_state = nullptr;
  TStringField* aq_metadatachoice_name = nullptr;  // lookup: "必选" for a mandatory element

  // ---- State ----
  // Key of the record being edited; "" until a record is created or opened.
  // It also names the log file.
  String CurrentMetaId;
  // The highest id of t_metadata as last read; 0 for an empty table.
  Integer MaxId = 0;

  // ---- Window hooks, filled by the program's windows ----
  // Sets (true) or clears (false) the editing window's description-refresh
  // flag; empty while no editing window exists. Cleared before each post of
  // aq_metadata and set after it.
  std::function<void(bool Value)> SetDescriptionRefresh;
  // Shows the reason of a refused post in a message box with the
  // application's title, an OK button and the exclamation icon.
  std::function<void(const String& Text)> ShowPostError;

  // ---- Handlers ----
  void ADOConnection1BeforeConnect(TObject* Sender);
  // Clears the refresh flag; for the title element it also copies the new
  // title into the record list, in one transaction with the post.
  void aq_metadataBeforePost(TDataSet* DataSet);
  // Sets the refresh flag again and commits a title's transaction.
  void aq_metadataAfterPost(TDataSet* DataSet);
  // Shows the reason; the post still fails (the action stays daFail).
  void aq_metadataPostError(TDataSet* DataSet, EDatabaseError* E, TDataAction& Action);
  // The content's display and edit text is the memo's text itself.
  void aq_metadatacontentGetText(TField* Sender, String& Text, bool DisplayText);
  void aq_metadatacontentSetText(TField* Sender, const String& Text);

  // ---- Query routines ----
  // Closes the dataset when open, then opens it; an Exception puts its
  // message into ErrorText and answers false.
  bool OpenDataSet(String& ErrorText, TDataSet* DataSet);
  // Closes the query when open, then executes it. A failure answers false
  // and, when ErrorText is given, puts the database's reason there.
  bool ExecQuery(TADOQuery* Query, String* ErrorText = nullptr);
  // Sets the query's statement (one line) and the values of its ":name"
  // marks, then opens it (OpenSql) or executes it (ExecSql).
  bool OpenSql(String& ErrorText, const String& Sql, TADOQuery* Query, TSqlArgs Args = {});
  bool ExecSql(String& ErrorText, const String& Sql, TADOQuery* Query, TSqlArgs Args = {});

  // Adds Rows to Table, the values of each row in the order of Columns:
  // many rows a statement (a file of thousands of elements is not written
  // row by row). Run it inside a transaction when all or none must go in.
  bool InsertRows(String& ErrorText, const String& Table, const std::vector<String>& Columns,
                  const std::vector<std::vector<Variant>>& Rows);

  // ---- Record operations ----
  // MaxId := the highest id of t_metadata (0 for an empty table).
  bool ReadMaxId(String& ErrorText);
  // (Re)opens the record list aq_fileList.
  bool OpenRecordList(String& ErrorText);
  // A fresh record key: the current local time "yyyymmddhhmmss", moved on by
  // one second while a record with that key exists.
  bool NewRecordKey(String& ErrorText, String& Key);
  // Creates a record from the template (only the core elements when Core)
  // with a fresh key, registers it in the record list and opens it.
  bool CreateRecord(String& ErrorText, bool Core);
  // Deletes the element rows of a record (its t_metakind row is the record
  // list's to delete).
  bool DeleteRecord(String& ErrorText, const String& Key);
  // Deletes every record; an empty element table leaves the record list alone.
  bool ClearDatabase(String& ErrorText);
  // Opens a record in aq_metadata (sorted by code) and re-opens aq_moreINfo.
  // CurrentMetaId takes the key even when opening fails.
  bool LoadRecord(String& ErrorText, const String& Key);
  // Copies the template element Code with its descendants into the open
  // record, the copy's top row under ParentId, and focuses that row. The
  // branch is copied whole or not at all.
  bool InsertTemplateBranch(String& ErrorText, const String& Code, const String& ParentId);
  // Leaves in aq_public the template children of Code (cName, code,
  // parent_id, max_times, isEnd) that are repeatable or not yet present
  // under ParentId in the open record.
  bool OpenInsertableChildren(String& ErrorText, const String& Code, Integer ParentId);
  // chb_name of the focused element's template row ("" when there is none).
  String CodeElementName();
  // Codes of the mandatory direct children of Code and the choice-group ids
  // of its direct children; nullptr (and ErrorText set) on failure.
  std::unique_ptr<TStringList> MandatoryChildCodes(String& ErrorText, const String& Code);
  // Clears ErrorText; Caption := the template caption of Code ("" for an
  // unknown code). On failure ErrorText is set and Caption left alone.
  void TemplateCaption(String& ErrorText, const String& Code, String& Caption);
  // Links the rows of an imported record (ename, content, id, parent_id but
  // no code) to the template level by level, down to eleven levels below
  // the top rows (parent_id 0). Names match in the template's letter case.
  bool MatchImportToTemplate(String& ErrorText, const String& Key);
  // Adds an imported record to the record list with its title.
  bool RegisterImportedRecord(String& ErrorText, const String& Key, bool Core);
  // Moves the children of each of two elements of the open record under the
  // other. The filter text of aq_metadata stays set when it fails.
  bool SwapChildren(String& ErrorText, Integer FirstParent, Integer SecondParent);
  // Compacts the database file in place. The connection is closed and stays
  // closed (the next dataset that opens reconnects). A read-only or damaged
  // file is left as it is, and so is the file when compaction fails; the
  // reason (for a damaged file the engine's findings) goes to ErrorText
  // when it is given, and the record that was open is opened again.
  // Another program's write waits for the compaction.
  // The password is accepted for the callers and not used.
  bool CompactDatabase(const String& Password, String* ErrorText = nullptr);

  // Runs Work in one transaction: committed when it answers true, rolled
  // back when it answers false or raises (the message goes to ErrorText).
  // Operations of the module run inside it as part of the same transaction.
  bool RunInTransaction(String& ErrorText, const std::function<bool()>& Work);

private:
  bool RecordKeyTaken(String& ErrorText, const String& Key, bool& Taken);
  bool OpenChoices(String& ErrorText);
  bool SwapChildrenRows(Integer FirstParent, Integer SecondParent);
  void CopyBranchRows(const String& Code, const String& ParentId);
  // Reads the open record again after a rollback; a failure is added to
  // ErrorText and leaves the rows shown as they were.
  void ReloadAfterRollback(String& ErrorText);
  void RollbackQuietly();
  // Brings the description pane back and shows why a post failed.
  void RefusePost(const String& Reason);
  void SetDescriptionRefreshFlag(bool Value);
  TADOQuery* NewQuery(const String& Name, const String& Sql);
  TDataSource* NewDataSource(const String& Name, TDataSet* DataSet);
  void CreateRecordFields();

  // A post of the title element runs in a transaction of its own that the
  // before-post handler opens and the after-post or post-error one ends.
  bool FTitleTransaction = false;
};

// The program's record data module; the main block creates it first and
// stores it here. Empty until then.
extern Tdm* dm;
