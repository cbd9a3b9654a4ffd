// Null tests in the filter texts of query datasets.
#include "data/cxDBFilter.h"

#include <gtest/gtest.h>

#include "platform/db/adodb.h"
#include "platform/rtl/encoding.h"

namespace {
class TPlainDataSet : public TDataSet {
  KORVANE_CLASS(TPlainDataSet, TDataSet)
  using TDataSet::TDataSet;
};
class TSqlquerySet : public TDataSet {
  KORVANE_CLASS(TSqlquerySet, TDataSet)
  using TDataSet::TDataSet;
};
}  // namespace

TEST(cxDBFilterOperatorAdapter, QueriesWriteIsAndIsNot) {
  TComponent Owner(nullptr);
  TDataSet* Query = new TADOQuery(&Owner);
  TDataSet* Lower = new TSqlquerySet(&Owner);  // "Query" in any case
  TDataSet* Plain = new TPlainDataSet(&Owner);
  EXPECT_EQ(GetDBFilterOperatorAdapter(nullptr), nullptr);
  struct {
    TDataSet* DataSet;
    TcxFilterOperatorClass In;
    TcxFilterOperatorClass Out;
  } Cases[] = {
      {Query, TcxFilterNullOperator::StaticClass(), TcxFilterSQLNullOperator::StaticClass()},
      {Query, TcxFilterNotNullOperator::StaticClass(), TcxFilterSQLNotNullOperator::StaticClass()},
      {Lower, TcxFilterNullOperator::StaticClass(), TcxFilterSQLNullOperator::StaticClass()},
      {Query, TcxFilterEqualOperator::StaticClass(), TcxFilterEqualOperator::StaticClass()},
      {Plain, TcxFilterNullOperator::StaticClass(), TcxFilterNullOperator::StaticClass()},
      {Plain, TcxFilterNotNullOperator::StaticClass(), TcxFilterNotNullOperator::StaticClass()},
  };
  for (auto& C : Cases) {
    TcxDBFilterOperatorAdapter* A = GetDBFilterOperatorAdapter(C.DataSet);
    ASSERT_NE(A, nullptr);
    TcxFilterOperatorClass Class = C.In;
    A->PrepareOperatorClass(C.DataSet, Class);
    EXPECT_EQ(Class, C.Out) << StringToUTF8(C.DataSet->ClassName()) << " " << StringToUTF8(C.In->ClassName());
  }
}
