// How the tree list resolves the look of its elements: the content of a cell
// by row parity, column, content event and hot tracking; indents; headers
// and footers through their chains; the style sheet behind the slots; the
// selection look; a style sheet of tree list styles.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/cxLookAndFeelPainters.h"
#include "platform/rtl/encoding.h"
#include "treelist/cxTLControl.h"

namespace {

// a (row 0), b (row 1), c (row 2), all top level; one column.
struct TStyleFixture {
  TcxCustomTreeListControl List;
  TcxTreeListColumn* Column = List.CreateColumn();
  TcxTreeListNode* A = List.Add();
  TcxTreeListNode* B = List.Add();
  TcxTreeListNode* C = List.Add();
  std::vector<std::unique_ptr<TcxStyle>> Owned;
  std::unique_ptr<TcxTreeListStyleSheet> Sheet;
  TcxTreeListStyles* S = List.Styles();

  // A style that assigns a colour and, unless clDefault, a text colour.
  TcxStyle* Style(TColor AColor, TColor ATextColor = clDefault) {
    Owned.push_back(std::make_unique<TcxStyle>(nullptr));
    if (AColor != clDefault) Owned.back()->SetColor(AColor);
    if (ATextColor != clDefault) Owned.back()->SetTextColor(ATextColor);
    return Owned.back().get();
  }
  const TcxCustomLookAndFeelPainter* Painter() const {
    const TcxCustomLookAndFeelPainter* P = PainterOf(List.LookAndFeel()->Painter());
    return P ? P : PainterOf(cxCustomLookAndFeelPainter());
  }
};

constexpr TColor Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000, Grey = 0x808080, Olive = 0x008080,
                 Navy = 0x800000, Teal = 0x808000;

TEST(TreeListStyles, ResolutionThroughTheSlotsEventsAndSheet) {
  struct TCase {
    const char* Name;
    std::function<void(TStyleFixture&)> Setup;
    std::function<TcxViewParams(TStyleFixture&)> Ask;
    // clDefault: the painter's colour of the element (Expected* below).
    TColor Color;
    TColor TextColor;
  };
  auto Cell = [](TcxTreeListNode* TStyleFixture::*ANode) {
    return [ANode](TStyleFixture& F) { return F.S->GetContentParams(F.*ANode, F.Column); };
  };
  const TCase Cases[] = {
      {"content: nothing assigned", [](auto&) {}, Cell(&TStyleFixture::A), clDefault, clDefault},
      {"content slot", [](auto& F) { F.S->SetContent(F.Style(Red, Green)); }, Cell(&TStyleFixture::A), Red, Green},
      {"odd row: ContentOdd over Content",
       [](auto& F) {
         F.S->SetContent(F.Style(Red, Green));
         F.S->SetContentOdd(F.Style(Blue));
       },
       Cell(&TStyleFixture::B), Blue, Green},
      {"even row keeps Content beside ContentOdd",
       [](auto& F) {
         F.S->SetContent(F.Style(Red));
         F.S->SetContentOdd(F.Style(Blue));
       },
       Cell(&TStyleFixture::C), Red, clDefault},
      {"column content over the row",
       [](auto& F) {
         F.S->SetContentEven(F.Style(Red, Green));
         F.Column->Styles()->SetContent(F.Style(Grey));
       },
       Cell(&TStyleFixture::A), Grey, Green},
      {"content event over the column",
       [](auto& F) {
         F.Column->Styles()->SetContent(F.Style(Grey, Olive));
         TcxStyle* Asked = F.Style(Navy);
         F.S->OnGetContentStyle = TcxtlOnGetContentStyleEvent(
             &F, [&F, Asked](TcxCustomTreeListControl*, TObject* AItem, TcxTreeListNode* ANode, TcxStyle*& AStyle) {
               if (AItem == F.Column && ANode == F.A) AStyle = Asked;
             });
       },
       Cell(&TStyleFixture::A), Navy, Olive},
      {"preview column: the row's look without the column's",
       [](auto& F) {
         F.S->SetContent(F.Style(Red));
         F.Column->Styles()->SetContent(F.Style(Grey));
         F.List.Preview()->SetColumn(F.Column);
       },
       Cell(&TStyleFixture::A), Red, clDefault},
      {"hot-tracked row without a hot-track style: highlight text",
       [](auto& F) {
         F.S->SetContent(F.Style(Red, Green));
         F.List.SetHotTrackNode(F.A);
       },
       Cell(&TStyleFixture::A), Red, clHighlightText},
      {"hot-track slot fills what the event did not assign",
       [](auto& F) {
         F.List.SetHotTrackNode(F.A);
         F.S->SetHotTrack(F.Style(Teal, Blue));
         TcxStyle* Asked = F.Style(Navy);
         F.S->OnGetHotTrackStyle = TcxtlOnGetContentStyleEvent(
             &F, [Asked](TcxCustomTreeListControl*, TObject*, TcxTreeListNode*, TcxStyle*& AStyle) { AStyle = Asked; });
       },
       Cell(&TStyleFixture::A), Navy, Blue},
      {"another row is not hot",
       [](auto& F) {
         F.S->SetContent(F.Style(Red, Green));
         F.List.SetHotTrackNode(F.A);
       },
       Cell(&TStyleFixture::C), Red, Green},
      {"column header: event, column header, slot",
       [](auto& F) {
         F.S->SetColumnHeader(F.Style(Red, Green));
         F.Column->Styles()->SetHeader(F.Style(clDefault, Blue));
         TcxStyle* Asked = F.Style(Grey);
         F.S->OnGetColumnHeaderStyle = TcxtlOnGetItemStyleEvent(
             &F, [Asked](TcxCustomTreeListControl*, TObject*, TcxStyle*& AStyle) { AStyle = Asked; });
       },
       [](auto& F) { return F.S->GetColumnHeaderParams(F.Column); }, Grey, Blue},
      {"column footer: column footer, ColumnFooter, Footer",
       [](auto& F) {
         F.S->SetFooter(F.Style(Red, Green));
         F.S->SetColumnFooter(F.Style(Blue));
       },
       [](auto& F) { return F.S->GetColumnFooterParams(F.Column); }, Blue, Green},
      {"indicator: header colours by default", [](auto&) {},
       [](auto& F) { return F.S->GetIndicatorParams(); }, clDefault, clDefault},
      {"indent: the node's row look with its content style",
       [](auto& F) {
         F.S->SetContentOdd(F.Style(Red, Green));
         TcxStyle* Asked = F.Style(Blue);
         F.S->OnGetContentStyle = TcxtlOnGetContentStyleEvent(
             &F, [Asked](TcxCustomTreeListControl*, TObject* AItem, TcxTreeListNode*, TcxStyle*& AStyle) {
               if (!AItem) AStyle = Asked;
             });
       },
       [](auto& F) { return F.S->GetNodeIndentParams(F.B, 0); }, Blue, Green},
      {"indent without node colour: Content, the indent style last",
       [](auto& F) {
         F.List.OptionsView()->SetUseNodeColorForIndent(false);
         F.S->SetContentOdd(F.Style(Red, Green));
         F.S->SetContent(F.Style(Grey, Olive));
         TcxStyle* Indent = F.Style(clDefault, Navy);
         F.S->OnGetNodeIndentStyle = TcxtlOnGetNodeIndentStyleEvent(
             &F, [Indent](TcxCustomTreeListControl*, TcxTreeListNode*, Integer, TcxStyle*& AStyle) { AStyle = Indent; });
       },
       [](auto& F) { return F.S->GetNodeIndentParams(F.B, 0); }, Grey, Navy},
      {"style sheet behind an unassigned slot; own slots first",
       [](auto& F) {
         auto Sheet = std::make_unique<TcxTreeListStyleSheet>(nullptr);
         Sheet->Styles()->SetContent(F.Style(Teal, Blue));
         Sheet->Styles()->SetContentEven(F.Style(Olive));
         F.S->SetContentEven(F.Style(Navy));
         F.S->SetStyleSheet(Sheet.get());
         F.Sheet = std::move(Sheet);
       },
       Cell(&TStyleFixture::A), Navy, Blue},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TStyleFixture F;
    Case.Setup(F);
    const TcxViewParams P = Case.Ask(F);
    const bool Header = std::string(Case.Name).rfind("indicator", 0) == 0;
    EXPECT_EQ(P.Color, Case.Color != clDefault ? Case.Color
                                               : Header ? F.Painter()->HeaderColor() : F.Painter()->ContentColor());
    EXPECT_EQ(P.TextColor, Case.TextColor != clDefault
                               ? Case.TextColor
                               : Header ? F.Painter()->HeaderTextColor() : F.Painter()->ContentTextColor());
    EXPECT_EQ(P.Font, F.List.Font());
  }
}

TEST(TreeListStyles, SelectionLookFollowsTheFocus) {
  TStyleFixture F;
  F.S->SetSelection(F.Style(Red));
  F.S->SetInactive(F.Style(Blue));
  EXPECT_EQ(F.S->GetSelectionParams().Color, Blue);  // not focused: inactive
}

TEST(TreeListStyles, AssignmentAndTheSheetClass) {
  TStyleFixture F;
  TcxCustomTreeListControl Other;
  F.S->SetHotTrack(F.Style(Red));
  F.S->SetPreview(F.Style(Green));
  F.S->SetContent(F.Style(Blue));
  Other.Styles()->Assign(F.S);
  EXPECT_EQ(Other.Styles()->HotTrack(), F.S->HotTrack());
  EXPECT_EQ(Other.Styles()->Preview(), F.S->Preview());
  EXPECT_EQ(Other.Styles()->Content(), F.S->Content());
  // A style change lays the control out and renews the cached row looks.
  F.S->GetContentEvenParams();
  F.S->Content()->SetColor(Grey);
  EXPECT_EQ(F.S->GetContentEvenParams().Color, Grey);
  // Sheets are made by class name; only a sheet of tree list styles is taken.
  EXPECT_EQ(GetClass(u"TcxTreeListStyleSheet"), TcxTreeListStyleSheet::StaticClass());
  TcxCustomStyleSheet Foreign(nullptr);
  EXPECT_FALSE(F.S->AcceptsStyleSheet(&Foreign));
  TcxTreeListStyleSheet Own(nullptr);
  EXPECT_TRUE(F.S->AcceptsStyleSheet(&Own));
}

}  // namespace
