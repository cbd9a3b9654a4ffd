// The text editor's own view: the layout flags from the alignment, the
// measured size, the selection colours, the hint of a cut text, painting
// through a fresh view data, and AutoSize in three fonts (a picture).
#include <gtest/gtest.h>

#include "../platform/gui/guitestutil.h"
#include "editors/cxMaskEdit.h"
#include "editors/cxTextEdit.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/rtl/encoding.h"

namespace {

struct TViewFixture : TTestForm {
  TViewFixture() : TTestForm(420, 200) {
    Edit = Place<TcxTextEdit>(10, 10, 200, 21);
    ShowForm(Edit);
  }
  std::unique_ptr<TcxCustomTextEditViewData> ViewData() {
    return std::unique_ptr<TcxCustomTextEditViewData>(
        dynamic_cast<TcxCustomTextEditViewData*>(Edit->CreateViewData().release()));
  }
  TcxTextEdit* Edit;
};

TEST(cxTextEditView, LayoutFlagsFollowTheAlignment) {
  TViewFixture f;
  auto data = f.ViewData();
  ASSERT_NE(data, nullptr);
  const struct {
    TAlignment Horz;
    TcxEditVertAlignment Vert;
    TcxTextLayoutFlags Alignment;
  } cases[] = {
      {taLeftJustify, taTopJustify, cxtlAlignLeft | cxtlAlignTop},
      {taRightJustify, taBottomJustify, cxtlAlignRight | cxtlAlignBottom},
      {taCenter, taVCenter, cxtlAlignHCenter | cxtlAlignVCenter},
  };
  const TcxTextLayoutFlags always = cxtlKeepLeft | cxtlKeepTop;
  for (const auto& c : cases) {
    data->HorzAlignment = c.Horz;
    data->VertAlignment = c.Vert;
    EXPECT_EQ(data->GetDrawTextFlags(), c.Alignment | always | cxtlSingleLine);
    EXPECT_EQ(data->GetDrawTextFlags(true), c.Alignment | always | cxtlWordBreak | cxtlWholeRows);
  }
  data->PaintOptions = cxEditPaintEndEllipsis;
  EXPECT_TRUE(data->GetDrawTextFlags() & cxtlEndEllipsis);
}

TEST(cxTextEditView, MeasuresItsTextAndChoosesSelectionColours) {
  TViewFixture f;
  auto data = f.ViewData();
  TcxCanvas* canvas = f.Edit->cxCanvas();
  const TSize one = data->MeasureEditText(canvas, u"Wg");
  const TSize longer = data->MeasureEditText(canvas, u"Wg Wg Wg Wg");
  EXPECT_GT(longer.cx, one.cx);
  EXPECT_EQ(longer.cy, one.cy) << "one row";
  const TSize wrapped = data->MeasureEditText(canvas, u"Wg Wg Wg Wg", one.cx);
  EXPECT_GT(wrapped.cy, one.cy) << "wrapped to a narrow width: more rows";
  EXPECT_GT(data->MeasureEditText(canvas, u"").cy, 0);
  data->PaintOptions = cxEditPaintZeroHeight;
  EXPECT_EQ(data->MeasureEditText(canvas, u"").cy, 0);

  const struct {
    TColor Text, Background, WantText, WantBackground;
  } cases[] = {
      {clDefault, clDefault, clHighlightText, clHighlight},
      {clDefault, TColor(0x00FF00), TColor(0xFF00FF), TColor(0x00FF00)},  // the inverse of the background
      {TColor(0x0000FF), clDefault, TColor(0x0000FF), TColor(0xFFFF00)},  // the inverse of the text
  };
  for (const auto& c : cases) {
    data->SelTextColor = c.Text;
    data->SelBackgroundColor = c.Background;
    TColor text = clNone, background = clNone;
    data->ComputeSelectionColors(text, background);
    EXPECT_EQ(text, c.WantText);
    EXPECT_EQ(background, c.WantBackground);
  }
}

TEST(cxTextEditView, ACutTextShowsItsWholeTextAsTheHint) {
  TViewFixture f;
  auto data = f.ViewData();
  TcxCustomTextEditViewInfo info;
  for (const char16_t* text : {u"short", u"a text far too long for the narrow editor it stands in"}) {
    f.Edit->SetEditValue(String(text));
    data = f.ViewData();
    data->ComputeViewInfo(f.Edit->cxCanvas(), TRect{0, 0, 80, 21}, TPoint{-1, -1}, cxmbNone, 0, &info, false);
    String hint;
    TRect r;
    const TPoint inside{info.TextRect.Left + 2, info.TextRect.Top + 2};
    const bool cut = String(text).size() > 10;
    EXPECT_EQ(info.QueryHintWithRect(inside, hint, r), cut) << StringToUTF8(text);
    EXPECT_EQ(hint, cut ? String(text) : String());
    EXPECT_FALSE(info.QueryHintWithRect(TPoint{-5, -5}, hint, r)) << "outside the text: no hint";
  }
}

TEST(cxTextEditView, PaintingThroughAViewDataDrawsTheTextItself) {
  TViewFixture f;
  f.Edit->SetEditValue(String(u"WWWWWW"));
  TBitmap picture(f.Edit->Width(), f.Edit->Height(), pf24bit);
  TcxCanvas canvas(picture.Canvas());
  canvas.SetBrushColor(clFuchsia);
  canvas.FillRectOrTileBitmap(TRect{0, 0, picture.Width(), picture.Height()}, nullptr);
  f.Edit->PaintThroughViewData(&canvas);
  // Text ink (window text) appears in the text area; the window colour
  // fills the rest; nothing of the fuchsia ground is left inside.
  Integer ink = 0, ground = 0;
  for (Integer x = 0; x < picture.Width(); ++x)
    for (Integer y = 0; y < picture.Height(); ++y) {
      const TColor c = picture.PixelColor(x, y);
      ink += c == (ColorToRGB(clWindowText) & 0xFFFFFF);
      ground += c == (ColorToRGB(clFuchsia) & 0xFFFFFF);
    }
  EXPECT_GT(ink, 20);
  EXPECT_EQ(ground, 0);
}

// A binding that stands for data (no binding of the program does).
class TDataAwareBinding : public TcxEditDataBinding {
  KORVANE_CLASS(TDataAwareBinding, TcxEditDataBinding)
  using TcxEditDataBinding::TcxEditDataBinding;
  bool IsDataAware() const override { return Aware; }
  bool Aware = true;
};

class TDataAwareTextEdit : public TcxTextEdit {
  KORVANE_CLASS(TDataAwareTextEdit, TcxTextEdit)
  using TcxTextEdit::TcxTextEdit;
  TcxEditDataBindingClass GetDataBindingClass() const override { return TDataAwareBinding::StaticClass(); }
};

TEST(cxTextEditView, OnlyADataAwareEditorPaintingACopyPaintsThroughAFreshViewData) {
  TViewFixture f;
  auto* edit = f.Place<TDataAwareTextEdit>(10, 60, 200, 21);
  auto* binding = static_cast<TDataAwareBinding*>(edit->DataBinding());
  const struct {
    bool Aware, Copy, Fresh;
  } cases[] = {{true, true, true}, {true, false, false}, {false, true, false}};
  for (const auto& c : cases) {
    binding->Aware = c.Aware;
    edit->SetControlState(c.Copy ? edit->ControlState() | csPaintCopy : edit->ControlState() & ~csPaintCopy);
    EXPECT_EQ(edit->PaintsOwnViewData(), c.Fresh) << c.Aware << c.Copy;
  }
  edit->SetControlState(edit->ControlState() & ~csPaintCopy);
  EXPECT_FALSE(f.Edit->PaintsOwnViewData()) << "an editor bound to no data paints its live view";
}

TEST(cxTextEditView, AutoSizeTakesTheHeightOfTheTextInEachFont) {
  TTestForm form(420, 200);
  struct TCase {
    Integer Size;
    TcxTextEdit* Edit;
  } cases[] = {{8, nullptr}, {14, nullptr}, {24, nullptr}};
  Integer top = 10;
  for (TCase& c : cases) {
    c.Edit = form.Place<TcxTextEdit>(10, top, 300, 21);
    c.Edit->Style()->Font()->SetSize(c.Size);
    c.Edit->SetEditValue(String(u"AutoSize 自动 Wg"));
    top += 60;
  }
  form.ShowForm();
  Application->ProcessMessages();
  Integer previous = 0;
  for (TCase& c : cases) {
    SCOPED_TRACE(c.Size);
    auto data = std::unique_ptr<TcxCustomTextEditViewData>(
        dynamic_cast<TcxCustomTextEditViewData*>(c.Edit->CreateViewData().release()));
    TSize want{0, 0};
    data->CalcEditorSize(c.Edit->cxCanvas(), c.Edit->EditValue(), TcxEditSizeProperties{}, nullptr, want);
    EXPECT_EQ(c.Edit->Height(), want.cy);
    EXPECT_GT(c.Edit->Height(), previous) << "a larger font, a taller editor";
    EXPECT_EQ(c.Edit->Width(), 300) << "the width is the user's (no buttons-only auto width)";
    previous = c.Edit->Height();
  }
  // Without AutoSize a new font leaves the height alone.
  cases[0].Edit->SetAutoSize(false);
  const Integer kept = cases[0].Edit->Height();
  cases[0].Edit->Style()->Font()->SetSize(20);
  Application->ProcessMessages();
  EXPECT_EQ(cases[0].Edit->Height(), kept);
  cases[0].Edit->Style()->Font()->SetSize(8);
  cases[0].Edit->SetAutoSize(true);

  TBitmap picture(form.Form->ClientWidth(), form.Form->ClientHeight(), pf24bit);
  form.Form->PaintTo(picture.Canvas()->Handle(), 0, 0);
  SavePicture(&picture, "textedit_autosize_fonts.png");
  // The bottom border line of each editor lies right at its height: the
  // row below it is the form's face.
  for (TCase& c : cases) {
    const Integer x = c.Edit->Left() + 150, bottom = c.Edit->Top() + c.Edit->Height();
    EXPECT_NE(picture.PixelColor(x, bottom - 1), ColorToRGB(form.Form->Color()) & 0xFFFFFF);
    EXPECT_EQ(picture.PixelColor(x, bottom + 1), ColorToRGB(form.Form->Color()) & 0xFFFFFF);
  }
}

// AutoSize by the editor's Align: the height wherever the layout leaves it
// free, the width only for buttons with automatic width; an in-place editor
// never sizes itself.
TEST(cxTextEditView, AutoSizeTakesOnlyTheSidesItsAlignLeavesFree) {
  struct TCase {
    const char* Name;
    TAlign Align;
    TcxTextEditViewStyle ViewStyle;
    bool OwnWidth, OwnHeight;  // the editor's computed side, else the layout's
  };
  const TCase cases[] = {
      {"not aligned, buttons with automatic width", alNone, vsButtonsAutoWidth, true, true},
      {"not aligned, normal", alNone, vsNormal, false, true},
      {"aligned top", alTop, vsButtonsAutoWidth, false, true},
      {"aligned left", alLeft, vsButtonsAutoWidth, true, false},
      {"aligned client", alClient, vsButtonsAutoWidth, false, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestForm form(420, 200);
    auto* edit = form.Place<TcxButtonEdit>(10, 10, 300, 60);
    edit->SetEditValue(String(u"岩性 Wg"));
    form.ShowForm();
    static_cast<TcxCustomTextEditProperties*>(edit->Properties())->SetViewStyle(c.ViewStyle);
    edit->SetAlign(c.Align);
    edit->RefreshViewStateAtCursor();
    Application->ProcessMessages();
    auto data = edit->CreateViewData();
    TSize want{0, 0};
    data->CalcEditorSize(edit->cxCanvas(), edit->EditValue(), TcxEditSizeProperties{}, nullptr, want);
    ASSERT_GT(want.cy, 0);
    const Integer layoutWidth = c.Align == alNone ? 300 : form.Form->ClientWidth();
    const Integer layoutHeight = c.Align == alNone || c.Align == alTop ? 60 : form.Form->ClientHeight();
    EXPECT_EQ(edit->Width(), c.OwnWidth ? want.cx : layoutWidth);
    EXPECT_EQ(edit->Height(), c.OwnHeight ? want.cy : layoutHeight);
  }

  TTestForm form(420, 200);
  auto* inplace = form.Place<TcxTextEdit>(10, 10, 300, 60, true);
  form.ShowForm();
  EXPECT_FALSE(inplace->AutoSize());
  inplace->SetAutoSize(true);
  EXPECT_FALSE(inplace->AutoSize()) << "ignored in place: the container sizes its editor";
  inplace->Style()->Font()->SetSize(20);
  Application->ProcessMessages();
  EXPECT_EQ(inplace->Height(), 60);
}

// The list and no-edit styles of a stand-alone editor are a pixel taller and
// start their text a pixel further in (and a pixel lower when aligned top);
// in place they are not.
TEST(cxTextEditView, TheNoEditStylesTakeAPixelOnlyWhenStandAlone) {
  TTestForm form(420, 200);
  auto* edit = form.Place<TcxTextEdit>(10, 10, 200, 24);
  form.ShowForm();
  auto* p = static_cast<TcxCustomTextEditProperties*>(edit->Properties());
  auto* style = static_cast<TcxCustomEditStyle*>(edit->Style());
  struct TMeasure {
    TSize Size;
    TRect Text;
  };
  auto measure = [&](bool AInplace, TcxEditVertAlignment AVert) {
    std::unique_ptr<TcxCustomTextEditViewData> data(
        dynamic_cast<TcxCustomTextEditViewData*>(p->CreateViewData(style, AInplace)));
    data->VertAlignment = AVert;
    TMeasure m{data->MeasureEditText(edit->cxCanvas(), u"Wg"), TRect{0, 0, 100, 20}};
    data->AdjustTextEditTextRect(m.Text);
    return m;
  };
  for (bool inplace : {false, true})
    for (TcxEditVertAlignment vert : {taTopJustify, taVCenter}) {
      SCOPED_TRACE(std::string(inplace ? "in place" : "stand-alone") + (vert == taTopJustify ? ", top" : ", centre"));
      p->SetViewStyle(vsNormal);
      const TMeasure editing = measure(inplace, vert);
      p->SetViewStyle(vsHideCursor);
      ASSERT_EQ(p->EditingStyle(), esNoEdit);
      const TMeasure noEdit = measure(inplace, vert);
      const Integer px = inplace ? 0 : 1;
      EXPECT_EQ(noEdit.Size.cy, editing.Size.cy + px);
      EXPECT_EQ(noEdit.Size.cx, editing.Size.cx);
      EXPECT_EQ(noEdit.Text.Left, editing.Text.Left + px);
      EXPECT_EQ(noEdit.Text.Right, editing.Text.Right);
      const Integer topPx = vert == taTopJustify ? px : 0;
      EXPECT_EQ(noEdit.Text.Top, editing.Text.Top + topPx);
      EXPECT_EQ(noEdit.Text.Bottom, editing.Text.Bottom - topPx);
    }
}

// A focused stand-alone editor that draws its own text (no inner edit shows
// it) marks the focus with a frame round its content.
TEST(cxTextEditView, AFocusedEditorDrawingItsOwnTextShowsAFocusFrame) {
  TTestForm form(420, 200);
  auto* edit = form.Place<TcxTextEdit>(10, 10, 200, 24);
  auto* other = form.Place<TcxTextEdit>(10, 60, 200, 24);
  edit->SetEditValue(String(u"WWW"));
  for (bool focused : {false, true}) {
    SCOPED_TRACE(focused ? "focused" : "not focused");
    form.ShowForm(focused ? edit : other);
    edit->RefreshViewStateAtCursor();
    TBitmap picture(edit->Width(), edit->Height(), pf24bit);
    TcxCanvas canvas(picture.Canvas());
    edit->PaintThroughViewData(&canvas);
    // The content's leftmost column holds no text: only the frame marks it.
    const TRect client = edit->GetViewInfo()->ClientRect;
    Integer marks = 0;
    for (Integer y = client.Top; y < client.Bottom; ++y)
      marks += picture.PixelColor(client.Left, y) != (ColorToRGB(clWindow) & 0xFFFFFF);
    if (focused)
      EXPECT_GE(marks, (client.Bottom - client.Top) / 3);
    else
      EXPECT_EQ(marks, 0);
  }
}

}  // namespace
