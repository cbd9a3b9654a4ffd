#pragma once
// The navigator link of the tree list: the data navigators that show the
// control's state in their buttons, and the buttons' numbering. The
// control's actions and button states are TcxCustomTreeListControl's
// DoNavigatorAction and IsNavigatorButtonEnabled (cxTLNavigator.cpp).
#include <vector>

#include "platform/rtl/object.h"
#include "platform/rtl/types.h"

// A data navigator: its buttons follow the control's state.
class IcxNavigator {
public:
  virtual ~IcxNavigator() = default;
  virtual void RefreshNavigator() = 0;
};

// The navigators of a control; Notify tells each to refresh its buttons.
class TcxNavigatorControlNotifier : public TObject {
  KORVANE_CLASS(TcxNavigatorControlNotifier, TObject)
  void AddNavigator(IcxNavigator* ANavigator);
  void RemoveNavigator(IcxNavigator* ANavigator);
  Integer NavigatorCount() const { return Integer(FNavigators.size()); }
  void Notify();

private:
  std::vector<IcxNavigator*> FNavigators;
};

// Navigator buttons, as DoNavigatorAction numbers them.
enum TcxNavigatorButton : Integer {
  nbFirst, nbPriorPage, nbPrior, nbNext, nbNextPage, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel,
  nbRefresh, nbSaveBookmark, nbGotoBookmark
};
