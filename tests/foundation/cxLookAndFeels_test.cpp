#include "foundation/cxLookAndFeels.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "foundation/cxPainterImages.h"
#include "foundation/qzOffice11.h"
#include "foundation/qzThemeManager.h"
#include "foundation/qzUxTheme.h"
#include "platform/gui/application.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/colors.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/exceptions.h"

namespace {

// ---- Stand-in painter classes ------------------------------------------------------------
// The painter hierarchy is defined elsewhere; the registry only keeps and
// compares references, so distinct addresses stand for distinct classes.

alignas(std::max_align_t) unsigned char GPainterStandIns[6][16];
TcxCustomLookAndFeelPainterClass StandIn(int AIndex) {
  return reinterpret_cast<TcxCustomLookAndFeelPainterClass>(GPainterStandIns[AIndex]);
}
const TcxCustomLookAndFeelPainterClass FlatPainter = StandIn(0);
const TcxCustomLookAndFeelPainterClass StandardPainter = StandIn(1);
const TcxCustomLookAndFeelPainterClass UltraFlatPainter = StandIn(2);
const TcxCustomLookAndFeelPainterClass Office11Painter = StandIn(3);
const TcxCustomLookAndFeelPainterClass NativePainter = StandIn(4);
const TcxCustomLookAndFeelPainterClass OwnPainter = StandIn(5);

void RegisterStandIns() {
  RegisterLookAndFeelPainter(lfFlat, FlatPainter);
  RegisterLookAndFeelPainter(lfStandard, StandardPainter);
  RegisterLookAndFeelPainter(lfUltraFlat, UltraFlatPainter);
  RegisterLookAndFeelPainter(lfOffice11, Office11Painter);
  RegisterNativeLookAndFeelPainter(NativePainter);
}

// The registry as the painter units left it, restored after each test.
struct TSavedPainters {
  std::vector<TcxCustomLookAndFeelPainterClass> Kinds;
  TcxCustomLookAndFeelPainterClass Native = nullptr;
  void Save() {
    Kinds.clear();
    for (Integer kind = lfFlat; kind <= lfOffice11; ++kind)
      Kinds.push_back(LookAndFeelPainterOfKind(static_cast<TcxLookAndFeelKind>(kind)));
    Native = NativeLookAndFeelPainter();
  }
  void Restore() const {
    for (Integer kind = lfFlat; kind <= lfOffice11; ++kind)
      RegisterLookAndFeelPainter(static_cast<TcxLookAndFeelKind>(kind), Kinds[static_cast<size_t>(kind)]);
    RegisterNativeLookAndFeelPainter(Native);
  }
};

void ClearPainters() {
  for (Integer kind = lfFlat; kind <= lfOffice11; ++kind)
    RegisterLookAndFeelPainter(static_cast<TcxLookAndFeelKind>(kind), nullptr);
  RegisterNativeLookAndFeelPainter(nullptr);
}

// ---- A theme library with visual styles on ----------------------------------------------

struct TFakeTheme {
  bool Active = true;
  std::set<std::string> Unknown;  // class names that do not open
  HTHEME Next = 100;
} GTheme;

HTHEME FakeOpen(HWND, const Char* AClassList) {
  return GTheme.Unknown.count(StringToUTF8(AClassList)) ? 0 : GTheme.Next++;
}
HRESULT FakeClose(HTHEME) { return S_OK; }
bool FakeActive() { return GTheme.Active; }

void UseThemedLibrary() {
  qzThemeManagerFinalize();
  auto library = std::make_unique<TqzThemeLibrary>();
  library->AddProc("OpenThemeData", &FakeOpen);
  library->AddProc("CloseThemeData", &FakeClose);
  library->AddProc("IsThemeActive", &FakeActive);
  qzUxThemeInitialize(5, 1, std::move(library));
  qzThemeManagerInitialize();
}

// ---- Recorders ---------------------------------------------------------------------------

// Records OnChanged notices of look-and-feels as "name:values".
struct TChangeLog {
  std::vector<std::string> Entries;
  void Watch(TcxLookAndFeel* ALookAndFeel, const std::string& AName) {
    ALookAndFeel->OnChanged = TcxLookAndFeelChangedEvent(
        ALookAndFeel, [this, AName](TcxLookAndFeel*, TcxLookAndFeelValues AValues) {
          Entries.push_back(AName + ":" + std::to_string(AValues));
        });
  }
  std::vector<std::string> Take() { return std::exchange(Entries, {}); }
};

// A listener that records its notices and may run an action on the next one.
class TTestObserver : public TObject, public IcxLookAndFeelObserver {
public:
  TTestObserver(std::string AName, std::vector<std::string>& ALog) : FName(std::move(AName)), FLog(ALog) {}
  TObject* GetObject() override { return this; }
  void MasterChanged(TcxLookAndFeel*, TcxLookAndFeelValues AValues) override {
    FLog.push_back(FName + ":" + std::to_string(AValues));
    if (OnNotice) std::exchange(OnNotice, nullptr)();
  }
  void MasterDestroying(TcxLookAndFeel*) override { FLog.push_back(FName + ":destroying"); }
  std::function<void()> OnNotice;

private:
  std::string FName;
  std::vector<std::string>& FLog;
};

// A look-and-feel that chooses its painter itself.
class TOwnPainterLookAndFeel : public TcxLookAndFeel {
public:
  explicit TOwnPainterLookAndFeel(TPersistent* AOwner) : TcxLookAndFeel(AOwner) {
    SetExplicitPainterClass(OwnPainter);
  }
};

class cxLookAndFeelsTest : public ::testing::Test {
protected:
  void SetUp() override {
    GTheme = TFakeTheme{};
    cxLookAndFeelsInitialize();
    FSavedPainters.Save();
    ClearPainters();
  }
  void TearDown() override {
    cxLookAndFeelsFinalize();
    FSavedPainters.Restore();
    qzThemeManagerFinalize();
    qzUxThemeFinalize();
    SetSysColorTable(DefaultSysColorTable());
    Office11SchemeRefresh();
  }
  static TcxLookAndFeel* Root() { return RootLookAndFeel(); }
  // The root goes, and so do the painter images' notifier; then no palette
  // notifier should be left (unless some test leaked one).
  static void ReleaseAllNotifiers() {
    cxLookAndFeelsFinalize();
    cxPainterImagesFinalize();
    ASSERT_EQ(SystemPaletteChangedListener(), nullptr) << "a palette notifier outlived its test";
  }

private:
  TSavedPainters FSavedPainters;
};

// ---- Defaults and the tree ---------------------------------------------------------------

TEST_F(cxLookAndFeelsTest, ANewLookAndFeelTakesTheDefaultsAndJoinsTheRoot) {
  ASSERT_NE(Root(), nullptr);
  EXPECT_TRUE(Root()->IsRootLookAndFeel());
  TcxLookAndFeel lf(nullptr);
  EXPECT_EQ(lf.Kind(), lfUltraFlat);
  EXPECT_FALSE(lf.NativeStyle());
  EXPECT_EQ(lf.AssignedValues(), 0u);
  EXPECT_FALSE(lf.IsKindStored());
  EXPECT_FALSE(lf.IsNativeStyleStored());
  EXPECT_FALSE(lf.IsRootLookAndFeel());
  EXPECT_EQ(lf.Master(), nullptr);
  EXPECT_EQ(lf.EffectiveMaster(), Root());
  EXPECT_EQ(Root()->EffectiveMaster(), nullptr);
  EXPECT_TRUE(Root()->HasChangeListener(&lf));

  // Values assigned to the root reach objects created later.
  Root()->SetKind(lfOffice11);
  Root()->SetNativeStyle(true);
  TcxLookAndFeel later(nullptr);
  EXPECT_EQ(later.Kind(), lfOffice11);
  EXPECT_TRUE(later.NativeStyle());
  EXPECT_EQ(later.AssignedValues(), 0u);
}

TEST_F(cxLookAndFeelsTest, ChangesFlowDownToObjectsThatDoNotAssignTheValue) {
  TcxLookAndFeel master(nullptr), inheriting(nullptr), assigning(nullptr), grandchild(nullptr);
  inheriting.SetMaster(&master);
  assigning.SetMaster(&master);
  grandchild.SetMaster(&inheriting);
  assigning.SetKind(lfStandard);
  TChangeLog log;
  log.Watch(&master, "master");
  log.Watch(&inheriting, "inheriting");
  log.Watch(&assigning, "assigning");
  log.Watch(&grandchild, "grandchild");

  master.SetKind(lfFlat);
  EXPECT_EQ(master.Kind(), lfFlat);
  EXPECT_EQ(inheriting.Kind(), lfFlat);
  EXPECT_EQ(grandchild.Kind(), lfFlat);
  EXPECT_EQ(assigning.Kind(), lfStandard);
  // Each listener hears before its master's own event; the assigning child
  // is told nothing.
  EXPECT_EQ(log.Take(), (std::vector<std::string>{"grandchild:1", "inheriting:1", "master:1"}));

  // From the root down through the whole chain.
  Root()->SetNativeStyle(true);
  EXPECT_TRUE(grandchild.NativeStyle());
  EXPECT_TRUE(assigning.NativeStyle());
  EXPECT_EQ(log.Take(), (std::vector<std::string>{"grandchild:2", "inheriting:2", "assigning:2", "master:2"}));

  // Setting a value the object already shows assigns it without a notice.
  inheriting.SetKind(lfFlat);
  EXPECT_EQ(inheriting.AssignedValues(), TcxLookAndFeelValues(lfvKind));
  EXPECT_TRUE(inheriting.IsKindStored());
  EXPECT_TRUE(log.Take().empty());
  master.SetKind(lfOffice11);  // inheriting now keeps its own Kind
  EXPECT_EQ(grandchild.Kind(), lfFlat);
  EXPECT_EQ(log.Take(), (std::vector<std::string>{"master:1"}));
}

TEST_F(cxLookAndFeelsTest, AssignedValuesDecideWhereEachValueComesFrom) {
  TcxLookAndFeel master(nullptr), lf(nullptr);
  lf.SetMaster(&master);
  master.SetKind(lfStandard);
  lf.SetKind(lfFlat);
  lf.SetNativeStyle(true);
  TChangeLog log;
  log.Watch(&lf, "lf");

  lf.SetAssignedValues(lfvNativeStyle);  // Kind falls back to the master's
  EXPECT_EQ(lf.Kind(), lfStandard);
  EXPECT_TRUE(lf.NativeStyle());
  lf.SetAssignedValues(lfvNativeStyle);  // no change
  lf.SetAssignedValues(cxAllLookAndFeelValues);  // the own Kind was kept
  EXPECT_EQ(lf.Kind(), lfFlat);
  lf.SetAssignedValues(0);
  EXPECT_EQ(lf.Kind(), lfStandard);
  EXPECT_FALSE(lf.NativeStyle());
  EXPECT_EQ(log.Take(), (std::vector<std::string>{"lf:1", "lf:1", "lf:3"}));
  // Unknown bits are not kept.
  lf.SetAssignedValues(0xFF);
  EXPECT_EQ(lf.AssignedValues(), cxAllLookAndFeelValues);
}

TEST_F(cxLookAndFeelsTest, SetMasterRules) {
  TcxLookAndFeel a(nullptr), b(nullptr), c(nullptr);
  b.SetMaster(&a);
  c.SetMaster(&b);
  a.SetKind(lfFlat);
  TChangeLog log;
  log.Watch(&a, "a");
  log.Watch(&b, "b");
  log.Watch(&c, "c");

  // Ignored: on the root, for the object itself, for the current effective
  // master, for the root as master of an object without master, and for a
  // master whose masters lead back to the object (a cycle).
  Root()->SetMaster(&a);
  EXPECT_EQ(Root()->Master(), nullptr);
  EXPECT_EQ(Root()->EffectiveMaster(), nullptr);
  b.SetMaster(&b);
  b.SetMaster(&a);
  a.SetMaster(Root());
  EXPECT_EQ(a.Master(), nullptr);
  a.SetMaster(&c);
  EXPECT_EQ(a.Master(), nullptr);
  a.SetMaster(&b);
  EXPECT_EQ(a.Master(), nullptr);
  EXPECT_EQ(a.Kind(), lfFlat);  // effective values still computable: no cycle
  EXPECT_EQ(c.EffectiveKind(), lfFlat);
  EXPECT_TRUE(log.Take().empty());

  // Moving c to the root: it leaves b, joins the root, hears the difference.
  c.SetMaster(nullptr);
  EXPECT_EQ(c.Master(), nullptr);
  EXPECT_FALSE(b.HasChangeListener(&c));
  EXPECT_TRUE(Root()->HasChangeListener(&c));
  EXPECT_EQ(c.Kind(), lfUltraFlat);
  EXPECT_EQ(log.Take(), (std::vector<std::string>{"c:1"}));
  // And back under b: the root lets it go.
  c.SetMaster(&b);
  EXPECT_FALSE(Root()->HasChangeListener(&c));
  EXPECT_TRUE(b.HasChangeListener(&c));
  EXPECT_EQ(c.Kind(), lfFlat);
  // A change of master that shows no difference is not notified.
  TcxLookAndFeel sameKind(nullptr);
  sameKind.SetKind(lfFlat);
  c.SetMaster(&sameKind);
  EXPECT_EQ(log.Take(), (std::vector<std::string>{"c:1"}));
}

TEST_F(cxLookAndFeelsTest, ADestroyedMasterHandsItsListenersToTheRoot) {
  Root()->SetKind(lfStandard);
  TcxLookAndFeel child(nullptr), grandchild(nullptr);
  TChangeLog log;
  log.Watch(&child, "child");
  log.Watch(&grandchild, "grandchild");
  {
    TcxLookAndFeel master(nullptr);
    master.SetKind(lfOffice11);
    child.SetMaster(&master);
    grandchild.SetMaster(&child);
    EXPECT_EQ(grandchild.Kind(), lfOffice11);
    log.Take();
  }
  EXPECT_EQ(child.Master(), nullptr);
  EXPECT_TRUE(Root()->HasChangeListener(&child));
  EXPECT_EQ(child.Kind(), lfStandard);
  EXPECT_EQ(grandchild.Kind(), lfStandard);
  EXPECT_EQ(log.Take(), (std::vector<std::string>{"grandchild:1", "child:1"}));
}

TEST_F(cxLookAndFeelsTest, AListenerIsToldOfItsMastersDestructionOnce) {
  std::vector<std::string> notices;
  TTestObserver first("first", notices), second("second", notices);
  {
    TcxLookAndFeel master(nullptr);
    master.AddChangeListener(&first);
    master.AddChangeListener(&first);  // added once
    master.AddChangeListener(&second);
    EXPECT_EQ(master.ChangeListenerCount(), 2);
    master.SetKind(lfFlat);
    EXPECT_EQ(notices, (std::vector<std::string>{"first:1", "second:1"}));
    notices.clear();
    master.RemoveChangeListener(&second);
    master.RemoveChangeListener(&second);  // absent: nothing
    master.AddChangeListener(&second);
  }
  // Destruction mutes change notices: nothing but the destruction is heard.
  EXPECT_EQ(notices, (std::vector<std::string>{"first:destroying", "second:destroying"}));
}

TEST_F(cxLookAndFeelsTest, ListenersThatLeaveDuringANoticeDoNotMakeOthersBeSkipped) {
  struct TCase {
    const char* Name;
    int Remover;  // which listener acts on its notice
    int Removed;  // which listener it removes
    std::vector<std::string> Heard;
  };
  const std::vector<TCase> cases = {
      {"itself", 1, 1, {"l0:1", "l1:1", "l2:1", "l3:1"}},
      {"an earlier one", 2, 0, {"l0:1", "l1:1", "l2:1", "l3:1"}},
      {"a later one", 1, 2, {"l0:1", "l1:1", "l3:1"}},
      {"the last one, itself", 3, 3, {"l0:1", "l1:1", "l2:1", "l3:1"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::vector<std::string> heard;
    std::vector<std::unique_ptr<TTestObserver>> listeners;
    TcxLookAndFeel master(nullptr);
    for (int i = 0; i < 4; ++i) {
      listeners.push_back(std::make_unique<TTestObserver>("l" + std::to_string(i), heard));
      master.AddChangeListener(listeners.back().get());
    }
    TTestObserver* removed = listeners[static_cast<size_t>(c.Removed)].get();
    listeners[static_cast<size_t>(c.Remover)]->OnNotice = [&] { master.RemoveChangeListener(removed); };
    master.SetKind(lfFlat);
    EXPECT_EQ(heard, c.Heard);
    EXPECT_FALSE(master.HasChangeListener(removed));
    EXPECT_EQ(master.ChangeListenerCount(), 3);
    // The next notice reaches the remaining ones.
    heard.clear();
    master.SetKind(lfStandard);
    EXPECT_EQ(heard.size(), 3u);
  }
}

TEST_F(cxLookAndFeelsTest, AListenerDestroyedDuringItsNoticeLeavesSafely) {
  TcxLookAndFeel master(nullptr);
  auto* child = new TcxLookAndFeel(nullptr);
  TcxLookAndFeel after(nullptr);
  child->SetMaster(&master);
  after.SetMaster(&master);
  TChangeLog log;
  log.Watch(&after, "after");
  child->OnChanged =
      TcxLookAndFeelChangedEvent(child, [child](TcxLookAndFeel*, TcxLookAndFeelValues) { delete child; });
  master.SetKind(lfFlat);
  EXPECT_EQ(master.ChangeListenerCount(), 1);
  EXPECT_EQ(log.Take(), (std::vector<std::string>{"after:1"}));
}

TEST_F(cxLookAndFeelsTest, AssignCopiesValuesAndMasterWithOneNotice) {
  TcxLookAndFeel master(nullptr), source(nullptr), target(nullptr);
  master.SetNativeStyle(true);
  source.SetMaster(&master);
  source.SetKind(lfOffice11);
  TChangeLog log;
  log.Watch(&target, "target");

  target.Assign(&source);
  EXPECT_EQ(target.Master(), &master);
  EXPECT_EQ(target.AssignedValues(), TcxLookAndFeelValues(lfvKind));
  EXPECT_EQ(target.Kind(), lfOffice11);
  EXPECT_TRUE(target.NativeStyle());
  EXPECT_EQ(log.Take(), (std::vector<std::string>{"target:3"}));

  // From an object under the root: the target goes back under the root.
  TcxLookAndFeel plain(nullptr);
  target.Assign(&plain);
  EXPECT_EQ(target.EffectiveMaster(), Root());
  EXPECT_TRUE(Root()->HasChangeListener(&target));
  EXPECT_FALSE(master.HasChangeListener(&target));
  EXPECT_EQ(target.Kind(), lfUltraFlat);
  EXPECT_EQ(log.Take(), (std::vector<std::string>{"target:3"}));

  // From the root: its values, and no master.
  Root()->SetKind(lfFlat);
  log.Take();
  target.Assign(Root());
  EXPECT_EQ(target.AssignedValues(), TcxLookAndFeelValues(lfvKind));
  EXPECT_EQ(target.Kind(), lfFlat);

  // Anything else cannot be assigned.
  TPersistent other;
  EXPECT_THROW(target.Assign(&other), EConvertError);
  // A look-and-feel is made by its class reference with an owner.
  std::unique_ptr<TcxInterfacedPersistent> made(TcxLookAndFeel::StaticClass()->Create(&other));
  EXPECT_EQ(made->GetOwner(), &other);
  EXPECT_TRUE(made->InheritsFrom<TcxLookAndFeel>());
}

TEST_F(cxLookAndFeelsTest, NestedChangeBracketsNotifyOnceAtTheEnd) {
  TcxLookAndFeel lf(nullptr);
  TChangeLog log;
  log.Watch(&lf, "lf");
  lf.BeginChange();
  lf.BeginChange();
  lf.SetAssignedValues(lfvNativeStyle);  // no visible change: own value false
  Root()->SetNativeStyle(true);           // not heard: lf assigns NativeStyle now
  lf.EndChange();
  EXPECT_TRUE(log.Take().empty());
  lf.SetAssignedValues(0);  // still inside: the saved values stay
  lf.EndChange();
  EXPECT_EQ(log.Take(), (std::vector<std::string>{"lf:2"}));
  lf.EndChange();  // unbalanced: nothing
  EXPECT_TRUE(log.Take().empty());
}

// ---- Controllers -------------------------------------------------------------------------

TEST_F(cxLookAndFeelsTest, ControllersSetTheRootsValues) {
  TcxLookAndFeel lf(nullptr);
  auto first = std::make_unique<TcxLookAndFeelController>(nullptr);
  auto second = std::make_unique<TcxLookAndFeelController>(nullptr);
  EXPECT_TRUE(Root()->HasChangeListener(first.get()));
  EXPECT_EQ(first->Kind(), lfUltraFlat);
  EXPECT_FALSE(first->NativeStyle());

  first->SetKind(lfStandard);
  second->SetNativeStyle(true);
  EXPECT_EQ(Root()->AssignedValues(), cxAllLookAndFeelValues);
  EXPECT_EQ(second->Kind(), lfStandard);
  EXPECT_TRUE(first->NativeStyle());
  EXPECT_EQ(lf.Kind(), lfStandard);
  EXPECT_TRUE(lf.NativeStyle());

  // A controller is accepted only by the root.
  TcxLookAndFeel other(nullptr);
  other.AddChangeListener(first.get());
  EXPECT_FALSE(other.HasChangeListener(first.get()));

  // The values stay while a controller is left; the last one takes them.
  TChangeLog log;
  log.Watch(&lf, "lf");
  first.reset();
  EXPECT_EQ(Root()->AssignedValues(), cxAllLookAndFeelValues);
  second.reset();
  EXPECT_EQ(Root()->AssignedValues(), 0u);
  EXPECT_EQ(lf.Kind(), lfUltraFlat);
  EXPECT_FALSE(lf.NativeStyle());
  EXPECT_EQ(log.Take(), (std::vector<std::string>{"lf:3"}));
}

TEST_F(cxLookAndFeelsTest, ControllerAndObjectsOutliveTheRoot) {
  TcxLookAndFeelController controller(nullptr);
  controller.SetKind(lfFlat);
  TcxLookAndFeel lf(nullptr), other(nullptr), rootAsMaster(nullptr);
  rootAsMaster.SetMaster(&other);
  rootAsMaster.SetMaster(Root());  // the root becomes its explicit master
  EXPECT_EQ(rootAsMaster.Master(), Root());
  cxLookAndFeelsFinalize();
  EXPECT_EQ(RootLookAndFeel(), nullptr);
  EXPECT_EQ(rootAsMaster.Master(), nullptr);
  // Without a root: defaults answered, writes ignored.
  EXPECT_EQ(controller.Kind(), lfUltraFlat);
  controller.SetNativeStyle(true);
  EXPECT_FALSE(controller.NativeStyle());
  EXPECT_EQ(lf.Kind(), lfFlat);  // the last values heard are kept
  EXPECT_EQ(lf.EffectiveMaster(), nullptr);
  EXPECT_EQ(lf.EffectiveKind(), lfUltraFlat);
  // A new object starts the unit again.
  TcxLookAndFeel later(nullptr);
  ASSERT_NE(RootLookAndFeel(), nullptr);
  EXPECT_TRUE(RootLookAndFeel()->HasChangeListener(&later));
}

// ---- Painters ----------------------------------------------------------------------------

TEST_F(cxLookAndFeelsTest, PainterRegistry) {
  EXPECT_EQ(LookAndFeelPainterOfKind(lfFlat), nullptr);
  EXPECT_EQ(NativeLookAndFeelPainter(), nullptr);
  RegisterStandIns();
  EXPECT_EQ(LookAndFeelPainterOfKind(lfFlat), FlatPainter);
  EXPECT_EQ(LookAndFeelPainterOfKind(lfOffice11), Office11Painter);
  EXPECT_EQ(LookAndFeelPainterOfKind(static_cast<TcxLookAndFeelKind>(4)), nullptr);
  EXPECT_EQ(LookAndFeelPainterOfKind(static_cast<TcxLookAndFeelKind>(-1)), nullptr);
  RegisterLookAndFeelPainter(static_cast<TcxLookAndFeelKind>(7), OwnPainter);  // ignored
  // One class may serve several kinds; unregistering clears every entry.
  RegisterLookAndFeelPainter(lfStandard, FlatPainter);
  UnregisterLookAndFeelPainter(FlatPainter);
  EXPECT_EQ(LookAndFeelPainterOfKind(lfFlat), nullptr);
  EXPECT_EQ(LookAndFeelPainterOfKind(lfStandard), nullptr);
  EXPECT_EQ(LookAndFeelPainterOfKind(lfUltraFlat), UltraFlatPainter);
  UnregisterLookAndFeelPainter(NativePainter);
  EXPECT_EQ(NativeLookAndFeelPainter(), nullptr);
}

TEST_F(cxLookAndFeelsTest, PainterChoiceByKindAndNativeStyle) {
  RegisterStandIns();
  TcxLookAndFeel lf(nullptr);
  struct TKindCase {
    TcxLookAndFeelKind Kind;
    TcxCustomLookAndFeelPainterClass Painter;
  };
  for (const TKindCase& c : {TKindCase{lfFlat, FlatPainter}, TKindCase{lfStandard, StandardPainter},
                             TKindCase{lfUltraFlat, UltraFlatPainter}, TKindCase{lfOffice11, Office11Painter}}) {
    lf.SetKind(c.Kind);
    EXPECT_EQ(lf.GetPainterClass(), c.Painter);
    EXPECT_EQ(lf.Painter(), c.Painter);
    EXPECT_EQ(lf.PainterForThemeClass(thcScrollBar), c.Painter);
  }
  // Native style without visual styles (this platform): the painter of Kind.
  lf.SetNativeStyle(true);
  EXPECT_EQ(lf.GetPainterClass(), Office11Painter);
  EXPECT_EQ(lf.PainterForThemeClass(thcScrollBar), Office11Painter);

  // With visual styles: the native painter; per theme class only when that
  // class opens.
  GTheme.Unknown = {"ScrollBar"};
  UseThemedLibrary();
  EXPECT_EQ(lf.GetPainterClass(), NativePainter);
  EXPECT_EQ(lf.PainterForThemeClass(thcButton), NativePainter);
  EXPECT_EQ(lf.PainterForThemeClass(thcScrollBar), Office11Painter);
  // Native style off, or no native painter registered: the painter of Kind.
  RegisterNativeLookAndFeelPainter(nullptr);
  EXPECT_EQ(lf.GetPainterClass(), Office11Painter);
  RegisterNativeLookAndFeelPainter(NativePainter);
  lf.SetNativeStyle(false);
  EXPECT_EQ(lf.GetPainterClass(), Office11Painter);
  // Visual styles turned off by the user.
  lf.SetNativeStyle(true);
  GTheme.Active = false;
  NotifyThemeChanged();
  EXPECT_EQ(lf.GetPainterClass(), Office11Painter);

  // A descendant's own painter wins over everything.
  TOwnPainterLookAndFeel own(nullptr);
  EXPECT_EQ(own.GetPainterClass(), OwnPainter);
  EXPECT_EQ(own.PainterForThemeClass(thcScrollBar), OwnPainter);
}

// ---- System colour changes ---------------------------------------------------------------

TEST_F(cxLookAndFeelsTest, ColourChangeTellsPrimaryNotifiersFirstEachFromTheLast) {
  std::vector<std::string> heard;
  auto make = [&](const std::string& AName, bool APrimary) {
    auto notifier = std::make_unique<TcxSystemPaletteChangedNotifier>(APrimary);
    notifier->OnSystemPaletteChanged =
        TcxSystemPaletteChangedEvent(notifier.get(), [&heard, AName] { heard.push_back(AName); });
    return notifier;
  };
  auto other1 = make("other1", false);
  auto primary1 = make("primary1", true);
  auto other2 = make("other2", false);
  auto primary2 = make("primary2", true);
  TcxLookAndFeel lf(nullptr);
  TChangeLog log;
  log.Watch(&lf, "lf");
  log.Watch(Root(), "root");

  TcxSystemPaletteChangedListener* listener = SystemPaletteChangedListener();
  ASSERT_NE(listener, nullptr);
  EXPECT_EQ(listener->PrimaryNotifierCount(), 2);
  SendToTopLevelWindows(WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(heard, (std::vector<std::string>{"primary2", "primary1", "other2", "other1"}));
  // Every look-and-feel hears a NativeStyle change (the last-made first;
  // the root's notice passes on to its listeners).
  EXPECT_EQ(log.Take(), (std::vector<std::string>{"lf:2", "lf:2", "root:2"}));

  // Other messages pass by.
  heard.clear();
  SendMessage(listener->Handle(), WM_THEMECHANGED, 0, 0);
  EXPECT_TRUE(heard.empty());
}

TEST_F(cxLookAndFeelsTest, ColourChangeRecomputesTheOffice11Colours) {
  TSysColorTable table = DefaultSysColorTable();
  table[COLOR_BTNFACE] = RGB(100, 120, 140);
  SetSysColorTable(table);
  EXPECT_NE(Office11Color(o11BaseFace), RGB(100, 120, 140));
  SendMessage(SystemPaletteChangedListener()->Handle(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(Office11Color(o11BaseFace), RGB(100, 120, 140));
}

TEST_F(cxLookAndFeelsTest, TheListenerLivesWhileNotifiersDoAndHoldsTheOffice11Scheme) {
  ReleaseAllNotifiers();
  EXPECT_EQ(Office11Brush(o11Highlight), nullptr);
  {
    TcxSystemPaletteChangedNotifier a, b(true);
    TcxSystemPaletteChangedListener* listener = SystemPaletteChangedListener();
    ASSERT_NE(listener, nullptr);
    EXPECT_TRUE(IsWindow(listener->Handle()));
    EXPECT_NE(Office11Brush(o11Highlight), nullptr);
    {
      TcxSystemPaletteChangedNotifier c;
      EXPECT_EQ(SystemPaletteChangedListener(), listener);
      EXPECT_EQ(listener->NotifierCount(), 2);
    }
    EXPECT_EQ(listener->NotifierCount(), 1);
  }
  EXPECT_EQ(SystemPaletteChangedListener(), nullptr);
  EXPECT_EQ(Office11Brush(o11Highlight), nullptr);
}

TEST_F(cxLookAndFeelsTest, NotifiersDestroyedDuringTheNoticeAreSkippedAndTheLastTakesTheListener) {
  ReleaseAllNotifiers();
  std::vector<std::string> heard;
  auto* first = new TcxSystemPaletteChangedNotifier;
  auto* second = new TcxSystemPaletteChangedNotifier;
  auto* third = new TcxSystemPaletteChangedNotifier;
  // Told last to first: third frees second (not yet told), then first frees
  // itself, the last notifier.
  third->OnSystemPaletteChanged = TcxSystemPaletteChangedEvent(third, [&] {
    heard.push_back("third");
    delete second;
    delete third;
  });
  second->OnSystemPaletteChanged = TcxSystemPaletteChangedEvent(second, [&] { heard.push_back("second"); });
  first->OnSystemPaletteChanged = TcxSystemPaletteChangedEvent(first, [&] {
    heard.push_back("first");
    delete first;
  });
  HWND window = SystemPaletteChangedListener()->Handle();
  SendMessage(window, WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(heard, (std::vector<std::string>{"third", "first"}));
  EXPECT_EQ(SystemPaletteChangedListener(), nullptr);
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(cxLookAndFeelsTest, ANotifiersErrorGoesToTheApplicationAndOthersAreStillTold) {
  std::vector<std::string> heard;
  TcxSystemPaletteChangedNotifier quiet, failing;
  quiet.OnSystemPaletteChanged = TcxSystemPaletteChangedEvent(&quiet, [&] { heard.push_back("quiet"); });
  failing.OnSystemPaletteChanged = TcxSystemPaletteChangedEvent(&failing, [] { throw Exception(u"broken"); });
  std::vector<String> handled;
  const TExceptionEvent previous = Application->OnException;
  Application->OnException =
      TExceptionEvent(&handled, [&](TObject*, Exception* E) { handled.push_back(E->Message); });
  SendMessage(SystemPaletteChangedListener()->Handle(), WM_SYSCOLORCHANGE, 0, 0);
  Application->OnException = previous;
  EXPECT_EQ(handled, (std::vector<String>{u"broken"}));
  EXPECT_EQ(heard, (std::vector<std::string>{"quiet"}));
}

}  // namespace
