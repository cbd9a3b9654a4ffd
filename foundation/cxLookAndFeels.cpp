#include "foundation/cxLookAndFeels.h"

#include <algorithm>
#include <array>

#include "foundation/qzOffice11.h"
#include "foundation/qzThemeManager.h"
#include "platform/gui/windowing.h"

namespace {

// ---- Unit state ----------------------------------------------------------------------------

struct TUnitState {
  bool Started = false;
  TcxLookAndFeel* Root = nullptr;
  std::array<TcxCustomLookAndFeelPainterClass, cxLookAndFeelKindCount> KindPainters{};
  TcxCustomLookAndFeelPainterClass NativePainter = nullptr;
  TcxSystemPaletteChangedListener* PaletteListener = nullptr;
};

// Kept for the whole run: objects destroyed at exit may still ask for it.
TUnitState& State() {
  static TUnitState* s = new TUnitState;
  return *s;
}

// The root, starting the unit on first use.
TcxLookAndFeel* StartedRoot() {
  if (!State().Started) cxLookAndFeelsInitialize();
  return State().Root;
}

bool ValidKind(TcxLookAndFeelKind AKind) { return AKind >= lfFlat && AKind < cxLookAndFeelKindCount; }

template <class T>
bool Contains(const std::vector<T*>& AList, const T* AItem) {
  return std::find(AList.begin(), AList.end(), AItem) != AList.end();
}

template <class T>
bool Erase(std::vector<T*>& AList, const T* AItem) {
  auto it = std::find(AList.begin(), AList.end(), AItem);
  if (it == AList.end()) return false;
  AList.erase(it);
  return true;
}

bool IsController(IcxLookAndFeelObserver* AListener) {
  TObject* object = AListener->GetObject();
  return object && object->InheritsFrom<TcxLookAndFeelController>();
}

}  // namespace

// ---- Painter registry ----------------------------------------------------------------------

void RegisterLookAndFeelPainter(TcxLookAndFeelKind AKind, TcxCustomLookAndFeelPainterClass APainter) {
  if (ValidKind(AKind)) State().KindPainters[static_cast<size_t>(AKind)] = APainter;
}

void RegisterNativeLookAndFeelPainter(TcxCustomLookAndFeelPainterClass APainter) {
  State().NativePainter = APainter;
}

void UnregisterLookAndFeelPainter(TcxCustomLookAndFeelPainterClass APainter) {
  if (!APainter) return;
  for (TcxCustomLookAndFeelPainterClass& entry : State().KindPainters)
    if (entry == APainter) entry = nullptr;
  if (State().NativePainter == APainter) State().NativePainter = nullptr;
}

TcxCustomLookAndFeelPainterClass LookAndFeelPainterOfKind(TcxLookAndFeelKind AKind) {
  return ValidKind(AKind) ? State().KindPainters[static_cast<size_t>(AKind)] : nullptr;
}

TcxCustomLookAndFeelPainterClass NativeLookAndFeelPainter() { return State().NativePainter; }

// ---- TcxLookAndFeel ------------------------------------------------------------------------

TcxLookAndFeel::TcxLookAndFeel(TPersistent* AOwner) : TcxInterfacedPersistent(AOwner) {
  CreateSystemPaletteChangedNotifier();
  if (TcxLookAndFeel* root = StartedRoot()) {
    root->AddChangeListener(this);
    FCurrentKind = root->GetKind();
    FCurrentNativeStyle = root->GetNativeStyle();
  }
}

TcxLookAndFeel::TcxLookAndFeel(TPersistent* AOwner, TRootTag) : TcxInterfacedPersistent(AOwner) {
  FIsRootLookAndFeel = true;
  CreateSystemPaletteChangedNotifier();
}

void TcxLookAndFeel::CreateSystemPaletteChangedNotifier() {
  FSystemPaletteChangedNotifier = std::make_unique<TcxSystemPaletteChangedNotifier>(false);
  FSystemPaletteChangedNotifier->OnSystemPaletteChanged = MakeEvent(this, &TcxLookAndFeel::SystemPaletteChanged);
}

TcxLookAndFeel::~TcxLookAndFeel() {
  FSystemPaletteChangedNotifier.reset();
  FIsDestruction = true;
  NotifyMasterDestroying();
  if (TcxLookAndFeel* master = EffectiveMaster()) master->RemoveChangeListener(this);
  if (FIsRootLookAndFeel && State().Root == this) State().Root = nullptr;
}

// Every listener from the first; one that leaves (or is destroyed) meanwhile
// is not called, and none is called twice.
void TcxLookAndFeel::NotifyMasterDestroying() {
  const std::vector<IcxLookAndFeelObserver*> snapshot = FChangeListenerList;
  for (IcxLookAndFeelObserver* listener : snapshot)
    if (HasChangeListener(listener)) listener->MasterDestroying(this);
}

void TcxLookAndFeel::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxLookAndFeel*>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  BeginChange();
  FKind = source->FKind;
  FNativeStyle = source->FNativeStyle;
  FAssignedValues = source->FAssignedValues;
  SetMaster(source->EffectiveMaster());
  EndChange();
}

void TcxLookAndFeel::SetAssignedValues(TcxLookAndFeelValues Value) {
  Value &= cxAllLookAndFeelValues;
  if (Value == FAssignedValues) return;
  BeginChange();
  FAssignedValues = Value;
  EndChange();
}

void TcxLookAndFeel::SetKind(TcxLookAndFeelKind Value) {
  FAssignedValues |= lfvKind;
  FKind = Value;
  if (EffectiveKind() != FCurrentKind) NotifyChanged(lfvKind);
}

void TcxLookAndFeel::SetNativeStyle(bool Value) {
  FAssignedValues |= lfvNativeStyle;
  FNativeStyle = Value;
  if (EffectiveNativeStyle() != FCurrentNativeStyle) NotifyChanged(lfvNativeStyle);
}

TcxLookAndFeelKind TcxLookAndFeel::EffectiveKind() const {
  if (FAssignedValues & lfvKind) return FKind;
  const TcxLookAndFeel* master = EffectiveMaster();
  return master ? master->EffectiveKind() : cxDefaultLookAndFeelKind;
}

bool TcxLookAndFeel::EffectiveNativeStyle() const {
  if (FAssignedValues & lfvNativeStyle) return FNativeStyle;
  const TcxLookAndFeel* master = EffectiveMaster();
  return master ? master->EffectiveNativeStyle() : cxDefaultLookAndFeelNativeStyle;
}

void TcxLookAndFeel::SystemPaletteChanged() { NotifyChanged(lfvNativeStyle); }

TcxLookAndFeel* TcxLookAndFeel::EffectiveMaster() const {
  if (FIsRootLookAndFeel) return nullptr;
  return FMaster ? FMaster : State().Root;
}

// Whether following the explicit masters from this object reaches ALookAndFeel.
bool TcxLookAndFeel::LeadsTo(const TcxLookAndFeel* ALookAndFeel) const {
  for (const TcxLookAndFeel* item = this; item; item = item->FMaster)
    if (item == ALookAndFeel) return true;
  return false;
}

void TcxLookAndFeel::SetMaster(TcxLookAndFeel* AMaster) {
  if (FIsRootLookAndFeel || AMaster == this || AMaster == EffectiveMaster()) return;
  if (AMaster && AMaster->LeadsTo(this)) return;  // would make a cycle of masters
  BeginChange();
  if (TcxLookAndFeel* old = EffectiveMaster()) old->RemoveChangeListener(this);
  FMaster = AMaster;
  if (TcxLookAndFeel* master = EffectiveMaster()) master->AddChangeListener(this);
  EndChange();
}

bool TcxLookAndFeel::HasChangeListener(const IcxLookAndFeelObserver* AListener) const {
  return Contains(FChangeListenerList, AListener);
}

void TcxLookAndFeel::AddChangeListener(IcxLookAndFeelObserver* AListener) {
  if (!AListener || FIsDestruction || HasChangeListener(AListener)) return;
  const bool controller = IsController(AListener);
  if (controller && !FIsRootLookAndFeel) return;
  FChangeListenerList.push_back(AListener);
  if (controller) ++FControllerCount;
}

void TcxLookAndFeel::RemoveChangeListener(IcxLookAndFeelObserver* AListener) {
  if (!AListener || !Erase(FChangeListenerList, AListener)) return;
  if (!IsController(AListener)) return;
  if (--FControllerCount == 0) SetAssignedValues(0);
}

void TcxLookAndFeel::MasterChanged(TcxLookAndFeel*, TcxLookAndFeelValues AChangedValues) {
  NotifyChanged(AChangedValues & ~FAssignedValues);
}

void TcxLookAndFeel::MasterDestroying(TcxLookAndFeel*) { SetMaster(nullptr); }

void TcxLookAndFeel::BeginChange() {
  if (FChangeLockCount++ > 0) return;
  FPrevKind = EffectiveKind();
  FPrevNativeStyle = EffectiveNativeStyle();
}

void TcxLookAndFeel::EndChange() {
  if (FChangeLockCount == 0 || --FChangeLockCount > 0) return;
  NotifyChanged(ChangedSinceBegin());
}

TcxLookAndFeelValues TcxLookAndFeel::ChangedSinceBegin() const {
  TcxLookAndFeelValues changed = 0;
  if (EffectiveKind() != FPrevKind) changed |= lfvKind;
  if (EffectiveNativeStyle() != FPrevNativeStyle) changed |= lfvNativeStyle;
  return changed;
}

void TcxLookAndFeel::NotifyChanged(TcxLookAndFeelValues AChangedValues) {
  if (AChangedValues == 0 || FIsDestruction) return;
  FCurrentKind = EffectiveKind();
  FCurrentNativeStyle = EffectiveNativeStyle();
  // A copy: listeners may leave (or join) the list while they are told.
  const std::vector<IcxLookAndFeelObserver*> snapshot = FChangeListenerList;
  for (IcxLookAndFeelObserver* listener : snapshot)
    if (HasChangeListener(listener)) listener->MasterChanged(this, AChangedValues);
  // A copy: the handler may destroy this object.
  const TcxLookAndFeelChangedEvent event = OnChanged;
  event(this, AChangedValues);
}

TcxCustomLookAndFeelPainterClass TcxLookAndFeel::ChoosePainter(bool ANativeAvailable) const {
  if (FPainter) return FPainter;
  if (GetNativeStyle() && ANativeAvailable && NativeLookAndFeelPainter()) return NativeLookAndFeelPainter();
  return LookAndFeelPainterOfKind(GetKind());
}

TcxCustomLookAndFeelPainterClass TcxLookAndFeel::GetPainterClass() const {
  return ChoosePainter(GetNativeStyle() && ThemeClassesAvailable(0));
}

TcxCustomLookAndFeelPainterClass TcxLookAndFeel::PainterForThemeClass(Integer AThemeClass) const {
  return ChoosePainter(GetNativeStyle() && ThemeClassAvailable(AThemeClass));
}

// ---- TcxLookAndFeelController --------------------------------------------------------------

TcxLookAndFeelController::TcxLookAndFeelController(TComponent* AOwner) : TComponent(AOwner) {
  if (TcxLookAndFeel* root = StartedRoot()) root->AddChangeListener(this);
}

TcxLookAndFeelController::~TcxLookAndFeelController() {
  if (TcxLookAndFeel* root = RootLookAndFeel()) root->RemoveChangeListener(this);
}

TcxLookAndFeelKind TcxLookAndFeelController::Kind() const {
  const TcxLookAndFeel* root = RootLookAndFeel();
  return root ? root->GetKind() : cxDefaultLookAndFeelKind;
}

void TcxLookAndFeelController::SetKind(TcxLookAndFeelKind Value) {
  if (TcxLookAndFeel* root = RootLookAndFeel()) root->SetKind(Value);
}

bool TcxLookAndFeelController::NativeStyle() const {
  const TcxLookAndFeel* root = RootLookAndFeel();
  return root ? root->GetNativeStyle() : cxDefaultLookAndFeelNativeStyle;
}

void TcxLookAndFeelController::SetNativeStyle(bool Value) {
  if (TcxLookAndFeel* root = RootLookAndFeel()) root->SetNativeStyle(Value);
}

// ---- System colour changes -----------------------------------------------------------------

TcxSystemPaletteChangedNotifier::TcxSystemPaletteChangedNotifier(bool AIsPrimary) : FIsPrimary(AIsPrimary) {
  TcxSystemPaletteChangedListener*& listener = State().PaletteListener;
  if (!listener) listener = new TcxSystemPaletteChangedListener;
  listener->AddNotifier(this);
}

TcxSystemPaletteChangedNotifier::~TcxSystemPaletteChangedNotifier() {
  TcxSystemPaletteChangedListener*& listener = State().PaletteListener;
  if (!listener) return;
  listener->RemoveNotifier(this);
  // The last notifier takes the listener with it; while the listener is
  // telling its notifiers it frees itself once it has finished.
  if (listener->PrimaryNotifierCount() + listener->NotifierCount() == 0 && !listener->Notifying()) {
    TcxSystemPaletteChangedListener* dying = listener;
    listener = nullptr;
    delete dying;
  }
}

void TcxSystemPaletteChangedNotifier::DoChanged() {
  // A copy: the handler may destroy this notifier.
  const TcxSystemPaletteChangedEvent event = OnSystemPaletteChanged;
  event();
}

TcxSystemPaletteChangedListener::TcxSystemPaletteChangedListener() {
  Office11SchemeAddRef();
  FWindow = AllocateHWnd(MakeEvent(this, &TcxSystemPaletteChangedListener::WndProc));
}

TcxSystemPaletteChangedListener::~TcxSystemPaletteChangedListener() {
  if (FWindow) DeallocateHWnd(FWindow);
  Office11SchemeRelease();
  if (State().PaletteListener == this) State().PaletteListener = nullptr;
}

void TcxSystemPaletteChangedListener::AddNotifier(TcxSystemPaletteChangedNotifier* ANotifier) {
  auto& list = ANotifier->IsPrimary() ? FPrimaryNotifiers : FNotifiers;
  if (!Contains(list, ANotifier)) list.push_back(ANotifier);
}

void TcxSystemPaletteChangedListener::RemoveNotifier(TcxSystemPaletteChangedNotifier* ANotifier) {
  if (!Erase(FPrimaryNotifiers, ANotifier)) Erase(FNotifiers, ANotifier);
}

bool TcxSystemPaletteChangedListener::Listed(const TcxSystemPaletteChangedNotifier* ANotifier) const {
  return Contains(FPrimaryNotifiers, ANotifier) || Contains(FNotifiers, ANotifier);
}

// From the last to the first; an exception of one notifier goes to the
// application's handler and the others are still told.
void TcxSystemPaletteChangedListener::NotifyAll(const std::vector<TcxSystemPaletteChangedNotifier*>& ANotifiers) {
  for (auto it = ANotifiers.rbegin(); it != ANotifiers.rend(); ++it) {
    if (!Listed(*it)) continue;
    try {
      (*it)->DoChanged();
    } catch (...) {
      HandleBoundaryException();
    }
  }
}

// A colour change sent by a notifier's handler while the notifiers are
// being told is not told again.
void TcxSystemPaletteChangedListener::WndProc(TMessage& Message) {
  const bool notice = Message.Msg == WM_SYSCOLORCHANGE && !FNotifying;
  if (notice) {
    FNotifying = true;
    Office11SchemeRefresh();
    NotifyAll(std::vector(FPrimaryNotifiers));
    NotifyAll(std::vector(FNotifiers));
    FNotifying = false;
  }
  DefWindowProc(FWindow, Message);
  // Every notifier went while they were told: the listener goes too.
  if (notice && FPrimaryNotifiers.empty() && FNotifiers.empty()) delete this;
}

TcxSystemPaletteChangedListener* SystemPaletteChangedListener() { return State().PaletteListener; }

// ---- Unit start-up and finalisation --------------------------------------------------------

void cxLookAndFeelsInitialize() {
  cxLookAndFeelsFinalize();
  State().Started = true;
  State().Root = new TcxLookAndFeel(nullptr, TcxLookAndFeel::TRootTag{});
}

void cxLookAndFeelsFinalize() {
  TUnitState& s = State();
  TcxLookAndFeel* root = s.Root;
  s.Started = false;
  if (root) delete root;  // clears s.Root
  s.Root = nullptr;
}

TcxLookAndFeel* RootLookAndFeel() { return State().Root; }
