#pragma once
// The tree list's styles: the control's style slots with their style sheet,
// a column's own styles, and how the look of each painted element is
// resolved from them.
//
// A chain of styles is resolved thus: each value (colour, bitmap, font,
// text colour) comes from the first style of the chain that assigns it, the
// rest from the slot's default. Merging a style overwrites what it assigns
// and answers the set of values it assigned.
#include "foundation/cxStyles.h"
#include "treelist/cxEditingControl.h"

class TcxCustomTreeListControl;
class TcxTreeListColumn;
class TcxTreeListNode;

// Overwrites what AStyle assigns (none: nothing); answers the assigned values.
TcxStyleValues cxMergeStyle(TcxViewParams& AParams, TcxStyle* AStyle, TcxStyleValues AExcept = 0);

// A column's styles: content (the edit container's slot), header and footer.
class TcxTreeListColumnStyles : public TcxEditContainerStyles {
  KORVANE_CLASS(TcxTreeListColumnStyles, TcxEditContainerStyles)
  enum { HeaderIndex = 1, FooterIndex = 2 };
  explicit TcxTreeListColumnStyles(TcxCustomInplaceEditContainer* AItem) : TcxEditContainerStyles(AItem) {}
  // Header and footer, then what the base copies.
  void Assign(TPersistent* ASource) override;
  TcxStyle* Header() const { return GetIndexedStyle(HeaderIndex); }
  void SetHeader(TcxStyle* AValue) { SetIndexedStyle(HeaderIndex, AValue); }
  TcxStyle* Footer() const { return GetIndexedStyle(FooterIndex); }
  void SetFooter(TcxStyle* AValue) { SetIndexedStyle(FooterIndex, AValue); }
};

// The element a style is asked for: a band or a column (none for an indent).
using TcxtlOnGetItemStyleEvent =
    TEvent<void(TcxCustomTreeListControl* Sender, TObject* AItem, TcxStyle*& AStyle)>;
using TcxtlOnGetContentStyleEvent =
    TEvent<void(TcxCustomTreeListControl* Sender, TObject* AItem, TcxTreeListNode* ANode, TcxStyle*& AStyle)>;
using TcxtlOnGetNodeIndentStyleEvent =
    TEvent<void(TcxCustomTreeListControl* Sender, TcxTreeListNode* ANode, Integer ALevel, TcxStyle*& AStyle)>;

class TcxTreeListStyles : public TcxCustomControlStyles {
  KORVANE_CLASS(TcxTreeListStyles, TcxCustomControlStyles)
  enum {
    BandBackgroundIndex = 4, BandContentIndex = 5, BandHeaderIndex = 6, ColumnFooterIndex = 7,
    ColumnHeaderIndex = 8, ContentEvenIndex = 9, ContentOddIndex = 10, FooterIndex = 11, IncSearchIndex = 12,
    IndicatorIndex = 13, PreviewIndex = 14, HotTrackIndex = 15
  };
  // The control's table, or (any other owner) a style sheet's own.
  explicit TcxTreeListStyles(TPersistent* AOwner);
  // The slots from BandBackground on, then the inherited part.
  void Assign(TPersistent* ASource) override;

#define KORVANE_TL_STYLE(Name)                                                   \
  TcxStyle* Name() const { return GetIndexedStyle(Name##Index); }                \
  void Set##Name(TcxStyle* AValue) { SetIndexedStyle(Name##Index, AValue); }
  KORVANE_TL_STYLE(BandBackground)
  KORVANE_TL_STYLE(BandContent)
  KORVANE_TL_STYLE(BandHeader)
  KORVANE_TL_STYLE(ColumnFooter)
  KORVANE_TL_STYLE(ColumnHeader)
  KORVANE_TL_STYLE(ContentEven)
  KORVANE_TL_STYLE(ContentOdd)
  KORVANE_TL_STYLE(Footer)
  KORVANE_TL_STYLE(IncSearch)
  KORVANE_TL_STYLE(Indicator)
  KORVANE_TL_STYLE(Preview)
  KORVANE_TL_STYLE(HotTrack)
#undef KORVANE_TL_STYLE

  void GetDefaultStyleParams(Integer AIndex, void* AData, TcxStyleParams& AParams) override;

  // ---- Resolved looks ----
  // Even and odd rows: (ContentEven or ContentOdd, Content).
  TcxViewParams GetContentEvenParams();
  TcxViewParams GetContentOddParams();
  // A data cell: the column's content over the row's parity look (the
  // parity look alone for the preview column), then the content event; a
  // hot-tracked node takes the hot-track look over it.
  TcxViewParams GetContentParams(TcxTreeListNode* ANode, TcxTreeListColumn* AColumn);
  // An indent cell at APosition (0: the leftmost) of ANode's row.
  TcxViewParams GetNodeIndentParams(TcxTreeListNode* ANode, Integer APosition);
  TcxViewParams GetColumnHeaderParams(TcxTreeListColumn* AColumn);
  // A column outside any band.
  TcxViewParams GetColumnFooterParams(TcxTreeListColumn* AColumn);
  TcxViewParams GetFooterParams() { return Resolve(FooterIndex); }
  TcxViewParams GetIncSearchParams() { return Resolve(IncSearchIndex); }
  TcxViewParams GetIndicatorParams() { return Resolve(IndicatorIndex); }
  TcxViewParams GetPreviewParams(TcxTreeListNode* ANode);
  // Band elements, over the band's own style of the element.
  TcxViewParams GetBandBackgroundParams(TObject* ABand, TcxStyle* ABandStyle);
  TcxViewParams GetBandHeaderParams(TObject* ABand, TcxStyle* ABandStyle);
  TcxViewParams GetBandFooterParams(TObject* ABand, TcxStyle* ABandStyle);
  TcxViewParams GetBandContentParams(TObject* ABand, TcxStyle* ABandStyle, TcxTreeListNode* ANode);

  // ---- Events ----
  TcxtlOnGetItemStyleEvent OnGetBandBackgroundStyle;
  TcxtlOnGetItemStyleEvent OnGetBandHeaderStyle;
  TcxtlOnGetItemStyleEvent OnGetBandFooterStyle;
  TcxtlOnGetItemStyleEvent OnGetColumnFooterStyle;
  TcxtlOnGetItemStyleEvent OnGetColumnHeaderStyle;
  TcxtlOnGetItemStyleEvent OnGetPreviewStyle;
  TcxtlOnGetContentStyleEvent OnGetBandContentStyle;
  TcxtlOnGetContentStyleEvent OnGetContentStyle;
  TcxtlOnGetContentStyleEvent OnGetHotTrackStyle;
  TcxtlOnGetNodeIndentStyleEvent OnGetNodeIndentStyle;

protected:
  void ItemChanged(Integer AIndex) override;

private:
  TcxCustomTreeListControl* TreeList() const;
  TcxViewParams Resolve(Integer AIndex, TcxStyle* AOverride = nullptr);
  // The parity look of ANode's row.
  TcxViewParams RowParams(TcxTreeListNode* ANode);
  // AParams from the event's style then AItemStyle, the slot filling the rest.
  TcxViewParams ResolveItem(Integer AIndex, const TcxtlOnGetItemStyleEvent& AEvent, TObject* AItem,
                            TcxStyle* AItemStyle);
  TcxStyle* AskContentStyle(const TcxtlOnGetContentStyleEvent& AEvent, TObject* AItem, TcxTreeListNode* ANode);
  void CacheParams();
  bool FCacheValid = false;
  TcxViewParams FContentEvenParams;
  TcxViewParams FContentOddParams;
};

// A style sheet of tree list styles.
class TcxTreeListStyleSheet : public TcxCustomStyleSheet {
  KORVANE_CLASS(TcxTreeListStyleSheet, TcxCustomStyleSheet)
  explicit TcxTreeListStyleSheet(TComponent* AOwner) : TcxCustomStyleSheet(AOwner) {}
  TcxCustomStylesClass StylesClassOf() const override { return TcxTreeListStyles::StaticClass(); }
  TcxTreeListStyles* Styles() { return static_cast<TcxTreeListStyles*>(GetStyles()); }
};
