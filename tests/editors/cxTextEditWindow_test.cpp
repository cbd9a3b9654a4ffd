// The text and masked editors in a real (offscreen) window: typing reaches
// the model through the inner edit, selection keys, clipboard with a mask,
// Esc reverting, an input-method commit of Chinese text, the inner edit's
// text length answer, and a picture of a demo form.
#include <gtest/gtest.h>

#include "editors/cxMaskEdit.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/graphics.h"
#include "platform/gui/application.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"
#include "tests/editors/cxEditKeyScript.h"
#include "tests/platform/gui/guitestutil.h"

namespace {

struct TSeparatorsScope {
  TSeparatorsScope() {
    FormatSettings().DateSeparator = u'/';
    FormatSettings().TimeSeparator = u':';
    FormatSettings().ThousandSeparator = u',';
    FormatSettings().DecimalSeparator = u'.';
  }
  ~TSeparatorsScope() { FormatSettings() = Saved; }
  TFormatSettings Saved = FormatSettings();
};

// A shown form with a text editor, a masked editor and a third control to
// move the focus to.
struct TWindowFixture : TTestForm {
  TWindowFixture() : TTestForm(320, 200) {
    Text = Place<TcxTextEdit>(10, 10, 150, 24);
    Mask = Place<TcxMaskEdit>(10, 40, 150, 24);
    Other = Place<TcxTextEdit>(10, 70, 150, 24);
    ShowForm();
  }
  TcxTextEdit* Text;

  TcxMaskEdit* Mask;
  TcxTextEdit* Other;
};

// Numeric properties as the numeric editors declare them, and their editor.
class TNumericProperties : public TcxCustomTextEditProperties {
  KORVANE_CLASS(TNumericProperties, TcxCustomTextEditProperties)
  using TcxCustomTextEditProperties::TcxCustomTextEditProperties;
  bool IsNumeric() const override { return true; }
  bool UsesThousandSeparators() const override { return true; }
};

class TNumericEdit : public TcxCustomTextEdit {
  KORVANE_CLASS(TNumericEdit, TcxCustomTextEdit)
  using TcxCustomTextEdit::TcxCustomTextEdit;
  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TNumericProperties::StaticClass(); }
};

TcxMaskEditProperties* MaskProperties(TcxMaskEdit* AEdit) {
  return static_cast<TcxMaskEditProperties*>(AEdit->Properties());
}

TEST(TextEditWindow, TypingAndSelectionKeysReachTheInnerEdit) {
  TWindowFixture f;
  f.Focus(f.Text);
  TestTypeText(u"hello");
  EXPECT_EQ(Utf8(f.Text->Text()), "hello");
  EXPECT_EQ(Utf8(f.Text->InnerEdit()->Text()), "hello");
  EXPECT_TRUE(f.Text->IsModified());
  TestKey(VK_LEFT, u"", tkShift);
  EXPECT_EQ(f.Text->SelStart(), 4);
  EXPECT_EQ(f.Text->SelLength(), 1);
  EXPECT_EQ(f.Text->InnerEdit()->SelStart(), 4);
  EXPECT_EQ(f.Text->InnerEdit()->SelLength(), 1);
  TestTypeText(u"X");
  EXPECT_EQ(Utf8(f.Text->InnerEdit()->Text()), "hellX");
  TestKey(VK_HOME);
  TestKey(VK_DELETE);
  EXPECT_EQ(Utf8(f.Text->InnerEdit()->Text()), "ellX");
  EXPECT_EQ(f.Text->InnerEdit()->SelStart(), 0);
}

TEST(TextEditWindow, AClickPlacesTheCaretWhereTypingGoes) {
  TSeparatorsScope separators;
  TWindowFixture f;
  f.Text->SetEditValue(Variant(String(u"abcdef")));
  MaskProperties(f.Mask)->SetEditMask(u"00:00");
  f.Mask->SetEditValue(Variant(String(u"12:34")));
  struct TCase {
    TcxCustomTextEdit* Edit;
    Integer At;
    const char16_t* Typed;
    const char* Text;
  } cases[] = {{f.Text, 2, u"X", "abXcdef"}, {f.Mask, 3, u"9", "12:94"}};
  for (const TCase& c : cases) {
    f.Focus(c.Edit);
    TCustomEdit* inner = c.Edit->InnerEdit();
    const TPoint p = inner->PosFromChar(c.At);
    TestClick(inner->Handle(), TPoint{p.X + 1, p.Y + 2});
    Application->ProcessMessages();
    TestTypeText(c.Typed);
    EXPECT_EQ(Utf8(inner->Text()), c.Text);
  }
}

TEST(TextEditWindow, AStandardMaskShowsTheValueUnfocusedAndThePictureFocused) {
  TWindowFixture f;
  MaskProperties(f.Mask)->SetEditMask(u"(000)000-0000;0;_");
  f.Mask->SetEditValue(Variant(String(u"010555")));
  EXPECT_EQ(Utf8(f.Mask->InnerEdit()->Text()), "010555    ");
  f.Focus(f.Mask);
  EXPECT_EQ(Utf8(f.Mask->InnerEdit()->Text()), "(010)555-____");
  TestKey(VK_END);
  TestKey(VK_LEFT);
  TestKey(VK_LEFT);
  TestKey(VK_LEFT);
  TestKey(VK_LEFT);
  TestTypeText(u"1234");
  f.Focus(f.Other);
  EXPECT_EQ(Utf8(VarToStr(f.Mask->EditValue())), "0105551234");
  EXPECT_EQ(Utf8(f.Mask->InnerEdit()->Text()), "0105551234");
  MaskProperties(f.Mask)->SetAlwaysShowBlanksAndLiterals(true);
  f.Mask->SetEditValue(Variant(String(u"010")));
  EXPECT_EQ(Utf8(f.Mask->InnerEdit()->Text()), "(010)___-____");
}

// Entering the editor (the keyboard focus, not a click) selects the whole
// text with AutoSelect, else puts the caret at the start; the inner edit
// shows the same; what is typed next replaces or is put in front.
TEST(TextEditWindow, EnteringSelectsTheWholeTextOrPutsTheCaretAtTheStart) {
  const struct {
    bool AutoSelect;
    Integer SelStart, SelLength;
    const char* Typed;
  } cases[] = {{true, 0, 7, "x"}, {false, 0, 0, "xgranite"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.AutoSelect);
    TWindowFixture f;
    f.Text->Properties()->SetAutoSelect(c.AutoSelect);
    f.Text->SetEditValue(Variant(String(u"granite")));
    f.Text->SetSelection(3, 2);
    f.Focus(f.Other);
    f.Focus(f.Text);
    EXPECT_EQ(f.Text->Model()->SelStart(), c.SelStart);
    EXPECT_EQ(f.Text->Model()->SelLength(), c.SelLength);
    EXPECT_EQ(f.Text->InnerEdit()->SelStart(), c.SelStart);
    EXPECT_EQ(f.Text->InnerEdit()->SelLength(), c.SelLength);
    TestTypeText(u"x");
    Application->ProcessMessages();
    EXPECT_EQ(Utf8(f.Text->Text()), c.Typed);
  }
}

TEST(TextEditWindow, EscRevertsToTheValueAtFocusIn) {
  TWindowFixture f;
  f.Text->SetEditValue(Variant(String(u"start")));
  f.Focus(f.Text);
  TestKey(VK_END);
  TestTypeText(u"ed");
  EXPECT_EQ(Utf8(f.Text->InnerEdit()->Text()), "started");
  TestKey(VK_ESCAPE);
  EXPECT_EQ(Utf8(f.Text->InnerEdit()->Text()), "start");
  EXPECT_EQ(Utf8(VarToStr(f.Text->EditValue())), "start");
  EXPECT_FALSE(f.Text->IsModified());
}

TEST(TextEditWindow, ClipboardCutCopyAndPasteGoThroughTheMask) {
  TSeparatorsScope separators;
  TWindowFixture f;
  MaskProperties(f.Mask)->SetEditMask(u"00:00");
  f.Focus(f.Mask);
  TestKey(VK_HOME);
  Clipboard()->SetAsText(u"1x234");
  TestKey(u'V', u"", tkCtrl);
  EXPECT_EQ(Utf8(f.Mask->InnerEdit()->Text()), "12:34");  // the refused x is dropped
  f.Mask->SetSelection(0, 2);
  TestKey(u'C', u"", tkCtrl);
  EXPECT_EQ(Utf8(Clipboard()->AsText()), "12");
  f.Mask->SetSelection(3, 2);
  TestKey(u'X', u"", tkCtrl);
  EXPECT_EQ(Utf8(Clipboard()->AsText()), "34");
  EXPECT_EQ(Utf8(f.Mask->InnerEdit()->Text()), "12:__");
  TestKey(VK_HOME);
  TestKey(u'V', u"", tkCtrl);
  EXPECT_EQ(Utf8(f.Mask->InnerEdit()->Text()), "34:__");
  // Shift+Delete cuts through the mask too; Shift+Insert pastes back.
  f.Mask->SetSelection(0, 2);
  TestKey(VK_DELETE, u"", tkShift);
  EXPECT_EQ(Utf8(f.Mask->InnerEdit()->Text()), "__:__");
  TestKey(VK_INSERT, u"", tkShift);
  EXPECT_EQ(Utf8(f.Mask->InnerEdit()->Text()), "34:__");
  // An incomplete text is refused on Enter and stays for the user to finish.
  TestKey(VK_RETURN);
  Application->ProcessMessages();
  EXPECT_EQ(Utf8(f.Mask->InnerEdit()->Text()), "34:__");
  EXPECT_TRUE(VarIsNull(f.Mask->EditValue()));
  f.Mask->SetSelection(3, 1);
  TestTypeText(u"56");
  TestKey(VK_RETURN);
  EXPECT_EQ(Utf8(VarToStr(f.Mask->EditValue())), "34:56");
}

TEST(TextEditWindow, AReadOnlyEditorCopiesOnCutAndIgnoresPasteAndTyping) {
  TWindowFixture f;
  f.Text->SetEditValue(Variant(String(u"fixed")));
  f.Text->Properties()->SetReadOnly(true);
  f.Focus(f.Text);
  f.Text->SetSelection(0, 3);
  Clipboard()->SetAsText(u"other");
  TestKey(u'X', u"", tkCtrl);
  EXPECT_EQ(Utf8(Clipboard()->AsText()), "fix");
  TestKey(u'V', u"", tkCtrl);
  TestTypeText(u"abc");
  TestKey(VK_DELETE);
  EXPECT_EQ(Utf8(f.Text->InnerEdit()->Text()), "fixed");
  EXPECT_FALSE(f.Text->IsModified());
}

TEST(TextEditWindow, InputMethodCommitsChineseTextThroughTheEditor) {
  TSeparatorsScope separators;
  TWindowFixture f;
  f.Focus(f.Text);
  TestInputMethodPreedit(u"beijing");
  TestInputMethodCommit(u"北京");
  EXPECT_EQ(Utf8(f.Text->InnerEdit()->Text()), Utf8(u"北京"));
  TestInputMethodCommit(u"\U00020000");  // arrives as two halves, kept whole
  EXPECT_EQ(Utf8(f.Text->Text()), Utf8(u"北京\U00020000"));
  EXPECT_EQ(f.Text->SelStart(), 4);

  MaskProperties(f.Mask)->SetEditMask(u"LL-00");
  f.Mask->Properties()->SetBeepOnError(true);
  f.Focus(f.Mask);
  TestKey(VK_HOME);
  const Integer beeps = BeepCount();
  TestInputMethodCommit(u"上海x12");
  EXPECT_EQ(Utf8(f.Mask->InnerEdit()->Text()), Utf8(u"上海-12"));
  EXPECT_EQ(BeepCount(), beeps + 1);  // the refused x
}

TEST(TextEditWindow, MessagesToTheInnerEditKeepItAndTheEditorInStep) {
  TWindowFixture f;
  f.Text->SetEditValue(Variant(String(u"abcdef")));
  f.Focus(f.Text);
  f.Text->SetSelection(1, 2);
  const HWND inner = f.Text->InnerEdit()->Handle();
  SendMessage(inner, WM_CLEAR, 0, 0);
  EXPECT_EQ(Utf8(f.Text->Text()), "adef");
  EXPECT_EQ(Utf8(f.Text->InnerEdit()->Text()), "adef");
  SendMessage(inner, WM_UNDO, 0, 0);  // no history: nothing changes behind the editor's back
  EXPECT_EQ(Utf8(f.Text->InnerEdit()->Text()), "adef");
  const String text = u"新的";
  EXPECT_EQ(SendMessage(inner, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())), 1);
  EXPECT_EQ(Utf8(f.Text->Text()), Utf8(u"新的"));
  TestTypeText(u"!");
  EXPECT_EQ(Utf8(f.Text->InnerEdit()->Text()), Utf8(u"新的!"));
}

TEST(TextEditWindow, TextLengthAnswerIsTheCopiedLength) {
  TWindowFixture f;
  f.Text->SetEditValue(Variant(String(u"北京abc")));
  Char buffer[8] = {};
  LRESULT copied = SendMessage(f.Text->InnerEdit()->Handle(), WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buffer));
  EXPECT_EQ(copied, 3);  // three characters and the terminating zero fit
  EXPECT_EQ(Utf8(String(buffer)), Utf8(u"北京a"));
  EXPECT_EQ(SendMessage(f.Text->InnerEdit()->Handle(), WM_GETTEXTLENGTH, 0, 0), 5);
}

TEST(TextEditWindow, DemoFormPicture) {
  TSeparatorsScope separators;
  TTestForm window(300, 220);
  TForm* form = window.Form;
  struct TRow {
    const char16_t* Caption;
    TcxCustomTextEdit* Edit;
  };
  auto* numeric = new TNumericEdit(form);
  auto* telephone = new TcxMaskEdit(form);
  MaskProperties(telephone)->SetEditMask(u"(000)000-0000;1;_");
  auto* time = new TcxMaskEdit(form);
  MaskProperties(time)->SetEditMask(u"00:00");
  auto* date = new TcxMaskEdit(form);
  MaskProperties(date)->SetMaskKind(emkRegExprEx);
  MaskProperties(date)->SetEditMask(u"\\d\\d\\d\\d-\\d\\d-\\d\\d");
  auto* lookup = new TcxTextEdit(form);
  for (const char16_t* item : {u"Beijing", u"Shanghai", u"Shenzhen"})
    static_cast<TcxTextEditProperties*>(lookup->Properties())->LookupItems()->Add(item);
  auto* button = new TcxButtonEdit(form);
  const TRow rows[] = {{u"Numeric", numeric}, {u"Telephone", telephone}, {u"Time", time},
                       {u"Date", date},       {u"Lookup", lookup},       {u"Button", button}};
  Integer top = 8;
  for (const TRow& row : rows) {
    auto* label = new TLabel(form);
    label->SetCaption(row.Caption);
    label->SetBounds(8, top + 3, 80, 16);
    label->SetParent(form);
    row.Edit->SetBounds(96, top, 180, 24);
    row.Edit->SetParent(form);
    top += 32;
  }
  form->Show();
  Application->ProcessMessages();
  // Each editor is typed into and shows the text while focused.
  struct TTyping {
    TcxCustomTextEdit* Edit;
    const char16_t* Keys;
    const char* Shown;
  } typing[] = {{numeric, u"1234567", "1,234,567"},
                {telephone, u"0105551234", "(010)555-1234"},
                {time, u"0930", "09:30"},
                {date, u"20240315", "2024-03-15"},
                {lookup, u"sh", "Shanghai"}};
  for (const TTyping& t : typing) {
    t.Edit->SetFocus();
    Application->ProcessMessages();
    TestKey(VK_HOME);
    TestTypeText(t.Keys);
    Application->ProcessMessages();
    EXPECT_EQ(Utf8(t.Edit->InnerEdit()->Text()), t.Shown);
  }
  TBitmap picture(form->ClientWidth(), form->ClientHeight(), pf32bit);
  form->PaintTo(picture.Canvas()->Handle(), 0, 0);
  // The completed part of the lookup editor is shown selected.
  const TRect box = lookup->BoundsRect();
  Integer highlighted = 0;
  for (Integer y = box.Top; y < box.Bottom; ++y)
    for (Integer x = box.Left; x < box.Right; ++x)
      if (picture.PixelColor(x, y) == (ColorToRGB(clHighlight) & 0xFFFFFF)) ++highlighted;
  EXPECT_GT(highlighted, 50);
  // The inner edit leaves the button editor's ellipsis button free.
  EXPECT_LT(button->InnerEdit()->BoundsRect().Right, button->ClientWidth() - 10);
  EXPECT_LE(button->InnerEdit()->BoundsRect().Right, button->GetViewInfo()->Button(0)->VisibleBounds.Left);
  SavePicture(&picture, "cxTextEdit_demo.png", 1);
}

}  // namespace
