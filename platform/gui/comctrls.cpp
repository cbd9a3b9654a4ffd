#include "platform/gui/comctrls.h"

#include <algorithm>

#include "platform/gui/graphics.h"

// ---- TTabSheet ------------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csOpaque | csDoubleClicks;
  SetAlign(alClient);
  SetVisible(false);
}

TTabSheet::~TTabSheet() { SetPageControl(nullptr); }

void TTabSheet::SetPageControl(TPageControl* APageControl) {
  if (FPageControl == APageControl) return;
  if (FPageControl) FPageControl->RemovePage(this);
  FPageControl = APageControl;
  if (APageControl) {
    SetParent(APageControl);
    APageControl->InsertPage(this);
  } else if (!(ComponentState() & csDestroying)) {
    SetParent(nullptr);
  }
}

Integer TTabSheet::PageIndex() const {
  if (!FPageControl) return -1;
  const auto& Pages = FPageControl->FPages;
  return Integer(std::find(Pages.begin(), Pages.end(), this) - Pages.begin());
}

void TTabSheet::Paint() {
  TCanvas* C = Canvas();
  C->Brush()->SetColor(Color());
  C->Brush()->SetStyle(bsSolid);
  C->FillRect(ClientRect());
}

void TTabSheet::CMTextChanged(TMessage& Message) {
  TCustomControl::CMTextChanged(Message);
  if (FPageControl) {
    FPageControl->Realign();
    FPageControl->Invalidate();
  }
}

// ---- TPageControl ---------------------------------------------------------------------------

TPageControl::TPageControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csOpaque | csDoubleClicks;
  SetBounds(0, 0, 289, 193);
  SetParentColor(false);
  SetColor(clBtnFace);
}

TPageControl::~TPageControl() {
  // The sheets may outlive the control (another owner): they forget it.
  for (TTabSheet* Page : FPages) Page->FPageControl = nullptr;
  FPages.clear();
}

TTabSheet* TPageControl::Pages(Integer AIndex) const {
  return AIndex >= 0 && AIndex < PageCount() ? FPages[size_t(AIndex)] : nullptr;
}

void TPageControl::InsertPage(TTabSheet* APage) {
  FPages.push_back(APage);
  if (!FActivePage)
    SetActivePage(APage);
  else
    APage->SetVisible(false);
  Realign();
  Invalidate();
}

void TPageControl::RemovePage(TTabSheet* APage) {
  auto It = std::find(FPages.begin(), FPages.end(), APage);
  if (It == FPages.end()) return;
  const Integer Index = Integer(It - FPages.begin());
  FPages.erase(It);
  FHotTab = -1;
  if (FActivePage == APage) {
    FActivePage = nullptr;
    if (!(ComponentState() & csDestroying)) SetActivePage(Pages(std::min(Index, PageCount() - 1)));
  }
  if (!(ComponentState() & csDestroying)) Invalidate();
}

void TPageControl::SetActivePage(TTabSheet* APage) {
  if (APage == FActivePage || (APage && APage->FPageControl != this)) return;
  FActivePage = APage;
  for (TTabSheet* Page : FPages) Page->SetVisible(Page == APage);
  if (APage) APage->BringToFront();
  Realign();
  Invalidate();
  if (OnChange) OnChange(this);
}

Integer TPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(Integer AIndex) {
  if (TTabSheet* Page = Pages(AIndex)) SetActivePage(Page);
}

void TPageControl::SetHotTrack(bool AValue) {
  FHotTrack = AValue;
  if (!AValue) SetHotTab(-1);
}

Integer TPageControl::TabHeight() {
  Canvas()->Font()->Assign(Font());
  return Canvas()->TextHeight(u"Wg") + TabTextMargin;
}

TRect TPageControl::TabRect(Integer AIndex) {
  if (AIndex < 0 || AIndex >= PageCount()) return TRect{};
  Canvas()->Font()->Assign(Font());
  const Integer Height = TabHeight();
  Integer X = SelectedTabRise;
  for (Integer I = 0; I < AIndex; ++I) X += Canvas()->TextWidth(FPages[size_t(I)]->Caption()) + 2 * TabTextMargin;
  TRect R{X, SelectedTabRise, X + Canvas()->TextWidth(FPages[size_t(AIndex)]->Caption()) + 2 * TabTextMargin,
          Height};
  if (FPages[size_t(AIndex)] == FActivePage) {
    InflateRect(R, SelectedTabRise, 0);
    R.Top = 0;
    R.Bottom += 1;
  }
  return R;
}

Integer TPageControl::IndexOfTabAt(Integer X, Integer Y) {
  // The selected tab overlaps its neighbours: it is looked at first.
  const Integer Active = ActivePageIndex();
  auto Holds = [&](Integer I) {
    const TRect R = TabRect(I);
    return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom;
  };
  if (Active >= 0 && Holds(Active)) return Active;
  for (Integer I = 0; I < PageCount(); ++I)
    if (Holds(I)) return I;
  return -1;
}

TRect TPageControl::PageRect() {
  TRect R = ClientRect();
  R.Top = std::min(TabHeight(), R.Bottom);
  InflateRect(R, -2, -2);
  return R;
}

void TPageControl::AlignControls(TControl* AControl, TRect& Rect) {
  IntersectRect(Rect, Rect, PageRect());
  TCustomControl::AlignControls(AControl, Rect);
}

void TPageControl::Paint() {
  TCanvas* C = Canvas();
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color());
  C->FillRect(ClientRect());
  // The frame around the sheets.
  TRect Frame = ClientRect();
  Frame.Top = std::min(TabHeight(), Frame.Bottom);
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetColor(clBtnHighlight);
  C->MoveTo(Frame.Left, Frame.Bottom - 1);
  C->LineTo(Frame.Left, Frame.Top);
  C->LineTo(Frame.Right - 1, Frame.Top);
  C->Pen()->SetColor(clBtnShadow);
  C->MoveTo(Frame.Right - 1, Frame.Top);
  C->LineTo(Frame.Right - 1, Frame.Bottom - 1);
  C->LineTo(Frame.Left, Frame.Bottom - 1);
  for (Integer I = 0; I < PageCount(); ++I)
    if (FPages[size_t(I)] != FActivePage) PaintTab(I);
  if (FActivePage) PaintTab(ActivePageIndex());
}

void TPageControl::PaintTab(Integer AIndex) {
  TCanvas* C = Canvas();
  const TRect R = TabRect(AIndex);
  C->Brush()->SetColor(Color());
  C->FillRect(R);
  C->Pen()->SetColor(clBtnHighlight);
  C->MoveTo(R.Left, R.Bottom - 1);
  C->LineTo(R.Left, R.Top);
  C->LineTo(R.Right - 1, R.Top);
  C->Pen()->SetColor(clBtnShadow);
  C->MoveTo(R.Right - 1, R.Top);
  C->LineTo(R.Right - 1, R.Bottom);
  C->Font()->Assign(Font());
  if (AIndex == FHotTab) C->Font()->SetColor(clHighlight);
  C->Brush()->SetStyle(bsClear);
  C->Realize();
  TRect Text = R;
  ::DrawText(C->Handle(), FPages[size_t(AIndex)]->Caption(), Text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  C->Brush()->SetStyle(bsSolid);
}

void TPageControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  if (TTabSheet* Page = Pages(IndexOfTabAt(X, Y))) SetActivePage(Page);
}

void TPageControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (FHotTrack) SetHotTab(IndexOfTabAt(X, Y));
}

void TPageControl::CMMouseLeave(TMessage& Message) {
  TCustomControl::CMMouseLeave(Message);
  SetHotTab(-1);
}

void TPageControl::CMFontChanged(TMessage& Message) {
  TCustomControl::CMFontChanged(Message);
  Realign();
  Invalidate();
}

void TPageControl::SetHotTab(Integer AIndex) {
  if (AIndex == FHotTab) return;
  FHotTab = AIndex;
  Invalidate();
}
