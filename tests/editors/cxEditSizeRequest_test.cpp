// The room an editor asks of its host: one line as wide as the editor for
// the editors in general; for a check box, its caption's line mode and the
// width of the caption rectangle beside the box.
#include <gtest/gtest.h>

#include "../platform/gui/guitestutil.h"
#include "editors/cxCheckBox.h"
#include "editors/cxDropDownEdit.h"
#include "editors/cxTextEdit.h"
#include "platform/gui/forms.h"

namespace {

// Stand-alone, the caption starts 3 pixels after the box; the box and the
// caption keep 2 pixels from the edges.
constexpr Integer kCaptionGap = 3;
constexpr Integer kEdgeInset = 2;

TEST(cxEditSizeRequest, EditorsAskOneLineTheirWidthAndACheckBoxItsCaption) {
  TTestForm f(400, 200);
  auto* text = f.Place<TcxTextEdit>(10, 10, 150, 24);
  auto* combo = f.Place<TcxComboBox>(10, 40, 90, 24);
  auto* box = f.Place<TcxCheckBox>(10, 70, 121, 21);
  f.ShowForm();
  const Integer glyph = box->GlyphSize().cx;
  const Integer caption = 121 - 2 * kEdgeInset - glyph - kCaptionGap;
  struct TCase {
    const char* Name;
    TcxCustomEdit* Edit;
    bool MultiLine, Enabled, Narrow;
    TcxEditSizeRequest Expected;
  };
  const TCase cases[] = {
      {"text editor", text, false, true, false, {true, 150}},
      {"combo box", combo, false, true, false, {true, 90}},
      {"check box, one line", box, false, true, false, {true, caption}},
      {"check box, MultiLine", box, true, true, false, {false, caption}},
      {"check box, disabled: the caption a pixel wider", box, false, false, false, {true, caption + 1}},
      {"check box too narrow for its box: no caption room", box, true, true, true, {false, 0}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    if (c.Edit == box) {
      box->Properties()->SetMultiLine(c.MultiLine);
      box->SetEnabled(c.Enabled);
      box->SetWidth(c.Narrow ? glyph : 121);
    }
    const TcxEditSizeRequest request = c.Edit->GetSizeRequest();
    EXPECT_EQ(request.SingleLine, c.Expected.SingleLine);
    EXPECT_EQ(request.Width, c.Expected.Width);
  }
}

}  // namespace
