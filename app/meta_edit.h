#pragma once
// The editing window: a child window of the main window in which one record
// is edited. The same window object shows every record the main window
// loads; it holds the record's file name and kind, the flags that keep the
// description pane quiet while commands walk the record, and the
// description pane m_descr, which describes the focused element from the
// template.
//
// The tree of elements (cxDBTreeList1) shows the record query: one node per
// element row, keyed by "id" under "parent_id". Focusing a node moves the
// record query to its row, and a move of the record query (an insertion,
// a search) focuses the row's node.
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"
#include "treelist/cxDBTL.h"

// The caption of a record that was never written to a file.
inline constexpr const char16_t* UnnamedRecordCaption = u"未命名";

class Tfrm_meta_edit : public TForm {
  KORVANE_CLASS(Tfrm_meta_edit, TForm)
  // Builds the window and runs FormCreate. It is a child of the main window,
  // so the application's main form must be the frame (see forms.h).
  explicit Tfrm_meta_edit(TComponent* AOwner);
  ~Tfrm_meta_edit() override;

  TPanel* Panel2 = nullptr;       // fills the window
  TPanel* Panel3 = nullptr;       // the bottom strip with the description
  TMemo* m_descr = nullptr;       // read-only description of the focused element
  // The tree of elements and its columns, in creation order: the position
  // in this list is the item index through which a node's values are read.
  TcxDBTreeList* cxDBTreeList1 = nullptr;
  TcxDBTreeListColumn* cxDBTreeList1cxDBTreeListColumn1 = nullptr;   // "id", hidden
  TcxDBTreeListColumn* cxDBTreeList1cxDBTreeListColumn2 = nullptr;   // "cname": 名称
  TcxDBTreeListColumn* cxDBTreeList1cxDBTreeListColumn6 = nullptr;   // "content": 内容
  TcxDBTreeListColumn* cxDBTreeList1cxDBTreeListColumn3 = nullptr;   // "code", hidden
  TcxDBTreeListColumn* cxDBTreeList1cxDBTreeListColumn4 = nullptr;   // "max_times", hidden
  TcxDBTreeListColumn* cxDBTreeList1cxDBTreeListColumn5 = nullptr;   // "parent_id", hidden
  TcxDBTreeListColumn* cxDBTreeList1cxDBTreeListColumn7 = nullptr;   // "ename", hidden
  TcxDBTreeListColumn* cxDBTreeList1cxDBTreeListColumn8 = nullptr;   // "tag", hidden
  TcxDBTreeListColumn* cxDBTreeList1cxDBTreeListColumn9 = nullptr;   // "choice_state", hidden
  TcxDBTreeListColumn* cxDBTreeList1cxDBTreeListColumn10 = nullptr;  // "choice_name": 相对可选性

  // The XML file the record was last written to or imported from; "" for
  // a record never written. Setting it sets the caption (UnnamedRecordCaption
  // for "").
  String FileName() const { return FFileName; }
  void SetFileName(const String& AName);

  // Set while a record is loaded and no long command walks it.
  bool RecordReady() const { return FRecordReady; }
  void SetRecordReady(bool Value) { FRecordReady = Value; }
  // Cleared while insert, delete and move run.
  bool EditIdle() const { return FEditIdle; }
  void SetEditIdle(bool Value) { FEditIdle = Value; }
  // Cleared by the data module while a row of the record is being posted,
  // so that a post in the middle of a command does not bring the pane back
  // (RecordReady stays as the command left it).
  bool PostIdle() const { return FPostIdle; }
  // The record is of the core kind.
  bool IsCore() const { return FIsCore; }
  void SetIsCore(bool Value) { FIsCore = Value; }

  // The data source the tree of elements shows (nullptr: unbound), and
  // expanding all its nodes.
  TDataSource* TreeDataSource() const;
  void SetTreeDataSource(TDataSource* Source);
  void ExpandAll();

  // Hooks the record query's scrolling to the description pane, clears
  // RecordReady and opens the code lists; a failure says "初始化错误" and
  // closes the window.
  void FormCreate(TObject* Sender);
  // An edit not yet posted is written first; a refused one keeps the
  // window open.
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  // Unhooks, frees the window, forgets the global reference and turns the
  // main window's record commands off.
  void FormClose(TObject* Sender, TCloseAction& Action);
  // Writes the two description lines of the focused element (its template
  // row in dm->aq_moreINfo) when RecordReady, EditIdle and PostIdle all hold.
  void ShowNodeDescription(TDataSet* DataSet);
  void RefreshDescription();

  // Writes an edit of the record query that is not posted yet. False when
  // the post is refused (the data module has shown why); the command that
  // asked should then stop, so that nothing typed is lost.
  bool PostPendingEdit();

  // The structure check: true when the record is in order, else false with
  // the reason in ErrorText. Not yet available: it answers false with a
  // text that says so.
  bool CheckStructure(String& ErrorText);
  // Writes the record as an XML file; false when the user declined after a
  // failed check. Not yet available: it raises an Exception that says so.
  bool WriteXml(const String& AFileName);

private:
  void BuildPanels();
  void BuildTree();
  // The focused node's row becomes the record query's current row, and
  // the other way round; each does nothing while the other runs or while
  // the tree reads its rows.
  void cxDBTreeList1FocusedNodeChanged(TcxCustomTreeListControl* Sender, TcxTreeListNode* APrevFocusedNode,
                                       TcxTreeListNode* AFocusedNode);
  void FocusRecordNode();

  String FFileName;
  bool FRecordReady = false;
  bool FEditIdle = true;
  bool FPostIdle = true;
  bool FIsCore = false;
  bool FSyncing = false;
};

// The editing window while it exists; nullptr before the first record is
// shown and after the window closes.
extern Tfrm_meta_edit* frm_meta_edit;
