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
#include "treelist/cxControlController.h"
#include "treelist/cxInplaceContainer.h"

class TcxEditingControl;
class TcxCustomControlViewInfo;

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
  TcxCustomEditViewData* ViewData() const { return FViewData.get(); }

  void SetBounds(const TRect& ARect, const TRect& AClip) override;
  // The item prepares the cell; the editor view is computed.
  void Calculate() override;

  // ---- Slots ----
  virtual Integer GetRecordIndex() const { return 0; }
  virtual Integer GetEditRecordIndex() const { return GetRecordIndex(); }
  virtual TRect GetContentOffset() const { return TRect{1, 1, 1, 1}; }
  virtual bool IsFocusedCell() const;
  virtual Variant GetDisplayValue() const;
  virtual TcxEditButtonTransparency GetButtonTransparency() const;

  // ---- IcxHintHotTrackItem ----
  TPoint GetHintPoint() const override { return FContentRect.TopLeft(); }
  // Only a visible cell; the editor view is asked within the content bounds.
  bool NeedShowHint(const TPoint& P, String& AText, bool& AIsHintMultiLine, TRect& ATextRect) override;

  // Takes the item's property set for its record and the value.
  void InitProperties();

private:
  TcxCustomInplaceEditContainer* FItem;
  TcxCustomEditProperties* FProperties = nullptr;
  Variant FValue = Null();
  TRect FContentRect{};
  TRect FEditRect{};
  TcxBorders FBorders = 0;
  // Owned, in destruction order.
  std::unique_ptr<TcxCustomEditViewData> FViewData;
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

  void Calculate();

protected:
  // Lays the cells out (every visible cell recalculates itself in the base).
  virtual void CalculateCells();
  std::vector<TcxEditCellViewInfo*> FEditCells;

private:
  TcxEditingControl* FControl;
  TRect FClientRect{};
  bool FDirty = true;
  bool FStylesChanged = true;
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
  Integer ItemCount() const { return Integer(FItems.size()); }
  TcxCustomInplaceEditContainer* Items(Integer AIndex) const { return FItems.at(size_t(AIndex)); }
  bool IsLocked() const { return FLockCount > 0; }
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

  // ---- IcxEditingControl ----
  TcxControlDataController* GetControlDataController() const override { return FDataController.get(); }
  void AddContainerItem(TcxCustomInplaceEditContainer* AItem) override;
  void RemoveContainerItem(TcxCustomInplaceEditContainer* AItem) override;
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
  void BehaviorChanged() override { Invalidate(); }
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
  virtual void AfterLayoutChanged() {}
  virtual void DataChanged();
  // The picture of dragged text (DragDropText), drawn into ACanvas at the
  // origin; its size is GetDragImageBounds.
  virtual TRect GetDragImageBounds() { return TRect{}; }
  virtual void DrawDragPicture(TCanvas*) {}
  friend class TcxDragImageHelper;
  // A drag with DragDropText shows the text's picture until it ends.
  void DoStartDrag(TDragObject*& DragObject) override;
  void DoEndDrag(TObject* Target, Integer X, Integer Y) override;

  void Paint() override;
  virtual void PaintCells(TcxCanvas* ACanvas);
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
  std::vector<TcxCustomInplaceEditContainer*> FItems;
  // Owned, in destruction order (the last declared goes first).
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
};
