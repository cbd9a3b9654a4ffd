#pragma once
// The most-recently-used editor (unit cxMRUEdit): an editable combo box
// whose list keeps the texts entered most recently, newest first, with an
// extra ellipsis button.
//
// A text is added to the list when the editor posts its value and when it
// validates a text that differs (case taken into account) from the one it
// had when the user entered it, in both cases only while the value may be
// changed. An empty text is never added; a text the list already holds
// (the list's own search, which ignores case) moves to the top instead of
// being repeated, so the list never holds two entries for one text. With
// MaxItemCount above 0 the oldest entries go beyond that count. A sorted
// list (LookupItemsSorted) keeps its order instead: a new text takes its
// sorted place and the limit cuts from the end.
//
// The ellipsis button is button 1 and the default button; its clicks
// reach the properties' OnButtonClick with index 1 and then the MRU
// properties' own OnButtonClick (the editor's own set, then the repository
// item's). A button glyph shows on the ellipsis button while it is shown,
// else on the drop-down button; without one they are an ellipsis and a
// drop-down arrow.
//
// A Revertable editor whose double click steps to the next item and posts
// it at once does not add that item to the list (it only cycles through
// it).
#include "editors/cxDropDownEdit.h"
#include "editors/cxEditRepository.h"

// The ellipsis button's index among the editor's buttons.
inline constexpr Integer cxMRUEllipsisButtonIndex = 1;

class TcxCustomMRUEditProperties : public TcxCustomComboBoxProperties {
  KORVANE_CLASS(TcxCustomMRUEditProperties, TcxCustomComboBoxProperties)
  // Adds the ellipsis button (default button) and sets lsEditList.
  explicit TcxCustomMRUEditProperties(TPersistent* AOwner);
  // The combo box settings, then MaxItemCount and ShowEllipsis.
  void Assign(TPersistent* Source) override;
  // Another MRU property set takes a copy of the list.
  void CopyExtraDataTo(TcxCustomEditProperties* ADest) override;
  static TcxCustomEditClass GetEditorClass();

  // 0: unlimited. A negative value is stored as 0; a smaller count cuts the
  // list at once.
  Integer MaxItemCount() const { return FMaxItemCount; }
  void SetMaxItemCount(Integer Value);
  bool ShowEllipsis() const { return FShowEllipsis; }
  void SetShowEllipsis(bool Value);

  // Puts AText at the top of the list (see the unit's header).
  void AddItem(const String& AText);
  // Deletes entries from the end while there are more than MaxItemCount.
  void DeleteExcessItems();
  // The buttons' kinds follow the glyph (see the unit's header).
  void NotifyChanged() override;
  // The ellipsis button's click (sender: the editor). Hides the edit
  // properties' OnButtonClick, which still hears every button with its index.
  TNotifyEvent OnButtonClick;

private:
  void SyncButtonKinds();
  bool FSyncingButtons = false;
  Integer FMaxItemCount = 0;
  bool FShowEllipsis = true;
};

class TcxMRUEditProperties : public TcxCustomMRUEditProperties {
  KORVANE_CLASS(TcxMRUEditProperties, TcxCustomMRUEditProperties)
  using TcxCustomMRUEditProperties::TcxCustomMRUEditProperties;
};

class TcxCustomMRUEdit : public TcxCustomComboBox {
public:
  KORVANE_CLASS(TcxCustomMRUEdit, TcxCustomComboBox)
  explicit TcxCustomMRUEdit(TComponent* AOwner) : TcxCustomMRUEdit(AOwner, false) {}
  TcxCustomMRUEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomComboBox(AOwner, AIsInplace) {}

  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TcxMRUEditProperties::StaticClass(); }
  TcxCustomMRUEditProperties* ActiveMRUProperties();
  // The text when the user entered the editor.
  const String& TextOnEnter() const { return FTextOnEnter; }

  bool ValidateAndMark() override;
  // The ellipsis button also fires the MRU OnButtonClick (own, then the
  // repository item's).
  void DoButtonClick(Integer AButtonIndex) override;
  void DblClick() override;

protected:
  void DoEnter() override;
  void EnterPostState() override;
  bool PreviewInnerMessage(TMessage& Message) override;

private:
  void AddCurrentText();

  String FTextOnEnter;
  bool FCyclingByDoubleClick = false;
};

class TcxMRUEdit : public TcxCustomMRUEdit {
  KORVANE_CLASS(TcxMRUEdit, TcxCustomMRUEdit)
  using TcxCustomMRUEdit::TcxCustomMRUEdit;
};

class TcxEditRepositoryMRUItem : public TcxEditRepositoryItem {
  KORVANE_CLASS(TcxEditRepositoryMRUItem, TcxEditRepositoryItem)
  explicit TcxEditRepositoryMRUItem(TComponent* AOwner) : TcxEditRepositoryItem(AOwner) {}
  TcxCustomEditPropertiesClass GetPropertiesClass() const override { return TcxMRUEditProperties::StaticClass(); }
};

// Registers the MRU editor kind (repeated calls do nothing) / removes it.
void cxMRUEditInitialize();
void cxMRUEditFinalize();
