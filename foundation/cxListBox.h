#pragma once
// The list box: a list of strings inside the container control.
//
// The container (TcxContainer) supplies border, styles and look-and-feel; a
// borderless TcxInnerListBox fills its client area and does the listing.
// A data binding reads the selected string from a data source and writes it
// back: the binding's value selects the item with that text (none when no
// item has it), and the selected text (or "" without a selection) is
// written when the control is left. While the binding refuses editing,
// navigation keys, typed characters and clicks do not change the selection;
// Esc asks the binding to reset its value.
//
// IntegralHeight keeps the height to whole rows (unless aligned left, right
// or client): rows are counted while they fit in the requested height with
// the margins the container keeps around the inner list in its current
// border style (and a horizontal scroll bar when ScrollWidth needs one), so
// the list shows whole rows in every border style.
#include <memory>

#include "foundation/cxContainer.h"
#include "foundation/cxContainerPopup.h"
#include "platform/rtl/variant.h"

class TcxListBox;
class TcxListBoxDataBinding;

// ---------------------------------------------------------------------------
// The binding between the list box and a data source. The base is unbound:
// it gives no value, always allows editing and stores nothing; data-aware
// descendants override what they bind.

using TcxListBoxDataBindingMetaClass = TConstructorMetaClass<TcxListBoxDataBinding, TComponent*>;
using TcxListBoxDataBindingClass = const TcxListBoxDataBindingMetaClass*;
using TcxDataBindingNotifyEvent = TEvent<void()>;

class TcxListBoxDataBinding : public TPersistent {
public:
  using MetaClass = TcxListBoxDataBindingMetaClass;
  KORVANE_CLASS(TcxListBoxDataBinding, TPersistent)
  explicit TcxListBoxDataBinding(TComponent* AOwner) : FOwner(AOwner) {}

  TPersistent* GetOwner() const override { return FOwner; }
  TComponent* Owner() const { return FOwner; }

  // The control's three handlers: show the value, a data change notice,
  // take the control's value.
  TcxDataBindingNotifyEvent OnValueToControl;
  TcxDataBindingNotifyEvent OnDataChanged;
  TcxDataBindingNotifyEvent OnControlToValue;

  // Call the handlers (when assigned).
  virtual void ValueToControl();
  virtual void DataChanged();
  virtual void ControlToValue();

  // Whether a value can be given (false: unbound).
  virtual bool CanGiveValue() { return false; }
  // The value for display, or for editing when AEditing.
  virtual Variant GetDisplayValue(bool /*AEditing*/) { return Null(); }
  // Asked before a key or a click may change the value.
  virtual bool CanEdit() { return true; }
  // Esc: the value shown again from the source.
  virtual void Reset() { ValueToControl(); }
  // Receives the control's value.
  virtual void StoreValue(const Variant&) {}
  // The control is left: its value is taken (ControlToValue).
  virtual void UpdateData() { ControlToValue(); }
  virtual bool ExecuteAction(TObject*) { return false; }
  virtual bool UpdateAction(TObject*) { return false; }

private:
  TComponent* FOwner;
};

// ---------------------------------------------------------------------------
// The list box's inner list

class TcxInnerListBox : public TcxCustomInnerListBox {
  KORVANE_CLASS(TcxInnerListBox, TcxCustomInnerListBox)
  explicit TcxInnerListBox(TComponent* AOwner) : TcxCustomInnerListBox(AOwner) {}
  // The list box that hosts the list (nullptr: none).
  TcxListBox* ListBox() const;
  // Passed on only while editing is allowed.
  void Click() override;
  bool DoDrawItem(Integer Index, const TRect& ARect, TOwnerDrawState AState) override;

protected:
  bool CanChangeSelectionByMouse() override;
};

// ---------------------------------------------------------------------------
// TcxListBox

using TcxListBoxDrawItemEvent =
    TEvent<void(TcxListBox* AControl, TcxCanvas* ACanvas, Integer AIndex, TRect ARect, TOwnerDrawState AState)>;
using TcxListBoxMeasureItemEvent = TEvent<void(TcxListBox* AControl, Integer AIndex, Integer& AHeight)>;

class TcxListBox : public TcxContainer {
  KORVANE_CLASS(TcxListBox, TcxContainer)
  // 121 x 97 pixels, with a data binding and an inner list box.
  explicit TcxListBox(TComponent* AOwner);
  ~TcxListBox() override;

  // ---- Inner objects ----
  TcxInnerListBox* InnerListBox() const { return FInnerListBox; }
  TcxListBoxDataBinding* DataBinding() const { return FDataBinding.get(); }

  // ---- Forwarded to the inner list box ----
  bool AutoComplete() const { return FInnerListBox->AutoComplete(); }
  void SetAutoComplete(bool Value) { FInnerListBox->SetAutoComplete(Value); }
  Integer Columns() const { return FInnerListBox->Columns(); }
  void SetColumns(Integer Value) { FInnerListBox->SetColumns(Value); }
  bool ExtendedSelect() const { return FInnerListBox->ExtendedSelect(); }
  void SetExtendedSelect(bool Value) { FInnerListBox->SetExtendedSelect(Value); }
  Integer ItemHeight() const { return FInnerListBox->ItemHeight(); }
  void SetItemHeight(Integer Value);
  TStrings* Items() const { return FInnerListBox->Items(); }
  void SetItems(TStrings* Value) { FInnerListBox->SetItems(Value); }
  TListBoxStyle ListStyle() const { return FInnerListBox->ListStyle(); }
  void SetListStyle(TListBoxStyle Value);
  bool MultiSelect() const { return FInnerListBox->MultiSelect(); }
  void SetMultiSelect(bool Value) { FInnerListBox->SetMultiSelect(Value); }
  Integer ScrollWidth() const { return FInnerListBox->ScrollWidth(); }
  void SetScrollWidth(Integer Value) { FInnerListBox->SetScrollWidth(Value); }
  bool Sorted() const { return FInnerListBox->Sorted(); }
  void SetSorted(bool Value) { FInnerListBox->SetSorted(Value); }
  Integer TabWidth() const { return FInnerListBox->TabWidth(); }
  void SetTabWidth(Integer Value) { FInnerListBox->SetTabWidth(Value); }
  Integer ItemIndex() const { return FInnerListBox->ItemIndex(); }
  void SetItemIndex(Integer Value) { FInnerListBox->SetItemIndex(Value); }
  Integer TopIndex() const { return FInnerListBox->TopIndex(); }
  void SetTopIndex(Integer Value) { FInnerListBox->SetTopIndex(Value); }
  Integer Count() const { return FInnerListBox->ItemCount(); }
  // Virtual styles: the number of items.
  void SetCount(Integer Value) { FInnerListBox->SetCount(Value); }

  // ---- Kept by the list box ----
  bool IntegralHeight() const { return FIntegralHeight; }
  void SetIntegralHeight(bool Value);
  // The height of one row for the integral height.
  Integer RowHeight() const;
  // The whole-row height for a requested one: the rows that fit plus the
  // margins the container keeps around the inner list (ContentMargins).
  Integer IntegralHeightFor(Integer ARequested);

  // ---- Items by position (container coordinates) ----
  Integer ItemAtPos(const TPoint& APoint, bool AExisting) const;
  TRect ItemRect(Integer AIndex) const;

  // ---- Data ----
  // Shows the binding's value: the item with that text becomes selected.
  void DataToControl();
  // Writes the selected text ("" for none) to the binding.
  void ControlToData();
  // Whether the binding lets the value change now.
  bool CanEditValue();

  // ---- Events ----
  TcxListBoxDrawItemEvent OnDrawItem;
  // Virtual styles: the inner list box's events.
  TLBGetDataEvent& OnData() { return FInnerListBox->OnData; }
  TLBFindDataEvent& OnDataFind() { return FInnerListBox->OnDataFind; }
  TLBGetDataObjectEvent& OnDataObject() { return FInnerListBox->OnDataObject; }
  TcxListBoxMeasureItemEvent OnMeasureItem() const { return FOnMeasureItem; }
  // Stores the event and hooks the inner list box's measuring to it (or
  // unhooks it when cleared).
  void SetOnMeasureItem(const TcxListBoxMeasureItemEvent& Value);

  // ---- Virtual operations ----
  // Calls OnDrawItem when assigned and answers whether it did.
  virtual bool DrawItemByEvent(TcxCanvas* ACanvas, Integer AIndex, const TRect& ARect, TOwnerDrawState AState);
  virtual TcxListBoxDataBindingClass DataBindingClass() const { return TcxListBoxDataBinding::StaticClass(); }
  virtual const TComponentMetaClass* InnerListBoxClass() const { return TcxInnerListBox::StaticClass(); }

  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
  void Dispatch(TMessage& Message) override;
  void HandleFontChange() override;
  // After a move of the inner list box its pending mouse moves are dropped.
  void PlaceInnerControl() override;

protected:
  // Frees and creates the data binding from DataBindingClass (a descendant
  // with another class calls it in its constructor body).
  void RecreateDataBinding();
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void DoExit() override;

private:
  void MeasureInnerItem(TWinControl* AControl, Integer AIndex, Integer& AHeight);
  void ValueToControlHandler() { DataToControl(); }
  void DataChangedHandler() {}
  void ControlToValueHandler() { ControlToData(); }
  void ApplyIntegralHeight();

  std::unique_ptr<TcxListBoxDataBinding> FDataBinding;
  TcxInnerListBox* FInnerListBox = nullptr;
  TcxListBoxMeasureItemEvent FOnMeasureItem;
  bool FIntegralHeight = false;
  bool FUpdatingData = false;
};
