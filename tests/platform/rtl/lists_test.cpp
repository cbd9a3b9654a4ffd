#include "platform/rtl/lists.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/collection.h"
#include "platform/rtl/exceptions.h"

namespace {

void* P(intptr_t n) { return reinterpret_cast<void*>(n); }

std::vector<intptr_t> Values(const TList& list) {
  std::vector<intptr_t> result;
  for (void* p : list) result.push_back(reinterpret_cast<intptr_t>(p));
  return result;
}

}  // namespace

TEST(List, EditingOperations) {
  TList list;
  for (intptr_t i = 1; i <= 4; ++i) list.Add(P(i));
  list.Insert(0, P(9));      // 9 1 2 3 4
  list.Insert(5, P(8));      // at the end: 9 1 2 3 4 8
  list.Delete(1);            // 9 2 3 4 8
  EXPECT_EQ(list.Remove(P(3)), 2);  // 9 2 4 8
  EXPECT_EQ(list.Remove(P(77)), -1);
  list.Exchange(0, 3);       // 8 2 4 9
  list.Move(0, 2);           // 2 4 8 9
  EXPECT_EQ(Values(list), (std::vector<intptr_t>{2, 4, 8, 9}));
  EXPECT_EQ(list.Extract(P(4)), P(4));
  EXPECT_EQ(list.Extract(P(4)), nullptr);
  EXPECT_EQ(list.First(), P(2));
  EXPECT_EQ(list.Last(), P(9));
  EXPECT_EQ(list.IndexOf(P(9)), 2);

  list.SetCount(5);  // adds nullptr items
  list.SetItems(0, nullptr);
  list.Pack();
  EXPECT_EQ(Values(list), (std::vector<intptr_t>{8, 9}));
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(List, IndexErrorsNameTheIndex) {
  TList list;
  list.Add(P(1));
  list.Add(P(2));
  struct Case {
    const char* What;
    std::function<void()> Action;
    const char16_t* Message;
  } cases[] = {
      {"Items(-1)", [&] { list.Items(-1); }, u"List index out of bounds (-1)"},
      {"Items(2)", [&] { list.Items(2); }, u"List index out of bounds (2)"},
      {"Delete(2)", [&] { list.Delete(2); }, u"List index out of bounds (2)"},
      {"Insert(3)", [&] { list.Insert(3, nullptr); }, u"List index out of bounds (3)"},
      {"Exchange(0,5)", [&] { list.Exchange(0, 5); }, u"List index out of bounds (5)"},
      {"Move(4,0)", [&] { list.Move(4, 0); }, u"List index out of bounds (4)"},
      {"SetItems(-3)", [&] { list.SetItems(-3, nullptr); }, u"List index out of bounds (-3)"},
      {"SetCount(-1)", [&] { list.SetCount(-1); }, u"List count out of bounds (-1)"},
      {"SetCapacity(1)", [&] { list.SetCapacity(1); }, u"List capacity out of bounds (1)"},
  };
  for (const Case& c : cases) {
    try {
      c.Action();
      ADD_FAILURE() << c.What << ": no exception";
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message, c.Message) << c.What;
    }
  }
  EXPECT_EQ(Values(list), (std::vector<intptr_t>{1, 2})) << "failed calls change nothing";
  TList empty;
  EXPECT_THROW(empty.First(), EListError);
  EXPECT_THROW(empty.Last(), EListError);
}

TEST(List, SortKeepsEqualItemsInOrderAndCapacityGrows) {
  // Sort by the tens digit only: items with equal tens keep their order.
  TList list;
  for (intptr_t v : {31, 12, 35, 10, 33, 17}) list.Add(P(v));
  list.Sort([](void* a, void* b) {
    return static_cast<int>(reinterpret_cast<intptr_t>(a) / 10 - reinterpret_cast<intptr_t>(b) / 10);
  });
  EXPECT_EQ(Values(list), (std::vector<intptr_t>{12, 10, 17, 31, 35, 33}));

  TList grow;
  grow.Expand();
  EXPECT_GE(grow.Capacity(), 4);
  grow.SetCapacity(100);
  EXPECT_GE(grow.Capacity(), 100);
}

namespace {

class TCounted : public TObject {
public:
  explicit TCounted(std::vector<int>* AFreed, int AId) : Freed(AFreed), Id(AId) {}
  ~TCounted() override { Freed->push_back(Id); }
  std::vector<int>* Freed;
  int Id;
};

}  // namespace

TEST(ObjectList, OwnedObjectsAreFreedWhenDeletedClearedOrReplacedButNotExtracted) {
  std::vector<int> freed;
  {
    TObjectList list;  // owns by default
    for (int i = 1; i <= 5; ++i) list.Add(new TCounted(&freed, i));
    list.Delete(0);
    EXPECT_EQ(freed, std::vector<int>{1});
    TObject* kept = list.Extract(list[0]);
    list.SetItems(0, new TCounted(&freed, 6));  // replaces 3
    EXPECT_EQ(freed, (std::vector<int>{1, 3}));
    list.Clear();  // the last first
    EXPECT_EQ(freed, (std::vector<int>{1, 3, 5, 4, 6}));
    list.Add(kept);
  }
  EXPECT_EQ(freed, (std::vector<int>{1, 3, 5, 4, 6, 2})) << "the list's destructor frees what is left";

  freed.clear();
  TCounted survivor(&freed, 7);
  {
    TObjectList notOwning(false);
    notOwning.Add(&survivor);
  }
  EXPECT_TRUE(freed.empty());
}

// ---- Collections -----------------------------------------------------------------------

namespace {

class TColumn : public TCollectionItem {
  KORVANE_CLASS(TColumn, TCollectionItem)
  using TCollectionItem::TCollectionItem;
  ~TColumn() override {
    if (Freed) Freed->push_back(Caption);
  }
  void Assign(TPersistent* Source) override {
    if (auto* c = dynamic_cast<TColumn*>(Source))
      SetCaption(c->Caption);
    else
      TCollectionItem::Assign(Source);
  }
  void SetCaption(const std::string& Value) {
    Caption = Value;
    Changed(false);
  }
  std::string Caption;
  std::vector<std::string>* Freed = nullptr;
};

class TColumns : public TOwnedCollection {
  KORVANE_CLASS(TColumns, TOwnedCollection)
  explicit TColumns(TPersistent* AOwner = nullptr) : TOwnedCollection(AOwner, TColumn::StaticClass()) {}
  TColumn* Add() { return static_cast<TColumn*>(TCollection::Add()); }
  TColumn* operator[](Integer Index) const { return static_cast<TColumn*>(Items(Index)); }

  std::vector<TCollectionItem*> Updates;
  std::vector<std::pair<TCollectionItem*, TCollectionNotification>> Notices;

protected:
  void Update(TCollectionItem* Item) override { Updates.push_back(Item); }
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override { Notices.push_back({Item, Action}); }
};

std::vector<std::string> Captions(const TColumns& c) {
  std::vector<std::string> result;
  for (Integer i = 0; i < c.Count(); ++i) result.push_back(c[i]->Caption);
  return result;
}

}  // namespace

TEST(Collection, IdsAreUniqueAndIncreasing) {
  TColumns columns;
  TColumn* a = columns.Add();
  TColumn* b = columns.Add();
  EXPECT_EQ(a->ID(), 0);
  EXPECT_EQ(b->ID(), 1);
  columns.Delete(0);
  TColumn* c = columns.Add();
  EXPECT_EQ(c->ID(), 2) << "an ID is never given twice";
  TColumn* d = static_cast<TColumn*>(columns.Insert(0));
  EXPECT_EQ(d->ID(), 3);
  EXPECT_EQ(d->Index(), 0);
  EXPECT_EQ(columns.FindItemID(2), c);
  EXPECT_EQ(columns.FindItemID(0), nullptr);
  EXPECT_EQ(d->Collection(), &columns);
  EXPECT_EQ(d->GetOwner(), &columns);
  EXPECT_THROW(columns.Items(3), EListError);
  EXPECT_THROW(columns.Delete(-1), EListError);
}

TEST(Collection, SettingIndexMovesTheItem) {
  TColumns columns;
  for (const char* s : {"a", "b", "c", "d"}) columns.Add()->Caption = s;
  struct Case {
    int From, To;
    std::vector<std::string> After;
  } cases[] = {
      {0, 2, {"b", "c", "a", "d"}},
      {3, 0, {"d", "b", "c", "a"}},
      {1, 99, {"d", "c", "a", "b"}},  // clamped to the last place
      {2, -4, {"a", "d", "c", "b"}},  // clamped to the first
  };
  for (const Case& c : cases) {
    columns.Updates.clear();
    columns[c.From]->SetIndex(c.To);
    EXPECT_EQ(Captions(columns), c.After) << c.From << " -> " << c.To;
    EXPECT_EQ(columns.Updates, std::vector<TCollectionItem*>{nullptr}) << "a move changes all items";
  }
}

TEST(Collection, NoticesAndUpdateBrackets) {
  TColumns columns;
  TColumn* a = columns.Add();
  EXPECT_EQ(columns.Notices.size(), 1u);
  EXPECT_EQ(columns.Notices[0].second, cnAdded);
  a->SetCaption("x");
  EXPECT_EQ(columns.Updates.back(), a) << "one item changed";

  columns.Updates.clear();
  columns.BeginUpdate();
  columns.BeginUpdate();
  columns.Add()->SetCaption("y");
  a->SetCaption("z");
  columns.Delete(0);
  columns.EndUpdate();
  EXPECT_TRUE(columns.Updates.empty()) << "still inside the outer bracket";
  columns.EndUpdate();
  EXPECT_EQ(columns.Updates, std::vector<TCollectionItem*>{nullptr}) << "one update at the end";
  columns.EndUpdate();  // unbalanced: ignored
  EXPECT_EQ(columns.UpdateCount(), 0);

  columns.Notices.clear();
  columns.Updates.clear();
  TColumn* b = columns[0];
  columns.Delete(0);
  ASSERT_EQ(columns.Notices.size(), 2u);
  EXPECT_EQ(columns.Notices[0], std::make_pair(static_cast<TCollectionItem*>(b), cnDeleting));
  EXPECT_EQ(columns.Notices[1].second, cnExtracting);
  EXPECT_EQ(columns.Updates, std::vector<TCollectionItem*>{nullptr});
}

TEST(Collection, ItemsAreFreedLastFirstAndFreeingAnItemRemovesIt) {
  std::vector<std::string> freed;
  auto* columns = new TColumns;
  for (const char* s : {"a", "b", "c", "d"}) {
    TColumn* c = columns->Add();
    c->Caption = s;
    c->Freed = &freed;
  }
  (*columns)[1]->Free();
  EXPECT_EQ(Captions(*columns), (std::vector<std::string>{"a", "c", "d"}));
  columns->Updates.clear();
  columns->Clear();
  EXPECT_EQ(freed, (std::vector<std::string>{"b", "d", "c", "a"}));
  EXPECT_EQ(columns->Updates.size(), 1u) << "one update for the whole clear";

  for (const char* s : {"e", "f"}) {
    TColumn* c = columns->Add();
    c->Caption = s;
    c->Freed = &freed;
  }
  delete columns;
  EXPECT_EQ(freed, (std::vector<std::string>{"b", "d", "c", "a", "f", "e"}));
}

TEST(Collection, AssignCopiesItemsAndMovingBetweenCollections) {
  TColumns source, dest;
  for (const char* s : {"a", "b"}) source.Add()->Caption = s;
  dest.Add()->Caption = "old";
  dest.Updates.clear();
  dest.Assign(&source);
  EXPECT_EQ(Captions(dest), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(dest.Updates, std::vector<TCollectionItem*>{nullptr});

  TColumn* moved = source[0];
  moved->SetCollection(&dest);
  EXPECT_EQ(Captions(source), std::vector<std::string>{"b"});
  EXPECT_EQ(Captions(dest), (std::vector<std::string>{"a", "b", "a"}));
  EXPECT_EQ(moved->Index(), 2);
  moved->SetCollection(nullptr);
  EXPECT_EQ(moved->Index(), -1);
  delete moved;

  EXPECT_THROW(dest.Assign(nullptr), EConvertError);
}

TEST(Collection, NamePathAndOwner) {
  TPersistent owner;
  TColumns columns(&owner);
  columns.Add();
  columns.Add();
  EXPECT_EQ(columns.GetOwner(), &owner);
  EXPECT_EQ(columns[1]->GetNamePath(), u"TPersistent.TColumns[1]");
  EXPECT_EQ(columns[1]->DisplayName(), u"TColumn");
}
