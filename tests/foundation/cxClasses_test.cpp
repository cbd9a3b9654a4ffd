#include "foundation/cxClasses.h"

#include <gtest/gtest.h>

#include "platform/rtl/encoding.h"
#include "platform/rtl/exceptions.h"

namespace {

std::string Utf8(const String& s) { return StringToUTF8(s); }

// ---- Message texts ----------------------------------------------------------------------------

constexpr TResourceString sTestHello{64960, u"Hello"};
constexpr TResourceString sTestOther{64961, u"Other"};

TEST(cxClassesText, LoadResourceTextWithAndWithoutReplacement) {
  EXPECT_EQ(Utf8(LoadResourceText(sTestHello)), "Hello");

  InstallTextReplacementTable({u"Hello", u"hello", u"Unpaired"}, {u"你好", u"lower"});
  EXPECT_EQ(Utf8(LoadResourceText(sTestHello)), "你好");
  EXPECT_EQ(Utf8(LoadResourceText(sTestOther)), "Other");  // not in the table
  String Result = u"stale";
  ApplyTextReplacement(u"hello", Result);  // exact, case-sensitive
  EXPECT_EQ(Utf8(Result), "lower");
  ApplyTextReplacement(u"HELLO", Result);
  EXPECT_EQ(Utf8(Result), "HELLO");
  ApplyTextReplacement(u"Unpaired", Result);  // a text without replacement is ignored
  EXPECT_EQ(Utf8(Result), "Unpaired");

  InstallTextReplacementTable({u"Other"}, {u"其他"});  // replaces the former table
  EXPECT_EQ(Utf8(LoadResourceText(sTestHello)), "Hello");
  EXPECT_EQ(Utf8(LoadResourceText(sTestOther)), "其他");

  UninstallTextReplacementTable();
  EXPECT_EQ(Utf8(LoadResourceText(sTestOther)), "Other");
  UninstallTextReplacementTable();  // twice is harmless
}

// ---- Registered classes ------------------------------------------------------------------------

class TcxTestRegA : public TcxInterfacedPersistent {
  KORVANE_CLASS(TcxTestRegA, TcxInterfacedPersistent)
  using TcxInterfacedPersistent::TcxInterfacedPersistent;
};
class TcxTestRegB : public TcxInterfacedPersistent {
  KORVANE_CLASS(TcxTestRegB, TcxInterfacedPersistent)
  using TcxInterfacedPersistent::TcxInterfacedPersistent;
};

TEST(cxClassesRegistry, ClassesInRegistrationOrder) {
  TcxRegisteredClasses Classes(false);
  Classes.AddClass(ClassOf<TcxTestRegB>(), u"B|second");
  Classes.AddClass(ClassOf<TcxTestRegA>(), u"A|first");
  Classes.AddClass(ClassOf<TcxTestRegB>(), u"B again");  // ignored
  Classes.AddClass(nullptr, u"nothing");                  // ignored
  ASSERT_EQ(Classes.Count(), 2);
  EXPECT_EQ(Classes.ClassAt(0), ClassOf<TcxTestRegB>());
  EXPECT_EQ(Utf8(Classes.Descriptions(0)), "B|second");
  EXPECT_EQ(Classes.IndexOfClass(ClassOf<TcxTestRegA>()), 1);
  EXPECT_THROW(Classes.ClassAt(2), EListError);

  EXPECT_EQ(Classes.FindByClassName(u"TcxTestRegA"), ClassOf<TcxTestRegA>());
  EXPECT_EQ(Classes.FindByClassName(u"tcxtestrega"), nullptr);  // case-sensitive
  EXPECT_EQ(Classes.FindByClassName(u"TcxTestRegC"), nullptr);
  EXPECT_EQ(GetClass(u"TcxTestRegA"), nullptr);  // not registered for streaming

  Classes.RemoveClass(ClassOf<TcxTestRegB>());
  EXPECT_EQ(Classes.Count(), 1);
  Classes.Clear();
  EXPECT_EQ(Classes.Count(), 0);
}

TEST(cxClassesRegistry, RegisterClassesFlagRegistersForStreaming) {
  TcxRegisteredClasses Classes(true);
  Classes.AddClass(ClassOf<TcxTestRegA>(), u"A");
  EXPECT_EQ(GetClass(u"TcxTestRegA"), ClassOf<TcxTestRegA>());
  UnRegisterClass(ClassOf<TcxTestRegA>());

  // The class reference creates instances with their owner.
  TPersistent Owner;
  auto Class = dynamic_cast<TcxInterfacedPersistentClass>(Classes.ClassAt(0));
  ASSERT_NE(Class, nullptr);
  std::unique_ptr<TcxInterfacedPersistent> Made(Class->Create(&Owner));
  EXPECT_TRUE(Made->InheritsFrom<TcxTestRegA>());
  EXPECT_EQ(Made->GetOwner(), &Owner);
}

// ---- Object links ------------------------------------------------------------------------------

// A component that frees itself while it handles a message.
class TcxTestSelfFreeing : public TcxComponent {
  KORVANE_CLASS(TcxTestSelfFreeing, TcxComponent)
  using TcxComponent::TcxComponent;
  void HandleMessage() { Free(); }
};

TEST(cxClassesObjectLinks, TargetDestroyedDuringHandlingLeavesLinkEmpty) {
  TcxComponent Bystander(nullptr);
  TcxObjectLink* Outer = AddObjectLink(&Bystander);
  auto* Watched = new TcxTestSelfFreeing(nullptr);
  TcxObjectLink* Guard = AddObjectLink(Watched);
  TcxObjectLink* Second = AddObjectLink(Watched);
  Watched->HandleMessage();
  EXPECT_EQ(Guard->Target, nullptr);
  EXPECT_EQ(Second->Target, nullptr);
  EXPECT_EQ(Outer->Target, &Bystander);
  RemoveObjectLink(Guard);  // already out of the live list: nothing else changes
  RemoveObjectLink(Second);

  // The other link is still live and still cleared for its own object.
  ClearObjectLinks(&Bystander);
  EXPECT_EQ(Outer->Target, nullptr);
  RemoveObjectLink(Outer);
}

TEST(cxClassesObjectLinks, DestroyGuardTellsWhetherItsObjectOutlivedTheCall) {
  TcxComponent Bystander(nullptr);
  auto* Watched = new TcxTestSelfFreeing(nullptr);
  TcxDestroyGuard WatchedGuard(Watched), BystanderGuard(&Bystander);
  EXPECT_TRUE(WatchedGuard.Alive());
  Watched->HandleMessage();
  EXPECT_FALSE(WatchedGuard.Alive());
  EXPECT_TRUE(BystanderGuard.Alive());
}

TEST(cxClassesObjectLinks, LinksLeaveInAnyOrderAndControllerComesBack) {
  TObject A, B;
  for (int Round = 0; Round < 2; ++Round) {  // the controller is freed and made again
    TcxObjectLink* LinkA = AddObjectLink(&A);
    TcxObjectLink* LinkB = AddObjectLink(&B);
    TcxObjectLink* Empty = AddObjectLink(nullptr);
    EXPECT_EQ(Empty->Target, nullptr);
    RemoveObjectLink(LinkA);  // not the last one added
    RemoveObjectLink(Empty);
    ClearObjectLinks(&A);
    EXPECT_EQ(LinkB->Target, &B);
    ClearObjectLinks(&B);
    EXPECT_EQ(LinkB->Target, nullptr);
    RemoveObjectLink(LinkB);
  }
  ClearObjectLinks(&A);  // no controller: nothing happens
  RemoveObjectLink(nullptr);
}

// ---- Free notificator -----------------------------------------------------------------------

TEST(cxClassesFreeNotificator, ReportsWatchedComponentsOnly) {
  TcxFreeNotificator Notificator(nullptr);
  std::vector<std::pair<TObject*, TComponent*>> Removed;
  Notificator.OnComponentRemoved = TcxComponentRemovedEvent(
      &Removed, [&Removed](TObject* Sender, TComponent* C) { Removed.emplace_back(Sender, C); });
  auto* Watched = new TComponent(nullptr);
  auto* Withdrawn = new TComponent(nullptr);
  auto* Unwatched = new TComponent(nullptr);
  Notificator.AddSender(Watched);
  Notificator.AddSender(Withdrawn);
  Notificator.RemoveSender(Withdrawn);
  Notificator.AddSender(nullptr);
  Notificator.RemoveSender(nullptr);
  delete Watched;
  delete Withdrawn;
  delete Unwatched;
  ASSERT_EQ(Removed.size(), 1u);
  EXPECT_EQ(Removed[0].first, &Notificator);
  EXPECT_EQ(Removed[0].second, Watched);

  // A notificator that goes first leaves nothing behind in its senders.
  TComponent Sender(nullptr);
  {
    TcxFreeNotificator Early(nullptr);
    Early.AddSender(&Sender);
  }
}

// ---- TcxComponent ---------------------------------------------------------------------------

class TcxTestLinking : public TcxComponent {
  KORVANE_CLASS(TcxTestLinking, TcxComponent)
  using TcxComponent::TcxComponent;
  void CollectLinkedComponents(TList* AList) override {
    for (TComponent* C : Linked) AList->Add(C);
  }
  std::vector<TComponent*> Linked;
};

TEST(cxClassesComponent, RefreshLinkPropertiesAtDesignTimeOnly) {
  TComponent Owner(nullptr);
  auto* C = new TcxTestLinking(&Owner);
  TComponent L1(nullptr), L2(nullptr), L3(nullptr), L4(nullptr);
  C->Linked = {&L1, &L2, &L3, &L4};
  C->RefreshLinkProperties();  // run time: nothing
  EXPECT_EQ(C->FakeComponentLink1(), nullptr);

  C->SetDesigning(true);
  C->RefreshLinkProperties();
  EXPECT_EQ(C->FakeComponentLink1(), &L1);
  EXPECT_EQ(C->FakeComponentLink2(), &L2);
  EXPECT_EQ(C->FakeComponentLink3(), &L3);

  C->Linked = {&L4};
  C->SetLoading(true);
  C->SetLoading(false);  // Loaded refreshes
  EXPECT_EQ(C->FakeComponentLink1(), &L4);
  EXPECT_EQ(C->FakeComponentLink2(), nullptr);

  auto* Gone = new TComponent(nullptr);
  C->SetFakeComponentLink3(Gone);
  delete Gone;
  EXPECT_EQ(C->FakeComponentLink3(), nullptr);

  TcxTestLinking Orphan(nullptr);  // without an owner: nothing
  Orphan.Linked = {&L1};
  Orphan.SetDesigning(true);
  Orphan.RefreshLinkProperties();
  EXPECT_EQ(Orphan.FakeComponentLink1(), nullptr);
}

TEST(cxClassesComponent, DestroyingStateAndLinksOnDestruction) {
  auto* C = new TcxComponent(nullptr);
  TcxObjectLink* Link = AddObjectLink(C);
  C->BeforeDestruction();
  EXPECT_TRUE(C->IsDestroying());
  delete C;
  EXPECT_EQ(Link->Target, nullptr);
  RemoveObjectLink(Link);
}

// ---- TcxObjectList --------------------------------------------------------------------------

class TcxTestLogged : public TObject {
  KORVANE_CLASS(TcxTestLogged, TObject)
  TcxTestLogged() = default;
  TcxTestLogged(std::vector<int>* ALog, int AId) : FLog(ALog), FId(AId) {}
  ~TcxTestLogged() override { FLog->push_back(FId); }

private:
  std::vector<int>* FLog = nullptr;
  int FId = 0;
};

TEST(cxClassesObjectList, ClearFreesFirstToLast) {
  std::vector<int> Freed;
  {
    TcxObjectList List;
    for (int I = 1; I <= 3; ++I) List.Add(new TcxTestLogged(&Freed, I));
    EXPECT_EQ(List.GetItem(1)->ClassType(), ClassOf<TcxTestLogged>());
    List.Clear();
    EXPECT_EQ(List.Count(), 0);
    EXPECT_EQ(Freed, (std::vector<int>{1, 2, 3}));
    List.Add(new TcxTestLogged(&Freed, 4));
  }
  EXPECT_EQ(Freed, (std::vector<int>{1, 2, 3, 4}));  // the destructor frees the rest
}

// ---- DistributeWidth ---------------------------------------------------------------------------

struct TWidthCase {
  const char* Name;
  Integer Available;
  std::vector<Integer> Widths, MinWidths;
  std::vector<bool> Fixed;
  std::vector<Integer> Expected;
};

TEST(cxClassesAutoWidth, DistributeWidth) {
  const TWidthCase Cases[] = {
      {"all fixed", 300, {50, 70}, {0, 0}, {true, true}, {50, 70}},
      {"shares add up exactly", 100, {1, 1, 1}, {0, 0, 0}, {false, false, false}, {33, 34, 33}},
      {"proportional to width", 90, {10, 20}, {0, 0}, {false, false}, {30, 60}},
      {"fixed first, rest shared", 200, {50, 30, 30}, {0, 0, 0}, {true, false, false}, {50, 75, 75}},
      {"pinned at MinWidth", 200, {100, 100, 200}, {80, 0, 0}, {false, false, false}, {80, 40, 80}},
      {"pinned at MinWidth equal to share", 150, {100, 100, 100}, {50, 0, 0}, {false, false, false}, {50, 50, 50}},
      {"pinning cascades", 100, {10, 10, 80}, {30, 30, 0}, {false, false, false}, {30, 30, 40}},
      {"all widths zero", 100, {0, 0}, {10, 0}, {false, false}, {10, 0}},
      {"zero beside fixed", 100, {60, 0}, {0, 15}, {true, false}, {60, 15}},
      {"no room left", 100, {200, 100}, {0, 20}, {true, false}, {200, 20}},
      {"no items", 100, {}, {}, {}, {}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TcxAutoWidthObject Object(static_cast<Integer>(C.Widths.size()));
    Object.AvailableWidth = C.Available;
    for (size_t I = 0; I < C.Widths.size(); ++I) {
      TcxAutoWidthItem* Item = Object.NewItem();
      EXPECT_EQ(Item->AutoWidth, -1);
      Item->Width = C.Widths[I];
      Item->MinWidth = C.MinWidths[I];
      Item->Fixed = C.Fixed[I];
    }
    Object.DistributeWidth();
    std::vector<Integer> Actual;
    for (Integer I = 0; I < Object.Count(); ++I) Actual.push_back(Object.ItemAt(I)->AutoWidth);
    EXPECT_EQ(Actual, C.Expected);
  }
}

TEST(cxClassesAutoWidth, DistributingAgainFollowsTheNewWidth) {
  TcxAutoWidthObject Object(2);
  for (int I = 0; I < 2; ++I) Object.NewItem()->Width = 50;
  EXPECT_EQ(Object.TotalWidth(), 100);
  Object.AvailableWidth = 200;
  Object.DistributeWidth();
  Object.AvailableWidth = 60;
  Object.DistributeWidth();
  EXPECT_EQ(Object.ItemAt(0)->AutoWidth, 30);
  EXPECT_EQ(Object.ItemAt(1)->AutoWidth, 30);
}

}  // namespace
