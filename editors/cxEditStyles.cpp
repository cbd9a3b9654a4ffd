#include "editors/cxEditStyles.h"

#include "platform/rtl/exceptions.h"

namespace {

const char16_t* const EditStyleValueNames[] = {u"ButtonStyle", u"ButtonTransparency", u"PopupBorderStyle"};

struct TUnitState {
  bool Started = false;
  TcxEditStyleController* DefaultController = nullptr;
};

// Kept for the whole run: styles destroyed at exit may still ask for it.
TUnitState& State() {
  static TUnitState* s = new TUnitState;
  return *s;
}

}  // namespace

// ---- TcxCustomEditStyle ------------------------------------------------------------------

TcxCustomEditStyle::TcxCustomEditStyle(TPersistent* AOwner, bool ADirectAccessMode)
    : TcxCustomContainerStyle(AOwner, ADirectAccessMode) {}

IcxEditStyleOwner* TcxCustomEditStyle::EditOwner() const { return dynamic_cast<IcxEditStyleOwner*>(Owner()); }

const TcxCustomEditStyle* TcxCustomEditStyle::EditMaster() const {
  return dynamic_cast<const TcxCustomEditStyle*>(Master());
}

TcxCustomEditStyle* TcxCustomEditStyle::EditMaster() { return dynamic_cast<TcxCustomEditStyle*>(Master()); }

const TcxCustomEditStyle* TcxCustomEditStyle::EditControllerStyle() const {
  return dynamic_cast<const TcxCustomEditStyle*>(ControllerStyle());
}

template <class T>
bool TcxCustomEditStyle::ResolveEditValue(TcxEditStyleValue AValue, T TcxCustomEditStyle::*AField,
                                          T& AResult) const {
  // Bounded walk: the controller chain refuses loops, but a style must not
  // hang on a chain that was built around that check.
  const TcxCustomEditStyle* style = this;
  for (Integer steps = 0; style && steps < 1000; ++steps) {
    if (style->HasOwnValue(AValue)) {
      AResult = style->*AField;
      return true;
    }
    style = style->EditControllerStyle();
  }
  return false;
}

TcxEditButtonStyle TcxCustomEditStyle::ButtonStyle() const {
  TcxEditButtonStyle value;
  if (DirectAccessMode()) return HasOwnValue(svButtonStyle) ? FButtonStyle : GetDefaultButtonStyle();
  return ResolveEditValue(svButtonStyle, &TcxCustomEditStyle::FButtonStyle, value) ? value : GetDefaultButtonStyle();
}

TcxEditButtonTransparency TcxCustomEditStyle::ButtonTransparency() const {
  TcxEditButtonTransparency value;
  if (DirectAccessMode())
    return HasOwnValue(svButtonTransparency) ? FButtonTransparency : GetDefaultButtonTransparency();
  return ResolveEditValue(svButtonTransparency, &TcxCustomEditStyle::FButtonTransparency, value)
             ? value
             : GetDefaultButtonTransparency();
}

TcxEditPopupBorderStyle TcxCustomEditStyle::PopupBorderStyle() const {
  TcxEditPopupBorderStyle value;
  if (DirectAccessMode())
    return HasOwnValue(svPopupBorderStyle) ? FPopupBorderStyle : GetDefaultPopupBorderStyle();
  return ResolveEditValue(svPopupBorderStyle, &TcxCustomEditStyle::FPopupBorderStyle, value)
             ? value
             : GetDefaultPopupBorderStyle();
}

Byte TcxCustomEditStyle::PopupFlag() const {
  const TcxCustomEditStyle* master = EditMaster();
  return master ? master->FPopupFlag : FPopupFlag;
}

TcxEditButtonStyle TcxCustomEditStyle::GetDefaultButtonStyle() const {
  const TcxCustomEditStyle* master = IsMasterStyle() ? nullptr : EditMaster();
  return master ? master->ButtonStyle() : btsDefault;
}

TcxEditButtonTransparency TcxCustomEditStyle::GetDefaultButtonTransparency() const {
  const TcxCustomEditStyle* master = IsMasterStyle() ? nullptr : EditMaster();
  return master ? master->ButtonTransparency() : ebtNone;
}

TcxEditPopupBorderStyle TcxCustomEditStyle::GetDefaultPopupBorderStyle() const {
  const TcxCustomEditStyle* master = IsMasterStyle() ? nullptr : EditMaster();
  return master ? master->PopupBorderStyle() : epbsDefault;
}

void TcxCustomEditStyle::SetButtonStyle(TcxEditButtonStyle Value) {
  if (HasOwnValue(svButtonStyle) && FButtonStyle == Value) return;
  FButtonStyle = Value;
  IncludeValue(svButtonStyle);
  Changed();
}

void TcxCustomEditStyle::SetButtonTransparency(TcxEditButtonTransparency Value) {
  if (TcxCustomEditStyle* master = EditMaster(); master && master != this)
    return master->SetButtonTransparency(Value);
  if (HasOwnValue(svButtonTransparency) && FButtonTransparency == Value) return;
  FButtonTransparency = Value;
  IncludeValue(svButtonTransparency);
  Changed();
}

void TcxCustomEditStyle::SetPopupBorderStyle(TcxEditPopupBorderStyle Value) {
  if (TcxCustomEditStyle* master = EditMaster(); master && master != this)
    return master->SetPopupBorderStyle(Value);
  if (HasOwnValue(svPopupBorderStyle) && FPopupBorderStyle == Value) return;
  FPopupBorderStyle = Value;
  IncludeValue(svPopupBorderStyle);
  Changed();
}

void TcxCustomEditStyle::SetPopupFlag(Byte Value) {
  if (TcxCustomEditStyle* master = EditMaster(); master && master != this) return master->SetPopupFlag(Value);
  if (FPopupFlag == Value) return;
  FPopupFlag = Value;
  Changed();
}

String TcxCustomEditStyle::NameOfStyleValue(TcxContainerStyleValue AValue) const {
  if (AValue >= svButtonStyle && AValue < cxEditStyleValueCount) return EditStyleValueNames[AValue - svButtonStyle];
  return TcxCustomContainerStyle::NameOfStyleValue(AValue);
}

bool TcxCustomEditStyle::IsValueAssigned(TcxContainerStyleValue AValue) const {
  if (AValue < svButtonStyle || AValue >= cxEditStyleValueCount) return TcxCustomContainerStyle::IsValueAssigned(AValue);
  if (HasOwnValue(AValue)) return true;
  const TcxCustomContainerStyle* controllerStyle = ControllerStyle();
  return controllerStyle && controllerStyle->IsValueAssigned(AValue);
}

TcxStyleController* TcxCustomEditStyle::DefaultStyleController() const {
  if (!IsMasterStyle() || DirectAccessMode()) return nullptr;
  IcxEditStyleOwner* owner = EditOwner();
  if (!owner || !owner->UsesDefaultEditStyleController()) return nullptr;
  return DefaultEditStyleController();
}

bool TcxCustomEditStyle::IsStyleValueStored(TcxEditStyleValue AValue) const {
  if (!HasOwnValue(AValue)) return false;
  IcxEditStyleOwner* owner = EditOwner();
  return !owner || (owner->GetIgnoredStyleValues() & StyleValueBit(AValue)) == 0;
}

void TcxCustomEditStyle::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomEditStyle*>(Source);
  if (!source) return TcxCustomContainerStyle::Assign(Source);
  TcxUpdateScope update(this);
  FButtonStyle = source->FButtonStyle;
  FButtonTransparency = source->FButtonTransparency;
  FPopupBorderStyle = source->FPopupBorderStyle;
  FPopupFlag = source->FPopupFlag;
  TcxCustomContainerStyle::Assign(Source);
}

// ---- TcxEditStyleController --------------------------------------------------------------

TcxEditStyleController::TcxEditStyleController(TComponent* AOwner) : TcxStyleController(AOwner) {
  RecreateStyles();
}

// ---- The default controller --------------------------------------------------------------

TcxEditStyleController* DefaultEditStyleController() {
  TUnitState& s = State();
  if (!s.Started) {
    s.Started = true;
    s.DefaultController = new TcxEditStyleController(nullptr);
  }
  return s.DefaultController;
}

void cxEditStylesFinalize() {
  TUnitState& s = State();
  TcxEditStyleController* controller = s.DefaultController;
  // Started stays set while the controller goes, so that styles that hear of
  // it and resolve again do not start a new one.
  s.DefaultController = nullptr;
  if (controller) controller->Free();
  s.Started = false;
}
