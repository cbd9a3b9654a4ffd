#pragma once
// One order for the platform's variants, tests and builders of variants and
// variant arrays, and the binary primitives with which values, filters and
// tree nodes write themselves to a stream and read themselves back.
//
// The binary forms are little-endian without padding. Readers check what
// they read: a length or count that is negative or larger than what is left
// in the stream, a tag that stands for no value, or values nested too deeply
// raise EReadError; a short stream raises the stream's own read error.
#include "platform/rtl/currency.h"
#include "platform/rtl/resstr.h"
#include "platform/rtl/types.h"
#include "platform/rtl/variant.h"

class TStream;

inline constexpr TResourceString cxSStreamReadError{65240, u"Stream read error"};
inline constexpr TResourceString cxSStreamWriteError{65241, u"Stream write error"};
inline constexpr TResourceString cxSStreamBadLength{65242,
                                                    u"Stream read error: damaged data (invalid length)"};
inline constexpr TResourceString cxSStreamBadCount{65243,
                                                   u"Stream read error: damaged data (invalid count)"};
inline constexpr TResourceString cxSStreamTooDeep{65244,
                                                  u"Stream read error: damaged data (values nested too deeply)"};

// The deepest nesting of arrays that ReadTaggedVariant accepts.
inline constexpr Integer cxMaxTaggedVariantDepth = 64;

// Tags of the tagged variant form. Word, long word and 64-bit integer values
// have tags of their own so that they come back with their type.
enum : Byte {
  cxvtNull = 0,
  cxvtArray = 1,
  cxvtShortInt = 2,
  cxvtSmallInt = 3,
  cxvtInteger = 4,
  cxvtExtended = 5,
  cxvtShortString = 6,
  cxvtFalse = 8,
  cxvtTrue = 9,
  cxvtLongString = 12,
  cxvtEmpty = 13,
  cxvtSingle = 15,
  cxvtCurrency = 16,
  cxvtDate = 17,
  cxvtWideString = 18,
  cxvtWord = 19,
  cxvtLongWord = 20,
  cxvtInt64 = 21,
};

// ---- Comparison ------------------------------------------------------------

// -1, 0 or 1: Null first (two Nulls equal), then NaN (two NaNs equal);
// then the platform's order of values; two values that the platform cannot
// compare (a text that is no number against a number) are ordered by a
// fixed rank of their kinds (empty, Boolean, number, date, text, other)
// and, in the same kind, by their texts.
//
// The order is antisymmetric, and total and transitive over values of one
// kind (numbers with numbers, texts with texts, dates with dates). It is
// not transitive across kinds where the platform converts: a number and a
// text that reads as a number compare as numbers, two texts as texts, so
// 10 = '10' and '10' < '9' but 10 > '9'. A column that mixes numbers with
// numeric texts therefore has no single sorted order; sorting it still
// keeps every record exactly once, in some order.
Integer CompareVariantValues(const Variant& A, const Variant& B);
// Only A an array: 1; only B: -1; neither: CompareVariantValues. Two arrays:
// first by dimension count, then by element count of each dimension, then
// element by element (each array from its own low bound); -1, 0 or 1.
Integer CompareVariantArrays(const Variant& A, const Variant& B);
bool VariantsEqual(const Variant& A, const Variant& B);
// A Boolean against a value that is not Null compares as text; everything
// else as VariantsEqual. A failed conversion answers false.
bool SameVariantValues(const Variant& A, const Variant& B);

// ---- Tests -------------------------------------------------------------------

bool IsDateTimeVarType(TVarType AVarType);
bool IsDateTimeVariant(const Variant& AValue);
bool IsNumericVariant(const Variant& AValue);
// Null, or a text (byte or wide) that is empty. Empty (unassigned) is not blank.
bool IsBlankVariant(const Variant& AValue);

// ---- Builders ----------------------------------------------------------------

Variant MakeVariantPair(const Variant& A, const Variant& B);
Variant MakeSingleVariantArray(const Variant& A);
// Appends AValue to the array (bounds 0..n afterwards). A value that is not
// an array becomes an empty array first.
void AppendVariantArrayItem(Variant& AArray, const Variant& AValue);

// ---- Binary primitives -----------------------------------------------------------

bool ReadStreamBoolean(TStream* AStream);
void WriteStreamBoolean(TStream* AStream, bool AValue);
Byte ReadStreamByte(TStream* AStream);
void WriteStreamByte(TStream* AStream, Byte AValue);
SmallInt ReadStreamSmallInt(TStream* AStream);
void WriteStreamSmallInt(TStream* AStream, SmallInt AValue);
Word ReadStreamWord(TStream* AStream);
void WriteStreamWord(TStream* AStream, Word AValue);
Integer ReadStreamInt32(TStream* AStream);
void WriteStreamInt32(TStream* AStream, Integer AValue);
LongWord ReadStreamLongWord(TStream* AStream);
void WriteStreamLongWord(TStream* AStream, LongWord AValue);
Int64 ReadStreamInt64(TStream* AStream);
void WriteStreamInt64(TStream* AStream, Int64 AValue);
// 10 bytes in the 80-bit extended floating-point format; every double is
// held exactly.
double ReadStreamExtended(TStream* AStream);
void WriteStreamExtended(TStream* AStream, double AValue);
float ReadStreamSingle(TStream* AStream);
void WriteStreamSingle(TStream* AStream, float AValue);
double ReadStreamDouble(TStream* AStream);
void WriteStreamDouble(TStream* AStream, double AValue);
Currency ReadStreamCurrency(TStream* AStream);
void WriteStreamCurrency(TStream* AStream, Currency AValue);
TDateTime ReadStreamDateTime(TStream* AStream);
void WriteStreamDateTime(TStream* AStream, TDateTime AValue);
// 4-byte length n, then n bytes.
RawByteString ReadStreamAnsiString(TStream* AStream);
void WriteStreamAnsiString(TStream* AStream, const RawByteString& AValue);
// The same form holding text as UTF-8.
String ReadStreamUTF8String(TStream* AStream);
void WriteStreamUTF8String(TStream* AStream, const String& AValue);
// 4-byte count n of UTF-16 units, then 2n bytes.
String ReadStreamWideString(TStream* AStream);
void WriteStreamWideString(TStream* AStream, const String& AValue);

// Conversions between the 80-bit extended format and double.
void DoubleToExtended(double AValue, Byte AExtended[10]);
double ExtendedToDouble(const Byte AExtended[10]);

// ---- Tagged variants -----------------------------------------------------------------

// Raises EWriteError "Stream write error" for arrays of more than one
// dimension and for values that have no tagged form and cannot be turned
// into text.
void WriteTaggedVariant(TStream* AStream, const Variant& AValue);
// Raises EReadError on an unknown tag ("Stream read error") and on damaged data.
Variant ReadTaggedVariant(TStream* AStream);
