#pragma once
// The tree list's settings objects: view, customizing, selection, behavior,
// data and preview options. Boolean options of one object are bits of one
// set, read and written by bit index; a write that changes a bit tells the
// control unless the object says otherwise. Every object copies itself by
// assignment.
#include "data/cxDataSummary.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "platform/rtl/colors.h"
#include "treelist/cxInplaceContainer.h"

class TcxCustomTreeListControl;
class TcxTreeListColumn;

// A set of boolean options kept as bits.
class TcxTreeListOptionBits {
public:
  explicit TcxTreeListOptionBits(Cardinal AValue = 0) : FValue(AValue) {}
  bool Get(Integer ABit) const { return (FValue >> ABit) & 1u; }
  // Answers whether the bit changed.
  bool Set(Integer ABit, bool AValue) {
    const Cardinal Value = AValue ? (FValue | (1u << ABit)) : (FValue & ~(1u << ABit));
    if (Value == FValue) return false;
    FValue = Value;
    return true;
  }
  Cardinal Value() const { return FValue; }
  void SetValue(Cardinal AValue) { FValue = AValue; }

private:
  Cardinal FValue;
};

// Boolean option accessors over a TcxTreeListOptionBits member FBits and a
// SetBit(bit, value) of the class.
#define KORVANE_TL_OPTION(Name, Bit)                     \
  bool Name() const { return FBits.Get(Bit); }           \
  void Set##Name(bool AValue) { SetBit(Bit, AValue); }

enum TcxTreeListGridLines { tlglNone, tlglHorz, tlglVert, tlglBoth };
enum TcxTreeListPaintStyle { tlpsStandard, tlpsCategorized };
enum TcxTreeListTreeLineStyle { tllsNone, tllsDot, tllsSolid };
enum TcxTreeListPreviewPlace { tlppBottom, tlppTop };

// ---- View -------------------------------------------------------------------------------------

class TcxTreeListOptionsView : public TcxControlOptionsView {
  KORVANE_CLASS(TcxTreeListOptionsView, TcxControlOptionsView)
  enum {
    BandsBit = 0, ColumnAutoWidthBit = 1, FooterBit = 2, HeadersBit = 3, IndicatorBit = 4, ShowRootBit = 5,
    ButtonsBit = 7, SimpleCustomizeBoxBit = 8, UseNodeColorForIndentBit = 9, HeaderSingleLineBit = 10,
    ExtPaintStyleBit = 12, UseImageIndexForSelectedBit = 13
  };
  static constexpr Integer DefaultIndicatorWidth = 15;
  static constexpr Integer DefaultFixedSeparatorWidth = 2;
  static constexpr TColor DefaultDropArrowColor = 0x00FF00;

  explicit TcxTreeListOptionsView(TcxCustomTreeListControl* AControl);
  // A set categorized column becomes this control's column of the same item index.
  void Assign(TPersistent* ASource) override;
  // Every bit cleared, IndicatorWidth 15, Headers on.
  void Reset();

  KORVANE_TL_OPTION(Bands, BandsBit)
  KORVANE_TL_OPTION(ColumnAutoWidth, ColumnAutoWidthBit)
  KORVANE_TL_OPTION(Footer, FooterBit)
  KORVANE_TL_OPTION(Headers, HeadersBit)
  KORVANE_TL_OPTION(Indicator, IndicatorBit)
  KORVANE_TL_OPTION(ShowRoot, ShowRootBit)
  KORVANE_TL_OPTION(Buttons, ButtonsBit)
  KORVANE_TL_OPTION(SimpleCustomizeBox, SimpleCustomizeBoxBit)
  KORVANE_TL_OPTION(UseNodeColorForIndent, UseNodeColorForIndentBit)
  // Turning it on flattens every column to row 0 with one line.
  KORVANE_TL_OPTION(HeaderSingleLine, HeaderSingleLineBit)
  KORVANE_TL_OPTION(ExtPaintStyle, ExtPaintStyleBit)
  KORVANE_TL_OPTION(UseImageIndexForSelected, UseImageIndexForSelectedBit)
  Cardinal Bits() const { return FBits.Value(); }

  // At least 1; a change is reported only while Bands is on.
  Integer BandLineCount() const { return FBandLineCount; }
  void SetBandLineCount(Integer AValue);
  // The set column; when none is set, the first visible column stands in.
  TcxTreeListColumn* CategorizedColumn() const;
  void SetCategorizedColumn(TcxTreeListColumn* AValue);
  TColor DropArrowColor() const { return FDropArrowColor; }
  void SetDropArrowColor(TColor AValue);
  TColor FixedSeparatorColor() const { return FFixedSeparatorColor; }
  void SetFixedSeparatorColor(TColor AValue);
  // Not below 0.
  Integer FixedSeparatorWidth() const { return FFixedSeparatorWidth; }
  void SetFixedSeparatorWidth(Integer AValue);
  // A change is reported only while grid lines are shown.
  TColor GridLineColor() const { return FGridLineColor; }
  void SetGridLineColor(TColor AValue);
  TcxTreeListGridLines GridLines() const { return FGridLines; }
  void SetGridLines(TcxTreeListGridLines AValue);
  bool HorzGridLines() const { return FGridLines == tlglHorz || FGridLines == tlglBoth; }
  bool VertGridLines() const { return FGridLines == tlglVert || FGridLines == tlglBoth; }
  // Not below 0; a change is reported only while Indicator is on.
  Integer IndicatorWidth() const { return FIndicatorWidth; }
  void SetIndicatorWidth(Integer AValue);
  TcxTreeListPaintStyle PaintStyle() const { return FPaintStyle; }
  void SetPaintStyle(TcxTreeListPaintStyle AValue);
  TColor TreeLineColor() const { return FTreeLineColor; }
  void SetTreeLineColor(TColor AValue);
  TcxTreeListTreeLineStyle TreeLineStyle() const { return FTreeLineStyle; }
  void SetTreeLineStyle(TcxTreeListTreeLineStyle AValue);

  // The control forgets a column that goes.
  void ColumnRemoved(TcxTreeListColumn* AColumn);

private:
  void SetBit(Integer ABit, bool AValue);
  TcxCustomTreeListControl* FControl;
  TcxTreeListOptionBits FBits;
  Integer FBandLineCount = 1;
  TcxTreeListColumn* FCategorizedColumn = nullptr;
  TColor FDropArrowColor = DefaultDropArrowColor;
  TColor FFixedSeparatorColor = clDefault;
  Integer FFixedSeparatorWidth = DefaultFixedSeparatorWidth;
  TColor FGridLineColor = clDefault;
  TcxTreeListGridLines FGridLines = tlglNone;
  Integer FIndicatorWidth = DefaultIndicatorWidth;
  TcxTreeListPaintStyle FPaintStyle = tlpsStandard;
  TColor FTreeLineColor = clDefault;
  TcxTreeListTreeLineStyle FTreeLineStyle = tllsDot;
};

// ---- Customizing ------------------------------------------------------------------------------

// What the user may size, move and customize; writes tell no one.
class TcxTreeListOptionsCustomizing : public TcxOwnedPersistent {
  KORVANE_CLASS(TcxTreeListOptionsCustomizing, TcxOwnedPersistent)
  enum {
    BandHorzSizingBit = 1, BandMovingBit = 2, BandVertSizingBit = 3, ColumnCustomizingBit = 4,
    ColumnHorzSizingBit = 5, ColumnMovingBit = 6, BandCustomizingBit = 7, ColumnVertSizingBit = 8,
    DynamicSizingBit = 9, RowSizingBit = 10
  };
  explicit TcxTreeListOptionsCustomizing(TcxCustomTreeListControl* AControl);
  void Assign(TPersistent* ASource) override;

  KORVANE_TL_OPTION(BandHorzSizing, BandHorzSizingBit)
  KORVANE_TL_OPTION(BandMoving, BandMovingBit)
  KORVANE_TL_OPTION(BandVertSizing, BandVertSizingBit)
  KORVANE_TL_OPTION(ColumnCustomizing, ColumnCustomizingBit)
  KORVANE_TL_OPTION(ColumnHorzSizing, ColumnHorzSizingBit)
  KORVANE_TL_OPTION(ColumnMoving, ColumnMovingBit)
  KORVANE_TL_OPTION(BandCustomizing, BandCustomizingBit)
  KORVANE_TL_OPTION(ColumnVertSizing, ColumnVertSizingBit)
  KORVANE_TL_OPTION(DynamicSizing, DynamicSizingBit)
  KORVANE_TL_OPTION(RowSizing, RowSizingBit)

private:
  void SetBit(Integer ABit, bool AValue) { FBits.Set(ABit, AValue); }
  TcxTreeListOptionBits FBits;
};

// ---- Selection --------------------------------------------------------------------------------

// A change makes the control lay out anew. MultiSelect is the control's own
// selection mode: turning it off empties the selection.
class TcxTreeListOptionsSelection : public TcxOwnedPersistent {
  KORVANE_CLASS(TcxTreeListOptionsSelection, TcxOwnedPersistent)
  enum { CellSelectBit = 0, HideFocusRectBit = 1, HideSelectionBit = 2, InvertSelectBit = 3 };
  explicit TcxTreeListOptionsSelection(TcxCustomTreeListControl* AControl);
  void Assign(TPersistent* ASource) override;

  KORVANE_TL_OPTION(CellSelect, CellSelectBit)
  KORVANE_TL_OPTION(HideFocusRect, HideFocusRectBit)
  KORVANE_TL_OPTION(HideSelection, HideSelectionBit)
  KORVANE_TL_OPTION(InvertSelect, InvertSelectBit)
  bool MultiSelect() const;
  void SetMultiSelect(bool AValue);

private:
  void SetBit(Integer ABit, bool AValue);
  TcxCustomTreeListControl* FControl;
  TcxTreeListOptionBits FBits;
};

// ---- Behavior ---------------------------------------------------------------------------------

// Bit writes tell no one.
class TcxTreeListOptionsBehavior : public TcxControlOptionsBehavior {
  KORVANE_CLASS(TcxTreeListOptionsBehavior, TcxControlOptionsBehavior)
  enum {
    DragCollapseBit = 0, DragExpandBit = 1, ExpandOnIncSearchBit = 2, ShowHourGlassBit = 3, AutoDragCopyBit = 4,
    ConfirmDeleteBit = 6, MultiSortBit = 7, SortingBit = 8, AutomateLeftMostIndentBit = 9, HotTrackBit = 10,
    DragFocusingBit = 15, ExpandOnDblClickBit = 16
  };
  static constexpr Integer DefaultWaitForExpandNodeTime = 500;

  explicit TcxTreeListOptionsBehavior(TcxCustomTreeListControl* AControl);
  void Assign(TPersistent* ASource) override;

  KORVANE_TL_OPTION(DragCollapse, DragCollapseBit)
  KORVANE_TL_OPTION(DragExpand, DragExpandBit)
  KORVANE_TL_OPTION(ExpandOnIncSearch, ExpandOnIncSearchBit)
  KORVANE_TL_OPTION(ShowHourGlass, ShowHourGlassBit)
  KORVANE_TL_OPTION(AutoDragCopy, AutoDragCopyBit)
  // Deleting from the keyboard asks first.
  KORVANE_TL_OPTION(ConfirmDelete, ConfirmDeleteBit)
  KORVANE_TL_OPTION(MultiSort, MultiSortBit)
  KORVANE_TL_OPTION(Sorting, SortingBit)
  KORVANE_TL_OPTION(AutomateLeftMostIndent, AutomateLeftMostIndentBit)
  KORVANE_TL_OPTION(HotTrack, HotTrackBit)
  KORVANE_TL_OPTION(DragFocusing, DragFocusingBit)
  KORVANE_TL_OPTION(ExpandOnDblClick, ExpandOnDblClickBit)

  // Milliseconds a drag waits over a collapsed node before expanding it;
  // a negative time is taken as 0 when it is set.
  Integer WaitForExpandNodeTime() const { return FWaitForExpandNodeTime; }
  void SetWaitForExpandNodeTime(Integer AValue);
  // Milliseconds between change notices (0: at once); kept as the
  // control's change-timer interval.
  Integer ChangeDelay() const;
  void SetChangeDelay(Integer AValue);

private:
  void SetBit(Integer ABit, bool AValue) { FBits.Set(ABit, AValue); }
  TcxCustomTreeListControl* FControl;
  TcxTreeListOptionBits FBits;
  Integer FWaitForExpandNodeTime = DefaultWaitForExpandNodeTime;
};

// ---- Data -------------------------------------------------------------------------------------

// Every write tells the control and its navigators.
class TcxTreeListOptionsData : public TcxControlOptionsData {
  KORVANE_CLASS(TcxTreeListOptionsData, TcxControlOptionsData)
  enum { DeletingBit = 0, InsertingBit = 1 };
  explicit TcxTreeListOptionsData(TcxCustomTreeListControl* AControl);
  void Assign(TPersistent* ASource) override;
  void Changed() override;

  KORVANE_TL_OPTION(Deleting, DeletingBit)
  KORVANE_TL_OPTION(Inserting, InsertingBit)
  // The data controller's comparison options.
  bool AnsiSort() const;
  void SetAnsiSort(bool AValue);
  bool CaseInsensitive() const;
  void SetCaseInsensitive(bool AValue);
  // Summaries skip null values.
  bool SummaryNullIgnore() const;
  void SetSummaryNullIgnore(bool AValue);

private:
  void SetBit(Integer ABit, bool AValue);
  void SetDataControllerOption(Word AOption, bool AValue);
  TcxCustomTreeListControl* FControl;
  TcxTreeListOptionBits FBits;
};

// ---- Preview ----------------------------------------------------------------------------------

// A column's text shown under (or over) each row. Active when Visible and a
// Column are set; Column and Visible always lay the control out anew, the
// other settings only while the preview is active.
class TcxTreeListPreview : public TcxOwnedInterfacedPersistent {
  KORVANE_CLASS(TcxTreeListPreview, TcxOwnedInterfacedPersistent)
  static constexpr Integer DefaultLeftIndent = 3;
  static constexpr Integer DefaultRightIndent = 5;
  static constexpr Integer DefaultMaxLineCount = 3;

  explicit TcxTreeListPreview(TcxCustomTreeListControl* AControl);
  // The column with the same item index in this control.
  void Assign(TPersistent* ASource) override;

  bool Active() const { return FVisible && FColumn; }
  bool AutoHeight() const { return FAutoHeight; }
  void SetAutoHeight(bool AValue);
  TcxTreeListColumn* Column() const { return FColumn; }
  void SetColumn(TcxTreeListColumn* AValue);
  // Indents and line count are not below 0.
  Integer LeftIndent() const { return FLeftIndent; }
  void SetLeftIndent(Integer AValue);
  Integer MaxLineCount() const { return FMaxLineCount; }
  void SetMaxLineCount(Integer AValue);
  TcxTreeListPreviewPlace Place() const { return FPlace; }
  void SetPlace(TcxTreeListPreviewPlace AValue);
  Integer RightIndent() const { return FRightIndent; }
  void SetRightIndent(Integer AValue);
  bool Visible() const { return FVisible; }
  void SetVisible(bool AValue);

private:
  template <class T>
  void SetValue(T& AField, T AValue) {
    if (AField == AValue) return;
    AField = AValue;
    if (Active()) Changed();
  }
  void Changed();
  TcxCustomTreeListControl* FControl;
  bool FAutoHeight = true;
  TcxTreeListColumn* FColumn = nullptr;
  Integer FLeftIndent = DefaultLeftIndent;
  Integer FMaxLineCount = DefaultMaxLineCount;
  TcxTreeListPreviewPlace FPlace = tlppBottom;
  Integer FRightIndent = DefaultRightIndent;
  bool FVisible = false;
};

// ---- Column options ---------------------------------------------------------------------------

// What the user may do with one column and how its cells and footer show.
// CellEndEllipsis, Sizing and Footer are bits of one set; Hidden keeps the
// column out of the customization form's list. Every change of these lays
// the tree list out anew (through the column).
class TcxTreeListColumnOptions : public TcxCustomEditContainerItemOptions {
  KORVANE_CLASS(TcxTreeListColumnOptions, TcxCustomEditContainerItemOptions)
  enum { CellEndEllipsisBit = 1, SizingBit = 2, FooterBit = 3 };

  explicit TcxTreeListColumnOptions(TcxTreeListColumn* AColumn);
  // The inherited part, then the bits and Hidden.
  void Assign(TPersistent* ASource) override;
  // Sorting, Sizing, Customizing, Editing, TabStop, Focusing and Moving on.
  void RestoreDefaults();

  // A cell's text that does not fit ends in an ellipsis (the view's
  // CellEndEllipsis must be on too).
  KORVANE_TL_OPTION(CellEndEllipsis, CellEndEllipsisBit)
  // The user may size the column; a column that may not keeps its width
  // when a band row is fitted.
  KORVANE_TL_OPTION(Sizing, SizingBit)
  // The column's cell in the footer shows (with the view's Footer on).
  KORVANE_TL_OPTION(Footer, FooterBit)
  bool Hidden() const { return FHidden; }
  void SetHidden(bool AValue);

private:
  void SetBit(Integer ABit, bool AValue);
  TcxTreeListOptionBits FBits;
  bool FHidden = false;
};

// ---- Column summary footer --------------------------------------------------------------------

// The summary a column shows in the footer. Kind and Format live in the
// data controller's footer summary item of the column: a kind other than
// skNone makes that item when there is none, skNone frees it; reading
// answers from the item (skNone and the kept format without one). The
// alignments and MultiLine say how the footer cell lays its text out. A
// change lays the tree list out anew when its footer shows and it is not
// inside an update.
class TcxTreeListColumnSummaryFooter : public TcxOwnedInterfacedPersistent {
  KORVANE_CLASS(TcxTreeListColumnSummaryFooter, TcxOwnedInterfacedPersistent)
  explicit TcxTreeListColumnSummaryFooter(TcxTreeListColumn* AColumn);
  // Kind, format, alignments and MultiLine of another column's footer.
  void Assign(TPersistent* ASource) override;

  TcxSummaryKind Kind() const;
  void SetKind(TcxSummaryKind AValue);
  String Format() const;
  void SetFormat(const String& AValue);
  // Stored only when not empty.
  bool IsFormatStored() const { return !Format().empty(); }
  TAlignment AlignHorz() const { return FAlignHorz; }
  void SetAlignHorz(TAlignment AValue);
  TcxAlignmentVert AlignVert() const { return FAlignVert; }
  void SetAlignVert(TcxAlignmentVert AValue);
  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool AValue);

  // The column's item among the data controller's footer summary items (none).
  TcxDataSummaryItem* SummaryItem() const;
  // The text the footer cell shows: the summary item's formatted value ("" without one).
  String Text() const;

private:
  TcxDataFooterSummaryItems* Items() const;
  void Changed();
  TcxTreeListColumn* FColumn;
  // Kept for a kind set later, and answered while there is no item.
  String FFormat;
  TAlignment FAlignHorz = taLeftJustify;
  TcxAlignmentVert FAlignVert = vaTop;
  bool FMultiLine = false;
};

#undef KORVANE_TL_OPTION
