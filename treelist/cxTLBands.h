#pragma once
// Bands of the tree list: a band groups columns under one header and lays
// them out in band rows. The control owns the bands collection; every column
// names its band by collection index (Position().BandIndex). The visible
// bands stand in one list ordered left-fixed, not fixed, right-fixed, and by
// collection index within a kind; moving a band among the visible bands moves
// it in the collection, so a stored layout keeps the order.
//
// A band's rows are built anew on every change of the band or its columns
// (at the end of the tree list's update when it is locked):
// the visible columns sorted by row, then place, with rows and places
// renumbered from 0; the band is as wide as its own Width, or else its widest
// row, and each row spreads that width over its columns.
//
// The last visible band is never hidden: a tree list always shows a band its
// columns can be placed in (freeing the band is still allowed).
#include <memory>
#include <vector>

#include "foundation/cxStyles.h"
#include "platform/rtl/collection.h"
#include "treelist/cxHitTest.h"
#include "treelist/cxTLControl.h"
#include "treelist/cxTLViewInfo.h"

class TcxTreeListBands;

enum TcxTreeListBandFixedKind { tlbfNone, tlbfLeft, tlbfRight };

// ---- Options and styles ---------------------------------------------------------------------

// Every change tells the band.
class TcxTreeListBandOptions : public TcxOwnedPersistent {
  KORVANE_CLASS(TcxTreeListBandOptions, TcxOwnedPersistent)
  explicit TcxTreeListBandOptions(TcxTreeListBand* ABand);
  void Assign(TPersistent* ASource) override;
  void RestoreDefaults();

  bool Customizing() const { return FCustomizing; }
  void SetCustomizing(bool AValue) { Set(FCustomizing, AValue); }
  bool Hidden() const { return FHidden; }
  void SetHidden(bool AValue) { Set(FHidden, AValue); }
  bool Moving() const { return FMoving; }
  void SetMoving(bool AValue) { Set(FMoving, AValue); }
  bool OnlyOwnColumns() const { return FOnlyOwnColumns; }
  void SetOnlyOwnColumns(bool AValue) { Set(FOnlyOwnColumns, AValue); }
  bool Sizing() const { return FSizing; }
  void SetSizing(bool AValue) { Set(FSizing, AValue); }

private:
  void Set(bool& AField, bool AValue);
  TcxTreeListBand* FBand;
  bool FCustomizing = true;
  bool FHidden = false;
  bool FMoving = true;
  bool FOnlyOwnColumns = false;
  bool FSizing = true;
};

// Four entries; a change lays the tree list out anew.
class TcxTreeListBandStyles : public TcxStyles {
  KORVANE_CLASS(TcxTreeListBandStyles, TcxStyles)
  explicit TcxTreeListBandStyles(TcxTreeListBand* ABand);
  enum { ContentIndex = 0, FooterIndex = 1, HeaderIndex = 2, HeaderBackgroundIndex = 3 };
  // The four entries, then what the base copies.
  void Assign(TPersistent* ASource) override;
  TcxStyle* Content() const { return GetIndexedStyle(ContentIndex); }
  void SetContent(TcxStyle* AValue) { SetIndexedStyle(ContentIndex, AValue); }
  TcxStyle* Footer() const { return GetIndexedStyle(FooterIndex); }
  void SetFooter(TcxStyle* AValue) { SetIndexedStyle(FooterIndex, AValue); }
  TcxStyle* Header() const { return GetIndexedStyle(HeaderIndex); }
  void SetHeader(TcxStyle* AValue) { SetIndexedStyle(HeaderIndex, AValue); }
  TcxStyle* HeaderBackground() const { return GetIndexedStyle(HeaderBackgroundIndex); }
  void SetHeaderBackground(TcxStyle* AValue) { SetIndexedStyle(HeaderBackgroundIndex, AValue); }

protected:
  void ItemChanged(Integer AIndex) override;

private:
  TcxTreeListBand* FBand;
};

// ---- Band rows ------------------------------------------------------------------------------

// The visible columns of one row of a band, in place order.
class TcxTreeListBandRow : public TObject {
  KORVANE_CLASS(TcxTreeListBandRow, TObject)
  Integer Count() const { return Integer(FItems.size()); }
  // None outside 0 .. Count - 1.
  TcxTreeListColumn* Items(Integer AIndex) const;
  TcxTreeListColumn* First() const { return FItems.empty() ? nullptr : FItems.front(); }
  TcxTreeListColumn* Last() const { return FItems.empty() ? nullptr : FItems.back(); }
  // The row's own width (its columns' widths) and the sum of their minimums.
  Integer Width() const { return FWidth; }
  Integer MinWidth() const { return FMinWidth; }
  // The most lines a column of the row spans.
  Integer LineCount() const { return FLineCount; }

private:
  friend class TcxTreeListBand;
  std::vector<TcxTreeListColumn*> FItems;
  Integer FWidth = 0;
  Integer FMinWidth = 0;
  Integer FLineCount = 1;
};

class TcxTreeListBandRows : public TObject {
  KORVANE_CLASS(TcxTreeListBandRows, TObject)
  Integer Count() const { return Integer(FItems.size()); }
  // None outside 0 .. Count - 1.
  TcxTreeListBandRow* Items(Integer AIndex) const;
  // The lines the rows take together.
  Integer LineCount() const;

private:
  friend class TcxTreeListBand;
  std::vector<std::unique_ptr<TcxTreeListBandRow>> FItems;
};

// ---- The band -------------------------------------------------------------------------------

class TcxTreeListBand : public TCollectionItem, public IcxDragSizing {
  KORVANE_CLASS(TcxTreeListBand, TCollectionItem)

  static constexpr Integer DefaultMinWidth = 20;
  // A band with neither its own width nor a visible column.
  static constexpr Integer EmptyBandWidth = 100;
  // Room around a band caption's text.
  static constexpr Integer CaptionMargin = 8;

  explicit TcxTreeListBand(TCollection* ACollection);
  // Hidden and taken from the visible bands; its columns are left without a band.
  ~TcxTreeListBand() override;
  // MinWidth, Width, Visible, options, styles, caption and fixed kind.
  void Assign(TPersistent* ASource) override;

  TcxTreeListBands* Bands() const;
  TcxCustomTreeListControl* TreeList() const;

  // The caption's text.
  String Caption() const { return FCaptionSettings->Text(); }
  void SetCaption(const String& AValue) { FCaptionSettings->SetText(AValue); }
  // The header caption: text, glyph, alignments, line wrapping, ellipsis.
  TcxTreeListCaption* CaptionSettings() const { return FCaptionSettings.get(); }
  TcxTreeListBandFixedKind FixedKind() const { return FFixedKind; }
  // Ignored for a hidden band. Left moves the band first among the visible
  // bands, right last; another band of that kind becomes not fixed.
  void SetFixedKind(TcxTreeListBandFixedKind AValue);
  Integer MinWidth() const { return FMinWidth; }
  // Not below 0; a set Width below it is raised to it.
  void SetMinWidth(Integer AValue);
  TcxTreeListBandOptions* Options() const { return FOptions.get(); }
  TcxTreeListBandStyles* Styles() const { return FStyles.get(); }
  void SetStyles(TcxTreeListBandStyles* AValue) { FStyles->Assign(AValue); }
  bool Visible() const { return FVisible; }
  // Showing makes the band not fixed. Hiding the only visible band is refused.
  void SetVisible(bool AValue);
  // 0: the width follows the columns. Otherwise not below MinWidth.
  Integer Width() const { return FWidth; }
  void SetWidth(Integer AValue);
  // The place among the visible bands; -1 when hidden.
  Integer VisibleIndex() const;
  // Moves the band to place AIndex among the visible bands, kept behind the
  // left-fixed and before the right-fixed ones. Below 0 hides the band. A
  // fixed or hidden band stays where it is.
  void SetVisibleIndex(Integer AIndex);

  // ---- Columns ----
  // Every column of the band, in the order they joined.
  Integer ColumnCount() const { return Integer(FColumns.size()); }
  TcxTreeListColumn* Columns(Integer AIndex) const;
  // The visible columns by row, then place.
  Integer VisibleColumnCount() const { return Integer(FVisibleColumns.size()); }
  TcxTreeListColumn* VisibleColumns(Integer AIndex) const;
  TcxTreeListBandRows* BandRows() const { return FRows.get(); }

  // ---- Widths ----
  // The width from Width or the columns, at least the computed minimum.
  Integer CalculatedWidth() const { return FCalculatedWidth; }
  // The larger of MinWidth and the widest row of column minimums.
  Integer RealMinWidth() const { return FRealMinWidth; }
  // The width the band shows: its calculated width, or its share of a fit.
  Integer DisplayWidth() const { return FDisplayWidth; }
  // Shows the band AWidth wide (not below RealMinWidth) plus its leftmost
  // indent; each row spreads AWidth and its first column takes the indent.
  void ApplyDisplayWidth(Integer AWidth);
  // The tree list's leftmost indent for the first visible band, else 0.
  Integer LeftMostIndent() const;

  // ---- User actions ----
  // Not fixed, two or more visible bands, and moving allowed by the band and the tree list.
  bool CanMove() const;
  bool CanSize(TcxSizingDirection ADirection) const;
  // Horizontal: Width becomes the shown width plus ADelta; vertical: the
  // band line count grows by ADelta (not below 1).
  void SizeByDelta(TcxSizingDirection ADirection, Integer ADelta);
  // Sizing by dragging (cxTLController.cpp): horizontally from the band's
  // left edge plus its minimum width, vertically in band header lines.
  TRect GetSizingBoundsRect(TcxSizingDirection ADirection) override;
  Integer GetSizingIncrement(TcxSizingDirection ADirection) override;
  bool IsDynamicUpdate() override;
  void SetSizeDelta(TcxSizingDirection ADirection, Integer ADelta) override { SizeByDelta(ADirection, ADelta); }
  // Widest content of the shown nodes for each column, then the band as
  // wide as its widest row and at least its caption. Nothing when the band
  // may not be sized.
  void ApplyBestFit();
  // Options to defaults, MinWidth 20, Width 0.
  void RestoreDefaults();
  // MinWidth 20, Width 0.
  void RestoreWidths();

  // ---- Stored layout ----
  // "Band" and the collection index.
  String GetStoredName() const;
  static const std::vector<String>& GetStoredPropertyNames();
  // Null for an unknown name.
  Variant GetStoredPropertyValue(const String& AName) const;
  void SetStoredPropertyValue(const String& AName, const Variant& AValue);

  // The band or its columns changed: the rows are built anew and the tree list lays out.
  void Changed();

private:
  friend class TcxTreeListBands;
  friend class TcxTreeListColumn;
  // AColumn leaves its band's lists for ABand's (none: no band); false when already there.
  static bool MoveColumn(TcxTreeListColumn* AColumn, TcxTreeListBand* ABand);
  void RemoveColumn(TcxTreeListColumn* AColumn);
  // Rows, visible columns and widths from the columns.
  void BuildRows();
  void SpreadRows();
  bool IsUpdatable() const;
  // AAction inside the tree list's update bracket (when there is a tree list).
  template <class F>
  void InUpdate(F AAction);

  std::unique_ptr<TcxTreeListCaption> FCaptionSettings;
  TcxTreeListBandFixedKind FFixedKind = tlbfNone;
  Integer FMinWidth = DefaultMinWidth;
  Integer FWidth = 0;
  bool FVisible = true;
  bool FDestroying = false;
  // Kept by the last fit across bands after the user sized a band.
  bool FAutoWidthFixed = false;
  Integer FCalculatedWidth = EmptyBandWidth;
  Integer FRealMinWidth = DefaultMinWidth;
  Integer FDisplayWidth = EmptyBandWidth;
  std::vector<TcxTreeListColumn*> FColumns;
  std::vector<TcxTreeListColumn*> FVisibleColumns;
  std::unique_ptr<TcxTreeListBandRows> FRows;
  std::unique_ptr<TcxTreeListBandOptions> FOptions;
  std::unique_ptr<TcxTreeListBandStyles> FStyles;
};

// ---- The bands collection -------------------------------------------------------------------

class TcxTreeListBands : public TOwnedCollection {
  KORVANE_CLASS(TcxTreeListBands, TOwnedCollection)

  explicit TcxTreeListBands(TcxCustomTreeListControl* ATreeList);
  ~TcxTreeListBands() override;

  TcxCustomTreeListControl* TreeList() const { return FTreeList; }
  bool IsDestroying() const { return FDestroying; }
  TcxTreeListBand* Add();
  // Raises EListError outside 0 .. Count - 1.
  TcxTreeListBand* Items(Integer AIndex) const { return static_cast<TcxTreeListBand*>(TCollection::Items(AIndex)); }

  // ---- Visible bands ----
  Integer VisibleItemCount() const { return Integer(FVisibleItems.size()); }
  // None outside 0 .. VisibleItemCount - 1.
  TcxTreeListBand* VisibleItems(Integer AIndex) const;
  TcxTreeListBand* FirstVisible() const { return FVisibleItems.empty() ? nullptr : FVisibleItems.front(); }
  TcxTreeListBand* LastVisible() const { return FVisibleItems.empty() ? nullptr : FVisibleItems.back(); }
  // Visible columns of visible bands by row, then the band's visible index, then place.
  std::vector<TcxTreeListColumn*> VisibleColumns() const;
  // The column that carries the tree: the first of its row in the first visible band.
  bool IsTreeColumn(const TcxTreeListColumn* AColumn) const;

  // ---- Columns ----
  // Places AColumn in band ABandIndex (clamped to -1 .. Count - 1; -1: no
  // band) at ARowIndex / AColIndex: with ANewRow the band's rows from
  // ARowIndex down move one lower first; the row's columns from AColIndex
  // on move one place right.
  void SetColumnPosition(TcxTreeListColumn* AColumn, Integer ABandIndex, Integer AColIndex, bool ANewRow,
                         Integer ARowIndex);

  // ---- Widths ----
  // The leftmost indent is recalculated first. With ColumnAutoWidth the
  // visible bands share ARoom less a fixed separator for each fixed band
  // and less the leftmost indent, else each shows its own width. When the
  // room cannot hold the indent and the bands' minimums, the horizontal bar
  // will show and may bring the vertical one: its width is kept free too
  // while it is not shown yet. Answers the bands' total width (the leftmost
  // indent included).
  Integer CalculateBandWidths(Integer ARoom);
  // ---- Leftmost indent ----
  // The extra width the columns that carry the tree show with, so that the
  // indent of the deepest shown node does not squeeze their cells below
  // their minimum width.
  Integer LeftMostIndent() const { return FLeftMostIndent; }
  // The indent the shown nodes need ((deepest level + 1 with ShowRoot + 1
  // for each image list) indent widths) less the room the first band's rows
  // give (the least, over its rows, of what the first column's width is
  // above its minimum). With OptionsBehavior.AutomateLeftMostIndent the kept
  // value follows it; otherwise it only grows.
  void CalculateLeftMostIndent();
  // The visible bands share AWidth by their widths (never below their
  // minimums; a band the user sized, and those before it, keep theirs).
  // Answers the bands' total width.
  Integer ApplyAutoWidth(Integer AWidth);
  // The user sized ABand: it and the bands before it keep their widths in
  // the next fits, those after it share the rest (when it is the last, it
  // alone keeps its width).
  void BandSizeChanged(TcxTreeListBand* ABand);
  void RestoreDefaults();
  void RestoreWidths();
  // Changes held back while the tree list was locked: rows and order. Called
  // by the end of that update, which lays the tree list out once.
  void ApplyPendingChanges();

protected:
  // Renumbers the columns' band indexes, rebuilds the rows, keeps fixed
  // kinds only at the ends of the visible bands, and lays the tree list out.
  void Update(TCollectionItem* AItem) override;
  void Notify(TCollectionItem* AItem, TCollectionNotification AAction) override;

private:
  friend class TcxTreeListBand;
  // The vertical scroll bar's width when it is not shown and ARoom is below
  // the leftmost indent plus the visible bands' minimums; else 0.
  Integer HiddenVScrollBarRoom(Integer ARoom) const;
  // Rebuilds the rows of ABand (of every band when none) and the visible order.
  void RebuildRows(TcxTreeListBand* ABand);
  void AddVisible(TcxTreeListBand* ABand);
  void RemoveVisible(TcxTreeListBand* ABand);
  void SortVisible();
  void UpdateColumnBandIndexes();

  TcxCustomTreeListControl* FTreeList;
  std::vector<TcxTreeListBand*> FVisibleItems;
  bool FDestroying = false;
  bool FChangesPending = false;
  Integer FLeftMostIndent = 0;
};

// ---- Measuring cells --------------------------------------------------------------------------

// A cell of a column laid out off screen, in its own row, to measure what
// the column's cells need (best fit): the editor's width for the node's
// value in the cell's own look (its content style's font), a margin of 2
// (4 with vertical grid lines), plus the node images' room in the column
// that carries the tree. The widest width measured is kept.
class TcxTemporaryCellViewInfo : public TcxTreeListEditCellViewInfo {
  KORVANE_CLASS(TcxTemporaryCellViewInfo, TcxTreeListEditCellViewInfo)
  // ARow is the off-screen row the cell measures in (not owned).
  TcxTemporaryCellViewInfo(TcxTreeListNodeViewInfo* ARow, TcxTreeListColumn* AColumn);
  // Lays the cell out for ANode ACellHeight high and measures it.
  Integer Measure(TcxTreeListNode* ANode, Integer ACellHeight);
  Integer MaxWidth() const { return FMaxWidth; }

private:
  Integer FMaxWidth = 0;
};
