#pragma once
// The tree list's customization form: a small stay-on-top tool window that
// lists the hidden bands and columns; dragging an item onto the tree list
// shows it there (through the tree list's header drag object), and dragging
// a header from the tree list onto the form hides it.
//
// The form is made when it is shown and freed when it is hidden; its place
// and the selection of each list are kept across, so reopening shows it
// where it was with the same items selected.
#include <memory>
#include <vector>

#include "platform/gui/forms.h"
#include "platform/rtl/geometry.h"
#include "treelist/cxTLControl.h"

class TcxCanvas;
class TcxListBox;
class TPageControl;
class TTabSheet;
class TTimer;
class TcxTreeListBand;
class TcxTreeListColumn;

enum TcxTreeListCustomizeListKind { tlclBands, tlclColumns };

inline constexpr TResourceString cxSTreeListCustomizeCaption{65412, u"Customize"};
inline constexpr TResourceString cxSTreeListBandsCaption{65413, u"    Bands    "};
inline constexpr TResourceString cxSTreeListColumnsCaption{65414, u"   Columns   "};

class TcxTreeListCustomizing : public TObject, public IcxTreeListListener {
  KORVANE_CLASS(TcxTreeListCustomizing, TObject)

  // The window's height in list rows at the start, and the fewest it takes.
  static constexpr Integer DefaultRowCount = 10;
  static constexpr Integer MinRowCount = 2;
  // Width of the window in digit widths of its font.
  static constexpr Integer WidthInDigits = 28;
  // Room above and below an item's text.
  static constexpr Integer LineMargin = 4;
  // Left and top of a window never placed.
  static constexpr Integer NoPosition = -1000;
  // How often a running drag out of a list is checked for having been abandoned.
  static constexpr Cardinal DragCheckInterval = 10;
  // Room around the header picture of a list item.
  static constexpr Integer ItemInset = 2;

  explicit TcxTreeListCustomizing(TcxCustomTreeListControl* ATreeList);
  ~TcxTreeListCustomizing() override;

  TcxCustomTreeListControl* TreeList() const { return FTreeList; }
  Integer RowCount() const { return FRowCount; }
  void SetRowCount(Integer AValue);

  // The window is wanted and really shows.
  bool Visible() const;
  // Showing is refused when there is nothing to customize (no band headers
  // to list and no column headers); hiding frees the window.
  void SetVisible(bool AValue);
  // Shows the window with that list in front.
  void ShowBandsPage();
  void ShowColumnsPage();
  // The window shows and holds the screen point.
  bool PointInForm(const TPoint& AScreenPoint) const;

  TPoint LastPosition() const { return FLastPosition; }
  Integer LastBandIndex() const { return FLastBandIndex; }
  Integer LastColumnIndex() const { return FLastColumnIndex; }

  // ---- The window and its lists (none while hidden) ----
  TForm* Form() const { return FForm.get(); }
  // None in the simple arrangement or without band headers.
  TcxListBox* BandListBox() const { return FBandList; }
  // None when the tree list has no columns.
  TcxListBox* ColumnListBox() const { return FColumnList; }
  // The page control and its two tabs (none in the simple arrangement; no
  // columns tab without columns).
  TPageControl* PageControl() const { return FPageControl; }
  TTabSheet* BandsTab() const { return FBandsTab; }
  TTabSheet* ColumnsTab() const { return FColumnsTab; }
  // Runs while an item is dragged out of a list; a drag found abandoned
  // (the tree list no longer holds the mouse) ends without a drop.
  TTimer* DragTimer() const { return FDragTimer; }
  // The listed bands and columns, in list order.
  const std::vector<TcxTreeListBand*>& ListedBands() const { return FBands; }
  const std::vector<TcxTreeListColumn*>& ListedColumns() const { return FColumns; }
  // Fills both lists anew; each keeps its selection, the last item when it got shorter.
  void RefreshLists();

  // Starts dragging a listed item onto the tree list: the tree list takes
  // the mouse, and its release applies the drop.
  void StartItemDrag(TcxTreeListCustomizeListKind AKind, Integer AIndex);

  void TreeListChanged(TcxCustomTreeListControl* ATreeList) override;
  void TreeListRemoved(TcxCustomTreeListControl* ATreeList) override;

private:
  bool CanShow() const;
  void CreateForm();
  void PlaceForm();
  void DestroyForm();
  // Remembers the place and both selections.
  void SaveState();
  TcxListBox* MakeList(TcxTreeListCustomizeListKind AKind);
  void FillList(TcxListBox* AList, const std::vector<String>& ATexts);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void ListMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  void ListMouseMove(TObject* Sender, TShiftState Shift, Integer X, Integer Y);
  void ListMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  // Esc cancels a running header drag while the form has the keyboard.
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  TcxListBox* ListOf(TObject* AInner) const;
  // Items are drawn as the tree list's headers of their bands and columns.
  void MeasureItem(TcxListBox* AList, Integer AIndex, Integer& AHeight);
  void DrawItem(TcxListBox* AList, TcxCanvas* ACanvas, Integer AIndex, TRect ARect, Cardinal AState);
  void DragTimerTick(TObject* Sender);

  TcxCustomTreeListControl* FTreeList;
  Integer FRowCount = DefaultRowCount;
  bool FVisible = false;
  TPoint FLastPosition{NoPosition, NoPosition};
  Integer FLastBandIndex = -1;
  Integer FLastColumnIndex = -1;
  std::vector<TcxTreeListBand*> FBands;
  std::vector<TcxTreeListColumn*> FColumns;
  // The press on a list item that may become a drag.
  TcxListBox* FPressedList = nullptr;
  Integer FPressedItem = -1;
  TPoint FPressPoint{};
  std::unique_ptr<TForm> FForm;
  // Owned by the form.
  TcxListBox* FBandList = nullptr;
  TcxListBox* FColumnList = nullptr;
  TPageControl* FPageControl = nullptr;
  TTabSheet* FBandsTab = nullptr;
  TTabSheet* FColumnsTab = nullptr;
  TTimer* FDragTimer = nullptr;
};
