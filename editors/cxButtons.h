#pragma once
// The look-and-feel push button: a button that draws itself through the
// painter of its look-and-feel, with per-state colours, a bitmap glyph laid
// out against the caption, and two drop-down kinds that open a popup menu.
//
// Glyph strips: a glyph bitmap holds NumGlyphs cells side by side (up,
// disabled, down, exclusive). NumGlyphs always stays within 1..4, and the
// cell a state shows is always one of the strip's cells: a state whose cell
// lies past the strip shows cell 0. The images built from the cells are
// cached per glyph and dropped when the bitmap or the count changes.
//
// Drop-down kinds: cxbkDropDown opens the menu from the whole button (a
// keyboard click opens it instead of firing OnClick); cxbkDropDownButton
// opens it from the right DropDownPartWidth pixels or Alt/Shift+Up/Down and
// clicks from the rest. The menu opens through a posted message, after the
// current mouse or key message, below the button (above it when it would
// cross the bottom of the work area).
#include <memory>

#include "foundation/cxGraphics.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/cxLookAndFeels.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/menus.h"
#include "platform/gui/stdctrls.h"

enum TcxButtonKind : Integer { cxbkStandard, cxbkDropDown, cxbkDropDownButton };
enum TButtonLayout : Integer { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// The width of the drop-down part of a cxbkDropDownButton, at the right.
inline constexpr Integer cxDropDownPartWidth = 15;
// The message a drop-down button posts itself to open its menu.
inline constexpr UINT CM_DROPDOWNPOPUPMENU = 0x812C;
// The number of cells a glyph strip may hold (up, disabled, down, exclusive).
inline constexpr Integer cxMaxNumGlyphs = 4;

// A set of TcxButtonState as bits (1 << state).
using TcxButtonStates = Byte;
constexpr TcxButtonStates cxButtonStateBit(TcxButtonState AState) { return TcxButtonStates(1u << AState); }

class TcxCustomButton;

// ---------------------------------------------------------------------------
// TcxButtonColors: a colour per state; clDefault means the painter's face.

class TcxButtonColors : public TPersistent {
  KORVANE_CLASS(TcxButtonColors, TPersistent)
  explicit TcxButtonColors(TcxCustomButton* AOwner) : FOwner(AOwner) {}

  // The five colours and the assigned bits.
  void Assign(TPersistent* Source) override;

  TColor Color(TcxButtonState AState) const { return FColors[AState]; }
  // clNone or clDefault unassigns the state (colour back to clDefault);
  // another new value assigns it. Each change repaints the owner.
  void SetColor(TcxButtonState AState, TColor Value);
  TcxButtonStates AssignedColors() const { return FAssignedColors; }
  // A removed bit puts its colour back to clDefault; a bit whose colour is
  // still clDefault is dropped.
  void SetAssignedColors(TcxButtonStates Value);
  bool IsColorStored(TcxButtonState AState) const { return (FAssignedColors & cxButtonStateBit(AState)) != 0; }
  bool IsStored() const { return FAssignedColors != 0; }

private:
  void Changed();
  TcxCustomButton* FOwner;
  TColor FColors[cxbsDisabled + 1] = {clDefault, clDefault, clDefault, clDefault, clDefault};
  TcxButtonStates FAssignedColors = 0;
};

// ---------------------------------------------------------------------------
// TcxButtonGlyph: the glyph strip and the images built from it.

enum TcxButtonGlyphImage : Integer { cxgiUp, cxgiDisabled, cxgiDown, cxgiExclusive };

class TcxButtonGlyph : public TPersistent {
  KORVANE_CLASS(TcxButtonGlyph, TPersistent)
  TcxButtonGlyph();
  ~TcxButtonGlyph() override;

  TBitmap* Glyph() const { return FGlyph.get(); }
  // A copy of AValue (nullptr empties the bitmap). NumGlyphs becomes
  // width div height when the width is a non-zero multiple of the height
  // and that quotient is below 5, else 1; a width that is no multiple of the
  // height leaves it unchanged.
  void SetGlyph(TBitmap* AValue);
  Integer NumGlyphs() const { return FNumGlyphs; }
  // Values below 1 are ignored; values above cxMaxNumGlyphs are clamped.
  void SetNumGlyphs(Integer Value);
  TColor TransparentColor() const { return FTransparentColor; }
  void SetTransparentColor(TColor Value);

  // The cell width of the strip (0 for an empty glyph).
  TSize CellSize() const;
  // The image a state shows: pressed the down image (the up image below 3
  // cells), disabled the disabled image, others the up image.
  TcxButtonGlyphImage ImageOfState(TcxButtonState AState) const;
  // The strip cell of an image: its index when below NumGlyphs, else 0.
  Integer CellOfImage(TcxButtonGlyphImage AImage) const;
  // The image of a state at the cell size, built on first use; nullptr for
  // an empty glyph. Transparent pixels are clDefault-free: they carry the
  // glyph's transparent colour for masked drawing.
  TBitmap* ImageForState(TcxButtonState AState);
  // Draws the image of a state with its transparent pixels left out.
  void Draw(TcxCanvas* ACanvas, const TPoint& P, TcxButtonState AState);

  TNotifyEvent OnChange;

private:
  void Changed();
  void ReleaseImages();
  std::unique_ptr<TBitmap> BuildImage(TcxButtonGlyphImage AImage) const;

  std::unique_ptr<TBitmap> FGlyph;
  Integer FNumGlyphs = 1;
  TColor FTransparentColor = clOlive;
  std::unique_ptr<TBitmap> FImages[cxMaxNumGlyphs];
};

// ---------------------------------------------------------------------------
// Layout of glyph and caption in the client area of a button.

struct TcxButtonContentLayout {
  TPoint GlyphPos;
  TRect TextRect;
};

// AClient the client size, AGlyph the glyph cell (0 x 0 without a glyph),
// ACaption the measured caption (0 x 0 without a caption); AMargin and
// ASpacing -1 mean automatic. AShift offsets both positions (pressed).
TcxButtonContentLayout cxCalcButtonContentLayout(const TSize& AClient, const TSize& AGlyph, const TSize& ACaption,
                                                 TButtonLayout ALayout, Integer AMargin, Integer ASpacing,
                                                 bool ARightToLeft, Integer AShift);

// Where a drop-down menu opens, in screen coordinates: AOrigin is the
// button's client origin on the screen, AWorkAreaBottom the bottom of the
// monitor's work area.
TPoint cxDropDownMenuPoint(const TPoint& AOrigin, const TSize& AButton, TPopupAlignment AAlignment,
                           Integer AMenuHeight, Integer AWorkAreaBottom);

// ---------------------------------------------------------------------------
// TcxCustomButton, TcxButton

using TcxButtonDropDownMenuPopupEvent = TEvent<void(TObject* Sender, TPopupMenu*& APopupMenu, bool& AHandled)>;
using TcxButtonGetDrawParamsEvent =
    TEvent<void(TObject* Sender, TcxButtonState AState, TFont* AFont, TColor& AColor)>;

class TcxCustomButton : public TButton {
  KORVANE_CLASS(TcxCustomButton, TButton)
  explicit TcxCustomButton(TComponent* AOwner);
  ~TcxCustomButton() override;

  TcxButtonColors* Colors() const { return FColors.get(); }
  void SetColors(TcxButtonColors* Value) { FColors->Assign(Value); }
  TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
  void SetDropDownMenu(TPopupMenu* Value);
  TBitmap* Glyph() const { return FGlyph->Glyph(); }
  void SetGlyph(TBitmap* Value) { FGlyph->SetGlyph(Value); }
  TcxButtonGlyph* ButtonGlyph() const { return FGlyph.get(); }
  TcxButtonKind Kind() const { return FKind; }
  void SetKind(TcxButtonKind Value);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout Value);
  TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
  Integer Margin() const { return FMargin; }
  // Values below -1 are ignored.
  void SetMargin(Integer Value);
  Integer NumGlyphs() const { return FGlyph->NumGlyphs(); }
  void SetNumGlyphs(Integer Value) { FGlyph->SetNumGlyphs(Value); }
  TPopupAlignment PopupAlignment() const { return FPopupAlignment; }
  void SetPopupAlignment(TPopupAlignment Value) { FPopupAlignment = Value; }
  Integer Spacing() const { return FSpacing; }
  void SetSpacing(Integer Value);
  bool UseSystemPaint() const { return FUseSystemPaint; }
  void SetUseSystemPaint(bool Value) { FUseSystemPaint = Value; }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);

  TcxButtonDropDownMenuPopupEvent OnDropDownMenuPopup;
  TcxButtonGetDrawParamsEvent OnGetDrawParams;

  // The look-and-feel's painter; Office 11 is drawn by the native painter
  // when buttons are themed, else by the standard painter.
  virtual TcxCustomLookAndFeelPainterClass GetPainter() const;
  virtual bool UsesSystemPaint() const { return false; }
  // The state the button shows now.
  TcxButtonState CurrentState() const;
  // Paints the whole button in AState on ACanvas (client coordinates).
  void PaintButton(TcxCanvas* ACanvas, TcxButtonState AState);
  bool MenuVisible() const { return FMenuVisible; }
  bool MouseInControl() const { return FMouseInControl; }

  void Click() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Repaint();

protected:
  virtual bool DoDropDownMenuPopup(TPopupMenu*& AMenu);
  virtual void ShowPopupMenu(TPopupMenu* AMenu, const TPoint& P) { AMenu->Popup(P.X, P.Y); }
  void Dispatch(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;

private:
  void OpenDropDownMenu();
  void DropDownMenuPopup();
  void GlyphChanged(TObject*) { Repaint(); }
  void LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) { Repaint(); }
  void PaintContent(TcxCanvas* ACanvas, const TRect& AClient, TcxButtonState AState,
                    const TcxCustomLookAndFeelPainter* APainter);

  std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
  std::unique_ptr<TcxButtonGlyph> FGlyph;
  std::unique_ptr<TcxButtonColors> FColors;
  TPopupMenu* FDropDownMenu = nullptr;
  TcxButtonKind FKind = cxbkStandard;
  TButtonLayout FLayout = blGlyphLeft;
  Integer FMargin = -1;
  Integer FSpacing = 4;
  TPopupAlignment FPopupAlignment = paLeft;
  bool FUseSystemPaint = false;
  bool FWordWrap = false;
  bool FMenuVisible = false;
  bool FMouseInControl = false;
  bool FIsMouseClick = false;
  bool FLockDown = false;
};

class TcxButton : public TcxCustomButton {
  KORVANE_CLASS(TcxButton, TcxCustomButton)
  using TcxCustomButton::TcxCustomButton;
};
