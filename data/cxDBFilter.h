#pragma once
// How a dataset class writes null tests in a filter text: datasets whose
// class name contains "Query" write "IS" and "IS NOT".
#include "data/cxDB.h"
#include "data/cxFilter.h"

class TcxFilterSQLNullOperator : public TcxFilterNullOperator {
  KORVANE_CLASS(TcxFilterSQLNullOperator, TcxFilterNullOperator)
  using TcxFilterNullOperator::TcxFilterNullOperator;
  String Symbol() override { return u"IS"; }
};

class TcxFilterSQLNotNullOperator : public TcxFilterNotNullOperator {
  KORVANE_CLASS(TcxFilterSQLNotNullOperator, TcxFilterNotNullOperator)
  using TcxFilterNotNullOperator::TcxFilterNotNullOperator;
  String Symbol() override { return u"IS NOT"; }
};

class TcxDBFilterOperatorAdapter : public TcxDBAdapterItem {
  KORVANE_CLASS(TcxDBFilterOperatorAdapter, TcxDBAdapterItem)
  TcxDBFilterOperatorAdapter() = default;
  // Null and not-null operators become their SQL forms for query datasets.
  virtual void PrepareOperatorClass(TDataSet* ADataSet, TcxFilterOperatorClass& AOperatorClass);
};

// The program-wide list, with TcxDBFilterOperatorAdapter for TDataSet.
TcxDBAdapterList* cxDBFilterOperatorAdapters();
// nullptr for no dataset.
TcxDBFilterOperatorAdapter* GetDBFilterOperatorAdapter(TDataSet* ADataSet);
