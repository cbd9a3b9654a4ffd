#include "treelist/cxTLNavigator.h"

#include <algorithm>

#include "treelist/cxControlController.h"
#include "treelist/cxEditingController.h"
#include "treelist/cxTLControl.h"

// ---- TcxNavigatorControlNotifier ----------------------------------------------------------------

void TcxNavigatorControlNotifier::AddNavigator(IcxNavigator* ANavigator) {
  if (std::find(FNavigators.begin(), FNavigators.end(), ANavigator) == FNavigators.end())
    FNavigators.push_back(ANavigator);
}

void TcxNavigatorControlNotifier::RemoveNavigator(IcxNavigator* ANavigator) { std::erase(FNavigators, ANavigator); }

void TcxNavigatorControlNotifier::Notify() {
  // A navigator may leave while the others refresh.
  for (IcxNavigator* N : std::vector<IcxNavigator*>(FNavigators))
    if (std::find(FNavigators.begin(), FNavigators.end(), N) != FNavigators.end()) N->RefreshNavigator();
}

// ---- The control's navigator actions ------------------------------------------------------------

bool TcxCustomTreeListControl::HasData() const { return !VisibleColumns().empty() && AbsoluteNodeCount() > 0; }

bool TcxCustomTreeListControl::IsNavigatorButtonEnabled(TcxNavigatorButton AButton) const {
  switch (AButton) {
    case nbDelete: return OptionsData()->Deleting() && HasData();
    case nbInsert: return OptionsData()->Inserting() && (FocusedNode() || !HasData());
    case nbEdit:
      return OptionsData()->Editing() && (HasData() || IsNavigatorButtonEnabled(nbInsert)) &&
             !Controller()->IsEditing();
    case nbGotoBookmark: return DataController()->IsBookmarkAvailable() && HasData();
    default: return true;
  }
}

namespace {

// The deepest last shown node: the root's last child, then each expanded node's last child.
TcxTreeListNode* LastVisibleNode(TcxTreeListNode* ARoot) {
  TcxTreeListNode* Node = ARoot->GetLastChild();
  while (Node && Node->Expanded()) Node = Node->GetLastChild();
  return Node;
}

}  // namespace

void TcxCustomTreeListControl::DoNavigatorAction(TcxNavigatorButton AButton) {
  TcxTreeListNode* Focused = FocusedNode();
  auto Page = [&](Word AKey) { Controller()->KeyDown(AKey, 0); };
  switch (AButton) {
    case nbFirst: SetFocusedNode(GetFirstNode()); break;
    case nbPriorPage: Page(VK_PRIOR); break;
    case nbPrior:
      if (Focused && Focused->GetPrevVisible()) SetFocusedNode(Focused->GetPrevVisible());
      break;
    case nbNext:
      if (Focused && Focused->GetNextVisible()) SetFocusedNode(Focused->GetNextVisible());
      break;
    case nbNextPage: Page(VK_NEXT); break;
    case nbLast: SetFocusedNode(LastVisibleNode(Nodes()->Root())); break;
    case nbInsert: {
      TcxTreeListNode* Node = Focused ? AddNode(nullptr, Focused, tlamInsert) : AddNode(nullptr, nullptr, tlamAdd);
      SetFocusedNode(Node);
      break;
    }
    case nbDelete: DeleteSelection(); break;
    case nbEdit:
      if (OptionsData()->Editing()) {
        DataController()->Edit();
        if (Controller()->FocusedItem()) EditingController()->ActivateCellEditor(Controller()->FocusedItem());
      }
      break;
    case nbPost: DataController()->PostRecord(); break;
    case nbCancel:
      DataController()->CancelRecord();
      EditingController()->EndCellEdit(false);
      break;
    case nbRefresh: DataController()->RefreshData(true); break;
    case nbSaveBookmark: DataController()->SetBookmarkToFocused(); break;
    case nbGotoBookmark: DataController()->FocusBookmarkedRecord(); break;
  }
}
