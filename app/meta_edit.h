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
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/imagelist.h"
#include "platform/gui/menus.h"
#include "platform/gui/stdctrls.h"
#include "editors/cxEditRepository.h"
#include "foundation/cxStyles.h"
#include "treelist/cxDBTL.h"
#include "treelist/cxTLStyles.h"

// Date-and-time elements keep their value as ISO 8601 text: "yyyy-mm-dd",
// or "yyyy-mm-ddThh:nn:ss" with a time of day, so that a record reads the
// same on every machine; the editor shows them in the locale's format.
// Reading answers false for any other text (ADate untouched); writing
// leaves out a time of day of 00:00:00.
bool IsoTextToDateTime(const String& AText, TDateTime& ADate);
String DateTimeToIsoText(TDateTime ADate);
// A date in ISO 8601's basic form ("yyyymmdd", "yyyymmddThhnn" or
// "yyyymmddThhnnss") as the stored text; false (AStored untouched) for any
// other text or an impossible date.
bool IsoBasicTextToIsoText(const String& AText, String& AStored);

// An item of the insert submenu: the template branch Code goes under the
// row ParentId.
class TMyMenuItem : public TMenuItem {
  KORVANE_CLASS(TMyMenuItem, TMenuItem)
  using TMenuItem::TMenuItem;
  Integer ParentId = 0;
  String Code;
};

// The text that refuses to swap a branch with a leaf.
inline constexpr const char16_t* BranchLeafSwapRefusal = u"本系统不允许枝和叶对调位置";

// The question before Ctrl+Delete deletes the focused element.
inline constexpr const char16_t* DeleteKeyConfirmation = u"删除当前元素及其全部下级元素吗?";
inline constexpr const char16_t* DeleteKeyConfirmationCaption = u"删除确认";

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

  // The content column's editors. The first item whose Tag is the
  // element's tag edits it (ElementEditor); the item names follow the
  // design (cxEditRepository1TextItem1 ...).
  TcxEditRepository* cxEditRepository1 = nullptr;
  // The look of the tree: TreeListStyleSheetVelmora for the tree's parts,
  // cxStyle10 for the content of a node with children, cxStyle11 for a leaf.
  TcxStyleRepository* StyleRepository = nullptr;
  TcxTreeListStyleSheet* TreeListStyleSheetVelmora = nullptr;
  TcxStyle* cxStyle10 = nullptr;
  TcxStyle* cxStyle11 = nullptr;
  // Images read from the PNG files in the images folder beside the program
  // (a missing file leaves its place blank): ImageList2 the context menu's
  // (insert 0, expand 4, collapse 6, delete 8, insert items 16 and 17),
  // ImageList3 the tree's nodes (a leaf 5, a branch 6).
  TImageList* ImageList2 = nullptr;
  TImageList* ImageList3 = nullptr;

  // The XML file the record was last written to or imported from; "" for
  // a record never written. Setting it sets the caption (UnnamedRecordCaption
  // for "").
  String FileName() const { return FFileName; }
  void SetFileName(const String& AName);
  // Set when FileName is the file the record was imported from and nothing
  // has been written there yet: the first output asks where to write, so
  // that the user's own file is replaced only by choice. SetFileName clears it.
  bool FileNameImported() const { return FFileNameImported; }
  void SetFileNameImported(bool Value) { FFileNameImported = Value; }

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
  // What every command that leaves, reloads or walks the record runs first:
  // the open in-place editor's text goes through the editor's own
  // validation into the record (as leaving the cell does), then the
  // record's pending edit is written. False when either is refused: the
  // user has been told why, the editor stays open on the text, and the
  // command stops.
  bool FinishEditing();

  // ---- Structure check (meta_edit_check.cpp) and XML output (meta_edit_xml.cpp) ----
  // One element of the open record, read from the record query, in the
  // place the tree shows it (children in code, then id order).
  struct TRecordNode {
    Integer Id = 0;
    String Code, Cname, Ename, Content;
    Integer Tag = 0;
    String Choice;           // the template's optionality; "" for a code it lacks
    bool InTemplate = false;
    Integer State = 0;       // the "choice_state" the check gives it
    TRecordNode* Parent = nullptr;
    size_t Index = 0;        // its place among its parent's children
    std::vector<std::unique_ptr<TRecordNode>> Children;
    TRecordNode* Next() const;   // the next element in pre-order; nullptr at the end
    TRecordNode* NextOutside() const;  // the next one after this element's own subtree
  };
  // The check's result when it fails with no more to say.
  static constexpr const char16_t* StructureCheckFailedText = u"结构检查未通过";
  // The record's elements under an invisible root; false with the reason
  // when the record or the template cannot be read. Posts a pending edit.
  bool ReadRecordTree(String& ErrorText, std::unique_ptr<TRecordNode>& Root);
  // True when the record is in order; else false with the reason in
  // ErrorText (never empty) and the faulty element focused. Every
  // element's "choice_state" is rewritten. A core record passes untouched.
  bool CheckStructure(String& ErrorText);
  // The leaf state of a template choice ("M", "O" or a group id) and content.
  static Integer ChoiceStateOf(const String& Choice, const String& Content);
  void SetLeafChoiceState(TRecordNode* Node);
  // Rolls up the state of Node from its children; false when its code, or
  // a group member's, is not in the template.
  bool RollUpChoiceState(String& ErrorText, TRecordNode* Node);
  bool FindChoiceError(String& ErrorText, TRecordNode* Node, TRecordNode*& Found);
  bool FindMissingChildren(String& ErrorText, TRecordNode* Node, TRecordNode*& Found);
  // Makes the element the record query's current row (the tree follows).
  void FocusRecordNode(const TRecordNode* Node);
  // Writes the record as an XML file (GB2312, written beside and renamed);
  // false when nothing was written (WriteXmlFile says why). Raises on
  // failures of reading the record or of writing the file.
  bool WriteXml(const String& AFileName);
  enum TXmlOutputResult {
    xoWritten,           // the record passed the check and is written
    xoWrittenUnchecked,  // failed the check; on Yes every filled element is written
    xoDeclined,          // failed the check and the user said No
    xoNothingToWrite,    // failed the check and nothing is filled: no file
  };
  // The work of WriteXml. After a failed check and Yes, the file holds
  // every element that has content, with its ancestors, in template order.
  // Content with a character XML 1.0 cannot carry raises, naming the
  // element, before anything is written. Elements are written as the
  // template spells them.
  TXmlOutputResult WriteXmlFile(const String& AFileName);
  // From Node on in pre-order, the first element to write (a skipped
  // element's own subtree is passed over); false at the end.
  bool SkipToExportable(TRecordNode*& Node);

private:
  void BuildPanels();
  void BuildTree();
  void BuildEditors();
  void BuildStyles();
  void BuildImages();
  // The element's tag (column "tag") of the tree's record; Null without one.
  Variant RecordTag(Integer ARecordIndex) const;

public:
  // The repository item whose Tag is ATag, the first in repository order;
  // nullptr for a null tag or one that no item has.
  TcxEditRepositoryItem* ElementEditor(const Variant& ATag) const;
  // The content column's editor for the element of the record: that of
  // ElementEditor, else the column's own.
  void cxDBTreeList1cxDBTreeListColumn6GetEditProperties(TcxCustomInplaceEditContainer* Sender, Integer ARecordIndex,
                                                         TcxCustomEditProperties*& AProperties);
  void cxDBTreeList1StylesGetContentStyle(TcxCustomTreeListControl* Sender, TObject* AItem, TcxTreeListNode* ANode,
                                          TcxStyle*& AStyle);
  // Image 6 for a node with children, 5 for a leaf.
  void cxDBTreeList1GetNodeImageIndex(TcxCustomTreeListControl* Sender, TcxTreeListNode* ANode,
                                      TcxTreeListImageIndexType AIndexType, Integer& AIndex);
  void cxEditRepository1DateItem1PropertiesValidate(TObject* Sender, Variant& DisplayValue, TCaption& ErrorText,
                                                    bool& Error);
  // The content column takes the width of the screen that the name and
  // choice columns and a margin leave.
  void FitContentColumn();
  void FormShow(TObject* Sender);

  // ---- The tree's context menu ----
  // It opens by itself (right click) only while the name column has the
  // focus. Its items: N1 插入 (rebuilt at each popup), N2 删除, N3 展开,
  // N4 折叠, N6 全部展开, N7 全部折叠, N9 上移 (Tag 1), N10 下移 (Tag -1).
  TPopupMenu* pm_oper = nullptr;
  TMenuItem* N1 = nullptr;
  TMenuItem* N2 = nullptr;
  TMenuItem* N3 = nullptr;
  TMenuItem* N4 = nullptr;
  TMenuItem* N6 = nullptr;
  TMenuItem* N7 = nullptr;
  TMenuItem* N9 = nullptr;
  TMenuItem* N10 = nullptr;
  void cxDBTreeList1FocusedColumnChanged(TcxCustomTreeListControl* Sender, TcxTreeListColumn* APrevFocusedColumn,
                                         TcxTreeListColumn* AFocusedColumn);
  // Rebuilds 插入 with what the template offers at the focused node: the
  // target is the node itself when it has children, else its parent, and
  // for a top-level leaf the record's invisible root; a repeatable target
  // is offered too (beside itself). Enables the moves that have a sibling
  // of the same code.
  void pm_operPopup(TObject* Sender);
  void AddInsertItem(const String& ACaption, const String& ACode, Integer AImageIndex, Integer AParentId);
  void InsertItemClick(TObject* Sender);
  // Deletes the focused element with its subtree; a branch left without
  // children goes with it, up to the top level.
  void N2Click(TObject* Sender);
  // Ctrl+Delete in the tree (an open editor passes it on) deletes as 删除
  // does, once the user has confirmed (DeleteKeyConfirmation); the tree's
  // own deletion never runs.
  void cxDBTreeList1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void N3Click(TObject* Sender);
  void N4Click(TObject* Sender);
  void N6Click(TObject* Sender);
  void N7Click(TObject* Sender);
  // Moves the focused element up (Tag 1) or down (Tag -1) among its
  // siblings of the same code.
  void N9Click(TObject* Sender);
  // Exchanges two siblings: two branches exchange their children, two
  // leaves their contents, each in one transaction that leaves the record
  // as it was when it fails; a branch and a leaf are refused. False with
  // the reason in AText.
  bool SwapSiblings(String& AText, TcxTreeListNode* AUpper, TcxTreeListNode* ALower);

private:
  // The values of a node by design column.
  String NodeCode(const TcxTreeListNode* ANode) const;
  Integer NodeId(const TcxTreeListNode* ANode) const;
  void BuildMenu();
  // Scrolls so that the focused node shows: to it (half a page above)
  // when it lies outside the page from ATop, else back to ATop.
  void ShowFocusedFrom(Integer ATop);
  bool SwapLeafContents(String& AText, Integer AUpperId, Integer ALowerId);
  // The focused node's row becomes the record query's current row, and
  // the other way round; each does nothing while the other runs or while
  // the tree reads its rows.
  void cxDBTreeList1FocusedNodeChanged(TcxCustomTreeListControl* Sender, TcxTreeListNode* APrevFocusedNode,
                                       TcxTreeListNode* AFocusedNode);
  void FocusRecordNode();

  // The template's mandatory children by lower-case code, for one check.
  std::unordered_map<String, std::vector<String>> FMandatoryChildCodes;
  String FFileName;
  bool FFileNameImported = false;
  bool FRecordReady = false;
  bool FEditIdle = true;
  bool FPostIdle = true;
  bool FIsCore = false;
  bool FSyncing = false;
};

// The editing window while it exists; nullptr before the first record is
// shown and after the window closes.
extern Tfrm_meta_edit* frm_meta_edit;
