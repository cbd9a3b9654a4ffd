#pragma once
// Standard controls: the single-line edit (TCustomEdit / TEdit), the
// multi-line edit (TCustomMemo / TMemo), push buttons, check boxes, radio
// buttons and labels.
//
// The edits keep text, caret, selection and undo in the toolkit's text
// editing engine and use the system clipboard; their keys and characters
// arrive as WM_KEYDOWN / WM_CHAR through the control's message chain like
// every other control's, so OnKeyDown / OnKeyPress (or a WindowProc put in
// front) can consume or change each key before it reaches the text: the
// editing happens in the control's default handling of those messages.
// Committed input-method text arrives as characters and is inserted the
// same way. Text positions count UTF-16 units; the memo separates lines
// with "\r\n" in Text and takes "\r\n", "\n" or "\r" as one line break
// wherever text comes in (typing, pasting, setting).
#include <memory>

#include "platform/gui/controls.h"
#include "platform/rtl/stringlist.h"

enum TEditCharCase : Integer { ecNormal, ecUpperCase, ecLowerCase };
// EM_SETMARGINS: which margins WParam sets (LParam: left in the low, right in the high word).
enum : WPARAM { EC_LEFTMARGIN = 0x1, EC_RIGHTMARGIN = 0x2 };

class TEditBuffer;

class TCustomEdit : public TWinControl {
  KORVANE_CLASS(TCustomEdit, TWinControl)
  explicit TCustomEdit(TComponent* AOwner);
  ~TCustomEdit() override;

  // ---- Selection (the caret stands at SelStart + SelLength) ----
  Integer SelStart() const;
  void SetSelStart(Integer Value);  // collapses the selection there
  Integer SelLength() const;
  void SetSelLength(Integer Value);
  String SelText() const;
  // Replaces the selection as if typed (MaxLength and CharCase apply; a
  // read-only edit takes it too: only the user cannot change it).
  void SetSelText(const String& Value);
  void SelectAll();
  void ClearSelection();  // deletes the selected text

  // ---- Clipboard and undo ----
  void CopyToClipboard();
  void CutToClipboard();    // copies only when ReadOnly
  void PasteFromClipboard();  // nothing when ReadOnly
  void Undo();
  bool CanUndo() const;
  void ClearUndo();
  void Clear() { SetText(String()); }

  // ---- Settings ----
  // 0: no limit. Typed and pasted text is cut to fit; text set by code is not.
  Integer MaxLength() const { return FMaxLength; }
  void SetMaxLength(Integer Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  TEditCharCase CharCase() const { return FCharCase; }
  // Converts the current text too.
  void SetCharCase(TEditCharCase Value);
  // Not 0: every character is shown as this one (single-line edits), and
  // copy and cut leave the clipboard alone so the text cannot be read there.
  Char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(Char Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  // Select the whole text when the control gets the focus by keyboard or code.
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value) { FAutoSelect = Value; }
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  // bsSingle: a sunken client edge; bsNone: none.
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  // Set by every change the user makes; code resets it.
  bool Modified() const { return FModified; }
  void SetModified(bool Value) { FModified = Value; }
  Integer LeftMargin() const { return FLeftMargin; }
  Integer RightMargin() const { return FRightMargin; }
  void SetMargins(Integer Left, Integer Right);

  // ---- Positions (client coordinates) ----
  // The top-left of the character at Index (Index = length: after the last).
  TPoint PosFromChar(Integer Index);
  // The character index nearest to a client point.
  Integer CharFromPos(const TPoint& Pos);

  TNotifyEvent OnChange;

protected:
  virtual void Change();
  virtual bool MultiLine() const { return false; }
  // Long lines are broken at the right edge.
  virtual bool WrapsLines() const { return false; }
  // The first line shown (multi-line) and the horizontal scroll in pixels.
  Integer FTopLine = 0;
  Integer FScrollX = 0;

  String GetText() const override;
  void SetTextBuf(const String& Value) override;
  void CreateParams(TCreateParams& Params) override;
  void DefaultHandler(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void DoEnter() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;

  // Editing keys and characters (the default handling of WM_KEYDOWN / WM_CHAR).
  virtual void EditKey(Word Key, TShiftState Shift);
  virtual void EditChar(Char Key);
  // Inserts text as the user would: cut to MaxLength, converted by CharCase,
  // refused by a read-only edit unless ByCode; answers whether anything changed.
  bool InsertUserText(String Text, bool ByCode = false);
  // Text as typed or pasted into this kind of edit (line breaks).
  virtual String PrepareInput(const String& Text) const;
  TEditBuffer& Buffer() const { return *FBuffer; }
  Integer LineHeight() const;
  // The client area less the margins and the scroll bars; a single-line
  // edit's line centred.
  TRect TextRect() const;
  // The room the scroll bars take at the right (cx) and the bottom (cy).
  virtual TSize ScrollBarSpace() const { return TSize{0, 0}; }
  void ScrollCaretIntoView();
  void UserChanged();
  void PaintEdit(HDC DC);

private:
  std::unique_ptr<TEditBuffer> FBuffer;
  Integer FMaxLength = 0;
  bool FReadOnly = false;
  TEditCharCase FCharCase = ecNormal;
  Char FPasswordChar = 0;
  TAlignment FAlignment = taLeftJustify;
  bool FAutoSelect = true;
  bool FHideSelection = true;
  TBorderStyle FBorderStyle = bsSingle;
  bool FModified = false;
  Integer FLeftMargin = 1;
  Integer FRightMargin = 1;
  bool FSelecting = false;
  Char FPendingHigh = 0;  // the first half of a character typed in two messages
};

class TEdit : public TCustomEdit {
  KORVANE_CLASS(TEdit, TCustomEdit)
  using TCustomEdit::TCustomEdit;
};

class TCustomMemo : public TCustomEdit {
  KORVANE_CLASS(TCustomMemo, TCustomEdit)
  explicit TCustomMemo(TComponent* AOwner);
  ~TCustomMemo() override;

  // The lines of the text; changing them changes the text (and the reverse).
  TStrings* Lines() const { return FLines.get(); }
  void SetLines(TStrings* Value);
  // Long lines break at the right edge (at spaces where possible).
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  // The memo's own scroll bars (right and bottom), always in step with the
  // first line shown and the horizontal scroll, whatever moved them (caret,
  // wheel, text, the bars themselves). A bar's arrows scroll by a line, its
  // track by a page, its thumb drags; a bar whose text fits is shown
  // disabled. The horizontal bar has nothing to do while lines wrap.
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  // The rectangle of the vertical or horizontal bar in client coordinates
  // (empty: not shown).
  TRect ScrollBarRect(bool Vertical) const;
  // The horizontal scroll in pixels.
  Integer ScrollX() const { return FScrollX; }
  // Enter types a line break (else it goes to the form, e.g. the default button).
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool Value) { FWantReturns = Value; }
  // Tab types a tab (else it moves the focus).
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value) { FWantTabs = Value; }

  // Shown lines (after wrapping), the first one shown, the line of a
  // character and the character that starts a line.
  Integer LineCount();
  Integer TopLine() const { return FTopLine; }
  // Scrolls by Lines shown lines (negative: up), kept inside the text.
  void ScrollLines(Integer Lines);
  Integer LineFromChar(Integer Index);
  Integer LineIndex(Integer Line);
  // The caret as (column, line) in text lines.
  TPoint CaretPos();
  Integer VisibleLineCount();

protected:
  bool MultiLine() const override { return true; }
  bool WrapsLines() const override { return FWordWrap; }
  String PrepareInput(const String& Text) const override;
  void Dispatch(TMessage& Message) override;
  void EditKey(Word Key, TShiftState Shift) override;
  void EditChar(Char Key) override;
  void Resize() override;
  TSize ScrollBarSpace() const override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

private:
  class TMemoStrings;
  // WM_VSCROLL / WM_HSCROLL: a scroll code of a bar.
  void ScrollBy(bool Vertical, Integer Code, Integer Pos);
  void PaintScrollBars(HDC DC);
  Integer TextWidthMax();
  // The thumb being dragged (of the vertical bar or not) and where it was
  // taken (pixels from its start).
  bool FDragging = false;
  bool FDragVertical = true;
  Integer FDragGrip = 0;
  std::unique_ptr<TStrings> FLines;
  bool FWordWrap = true;
  TScrollStyle FScrollBars = ssNone;
  bool FWantReturns = true;
  bool FWantTabs = false;
};

class TMemo : public TCustomMemo {
  KORVANE_CLASS(TMemo, TCustomMemo)
  using TCustomMemo::TCustomMemo;
};

// ---- Buttons -----------------------------------------------------------------------------

class TButton : public TWinControl {
  KORVANE_CLASS(TButton, TWinControl)
  explicit TButton(TComponent* AOwner);
  // Enter anywhere on the form (unless the focused control wants it) clicks
  // the default button; Esc clicks the cancel button.
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  // Not mrNone: a click sets the form's ModalResult (closing a modal form).
  Integer ModalResult() const { return FModalResult; }
  void SetModalResult(Integer Value) { FModalResult = Value; }
  void Click() override;

protected:
  void Dispatch(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

private:
  void Paint(HDC DC);
  // Ends a press without a click: its focus was refused or went elsewhere,
  // so the release must not act on a form the user was kept from leaving.
  void CancelPress();
  bool FDefault = false;
  bool FCancel = false;
  Integer FModalResult = 0;
  bool FDown = false;
};

enum TCheckBoxState : Integer { cbUnchecked, cbChecked, cbGrayed };

// A check box or radio button: a glyph and a caption; a click (or Space)
// changes the state and fires OnClick.
class TButtonControl : public TWinControl {
  KORVANE_CLASS(TButtonControl, TWinControl)
  explicit TButtonControl(TComponent* AOwner);
  bool Checked() const { return FState == cbChecked; }
  virtual void SetChecked(bool Value);

protected:
  void Dispatch(TMessage& Message) override;
  virtual TGlyphKind GlyphKind() const = 0;
  // A state change from the user (click or Space).
  virtual void Toggle() = 0;
  void SetStateQuiet(TCheckBoxState Value);
  TCheckBoxState FState = cbUnchecked;

private:
  void Paint(HDC DC);
};

class TCheckBox : public TButtonControl {
  KORVANE_CLASS(TCheckBox, TButtonControl)
  using TButtonControl::TButtonControl;
  TCheckBoxState State() const { return FState; }
  void SetState(TCheckBoxState Value);
  // A click steps through the grayed state too.
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
  void SetChecked(bool Value) override { SetState(Value ? cbChecked : cbUnchecked); }

protected:
  TGlyphKind GlyphKind() const override { return gkCheckBox; }
  void Toggle() override;

private:
  bool FAllowGrayed = false;
};

// Checking a radio button unchecks the other radio buttons of its parent.
class TRadioButton : public TButtonControl {
  KORVANE_CLASS(TRadioButton, TButtonControl)
  using TButtonControl::TButtonControl;
  void SetChecked(bool Value) override;

protected:
  TGlyphKind GlyphKind() const override { return gkRadioButton; }
  void Toggle() override { SetChecked(true); }
};

// ---- Labels ------------------------------------------------------------------------------

enum TTextLayout : Integer { tlTop, tlCenter, tlBottom };

class TLabel : public TGraphicControl {
  KORVANE_CLASS(TLabel, TGraphicControl)
  explicit TLabel(TComponent* AOwner);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout Value);
  // The label takes the size of its caption whenever it changes.
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  // No background: what lies below shows through.
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  // "&x" underlines x (and Alt+x focuses FocusControl).
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool Value);
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value);
  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void Paint() override;
  void Dispatch(TMessage& Message) override;
  void AdjustBounds();

private:
  Cardinal DrawFlags() const;
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FAutoSize = true;
  bool FWordWrap = false;
  bool FTransparent = false;
  bool FShowAccelChar = true;
  TWinControl* FFocusControl = nullptr;
};
