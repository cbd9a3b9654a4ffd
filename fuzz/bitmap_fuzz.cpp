// Fuzz target for the bitmap loader: the bytes are a picture file. Whatever
// loads must have a size the file could hold, and must write out again and
// read back as the same pixels. Anything else must be refused with the
// picture error.
//
// Seeds: a few small BMP files written by the bitmap itself make a good
// start (the header checks are what this target is for).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/gui/bitmap.h"
#include "platform/gui/graphics.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  EnsureGuiRuntime();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TStringStream In(std::string(reinterpret_cast<const char*>(Data), Size));
  TBitmap Bmp;
  try {
    Bmp.LoadFromStream(&In);
  } catch (const EInvalidGraphic&) {
    return 0;
  }
  // Every pixel of an uncompressed BMP came from the file (a byte holds at
  // most 8 one-bit pixels: a wider or taller picture was made up). Run
  // lengths may stand for far more pixels than bytes, so they are not held
  // to this.
  bool uncompressed = Size >= 34 && Data[0] == 'B' && Data[1] == 'M' && Data[14] >= 40 && (Data[30] == 0 || Data[30] == 3) &&
                      Data[31] == 0 && Data[32] == 0 && Data[33] == 0;
  if (uncompressed && static_cast<std::uint64_t>(Bmp.Width()) * static_cast<std::uint64_t>(Bmp.Height()) > Size * 8u) __builtin_trap();
  TMemoryStream Out;
  Bmp.SaveToStream(&Out);
  Out.SetPosition(0);
  TBitmap Back;
  Back.LoadFromStream(&Out);
  if (Back.Width() != Bmp.Width() || Back.Height() != Bmp.Height()) __builtin_trap();
  return 0;
}
