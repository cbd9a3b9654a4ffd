// The node stream: a round trip, and damaged streams that must leave the
// tree as it was.
#include <cstring>
#include <functional>

#include "platform/rtl/streams.h"
#include "treelist_test_control.h"

namespace {

// One node record as the stream holds it.
struct TRecord {
  Integer RecordIndex;
  Integer State;
  Integer ChildCount;  // written when State has tlnsHasChildren
};

std::vector<Integer> Words(const std::vector<TRecord>& ARecords) {
  std::vector<Integer> Result{Integer(cxTreeListStreamVersion), 0};
  for (const TRecord& R : ARecords) {
    Result.push_back(R.RecordIndex);
    Result.push_back(R.State);
    if (R.State & tlnsHasChildren) Result.push_back(R.ChildCount);
    // The root is a plain node, without images.
    if (R.RecordIndex != -1 || &R != &ARecords.front())
      for (Integer Image : {0, 0, -1}) Result.push_back(Image);
  }
  Result[1] = Integer(Result.size() * 4);
  return Result;
}

std::unique_ptr<TMemoryStream> StreamOf(const std::vector<Integer>& AWords) {
  auto Result = std::make_unique<TMemoryStream>();
  if (!AWords.empty()) Result->WriteBuffer(AWords.data(), Integer(AWords.size() * 4));
  Result->SetPosition(0);
  return Result;
}

// a(a1,a2), b, c(c1) over records 0..5, as the stream of a fresh tree.
const std::vector<TRecord> Sound{{-1, 4, 3},   {0, 0x14, 2}, {1, 0x10, 0}, {2, 0x10, 0},
                                 {3, 0x10, 0}, {4, 0x14, 1}, {5, 0x10, 0}};

struct TTree {
  TTestTreeList List;
  TTree() {
    TcxTreeListNode* A = List.Make(nullptr, "a");
    List.Make(A, "a1");
    List.Make(A, "a2");
    List.Make(nullptr, "b");
    List.Make(List.Make(nullptr, "c"), "c1");
  }
  TcxTreeListNode* Root() { return List.Nodes()->Root(); }
};

TEST(TreeListStream, RoundTripRestoresShapeStatesAndImages) {
  TTree T;
  TcxTreeListNode* A = T.Root()->GetFirstChild();
  TcxTreeListNode* B = A->GetNextSibling();
  A->SetExpanded(true);
  B->SetHasChildren(true);
  B->SetStoredImageIndex(tlitStateIndex, 7);
  const std::string Before = Shape(T.Root());
  TMemoryStream Stream;
  T.List.Nodes()->SaveToStream(&Stream);
  // Header, the root (record, state, count), six nodes with images, and the
  // counts of a, b (marked) and c.
  EXPECT_EQ(Stream.Size(), 8 + 12 + 6 * 20 + 3 * 4);

  // Rearrange, then load: the saved tree comes back over the same records.
  A->GetFirstChild()->MoveTo(B, tlamAddChild);
  B->GetNextSibling()->MoveTo(A, tlamAddFirst);
  A->SetExpanded(false);
  ASSERT_NE(Shape(T.Root()), Before);
  Stream.SetPosition(0);
  T.List.Nodes()->LoadFromStream(&Stream);
  EXPECT_EQ(Shape(T.Root()), Before);
  ExpectSound(T.List);
  B = T.Root()->Items(1);
  EXPECT_EQ(TTestTreeList::Name(B), "b");
  EXPECT_TRUE(B->HasChildren());
  EXPECT_EQ(B->StateIndex(), 7);
  EXPECT_EQ(B->ImageIndex(), 0);
  // Loading neither freed nor added records.
  EXPECT_EQ(T.List.DataController()->GetRecordCount(), 6);
}

TEST(TreeListStream, DamagedStreamsRaiseAndLeaveTheTree) {
  struct TCase {
    const char* Name;
    std::function<std::vector<Integer>()> Make;
    const char16_t* Message;
  };
  auto Edited = [](std::function<void(std::vector<TRecord>&)> AEdit) {
    return [AEdit] {
      std::vector<TRecord> R = Sound;
      AEdit(R);
      return Words(R);
    };
  };
  auto Raw = [](std::function<void(std::vector<Integer>&)> AEdit) {
    return [AEdit] {
      std::vector<Integer> W = Words(Sound);
      AEdit(W);
      return W;
    };
  };
  const TCase Cases[] = {
      {"empty", [] { return std::vector<Integer>{}; }, u"Invalid stream format"},
      {"header only half there", [] { return std::vector<Integer>{Integer(cxTreeListStreamVersion)}; },
       u"Invalid stream format"},
      {"other version", Raw([](auto& W) { W[0] = 0x00030001; }), u"Unsupported node stream version"},
      {"size disagrees", Raw([](auto& W) { W[1] += 4; }), u"Invalid stream format"},
      {"cut inside the last record", Raw([](auto& W) {
         W.resize(W.size() - 2);
         W[1] = Integer(W.size() * 4);
       }),
       u"Invalid child count in node stream"},
      {"cut inside the root",
       [] {
         return std::vector<Integer>{Integer(cxTreeListStreamVersion), 12, -1};
       },
       u"Invalid stream format"},
      {"bytes after the tree", Raw([](auto& W) {
         W.push_back(0);
         W[1] = Integer(W.size() * 4);
       }),
       u"Invalid stream format"},
      {"record past the records", Edited([](auto& R) { R[4].RecordIndex = 6; }),
       u"Invalid record index in node stream"},
      {"negative record", Edited([](auto& R) { R[4].RecordIndex = -1; }), u"Invalid record index in node stream"},
      {"record twice", Edited([](auto& R) { R[4].RecordIndex = 0; }), u"Invalid record index in node stream"},
      {"root with a record", Edited([](auto& R) { R[0].RecordIndex = 0; }), u"Invalid record index in node stream"},
      {"a record left without node", Edited([](auto& R) {
         R.pop_back();
         R[5].State = 0x10;
         R[0].ChildCount = 3;
       }),
       u"Invalid record index in node stream"},
      {"negative child count", Edited([](auto& R) { R[1].ChildCount = -1; }), u"Invalid child count in node stream"},
      {"child count past the stream", Edited([](auto& R) { R[0].ChildCount = 0x7FFFFFFF; }),
       u"Invalid child count in node stream"},
      {"fewer children than counted", Edited([](auto& R) { R[0].ChildCount = 4; }), u"Invalid stream format"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TTree T;
    T.Root()->GetFirstChild()->SetExpanded(true);
    const std::string Before = Shape(T.Root());
    auto Stream = StreamOf(Case.Make());
    try {
      T.List.Nodes()->LoadFromStream(Stream.get());
      ADD_FAILURE() << "no error";
    } catch (const EcxTreeList& E) {
      EXPECT_EQ(E.Message, String(Case.Message));
    }
    EXPECT_EQ(Shape(T.Root()), Before);
    ExpectSound(T.List);
  }
}

TEST(TreeListStream, NestingBeyondTheLimitIsRefused) {
  TTestTreeList L;
  const Integer Count = cxTreeListMaxStreamDepth + 5;
  for (Integer I = 0; I < Count; ++I) L.AddNode(nullptr, nullptr, tlamAdd);
  // A chain: every node the only child of the one before.
  std::vector<TRecord> Chain{{-1, 4, 1}};
  for (Integer I = 0; I < Count; ++I) Chain.push_back({I, I + 1 < Count ? 0x14 : 0x10, 1});
  auto Stream = StreamOf(Words(Chain));
  EXPECT_THROW(L.Nodes()->LoadFromStream(Stream.get()), EcxTreeList);
  EXPECT_EQ(L.Nodes()->Root()->Count(), Count);
  ExpectSound(L);

  // The same chain within the limit loads.
  Chain.resize(11);
  Chain.back().State = 0x10;
  TTestTreeList Short;
  for (int I = 0; I < 10; ++I) Short.AddNode(nullptr, nullptr, tlamAdd);
  Stream = StreamOf(Words(Chain));
  Short.Nodes()->LoadFromStream(Stream.get());
  EXPECT_EQ(Short.AbsoluteNodeCount(), 10);
  EXPECT_EQ(Short.Nodes()->Root()->GetFirstChild()->GetNext()->Level(), 1);
  ExpectSound(Short);
}

}  // namespace
