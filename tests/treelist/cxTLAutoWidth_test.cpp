// Fitting items into a width.
#include <gtest/gtest.h>

#include <vector>

#include "treelist/cxTLAutoWidth.h"

namespace {

struct TItem {
  Integer Width, MinWidth;
  bool Fixed;
};

TEST(TreeListAutoWidth, SharesTheWidth) {
  struct TCase {
    const char* Name;
    Integer Available;
    std::vector<TItem> Items;
    std::vector<Integer> Expected;
  };
  const TCase Cases[] = {
      {"fits already", 300, {{100, 20, false}, {200, 20, false}}, {100, 200}},
      {"in proportion", 600, {{100, 20, false}, {200, 20, false}}, {200, 400}},
      {"rounding leftovers go to the later items",
       200,
       {{100, 0, false}, {100, 0, false}, {100, 0, false}},
       {67, 67, 66}},
      {"a width below the minimum is raised first", 100, {{10, 40, false}, {60, 0, false}}, {40, 60}},
      {"below the sum of minimums: every item at its minimum", 50, {{100, 50, false}, {100, 60, false}}, {50, 60}},
      {"an item under its minimum settles there, the rest share", 120, {{100, 90, false}, {100, 10, false}}, {90, 30}},
      {"after a fixed item only the later ones share",
       400,
       {{100, 0, false}, {100, 0, true}, {100, 0, false}},
       {100, 100, 200}},
      {"a fixed last item lets all the others share",
       400,
       {{100, 0, false}, {100, 0, false}, {100, 0, true}},
       {150, 150, 100}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TcxTreeListAutoWidthController Controller;
    Controller.Prepare(Case.Available, Integer(Case.Items.size()));
    for (const TItem& Item : Case.Items) Controller.AddItem(Item.Width, Item.MinWidth, Item.Fixed);
    Controller.Calculate();
    std::vector<Integer> Widths;
    for (Integer I = 0; I < Controller.Count(); ++I) Widths.push_back(Controller.AutoWidth(I));
    EXPECT_EQ(Widths, Case.Expected);
  }
}

}  // namespace
