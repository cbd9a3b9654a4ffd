#include "store/dmunit.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/db/sqlitedb.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/sysutils.h"
#include "store/pubfunc.h"

Tdm* dm = nullptr;

namespace fs = std::filesystem;

namespace {

fs::path ToPath(const String& Path) { return fs::path(StringToUTF8(Path)); }

// Removes the copies that a killed compaction of an earlier version left
// beside the database file; the module does it when it connects and before
// each compaction.
void RemoveCompactLeftovers(const String& DatabasePath);

// The value of the first column of the current row as text ("" for Null).
String FirstColumnText(TDataSet* DataSet) {
  if (DataSet->IsEmpty()) return String();
  return VariantToText(DataSet->Fields()->Fields(0)->Value());
}

template <class F>
F* NewField(Tdm* Owner, TDataSet* DataSet, const String& FieldName, Integer Size = 0) {
  auto* field = new F(Owner);
  field->SetName(DataSet->Name() + FieldName);
  field->SetFieldName(FieldName);
  if (Size > 0) field->SetSize(Size);
  field->SetDataSet(DataSet);
  return field;
}

}  // namespace

// ---- Construction ------------------------------------------------------------------

Tdm::Tdm(TComponent* AOwner) : TComponent(AOwner) {
  SetName(u"dm");
  ADOConnection1 = new TADOConnection(this);
  ADOConnection1->SetName(u"ADOConnection1");
  ADOConnection1->SetLoginPrompt(false);
  ADOConnection1->SetMode(cmShareDenyNone);
  ADOConnection1->SetConnectionString(String(u"Data Source=") + DatabaseFileName + u";Mode=Share Deny None");
  ADOConnection1->BeforeConnect = MakeEvent(this, &Tdm::ADOConnection1BeforeConnect);

  aq_public = NewQuery(u"aq_public", u"");
  aq_codelist = NewQuery(u"aq_codelist", u"");
  aq_combobox = NewQuery(u"aq_combobox", u"");
  aq_combobox->SQL()->SetText(
      u"select code,tableName,isactive\nfrom t_combobox \nwhere isactive<>0 \norder by tablename,code");
  aq_exec = NewQuery(u"aq_exec", u"");
  aq_metadata = NewQuery(u"aq_metadata", u"");
  aq_metadata->SetExecuteOptions({eoAsyncFetch});
  aq_metadata->SetLockType(ltPessimistic);
  CreateRecordFields();
  aq_metadata->BeforePost = MakeEvent(this, &Tdm::aq_metadataBeforePost);
  aq_metadata->AfterPost = MakeEvent(this, &Tdm::aq_metadataAfterPost);
  aq_metadata->OnPostError = MakeEvent(this, &Tdm::aq_metadataPostError);
  aq_test = NewQuery(u"aq_test", u"select * from templet");
  aq_CI_DateTypeCode = NewQuery(u"aq_CI_DateTypeCode", u"select * from CI_DateTypeCode");
  ds_CI_DateTypeCode = NewDataSource(u"ds_CI_DateTypeCode", aq_CI_DateTypeCode);
  ds_combobox = NewDataSource(u"ds_combobox", aq_combobox);
  ds_metadata = NewDataSource(u"ds_metadata", aq_metadata);
  aq_fileList = NewQuery(u"aq_fileList", u"");
  aq_fileList->SQL()->SetText(u"\nselect meta_id,meta_name,kind_name      from t_metakind ");
  ds_aq_fileList = NewDataSource(u"ds_aq_fileList", aq_fileList);
  aq_moreINfo = NewQuery(u"aq_moreINfo", u"select * from templet where code = :code");
  TParam* code = aq_moreINfo->Parameters()->ParamByName(u"code");
  code->SetDataType(ftWideString);
  code->SetSize(510);
  code->SetNullable(true);
  ds_conn = NewDataSource(u"ds_conn", aq_metadata);
  aq_moreINfo->SetDataSource(ds_conn);
  aq_find = NewQuery(u"aq_find", u"select id,code,cname,parent_id,tag,choice from templet order by code");
  aq_choice = NewQuery(u"aq_choice", u"select code, iif(choice = 'M','必选','') as choice_name from templet");
  aq_metadatachoice_name->SetLookupDataSet(aq_choice);

  // The module connects when it loads, and the record list opens with it.
  ADOConnection1->Open();
  RemoveCompactLeftovers(ADOConnection1->Property(u"Data Source"));
  aq_fileList->Open();
}

Tdm::~Tdm() {
  if (dm == this) dm = nullptr;
}

TADOQuery* Tdm::NewQuery(const String& Name, const String& Sql) {
  auto* query = new TADOQuery(this);
  query->SetName(Name);
  query->SetConnection(ADOConnection1);
  query->SetCursorType(ctStatic);
  if (!Sql.empty()) query->SQL()->Add(Sql);
  return query;
}

TDataSource* Tdm::NewDataSource(const String& Name, TDataSet* DataSet) {
  auto* source = new TDataSource(this);
  source->SetName(Name);
  source->SetDataSet(DataSet);
  return source;
}

void Tdm::CreateRecordFields() {
  aq_metadatameta_id = NewField<TWideStringField>(this, aq_metadata, u"meta_id", 50);
  aq_metadataid = NewField<TIntegerField>(this, aq_metadata, u"id");
  aq_metadatacode = NewField<TWideStringField>(this, aq_metadata, u"code", 50);
  aq_metadatacname = NewField<TWideStringField>(this, aq_metadata, u"cname", 50);
  aq_metadataename = NewField<TWideStringField>(this, aq_metadata, u"ename", 50);
  aq_metadatacontent = NewField<TMemoField>(this, aq_metadata, u"content");
  aq_metadatacontent->SetBlobType(ftMemo);
  aq_metadatacontent->OnGetText = MakeEvent(this, &Tdm::aq_metadatacontentGetText);
  aq_metadatacontent->OnSetText = MakeEvent(this, &Tdm::aq_metadatacontentSetText);
  aq_metadataparent_id = NewField<TIntegerField>(this, aq_metadata, u"parent_id");
  aq_metadataparent_code = NewField<TWideStringField>(this, aq_metadata, u"parent_code", 50);
  aq_metadatamax_times = NewField<TIntegerField>(this, aq_metadata, u"max_times");
  aq_metadataisEnd = NewField<TWordField>(this, aq_metadata, u"isEnd");
  aq_metadatatag = NewField<TIntegerField>(this, aq_metadata, u"tag");
  aq_metadatachoice_state = NewField<TIntegerField>(this, aq_metadata, u"choice_state");

  aq_metadatachoice_name = new TStringField(this);
  aq_metadatachoice_name->SetName(u"aq_metadatachoice_name");
  aq_metadatachoice_name->SetFieldName(u"choice_name");
  aq_metadatachoice_name->SetFieldKind(fkLookup);
  aq_metadatachoice_name->SetKeyFields(u"code");
  aq_metadatachoice_name->SetLookupKeyFields(u"code");
  aq_metadatachoice_name->SetLookupResultField(u"choice_name");
  aq_metadatachoice_name->SetDataSet(aq_metadata);
}

// ---- Handlers ----------------------------------------------------------------------

void Tdm::ADOConnection1BeforeConnect(TObject* Sender) {
  (void)Sender;
  ADOConnection1->SetProperty(u"Data Source", EnsureTrailingBackslash(ProgramFolder()) + DatabaseFileName);
}

void Tdm::SetDescriptionRefreshFlag(bool Value) {
  if (SetDescriptionRefresh) SetDescriptionRefresh(Value);
}

void Tdm::aq_metadataBeforePost(TDataSet* DataSet) {
  SetDescriptionRefreshFlag(false);
  if (DataSet->FieldByName(u"code")->AsString() != TitleElementCode) return;
  // The record list's title changes in one transaction with the title
  // element: both are written or neither.
  String error;
  bool begun = false;
  try {
    ADOConnection1->BeginTrans();
    begun = true;
  } catch (const Exception& E) {
    error = E.Message;
  }
  if (begun && ExecSql(error, u" update t_metaKind set meta_name = :name where meta_id = :key", aq_exec,
                       {{u"name", DataSet->FieldByName(u"content")->Value()},
                        {u"key", Variant(DataSet->FieldByName(u"meta_id")->AsString())}})) {
    FTitleTransaction = true;
    return;
  }
  if (begun) RollbackQuietly();
  // Refused like a post the database refuses: the row stays in edit state.
  RefusePost(error);
  throw EDatabaseError(error);
}

void Tdm::aq_metadataAfterPost(TDataSet* DataSet) {
  (void)DataSet;
  SetDescriptionRefreshFlag(true);
  if (!std::exchange(FTitleTransaction, false)) return;
  try {
    ADOConnection1->CommitTrans();
  } catch (const Exception& E) {
    // The row shows as posted but the file holds neither change.
    String error = E.Message;
    RollbackQuietly();
    ReloadAfterRollback(error);
    RefusePost(error);
    throw EDatabaseError(error);
  }
}

void Tdm::aq_metadataPostError(TDataSet* DataSet, EDatabaseError* E, TDataAction& Action) {
  (void)DataSet;
  (void)Action;  // stays daFail: the post fails and the row stays in edit state
  if (std::exchange(FTitleTransaction, false)) RollbackQuietly();
  RefusePost(E ? E->Message : String());
}

void Tdm::RefusePost(const String& Reason) {
  // No after-post follows a failed post: the flag comes back here, or the
  // description pane would stay frozen.
  SetDescriptionRefreshFlag(true);
  if (ShowPostError) ShowPostError(Reason);
}

void Tdm::RollbackQuietly() {
  try {
    if (ADOConnection1->InTransaction()) ADOConnection1->RollbackTrans();
  } catch (...) {
    // The connection went away: SQLite has undone the transaction already.
  }
}

void Tdm::aq_metadatacontentGetText(TField* Sender, String& Text, bool DisplayText) {
  (void)DisplayText;
  Text = Sender->AsString();
}

void Tdm::aq_metadatacontentSetText(TField* Sender, const String& Text) { Sender->SetValue(Variant(Text)); }

// ---- Query routines ----------------------------------------------------------------

bool Tdm::OpenDataSet(String& ErrorText, TDataSet* DataSet) {
  try {
    if (DataSet->Active()) DataSet->Close();
    DataSet->Open();
    return true;
  } catch (const Exception& E) {
    ErrorText = E.Message;
    return false;
  }
}

bool Tdm::ExecQuery(TADOQuery* Query, String* ErrorText) {
  try {
    if (Query->Active()) Query->Close();
    Query->ExecSQL();
    return true;
  } catch (const Exception& E) {
    if (ErrorText) *ErrorText = E.Message;
  } catch (const std::exception& E) {
    if (ErrorText) *ErrorText = UTF8ToString(E.what());
  }
  return false;
}

namespace {

// Closes the query and gives it the statement and the values of its marks.
void SetStatement(TADOQuery* Query, const String& Sql, TSqlArgs Args) {
  if (Query->Active()) Query->Close();
  Query->SQL()->Clear();
  Query->SQL()->Add(Sql);
  for (const auto& [name, value] : Args) Query->Parameters()->ParamByName(name)->SetValue(value);
}

}  // namespace

bool Tdm::OpenSql(String& ErrorText, const String& Sql, TADOQuery* Query, TSqlArgs Args) {
  try {
    SetStatement(Query, Sql, Args);
  } catch (const Exception& E) {
    ErrorText = E.Message;
    return false;
  }
  return OpenDataSet(ErrorText, Query);
}

bool Tdm::ExecSql(String& ErrorText, const String& Sql, TADOQuery* Query, TSqlArgs Args) {
  try {
    SetStatement(Query, Sql, Args);
  } catch (const Exception& E) {
    ErrorText = E.Message;
    return false;
  }
  return ExecQuery(Query, &ErrorText);
}

bool Tdm::InsertRows(String& ErrorText, const String& Table, const std::vector<String>& Columns,
                     const std::vector<std::vector<Variant>>& Rows) {
  // One statement prepared once and run for every row: a file of
  // thousands of elements does not pay for thousands of statements.
  String columns, marks;
  for (const String& column : Columns) {
    columns += (columns.empty() ? u"" : u",") + column;
    marks += marks.empty() ? u"?" : u",?";
  }
  try {
    TSQLiteStatement insert = ADOConnection1->Database()->Prepare(u" insert into " + Table + u"(" + columns +
                                                                  u") values(" + marks + u")");
    for (const std::vector<Variant>& row : Rows) {
      for (size_t i = 0; i < row.size(); ++i) {
        const Variant& value = row[i];
        const Integer mark = Integer(i) + 1;
        if (VarIsNull(value) || VarIsEmpty(value)) insert.BindNull(mark);
        else if (VarIsOrdinal(value)) insert.BindInt64(mark, value.AsInt64());
        else insert.BindText(mark, VarToStr(value));
      }
      insert.Step();
      insert.Reset();
    }
  } catch (const Exception& E) {
    ErrorText = E.Message;
    return false;
  }
  return true;
}

bool Tdm::RunInTransaction(String& ErrorText, const std::function<bool()>& Work) {
  try {
    ADOConnection1->BeginTrans();
  } catch (const Exception& E) {
    ErrorText = E.Message;
    return false;
  }
  bool ok = false;
  try {
    ok = Work();
  } catch (const Exception& E) {
    ErrorText = E.Message;
  } catch (...) {
    try {
      ADOConnection1->RollbackTrans();
    } catch (...) {
    }
    throw;
  }
  try {
    if (ok) {
      ADOConnection1->CommitTrans();
      return true;
    }
  } catch (const Exception& E) {
    ErrorText = E.Message;
  }
  RollbackQuietly();
  return false;
}

// ---- Record operations -------------------------------------------------------------

bool Tdm::ReadMaxId(String& ErrorText) {
  if (!OpenSql(ErrorText, u" select max(id) from t_metadata ", aq_public)) return false;
  MaxId = ParseIntOrDefault(FirstColumnText(aq_public), 0);
  aq_public->Close();
  return true;
}

bool Tdm::OpenRecordList(String& ErrorText) {
  return OpenSql(ErrorText, u" select meta_id,meta_name,kind_name from t_metakind ", aq_fileList);
}

bool Tdm::RecordKeyTaken(String& ErrorText, const String& Key, bool& Taken) {
  if (!OpenSql(ErrorText,
               u" select meta_id from t_metakind where meta_id = :key "
               u" union all select meta_id from t_metadata where meta_id = :key LIMIT 1",
               aq_public, {{u"key", Variant(Key)}}))
    return false;
  Taken = !aq_public->IsEmpty();
  aq_public->Close();
  return true;
}

bool Tdm::NewRecordKey(String& ErrorText, String& Key) {
  Word year, month, day, hour, minute, second, msec;
  DecodeDateTime(Now(), year, month, day, hour, minute, second, msec);
  TDateTime start = EncodeDateTime(year, month, day, hour, minute, second, 0);
  for (Integer k = 0;; ++k) {
    // One millisecond past the second, so that rounding never falls back
    // into the second before.
    Key = FormatDateTime(u"yyyymmddhhmmss", start + (k * 1000.0 + 1) / MSecsPerDay);
    bool taken = false;
    if (!RecordKeyTaken(ErrorText, Key, taken)) return false;
    if (!taken) return true;
  }
}

bool Tdm::CreateRecord(String& ErrorText, bool Core) {
  String kind = Core ? CoreRecordKind : FullRecordKind;
  String key;
  bool created = RunInTransaction(ErrorText, [&] {
    String error;
    if (!NewRecordKey(error, key)) {
      ErrorText = u"读取最大编号失败," + error;
      return false;
    }
    CurrentMetaId = key;
    if (!ReadMaxId(error)) {
      ErrorText = u"读取最大编号失败," + error;
      return false;
    }
    String max = IntToStr(MaxId);
    String sql =
        u" insert into t_metadata(meta_id,id,code,cname,ename,parent_id,parent_code,max_times,isEnd,"
        u"record_type,table_name,tag) select :key ,id + " + max + u",code,cname,ename,parent_id + " + max +
        u",parent_code,max_times,isEnd,record_type,table_name,tag from templet ";
    if (Core) sql += u" where is_core <> 0 ";
    if (!ExecSql(error, sql, aq_exec, {{u"key", Variant(key)}})) {
      ErrorText = u"插入新数据集失败," + error;
      return false;
    }
    if (!ExecSql(error, u" insert into t_metaKind(meta_id,kind_name) values(:key,:kind)", aq_exec,
                 {{u"key", Variant(key)}, {u"kind", Variant(kind)}})) {
      ErrorText = u"插入标题失败," + error;
      return false;
    }
    return ReadMaxId(ErrorText);
  });
  if (!created) return false;
  String error;
  if (!LoadRecord(error, key)) {
    ErrorText = u"数据集建立成功,但是打开失败," + error;
    return false;
  }
  return true;
}

bool Tdm::DeleteRecord(String& ErrorText, const String& Key) {
  return ExecSql(ErrorText, u"delete from t_metadata where  meta_id = :key", aq_exec, {{u"key", Variant(Key)}});
}

bool Tdm::ClearDatabase(String& ErrorText) {
  // aq_public stays open with the count.
  if (!OpenSql(ErrorText, u" select count(meta_id) from t_metadata ", aq_public)) return false;
  if (ParseIntOrDefault(FirstColumnText(aq_public), 0) <= 0) return true;
  return RunInTransaction(ErrorText, [&] {
    return ExecSql(ErrorText, u"delete from t_metakind", aq_exec) &&
           ExecSql(ErrorText, u"delete from t_metadata", aq_exec);
  });
}

bool Tdm::OpenChoices(String& ErrorText) { return aq_choice->Active() || OpenDataSet(ErrorText, aq_choice); }

bool Tdm::LoadRecord(String& ErrorText, const String& Key) {
  CurrentMetaId = Key;
  String error;
  if (!OpenChoices(error) ||
      !OpenSql(error,
               u" select meta_id,id,code,cname,ename,content,parent_id,parent_code,max_times,isEnd,tag,"
               u"choice_state from t_metadata where meta_id=:key order by  code,id",
               aq_metadata, {{u"key", Variant(Key)}})) {
    ErrorText = u"打开数据集失败," + error;
    return false;
  }
  if (!OpenDataSet(error, aq_moreINfo)) {
    ErrorText = u"打开辅助描述信息失败," + error;
    return false;
  }
  aq_metadata->SetSort(u"code");
  return true;
}

bool Tdm::InsertTemplateBranch(String& ErrorText, const String& Code, const String& ParentId) {
  if (!ReadMaxId(ErrorText)) return false;
  String max = IntToStr(MaxId);
  String n = IntToStr(Integer(Code.size()));
  if (!OpenSql(ErrorText,
               u" select  id + " + max + u" as ID,code,cname,parent_id + " + max +
                   u" as parent_id,parent_code,max_times,isEnd,record_type,table_name,tag,descr,ename from templet "
                   u" where  substr(code,1," + n + u") = :code order by code ",
               aq_public, {{u"code", Variant(Code)}}))
    return false;
  Integer first = aq_public->IsEmpty() ? -1 : aq_public->FieldByName(u"ID")->AsInteger();
  // The branch is copied whole or not at all.
  bool copied = RunInTransaction(ErrorText, [&] {
    CopyBranchRows(Code, ParentId);
    return true;
  });
  aq_public->Close();
  if (!copied) {
    ReloadAfterRollback(ErrorText);
    return false;
  }
  if (first != -1) aq_metadata->Locate(u"id", Variant(first), {loCaseInsensitive});
  return true;
}

void Tdm::CopyBranchRows(const String& Code, const String& ParentId) {
  auto row = [this](const char16_t* Name) { return aq_public->FieldByName(Name); };
  for (aq_public->First(); !aq_public->Eof(); aq_public->Next()) {
    aq_metadata->Insert();
    aq_metadatameta_id->SetAsString(CurrentMetaId);
    aq_metadataid->SetAsInteger(row(u"ID")->AsInteger());
    aq_metadatacode->SetAsString(row(u"code")->AsString());
    aq_metadatacname->SetAsString(row(u"cname")->AsString());
    aq_metadataename->SetAsString(row(u"ename")->AsString());
    if (Trim(row(u"code")->AsString()) == Trim(Code))
      aq_metadataparent_id->SetAsString(ParentId);
    else
      aq_metadataparent_id->SetAsInteger(row(u"parent_id")->AsInteger());
    aq_metadataparent_code->SetAsString(row(u"parent_code")->AsString());
    aq_metadatamax_times->SetAsString(row(u"max_times")->AsString());
    aq_metadataisEnd->SetValue(row(u"isEnd")->Value());
    aq_metadatatag->SetValue(row(u"tag")->Value());
    aq_metadata->Post();
  }
}

bool Tdm::OpenInsertableChildren(String& ErrorText, const String& Code, Integer ParentId) {
  // Rows of the record without a code are left out of the NOT IN list: a
  // Null there would make every comparison unknown and hide every child.
  return OpenSql(ErrorText,
                 u" select cName,code,parent_id,max_times,isEnd from templet where parent_code = :code "
                 u" and (max_times>1  or code not in(select code from t_metadata where parent_id =" +
                     IntToStr(ParentId) + u" and meta_id=:key and code is not null))",
                 aq_public, {{u"code", Variant(Code)}, {u"key", Variant(CurrentMetaId)}});
}

String Tdm::CodeElementName() {
  if (!aq_moreINfo->Active() || aq_moreINfo->IsEmpty()) return String();
  TField* field = aq_moreINfo->FindField(u"chb_name");
  return field ? field->AsString() : String();
}

std::unique_ptr<TStringList> Tdm::MandatoryChildCodes(String& ErrorText, const String& Code) {
  String n = IntToStr(Integer(Code.size()));
  String n2 = IntToStr(Integer(Code.size()) + 2);
  if (!OpenSql(ErrorText,
               u"select code from  templet where substr(code,1," + n + u")=:code and length(code) = " + n2 +
                   u" and choice = 'M' union select choice from  templet where substr(code,1," + n +
                   u")=:code and length(code) = " + n2 + u" and length(choice)>1 ",
               aq_public, {{u"code", Variant(Code)}}))
    return nullptr;
  auto list = std::make_unique<TStringList>();
  for (aq_public->First(); !aq_public->Eof(); aq_public->Next()) list->Add(FirstColumnText(aq_public));
  aq_public->Close();
  return list;
}

void Tdm::TemplateCaption(String& ErrorText, const String& Code, String& Caption) {
  ErrorText.clear();
  if (!OpenSql(ErrorText, u" select cname from templet where code =  :code LIMIT 1", aq_public,
               {{u"code", Variant(Code)}}))
    return;
  Caption = FirstColumnText(aq_public);
  aq_public->Close();
}

bool Tdm::MatchImportToTemplate(String& ErrorText, const String& Key) {
  // Names match as the template spells them: another standard's "distinfo"
  // is not the section "distInfo". From the top rows by their English names
  // down, each row whose parent matched is matched by its name among the
  // template children of the parent's code, down to eleven levels below
  // the top: one walk over the record, each row reached once through its
  // parent.
  TSqlArgs key = {{u"key", Variant(Key)}};
  return RunInTransaction(ErrorText, [&] {
    return ExecSql(ErrorText,
                   u" WITH RECURSIVE m(id, tid, code, level) AS ("
                   u"  SELECT a.id, t.id, t.code, 0 FROM t_metadata AS a JOIN templet AS t"
                   u"   ON t.parent_id = 0 AND t.ename = a.ename COLLATE BINARY"
                   u"   WHERE a.meta_id = :key AND a.parent_id = 0"
                   u"  UNION ALL"
                   u"  SELECT a.id, t.id, t.code, m.level + 1 FROM m"
                   u"   JOIN t_metadata AS a ON a.meta_id = :key AND a.parent_id = m.id"
                   u"   JOIN templet AS t ON t.parent_code = m.code AND t.ename = a.ename COLLATE BINARY"
                   u"   WHERE m.level < 11)"
                   u" UPDATE t_metadata AS a SET code = t.code, parent_code = t.parent_code, cname = t.cname,"
                   u" tag = t.tag, max_times = t.max_times FROM m JOIN templet AS t ON t.id = m.tid"
                   u" WHERE a.meta_id = :key AND a.id = m.id",
                   aq_exec, key) &&
           // A row the template does not know still names its parent's code.
           ExecSql(ErrorText,
                   u" UPDATE t_metadata AS a SET parent_code = p.code FROM t_metadata AS p"
                   u" WHERE a.meta_id = :key AND p.meta_id = :key AND a.parent_id = p.id AND p.code <> ''"
                   u" AND (a.code IS NULL OR a.code = '') AND (a.parent_code IS NULL OR a.parent_code <> p.code)",
                   aq_exec, key);
  });
}

bool Tdm::RegisterImportedRecord(String& ErrorText, const String& Key, bool Core) {
  String kind = Core ? CoreRecordKind : FullRecordKind;
  return RunInTransaction(ErrorText, [&] {
    return ExecSql(ErrorText, u" insert into t_metaKind(meta_id,kind_name) values(:key,:kind)", aq_exec,
                   {{u"key", Variant(Key)}, {u"kind", Variant(kind)}}) &&
           ExecSql(ErrorText,
                   u" update t_metaKind as k set meta_name = d.content from t_metadata as d "
                   u" where  d.code = '010101' and k.meta_id = d.meta_id and k.meta_id =  :key"
                   u" and d.meta_id = :key",
                   aq_exec, {{u"key", Variant(Key)}});
  });
}

bool Tdm::SwapChildrenRows(Integer FirstParent, Integer SecondParent) {
  // The children of the first parent go under the second one.
  std::vector<Integer> moved;
  aq_metadata->SetFilter(u"parent_id = " + IntToStr(FirstParent));
  bool found = aq_metadata->FindFirst();
  while (found) {
    moved.push_back(aq_metadataid->AsInteger());
    aq_metadata->Edit();
    aq_metadataparent_id->SetAsInteger(SecondParent);
    if (aq_metadata->Eof()) break;
    found = aq_metadata->FindFirst();  // the moved row no longer matches
  }
  // The second parent's own children go under the first one; the rows that
  // just arrived are passed over.
  aq_metadata->SetFilter(u"parent_id =" + IntToStr(SecondParent));
  bool restart = true;
  found = aq_metadata->FindLast();
  while (found) {
    if (std::find(moved.begin(), moved.end(), aq_metadataid->AsInteger()) != moved.end()) {
      if (aq_metadata->Bof()) break;
      found = aq_metadata->FindPrior();
      restart = false;
      continue;
    }
    aq_metadata->Edit();
    aq_metadataparent_id->SetAsInteger(FirstParent);
    if (aq_metadata->Bof()) break;
    found = restart ? aq_metadata->FindLast() : aq_metadata->FindPrior();
  }
  // The last change is written before the transaction ends.
  aq_metadata->CheckBrowseMode();
  aq_metadata->SetFilter(u"");
  return true;
}

void Tdm::ReloadAfterRollback(String& ErrorText) {
  // The rows in memory may hold changes the rollback undid. When the file
  // cannot be read now, the rows stay as they are and the user is told.
  try {
    if (aq_metadata->State() == dsEdit || aq_metadata->State() == dsInsert) aq_metadata->Cancel();
    if (aq_metadata->Active()) aq_metadata->Refresh();
  } catch (const Exception& E) {
    ErrorText += u"\n重新读取数据集失败," + E.Message;
  }
}

bool Tdm::SwapChildren(String& ErrorText, Integer FirstParent, Integer SecondParent) {
  // One element's children swapped with its own: nothing moves.
  if (FirstParent == SecondParent) return true;
  bool swapped = RunInTransaction(ErrorText, [&] { return SwapChildrenRows(FirstParent, SecondParent); });
  if (!swapped) ReloadAfterRollback(ErrorText);
  return swapped;
}

namespace {

// Name of the copies that earlier compactions made beside the database
// ("~CP" and six characters of mkstemp): a compaction that was killed left
// one behind, as large as the database.
bool IsCompactLeftover(const fs::directory_entry& Entry) {
  static constexpr std::string_view prefix = "~CP";
  static constexpr size_t uniquePart = 6;
  std::string name = Entry.path().filename().string();
  if (name.size() != prefix.size() + uniquePart || name.rfind(prefix, 0) != 0) return false;
  for (char c : name.substr(prefix.size()))
    if (!std::isalnum(static_cast<unsigned char>(c))) return false;
  std::error_code ec;
  return Entry.is_regular_file(ec) && !Entry.is_symlink(ec);
}

// The rows of "PRAGMA integrity_check": "ok" alone for a sound file, else
// the engine's findings, one per line.
String IntegrityReport(TSQLiteDatabase& Database) {
  TSQLiteStatement check = Database.Prepare(u"PRAGMA integrity_check");
  String report;
  while (check.Step()) report += (report.empty() ? u"" : u"\n") + check.ColumnText(0);
  return report;
}

// Whether the file may be written: its permissions grant writing to someone
// and this process may write it. A file marked read-only is left alone even
// by a user whom the system would let write it.
bool IsWritableFile(const fs::path& Path) {
  std::error_code ec;
  fs::perms perms = fs::status(Path, ec).permissions();
  if (ec) return false;
  const fs::perms anyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  return (perms & anyWrite) != fs::perms::none && access(Path.c_str(), W_OK) == 0;
}

void RemoveCompactLeftovers(const String& DatabasePath) {
  fs::path folder = ToPath(DatabasePath).parent_path();
  if (folder.empty()) folder = ".";
  std::error_code ec;
  std::vector<fs::path> leftovers;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (IsCompactLeftover(*it)) leftovers.push_back(it->path());
  for (const fs::path& leftover : leftovers) fs::remove(leftover, ec);
}

// Compacts the database file at Path in place; false with the reason when
// the file is not compacted.
bool CompactFile(const String& Path, String& ErrorText) {
  // A link is followed: the file it names is compacted in place and keeps
  // its name, permissions and owner.
  fs::path database = ToPath(Path);
  std::error_code ec;
  if (!fs::is_regular_file(database, ec)) {
    ErrorText = u"No database file " + Path;
    return false;
  }
  if (!IsWritableFile(database)) {
    ErrorText = u"The database file is read-only and was not compacted: " + Path;
    return false;
  }
  try {
    TSQLiteDatabase file(Path);
    // A damaged file is not compacted: compaction would drop for good what a
    // repair could still read.
    String report = IntegrityReport(file);
    if (report != u"ok") {
      ErrorText = u"The database file is damaged and was not compacted:\n" + report;
      return false;
    }
    // The engine rebuilds the file in place under its exclusive lock, which
    // it holds from the first page read to the last page written: another
    // program's write either lands before it or waits, and the journal puts
    // the file back whole when the rebuild is cut short.
    file.Exec(u"VACUUM");
    report = IntegrityReport(file);
    if (report == u"ok") return true;
    ErrorText = u"The compacted database file is damaged:\n" + report;
  } catch (const Exception& E) {
    ErrorText = E.Message;
  }
  return false;
}

}  // namespace

bool Tdm::CompactDatabase(const String& Password, String* ErrorText) {
  (void)Password;  // the database file has no password
  String path = ADOConnection1->Property(u"Data Source");
  bool recordOpen = aq_metadata->Active();
  if (ADOConnection1->Connected()) ADOConnection1->Close();
  RemoveCompactLeftovers(path);
  String error;
  if (CompactFile(path, error)) return true;
  // The file is as it was: the record that was open is shown again.
  String reopen;
  if (recordOpen && !LoadRecord(reopen, CurrentMetaId)) error += u"\n" + reopen;
  if (ErrorText) *ErrorText = error;
  return false;
}
