#include "platform/db/params.h"

#include "platform/db/dbconsts.h"
#include "platform/db/fields.h"
#include "platform/rtl/sysutils.h"

using namespace dbconsts;

namespace {

bool IsParamChar(Char c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_' || c >= 0x80;
}

}  // namespace

std::vector<String> ExtractParamNames(const String& SQL) {
  std::vector<String> names;
  size_t i = 0, n = SQL.size();
  while (i < n) {
    Char c = SQL[i];
    if (c == u'\'' || c == u'"' || c == u'[' || c == u'`') {
      Char close = c == u'[' ? u']' : c;
      for (++i; i < n; ++i) {
        if (SQL[i] == close) {
          if (close != u']' && i + 1 < n && SQL[i + 1] == close) {
            ++i;
            continue;
          }
          break;
        }
      }
      ++i;
    } else if (c == u'-' && i + 1 < n && SQL[i + 1] == u'-') {
      while (i < n && SQL[i] != u'\n') ++i;
    } else if (c == u'/' && i + 1 < n && SQL[i + 1] == u'*') {
      size_t end = SQL.find(u"*/", i + 2);
      i = end == String::npos ? n : end + 2;
    } else if (c == u':' && i + 1 < n && IsParamChar(SQL[i + 1]) && (i == 0 || SQL[i - 1] != u':')) {
      size_t start = ++i;
      while (i < n && IsParamChar(SQL[i])) ++i;
      String name = SQL.substr(start, i - start);
      bool seen = false;
      for (const String& s : names) seen = seen || AnsiSameText(s, name);
      if (!seen) names.push_back(name);
    } else {
      ++i;
    }
  }
  return names;
}

// ---- TParam -----------------------------------------------------------------------

void TParam::SetValue(const Variant& V) {
  FValue = VarIsEmpty(V) ? Null() : V;
  if (FDataType == ftUnknown && !VarIsNull(FValue)) {
    switch (VarType(FValue)) {
      case varSmallint: case varShortInt: case varByte: FDataType = ftSmallint; break;
      case varInteger: case varWord: FDataType = ftInteger; break;
      case varInt64: case varLongWord: FDataType = ftLargeint; break;
      case varSingle: case varDouble: FDataType = ftFloat; break;
      case varCurrency: FDataType = ftCurrency; break;
      case varDate: FDataType = ftDateTime; break;
      case varBoolean: FDataType = ftBoolean; break;
      case varString: FDataType = ftBlob; break;
      default: FDataType = ftWideString; break;
    }
  }
}

void TParam::AssignField(TField* Field) {
  if (!Field) return;
  FDataType = Field->DataType();
  if (FName.empty()) FName = Field->FieldName();
  FValue = Field->IsNull() ? Null() : Field->Value();
}

// ---- TParams ----------------------------------------------------------------------

TParams::~TParams() = default;

TParam* TParams::Items(Integer Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(u"List index out of bounds (" + IntToStr(Index) + u")");
  return FItems[Index].get();
}

TParam* TParams::FindParam(const String& Name) const {
  for (auto& p : FItems)
    if (AnsiSameText(p->Name(), Name)) return p.get();
  return nullptr;
}

TParam* TParams::ParamByName(const String& Name) const {
  TParam* p = FindParam(Name);
  if (!p) DatabaseError(FormatDbMessage(SParameterNotFound, {Name}));
  return p;
}

TParam* TParams::CreateParam(TFieldType DataType, const String& Name, TParamType ParamType) {
  auto p = std::make_unique<TParam>(this);
  p->SetName(Name);
  p->SetDataType(DataType);
  p->SetParamType(ParamType);
  FItems.push_back(std::move(p));
  return FItems.back().get();
}

void TParams::Clear() { FItems.clear(); }

void TParams::Delete(Integer Index) {
  Items(Index);
  FItems.erase(FItems.begin() + Index);
}

Variant TParams::ParamValues(const String& Names) const {
  std::vector<String> names = SplitFieldNames(Names);
  if (names.size() == 1) return ParamByName(names[0])->Value();
  std::vector<Variant> values;
  for (const String& n : names) values.push_back(ParamByName(n)->Value());
  return VarArrayOf(values);
}

void TParams::SetParamValues(const String& Names, const Variant& Value) {
  std::vector<String> names = SplitFieldNames(Names);
  if (names.size() == 1) {
    ParamByName(names[0])->SetValue(Value);
    return;
  }
  for (size_t i = 0; i < names.size(); ++i)
    ParamByName(names[i])->SetValue(Value.GetElement(VarArrayLowBound(Value) + Integer(i)));
}

std::vector<String> TParams::ParseSQL(const String& SQL, bool DoCreate) {
  std::vector<String> names = ExtractParamNames(SQL);
  if (!DoCreate) return names;
  std::vector<std::unique_ptr<TParam>> items;
  for (const String& name : names) {
    std::unique_ptr<TParam> kept;
    for (auto& p : FItems)
      if (p && AnsiSameText(p->Name(), name)) kept = std::move(p);
    if (!kept) {
      kept = std::make_unique<TParam>(this);
      kept->SetName(name);
    }
    items.push_back(std::move(kept));
  }
  FItems = std::move(items);
  return names;
}
