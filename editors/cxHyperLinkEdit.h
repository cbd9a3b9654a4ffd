#pragma once
// The hyperlink editor (unit cxHyperLinkEdit): a text editor that shows its
// text as an underlined link and opens it with the desktop's default
// program for the address.
//
// Opening is guarded: only an address with a known scheme (http, https,
// ftp, mailto, file) is ever opened, and it goes to the desktop's own
// handler through the shell service (platform/shell/shell.h), never to a
// command line. Anything else -- a bare word, "javascript:", a text with
// control characters or blanks, an http address whose host is not a host
// name -- opens nothing. The editor's text is never changed by a refusal.
//
// The prefix (Prefix, "http://" by default) is put before a text that does
// not begin with it, unless the text already begins with a known scheme
// (any case): "mailto:a@b.cn" stays a mail address instead of turning into
// "http://mailto:a@b.cn". An empty prefix adds nothing. With AutoComplete
// the prefix is added when the text is validated.
//
// The link starts on StartKey (Ctrl+Enter; the key is taken), on a double
// click, or with SingleClick on a click that leaves no text selected (the
// editor then shows the hand cursor). OnStartClick, when assigned on the
// editor's own properties or the repository item's, replaces the opening.
#include "editors/cxEditRepository.h"
#include "editors/cxEditTextUtils.h"
#include "editors/cxEditViewInfo.h"
#include "editors/cxTextEdit.h"
#include "platform/gui/menus.h"

inline constexpr TResourceString cxSHyperLinkPrefix{65120, u"http://"};
// The default StartKey: Ctrl+Enter.
inline constexpr TShortCut cxHyperLinkDefaultStartKey = 16397;
// The default LinkColor: blue.
inline constexpr TColor cxHyperLinkDefaultLinkColor = clBlue;

// Whether AURL may be opened: a known scheme (case ignored), no control
// characters or blanks, and for http, https and ftp a host name after "//"
// (letters, digits, "-", ".", "_", "%", non-ASCII letters or a bracketed
// address, optionally with user information and a numeric port).
bool cxHyperLinkIsOpenableURL(const String& AURL);
// Whether AText begins with a known scheme followed by ":" (case ignored).
bool cxHyperLinkHasKnownScheme(const String& AText);

class TcxCustomHyperLinkEditProperties : public TcxCustomTextEditProperties {
  KORVANE_CLASS(TcxCustomHyperLinkEditProperties, TcxCustomTextEditProperties)
  // AutoSelect off.
  explicit TcxCustomHyperLinkEditProperties(TPersistent* AOwner);
  // Copies AutoComplete, LinkColor, Prefix, SingleClick, StartKey and
  // OnStartClick after the text editor settings.
  void Assign(TPersistent* Source) override;
  static TcxCustomEditClass GetEditorClass();

  bool AutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool Value) { SetValue(FAutoComplete, Value); }
  TColor LinkColor() const { return FLinkColor; }
  void SetLinkColor(TColor Value) { SetValue(FLinkColor, Value); }
  const String& Prefix() const { return FPrefix; }
  void SetPrefix(const String& Value) { SetValue(FPrefix, Value); }
  // Stored only when it differs from the default text.
  bool IsPrefixStored() const { return FPrefix != LoadResString(cxSHyperLinkPrefix); }
  bool SingleClick() const { return FSingleClick; }
  void SetSingleClick(bool Value) { SetValue(FSingleClick, Value); }
  TShortCut StartKey() const { return FStartKey; }
  void SetStartKey(TShortCut Value) { SetValue(FStartKey, Value); }
  // When assigned, replaces opening the link. Sender: the editor.
  TNotifyEvent OnStartClick;

  // The trimmed AText with Prefix before it, unless it is empty, already
  // begins with Prefix (case taken into account) or with a known scheme:
  // then AText itself, untrimmed.
  String AddPrefixTo(const String& AText) const;
  TcxCustomEditViewDataClass GetViewDataClass() const override;
  TcxCustomEditViewInfoClass GetViewInfoClass() const override;
  TcxCustomEditStyleClass GetStyleClass() const override;
  // With AutoComplete the text first gets the prefix.
  void CheckDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError, IcxCustomEdit* AEdit) override;

private:
  bool FAutoComplete = true;
  TColor FLinkColor = cxHyperLinkDefaultLinkColor;
  String FPrefix;
  bool FSingleClick = false;
  TShortCut FStartKey = cxHyperLinkDefaultStartKey;
};

class TcxHyperLinkEditProperties : public TcxCustomHyperLinkEditProperties {
  KORVANE_CLASS(TcxHyperLinkEditProperties, TcxCustomHyperLinkEditProperties)
  using TcxCustomHyperLinkEditProperties::TcxCustomHyperLinkEditProperties;
};

// The style of hyperlink editors: the text colour is the style's own when
// assigned, else the editor's LinkColor (blue without an editor); the text
// is always underlined.
class TcxHyperLinkStyle : public TcxEditStyle {
  KORVANE_CLASS(TcxHyperLinkStyle, TcxEditStyle)
  using TcxEditStyle::TcxEditStyle;
  TColor GetTextColor() const override;
  TFontStyles GetTextStyle() const override;
};

// The look of a hyperlink without a window (a tree-list cell): the text
// underlined, in LinkColor, or in the cell's text colour while the cell
// shows the selection.
class TcxHyperLinkEditViewInfo : public TcxCustomEditViewInfo {
  KORVANE_CLASS(TcxHyperLinkEditViewInfo, TcxCustomEditViewInfo)
  TcxHyperLinkEditViewInfo() { PaintsOwnContent = true; }

  String Text;
  TcxTextLayoutFlags TextFlags = 0;
  TRect TextRect{};
  TColor LinkColor = cxHyperLinkDefaultLinkColor;

  // The colour the text is drawn in.
  TColor DrawnTextColor() const { return IsSelected ? TextColor : LinkColor; }
  void Assign(TObject* Source) override;
  void OffsetBy(Integer DX, Integer DY) override;
  void Render(TcxCanvas* ACanvas) override;
};

class TcxHyperLinkEditViewData : public TcxCustomEditViewData {
  KORVANE_CLASS(TcxHyperLinkEditViewData, TcxCustomEditViewData)
  using TcxCustomEditViewData::TcxCustomEditViewData;

  void ComputeViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                       TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  // The value's display text.
  void EditValueToDrawValue(TcxCanvas* ACanvas, const Variant& AEditValue,
                            TcxCustomEditViewInfo* AViewInfo) override;
};

class TcxCustomHyperLinkEdit : public TcxCustomTextEdit {
public:
  KORVANE_CLASS(TcxCustomHyperLinkEdit, TcxCustomTextEdit)
  explicit TcxCustomHyperLinkEdit(TComponent* AOwner) : TcxCustomHyperLinkEdit(AOwner, false) {}
  // Its normal style is a TcxHyperLinkStyle.
  TcxCustomHyperLinkEdit(TComponent* AOwner, bool AIsInplace);

  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TcxHyperLinkEditProperties::StaticClass(); }
  TcxCustomHyperLinkEditProperties* ActiveHyperLinkProperties();

  // OnStartClick when assigned; else the shown text with its prefix opens
  // when it is an openable address. Answers whether an address was handed
  // to the desktop.
  bool StartLink();
  // The colour the text shows in: the style's own text colour when
  // assigned, else LinkColor.
  TColor LinkTextColor();
  void PropertiesChanged(TObject* Sender) override;
  // The inner edit's font, underlined in the link colour.
  void SyncInnerControl() override;

protected:
  TcxContainerStyleClass StyleClass() const override { return TcxHyperLinkStyle::StaticClass(); }
  void EditKeyDown(Word& Key, TShiftState Shift) override;
  bool PreviewInnerMessage(TMessage& Message) override;
  void DblClick() override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

private:
  void UpdateCursor();

  bool FHandCursor = false;
  TCursor FPrevCursor = crDefault;
  TCursor FPrevInnerCursor = crDefault;
};

class TcxHyperLinkEdit : public TcxCustomHyperLinkEdit {
  KORVANE_CLASS(TcxHyperLinkEdit, TcxCustomHyperLinkEdit)
  using TcxCustomHyperLinkEdit::TcxCustomHyperLinkEdit;
};

class TcxEditRepositoryHyperLinkItem : public TcxEditRepositoryItem {
  KORVANE_CLASS(TcxEditRepositoryHyperLinkItem, TcxEditRepositoryItem)
  explicit TcxEditRepositoryHyperLinkItem(TComponent* AOwner) : TcxEditRepositoryItem(AOwner) {}
  TcxCustomEditPropertiesClass GetPropertiesClass() const override {
    return TcxHyperLinkEditProperties::StaticClass();
  }
};

// Registers the hyperlink editor kind (repeated calls do nothing) / removes it.
void cxHyperLinkEditInitialize();
void cxHyperLinkEditFinalize();
