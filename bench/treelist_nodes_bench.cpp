// Building a tree of nodes (each with its record), expanding every node and
// numbering the visible rows, at 10,000, 100,000 and 1,000,000 nodes. The
// time per node is printed for each size with its ratio to the smallest
// size: a linear cost keeps the ratios near 1. Nodes added one by one,
// outside an update, are shown too: there every record append makes the data
// controller rebuild its row list, which is linear per node.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

#include "treelist/cxTLControl.h"

namespace {

double Seconds(const std::function<void()>& AWork) {
  const auto Start = std::chrono::steady_clock::now();
  AWork();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

struct TResult {
  double Build, Expand, Number;
};

// Nodes arrive depth first, as a loader reads a record's elements: each new
// node goes under one of the open ancestors of the last node (deeper, a
// sibling, or back up a few levels), at most 12 levels deep.
TResult Run(Integer ACount, bool AInOneUpdate) {
  TcxCustomTreeListControl List;
  List.CreateColumn();
  std::mt19937 Random(42);
  std::vector<TcxTreeListNode*> Path;
  constexpr size_t MaxDepth = 12;
  TResult Result{};
  Result.Build = Seconds([&] {
    if (AInOneUpdate) List.BeginUpdate();
    for (Integer I = 0; I < ACount; ++I) {
      const unsigned Step = Random() % 8;
      if (Step < 3 && Path.size() < MaxDepth) {
        // deeper: under the last node
      } else if (Step < 7) {
        if (!Path.empty()) Path.pop_back();  // a sibling of the last node
      } else {
        Path.resize(Path.size() - std::min<size_t>(Path.size(), 1 + Random() % 3));
      }
      Path.push_back(List.AddNode(nullptr, Path.empty() ? nullptr : Path.back(), tlamAddChild));
    }
    if (AInOneUpdate) List.EndUpdate();
  });
  Result.Expand = Seconds([&] { List.ExpandAllNodes(); });
  Integer Shown = 0;
  Result.Number = Seconds([&] { Shown = List.Nodes()->ShownNodeCount(); });
  if (Shown != ACount) std::printf("error: %d of %d nodes shown\n", Shown, ACount);
  return Result;
}

void Report(const char* ATitle, bool AInOneUpdate, const std::vector<Integer>& ASizes) {
  std::printf("%s\n%10s %12s %12s %12s %14s %8s\n", ATitle, "nodes", "build s", "expand s", "number s", "us per node",
              "ratio");
  double Base = 0;
  for (Integer Size : ASizes) {
    // The best of three runs, against the noise of a shared machine.
    TResult R = Run(Size, AInOneUpdate);
    for (int K = 0; K < 2; ++K) {
      const TResult Next = Run(Size, AInOneUpdate);
      R = {std::min(R.Build, Next.Build), std::min(R.Expand, Next.Expand), std::min(R.Number, Next.Number)};
    }
    const double PerNode = (R.Build + R.Expand + R.Number) / Size * 1e6;
    if (Base == 0) Base = PerNode;
    std::printf("%10d %12.4f %12.4f %12.4f %14.3f %8.2f\n", Size, R.Build, R.Expand, R.Number, PerNode, PerNode / Base);
  }
}

}  // namespace

int main() {
  Report("Nodes added inside one update:", true, {10000, 100000, 1000000});
  Report("Nodes added one by one:", false, {10000, 100000});
  return 0;
}
