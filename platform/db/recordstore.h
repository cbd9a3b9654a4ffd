#pragma once
// TRecordStore: the records of a dataset in compact form.
//
// Every row is a run of fixed 16-byte cells (one for the row's identity,
// then one per value slot) inside pages of many rows; rows are never
// allocated one by one and never move. A cell holds its value in place:
// Null and Empty as a tag, integers, Booleans and currency as a 64-bit
// integer, singles, doubles and dates as a double, texts of up to
// InlineTextUnits code units inline. Longer texts and byte strings lie in
// the store's arena and the cell holds their place and length; the rare
// kinds (BCD numbers, time stamps, arrays) are kept as variants beside the
// rows. A Variant is built only when a value is read.
//
// Values read back are the values written: same type code, same payload.
// Text views (TextOf) stay valid until the next write to the store.
#include <memory>
#include <string_view>
#include <vector>

#include "platform/rtl/variant.h"

using TRowHandle = Cardinal;
inline constexpr TRowHandle NoRow = ~TRowHandle(0);

class TRecordStore {
public:
  enum class TCellKind : Byte { Null, Empty, Integer, Float, ShortText, Text, Bytes, Boxed };

  TRecordStore();
  ~TRecordStore();
  TRecordStore(TRecordStore&& Other) noexcept;
  TRecordStore& operator=(TRecordStore&& Other) noexcept;
  TRecordStore(const TRecordStore&) = delete;
  TRecordStore& operator=(const TRecordStore&) = delete;

  // Empties the store; every row made from now on has Width value slots.
  void Reset(Integer Width);
  Integer Width() const { return FWidth; }
  // Rows made and not freed.
  size_t RowCount() const { return FRowCount; }

  // ---- Rows ----
  // A new row, every slot Null, with its bookmark identity (not 0) and the
  // storage row it came from. A freed row's handle may be given again.
  TRowHandle NewRow(UInt64 Id, bool HasRowId, Int64 RowId);
  void FreeRow(TRowHandle Row);
  UInt64 Id(TRowHandle Row) const;
  bool HasRowId(TRowHandle Row) const;
  Int64 RowId(TRowHandle Row) const;
  void SetRowId(TRowHandle Row, bool HasRowId, Int64 RowId);

  // ---- Values ----
  // Slot outside 0..Width-1 reads Null; writing there is ignored.
  Variant Get(TRowHandle Row, Integer Slot) const;
  void Set(TRowHandle Row, Integer Slot, const Variant& Value);
  // Writers of the common kinds that spare building a variant.
  void SetInt(TRowHandle Row, Integer Slot, TVarType Type, Int64 Value);
  void SetDouble(TRowHandle Row, Integer Slot, TVarType Type, double Value);
  void SetText(TRowHandle Row, Integer Slot, std::u16string_view Text);
  // Every slot of a row into Values (resized to Width), and back; slots
  // past the end of Values become Null.
  void ReadRow(TRowHandle Row, std::vector<Variant>& Values) const;
  void WriteRow(TRowHandle Row, const std::vector<Variant>& Values);

  // ---- Quick looks for sorting and searching ----
  TCellKind KindOf(TRowHandle Row, Integer Slot) const;
  // The type code Get would answer.
  TVarType TypeOf(TRowHandle Row, Integer Slot) const;
  // Integer kind: the raw integer.
  Int64 IntOf(TRowHandle Row, Integer Slot) const;
  // ShortText and Text kinds: the text.
  std::u16string_view TextOf(TRowHandle Row, Integer Slot) const;

  // Texts up to this many code units live in the cell itself: the 14 bytes
  // after the tag and the length.
  static constexpr size_t InlineTextUnits = 7;

private:
  struct TCell;
  class TArena;
  TCell* CellAt(TRowHandle Row, Integer Slot) const;
  TCell* RowAt(TRowHandle Row) const;
  void Release(TCell& Cell);
  void Store(TCell& Cell, const Variant& Value);
  void StoreText(TCell& Cell, const Char* Data, size_t Units);
  void StoreBytes(TCell& Cell, const char* Data, size_t Size);
  void StoreBoxed(TCell& Cell, const Variant& Value);
  void CompactIfWasteful();
  void Compact();
  void GrowPages();

  Integer FWidth = 0;
  size_t FStride = 1;  // cells per row: the identity, then the slots
  std::vector<std::unique_ptr<TCell[]>> FPages;
  size_t FFirstPageRows = 0;  // room of the first page, which grows
  TRowHandle FNextRow = 0;    // rows ever made since Reset
  size_t FRowCount = 0;
  std::vector<TRowHandle> FFreeRows;
  std::unique_ptr<TArena> FArena;
  std::vector<Variant> FBoxes;
  std::vector<Cardinal> FFreeBoxes;
};
