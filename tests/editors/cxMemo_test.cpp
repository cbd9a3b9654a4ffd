// The memo editor: its properties, the first line a cell shows, line breaks
// kept exactly through setting, pasting and copying, the maximum length in
// characters, Enter and Tab as the properties want them, Ctrl+A, Esc, the
// in-place editor, and a picture of a memo with Chinese text.
#include <gtest/gtest.h>

#include <filesystem>

#include "editors/cxMemo.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/forms.h"
#include "platform/gui/graphics.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"
#include "tests/editors/cxEditKeyScript.h"
#include "tests/platform/gui/guitestutil.h"

namespace {

// A shown form with a memo and a second editor to take the focus.
struct TMemoFixture : TTestForm {
  explicit TMemoFixture(bool AInplace = false) : TTestForm(320, 220) {
    Memo = Place<TcxMemo>(10, 10, 200, 100, AInplace);
    Other = Place<TcxTextEdit>(10, 130, 150, 24);
    ShowForm();
  }
  void FocusMemo() { Focus(Memo); }
  TcxMemoProperties* Properties() const { return static_cast<TcxMemoProperties*>(Memo->Properties()); }
  TcxMemo* Memo;

  TcxTextEdit* Other;
};

String Value(TcxCustomEdit* AEdit) { return VarToStr(AEdit->EditValue()); }

TEST(cxMemoProperties, DefaultsAssignAndTabWish) {
  TcxMemoProperties source(nullptr);
  EXPECT_EQ(source.ScrollBars(), ssNone);
  EXPECT_TRUE(source.WantReturns());
  EXPECT_FALSE(source.WantTabs());
  EXPECT_TRUE(source.WordWrap());
  EXPECT_FALSE(source.AutoSelect());
  EXPECT_FALSE(source.WantsTabKey());
  source.SetScrollBars(ssVertical);
  source.SetWantReturns(false);
  source.SetWantTabs(true);
  source.SetWordWrap(false);
  source.SetMaxLength(7);
  TcxMemoProperties copy(nullptr);
  copy.Assign(&source);
  EXPECT_EQ(copy.ScrollBars(), ssVertical);
  EXPECT_FALSE(copy.WantReturns());
  EXPECT_TRUE(copy.WantTabs());
  EXPECT_FALSE(copy.WordWrap());
  EXPECT_EQ(copy.MaxLength(), 7);
  EXPECT_TRUE(copy.WantsTabKey());
}

TEST(cxMemoProperties, CellShowsTheFirstLineOfAtMost250Characters) {
  const String pair = u"\U00020000";
  const String long300(300, u'x');
  const String pairAtLimit = String(249, u'a') + pair + u"b";
  struct TCase {
    Variant Value;
    String Shown;
  } cases[] = {
      {Variant(String(u"第一行\r\n第二行")), u"第一行"},
      {Variant(String(u"one\ntwo")), u"one"},
      {Variant(String(u"one\rtwo")), u"one"},
      {Variant(String(u"\r\nsecond")), u""},
      {Variant(long300), String(250, u'x')},
      {Variant(long300 + u"\r\nrest"), String(250, u'x')},
      {Variant(pairAtLimit), String(249, u'a')},  // half a character is never shown
      {Null(), u""},
  };
  TcxMemoProperties properties(nullptr);
  for (const TCase& c : cases) EXPECT_EQ(Utf8(properties.GetDisplayTextOfValue(c.Value)), Utf8(c.Shown));
}

TEST(cxMemoEditor, LineBreaksAreKeptExactlyThroughSetPasteAndCopy) {
  TMemoFixture f;
  for (const char16_t* text : {u"一\r\n二", u"一\n二", u"一\r二", u"a\r\n\r\nb\r\n"}) {
    SCOPED_TRACE(Utf8(text));
    f.Memo->SetEditValue(Variant(String(text)));
    EXPECT_EQ(Utf8(f.Memo->Text()), Utf8(text));
    EXPECT_EQ(Utf8(Value(f.Memo)), Utf8(text));
  }
  f.Memo->SetEditValue(Variant(String(u"一\r\n二")));
  EXPECT_EQ(f.Memo->Lines()->Count(), 2);
  EXPECT_EQ(Utf8(f.Memo->Lines()->Strings(1)), Utf8(u"二"));
  f.FocusMemo();
  for (const char16_t* pasted : {u"x\r\ny", u"x\ny", u"x\ry", u"\r\n\r\n"}) {
    SCOPED_TRACE(Utf8(pasted));
    f.Memo->SetEditValue(Variant(String(u"ab")));
    f.Memo->SetSelection(1, 0);
    Clipboard()->SetAsText(pasted);
    TestKey(u'V', u"", tkCtrl);
    EXPECT_EQ(Utf8(f.Memo->Text()), Utf8(u"a" + String(pasted) + u"b"));
    // Copying the pasted part gives it back unchanged.
    f.Memo->SetSelection(1, static_cast<Integer>(String(pasted).size()));
    TestKey(u'C', u"", tkCtrl);
    EXPECT_EQ(Utf8(Clipboard()->AsText()), Utf8(pasted));
  }
}

TEST(cxMemoEditor, CaretAndSelectionMapAcrossLineBreaks) {
  TMemoFixture f;
  f.Memo->SetEditValue(Variant(String(u"ab\r\ncd\nef")));
  f.FocusMemo();
  f.Memo->SetSelection(4, 3);  // "cd\n"
  EXPECT_EQ(f.Memo->InnerEdit()->SelStart(), 3);
  EXPECT_EQ(f.Memo->InnerEdit()->SelLength(), 3);
  f.Memo->SetSelection(1, 0);
  TestKey(VK_DOWN);  // a line down, same column
  TestTypeText(u"X");
  TestKey(VK_DOWN);
  TestKey(VK_HOME);  // the start of that line, not of the text
  TestTypeText(u"Y");
  EXPECT_EQ(Utf8(f.Memo->Text()), "ab\r\ncXd\nYef");
}

TEST(cxMemoEditor, MaximumLengthCountsCharactersNotBytes) {
  struct TCase {
    Integer MaxLength;
    const char16_t* Before;  // the caret is at its end
    const char16_t* Pasted;
    const char16_t* Result;
  } cases[] = {
      {5, u"abc", u"uvwxyz", u"abcuv"},
      {5, u"北京", u"上海广州深圳", u"北京上海广"},       // a Chinese character counts one
      {4, u"ab", u"\U00020000\U00020001", u"ab\U00020000"},  // a pair counts two and is not split
      {3, u"北京市", u"x", u"北京市"},                       // no room: nothing is inserted
  };
  TMemoFixture f;
  f.FocusMemo();
  for (const TCase& c : cases) {
    SCOPED_TRACE(Utf8(c.Pasted));
    f.Properties()->SetMaxLength(c.MaxLength);
    f.Memo->SetEditValue(Variant(String(c.Before)));
    f.Memo->SetSelection(static_cast<Integer>(String(c.Before).size()), 0);
    Clipboard()->SetAsText(c.Pasted);
    TestKey(u'V', u"", tkCtrl);
    EXPECT_EQ(Utf8(f.Memo->Text()), Utf8(c.Result));
  }
}

TEST(cxMemoEditor, EnterAndTabFollowWantReturnsAndWantTabs) {
  struct TCase {
    bool Inplace;
    bool WantReturns;
    bool WantTabs;
    Word Key;
    Cardinal Modifiers;
    const char16_t* Result;
    bool KeepsFocus;
  } cases[] = {
      {false, true, false, VK_RETURN, 0, u"a\r\nb", true},
      {false, false, false, VK_RETURN, 0, u"ab", true},
      {false, false, false, VK_RETURN, tkCtrl, u"a\r\nb", true},
      {true, true, false, VK_RETURN, 0, u"a\r\nb", true},
      {true, false, false, VK_RETURN, tkCtrl, u"a\r\nb", true},
      {false, true, true, VK_TAB, 0, u"a\tb", true},
      {false, true, false, VK_TAB, 0, u"ab", false},  // Tab moves to the next control
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "inplace " << c.Inplace << " returns " << c.WantReturns << " tabs "
                                    << c.WantTabs << " key " << c.Key << " mods " << c.Modifiers);
    TMemoFixture f(c.Inplace);
    f.Properties()->SetWantReturns(c.WantReturns);
    f.Properties()->SetWantTabs(c.WantTabs);
    f.Properties()->SetValidateOnEnter(true);  // a typed line break must not post and stay
    f.Memo->SetEditValue(Variant(String(u"ab")));
    f.FocusMemo();
    f.Memo->SetSelection(1, 0);
    TestKey(c.Key, u"", c.Modifiers);
    Application->ProcessMessages();
    EXPECT_EQ(Utf8(f.Memo->Text()), Utf8(c.Result));
    EXPECT_EQ(f.Memo->Focused(), c.KeepsFocus);
  }
}

TEST(cxMemoEditor, CtrlASelectsAllOnlyWhenThereIsText) {
  TMemoFixture f;
  Integer heard = 0;
  f.Memo->OnKeyDown = TKeyEvent(&f, [&heard](TObject*, Word& Key, TShiftState) { heard += Key == u'A'; });
  f.FocusMemo();
  TestKey(u'A', u"", tkCtrl);
  EXPECT_EQ(f.Memo->SelLength(), 0);
  EXPECT_EQ(Utf8(f.Memo->Text()), "");
  f.Memo->SetEditValue(Variant(String(u"一\r\n二")));
  f.Memo->SetSelection(1, 0);
  TestKey(u'A', u"", tkCtrl);
  EXPECT_EQ(f.Memo->SelStart(), 0);
  EXPECT_EQ(f.Memo->SelLength(), 4);
  EXPECT_EQ(f.Memo->InnerEdit()->SelLength(), 3);
  EXPECT_EQ(heard, 2);
}

TEST(cxMemoEditor, EscRevertsAMultiLineEdit) {
  TMemoFixture f;
  f.Memo->SetEditValue(Variant(String(u"第一行\r\n第二行")));
  f.FocusMemo();
  f.Memo->SetSelection(6, 0);
  TestKey(VK_RETURN);
  TestTypeText(u"x");
  EXPECT_EQ(Utf8(f.Memo->Text()), Utf8(u"第一行\r\n第\r\nx二行"));
  TestKey(VK_ESCAPE);
  EXPECT_EQ(Utf8(f.Memo->Text()), Utf8(u"第一行\r\n第二行"));
  EXPECT_EQ(Utf8(Value(f.Memo)), Utf8(u"第一行\r\n第二行"));
  EXPECT_FALSE(f.Memo->IsModified());
}

TEST(cxMemoEditor, PropertiesReachTheInnerMemoAndLinesSetTheText) {
  TMemoFixture f;
  f.Properties()->SetScrollBars(ssBoth);
  f.Properties()->SetWordWrap(false);
  f.Properties()->SetWantTabs(true);
  f.Properties()->SetWantReturns(false);
  TcxCustomInnerMemo* inner = f.Memo->InnerMemo();
  EXPECT_EQ(inner->ScrollBars(), ssBoth);
  EXPECT_FALSE(inner->WordWrap());
  EXPECT_TRUE(inner->WantTabs());
  EXPECT_FALSE(inner->WantReturns());
  TStringList lines;
  lines.Add(u"甲");
  lines.Add(u"乙");
  f.Memo->SetLines(&lines);
  EXPECT_EQ(Utf8(Value(f.Memo)), Utf8(u"甲\r\n乙"));
  EXPECT_EQ(Utf8(f.Memo->Text()), Utf8(u"甲\r\n乙"));
}

TEST(cxMemoEditor, VerticalScrollBarFollowsTheText) {
  TMemoFixture f;
  String text;
  for (Integer i = 0; i < 20; ++i) text += u"第" + String(1, Char(u'A' + i)) + u"行\r\n";
  f.Memo->SetEditValue(Variant(text));
  Application->ProcessMessages();
  EXPECT_FALSE(f.Memo->IsVScrollBarVisible());  // not wanted
  f.Properties()->SetScrollBars(ssVertical);
  Application->ProcessMessages();
  ASSERT_TRUE(f.Memo->IsVScrollBarVisible());
  TcxCustomInnerMemo* inner = f.Memo->InnerMemo();
  EXPECT_EQ(f.Memo->VScrollBar()->Max(), inner->LineCount() - 1);
  // The inner memo sits beside the bar, not under it.
  EXPECT_LE(inner->BoundsRect().Right, f.Memo->VScrollBar()->Left());
  ASSERT_GT(inner->LineCount(), inner->VisibleLineCount() + 2);
  f.Memo->ScrollOneStep(dirUp);  // the bar scrolls from wherever the caret put the memo
  const Integer top = inner->TopLine();
  EXPECT_EQ(f.Memo->VScrollBar()->Position(), top);
  f.Memo->ScrollOneStep(dirUp);
  EXPECT_EQ(inner->TopLine(), top - 1);
  EXPECT_EQ(f.Memo->VScrollBar()->Position(), top - 1);
  f.Memo->ScrollOneStep(dirDown);
  f.Memo->ScrollOneStep(dirDown);
  EXPECT_EQ(inner->TopLine(), top + 1);
  EXPECT_EQ(f.Memo->VScrollBar()->Position(), top + 1);
  for (Integer i = 0; i < 20; ++i) f.Memo->ScrollOneStep(dirUp);
  EXPECT_EQ(inner->TopLine(), 0);
  // Typing at the end scrolls the memo to the caret; the bar goes along.
  f.FocusMemo();
  f.Memo->SetSelection(static_cast<Integer>(text.size()), 0);
  TestTypeText(u"z");
  EXPECT_GT(inner->TopLine(), 0);
  EXPECT_EQ(f.Memo->VScrollBar()->Position(), inner->TopLine());
  // A short text leaves the wanted bar shown, with nothing to scroll.
  f.Memo->SetEditValue(Variant(String(u"一行")));
  EXPECT_EQ(inner->TopLine(), 0);
  EXPECT_TRUE(f.Memo->IsVScrollBarVisible());
  EXPECT_FALSE(f.Memo->VScrollBar()->Enabled());
}

TEST(cxMemoEditor, KeepsNavigationKeys) {
  TMemoFixture f;
  for (Word key : {VK_PRIOR, VK_NEXT, VK_HOME, VK_END}) {
    EXPECT_TRUE(f.Memo->KeepsNavigationKey(key, false));
    EXPECT_TRUE(f.Memo->KeepsNavigationKey(key, true));
  }
  for (Word key : {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN}) {
    EXPECT_TRUE(f.Memo->KeepsNavigationKey(key, false));
    EXPECT_FALSE(f.Memo->KeepsNavigationKey(key, true));
  }
  EXPECT_FALSE(f.Memo->KeepsNavigationKey(VK_TAB, false));
}

TEST(cxMemoEditor, InplaceEditorIsAMemo) {
  TcxMemoProperties properties(nullptr);
  std::unique_ptr<TcxCustomEdit> edit(CreateInplaceEditor(TcxMemo::StaticClass(), &properties));
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(edit->IsInplace());
  auto* memo = dynamic_cast<TcxMemo*>(edit.get());
  ASSERT_NE(memo, nullptr);
  EXPECT_NE(dynamic_cast<TcxCustomInnerMemo*>(memo->InnerEdit()), nullptr);
}

TEST(cxMemoEditor, RegisteredKind) {
  cxMemoRegister();
  cxMemoRegister();
  TcxRegisteredClasses* registry = GetEditPropertiesRegistry();
  const Integer index = registry->IndexOfClass(TcxMemoProperties::StaticClass());
  ASSERT_GE(index, 0);
  EXPECT_EQ(registry->Descriptions(index), u"Memo|Represents an edit control that allows editing memo data");
  EXPECT_EQ(TcxMemoProperties::GetEditorClass(), TcxMemo::StaticClass());
}

TEST(cxMemoEditor, PictureWithChineseText) {
  TMemoFixture f;
  f.Memo->SetEditValue(Variant(String(u"地质调查元数据\r\n数据集名称：区域重力\n比例尺 1:200000")));
  Application->ProcessMessages();
  TBitmap picture(f.Form->ClientWidth(), f.Form->ClientHeight(), pf32bit);
  f.Form->PaintTo(picture.Canvas()->Handle(), 0, 0);
  std::filesystem::path dir = std::filesystem::path(KORVANE_BINARY_DIR) / "pictures";
  std::filesystem::create_directories(dir);
  picture.SaveToFile(UTF8ToString((dir / "memo_chinese.png").string()));
  // Each of the three lines has ink on its own row band.
  const TRect box = f.Memo->InnerEdit()->BoundsRect();
  const TPoint origin = f.Memo->ClientToParent(TPoint{box.Left, box.Top}, f.Form);
  const Integer lineHeight = 16;
  for (Integer line = 0; line < 3; ++line) {
    Integer ink = 0;
    for (Integer y = origin.Y + line * lineHeight; y < origin.Y + (line + 1) * lineHeight; ++y)
      for (Integer x = origin.X; x < origin.X + 120; ++x)
        if ((picture.PixelColor(x, y) & 0xFFFFFF) != (ColorToRGB(clWindow) & 0xFFFFFF)) ++ink;
    EXPECT_GT(ink, 20) << "line " << line;
  }
}

}  // namespace
