// The structure check of the editing window: every element of a full record
// gets a state from its template optionality and its content (leaves) or
// from its children (branches); the check stops at the first fault, says
// what it is and focuses the element.
#include <algorithm>
#include <set>
#include <unordered_map>

#include "app/meta_edit.h"
#include "platform/rtl/sysutils.h"
#include "store/dmunit.h"

namespace {

// Element states ("choice_state").
enum : Integer {
  csOptionalEmpty = 0,
  csOptionalFilled = 1,
  csGroupFilled = 2,
  csMandatoryFilled = 3,
  csGroupEmpty = 4,
  csMandatoryEmpty = 5,
};

bool IsPresent(Integer State) { return State >= csOptionalFilled && State <= csMandatoryFilled; }
bool IsGroupId(const String& Choice) { return Choice.size() >= 2; }

// A parent id that leads round in a circle is never reached from the top;
// a chain longer than the record is such a circle.
bool ReachesTop(const std::vector<Integer>& ParentIndex, size_t Row) {
  size_t steps = 0;
  for (Integer at = ParentIndex[Row]; at >= 0; at = ParentIndex[size_t(at)])
    if (++steps > ParentIndex.size()) return false;
  return true;
}

String NodeTitle(const Tfrm_meta_edit::TRecordNode* Node) { return Node->Code + Node->Cname; }

}  // namespace

Tfrm_meta_edit::TRecordNode* Tfrm_meta_edit::TRecordNode::Next() const {
  if (!Children.empty()) return Children.front().get();
  return NextOutside();
}

Tfrm_meta_edit::TRecordNode* Tfrm_meta_edit::TRecordNode::NextOutside() const {
  for (const TRecordNode* at = this; at->Parent; at = at->Parent) {
    auto& siblings = at->Parent->Children;
    if (at->Index + 1 < siblings.size()) return siblings[at->Index + 1].get();
  }
  return nullptr;
}

bool Tfrm_meta_edit::ReadRecordTree(String& ErrorText, std::unique_ptr<TRecordNode>& Root) {
  if (!FinishEditing()) {
    ErrorText = u"当前编辑的内容未能保存";
    return false;
  }
  String error;
  if (!dm->OpenDataSet(error, dm->aq_find)) {
    ErrorText = u"打开模板数据失败,错误信息：" + error;
    return false;
  }
  std::unordered_map<String, String> choices;  // by lower-case code
  for (dm->aq_find->First(); !dm->aq_find->Eof(); dm->aq_find->Next())
    choices[LowerCase(dm->aq_find->FieldByName(u"code")->AsString())] = dm->aq_find->FieldByName(u"choice")->AsString();

  TDataSet* record = dm->aq_metadata;
  std::vector<std::unique_ptr<TRecordNode>> rows;
  std::vector<Integer> parentIds;
  const String current = record->Bookmark();
  record->DisableControls();
  try {
    for (record->First(); !record->Eof(); record->Next()) {
      auto node = std::make_unique<TRecordNode>();
      node->Id = record->FieldByName(u"id")->AsInteger();
      node->Code = record->FieldByName(u"code")->AsString();
      node->Cname = record->FieldByName(u"cname")->AsString();
      node->Ename = record->FieldByName(u"ename")->AsString();
      node->Content = record->FieldByName(u"content")->AsString();
      node->Tag = record->FieldByName(u"tag")->AsInteger();
      node->State = record->FieldByName(u"choice_state")->AsInteger();
      auto found = choices.find(LowerCase(node->Code));
      node->InTemplate = found != choices.end();
      if (node->InTemplate) node->Choice = found->second;
      parentIds.push_back(record->FieldByName(u"parent_id")->AsInteger());
      rows.push_back(std::move(node));
    }
    if (!current.empty()) record->GotoBookmark(current);
  } catch (Exception& E) {
    record->EnableControls();
    ErrorText = E.Message;
    return false;
  }
  record->EnableControls();

  // Children stand in the order of the rows (code, then id), as in the
  // tree; a row whose parent is not in the record, or that lies on a
  // circle of parents, stands at the top.
  std::unordered_map<Integer, size_t> indexOf;
  for (size_t i = 0; i < rows.size(); ++i) indexOf.emplace(rows[i]->Id, i);
  std::vector<Integer> parentIndex(rows.size(), -1);
  for (size_t i = 0; i < rows.size(); ++i) {
    auto parent = indexOf.find(parentIds[i]);
    if (parent != indexOf.end() && parent->second != i) parentIndex[i] = Integer(parent->second);
  }
  for (size_t i = 0; i < rows.size(); ++i)
    if (!ReachesTop(parentIndex, i)) parentIndex[i] = -1;
  std::vector<TRecordNode*> raw;
  for (auto& row : rows) raw.push_back(row.get());
  Root = std::make_unique<TRecordNode>();
  for (size_t i = 0; i < rows.size(); ++i) {
    TRecordNode* parent = parentIndex[i] < 0 ? Root.get() : raw[size_t(parentIndex[i])];
    rows[i]->Parent = parent;
    rows[i]->Index = parent->Children.size();
    parent->Children.push_back(std::move(rows[i]));
  }
  return true;
}

Integer Tfrm_meta_edit::ChoiceStateOf(const String& Choice, const String& Content) {
  const bool filled = !Content.empty();
  if (Choice == u"M") return filled ? csMandatoryFilled : csMandatoryEmpty;
  if (Choice == u"O") return filled ? csOptionalFilled : csOptionalEmpty;
  if (IsGroupId(Choice)) return filled ? csGroupFilled : csGroupEmpty;
  return csOptionalEmpty;
}

void Tfrm_meta_edit::SetLeafChoiceState(TRecordNode* Node) { Node->State = ChoiceStateOf(Node->Choice, Node->Content); }

bool Tfrm_meta_edit::RollUpChoiceState(String& ErrorText, TRecordNode* Node) {
  const String unknown = u"模板表(template)内部没有此编码：" + Node->Code;
  if (!Node->InTemplate) {
    ErrorText = unknown;
    return false;
  }
  Integer present = 0, missing = 0, broken = 0;
  std::set<String> filledGroups, openGroups;
  for (auto& child : Node->Children) {
    if (IsPresent(child->State)) ++present;
    if (child->State == csMandatoryEmpty) ++missing;
    if (child->State < 0) ++broken;
    if (child->State != csGroupFilled && child->State != csGroupEmpty) continue;
    if (!child->InTemplate) {
      ErrorText = unknown;
      return false;
    }
    if (child->State == csGroupFilled) {
      filledGroups.insert(child->Choice);
      openGroups.erase(child->Choice);
    } else if (!filledGroups.count(child->Choice)) {
      openGroups.insert(child->Choice);
    }
  }
  const bool inOrder = broken == 0 && openGroups.empty() && !(missing > 0 && present > 0);
  const bool empty = present == 0 && broken == 0;
  auto pick = [&](Integer Empty, Integer Good) { return empty ? Empty : inOrder ? Good : -Good; };
  if (Node->Choice == u"M") Node->State = pick(csMandatoryEmpty, csMandatoryFilled);
  else if (Node->Choice == u"O") Node->State = pick(csOptionalEmpty, csOptionalFilled);
  else if (IsGroupId(Node->Choice)) Node->State = pick(csGroupEmpty, csGroupFilled);
  return true;
}

bool Tfrm_meta_edit::FindChoiceError(String& ErrorText, TRecordNode* Node, TRecordNode*& Found) {
  std::set<String> filledGroups;
  std::vector<std::pair<String, TRecordNode*>> openGroups;  // group, its first empty member
  auto open = [&](const String& Group) {
    return std::find_if(openGroups.begin(), openGroups.end(), [&](auto& G) { return G.first == Group; });
  };
  for (auto& child : Node->Children) {
    if (child->State == csMandatoryEmpty) {
      ErrorText = u"元数据必选项不能空缺：" + NodeTitle(child.get());
      Found = child.get();
      return true;
    }
    if (child->State == csGroupFilled) {
      filledGroups.insert(child->Choice);
      if (auto at = open(child->Choice); at != openGroups.end()) openGroups.erase(at);
    } else if (child->State == csGroupEmpty) {
      if (!filledGroups.count(child->Choice) && open(child->Choice) == openGroups.end())
        openGroups.emplace_back(child->Choice, child.get());
    } else if (child->State < 0) {
      return FindChoiceError(ErrorText, child.get(), Found);
    }
  }
  if (openGroups.empty()) return false;
  Found = openGroups.front().second;
  ErrorText = u"几个选择项至少必须填写一个" + NodeTitle(Found);
  return true;
}

bool Tfrm_meta_edit::FindMissingChildren(String& ErrorText, TRecordNode* Node, TRecordNode*& Found) {
  String error;
  // The template's answer for a code holds for the whole check: a record
  // of many repeated branches asks once per code.
  auto cached = FMandatoryChildCodes.find(LowerCase(Node->Code));
  if (cached == FMandatoryChildCodes.end()) {
    std::unique_ptr<TStringList> codes = dm->MandatoryChildCodes(error, Node->Code);
    if (!codes) {
      ErrorText = error;
      Found = Node;
      return true;
    }
    std::vector<String> entries;
    for (Integer i = 0; i < codes->Count(); ++i) entries.push_back(codes->Strings(i));
    cached = FMandatoryChildCodes.emplace(LowerCase(Node->Code), std::move(entries)).first;
  }
  auto wanted = std::make_unique<TStringList>();
  for (const String& entry : cached->second) wanted->Add(entry);
  auto crossOff = [&](const String& Entry) {
    for (Integer i = wanted->Count() - 1; i >= 0; --i)
      if (SameText(wanted->Strings(i), Entry)) wanted->Delete(i);
  };
  for (auto& child : Node->Children) {
    if (!IsPresent(child->State)) continue;
    // A present member fills its choice group as well as its own code.
    crossOff(child->Code);
    if (IsGroupId(child->Choice)) crossOff(child->Choice);
    if (!child->Children.empty() && FindMissingChildren(ErrorText, child.get(), Found)) return true;
  }
  if (wanted->Count() == 0) return false;
  ErrorText = u"节点：" + Node->Cname + u"缺少子项";
  for (Integer i = 0; i < wanted->Count(); ++i) {
    String caption;
    dm->TemplateCaption(error, wanted->Strings(i), caption);
    // A choice group has no caption of its own: its id stands instead.
    ErrorText += u"\r\n" + (caption.empty() ? wanted->Strings(i) : caption);
  }
  Found = Node;
  return true;
}

void Tfrm_meta_edit::FocusRecordNode(const TRecordNode* Node) {
  if (Node && Node->Id != 0) dm->aq_metadata->Locate(u"id", Variant(Node->Id), {});
}

namespace {

// The states of a subtree, leaves first. Every element gets its state even
// past a fault, so that the states left in the record are all current; the
// first branch whose code the template lacks is the subtree's fault.
void RollUpSubtree(Tfrm_meta_edit* Window, Tfrm_meta_edit::TRecordNode* Node, String& ErrorText,
                   Tfrm_meta_edit::TRecordNode*& Found) {
  if (Node->Children.empty()) {
    Window->SetLeafChoiceState(Node);
    return;
  }
  for (auto& child : Node->Children) RollUpSubtree(Window, child.get(), ErrorText, Found);
  String error;
  if (!Window->RollUpChoiceState(error, Node) && !Found) {
    ErrorText = error;
    Found = Node;
  }
}

// Writes the states into the record rows whose stored state differs, all
// in one transaction: a record of thousands of rows is written at once,
// not row by row, and a failure leaves the states stored before.
void StoreStates(const Tfrm_meta_edit::TRecordNode* Root) {
  std::unordered_map<Integer, Integer> states;
  for (auto* node = Root->Next(); node; node = node->Next()) states[node->Id] = node->State;
  TDataSet* record = dm->aq_metadata;
  const String current = record->Bookmark();
  record->DisableControls();
  String error;
  const bool stored = dm->RunInTransaction(error, [&] {
    for (record->First(); !record->Eof(); record->Next()) {
      TField* field = record->FieldByName(u"choice_state");
      auto state = states.find(record->FieldByName(u"id")->AsInteger());
      if (state == states.end() || (!field->IsNull() && field->AsInteger() == state->second)) continue;
      record->Edit();
      field->SetAsInteger(state->second);
      record->Post();
    }
    return true;
  });
  if (!stored && record->State() == dsEdit) record->Cancel();
  if (!current.empty() && record->BookmarkValid(current)) record->GotoBookmark(current);
  record->EnableControls();
  if (!stored) throw Exception(error);
}

}  // namespace

bool Tfrm_meta_edit::CheckStructure(String& ErrorText) {
  ErrorText.clear();
  FMandatoryChildCodes.clear();
  if (IsCore()) return true;
  ExpandAll();
  std::unique_ptr<TRecordNode> root;
  if (!ReadRecordTree(ErrorText, root)) return false;

  // Each top-level element's own fault, in tree order.
  std::vector<std::pair<String, TRecordNode*>> rollUpFaults;
  for (auto& top : root->Children) {
    rollUpFaults.emplace_back();
    RollUpSubtree(this, top.get(), rollUpFaults.back().first, rollUpFaults.back().second);
  }

  TRecordNode* found = nullptr;
  bool fault = false;
  for (size_t i = 0; i < root->Children.size() && !fault; ++i) {
    TRecordNode* T = root->Children[i].get();
    if (rollUpFaults[i].second) {
      ErrorText = rollUpFaults[i].first;
      found = rollUpFaults[i].second;
      fault = true;
    } else if (T->Children.empty()) {
      continue;
    } else if (T->State == csMandatoryEmpty) {
      ErrorText = u"元数据必选项不能空缺：" + NodeTitle(T);
      found = T;
      fault = true;
    } else if (T->State < 0) {
      if (!FindChoiceError(ErrorText, T, found)) found = T;
      fault = true;
    } else if (IsPresent(T->State)) {
      fault = FindMissingChildren(ErrorText, T, found);
    }
  }

  bool inOrder = false;
  if (!fault) {
    // Over the top-level elements as over a branch's children.
    Integer present = 0, missing = 0, broken = 0;
    std::set<String> filledGroups, openGroups;
    for (auto& top : root->Children) {
      const Integer state = top->State;
      if (IsPresent(state)) ++present;
      if (state == csMandatoryEmpty) ++missing;
      if (state < 0 && state != -csGroupFilled) ++broken;
      if (state == csGroupFilled) {
        filledGroups.insert(top->Choice);
        openGroups.erase(top->Choice);
      } else if (state == -csGroupFilled && !filledGroups.count(top->Choice)) {
        openGroups.insert(top->Choice);
      }
    }
    inOrder = broken == 0 && openGroups.empty() && !(missing > 0 && present > 0) && present > 0;
  }

  try {
    StoreStates(root.get());
  } catch (Exception& E) {
    ErrorText = E.Message;
    return false;
  }
  if (found) FocusRecordNode(found);
  if (!inOrder && Trim(ErrorText).empty()) ErrorText = StructureCheckFailedText;
  return inOrder;
}
