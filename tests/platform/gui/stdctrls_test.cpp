// The single-line and multi-line edits, buttons and labels.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/stdctrls.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/encoding.h"
#include "tests/platform/gui/guitestutil.h"

namespace {

// A shown form with a focused single-line edit and a memo.
struct TEditFixture : TTestForm {
  TEditFixture() : TTestForm(400, 300) {
    Edit = Place<TEdit>(10, 10, 200, 24);
    Memo = Place<TMemo>(10, 50, 200, 100);
    Form->Show();
    Edit->SetFocus();
  }
  TEdit* Edit;

  TMemo* Memo;
};

TEST(Edit, TypedKeysReachTheTextUnlessAHandlerConsumesThem) {
  TEditFixture f;
  Integer changes = 0;
  f.Edit->OnChange = TNotifyEvent(&f, [&](TObject*) { ++changes; });
  f.Edit->OnKeyPress = TKeyPressEvent(&f, [](TObject*, Char& Key) {
    if (Key == u'x') Key = 0;        // consumed
    else if (Key == u'a') Key = u'A';  // altered
  });
  f.Edit->OnKeyDown = TKeyEvent(&f, [](TObject*, Word& Key, TShiftState) {
    if (Key == VK_DELETE) Key = 0;
  });
  TestTypeText(u"abxc");
  EXPECT_EQ(f.Edit->Text(), u"Abc");
  EXPECT_EQ(changes, 3);
  EXPECT_TRUE(f.Edit->Modified());
  TestKey(VK_BACK);
  EXPECT_EQ(f.Edit->Text(), u"Ab");
  TestKey(VK_HOME);
  TestKey(VK_DELETE);  // eaten by OnKeyDown: nothing deleted
  EXPECT_EQ(f.Edit->Text(), u"Ab");
  EXPECT_EQ(f.Edit->SelStart(), 0);
}

TEST(Edit, KeysOfALayoutWithoutKeyCodesTypeTheirText) {
  // Greek or Cyrillic typed without an input method: the keys have no key
  // code of their own, their text still arrives; with Ctrl it types nothing.
  TEditFixture f;
  TestKey(0, u"α");
  TestKey(0, u"ж");
  TestKey(0, u"β", tkCtrl);
  EXPECT_EQ(f.Edit->Text(), u"αж");
}

TEST(Edit, InputMethodCommitInsertsChineseAtTheCaret) {
  TEditFixture f;
  f.Edit->SetText(u"地图");
  f.Edit->SetSelStart(1);
  TestInputMethodPreedit(u"zhong");
  TestInputMethodCommit(u"中文");
  EXPECT_EQ(f.Edit->Text(), u"地中文图");
  EXPECT_EQ(f.Edit->SelStart(), 3);
  // A character outside the basic plane arrives as two halves and is kept whole.
  TestInputMethodCommit(u"\U00020000");
  EXPECT_EQ(f.Edit->Text(), u"地中文\U00020000图");
}

TEST(Edit, SelectionClipboardAndUndoRoundTrip) {
  TEditFixture f;
  f.Edit->SetText(u"hello world");
  f.Edit->SetSelStart(6);
  f.Edit->SetSelLength(5);
  EXPECT_EQ(f.Edit->SelText(), u"world");
  TestKey('C', u"", tkCtrl);
  EXPECT_EQ(Clipboard()->AsText(), u"world");
  TestKey('X', u"", tkCtrl);
  EXPECT_EQ(f.Edit->Text(), u"hello ");
  f.Edit->SetSelStart(0);
  TestKey('V', u"", tkCtrl);
  EXPECT_EQ(f.Edit->Text(), u"worldhello ");
  EXPECT_EQ(f.Edit->SelStart(), 5);
  TestKey(VK_LEFT, u"", tkShift);
  TestKey(VK_LEFT, u"", tkShift);
  EXPECT_EQ(f.Edit->SelText(), u"ld");
  f.Edit->Undo();
  EXPECT_EQ(f.Edit->Text(), u"hello ");
  // Pasted text loses its line breaks in a single-line edit.
  Clipboard()->SetAsText(u"one\r\ntwo");
  f.Edit->SelectAll();
  f.Edit->PasteFromClipboard();
  EXPECT_EQ(f.Edit->Text(), u"one");
}

TEST(Edit, MaxLengthCharCaseAndReadOnlyLimitUserInput) {
  TEditFixture f;
  struct TCase {
    const char16_t* Start;
    Integer MaxLength;
    TEditCharCase Case;
    bool ReadOnly;
    const char16_t* Pasted;
    const char16_t* Expected;
    Integer Caret;
  } cases[] = {
      {u"abc", 5, ecNormal, false, u"defgh", u"abcde", 5},
      {u"abcde", 5, ecNormal, false, u"x", u"abcde", 5},  // nothing fits: refused
      {u"ab", 0, ecUpperCase, false, u"cd", u"ABCD", 4},
      {u"ab", 0, ecNormal, true, u"cd", u"ab", 2},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(StringToUTF8(c.Start) + " + " + StringToUTF8(c.Pasted));
    f.Edit->SetReadOnly(false);
    f.Edit->SetCharCase(ecNormal);
    f.Edit->SetText(c.Start);
    f.Edit->SetMaxLength(c.MaxLength);
    f.Edit->SetCharCase(c.Case);
    f.Edit->SetReadOnly(c.ReadOnly);
    f.Edit->SetSelStart(static_cast<Integer>(String(c.Start).size()));
    Clipboard()->SetAsText(c.Pasted);
    f.Edit->PasteFromClipboard();
    EXPECT_EQ(f.Edit->Text(), c.Expected);
    EXPECT_EQ(f.Edit->SelStart(), c.Caret);
  }
  // A read-only edit copies on cut and keeps its text.
  f.Edit->SelectAll();
  f.Edit->CutToClipboard();
  EXPECT_EQ(Clipboard()->AsText(), u"ab");
  EXPECT_EQ(f.Edit->Text(), u"ab");
  // Code may still change it.
  f.Edit->SetSelText(u"xy");
  EXPECT_EQ(f.Edit->Text(), u"xy");
}

TEST(Edit, EnteringByKeyboardSelectsAllButAClickPlacesTheCaret) {
  TEditFixture f;
  f.Edit->SetText(u"abcdef");
  f.Memo->SetFocus();
  TestKey(VK_TAB, u"\t");
  ASSERT_TRUE(f.Edit->Focused());
  EXPECT_EQ(f.Edit->SelText(), u"abcdef");
  f.Memo->SetFocus();
  TPoint at = f.Edit->PosFromChar(2);
  TestClick(f.Edit->Handle(), TPoint{at.X, at.Y + 3});
  EXPECT_TRUE(f.Edit->Focused());
  EXPECT_EQ(f.Edit->SelLength(), 0);
  EXPECT_EQ(f.Edit->SelStart(), 2);
}

TEST(Edit, CharacterPositionsAndClicksAgree) {
  TEditFixture f;
  f.Edit->SetText(u"abc中文");
  Integer last = -1;
  for (Integer i = 0; i <= 5; ++i) {
    TPoint p = f.Edit->PosFromChar(i);
    EXPECT_GT(p.X, last);
    last = p.X;
    EXPECT_EQ(f.Edit->CharFromPos(TPoint{p.X + 1, p.Y + 2}), i);
  }
  TPoint at = f.Edit->PosFromChar(4);
  TestClick(f.Edit->Handle(), TPoint{at.X, at.Y + 3});
  EXPECT_EQ(f.Edit->SelStart(), 4);
  EXPECT_EQ(f.Edit->SelLength(), 0);
  f.Edit->SetMargins(20, 0);
  EXPECT_EQ(f.Edit->PosFromChar(0).X, 20);
}

TEST(Edit, PasswordEditShowsEchoCharactersAndKeepsTheTextOffTheClipboard) {
  TEditFixture f;
  Clipboard()->SetAsText(u"before");
  f.Edit->SetPasswordChar(u'*');
  TestTypeText(u"iW1");
  EXPECT_EQ(f.Edit->Text(), u"iW1");
  // Every character takes the width of the echo character.
  Integer w1 = f.Edit->PosFromChar(1).X - f.Edit->PosFromChar(0).X;
  EXPECT_EQ(f.Edit->PosFromChar(2).X - f.Edit->PosFromChar(1).X, w1);
  f.Edit->SelectAll();
  TestKey('C', u"", tkCtrl);
  TestKey('X', u"", tkCtrl);
  EXPECT_EQ(Clipboard()->AsText(), u"before");
  EXPECT_EQ(f.Edit->Text(), u"iW1");
}

// The rows of the edit's picture that hold dark (text) pixels.
std::pair<Integer, Integer> InkRows(TCustomEdit* Edit) {
  TBitmap picture(Edit->Width(), Edit->Height(), pf24bit);
  Edit->PaintTo(picture.Canvas(), 0, 0);
  Integer top = -1, bottom = -1;
  for (Integer y = 0; y < picture.Height(); ++y)
    for (Integer x = 0; x < picture.Width(); ++x) {
      const TColor c = picture.PixelColor(x, y);
      if ((c & 0xFF) < 0x60 && ((c >> 8) & 0xFF) < 0x60 && ((c >> 16) & 0xFF) < 0x60) {
        if (top < 0) top = y;
        bottom = y;
        break;
      }
    }
  return {top, bottom};
}

TEST(Edit, TheOneLineStandsInTheMiddleAndKeepsItsDescendersWhenTheEditIsShort) {
  // An in-place editor is often no taller than its font: the line is
  // centred (as a cell centres its text), not hung from the top where the
  // descenders fall off the bottom.
  TTestForm f(400, 300);
  TEdit* edit = f.Place<TEdit>(10, 10, 200, 24);
  edit->SetBorderStyle(bsNone);
  edit->Font()->SetName(u"宋体");
  edit->Font()->SetHeight(-14);
  edit->SetText(u"gypq 地质 Abd");
  f.ShowForm();
  TBitmap measure(1, 1);
  measure.Canvas()->Font()->Assign(edit->Font());
  const Integer line = measure.Canvas()->TextHeight(u"Wg国");
  for (Integer height : {line - 1, line, line + 1, line + 6, line + 15}) {
    SCOPED_TRACE(height);
    edit->SetHeight(height);
    Application->ProcessMessages();
    const auto [top, bottom] = InkRows(edit);
    ASSERT_GE(top, 0) << "no text drawn";
    EXPECT_LE(bottom, height - 1);
    EXPECT_LE(std::abs((top + bottom) - (height - 1)), 3) << "ink " << top << ".." << bottom << " not centred";
  }
}

TEST(Memo, KeepsLineBreaksExactlyThroughCopyAndPaste) {
  TEditFixture f;
  f.Memo->SetText(u"第一行\r\n\r\nthird");
  EXPECT_EQ(f.Memo->Lines()->Count(), 3);
  EXPECT_EQ(f.Memo->Lines()->Strings(1), u"");
  f.Memo->SelectAll();
  f.Memo->CopyToClipboard();
  f.Memo->SetText(u"");
  f.Memo->PasteFromClipboard();
  EXPECT_EQ(f.Memo->Text(), u"第一行\r\n\r\nthird");
  // Breaks from other programs ("\n", "\r\n", "\r") each make one line.
  f.Memo->SetText(u"");
  Clipboard()->SetAsText(u"a\r\nb\nc\rd");
  f.Memo->PasteFromClipboard();
  EXPECT_EQ(f.Memo->Text(), u"a\r\nb\r\nc\r\nd");
  EXPECT_EQ(f.Memo->Lines()->Count(), 4);
  f.Memo->Lines()->Delete(1);
  f.Memo->Lines()->Add(u"e");
  EXPECT_EQ(f.Memo->Lines()->Text(), u"a\r\nc\r\nd\r\ne\r\n");
  f.Memo->Lines()->Add(u"");  // an empty last line is a line too
  EXPECT_EQ(f.Memo->Lines()->Count(), 5);
  EXPECT_EQ(f.Memo->Lines()->Strings(4), u"");
  f.Memo->Lines()->Add(u"f");
  EXPECT_EQ(f.Memo->Text(), u"a\r\nc\r\nd\r\ne\r\n\r\nf");
}

TEST(Memo, EnterAndTabFollowWantReturnsAndWantTabs) {
  TEditFixture f;
  auto* ok = new TButton(f.Form);
  ok->SetParent(f.Form);
  ok->SetBounds(250, 10, 75, 25);
  ok->SetDefault(true);
  Integer clicks = 0;
  ok->OnClick = TNotifyEvent(&f, [&](TObject*) { ++clicks; });
  f.Memo->SetFocus();
  TestTypeText(u"ab");
  TestKey(VK_RETURN, u"\r");
  TestTypeText(u"c");
  EXPECT_EQ(f.Memo->Text(), u"ab\r\nc");
  EXPECT_EQ(clicks, 0);
  f.Memo->SetWantReturns(false);
  TestKey(VK_RETURN, u"\r");
  EXPECT_EQ(f.Memo->Text(), u"ab\r\nc");
  EXPECT_EQ(clicks, 1);
  f.Memo->SetWantTabs(true);
  TestKey(VK_TAB, u"\t");
  EXPECT_EQ(f.Memo->Text(), u"ab\r\nc\t");
  EXPECT_TRUE(f.Memo->Focused());
  TestKey(VK_UP);
  EXPECT_EQ(f.Memo->CaretPos().Y, 0);
}

TEST(Memo, ScrollsByLinesAndFollowsTheCaret) {
  TEditFixture f;
  String text;
  for (int i = 0; i < 30; ++i) text += u"line\r\n";
  f.Memo->SetText(text + u"end");
  Integer visible = f.Memo->VisibleLineCount();
  ASSERT_GT(visible, 1);
  ASSERT_LT(visible, 31);
  f.Memo->ScrollLines(5);
  EXPECT_EQ(f.Memo->Perform(EM_GETFIRSTVISIBLELINE), 5);
  f.Memo->ScrollLines(1000);  // kept inside the text
  EXPECT_EQ(f.Memo->TopLine(), 31 - visible);
  f.Memo->ScrollLines(-1000);
  EXPECT_EQ(f.Memo->TopLine(), 0);
  f.Memo->SetFocus();
  TestKey(VK_END, u"", tkCtrl);
  EXPECT_EQ(f.Memo->TopLine(), 31 - visible);
  EXPECT_EQ(f.Memo->CaretPos(), (TPoint{3, 30}));
  // Word wrap makes more shown lines, never more text.
  f.Memo->SetText(u"one two three four five six seven eight nine ten eleven twelve");
  f.Memo->SetWordWrap(true);
  EXPECT_GT(f.Memo->LineCount(), 1);
  EXPECT_EQ(f.Memo->Lines()->Count(), 1);
  f.Memo->SetWordWrap(false);
  EXPECT_EQ(f.Memo->LineCount(), 1);
}

TEST(Memo, ScrollBarsScrollTheTextAndFollowIt) {
  TEditFixture f;
  String text;
  for (int i = 0; i < 40; ++i) text += u"line\r\n";
  f.Memo->SetText(text + u"end");
  const Integer linesBefore = f.Memo->LineCount();
  f.Memo->SetScrollBars(ssVertical);
  const TRect bar = f.Memo->ScrollBarRect(true);
  ASSERT_FALSE(IsRectEmpty(bar));
  EXPECT_TRUE(IsRectEmpty(f.Memo->ScrollBarRect(false)));
  EXPECT_EQ(bar.Right, f.Memo->ClientWidth());
  EXPECT_EQ(f.Memo->LineCount(), linesBefore);
  const Integer visible = f.Memo->VisibleLineCount(), last = 41 - visible;
  const Integer arrow = bar.Right - bar.Left, x = (bar.Left + bar.Right) / 2;
  // The thumb shows where the text stands: probed just inside each end of the track.
  auto thumbAt = [&](bool Top) {
    TBitmap shot(f.Memo->Width(), f.Memo->Height(), pf24bit);
    f.Memo->PaintTo(shot.Canvas(), 0, 0);
    const Integer y = Top ? bar.Top + arrow + 3 : bar.Bottom - arrow - 3;
    return shot.Canvas()->Pixels(x, y) == ColorToRGB(clBtnFace);
  };
  ASSERT_NE(ColorToRGB(clBtnHighlight), ColorToRGB(clBtnFace));
  EXPECT_TRUE(thumbAt(true));
  EXPECT_FALSE(thumbAt(false));

  HWND h = f.Memo->Handle();
  struct {
    const char* Name;
    std::function<void()> Act;
    Integer TopLine;
  } const Steps[] = {
      {"down arrow", [&] { TestClick(h, TPoint{x, bar.Bottom - arrow / 2}); }, 1},
      {"up arrow", [&] { TestClick(h, TPoint{x, bar.Top + arrow / 2}); }, 0},
      {"up arrow at the top", [&] { TestClick(h, TPoint{x, bar.Top + arrow / 2}); }, 0},
      {"track below the thumb: a page", [&] { TestClick(h, TPoint{x, bar.Bottom - arrow - 2}); }, visible},
      {"thumb dragged to the end", [&] {
         TestClick(h, TPoint{x, bar.Top + arrow / 2});  // back to a known place
         for (Integer i = 0; i < visible; ++i) TestClick(h, TPoint{x, bar.Top + arrow / 2});
         TestMousePress(h, TPoint{x, bar.Top + arrow + 2});
         TestMouseMove(h, TPoint{x, bar.Bottom + 50});
         TestMouseRelease(h, TPoint{x, bar.Bottom + 50});
       }, last},
      {"wheel", [&] { TestWheel(h, TPoint{20, 20}, 1); }, last - (Mouse ? Mouse->WheelScrollLines() : 3)},
      {"caret to the start", [&] { TestKey(VK_HOME, u"", tkCtrl); }, 0},
  };
  for (const auto& Step : Steps) {
    SCOPED_TRACE(Step.Name);
    Step.Act();
    EXPECT_EQ(f.Memo->TopLine(), Step.TopLine);
  }
  EXPECT_EQ(f.Memo->Text().substr(0, 4), u"line") << "the bar's clicks never moved or typed text";
  TestKey(VK_END, u"", tkCtrl);  // the caret takes the text, and the thumb, to the end
  EXPECT_EQ(f.Memo->TopLine(), last);
  EXPECT_TRUE(thumbAt(false));
  EXPECT_FALSE(thumbAt(true));
  f.Memo->SetText(u"short");  // the text fits: the bar has no thumb and does nothing
  EXPECT_FALSE(thumbAt(true));
  EXPECT_FALSE(thumbAt(false));
  TestClick(h, TPoint{x, bar.Bottom - arrow / 2});
  EXPECT_EQ(f.Memo->TopLine(), 0);

  // Horizontally, without wrapping: the arrows move by pixels along the widest line.
  f.Memo->SetWordWrap(false);
  f.Memo->SetScrollBars(ssBoth);
  f.Memo->SetText(String(200, u'x') + u"\r\nshort");
  const TRect hbar = f.Memo->ScrollBarRect(false);
  ASSERT_FALSE(IsRectEmpty(hbar));
  EXPECT_EQ(f.Memo->ScrollBarRect(true).Bottom, hbar.Top);
  TestClick(h, TPoint{hbar.Right - 4, (hbar.Top + hbar.Bottom) / 2});
  EXPECT_GT(f.Memo->ScrollX(), 0);
  TestClick(h, TPoint{hbar.Left + 4, (hbar.Top + hbar.Bottom) / 2});
  EXPECT_EQ(f.Memo->ScrollX(), 0);
}

TEST(Buttons, ModalResultCancelAndCheckStates) {
  TEditFixture f;
  auto* cancel = new TButton(f.Form);
  cancel->SetParent(f.Form);
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  cancel->SetBounds(250, 50, 75, 25);
  TestKey(VK_ESCAPE);
  EXPECT_EQ(f.Form->ModalResult(), mrCancel);

  auto* check = new TCheckBox(f.Form);
  check->SetParent(f.Form);
  check->SetBounds(250, 100, 100, 20);
  check->SetAllowGrayed(true);
  std::vector<TCheckBoxState> seen;
  check->OnClick = TNotifyEvent(&f, [&](TObject*) { seen.push_back(check->State()); });
  for (int i = 0; i < 3; ++i) TestClick(check->Handle(), TPoint{5, 5});
  EXPECT_EQ(seen, (std::vector<TCheckBoxState>{cbGrayed, cbChecked, cbUnchecked}));

  auto* r1 = new TRadioButton(f.Form);
  auto* r2 = new TRadioButton(f.Form);
  r1->SetParent(f.Form);
  r2->SetParent(f.Form);
  r1->SetBounds(250, 130, 100, 20);
  r2->SetBounds(250, 150, 100, 20);
  r1->SetChecked(true);
  TestClick(r2->Handle(), TPoint{5, 5});
  EXPECT_TRUE(r2->Checked());
  EXPECT_FALSE(r1->Checked());
}

// A press on a button whose focus the edit refuses (its exit puts the focus
// back, as an editor keeping an invalid value does) must not click on release.
TEST(Buttons, APressWhoseFocusWasRefusedDoesNotClick) {
  TEditFixture f;
  auto* ok = new TButton(f.Form);
  ok->SetParent(f.Form);
  ok->SetBounds(250, 50, 75, 25);
  int clicks = 0;
  ok->OnClick = TNotifyEvent(&f, [&](TObject*) { ++clicks; });
  bool refuse = true;
  f.Edit->OnExit = TNotifyEvent(&f, [&](TObject*) {
    if (refuse) f.Edit->SetFocus();
  });
  TestClick(ok->Handle(), TPoint{5, 5});
  Application->ProcessMessages();
  EXPECT_EQ(clicks, 0);
  EXPECT_TRUE(f.Edit->Focused());
  EXPECT_FALSE(ok->MouseCapture());
  refuse = false;
  TestClick(ok->Handle(), TPoint{5, 5});
  EXPECT_EQ(clicks, 1);
}

TEST(Labels, AutoSizeFollowsTheCaptionAndAccelFocuses) {
  TEditFixture f;
  auto* label = new TLabel(f.Form);
  label->SetParent(f.Form);
  label->SetCaption(u"名称");
  Integer shortWidth = label->Width();
  label->SetCaption(u"&Name of the record 名称");
  EXPECT_GT(label->Width(), shortWidth);
  EXPECT_GT(label->Height(), 0);
  label->SetFocusControl(f.Memo);
  // The form hands Alt+letter to its controls as a dialog character.
  EXPECT_EQ(f.Form->Perform(CM_DIALOGCHAR, u'x'), 0);
  EXPECT_FALSE(f.Memo->Focused());
  EXPECT_NE(f.Form->Perform(CM_DIALOGCHAR, u'n'), 0);
  EXPECT_TRUE(f.Memo->Focused());
}


TEST(DialogCharacters, AltAndALetterReachTheControlWithThatAccelerator) {
  // Typed in an edit that takes characters: Alt+letter is still the dialog's.
  TEditFixture f;
  auto* label = new TLabel(f.Form);
  label->SetParent(f.Form);
  label->SetCaption(u"备注(&M)");
  label->SetFocusControl(f.Memo);
  auto* panel = new TPanel(f.Form);  // accelerators are found through parents
  panel->SetBounds(220, 10, 170, 200);
  panel->SetParent(f.Form);
  auto* button = new TButton(f.Form);
  button->SetCaption(u"确定(&O)");
  button->SetBounds(10, 10, 80, 24);
  button->SetParent(panel);
  auto* check = new TCheckBox(f.Form);
  check->SetCaption(u"只读(&R)");
  check->SetBounds(10, 40, 120, 20);
  check->SetParent(panel);
  auto* hidden = new TButton(f.Form);
  hidden->SetCaption(u"隐藏(&H)");
  hidden->SetBounds(10, 70, 80, 24);
  hidden->SetParent(panel);
  hidden->SetVisible(false);
  std::vector<String> clicks;
  for (TControl* c : std::vector<TControl*>{button, check, hidden})
    c->OnClick = TNotifyEvent(&f, [&clicks](TObject* Sender) { clicks.push_back(static_cast<TControl*>(Sender)->Caption()); });
  auto altLetter = [](Char Letter) {
    TestKeyPress(VK_MENU, u"", tkAlt);
    TestKey(static_cast<Word>(Letter - u'a' + u'A'), String(1, Letter), tkAlt);
    TestKeyRelease(VK_MENU);
  };
  struct {
    Char Letter;
    TWinControl* Focused;
    std::vector<String> Clicks;
    bool Checked;
  } const Cases[] = {
      {u'm', f.Memo, {}, false},                       // the label's FocusControl
      {u'r', check, {u"只读(&R)"}, true},             // focused and changed as by a click
      {u'o', button, {u"只读(&R)", u"确定(&O)"}, true},  // pressed
      {u'h', button, {u"只读(&R)", u"确定(&O)"}, true},  // a hidden control is no one's
      {u'z', button, {u"只读(&R)", u"确定(&O)"}, true},  // no accelerator: nothing happens
  };
  f.Edit->SetFocus();
  for (const auto& Case : Cases) {
    SCOPED_TRACE(std::string(1, static_cast<char>(Case.Letter)));
    altLetter(Case.Letter);
    EXPECT_TRUE(Case.Focused->Focused());
    EXPECT_EQ(clicks, Case.Clicks);
    EXPECT_EQ(check->Checked(), Case.Checked);
  }
  EXPECT_EQ(f.Edit->Text(), u"") << "the letters were not typed into the edit";
}

}  // namespace
