// The blob editor: its settings, the text and icon it shows for each kind,
// paint style and value, the kind resolved from the data, the comparison of
// values, and the closed editor's layout and painting.
#include "editors/cxBlobEdit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "foundation/cxGraphics.h"
#include "../platform/gui/guitestutil.h"
#include "platform/gui/application.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/encoding.h"

namespace {

std::string Utf8(const String& s) { return StringToUTF8(s); }

// A data binding's answers about the blob it holds.
class TBlobDataProvider : public TcxCustomEditDefaultValuesProvider {
  KORVANE_CLASS(TBlobDataProvider, TcxCustomEditDefaultValuesProvider)
  TBlobDataProvider() : TcxCustomEditDefaultValuesProvider(nullptr) {}
  Integer ProvideBlobKind() override { return Kind; }
  bool ProvideIsBlob() override { return IsBlob; }
  Integer Kind = cxBlobKindNone;
  bool IsBlob = true;
};

TEST(cxBlobEditProperties, DefaultsAssignAndTheKindsButton) {
  TcxBlobEditProperties properties(nullptr);
  EXPECT_TRUE(properties.AlwaysSaveData());
  EXPECT_EQ(properties.StoredBlobEditKind(), bekAuto);
  EXPECT_EQ(properties.BlobPaintStyle(), bpsIcon);
  EXPECT_TRUE(properties.MemoWantReturns());
  EXPECT_TRUE(properties.MemoWantTabs());
  EXPECT_TRUE(properties.MemoWordWrap());
  EXPECT_TRUE(properties.PictureAutoSize());
  EXPECT_EQ(properties.PictureGraphicClass(), TBitmap::StaticClass());
  EXPECT_FALSE(properties.IsPictureGraphicClassNameStored());
  EXPECT_TRUE(properties.ImmediatePopup());
  EXPECT_EQ(properties.PopupMinWidth(), 160);
  EXPECT_EQ(properties.PopupMinHeight(), 140);
  EXPECT_EQ(properties.PopupWidth(), 250);
  EXPECT_EQ(properties.PopupHeight(), 200);
  EXPECT_TRUE(properties.PopupWindowCapturesFocus());

  // The first button: an arrow for the kinds with a popup, else an ellipsis.
  const struct {
    TcxBlobEditKind Kind;
    TcxEditButtonKind Button;
  } kinds[] = {{bekMemo, bkDown}, {bekOle, bkEllipsis}, {bekPict, bkDown}, {bekBlob, bkEllipsis}};
  for (const auto& k : kinds) {
    properties.SetBlobEditKind(k.Kind);
    EXPECT_EQ(properties.Buttons()->GetButton(0)->Kind(), k.Button) << k.Kind;
  }

  properties.SetIsPictureGraphicClassNameEmpty(true);
  EXPECT_EQ(properties.PictureGraphicClassName(), u"");
  properties.SetPictureGraphicClassName(u"TNothingLikeThis");  // unknown: no change
  EXPECT_EQ(properties.PictureGraphicClass(), nullptr);

  TcxBlobEditProperties source(nullptr);
  source.SetAlwaysSaveData(false);
  source.SetBlobEditKind(bekMemo);
  source.SetBlobPaintStyle(bpsText);
  source.SetMemoMaxLength(40);
  source.SetMemoScrollBars(ssVertical);
  source.SetMemoAutoReplace(true);
  source.SetPictureFilter(u"Pictures|*.png");
  source.SetPictureTransparency(gtOpaque);
  source.SetShowExPopupItems(false);
  source.SetPopupWidth(300);
  properties.Assign(&source);
  EXPECT_FALSE(properties.AlwaysSaveData());
  EXPECT_EQ(properties.BlobEditKind(), bekMemo);
  EXPECT_EQ(properties.Buttons()->GetButton(0)->Kind(), bkDown);
  EXPECT_EQ(properties.BlobPaintStyle(), bpsText);
  EXPECT_EQ(properties.MemoMaxLength(), 40);
  EXPECT_EQ(properties.MemoScrollBars(), ssVertical);
  EXPECT_TRUE(properties.MemoAutoReplace());
  EXPECT_EQ(properties.PictureFilter(), u"Pictures|*.png");
  EXPECT_EQ(properties.PictureGraphicClass(), TBitmap::StaticClass());
  EXPECT_EQ(properties.PictureTransparency(), gtOpaque);
  EXPECT_FALSE(properties.ShowExPopupItems());
  EXPECT_EQ(properties.PopupWidth(), 300);
}

TEST(cxBlobEditProperties, TextAndIconPerKindStyleAndValue) {
  const Variant null = Null();
  const Variant empty = Variant(String());
  const Variant text = Variant(String(u"  \r\nfirst line\r\nsecond"));
  const Variant bytes = VarFromRawByteString(RawByteString("BM\x01\x02", 4));
  struct TCase {
    TcxBlobEditKind Kind;
    TcxBlobPaintStyle Style;
    Variant Value;
    const char* Shown;    // the closed editor's text
    Integer Icon;         // the glyph (-1: none)
    const char* Display;  // the properties' display text
  } const cases[] = {
      {bekMemo, bpsIcon, null, "", cxBlobGlyphMemo, ""},
      {bekMemo, bpsIcon, empty, "", cxBlobGlyphMemo, ""},
      {bekMemo, bpsIcon, text, "", cxBlobGlyphMemo + 1, ""},
      {bekMemo, bpsDefault, null, "(memo)", -1, ""},
      {bekMemo, bpsDefault, text, "(MEMO)", -1, "(MEMO)"},
      {bekMemo, bpsText, text, "first line  second", -1, "first line  second"},
      {bekMemo, bpsText, null, "", -1, ""},
      {bekPict, bpsIcon, null, "", cxBlobGlyphPict, ""},
      {bekPict, bpsIcon, bytes, "", cxBlobGlyphPict + 1, "(PICTURE)"},
      {bekPict, bpsDefault, null, "(picture)", -1, ""},
      {bekPict, bpsDefault, bytes, "(PICTURE)", -1, "(PICTURE)"},
      {bekOle, bpsIcon, null, "", cxBlobGlyphOle, ""},
      {bekOle, bpsIcon, bytes, "", cxBlobGlyphOle + 1, "OLE"},
      {bekOle, bpsDefault, bytes, "OLE", -1, "OLE"},
      {bekBlob, bpsIcon, bytes, "", cxBlobGlyphBlob + 1, "BLOB"},
      {bekBlob, bpsText, bytes, "BLOB", -1, "BLOB"},
  };
  TcxBlobEditProperties properties(nullptr);
  TcxEditStyle style(nullptr, false);
  TcxScreenCanvas canvas;
  for (const TCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << "kind " << c.Kind << " style " << c.Style << " value "
                                      << Utf8(VarToStr(c.Value)));
    properties.SetBlobEditKind(c.Kind);
    properties.SetBlobPaintStyle(c.Style);
    EXPECT_EQ(Utf8(properties.GetDisplayTextOfValue(c.Value)), c.Display);
    TcxBlobEditViewData data(&properties, &style, true);
    data.Value = c.Value;
    TcxBlobEditViewInfo info;
    data.ComputeViewInfo(&canvas, TRect{0, 0, 60, 21}, TPoint{-1, -1}, cxmbNone, 0, &info, false);
    EXPECT_EQ(Utf8(info.Text), c.Shown);
    EXPECT_EQ(info.IconIndex, c.Icon);
  }
  // The full text of a memo is the string itself.
  properties.SetBlobEditKind(bekMemo);
  EXPECT_EQ(properties.GetBlobText(text, true), VarToStr(text));
}

TEST(cxBlobEditProperties, ShortTextOfAMemo) {
  const String longLine(100, u'x');
  const String pair = u"\U00020000";  // a character outside the basic plane
  struct TCase {
    const char* Name;
    String Value;
    String Expected;
  } const cases[] = {
      {"leading blanks and breaks go", u" \t\r\n  abc", u"abc"},
      {"inner breaks and tabs become blanks", u"a\r\nb\tc", u"a  b c"},
      {"cut to 80 characters", longLine, String(80, u'x')},
      {"a pair at the cut is not split", String(79, u'y') + pair + u"z", String(79, u'y')},
      {"Chinese text", u"地理 元数据", u"地理 元数据"},
      {"blanks only", u"   ", u""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(BlobMemoShortText(c.Value), c.Expected);
  }
}

TEST(cxBlobEditProperties, AutoKindFollowsTheData) {
  struct TCase {
    bool WithProvider;
    Integer DataKind;
    TcxBlobEditKind Expected;
  } const cases[] = {
      {false, 0, bekBlob},
      {true, cxBlobKindNone, bekBlob},
      {true, cxBlobKindBinary, bekBlob},
      {true, cxBlobKindGraphic, bekPict},
      {true, cxBlobKindMemo, bekMemo},
      {true, cxBlobKindOle, bekOle},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.DataKind);
    TBlobDataProvider provider;
    provider.Kind = c.DataKind;
    TcxBlobEditProperties properties(nullptr);
    Integer notices = 0;
    struct TCounter {
      Integer* Count;
      void Changed(TObject*) { ++*Count; }
    } counter{&notices};
    properties.OnPropertiesChanged = TNotifyEvent(&counter, &TCounter::Changed);
    if (c.WithProvider) properties.SetDefaultValuesProvider(&provider);
    notices = 0;
    // The view resolves the kind before it lays out the kind's button.
    TcxEditStyle style(nullptr, false);
    TcxScreenCanvas canvas;
    TcxBlobEditViewData data(&properties, &style, false);
    TcxBlobEditViewInfo info;
    data.ComputeViewInfo(&canvas, TRect{0, 0, 80, 21}, TPoint{-1, -1}, cxmbNone, 0, &info, false);
    ASSERT_EQ(info.ButtonCount(), 1);
    const bool dropsDown = c.Expected == bekMemo || c.Expected == bekPict;
    EXPECT_EQ(info.Button(0)->Data.Kind, dropsDown ? bkDown : bkEllipsis);
    EXPECT_EQ(properties.BlobEditKind(), c.Expected);
    EXPECT_EQ(properties.StoredBlobEditKind(), c.Expected) << "resolved once and kept";
    EXPECT_EQ(notices, 0) << "resolving is no change of the settings";
    provider.Kind = cxBlobKindOle;
    EXPECT_EQ(properties.BlobEditKind(), c.Expected);
    properties.SetDefaultValuesProvider(nullptr);
  }
  // Without data an automatic editor shows the binary kind.
  TcxBlobEditProperties properties(nullptr);
  EXPECT_EQ(Utf8(properties.GetDisplayTextOfValue(Variant(String(u"x")))), "BLOB");
  EXPECT_EQ(properties.GetIconIndex(Null()), cxBlobGlyphBlob);
}

TEST(cxBlobEditProperties, ValuesCompareEqualOnlyAsTextMemos) {
  const Variant a = Variant(String(u"abc"));
  const Variant upper = Variant(String(u"ABC"));
  struct TCase {
    TcxBlobEditKind Kind;
    TcxBlobPaintStyle Style;
    Variant A, B;
    bool Equal;
  } const cases[] = {
      {bekMemo, bpsText, a, a, true},      {bekMemo, bpsText, a, upper, false},
      {bekMemo, bpsText, Null(), Null(), false}, {bekMemo, bpsIcon, a, a, false},
      {bekMemo, bpsDefault, a, a, false},  {bekPict, bpsText, a, a, false},
      {bekBlob, bpsText, a, a, false},
  };
  TcxBlobEditProperties properties(nullptr);
  for (const TCase& c : cases) {
    properties.SetBlobEditKind(c.Kind);
    properties.SetBlobPaintStyle(c.Style);
    EXPECT_EQ(properties.AreEditValuesEqual(c.A, c.B), c.Equal) << c.Kind << " " << c.Style;
  }
  // Plain text: a memo over no data or over data that is no blob.
  TBlobDataProvider provider;
  properties.SetBlobEditKind(bekMemo);
  EXPECT_TRUE(properties.IsEditValueText());
  properties.SetDefaultValuesProvider(&provider);
  EXPECT_FALSE(properties.IsEditValueText());
  provider.IsBlob = false;
  EXPECT_TRUE(properties.IsEditValueText());
  properties.SetBlobEditKind(bekPict);
  EXPECT_FALSE(properties.IsEditValueText());
  properties.SetDefaultValuesProvider(nullptr);
}

TEST(cxBlobEditViewInfo, IconCentredAndPainted) {
  TcxBlobEditProperties properties(nullptr);
  properties.SetBlobEditKind(bekMemo);
  properties.Buttons()->GetButton(0)->SetVisible(false);
  TcxEditStyle style(nullptr, false);
  style.SetBorderStyle(ebsNone);
  TcxBlobEditViewData data(&properties, &style, true);
  data.Value = Variant(String(u"内容"));
  TBitmap target(61, 21, pf32bit);
  TcxCanvas canvas(target.Canvas());
  TcxBlobEditViewInfo info;
  data.ComputeViewInfo(&canvas, TRect{0, 0, 61, 21}, TPoint{-1, -1}, cxmbNone, 0, &info, false);
  ASSERT_EQ(info.IconIndex, cxBlobGlyphMemo + 1);
  const TRect client = info.ClientRect;
  EXPECT_EQ(info.IconRect.Right - info.IconRect.Left, cxBlobGlyphSize);
  EXPECT_EQ(info.IconRect.Left - client.Left, (client.Right - client.Left - cxBlobGlyphSize) / 2);
  EXPECT_EQ(info.IconRect.Top - client.Top, (client.Bottom - client.Top - cxBlobGlyphSize) / 2);
  EXPECT_EQ(info.TextFlags, cxBlobInplaceTextFlags);

  info.BackgroundColor = clWhite;
  info.Render(&canvas);
  // The page's frame is drawn in the glyph's middle; the corners outside the
  // icon keep the background.
  Integer inked = 0;
  for (Integer y = info.IconRect.Top; y < info.IconRect.Bottom; ++y)
    for (Integer x = info.IconRect.Left; x < info.IconRect.Right; ++x)
      if (target.Canvas()->Pixels(x, y) == TColor(0)) ++inked;
  EXPECT_GT(inked, 20);
  EXPECT_EQ(target.Canvas()->Pixels(1, 1), clWhite);
  EXPECT_EQ(target.Canvas()->Pixels(client.Right - 2, client.Bottom - 2), clWhite);
  String hint;
  TRect hintRect;
  EXPECT_FALSE(info.QueryHintWithRect(TPoint{30, 10}, hint, hintRect));

  // A stand-alone editor with a border ends its text in an ellipsis.
  TcxBlobEditViewData standAlone(&properties, &style, false);
  standAlone.ComputeViewInfo(&canvas, TRect{0, 0, 61, 21}, TPoint{-1, -1}, cxmbNone, 0, &info, false);
  EXPECT_EQ(info.TextFlags, cxBlobTextFlags);
}

}  // namespace

// ---- The editor and its popup ----------------------------------------------------------------

namespace {

class TStoringBinding : public TcxEditDataBinding {
  KORVANE_CLASS(TStoringBinding, TcxEditDataBinding)
  using TcxEditDataBinding::TcxEditDataBinding;
  void StoreValue() override { ++Stores; }
  Integer Stores = 0;
};

class TTestBlobEdit : public TcxBlobEdit {
  KORVANE_CLASS(TTestBlobEdit, TcxBlobEdit)
  using TcxBlobEdit::TcxBlobEdit;
  TcxEditDataBindingClass GetDataBindingClass() const override { return TStoringBinding::StaticClass(); }
  TStoringBinding* Binding() { return static_cast<TStoringBinding*>(DataBinding()); }
};

const String kText = u"地质调查元数据\r\n数据集名称：区域重力";

// A shown form with a memo blob editor, focused, holding kText, and a
// second control to leave it for.
struct TBlobFixture : TTestForm {
  explicit TBlobFixture(TcxBlobEditKind AKind = bekMemo) : TTestForm(420, 320) {
    Edit = Place<TTestBlobEdit>(20, 20, 160, 24);
    Properties()->SetBlobEditKind(AKind);
    Other = Place<TTestBlobEdit>(220, 20, 100, 24);
    ShowForm();
    Edit->SetEditValue(Variant(kText));
    Focus(Edit);
  }
  TcxCustomBlobEditProperties* Properties() { return static_cast<TcxCustomBlobEditProperties*>(Edit->Properties()); }
  void Open() {
    Key(VK_F4);
    ASSERT_TRUE(Edit->HasOpenPopup());
  }
  void Leave() { Focus(Other); }

  void Click(TControl* AControl) {
    auto* control = static_cast<TWinControl*>(AControl);
    TestClick(control->Handle(), TPoint{control->Width() / 2, control->Height() / 2});
    Application->ProcessMessages();
  }
  TTestBlobEdit* Edit;
  TTestBlobEdit* Other;
};

TEST(cxBlobEditPopupMemo, OKWritesCancelDoesNotEscIsCancel) {
  enum TClose { ByOK, ByCancel, ByEsc, ByF4, ByAltUp, ByCtrlEnter, ByClickOutside };
  struct TCase {
    const char* Name;
    TClose Close;
    bool AlwaysSaveData;
    bool Written;
  } const cases[] = {
      {"OK", ByOK, true, true},
      {"Cancel", ByCancel, true, false},
      {"Esc", ByEsc, true, false},
      {"F4 keeps with AlwaysSaveData", ByF4, true, true},
      {"F4 drops without it", ByF4, false, false},
      {"Alt+Up as F4", ByAltUp, true, true},
      {"Ctrl+Enter", ByCtrlEnter, false, true},
      {"a click outside keeps with AlwaysSaveData", ByClickOutside, true, true},
      {"a click outside drops without it", ByClickOutside, false, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TBlobFixture f;
    f.Properties()->SetAlwaysSaveData(c.AlwaysSaveData);
    f.Open();
    TcxPopupMemo* memo = f.Edit->PopupMemo();
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->Text(), kText);
    ASSERT_NE(f.Edit->OKButton(), nullptr);
    EXPECT_FALSE(f.Edit->OKButton()->Enabled()) << "nothing changed yet";
    f.Key(VK_END, tkCtrl);
    f.Commit(u"甲");
    EXPECT_TRUE(f.Edit->OKButton()->Enabled());
    f.Key(VK_RETURN);  // a line break in the memo, the popup stays
    ASSERT_TRUE(f.Edit->HasOpenPopup());
    f.Commit(u"乙");
    const String typed = kText + u"甲\r\n乙";
    EXPECT_EQ(memo->Text(), typed);
    switch (c.Close) {
      case ByOK: f.Click(f.Edit->OKButton()); break;
      case ByCancel: f.Click(f.Edit->CloseButton()); break;
      case ByEsc: f.Key(VK_ESCAPE); break;
      case ByF4: f.Key(VK_F4); break;
      case ByAltUp: f.Key(VK_UP, tkAlt); break;
      case ByCtrlEnter: f.Key(VK_RETURN, tkCtrl); break;
      case ByClickOutside:
        TestClick(f.Form->Handle(), TPoint{300, 250});
        Application->ProcessMessages();
        break;
    }
    EXPECT_FALSE(f.Edit->HasOpenPopup());
    EXPECT_EQ(VarToStr(f.Edit->EditValue()), c.Written ? typed : kText);
    EXPECT_EQ(f.Edit->IsModified(), c.Written);
    EXPECT_EQ(Utf8(f.Edit->BlobText()), Utf8(c.Written ? typed : kText));
  }
}

TEST(cxBlobEditPopupMemo, PostsOnLeavingOnlyWhenTheUserChangedTheValue) {
  // Opening and closing unchanged, even with OK-like keys, is no change.
  TBlobFixture f;
  f.Open();
  f.Key(VK_F4);
  f.Open();
  f.Key(VK_RETURN, tkCtrl);
  EXPECT_FALSE(f.Edit->IsModified());
  f.Leave();
  EXPECT_EQ(f.Edit->Binding()->Stores, 0);

  // A change accepted through the popup is posted once.
  f.Edit->SetFocus();
  Application->ProcessMessages();
  f.Open();
  f.Commit(u"丙");
  f.Click(f.Edit->OKButton());
  f.Leave();
  EXPECT_EQ(f.Edit->Binding()->Stores, 1);
  f.Edit->SetFocus();
  Application->ProcessMessages();
  f.Leave();
  EXPECT_EQ(f.Edit->Binding()->Stores, 1) << "a second visit without a change posts nothing";
}

TEST(cxBlobEditPopupMemo, InPlaceEditorIsModifiedOnlyByAnAcceptedChange) {
  EnsureGuiRuntime();
  TForm form(nullptr);
  form.SetBounds(100, 100, 400, 300);
  auto* edit = new TcxBlobEdit(&form, true);
  edit->SetBounds(10, 10, 150, 20);
  edit->SetParent(&form);
  static_cast<TcxCustomBlobEditProperties*>(edit->Properties())->SetBlobEditKind(bekMemo);
  form.Show();
  Application->ProcessMessages();
  edit->SetEditValue(Variant(kText));  // the container loads the cell's value
  edit->SetFocus();
  Application->ProcessMessages();
  EXPECT_FALSE(edit->ModifiedAfterEnter());
  edit->DropDown();
  Application->ProcessMessages();
  ASSERT_TRUE(edit->HasOpenPopup());
  edit->ClosePopup(true);
  EXPECT_FALSE(edit->ModifiedAfterEnter()) << "an unchanged value is never posted";
  edit->DropDown();
  Application->ProcessMessages();
  TestInputMethodCommit(u"丁");
  Application->ProcessMessages();
  edit->ClosePopup(true);
  EXPECT_TRUE(edit->ModifiedAfterEnter());
  EXPECT_EQ(VarToStr(edit->EditValue()), kText + u"丁");
}

TEST(cxBlobEditPopupMemo, ReadOnlyEditorHasOnlyAClose) {
  TBlobFixture f;
  f.Properties()->SetReadOnly(true);
  f.Open();
  EXPECT_EQ(f.Edit->OKButton(), nullptr);
  ASSERT_NE(f.Edit->CloseButton(), nullptr);
  EXPECT_EQ(f.Edit->CloseButton()->Caption(), u"&Close");
  f.Type(u"x");
  EXPECT_EQ(f.Edit->PopupMemo()->Text(), kText) << "nothing can be typed";
  f.Key(VK_F4);
  EXPECT_EQ(VarToStr(f.Edit->EditValue()), kText);
}

TEST(cxBlobEditPopupMemo, SettingsReachTheMemoAndButtonsSitInThePanel) {
  TBlobFixture f;
  f.Properties()->SetMemoMaxLength(5);
  f.Properties()->SetMemoWantReturns(false);
  f.Properties()->SetMemoCharCase(ecUpperCase);
  f.Edit->SetEditValue(Variant(String(u"ab")));
  f.Open();
  TcxPopupMemo* memo = f.Edit->PopupMemo();
  auto* mp = static_cast<TcxCustomMemoProperties*>(memo->Properties());
  EXPECT_EQ(mp->MaxLength(), 5);
  EXPECT_FALSE(mp->WantReturns());
  EXPECT_EQ(mp->CharCase(), ecUpperCase);

  // Cancel at the right, OK a third of the button height left of it, both
  // inside the panel below the memo and clear of the grip.
  const TcxCustomEditPopupWindowViewInfo* vi = f.Edit->PopupWindow()->GetViewInfo();
  const TRect ok = f.Edit->OKButton()->BoundsRect(), cancel = f.Edit->CloseButton()->BoundsRect();
  const Integer h = cancel.Bottom - cancel.Top;
  EXPECT_EQ(cancel.Left - ok.Right, h / 3);
  EXPECT_EQ(ok.Top, cancel.Top);
  EXPECT_EQ(ok.Right - ok.Left, cancel.Right - cancel.Left);
  EXPECT_TRUE(cancel.Top >= vi->SysPanelRect.Top && cancel.Bottom <= vi->SysPanelRect.Bottom);
  EXPECT_LE(cancel.Right, vi->SizeGripRect.Left);
  EXPECT_LE(memo->BoundsRect().Bottom, vi->SysPanelRect.Top);
  EXPECT_GE(f.Edit->PopupWindow()->Width(), f.Properties()->PopupMinWidth());

  // The editor's font and colour follow into the open memo and the buttons.
  TFont big;
  big.Assign(f.Edit->Style()->GetVisibleFont());
  big.SetSize(big.Size() + 6);
  f.Edit->Style()->SetFont(&big);
  f.Edit->Style()->SetColor(clInfoBk);
  EXPECT_EQ(memo->Style()->GetVisibleFont()->Size(), big.Size());
  EXPECT_EQ(memo->Style()->Color(), clInfoBk);
  EXPECT_EQ(f.Edit->CloseButton()->Font()->Size(), big.Size());

  // Without wanting returns Enter is OK.
  f.Key(VK_END, tkCtrl);
  f.Type(u"cdefgh");
  f.Key(VK_RETURN);
  EXPECT_FALSE(f.Edit->HasOpenPopup());
  EXPECT_EQ(VarToStr(f.Edit->EditValue()), u"abCDE");
}

TEST(cxBlobEditPopupMemo, EveryLineThatFitsShowsFromTheFirstWhenTheMemoOpens) {
  // More lines than the memo holds before the popup gives it its size, and
  // fewer than it holds after: the popup must not keep a scroll made for the
  // small memo (the first lines hidden above an empty band).
  TBlobFixture f;
  String text;
  for (Integer i = 1; i <= 8; ++i) text += (i > 1 ? u"\r\n第" : u"第") + IntToStr(i) + u"行";
  f.Edit->SetEditValue(Variant(text));
  for (const char* opening : {"first", "after the caret was left at the end"}) {
    SCOPED_TRACE(opening);
    f.Open();
    TcxCustomInnerMemo* inner = f.Edit->PopupMemo()->InnerMemo();
    ASSERT_LE(inner->LineCount(), inner->VisibleLineCount()) << "the popup's memo holds every line";
    EXPECT_EQ(inner->TopLine(), 0);
    f.Key(VK_END, tkCtrl);
    EXPECT_EQ(inner->TopLine(), 0) << "the last line is in view already";
    f.Key(VK_ESCAPE);
    ASSERT_FALSE(f.Edit->HasOpenPopup());
  }
}

TEST(cxBlobEditPopupMemo, AutoReplaceTakesTheTypedCharacterAsTheText) {
  TBlobFixture f;
  f.Properties()->SetMemoAutoReplace(true);
  f.Type(u"n");
  ASSERT_TRUE(f.Edit->HasOpenPopup());
  EXPECT_EQ(f.Edit->PopupMemo()->Text(), u"n");
  EXPECT_TRUE(f.Edit->OKButton()->Enabled());
  f.Commit(u"值");
  f.Click(f.Edit->OKButton());
  EXPECT_EQ(VarToStr(f.Edit->EditValue()), u"n值");
}

TEST(cxBlobEditPopup, OleAndBinaryValuesOpenNoPopup) {
  for (TcxBlobEditKind kind : {bekOle, bekBlob}) {
    TBlobFixture f(kind);
    f.Key(VK_F4);
    EXPECT_FALSE(f.Edit->HasOpenPopup()) << kind;
    EXPECT_EQ(f.Edit->PopupEditControl(), nullptr);
    EXPECT_EQ(f.Properties()->Buttons()->GetButton(0)->Kind(), bkEllipsis);
    // Only a memo has a text.
    EXPECT_EQ(f.Edit->BlobText(), u"");
    EXPECT_FALSE(f.Edit->SetBlobText(u"x"));
  }
  TBlobFixture memo;
  EXPECT_EQ(memo.Edit->BlobText(), kText);
  EXPECT_TRUE(memo.Edit->SetBlobText(u"短"));
  EXPECT_EQ(memo.Edit->EditValue(), Variant(String(u"短")));
}


RawByteString PictureBytes(Integer W, Integer H) {
  TBitmap bitmap(W, H, pf24bit);
  bitmap.Canvas()->Brush()->SetColor(clRed);
  bitmap.Canvas()->FillRect(TRect{0, 0, W, H});
  TPicture picture;
  picture.SetGraphic(&bitmap);
  return SavePictureToString(&picture);
}

TEST(cxBlobEditPopupImage, PictureIsEditedInThePopupAndAssignedOnOK) {
  TBlobFixture f(bekPict);
  const Variant value = VarFromRawByteString(PictureBytes(40, 30));
  f.Edit->SetEditValue(value);
  std::vector<Integer> assigned;
  struct TRecorder {
    std::vector<Integer>* Widths;
    void Assigned(TObject*, TPicture* APicture) { Widths->push_back(APicture->Width()); }
  } recorder{&assigned};
  f.Properties()->OnAssignPicture = TcxImageAssignPictureEvent(&recorder, &TRecorder::Assigned);

  f.Open();
  TcxPopupImage* image = f.Edit->PopupImage();
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->Picture()->Width(), 40);
  EXPECT_TRUE(image->ImageProperties()->Stretch());
  EXPECT_EQ(f.Edit->PopupContentSize(), (TSize{44, 34})) << "the picture's size and a margin";
  // Enter closes with OK, but an unchanged picture is no change.
  f.Key(VK_RETURN);
  EXPECT_FALSE(f.Edit->HasOpenPopup());
  EXPECT_FALSE(f.Edit->IsModified());
  EXPECT_TRUE(assigned.empty());

  // A picture pasted in the popup is dropped by Esc and taken on Enter.
  TBitmap pasted(12, 8, pf24bit);
  Clipboard()->Assign(&pasted);
  f.Open();
  f.Key(u'V', tkCtrl);
  EXPECT_EQ(f.Edit->PopupImage()->Picture()->Width(), 12);
  f.Key(VK_ESCAPE);
  EXPECT_FALSE(f.Edit->HasOpenPopup());
  EXPECT_EQ(f.Edit->EditValue().AsRawByteString(), value.AsRawByteString());
  EXPECT_TRUE(assigned.empty());
  f.Open();
  EXPECT_EQ(f.Edit->PopupImage()->Picture()->Width(), 40) << "each opening starts from the value";
  f.Key(u'V', tkCtrl);
  EXPECT_TRUE(f.Edit->OKButton()->Enabled());
  f.Key(VK_RETURN);
  EXPECT_TRUE(f.Edit->IsModified());
  TPicture reread;
  LoadPictureFromValue(&reread, TBitmap::StaticClass(), f.Edit->EditValue());
  EXPECT_EQ(reread.Width(), 12);
  EXPECT_EQ(assigned, std::vector<Integer>{12});
  EXPECT_EQ(f.Edit->LastGraphicClass(), TBitmap::StaticClass());
  Clipboard()->Clear();
}

TEST(cxBlobEditPopupImage, UnreadableBytesStayUntilTheUserChangesThePicture) {
  TBlobFixture f(bekPict);
  const Variant damaged = VarFromRawByteString(PictureBytes(20, 20).substr(0, 60));
  f.Edit->SetEditValue(damaged);
  f.Open();
  EXPECT_EQ(f.Edit->PopupImage()->Picture()->Graphic(), nullptr);
  f.Key(VK_F4);  // AlwaysSaveData: kept, but nothing was changed
  EXPECT_EQ(f.Edit->EditValue().AsRawByteString(), damaged.AsRawByteString());
  f.Leave();
  EXPECT_EQ(f.Edit->Binding()->Stores, 0);
}

TEST(cxBlobEditPopupMemo, PictureOfThePopupOverChineseText) {
  TBlobFixture f;
  f.Properties()->SetBlobPaintStyle(bpsText);
  f.Edit->SetEditValue(Variant(String(u"地质调查元数据\r\n数据集名称：区域重力\r\n比例尺 1:200000")));
  f.Other->SetEditValue(Variant(String(u"x")));
  f.Open();
  Application->ProcessMessages();
  TcxCustomEditPopupWindow* popup = f.Edit->PopupWindow();
  const TPoint formOrigin = f.Form->ClientToScreen(TPoint{0, 0});
  const TRect pr = popup->BoundsRect();
  TBitmap picture(f.Form->ClientWidth(), f.Form->ClientHeight(), pf24bit);
  f.Form->PaintTo(picture.Canvas()->Handle(), 0, 0);
  const TPoint at{pr.Left - formOrigin.X, pr.Top - formOrigin.Y};
  popup->PaintTo(picture.Canvas()->Handle(), at.X, at.Y);
  SavePicture(&picture, "blobedit_popup_memo.png", 2);

  // Each of the memo's three lines has ink in its own band.
  TcxPopupMemo* memo = f.Edit->PopupMemo();
  const TRect box = memo->InnerEdit()->BoundsRect();
  const TPoint origin{at.X + memo->Left() + box.Left, at.Y + memo->Top() + box.Top};
  const Integer lineHeight = TextHeightInFont(memo->Style()->GetVisibleFont(), u"Wg");
  for (Integer line = 0; line < 3; ++line) {
    Integer ink = 0;
    for (Integer y = origin.Y + line * lineHeight; y < origin.Y + (line + 1) * lineHeight; ++y)
      for (Integer x = origin.X; x < origin.X + 120; ++x)
        if (picture.PixelColor(x, y) != (ColorToRGB(clWindow) & 0xFFFFFF)) ++ink;
    EXPECT_GT(ink, 20) << "line " << line;
  }
  // The buttons are drawn inside the popup, below the memo.
  for (TcxButton* button : {f.Edit->OKButton(), f.Edit->CloseButton()}) {
    const TRect b = button->BoundsRect();
    EXPECT_GE(b.Top, memo->BoundsRect().Bottom);
    EXPECT_LE(b.Bottom, popup->Height());
    const Integer middle = at.X + (b.Left + b.Right) / 2;
    EXPECT_NE(picture.PixelColor(middle, at.Y + b.Top), picture.PixelColor(middle, at.Y + b.Top - 2))
        << "the button's frame is drawn on the panel";
  }
}
}  // namespace
