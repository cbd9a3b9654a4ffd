#pragma once
// A page control: a row of tabs along the top, one per tab sheet, and the
// active sheet below them filling the rest; a click on a tab brings its
// sheet forward. Tab sheets are ordinary containers: controls placed on a
// sheet show while it is the active one.
#include <vector>

#include "platform/gui/controls.h"

class TPageControl;

class TTabSheet : public TCustomControl {
  KORVANE_CLASS(TTabSheet, TCustomControl)
  explicit TTabSheet(TComponent* AOwner);
  ~TTabSheet() override;
  TPageControl* PageControl() const { return FPageControl; }
  // Joins APageControl's pages as the last one (none: leaves its page control).
  void SetPageControl(TPageControl* APageControl);
  // The place among the page control's pages; -1 without a page control.
  Integer PageIndex() const;

protected:
  void Paint() override;
  void CMTextChanged(TMessage& Message) override;

private:
  friend class TPageControl;
  TPageControl* FPageControl = nullptr;
};

class TPageControl : public TCustomControl {
  KORVANE_CLASS(TPageControl, TCustomControl)
  // Room around a tab's caption.
  static constexpr Integer TabTextMargin = 6;
  // The selected tab stands this much taller and wider than the others.
  static constexpr Integer SelectedTabRise = 2;

  explicit TPageControl(TComponent* AOwner);
  ~TPageControl() override;

  Integer PageCount() const { return Integer(FPages.size()); }
  // None outside 0 .. PageCount - 1.
  TTabSheet* Pages(Integer AIndex) const;
  TTabSheet* ActivePage() const { return FActivePage; }
  // Shows that sheet and hides the others (none or a sheet of another
  // control is ignored); OnChange follows a change.
  void SetActivePage(TTabSheet* APage);
  Integer ActivePageIndex() const;
  void SetActivePageIndex(Integer AIndex);
  // A tab under the mouse takes the highlight colour for its caption.
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool AValue);
  // The tab under the mouse while hot tracking (-1: none).
  Integer HotTabIndex() const { return FHotTab; }

  // Height of the tab row: the font's text height plus the margins.
  Integer TabHeight();
  // The tab of page AIndex in client coordinates (the selected one raised).
  TRect TabRect(Integer AIndex);
  // The page whose tab holds the point; -1 when none does.
  Integer IndexOfTabAt(Integer X, Integer Y);
  // Where the sheets go: below the tabs, inside the frame.
  TRect PageRect();

  void AlignControls(TControl* AControl, TRect& Rect) override;

  TNotifyEvent OnChange;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void CMMouseLeave(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;

private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* APage);
  void RemovePage(TTabSheet* APage);
  void PaintTab(Integer AIndex);
  void SetHotTab(Integer AIndex);
  std::vector<TTabSheet*> FPages;
  TTabSheet* FActivePage = nullptr;
  bool FHotTrack = false;
  Integer FHotTab = -1;
};
