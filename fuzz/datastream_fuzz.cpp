// Fuzz target for the binary readers of data/: the tagged variant form and
// the filter criteria stream.
//
// Input: byte 0 chooses the reader (even: a tagged variant, odd: filter
// criteria); the rest is the stream. Whatever a reader accepts is written
// again, read back and written once more: the two writings must agree.
#include <cstddef>
#include <cstdint>
#include <string>

#include "data/cxFilter.h"
#include "data/cxVariants.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

namespace {

std::string Bytes(const TStringStream& S) { return S.DataString(); }

std::string VariantRoundTrip(TStream& Input) {
  Variant V = ReadTaggedVariant(&Input);
  TStringStream Out;
  WriteTaggedVariant(&Out, V);
  return Bytes(Out);
}

std::string CriteriaRoundTrip(TStream& Input) {
  TcxFilterCriteria Criteria;
  Criteria.LoadFromStream(&Input);
  TStringStream Out;
  Criteria.SaveToStream(&Out);
  return Bytes(Out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  if (Size == 0) return 0;
  const bool Criteria = Data[0] & 1;
  TStringStream Input(std::string(reinterpret_cast<const char*>(Data) + 1, Size - 1));
  std::string First;
  try {
    First = Criteria ? CriteriaRoundTrip(Input) : VariantRoundTrip(Input);
  } catch (const EReadError&) {
    return 0;
  } catch (const EWriteError&) {
    return 0;  // a value read that has no written form (a refused write is reported, not lost)
  }
  // What was written is read back as it was written.
  TStringStream Again(First);
  std::string Second = Criteria ? CriteriaRoundTrip(Again) : VariantRoundTrip(Again);
  if (Second != First) __builtin_trap();
  return 0;
}
