#include "foundation/cxClasses.h"

#include <algorithm>
#include <memory>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"

// ---- Message texts ----------------------------------------------------------------------

namespace {

struct TTextReplacementTable {
  std::vector<String> Texts;
  std::vector<String> Replacements;
};

// Absent unless installed; freed at program end by the unique_ptr.
std::unique_ptr<TTextReplacementTable> TextReplacementTable;

}  // namespace

String LoadResourceText(const TResourceString& AResString) {
  String Result;
  ApplyTextReplacement(LoadResString(AResString), Result);
  return Result;
}

void ApplyTextReplacement(const String& AText, String& AResult) {
  AResult = AText;
  if (!TextReplacementTable) return;
  const auto& Texts = TextReplacementTable->Texts;
  const auto It = std::find(Texts.begin(), Texts.end(), AText);
  if (It != Texts.end()) AResult = TextReplacementTable->Replacements[It - Texts.begin()];
}

void InstallTextReplacementTable(const std::vector<String>& ATexts,
                                 const std::vector<String>& AReplacements) {
  auto Table = std::make_unique<TTextReplacementTable>();
  const size_t Count = std::min(ATexts.size(), AReplacements.size());
  Table->Texts.assign(ATexts.begin(), ATexts.begin() + Count);
  Table->Replacements.assign(AReplacements.begin(), AReplacements.begin() + Count);
  TextReplacementTable = std::move(Table);
}

void UninstallTextReplacementTable() { TextReplacementTable.reset(); }

// ---- TcxInterfacedPersistent ---------------------------------------------------------------

TcxInterfacedPersistent* TcxInterfacedPersistentMetaClass::Create(TPersistent* AOwner) const {
  if (!FCreateOwned) CannotCreate();
  return FCreateOwned(AOwner);
}

// ---- TcxComponent -------------------------------------------------------------------------

TcxComponent::~TcxComponent() { ClearObjectLinks(this); }

void TcxComponent::BeforeDestruction() {
  TComponent::BeforeDestruction();
  if (!IsDestroying()) Destroying();
}

void TcxComponent::Loaded() {
  TComponent::Loaded();
  RefreshLinkProperties();
}

void TcxComponent::CollectLinkedComponents(TList*) {}

void TcxComponent::RefreshLinkProperties() {
  if (!IsDesigning() || IsDestroying() || !Owner()) return;
  TList Linked;
  CollectLinkedComponents(&Linked);
  for (int I = 0; I < 3; ++I)
    SetFakeComponentLink(I, I < Linked.Count() ? static_cast<TComponent*>(Linked.Items(I)) : nullptr);
}

void TcxComponent::SetFakeComponentLink(int AIndex, TComponent* AValue) {
  TComponent*& Link = FFakeComponentLinks[AIndex];
  if (Link == AValue) return;
  Link = AValue;
  if (AValue) AValue->FreeNotification(this);
}

void TcxComponent::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  for (TComponent*& Link : FFakeComponentLinks)
    if (Link == AComponent) Link = nullptr;
}

// ---- TcxObjectList -------------------------------------------------------------------------

TcxObjectList::~TcxObjectList() { Clear(); }

void TcxObjectList::Clear() {
  // The list is emptied first, so that an item whose destruction looks at
  // the list finds no freed objects in it.
  std::vector<TObject*> Objects;
  for (void* Item : *this) Objects.push_back(static_cast<TObject*>(Item));
  TList::Clear();
  for (TObject* Object : Objects)
    if (Object) Object->Free();
}

// ---- TcxRegisteredClasses --------------------------------------------------------------------

void TcxRegisteredClasses::AddClass(TClass AClass, const String& ADescription) {
  if (!AClass || IndexOfClass(AClass) != -1) return;
  FItems.push_back({ADescription, AClass});
  if (FRegisterClasses) RegisterClass(AClass);
}

void TcxRegisteredClasses::RemoveClass(TClass AClass) {
  const Integer Index = IndexOfClass(AClass);
  if (Index != -1) FItems.erase(FItems.begin() + Index);
}

Integer TcxRegisteredClasses::IndexOfClass(TClass AClass) const {
  for (size_t I = 0; I < FItems.size(); ++I)
    if (FItems[I].Class == AClass) return static_cast<Integer>(I);
  return -1;
}

TClass TcxRegisteredClasses::FindByClassName(const String& AClassName) const {
  for (const TItem& Item : FItems)
    if (Item.Class->ClassName() == AClassName) return Item.Class;
  return nullptr;
}

void TcxRegisteredClasses::CheckIndex(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= Count())
    throw EListError(u"List index out of bounds (" + IntToStr(AIndex) + u")");
}

TClass TcxRegisteredClasses::ClassAt(Integer AIndex) const {
  CheckIndex(AIndex);
  return FItems[AIndex].Class;
}

const String& TcxRegisteredClasses::Descriptions(Integer AIndex) const {
  CheckIndex(AIndex);
  return FItems[AIndex].Description;
}

// ---- TcxAutoWidthObject ------------------------------------------------------------------------

TcxAutoWidthObject::TcxAutoWidthObject(Integer ACapacity) { FItems.SetCapacity(std::max(ACapacity, 0)); }

TcxAutoWidthObject::~TcxAutoWidthObject() {
  for (Integer I = Count() - 1; I >= 0; --I) ItemAt(I)->Free();
}

TcxAutoWidthItem* TcxAutoWidthObject::NewItem() {
  auto* Item = new TcxAutoWidthItem();
  FItems.Add(Item);
  return Item;
}

Integer TcxAutoWidthObject::TotalWidth() const {
  Integer Result = 0;
  for (Integer I = 0; I < Count(); ++I) Result += ItemAt(I)->Width;
  return Result;
}

void TcxAutoWidthObject::DistributeWidth() {
  Integer Pool = AvailableWidth;
  Integer Total = TotalWidth();
  for (Integer I = 0; I < Count(); ++I) {
    TcxAutoWidthItem* Item = ItemAt(I);
    Item->AutoWidth = -1;
    if (!Item->Fixed) continue;
    Item->AutoWidth = Item->Width;
    Pool -= Item->AutoWidth;
    Total -= Item->Width;
  }
  // P * Part / T, with no width to weigh by (T = 0) giving nothing.
  auto Portion = [](Integer Part, Integer P, Integer T) { return T == 0 ? 0 : MulDiv(Part, P, T); };
  bool FinalPass = false;
  bool Pinned;
  do {
    const Integer P = Pool, T = Total;
    Integer Sum = 0;
    Pinned = false;
    for (Integer I = 0; I < Count(); ++I) {
      TcxAutoWidthItem* Item = ItemAt(I);
      if (Item->AutoWidth != -1) continue;
      // The running sum makes the shares of a pass add up to P exactly.
      const Integer Share = Portion(Sum + Item->Width, P, T) - Portion(Sum, P, T);
      if (FinalPass) {
        Item->AutoWidth = Share;
      } else if (Item->MinWidth >= Share) {
        Item->AutoWidth = Item->MinWidth;
        Pool -= Item->MinWidth;
        Total -= Item->Width;
        Pinned = true;
      }
      Sum += Item->Width;
    }
    if (!Pinned) FinalPass = !FinalPass;
  } while (Total != 0 && (Pinned || FinalPass));
}

// ---- Object links -------------------------------------------------------------------------------

namespace {

// Lives while links are outstanding.
struct TcxObjectLinkController {
  std::vector<TcxObjectLink*> LiveLinks;
  Integer RefCount = 0;
};

TcxObjectLinkController* ObjectLinkController = nullptr;

}  // namespace

TcxObjectLink* AddObjectLink(TObject* AObject) {
  if (!ObjectLinkController) ObjectLinkController = new TcxObjectLinkController();
  ++ObjectLinkController->RefCount;
  auto* Link = new TcxObjectLink();
  Link->Target = AObject;
  // A link is in the live list exactly while its Target is set.
  if (AObject) ObjectLinkController->LiveLinks.push_back(Link);
  return Link;
}

void RemoveObjectLink(TcxObjectLink* ALink) {
  if (!ALink || !ObjectLinkController) return;
  auto& Live = ObjectLinkController->LiveLinks;
  if (ALink->Target) {
    // Guards are nested, so the link is usually the last one.
    const auto It = std::find(Live.rbegin(), Live.rend(), ALink);
    if (It != Live.rend()) Live.erase(std::next(It).base());
  }
  ALink->Free();
  if (--ObjectLinkController->RefCount == 0) {
    delete ObjectLinkController;
    ObjectLinkController = nullptr;
  }
}

void ClearObjectLinks(TObject* AObject) {
  if (!ObjectLinkController || !AObject) return;
  auto& Live = ObjectLinkController->LiveLinks;
  for (size_t I = Live.size(); I-- > 0;)
    if (Live[I]->Target == AObject) {
      Live[I]->Target = nullptr;
      Live.erase(Live.begin() + static_cast<std::ptrdiff_t>(I));
    }
}

// ---- TcxFreeNotificator -------------------------------------------------------------------------

void TcxFreeNotificator::AddSender(TComponent* AComponent) {
  if (AComponent) AComponent->FreeNotification(this);
}

void TcxFreeNotificator::RemoveSender(TComponent* AComponent) {
  if (AComponent) AComponent->RemoveFreeNotification(this);
}

void TcxFreeNotificator::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove) OnComponentRemoved(this, AComponent);
}
