#include "app/meta_edit.h"

#include "app/main.h"
#include "platform/gui/application.h"
#include "platform/gui/dialogs.h"
#include "store/dmlist.h"
#include "store/dmunit.h"

Tfrm_meta_edit* frm_meta_edit = nullptr;

namespace {

constexpr Integer DescriptionHeight = 64;
constexpr Integer DescriptionBorder = 4;
constexpr Integer FontHeight = -12;
constexpr Integer TreeFontHeight = -14;
constexpr Integer TreeIndicatorWidth = 20;
// Design widths of the shown columns; the content column is fitted to the
// screen when the window shows.
constexpr Integer NameColumnWidth = 214;
constexpr Integer ContentColumnWidth = 559;
constexpr Integer ChoiceColumnWidth = 117;
// The record's top rows have this parent.
constexpr Integer RootParentId = -1;

struct TColumnDesign {
  TcxDBTreeListColumn* Tfrm_meta_edit::*Member;
  const char16_t* Component;
  const char16_t* Field;
  const char16_t* Caption;  // nullptr: hidden
  bool Editing;
  Integer Width;
};

// In creation order: the order gives each column its item index.
const TColumnDesign ColumnDesigns[] = {
    {&Tfrm_meta_edit::cxDBTreeList1cxDBTreeListColumn1, u"cxDBTreeList1cxDBTreeListColumn1", u"id", nullptr, false, 0},
    {&Tfrm_meta_edit::cxDBTreeList1cxDBTreeListColumn2, u"cxDBTreeList1cxDBTreeListColumn2", u"cname", u"名称", false,
     NameColumnWidth},
    {&Tfrm_meta_edit::cxDBTreeList1cxDBTreeListColumn6, u"cxDBTreeList1cxDBTreeListColumn6", u"content", u"内容", true,
     ContentColumnWidth},
    {&Tfrm_meta_edit::cxDBTreeList1cxDBTreeListColumn3, u"cxDBTreeList1cxDBTreeListColumn3", u"code", nullptr, true, 0},
    {&Tfrm_meta_edit::cxDBTreeList1cxDBTreeListColumn4, u"cxDBTreeList1cxDBTreeListColumn4", u"max_times", nullptr, true,
     0},
    {&Tfrm_meta_edit::cxDBTreeList1cxDBTreeListColumn5, u"cxDBTreeList1cxDBTreeListColumn5", u"parent_id", nullptr, true,
     0},
    {&Tfrm_meta_edit::cxDBTreeList1cxDBTreeListColumn7, u"cxDBTreeList1cxDBTreeListColumn7", u"ename", nullptr, true, 0},
    {&Tfrm_meta_edit::cxDBTreeList1cxDBTreeListColumn8, u"cxDBTreeList1cxDBTreeListColumn8", u"tag", nullptr, true, 0},
    {&Tfrm_meta_edit::cxDBTreeList1cxDBTreeListColumn9, u"cxDBTreeList1cxDBTreeListColumn9", u"choice_state", nullptr,
     true, 0},
    {&Tfrm_meta_edit::cxDBTreeList1cxDBTreeListColumn10, u"cxDBTreeList1cxDBTreeListColumn10", u"choice_name",
     u"相对可选性", false, ChoiceColumnWidth},
};

}  // namespace

Tfrm_meta_edit::Tfrm_meta_edit(TComponent* AOwner) : TForm(AOwner) {
  SetName(u"frm_meta_edit");
  SetFormStyle(fsMDIChild);
  SetWindowState(wsMaximized);
  SetPosition(poDesktopCenter);
  Font()->SetName(u"宋体");
  Font()->SetHeight(FontHeight);
  Font()->SetCharset(GB2312_CHARSET);
  OnClose = TCloseEvent(this, &Tfrm_meta_edit::FormClose);
  OnCloseQuery = TCloseQueryEvent(this, &Tfrm_meta_edit::FormCloseQuery);
  BuildPanels();
  frm_meta_edit = this;
  FormCreate(this);
  if (frm_meta_edit == this) Show();  // created visible, unless it could not start
}

Tfrm_meta_edit::~Tfrm_meta_edit() {
  if (dm && dm->aq_metadata->AfterScroll == TDataSetNotifyEvent(this, &Tfrm_meta_edit::ShowNodeDescription))
    dm->aq_metadata->AfterScroll = nullptr;
  if (dm) dm->SetDescriptionRefresh = nullptr;
  if (frm_meta_edit == this) frm_meta_edit = nullptr;
}

void Tfrm_meta_edit::BuildPanels() {
  Panel2 = new TPanel(this);
  Panel2->SetParent(this);
  Panel2->SetAlign(alClient);
  Panel2->SetBevelOuter(bvNone);

  Panel3 = new TPanel(this);
  Panel3->SetParent(Panel2);
  Panel3->SetHeight(DescriptionHeight);
  Panel3->SetAlign(alBottom);
  Panel3->SetBevelOuter(bvNone);
  Panel3->SetBorderWidth(DescriptionBorder);

  m_descr = new TMemo(this);
  m_descr->SetParent(Panel3);
  m_descr->SetAlign(alClient);
  m_descr->SetReadOnly(true);
  m_descr->SetBorderStyle(bsNone);
  m_descr->SetColor(clInfoBk);
  m_descr->SetWordWrap(true);

  BuildTree();
}

void Tfrm_meta_edit::BuildTree() {
  cxDBTreeList1 = new TcxDBTreeList(this);
  cxDBTreeList1->SetName(u"cxDBTreeList1");
  cxDBTreeList1->SetParent(Panel2);
  cxDBTreeList1->SetAlign(alClient);
  cxDBTreeList1->Font()->SetName(u"宋体");
  cxDBTreeList1->Font()->SetHeight(TreeFontHeight);
  cxDBTreeList1->Font()->SetCharset(GB2312_CHARSET);
  cxDBTreeList1->SetBufferedPaint(false);
  cxDBTreeList1->LookAndFeel()->SetNativeStyle(false);
  TcxTreeListOptionsView* View = cxDBTreeList1->OptionsView();
  View->SetShowEditButtons(ecsbFocused);
  View->SetFixedSeparatorColor(clBlack);
  View->SetGridLineColor(clWindow);
  View->SetGridLines(tlglBoth);
  View->SetIndicator(true);
  View->SetIndicatorWidth(TreeIndicatorWidth);
  View->SetTreeLineColor(clGray);
  View->SetTreeLineStyle(tllsSolid);
  for (const TColumnDesign& D : ColumnDesigns) {
    TcxDBTreeListColumn* Column = cxDBTreeList1->CreateDBColumn(D.Field);
    Column->SetName(D.Component);
    Column->SetVisible(D.Caption != nullptr);
    if (D.Caption) {
      Column->SetCaption(D.Caption);
      Column->SetWidth(D.Width);
    }
    Column->Options()->SetEditing(D.Editing);
    this->*D.Member = Column;
  }
  // The shown columns stand first in the band's row: name, content, choice.
  cxDBTreeList1cxDBTreeListColumn2->SetColIndex(0);
  cxDBTreeList1cxDBTreeListColumn6->SetColIndex(1);
  cxDBTreeList1cxDBTreeListColumn10->SetColIndex(2);
  cxDBTreeList1cxDBTreeListColumn10->Options()->Focusing = false;
  cxDBTreeList1cxDBTreeListColumn10->Options()->SetShowEditButtons(eisbNever);
  cxDBTreeList1->DBDataController()->SetKeyField(u"id");
  cxDBTreeList1->DBDataController()->SetParentField(u"parent_id");
  cxDBTreeList1->SetRootValue(Variant(RootParentId));
  cxDBTreeList1->OnFocusedNodeChanged =
      TcxTreeListFocusedChangedEvent(this, &Tfrm_meta_edit::cxDBTreeList1FocusedNodeChanged);
}

TDataSource* Tfrm_meta_edit::TreeDataSource() const { return cxDBTreeList1->DBDataController()->DataSource(); }

void Tfrm_meta_edit::SetTreeDataSource(TDataSource* Source) {
  cxDBTreeList1->DBDataController()->SetDataSource(Source);
  FocusRecordNode();
}

void Tfrm_meta_edit::ExpandAll() { cxDBTreeList1->FullExpand(); }

void Tfrm_meta_edit::cxDBTreeList1FocusedNodeChanged(TcxCustomTreeListControl*, TcxTreeListNode*,
                                                     TcxTreeListNode* AFocusedNode) {
  auto* Node = dynamic_cast<TcxTreeListDataNode*>(AFocusedNode);
  TDataSet* Record = cxDBTreeList1->DBDataController()->DataSet();
  if (FSyncing || !Node || !Record || cxDBTreeList1->IsDataLoading() || Record->ControlsDisabled()) return;
  if (Record->State() == dsEdit || Record->State() == dsInsert) {
    if (!PostPendingEdit()) return;
  }
  FSyncing = true;
  try {
    cxDBTreeList1->LocateNodeRecord(Node);
  } catch (...) {
    FSyncing = false;
    throw;
  }
  FSyncing = false;
}

void Tfrm_meta_edit::FocusRecordNode() {
  TDataSet* Record = cxDBTreeList1->DBDataController()->DataSet();
  if (FSyncing || !Record || !Record->Active() || Record->IsEmpty() || Record->ControlsDisabled() ||
      cxDBTreeList1->IsDataLoading())
    return;
  TcxTreeListDataNode* Node = cxDBTreeList1->FindNodeByKeyValue(Record->FieldByName(u"id")->Value());
  if (!Node || Node->Focused()) return;
  FSyncing = true;
  Node->MakeVisible();
  cxDBTreeList1->SetFocusedNode(Node);
  FSyncing = false;
}

void Tfrm_meta_edit::FormCreate(TObject*) {
  dm->aq_metadata->AfterScroll = TDataSetNotifyEvent(this, &Tfrm_meta_edit::ShowNodeDescription);
  dm->SetDescriptionRefresh = [this](bool Value) { FPostIdle = Value; };
  FRecordReady = false;
  FEditIdle = true;
  try {
    SetFileName(u"");
    dm_list->OpenCodeLists();
  } catch (Exception&) {
    Application->MessageBox(u"初始化错误", Application->Title(), MB_OK | MB_ICONWARNING);
    Close();
  }
}

void Tfrm_meta_edit::FormCloseQuery(TObject*, bool& CanClose) { CanClose = PostPendingEdit(); }

void Tfrm_meta_edit::FormClose(TObject*, TCloseAction& Action) {
  if (dm->aq_metadata->AfterScroll == TDataSetNotifyEvent(this, &Tfrm_meta_edit::ShowNodeDescription))
    dm->aq_metadata->AfterScroll = nullptr;
  dm->SetDescriptionRefresh = nullptr;
  Action = caFree;
  frm_meta_edit = nullptr;
  if (frm_main) frm_main->DisableRecordCommands();
}

void Tfrm_meta_edit::SetFileName(const String& AName) {
  FFileName = AName;
  SetCaption(AName.empty() ? String(UnnamedRecordCaption) : AName);
}

void Tfrm_meta_edit::ShowNodeDescription(TDataSet*) {
  FocusRecordNode();
  if (!FRecordReady || !FEditIdle || !FPostIdle) return;
  TDataSet* templateRow = dm->aq_moreINfo;
  m_descr->Clear();
  if (!templateRow->Active() || templateRow->IsEmpty()) return;
  m_descr->Lines()->Add(u"节点定义：" + templateRow->FieldByName(u"descr")->AsString());
  m_descr->Lines()->Add(u"节点可选性（当父节点不空时）：" + templateRow->FieldByName(u"choice_desc")->AsString());
}

void Tfrm_meta_edit::RefreshDescription() { ShowNodeDescription(dm->aq_metadata); }

bool Tfrm_meta_edit::PostPendingEdit() {
  TDataSet* record = dm->aq_metadata;
  if (!record->Active() || (record->State() != dsEdit && record->State() != dsInsert)) return true;
  try {
    record->Post();
    return true;
  } catch (Exception&) {
    // The data module's post-error handler has told the user why; the edit
    // stays in the row for the user to mend.
    return false;
  }
}

bool Tfrm_meta_edit::CheckStructure(String& ErrorText) {
  ErrorText = u"本版本尚不能检查元数据结构";
  return false;
}

bool Tfrm_meta_edit::WriteXml(const String&) { throw Exception(u"本版本尚不能输出XML文件"); }
