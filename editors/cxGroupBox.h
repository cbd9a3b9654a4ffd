#pragma once
// The group box: a framed panel with a caption on any of its four sides (or
// centred), and the button group built on it: a collection of items shown
// as buttons in columns. The button group is abstract; the radio group
// supplies the button look, the metrics and the value logic.
//
// Items fill the first column top to bottom, then the next. A button group
// with no items has one column and no rows: it lays out nothing and never
// divides by its row count.
#include <memory>
#include <vector>

#include "editors/cxEdit.h"
#include "editors/cxEditProperties.h"
#include "editors/cxEditViewInfo.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/cxGraphics.h"
#include "platform/gui/bitmap.h"
#include "platform/rtl/collection.h"

enum TcxCaptionAlignment : Integer {
  alTopLeft, alTopCenter, alTopRight,
  alBottomLeft, alBottomCenter, alBottomRight,
  alLeftTop, alLeftCenter, alLeftBottom,
  alRightTop, alRightCenter, alRightBottom,
  alCenterCenter
};

// Whether ACaption marks AChar as its accelerator ("&x", case ignored;
// "&&" is a literal "&"). The group boxes and the check box answer the
// dialog character of their caption's accelerator.
bool IsCaptionAccelerator(Char AChar, const String& ACaption);

enum TcxCaptionSide : Integer { cxcsTop, cxcsBottom, cxcsLeft, cxcsRight, cxcsCenter };
TcxCaptionSide CaptionSideOf(TcxCaptionAlignment AAlignment);

// Where a horizontal caption starts from the frame's corner.
inline constexpr Integer cxGroupBoxCaptionIndent = 8;
// The width of the shadow a group box may cast.
inline constexpr Integer cxGroupBoxShadowWidth = 3;
// The sample measured for the caption band.
inline constexpr const char16_t* cxGroupBoxCaptionSample = u"Qq";

// A bitmap font cannot turn: a vertical caption in one is drawn in this.
inline constexpr const char16_t* cxGroupBoxVerticalCaptionFontName = u"Arial";

// Turns AFont (a copy of the style's font) into the caption font of a
// vertical caption: the substitute for a bitmap font, turned by 90 degrees
// for left and 270 for right captions. Horizontal captions keep it.
void cxGroupBoxPrepareCaptionFont(TFont* AFont, TcxCaptionAlignment AAlignment);

// ---------------------------------------------------------------------------
// Layout rules

// The caption rectangle for a control of AControl size and a caption that
// measures AText (for vertical captions AText is the unrotated extent).
TRect cxGroupBoxCaptionRect(TcxCaptionAlignment AAlignment, const TSize& AControl, const TSize& AText,
                            bool AShadow);
// The frame: the bounds with the caption-side edge moved in to the middle
// of the caption band (ASampleHeight the height of the caption sample).
TRect cxGroupBoxFrameRect(TcxCaptionAlignment AAlignment, const TSize& AControl, Integer ASampleHeight,
                          Integer ABorderWidth);
// The client margins (left, top, right, bottom): the border width, and the
// caption band on the caption side; nothing in place.
TRect cxGroupBoxClientMargins(TcxCaptionAlignment AAlignment, Integer ASampleHeight, Integer ABorderWidth,
                              bool AIsInplace);

// What a button group needs to know of its buttons (see the radio group).
struct TcxButtonGroupMetrics {
  Integer TextWidthReserve = 0;
  Integer WidthAdjustment = 0;
  Integer GlyphTextGap = 0;
  Integer AutoWidthExtra = 0;
  Integer LeftOffset = 0;
  Integer PlacementWidthAdjustment = 0;
  Integer ColumnSpacing = 0;
  Integer GlyphWidth = 0;
  Integer GlyphHeight = 0;
};

// The button style of the group's items: in place by the look-and-feel kind,
// stand-alone by the border style.
TcxEditButtonStyle cxButtonGroupItemStyle(bool AIsInplace, TcxLookAndFeelKind AKind,
                                          TcxContainerBorderStyle ABorderStyle);

// ceiling(ACount / AColumns); 0 without items or columns.
Integer cxButtonGroupRowCount(Integer ACount, Integer AColumns);
// The cell of every item, for bounds B and client margins M (left, top,
// right, bottom). The rows share the height; the left-over pixels go above
// the first row. No items: no cells.
std::vector<TRect> cxButtonGroupItemRects(const TRect& B, const TRect& M, Integer ACount, Integer AColumns,
                                          const TcxButtonGroupMetrics& AMetrics);
// The item the arrow key AKey moves to from AIndex (AIndex itself when the
// key leads nowhere).
Integer cxButtonGroupNavigate(Integer AIndex, Word AKey, Integer ACount, Integer ARows);

// The state styles (focused, hot) of group boxes: a flat border stays flat
// (no stronger frame while hot tracking).
class TcxGroupBoxStyleEx : public TcxEditStyleEx {
  KORVANE_CLASS(TcxGroupBoxStyleEx, TcxEditStyleEx)
  using TcxEditStyleEx::TcxEditStyleEx;

protected:
  TcxContainerBorderStyle DefaultBorderStyle() const override;
};

// ---------------------------------------------------------------------------
// View data and view info. Without a window (a tree-list cell) the group
// box paints its background and the button group every item's button in
// its cell; a subclass draws the button itself.

// The look of one item's button.
struct TcxGroupBoxButtonViewInfo {
  TRect Bounds{};
  String Caption;
  Integer Column = 0;
  Integer Row = 0;
  TcxEditButtonStyle ButtonStyle = bts3D;
  TcxButtonState State = cxbsNormal;
  bool Enabled = true;
  friend bool operator==(const TcxGroupBoxButtonViewInfo&, const TcxGroupBoxButtonViewInfo&) = default;
};

class TcxGroupBoxViewInfo : public TcxCustomEditViewInfo {
  KORVANE_CLASS(TcxGroupBoxViewInfo, TcxCustomEditViewInfo)
  TcxGroupBoxViewInfo() { PaintsOwnContent = true; }

  String Caption;
  TRect CaptionRect{};
  TcxCaptionAlignment Alignment = alTopLeft;

  void Assign(TObject* Source) override;
  void OffsetBy(Integer DX, Integer DY) override;
  // Background and border, the client area filled.
  void Render(TcxCanvas* ACanvas) override;
};

class TcxGroupBoxViewData : public TcxCustomEditViewData {
  KORVANE_CLASS(TcxGroupBoxViewData, TcxCustomEditViewData)
  using TcxCustomEditViewData::TcxCustomEditViewData;
};

class TcxButtonGroupViewInfo : public TcxGroupBoxViewInfo {
  KORVANE_CLASS(TcxButtonGroupViewInfo, TcxGroupBoxViewInfo)
  TcxButtonGroupViewInfo() = default;

  std::vector<TcxGroupBoxButtonViewInfo> ButtonsInfo;
  bool WordWrap = false;
  TcxButtonGroupMetrics Metrics;

  void Assign(TObject* Source) override;
  void OffsetBy(Integer DX, Integer DY) override;
  // The group box, then every item's button.
  void Render(TcxCanvas* ACanvas) override;
  // Draws item AIndex's button in its cell (the base: nothing).
  virtual void DrawButtonItem(TcxCanvas*, Integer) {}
};

class TcxButtonGroupViewData : public TcxGroupBoxViewData {
  KORVANE_CLASS(TcxButtonGroupViewData, TcxGroupBoxViewData)
  using TcxGroupBoxViewData::TcxGroupBoxViewData;

  // The cells of the items, their captions, styles and states.
  void ComputeViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                       TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  // Every item's caption, column and row, and its button style: in place by
  // the look-and-feel kind, stand-alone by the border style.
  virtual void AssignItemCells(TcxButtonGroupViewInfo* AViewInfo);
  // The cells within the bounds less the client margins.
  virtual void PlaceItemButtons(TcxButtonGroupViewInfo* AViewInfo);
  // The subclass's metrics (the base: none).
  virtual TcxButtonGroupMetrics GetButtonMetrics() const { return {}; }
  // The subclass's say on a button's state (the base: nothing).
  virtual void SetItemButtonState(TcxButtonGroupViewInfo*, Integer) {}
  // The size the items need: for AWidth <= 0 the automatic width (widest
  // caption, glyph and gap per column), else the height of the rows in
  // that width (word-wrapped captions with WordWrap and AAutoHeight).
  TSize CalcButtonGroupSize(TcxCanvas* ACanvas, Integer AWidth, bool AAutoHeight = false);
  // One line of the item font: the group always has content to size to.
  TSize CalcTextExtent(TcxCanvas* ACanvas, const Variant& AEditValue) override;
  // The items' size (CalcButtonGroupSize, automatic width without a width
  // limit) and, for a live group, its caption band.
  TSize CalcContentExtent(TcxCanvas* ACanvas, const Variant& AEditValue,
                          const TcxEditSizeProperties& ALimits) override;
};

// ---------------------------------------------------------------------------
// Items

class TcxButtonGroupItem : public TCollectionItem {
  KORVANE_CLASS(TcxButtonGroupItem, TCollectionItem)
  explicit TcxButtonGroupItem(TCollection* ACollection) : TCollectionItem(ACollection) {}

  void Assign(TPersistent* Source) override;
  const String& Caption() const { return FCaption; }
  void SetCaption(const String& Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  Integer Tag() const { return FTag; }
  void SetTag(Integer Value) { FTag = Value; }

protected:
  void ItemChanged() { Changed(false); }

private:
  String FCaption;
  bool FEnabled = true;
  Integer FTag = 0;
};

// What one item did to the collection (the notice of a single change).
enum TcxButtonGroupItemChange : Integer { bgicAdded, bgicDeleted, bgicChanged };

class TcxButtonGroupItems : public TOwnedCollection {
  KORVANE_CLASS(TcxButtonGroupItems, TOwnedCollection)
  TcxButtonGroupItems(TPersistent* AOwner, TCollectionItemClass AItemClass) : TOwnedCollection(AOwner, AItemClass) {}

  TcxButtonGroupItem* Add() { return static_cast<TcxButtonGroupItem*>(TCollection::Add()); }
  TcxButtonGroupItem* Item(Integer Index) const { return static_cast<TcxButtonGroupItem*>(Items(Index)); }

  // While the owner hears of a change that concerned one item only: that
  // item's index (before it left, for a deletion) and what happened to it.
  bool IsSingleChange() const { return FSingleChange; }
  Integer ChangedItemIndex() const { return FChangedIndex; }
  TcxButtonGroupItemChange ChangedItemKind() const { return FChangedKind; }

protected:
  // Tells the owning property set.
  void Update(TCollectionItem* Item) override;
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override;

private:
  bool FSingleChange = false;
  bool FNoticePending = false;
  Integer FChangedIndex = -1;
  TcxButtonGroupItemChange FChangedKind = bgicChanged;
};

// ---------------------------------------------------------------------------
// Property sets

class TcxCustomGroupBoxProperties : public TcxCustomEditProperties {
  KORVANE_CLASS(TcxCustomGroupBoxProperties, TcxCustomEditProperties)
  using TcxCustomEditProperties::TcxCustomEditProperties;
  TcxCustomEditViewDataClass GetViewDataClass() const override;
  TcxCustomEditViewInfoClass GetViewInfoClass() const override;
  // The focused and hot styles keep a flat border flat.
  TcxCustomEditStyleClass GetStyleExClass() const override;
};

class TcxCustomButtonGroupProperties : public TcxCustomGroupBoxProperties {
  KORVANE_CLASS(TcxCustomButtonGroupProperties, TcxCustomGroupBoxProperties)
  explicit TcxCustomButtonGroupProperties(TPersistent* AOwner);
  ~TcxCustomButtonGroupProperties() override;

  // Columns, Items and WordWrap in one change bracket.
  void Assign(TPersistent* Source) override;

  Integer Columns() const { return FColumns; }
  // Values below 1 store 1.
  void SetColumns(Integer Value);
  TcxButtonGroupItems* Items();
  void SetItems(TcxButtonGroupItems* Value) { Items()->Assign(Value); }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value) { SetValue(FWordWrap, Value); }

  // The columns actually used: min(Columns, count), rebalanced so that no
  // column stays empty (5 items in 4 columns: 3 columns). No items: 1.
  virtual Integer GetEffectiveColumns();
  TcxCustomEditViewDataClass GetViewDataClass() const override;
  TcxCustomEditViewInfoClass GetViewInfoClass() const override;
  Integer RowCount() { return cxButtonGroupRowCount(Items()->Count(), GetEffectiveColumns()); }

protected:
  virtual TcxButtonGroupItems* CreateItems();

private:
  Integer FColumns = 1;
  std::unique_ptr<TcxButtonGroupItems> FItems;
  bool FWordWrap = false;
};

// ---------------------------------------------------------------------------
// TcxCustomGroupBox, TcxCustomButtonGroup

class TcxCustomGroupBox : public TcxCustomEdit {
  KORVANE_CLASS(TcxCustomGroupBox, TcxCustomEdit)
  explicit TcxCustomGroupBox(TComponent* AOwner) : TcxCustomGroupBox(AOwner, false) {}
  TcxCustomGroupBox(TComponent* AOwner, bool AIsInplace);

  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TcxCustomGroupBoxProperties::StaticClass(); }

  TcxCaptionAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TcxCaptionAlignment Value);

  // The height of the caption sample in the current font.
  Integer CaptionSampleHeight();
  Integer BorderWidth();
  TRect CaptionRect();
  TRect ClientMargins();
  // Paints the frame and the caption (client coordinates).
  virtual void PaintGroupBox(TcxCanvas* ACanvas);
  // The caption's accelerator: selects the first child control (the group
  // must be able to take the focus).
  void CMDialogChar(TMessage& Message) override;
  // Focuses the first child control (in tab order) that can take the focus;
  // false when there is none.
  virtual bool SelectFirstChild();
  // Set while the accelerator selects the first child.
  bool IsSelectingFirstChild() const { return FSelectingFirstChild; }

protected:
  void Paint() override { PaintGroupBox(cxCanvas()); }
  // A new caption moves the client area's edge: the children realign.
  void Dispatch(TMessage& Message) override;
  TcxContainerStyleClass StateStyleClass() const override { return TcxGroupBoxStyleEx::StaticClass(); }

private:
  void PaintFrame(TcxCanvas* ACanvas);
  void PaintCaption(TcxCanvas* ACanvas, const TRect& ACaption);

  TcxCaptionAlignment FAlignment = alTopLeft;
  bool FSelectingFirstChild = false;
  // The caption area is drawn here first, then copied.
  std::unique_ptr<TBitmap> FCaptionBitmap;
};

// The button group: one child button control per item, in item order,
// placed in the items' cells. The group owns its buttons (they are freed
// before the group's window goes); their key, mouse, wheel and drag events
// reach the group in its own coordinates. The group counts as focused while
// one of its buttons has the focus.
class TcxCustomButtonGroup : public TcxCustomGroupBox {
  KORVANE_CLASS(TcxCustomButtonGroup, TcxCustomGroupBox)
  explicit TcxCustomButtonGroup(TComponent* AOwner) : TcxCustomButtonGroup(AOwner, false) {}
  TcxCustomButtonGroup(TComponent* AOwner, bool AIsInplace);
  ~TcxCustomButtonGroup() override;

  static TcxCustomEditPropertiesClass GetPropertiesClass() {
    return TcxCustomButtonGroupProperties::StaticClass();
  }
  TcxCustomButtonGroupProperties* ButtonGroupProperties() {
    return static_cast<TcxCustomButtonGroupProperties*>(ActiveProperties());
  }

  virtual TcxButtonGroupMetrics GetButtonMetrics() = 0;
  // The cell of every item in client coordinates.
  std::vector<TRect> ItemRects();
  // The item under P, or -1.
  Integer ItemAt(const TPoint& P);
  // Paints the frame and caption; the child buttons paint themselves. A
  // data-aware group painting a copy of itself draws every item too.
  void PaintGroupBox(TcxCanvas* ACanvas) override;
  // Paints the frame, the caption and every item's button (a picture of
  // the whole group without its windows).
  void PaintGroupBoxWithItems(TcxCanvas* ACanvas);

  Integer ButtonCount() const { return static_cast<Integer>(FButtons.size()); }
  TWinControl* Buttons(Integer AIndex) const { return FButtons.at(static_cast<size_t>(AIndex)).get(); }
  // The index of AControl among the buttons, or -1.
  Integer IndexOfButton(const TControl* AControl) const;
  // The group or one of its buttons has the focus.
  bool Focused() const override;
  // The automatic size of the group (AutoSize on, not in place): the items'
  // automatic width and rows' height plus the frame and the caption band.
  TSize CalcAutoSize();
  bool HasAutoWidth() override { return AutoSize() && !IsInplace(); }

  // ---- Child buttons ----
  // Sets each button's bounds to its item's cell.
  virtual void PlaceButtons();
  // A new button control (the subclass's kind); the group takes it over.
  virtual TWinControl* CreateButton() = 0;
  // Puts AButton into the group and routes its input events to the group.
  virtual void AttachButton(TWinControl* AButton);
  // Creates or frees buttons until there are AValue; a single added or
  // deleted item creates or frees the button at its own index.
  virtual void SetButtonCount(Integer AValue);
  // Each button's colour is the current style's, its font the edit style's
  // with the current style's text colour.
  virtual void UpdateButtonStyles();
  // One button per item, enabled when the group and its item are; the
  // group's cursor; then placed and styled.
  virtual void SynchronizeButtons();
  // Whether ADC is the canvas of one of the buttons (a themed frame is
  // drawn into it then).
  virtual bool DrawsThemedFrame(HDC) { return false; }

  // The buttons follow the group's drag mode.
  void SetDragMode(TDragMode Value) override;
  // The client area changed (caption, alignment, size): the buttons move.
  void AlignControls(TControl* AControl, TRect& Rect) override;

  bool IsSynchronizingButtons() const { return FSynchronizingButtons > 0; }
  bool IsButtonMouseDown() const { return FButtonMouseDown; }

protected:
  // Paints the item's button into its cell.
  virtual void PaintItem(TcxCanvas* ACanvas, Integer AIndex, const TRect& ACell) = 0;
  // The value of the group reaches its buttons (the subclass checks the
  // selected one).
  virtual void SynchronizeButtonValue() {}
  void PropertiesChanged(TObject* Sender) override;
  void Resize() override;
  void CreateWnd() override;
  void Loaded() override;
  void ApplyStyle(TObject* Sender) override;
  void CMEnabledChanged(TMessage& Message) override;
  void HandleCursorChange() override;
  bool FocusWhenClicked() override;
  // An arrow key pressed in button AIndex moves the focus to the button it
  // leads to (by columns and rows).
  void NavigateButtons(Integer AIndex, Word AKey);
  std::vector<std::unique_ptr<TWinControl>> FButtons;

private:
  void FreeButton(Integer AIndex);
  TPoint ToGroup(TObject* Sender, Integer X, Integer Y) const;
  void ButtonKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void ButtonKeyPress(TObject* Sender, Char& Key);
  void ButtonKeyUp(TObject* Sender, Word& Key, TShiftState Shift);
  void ButtonMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  void ButtonMouseMove(TObject* Sender, TShiftState Shift, Integer X, Integer Y);
  void ButtonMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  void ButtonMouseWheel(TObject* Sender, TShiftState Shift, Integer WheelDelta, TPoint MousePos, bool& Handled);
  void ButtonDragOver(TObject* Sender, TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept);
  void ButtonDragDrop(TObject* Sender, TObject* Source, Integer X, Integer Y);

  Integer FSynchronizingButtons = 0;
  bool FButtonMouseDown = false;
};
