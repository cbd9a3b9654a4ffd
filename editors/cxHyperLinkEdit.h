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
  // begins with Prefix (case taken into account) or with a known scheme.
  String AddPrefixTo(const String& AText) const;
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

class TcxCustomHyperLinkEdit : public TcxCustomTextEdit {
public:
  KORVANE_CLASS(TcxCustomHyperLinkEdit, TcxCustomTextEdit)
  explicit TcxCustomHyperLinkEdit(TComponent* AOwner) : TcxCustomHyperLinkEdit(AOwner, false) {}
  TcxCustomHyperLinkEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomTextEdit(AOwner, AIsInplace) {}

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
