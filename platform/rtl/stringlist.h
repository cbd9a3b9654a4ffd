#pragma once
// TStrings, the abstract list of strings with an object per string, and
// TStringList, its in-memory form with sorting, duplicate control and change
// events. Indices run from 0; an index outside raises EStringListError
// "List index out of bounds (<index>)".
#include <vector>

#include "platform/rtl/events.h"
#include "platform/rtl/object.h"

class TStream;

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
  KORVANE_CLASS(TStrings, TPersistent)

  TStrings() = default;
  ~TStrings() override;

  // ---- Access (implemented by descendants) ----
  virtual Integer Count() const = 0;
  virtual String Strings(Integer Index) const = 0;
  virtual void SetStrings(Integer Index, const String& S);
  virtual TObject* Objects(Integer Index) const;
  virtual void SetObjects(Integer Index, TObject* AObject);
  String operator[](Integer Index) const { return Strings(Index); }

  // ---- Changing ----
  virtual Integer Add(const String& S);
  virtual Integer AddObject(const String& S, TObject* AObject);
  virtual void Insert(Integer Index, const String& S) = 0;
  virtual void InsertObject(Integer Index, const String& S, TObject* AObject);
  virtual void Delete(Integer Index) = 0;
  virtual void Clear() = 0;
  void Append(const String& S) { Add(S); }
  virtual void AddStrings(const TStrings* AStrings);
  virtual void Exchange(Integer Index1, Integer Index2);
  virtual void Move(Integer CurIndex, Integer NewIndex);
  void Assign(TPersistent* Source) override;

  // ---- Searching ----
  // The compares follow CaseSensitive in TStringList; the base compares
  // without regard to case.
  virtual Integer IndexOf(const String& S) const;
  Integer IndexOfName(const String& Name) const;
  Integer IndexOfObject(TObject* AObject) const;
  bool Equals(const TStrings* AStrings) const;

  // ---- Name=value pairs ----
  // The part before the first NameValueSeparator; "" when the line has none.
  String Names(Integer Index) const;
  // The value of the first line named Name; "" when there is none.
  String Values(const String& Name) const;
  // Sets the value of Name; an empty value deletes the line, a missing name
  // is added as a new line.
  void SetValues(const String& Name, const String& Value);
  String ValueFromIndex(Integer Index) const;
  void SetValueFromIndex(Integer Index, const String& Value);
  Char NameValueSeparator() const { return FNameValueSeparator; }
  void SetNameValueSeparator(Char Value) { FNameValueSeparator = Value; }

  // ---- Whole text ----
  // Every string followed by "\r\n" (LineBreak). Reading splits at "\r\n",
  // "\n" or "\r"; a final line break adds no empty line.
  String Text() const;
  void SetText(const String& Value);
  String LineBreak() const { return FLineBreak; }
  void SetLineBreak(const String& Value) { FLineBreak = Value; }
  // Strings joined by ","; a string that holds blanks, control characters,
  // the quote or the delimiter is quoted (inner quotes doubled). A list of
  // one empty string gives "\"\"".
  String CommaText() const;
  void SetCommaText(const String& Value);
  // As CommaText with Delimiter and QuoteChar. Reading: items are separated
  // by the delimiter (and by blanks unless StrictDelimiter); a quoted item
  // may hold anything, doubled quotes stand for one.
  String DelimitedText() const;
  void SetDelimitedText(const String& Value);
  Char Delimiter() const { return FDelimiter; }
  void SetDelimiter(Char Value) { FDelimiter = Value; }
  Char QuoteChar() const { return FQuoteChar; }
  void SetQuoteChar(Char Value) { FQuoteChar = Value; }
  bool StrictDelimiter() const { return FStrictDelimiter; }
  void SetStrictDelimiter(bool Value) { FStrictDelimiter = Value; }

  // ---- Files and streams (UTF-8; a UTF-8 byte order mark is skipped) ----
  virtual void LoadFromFile(const String& FileName);
  virtual void SaveToFile(const String& FileName) const;
  virtual void LoadFromStream(TStream* Stream);
  virtual void SaveToStream(TStream* Stream) const;

  // ---- Update brackets ----
  void BeginUpdate();
  void EndUpdate();
  Integer UpdateCount() const { return FUpdateCount; }

protected:
  // Told when the first BeginUpdate opens (true) and the last EndUpdate
  // closes (false).
  virtual void SetUpdateState(bool Updating);
  virtual Integer CompareStrings(const String& S1, const String& S2) const;
  [[noreturn]] void Error(Integer Index) const;

private:
  Integer FUpdateCount = 0;
  Char FNameValueSeparator = u'=';
  Char FDelimiter = u',';
  Char FQuoteChar = u'"';
  bool FStrictDelimiter = false;
  String FLineBreak = u"\r\n";
};

class TStringList;
using TStringListSortCompare = Integer (*)(TStringList* List, Integer Index1, Integer Index2);

class TStringList : public TStrings {
  KORVANE_CLASS(TStringList, TStrings)

  TStringList() = default;
  explicit TStringList(bool AOwnsObjects) : FOwnsObjects(AOwnsObjects) {}
  ~TStringList() override;

  Integer Count() const override { return static_cast<Integer>(FList.size()); }
  String Strings(Integer Index) const override;
  // Raises EStringListError "Operation not allowed on sorted list" when sorted.
  void SetStrings(Integer Index, const String& S) override;
  TObject* Objects(Integer Index) const override;
  void SetObjects(Integer Index, TObject* AObject) override;

  // In a sorted list the string goes to its place; a duplicate is ignored
  // (answering the existing index), accepted, or raises EStringListError
  // "String list does not allow duplicates" by Duplicates.
  Integer Add(const String& S) override;
  Integer AddObject(const String& S, TObject* AObject) override;
  // Raises EStringListError "Operation not allowed on sorted list" when sorted.
  void Insert(Integer Index, const String& S) override;
  void InsertObject(Integer Index, const String& S, TObject* AObject) override;
  void Delete(Integer Index) override;
  void Clear() override;
  void Exchange(Integer Index1, Integer Index2) override;
  // Raises EStringListError "Operation not allowed on sorted list" when sorted.
  void Move(Integer CurIndex, Integer NewIndex) override;
  Integer IndexOf(const String& S) const override;

  // Binary search of a sorted list: true when found; Index is the position
  // of the match (the first of equal strings) or where S would go.
  virtual bool Find(const String& S, Integer& Index) const;
  // Sorts by CompareStrings (a sorted list always is).
  virtual void Sort();
  // Sorts by Compare; does nothing on a sorted list, which keeps its order.
  virtual void CustomSort(TStringListSortCompare Compare);

  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value);
  // Owned objects are freed when their line is deleted or the list cleared.
  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

protected:
  virtual void Changed();
  virtual void Changing();
  void SetUpdateState(bool Updating) override;
  Integer CompareStrings(const String& S1, const String& S2) const override;
  virtual void InsertItem(Integer Index, const String& S, TObject* AObject);

private:
  struct TStringItem {
    String FString;
    TObject* FObject = nullptr;
  };
  void CheckIndex(Integer Index) const;
  void SortBy(TStringListSortCompare Compare);
  void QuickSort(Integer L, Integer R, TStringListSortCompare Compare);

  std::vector<TStringItem> FList;
  bool FSorted = false;
  bool FCaseSensitive = false;
  bool FOwnsObjects = false;
  TDuplicates FDuplicates = dupIgnore;
};
