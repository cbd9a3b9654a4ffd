#include "editors/cxCalendar.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "editors/cxDateUtils.h"
#include "editors/cxFormats.h"
#include "foundation/cxClasses.h"
#include "foundation/cxUltraFlatPainters.h"
#include "platform/gui/messages.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/sysutils.h"

namespace {

// The calendar's range: 0001-01-01 .. 9999-12-31 (whole days).
constexpr TDateTime FirstCalendarDay = MinDateTime;
constexpr TDateTime LastCalendarDay = 2958465.0;
constexpr Word MinYear = 1;
constexpr Word MaxYear = 9999;
constexpr Integer DaysPerWeek = 7;
constexpr Integer GridWeeks = 6;
// Day numbers and week-day letters keep this gap to the cell's right edge.
constexpr Integer DayTextRightGap = 3;
// The hot-light colour where the system has none.
constexpr TColor HotRegionFallbackColor = clBlue;

bool IsNull(TDateTime ADate) { return ADate == NullDate; }

TDateTime FirstOfMonth(TDateTime ADate) {
  Word y, m, d;
  DecodeDate(ADate, y, m, d);
  return EncodeDate(y, m, 1);
}

String Digits(Integer AValue) { return IntToStr(AValue); }

// Text over what is already painted (no background of its own).
void DrawPlainText(TcxCanvas* ACanvas, const String& AText, const TRect& ARect, TColor AColor, TcxTextFlags AFlags) {
  ACanvas->GetFont()->SetColor(AColor);
  ACanvas->GetBrush()->SetStyle(bsClear);
  ACanvas->DrawTextWithFlags(AText, ARect, true, AFlags);
  ACanvas->GetBrush()->SetStyle(bsSolid);
}

}  // namespace

String cxCalendarWeekDayLetter(const String& AShortName, TFontCharset ACharset) {
  if (AShortName.empty()) return String();
  constexpr TFontCharset Big5Charset = 136, ArabicCharset = 178;
  if (ACharset == DEFAULT_CHARSET && SysLocaleFarEast()) ACharset = GB2312_CHARSET;
  const bool last = ACharset == GB2312_CHARSET || ACharset == Big5Charset || ACharset == ArabicCharset;
  return String(1, last ? AShortName.back() : AShortName.front());
}

// ---- TcxClock ----------------------------------------------------------------------------

TcxClock::TcxClock(TComponent* AOwner) : TcxControl(AOwner) {
  SetKeys(0);
  SetTabStop(false);
  SetColor(clWindow);
}

void TcxClock::SetTime(TDateTime Value) {
  Value = TimeOf(Value);
  if (Value == FTime) return;
  FTime = Value;
  Invalidate();
}

void TcxClock::SetMinuteDotColor(TColor Value) {
  if (Value == FMinuteDotColor) return;
  FMinuteDotColor = Value;
  Invalidate();
}

void TcxClock::Paint() { PaintClock(cxCanvas(), ClientRect()); }

void TcxClock::PaintClock(TcxCanvas* ACanvas, const TRect& ARect) {
  ACanvas->SetBrushColor(Color());
  ACanvas->Canvas()->FillRect(ARect);
  const double cx = (ARect.Left + ARect.Right) / 2.0, cy = (ARect.Top + ARect.Bottom) / 2.0;
  const double rx = ARect.Width() / 2.0 - 2, ry = ARect.Height() / 2.0 - 2;
  auto at = [&](double AAngle, double AScale) {
    return TPoint{Integer(std::lround(cx + rx * AScale * std::cos(AAngle))),
                  Integer(std::lround(cy + ry * AScale * std::sin(AAngle)))};
  };
  constexpr double FullTurn = 2 * std::numbers::pi;
  for (Integer i = 0; i < 60; i += 5) {
    const TPoint p = at(i * FullTurn / 60, 1.0);
    ACanvas->DrawEdgeRing(TRect{p.X - 1, p.Y - 1, p.X + 2, p.Y + 2}, false, true, cxAllBorders);
    ACanvas->SetPixel(p.X, p.Y, clTeal);
  }
  Word h, n, s, ms;
  DecodeTime(FTime, h, n, s, ms);
  auto hand = [&](double AAngle, double ATail, double ATip, Integer ABase) {
    const double side = ABase / 2.0 / std::max(1.0, std::min(rx, ry));
    ACanvas->SetBrushColor(clTeal);
    ACanvas->GetPen()->SetColor(clTeal);
    ACanvas->DrawPolygon({at(AAngle, ATip), at(AAngle + std::numbers::pi / 2, side), at(AAngle + std::numbers::pi, ATail),
                          at(AAngle - std::numbers::pi / 2, side)});
  };
  hand(((h % 12) * 3600 + n * 60 + s - 10800) * FullTurn / 43200, 0.15, 0.75, 9);
  hand((n * 60 + s - 900) * FullTurn / 3600, 0.2, 0.85, 7);
  ACanvas->GetPen()->SetColor(clRed);
  ACanvas->MovePenTo(Integer(cx), Integer(cy));
  const TPoint tip = at((s - 15) * FullTurn / 60, 0.9);
  ACanvas->DrawLineTo(tip.X, tip.Y);
}

// ---- TMonthListBox -----------------------------------------------------------------------

TMonthListBox::TMonthListBox(TcxCustomCalendar* ACalendar)
    : TcxCustomPopupWindow(ACalendar), FCalendar(ACalendar), FTimer(std::make_unique<TTimer>(nullptr)) {
  ChangeTakesFocus(false);
  FTimer->SetEnabled(false);
  FTimer->SetInterval(cxCalendarArrowRepeatInterval);
  FTimer->SetOnTimer(TNotifyEvent(this, &TMonthListBox::ScrollTick));
}

bool TMonthListBox::ShowsYears() const { return !FCalendar->ArrowsForYear() || FCalendar->YearsInMonthList(); }

String TMonthListBox::ItemText(Integer AIndex) const {
  const auto& names = FormatSettings().LongMonthNames;
  if (!ShowsYears()) return AIndex >= 0 && AIndex < 12 ? names[AIndex] : String();
  Word y, m, d;
  DecodeDate(FTopDate, y, m, d);
  ShiftMonthBy(y, m, AIndex);
  if (y < MinYear || y > MaxYear) return String();
  return names[m - 1] + u" " + Digits(y);
}

void TMonthListBox::OpenList() {
  SetFont(FCalendar->Font());
  FItemHeight = FCalendar->HeaderHeight() - 2;
  const Integer width = 6 * FCalendar->ColumnWidth() + 2;
  const Integer height = FItemHeight * ItemCount() + 2;
  Word y, m, d;
  DecodeDate(FCalendar->FirstDate(), y, m, d);
  ShiftMonthBy(y, m, -cxMonthListCurrentItem);
  // Near year 1 the months before it do not exist: the list starts at the
  // earliest month it can show.
  FTopDate = y < MinYear || y > MaxYear ? FirstCalendarDay : EncodeDate(y, m, 1);
  FItemIndex = ShowsYears() ? cxMonthListCurrentItem : m - 1;
  const TRect text = FCalendar->MonthTextRect();
  TPoint origin = FCalendar->ClientToScreen(TPoint{(text.Left + text.Right - width) / 2,
                                                   (text.Top + text.Bottom - height) / 2});
  SetBounds(origin.X, origin.Y, width, height);
  FScrollSign = 0;
  Popup(nullptr);
  if (ShowsYears()) SetCaptureControl(this);
}

void TMonthListBox::CloseList() {
  if (GetCaptureControl() == this) SetCaptureControl(nullptr);
  StopScrolling();
  const bool shown = Visible();
  if (shown) ClosePopup();
  if (!shown || !ShowsYears() || FItemIndex < 0) return;
  Word y, m, d;
  DecodeDate(FTopDate, y, m, d);
  ShiftMonthBy(y, m, FItemIndex);
  if (y >= MinYear && y <= MaxYear) FCalendar->SetFirstDate(EncodeDate(y, m, 1));
}

void TMonthListBox::StopScrolling() {
  FTimer->SetEnabled(false);
  FScrollSign = 0;
}

void TMonthListBox::ScrollTick(TObject*) {
  Word y, m, d;
  DecodeDate(FTopDate, y, m, d);
  ShiftMonthBy(y, m, FScrollSign);
  // The list's last item must stay a month of the calendar.
  Word ly = y, lm = m;
  ShiftMonthBy(ly, lm, ItemCount() - 1);
  if (y < MinYear || ly > MaxYear) return;
  FTopDate = EncodeDate(y, m, 1);
  Invalidate();
}

void TMonthListBox::TrackMouse(const TPoint& P) {
  const Integer height = FItemHeight * ItemCount();
  if (P.Y >= 0 && P.Y < height) {
    FItemIndex = P.X >= 0 && P.X < Width() ? P.Y / std::max(1, FItemHeight) : -1;
    StopScrolling();
    Invalidate();
    return;
  }
  FItemIndex = -1;
  if (!ShowsYears()) return;
  FScrollSign = P.Y < 0 ? -1 : 1;
  const Integer distance = P.Y < 0 ? -P.Y : P.Y - height;
  const Integer step = std::min(3, distance / std::max(1, FItemHeight));
  const Cardinal interval = cxMonthListScrollIntervals[step];
  if (!FTimer->Enabled() || FTimer->Interval() != interval) {
    FTimer->SetInterval(interval);
    FTimer->SetEnabled(true);
  }
  Invalidate();
}

void TMonthListBox::ReleaseMouse(const TPoint& P) {
  if (!ShowsYears()) {
    // A click on a month name shows that month of the shown year.
    const Integer index = P.Y >= 0 && P.X >= 0 && P.X < Width() ? P.Y / std::max(1, FItemHeight) : -1;
    CloseList();
    if (index >= 0 && index < 12)
      FCalendar->SetFirstDate(EncodeDate(GetDateComponent(deYear, FCalendar->FirstDate()), Word(index + 1), 1));
    return;
  }
  CloseList();
}

void TMonthListBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TcxCustomPopupWindow::MouseMove(Shift, X, Y);
  TrackMouse(TPoint{X, Y});
}

void TMonthListBox::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxCustomPopupWindow::MouseUp(Button, Shift, X, Y);
  ReleaseMouse(TPoint{X, Y});
}

void TMonthListBox::Paint() {
  TcxCanvas canvas(Canvas());
  PaintList(&canvas);
}

void TMonthListBox::PaintList(TcxCanvas* ACanvas) {
  const TRect bounds{0, 0, Width(), Height()};
  ACanvas->DrawBorderBands(bounds, clWindowText, cxAllBorders, 1);
  ACanvas->GetFont()->Assign(FCalendar->Font());
  for (Integer i = 0; i < ItemCount(); ++i) {
    const TRect r{1, 1 + i * FItemHeight, Width() - 1, 1 + (i + 1) * FItemHeight};
    const bool hot = i == FItemIndex;
    ACanvas->SetBrushColor(hot ? clWindowText : clWindow);
    ACanvas->Canvas()->FillRect(r);
    DrawPlainText(ACanvas, ItemText(i), r, hot ? clWindow : clWindowText, cxAlignHCenter | cxAlignVCenter | cxSingleLine);
  }
}

// ---- TcxCustomCalendar: construction and settings ------------------------------------------------

TcxCustomCalendar::TcxCustomCalendar(TComponent* AOwner) : TcxControl(AOwner) {
  SetControlStyle(csCaptureMouse | csOpaque);
  SetKeys(dkAll | dkArrows | dkChars | dkTab);
  SetBorderStyle(cxcbsNone);
  SetColor(clWindow);
  FSelectDate = Date();
  FFirstDate = FirstOfMonth(FSelectDate);
  SetBounds(Left(), Top(), 20, 20);
  auto makeButton = [this](const TResourceString& ACaption, Integer ATabOrder) {
    auto* b = new TcxButton(this);
    b->SetCaption(LoadResourceText(ACaption));
    b->SetTabOrder(ATabOrder);
    b->SetUseSystemPaint(false);
    b->OnClick = TNotifyEvent(this, &TcxCustomCalendar::ButtonClick);
    return b;
  };
  FTodayButton = makeButton(cxSDateTodayButton, 1);
  FNowButton = makeButton(cxSDateNowButton, 2);
  FClearButton = makeButton(cxSDateClearButton, 3);
  FOKButton = makeButton(cxSDateOKButton, 4);
  FOKButton->SetDefault(true);
  FClock = new TcxClock(this);
  FTimeEdit = new TcxTimeEdit(this);
  FTimeEdit->SetTabOrder(0);
  TimeProperties()->SetCircular(true);
  FTimeEdit->SetTime(0);
  FTimeEdit->Properties()->OnChange = TNotifyEvent(this, &TcxCustomCalendar::TimeEditChanged);
  FArrowTimer = std::make_unique<TTimer>(nullptr);
  FArrowTimer->SetEnabled(false);
  FArrowTimer->SetInterval(cxCalendarArrowRepeatInterval);
  FArrowTimer->SetOnTimer(TNotifyEvent(this, &TcxCustomCalendar::ArrowTimerTick));
  FMonthList = std::make_unique<TMonthListBox>(this);
  UpdateButtons();
  RecalcLayout();
}

TcxCustomCalendar::~TcxCustomCalendar() {
  FArrowTimer->SetEnabled(false);
  if (GetCaptureControl() == FMonthList.get()) SetCaptureControl(nullptr);
  FMonthList.reset();
}

void TcxCustomCalendar::CreateWnd() {
  TcxControl::CreateWnd();
  for (TControl* c : {static_cast<TControl*>(FTodayButton), static_cast<TControl*>(FNowButton),
                      static_cast<TControl*>(FClearButton), static_cast<TControl*>(FOKButton),
                      static_cast<TControl*>(FClock), static_cast<TControl*>(FTimeEdit)})
    c->SetParent(this);
  // Parenting appends to the tab order: the time editor comes first, then
  // Today, Now, Clear and OK.
  Integer order = 0;
  for (TWinControl* c : {static_cast<TWinControl*>(FTimeEdit), static_cast<TWinControl*>(FTodayButton),
                         static_cast<TWinControl*>(FNowButton), static_cast<TWinControl*>(FClearButton),
                         static_cast<TWinControl*>(FOKButton)})
    c->SetTabOrder(order++);
  RecalcLayout();
}

void TcxCustomCalendar::SetArrowsForYear(bool Value) {
  if (Value == FArrowsForYear) return;
  FArrowsForYear = Value;
  RecalcLayout();
}

void TcxCustomCalendar::SetButtons(TDateButtons Value) {
  if (Value == FButtons) return;
  FButtons = Value;
  UpdateButtons();
  RecalcLayout();
}

void TcxCustomCalendar::SetFlat(bool Value) {
  if (Value == FFlat) return;
  FFlat = Value;
  RecalcLayout();
}

void TcxCustomCalendar::SetKind(TcxCalendarKind Value) {
  if (Value == FKind) return;
  FKind = Value;
  const TControlStyle clicks = csClickEvents | csDoubleClicks;
  SetControlStyle(FKind == ckDateTime ? ControlStyle() | clicks : ControlStyle() & ~clicks);
  UpdateButtons();
  RecalcLayout();
}

TcxCustomTimeEditProperties* TcxCustomCalendar::TimeProperties() const {
  return static_cast<TcxCustomTimeEditProperties*>(FTimeEdit->Properties());
}

TcxTimeEditTimeFormat TcxCustomCalendar::TimeFormat() const { return TimeProperties()->TimeFormat(); }

void TcxCustomCalendar::SetTimeFormat(TcxTimeEditTimeFormat Value) {
  if (Value == TimeFormat()) return;
  TimeProperties()->SetTimeFormat(Value);
  RecalcLayout();
}

bool TcxCustomCalendar::Use24HourFormat() const { return TimeProperties()->Use24HourFormat(); }

void TcxCustomCalendar::SetUse24HourFormat(bool Value) {
  if (Value == Use24HourFormat()) return;
  TimeProperties()->SetUse24HourFormat(Value);
  RecalcLayout();
}

void TcxCustomCalendar::SetYearsInMonthList(bool Value) {
  if (Value == FYearsInMonthList) return;
  FYearsInMonthList = Value;
  RecalcLayout();
}

void TcxCustomCalendar::UpdateButtons() {
  const bool dt = FKind == ckDateTime;
  FClearButton->SetVisible((FButtons & DateButtonBit(btnClear)) != 0);
  FNowButton->SetVisible(dt && (FButtons & DateButtonBit(btnNow)) != 0);
  FTodayButton->SetVisible((FButtons & DateButtonBit(btnToday)) != 0);
  FOKButton->SetVisible(dt);
  FClock->SetVisible(dt);
  FTimeEdit->SetVisible(dt);
  for (TWinControl* c : {static_cast<TWinControl*>(FTodayButton), static_cast<TWinControl*>(FNowButton),
                         static_cast<TWinControl*>(FClearButton), static_cast<TWinControl*>(FOKButton),
                         static_cast<TWinControl*>(FTimeEdit)})
    c->SetTabStop(dt);
  const TcxControlDialogKeys keys = dkAll | dkArrows | dkChars;
  SetKeys(dt ? keys : keys | dkTab);
}

void TcxCustomCalendar::HandleFontChange() {
  TcxControl::HandleFontChange();
  FTimeEdit->Style()->SetFont(Font());
  RecalcLayout();
}

// ---- Dates -------------------------------------------------------------------------------

bool TcxCustomCalendar::InRange(TDateTime ADate) const {
  return ADate >= FirstCalendarDay && ADate < LastCalendarDay + 1;
}

Integer TcxCustomCalendar::WeekDayIndex(TDateTime ADate) {
  // DayOfWeek 1 (Sunday) .. 7; the locale's first day 0 (Sunday) .. 6. The
  // days before 0001-01-01 keep the weekly rhythm.
  const long long day = static_cast<long long>(std::floor(ADate));
  const Integer dow = static_cast<Integer>(((day % 7 + 7) % 7 + 6) % 7) + 1;  // day 0 (1899-12-30) is a Saturday
  const Integer d = dow - GetFormatController()->FirstDayOfWeek % DaysPerWeek;
  return d > 0 ? d - 1 : d + 6;
}

TDateTime TcxCustomCalendar::FirstVisibleDate() const {
  const Integer index = WeekDayIndex(FFirstDate);
  return FFirstDate - (index == 0 ? DaysPerWeek : index);
}

TDateTime TcxCustomCalendar::LastVisibleDate() const { return FirstVisibleDate() + DaysPerWeek * GridWeeks - 1; }

TDateTime TcxCustomCalendar::LastDateOfMonth() const {
  Word y, m, d;
  DecodeDate(FFirstDate, y, m, d);
  return EncodeDate(y, m, DaysInAMonth(y, m));
}

void TcxCustomCalendar::SetFirstDate(TDateTime Value) {
  if (!InRange(Value)) return;
  Value = FirstOfMonth(Value);
  if (Value == FFirstDate) return;
  FFirstDate = Value;
  Invalidate();
}

void TcxCustomCalendar::SetSelectDate(TDateTime Value) {
  if (Value == FSelectDate) return;
  if (!IsNull(Value) && !InRange(Value)) return;
  FSelectDate = Value;
  if (IsNull(Value)) {
    Invalidate();
    return;
  }
  const TDateTime day = std::floor(Value);
  if (day > LastVisibleDate() || day < FirstVisibleDate()) FFirstDate = FirstOfMonth(day);
  Invalidate();
}

TDateTime TcxCustomCalendar::Time() const {
  const Variant time = FTimeEdit->Time();
  return VarIsNull(time) ? FClock->Time() : time.AsDouble();
}

void TcxCustomCalendar::SetTime(TDateTime Value) {
  FTimeEdit->SetTime(TimeOf(Value));
  FClock->SetTime(Value);
  InvalidateRect(FDateTimeHeaderRect);
}

void TcxCustomCalendar::TimeEditChanged(TObject*) {
  const Variant time = FTimeEdit->Time();
  if (!VarIsNull(time)) FClock->SetTime(time.AsDouble());
  InvalidateRect(FDateTimeHeaderRect);
}

TDateTime TcxCustomCalendar::DateAtPoint(const TPoint& P) const {
  if (P.X < 0 || P.Y < 0 || P.X >= Width() || P.Y >= Height()) return NullDate;
  if (!PtInRect(FDayGridRect, P) || FColWidth <= 0 || FRowHeight <= 0) return NullDate;
  const Integer column = (P.X - FDayGridRect.Left) / FColWidth;
  const Integer row = (P.Y - FDayGridRect.Top) / FRowHeight;
  const TDateTime date = FirstVisibleDate() + DaysPerWeek * row + column;
  return InRange(date) ? date : NullDate;
}

TRect TcxCustomCalendar::DayCellRect(TDateTime ADate) const {
  const Integer offset = static_cast<Integer>(std::floor(ADate) - FirstVisibleDate());
  if (offset < 0 || offset >= DaysPerWeek * GridWeeks) return TRect{};
  const Integer left = FDayGridRect.Left + (offset % DaysPerWeek) * FColWidth;
  const Integer top = FDayGridRect.Top + (offset / DaysPerWeek) * FRowHeight;
  return TRect{left, top, left + FColWidth, top + FRowHeight};
}

TcxCalendarArrow TcxCustomCalendar::ArrowAtPoint(const TPoint& P) const {
  for (Integer i = 0; i < ArrowCount(); ++i)
    if (PtInRect(FArrowRects[i], P)) return TcxCalendarArrow(i);
  return caNoArrow;
}

void TcxCustomCalendar::Scroll(TcxCalendarArrow AArrow) {
  Word y, m, d;
  DecodeDate(FFirstDate, y, m, d);
  const Word oldY = y, oldM = m;
  switch (AArrow) {
    case caPrevMonth:
      if (y > MinYear || m > 1) StepMonthBack(y, m);
      break;
    case caNextMonth:
      if (y < MaxYear || m < 12) StepMonthForward(y, m);
      break;
    case caPrevYear:
      if (y > MinYear) --y;
      break;
    case caNextYear:
      if (y < MaxYear) ++y;
      break;
    case caNoArrow:
      return;
  }
  if (y == oldY && m == oldM) return;
  FFirstDate = EncodeDate(y, m, 1);
  Invalidate();
}

void TcxCustomCalendar::DateChosen() {
  if (Assigned(OnDateChosen)) OnDateChosen(this);
}

void TcxCustomCalendar::HideMonthListAndTimers() {
  FArrowTimer->SetEnabled(false);
  FTimerArrow = caNoArrow;
  if (FMonthList->Visible()) FMonthList->CloseList();
}

// ---- Layout ------------------------------------------------------------------------------

TSize TcxCustomCalendar::TimeEditorSize() {
  TcxScreenCanvas* canvas = SharedScreenCanvas();
  canvas->GetFont()->Assign(Font());
  const String zeroTime = TimeProperties()->EditValueToText(Variant(0.0), true);
  // Beside the text (and a digit's slack for the inner edit's own padding
  // and caret) the editor needs room for its border and spin buttons, or the
  // text would be cut.
  Integer frame = 0;
  std::unique_ptr<TcxCustomEditViewData> viewData(TimeProperties()->CreateViewData(FTimeEdit->Style(), false));
  if (viewData) frame = viewData->CalcFrameExtent(canvas, nullptr).cx;
  canvas->GetFont()->Assign(Font());
  return TSize{canvas->GetTextWidth(zeroTime) + 2 * canvas->GetTextWidth(u"0") + frame, FTimeEdit->Height()};
}

Integer TcxCustomCalendar::TimeMargin() { return MulDiv(Font()->Size(), 3, 4); }

Integer TcxCustomCalendar::TimeBottomGap() { return Font()->Size() / 2; }

TSize TcxCustomCalendar::CalcSize() {
  const bool dt = FKind == ckDateTime;
  const Integer dateWidth = 2 * FSideWidth + DaysPerWeek * FColWidth;
  Integer height = FDaysOfWeekHeight + GridWeeks * FRowHeight + FHeaderHeight + 1;
  const bool anyButton = FTodayButton->Visible() || FClearButton->Visible();
  if (dt || anyButton) height += FButtonsRegionHeight;
  height += dt ? TimeMargin() + FHeaderHeight + TimeBottomGap() : 1;
  Integer width = dateWidth;
  if (dt) {
    const TSize editor = TimeEditorSize();
    const Integer g = (FButtonsRegionHeight - FButtonsHeight - 1) / 2;
    const Integer clock = height - FHeaderHeight - TimeMargin() - FButtonsRegionHeight - editor.cy - 3 * g;
    width += 2 * TimeMargin() + FColWidth + 2 * g + std::max(clock, editor.cx);
  }
  return TSize{width, height};
}

void TcxCustomCalendar::RecalcLayout() {
  TcxScreenCanvas* canvas = SharedScreenCanvas();
  canvas->GetFont()->Assign(Font());
  const TSize zero = canvas->GetTextSize(u"0");
  const Integer wg = canvas->GetTextHeight(u"Wg");
  const Integer fontSize = Font()->Size();
  const bool dt = FKind == ckDateTime;
  FColWidth = 3 * zero.cx;
  FSideWidth = 2 * zero.cx;
  FRowHeight = zero.cy + 2;
  FHeaderHeight = zero.cy + 5;
  FDaysOfWeekHeight = FRowHeight + 1;
  Integer widest = 0;
  for (TcxButton* b : {FTodayButton, FNowButton, FClearButton, FOKButton})
    widest = std::max(widest, canvas->GetTextWidth(b->Caption()));
  FButtonWidth = widest + FColWidth;
  FButtonsHeight = MulDiv(wg, 20, 13) + 1;
  if (dt) {
    const Integer e = MulDiv(fontSize, 5, 4);
    FButtonsRegionHeight = e + 1 + (e % 2) + FButtonsHeight;
  } else {
    FButtonsRegionHeight = MulDiv(fontSize, 3, 4) + MulDiv(wg, 20, 13) + fontSize / 2;
  }
  const TSize size = CalcSize();
  SetBounds(Left(), Top(), size.cx, size.cy);

  const Integer ox = dt ? TimeMargin() : 0;
  Integer oy = dt ? TimeMargin() : 0;
  const Integer dateWidth = 2 * FSideWidth + DaysPerWeek * FColWidth;
  FDateTimeHeaderRect = dt ? TRect{ox, oy, size.cx - ox, oy + FHeaderHeight} : TRect{};
  if (dt) oy += FHeaderHeight;
  FHeaderRect = TRect{ox, oy, ox + dateWidth, oy + FHeaderHeight};
  LayoutHeader(FHeaderRect, dt || !FFlat ? 1 : 0);
  const Integer gridTop = FHeaderRect.Bottom + FDaysOfWeekHeight;
  FDayGridRect = TRect{ox + FSideWidth, gridTop, ox + FSideWidth + DaysPerWeek * FColWidth, gridTop + GridWeeks * FRowHeight};
  FButtonsRegionRect = dt ? TRect{0, size.cy - FButtonsRegionHeight - TimeBottomGap(), size.cx, size.cy - TimeBottomGap()}
                          : TRect{0, FDayGridRect.Bottom + 1, dateWidth, FDayGridRect.Bottom + 1 + FButtonsRegionHeight};
  LayoutButtons(FButtonsRegionRect);
  if (dt) {
    const Integer g = (FButtonsRegionHeight - FButtonsHeight - 1) / 2;
    const TSize editor = TimeEditorSize();
    const Integer clock = std::max(0, FButtonsRegionRect.Top - editor.cy - FHeaderRect.Top - 3 * g);
    const Integer right = size.cx - TimeMargin() - g;
    FClockRect = TRect{right - clock, FHeaderRect.Top + g, right, FHeaderRect.Top + g + clock};
    FClock->SetBounds(FClockRect.Left, FClockRect.Top, clock, clock);
    const Integer editLeft = (FClockRect.Left + FClockRect.Right - editor.cx) / 2;
    const Integer editTop = FButtonsRegionRect.Top - g - editor.cy;
    FTimeEditRect = TRect{editLeft, editTop, editLeft + editor.cx, editTop + editor.cy};
    FTimeEdit->SetBounds(editLeft, editTop, editor.cx, editor.cy);
  } else {
    FClockRect = TRect{};
    FTimeEditRect = TRect{};
  }
  Invalidate();
}

void TcxCustomCalendar::LayoutHeader(const TRect& AHeader, Integer AInset) {
  const Integer aw = FColWidth - 2, ah = FHeaderHeight - 1;
  auto arrowAt = [&](Integer ALeft) { return TRect{ALeft, AHeader.Top + AInset, ALeft + aw, AHeader.Top + AInset + ah}; };
  for (TRect& r : FArrowRects) r = TRect{};
  const Integer left = AHeader.Left + AInset, right = AHeader.Right - AInset;
  if (!FArrowsForYear) {
    FArrowRects[caPrevMonth] = arrowAt(left);
    FArrowRects[caNextMonth] = arrowAt(right - aw);
    FMonthTextRect = TRect{left + aw, AHeader.Top, right - aw, AHeader.Bottom};
    FYearTextRect = TRect{};
    return;
  }
  TcxScreenCanvas* canvas = SharedScreenCanvas();
  Integer monthWidth = 0;
  for (const String& name : FormatSettings().LongMonthNames) monthWidth = std::max(monthWidth, canvas->GetTextWidth(name));
  const Integer yearWidth = canvas->GetTextWidth(u"9999");
  const Integer free = std::max(0, (right - left) - monthWidth - yearWidth - 4 * aw);
  const Integer monthText = monthWidth + MulDiv(free, monthWidth, std::max(1, monthWidth + yearWidth));
  FArrowRects[caPrevMonth] = arrowAt(left);
  FMonthTextRect = TRect{left + aw, AHeader.Top, left + aw + monthText, AHeader.Bottom};
  FArrowRects[caNextMonth] = arrowAt(FMonthTextRect.Right);
  FArrowRects[caPrevYear] = arrowAt(FMonthTextRect.Right + aw);
  FArrowRects[caNextYear] = arrowAt(right - aw);
  FYearTextRect = TRect{FMonthTextRect.Right + 2 * aw, AHeader.Top, right - aw, AHeader.Bottom};
}

void TcxCustomCalendar::LayoutButtons(const TRect& ARegion) {
  const Integer w = FButtonWidth + 1, h = FButtonsHeight;
  const Integer fontSize = Font()->Size();
  if (FKind == ckDate) {
    const Integer top = ARegion.Top + fontSize / 2;
    const Integer dateWidth = ARegion.Width();
    const bool today = FTodayButton->Visible(), clear = FClearButton->Visible();
    if (today && clear) {
      const Integer gap = (dateWidth - 2 * FButtonWidth) / 3;
      FTodayButton->SetBounds(ARegion.Left + gap, top, w, h);
      FClearButton->SetBounds(ARegion.Left + 2 * gap + FButtonWidth, top, w, h);
    } else if (today || clear) {
      (today ? FTodayButton : FClearButton)->SetBounds(ARegion.Left + (dateWidth - w) / 2, top, w, h);
    }
    return;
  }
  std::vector<TcxButton*> shown;
  for (TcxButton* b : {FTodayButton, FNowButton, FClearButton, FOKButton})
    if (b->Visible()) shown.push_back(b);
  if (shown.empty()) return;
  const Integer d = MulDiv(fontSize, 5, 4);
  const Integer top = ARegion.Top + (ARegion.Height() - h) / 2;
  const Integer last = ARegion.Right - d - w;
  shown.back()->SetBounds(last, top, w, h);
  if (shown.size() == 2) {
    shown.front()->SetBounds(last - d - w, top, w, h);
  } else {
    for (size_t i = 0; i + 1 < shown.size(); ++i) shown[i]->SetBounds(d + Integer(i) * (w + d), top, w, h);
  }
}

// ---- Painting ----------------------------------------------------------------------------

void TcxCustomCalendar::Paint() { PaintCalendar(cxCanvas()); }

void TcxCustomCalendar::PaintCalendar(TcxCanvas* ACanvas) {
  ACanvas->GetFont()->Assign(Font());
  ACanvas->SetBrushColor(Color());
  ACanvas->Canvas()->FillRect(TRect{0, 0, Width(), Height()});
  PaintHeader(ACanvas);
  PaintDays(ACanvas);
  PaintTimePart(ACanvas);
  // Without a window the buttons are no child windows yet: they are drawn
  // here so that a picture of the calendar shows them.
  if (HandleAllocated()) return;
  for (TcxButton* b : {FTodayButton, FNowButton, FClearButton, FOKButton}) {
    if (!b->Visible()) continue;
    const TPoint origin = ACanvas->GetWindowOrigin();
    TPoint shifted{origin.X - b->Left(), origin.Y - b->Top()};
    SetCanvasWindowOrigin(ACanvas, shifted);
    b->PaintButton(ACanvas, cxbsNormal);
    SetCanvasWindowOrigin(ACanvas, shifted);
  }
}

void TcxCustomCalendar::PaintHeader(TcxCanvas* ACanvas) {
  const TcxCustomLookAndFeelPainter* painter = PainterOf(cxUltraFlatLookAndFeelPainter());
  const TcxArrowDirection directions[4] = {adLeft, adRight, adLeft, adRight};
  ACanvas->SetBrushColor(clBtnFace);
  ACanvas->Canvas()->FillRect(FHeaderRect);
  if (FKind == ckDateTime) {
    ACanvas->Canvas()->FillRect(FDateTimeHeaderRect);
    TDateTime shown = IsNull(FSelectDate) ? Date() : std::floor(FSelectDate);
    ReplaceTime(shown, Time());
    DrawPlainText(ACanvas, DateTimeToStr(shown), FDateTimeHeaderRect, clBtnText,
                  cxAlignHCenter | cxAlignVCenter | cxSingleLine);
    if (FFlat)
      ACanvas->DrawBorderBands(FDateTimeHeaderRect, clBtnText, BorderBit(bBottom), 1);
    else
      ACanvas->DrawEdgeRing(FDateTimeHeaderRect, false, true, cxAllBorders);
  }
  for (Integer i = 0; i < ArrowCount(); ++i)
    if (painter) painter->PaintArrowButton(ACanvas, FArrowRects[i], true, directions[i], cxbsNormal);
  const Word year = GetDateComponent(deYear, FFirstDate), month = GetDateComponent(deMonth, FFirstDate);
  const String monthName = FormatSettings().LongMonthNames[month - 1];
  auto textColor = [this](TcxCalendarHotRegion ARegion) {
    if (FHotRegion != ARegion) return clBtnText;
    const TColor hot = clHotLight;
    return ColorToRGB(hot) == ColorToRGB(clBtnText) ? HotRegionFallbackColor : hot;
  };
  const TcxTextFlags centred = cxAlignHCenter | cxAlignVCenter | cxSingleLine;
  DrawPlainText(ACanvas, FArrowsForYear ? monthName : monthName + u" " + Digits(year), FMonthTextRect,
                textColor(chrMonth), centred);
  if (FArrowsForYear) {
    DrawPlainText(ACanvas, Digits(year), FYearTextRect, textColor(chrYear), centred);
  }
  if (!FFlat)
    ACanvas->DrawEdgeRing(FHeaderRect, false, true, cxAllBorders);
  else if (FKind == ckDateTime)
    ACanvas->DrawBorderBands(FHeaderRect, clBtnShadow, cxAllBorders, 1);
  else
    ACanvas->DrawBorderBands(FHeaderRect, clBtnText, BorderBit(bBottom), 1);
}

void TcxCustomCalendar::PaintDays(TcxCanvas* ACanvas) {
  const TFormatSettings& settings = FormatSettings();
  const Integer first = GetFormatController()->FirstDayOfWeek % DaysPerWeek;
  const TcxTextFlags flags = cxAlignRight | cxAlignVCenter | cxSingleLine;
  const Integer rowTop = FHeaderRect.Bottom;
  for (Integer i = 0; i < DaysPerWeek; ++i) {
    const Integer left = FDayGridRect.Left + i * FColWidth;
    const TRect r{left, rowTop, left + FColWidth - DayTextRightGap, rowTop + FRowHeight};
    DrawPlainText(ACanvas, cxCalendarWeekDayLetter(settings.ShortDayNames[(first + i) % DaysPerWeek], Font()->Charset()), r,
                  clWindowText, flags);
  }
  const TRect line{FHeaderRect.Left + FSideWidth - 1, rowTop + FRowHeight - 1, FDayGridRect.Right + 1, rowTop + FRowHeight};
  ACanvas->DrawBorderBands(line, clBtnShadow, BorderBit(bBottom), 1);
  ACanvas->DrawBorderBands(TRect{line.Left, line.Top + 1, line.Right, line.Bottom + 1}, clWindow, BorderBit(bBottom), 1);
  if (FKind == ckDate && (FTodayButton->Visible() || FClearButton->Visible()))
    ACanvas->DrawBorderBands(TRect{line.Left, FDayGridRect.Bottom, line.Right, FDayGridRect.Bottom + 1}, clBtnShadow,
                             BorderBit(bTop), 1);

  const TDateTime today = Date();
  const TDateTime marked = IsNull(FSelectDate) ? today : std::floor(FSelectDate);
  const Word shownMonth = GetDateComponent(deMonth, FFirstDate);
  for (TDateTime day = FirstVisibleDate(); day <= LastVisibleDate(); day += 1) {
    if (!InRange(day)) continue;  // blank cells before year 1 and after 9999
    TRect cell = DayCellRect(day);
    if (day == marked) {
      ACanvas->SetBrushColor(clHighlight);
      ACanvas->Canvas()->FillRect(cell);
    }
    if (day == today) {
      ACanvas->DrawBorderBands(cell, clMaroon, cxAllBorders, 1);
      cell = TRect{cell.Left + 1, cell.Top + 1, cell.Right - 1, cell.Bottom - 1};
    }
    const TColor color = day == marked ? clHighlightText
                         : GetDateComponent(deMonth, day) != shownMonth ? clGrayText
                                                                         : clWindowText;
    const TRect text{cell.Left, cell.Top, cell.Right - DayTextRightGap, cell.Bottom};
    DrawPlainText(ACanvas, Digits(GetDateComponent(deDay, day)), text, color, flags);
  }
}

void TcxCustomCalendar::PaintTimePart(TcxCanvas* ACanvas) {
  if (FKind != ckDateTime) return;
  ACanvas->DrawBorderBands(FButtonsRegionRect, clBtnText, BorderBit(bTop), 1);
  if (!FFlat) ACanvas->DrawEdgeRing(FButtonsRegionRect, false, true, cxAllBorders);
  const Integer x = FDayGridRect.Right + FSideWidth + FColWidth / 2;
  ACanvas->DrawBorderBands(TRect{x, FHeaderRect.Top, x + 1, FButtonsRegionRect.Top}, clBtnShadow, BorderBit(bLeft), 1);
  if (!IsRectEmpty(FClockRect)) FClock->PaintClock(ACanvas, FClockRect);
}

// ---- Keys, mouse, buttons ----------------------------------------------------------------

TDateTime TcxCustomCalendar::KeyTarget(Word Key, TShiftState Shift, TDateTime ADate) const {
  Word y, m, d;
  DecodeDate(ADate, y, m, d);
  const Integer week = WeekDayIndex(ADate);
  switch (Key) {
    case VK_LEFT:
      return ADate - 1;
    case VK_RIGHT:
      return ADate + 1;
    case VK_UP:
      return Shift == ssAlt ? NullDate : ADate - DaysPerWeek;
    case VK_DOWN:
      return Shift == ssAlt ? NullDate : ADate + DaysPerWeek;
    case VK_PRIOR:
    case VK_NEXT: {
      Key == VK_PRIOR ? StepMonthBack(y, m) : StepMonthForward(y, m);
      if (y < MinYear || y > MaxYear) return NullDate;
      return EncodeDate(y, m, Word(ClampDayOfMonth(y, m, d)));
    }
    case VK_HOME:
      return Shift == ssCtrl ? EncodeDate(y, m, 1) : ADate - week;
    case VK_END:
      return Shift == ssCtrl ? EncodeDate(y, m, DaysInAMonth(y, m)) : ADate + (DaysPerWeek - 1 - week);
    default:
      return NullDate;
  }
}

void TcxCustomCalendar::KeyDown(Word& Key, TShiftState Shift) {
  // With no selection the keys start from the highlighted day: today.
  const TDateTime from = IsNull(FSelectDate) ? Date() : std::floor(FSelectDate);
  const TDateTime target = KeyTarget(Key, Shift, from);
  if (!IsNull(target) && InRange(target)) SetSelectDate(target);
  TcxControl::KeyDown(Key, Shift);
}

void TcxCustomCalendar::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxControl::MouseDown(Button, Shift, X, Y);
  FMousePos = TPoint{X, Y};
  UpdateHotRegion(FMousePos);
  if (Button != mbLeft) return;
  const TDateTime date = DateAtPoint(FMousePos);
  if (!IsNull(date)) {
    SetSelectDate(date);
    return;
  }
  const TcxCalendarArrow arrow = ArrowAtPoint(FMousePos);
  if (arrow != caNoArrow) {
    Scroll(arrow);
    FTimerArrow = arrow;
    FArrowTimer->SetEnabled(true);
    return;
  }
  TRect month = FMonthTextRect;
  month.Bottom -= 1;
  if (!FFlat || FKind == ckDateTime) month.Top += 1;
  if (PtInRect(month, FMousePos)) FMonthList->OpenList();
}

void TcxCustomCalendar::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TcxControl::MouseMove(Shift, X, Y);
  FMousePos = TPoint{X, Y};
  UpdateHotRegion(FMousePos);
  if (FArrowTimer->Enabled()) return;
  if ((Shift & ssLeft) == 0) return;
  const TDateTime date = DateAtPoint(FMousePos);
  if (!IsNull(date) && date != FSelectDate) {
    FSelectDate = date;
    InvalidateRect(FDayGridRect);
  }
}

void TcxCustomCalendar::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxControl::MouseUp(Button, Shift, X, Y);
  FMousePos = TPoint{X, Y};
  UpdateHotRegion(FMousePos);
  if (FArrowTimer->Enabled()) {
    FArrowTimer->SetEnabled(false);
    FTimerArrow = caNoArrow;
    return;
  }
  if (FKind != ckDate || Button != mbLeft) return;
  const bool inside = X >= 0 && Y >= 0 && X < Width() && Y < Height();
  if (!inside || PtInRect(FMonthTextRect, FMousePos) || PtInRect(FYearTextRect, FMousePos)) return;
  const TDateTime date = DateAtPoint(FMousePos);
  HideMonthListAndTimers();
  if (!IsNull(date)) DateChosen();
}

void TcxCustomCalendar::DblClick() {
  TcxControl::DblClick();
  if (FKind != ckDateTime) return;
  const TDateTime date = DateAtPoint(FMousePos);
  if (IsNull(date)) return;
  SetSelectDate(date);
  HideMonthListAndTimers();
  DateChosen();
}

bool TcxCustomCalendar::DoMouseWheel(TShiftState Shift, Integer WheelDelta, const TPoint& MousePos) {
  if (TcxControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (FMonthList->Visible() || WheelDelta == 0) return false;
  const TPoint p = ScreenToClient(MousePos);
  const bool up = WheelDelta > 0;
  if (PtInRect(FMonthTextRect, p))
    Scroll(up ? caPrevMonth : caNextMonth);
  else if (FArrowsForYear && PtInRect(FYearTextRect, p))
    Scroll(up ? caPrevYear : caNextYear);
  else
    return false;
  return true;
}

void TcxCustomCalendar::ArrowTimerTick(TObject*) {
  // Each tick scrolls by the arrow now under the mouse (none: no step).
  Scroll(ArrowAtPoint(FMousePos));
}

void TcxCustomCalendar::UpdateHotRegion(const TPoint& P) {
  TcxCalendarHotRegion region = chrNone;
  if (!FMonthList->Visible() && GetCaptureControl() == nullptr) {
    if (PtInRect(FMonthTextRect, P))
      region = chrMonth;
    else if (PtInRect(FYearTextRect, P))
      region = chrYear;
  }
  SetHotRegion(region);
}

void TcxCustomCalendar::HandleMouseLeave(TControl* AControl) {
  TcxControl::HandleMouseLeave(AControl);
  SetHotRegion(chrNone);
}

void TcxCustomCalendar::SetHotRegion(TcxCalendarHotRegion Value) {
  if (Value == FHotRegion) return;
  FHotRegion = Value;
  InvalidateRect(FHeaderRect);
}

void TcxCustomCalendar::ButtonClick(TObject* Sender) {
  TDateTime result = NullDate;
  const TDateTime time = Time();
  if (Sender == FNowButton) {
    result = Now();
  } else if (Sender == FTodayButton) {
    const TDateTime today = Date();
    result = today >= 0 ? today + time : today - time;
  } else if (Sender == FOKButton) {
    const TDateTime day = IsNull(FSelectDate) ? Date() : std::floor(FSelectDate);
    result = day >= 0 ? day + time : day - time;
  }
  if (!IsNull(result)) SetTime(result);
  SetSelectDate(result);
  DateChosen();
  HideMonthListAndTimers();
}

// ---- TcxPopupCalendar --------------------------------------------------------------------

void TcxPopupCalendar::SetEditorPopupOpen(bool Value) {
  FEditorPopupOpen = Value;
  if (!Value) SetHotRegion(chrNone);
}

void TcxPopupCalendar::UpdateHotRegion(const TPoint& P) {
  if (FEditorPopupOpen)
    TcxCustomCalendar::UpdateHotRegion(P);
  else
    SetHotRegion(chrNone);
}

void TcxPopupCalendar::HideMonthListAndTimers() {
  TcxCustomCalendar::HideMonthListAndTimers();
  if (Assigned(OnCloseRequest)) OnCloseRequest(this);
}

void TcxPopupCalendar::KeyDown(Word& Key, TShiftState Shift) {
  switch (Key) {
    case VK_TAB:
      if (Kind() == ckDate && FPostPopupValueOnTab) DateChosen();
      break;
    case VK_RETURN:
      if (MonthList()->Visible()) break;
      HideMonthListAndTimers();
      DateChosen();
      return;
    case VK_ESCAPE:
      if (MonthList()->Visible() && !MonthList()->ShowsYears()) {
        MonthList()->CloseList();
        return;
      }
      HideMonthListAndTimers();
      return;
    case VK_UP:
    case VK_DOWN:
      if (Shift == ssAlt) {
        HideMonthListAndTimers();
        return;
      }
      break;
    case VK_F4:
      if ((Shift & ssAlt) == 0) {
        HideMonthListAndTimers();
        return;
      }
      break;
    default:
      break;
  }
  TcxCustomCalendar::KeyDown(Key, Shift);
}

void TcxPopupCalendar::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TcxCustomCalendar::MouseMove(Shift, X, Y);
  const bool inside = X >= 0 && Y >= 0 && X < Width() && Y < Height();
  if (!inside && (Shift & ssLeft) != 0 && !ArrowTimer()->Enabled()) SetSelectDate(FEditorDate);
}
