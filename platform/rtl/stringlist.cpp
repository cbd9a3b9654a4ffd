#include "platform/rtl/stringlist.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <tuple>
#include <utility>

#include "platform/rtl/encoding.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sysutils.h"

namespace {

const char16_t* const SSortedListError = u"Operation not allowed on sorted list";
const char16_t* const SDuplicateString = u"String list does not allow duplicates";

bool IsBlank(Char c) { return c >= 1 && c <= u' '; }

// Runs Work inside one update bracket, closed also when Work raises.
template <class F>
void InUpdate(TStrings* Strings, F Work) {
  Strings->BeginUpdate();
  try {
    Work();
  } catch (...) {
    Strings->EndUpdate();
    throw;
  }
  Strings->EndUpdate();
}

}  // namespace

// ---- TStrings -------------------------------------------------------------------------

TStrings::~TStrings() = default;

void TStrings::Error(Integer Index) const {
  throw EStringListError(u"List index out of bounds (" + IntToStr(Index) + u")");
}

void TStrings::SetStrings(Integer Index, const String& S) {
  TObject* object = Objects(Index);
  InUpdate(this, [&] {
    Delete(Index);
    InsertObject(Index, S, object);
  });
}

TObject* TStrings::Objects(Integer) const { return nullptr; }

void TStrings::SetObjects(Integer, TObject*) {}

Integer TStrings::Add(const String& S) {
  Integer index = Count();
  Insert(index, S);
  return index;
}

Integer TStrings::AddObject(const String& S, TObject* AObject) {
  Integer index = Add(S);
  SetObjects(index, AObject);
  return index;
}

void TStrings::InsertObject(Integer Index, const String& S, TObject* AObject) {
  Insert(Index, S);
  SetObjects(Index, AObject);
}

void TStrings::AddStrings(const TStrings* AStrings) {
  if (!AStrings) return;
  InUpdate(this, [&] {
    for (Integer i = 0; i < AStrings->Count(); ++i) AddObject(AStrings->Strings(i), AStrings->Objects(i));
  });
}

void TStrings::Exchange(Integer Index1, Integer Index2) {
  String s1 = Strings(Index1), s2 = Strings(Index2);
  TObject* o1 = Objects(Index1);
  TObject* o2 = Objects(Index2);
  InUpdate(this, [&] {
    SetStrings(Index1, s2);
    SetObjects(Index1, o2);
    SetStrings(Index2, s1);
    SetObjects(Index2, o1);
  });
}

void TStrings::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  // Both places are checked before the line leaves, so a bad target loses nothing.
  if (NewIndex < 0 || NewIndex >= Count()) Error(NewIndex);
  String s = Strings(CurIndex);
  TObject* object = Objects(CurIndex);
  InUpdate(this, [&] {
    Delete(CurIndex);
    InsertObject(NewIndex, s, object);
  });
}

void TStrings::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TStrings*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  if (source == this) return;
  InUpdate(this, [&] {
    Clear();
    AddStrings(source);
  });
}

Integer TStrings::CompareStrings(const String& S1, const String& S2) const { return AnsiCompareText(S1, S2); }

Integer TStrings::IndexOf(const String& S) const {
  for (Integer i = 0; i < Count(); ++i)
    if (CompareStrings(Strings(i), S) == 0) return i;
  return -1;
}

Integer TStrings::IndexOfName(const String& Name) const {
  for (Integer i = 0; i < Count(); ++i) {
    String s = Strings(i);
    size_t p = s.find(FNameValueSeparator);
    if (p != String::npos && CompareStrings(s.substr(0, p), Name) == 0) return i;
  }
  return -1;
}

Integer TStrings::IndexOfObject(TObject* AObject) const {
  for (Integer i = 0; i < Count(); ++i)
    if (Objects(i) == AObject) return i;
  return -1;
}

bool TStrings::Equals(const TStrings* AStrings) const {
  if (!AStrings || AStrings->Count() != Count()) return false;
  for (Integer i = 0; i < Count(); ++i)
    if (Strings(i) != AStrings->Strings(i)) return false;
  return true;
}

String TStrings::Names(Integer Index) const {
  String s = Strings(Index);
  size_t p = s.find(FNameValueSeparator);
  return p == String::npos ? String() : s.substr(0, p);
}

String TStrings::Values(const String& Name) const {
  Integer index = IndexOfName(Name);
  return index < 0 ? String() : ValueFromIndex(index);
}

void TStrings::SetValues(const String& Name, const String& Value) {
  Integer index = IndexOfName(Name);
  if (!Value.empty()) {
    if (index < 0) index = Add(String());
    SetStrings(index, Name + FNameValueSeparator + Value);
  } else if (index >= 0) {
    Delete(index);
  }
}

String TStrings::ValueFromIndex(Integer Index) const {
  String s = Strings(Index);
  size_t p = s.find(FNameValueSeparator);
  return p == String::npos ? String() : s.substr(p + 1);
}

void TStrings::SetValueFromIndex(Integer Index, const String& Value) {
  if (!Value.empty()) {
    if (Index < 0) Index = Add(String());
    SetStrings(Index, Names(Index) + FNameValueSeparator + Value);
  } else if (Index >= 0) {
    Delete(Index);
  }
}

String TStrings::Text() const {
  String result;
  for (Integer i = 0; i < Count(); ++i) result += Strings(i) + FLineBreak;
  return result;
}

void TStrings::SetText(const String& Value) {
  InUpdate(this, [&] {
    Clear();
    size_t start = 0;
    while (start < Value.size()) {
      size_t end = Value.find_first_of(u"\r\n", start);
      if (end == String::npos) {
        Add(Value.substr(start));
        break;
      }
      Add(Value.substr(start, end - start));
      start = end + ((Value[end] == u'\r' && end + 1 < Value.size() && Value[end + 1] == u'\n') ? 2 : 1);
    }
  });
}

String TStrings::CommaText() const {
  TStrings* self = const_cast<TStrings*>(this);
  auto saved = std::make_tuple(FDelimiter, FQuoteChar, FStrictDelimiter);
  self->FDelimiter = u',';
  self->FQuoteChar = u'"';
  self->FStrictDelimiter = false;
  String result = DelimitedText();
  std::tie(self->FDelimiter, self->FQuoteChar, self->FStrictDelimiter) = saved;
  return result;
}

void TStrings::SetCommaText(const String& Value) {
  auto saved = std::make_tuple(FDelimiter, FQuoteChar, FStrictDelimiter);
  FDelimiter = u',';
  FQuoteChar = u'"';
  FStrictDelimiter = false;
  try {
    SetDelimitedText(Value);
  } catch (...) {
    std::tie(FDelimiter, FQuoteChar, FStrictDelimiter) = saved;
    throw;
  }
  std::tie(FDelimiter, FQuoteChar, FStrictDelimiter) = saved;
}

String TStrings::DelimitedText() const {
  if (Count() == 1 && Strings(0).empty()) return String(2, FQuoteChar);
  String result;
  for (Integer i = 0; i < Count(); ++i) {
    String s = Strings(i);
    bool quote = std::any_of(s.begin(), s.end(), [&](Char c) {
      return c == FQuoteChar || c == FDelimiter || (!FStrictDelimiter && (c == 0 || IsBlank(c)));
    });
    if (i > 0) result += FDelimiter;
    result += quote ? AnsiQuotedStr(s, FQuoteChar) : s;
  }
  return result;
}

void TStrings::SetDelimitedText(const String& Value) {
  auto separates = [&](Char c) { return c == FDelimiter || (!FStrictDelimiter && IsBlank(c)); };
  auto skipBlanks = [&](size_t& p) {
    if (!FStrictDelimiter)
      while (p < Value.size() && IsBlank(Value[p])) ++p;
  };
  InUpdate(this, [&] {
    Clear();
    size_t p = 0;
    skipBlanks(p);
    while (p < Value.size()) {
      String item;
      if (Value[p] == FQuoteChar) {
        // A quoted item: doubled quotes stand for one; a missing closing
        // quote takes the rest of the text.
        for (++p; p < Value.size(); ++p) {
          if (Value[p] == FQuoteChar) {
            if (p + 1 < Value.size() && Value[p + 1] == FQuoteChar)
              ++p;
            else {
              ++p;
              break;
            }
          }
          item += Value[p];
        }
      } else {
        size_t start = p;
        while (p < Value.size() && !separates(Value[p])) ++p;
        item = Value.substr(start, p - start);
      }
      Add(item);
      skipBlanks(p);
      if (p < Value.size() && Value[p] == FDelimiter) {
        ++p;
        if (p == Value.size()) Add(String());  // a trailing delimiter ends with an empty item
        skipBlanks(p);
      }
    }
  });
}

void TStrings::LoadFromFile(const String& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TStrings::SaveToFile(const String& FileName) const {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

void TStrings::LoadFromStream(TStream* Stream) {
  Int64 size = Stream->Size() - Stream->Position();
  if (size > std::numeric_limits<Integer>::max()) throw EReadError(u"Stream read error");
  std::string bytes(static_cast<size_t>(std::max<Int64>(size, 0)), '\0');
  Stream->ReadBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
  std::string_view text(bytes);
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  SetText(UTF8ToString(text));
}

void TStrings::SaveToStream(TStream* Stream) const {
  std::string bytes = StringToUTF8(Text());
  Stream->WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
}

void TStrings::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TStrings::EndUpdate() {
  if (FUpdateCount == 0) return;  // unbalanced: nothing to close
  --FUpdateCount;
  if (FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

// ---- TStringList ----------------------------------------------------------------------

TStringList::~TStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
  if (FOwnsObjects)
    for (auto it = FList.rbegin(); it != FList.rend(); ++it)
      if (it->FObject) it->FObject->Free();
}

void TStringList::CheckIndex(Integer Index) const {
  if (Index < 0 || Index >= Count()) Error(Index);
}

String TStringList::Strings(Integer Index) const {
  CheckIndex(Index);
  return FList[Index].FString;
}

void TStringList::SetStrings(Integer Index, const String& S) {
  if (FSorted) throw EStringListError(SSortedListError);
  CheckIndex(Index);
  Changing();
  FList[Index].FString = S;
  Changed();
}

TObject* TStringList::Objects(Integer Index) const {
  CheckIndex(Index);
  return FList[Index].FObject;
}

void TStringList::SetObjects(Integer Index, TObject* AObject) {
  CheckIndex(Index);
  Changing();
  FList[Index].FObject = AObject;
  Changed();
}

Integer TStringList::Add(const String& S) { return AddObject(S, nullptr); }

Integer TStringList::AddObject(const String& S, TObject* AObject) {
  Integer index = Count();
  if (FSorted && Find(S, index)) {
    if (FDuplicates == dupIgnore) return index;
    if (FDuplicates == dupError) throw EStringListError(SDuplicateString);
  }
  InsertItem(index, S, AObject);
  return index;
}

void TStringList::Insert(Integer Index, const String& S) { InsertObject(Index, S, nullptr); }

void TStringList::InsertObject(Integer Index, const String& S, TObject* AObject) {
  if (FSorted) throw EStringListError(SSortedListError);
  if (Index < 0 || Index > Count()) Error(Index);
  InsertItem(Index, S, AObject);
}

void TStringList::InsertItem(Integer Index, const String& S, TObject* AObject) {
  Changing();
  FList.insert(FList.begin() + Index, TStringItem{S, AObject});
  Changed();
}

void TStringList::Delete(Integer Index) {
  CheckIndex(Index);
  Changing();
  TObject* object = FList[Index].FObject;
  FList.erase(FList.begin() + Index);
  if (FOwnsObjects && object) object->Free();
  Changed();
}

void TStringList::Clear() {
  if (FList.empty()) return;
  Changing();
  std::vector<TStringItem> items;
  items.swap(FList);
  if (FOwnsObjects)
    for (auto it = items.rbegin(); it != items.rend(); ++it)
      if (it->FObject) it->FObject->Free();
  Changed();
}

void TStringList::Exchange(Integer Index1, Integer Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  Changing();
  std::swap(FList[Index1], FList[Index2]);
  Changed();
}

void TStringList::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  if (FSorted) throw EStringListError(SSortedListError);
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  Changing();
  TStringItem item = std::move(FList[CurIndex]);
  FList.erase(FList.begin() + CurIndex);
  FList.insert(FList.begin() + NewIndex, std::move(item));
  Changed();
}

Integer TStringList::IndexOf(const String& S) const {
  if (!FSorted) return TStrings::IndexOf(S);
  Integer index;
  return Find(S, index) ? index : -1;
}

bool TStringList::Find(const String& S, Integer& Index) const {
  Integer low = 0, high = Count();
  while (low < high) {
    Integer mid = low + (high - low) / 2;
    if (CompareStrings(FList[mid].FString, S) < 0)
      low = mid + 1;
    else
      high = mid;
  }
  Index = low;
  return low < Count() && CompareStrings(FList[low].FString, S) == 0;
}

void TStringList::Sort() {
  SortBy([](TStringList* List, Integer Index1, Integer Index2) {
    return List->CompareStrings(List->FList[Index1].FString, List->FList[Index2].FString);
  });
}

void TStringList::CustomSort(TStringListSortCompare Compare) {
  if (!FSorted && Compare) SortBy(Compare);
}

void TStringList::SortBy(TStringListSortCompare Compare) {
  if (Count() < 2) return;
  Changing();
  QuickSort(0, Count() - 1, Compare);
  Changed();
}

void TStringList::QuickSort(Integer L, Integer R, TStringListSortCompare Compare) {
  // Hoare partition around the item that starts in the middle; its index is
  // followed as items are exchanged. The scans stop at the bounds even when
  // Compare is inconsistent. The smaller part is sorted by recursion, the
  // larger one by the loop, so the depth stays logarithmic.
  while (L < R) {
    Integer i = L, j = R, p = L + (R - L) / 2;
    while (i <= j) {
      while (i < R && Compare(this, i, p) < 0) ++i;
      while (j > L && Compare(this, j, p) > 0) --j;
      if (i <= j) {
        if (i != j) std::swap(FList[i], FList[j]);
        if (p == i)
          p = j;
        else if (p == j)
          p = i;
        ++i;
        --j;
      }
    }
    if (j - L < R - i) {
      QuickSort(L, j, Compare);
      L = i;
    } else {
      QuickSort(i, R, Compare);
      R = j;
    }
  }
}

void TStringList::SetSorted(bool Value) {
  if (Value == FSorted) return;
  if (Value) Sort();
  FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (Value == FCaseSensitive) return;
  FCaseSensitive = Value;
  if (FSorted) Sort();  // the order depends on the compare
}

Integer TStringList::CompareStrings(const String& S1, const String& S2) const {
  return FCaseSensitive ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}

void TStringList::Changing() {
  if (UpdateCount() == 0) OnChanging(this);
}

void TStringList::Changed() {
  if (UpdateCount() == 0) OnChange(this);
}

void TStringList::SetUpdateState(bool Updating) {
  if (Updating)
    Changing();
  else
    Changed();
}
