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

  pnl_treeArea = new TPanel(this);
  pnl_treeArea->SetName(u"pnl_treeArea");
  pnl_treeArea->SetParent(Panel2);
  pnl_treeArea->SetAlign(alClient);
  pnl_treeArea->SetBevelOuter(bvNone);
  pnl_treeArea->SetColor(clWindow);
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
