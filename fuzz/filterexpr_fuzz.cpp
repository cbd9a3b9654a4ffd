// Fuzz target for the dataset filter parser: parses a filter text, binds its
// names to three columns and evaluates it against a few records, with and
// without regard to case.
//
// Input: the filter text as UTF-8 (bytes that are not UTF-8 become
// replacement characters). Every name binds to one of the columns by its
// length, so that any name the fuzzer makes up is a field.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/db/filterexpr.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/exceptions.h"

namespace {

constexpr Integer ColumnCount = 3;

Variant Cell(Integer ARecord, Integer AColumn) {
  switch ((ARecord + AColumn) % 5) {
    case 0: return Null();
    case 1: return Variant(Integer(ARecord * 7 - 3));
    case 2: return Variant(String(u"Ab_%地质") + String(size_t(ARecord), u'x'));
    case 3: return VarFromDateTime(EncodeDate(2024, 3, Word(1 + ARecord)));
    default: return Variant(0.5 * ARecord);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const String Text = UTF8ToString(std::string(reinterpret_cast<const char*>(Data), Size));
  try {
    TFilterExpression Expression(Text);
    Expression.Bind([](const String& AName) { return Integer(AName.size() % ColumnCount); });
    for (Integer Record = 0; Record < 4; ++Record) {
      for (bool AnyCase : {false, true}) {
        TFilterEvalOptions Options;
        Options.CaseInsensitive = AnyCase;
        Options.PartialCompare = Record % 2 == 0;
        (void)Expression.Evaluate([Record](Integer AColumn) { return Cell(Record, AColumn); }, Options);
      }
    }
  } catch (const EDatabaseError& E) {
    (void)E.what();
  }
  return 0;
}
