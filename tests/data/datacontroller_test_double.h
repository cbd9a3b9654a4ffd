#pragma once
// The helpers the data tests share. The test double of the tree list's data
// controller: one distinct column object per item, notices recorded as short
// texts, and an "open editor" whose value UpdateControlData writes into the
// record being edited. A recorder of any controller's notices, and the link
// object of a master record that owns its detail clone.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "data/cxData.h"
#include "data/cxDataStorage.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/sysutils.h"

inline TcxValueTypeClass IntType() { return TcxIntegerValueType::StaticClass(); }

// A notice as a short text: "data(kind,item,record)", "layout", "record(r)",
// "row(a->b)", "focus(a->b)", "selection[rows]", "search", "bookmark".
inline std::string DescribeNotice(TcxUpdateControlInfo* AInfo) {
  auto I = [](Integer V) { return V == cxNoRecordIndex ? std::string("none") : std::to_string(V); };
  if (auto* D = dynamic_cast<TcxDataChangedInfo*>(AInfo))
    return "data(" + std::to_string(D->Kind) + "," + I(D->ItemIndex) + "," + I(D->RecordIndex) + ")";
  if (dynamic_cast<TcxLayoutChangedInfo*>(AInfo)) return "layout";
  if (auto* R = dynamic_cast<TcxUpdateRecordInfo*>(AInfo)) return "record(" + I(R->RecordIndex) + ")";
  if (auto* F = dynamic_cast<TcxFocusedRowChangedInfo*>(AInfo))
    return "row(" + I(F->PrevFocusedRowIndex) + "->" + I(F->FocusedRowIndex) + ")";
  if (auto* F = dynamic_cast<TcxFocusedRecordChangedInfo*>(AInfo))
    return "focus(" + I(F->PrevFocusedRecordIndex) + "->" + I(F->FocusedRecordIndex) + ")";
  if (auto* S = dynamic_cast<TcxSelectionChangedInfo*>(AInfo)) {
    std::string Text = "selection[";
    for (Integer K = 0; K < S->Count(); ++K) Text += (K ? "," : "") + I(S->RowIndexes(K));
    return Text + "]";
  }
  if (dynamic_cast<TcxSearchChangedInfo*>(AInfo)) return "search";
  if (dynamic_cast<TcxBookmarkChangedInfo*>(AInfo)) return "bookmark";
  return "?";
}

// Records the notices a controller hands to its OnUpdateControl event.
class TNoticeRecorder : public TObject {
public:
  void Handle(TcxUpdateControlInfo* AInfo) { Seen.push_back(DescribeNotice(AInfo)); }
  // The notices that begin with APrefix, such as "focus(" or "data(4,".
  std::vector<std::string> Only(const std::string& APrefix) const {
    std::vector<std::string> Result;
    std::copy_if(Seen.begin(), Seen.end(), std::back_inserter(Result),
                 [&](const std::string& S) { return S.rfind(APrefix, 0) == 0; });
    return Result;
  }
  std::vector<std::string> Seen;
};

class TTestColumn : public TObject {
  KORVANE_CLASS(TTestColumn, TObject)
  explicit TTestColumn(Integer AId) : Id(AId) {}
  Integer Id;
};

class TTestControlDataController : public TcxDataController {
  KORVANE_CLASS(TTestControlDataController, TcxDataController)

  // One column per value type, in order.
  explicit TTestControlDataController(const std::vector<TcxValueTypeClass>& ATypes) : TcxDataController(nullptr) {
    for (size_t I = 0; I < ATypes.size(); ++I) {
      FColumns.push_back(std::make_unique<TTestColumn>(Integer(100 + I)));
      AddItemField(FColumns.back().get());
      SetItemValueTypeClass(Integer(I), ATypes[I]);
    }
  }

  // The column object that owns the item's data field.
  TObject* GetItem(Integer AIndex) const override { return GetItemField(AIndex)->Item(); }
  Integer GetItemID(TObject* AItem) const override { return static_cast<TTestColumn*>(AItem)->Id; }

  void NotifyControl(TcxUpdateControlInfo* AInfo) override {
    Notices.push_back(DescribeNotice(AInfo));
    TcxDataController::NotifyControl(AInfo);
  }

  // The open editor: while an edit is pending its value goes to the record.
  void UpdateControlData() override {
    if (EditorItem >= 0) Provider()->WriteFieldValue(Provider()->EditingRecordIndex(), GetItemField(EditorItem), false, EditorValue);
  }

  // Appends a record with the given values (one per item) and answers it.
  Integer AddRecord(const std::vector<Variant>& AValues) {
    BeginUpdate();
    const Integer R = AppendRecord();
    for (size_t I = 0; I < AValues.size(); ++I) SetValue(R, Integer(I), AValues[I]);
    EndUpdate();
    return R;
  }

  // The records of the rows in row order.
  std::vector<Integer> RowRecords() const {
    std::vector<Integer> Result;
    for (Integer R = 0; R < GetRowCount(); ++R) Result.push_back(GetRowInfo(R).RecordIndex);
    return Result;
  }

  // The texts of an item over the rows.
  std::vector<std::string> RowTexts(Integer AItem) {
    std::vector<std::string> Result;
    for (Integer R = 0; R < GetRowCount(); ++R)
      Result.push_back(StringToUTF8(GetDisplayText(GetRowInfo(R).RecordIndex, AItem)));
    return Result;
  }

  std::vector<std::string> Notices;
  Integer EditorItem = -1;
  Variant EditorValue;

private:
  std::vector<std::unique_ptr<TTestColumn>> FColumns;
};

// The link object of one master record: it owns the detail clone made for it.
class TDetailLink : public TObject {
  KORVANE_CLASS(TDetailLink, TObject)
  explicit TDetailLink(TTestControlDataController* ADetail) : Detail(ADetail) {}
  ~TDetailLink() override { delete Detail; }
  // The clone of a link object (nullptr for any other object).
  static TTestControlDataController* DetailOf(TObject* ALink) {
    auto* Link = dynamic_cast<TDetailLink*>(ALink);
    return Link ? Link->Detail : nullptr;
  }
  TTestControlDataController* Detail;
};
