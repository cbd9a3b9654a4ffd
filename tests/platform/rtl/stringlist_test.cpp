#include "platform/rtl/stringlist.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/rtl/encoding.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

namespace {

std::vector<String> Items(const TStrings& list) {
  std::vector<String> result;
  for (Integer i = 0; i < list.Count(); ++i) result.push_back(list[i]);
  return result;
}

void Fill(TStrings& list, std::initializer_list<const char16_t*> items) {
  list.Clear();
  for (const char16_t* s : items) list.Add(s);
}

class TChangeCounter : public TObject {
public:
  int Changing = 0;
  int Change = 0;
  void OnChanging(TObject*) { ++Changing; }
  void OnChange(TObject*) { ++Change; }
  void Hook(TStringList& list) {
    list.OnChanging = MakeEvent(this, &TChangeCounter::OnChanging);
    list.OnChange = MakeEvent(this, &TChangeCounter::OnChange);
  }
};

}  // namespace

TEST(StringList, SortedListsKeepOrderAndFindTheFirstMatch) {
  TStringList list;
  list.SetSorted(true);
  for (const char16_t* s : {u"pear", u"Apple", u"fig", u"apple", u"Banana"}) list.Add(s);
  // Case-insensitive by default: "apple" is a duplicate of "Apple" and ignored.
  EXPECT_EQ(Items(list), (std::vector<String>{u"Apple", u"Banana", u"fig", u"pear"}));
  Integer index = -1;
  EXPECT_TRUE(list.Find(u"FIG", index));
  EXPECT_EQ(index, 2);
  EXPECT_FALSE(list.Find(u"grape", index));
  EXPECT_EQ(index, 3) << "where it would go";
  EXPECT_EQ(list.IndexOf(u"BANANA"), 1);
  EXPECT_EQ(list.IndexOf(u"kiwi"), -1);

  EXPECT_THROW(list.Insert(0, u"x"), EStringListError);
  EXPECT_THROW(list.SetStrings(0, u"x"), EStringListError);
  EXPECT_THROW(list.Move(0, 1), EStringListError);
}

TEST(StringList, DuplicatesInASortedList) {
  struct Case {
    TDuplicates Duplicates;
    std::vector<String> After;
    bool Raises;
  } cases[] = {
      {dupIgnore, {u"a", u"b"}, false},
      {dupAccept, {u"a", u"b", u"b"}, false},
      {dupError, {u"a", u"b"}, true},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(c.Duplicates);
    list.Add(u"b");
    list.Add(u"a");
    if (c.Raises) {
      try {
        list.Add(u"b");
        ADD_FAILURE() << "no exception";
      } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message, u"String list does not allow duplicates");
      }
    } else {
      EXPECT_EQ(list.Add(u"b"), 1) << "the index of the (first) equal string";
    }
    EXPECT_EQ(Items(list), c.After) << c.Duplicates;
  }
  // An unsorted list takes duplicates whatever the setting.
  TStringList plain;
  plain.SetDuplicates(dupError);
  plain.Add(u"x");
  plain.Add(u"x");
  EXPECT_EQ(plain.Count(), 2);
}

TEST(StringList, CaseSensitivityDecidesSearchAndOrder) {
  struct Case {
    bool CaseSensitive;
    Integer IndexOfUpper;
    std::vector<String> SortedOrder;
  } cases[] = {
      {false, 0, {u"a", u"b", u"C", u"É"}},
      {true, -1, {u"C", u"a", u"b", u"É"}},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetCaseSensitive(c.CaseSensitive);
    for (const char16_t* s : {u"b", u"C", u"a", u"É"}) list.Add(s);
    EXPECT_EQ(list.IndexOf(u"B"), c.IndexOfUpper);
    list.SetSorted(true);
    EXPECT_EQ(Items(list), c.SortedOrder);
    EXPECT_EQ(list.IndexOf(u"é"), c.CaseSensitive ? -1 : 3);
  }
  // Changing case sensitivity of a sorted list re-sorts it, so Find stays right.
  TStringList list;
  list.SetDuplicates(dupAccept);
  list.SetSorted(true);
  for (const char16_t* s : {u"b", u"A", u"a", u"B"}) list.Add(s);
  list.SetCaseSensitive(true);
  EXPECT_EQ(Items(list), (std::vector<String>{u"A", u"B", u"a", u"b"}));
  Integer index;
  EXPECT_TRUE(list.Find(u"a", index));
  EXPECT_EQ(index, 2);
}

TEST(StringList, Text) {
  struct Case {
    const char16_t* Input;
    std::vector<String> Lines;
  } cases[] = {
      {u"", {}},
      {u"one", {u"one"}},
      {u"one\r\ntwo\r\n", {u"one", u"two"}},
      {u"one\ntwo", {u"one", u"two"}},
      {u"one\rtwo", {u"one", u"two"}},
      {u"a\n\nb\r\n\r\n", {u"a", u"", u"b", u""}},
      {u"\r\n", {u""}},
      {u"中文\n行", {u"中文", u"行"}},
  };
  TStringList list;
  for (const Case& c : cases) {
    list.SetText(c.Input);
    EXPECT_EQ(Items(list), c.Lines) << StringToUTF8(c.Input);
  }
  Fill(list, {u"a", u"", u"b"});
  EXPECT_EQ(list.Text(), u"a\r\n\r\nb\r\n");
}

TEST(StringList, CommaAndDelimitedText) {
  struct Case {
    std::vector<String> Items;
    const char16_t* Text;
  } roundTrips[] = {
      {{u"a", u"b", u"c"}, u"a,b,c"},
      {{u"two words", u"x"}, u"\"two words\",x"},
      {{u"say \"hi\"", u"a,b"}, u"\"say \"\"hi\"\"\",\"a,b\""},
      {{u""}, u"\"\""},
      {{u"a", u"", u"b"}, u"a,,b"},
      {{}, u""},
  };
  TStringList list;
  for (const Case& c : roundTrips) {
    list.Clear();
    for (const String& s : c.Items) list.Add(s);
    EXPECT_EQ(list.CommaText(), c.Text);
    list.SetCommaText(c.Text);
    EXPECT_EQ(Items(list), c.Items) << StringToUTF8(c.Text);
  }

  struct ReadCase {
    const char16_t* Text;
    std::vector<String> Items;
  } reads[] = {
      {u"  a , b ", {u"a", u"b"}},
      {u"a b", {u"a", u"b"}},  // blanks separate unless the delimiter is strict
      {u"a,", {u"a", u""}},
      {u"\"open", {u"open"}},  // a missing closing quote takes the rest
  };
  for (const ReadCase& c : reads) {
    list.SetCommaText(c.Text);
    EXPECT_EQ(Items(list), c.Items) << StringToUTF8(c.Text);
  }

  list.SetDelimiter(u';');
  list.SetQuoteChar(u'\'');
  list.SetDelimitedText(u"x;'y;z';'it''s'");
  EXPECT_EQ(Items(list), (std::vector<String>{u"x", u"y;z", u"it's"}));
  EXPECT_EQ(list.DelimitedText(), u"x;'y;z';'it''s'");
  EXPECT_EQ(list.CommaText(), u"x,y;z,it's") << "comma text keeps its own delimiter and quote";
  EXPECT_EQ(list.Delimiter(), u';');
  list.SetStrictDelimiter(true);
  list.SetDelimitedText(u"a b; c");
  EXPECT_EQ(Items(list), (std::vector<String>{u"a b", u" c"}));
}

TEST(StringList, NamesAndValues) {
  TStringList list;
  Fill(list, {u"Host=example", u"Port=80", u"Flag", u"Path=a=b", u"=anon"});
  EXPECT_EQ(list.Names(0), u"Host");
  EXPECT_EQ(list.Names(2), u"");
  EXPECT_EQ(list.Values(u"port"), u"80");
  EXPECT_EQ(list.Values(u"Path"), u"a=b");
  EXPECT_EQ(list.Values(u"Missing"), u"");
  EXPECT_EQ(list.ValueFromIndex(2), u"") << "a line without a separator has no value";
  EXPECT_EQ(list.ValueFromIndex(4), u"anon");
  EXPECT_EQ(list.IndexOfName(u"PATH"), 3);
  EXPECT_EQ(list.IndexOfName(u"Flag"), -1);

  list.SetValues(u"Port", u"8080");
  list.SetValues(u"User", u"me");
  list.SetValues(u"Host", u"");
  EXPECT_EQ(Items(list), (std::vector<String>{u"Port=8080", u"Flag", u"Path=a=b", u"=anon", u"User=me"}));
  list.SetValueFromIndex(1, u"on");
  EXPECT_EQ(list[1], u"=on");
  list.SetNameValueSeparator(u':');
  list.Add(u"Key:v");
  EXPECT_EQ(list.Values(u"Key"), u"v");
}

TEST(StringList, ChangeEventsFireOncePerChangeAndOncePerBracket) {
  TStringList list;
  TChangeCounter counter;
  counter.Hook(list);
  list.Add(u"a");
  list.Add(u"b");
  list.Exchange(0, 1);
  list.Delete(0);
  EXPECT_EQ(counter.Changing, 4);
  EXPECT_EQ(counter.Change, 4);

  counter.Changing = counter.Change = 0;
  list.BeginUpdate();
  list.BeginUpdate();
  list.Add(u"c");
  list.SetText(u"x\ny\nz");
  list.EndUpdate();
  EXPECT_EQ(counter.Change, 0);
  list.EndUpdate();
  EXPECT_EQ(counter.Changing, 1);
  EXPECT_EQ(counter.Change, 1);

  // Whole-list operations are one change each.
  counter.Changing = counter.Change = 0;
  list.SetCommaText(u"p,q,r");
  list.Sort();
  list.Clear();
  list.Clear();  // already empty: no change
  EXPECT_EQ(counter.Change, 3);
  EXPECT_EQ(counter.Changing, 3);
}

TEST(StringList, AFailedBulkChangeClosesItsUpdateBracket) {
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(dupError);
  list.SetDelimiter(u';');
  TChangeCounter counter;
  counter.Hook(list);
  EXPECT_THROW(list.SetCommaText(u"a,b,a"), EStringListError);
  EXPECT_EQ(list.UpdateCount(), 0);
  EXPECT_EQ(counter.Change, 1) << "the bracket closed with its change notice";
  list.Add(u"z");
  EXPECT_EQ(counter.Change, 2) << "later changes are still told";
  EXPECT_EQ(list.Delimiter(), u';') << "the list's own delimiter is back";
}

TEST(StringList, ObjectsMovesAssignAndOwnership) {
  TObject o1, o2;
  TStringList list;
  list.AddObject(u"one", &o1);
  list.AddObject(u"two", &o2);
  list.Add(u"three");
  EXPECT_EQ(list.IndexOfObject(&o2), 1);
  list.Move(0, 2);
  EXPECT_EQ(Items(list), (std::vector<String>{u"two", u"three", u"one"}));
  EXPECT_EQ(list.Objects(2), &o1);
  list.Exchange(0, 2);
  EXPECT_EQ(list.Objects(0), &o1);

  TStringList copy;
  copy.Add(u"stale");
  copy.Assign(&list);
  EXPECT_TRUE(copy.Equals(&list));
  EXPECT_EQ(copy.Objects(0), &o1);

  list.CustomSort([](TStringList* l, Integer a, Integer b) {
    return static_cast<Integer>(l->Strings(b).size()) - static_cast<Integer>(l->Strings(a).size());
  });
  EXPECT_EQ(list[0], u"three") << "longest first";

  int freed = 0;
  struct TTracked : TObject {
    int* Counter;
    explicit TTracked(int* c) : Counter(c) {}
    ~TTracked() override { ++*Counter; }
  };
  {
    TStringList owning(true);
    owning.AddObject(u"a", new TTracked(&freed));
    owning.AddObject(u"b", new TTracked(&freed));
    owning.AddObject(u"c", new TTracked(&freed));
    owning.Delete(0);
    EXPECT_EQ(freed, 1);
    owning.Move(0, 1);  // moving never frees
    EXPECT_EQ(freed, 1);
  }
  EXPECT_EQ(freed, 3);
}

TEST(StringList, IndexErrors) {
  TStringList list;
  list.Add(u"a");
  try {
    list.Strings(1);
    FAIL() << "no exception";
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message, u"List index out of bounds (1)");
  }
  EXPECT_THROW(list.Delete(-1), EStringListError);
  EXPECT_THROW(list.Insert(2, u"x"), EStringListError);
  EXPECT_THROW(list.Objects(5), EStringListError);
  EXPECT_THROW(list.Exchange(0, 1), EListError);
}

TEST(StringList, FilesAndStreamsAreUtf8) {
  std::string path = ::testing::TempDir() + "korvane_stringlist_test.txt";
  TStringList list;
  Fill(list, {u"名称", u"second line"});
  list.SaveToFile(UTF8ToString(path));

  TMemoryStream raw;
  raw.LoadFromFile(UTF8ToString(path));
  std::string bytes(static_cast<const char*>(raw.Memory()), static_cast<size_t>(raw.Size()));
  EXPECT_EQ(bytes, "\xE5\x90\x8D\xE7\xA7\xB0\r\nsecond line\r\n");

  TStringList loaded;
  loaded.LoadFromFile(UTF8ToString(path));
  EXPECT_TRUE(loaded.Equals(&list));
  std::remove(path.c_str());

  // A byte order mark is skipped; reading starts at the stream's position.
  TStringStream stream("skip\xEF\xBB\xBFu\nv");
  stream.SetPosition(4);
  loaded.LoadFromStream(&stream);
  EXPECT_EQ(Items(loaded), (std::vector<String>{u"u", u"v"}));

  EXPECT_THROW(loaded.LoadFromFile(u"/nonexistent/dir/file.txt"), EFOpenError);
  EXPECT_EQ(loaded.Count(), 2) << "a failed load keeps the old lines";
}

namespace {

// The least a descendant must supply; everything else comes from TStrings.
class TPlainStrings : public TStrings {
public:
  std::vector<String> Lines;
  int Updates = 0;
  Integer Count() const override { return static_cast<Integer>(Lines.size()); }
  String Strings(Integer Index) const override {
    if (Index < 0 || Index >= Count()) Error(Index);
    return Lines[Index];
  }
  void Insert(Integer Index, const String& S) override {
    if (Index < 0 || Index > Count()) Error(Index);
    Lines.insert(Lines.begin() + Index, S);
  }
  void Delete(Integer Index) override {
    if (Index < 0 || Index >= Count()) Error(Index);
    Lines.erase(Lines.begin() + Index);
  }
  void Clear() override { Lines.clear(); }

protected:
  void SetUpdateState(bool Updating) override {
    if (!Updating) ++Updates;
  }
};

}  // namespace

TEST(Strings, BaseOperationsWorkOnAnyDescendant) {
  TPlainStrings lines;
  lines.SetText(u"a=1\nb=2\nc");
  EXPECT_EQ(lines.Updates, 1) << "SetText is one bracket";
  lines.SetStrings(2, u"C");
  lines.Move(0, 2);
  lines.Exchange(0, 1);
  EXPECT_EQ(lines.Lines, (std::vector<String>{u"C", u"b=2", u"a=1"}));
  EXPECT_EQ(lines.IndexOf(u"c"), 0) << "the base compares without case";
  lines.SetValues(u"B", u"3");
  EXPECT_EQ(lines.Values(u"b"), u"3");
  EXPECT_EQ(lines.Text(), u"C\r\nB=3\r\na=1\r\n") << "the line takes the name as given";

  TStringList source;
  source.SetCommaText(u"x,y");
  lines.Assign(&source);
  EXPECT_EQ(lines.Lines, (std::vector<String>{u"x", u"y"}));
  source.Assign(&lines);
  EXPECT_TRUE(source.Equals(&lines));
  EXPECT_THROW(lines.Move(0, 5), EStringListError);
  EXPECT_EQ(lines.Lines, (std::vector<String>{u"x", u"y"})) << "a refused move loses nothing";
}
