#pragma once
// The editing control: the base window control of the tree list. It owns a
// list of items (columns, not owned), a data controller, option objects, a
// controller with its companions, a view info with one view info per
// visible cell, and a painter. A descendant lays its cells out
// (CalculateCells of its view info) and supplies the row model of its
// controller and cell navigator.
#include <memory>
#include <vector>

#include "editors/cxEditStyles.h"
#include "editors/cxEditViewInfo.h"
#include "foundation/cxControls.h"
#include "foundation/cxStyles.h"
#include "platform/gui/bitmap.h"
#include "treelist/cxControlController.h"
#include "treelist/cxInplaceContainer.h"

class TcxEditingControl;
class TcxCustomControlViewInfo;
class TcxCustomControlPainter;

// The look of an area or a cell: bitmap, colour, font, text colour.
using TcxViewParams = TcxStyleParams;

// ---- Styles -------------------------------------------------------------------------------

// The control's styles. Unassigned values come from the control's font and
// its look-and-feel painter; a change makes the control lay out anew.
class TcxCustomControlStyles : public TcxStyles {
  KORVANE_CLASS(TcxCustomControlStyles, TcxStyles)
  enum { ContentIndex = 0, BackgroundIndex = 1, InactiveIndex = 2, SelectionIndex = 3 };
  explicit TcxCustomControlStyles(TcxEditingControl* AControl);
  // A table without a control (a style sheet's own): defaults without the
  // control's font and painter, changes tell no control.
  explicit TcxCustomControlStyles(TPersistent* AOwner);

  void Assign(TPersistent* ASource) override;
  TcxStyle* Content() const { return GetIndexedStyle(ContentIndex); }
  void SetContent(TcxStyle* AValue) { SetIndexedStyle(ContentIndex, AValue); }
  TcxStyle* Background() const { return GetIndexedStyle(BackgroundIndex); }
  void SetBackground(TcxStyle* AValue) { SetIndexedStyle(BackgroundIndex, AValue); }
  TcxStyle* Inactive() const { return GetIndexedStyle(InactiveIndex); }
  void SetInactive(TcxStyle* AValue) { SetIndexedStyle(InactiveIndex, AValue); }
  TcxStyle* Selection() const { return GetIndexedStyle(SelectionIndex); }
  void SetSelection(TcxStyle* AValue) { SetIndexedStyle(SelectionIndex, AValue); }

  TcxViewParams GetBackgroundParams();
  TcxViewParams GetContentParams();
  // Selection while the control's selection is active (it or its editor
  // holds the focus), else Inactive.
  TcxViewParams GetSelectionParams();
  void GetDefaultStyleParams(Integer AIndex, void* AData, TcxStyleParams& AParams) override;

protected:
  void ItemChanged(Integer AIndex) override;
  TcxEditingControl* Control() const { return FControl; }

private:
  TcxViewParams Params(Integer AIndex);
  TcxEditingControl* FControl;
};

// ---- View infos ---------------------------------------------------------------------------

class TcxCustomViewInfoItem : public TObject {
  KORVANE_CLASS(TcxCustomViewInfoItem, TObject)
  explicit TcxCustomViewInfoItem(TcxCustomControlViewInfo* AOwner) : FOwner(AOwner) {}
  TcxCustomControlViewInfo* Owner() const { return FOwner; }
  TRect DisplayRect() const { return FDisplayRect; }
  TRect ClipRect() const { return FClipRect; }
  bool Visible() const { return FVisible; }

  // The display rectangle; the clip rectangle is its part within AClip.
  virtual void SetBounds(const TRect& ARect, const TRect& AClip);
  // The same within the control's client rectangle.
  void SetBoundsInClient(const TRect& ARect);
  virtual void Calculate() = 0;
  virtual TcxEditingControl* GetControl() const;
  // Optionally recalculated, then the clip rectangle repainted.
  void Invalidate(bool ARecalculate = false);

protected:
  TRect FDisplayRect{};
  TRect FClipRect{};
  bool FVisible = false;

private:
  TcxCustomControlViewInfo* FOwner;
};

// One editable cell: the item's editor view for one record.
class TcxEditCellViewInfo : public TcxCustomViewInfoItem, public IcxHintHotTrackItem {
  KORVANE_CLASS(TcxEditCellViewInfo, TcxCustomViewInfoItem)
  TcxEditCellViewInfo(TcxCustomControlViewInfo* AOwner, TcxCustomInplaceEditContainer* AItem);
  ~TcxEditCellViewInfo() override;

  TcxCustomInplaceEditContainer* GetItem() const { return FItem; }
  TcxCustomEditProperties* Properties() const { return FProperties; }
  const Variant& Value() const { return FValue; }
  // The display rectangle narrowed by the borders.
  TRect ContentRect() const { return FContentRect; }
  // Where the in-place editor goes: the visible content, less the offsets.
  TRect EditRect() const { return FEditRect; }
  TcxBorders Borders() const { return FBorders; }
  void SetBorders(TcxBorders AValue) { FBorders = AValue; }
  TcxCustomEditViewInfo* EditViewInfo() const { return FEditViewInfo.get(); }
  // The item's shared view data, or the cell's own for other properties.
  TcxCustomEditViewData* ViewData() const { return FViewData; }

  void SetBounds(const TRect& ARect, const TRect& AClip) override;
  // The item prepares the cell; the editor view is computed.
  void Calculate() override;

  // ---- Slots ----
  virtual Integer GetRecordIndex() const { return 0; }
  virtual Integer GetEditRecordIndex() const { return GetRecordIndex(); }
  virtual TRect GetContentOffset() const { return TRect{1, 1, 1, 1}; }
  virtual bool IsFocusedCell() const;
  // Whether the cell shows the selection's look (the base: never).
  virtual bool IsSelectedLook() const { return false; }
  virtual Variant GetDisplayValue() const;
  virtual TcxEditButtonTransparency GetButtonTransparency() const;
  // The look of the cell: the control's background in the base.
  virtual TcxViewParams GetViewParams() const;
  // The cell's colours with all 24 colour bits inverted (system colours are
  // resolved first).
  TColor GetSelectionTextColor() const { return cxInvertedColor(FViewParams.TextColor); }
  TColor GetSelectionBackgroundColor() const { return cxInvertedColor(FViewParams.Color); }
  const TcxViewParams& ViewParams() const { return FViewParams; }
  // The text the cell shows for its value.
  String GetDisplayText() const;
  virtual Integer GetMaxLineCount() const;
  virtual bool IsAutoHeight() const;
  virtual bool IsEndEllipsis() const;
  // How the text is laid out: one row, or with auto height broken into
  // rows (at most GetMaxLineCount).
  Cardinal GetTextFlags() const;
  Integer CellHeight() const { return FCellHeight; }
  // Stores the height; answers whether it changed.
  bool SetCellHeight(Integer AValue);
  // Recalculated: measures the height (the item's for an auto-height cell,
  // else the default edit height) and recalculates when it is unchanged;
  // answers whether it changed. Otherwise the look is handed to the editor
  // view again. An unchanged cell is repainted.
  bool RefreshCellParams(bool ARecalculate);
  // Takes the cell's look anew (GetViewParams) and hands it to the editor
  // view, without repainting.
  void RefreshViewParams();
  // Characters of the display text highlighted by the incremental search
  // (from the first one; 0: none), in the selection colours above.
  Integer IncSearchLength() const { return FIncSearchLength; }

  // ---- IcxHintHotTrackItem ----
  TPoint GetHintPoint() const override { return FContentRect.TopLeft(); }
  // Only a visible cell; the editor view is asked within the content bounds.
  bool NeedShowHint(TcxCanvas* ACanvas, const TPoint& P, String& AText, bool& AIsHintBelowCursor,
                    TRect& ATextRect) override;

  // Takes the item's property set for its record and the value.
  void InitProperties();

  // The cell's editor buttons follow the mouse: not while designing, only
  // for a property set with buttons and a look whose painter hot-tracks them.
  virtual bool IsHotTrackable() const;
  // The editor view is computed anew for the mouse at P (client
  // coordinates; a point outside every cell when the mouse left) and only
  // the buttons whose look changed are repainted.
  void UpdateHotTrackState(const TPoint& P) override;

private:
  // The editor view computed for the mouse at P ((-1, -1): none).
  void CalculateAt(const TPoint& P);
  TcxCustomInplaceEditContainer* FItem;
  TcxCustomEditProperties* FProperties = nullptr;
  Variant FValue = Null();
  TRect FContentRect{};
  TRect FEditRect{};
  TcxBorders FBorders = 0;
  TcxViewParams FViewParams;
  Integer FIncSearchLength = 0;
  Integer FCellHeight = 0;
  void CalculateIncSearch();
  void ApplyViewParams();
  // A view data made for properties other than the item's resolved ones.
  std::unique_ptr<TcxCustomEditViewData> FOwnViewData;
  TcxCustomEditViewData* FViewData = nullptr;
  std::unique_ptr<TcxCustomEditViewInfo> FEditViewInfo;
};

// The computed look of the control: the client rectangle and the cells.
class TcxCustomControlViewInfo : public TObject {
  KORVANE_CLASS(TcxCustomControlViewInfo, TObject)
  explicit TcxCustomControlViewInfo(TcxEditingControl* AControl);
  ~TcxCustomControlViewInfo() override;

  TcxEditingControl* Control() const { return FControl; }
  TRect ClientRect() const { return FClientRect; }
  // The edit cells, visible or not (owned by the descendant that lays them out).
  const std::vector<TcxEditCellViewInfo*>& EditCells() const { return FEditCells; }
  bool IsDirty() const { return FDirty; }
  void SetDirty() { FDirty = true; }
  void StylesChanged() { FStylesChanged = true; }
  TcxCustomControlPainter* Painter() const { return FPainter.get(); }
  const TcxViewParams& BackgroundParams() const { return FBackgroundParams; }
  const TcxViewParams& SelectionParams() const { return FSelectionParams; }
  Integer DefaultEditHeight() const { return FDefaultEditHeight; }

  void Calculate();
  // The selection look follows the focus: Selection or Inactive.
  virtual void UpdateSelectionParams();

protected:
  // Lays the cells out (every visible cell recalculates itself in the base).
  virtual void CalculateCells();
  // The height of a cell that is not auto-height: the tallest default
  // editor of the items.
  virtual Integer GetDefaultEditHeight() const;
  std::vector<TcxEditCellViewInfo*> FEditCells;
  // A descendant's constructor puts its own painter in place.
  void ReplacePainter(std::unique_ptr<TcxCustomControlPainter> APainter);

private:
  TcxEditingControl* FControl;
  std::unique_ptr<TcxCustomControlPainter> FPainter;
  TcxViewParams FBackgroundParams;
  TcxViewParams FSelectionParams;
  Integer FDefaultEditHeight = 0;
  TRect FClientRect{};
  bool FDirty = true;
  bool FStylesChanged = true;
};

// ---- Painter ------------------------------------------------------------------------------

using TcxEditingControlCustomDrawCellEvent =
    TEvent<void(TcxEditingControl* Sender, TcxCanvas* ACanvas, TcxEditCellViewInfo* AViewInfo, bool& ADone)>;

// Draws the view info onto the control's canvas, or, buffered, onto a
// bitmap of the control's size that is copied onto the canvas at the end.
class TcxCustomControlPainter : public TObject {
  KORVANE_CLASS(TcxCustomControlPainter, TObject)
  explicit TcxCustomControlPainter(TcxEditingControl* AControl);
  ~TcxCustomControlPainter() override;

  TcxEditingControl* Control() const { return FControl; }
  // The canvas drawn on now: the buffer's while buffered painting runs.
  TcxCanvas* Canvas() const { return FCanvas; }
  bool Buffered() const { return FBuffered; }
  void SetBuffered(bool AValue);
  // Paints what the canvas's clip region shows of the client rectangle.
  void PaintControl();

  // The custom-draw event first (for a visible cell on the canvas); unless
  // it reports done, the cell's editor view and text. With AExclude the
  // cell is clipped out afterwards.
  virtual void PaintEditCell(TcxEditCellViewInfo* ACell, bool AExclude = true);
  // Cells, then the background in what is left.
  virtual void PaintContent();
  virtual void SaveAndApplyViewParams(TcxEditCellViewInfo* ACell);
  virtual void RestoreViewParams(TcxEditCellViewInfo* ACell);

protected:
  // The text of a cell whose editor view does not paint its content, with
  // the incremental-search highlight.
  void PaintCellText(TcxEditCellViewInfo* ACell);

private:
  TcxEditingControl* FControl;
  TcxCanvas* FCanvas;
  bool FBuffered = false;
  // Owned while buffered, in destruction order.
  std::unique_ptr<TBitmap> FBitmap;
  std::unique_ptr<TcxCanvas> FBitmapCanvas;
  std::unique_ptr<TFont> FSavedFont;
  TColor FSavedBrushColor = clNone;
};

// ---- The control --------------------------------------------------------------------------

using TcxEditingControlItemEvent = TEvent<void(TcxEditingControl* Sender, TcxCustomInplaceEditContainer* AItem)>;
using TcxEditingEvent =
    TEvent<void(TcxEditingControl* Sender, TcxCustomInplaceEditContainer* AItem, bool& Allow)>;
using TcxInitEditEvent =
    TEvent<void(TcxEditingControl* Sender, TcxCustomInplaceEditContainer* AItem, TcxCustomEdit* AEdit)>;

class TcxEditingControl : public TcxControl, public IcxEditingControl, public IcxControlDataControllerOwner {
  KORVANE_CLASS(TcxEditingControl, TcxControl)
  explicit TcxEditingControl(TComponent* AOwner);
  ~TcxEditingControl() override;
  // Makes the companions through the Create* slots; a descendant's
  // constructor calls it once its own state is ready.
  void CreateSubobjects();

  TcxControlDataController* DataController() const { return FDataController.get(); }
  TcxCustomControlController* Controller() const { return FController.get(); }
  TcxEditingController* EditingController() const { return FController->EditingController(); }
  TcxCustomControlViewInfo* ViewInfo() const { return FViewInfo.get(); }
  TcxCustomEditStyle* EditStyle() const { return FEditStyle.get(); }
  TcxControlOptionsView* OptionsView() const { return FOptionsView.get(); }
  TcxControlOptionsData* OptionsData() const { return FOptionsData.get(); }
  TcxControlOptionsBehavior* OptionsBehavior() const { return FOptionsBehavior.get(); }
  TcxCustomControlStyles* Styles() const { return FStyles.get(); }
  void SetStyles(TcxCustomControlStyles* AValue) { FStyles->Assign(AValue); }
  bool BufferedPaint() const;
  void SetBufferedPaint(bool AValue);
  // The control or its open editor holds the focus.
  bool IsFocused() { return HasFocus(); }
  // Whether the selection shows in its active look (the Selection style)
  // rather than the Inactive one: while the control has the focus.
  virtual bool IsSelectionActive() { return IsFocused(); }
  // The full client rectangle is painted next time (after a layout change).
  bool FullRepaintNeeded() const { return FFullRepaint; }
  void ClearFullRepaint() { FFullRepaint = false; }
  Integer ItemCount() const { return Integer(FItems.size()); }
  TcxCustomInplaceEditContainer* Items(Integer AIndex) const { return FItems.at(size_t(AIndex)); }
  bool IsLocked() const { return FLockCount > 0; }
  Integer LockCount() const { return FLockCount; }
  bool IsDestroying() const { return FDestroying; }
  TPoint DragStartPos() const { return FDragPos; }
  TcxDragImageHelper* DragImage() const { return FDragImage.get(); }
  // The picture of dragged text (with DragDropText), from the press point,
  // moved by the drag mouse hook; ending it removes the hook.
  void BeginDragImage();
  void EndDragImage();

  // The layout is computed anew (batched while update-locked).
  virtual void LayoutChanged();
  void LayoutChangedWithStyles();
  // Asks the user to confirm (OK / Cancel through the dialog service).
  static bool ConfirmBox(const String& AText, const String& ACaption);

  // ---- Events ----
  TcxEditingEvent OnEditing;
  TcxEditingControlItemEvent OnEdited;
  TcxEditingControlItemEvent OnEditChanged;
  TcxEditingControlItemEvent OnEditValueChanged;
  TcxInitEditEvent OnInitEdit;
  TcxEditingControlCustomDrawCellEvent OnCustomDrawCell;

  // ---- IcxEditingControl ----
  TcxControlDataController* GetControlDataController() const override { return FDataController.get(); }
  void AddContainerItem(TcxCustomInplaceEditContainer* AItem) override;
  void RemoveContainerItem(TcxCustomInplaceEditContainer* AItem) override;
  // The items at AIndex1 and AIndex2 trade places, each with its data field
  // (so each keeps its values); the data controller hears that its items
  // changed. Nothing when either index is outside the list.
  virtual void ExchangeContainerItems(Integer AIndex1, Integer AIndex2);
  void BeginUpdate() override;
  void EndUpdate() override;
  void ItemLayoutChanged() override { LayoutChangedWithStyles(); }
  bool IsDataEditingEnabled() const override { return FOptionsData->Editing(); }
  bool IsIncSearchEnabled() const override { return FOptionsBehavior->IncSearch(); }
  TcxCustomInplaceEditContainer* EditingItem() const override;
  void SwitchEditedItem(TcxCustomInplaceEditContainer* AItem) override;
  TcxCustomInplaceEditContainer* IncSearchItem() const override;
  void CancelIncSearch() override;
  void EditPropertiesRemoved(TcxCustomEditProperties* AProperties) override;
  void BehaviorChanged() override;
  void SetWantsTabKey(bool AValue) override;
  TcxCustomControlController* GetController() const override { return FController.get(); }

  // ---- IcxControlDataControllerOwner ----
  TObject* GetControlItem(Integer AIndex) const override { return FItems.at(size_t(AIndex)); }
  void ApplyDataChange(TcxUpdateControlInfo* AInfo) override;
  void StoreCellEditorValue() override;

  void WndProc(TMessage& Message) override;

protected:
  virtual std::unique_ptr<TcxCustomControlController> CreateController() = 0;
  virtual std::unique_ptr<TcxCustomControlViewInfo> CreateViewInfo();
  // The styles and option objects; a descendant substitutes its own classes.
  virtual std::unique_ptr<TcxCustomControlStyles> CreateStyles();
  virtual std::unique_ptr<TcxControlOptionsView> CreateOptionsView();
  virtual std::unique_ptr<TcxControlOptionsData> CreateOptionsData();
  virtual std::unique_ptr<TcxControlOptionsBehavior> CreateOptionsBehavior();
  virtual void AfterLayoutChanged() {}
  // Before the layout is computed again at the end of an update.
  virtual void ContentChanged() {}
  virtual void DataChanged();
  // The data's layout changed (fields, sorting): the editor reloads its
  // value and the focused cells are refreshed.
  virtual void DataLayoutChanged();
  // The data controller's row selection changed (nothing in the base).
  virtual void SelectionChanged() {}
  // An open editor ends (its value kept), every item takes its properties
  // anew, the layout and styles are computed again, and the editor opens
  // again on the focused item, now in the new look.
  void ApplyLookAndFeelChange(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChanged) override;
  // The picture of dragged text (DragDropText), drawn into ACanvas at the
  // origin; its size is GetDragImageBounds.
  virtual TRect GetDragImageBounds() { return TRect{}; }
  virtual void DrawDragPicture(TCanvas*) {}
  friend class TcxDragImageHelper;
  friend class TcxCustomControlController;
  // A drag with DragDropText shows the text's picture until it ends.
  void DoStartDrag(TDragObject*& DragObject) override;
  void DoEndDrag(TObject* Target, Integer X, Integer Y) override;
  // Over the control a drag ends the editor first (its value kept).
  void DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) override;

  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void DblClick() override;
  void DoExit() override;
  void HandleFocusChange() override;
  void HandleMouseLeave(TControl* AControl) override;
  void SizeOrBorderChanged() override;
  // The editor is placed anew after the scroll; the controller scrolls.
  void ScrollContent(TScrollBarKind AKind, TScrollCode ACode, Integer& APosition) override;
  bool HasFocus() override;

private:
  void SelectionLookChanged();
  std::vector<TcxCustomInplaceEditContainer*> FItems;
  // Owned, in destruction order (the last declared goes first).
  std::unique_ptr<TcxCustomControlStyles> FStyles;
  std::unique_ptr<TcxControlDataController> FDataController;
  std::unique_ptr<TcxCustomEditStyle> FEditStyle;
  std::unique_ptr<TcxControlOptionsView> FOptionsView;
  std::unique_ptr<TcxControlOptionsData> FOptionsData;
  std::unique_ptr<TcxControlOptionsBehavior> FOptionsBehavior;
  std::unique_ptr<TcxCustomControlController> FController;
  std::unique_ptr<TcxCustomControlViewInfo> FViewInfo;
  std::unique_ptr<TcxDragImageHelper> FDragImage;
  TPoint FDragPos{-1, -1};
  Integer FLockCount = 0;
  Integer FLayoutCount = 0;
  bool FDestroying = false;
  bool FFullRepaint = true;
};
