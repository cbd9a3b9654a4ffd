#pragma once
// Fits a row of items (band columns, or bands) into an available width:
// free items share the width in proportion to their own widths, never
// below their minimums; fixed items keep theirs.
#include <vector>

#include "platform/rtl/object.h"
#include "platform/rtl/types.h"

class TcxTreeListAutoWidthController : public TObject {
  KORVANE_CLASS(TcxTreeListAutoWidthController, TObject)

  // Starts a fit of ACount items (a hint) into AAvailableWidth.
  void Prepare(Integer AAvailableWidth, Integer ACount);
  // Adds an item; its width is raised to its minimum. Answers its index.
  Integer AddItem(Integer AWidth, Integer AMinWidth, bool AFixed);
  // Shares the width. Only the free items after the last fixed one take
  // part, unless the last item is the fixed one: then every free item does.
  // An available width below the sum of the minimums gives each its minimum.
  void Calculate();
  Integer Count() const { return Integer(FItems.size()); }
  // The item's width after Calculate (its own width before).
  Integer AutoWidth(Integer AIndex) const { return FItems.at(size_t(AIndex)).AutoWidth; }

private:
  struct TItem {
    Integer Width;
    Integer MinWidth;
    bool Fixed;
    Integer AutoWidth;
  };
  Integer FAvailableWidth = 0;
  std::vector<TItem> FItems;
};
