// Fuzz target for the platform's stream readers: typed values, strings with
// their lengths and raw bytes read from a string stream, with seeks and
// copies into a memory stream between them.
//
// Input: the bytes are the stream. Reading starts at the front; each step
// takes the next byte as the operation (from the end of the input, so the
// operations and the data come from the same input without a split). Seeks
// take their offsets from the stream, so they reach far past the limit.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

namespace {

// The readers must answer with the value or a read error, and must leave the
// position inside the stream.
void Step(std::uint8_t Op, TStringStream& S, TBinaryReader& R, TMemoryStream& Copy) {
  switch (Op % 16) {
    case 0: (void)R.ReadBoolean(); break;
    case 1: (void)R.ReadByte(); break;
    case 2: (void)R.ReadSmallInt(); break;
    case 3: (void)R.ReadWord(); break;
    case 4: (void)R.ReadInteger(); break;
    case 5: (void)R.ReadInt64(); break;
    case 6: (void)R.ReadSingle(); break;
    case 7: (void)R.ReadDouble(); break;
    case 8: (void)R.ReadAnsiString(); break;
    case 9: (void)R.ReadWideString(); break;
    case 10: {
      char buffer[16];
      R.ReadBytes(buffer, Op / 16);
      break;
    }
    case 11: (void)S.ReadString(Op / 16); break;
    case 12: {
      // A position read from the stream, from any origin. Positions past
      // the limit raise. Only near positions are written to, so that the
      // test stays within memory (a write far inside the limit is allowed).
      const Int64 Offset = R.ReadInt64();
      const TSeekOrigin Origin = TSeekOrigin((Op / 16) % 3);
      TStream& Target = Op & 0x80 ? static_cast<TStream&>(Copy) : S;
      const Int64 At = Target.Seek(Offset, Origin);
      if (At < 0 || At > MaxMemoryStreamSize) __builtin_trap();
      if (At < (1 << 20)) Target.WriteBuffer("x", 1);
      else Target.Seek(0, soBeginning);  // later copies would write there
      break;
    }
    case 13: Copy.CopyFrom(&S, Op / 16); break;
    case 14: Copy.LoadFromStream(&S); break;
    case 15: {
      TReader Reader(&Copy);
      char buffer[16];
      Reader.Read(buffer, Op / 16);
      break;
    }
  }
  if (S.Position() < 0) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TStringStream S(std::string(reinterpret_cast<const char*>(Data), Size));
  TBinaryReader R(&S);
  TMemoryStream Copy;
  for (std::size_t I = Size; I > 0 && I > Size / 2; --I) {
    try {
      Step(Data[I - 1], S, R, Copy);
    } catch (const EStreamError&) {
    }
  }
  return 0;
}
