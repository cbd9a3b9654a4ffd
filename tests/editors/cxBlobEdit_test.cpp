// The blob editor: its settings, the text and icon it shows for each kind,
// paint style and value, the kind resolved from the data, the comparison of
// values, and the closed editor's layout and painting.
#include "editors/cxBlobEdit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "foundation/cxGraphics.h"
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
  EXPECT_TRUE(properties.ImmediateDropDown());
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
