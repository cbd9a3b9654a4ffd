#include "treelist/cxTLAutoWidth.h"

namespace {

// A * B / C rounded to the nearest integer, for the non-negative widths here.
Integer MulDiv(Integer A, Integer B, Integer C) { return C <= 0 ? 0 : Integer((Int64(A) * B + C / 2) / C); }

}  // namespace

void TcxTreeListAutoWidthController::Prepare(Integer AAvailableWidth, Integer ACount) {
  FAvailableWidth = AAvailableWidth;
  FItems.clear();
  if (ACount > 0) FItems.reserve(size_t(ACount));
}

Integer TcxTreeListAutoWidthController::AddItem(Integer AWidth, Integer AMinWidth, bool AFixed) {
  const Integer Width = AWidth < AMinWidth ? AMinWidth : AWidth;
  FItems.push_back({Width, AMinWidth, AFixed, Width});
  return Count() - 1;
}

void TcxTreeListAutoWidthController::Calculate() {
  if (FItems.empty()) return;
  size_t Start = 0;
  if (!FItems.back().Fixed)
    for (size_t I = 0; I < FItems.size(); ++I)
      if (FItems[I].Fixed) Start = I + 1;
  // What the shared items divide: the width less every item that keeps its own.
  Integer Available = FAvailableWidth, Total = 0, TotalMin = 0;
  std::vector<bool> Settled(FItems.size());
  for (size_t I = 0; I < FItems.size(); ++I) {
    TItem& Item = FItems[I];
    Item.AutoWidth = Item.Width;
    Settled[I] = Item.Fixed || I < Start;
    if (Settled[I]) {
      Available -= Item.Width;
    } else {
      Total += Item.Width;
      TotalMin += Item.MinWidth;
    }
  }
  if (Available == Total) return;
  if (Available < TotalMin) Available = TotalMin;
  bool Restart = true;
  while (Restart) {
    Restart = false;
    Integer Numerator = Available, Denominator = Total;
    for (size_t I = 0; I < FItems.size() && !Restart; ++I) {
      if (Settled[I]) continue;
      TItem& Item = FItems[I];
      const Integer Share = MulDiv(Item.Width, Numerator, Denominator);
      if (Share < Item.MinWidth) {
        // Settled at its minimum; the others share what is left.
        Item.AutoWidth = Item.MinWidth;
        Settled[I] = true;
        Total -= Item.Width;
        Available -= Item.MinWidth;
        Restart = true;
      } else {
        Item.AutoWidth = Share;
        Numerator -= Share;
        Denominator -= Item.Width;
      }
    }
  }
}
