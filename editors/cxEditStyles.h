#pragma once
// Editor styles and the editor style controller.
//
// An editor draws with container styles extended by three settings of its
// own: the button style, the button transparency and the popup border style.
// Each of them resolves like every container style value: the style's own
// assigned value, else the same value of the style controller's style for
// the same state (through that controller's chain), else a default. The
// default of the normal (master) style is the neutral value (btsDefault,
// ebtNone, epbsDefault); a state style (disabled, focused, hot) defers to
// the master's resolved value.
//
// The editor's normal style falls back to a global default edit style
// controller when it has no controller of its own.
#include "foundation/cxContainer.h"
#include "platform/rtl/component.h"
#include "platform/rtl/object.h"

// ---------------------------------------------------------------------------
// Values

enum TcxEditBorderStyle : Integer { ebsNone, ebsSingle, ebsThick, ebsFlat, ebs3D, ebsUltraFlat, ebsOffice11 };
enum TcxEditButtonStyle : Integer { btsDefault, bts3D, btsFlat, btsSimple, btsHotFlat, btsUltraFlat, btsOffice11 };
enum TcxEditButtonTransparency : Integer { ebtNone, ebtInactive, ebtAlways, ebtHideInactive, ebtHideUnselected };
enum TcxEditPopupBorderStyle : Integer { epbsDefault, epbsSingle, epbsFrame3D, epbsFlat };

// The style values an editor style adds to the container's ten.
using TcxEditStyleValue = TcxContainerStyleValue;
using TcxEditStyleValues = TcxContainerStyleValues;
enum : TcxEditStyleValue {
  svButtonStyle = cxContainerStyleValueCount,  // 10
  svButtonTransparency,                        // 11
  svPopupBorderStyle,                          // 12
};
inline constexpr Integer cxEditStyleValueCount = svPopupBorderStyle + 1;

class TcxCustomEditStyle;
class TcxEditStyle;
class TcxEditStyleEx;
class TcxEditStyleController;

// Class references of editor styles (built with owner and direct mode).
using TcxCustomEditStyleClass = TcxContainerStyleClass;

// ---------------------------------------------------------------------------
// What a style needs of the editor control that owns it (the editor control
// implements it; a style owned by anything else has no such owner).

class IcxEditStyleOwner {
public:
  virtual ~IcxEditStyleOwner() = default;
  // The style values this editor kind does not use: they are not written
  // with the style.
  virtual TcxEditStyleValues GetIgnoredStyleValues() = 0;
  // Whether the editor's normal style falls back to the global default
  // edit style controller (an editor that answers false opts out).
  virtual bool UsesDefaultEditStyleController() = 0;
};

// ---------------------------------------------------------------------------
// TcxCustomEditStyle

class TcxCustomEditStyle : public TcxCustomContainerStyle {
  KORVANE_CLASS(TcxCustomEditStyle, TcxCustomContainerStyle)
  TcxCustomEditStyle(TPersistent* AOwner, bool ADirectAccessMode);

  // From another edit style: the three editor values and the popup flag,
  // then the container values, with one change notice. Other sources: as a
  // container style.
  void Assign(TPersistent* Source) override;

  // ---- Border style in the editor's terms (same order as the container's) ----
  TcxEditBorderStyle BorderStyle() const {
    return static_cast<TcxEditBorderStyle>(TcxCustomContainerStyle::BorderStyle());
  }
  using TcxCustomContainerStyle::SetBorderStyle;
  void SetBorderStyle(TcxEditBorderStyle Value) {
    TcxCustomContainerStyle::SetBorderStyle(static_cast<TcxContainerBorderStyle>(Value));
  }

  // ---- Editor values ----
  TcxEditButtonStyle ButtonStyle() const;
  // Stores, marks assigned and notifies (nothing when already assigned with
  // that value).
  void SetButtonStyle(TcxEditButtonStyle Value);
  TcxEditButtonTransparency ButtonTransparency() const;
  TcxEditButtonTransparency GetButtonTransparency() const { return ButtonTransparency(); }
  // On a state style: goes to the master style.
  void SetButtonTransparency(TcxEditButtonTransparency Value);
  TcxEditPopupBorderStyle PopupBorderStyle() const;
  // On a state style: goes to the master style.
  void SetPopupBorderStyle(TcxEditPopupBorderStyle Value);
  // The flag drop-down editors hand to their popup window (the master's;
  // 1 by default).
  Byte PopupFlag() const;
  // On a state style: goes to the master style.
  void SetPopupFlag(Byte Value);

  // ---- Stored tests: assigned here and used by the owning editor kind ----
  bool IsBorderStyleStored() const { return IsStyleValueStored(csvBorderStyle); }
  bool IsButtonStyleStored() const { return IsStyleValueStored(svButtonStyle); }
  bool IsButtonTransparencyStored() const { return IsStyleValueStored(svButtonTransparency); }
  bool IsPopupBorderStyleStored() const { return IsStyleValueStored(svPopupBorderStyle); }

  // ---- Virtual operations ----
  // btsDefault for the master style, else the master's ButtonStyle.
  virtual TcxEditButtonStyle GetDefaultButtonStyle() const;
  // ebtNone for the master style, else the master's ButtonTransparency.
  virtual TcxEditButtonTransparency GetDefaultButtonTransparency() const;
  // epbsDefault for the master style, else the master's PopupBorderStyle.
  virtual TcxEditPopupBorderStyle GetDefaultPopupBorderStyle() const;

  Integer StyleValueCount() const override { return cxEditStyleValueCount; }
  String NameOfStyleValue(TcxContainerStyleValue AValue) const override;
  bool IsValueAssigned(TcxContainerStyleValue AValue) const override;
  // The global default edit style controller for a master style owned by an
  // editor that does not opt out; else none.
  TcxStyleController* DefaultStyleController() const override;

protected:
  // The owning editor (nullptr when the owner is no editor).
  IcxEditStyleOwner* EditOwner() const;
  bool IsStyleValueStored(TcxEditStyleValue AValue) const;

private:
  // The master as an edit style (this one for the master; nullptr when the
  // master is no edit style).
  const TcxCustomEditStyle* EditMaster() const;
  TcxCustomEditStyle* EditMaster();
  // The controller's style of the same state when it is an edit style.
  const TcxCustomEditStyle* EditControllerStyle() const;
  template <class T>
  bool ResolveEditValue(TcxEditStyleValue AValue, T TcxCustomEditStyle::*AField, T& AResult) const;

  TcxEditButtonStyle FButtonStyle = btsDefault;
  TcxEditButtonTransparency FButtonTransparency = ebtNone;
  TcxEditPopupBorderStyle FPopupBorderStyle = epbsDefault;
  Byte FPopupFlag = 1;
};

// The normal-state style of editors and editor style controllers.
class TcxEditStyle : public TcxCustomEditStyle {
  KORVANE_CLASS(TcxEditStyle, TcxCustomEditStyle)
  using TcxCustomEditStyle::TcxCustomEditStyle;
};

// The disabled, focused and hot styles: they defer to the normal style for
// everything they do not assign.
class TcxEditStyleEx : public TcxCustomEditStyle {
  KORVANE_CLASS(TcxEditStyleEx, TcxCustomEditStyle)
  using TcxCustomEditStyle::TcxCustomEditStyle;
};

// ---------------------------------------------------------------------------
// TcxEditStyleController: editor styles shared by many editors.

class TcxEditStyleController : public TcxStyleController {
  KORVANE_CLASS(TcxEditStyleController, TcxStyleController)
  explicit TcxEditStyleController(TComponent* AOwner);

  TcxEditStyle* Style() const { return static_cast<TcxEditStyle*>(TcxStyleController::Style()); }
  TcxEditStyleEx* StyleDisabled() const { return static_cast<TcxEditStyleEx*>(TcxStyleController::StyleDisabled()); }
  TcxEditStyleEx* StyleFocused() const { return static_cast<TcxEditStyleEx*>(TcxStyleController::StyleFocused()); }
  TcxEditStyleEx* StyleHot() const { return static_cast<TcxEditStyleEx*>(TcxStyleController::StyleHot()); }
  // The setters assign into the controller's styles.
  void SetStyle(TcxEditStyle* Value) { TcxStyleController::SetStyle(Value); }
  void SetStyleDisabled(TcxEditStyleEx* Value) { TcxStyleController::SetStyleDisabled(Value); }
  void SetStyleFocused(TcxEditStyleEx* Value) { TcxStyleController::SetStyleFocused(Value); }
  void SetStyleHot(TcxEditStyleEx* Value) { TcxStyleController::SetStyleHot(Value); }

  TcxContainerStyleClass StyleClass() const override { return TcxEditStyle::StaticClass(); }
  TcxContainerStyleClass StateStyleClass() const override { return TcxEditStyleEx::StaticClass(); }
};

// ---------------------------------------------------------------------------
// The global default edit style controller: created without owner on first
// use, freed by cxEditStylesFinalize (its listeners are told and drop it).

TcxEditStyleController* DefaultEditStyleController();
void cxEditStylesFinalize();
