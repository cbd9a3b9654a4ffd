#pragma once
// The radio group: a button group whose value selects one of its items,
// shown as a framed group of radio buttons.
//
// Value and item: items are tried in order; an item without a Value
// matches a value whose text equals its Caption (case-sensitive), an item
// with a Value matches by SameVariantValues (a Boolean against another
// value compares as text). No match is index -1, whose value is
// DefaultValue and whose text is DefaultCaption. The value of an item is
// its Value, or its Caption when it has none.
//
// ItemIndex is kept within -1 .. item count - 1. The user selects with the
// mouse, the arrow keys (across columns too) and the caption accelerator;
// a read-only group keeps its selection, and disabled items cannot be
// chosen.
#include <memory>

#include "editors/cxEditStyles.h"
#include "editors/cxGroupBox.h"
#include "foundation/cxLookAndFeels.h"
#include "platform/gui/stdctrls.h"

inline constexpr TResourceString cxSRadioGroupDefaultCaption{65119, u""};
// Editor features of the radio group without and with items.
inline constexpr TcxEditEditorFeatures cxRadioGroupEditorFeatures = 399;
inline constexpr TcxEditEditorFeatures cxRadioGroupEditorFeaturesWithItems = 415;
// The private message that asks the group to focus the button whose index
// is its first parameter.
inline constexpr UINT CM_FOCUSRADIOBUTTON = 0x806A;

class TcxRadioGroup;
class TcxCustomRadioGroup;

// The look-and-feel kind that draws the radio glyphs of an item button
// style: flat, ultra-flat and Office 11 their own kinds, all others standard.
TcxLookAndFeelKind cxRadioGlyphKind(TcxEditButtonStyle AButtonStyle);
// The metrics of radio buttons in a group (in place or not).
TcxButtonGroupMetrics cxRadioGroupButtonMetrics(bool AIsInplace);
// Paints one item of a radio group in ACell: the glyph of the button
// style's look-and-feel at the cell's left, vertically centred, checked or
// not, then the caption (embossed when disabled) and, focused, a focus
// frame around the measured caption. The control and the windowless view
// info both paint their items with it.
void cxPaintRadioGroupItem(TcxCanvas* ACanvas, const TRect& ACell, const String& ACaption,
                           TcxEditButtonStyle AButtonStyle, TcxButtonState AState, bool AChecked, bool AFocused,
                           bool AWordWrap, const TcxButtonGroupMetrics& AMetrics, TFont* AFont, TColor ATextColor,
                           TColor ABkColor);

// A radio group without a window (a tree-list cell): the items' radio
// buttons in their cells, the value's item checked.
class TcxCustomRadioGroupViewInfo : public TcxButtonGroupViewInfo {
  KORVANE_CLASS(TcxCustomRadioGroupViewInfo, TcxButtonGroupViewInfo)
  TcxCustomRadioGroupViewInfo() = default;
  Integer ItemIndex = -1;
  void Assign(TObject* Source) override;
  void DrawButtonItem(TcxCanvas* ACanvas, Integer AIndex) override;
};

class TcxCustomRadioGroupViewData : public TcxButtonGroupViewData {
  KORVANE_CLASS(TcxCustomRadioGroupViewData, TcxButtonGroupViewData)
  using TcxButtonGroupViewData::TcxButtonGroupViewData;
  TcxButtonGroupMetrics GetButtonMetrics() const override;
  // A live group's selection and item states.
  void SetItemButtonState(TcxButtonGroupViewInfo* AViewInfo, Integer AIndex) override;
  // The index of the value's item.
  void EditValueToDrawValue(TcxCanvas* ACanvas, const Variant& AEditValue,
                            TcxCustomEditViewInfo* AViewInfo) override;
};

// ---------------------------------------------------------------------------
// Items

class TcxRadioGroupItem : public TcxButtonGroupItem {
  KORVANE_CLASS(TcxRadioGroupItem, TcxButtonGroupItem)
  explicit TcxRadioGroupItem(TCollection* ACollection) : TcxButtonGroupItem(ACollection) {}

  void Assign(TPersistent* Source) override;
  const Variant& Value() const { return FValue; }
  // A value equal with the same type changes nothing.
  void SetValue(const Variant& AValue);
  bool IsValueStored() const { return !VarIsNull(FValue); }

private:
  Variant FValue = Null();
};

class TcxRadioGroupItems : public TcxButtonGroupItems {
  KORVANE_CLASS(TcxRadioGroupItems, TcxButtonGroupItems)
  explicit TcxRadioGroupItems(TPersistent* AOwner) : TcxButtonGroupItems(AOwner, TcxRadioGroupItem::StaticClass()) {}

  TcxRadioGroupItem* Add() { return static_cast<TcxRadioGroupItem*>(TCollection::Add()); }
  TcxRadioGroupItem* Item(Integer Index) const { return static_cast<TcxRadioGroupItem*>(Items(Index)); }
};

// ---------------------------------------------------------------------------
// Property sets

class TcxCustomRadioGroupProperties : public TcxCustomButtonGroupProperties {
  KORVANE_CLASS(TcxCustomRadioGroupProperties, TcxCustomButtonGroupProperties)
  explicit TcxCustomRadioGroupProperties(TPersistent* AOwner);

  // The inherited settings, DefaultValue and WordWrap in one change bracket.
  void Assign(TPersistent* Source) override;
  static TcxCustomEditClass GetEditorClass();

  TcxRadioGroupItems* Items() { return static_cast<TcxRadioGroupItems*>(TcxCustomButtonGroupProperties::Items()); }
  const String& DefaultCaption() const { return FDefaultCaption; }
  void SetDefaultCaption(const String& Value) { SetValue(FDefaultCaption, Value); }
  bool IsDefaultCaptionStored() const { return FDefaultCaption != LoadResString(cxSRadioGroupDefaultCaption); }
  const Variant& DefaultValue() const { return FDefaultValue; }
  // A value equal with the same type is ignored.
  void SetDefaultValue(const Variant& Value);

  Integer GetIndexByValue(const Variant& AValue);
  Variant GetValueByIndex(Integer AIndex);

  // min(Columns, count), at least 1; no rebalancing.
  Integer GetEffectiveColumns() override;
  bool AreEditValuesEqual(const Variant& A, const Variant& B) const override;
  String GetDisplayTextOfValue(const Variant& AValue) const override;
  // The index of the value, as an integer.
  void NormalizeEditValue(const Variant& AValue, Variant& ANormalized, bool AIsEditing) const override;
  bool CanRevertEditValue() const override { return true; }
  bool DetectsValueChangeByCompare() const override { return true; }
  bool SuppressesChangeEvent() const override { return true; }
  TcxEditEditorFeatures GetEditorFeatures() const override;
  TcxCustomEditViewDataClass GetViewDataClass() const override;
  TcxCustomEditViewInfoClass GetViewInfoClass() const override;

protected:
  TcxButtonGroupItems* CreateItems() override { return new TcxRadioGroupItems(this); }

private:
  Integer IndexOf(const Variant& AValue) const;

  String FDefaultCaption;
  Variant FDefaultValue = Null();
};

class TcxRadioGroupProperties : public TcxCustomRadioGroupProperties {
  KORVANE_CLASS(TcxRadioGroupProperties, TcxCustomRadioGroupProperties)
  using TcxCustomRadioGroupProperties::TcxCustomRadioGroupProperties;
};

// ---------------------------------------------------------------------------
// TcxRadioButton: a stand-alone radio button drawn by its look-and-feel.

enum TcxRadioButtonDrawState : Integer { rbdsDisabled, rbdsHot, rbdsNormal, rbdsPressed };
// The gap between the glyph and the caption of a stand-alone radio button.
inline constexpr Integer cxRadioButtonCaptionGap = 4;

class TcxRadioButton : public TRadioButton {
  KORVANE_CLASS(TcxRadioButton, TRadioButton)
  explicit TcxRadioButton(TComponent* AOwner);
  ~TcxRadioButton() override;

  TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
  // taRightJustify (the default): the glyph at the left, the caption to its
  // right; otherwise the glyph at the right.
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);

  TcxRadioButtonDrawState DrawState() const { return FDrawState; }
  // The draw state for the cursor at P (client coordinates): pressed or hot
  // while the button holds the mouse; else hot over it with no key or mouse
  // button down.
  TcxRadioButtonDrawState DrawStateAt(const TPoint& P, TShiftState AShift, bool ACaptured) const;
  TRect GlyphRect() const;
  // Paints the whole button in ADrawState (client coordinates).
  void PaintRadioButton(TcxCanvas* ACanvas, TcxRadioButtonDrawState ADrawState);
  // Accepts nullptr, a standard popup menu or a component with IcxPopupMenu
  // (anything else becomes nullptr). The menu's shortcuts work while the
  // button has the focus; a request inside the button (or from the
  // keyboard, at its top-left) shows it.
  void SetPopupMenu(TComponent* Value);

protected:
  void Dispatch(TMessage& Message) override;
  void DoContextPopup(const TPoint& MousePos, bool& Handled) override;
  // The focus arriving by the keyboard checks the button and fires OnClick
  // once (a press checks it through its click).
  void DoEnter() override;
  // A group's button of an in-place group draws its glyph at the very left.
  virtual bool IsInplaceButton() const { return false; }
  // Set while a left press is being handled.
  bool IsMousePressing() const { return FMousePressing; }

private:
  void SetDrawState(TcxRadioButtonDrawState Value);
  void LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) { Invalidate(); }

  std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
  TAlignment FAlignment = taRightJustify;
  bool FWordWrap = false;
  TcxRadioButtonDrawState FDrawState = rbdsNormal;
  bool FMousePressing = false;
};

// A radio group's child button: it keeps its column and row in the group
// (copied at each placement). Only the checked button is a tab stop (and
// only while the group is one). Entering it selects its item (so an arrow
// key or Tab that reaches it selects); a click is honoured only for the
// selected item or when the group may change its value; a group that cannot
// change its value swallows Space and Backspace.
class TcxCustomRadioGroupButton : public TcxRadioButton {
  KORVANE_CLASS(TcxCustomRadioGroupButton, TcxRadioButton)
  explicit TcxCustomRadioGroupButton(TcxCustomRadioGroup* AGroup);

  TcxCustomRadioGroup* Group() const { return FGroup; }
  Integer Column() const { return FColumn; }
  Integer Row() const { return FRow; }
  void SetCell(Integer AColumn, Integer ARow) {
    FColumn = AColumn;
    FRow = ARow;
  }

  void WndProc(TMessage& Message) override;

protected:
  void Dispatch(TMessage& Message) override;
  void DoEnter() override;
  void Toggle() override;
  bool IsInplaceButton() const override;

private:
  Integer Index() const;

  TcxCustomRadioGroup* FGroup;
  Integer FColumn = 0;
  Integer FRow = 0;
};

// ---------------------------------------------------------------------------
// TcxCustomRadioGroup, TcxRadioGroup

class TcxCustomRadioGroup : public TcxCustomButtonGroup {
  KORVANE_CLASS(TcxCustomRadioGroup, TcxCustomButtonGroup)
  explicit TcxCustomRadioGroup(TComponent* AOwner) : TcxCustomRadioGroup(AOwner, false) {}
  TcxCustomRadioGroup(TComponent* AOwner, bool AIsInplace);

  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TcxRadioGroupProperties::StaticClass(); }
  TcxCustomRadioGroupProperties* ActiveProperties() {
    return static_cast<TcxCustomRadioGroupProperties*>(TcxCustomEdit::ActiveProperties());
  }
  TcxRadioGroupProperties* Properties() {
    return static_cast<TcxRadioGroupProperties*>(TcxCustomEdit::Properties());
  }

  Integer ItemIndex() const { return FItemIndex; }
  // Clamped to -1 .. count - 1; a new index sets its value as the edit value.
  void SetItemIndex(Integer Value);
  // The index of the button with the focus, or -1.
  Integer FocusedIndex() const;
  TcxCustomRadioGroupButton* RadioButtons(Integer AIndex) const {
    return static_cast<TcxCustomRadioGroupButton*>(Buttons(AIndex));
  }

  void ClearEditValue() override { SetItemIndex(-1); }
  // The accelerator focuses the selected item's button, or the first that
  // can take the focus (which selects it).
  bool SelectFirstChild() override;
  // In place: the button under the point gets the press (the left button
  // held) at its centre, or a whole click (activated on the release).
  void ActivateByMouse(TShiftState Shift, Integer X, Integer Y, TcxCustomEditData*& AEditData) override;
  TcxButtonGroupMetrics GetButtonMetrics() override { return cxRadioGroupButtonMetrics(IsInplace()); }
  // The state the item's button shows (disabled, hot, pressed or normal).
  TcxButtonState ItemState(Integer AIndex);

  // ---- What the child buttons ask ----
  // A button was entered: its item is selected unless the group may not
  // change its value (then the selection stays).
  void ButtonEntered(Integer AIndex, bool AFocused);
  // A click on button AIndex counts: it is the selected one, or the group
  // may change its value and editing is allowed.
  bool CanToggleButton(Integer AIndex);
  // Selects an item for the user: enabled items only, when the value may
  // be changed; posts at once with ImmediatePost.
  void SelectByUser(Integer AIndex);

  TWinControl* CreateButton() override;
  void UpdateButtonStyles() override;
  void PlaceButtons() override;

protected:
  void InternalSetEditValue(const Variant& Value, bool AValidateFirst) override;
  void PropertiesChanged(TObject* Sender) override;
  void PaintItem(TcxCanvas* ACanvas, Integer AIndex, const TRect& ACell) override;
  void SynchronizeButtonValue() override;
  // The focus arriving at the group goes on to the selected item's button
  // (or the first that can take it).
  void FocusInner() override;
  void Dispatch(TMessage& Message) override;
  void Loaded() override;

private:
  bool ItemEnabled(Integer AIndex);
  // The selected item's button is checked (and the only tab stop).
  void CheckSelectedButton();
  // The button focus moves to for the group: the selected one, else the
  // first enabled one; -1 when none can take the focus.
  Integer ButtonToFocus();

  Integer FItemIndex = -1;
  bool FIndexPending = false;
  Integer FPendingIndex = -1;
  bool FToggling = false;
};

class TcxRadioGroup : public TcxCustomRadioGroup {
  KORVANE_CLASS(TcxRadioGroup, TcxCustomRadioGroup)
  using TcxCustomRadioGroup::TcxCustomRadioGroup;
};

// Adds the radio group properties class to the editor properties registry
// (the program's start-up calls it); cxRadioGroupUnregister removes it.
void cxRadioGroupRegister();
void cxRadioGroupUnregister();
