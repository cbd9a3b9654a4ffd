#include "foundation/cxContainer.h"

#include <algorithm>

#include "foundation/qzOffice11.h"
#include "foundation/qzThemeManager.h"
#include "foundation/qzUxTheme.h"
#include "platform/gui/forms.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"

namespace {

// Theme colour properties.
constexpr Integer TMT_BORDERCOLOR = 3801;
constexpr Integer TMT_FILLCOLOR = 3802;

constexpr TShiftState cxAnyKeyOrButton = ssShift | ssAlt | ssCtrl | ssLeft | ssRight | ssMiddle;

const char16_t* const StyleValueNames[cxContainerStyleValueCount] = {
    u"BorderColor", u"BorderStyle", u"Color",     u"Edges",     u"Font",
    u"HotTrack",    u"Shadow",      u"TextColor", u"TextStyle", u"TransparentBorder",
};


TcxContainerBorderStyle BorderStyleOfKind(TcxLookAndFeelKind AKind) {
  switch (AKind) {
    case lfFlat: return cbsFlat;
    case lfStandard: return cbs3D;
    case lfOffice11: return cbsOffice11;
    default: return cbsUltraFlat;
  }
}

// The focused and hot styles show a stronger frame while hot tracking.
TcxContainerBorderStyle RaisedBorderStyle(TcxContainerBorderStyle AStyle) {
  switch (AStyle) {
    case cbsNone: return cbsFlat;
    case cbsSingle: return cbsThick;
    case cbsFlat: return cbs3D;
    default: return AStyle;
  }
}

TRect SidesOf(TcxBorders ASides, Integer AWidth) {
  return TRect{(ASides & BorderBit(bLeft)) ? AWidth : 0, (ASides & BorderBit(bTop)) ? AWidth : 0,
               (ASides & BorderBit(bRight)) ? AWidth : 0, (ASides & BorderBit(bBottom)) ? AWidth : 0};
}

HRGN CopyRegion(HRGN ARegion) {
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  CombineRgn(copy, ARegion, nullptr, RGN_COPY);
  return copy;
}

}  // namespace

// ---- TcxCustomContainerStyle: life -------------------------------------------------------

TcxCustomContainerStyle::TcxCustomContainerStyle(TPersistent* AOwner, bool ADirectAccessMode)
    : FOwner(AOwner), FDirectAccessMode(ADirectAccessMode), FVisibleFont(std::make_unique<TFont>()) {
  if (FDirectAccessMode) return;
  FOwnFont = std::make_unique<TFont>();
  FFont = FOwnFont.get();
  FOwnFont->OnChange = TNotifyEvent(this, &TcxCustomContainerStyle::FontChanged);
  FLookAndFeel = std::make_unique<TcxLookAndFeel>(this);
  FLookAndFeel->OnChanged = TcxLookAndFeelChangedEvent(this, &TcxCustomContainerStyle::LookAndFeelChanged);
}

TcxCustomContainerStyle::~TcxCustomContainerStyle() {
  FIsDestroying = true;
  if (FStyleController && !FStyleController->IsDestroyingController()) FStyleController->RemoveListener(this);
  FStyleController = nullptr;
  FLookAndFeel.reset();
}

void TcxCustomContainerStyle::SetMasterStyle(TcxCustomContainerStyle* Value) {
  FMasterStyle = Value;
  if (!Value || FDirectAccessMode) return;
  // A state style uses the master's font and look-and-feel.
  FOwnFont.reset();
  FFont = nullptr;
  FLookAndFeel.reset();
}

TcxContainer* TcxCustomContainerStyle::OwnerContainer() const { return dynamic_cast<TcxContainer*>(FOwner); }

void TcxCustomContainerStyle::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0 && FModified) Changed();
}

void TcxCustomContainerStyle::Changed() {
  if (FUpdateCount > 0) {
    FModified = true;
    return;
  }
  FModified = false;
  if (FIsDestroying || FDirectAccessMode) return;
  if (OnChanged) OnChanged(this);
}

void TcxCustomContainerStyle::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) { Changed(); }

// ---- Resolution --------------------------------------------------------------------------

template <class T>
bool TcxCustomContainerStyle::Resolve(TcxContainerStyleValue AValue, T TcxCustomContainerStyle::*AField,
                                      T& AResult) const {
  if (HasOwnValue(AValue)) {
    AResult = this->*AField;
    return true;
  }
  const TcxCustomContainerStyle* controllerStyle = ControllerStyle();
  return controllerStyle && controllerStyle->Resolve(AValue, AField, AResult);
}

bool TcxCustomContainerStyle::ResolveFont(TFont*& AResult) const {
  const TcxCustomContainerStyle* master = Master();
  if (master->HasOwnValue(csvFont)) {
    AResult = master->FFont;
    return AResult != nullptr;
  }
  const TcxCustomContainerStyle* controllerStyle = master->ControllerStyle();
  return controllerStyle && controllerStyle->ResolveFont(AResult);
}

TcxStyleController* TcxCustomContainerStyle::ActiveStyleController() const {
  const TcxCustomContainerStyle* master = Master();
  if (master->FDirectAccessMode) return nullptr;
  TcxStyleController* controller = master->FStyleController ? master->FStyleController
                                                            : master->DefaultStyleController();
  // The styles of a controller never resolve through that controller.
  if (controller && controller == master->FOwner) return nullptr;
  return controller;
}

TcxCustomContainerStyle* TcxCustomContainerStyle::ControllerStyle() const {
  if (FDirectAccessMode) return nullptr;
  TcxStyleController* controller = ActiveStyleController();
  return controller ? controller->Styles()->GetStyleByState(FState) : nullptr;
}

bool TcxCustomContainerStyle::IsValueAssigned(TcxContainerStyleValue AValue) const {
  if (AValue < 0 || AValue > csvTextStyle) return false;
  if (HasOwnValue(AValue)) return true;
  const TcxCustomContainerStyle* controllerStyle = ControllerStyle();
  return controllerStyle && controllerStyle->IsValueAssigned(AValue);
}

String TcxCustomContainerStyle::NameOfStyleValue(TcxContainerStyleValue AValue) const {
  if (AValue < 0 || AValue >= cxContainerStyleValueCount)
    throw EListError(u"Style value index out of bounds (" + IntToStr(AValue) + u")");
  return StyleValueNames[AValue];
}

bool TcxCustomContainerStyle::BorderAllowed() const { return IsMasterStyle() ? true : FMasterStyle->BorderAllowed(); }

// ---- Getters -----------------------------------------------------------------------------

TcxContainerStyleValues TcxCustomContainerStyle::AssignedValues() const {
  if (FDirectAccessMode) return (TcxContainerStyleValues(1) << StyleValueCount()) - 1;
  return FAssignedValues;
}

TColor TcxCustomContainerStyle::BorderColor() const {
  if (FDirectAccessMode) return clDefault;
  TColor value;
  return Resolve(csvBorderColor, &TcxCustomContainerStyle::FBorderColor, value) ? value : DefaultBorderColor();
}

TColor TcxCustomContainerStyle::DefaultBorderColor() const {
  if (FState == cxsiDisabled) return clBtnShadow;
  return IsMasterStyle() ? clWindowFrame : FMasterStyle->BorderColor();
}

TcxContainerBorderStyle TcxCustomContainerStyle::BorderStyle() const {
  if (FDirectAccessMode) return HasOwnValue(csvBorderStyle) ? FBorderStyle : DefaultBorderStyle();
  TcxContainerBorderStyle value;
  return Resolve(csvBorderStyle, &TcxCustomContainerStyle::FBorderStyle, value) ? value : DefaultBorderStyle();
}

TcxContainerBorderStyle TcxCustomContainerStyle::DefaultBorderStyle() const {
  if (IsMasterStyle()) {
    TcxLookAndFeel* lookAndFeel = LookAndFeel();
    return BorderStyleOfKind(lookAndFeel ? lookAndFeel->Kind() : cxDefaultLookAndFeelKind);
  }
  TcxContainerBorderStyle style = FMasterStyle->BorderStyle();
  if ((FState == cxsiFocused || FState == cxsiHot) && HotTrack()) style = RaisedBorderStyle(style);
  return style;
}

bool TcxCustomContainerStyle::ParentColorApplies() const {
  if (FDirectAccessMode || !IsMasterStyle()) return false;
  TcxContainer* container = OwnerContainer();
  return container && container->ParentColor() && container->Parent();
}

TColor TcxCustomContainerStyle::GetColor() const {
  if (ParentColorApplies()) return OwnerContainer()->Parent()->Color();
  if (FDirectAccessMode) return FColor;
  TColor value;
  return Resolve(csvColor, &TcxCustomContainerStyle::FColor, value) ? value : DefaultColor();
}

TColor TcxCustomContainerStyle::EffectiveColor() const {
  if (FDirectAccessMode) return FColor;
  TColor value;
  if (Resolve(csvColor, &TcxCustomContainerStyle::FColor, value)) return value;
  if (ParentColorApplies() && !OwnerContainer()->FullBoundsMode()) return OwnerContainer()->Parent()->Color();
  return DefaultColor();
}

TColor TcxCustomContainerStyle::DefaultColor() const {
  if (FState == cxsiDisabled) return clBtnFace;
  if (!IsMasterStyle()) return FMasterStyle->GetColor();
  TcxContainer* container = OwnerContainer();
  return container && container->DefaultColorIsButtonFace() ? clBtnFace : clWindow;
}

TcxBorders TcxCustomContainerStyle::Edges() const {
  if (FDirectAccessMode) return 0;
  if (!IsMasterStyle()) return FMasterStyle->Edges();
  TcxBorders value;
  return Resolve(csvEdges, &TcxCustomContainerStyle::FEdges, value) ? value : DefaultEdges();
}

TFont* TcxCustomContainerStyle::Font() const {
  if (FDirectAccessMode) return FFont;
  return Master()->FFont;
}

bool TcxCustomContainerStyle::HotTrack() const {
  if (FDirectAccessMode) return HasOwnValue(csvHotTrack) ? FHotTrack : true;
  if (!IsMasterStyle()) return FMasterStyle->HotTrack();
  bool value;
  return Resolve(csvHotTrack, &TcxCustomContainerStyle::FHotTrack, value) ? value : DefaultHotTrack();
}

bool TcxCustomContainerStyle::Shadow() const {
  if (FDirectAccessMode) return false;
  if (!IsMasterStyle()) return FMasterStyle->Shadow();
  bool value;
  return Resolve(csvShadow, &TcxCustomContainerStyle::FShadow, value) ? value : DefaultShadow();
}

TColor TcxCustomContainerStyle::GetTextColor() const {
  if (FDirectAccessMode) return FTextColor;
  TColor value;
  return Resolve(csvTextColor, &TcxCustomContainerStyle::FTextColor, value) ? value : DefaultTextColor();
}

TColor TcxCustomContainerStyle::DefaultTextColor() const {
  if (FState == cxsiDisabled) return clBtnShadow;
  if (!IsMasterStyle()) return FMasterStyle->GetTextColor();
  return FFont ? FFont->Color() : clWindowText;
}

TFontStyles TcxCustomContainerStyle::GetTextStyle() const {
  if (FDirectAccessMode) return FFont ? FFont->Style() : FTextStyle;
  TFontStyles value;
  return Resolve(csvTextStyle, &TcxCustomContainerStyle::FTextStyle, value) ? value : DefaultTextStyle();
}

TFontStyles TcxCustomContainerStyle::DefaultTextStyle() const {
  if (!IsMasterStyle()) return FMasterStyle->GetTextStyle();
  return FFont ? FFont->Style() : 0;
}

bool TcxCustomContainerStyle::TransparentBorder() const {
  if (FDirectAccessMode) return true;
  if (!IsMasterStyle()) return FMasterStyle->TransparentBorder();
  bool value;
  return Resolve(csvTransparentBorder, &TcxCustomContainerStyle::FTransparentBorder, value)
             ? value
             : DefaultTransparentBorder();
}

TcxLookAndFeel* TcxCustomContainerStyle::LookAndFeel() const { return Master()->FLookAndFeel.get(); }

TFont* TcxCustomContainerStyle::GetVisibleFont() const {
  if (TFont* font = Font()) FVisibleFont->Assign(font);
  FVisibleFont->SetColor(GetTextColor());
  FVisibleFont->SetStyle(GetTextStyle());
  return FVisibleFont.get();
}

TcxStyleController* TcxCustomContainerStyle::StyleController() const {
  const TcxCustomContainerStyle* master = Master();
  if (master->FStyleController && master->FStyleController == master->DefaultStyleController()) return nullptr;
  return master->FStyleController;
}

// ---- Setters -----------------------------------------------------------------------------

void TcxCustomContainerStyle::SetBorderColor(TColor Value) {
  if (HasOwnValue(csvBorderColor) && FBorderColor == Value) return;
  FBorderColor = Value;
  IncludeValue(csvBorderColor);
  Changed();
}

void TcxCustomContainerStyle::SetBorderStyle(TcxContainerBorderStyle Value) {
  if (HasOwnValue(csvBorderStyle) && FBorderStyle == Value) return;
  FBorderStyle = Value;
  IncludeValue(csvBorderStyle);
  Changed();
}

void TcxCustomContainerStyle::SetColor(TColor Value) {
  if (HasOwnValue(csvColor) && FColor == Value) return;
  FColor = Value;
  IncludeValue(csvColor);
  Changed();
}

void TcxCustomContainerStyle::SetTextColor(TColor Value) {
  if (HasOwnValue(csvTextColor) && GetTextColor() == Value) return;
  FTextColor = Value;
  IncludeValue(csvTextColor);
  Changed();
}

void TcxCustomContainerStyle::SetTextStyle(TFontStyles Value) {
  if (HasOwnValue(csvTextStyle) && GetTextStyle() == Value) return;
  FTextStyle = Value;
  IncludeValue(csvTextStyle);
  Changed();
}

void TcxCustomContainerStyle::SetEdges(TcxBorders Value) {
  if (!IsMasterStyle()) return FMasterStyle->SetEdges(Value);
  if (HasOwnValue(csvEdges) && FEdges == Value) return;
  FEdges = Value & cxAllBorders;
  IncludeValue(csvEdges);
  Changed();
}

void TcxCustomContainerStyle::SetHotTrack(bool Value) {
  if (!IsMasterStyle()) return FMasterStyle->SetHotTrack(Value);
  if (HasOwnValue(csvHotTrack) && FHotTrack == Value) return;
  FHotTrack = Value;
  IncludeValue(csvHotTrack);
  Changed();
}

void TcxCustomContainerStyle::SetShadow(bool Value) {
  if (!IsMasterStyle()) return FMasterStyle->SetShadow(Value);
  if (HasOwnValue(csvShadow) && FShadow == Value) return;
  FShadow = Value;
  IncludeValue(csvShadow);
  Changed();
}

void TcxCustomContainerStyle::SetTransparentBorder(bool Value) {
  if (!IsMasterStyle()) return FMasterStyle->SetTransparentBorder(Value);
  if (HasOwnValue(csvTransparentBorder) && FTransparentBorder == Value) return;
  FTransparentBorder = Value;
  IncludeValue(csvTransparentBorder);
  Changed();
}

void TcxCustomContainerStyle::SetFont(TFont* Value) {
  if (FDirectAccessMode) {
    FFont = Value;
    return;
  }
  if (!IsMasterStyle()) return FMasterStyle->SetFont(Value);
  if (!Value || !FFont) return;
  BeginUpdate();
  FFont->Assign(Value);
  if (!HasOwnValue(csvFont)) {
    IncludeValue(csvFont);
    FModified = true;
  }
  EndUpdate();
}

void TcxCustomContainerStyle::FontChanged(TObject*) {
  if (FFontRefreshLock > 0) return;
  IncludeValue(csvFont);
  Changed();
}

void TcxCustomContainerStyle::SetAssignedValues(TcxContainerStyleValues Value) {
  if (FDirectAccessMode) return;
  FAssignedValues = Value;
  Master()->RefreshFont();
  Changed();
}

void TcxCustomContainerStyle::SetLookAndFeel(TcxLookAndFeel* Value) {
  if (TcxLookAndFeel* own = LookAndFeel(); own && Value) own->Assign(Value);
}

void TcxCustomContainerStyle::RefreshFont() {
  if (FDirectAccessMode || !IsMasterStyle() || !FFont || HasOwnValue(csvFont)) return;
  TFont* resolved = nullptr;
  if (!ResolveFont(resolved) || !resolved || resolved == FFont) return;
  ++FFontRefreshLock;
  FFont->Assign(resolved);
  --FFontRefreshLock;
}

// ---- Style controller --------------------------------------------------------------------

bool TcxCustomContainerStyle::LeadsToThis(TcxStyleController* AController) const {
  // Walks the chain of normal styles' controllers; the bound stops a chain
  // that loops elsewhere.
  Integer steps = 0;
  for (TcxStyleController* c = AController; c && steps < 1000; ++steps) {
    TcxCustomContainerStyle* normal = c->Style();
    if (normal == this) return true;
    c = normal->FStyleController;
  }
  return steps >= 1000;
}

void TcxCustomContainerStyle::SetStyleController(TcxStyleController* Value) {
  if (!IsMasterStyle()) return FMasterStyle->SetStyleController(Value);
  if (FDirectAccessMode) return;
  TcxStyleController* defaultController = DefaultStyleController();
  if (defaultController && defaultController == FOwner) return;
  if (!Value) Value = defaultController;
  if (Value == FStyleController) return;
  if (Value && (Value == FOwner || LeadsToThis(Value))) return;
  if (FStyleController) FStyleController->RemoveListener(this);
  FStyleController = Value;
  if (FStyleController) FStyleController->AddListener(this);
  ControllerChanged();
}

void TcxCustomContainerStyle::ControllerChanged() {
  Master()->RefreshFont();
  Changed();
}

void TcxCustomContainerStyle::ControllerFreed(TcxStyleController* AStyleController) {
  if (FStyleController != AStyleController) return;
  FStyleController = nullptr;
  if (FLookAndFeel) FLookAndFeel->SetMaster(nullptr);
  ControllerChanged();
}

// ---- Restore and assign ------------------------------------------------------------------

void TcxCustomContainerStyle::RestoreDefaults() {
  BeginUpdate();
  FAssignedValues = 0;
  FModified = true;
  if (IsMasterStyle() && !FDirectAccessMode) {
    if (FLookAndFeel) FLookAndFeel->SetAssignedValues(0);
    TcxContainer* container = OwnerContainer();
    if (container) {
      container->SetParentColor(false);
      container->SetParentFont(true);
    } else if (FFont) {
      TFont defaults;
      ++FFontRefreshLock;
      FFont->Assign(&defaults);
      --FFontRefreshLock;
    }
    TcxStyleController* controller = ActiveStyleController();
    if (container && container->DefaultColorIsButtonFace() &&
        !(controller && controller->Style()->IsValueAssigned(csvColor)))
      container->SetParentColor(true);
  }
  EndUpdate();
}

void TcxCustomContainerStyle::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomContainerStyle*>(Source);
  if (!source) return TPersistent::Assign(Source);
  BeginUpdate();
  if (IsMasterStyle() && !FDirectAccessMode) {
    SetStyleController(source->StyleController());
    if (FLookAndFeel && source->LookAndFeel()) FLookAndFeel->Assign(source->LookAndFeel());
  }
  FBorderColor = source->FBorderColor;
  FBorderStyle = source->FBorderStyle;
  FEdges = source->FEdges;
  FHotTrack = source->FHotTrack;
  FShadow = source->FShadow;
  FTransparentBorder = source->FTransparentBorder;
  FColor = source->FColor;
  if (FDirectAccessMode) {
    FFont = source->Font();
    FTextColor = source->FTextColor;
  } else {
    if (FFont && source->Font()) {
      ++FFontRefreshLock;
      FFont->Assign(source->Font());
      if (source->FDirectAccessMode) FFont->SetColor(source->FTextColor);
      --FFontRefreshLock;
    }
    FTextColor = source->FTextColor;
    FTextStyle = source->FTextStyle;
  }
  FAssignedValues = source->FDirectAccessMode ? source->AssignedValues() : source->FAssignedValues;
  FModified = true;
  EndUpdate();
}

// ---- TcxContainerStyles ------------------------------------------------------------------

TcxContainerStyles::TcxContainerStyles(TPersistent* AOwner, TcxContainerStyleClass AStyleClass,
                                       TcxContainerStyleClass AStateStyleClass) {
  FStyles[cxsiNormal] = AStyleClass->Create(AOwner, false);
  for (Integer i = cxsiFocused; i < cxContainerStateCount; ++i) {
    FStyles[i] = AStateStyleClass->Create(AOwner, false);
    FStyles[i]->SetMasterStyle(FStyles[cxsiNormal]);
    FStyles[i]->SetState(static_cast<TcxContainerStateIndex>(i));
  }
}

TcxContainerStyles::~TcxContainerStyles() {
  for (Integer i = cxContainerStateCount - 1; i >= 0; --i) {
    FStyles[i]->OnChanged = nullptr;
    delete FStyles[i];
  }
}

void TcxContainerStyles::SetOnChanged(const TNotifyEvent& Value) {
  for (TcxCustomContainerStyle* style : FStyles) style->OnChanged = Value;
}

// ---- TcxStyleController ------------------------------------------------------------------

TcxStyleController::TcxStyleController(TComponent* AOwner) : TComponent(AOwner) { RecreateStyles(); }

TcxStyleController::~TcxStyleController() {
  NotifyListenersFreed();
  FStyles.reset();
}

void TcxStyleController::BeforeDestruction() {
  NotifyListenersFreed();
  TComponent::BeforeDestruction();
}

void TcxStyleController::NotifyListenersFreed() {
  if (FIsDestroying) return;
  FIsDestroying = true;
  std::vector<TcxCustomContainerStyle*> listeners;
  listeners.swap(FListeners);
  for (TcxCustomContainerStyle* style : listeners) style->ControllerFreed(this);
}

void TcxStyleController::RecreateStyles() {
  FStyles = std::make_unique<TcxContainerStyles>(this, StyleClass(), StateStyleClass());
  FStyles->SetOnChanged(TNotifyEvent(this, &TcxStyleController::StyleChanged));
}

bool TcxStyleController::HasListener(const TcxCustomContainerStyle* AStyle) const {
  return std::find(FListeners.begin(), FListeners.end(), AStyle) != FListeners.end();
}

void TcxStyleController::AddListener(TcxCustomContainerStyle* AStyle) {
  if (!AStyle || HasListener(AStyle)) return;
  FListeners.push_back(AStyle);
  if (TcxLookAndFeel* lookAndFeel = AStyle->LookAndFeel()) lookAndFeel->SetMaster(Style()->LookAndFeel());
}

void TcxStyleController::RemoveListener(TcxCustomContainerStyle* AStyle) {
  if (FIsDestroying || !HasListener(AStyle)) return;
  FListeners.erase(std::find(FListeners.begin(), FListeners.end(), AStyle));
  if (TcxLookAndFeel* lookAndFeel = AStyle->LookAndFeel()) lookAndFeel->SetMaster(nullptr);
}

void TcxStyleController::StyleChanged(TObject*) {
  if (OnStyleChanged) OnStyleChanged(this);
  if (FIsDestroying) return;
  const std::vector<TcxCustomContainerStyle*> listeners = FListeners;
  for (TcxCustomContainerStyle* style : listeners)
    if (HasListener(style)) style->ControllerChanged();
}

void TcxStyleController::Loaded() {
  TComponent::Loaded();
  StyleChanged(this);
}

// ---- TcxContainerViewInfo ----------------------------------------------------------------

void TcxContainerViewInfo::Assign(TObject* Source) {
  if (auto* source = dynamic_cast<TcxContainerViewInfo*>(Source)) ClientRect = source->ClientRect;
}

TcxRegion* TcxContainerViewInfo::CreateRepaintRegion(TcxContainerViewInfo*) { return new TcxRegion(); }

void TcxContainerViewInfo::MoveBy(Integer DX, Integer DY) {
  OffsetRect(BorderRect, DX, DY);
  OffsetRect(Bounds, DX, DY);
  OffsetRect(ClientRect, DX, DY);
}

void TcxContainerViewInfo::PaintContainerBorder(TcxCanvas* ACanvas, const TRect& ARect) {
  TRect inner = ARect;
  InflateRect(inner, -1, -1);
  switch (BorderStyle) {
    case cbsSingle:
    case cbsThick:
      ACanvas->DrawBorderBands(ARect, BorderColor, cxAllBorders, BorderWidth);
      break;
    case cbsFlat:
      ACanvas->DrawEdgeRing(ARect, true, true, Edges);
      ACanvas->DrawBorderBands(inner, clBtnFace, cxAllBorders, 1);
      break;
    case cbs3D:
      ACanvas->DrawEdgeRing(ARect, true, true, Edges);
      ACanvas->DrawTwoColorBorders(inner, cl3DDkShadow, 1, Edges, cl3DLight);
      break;
    default:
      break;
  }
}

void TcxContainerViewInfo::PaintNativeBackground(TcxCanvas* ACanvas) {
  if (BorderStyle == cbsNone) {
    ACanvas->GetBrush()->SetColor(BackgroundColor);
    ACanvas->Canvas()->FillRect(Bounds);
    return;
  }
  TRect content = Bounds;
  GetThemeBackgroundContentRect(OpenThemeClass(ThemeClass), ACanvas->GetHandle(), ThemePart, ThemeState, Bounds,
                                content);
  TColor ring = clWindowFrame;
  GetThemeColor(OpenThemeClass(thcComboBox), 1, 1, TMT_BORDERCOLOR, ring);
  FillFrameArea(ACanvas, Bounds, content, ring);
  ACanvas->GetBrush()->SetColor(BackgroundColor);
  ACanvas->Canvas()->FillRect(content);
}

void TcxContainerViewInfo::PaintBackground(TcxCanvas* ACanvas) {
  if (!ACanvas->IsRectVisible(Bounds)) return;
  if (NativeStyle) return PaintNativeBackground(ACanvas);
  TcxRegion* savedClip = ACanvas->CopyClipRegion();
  // Left and top always take the frame (a side without an edge lies outside
  // the control); right and bottom only where there is an edge, so that the
  // shadow hugs the visible frame.
  TRect frame = BorderRect;
  frame.Left -= BorderWidth;
  frame.Top -= BorderWidth;
  if (Edges & BorderBit(bRight)) frame.Right += BorderWidth;
  if (Edges & BorderBit(bBottom)) frame.Bottom += BorderWidth;
  if (Shadow) DrawContainerShadow(ACanvas, frame);
  if (!(Edges & BorderBit(bRight))) frame.Right += BorderWidth;
  if (!(Edges & BorderBit(bBottom))) frame.Bottom += BorderWidth;
  PaintContainerBorder(ACanvas, frame);
  ACanvas->GetBrush()->SetColor(BackgroundColor);
  ACanvas->Canvas()->FillRect(BorderRect);
  ACanvas->ApplyClipRegion(savedClip, roCopy, true);
}

// ---- TcxContainer: mouse tracking --------------------------------------------------------

class TcxContainer::TMouseTrackingHelper : public TObject, public IcxMouseTrackingCaller {
public:
  explicit TMouseTrackingHelper(TcxContainer* AContainer) : FContainer(AContainer) {}
  void MouseLeave() override { FContainer->MouseTrackingLeave(); }

private:
  TcxContainer* FContainer;
};

// ---- TcxContainer: life ------------------------------------------------------------------

TcxContainer::TcxContainer(TComponent* AOwner) : TcxControl(AOwner) {
  FMouseTracking = std::make_unique<TMouseTrackingHelper>(this);
  CreateStylesAndViewInfo();
  FControlStyle |= csCaptureMouse | csSetCaption;
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  FIsCreating = false;
  RefreshContainer();
}

TcxContainer::~TcxContainer() {
  EndMouseTracking(FMouseTracking.get());
  FIsDestroying = true;
  if (FInnerControl) {
    UnhookInnerControl();
    FInnerControl->RemoveFreeNotification(this);
  }
  FInnerControl = nullptr;
  FViewInfo.reset();
  FActiveStyle = nullptr;
  if (FStyles) FStyles->SetOnChanged(nullptr);
  FStyles.reset();
  FMouseTracking.reset();
  if (FWindowRegion) DeleteObject(FWindowRegion);
}

void TcxContainer::BeforeDestruction() {
  EndMouseTracking(FMouseTracking.get());
  FIsDestroying = true;
  TcxControl::BeforeDestruction();
}

void TcxContainer::CreateStylesAndViewInfo() {
  FActiveStyle = nullptr;
  FStyles.reset(StylesClass()->Create(this, StyleClass(), StateStyleClass()));
  FStyles->SetOnChanged(TNotifyEvent(this, &TcxContainer::StylesChanged));
  FViewInfo.reset(static_cast<TcxContainerViewInfo*>(ViewInfoClass()->Create()));
  LookAndFeel()->SetMaster(Style()->LookAndFeel());
}

void TcxContainer::RecreateStylesAndViewInfo() {
  bool creating = FIsCreating;
  FIsCreating = true;
  FViewInfo.reset();
  FStyles.reset();
  CreateStylesAndViewInfo();
  FIsCreating = creating;
}

void TcxContainer::Loaded() {
  TcxControl::Loaded();
  ApplyStyle(this);
}

void TcxContainer::CreateWnd() {
  TcxControl::CreateWnd();
  if (FWindowRegion) DeleteObject(FWindowRegion);
  FWindowRegion = nullptr;
  FHasInnerRegion = false;
  RefreshContainer();
}

void TcxContainer::CreateParams(TCreateParams& Params) {
  TcxControl::CreateParams(Params);
  Params.ClassStyle &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TcxContainer::SetInnerControl(TWinControl* Value) {
  if (FInnerControl == Value) return;
  if (FInnerControl) {
    UnhookInnerControl();
    FInnerControl->RemoveFreeNotification(this);
  }
  FInnerControl = Value;
  FHasInnerRegion = false;
  if (FInnerControl) {
    FInnerControl->FreeNotification(this);
    HookInnerControl();
    FInnerControl->SetDragMode(DragMode());
    FInnerControl->SetCursor(Cursor());
  }
  InnerControlChanged();
  RefreshContainer();
}

void TcxContainer::HookInnerControl() {
  FSavedInnerWindowProc = FInnerControl->WindowProc;
  FInnerControl->WindowProc = TWndMethod(this, &TcxContainer::InnerWindowProc);
}

void TcxContainer::UnhookInnerControl() {
  // Taken out only when nobody put another method in front meanwhile.
  if (FInnerControl->WindowProc == TWndMethod(this, &TcxContainer::InnerWindowProc))
    FInnerControl->WindowProc = FSavedInnerWindowProc;
  FSavedInnerWindowProc = nullptr;
}

void TcxContainer::InnerWindowProc(TMessage& Message) {
  TcxDestroyGuard guard(this);
  if (PreviewInnerMessage(Message) || !guard.Alive()) return;
  const bool press = Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_RBUTTONDOWN || Message.Msg == WM_MBUTTONDOWN;
  if (press) FInnerMouseDown = true;
  const TWndMethod saved = FSavedInnerWindowProc;
  try {
    if (saved) saved(Message);
  } catch (...) {
    if (guard.Alive()) FInnerMouseDown = false;
    throw;
  }
  if (!guard.Alive()) return;
  if (press) FInnerMouseDown = false;
  if (Message.Msg == WM_SETFOCUS || Message.Msg == WM_KILLFOCUS) RefreshContainer();
}

void TcxContainer::Notification(TComponent* AComponent, TOperation Operation) {
  TcxControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FInnerControl) {
    FInnerControl = nullptr;
    FSavedInnerWindowProc = nullptr;
    FHasInnerRegion = false;
  }
}

// ---- TcxContainer: state -----------------------------------------------------------------

bool TcxContainer::InnerHasFocus() const { return FInnerControl && FInnerControl->Focused(); }

bool TcxContainer::Focused() const {
  if (IsDesigning()) return false;
  return TcxControl::Focused() || InnerHasFocus();
}

TcxCustomContainerStyle* TcxContainer::GetActiveStyle() {
  TcxContainerState state = FViewInfo->ContainerState;
  if (!FActiveStyle || FActiveStyleState != state) {
    FActiveStyle = StyleForState(state);
    FActiveStyleState = state;
  }
  return FActiveStyle;
}

TcxCustomContainerStyle* TcxContainer::StyleForState(TcxContainerState AState) {
  if (AState & csDisabled) return StyleDisabled();
  if (AState & csActive) return StyleFocused();
  if (AState & csHotTrack) return StyleHot();
  return Style();
}

bool TcxContainer::IsNativeStyle() { return NativeThemeAvailable(Style()->LookAndFeel()->NativeStyle(), ThemeClass()); }

Integer TcxContainer::ThemeState() {
  TcxContainerState state = FViewInfo->ContainerState;
  if (state & csDisabled) return 4;
  if (state & csActive) return 5;
  if (state & csHotTrack) return 2;
  return 1;
}

bool TcxContainer::HasShadow() { return GetActiveStyle()->Shadow() && !FViewInfo->NativeStyle; }

TRect TcxContainer::ContentMargins() {
  TcxCustomContainerStyle* style = GetActiveStyle();
  TcxContainerViewInfo* info = FViewInfo.get();
  TRect margins{};
  if (style->TransparentBorder())
    margins = TRect{2, 2, 2, 2};
  else if (!style->BorderAllowed() || (info->NativeStyle && Style()->BorderStyle() == cbsNone))
    margins = TRect{};
  else if (info->NativeStyle)
    margins = TRect{2, 2, 2, 2};
  else
    margins = SidesOf(style->Edges(), info->BorderWidth);
  if (HasShadow()) {
    margins.Right += cxContainerShadowWidth;
    margins.Bottom += cxContainerShadowWidth;
  }
  return margins;
}

TRect TcxContainer::TrackingRect() {
  TRect r = ControlLocalBounds(this);
  if (FullBoundsMode()) return r;
  TcxCustomContainerStyle* style = GetActiveStyle();
  TcxContainerViewInfo* info = FViewInfo.get();
  if (HasShadow()) {
    r.Right -= cxContainerShadowWidth;
    r.Bottom -= cxContainerShadowWidth;
  }
  if (style->BorderAllowed()) {
    if (!info->NativeStyle && style->TransparentBorder()) {
      InflateRect(r, info->BorderWidth - 2, info->BorderWidth - 2);
      r = ShrinkRectByBorders(r, info->BorderWidth, style->Edges());
    } else if (info->NativeStyle && Style()->BorderStyle() == cbsNone && style->TransparentBorder()) {
      InflateRect(r, -2, -2);
    }
  } else if (style->TransparentBorder()) {
    InflateRect(r, -2, -2);
  }
  return r;
}

TRect TcxContainer::GetWindowRegionRect() {
  TRect r = DeflateRectByMargins(ControlLocalBounds(this), ContentMargins());
  Integer width = FViewInfo->BorderWidth;
  InflateRect(r, width, width);
  return ShrinkRectByBorders(r, width, GetActiveStyle()->Edges());
}

void TcxContainer::Recalculate(const TPoint& P, bool AHotTrackingAllowed) {
  TcxContainerViewInfo* info = FViewInfo.get();
  info->NativeStyle = IsNativeStyle();
  const Integer oldWidth = info->BorderWidth;
  auto workOutState = [&] {
    TcxContainerState state;
    if (!Enabled()) state = csDisabled;
    else if (IsDesigning()) state = csNormal;
    else state = Focused() ? csActive : csNormal;
    if (AHotTrackingAllowed && PtInRect(TrackingRect(), P)) state |= csHotTrack;
    info->ContainerState = state;
    TcxCustomContainerStyle* active = GetActiveStyle();
    info->HotState = !active->HotTrack() ? 0 : (state & (csActive | csHotTrack)) ? 2 : 1;
    TcxContainerBorderStyle frame = info->NativeStyle ? Style()->BorderStyle() : active->BorderStyle();
    if (!info->NativeStyle && (frame == cbsUltraFlat || frame == cbsOffice11)) frame = cbsSingle;
    info->BorderStyle = frame;
    info->BorderWidth = ContainerBorderWidth(frame);
  };
  workOutState();
  if (!info->NativeStyle && info->BorderWidth < oldWidth) workOutState();

  if (info->NativeStyle) {
    info->ThemeClass = ThemeClass();
    info->ThemePart = ThemePart();
    info->ThemeState = ThemeState();
  }
  TcxCustomContainerStyle* active = GetActiveStyle();
  info->Bounds = ControlLocalBounds(this);
  info->BorderRect = DeflateRectByMargins(info->Bounds, ContentMargins());
  info->ClientRect = info->BorderRect;
  info->Edges = active->Edges();
  info->Shadow = HasShadow();

  const TcxContainerBorderStyle borderStyle = active->BorderStyle();
  const TcxContainerState state = info->ContainerState;
  if (borderStyle == cbsUltraFlat || borderStyle == cbsOffice11) {
    bool lit = (state & csActive) || ((state & csHotTrack) && active->HotTrack()) || (IsDesigning() && Enabled());
    info->BorderColor = !lit ? clBtnShadow : borderStyle == cbsOffice11 ? Office11Color(o11Highlight) : clHighlight;
  } else {
    info->BorderColor = active->BorderColor();
  }
  info->SetBackgroundColor(active->Color());
  if (info->NativeStyle && (state & csDisabled)) {
    TColor fill = info->BackgroundColor;
    if (SUCCEEDED(GetThemeColor(OpenThemeClass(info->ThemeClass), info->ThemePart, info->ThemeState, TMT_FILLCOLOR,
                                fill)))
      info->SetBackgroundColor(fill);
  }
}

TPoint TcxContainer::CursorPoint() {
  TPoint p = QueryCursorPos();
  return HandleAllocated() ? ScreenToClient(p) : TPoint{-1, -1};
}

void TcxContainer::RefreshContainer() { RefreshContainer(CursorPoint(), 0, CurrentShiftState(), false); }

void TcxContainer::RefreshContainer(const TPoint& P, Integer AButton, TShiftState AShift, bool) {
  HandleStateChange(P, AButton, true, AShift);
}

void TcxContainer::HandleStateChange(const TPoint& P, Integer AButton, bool ARefresh, TShiftState AShift) {
  if (FPlacingInnerControl || IsContainerDestroying() || FIsCreating) return;
  bool hotTracking = AButton == 0 && (AShift & cxAnyKeyOrButton) == 0 && GetActiveStyle()->HotTrack();
  const TRect oldClientRect = FViewInfo->ClientRect;
  Recalculate(P, hotTracking);
  // Aligned children follow the client rect.
  if (!RectsEqual(oldClientRect, FViewInfo->ClientRect) && ControlCount() > 0) Realign();
  PlaceInnerControl();
  SyncInnerControl();
  UpdateWindowRegion();
  if (ARefresh) InvalidateAfterStateChange();
  if ((FViewInfo->ContainerState & csHotTrack) && HandleAllocated())
    BeginMouseTracking(this, TrackingRect(), FMouseTracking.get());
}

void TcxContainer::InvalidateAfterStateChange() {
  if (!HandleAllocated()) return;
  if (FInnerControl)
    InvalidateFrameArea(Handle(), FViewInfo->Bounds, FViewInfo->BorderRect, false);
  else
    Invalidate();
}

void TcxContainer::MouseTrackingLeave() {
  if (!IsContainerDestroying()) RefreshContainer();
}

void TcxContainer::UpdateWindowRegion() {
  if (!HandleAllocated() || IsContainerDestroying()) return;
  TcxContainerViewInfo* info = FViewInfo.get();
  HRGN region = nullptr;
  if (!(info->NativeStyle && info->BorderStyle != cbsNone)) {
    TRect r = GetWindowRegionRect();
    region = CreateRectRgnIndirect(r);
    if (info->Shadow) {
      HRGN shadow = CreateRectRgnIndirect(ShiftRect(r, cxContainerShadowWidth, cxContainerShadowWidth));
      CombineRgn(region, region, shadow, RGN_OR);
      DeleteObject(shadow);
    }
  }
  bool same = region ? (FWindowRegion && EqualRgn(region, FWindowRegion)) : FWindowRegion == nullptr;
  if (same) {
    if (region) DeleteObject(region);
    return;
  }
  if (FWindowRegion) DeleteObject(FWindowRegion);
  FWindowRegion = region;
  SetWindowRgn(Handle(), region ? CopyRegion(region) : nullptr, false);
}

// ---- TcxContainer: inner control ---------------------------------------------------------

void TcxContainer::PlaceInnerControl() {
  if (!FInnerControl) return;
  const TRect& r = FViewInfo->ClientRect;
  if (RectsEqual(FInnerControl->BoundsRect(), r)) return;
  FPlacingInnerControl = true;
  try {
    FInnerControl->SetBoundsRect(r);
  } catch (...) {
    FPlacingInnerControl = false;
    throw;
  }
  FPlacingInnerControl = false;
}

void TcxContainer::SyncInnerControl() {
  if (!FInnerControl) return;
  FInnerControl->SetColor(FViewInfo->BackgroundColor);
  TFont* font = GetActiveStyle()->GetVisibleFont();
  if (!FInnerControl->Font()->SameAs(*font)) FInnerControl->SetFont(font);
}

void TcxContainer::FocusInner() {
  if (FInnerControl && FInnerControl->CanFocus() && !FInnerControl->Focused()) ::SetFocus(FInnerControl->Handle());
}

void TcxContainer::SetFocus() {
  TcxControl::SetFocus();
  FocusInner();
}

void TcxContainer::SetDragMode(TDragMode Value) {
  TcxControl::SetDragMode(Value);
  if (FInnerControl) FInnerControl->SetDragMode(Value);
}

bool TcxContainer::ClipInnerControlRect(const TRect& AArea, TRect& AClipRect) {
  if (!FInnerControl) return false;
  TRect bounds = FInnerControl->BoundsRect();
  TRect visible;
  IntersectRectsInto(visible, bounds, AArea);
  if (RectsEqual(visible, bounds)) return false;
  AClipRect = ShiftRect(visible, -bounds.Left, -bounds.Top);
  return true;
}

bool TcxContainer::InnerRegionChanged(bool AHasRegion, const TRect& AClipRect) {
  if (AHasRegion != FHasInnerRegion) return true;
  return AHasRegion && !RectsEqual(AClipRect, FInnerRegionRect);
}

void TcxContainer::SaveInnerRegion(bool AHasRegion, const TRect& AClipRect) {
  FHasInnerRegion = AHasRegion;
  FInnerRegionRect = AHasRegion ? AClipRect : TRect{};
}

void TcxContainer::ResetInnerRegion() {
  if (FInnerControl && FInnerControl->HandleAllocated()) SetControlRegion(FInnerControl, nullptr);
  SaveInnerRegion(false, TRect{});
}

void TcxContainer::AlignControls(TControl* AControl, TRect& Rect) {
  if (IsContainerDestroying()) return;
  if (!FIsCreating) Rect = FViewInfo->ClientRect;
  TcxControl::AlignControls(AControl, Rect);
  if (!FInnerControl || !FInnerControl->HandleAllocated()) return;
  TRect clip{};
  bool cut = ClipInnerControlRect(Rect, clip);
  if (!InnerRegionChanged(cut, clip)) return;
  SetControlRegion(FInnerControl, cut ? &clip : nullptr);
  SaveInnerRegion(cut, clip);
}

TRect TcxContainer::ContentBounds() {
  if (IsContainerDestroying()) return TRect{};
  return FViewInfo->ClientRect;
}

bool TcxContainer::FocusWhenClicked() {
  if (InnerHasFocus() || FInnerMouseDown) return false;
  return TcxControl::FocusWhenClicked();
}

// ---- TcxContainer: scroll bars -----------------------------------------------------------

bool TcxContainer::ScrollBarInfoUsable() { return ScrollBarInfoAvailable(); }

void TcxContainer::SyncScrollBars() {
  if (!ScrollBarInfoUsable()) return;
  SyncScrollBar(sbHorizontal);
  SyncScrollBar(sbVertical);
}

void TcxContainer::SyncScrollBar(TScrollBarKind) {
  // The inner windows of this platform have no native scroll bars to mirror.
}

// ---- TcxContainer: style application -----------------------------------------------------

void TcxContainer::ApplyStyle(TObject*) {
  if (FIsCreating || IsLoading() || IsContainerDestroying()) return;
  TcxDestroyGuard guard(this);
  FInternalUpdate = true;
  try {
    const bool parentColor = ParentColor();
    SetColor(Style()->EffectiveColor());
    if (parentColor) SetParentColor(true);
    if (TFont* font = Style()->Font(); font && !Font()->SameAs(*font)) SetFont(font);
  } catch (...) {
    if (guard.Alive()) FInternalUpdate = false;
    throw;
  }
  if (!guard.Alive()) return;
  FInternalUpdate = false;
  ContainerStyleChanged();
  if (guard.Alive()) RefreshContainer();
}

void TcxContainer::HandleColorChange() {
  TcxControl::HandleColorChange();
  if (!FInternalUpdate && !FIsCreating && !IsContainerDestroying()) {
    Style()->SetColor(Color());
    return;  // the style's notice refreshes the container
  }
  RefreshContainer();
}

void TcxContainer::HandleFontChange() {
  TcxDestroyGuard guard(this);
  TcxControl::HandleFontChange();
  if (!guard.Alive()) return;
  if (!FInternalUpdate && !FIsCreating && !IsContainerDestroying()) {
    TcxCustomContainerStyle* style = Style();
    style->BeginUpdate();
    style->SetFont(Font());
    style->ExcludeValue(csvFont);
    style->EndUpdate();
    return;
  }
  RefreshContainer();
}

void TcxContainer::CMParentColorChanged(TMessage& Message) {
  if (FInternalUpdate) return TcxControl::CMParentColorChanged(Message);
  TcxCustomContainerStyle* style = Style();
  if (!style->HasOwnValue(csvColor) || ParentColor()) style->ExcludeValue(csvColor);
  FInternalUpdate = true;
  TcxControl::CMParentColorChanged(Message);
  FInternalUpdate = false;
  if (style->EffectiveColor() != Color()) ApplyStyle(this);
  else RefreshContainer();
}

void TcxContainer::CMParentFontChanged(TMessage& Message) {
  TcxCustomContainerStyle* style = Style();
  const bool hadFont = style->HasOwnValue(csvFont);
  TcxControl::CMParentFontChanged(Message);
  if (!ParentFont()) style->RefreshFont();
  if (hadFont) style->IncludeValue(csvFont);
  else style->ExcludeValue(csvFont);
}

// ---- TcxContainer: messages --------------------------------------------------------------

void TcxContainer::PassToInner(TMessage& M) {
  M.Result = SendMessage(FInnerControl->Handle(), M.Msg, M.WParam, M.LParam);
}

void TcxContainer::Dispatch(TMessage& M) {
  const bool hasInner = FInnerControl && FInnerControl->HandleAllocated();
  switch (M.Msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case CN_KEYDOWN:
    case CN_KEYUP:
    case CN_CHAR:
      if (hasInner) return PassToInner(M);
      break;
    case WM_SETFOCUS:
      if (!Visible()) return;
      if (hasInner && TWMSetFocus(M).FocusedWnd() == FInnerControl->Handle()) return;
      TcxControl::Dispatch(M);
      FocusInner();
      return;
    case WM_KILLFOCUS:
      if (hasInner && TWMKillFocus(M).FocusedWnd() == FInnerControl->Handle()) return;
      break;
    case WM_NCPAINT:
      M.Result = 0;
      return;
    case WM_WINDOWPOSCHANGING:
      if (TcxControl::Focused()) FocusInner();
      break;
    case WM_WINDOWPOSCHANGED:
      TcxControl::Dispatch(M);
      if (RefreshOnMove()) RefreshContainer();
      return;
    case CM_CTL3DCHANGED:
      TcxControl::Dispatch(M);
      RefreshContainer();
      return;
    default:
      break;
  }
  TcxControl::Dispatch(M);
}

void TcxContainer::CMSysColorChange(TMessage& Message) {
  TcxDestroyGuard guard(this);
  TcxControl::CMSysColorChange(Message);
  if (guard.Alive()) RefreshContainer();
}

void TcxContainer::HandleCursorChange() {
  TcxControl::HandleCursorChange();
  if (FInnerControl) FInnerControl->SetCursor(Cursor());
}

void TcxContainer::CMEnabledChanged(TMessage& Message) {
  TcxControl::CMEnabledChanged(Message);
  RefreshContainer();
}

void TcxContainer::WMSetCursor(TMessage& Message) {
  TWMSetCursor s(Message);
  if (HandleAllocated() && s.CursorWnd() == Handle() && s.HitTest() == HTCLIENT && !IsDesigning()) {
    TPoint p = CursorPoint();
    if (!PtInRect(FViewInfo->ClientRect, p)) {
      ::SetCursor(LoadCursor(IDC_ARROW));
      Message.Result = 1;
      return;
    }
  }
  TcxControl::WMSetCursor(Message);
}

void TcxContainer::HandleFocusChange() {
  TcxDestroyGuard guard(this);
  TcxControl::HandleFocusChange();
  if (guard.Alive()) RefreshContainer();
}

void TcxContainer::HandleMouseEnter(TControl* AControl) {
  TcxDestroyGuard guard(this);
  TcxControl::HandleMouseEnter(AControl);
  if (guard.Alive()) RefreshContainer();
}

void TcxContainer::HandleMouseLeave(TControl* AControl) {
  TcxDestroyGuard guard(this);
  TcxControl::HandleMouseLeave(AControl);
  if (guard.Alive()) RefreshContainer();
}

void TcxContainer::Resize() {
  TcxDestroyGuard guard(this);
  TcxControl::Resize();
  if (guard.Alive()) RefreshContainer();
}

void TcxContainer::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxDestroyGuard guard(this);
  TcxControl::MouseDown(Button, Shift, X, Y);
  if (guard.Alive()) HandleStateChange(TPoint{X, Y}, MouseButtonToContainerButton(Button), true, Shift);
}

void TcxContainer::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TcxDestroyGuard guard(this);
  TcxControl::MouseMove(Shift, X, Y);
  if (guard.Alive()) HandleStateChange(TPoint{X, Y}, 0, true, Shift);
}

void TcxContainer::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxDestroyGuard guard(this);
  TcxControl::MouseUp(Button, Shift, X, Y);
  // The released button no longer counts as held.
  if (guard.Alive()) HandleStateChange(TPoint{X, Y}, 0, true, Shift & ~(ssLeft | ssRight | ssMiddle));
}

void TcxContainer::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_TAB && !(Shift & (ssCtrl | ssAlt)) && Focused() && !KeepsTab()) {
    Key = 0;
    const bool selfFocused = TcxControl::Focused();
    if (TCustomForm* form = GetParentForm()) {
      TcxDestroyGuard guard(this);
      cxSelectNextControl(form, this, !(Shift & ssShift));
      if (!guard.Alive()) return;
    }
    if (selfFocused && TcxControl::Focused()) FocusInner();
    return;
  }
  TcxControl::KeyDown(Key, Shift);
}

void cxGetTabOrderList(const TWinControl* ARoot, std::vector<TWinControl*>& AList) {
  ARoot->GetAdjustedTabOrderList(AList);
}

bool cxSelectNextControl(TWinControl* ARoot, TWinControl* ACurrent, bool AForward) {
  TWinControl* next = ARoot->FindNextControl(ACurrent, AForward, true, false);
  if (!next || next == ACurrent) return false;
  next->SetFocus();
  return true;
}

void TcxContainer::AdjustTabOrderList(std::vector<TWinControl*>& AList) const {
  if (!FInnerControl || KeepsOwnTabOrder()) return;
  const TCustomForm* form = GetParentForm();
  if (!form || form->ActiveControl() != FInnerControl) return;
  if (std::find(AList.begin(), AList.end(), this) == AList.end()) return;
  // Listed once, in this place.
  AList.erase(std::remove(AList.begin(), AList.end(), FInnerControl), AList.end());
  *std::find(AList.begin(), AList.end(), this) = FInnerControl;
}

void TcxContainer::DoContextPopup(const TPoint& MousePos, bool& Handled) {
  const bool keyboard = MousePos.X == -1 && MousePos.Y == -1;
  if (FContextPopupLock > 0 || !(keyboard || IsContextPopupPoint(MousePos))) {
    Handled = true;
    return;
  }
  TcxControl::DoContextPopup(MousePos, Handled);
}

void TcxContainer::Paint() {
  TcxCanvas* canvas = cxCanvas();
  if (!canvas->IsRectVisible(ControlLocalBounds(this))) return;
  TcxRegion* saved = nullptr;
  if (ClipToWindowRegion() && FWindowRegion) {
    saved = canvas->CopyClipRegion();
    canvas->ApplyClipRegion(new TcxRegion(CopyRegion(FWindowRegion)), roIntersect, true);
  }
  FViewInfo->Render(canvas);
  if (saved) canvas->ApplyClipRegion(saved, roCopy, true);
}

// ---- Routines ----------------------------------------------------------------------------

Integer MouseButtonToContainerButton(TMouseButton AButton) {
  switch (AButton) {
    case mbLeft: return 1;
    case mbRight: return 2;
    case mbMiddle: return 3;
  }
  return 0;
}

void DrawContainerShadow(TcxCanvas* ACanvas, const TRect& ARect) {
  const Integer w = cxContainerShadowWidth;
  const TRect right{ARect.Right, ARect.Top + w, ARect.Right + w, ARect.Bottom + w};
  const TRect bottom{ARect.Left + w, ARect.Bottom, ARect.Right, ARect.Bottom + w};
  ACanvas->GetBrush()->SetColor(clBtnShadow);
  ACanvas->Canvas()->FillRect(right);
  ACanvas->Canvas()->FillRect(bottom);
  ACanvas->ClipOutRect(right);
  ACanvas->ClipOutRect(bottom);
}

TRect DeflateRectByMargins(const TRect& R, const TRect& AMargins) {
  return TRect{R.Left + AMargins.Left, R.Top + AMargins.Top, R.Right - AMargins.Right, R.Bottom - AMargins.Bottom};
}

Integer ContainerBorderWidth(TcxContainerBorderStyle AStyle) {
  static constexpr Integer widths[] = {0, 1, 2, 2, 2, 1, 1};
  return AStyle >= cbsNone && AStyle <= cbsOffice11 ? widths[AStyle] : 0;
}

TRect ControlLocalBounds(TControl* AControl) { return TRect{0, 0, AControl->Width(), AControl->Height()}; }

TcxContainer* InnerControlContainer(TWinControl* AControl) {
  if (auto* container = dynamic_cast<TcxContainer*>(AControl)) return container;
  if (auto* inner = dynamic_cast<IcxContainerInnerControl*>(AControl)) return inner->GetControlContainer();
  return nullptr;
}

bool WindowHasHandle(TWinControl* AControl, HWND AWnd) {
  return AControl && AControl->HandleAllocated() && AControl->Handle() == AWnd;
}

TRect ShrinkRectByBorders(const TRect& R, Integer AWidth, TcxBorders ASides) {
  const TRect in = SidesOf(~ASides & cxAllBorders, AWidth);
  return DeflateRectByMargins(R, in);
}

bool CompareDisplayText(const String& AText1, const String& AText2, bool ACaseSensitive) {
  if (ACaseSensitive) return AnsiCompareStr(AText1, AText2) == 0;
  return AnsiUpperCase(AText1) == AnsiUpperCase(AText2);
}

TPoint QueryCursorPos() {
  TPoint p;
  GetCursorPos(p);
  return p;
}

TShiftState CurrentShiftState() {
  TShiftState shift = KeyboardStateToShiftState();
  if (GetKeyState(VK_SHIFT) & 0x8000) shift |= ssShift;
  if (GetKeyState(VK_CONTROL) & 0x8000) shift |= ssCtrl;
  if (GetKeyState(VK_MENU) & 0x8000) shift |= ssAlt;
  return shift;
}

void FillFrameArea(TcxCanvas* ACanvas, const TRect& AOuter, const TRect& AInner, TColor AColor) {
  if (RectIsEmpty(AOuter) || RectsEqual(AOuter, AInner)) return;
  ACanvas->GetBrush()->SetColor(AColor);
  if (RectIsEmpty(AInner)) {
    ACanvas->Canvas()->FillRect(AOuter);
    return;
  }
  HRGN outer = CreateRectRgnIndirect(AOuter);
  HRGN inner = CreateRectRgnIndirect(AInner);
  CombineRgn(outer, outer, inner, RGN_DIFF);
  for (const TRect& r : GetRegionRects(outer)) ACanvas->Canvas()->FillRect(r);
  DeleteObject(inner);
  DeleteObject(outer);
}

void InvalidateFrameArea(HWND AWnd, const TRect& AOuter, const TRect& AInner, bool AErase) {
  if (RectIsEmpty(AInner)) {
    InvalidateRect(AWnd, &AOuter, AErase);
    return;
  }
  const TRect strips[] = {
      {AOuter.Left, AOuter.Top, AOuter.Right, AInner.Top},
      {AOuter.Left, AInner.Bottom, AOuter.Right, AOuter.Bottom},
      {AOuter.Left, AInner.Top, AInner.Left, AInner.Bottom},
      {AInner.Right, AInner.Top, AOuter.Right, AInner.Bottom},
  };
  for (const TRect& r : strips)
    if (!RectIsEmpty(r)) InvalidateRect(AWnd, &r, AErase);
}

void InvalidateControlArea(TWinControl* AControl, const TRect& R, bool AErase) {
  if (AControl && AControl->HandleAllocated()) InvalidateRect(AControl->Handle(), &R, AErase);
}

bool IsControlWindowVisible(TWinControl* AControl) {
  return AControl && AControl->HandleAllocated() && IsWindowVisible(AControl->Handle());
}

bool WindowInsideControl(TControl* AControl, HWND AWnd) {
  if (!AControl || !AWnd) return false;
  auto* control = dynamic_cast<TWinControl*>(AControl);
  if (!control) return false;
  if (control->HandleAllocated() && (control->Handle() == AWnd || IsChild(control->Handle(), AWnd))) return true;
  for (Integer i = 0; i < control->ControlCount(); ++i)
    if (auto* child = dynamic_cast<TWinControl*>(control->Controls(i)); child && WindowInsideControl(child, AWnd))
      return true;
  return false;
}

TcxCanvas* ContainerScreenCanvas() { return SharedScreenCanvas(); }

bool ScrollBarInfoAvailable() { return false; }

bool NativeThemeAvailable(bool ANativeStyle, Integer AThemeClass) {
  return ANativeStyle && OpenThemeClass(AThemeClass) != 0;
}

void SetControlRegion(TWinControl* AControl, const TRect* R) {
  if (!AControl || !AControl->HandleAllocated()) return;
  SetWindowRgn(AControl->Handle(), R ? CreateRectRgnIndirect(*R) : nullptr, false);
}
