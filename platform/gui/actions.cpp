#include "platform/gui/actions.h"

#include <algorithm>

// ---- TBasicActionLink ---------------------------------------------------------------------

TBasicActionLink::TBasicActionLink(TObject*) {}

TBasicActionLink::~TBasicActionLink() {
  if (FAction) FAction->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* Value) {
  if (Value == FAction) return;
  if (FAction) FAction->UnRegisterChanges(this);
  FAction = Value;
  if (FAction) FAction->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* AComponent) {
  if (!FAction) return false;
  FAction->SetActionComponent(AComponent);
  // The handler may free the component that executed it.
  return FAction->Execute();
}

void TBasicActionLink::Change() {
  if (OnChange) OnChange(FAction);
}

// ---- TActionLink --------------------------------------------------------------------------

TCustomAction* TActionLink::CustomAction() const { return dynamic_cast<TCustomAction*>(Action()); }

// ---- TControlActionLink -------------------------------------------------------------------

TControlActionLink::TControlActionLink(TObject* AClient)
    : TActionLink(AClient), FClient(dynamic_cast<TControl*>(AClient)) {}

bool TControlActionLink::IsCaptionLinked() const {
  return TActionLink::IsCaptionLinked() && FClient && FClient->Caption() == CustomAction()->Caption();
}

bool TControlActionLink::IsEnabledLinked() const {
  return TActionLink::IsEnabledLinked() && FClient && FClient->Enabled() == CustomAction()->Enabled();
}

bool TControlActionLink::IsHintLinked() const {
  return TActionLink::IsHintLinked() && FClient && FClient->Hint() == CustomAction()->Hint();
}

bool TControlActionLink::IsVisibleLinked() const {
  return TActionLink::IsVisibleLinked() && FClient && FClient->Visible() == CustomAction()->Visible();
}

bool TControlActionLink::IsOnExecuteLinked() const {
  return Action() && FClient && FClient->OnClick == Action()->OnExecute;
}

void TControlActionLink::SetCaption(const String& Value) {
  if (IsCaptionLinked()) FClient->SetCaption(Value);
}

void TControlActionLink::SetEnabled(bool Value) {
  if (IsEnabledLinked()) FClient->SetEnabled(Value);
}

void TControlActionLink::SetHint(const String& Value) {
  if (IsHintLinked()) FClient->SetHint(Value);
}

void TControlActionLink::SetVisible(bool Value) {
  if (IsVisibleLinked()) FClient->SetVisible(Value);
}

// ---- TBasicAction -------------------------------------------------------------------------

TBasicAction::~TBasicAction() {
  // Each link leaves the list through SetAction.
  while (!FClients.empty()) FClients.back()->SetAction(nullptr);
  SetActionComponent(nullptr);
}

bool TBasicAction::Execute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

void TBasicAction::SetActionComponent(TComponent* Value) {
  if (Value == FActionComponent) return;
  if (FActionComponent) FActionComponent->RemoveFreeNotification(this);
  FActionComponent = Value;
  if (FActionComponent) FActionComponent->FreeNotification(this);
}

void TBasicAction::RegisterChanges(TBasicActionLink* Value) {
  if (Value && std::find(FClients.begin(), FClients.end(), Value) == FClients.end()) FClients.push_back(Value);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Value) { std::erase(FClients, Value); }

void TBasicAction::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FActionComponent) FActionComponent = nullptr;
}

void TBasicAction::Change() {
  if (OnChange) OnChange(this);
  // A client's handler may unlink clients (or link new ones): tell only
  // those still linked.
  const std::vector<TBasicActionLink*> clients = FClients;
  for (TBasicActionLink* link : clients)
    if (std::find(FClients.begin(), FClients.end(), link) != FClients.end()) link->Change();
}

// ---- TCustomAction ------------------------------------------------------------------------

template <class T, class S>
void TCustomAction::ChangeProperty(T& AField, const T& Value, S ASetter) {
  if (AField == Value) return;
  const std::vector<TBasicActionLink*> clients = Clients();
  for (TBasicActionLink* client : clients) {
    if (std::find(Clients().begin(), Clients().end(), client) == Clients().end()) continue;
    if (auto* link = dynamic_cast<TActionLink*>(client)) (link->*ASetter)(Value);
  }
  AField = Value;
  Change();
}

void TCustomAction::SetCaption(const String& Value) { ChangeProperty(FCaption, Value, &TActionLink::SetCaption); }
void TCustomAction::SetChecked(bool Value) { ChangeProperty(FChecked, Value, &TActionLink::SetChecked); }
void TCustomAction::SetEnabled(bool Value) { ChangeProperty(FEnabled, Value, &TActionLink::SetEnabled); }
void TCustomAction::SetHint(const String& Value) { ChangeProperty(FHint, Value, &TActionLink::SetHint); }
void TCustomAction::SetVisible(bool Value) { ChangeProperty(FVisible, Value, &TActionLink::SetVisible); }
