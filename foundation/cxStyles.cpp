#include "foundation/cxStyles.h"

#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/sysutils.h"

namespace {

template <class T>
bool Listed(const std::vector<T*>& AList, const T* AItem) {
  return std::find(AList.begin(), AList.end(), AItem) != AList.end();
}

// Calls ACall for every item of AList in a fixed order (first to last, or
// last to first). An item that leaves the list before its turn is not
// called; one leaving during its own call makes no other one be skipped.
template <class T, class F>
void CallListed(const std::vector<T*>& AList, bool ALastFirst, F ACall) {
  const std::vector<T*> Snapshot = AList;
  const size_t Count = Snapshot.size();
  for (size_t K = 0; K < Count; ++K) {
    T* Item = Snapshot[ALastFirst ? Count - 1 - K : K];
    if (Listed(AList, Item)) ACall(Item);
  }
}

// TcxStyle is created by name when styles are read back.
struct TcxStylesUnit {
  TcxStylesUnit() { RegisterClass(TcxStyle::StaticClass()); }
  ~TcxStylesUnit() { UnRegisterClass(TcxStyle::StaticClass()); }
} StylesUnit;

}  // namespace

// ---- Class references -------------------------------------------------------------------------

TcxCustomStyle* TcxCustomStyleMetaClass::Create(TComponent* AOwner) const {
  return static_cast<TcxCustomStyle*>(TComponentMetaClass::Create(AOwner));
}

TcxCustomStyleSheet* TcxCustomStyleSheetMetaClass::Create(TComponent* AOwner) const {
  return static_cast<TcxCustomStyleSheet*>(TComponentMetaClass::Create(AOwner));
}

TcxCustomStyles* TcxCustomStylesMetaClass::Create(TPersistent* AOwner) const {
  return static_cast<TcxCustomStyles*>(TcxInterfacedPersistentMetaClass::Create(AOwner));
}

// ---- TcxCustomStyle ---------------------------------------------------------------------------

TcxCustomStyle::~TcxCustomStyle() { DetachAll(); }

void TcxCustomStyle::BeforeDestruction() {
  TComponent::BeforeDestruction();
  DetachAll();
}

void TcxCustomStyle::DetachAll() {
  if (FDetached) return;
  FDetached = true;
  Destroying();
  while (!FListeners.empty()) {
    TcxCustomStyles* Listener = FListeners.back();
    Listener->StyleRemoved(this);
    std::erase(FListeners, Listener);
  }
  AttachToRepository(nullptr);
}

void TcxCustomStyle::Changed() {
  if (FDetached) return;
  CallListed(FListeners, true, [this](TcxCustomStyles* AStyles) { AStyles->StyleChanged(this); });
}

void TcxCustomStyle::AddListener(TcxCustomStyles* AStyles) {
  if (AStyles && !Listed(FListeners, AStyles)) FListeners.push_back(AStyles);
}

void TcxCustomStyle::RemoveListener(TcxCustomStyles* AStyles) { std::erase(FListeners, AStyles); }

bool TcxCustomStyle::HasListener(const TcxCustomStyles* AStyles) const { return Listed(FListeners, AStyles); }

void TcxCustomStyle::AttachToRepository(TcxStyleRepository* ARepository) {
  if (ARepository == FRepository) return;
  if (FRepository) std::erase(FRepository->FStyles, this);
  FRepository = ARepository;
  if (FRepository && !Listed(FRepository->FStyles, this)) FRepository->FStyles.push_back(this);
}

TComponent* TcxCustomStyle::GetParentComponent() const { return FRepository; }

void TcxCustomStyle::SetParentComponent(TComponent* AParent) {
  AttachToRepository(dynamic_cast<TcxStyleRepository*>(AParent));
}

// ---- TcxStyle ---------------------------------------------------------------------------------

TcxStyle::TcxStyle(TComponent* AOwner)
    : TcxCustomStyle(AOwner), FBitmap(std::make_unique<TBitmap>()), FFont(std::make_unique<TFont>()) {
  FBitmap->OnChange = MakeEvent(this, &TcxStyle::BitmapChanged);
  FFont->OnChange = MakeEvent(this, &TcxStyle::FontChanged);
}

TcxStyle::~TcxStyle() {
  // The tables drop the style while its bitmap and font still exist.
  DetachAll();
  FBitmap->OnChange = nullptr;
  FFont->OnChange = nullptr;
}

void TcxStyle::Assign(TPersistent* Source) {
  if (auto* Style = dynamic_cast<TcxStyle*>(Source)) {
    if (Style == this) return;
    SetBitmap(Style->Bitmap());
    SetColor(Style->Color());
    SetFont(Style->Font());
    SetTextColor(Style->TextColor());
    SetAssignedValues(Style->AssignedValues());
    return;
  }
  TcxCustomStyle::Assign(Source);
}

void TcxStyle::RestoreDefaults() {
  FBitmap->OnChange = nullptr;
  FBitmap->SetSize(0, 0);
  FBitmap->OnChange = MakeEvent(this, &TcxStyle::BitmapChanged);
  FAssignedValues = 0;
  FColor = clDefault;
  FTextColor = clDefault;
  Changed();
}

void TcxStyle::SetAssignedValues(TcxStyleValues Value) {
  Value &= cxAllStyleValues;
  if (Value == FAssignedValues) return;
  FAssignedValues = Value;
  Changed();
}

void TcxStyle::SetColorValue(TColor& AField, TcxStyleValue AValue, TColor ANewColor) {
  if (AField == ANewColor) return;
  AField = ANewColor;
  if (ANewColor == clDefault)
    FAssignedValues &= ~static_cast<TcxStyleValues>(AValue);
  else
    FAssignedValues |= AValue;
  Changed();
}

void TcxStyle::SetColor(TColor Value) { SetColorValue(FColor, svColor, Value); }

void TcxStyle::SetTextColor(TColor Value) { SetColorValue(FTextColor, svTextColor, Value); }

void TcxStyle::SetBitmap(TBitmap* Value) {
  if (Value)
    FBitmap->Assign(Value);
  else
    FBitmap->SetSize(0, 0);
}

void TcxStyle::SetFont(TFont* Value) {
  if (Value) FFont->Assign(Value);
}

void TcxStyle::BitmapChanged(TObject*) {
  if (FBitmap->Empty())
    FAssignedValues &= ~static_cast<TcxStyleValues>(svBitmap);
  else
    FAssignedValues |= svBitmap;
  Changed();
}

void TcxStyle::FontChanged(TObject*) {
  FAssignedValues |= svFont;
  Changed();
}

// ---- TcxCustomStyleSheet ----------------------------------------------------------------------

TcxCustomStyleSheet::TcxCustomStyleSheet(TComponent* AOwner) : TcxComponent(AOwner) { FBuiltIn = IsDesigning(); }

TcxCustomStyleSheet::~TcxCustomStyleSheet() {
  DetachAll();
  if (FStyles) FStyles->Free();
  FStyles = nullptr;
}

void TcxCustomStyleSheet::BeforeDestruction() {
  TcxComponent::BeforeDestruction();
  DetachAll();
}

void TcxCustomStyleSheet::DetachAll() {
  if (FDetached) return;
  FDetached = true;
  Destroying();
  while (!FUsers.empty()) {
    TcxCustomStyles* User = FUsers.back();
    User->SetStyleSheet(nullptr);
    std::erase(FUsers, User);
  }
  AttachToRepository(nullptr);
}

void TcxCustomStyleSheet::Assign(TPersistent* Source) {
  if (auto* Sheet = dynamic_cast<TcxCustomStyleSheet*>(Source)) {
    if (Sheet == this) return;
    SetCaption(Sheet->GetCaption());
    SetStyles(Sheet->GetStyles());
    return;
  }
  TcxComponent::Assign(Source);
}

TcxCustomStylesClass TcxCustomStyleSheet::StylesClassOf() const { return TcxCustomStyles::StaticClass(); }

String TcxCustomStyleSheet::GetCaption() const { return FCaption.empty() ? Name() : FCaption; }

void TcxCustomStyleSheet::SetCaption(const String& Value) {
  if (Value == GetCaption()) return;
  if (SameText(Value, Name()))
    FCaption.clear();
  else
    FCaption = Value;
}

TcxCustomStyles* TcxCustomStyleSheet::GetStyles() {
  if (!FStyles) {
    FStyles = StylesClassOf()->Create(this);
    FStyles->FOwnerStyleSheet = this;
  }
  return FStyles;
}

void TcxCustomStyleSheet::SetStyles(TcxCustomStyles* Value) { GetStyles()->Assign(Value); }

void TcxCustomStyleSheet::AddUser(TcxCustomStyles* AStyles) {
  if (AStyles && !Listed(FUsers, AStyles)) FUsers.push_back(AStyles);
}

void TcxCustomStyleSheet::RemoveUser(TcxCustomStyles* AStyles) { std::erase(FUsers, AStyles); }

TcxCustomStyles* TcxCustomStyleSheet::Users(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= UserCount()) TList::Error(AIndex);
  return FUsers[AIndex];
}

void TcxCustomStyleSheet::NotifyUsers(Integer AIndex) {
  if (FDetached) return;
  CallListed(FUsers, false, [AIndex](TcxCustomStyles* AStyles) { AStyles->NotifyItemChanged(AIndex); });
  RefreshLinkProperties();
}

void TcxCustomStyleSheet::AttachToRepository(TcxStyleRepository* ARepository) {
  if (ARepository == FRepository) return;
  if (FRepository) std::erase(FRepository->FStyleSheets, this);
  FRepository = ARepository;
  if (FRepository && !Listed(FRepository->FStyleSheets, this)) FRepository->FStyleSheets.push_back(this);
}

TComponent* TcxCustomStyleSheet::GetParentComponent() const { return FRepository; }

void TcxCustomStyleSheet::SetParentComponent(TComponent* AParent) {
  AttachToRepository(dynamic_cast<TcxStyleRepository*>(AParent));
}

void TcxCustomStyleSheet::CollectLinkedComponents(TList* AList) {
  TcxComponent::CollectLinkedComponents(AList);
  if (!Owner() || !FStyles) return;
  for (Integer P = 0; P < FStyles->Count(); ++P) {
    TComponent* StyleOwner = FStyles->StyleAt(P)->Owner();
    if (StyleOwner && StyleOwner != Owner() && AList->IndexOf(StyleOwner) < 0) AList->Add(StyleOwner);
  }
}

// ---- TcxStyleRepository -----------------------------------------------------------------------

TcxStyleRepository::~TcxStyleRepository() {
  while (!FStyles.empty()) {
    TcxCustomStyle* Style = FStyles.back();
    FStyles.pop_back();
    Style->FRepository = nullptr;
    Style->Free();
  }
  while (!FStyleSheets.empty()) {
    TcxCustomStyleSheet* Sheet = FStyleSheets.back();
    FStyleSheets.pop_back();
    Sheet->FRepository = nullptr;
    Sheet->Free();
  }
}

TcxCustomStyle* TcxStyleRepository::NewStyle(TcxCustomStyleClass AStyleClass) { return NewStyleEx(AStyleClass, this); }

TcxCustomStyle* TcxStyleRepository::NewStyleEx(TcxCustomStyleClass AStyleClass, TComponent* AOwner) {
  if (!AStyleClass) return nullptr;
  TcxCustomStyle* Style = AStyleClass->Create(AOwner);
  Style->AttachToRepository(this);
  return Style;
}

TcxCustomStyleSheet* TcxStyleRepository::NewStyleSheet(TcxCustomStyleSheetClass ASheetClass) {
  return NewStyleSheetEx(ASheetClass, this);
}

TcxCustomStyleSheet* TcxStyleRepository::NewStyleSheetEx(TcxCustomStyleSheetClass ASheetClass, TComponent* AOwner) {
  if (!ASheetClass) return nullptr;
  TcxCustomStyleSheet* Sheet = ASheetClass->Create(AOwner);
  Sheet->AttachToRepository(this);
  return Sheet;
}

TcxCustomStyle* TcxStyleRepository::Items(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) TList::Error(AIndex);
  return FStyles[AIndex];
}

TcxCustomStyleSheet* TcxStyleRepository::StyleSheets(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= StyleSheetCount()) TList::Error(AIndex);
  return FStyleSheets[AIndex];
}

Integer TcxStyleRepository::IndexOfStyle(const TcxCustomStyle* AStyle) const {
  const auto It = std::find(FStyles.begin(), FStyles.end(), AStyle);
  return It == FStyles.end() ? -1 : static_cast<Integer>(It - FStyles.begin());
}

Integer TcxStyleRepository::IndexOfStyleSheet(const TcxCustomStyleSheet* ASheet) const {
  const auto It = std::find(FStyleSheets.begin(), FStyleSheets.end(), ASheet);
  return It == FStyleSheets.end() ? -1 : static_cast<Integer>(It - FStyleSheets.begin());
}

void TcxStyleRepository::GetChildren(TGetChildProc Proc, TComponent* Root) {
  const std::vector<TcxCustomStyle*> Styles = FStyles;
  for (TcxCustomStyle* Style : Styles)
    if (Style->Owner() == Root) Proc(Style);
  const std::vector<TcxCustomStyleSheet*> Sheets = FStyleSheets;
  for (TcxCustomStyleSheet* Sheet : Sheets)
    if (Sheet->Owner() == Root) Proc(Sheet);
}

// ---- TcxCustomStyles --------------------------------------------------------------------------

TcxCustomStyles::~TcxCustomStyles() {
  FDestroying = true;
  ClearItems();
  SetStyleSheet(nullptr);
}

void TcxCustomStyles::BeforeDestruction() {
  TcxInterfacedPersistent::BeforeDestruction();
  FDestroying = true;
}

void TcxCustomStyles::Assign(TPersistent* Source) {
  if (auto* Styles = dynamic_cast<TcxCustomStyles*>(Source)) {
    SetStyleSheet(Styles->StyleSheet());
    return;
  }
  TcxInterfacedPersistent::Assign(Source);
}

bool TcxCustomStyles::FindIndex(Integer AIndex, Integer& APosition) const {
  const auto It = std::lower_bound(FItems.begin(), FItems.end(), AIndex,
                                   [](const TItem& AItem, Integer AKey) { return AItem.Index < AKey; });
  APosition = static_cast<Integer>(It - FItems.begin());
  return It != FItems.end() && It->Index == AIndex;
}

TcxCustomStyle* TcxCustomStyles::ResolveStyle(Integer AIndex) const {
  Integer Position;
  if (FindIndex(AIndex, Position)) return FItems[Position].Style;
  if (!FStyleSheet) return nullptr;
  // While the owner is written, only own styles count: the sheet's are not
  // the owner's to write.
  if (auto* OwnerComponent = dynamic_cast<TComponent*>(GetOwner()))
    if (OwnerComponent->ComponentState() & csWriting) return nullptr;
  return FStyleSheet->GetStyles()->ResolveStyle(AIndex);
}

void TcxCustomStyles::StoreStyle(Integer AIndex, TcxCustomStyle* AStyle) {
  if (AStyle == ResolveStyle(AIndex)) return;
  Integer Position;
  if (FindIndex(AIndex, Position)) {
    TcxCustomStyle* OldStyle = FItems[Position].Style;
    if (AStyle) {
      FItems[Position].Style = AStyle;
      AStyle->AddListener(this);
    } else {
      FItems.erase(FItems.begin() + Position);
    }
    ReleaseStyle(OldStyle);
  } else {
    if (!AStyle) return;
    FItems.insert(FItems.begin() + Position, TItem{AIndex, AStyle});
    AStyle->AddListener(this);
  }
  NotifyItemChanged(AIndex);
}

Integer TcxCustomStyles::IndexAt(Integer APosition) const {
  if (APosition < 0 || APosition >= Count()) TList::Error(APosition);
  return FItems[APosition].Index;
}

TcxCustomStyle* TcxCustomStyles::StyleAt(Integer APosition) const {
  if (APosition < 0 || APosition >= Count()) TList::Error(APosition);
  return FItems[APosition].Style;
}

void TcxCustomStyles::DeleteItem(Integer APosition) {
  if (APosition < 0 || APosition >= Count()) TList::Error(APosition);
  const TItem Item = FItems[APosition];
  FItems.erase(FItems.begin() + APosition);
  ReleaseStyle(Item.Style);
  NotifyItemChanged(Item.Index);
}

void TcxCustomStyles::ClearItems() {
  while (!FItems.empty()) DeleteItem(Count() - 1);
}

bool TcxCustomStyles::HoldsStyle(const TcxCustomStyle* AStyle) const {
  return std::any_of(FItems.begin(), FItems.end(), [AStyle](const TItem& AItem) { return AItem.Style == AStyle; });
}

// A style keeps this table as listener while any pair still holds it.
void TcxCustomStyles::ReleaseStyle(TcxCustomStyle* AStyle) {
  if (!HoldsStyle(AStyle)) AStyle->RemoveListener(this);
}

void TcxCustomStyles::StyleChanged(TcxCustomStyle* AStyle) {
  std::vector<Integer> Indexes;
  for (const TItem& Item : FItems)
    if (Item.Style == AStyle) Indexes.push_back(Item.Index);
  for (Integer Index : Indexes) NotifyItemChanged(Index);
}

void TcxCustomStyles::StyleRemoved(TcxCustomStyle* AStyle) {
  for (Integer P = Count() - 1; P >= 0; --P)
    if (P < Count() && FItems[P].Style == AStyle) DeleteItem(P);
  if (!HoldsStyle(AStyle)) AStyle->RemoveListener(this);
}

void TcxCustomStyles::NotifyItemChanged(Integer AIndex) {
  if (FDestroying) return;
  ItemChanged(AIndex);
  if (FOwnerStyleSheet) FOwnerStyleSheet->NotifyUsers(AIndex);
}

void TcxCustomStyles::ItemChanged(Integer) {}

TcxCustomStyleSheet* TcxCustomStyles::NextSheet(const TcxCustomStyleSheet* ASheet) {
  return ASheet->FStyles ? ASheet->FStyles->FStyleSheet : nullptr;
}

bool TcxCustomStyles::AcceptsStyleSheet(TcxCustomStyleSheet* ASheet) const {
  if (!ASheet) return true;
  if (ASheet == FOwnerStyleSheet) return false;
  if (static_cast<TClass>(ASheet->StylesClassOf()) != ClassType()) return false;
  if (FOwnerStyleSheet)
    for (TcxCustomStyleSheet* Sheet = NextSheet(ASheet); Sheet; Sheet = NextSheet(Sheet))
      if (Sheet == FOwnerStyleSheet) return false;
  return true;
}

void TcxCustomStyles::CollectChainIndexes(TcxCustomStyleSheet* ASheet, std::vector<Integer>& AIndexes) const {
  for (TcxCustomStyleSheet* Sheet = ASheet; Sheet; Sheet = NextSheet(Sheet)) {
    if (!Sheet->FStyles) continue;
    for (const TItem& Item : Sheet->FStyles->FItems)
      if (std::find(AIndexes.begin(), AIndexes.end(), Item.Index) == AIndexes.end()) AIndexes.push_back(Item.Index);
  }
}

void TcxCustomStyles::SetStyleSheet(TcxCustomStyleSheet* Value) {
  if (Value == FStyleSheet || !AcceptsStyleSheet(Value)) return;
  std::vector<Integer> Indexes;
  if (FStyleSheet) {
    if (!FDestroying) CollectChainIndexes(FStyleSheet, Indexes);
    FStyleSheet->RemoveUser(this);
  }
  FStyleSheet = Value;
  if (FStyleSheet) {
    FStyleSheet->AddUser(this);
    CollectChainIndexes(FStyleSheet, Indexes);
  }
  for (Integer Index : Indexes) NotifyItemChanged(Index);
}

// ---- TcxStyles --------------------------------------------------------------------------------

TcxStyle* TcxStyles::GetIndexedStyle(Integer AIndex) const { return dynamic_cast<TcxStyle*>(ResolveStyle(AIndex)); }

void TcxStyles::SetIndexedStyle(Integer AIndex, TcxStyle* Value) { StoreStyle(AIndex, Value); }

void TcxStyles::ResolveStyleParams(Integer AIndex, void* AData, TcxStyleParams& AParams, TcxStyle* AOverrideStyle) {
  TcxStyle* Style = GetIndexedStyle(AIndex);
  // The style that gives AValue: the override style first, then Index's.
  auto Source = [&](TcxStyleValue AValue) -> TcxStyle* {
    if (AOverrideStyle && (AOverrideStyle->AssignedValues() & AValue)) return AOverrideStyle;
    if (Style && (Style->AssignedValues() & AValue)) return Style;
    return nullptr;
  };
  AParams = TcxStyleParams();
  if (FUseBitmap)
    if (TcxStyle* S = Source(svBitmap)) AParams.Bitmap = S->Bitmap();
  if (TcxStyle* S = Source(svColor)) AParams.Color = S->Color();
  if (TcxStyle* S = Source(svFont)) AParams.Font = S->Font();
  if (TcxStyle* S = Source(svTextColor)) AParams.TextColor = S->TextColor();

  const bool Complete = (!FUseBitmap || AParams.Bitmap) && AParams.Color != clDefault && AParams.Font &&
                        AParams.TextColor != clDefault;
  if (Complete) return;
  TcxStyleParams Defaults;
  GetDefaultStyleParams(AIndex, AData, Defaults);
  if (!AParams.Bitmap) AParams.Bitmap = Defaults.Bitmap;
  if (AParams.Color == clDefault) AParams.Color = Defaults.Color;
  if (!AParams.Font) AParams.Font = Defaults.Font;
  if (AParams.TextColor == clDefault) AParams.TextColor = Defaults.TextColor;
}

void TcxStyles::GetDefaultStyleParams(Integer AIndex, void*, TcxStyleParams& AParams) {
  AParams.Bitmap = nullptr;
  FMaxDefaultIndex = std::max(FMaxDefaultIndex, AIndex);
}

bool TcxStyles::NeedsDefaultFont(Integer AIndex) const {
  const TcxStyle* Style = GetIndexedStyle(AIndex);
  return !Style || (Style->AssignedValues() & svFont) == 0;
}

void TcxStyles::NotifyDefaultFontChanged(TFont* AFont) {
  for (Integer Index = 0; Index <= FMaxDefaultIndex; ++Index) {
    if (!NeedsDefaultFont(Index)) continue;
    TcxStyleParams Defaults;
    GetDefaultStyleParams(Index, nullptr, Defaults);
    if (Defaults.Font == AFont) NotifyItemChanged(Index);
  }
}
