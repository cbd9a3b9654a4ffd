// The calculator editor: its settings, text <-> value, typing, and in a
// window the popup calculator writing the editor's text, an error that
// leaves the old value, the memory's lifetime and a picture of the popup.
#include <gtest/gtest.h>

#include <cmath>

#include "../platform/gui/guitestutil.h"
#include "editors/cxCalc.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "platform/rtl/encoding.h"

namespace {

std::string U8(const String& S) { return StringToUTF8(S); }

// Answers a fixed precision, as a bound numeric field would.
class TPrecisionProvider : public TcxCustomEditDefaultValuesProvider {
public:
  explicit TPrecisionProvider(Integer APrecision) : TcxCustomEditDefaultValuesProvider(nullptr), FPrecision(APrecision) {}
  Integer ProvidePrecision() override { return FPrecision; }

private:
  Integer FPrecision;
};

}  // namespace

TEST(cxCalcEdit, PropertiesDefaultsPrecisionAndCopy) {
  TcxCalcEditProperties p(nullptr);
  EXPECT_TRUE(p.BeepOnError());
  EXPECT_FALSE(p.PopupSizeable());
  EXPECT_FALSE(p.ImmediateDropDown());
  EXPECT_FALSE(p.QuickClose());
  EXPECT_EQ(p.Precision(), 15);
  EXPECT_FALSE(p.CalcAssignedValues()->Precision());

  // Assigned, else the provider's, else 15; 16 and more read as 15.
  struct TCase {
    Integer Assigned;  // -1: not assigned
    Integer Provided;  // -1: no provider
    Integer Reads;
  };
  const TCase cases[] = {{-1, -1, 15}, {-1, 6, 6}, {4, 6, 4}, {20, -1, 15}, {16, -1, 15}, {-1, 30, 15}, {1, -1, 1}};
  for (const TCase& c : cases) {
    TcxCalcEditProperties q(nullptr);
    std::unique_ptr<TPrecisionProvider> provider;
    if (c.Provided >= 0) {
      provider = std::make_unique<TPrecisionProvider>(c.Provided);
      q.SetDefaultValuesProvider(provider.get());
    }
    if (c.Assigned >= 0) q.SetPrecision(c.Assigned);
    EXPECT_EQ(q.Precision(), c.Reads) << c.Assigned << " / " << c.Provided;
    q.SetDefaultValuesProvider(nullptr);
  }

  // Precision is copied only when assigned in the source.
  TcxCalcEditProperties copy(nullptr);
  copy.SetPrecision(9);
  p.SetQuickClose(true);
  p.SetScientificFormat(true);
  p.SetUseThousandSeparator(true);
  p.SetBeepOnError(false);
  copy.Assign(&p);
  EXPECT_EQ(copy.Precision(), 9);
  EXPECT_TRUE(copy.QuickClose());
  EXPECT_TRUE(copy.ScientificFormat());
  EXPECT_TRUE(copy.UseThousandSeparator());
  EXPECT_FALSE(copy.BeepOnError());
  p.SetPrecision(5);
  copy.Assign(&p);
  EXPECT_EQ(copy.Precision(), 5);
  copy.AssignedValues()->RestoreDefaults();
  EXPECT_FALSE(copy.CalcAssignedValues()->Precision());
  EXPECT_EQ(copy.Precision(), 15);
}

TEST(cxCalcEdit, TextsAndValues) {
  TFormatSettings locale = FormatSettings();
  locale.DecimalSeparator = u'.';
  locale.ThousandSeparator = u',';
  struct TCase {
    double Value;
    bool Scientific, Thousands;
    Integer Precision;
    const char16_t* DisplayFormat;
    const char16_t* Text;
  };
  const TCase cases[] = {
      {1234567.5, false, false, 15, u"", u"1234567.5"},
      {1234567.5, false, true, 15, u"", u"1,234,567.5"},
      {2.0 / 3.0, false, false, 4, u"", u"0.6667"},
      {1500, true, false, 15, u"", u"1.5E+3"},
      {1500, true, true, 15, u"", u"1.5E+3"},  // no separators in scientific form
      {-0.00025, true, false, 15, u"", u"-2.5E-4"},
      {3, true, false, 15, u"", u"3E+0"},
      {0.5, false, false, 15, u"0.00", u"0.50"},
  };
  for (const TCase& c : cases) {
    TcxCalcEditProperties p(nullptr);
    p.SetLocale(&locale);
    p.SetScientificFormat(c.Scientific);
    p.SetUseThousandSeparator(c.Thousands);
    p.SetPrecision(c.Precision);
    p.SetDisplayFormat(c.DisplayFormat);
    const String text = p.EditValueToText(Variant(c.Value), false);
    EXPECT_EQ(text, c.Text) << c.Value << " gave " << U8(text);
    // Read back, the text gives the value (to the shown digits).
    EXPECT_NEAR(p.DisplayToEditValue(text).AsDouble(), c.Value, std::fabs(c.Value) * 1e-3) << U8(text);
  }
  TcxCalcEditProperties p(nullptr);
  p.SetLocale(&locale);
  EXPECT_EQ(p.EditValueToText(Null(), false), u"");
  EXPECT_TRUE(VarIsNull(p.DisplayToEditValue(u"  ")));
  EXPECT_TRUE(VarIsNull(p.DisplayToEditValue(u"abc")));
  EXPECT_TRUE(VarIsNull(p.DisplayToEditValue(u"Error")));
  EXPECT_TRUE(VarIsNull(p.DisplayToEditValue(u"1e999")));  // beyond the double range

  Variant v = Variant(String(u"12.5"));
  EXPECT_TRUE(p.AcceptsEditValue(v, false));
  v = Variant(String(u"twelve"));
  EXPECT_FALSE(p.AcceptsEditValue(v, false));
  v = Null();
  EXPECT_TRUE(p.AcceptsEditValue(v, false));

  // Validation refuses a text that is no number.
  Variant display = Variant(String(u"1..2"));
  TCaption error;
  bool failed = false;
  p.CheckDisplayValue(display, error, failed, nullptr);
  EXPECT_TRUE(failed);
  EXPECT_EQ(error, u"Could not convert to numeric value");
}

TEST(cxCalcEdit, TypedCharacters) {
  TFormatSettings locale = FormatSettings();
  locale.DecimalSeparator = u'.';
  TcxCalcEditProperties p(nullptr);
  p.SetLocale(&locale);
  struct TCase {
    const char16_t* Text;
    Integer SelStart, SelLength;
    Char Typed;
    bool Accepted;
  };
  const TCase cases[] = {
      {u"", 0, 0, u'-', true},      {u"12", 2, 0, u'3', true},  {u"12", 2, 0, u'.', true},
      {u"1.2", 3, 0, u'.', false},  {u"12", 2, 0, u'a', false}, {u"12", 2, 0, u'E', false},  // "12E" is no number yet
      {u"12E", 3, 0, u'5', true},   {u"12", 2, 0, u'x', false}, {u"12", 0, 2, u'7', true},
      {u"1e308", 1, 0, u'9', false},  // beyond the double range
  };
  for (const TCase& c : cases)
    EXPECT_EQ(p.IsCharAcceptable(c.Text, c.SelStart, c.SelLength, c.Typed), c.Accepted)
        << U8(c.Text) << " + " << char(c.Typed);
}

// ---------------------------------------------------------------------------
// In a window

namespace {

struct TCalcEditFixture : TTestForm {
  TCalcEditFixture() : TTestForm(420, 320) {
    Edit = Place<TcxCalcEdit>(20, 20, 160, 24);
    Props()->SetBeepOnError(false);
    ShowForm(Edit);
  }
  TcxCalcEditProperties* Props() { return static_cast<TcxCalcEditProperties*>(Edit->Properties()); }
  void Open() {
    Key(VK_F4);
    ASSERT_TRUE(Edit->HasOpenPopup());
  }
  String Value() { return VarToStr(Edit->EditValue()); }
  TcxCalcEdit* Edit;

};

}  // namespace

TEST(cxCalcEdit, ThePopupCalculatorWritesTheEditorsText) {
  TCalcEditFixture f;
  EXPECT_EQ(f.Value(), u"0");
  f.Props()->SetImmediatePost(true);
  f.Open();
  f.Type(u"2+3=");
  EXPECT_EQ(f.Edit->Text(), u"5");
  EXPECT_TRUE(f.Edit->HasOpenPopup());
  f.Key(VK_RETURN);
  EXPECT_FALSE(f.Edit->HasOpenPopup());
  EXPECT_EQ(f.Value(), u"5");

  // "=" closes at once with QuickClose; the calculator starts from the
  // editor's text.
  f.Props()->SetQuickClose(true);
  f.Open();
  f.Type(u"*4=");
  EXPECT_FALSE(f.Edit->HasOpenPopup());
  EXPECT_EQ(f.Value(), u"20");

  // A read-only editor does not drop down.
  f.Props()->SetReadOnly(true);
  f.Key(VK_F4);
  EXPECT_FALSE(f.Edit->HasOpenPopup());
}

TEST(cxCalcEdit, AnErrorLeavesTheValueItHadBeforeThePopup) {
  struct TCase {
    const char16_t* Keys;
    bool ImmediatePost;
    Word CloseKey;
    bool Error;
  };
  const TCase cases[] = {
      {u"1/0=", false, VK_ESCAPE, true},
      {u"1/0=", true, VK_ESCAPE, true},
      {u"0@", true, VK_F4, false},  // the square root of 0
      {u"9-10=@", true, VK_RETURN, true},  // the square root of -1
      {u"0R", false, VK_F4, true},         // the reciprocal of 0
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(U8(c.Keys));
    TCalcEditFixture f;
    f.Props()->SetImmediatePost(c.ImmediatePost);
    f.Edit->SetEditValue(Variant(7.0));
    f.Open();
    for (Char ch : String(c.Keys)) {
      if (ch == u'R') f.Key('R');
      else f.Type(String(1, ch));
    }
    const bool error = c.Error;
    EXPECT_EQ(f.Edit->Calculator()->Status() == csError, error);
    if (error) {
      EXPECT_EQ(f.Edit->Text(), u"Error");
    }
    f.Key(c.CloseKey);
    EXPECT_FALSE(f.Edit->HasOpenPopup());
    if (error) {
      EXPECT_EQ(f.Edit->Text(), u"7");
      EXPECT_EQ(f.Value(), u"7");
      EXPECT_FALSE(f.Edit->IsModified());
    } else {
      EXPECT_EQ(f.Edit->Text(), u"0");
    }
    f.Edit->PostEditValue();
    EXPECT_EQ(f.Value(), error ? u"7" : u"0");
  }
}

TEST(cxCalcEdit, TheMemoryLastsWhileThePopupIsOpen) {
  TCalcEditFixture f;
  f.Open();
  TcxPopupCalculator* calc = f.Edit->Calculator();
  f.Type(u"5");
  f.Key('M', tkCtrl);  // MS
  EXPECT_EQ(calc->Memory(), 5);
  EXPECT_FALSE(calc->Button(cbMR).Grayed);
  // A new size lays the buttons out again and keeps the memory.
  const Integer height = calc->ButtonHeight();
  f.Props()->SetPrecision(8);  // the popup is laid out again
  TFont big;
  big.Assign(calc->Font());
  big.SetSize(big.Size() * 2);
  calc->SetFont(&big);
  calc->CalcSize();
  EXPECT_NE(calc->ButtonHeight(), height);
  EXPECT_EQ(calc->Memory(), 5);
  EXPECT_EQ(calc->Precision(), 8);
  f.Type(u"+");
  f.Key('R', tkCtrl);  // MR
  f.Type(u"=");
  EXPECT_EQ(f.Edit->Text(), u"10");
  f.Key(VK_ESCAPE);
  // The next popup starts afresh.
  f.Open();
  EXPECT_EQ(calc->Memory(), 0);
  EXPECT_TRUE(calc->Button(cbMR).Grayed);
  EXPECT_EQ(calc->Status(), csNewNumber);
  f.Key(VK_ESCAPE);
}

TEST(cxCalcEdit, TypingIntoTheEditor) {
  TCalcEditFixture f;
  f.Edit->SelectWholeText();
  f.Type(u"12a,5");  // the letter is dropped, the comma is the separator
  const Char separator = f.Props()->Locale().DecimalSeparator;
  EXPECT_EQ(f.Edit->Text(), String(u"12") + separator + u"5");
  EXPECT_TRUE(f.Edit->PostEditValue());
  EXPECT_DOUBLE_EQ(f.Edit->EditValue().AsDouble(), 12.5);
  f.Edit->SelectWholeText();
  f.Key(VK_DELETE);
  EXPECT_TRUE(f.Edit->PostEditValue());
  EXPECT_TRUE(VarIsNull(f.Edit->EditValue()));
}

TEST(cxCalcEdit, PictureOfTheCalculatorPopup) {
  TCalcEditFixture f;
  f.Edit->SetEditValue(Variant(12.5));
  f.Open();
  f.Type(u"3");
  f.Key('M', tkCtrl);
  Application->ProcessMessages();
  TcxCustomEditPopupWindow* popup = f.Edit->PopupWindow();
  TcxPopupCalculator* calc = f.Edit->Calculator();
  const TPoint formOrigin = f.Form->ClientToScreen(TPoint{0, 0});
  const TRect pr = popup->BoundsRect();
  const Integer w = f.Form->ClientWidth(), h = f.Form->ClientHeight();
  TBitmap picture(w, h, pf24bit);
  f.Form->PaintTo(picture.Canvas()->Handle(), 0, 0);
  const TPoint at{pr.Left - formOrigin.X, pr.Top - formOrigin.Y};
  popup->PaintTo(picture.Canvas()->Handle(), at.X, at.Y);
  SavePicture(&picture, "calcedit_popup.png", 3);

  // The popup lies below the editor and holds the whole calculator.
  EXPECT_GE(pr.Top, f.Edit->ClientToScreen(TPoint{0, f.Edit->Height()}).Y - 1);
  EXPECT_GE(popup->ClientWidth(), calc->Width());
  // Each button is drawn: its caption's colour shows inside it; MR (memory
  // set) in red, the digit 7 in blue.
  auto hasInk = [&](TcxCalcButtonKind AKind, TColor AColor) {
    TRect r = calc->Button(AKind).BtnRect;
    const TPoint origin{at.X + calc->Left() + popup->ClientOrigin().X - pr.Left,
                        at.Y + calc->Top() + popup->ClientOrigin().Y - pr.Top};
    for (Integer y = r.Top; y < r.Bottom; ++y)
      for (Integer x = r.Left; x < r.Right; ++x)
        if (picture.PixelColor(origin.X + x, origin.Y + y) == (ColorToRGB(AColor) & 0xFFFFFF)) return true;
    return false;
  };
  EXPECT_TRUE(hasInk(cbNum7, clBlue));
  EXPECT_TRUE(hasInk(cbMR, clRed));
  EXPECT_TRUE(hasInk(cbBack, clMaroon));
  EXPECT_EQ(f.Edit->Text(), u"3");
  f.Key(VK_ESCAPE);
}

TEST(cxCalcEdit, TheKindRegisters) {
  cxCalcEditInitialize();
  cxCalcEditInitialize();
  TcxRegisteredClasses* registry = GetEditPropertiesRegistry();
  auto cls = static_cast<TcxCustomEditPropertiesClass>(registry->FindByClassName(u"TcxCalcEditProperties"));
  ASSERT_NE(cls, nullptr);
  EXPECT_EQ(registry->Descriptions(registry->IndexOfClass(cls)),
            u"CalcEdit|Represents an edit control with a dropdown calculator window");
  EXPECT_EQ(cls->GetEditorClass(), TcxCalcEdit::StaticClass());
  cxCalcEditFinalize();
  EXPECT_EQ(registry->FindByClassName(u"TcxCalcEditProperties"), nullptr);
}
