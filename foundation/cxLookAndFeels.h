#pragma once
// Look-and-feel settings: how each control looks.
//
// A TcxLookAndFeel holds two settings, Kind and NativeStyle. Each is either
// assigned on the object itself (its bit is in AssignedValues) or comes from
// the object's master look-and-feel, and when there is none from the root
// look-and-feel that the unit creates at start-up. A TcxLookAndFeelController
// component sets the root's values for the whole program. A change flows down
// the tree to every object that does not assign the changed value itself, and
// from there to the owning control through OnChanged.
//
// The look-and-feel also answers the painter class that draws the control.
// Painter classes are class references (metaclass objects) of the painter
// hierarchy whose base is TcxCustomLookAndFeelPainter; that hierarchy and its
// metaclass TcxCustomLookAndFeelPainterMetaClass are defined by the painter
// units, which fill the painter registry below at their start-up. This unit
// only keeps and compares the references.
//
// System colour changes are heard by one hidden window (of the
// TcxSystemPaletteChangedListener) that exists while any
// TcxSystemPaletteChangedNotifier exists; every look-and-feel owns one and
// answers a colour change with a NativeStyle change notice.
//
// Listener lists are called in a fixed order; a listener that leaves the
// list during a notice does not make another one be skipped; notices are
// muted while the notifier is being destroyed.
//
// There is no form-file streaming on this platform: what is "written only
// when assigned" is answered by IsKindStored and IsNativeStyleStored.
#include <memory>
#include <vector>

#include "foundation/cxClasses.h"
#include "platform/gui/messages.h"
#include "platform/rtl/component.h"
#include "platform/rtl/events.h"
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"

class TcxLookAndFeel;
class TcxLookAndFeelController;
class TcxSystemPaletteChangedNotifier;

// ---------------------------------------------------------------------------
// Painter class references. The painter units define both classes: the base
// painter `class TcxCustomLookAndFeelPainter : public TObject` names
// `using MetaClass = TcxCustomLookAndFeelPainterMetaClass;` (a TMetaClass
// descendant that carries the class-level operations), so that
// TcxSomePainter::StaticClass() is a TcxCustomLookAndFeelPainterClass.

class TcxCustomLookAndFeelPainter;
class TcxCustomLookAndFeelPainterMetaClass;
using TcxCustomLookAndFeelPainterClass = const TcxCustomLookAndFeelPainterMetaClass*;

// ---------------------------------------------------------------------------
// Kinds and values

enum TcxLookAndFeelKind : Integer { lfFlat, lfStandard, lfUltraFlat, lfOffice11 };
inline constexpr Integer cxLookAndFeelKindCount = 4;

// A set of values: bits 1 and 2.
enum TcxLookAndFeelValue : Cardinal { lfvKind = 0x1, lfvNativeStyle = 0x2 };
using TcxLookAndFeelValues = Cardinal;
inline constexpr TcxLookAndFeelValues cxAllLookAndFeelValues = lfvKind | lfvNativeStyle;

inline constexpr TcxLookAndFeelKind cxDefaultLookAndFeelKind = lfUltraFlat;
inline constexpr bool cxDefaultLookAndFeelNativeStyle = false;

// ---------------------------------------------------------------------------
// The painter registry: the painter of each kind and the native-style
// painter. The painter units register their classes at start-up (and may
// register nullptr, or unregister, at finalisation). Unregistered entries
// answer nullptr. A unit of a static library starts only when the program
// references it, so the program's start-up calls cxStandardPaintersRegister,
// cxUltraFlatPaintersRegister and cxNativePainterRegister itself.

void RegisterLookAndFeelPainter(TcxLookAndFeelKind AKind, TcxCustomLookAndFeelPainterClass APainter);
void RegisterNativeLookAndFeelPainter(TcxCustomLookAndFeelPainterClass APainter);
// Clears every entry that holds APainter.
void UnregisterLookAndFeelPainter(TcxCustomLookAndFeelPainterClass APainter);
// nullptr for a kind outside lfFlat..lfOffice11 or an empty entry.
TcxCustomLookAndFeelPainterClass LookAndFeelPainterOfKind(TcxLookAndFeelKind AKind);
TcxCustomLookAndFeelPainterClass NativeLookAndFeelPainter();

// ---------------------------------------------------------------------------
// IcxLookAndFeelObserver: told by a look-and-feel (the master) of its changes
// and of its destruction.

class IcxLookAndFeelObserver {
public:
  virtual ~IcxLookAndFeelObserver() = default;
  // The object that implements the interface.
  virtual TObject* GetObject() = 0;
  // The master's effective values in AChangedValues changed.
  virtual void MasterChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) = 0;
  // The master is being destroyed.
  virtual void MasterDestroying(TcxLookAndFeel* Sender) = 0;
};

using TcxLookAndFeelChangedEvent = TEvent<void(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues)>;

// ---------------------------------------------------------------------------
// TcxLookAndFeel

class TcxLookAndFeel : public TcxInterfacedPersistent, public IcxLookAndFeelObserver {
  KORVANE_CLASS(TcxLookAndFeel, TcxInterfacedPersistent)

  // Own values lfUltraFlat / false, nothing assigned; registers with the
  // root (starting the unit when it has not started) and takes its
  // effective values from it.
  explicit TcxLookAndFeel(TPersistent* AOwner);
  // Tells every listener that this master is being destroyed, leaves its
  // effective master; the root clears the global root reference.
  ~TcxLookAndFeel() override;
  TcxLookAndFeel(const TcxLookAndFeel&) = delete;
  TcxLookAndFeel& operator=(const TcxLookAndFeel&) = delete;

  // From another look-and-feel: own Kind and NativeStyle, AssignedValues and
  // the source's effective master, with one change notice. Other sources:
  // inherited.
  void Assign(TPersistent* Source) override;

  // ---- Values ----
  TcxLookAndFeelValues AssignedValues() const { return FAssignedValues; }
  // On a change: the values whose effective value changed are notified.
  void SetAssignedValues(TcxLookAndFeelValues Value);
  // The effective values (cached; updated with every change notice).
  TcxLookAndFeelKind GetKind() const { return FCurrentKind; }
  bool GetNativeStyle() const { return FCurrentNativeStyle; }
  TcxLookAndFeelKind Kind() const { return GetKind(); }
  bool NativeStyle() const { return GetNativeStyle(); }
  // Assigns the value; notifies when the effective value changes.
  void SetKind(TcxLookAndFeelKind Value);
  void SetNativeStyle(bool Value);
  // Whether a value would be written with the object (it is assigned).
  bool IsKindStored() const { return (FAssignedValues & lfvKind) != 0; }
  bool IsNativeStyleStored() const { return (FAssignedValues & lfvNativeStyle) != 0; }

  // The effective values computed now: the own value when assigned, else the
  // effective master's; the root (and an object without any master) gives
  // lfUltraFlat / false for unassigned values.
  virtual TcxLookAndFeelKind EffectiveKind() const;
  virtual bool EffectiveNativeStyle() const;
  // The system colours changed: a NativeStyle change notice.
  virtual void SystemPaletteChanged();

  // ---- The tree ----
  bool IsRootLookAndFeel() const { return FIsRootLookAndFeel; }
  // The explicit master (nullptr: the root).
  TcxLookAndFeel* Master() const { return FMaster; }
  // nullptr for the root; else the master, or the root when none is set.
  TcxLookAndFeel* EffectiveMaster() const;
  // Ignored on the root, for this object itself, for AMaster that already is
  // the effective master, and for a master whose chain of masters leads back
  // to this object. Else leaves the old effective master, joins the new one
  // and notifies the values whose effective value changed.
  void SetMaster(TcxLookAndFeel* AMaster);

  // ---- Listeners ----
  // Adds a listener once. A TcxLookAndFeelController is accepted only by
  // the root (which counts them). Ignored while this object is destroyed.
  void AddChangeListener(IcxLookAndFeelObserver* AListener);
  // Removes the listener; when the last controller leaves the root, the
  // root's AssignedValues are cleared.
  void RemoveChangeListener(IcxLookAndFeelObserver* AListener);
  Integer ChangeListenerCount() const { return static_cast<Integer>(FChangeListenerList.size()); }
  bool HasChangeListener(const IcxLookAndFeelObserver* AListener) const;

  // IcxLookAndFeelObserver: the master's change becomes a notice of the
  // values this object does not assign; the master's destruction makes the
  // root the master again.
  TObject* GetObject() override { return this; }
  void MasterChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) override;
  void MasterDestroying(TcxLookAndFeel* Sender) override;

  // ---- Change brackets ----
  // Nested brackets: the outermost BeginChange saves the effective values,
  // the outermost EndChange notifies those that now differ.
  void BeginChange();
  void EndChange();

  // ---- Painters ----
  // The explicit painter when a descendant set one; else the native painter
  // when NativeStyle is on, visual styles are available and a native painter
  // is registered; else the painter of Kind (nullptr while none is
  // registered).
  TcxCustomLookAndFeelPainterClass GetPainterClass() const;
  TcxCustomLookAndFeelPainterClass Painter() const { return GetPainterClass(); }
  // As GetPainterClass, but the native painter only when the one theme class
  // AThemeClass (a TqzThemeClass index) opens.
  TcxCustomLookAndFeelPainterClass PainterForThemeClass(Integer AThemeClass) const;

  TcxSystemPaletteChangedNotifier* SystemPaletteChangedNotifier() const { return FSystemPaletteChangedNotifier.get(); }

  // Told after every change notice (Sender, changed values); a control sets
  // its own handler here.
  TcxLookAndFeelChangedEvent OnChanged;

protected:
  // Recomputes and caches the effective values, tells every listener first
  // to last, then OnChanged. Nothing for an empty set or while destroying.
  void NotifyChanged(TcxLookAndFeelValues AChangedValues);
  // Changes are not notified during the object's destruction.
  bool IsDestruction() const { return FIsDestruction; }
  // A painter that overrides the choice by settings (nullptr: none).
  TcxCustomLookAndFeelPainterClass ExplicitPainterClass() const { return FPainter; }
  void SetExplicitPainterClass(TcxCustomLookAndFeelPainterClass Value) { FPainter = Value; }

private:
  friend void cxLookAndFeelsInitialize();
  friend void cxLookAndFeelsFinalize();
  struct TRootTag {};
  TcxLookAndFeel(TPersistent* AOwner, TRootTag);

  void CreateSystemPaletteChangedNotifier();
  TcxLookAndFeelValues ChangedSinceBegin() const;
  bool LeadsTo(const TcxLookAndFeel* ALookAndFeel) const;
  TcxCustomLookAndFeelPainterClass ChoosePainter(bool ANativeAvailable) const;
  void NotifyMasterDestroying();

  TcxLookAndFeelValues FAssignedValues = 0;
  TcxLookAndFeelKind FKind = cxDefaultLookAndFeelKind;
  bool FNativeStyle = cxDefaultLookAndFeelNativeStyle;
  TcxLookAndFeelKind FCurrentKind = cxDefaultLookAndFeelKind;
  bool FCurrentNativeStyle = cxDefaultLookAndFeelNativeStyle;
  TcxLookAndFeelKind FPrevKind = cxDefaultLookAndFeelKind;
  bool FPrevNativeStyle = cxDefaultLookAndFeelNativeStyle;
  Integer FChangeLockCount = 0;
  TcxCustomLookAndFeelPainterClass FPainter = nullptr;
  TcxLookAndFeel* FMaster = nullptr;
  std::vector<IcxLookAndFeelObserver*> FChangeListenerList;
  Integer FControllerCount = 0;
  bool FIsDestruction = false;
  bool FIsRootLookAndFeel = false;
  std::unique_ptr<TcxSystemPaletteChangedNotifier> FSystemPaletteChangedNotifier;
};

// ---------------------------------------------------------------------------
// TcxLookAndFeelController: sets the root's values for the whole program.

class TcxLookAndFeelController : public TComponent, public IcxLookAndFeelObserver {
  KORVANE_CLASS(TcxLookAndFeelController, TComponent)

  // Registers with the root (starting the unit when it has not started).
  explicit TcxLookAndFeelController(TComponent* AOwner);
  // Leaves the root; the last controller to leave clears the root's
  // assigned values.
  ~TcxLookAndFeelController() override;

  // The root's values; without a root lfUltraFlat / false are answered and
  // writes are ignored.
  TcxLookAndFeelKind Kind() const;
  void SetKind(TcxLookAndFeelKind Value);
  bool NativeStyle() const;
  void SetNativeStyle(bool Value);

  TObject* GetObject() override { return this; }
  // Nothing: the controller only writes the root's values.
  void MasterChanged(TcxLookAndFeel*, TcxLookAndFeelValues) override {}
  // The form the controller lies on (its owner, or the owner's owner, when
  // that is a form) would be marked modified for a form designer; this
  // platform builds its forms in code and has none, so nothing happens.
  void MasterDestroying(TcxLookAndFeel*) override {}
};

// ---------------------------------------------------------------------------
// System colour changes

using TcxSystemPaletteChangedEvent = TEvent<void()>;

// Tells OnSystemPaletteChanged when the system colours change. Primary
// notifiers are told before the others. The first notifier creates the
// listener (and its hidden window), the last one to go destroys it.
class TcxSystemPaletteChangedNotifier : public TObject {
  KORVANE_CLASS(TcxSystemPaletteChangedNotifier, TObject)

  explicit TcxSystemPaletteChangedNotifier(bool AIsPrimary = false);
  ~TcxSystemPaletteChangedNotifier() override;
  TcxSystemPaletteChangedNotifier(const TcxSystemPaletteChangedNotifier&) = delete;
  TcxSystemPaletteChangedNotifier& operator=(const TcxSystemPaletteChangedNotifier&) = delete;

  bool IsPrimary() const { return FIsPrimary; }
  // Calls OnSystemPaletteChanged (when set).
  virtual void DoChanged();

  TcxSystemPaletteChangedEvent OnSystemPaletteChanged;

private:
  bool FIsPrimary;
};

// The one hidden window that hears WM_SYSCOLORCHANGE, and the notifiers it
// tells. While it exists it holds a reference on the Office 11 colours.
class TcxSystemPaletteChangedListener : public TObject {
  KORVANE_CLASS(TcxSystemPaletteChangedListener, TObject)

  TcxSystemPaletteChangedListener();
  ~TcxSystemPaletteChangedListener() override;
  TcxSystemPaletteChangedListener(const TcxSystemPaletteChangedListener&) = delete;
  TcxSystemPaletteChangedListener& operator=(const TcxSystemPaletteChangedListener&) = delete;

  HWND Handle() const { return FWindow; }
  Integer PrimaryNotifierCount() const { return static_cast<Integer>(FPrimaryNotifiers.size()); }
  Integer NotifierCount() const { return static_cast<Integer>(FNotifiers.size()); }

  void AddNotifier(TcxSystemPaletteChangedNotifier* ANotifier);
  void RemoveNotifier(TcxSystemPaletteChangedNotifier* ANotifier);
  // WM_SYSCOLORCHANGE: the Office 11 colours are computed again, then the
  // primary notifiers are told from the last to the first, then the other
  // notifiers likewise (a notifier destroyed meanwhile is skipped; one
  // created meanwhile waits for the next change). Every message goes on to
  // DefWindowProc.
  void WndProc(TMessage& Message);
  // True while the notifiers are being told.
  bool Notifying() const { return FNotifying; }

private:
  bool Listed(const TcxSystemPaletteChangedNotifier* ANotifier) const;
  void NotifyAll(const std::vector<TcxSystemPaletteChangedNotifier*>& ANotifiers);

  HWND FWindow = 0;
  std::vector<TcxSystemPaletteChangedNotifier*> FPrimaryNotifiers;
  std::vector<TcxSystemPaletteChangedNotifier*> FNotifiers;
  bool FNotifying = false;
};

// The listener while any notifier exists, else nullptr.
TcxSystemPaletteChangedListener* SystemPaletteChangedListener();

// ---------------------------------------------------------------------------
// Unit start-up and finalisation

// Creates the root look-and-feel (finalising a running unit first). Runs by
// itself when a look-and-feel or a controller is created and the unit has
// not started.
void cxLookAndFeelsInitialize();
// Frees the root; objects that still live keep their values and have no
// root until the unit starts again.
void cxLookAndFeelsFinalize();
// The root look-and-feel (nullptr before start-up and after finalisation).
TcxLookAndFeel* RootLookAndFeel();
