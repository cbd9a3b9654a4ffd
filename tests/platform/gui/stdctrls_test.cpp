// The single-line and multi-line edits, buttons and labels.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/gui/application.h"
#include "platform/gui/clipboard.h"
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

}  // namespace
