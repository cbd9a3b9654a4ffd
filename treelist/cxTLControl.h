#pragma once
// The tree list control: an editing control whose one data controller holds
// the nodes' records. Here: the columns (editing container items over that
// data controller), the focused node, inserting, moving and deleting nodes
// with the focus kept in place, fitting the columns into a width, and the
// keys the control handles itself. The rows view and painter are not here.
#include <functional>
#include <memory>
#include <vector>

#include "treelist/cxTL.h"
#include "treelist/cxTLAutoWidth.h"

class TcxCustomTreeListControl;
class TcxTreeListBand;
class TcxTreeListBands;

// What the bands read of the view and customizing settings.
struct TcxTreeListBandSettings {
  // Band headers shown, and how many lines high.
  bool Bands = false;
  Integer BandLineCount = 1;
  // Columns and bands fitted into the client width.
  bool ColumnAutoWidth = false;
  bool Headers = true;
  // Every column in row 0, one line high.
  bool HeaderSingleLine = false;
  // One indent level in front of the top-level nodes.
  bool ShowRoot = true;
  // Vertical grid lines take two more pixels of a cell.
  bool VertGridLines = false;
  bool BandHorzSizing = true;
  bool BandMoving = true;
  bool BandVertSizing = true;
  bool ColumnHorzSizing = true;
  // The width of one tree level: the expand box (9) plus 6.
  Integer IndentWidth = 15;
  // The node images' room in the column that carries the tree.
  Integer ImagesWidth = 0;
};

inline constexpr TResourceString cxSTreeListMultiSelectRequired{65406, u"Multi select required"};

// A column's place in its band: the row, the place in the row and the rows it spans.
class TcxTreeListColumnPosition {
public:
  Integer ColIndex = 0;
  Integer RowIndex = 0;
  Integer LineCount = 1;
  // The band's collection index; -1 without a band.
  Integer BandIndex = -1;
};

class TcxTreeListColumn;
using TcxTreeListOnGetDisplayTextEvent =
    TEvent<void(TcxTreeListColumn* Sender, TcxTreeListNode* ANode, String& Value)>;

class TcxTreeListColumn : public TcxCustomInplaceEditContainer {
  KORVANE_CLASS(TcxTreeListColumn, TcxCustomInplaceEditContainer)

  // Minimum and width a new column takes.
  static constexpr Integer DefaultMinWidth = 20;
  static constexpr Integer DefaultWidth = 100;

  // Joins ATreeList's items (none: a free column).
  explicit TcxTreeListColumn(TcxCustomTreeListControl* ATreeList);
  ~TcxTreeListColumn() override;

  TcxCustomTreeListControl* TreeList() const;
  String Caption() const { return FCaption; }
  void SetCaption(const String& AValue);
  bool Visible() const { return FVisible; }
  void SetVisible(bool AValue);
  // Never below MinWidth.
  Integer Width() const { return FWidth; }
  void SetWidth(Integer AValue);
  Integer MinWidth() const { return FMinWidth; }
  // Not below 0; a narrower column is widened to it.
  void SetMinWidth(Integer AValue);
  // The width the last fit gave the column (its own width before any fit).
  Integer DisplayWidth() const { return FDisplayWidth; }
  void SetDisplayWidth(Integer AValue) { FDisplayWidth = AValue; }
  // Whether the user may size the column; a column that may not keeps its width in a fit.
  bool Sizing() const { return FSizing; }
  void SetSizing(bool AValue);
  const TcxTreeListColumnPosition& Position() const { return FPosition; }
  // Not below 0 (rows, places) or 1 (line count).
  void SetColIndex(Integer AValue);
  void SetRowIndex(Integer AValue);
  void SetLineCount(Integer AValue);

  // ---- Band ----
  TcxTreeListBand* Band() const { return FBand; }
  // Leaves the old band's rows for the new one's (none: no band).
  void SetBand(TcxTreeListBand* AValue);
  // The band with that collection index; none outside the range.
  void SetBandIndex(Integer AValue);
  // Width and own width from the widest content of the visible nodes (at
  // least the header's need). Nothing without a tree list or when the
  // column may not be sized.
  void ApplyBestFit();
  // MinWidth, or the caption with its margin when headers show.
  Integer GetMinHeaderFooterWidth() const;
  // MinWidth 20, Width 100.
  void RestoreWidths();

  // soNone whenever Options()->Sorting is off; the tree re-sorts.
  TcxDataSortOrder SortOrder() const;
  void SetSortOrder(TcxDataSortOrder AValue);
  // The node's value in this column as text; OnGetDisplayText may change it.
  String GetDisplayText(TcxTreeListNode* ANode);
  TcxTreeListOnGetDisplayTextEvent OnGetDisplayText;

  // Width 100, minimum 20, no sorting, sizing allowed.
  void RestoreDefaults();

  // ---- Stored layout ----
  static const std::vector<String>& GetStoredPropertyNames();
  // Null for an unknown name and for "SortIndex" (listed, never kept).
  Variant GetStoredPropertyValue(const String& AName) const;
  void SetStoredPropertyValue(const String& AName, const Variant& AValue);

  void Changed() override;

private:
  friend class TcxCustomTreeListControl;
  friend class TcxTreeListBand;
  friend class TcxTreeListBands;
  String FCaption;
  Integer FWidth = DefaultWidth;
  Integer FMinWidth = DefaultMinWidth;
  Integer FDisplayWidth = DefaultWidth;
  bool FVisible = true;
  bool FSizing = true;
  TcxTreeListColumnPosition FPosition;
  TcxTreeListBand* FBand = nullptr;
};

// The tree list's controller: the keys the control handles itself before
// the cell navigation of the base.
class TcxTreeListController : public TcxCustomControlController {
  KORVANE_CLASS(TcxTreeListController, TcxCustomControlController)
  explicit TcxTreeListController(TcxCustomTreeListControl* AControl);

  TcxCustomTreeListControl* TreeList() const;
  TcxEditCellViewInfo* GetFocusedCellViewInfo(TcxCustomInplaceEditContainer*) override { return nullptr; }
  void MakeFocusedCellVisible() override {}
  bool MakeFocusedRecordVisible() override { return true; }

};

inline constexpr TResourceString cxSTreeListDeleteConfirmation{65407, u"Delete record(s)?"};
inline constexpr TResourceString cxSTreeListConfirmCaption{65408, u"Confirm"};

class TcxCustomTreeListControl : public TcxTreeListNodesOwner {
  KORVANE_CLASS(TcxCustomTreeListControl, TcxTreeListNodesOwner)

  // Default size of a new control.
  static constexpr Integer DefaultWidth = 250;
  static constexpr Integer DefaultHeight = 150;

  explicit TcxCustomTreeListControl(TComponent* AOwner = nullptr);
  ~TcxCustomTreeListControl() override;

  // ---- Columns ----
  TcxTreeListColumn* CreateColumn();
  Integer ColumnCount() const { return Integer(FColumns.size()); }
  // None outside 0 .. ColumnCount - 1.
  TcxTreeListColumn* GetColumn(Integer AIndex) const;
  // Visible columns of visible bands by row, then band, then place in the row.
  std::vector<TcxTreeListColumn*> VisibleColumns() const;
  // Places AColumn at ARowIndex / AColIndex of its band: with ANewRow every
  // row from ARowIndex down moves one row lower first; the columns of the
  // row from AColIndex on move one place right.
  void SetColumnPosition(TcxTreeListColumn* AColumn, Integer AColIndex, bool ANewRow, Integer ARowIndex);
  // The visible bands share AWidth and each band's rows spread its share
  // over their columns; a column without Sizing keeps its width. Answers
  // the bands' total width.
  Integer ApplyAutoWidth(Integer AWidth);

  // ---- Bands ----
  TcxTreeListBands* Bands() const { return FBands.get(); }
  // A new column in ABand (none: the first band, made when there is none).
  TcxTreeListColumn* CreateColumn(TcxTreeListBand* ABand);
  // As above, in band ABandIndex (-1: no band).
  void SetColumnPosition(TcxTreeListColumn* AColumn, Integer ABandIndex, Integer AColIndex, bool ANewRow,
                         Integer ARowIndex);
  // One read point, so that the view and customizing settings can answer it.
  TcxTreeListBandSettings BandSettings() const { return FBandSettings; }
  // Lays the bands out anew.
  void SetBandSettings(const TcxTreeListBandSettings& AValue);
  // Whether the layout is one band with every column; a second band ends it.
  bool DefaultLayout() const { return FDefaultLayout; }
  // True restores the default layout.
  void SetDefaultLayout(bool AValue);
  // Band headers off, one band with defaults holding every column (with defaults).
  void RestoreDefaultLayout();

  // ---- Focus ----
  TcxTreeListNode* FocusedNode() const;
  // A hidden node is ignored; none focuses no node.
  void SetFocusedNode(TcxTreeListNode* ANode);

  // ---- Nodes ----
  // A new node: without AInsert the last child of the focused node, with it
  // a node before the focused node's parent (before the focused node on the
  // top level). Without a focused node AInsert adds a top-level node and
  // nothing happens otherwise. The new node is focused; answers whether one
  // was made.
  bool InsertNode(bool AInsert);
  // Moves (or copies, as last children) the nodes to ATarget by AMode,
  // keeping their order; entries that are ATarget itself (for a child or
  // insert mode) or an ancestor of it are dropped.
  void MoveNodes(TcxTreeListNode* ATarget, TcxTreeListNodeAttachMode AMode, bool ACopy,
                 std::vector<TcxTreeListNode*> AList);
  // Frees the nodes; the focus goes to the node that then holds the focused
  // node's visible position (the last one when the list got shorter).
  void DeleteNodes(std::vector<TcxTreeListNode*> AList);
  // The selected nodes, or the focused node when none is selected.
  void DeleteSelection();
  // The first node from AStart (the first top-level node when none) on,
  // forward or backward in depth-first order, that AMatch accepts; none when
  // no node does. With AExpandedOnly only shown nodes are visited; otherwise
  // a collapsed node that has children still to come is expanded and
  // collapsed again first, so they load.
  TcxTreeListNode* FindNode(const std::function<bool(TcxTreeListNode*)>& AMatch, TcxTreeListNode* AStart,
                            bool AForward, bool AExpandedOnly);
  // ---- Selection ----
  // With multi-selection (or nothing focused) the selection list, else the focused node.
  Integer SelectionCount() const;
  TcxTreeListNode* Selections(Integer AIndex) const;
  // Every node, depth first and ignoring expansion, that OnCanSelectNode
  // allows; raises no selection change itself.
  void SelectAll();
  // Only ANodes selected, with one selection change at the end.
  void SelectNodes(const std::vector<TcxTreeListNode*>& ANodes);
  // Marks a node selected; EcxTreeList "Multi select required" without multi-selection.
  void SelectNode(TcxTreeListNode* ANode);

  // ---- Items and updates ----
  void RemoveContainerItem(TcxCustomInplaceEditContainer* AItem) override;
  void EndUpdate() override;

  void FocusNode(TcxTreeListNode* ANode) override;
  void ForgetNode(TcxTreeListNode* ANode) override;

protected:
  // Raised once the selection lock is back at 0.
  void SelectionChanged() override;
  std::unique_ptr<TcxCustomControlController> CreateController() override;

private:
  void SaveFocusedPosition();
  void RestoreFocusedPosition();
  // Owned columns, freed before the nodes' data controller.
  std::vector<std::unique_ptr<TcxTreeListColumn>> FColumns;
  // Nodes DeleteNodes still has to free; a node freed with an ancestor leaves it.
  std::vector<TcxTreeListNode*> FDeletingNodes;
  // The focused node's visible index, saved before nodes are removed.
  Integer FSavedFocusedIndex = -1;
  bool FFocusedNodeRemoved = false;
  bool FDestroyingColumns = false;
  Integer FSelectionLock = 0;
  bool FSelectionChangedPending = false;
  TcxTreeListBandSettings FBandSettings;
  bool FDefaultLayout = true;
  // Freed after the columns, which leave their bands first.
  std::unique_ptr<TcxTreeListBands> FBands;
};
