#pragma once
// The tree list control: an editing control whose one data controller holds
// the nodes' records. Here: the columns (editing container items over that
// data controller), the focused node, inserting, moving and deleting nodes
// with the focus kept in place, fitting the columns into a width, and the
// keys the control handles itself, its settings and styles, its events
// with the delayed change notice, the navigator link and the text export.
// The rows view and painter are not here.
#include <functional>
#include <memory>
#include <vector>

#include "platform/gui/timers.h"
#include "treelist/cxTL.h"
#include "treelist/cxTLAutoWidth.h"
#include "treelist/cxTLNavigator.h"
#include "treelist/cxTLOptions.h"
#include "treelist/cxTLStyles.h"

class TcxCustomTreeListControl;
class TcxTreeListBand;
class TcxTreeListBands;
class TcxTreeListViewInfo;
class TcxTreeListHitTest;
class TcxTreeListCustomizing;
class TImageList;

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

// What the rows view, its painter and its controller read of the view,
// selection, behavior and data settings.
struct TcxTreeListViewSettings {
  bool Indicator = false;
  Integer IndicatorWidth = 15;
  bool Footer = false;
  // Expand buttons on nodes with children.
  bool Buttons = true;
  // Horizontal grid lines (the vertical ones are a band setting).
  bool HorzGridLines = false;
  // Tree lines drawn, and drawn solid instead of dotted.
  bool TreeLines = true;
  bool SolidTreeLines = false;
  TColor TreeLineColor = clDefault;
  TColor GridLineColor = clDefault;
  // Headers and indicators in the plain look.
  bool ExtPaintStyle = false;
  bool CellSelect = true;
  bool InvertSelect = true;
  bool HideSelection = false;
  bool HideFocusRect = false;
  bool Sorting = true;
  bool MultiSort = true;
  bool ExpandOnDblClick = true;
  bool ConfirmDelete = true;
  bool Deleting = true;
  bool Inserting = false;
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

// The caption of a column or band header: its text, a glyph, where each
// stands in the header, and whether the text wraps or ends in an ellipsis.
// Every change tells the owner (which repaints its header outside an
// update); a glyph alignment change only when there is a glyph.
class TcxTreeListCaption : public TPersistent {
  KORVANE_CLASS(TcxTreeListCaption, TPersistent)
  explicit TcxTreeListCaption(std::function<void()> AOnChange = {});
  ~TcxTreeListCaption() override;
  // Every property from another caption.
  void Assign(TPersistent* ASource) override;

  const String& Text() const { return FText; }
  void SetText(const String& AValue);
  TAlignment AlignHorz() const { return FAlignHorz; }
  void SetAlignHorz(TAlignment AValue);
  TcxAlignmentVert AlignVert() const { return FAlignVert; }
  void SetAlignVert(TcxAlignmentVert AValue);
  // The glyph the caption owns (none while empty); setting copies it.
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* AValue);
  bool HasGlyph() const;
  TAlignment GlyphAlignHorz() const { return FGlyphAlignHorz; }
  void SetGlyphAlignHorz(TAlignment AValue);
  TcxAlignmentVert GlyphAlignVert() const { return FGlyphAlignVert; }
  void SetGlyphAlignVert(TcxAlignmentVert AValue);
  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool AValue);
  bool ShowEndEllipsis() const { return FShowEndEllipsis; }
  void SetShowEndEllipsis(bool AValue);
  // Room the glyph takes beside the text (its width when it stands left or right).
  Integer GlyphWidthBesideText() const;

private:
  void Changed();
  std::function<void()> FOnChange;
  String FText;
  TAlignment FAlignHorz = taLeftJustify;
  TcxAlignmentVert FAlignVert = vaTop;
  std::unique_ptr<TBitmap> FGlyph;
  TAlignment FGlyphAlignHorz = taLeftJustify;
  TcxAlignmentVert FGlyphAlignVert = vaTop;
  bool FMultiLine = false;
  bool FShowEndEllipsis = true;
};

class TcxTreeListColumn;
using TcxTreeListOnGetDisplayTextEvent =
    TEvent<void(TcxTreeListColumn* Sender, TcxTreeListNode* ANode, String& Value)>;

class TcxTreeListColumn : public TcxCustomInplaceEditContainer, public IcxDragSizing {
  KORVANE_CLASS(TcxTreeListColumn, TcxCustomInplaceEditContainer)

  // Minimum and width a new column takes.
  static constexpr Integer DefaultMinWidth = 20;
  static constexpr Integer DefaultWidth = 100;

  // Joins ATreeList's items (none: a free column).
  explicit TcxTreeListColumn(TcxCustomTreeListControl* ATreeList);
  ~TcxTreeListColumn() override;

  TcxCustomTreeListControl* TreeList() const;
  // Content, header and footer styles.
  TcxTreeListColumnStyles* Styles() const { return static_cast<TcxTreeListColumnStyles*>(inherited::Styles()); }
  // The caption's text.
  String Caption() const { return FCaptionSettings->Text(); }
  void SetCaption(const String& AValue) { FCaptionSettings->SetText(AValue); }
  // The header caption: text, glyph, alignments, line wrapping, ellipsis.
  TcxTreeListCaption* CaptionSettings() const { return FCaptionSettings.get(); }
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
  // Sizing, cell ellipsis, footer cell, Hidden and the inherited item options.
  TcxTreeListColumnOptions* Options() const { return static_cast<TcxTreeListColumnOptions*>(inherited::Options()); }
  // The column's summary in the footer.
  TcxTreeListColumnSummaryFooter* SummaryFooter() const { return FSummaryFooter.get(); }
  const TcxTreeListColumnPosition& Position() const { return FPosition; }
  // Not below 0 (rows, places) or 1 (line count).
  void SetColIndex(Integer AValue);
  void SetRowIndex(Integer AValue);
  void SetLineCount(Integer AValue);

  // The column's place in the tree list's item list.
  Integer Index() const { return ItemIndex(); }
  // Trades places with the column at AValue (nothing outside the list) and
  // moves one place towards it in its band row, the neighbour there taking
  // its old place.
  void SetIndex(Integer AValue);

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

  // Scrolls the view horizontally until the header shows between the
  // indicator and the right edge (a column in a fixed band always shows).
  void MakeVisible();

  // ---- Sizing by dragging (cxTLController.cpp) ----
  // Horizontal: the column's and the tree list's sizing options; vertical:
  // OptionsCustomizing.ColumnVertSizing with headers of several lines.
  bool CanSize(TcxSizingDirection ADirection) const;
  // The widest the column may become: MinWidth when hidden, unlimited in a
  // band of no set width, else the band's width less what the other
  // columns of its row need.
  Integer GetSizingLimit() const;
  // The sizing line's range, from the header's left (top) edge.
  TRect GetSizingBounds(TcxSizingDirection ADirection) const;
  // A header line when vertical, 1 otherwise.
  Integer GetSizingStep(TcxSizingDirection ADirection) const;
  // OptionsCustomizing.DynamicSizing.
  bool UseDynamicSizing() const;
  // Horizontal: Width := the shown width + ADelta; vertical: LineCount + ADelta.
  void SizeByDelta(TcxSizingDirection ADirection, Integer ADelta);
  TRect GetSizingBoundsRect(TcxSizingDirection ADirection) override { return GetSizingBounds(ADirection); }
  Integer GetSizingIncrement(TcxSizingDirection ADirection) override { return GetSizingStep(ADirection); }
  bool IsDynamicUpdate() override { return UseDynamicSizing(); }
  void SetSizeDelta(TcxSizingDirection ADirection, Integer ADelta) override { SizeByDelta(ADirection, ADelta); }

  // Without an OnGetEditProperties handler, when the editor can sort
  // (feature bit 7); or when the tree list has an OnCompare handler.
  bool IsSortable() const;
  // SortOrder when sortable, else soNone.
  TcxDataSortOrder GetEffectiveSortOrder() const { return IsSortable() ? SortOrder() : soNone; }

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
  std::unique_ptr<TcxTreeListColumnSummaryFooter> FSummaryFooter;
  std::unique_ptr<TcxTreeListCaption> FCaptionSettings;
  Integer FWidth = DefaultWidth;
  Integer FMinWidth = DefaultMinWidth;
  Integer FDisplayWidth = DefaultWidth;
  bool FVisible = true;
  TcxTreeListColumnPosition FPosition;
  TcxTreeListBand* FBand = nullptr;
};

// The tree list's controller: the keys the control handles itself before
// the cell navigation of the base.
class TcxTreeListController : public TcxCustomControlController {
  KORVANE_CLASS(TcxTreeListController, TcxCustomControlController)
  explicit TcxTreeListController(TcxCustomTreeListControl* AControl);

  TcxCustomTreeListControl* TreeList() const;
  // ---- Rows view, keys and mouse (cxTLController.cpp) ----
  TcxEditCellViewInfo* GetFocusedCellViewInfo(TcxCustomInplaceEditContainer* AItem) override;
  void MakeFocusedCellVisible() override;
  bool MakeFocusedRecordVisible() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void HandleMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void HandleMouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void DblClick() override;
  // With hot tracking the node under the mouse takes the hot look.
  void HandleMouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseLeave() override;
  void FocusedRecordChanged() override;
  void ScrollContent(TScrollBarKind AKind, TScrollCode ACode, Integer& APosition) override;
  bool IsNavigationKey(Word Key, TShiftState Shift) const override;
  // Selection with Shift (range from the anchor) or Ctrl (toggle).
  void SelectByShift(TcxTreeListNode* ANode, TShiftState AShift);
  // Only the focused node stays selected.
  void ClearSelectionKeepFocused();
  // A header click's sorting: the next order, Ctrl clears, Shift adds.
  void ChangeSortingByClick(TcxTreeListColumn* AColumn, TcxDataSortOrder AOrder, TShiftState AShift);
  // Page Down (ADown) or Up: by key the focus moves a page, else only the view.
  void PageMove(bool ADown, bool AByKey, TShiftState AShift);
  // Finds the first node from AStart whose text in AItem starts with AText
  // and focuses it (opening its collapsed ancestors with ExpandOnIncSearch).
  bool SearchFrom(TcxTreeListNode* AStart, Integer AItemIndex, bool AForward, const String& AText);
  // The node a search visits after ANode.
  TcxTreeListNode* NextSearchNode(TcxTreeListNode* ANode, bool AForward) const;
  bool ProcessIncSearchKey(Word Key, TShiftState Shift) override;
  TcxTreeListNode* SelectionAnchor() const { return FSelectionAnchor; }
  // Deleting and inserting need their setting and no open cell editor.
  bool CanDeleteNow() const;
  bool CanInsertNow() const;
  void ForgetNode(TcxTreeListNode* ANode);
  void FocusedItemChanged(TcxCustomInplaceEditContainer* APrevItem) override;

  // ---- Sizing by dragging ----
  // Whether P lies on a sizing edge (a header's right or lower edge, a
  // row's lower edge); the element there becomes the one a sizing drag
  // resizes.
  bool PrepareSizing(const TPoint& P);
  IcxDragSizing* GetSizingElement() override { return FSizingElement; }
  TcxSizingDirection GetResizeDirection() override { return FResizeDirection; }
  // A sizing edge's cursor, else none (crDefault).
  TCursor GetSizingCursor(const TPoint& P);

  // ---- Node drag and drop (cxTLController.cpp) ----
  // Wide of each auto-scroll area along the inner edges of the rows area.
  static constexpr Integer DragAutoScrollAreaWidth = 10;
  // Not on a sizing edge, not at design time, no cell editor open, on a
  // selected node and not on its indent.
  bool IsDraggablePress(const TPoint& P);
  // Ctrl is down now and OptionsBehavior.AutoDragCopy.
  bool IsCopyDrag() const;
  // The focused node becomes the drag source; the auto-scroll areas and
  // the expand timer are made.
  void BeginNodeDrag();
  void EndNodeDrag();
  // A drag from ASource rests at P: expands or collapses on a button after
  // WaitForExpandNodeTime, scrolls near the edges, focuses the node under
  // the mouse with DragFocusing. Answers whether a drop there is taken: the
  // nodes of this control onto a node that is neither dragged nor under a
  // dragged node.
  bool NodeDragOver(TObject* ASource, const TPoint& P);
  // Arms or stops the expand timer for the node whose button is at P.
  void CheckDragExpand(const TPoint& P);
  void DragExpandTimerFired(TObject* Sender);
  // The first auto-scroll area holding P scrolls; the others stop.
  void CheckAutoScrollAreas(const TPoint& P);
  // The dragged nodes go (copied with IsCopyDrag) under the node at P (on a
  // cell) or before it (elsewhere on its row).
  void DropNodes(TObject* ASource, const TPoint& P);
  // The selection plus the focused node (and the drag source when
  // DragFocusing moved the focus away from it).
  std::vector<TcxTreeListNode*> DraggedNodes() const;
  TcxTreeListNode* DragNode() const { return FDragNode; }
  TcxTreeListNode* ExpandNode() const { return FExpandNode; }
  TTimer* ExpandTimer() const { return FExpandTimer.get(); }
  TcxControllerAutoScrollingObject* AutoScrollArea(Integer AIndex) const { return FAutoScrollAreas[AIndex].get(); }

protected:
  std::unique_ptr<TcxCustomCellNavigator> CreateCellNavigator() override;
  std::unique_ptr<TcxCustomHitTestController> CreateHitTestController() override;
  void ScrollPage(bool ADown, TShiftState AShift) override { PageMove(ADown, true, AShift); }
  // The tree's own keys; answers whether the key was used.
  virtual bool HandleTreeKey(Word Key, TShiftState Shift);

private:
  TcxTreeListNode* FDragNode = nullptr;
  TcxTreeListNode* FExpandNode = nullptr;
  std::unique_ptr<TTimer> FExpandTimer;
  // Top, bottom, left, right.
  std::unique_ptr<TcxControllerAutoScrollingObject> FAutoScrollAreas[4];
  bool FNodeDragging = false;
  IcxDragSizing* FSizingElement = nullptr;
  TcxSizingDirection FResizeDirection = cxsdHorizontal;
  TcxTreeListNode* FSelectionAnchor = nullptr;
  // The node focused before the last focus change.
  TcxTreeListNode* FLastFocused = nullptr;
  // The control's cursor while no node is hot.
  TCursor FSavedCursor = crDefault;
  void SetHotNode(TcxTreeListNode* ANode, TShiftState AShift);
  TShiftState FLastShift = 0;
  Integer FHandlerLock = 0;
  bool FSearching = false;
  bool FKeyHandled = false;
};

// ---- Listeners -----------------------------------------------------------

// An object told of the control's layout changes and of its destruction.
class IcxTreeListListener {
public:
  virtual ~IcxTreeListListener() = default;
  virtual void TreeListChanged(TcxCustomTreeListControl* ATreeList) = 0;
  // The control is being destroyed: the listener lets go of it.
  virtual void TreeListRemoved(TcxCustomTreeListControl* ATreeList) = 0;
};

// ---- Events -------------------------------------------------------------------------------------

using TcxTreeListControlNotifyEvent = TEvent<void(TcxCustomTreeListControl* Sender)>;
using TcxTreeListMoveToEvent =
    TEvent<void(TcxCustomTreeListControl* Sender, TcxTreeListNode* AttachNode, TcxTreeListNodeAttachMode AttachMode,
                const std::vector<TcxTreeListNode*>& Nodes, bool& IsCopy, bool& Done)>;
using TcxTreeListFocusedChangedEvent =
    TEvent<void(TcxCustomTreeListControl* Sender, TcxTreeListNode* APrevFocusedNode, TcxTreeListNode* AFocusedNode)>;
using TcxTreeListFocusedColumnChanged = TEvent<void(TcxCustomTreeListControl* Sender, TcxTreeListColumn* APrevFocusedColumn,
                                                    TcxTreeListColumn* AFocusedColumn)>;
using TcxTreeListGetNodeImageIndexEvent =
    TEvent<void(TcxCustomTreeListControl* Sender, TcxTreeListNode* ANode, TcxTreeListImageIndexType AIndexType,
                Integer& AIndex)>;
using TcxTreeListIsGroupNodeEvent =
    TEvent<void(TcxCustomTreeListControl* Sender, TcxTreeListNode* ANode, bool& IsGroup)>;
using TcxTreeListOnHotTrackNodeEvent =
    TEvent<void(TcxCustomTreeListControl* Sender, TcxTreeListNode* ANode, TShiftState AShift, TCursor& ACursor)>;
using TcxTreeListNodeDataChangedEvent =
    TEvent<void(TcxCustomTreeListControl* Sender, TcxTreeListNode* ANode, TcxTreeListColumn* AColumn)>;
using TcxTreeListItemChangedEvent = TEvent<void(TcxCustomTreeListControl* Sender, TObject* AItem)>;
using TcxTreeListBandChangedEvent = TEvent<void(TcxCustomTreeListControl* Sender, TObject* ABand)>;
using TcxTreeListColumnChangedEvent = TEvent<void(TcxCustomTreeListControl* Sender, TcxTreeListColumn* AColumn)>;
using TcxTreeListGetNodePreviewHeightEvent = TEvent<void(
    TcxCustomTreeListControl* Sender, TcxTreeListNode* ANode, const Variant& ADisplayValue, Integer& AHeight)>;

// Custom drawing: each handler may draw the element itself on the canvas and
// set ADone, which replaces the element's own drawing.
class TcxCanvas;
class TcxTreeListHeaderViewInfo;
class TcxTreeListBandViewInfo;
class TcxTreeListIndentViewInfo;
class TcxTreeListIndicatorViewInfo;
class TcxTreeListFooterItemViewInfo;
class TcxTreeListCellsGroupViewInfo;
class TcxTreeListEditCellViewInfo;
using TcxCustomDrawBackgroundEvent = TEvent<void(TcxCustomTreeListControl* Sender, TcxCanvas* ACanvas,
                                                 const TRect& ARect, const TcxViewParams& AViewParams, bool& ADone)>;
using TcxCustomDrawHeaderViewInfoEvent = TEvent<void(TcxCustomTreeListControl* Sender, TcxCanvas* ACanvas,
                                                     TcxTreeListHeaderViewInfo* AViewInfo, bool& ADone)>;
using TcxCustomDrawBandViewInfoEvent = TEvent<void(TcxCustomTreeListControl* Sender, TcxCanvas* ACanvas,
                                                   TcxTreeListBandViewInfo* AViewInfo, bool& ADone)>;
using TcxCustomDrawIndentViewInfoEvent = TEvent<void(TcxCustomTreeListControl* Sender, TcxCanvas* ACanvas,
                                                     TcxTreeListIndentViewInfo* AViewInfo, bool& ADone)>;
using TcxCustomDrawIndicatorViewInfoEvent = TEvent<void(TcxCustomTreeListControl* Sender, TcxCanvas* ACanvas,
                                                        TcxTreeListIndicatorViewInfo* AViewInfo, bool& ADone)>;
using TcxCustomDrawFooterItemViewInfoEvent = TEvent<void(TcxCustomTreeListControl* Sender, TcxCanvas* ACanvas,
                                                         TcxTreeListFooterItemViewInfo* AViewInfo, bool& ADone)>;
using TcxCustomDrawCellsGroupViewInfoEvent = TEvent<void(TcxCustomTreeListControl* Sender, TcxCanvas* ACanvas,
                                                         TcxTreeListCellsGroupViewInfo* AViewInfo, bool& ADone)>;
using TcxCustomDrawEditCellViewInfoEvent = TEvent<void(TcxCustomTreeListControl* Sender, TcxCanvas* ACanvas,
                                                       TcxTreeListEditCellViewInfo* AViewInfo, bool& ADone)>;

inline constexpr TResourceString cxSTreeListDeleteConfirmation{65407, u"Delete record(s)?"};
inline constexpr TResourceString cxSTreeListConfirmCaption{65408, u"Confirm"};

class TcxCustomTreeListControl : public TcxTreeListNodesOwner {
  KORVANE_CLASS(TcxCustomTreeListControl, TcxTreeListNodesOwner)

  // Default size of a new control.
  static constexpr Integer DefaultWidth = 250;
  static constexpr Integer DefaultHeight = 150;

  explicit TcxCustomTreeListControl(TComponent* AOwner = nullptr);
  ~TcxCustomTreeListControl() override;

  // ---- Settings and styles ----
  TcxTreeListOptionsView* OptionsView() const {
    return static_cast<TcxTreeListOptionsView*>(TcxEditingControl::OptionsView());
  }
  TcxTreeListOptionsBehavior* OptionsBehavior() const {
    return static_cast<TcxTreeListOptionsBehavior*>(TcxEditingControl::OptionsBehavior());
  }
  TcxTreeListOptionsData* OptionsData() const {
    return static_cast<TcxTreeListOptionsData*>(TcxEditingControl::OptionsData());
  }
  TcxTreeListStyles* Styles() const { return static_cast<TcxTreeListStyles*>(TcxEditingControl::Styles()); }
  TcxTreeListOptionsCustomizing* OptionsCustomizing() const { return FOptionsCustomizing.get(); }
  TcxTreeListOptionsSelection* OptionsSelection() const { return FOptionsSelection.get(); }
  TcxTreeListPreview* Preview() const { return FPreview.get(); }
  // The customization form's settings and window (made on first use).
  TcxTreeListCustomizing* Customizing() const;
  // The node under the mouse while hot tracking (none otherwise).
  TcxTreeListNode* HotTrackNode() const { return FHotTrackNode; }
  void SetHotTrackNode(TcxTreeListNode* ANode) { FHotTrackNode = ANode; }
  // Every column to row 0 with one line.
  void FlattenColumnPositions();

  // ---- Change notice ----
  // Interval: OptionsBehavior.ChangeDelay; enabled while that is above 0.
  TTimer* ChangeTimer() const { return FChangeTimer.get(); }
  Integer ChangeDelay() const override { return Integer(FChangeTimer->Interval()); }

  // ---- Listeners and navigators ----
  void AddListener(IcxTreeListListener* AListener);
  void RemoveListener(IcxTreeListListener* AListener);
  TcxNavigatorControlNotifier* NavigatorNotifier() const { return FNavigatorNotifier.get(); }
  // Runs a navigator button's action.
  void DoNavigatorAction(TcxNavigatorButton AButton);
  // Whether the navigator shows the button enabled.
  bool IsNavigatorButtonEnabled(TcxNavigatorButton AButton) const;
  // At least one visible column and one node.
  bool HasData() const;

  // ---- Text export ----
  // The captions of the visible columns in display order, tab-separated.
  virtual String GetHeaderLineText();
  // The node's display texts in the visible columns, tab-separated.
  virtual String GetNodeLineText(TcxTreeListNode* ANode);
  // The header line (with OptionsView.Headers) and a line per node, each
  // after a line break, depth first ignoring expansion (only the selected
  // nodes with ASelectedOnly). Without headers the text starts with the
  // first node's line. Answers the text; an empty one is not copied.
  String CopyToClipboard(bool ASelectedOnly);

  // ---- Images and groups ----
  // The room of the node images in the column that carries the tree: one
  // indent width for each assigned image list (node and state images).
  virtual Integer GetImagesWidth() const;
  Integer GetNodeImageIndex(const TcxTreeListNode* ANode, TcxTreeListImageIndexType AType) const override;
  // Only in the categorized paint style: a node with children, as OnIsGroupNode says.
  virtual bool IsGroupNode(TcxTreeListNode* ANode);

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
  // What the bands read of the view and customizing settings, in one go.
  TcxTreeListBandSettings BandSettings() const;
  // Whether the layout is one band with every column; a second band ends it.
  bool DefaultLayout() const { return FDefaultLayout; }
  // True restores the default layout.
  void SetDefaultLayout(bool AValue);
  // Band headers off, one band with defaults holding every column (with defaults).
  void RestoreDefaultLayout();

  // ---- Hourglass ----
  // With OptionsBehavior.ShowHourGlass the screen shows the hourglass until
  // the layout is next brought up to date (the cursor before it returns).
  void ShowHourGlass();
  bool HourGlassShowing() const { return FHourGlassShowing; }

  // ---- Focus ----
  TcxTreeListNode* FocusedNode() const;
  // A hidden node is ignored; none focuses no node.
  void SetFocusedNode(TcxTreeListNode* ANode);
  // True focuses ANode; false takes the focus away only when ANode has it.
  void SetNodeFocused(TcxTreeListNode* ANode, bool AValue);

  // ---- Nodes ----
  // The first top-level node; none in an empty tree.
  virtual TcxTreeListNode* GetFirstNode() const;
  // A new node: without AInsert the last child of the focused node, with it
  // a node before the focused node's parent (before the focused node on the
  // top level). Without a focused node AInsert adds a top-level node and
  // nothing happens otherwise. The new node is focused; answers whether one
  // was made.
  virtual bool InsertNode(bool AInsert);
  // Moves (or copies, as last children) the nodes to ATarget by AMode,
  // keeping their order; entries that are ATarget itself (for a child or
  // insert mode) or an ancestor of it are dropped.
  // OnMoveTo sees the list that is left and may do the work itself (Done)
  // or change whether the nodes are copied.
  virtual void MoveNodes(TcxTreeListNode* ATarget, TcxTreeListNodeAttachMode AMode, bool ACopy,
                         std::vector<TcxTreeListNode*> AList);
  // Frees the nodes; the focus goes to the node that then holds the focused
  // node's visible position (the last one when the list got shorter).
  virtual void DeleteNodes(std::vector<TcxTreeListNode*> AList);
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
  // The selection a mouse press or key with AShift makes: with Shift the
  // range from the anchor to ANode, with Ctrl ANode toggled, with neither
  // the focused node alone (multi-selection only).
  void SelectNodeByShift(TcxTreeListNode* ANode, TShiftState AShift);
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
  // The selection becomes the nodes of AList in its order (none, repeats
  // and other trees' nodes left out), with one selection change when it
  // differs; EcxTreeList "Multi select required" without multi-selection.
  void SetSelection(const std::vector<TcxTreeListNode*>& AList);
  // Takes a node (none: nothing) out of the selection.
  void UnselectNode(TcxTreeListNode* ANode);
  // Empties the selection, with one selection change at the end (none when
  // nothing was selected).
  void UnselectAllNodes();
  // AList becomes the selection list with multi-selection, else the focused
  // node alone (empty when nothing is focused).
  void GetSelections(std::vector<TcxTreeListNode*>& AList) const;

  // ---- Items and updates ----
  void RemoveContainerItem(TcxCustomInplaceEditContainer* AItem) override;
  void EndUpdate() override;

  void FocusNode(TcxTreeListNode* ANode) override;
  void ForgetNode(TcxTreeListNode* ANode) override;
  // False while loading or while the records are known to be in step
  // (IsDataInStep); otherwise the data controller brings its records up to
  // date and a changed record count answers true.
  bool IsStructureOutdated() override;
  void LayoutChanged() override;
  void ApplyDataChange(TcxUpdateControlInfo* AInfo) override;

  // ---- Events ----
  TcxTreeListControlNotifyEvent OnCustomizationFormVisibleChanged;
  TcxTreeListControlNotifyEvent OnDataChanged;
  TcxTreeListControlNotifyEvent OnLayoutChanged;
  TcxTreeListControlNotifyEvent OnTopRecordIndexChanged;
  TcxTreeListMoveToEvent OnMoveTo;
  TcxTreeListFocusedChangedEvent OnFocusedNodeChanged;
  TcxTreeListFocusedColumnChanged OnFocusedColumnChanged;
  TcxTreeListGetNodeImageIndexEvent OnGetNodeImageIndex;
  TcxTreeListIsGroupNodeEvent OnIsGroupNode;
  TcxTreeListOnHotTrackNodeEvent OnHotTrackNode;
  TcxTreeListNodeDataChangedEvent OnNodeChanged;
  TcxTreeListItemChangedEvent OnBandSizeChanged;
  TcxTreeListItemChangedEvent OnColumnSizeChanged;
  TcxTreeListBandChangedEvent OnBandHeaderClick;
  TcxTreeListColumnChangedEvent OnColumnHeaderClick;
  TcxTreeListGetNodePreviewHeightEvent OnGetNodePreviewHeight;
  // ---- Custom drawing (OnCustomDrawCell is the editing control's) ----
  // Every background area (client strips, below the rows, right of the cells).
  TcxCustomDrawBackgroundEvent OnCustomDrawBackground;
  // A band's whole header part: its header and its column headers.
  TcxCustomDrawBandViewInfoEvent OnCustomDrawBandHeader;
  // A band's header cell.
  TcxCustomDrawHeaderViewInfoEvent OnCustomDrawHeader;
  TcxCustomDrawHeaderViewInfoEvent OnCustomDrawHeaderCell;
  // A band's part of the footer: its footer cells and their background.
  TcxCustomDrawBandViewInfoEvent OnCustomDrawFooter;
  TcxCustomDrawFooterItemViewInfoEvent OnCustomDrawFooterCell;
  TcxCustomDrawIndentViewInfoEvent OnCustomDrawIndentCell;
  // Row indicators and the header and footer corner cells.
  TcxCustomDrawIndicatorViewInfoEvent OnCustomDrawIndicatorCell;
  TcxCustomDrawCellsGroupViewInfoEvent OnCustomDrawCellsGroup;
  TcxCustomDrawEditCellViewInfoEvent OnCustomDrawPreview;

  // ---- Event raisers (each marks the change first) ----
  void DoFocusedNodeChanged(TcxTreeListNode* APrevNode, TcxTreeListNode* ANode);
  void DoFocusedColumnChanged(TcxTreeListColumn* APrevColumn, TcxTreeListColumn* AColumn);
  void DoNodeChanged(TcxTreeListNode* ANode, TcxTreeListColumn* AColumn);
  void DoDataChanged() { RaiseEvent(OnDataChanged, this); }
  void DoLayoutChanged() { RaiseEvent(OnLayoutChanged, this); }
  void DoTopRecordIndexChanged() { RaiseEvent(OnTopRecordIndexChanged, this); }
  void DoCustomizationFormVisibleChanged() { RaiseEvent(OnCustomizationFormVisibleChanged, this); }
  void DoHotTrackNode(TcxTreeListNode* ANode, TShiftState AShift, TCursor& ACursor);
  void DoBandSizeChanged(TObject* ABand) { RaiseEvent(OnBandSizeChanged, this, ABand); }
  void DoColumnSizeChanged(TcxTreeListColumn* AColumn) { RaiseEvent(OnColumnSizeChanged, this, AColumn); }
  void DoBandHeaderClick(TObject* ABand) { RaiseEvent(OnBandHeaderClick, this, ABand); }
  void DoColumnHeaderClick(TcxTreeListColumn* AColumn) { RaiseEvent(OnColumnHeaderClick, this, AColumn); }

  // ---- Rows view (cxTLViewInfo.cpp) ----
  TcxTreeListViewInfo* TreeListViewInfo() const;
  TcxTreeListController* TreeListController() const;
  TcxTreeListHitTest* HitTest() const;
  // What the rows view, painter and controller read of the view, selection,
  // behavior and data settings, in one go.
  TcxTreeListViewSettings ViewSettings() const;
  // Node images and state images (not owned; none: no image indent). A
  // freed list is forgotten.
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* AValue);
  TImageList* StateImages() const { return FStateImages; }
  void SetStateImages(TImageList* AValue);
  // The height of a row line: the height set, or with none set (0) the
  // view's own height for the fonts and images (laid out first when due;
  // 0 before the control can lay out).
  Integer DefaultRowHeight() const;
  // Below 0 becomes 0 (the rows take the view's height); a height above 0
  // is raised to the view's minimum row height. A change lays the rows out
  // anew.
  void SetDefaultRowHeight(Integer AValue);
  // The height set; 0 while the rows take the view's height.
  Integer AssignedRowHeight() const { return FDefaultRowHeight; }
  // The top shown node's visible index; setting it lays the rows out anew.
  Integer TopVisibleIndex() const;
  void SetTopVisibleIndex(Integer AValue);
  // Rows wholly shown; -1 while the control has no window to lay them out in.
  Integer VisibleRowCount();
  // A shown node becomes the top row (as far as the last page stays full);
  // a hidden node or none changes nothing.
  void SetShownTopNode(TcxTreeListNode* ANode);
  // The node of the last wholly shown row; none without rows.
  TcxTreeListNode* GetLastDisplayedNode();
  // Scrolls ANode into view; inside an update the top row stays and ANode
  // is scrolled into view from there when the update ends.
  void MakeNodeVisible(TcxTreeListNode* ANode) override;
  // The focused node into view (inside an update only while no other node
  // waits to be shown).
  void MakeFocusedNodeVisible() override;
  void RepaintNode(TcxTreeListNode* ANode, bool ARecalculate) override;
  // The node's row rectangle (cells only with ACellsOnly); empty without a row on screen.
  TRect NodeCellsBounds(TcxTreeListNode* ANode, bool ACellsOnly);
  void ComputeScrollBarParams() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // ---- Header drag and drop (cxTLDragDrop.cpp) ----
  // A press on a band or column header that may move.
  // A press on a sizing edge (cxTLController.cpp) sizes what lies there.
  bool StartsDragAndDropAt(const TPoint& P) override;
  TcxDragAndDropObjectClass DragAndDropObjectClass() override;
  // A sizing edge's cursor outside a drag.
  TCursor CursorAt(Integer X, Integer Y) override;

  // ---- Node drag and drop (cxTLController.cpp) ----
  // The platform's drag of the control starts only on a selected node, not on its indent.
  bool AcceptsStartDrag(TDragObject* DragObject) override;
  bool CanStartAutoDrag() override;
  void DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) override;
  void DragDrop(TObject* Source, Integer X, Integer Y) override;
  // The drag picture: a box one text line high ("Wg") and as wide as the
  // first visible column, at the press point, with the node's text.
  TRect GetDragImageBounds() override;
  void DrawDragPicture(TCanvas* ACanvas) override;
  // The node the drag picture shows: the drag source, else the node under the mouse.
  TcxTreeListNode* DraggedPictureNode();

protected:
  void DoStartDrag(TDragObject*& DragObject) override;
  void DoEndDrag(TObject* Target, Integer X, Integer Y) override;
  // Raised once the selection lock is back at 0.
  void SelectionChanged() override;
  // A value of one node changed outside the editor: RecordChanged, then OnNodeChanged.
  virtual void RecordValueChanged(TcxTreeListNode* ANode, TcxTreeListColumn* AColumn);
  // The node re-sorts among its siblings (with sorted columns) and its row
  // is laid out anew.
  virtual void RecordChanged(TcxTreeListNode* ANode);
  std::unique_ptr<TcxCustomControlController> CreateController() override;
  std::unique_ptr<TcxCustomControlViewInfo> CreateViewInfo() override;
  std::unique_ptr<TcxCustomControlStyles> CreateStyles() override;
  std::unique_ptr<TcxControlOptionsView> CreateOptionsView() override;
  std::unique_ptr<TcxControlOptionsData> CreateOptionsData() override;
  std::unique_ptr<TcxControlOptionsBehavior> CreateOptionsBehavior() override;
  // The settings objects of the tree list itself; a descendant substitutes its own.
  virtual std::unique_ptr<TcxTreeListOptionsCustomizing> CreateOptionsCustomizing();
  virtual std::unique_ptr<TcxTreeListOptionsSelection> CreateOptionsSelection();
  virtual std::unique_ptr<TcxTreeListPreview> CreatePreview();
  // The column object CreateColumn adds; a descendant substitutes its own class.
  virtual std::unique_ptr<TcxTreeListColumn> NewColumn() { return std::make_unique<TcxTreeListColumn>(this); }
  // Each listener hears that the control changed (or, while it is being
  // destroyed, that it goes).
  void NotifyListeners();
  // Whether the nodes' records are known to match the data; a control that
  // reads its records from elsewhere answers false when they may have moved on.
  virtual bool IsDataInStep() const { return true; }

  // After a layout: a focused node that is hidden gives the focus to its
  // nearest shown ancestor; with CellSelect a focused column that does not
  // show (or the preview column, or any column on a group node) gives it to
  // the first shown column (cxTLController.cpp).
  void CheckFocus();

private:
  friend class TcxTreeListColumn;
  void ColumnDestroying(TcxTreeListColumn* AColumn);
  void ChangeTimerTick(TObject* Sender);
  // Made before the inherited sub-objects (the behavior options keep their
  // delay in the timer), freed after the columns.
  std::unique_ptr<TTimer> FChangeTimer;
  std::unique_ptr<TcxNavigatorControlNotifier> FNavigatorNotifier;
  std::vector<IcxTreeListListener*> FListeners;
  std::unique_ptr<TcxTreeListOptionsCustomizing> FOptionsCustomizing;
  std::unique_ptr<TcxTreeListOptionsSelection> FOptionsSelection;
  std::unique_ptr<TcxTreeListPreview> FPreview;
  TcxTreeListNode* FHotTrackNode = nullptr;
  // A node made visible inside an update, scrolled into view when it ends.
  TcxTreeListNode* FNodeToShow = nullptr;

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
  TImageList* FImages = nullptr;
  TImageList* FStateImages = nullptr;
  bool FDefaultLayout = true;
  // 0: the rows take the view's height.
  Integer FDefaultRowHeight = 0;
  // Freed after the columns, which leave their bands first.
  std::unique_ptr<TcxTreeListBands> FBands;
  // Freed first; the window went when the columns were told the control goes.
  mutable std::unique_ptr<TcxTreeListCustomizing> FCustomizing;
  // The last press that may start a drag was on a sizing edge.
  bool FSizingPress = false;
  bool FHourGlassShowing = false;
  TCursor FSavedScreenCursor = crDefault;
  // The focus check runs; a layout it causes checks nothing more.
  bool FCheckingFocus = false;
};
