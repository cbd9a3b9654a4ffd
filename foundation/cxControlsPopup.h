#pragma once
// The base of the library's drop-down windows.
//
// TcxPopupWindow is a borderless stay-on-top form shown next to an owner
// rectangle (OwnerBounds, in the client coordinates of OwnerParent). It
// sizes itself around its child controls, draws its own frame, keeps the
// caption of the window that was active before it looking active while it
// is open, and closes when it is deactivated or the program loses the
// activation.
//
// Placement: Direction pdVertical puts the popup above or below the owner
// rectangle (AlignVert chooses which, AlignHorz lines up its left or right
// edge with the owner's or centres it); pdHorizontal puts it left or right
// of the owner (AlignHorz chooses the side, AlignVert lines up the top or
// bottom edges). When the chosen side has not enough room inside the work
// area of the monitor nearest the owner and the other side has more, the
// popup flips. It is then kept inside the work area on both axes: a popup
// with too little room on both sides is moved over the owner, never left
// hanging off-screen, and ShowPopup shrinks only a popup larger than the
// whole work area.
#include <functional>
#include <memory>
#include <vector>

#include "foundation/cxGraphics.h"
#include "platform/gui/forms.h"

// Where the popup lines up with the owner rectangle, per axis: before it
// (left / top), centred on it, after it (right / bottom).
enum TcxPopupAlignHorz : Integer { pahLeft = 0, pahCenter = 1, pahRight = 2 };
enum TcxPopupAlignVert : Integer { pavTop = 0, pavCenter = 1, pavBottom = 2 };
// Beside the owner (left or right of it) or above / below it.
enum TcxPopupDirection : Integer { pdHorizontal = 0, pdVertical = 1 };
// The frame the popup draws around its client area: none, a flat line in
// FrameColor, one raised ring, two raised rings.
enum TcxPopupFrameStyle : Integer { pfsNone = 0, pfsFlat = 1, pfsSingle = 2, pfsDouble = 3 };
// Sides of SideFrameSize.
enum : Integer { cxPopupSideLeft = 0, cxPopupSideTop = 1, cxPopupSideRight = 2, cxPopupSideBottom = 3 };

// The work area of the monitor nearest a screen point.
using TcxWorkAreaFunc = std::function<TRect(const TPoint&)>;

// The top-left corner (screen) of a popup of AWidth x AHeight placed beside
// AOwner (screen rectangle) by the alignments and the direction, flipped to
// the roomier side and kept inside (on both axes) the work area AWorkArea
// answers for the anchor point (the owner's corner or edge centre the popup
// is aligned to). A popup larger than the work area starts at its top-left.
TPoint cxCalculatePopupPosition(const TRect& AOwner, Integer AWidth, Integer AHeight, TcxPopupAlignHorz AAlignHorz,
                                TcxPopupAlignVert AAlignVert, TcxPopupDirection ADirection,
                                const TcxWorkAreaFunc& AWorkArea);

class TcxPopupWindow : public TForm {
  KORVANE_CLASS(TcxPopupWindow, TForm)
  // Borderless, stay-on-top, placed on the desktop monitor; adjustable,
  // left-aligned below the owner, no frame, frame colour clWindowText.
  explicit TcxPopupWindow(TComponent* AOwner);
  ~TcxPopupWindow() override;

  // ---- Settings ----
  bool Adjustable() const { return FAdjustable; }
  void SetAdjustable(bool Value) { FAdjustable = Value; }
  TcxPopupAlignHorz AlignHorz() const { return FAlignHorz; }
  void SetAlignHorz(TcxPopupAlignHorz Value) { FAlignHorz = Value; }
  TcxPopupAlignVert AlignVert() const { return FAlignVert; }
  void SetAlignVert(TcxPopupAlignVert Value) { FAlignVert = Value; }
  TcxPopupDirection Direction() const { return FDirection; }
  void SetDirection(TcxPopupDirection Value) { FDirection = Value; }
  TcxPopupFrameStyle FrameStyle() const { return FFrameStyle; }
  // Moves the children back out of the old frame; the next FitToChildren
  // places them inside the new one.
  void SetFrameStyle(TcxPopupFrameStyle Value);
  TColor FrameColor() const { return FFrameColor; }
  void SetFrameColor(TColor Value);
  // Pixels between the frame and the children.
  Integer BorderSpace() const { return FBorderSpace; }
  void SetBorderSpace(Integer Value) { FBorderSpace = Value; }
  // The rectangle the popup opens beside, in OwnerParent's client
  // coordinates (screen coordinates without OwnerParent).
  TRect OwnerBounds() const { return FOwnerBounds; }
  void SetOwnerBounds(const TRect& Value) { FOwnerBounds = Value; }
  // The control OwnerBounds belongs to; a freed control is forgotten.
  TControl* OwnerParent() const { return FOwnerParent; }
  void SetOwnerParent(TControl* Value);
  // The window that was active when the popup was activated (0: none).
  HWND PrevActiveWindow() const { return FPrevActiveWindow; }

  TcxCanvas* cxCanvas() const { return FcxCanvas.get(); }
  TCanvas* Canvas() const { return FCanvas.get(); }

  // ---- Virtual operations ----
  // The popup's top-left corner (screen) beside the owner rectangle.
  virtual void CalculatePosition(TPoint& P);
  // With Adjustable: moves the children inside the frame and sizes the
  // popup around them. Running it again (every show does) first moves back
  // the children that still stand where the last fit put them; a child
  // placed anew meanwhile is taken from its new place. So they never drift.
  virtual void FitToChildren();
  // The frame's width on one side (cxPopupSide*) plus BorderSpace.
  virtual Integer SideFrameSize(Integer ASide);
  // 1 for the flat and single frames, 2 for the double one, else 0.
  virtual Integer FrameLineWidth();
  // Font := OwnerParent's font (when there is an OwnerParent).
  virtual void TakeOwnerFont();
  // Draws the frame around (0, 0, Width, Height).
  virtual void DrawFrame();
  // Hides the popup.
  virtual void ClosePopup();
  // Takes the owner's font, fits the children, places the popup and shows it.
  virtual void ShowPopup();

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  // Paints the client area (nothing in the base); the frame follows.
  virtual void Paint() {}
  // Told after the popup was shown or hidden (nothing in the base).
  virtual void VisibleChanged() {}
  void PaintWindow(HDC DC) override;
  void Dispatch(TMessage& Message) override;
  void Deactivate() override;
  void WMActivate(TMessage& Message) override;
  void CMVisibleChanged(TMessage& Message) override;
  virtual void WMActivateApp(TMessage& Message);

private:
  // Moves the children back by the offset the last fit gave them.
  void UndoChildOffset();

  std::unique_ptr<TControlCanvas> FCanvas;
  std::unique_ptr<TcxCanvas> FcxCanvas;
  bool FAdjustable = true;
  TcxPopupAlignHorz FAlignHorz = pahLeft;
  TcxPopupAlignVert FAlignVert = pavBottom;
  TcxPopupDirection FDirection = pdVertical;
  TcxPopupFrameStyle FFrameStyle = pfsNone;
  TColor FFrameColor = clWindowText;
  Integer FBorderSpace = 0;
  TRect FOwnerBounds{};
  TControl* FOwnerParent = nullptr;
  HWND FPrevActiveWindow = 0;
  // The children the last fit moved, where it put them, and by how much.
  struct TFittedChild {
    TControl* Control;
    TPoint FittedAt;
  };
  std::vector<TFittedChild> FFittedChildren;
  TPoint FFitOffset{0, 0};
};
