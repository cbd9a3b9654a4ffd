// Fuzz target for the regular-expression engine: compiles a pattern and
// steps it with keys, step-backs, restarts and text filtering.
//
// Input: byte 0 holds the options (bit 0 case-insensitive, bit 1 automatic
// advance over forced characters); the pattern runs up to the first zero
// byte; the bytes after it are the keys. Bytes from 0x80 up stand for
// Chinese characters. Among the keys, 0x01 steps back, 0x02 restarts and
// 0x03 filters the rest of the keys as one text.
#include <cstddef>
#include <cstdint>

#include "editors/cxRegExpr.h"

namespace {

Char CharOf(std::uint8_t b) { return b < 0x80 ? static_cast<Char>(b) : static_cast<Char>(0x4E00 + b); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  if (Size == 0) return 0;
  TcxRegExpr R;
  R.SetCaseInsensitive(Data[0] & 1);
  R.SetAutoAdvance(Data[0] & 2);
  int Events = 0;
  R.OnForcedCharAdded = TcxRegExprForcedCharAddedEvent(&Events, [&Events](Char) { ++Events; });
  R.OnForcedCharRemoved = TcxRegExprForcedCharRemovedEvent(&Events, [&Events] { --Events; });

  std::size_t I = 1;
  String Pattern;
  for (; I < Size && Data[I] != 0; ++I) Pattern += CharOf(Data[I]);
  try {
    R.Compile(Pattern);
  } catch (const EcxRegExprError& E) {
    for (Integer J = 0; J < E.Errors().Count(); ++J) (void)E.Errors()[J].Describe();
    return 0;
  }
  for (++I; I < Size; ++I) {
    switch (Data[I]) {
      case 1: R.StepBack(); break;
      case 2: R.Restart(); break;
      case 3: {
        String Rest;
        for (std::size_t J = I + 1; J < Size; ++J) Rest += CharOf(Data[J]);
        (void)R.FilterText(Rest);
        I = Size;
        break;
      }
      default: {
        Char c = CharOf(Data[I]);
        R.Advance(c);
      }
    }
    (void)R.IsComplete();
    (void)R.AtStart();
  }
  return 0;
}
