#pragma once
// Basic types shared by every layer of the program.
#include <cstdint>
#include <string>

using String = std::u16string;          // text, counted in UTF-16 code units
using RawByteString = std::string;      // raw bytes (pictures, file contents)
using Char = char16_t;

using Integer = std::int32_t;
using Cardinal = std::uint32_t;
using LongInt = std::int32_t;
using LongWord = std::uint32_t;
using SmallInt = std::int16_t;
using ShortInt = std::int8_t;
using Byte = std::uint8_t;
using Word = std::uint16_t;
using Int64 = std::int64_t;
using UInt64 = std::uint64_t;

using TDateTime = double;  // days since 1899-12-30, fraction is the time of day

// Horizontal alignment of text in a field, a column or a control.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
