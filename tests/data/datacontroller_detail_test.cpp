// Master-detail: relations, the pattern and clone detail controllers, detail
// expansion with its events, and expanded details kept by key.
#include <gtest/gtest.h>

#include <memory>

#include "tests/data/datacontroller_test_double.h"

namespace {

using Ints = std::vector<Integer>;

// Makes a clone per master record and relation; item 0 is the key.
class TMasterController : public TTestControlDataController {
public:
  using TTestControlDataController::TTestControlDataController;
  TObject* CreateDetailLinkObject(TcxCustomDataRelation* ARelation, Integer ARecordIndex) override {
    auto* Clone = new TTestControlDataController({IntType()});
    Clone->SetMasterRelation(ARelation, ARecordIndex);
    return new TDetailLink(Clone);
  }
  TcxCustomDataController* GetDetailDataController(TObject* ALink) override { return TDetailLink::DetailOf(ALink); }
  void GetKeyFields(std::vector<TcxCustomDataField*>& AList) override { AList.push_back(GetItemField(0)); }
};

class DetailTest : public ::testing::Test {
protected:
  DetailTest() : Master({IntType()}), Pattern({IntType()}) {
    for (Integer K : {10, 20, 30}) Master.AddRecord({Variant(K)});
    Relation = new TcxCustomDataRelation(Master.Relations(), &Item);
    Master.Relations()->Add(Relation);
    Pattern.SetMasterRelation(Relation, -1);
    Master.OnDetailExpanding = TcxDataDetailExpandingEvent(&Item, [this](TcxCustomDataController*, Integer R, bool& Allow) {
      Allow = R != Refused;
    });
    Master.OnDetailExpanded =
        TcxDataRecordNotifyEvent(&Item, [this](TcxCustomDataController*, Integer R) { Expanded.push_back(R); });
    Master.OnDetailCollapsed =
        TcxDataRecordNotifyEvent(&Item, [this](TcxCustomDataController*, Integer R) { Collapsed.push_back(R); });
  }
  Integer RecordOfKey(Integer AKey) {
    for (Integer R = 0; R < Master.GetRecordCount(); ++R)
      if (Master.GetValue(R, 0).AsInteger() == AKey) return R;
    return -1;
  }

  TObject Item;
  TMasterController Master;
  TTestControlDataController Pattern;
  TcxCustomDataRelation* Relation = nullptr;
  Integer Refused = -1;
  Ints Expanded, Collapsed;
};

TEST_F(DetailTest, APatternIsTheDetailControllerOfItsRelation) {
  EXPECT_EQ(Relation->DetailDataController(), static_cast<IcxCustomDataController*>(&Pattern));
  EXPECT_EQ(Pattern.GetMasterDataController(), &Master);
  EXPECT_EQ(Pattern.GetMasterRelation(), Relation);
  EXPECT_EQ(Pattern.GetMasterRecordIndex(), -1);
  EXPECT_TRUE(Pattern.IsDetailMode());
  EXPECT_EQ(Pattern.DetailMode(), TcxDetailMode::Pattern);
  EXPECT_EQ(Master.DetailMode(), TcxDetailMode::None);
  ASSERT_NE(Master.Relations()->DetailField(), nullptr);
  EXPECT_TRUE(Master.Relations()->DetailField()->IsInternal());
  EXPECT_EQ(Master.GetItemCount(), 1);  // the detail field is no item
}

TEST_F(DetailTest, ExpandingAsksTheHandlersAndRaisesADetailLayoutChange) {
  Refused = 1;
  EXPECT_FALSE(Master.ChangeDetailExpanding(1, true));
  EXPECT_FALSE(Master.IsDetailExpanded(1));

  Master.Notices.clear();
  EXPECT_TRUE(Master.ChangeDetailExpanding(2, true));
  EXPECT_TRUE(Master.IsDetailExpanded(2));
  EXPECT_EQ(Expanded, (Ints{2}));
  EXPECT_EQ(Master.Notices, (std::vector<std::string>{"layout"}));
  EXPECT_TRUE(Master.ChangeDetailExpanding(2, true));  // already expanded: no second event
  EXPECT_EQ(Expanded, (Ints{2}));

  Master.ChangeDetailExpanding(0, true);
  Master.CollapseAllDetails();
  EXPECT_FALSE(Master.IsDetailExpanded(0));
  EXPECT_FALSE(Master.IsDetailExpanded(2));
  EXPECT_EQ(Collapsed, (Ints{0, 2}));
  EXPECT_THROW(Master.ChangeDetailExpanding(3, true), EcxInvalidDataControllerOperation);
}

TEST_F(DetailTest, ClonesFollowTheirMasterRecords) {
  TObject* Link = Master.GetDetailLinkObject(2, 0);
  ASSERT_NE(Link, nullptr);
  EXPECT_EQ(Master.GetDetailLinkObject(2, 0), Link);  // made once
  auto* Clone = static_cast<TDetailLink*>(Link)->Detail;
  EXPECT_EQ(Clone->GetMasterRecordIndex(), 2);
  EXPECT_EQ(Clone->DetailMode(), TcxDetailMode::Clone);
  EXPECT_EQ(Master.GetDetailLinkObject(2, 1), nullptr);  // no such relation

  Master.DeleteRecord(0);
  EXPECT_EQ(Clone->GetMasterRecordIndex(), 1);
  Master.InsertRecord(0);
  EXPECT_EQ(Clone->GetMasterRecordIndex(), 2);
}

TEST_F(DetailTest, DetailKeysExpandTheSameRecordsAgain) {
  Master.ChangeDetailExpanding(RecordOfKey(20), true);
  Master.ChangeActiveRelationIndex(RecordOfKey(20), 0);
  TcxDetailKeys Keys;
  Keys.Save(&Master);
  ASSERT_EQ(Keys.Count(), 1);

  // The records move and every detail object goes.
  Master.DeleteRecord(0);
  Master.AddRecord({Variant(Integer(10))});
  Master.ResetDetails();
  EXPECT_FALSE(Master.IsDetailExpanded(RecordOfKey(20)));

  Keys.Restore(&Master);
  EXPECT_TRUE(Master.IsDetailExpanded(RecordOfKey(20)));
  EXPECT_FALSE(Master.IsDetailExpanded(RecordOfKey(10)));
  EXPECT_EQ(Keys.Count(), 0);
}

TEST_F(DetailTest, PatternFlag) {
  Pattern.SetDataChangeRefCount(1);
  try {
    Pattern.SetIsPattern(true);
    ADD_FAILURE() << "no exception";
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message, u"!");
  }
  TTestControlDataController Top({IntType()});
  Top.AddRecord({Variant(Integer(1))});
  Top.SetIsPattern(true);
  EXPECT_TRUE(Top.IsPattern());
  EXPECT_EQ(Top.GetRecordCount(), 1);  // its own records stay
}

TEST(DetailLifetime, EitherSideMayGoFirst) {
  auto Detail = std::make_unique<TTestControlDataController>(std::vector<TcxValueTypeClass>{IntType()});
  TObject Item;
  {
    TMasterController Master({IntType()});
    Master.AddRecord({Variant(Integer(1))});
    auto* Relation = new TcxCustomDataRelation(Master.Relations(), &Item);
    Master.Relations()->Add(Relation);
    Detail->SetMasterRelation(Relation, -1);
    ASSERT_NE(Master.GetDetailLinkObject(0, 0), nullptr);
  }
  EXPECT_EQ(Detail->GetMasterRelation(), nullptr);

  TMasterController Master({IntType()});
  auto* Relation = new TcxCustomDataRelation(Master.Relations(), &Item);
  Master.Relations()->Add(Relation);
  Detail->SetMasterRelation(Relation, -1);
  Detail.reset();
  EXPECT_EQ(Relation->DetailDataController(), nullptr);
}

}  // namespace
