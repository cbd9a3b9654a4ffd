#pragma once
// Actions: a command with a caption, a checked mark, an enabled and a
// visible flag, a hint and a handler (OnExecute), shared by the controls
// that show it.
//
// A control takes an action through TControl::SetAction; it then holds an
// action link (TControlActionLink, or the link class its GetActionLinkClass
// names) that the action knows as one of its clients. When a property of
// the action changes, each link is first told the new value (SetCaption,
// SetChecked, ...) and passes it to its control only while that control
// still shows the action's old value (IsCaptionLinked, IsCheckedLinked,
// ...); then the action reports the change (Change), and every linked
// control takes the action's properties again (TControl::ActionChange).
// A click on a linked control executes the action.
//
// Either side may be freed first: a dying action leaves its links without
// an action (and their controls drop them when told of its death); a dying
// control's link leaves the action's clients.
#include <vector>

#include "platform/gui/controls.h"
#include "platform/rtl/component.h"
#include "platform/rtl/events.h"

class TBasicAction;
class TCustomAction;

// ---- Links --------------------------------------------------------------------------------

// The tie between an action and one client (a control).
class TBasicActionLink : public TObject {
public:
  using MetaClass = TConstructorMetaClass<TBasicActionLink, TObject*>;
  KORVANE_CLASS(TBasicActionLink, TObject)
  explicit TBasicActionLink(TObject* AClient);
  ~TBasicActionLink() override;
  TBasicActionLink(const TBasicActionLink&) = delete;
  TBasicActionLink& operator=(const TBasicActionLink&) = delete;

  TBasicAction* Action() const { return FAction; }
  // Leaves the old action's clients and joins the new one's (nullptr: none).
  void SetAction(TBasicAction* Value);
  // Runs the action for AComponent; false when there is no action or it
  // has no handler.
  virtual bool Execute(TComponent* AComponent = nullptr);
  // Whether the client's click handler is the action's OnExecute.
  virtual bool IsOnExecuteLinked() const { return true; }

  // Fired by Change (the action reported a change).
  TNotifyEvent OnChange;

protected:
  friend class TBasicAction;
  virtual void Change();

private:
  TBasicAction* FAction = nullptr;
};

using TBasicActionLinkClass = const TBasicActionLink::MetaClass*;

// A link that hears each property of a TCustomAction as it changes.
class TActionLink : public TBasicActionLink {
  KORVANE_CLASS(TActionLink, TBasicActionLink)
  using TBasicActionLink::TBasicActionLink;

  // The action as a TCustomAction (nullptr when it is none).
  TCustomAction* CustomAction() const;

  // Whether the client shows the action's value of that property now.
  virtual bool IsCaptionLinked() const { return CustomAction() != nullptr; }
  virtual bool IsCheckedLinked() const { return CustomAction() != nullptr; }
  virtual bool IsEnabledLinked() const { return CustomAction() != nullptr; }
  virtual bool IsHintLinked() const { return CustomAction() != nullptr; }
  virtual bool IsVisibleLinked() const { return CustomAction() != nullptr; }

  // The action's new value, before the action keeps it.
  virtual void SetCaption(const String&) {}
  virtual void SetChecked(bool) {}
  virtual void SetEnabled(bool) {}
  virtual void SetHint(const String&) {}
  virtual void SetVisible(bool) {}
};

// The link of a control: passes caption, enabled, hint and visible on to it.
class TControlActionLink : public TActionLink {
  KORVANE_CLASS(TControlActionLink, TActionLink)
  explicit TControlActionLink(TObject* AClient);

  TControl* Client() const { return FClient; }

  bool IsCaptionLinked() const override;
  bool IsEnabledLinked() const override;
  bool IsHintLinked() const override;
  bool IsVisibleLinked() const override;
  bool IsOnExecuteLinked() const override;
  void SetCaption(const String& Value) override;
  void SetEnabled(bool Value) override;
  void SetHint(const String& Value) override;
  void SetVisible(bool Value) override;

private:
  TControl* FClient;
};

// ---- Actions ------------------------------------------------------------------------------

class TBasicAction : public TComponent {
  KORVANE_CLASS(TBasicAction, TComponent)
  explicit TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}
  // Leaves every link without an action.
  ~TBasicAction() override;

  // Calls OnExecute; false when there is none.
  virtual bool Execute();
  // The component that executed the action last (nullptr: none or freed).
  TComponent* ActionComponent() const { return FActionComponent; }
  void SetActionComponent(TComponent* Value);

  void RegisterChanges(TBasicActionLink* Value);
  void UnRegisterChanges(TBasicActionLink* Value);
  Integer ClientCount() const { return static_cast<Integer>(FClients.size()); }

  void Notification(TComponent* AComponent, TOperation Operation) override;

  TNotifyEvent OnExecute;
  TNotifyEvent OnChange;

protected:
  // Tells OnChange and every link.
  virtual void Change();
  const std::vector<TBasicActionLink*>& Clients() const { return FClients; }

private:
  std::vector<TBasicActionLink*> FClients;
  TComponent* FActionComponent = nullptr;
};

class TCustomAction : public TBasicAction {
  KORVANE_CLASS(TCustomAction, TBasicAction)
  explicit TCustomAction(TComponent* AOwner) : TBasicAction(AOwner) {}

  const String& Caption() const { return FCaption; }
  void SetCaption(const String& Value);
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  const String& Hint() const { return FHint; }
  void SetHint(const String& Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);

private:
  // Each TActionLink client hears the new value first (through ASetter).
  template <class T, class S>
  void ChangeProperty(T& AField, const T& Value, S ASetter);

  String FCaption;
  bool FChecked = false;
  bool FEnabled = true;
  String FHint;
  bool FVisible = true;
};

class TAction : public TCustomAction {
  KORVANE_CLASS(TAction, TCustomAction)
  using TCustomAction::TCustomAction;
};
