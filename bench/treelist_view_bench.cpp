// The tree list's view on a shown control with three text columns of
// Chinese text and three levels of nodes (every top node with 9 children,
// every child with 10 grandchildren): building the nodes, laying out and
// painting the first screen into an image, scrolling one page, expanding
// every node and painting again, at 1,000, 10,000 and 100,000 nodes. Only
// the rows on screen are laid out, so the first screen, the page scroll and
// the paints cost the same at every size; the rows laid out are counted.
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "data/cxDataStorage.h"
#include "editors/cxTextEdit.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/sysutils.h"
#include "treelist/cxTLController.h"
#include "treelist/cxTLViewInfo.h"

namespace {

double Milliseconds(const std::function<void()>& AWork) {
  const auto Start = std::chrono::steady_clock::now();
  AWork();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count();
}

class TBenchTextProperties : public TcxTextEditProperties {
  KORVANE_CLASS(TBenchTextProperties, TcxTextEditProperties)
  using TcxTextEditProperties::TcxTextEditProperties;
  String GetDisplayTextOfValue(const Variant& AValue) const override { return VarToStr(AValue); }
};

struct TResult {
  double Build, FirstScreen, PageScroll, ExpandAll, Repaint;
  Integer RowsFirst, RowsScroll;
};

TResult Run(Integer ANodeCount) {
  TForm* Form = new TForm(nullptr);
  Form->SetBounds(0, 0, 640, 480);
  auto* Tree = new TcxCustomTreeListControl(Form);
  Tree->SetBounds(0, 0, 620, 460);
  Tree->SetParent(Form);
  Tree->OptionsView()->SetIndicator(true);
  Tree->OptionsView()->SetGridLines(tlglBoth);
  const String Names[] = {u"名称", u"说明", u"值"};
  for (const String& Caption : Names) {
    TcxTreeListColumn* Column = Tree->CreateColumn();
    Column->SetPropertiesClass(TBenchTextProperties::StaticClass());
    Tree->DataController()->SetItemValueTypeClass(Column->ItemIndex(), TcxStringValueType::StaticClass());
    Column->SetCaption(Caption);
    Column->SetWidth(180);
  }
  Form->Show();
  Application->ProcessMessages();
  TBitmap Picture(Tree->ClientWidth(), Tree->ClientHeight(), pf32bit);
  auto Paint = [&] { Tree->PaintTo(Picture.Canvas()->Handle(), 0, 0); };
  const Integer TopCount = ANodeCount / 100;
  TResult Result{};
  Result.Build = Milliseconds([&] {
    Tree->BeginUpdate();
    for (Integer T = 0; T < TopCount; ++T) {
      TcxTreeListNode* Top = Tree->AddNode(nullptr, nullptr, tlamAddChild);
      Top->SetValues(0, Variant(u"元数据 " + IntToStr(T)));
      for (Integer C = 0; C < 9; ++C) {
        TcxTreeListNode* Child = Tree->AddNode(nullptr, Top, tlamAddChild);
        Child->SetValues(0, Variant(u"标识信息 " + IntToStr(C)));
        Child->SetValues(1, Variant(u"数据集的引用"));
        for (Integer G = 0; G < 10; ++G) {
          TcxTreeListNode* Leaf = Tree->AddNode(nullptr, Child, tlamAddChild);
          Leaf->SetValues(0, Variant(u"标题 " + IntToStr(G)));
          Leaf->SetValues(1, Variant(u"中国地质调查局"));
          Leaf->SetValues(2, Variant(IntToStr(T * 100 + C * 10 + G)));
        }
      }
    }
    Tree->EndUpdate();
  });
  TcxTreeListViewInfo* View = Tree->TreeListViewInfo();
  Integer Rows = View->RowsCalculated();
  Result.FirstScreen = Milliseconds([&] {
    Tree->LayoutChanged();
    Paint();
  });
  Result.RowsFirst = View->RowsCalculated() - Rows;
  Rows = View->RowsCalculated();
  Result.PageScroll = Milliseconds([&] {
    Tree->TreeListController()->PageMove(true, false, 0);
    Paint();
  });
  Result.RowsScroll = View->RowsCalculated() - Rows;
  Result.ExpandAll = Milliseconds([&] { Tree->ExpandAllNodes(); });
  Result.Repaint = Milliseconds([&] {
    Tree->SetTopVisibleIndex(Tree->Nodes()->ShownNodeCount() / 2);
    Paint();
  });
  Form->Free();
  Application->ProcessMessages();
  return Result;
}

}  // namespace

int main() {
  EnsureGuiRuntime();
  std::printf("%9s %9s %12s %11s %11s %11s %10s %10s\n", "nodes", "build ms", "1st screen", "page ms", "expand ms",
              "repaint ms", "rows 1st", "rows page");
  for (Integer Count : {1000, 10000, 100000}) {
    const TResult R = Run(Count);
    std::printf("%9d %9.1f %12.2f %11.2f %11.1f %11.2f %10d %10d\n", Count, R.Build, R.FirstScreen, R.PageScroll,
                R.ExpandAll, R.Repaint, R.RowsFirst, R.RowsScroll);
  }
  return 0;
}
