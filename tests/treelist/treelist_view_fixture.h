#pragma once
// A shown form with a laid-out tree list of two text columns ("Name" 100
// wide, "Note" 80 wide) and this tree:
//   a (a1, a2 (a21)), b, c
// all expanded, plus an edit box that can take the focus away.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "data/cxDataStorage.h"
#include "editors/cxTextEdit.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/forms.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/sysutils.h"
#include "treelist/cxTLBands.h"
#include "treelist/cxTLController.h"
#include "treelist/cxTLViewInfo.h"

// Text cells that show their value as text and take part in incremental search.
class TTreeTextProperties : public TcxTextEditProperties {
  KORVANE_CLASS(TTreeTextProperties, TcxTextEditProperties)
  using TcxTextEditProperties::TcxTextEditProperties;
  String GetDisplayTextOfValue(const Variant& AValue) const override { return VarToStr(AValue); }
  TcxEditEditorFeatures GetEditorFeatures() const override { return cxEditFeatureIncSearch; }
};

struct TTreeViewFixture {
  enum { NameItem = 0, NoteItem = 1 };

  TTreeViewFixture() {
    EnsureGuiRuntime();
    Form = new TForm(nullptr);
    Form->SetBounds(50, 50, 500, 400);
    Tree = new TcxCustomTreeListControl(Form);
    Tree->SetBorderStyle(cxcbsNone);
    Tree->SetBounds(10, 10, 320, 240);
    Tree->SetParent(Form);
    for (auto [Caption, Width] : {std::pair{u"Name", 100}, std::pair{u"Note", 80}}) {
      TcxTreeListColumn* Column = Tree->CreateColumn();
      Tree->DataController()->SetItemValueTypeClass(Column->ItemIndex(), TcxStringValueType::StaticClass());
      Column->SetPropertiesClass(TTreeTextProperties::StaticClass());
      Column->SetCaption(Caption);
      Column->SetWidth(Width);
    }
    Tree->BeginUpdate();
    A = Make(nullptr, "a");
    A1 = Make(A, "a1");
    A2 = Make(A, "a2");
    A21 = Make(A2, "a21");
    B = Make(nullptr, "b");
    C = Make(nullptr, "c");
    Tree->ExpandAllNodes();
    Tree->EndUpdate();
    Form->Show();
    Tree->SetFocus();
    Application->ProcessMessages();
    Tree->LayoutChanged();
  }
  ~TTreeViewFixture() {
    ReleaseCapture();
    Form->Free();
    Application->ProcessMessages();
  }

  TcxTreeListNode* Make(TcxTreeListNode* AParent, const std::string& AName) {
    TcxTreeListNode* Node = Tree->AddNode(nullptr, AParent, tlamAddChild);
    Node->SetValues(NameItem, Variant(UTF8ToString(AName)));
    Node->SetValues(NoteItem, Variant(UTF8ToString("note " + AName)));
    return Node;
  }
  static std::string Name(const TcxTreeListNode* ANode) {
    return ANode ? StringToUTF8(VarToStr(ANode->Values(NameItem))) : std::string("none");
  }

  TcxTreeListOptionsView* View() { return Tree->OptionsView(); }
  TcxTreeListViewInfo* Layout() const {
    TcxTreeListViewInfo* VI = Tree->TreeListViewInfo();
    if (VI->IsDirty()) VI->Calculate();
    return VI;
  }
  TcxTreeListNodeViewInfo* Row(const TcxTreeListNode* ANode) const { return Layout()->RowOfNode(ANode); }
  TcxTreeListColumn* Column(Integer AIndex) const { return Tree->GetColumn(AIndex); }
  // The centre of the node's cell in a column.
  TPoint CellCenter(const TcxTreeListNode* ANode, Integer AColumn) const {
    const TRect R = Row(ANode)->CellOfColumn(Column(AColumn))->DisplayRect();
    return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
  }
  std::unique_ptr<TBitmap> Shot() const {
    auto Picture = std::make_unique<TBitmap>(Tree->ClientWidth(), Tree->ClientHeight(), pf32bit);
    Tree->PaintTo(Picture->Canvas()->Handle(), 0, 0);
    return Picture;
  }

  TForm* Form = nullptr;
  TcxCustomTreeListControl* Tree = nullptr;
  TcxTreeListNode *A, *A1, *A2, *A21, *B, *C;
};
