#pragma once
// The memo editor (unit cxMemo): a text editor for multi-line text. Its
// inner window is the platform's multi-line edit; the edit model holds the
// text exactly as it was set, typed or pasted, so line breaks of any kind
// ("\r\n", "\n", "\r") come back unchanged and are never doubled.
//
// Maximum lengths count UTF-16 characters of the text (a Chinese character
// is one, a character outside the basic plane is two and is never split),
// not bytes of a legacy encoding.
#include "editors/cxEditTextUtils.h"
#include "editors/cxEditViewInfo.h"
#include "editors/cxTextEdit.h"

// Characters of a value a grid cell shows at most (its first line).
inline constexpr Integer cxMemoCellTextMaxLength = 250;

class TcxCustomMemoProperties : public TcxCustomTextEditProperties {
  KORVANE_CLASS(TcxCustomMemoProperties, TcxCustomTextEditProperties)
  explicit TcxCustomMemoProperties(TPersistent* AOwner);

  void Assign(TPersistent* Source) override;
  static TcxCustomEditClass GetEditorClass();
  bool WantsTabKey() const override { return FWantTabs; }
  // The first line of the value's text, at most cxMemoCellTextMaxLength
  // characters (a surrogate pair is not split).
  String GetDisplayTextOfValue(const Variant& AValue) const override;

  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value) { SetValue(FScrollBars, Value); }
  // Enter types a line break (Ctrl+Enter always does).
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool Value) { SetValue(FWantReturns, Value); }
  // Tab types a tab character instead of leaving the editor.
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value) { SetValue(FWantTabs, Value); }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value) { SetValue(FWordWrap, Value); }

  // How a memo without a window lays out its text: whole rows, expanded
  // tabs, kept left; broken at words (long words too) when WordWrap is on
  // and no horizontal scroll bar shows; aligned by the horizontal alignment.
  TcxTextLayoutFlags MemoTextFlags();
  TcxCustomEditViewDataClass GetViewDataClass() const override;
  TcxCustomEditViewInfoClass GetViewInfoClass() const override;

private:
  TScrollStyle FScrollBars = ssNone;
  bool FWantReturns = true;
  bool FWantTabs = false;
  bool FWordWrap = true;
};

class TcxMemoProperties : public TcxCustomMemoProperties {
  KORVANE_CLASS(TcxMemoProperties, TcxCustomMemoProperties)
  using TcxCustomMemoProperties::TcxCustomMemoProperties;
};

// The look of a memo without a window (a tree-list cell): every line of the
// value in the view info's font and text colour, up to MaxLineCount rows.
class TcxCustomMemoViewInfo : public TcxCustomEditViewInfo {
  KORVANE_CLASS(TcxCustomMemoViewInfo, TcxCustomEditViewInfo)
  TcxCustomMemoViewInfo() { PaintsOwnContent = true; }

  String Text;
  TcxTextLayoutFlags TextFlags = 0;
  TRect TextRect{};
  Integer MaxLineCount = 0;  // 0: no limit

  void Assign(TObject* Source) override;
  void OffsetBy(Integer DX, Integer DY) override;
  // Background and border, the client area, then the text.
  void Render(TcxCanvas* ACanvas) override;
};

class TcxCustomMemoViewData : public TcxCustomEditViewData {
  KORVANE_CLASS(TcxCustomMemoViewData, TcxCustomEditViewData)
  using TcxCustomEditViewData::TcxCustomEditViewData;

  Integer MaxLineCount = 0;

  // The text rectangle (the client area less a small margin) and flags.
  void ComputeViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                       TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  // The whole text of the value, every line of it.
  void EditValueToDrawValue(TcxCanvas* ACanvas, const Variant& AEditValue,
                            TcxCustomEditViewInfo* AViewInfo) override;
};

// The memo's edit model: the text editor's keys plus line breaks, tabs and
// Ctrl+A.
class TcxMemoModel : public TcxTextEditModel {
public:
  explicit TcxMemoModel(TcxCustomMemoProperties* AProperties) : TcxTextEditModel(AProperties) {}
  TcxCustomMemoProperties* MemoProperties() const { return static_cast<TcxCustomMemoProperties*>(Properties()); }
  // Ctrl+A (without Shift or Alt) selects the whole text when there is any.
  void KeyDown(Word& Key, TShiftState Shift) override;
  // Types text the keyboard makes (a line break, a tab) with the usual
  // checks; false when refused.
  bool TypeText(const String& AText) { return InsertChecked(AText); }
};

class TcxCustomMemo;

class TcxCustomInnerMemo : public TMemo, public IcxContainerInnerControl {
  KORVANE_CLASS(TcxCustomInnerMemo, TMemo)
  // Made while the memo's text editor part is being built.
  explicit TcxCustomInnerMemo(TcxCustomTextEdit* AEdit);
  TWinControl* GetControl() override { return this; }
  TcxContainer* GetControlContainer() override;

private:
  TcxCustomTextEdit* FEdit;
};

class TcxCustomMemo : public TcxCustomTextEdit {
public:
  KORVANE_CLASS(TcxCustomMemo, TcxCustomTextEdit)
  explicit TcxCustomMemo(TComponent* AOwner) : TcxCustomMemo(AOwner, false) {}
  TcxCustomMemo(TComponent* AOwner, bool AIsInplace);

  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TcxMemoProperties::StaticClass(); }
  TcxCustomMemoProperties* ActiveMemoProperties() {
    return static_cast<TcxCustomMemoProperties*>(ActiveProperties());
  }
  TcxCustomInnerMemo* InnerMemo() const { return static_cast<TcxCustomInnerMemo*>(InnerEdit()); }
  // The inner window's lines; setting them sets the text.
  TStrings* Lines() const { return InnerMemo()->Lines(); }
  void SetLines(TStrings* Value);
  void PropertiesChanged(TObject* Sender) override;
  void UpdateDisplayValue() override;
  void SetDisplayValue(const Variant& Value) override;
  // PageUp, PageDown, Home and End always stay in the memo; the arrows
  // unless AArrowsLeave.
  virtual bool KeepsNavigationKey(Word AKey, bool AArrowsLeave) const;

protected:
  std::unique_ptr<TcxTextEditModel> CreateModel(TcxCustomTextEditProperties* AProperties) override;
  bool PreviewInnerMessage(TMessage& Message) override;
  // The vertical bar shows the inner memo's lines and scrolls it; the
  // horizontal one is not offered (long lines wrap or scroll with the caret).
  void ComputeScrollBarParams() override;
  void ScrollContent(TScrollBarKind AKind, TScrollCode AScrollCode, Integer& AScrollPos) override;
  void Resize() override;
  bool KeepsTab() override { return ActiveMemoProperties()->WantTabs(); }
  String InnerTextOf(const String& AModelText) const override;
  Integer InnerPosOf(Integer AModelPos) override;
  Integer ModelPosOf(Integer AInnerPos) override;

private:
  // Keys that move the caret between lines go to the inner window, which
  // knows the lines; true when the editor's OnKeyDown ate the key.
  bool IsLineNavigationKey(Word AKey, TShiftState AShift) const;
  // Enter and Tab as the properties want them; true when handled.
  bool HandleLineKey(Word AKey, TShiftState AShift);
  void InnerMessageHandled(TMessage& Message);
};

class TcxMemo : public TcxCustomMemo {
  KORVANE_CLASS(TcxMemo, TcxCustomMemo)
  using TcxCustomMemo::TcxCustomMemo;
};

// Adds the memo to the editors' registry (once).
void cxMemoRegister();
