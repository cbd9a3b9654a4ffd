#include "app/openFile.h"

#include "platform/gui/application.h"
#include "platform/gui/dialogs.h"
#include "platform/rtl/sysutils.h"
#include "store/dmunit.h"

namespace {

// The outer size of the list window.
constexpr Integer FormWidth = 653;
constexpr Integer FormHeight = 480;
constexpr Integer Margin = 8;
constexpr Integer ButtonWidth = 75;
constexpr Integer ButtonHeight = 25;

void Warn(const String& Text) { Application->MessageBox(Text, Application->Title(), MB_OK | MB_ICONWARNING); }

TButton* NewButton(TForm* Form, const String& Caption, TNotifyEvent OnClick) {
  auto* button = new TButton(Form);
  button->SetParent(Form);
  button->SetCaption(Caption);
  button->OnClick = OnClick;
  return button;
}

}  // namespace

Tfrm_openFile::Tfrm_openFile(TComponent* AOwner) : TForm(AOwner) {
  SetName(u"frm_openFile");
  SetCaption(u"打开元数据文件");
  SetBorderIcons(biSystemMenu);
  SetPosition(poMainFormCenter);
  SetBounds(0, 0, FormWidth, FormHeight);
  OnShow = TNotifyEvent(this, &Tfrm_openFile::FormShow);
  OnClose = TCloseEvent(this, &Tfrm_openFile::FormClose);
  OnCloseQuery = TCloseQueryEvent(this, &Tfrm_openFile::FormCloseQuery);

  PopupMenu1 = new TPopupMenu(this);
  N1 = new TMenuItem(this);
  N1->SetCaption(u"删除");
  N1->OnClick = TNotifyEvent(this, &Tfrm_openFile::N1Click);
  PopupMenu1->Items()->Add(N1);
  BuildGrid();

  const Integer buttonTop = ClientHeight() - Margin - ButtonHeight;
  btn_open = NewButton(this, u"打 开", TNotifyEvent(this, &Tfrm_openFile::btn_openClick));
  btn_open->SetBounds(ClientWidth() - 2 * (ButtonWidth + Margin), buttonTop, ButtonWidth, ButtonHeight);
  btn_exit = NewButton(this, u"退 出", TNotifyEvent(this, &Tfrm_openFile::btn_exitClick));
  btn_exit->SetBounds(ClientWidth() - (ButtonWidth + Margin), buttonTop, ButtonWidth, ButtonHeight);
}

Tfrm_openFile::~Tfrm_openFile() = default;

void Tfrm_openFile::BuildGrid() {
  dg_datasetLst = new TDBGrid(this);
  dg_datasetLst->SetParent(this);
  dg_datasetLst->SetBounds(Margin, Margin, ClientWidth() - 2 * Margin,
                           ClientHeight() - 3 * Margin - ButtonHeight);
  dg_datasetLst->SetPopupMenu(PopupMenu1);
  dg_datasetLst->OnDblClick = TNotifyEvent(this, &Tfrm_openFile::dg_datasetLstDblClick);
  struct TColumnSpec {
    const char16_t* FieldName;
    const char16_t* Title;
    Integer Width;
    bool ReadOnly;
  };
  static const TColumnSpec kColumns[] = {
      {u"meta_id", u"建立时间", 107, true},
      {u"meta_name", u"标题", 341, false},
      {u"kind_name", u"元数据类型", 96, true},
  };
  for (const TColumnSpec& spec : kColumns) {
    TColumn* column = dg_datasetLst->Columns()->Add();
    column->SetFieldName(spec.FieldName);
    column->SetWidth(spec.Width);
    column->SetReadOnly(spec.ReadOnly);
    column->Title()->SetCaption(spec.Title);
    column->Title()->SetAlignment(taCenter);
    column->Title()->SetColor(clMoneyGreen);
    column->Title()->Font()->SetColor(clBlue);
  }
  if (dm) dg_datasetLst->SetDataSource(dm->ds_aq_fileList);
}

String Tfrm_openFile::CurrentRowValue(const String& FieldName) const {
  TDataSet* list = dm ? dm->aq_fileList : nullptr;
  if (!list || !list->Active() || list->IsEmpty()) return u"";
  return list->FieldByName(FieldName)->AsString();
}

void Tfrm_openFile::FormShow(TObject*) {
  String error;
  if (!dm->OpenRecordList(error)) Warn(u"打开数据集列表失败,错误信息:" + error);
}

void Tfrm_openFile::FormClose(TObject*, TCloseAction&) {
  if (dm) dm->aq_fileList->Close();
}

void Tfrm_openFile::FormCloseQuery(TObject*, bool& CanClose) { CanClose = PostTypedTitle(); }

bool Tfrm_openFile::PostTypedTitle() {
  try {
    return dg_datasetLst->CommitEditor();
  } catch (Exception& E) {
    Warn(E.Message);
    return false;
  }
}

void Tfrm_openFile::btn_openClick(TObject*) {
  FSelectedMetaId = Trim(CurrentRowValue(u"meta_id"));
  if (FSelectedMetaId.empty()) {
    Warn(u"请选择需要打开的数据");
    return;
  }
  FSelectedIsCore = CurrentRowValue(u"kind_name") == CoreRecordKind;
  SetModalResult(mrOk);
}

void Tfrm_openFile::btn_exitClick(TObject*) { SetModalResult(mrCancel); }

void Tfrm_openFile::dg_datasetLstDblClick(TObject*) { btn_open->Click(); }

void Tfrm_openFile::N1Click(TObject*) {
  const String key = Trim(CurrentRowValue(u"meta_id"));
  if (key.empty() || !PostTypedTitle()) return;  // an empty list: nothing to delete
  if (EditingWindowOpen && EditingWindowOpen() && key == Trim(dm->CurrentMetaId)) {
    Warn(u"当前数据集正打开着,不能删除");
    return;
  }
  String error;
  if (!DeleteListedRecord(error, key)) Warn(u"删除失败,错误信息:" + error);
}

bool Tfrm_openFile::DeleteListedRecord(String& ErrorText, const String& Key) {
  TADOConnection* connection = dm->ADOConnection1;
  connection->BeginTrans();
  try {
    if (!dm->DeleteRecord(ErrorText, Key)) {
      connection->RollbackTrans();
      return false;
    }
    dm->aq_fileList->Delete();
    connection->CommitTrans();
    return true;
  } catch (Exception& E) {
    ErrorText = E.Message;
  }
  // The list entry stays when its removal failed, and so do the record's rows.
  connection->RollbackTrans();
  String ignored;
  dm->OpenRecordList(ignored);
  return false;
}
