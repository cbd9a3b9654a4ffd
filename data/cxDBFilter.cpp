#include "data/cxDBFilter.h"

#include <memory>

#include "platform/rtl/sysutils.h"

void TcxDBFilterOperatorAdapter::PrepareOperatorClass(TDataSet* ADataSet, TcxFilterOperatorClass& AOperatorClass) {
  if (!ADataSet || !AOperatorClass) return;
  if (!AOperatorClass->InheritsFrom(TcxFilterNullOperator::StaticClass())) return;
  if (Pos(u"QUERY", AnsiUpperCase(ADataSet->ClassName())) == 0) return;
  if (AOperatorClass->InheritsFrom(TcxFilterNotNullOperator::StaticClass()))
    AOperatorClass = TcxFilterSQLNotNullOperator::StaticClass();
  else
    AOperatorClass = TcxFilterSQLNullOperator::StaticClass();
}

TcxDBAdapterList* cxDBFilterOperatorAdapters() {
  static std::unique_ptr<TcxDBAdapterList> List = [] {
    auto L = std::make_unique<TcxDBAdapterList>();
    L->Register(TDataSet::StaticClass(), TcxDBFilterOperatorAdapter::StaticClass());
    return L;
  }();
  return List.get();
}

TcxDBFilterOperatorAdapter* GetDBFilterOperatorAdapter(TDataSet* ADataSet) {
  if (!ADataSet) return nullptr;
  Integer Index;
  TcxDBAdapterList* List = cxDBFilterOperatorAdapters();
  if (!List->Find(ADataSet->ClassType(), Index)) return nullptr;
  return dynamic_cast<TcxDBFilterOperatorAdapter*>(List->Items(Index));
}
