#include "platform/db/recordstore.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// Rows per page: large enough that a page's own cost vanishes beside its
// rows, small enough that the last, partly used page wastes little. The
// first page starts with FirstPageRows and doubles, so that the many small
// datasets of a program stay small.
constexpr unsigned PageShift = 10;
constexpr size_t RowsPerPage = size_t(1) << PageShift;
constexpr size_t FirstPageRows = 16;

// Arena blocks start small for small datasets and double up to the largest
// size; a text longer than a quarter of the current block gets a block of
// its own, so that a long text does not leave most of a block empty.
constexpr size_t FirstBlockBytes = 4096;
constexpr size_t LargestBlockBytes = size_t(1) << 20;

// The arena is rewritten when over half of it holds texts no longer used
// and that is more than this much: smaller waste is cheaper kept than
// copied.
constexpr size_t LeastWasteToCompact = size_t(1) << 20;

// A cell holds lengths in 32 bits; a longer value is kept as a variant.
constexpr size_t LargestCellLength = UINT32_MAX;

constexpr UInt64 HasRowIdBit = UInt64(1) << 63;

bool IsIntegerType(TVarType t) {
  switch (t) {
    case varSmallint: case varInteger: case varCurrency: case varBoolean: case varShortInt: case varByte:
    case varWord: case varLongWord: case varInt64:
      return true;
    default:
      return false;
  }
}

bool IsFloatType(TVarType t) { return t == varSingle || t == varDouble || t == varDate; }

}  // namespace

// One value: the kind in byte 0; inline texts have their length in byte 1
// and their code units from byte 2; the other kinds have the variant's
// type code in bytes 2-3, a length in bytes 4-7 and the payload (integer,
// double, arena address or box number) in bytes 8-15. These fields are
// read and written by copying bytes; texts are read in place as Char.
struct TRecordStore::TCell {
  alignas(8) unsigned char Raw[16];

  TCellKind Kind() const { return TCellKind(Raw[0]); }
  void SetKind(TCellKind K) { Raw[0] = Byte(K); }
  TVarType Type() const { return Read<TVarType>(2); }
  Cardinal Length() const { return Read<Cardinal>(4); }
  template <class T>
  T Read(size_t At) const {
    T value;
    std::memcpy(&value, Raw + At, sizeof value);
    return value;
  }
  template <class T>
  void Write(size_t At, T Value) {
    std::memcpy(Raw + At, &Value, sizeof Value);
  }
  void Clear() { std::memset(Raw, 0, sizeof Raw); }
  void SetWide(TCellKind K, TVarType Type, Cardinal Length) {
    SetKind(K);
    Raw[1] = 0;
    Write<TVarType>(2, Type);
    Write<Cardinal>(4, Length);
  }
  const char* Data() const { return Read<const char*>(8); }
  std::u16string_view Text() const {
    if (Kind() == TCellKind::ShortText) {
      // The units start at byte 2, which keeps them aligned for Char.
      return std::u16string_view(reinterpret_cast<const Char*>(Raw + 2), Raw[1]);
    }
    return std::u16string_view(reinterpret_cast<const Char*>(Data()), Length());
  }
};
static_assert(sizeof(Char) == 2 && alignof(Char) <= 2);

class TRecordStore::TArena {
public:
  // Room for Size bytes, aligned for Char; it never moves.
  char* Allocate(size_t Size) {
    size_t rounded = (Size + 1) & ~size_t(1);
    FUsed += rounded;
    if (rounded <= FLeft) return Take(rounded);
    if (rounded > FNextBlock / 4) {
      FBlocks.push_back(std::make_unique<char[]>(rounded));
      return FBlocks.back().get();
    }
    FBlocks.push_back(std::make_unique<char[]>(FNextBlock));
    FNext = FBlocks.back().get();
    FLeft = FNextBlock;
    FNextBlock = std::min(FNextBlock * 2, LargestBlockBytes);
    return Take(rounded);
  }
  void Discard(size_t Size) { FWaste += (Size + 1) & ~size_t(1); }
  size_t Used() const { return FUsed; }
  size_t Waste() const { return FWaste; }

private:
  char* Take(size_t Size) {
    char* at = FNext;
    FNext += Size;
    FLeft -= Size;
    return at;
  }
  std::vector<std::unique_ptr<char[]>> FBlocks;
  char* FNext = nullptr;
  size_t FLeft = 0;
  size_t FNextBlock = FirstBlockBytes;
  size_t FUsed = 0;
  size_t FWaste = 0;
};

TRecordStore::TRecordStore() : FArena(std::make_unique<TArena>()) {}
TRecordStore::~TRecordStore() = default;
TRecordStore::TRecordStore(TRecordStore&& Other) noexcept = default;
TRecordStore& TRecordStore::operator=(TRecordStore&& Other) noexcept = default;

void TRecordStore::Reset(Integer Width) {
  FWidth = std::max(Width, 0);
  FStride = size_t(FWidth) + 1;
  FPages.clear();
  FFirstPageRows = 0;
  FNextRow = 0;
  FRowCount = 0;
  FFreeRows.clear();
  FArena = std::make_unique<TArena>();
  FBoxes.clear();
  FFreeBoxes.clear();
}

// ---- Rows ----------------------------------------------------------------------------

TRecordStore::TCell* TRecordStore::RowAt(TRowHandle Row) const {
  return FPages[Row >> PageShift].get() + (Row & (RowsPerPage - 1)) * FStride;
}

TRecordStore::TCell* TRecordStore::CellAt(TRowHandle Row, Integer Slot) const {
  if (Row == NoRow || Row >= FNextRow || Slot < 0 || Slot >= FWidth) return nullptr;
  return RowAt(Row) + 1 + Slot;
}

void TRecordStore::GrowPages() {
  size_t page = FNextRow >> PageShift;
  if (page == 0) {
    // Only the first page grows; the rows it holds move with it, which is
    // why nothing keeps a cell's address across a new row.
    size_t rows = FFirstPageRows == 0 ? FirstPageRows : FFirstPageRows * 2;
    auto grown = std::make_unique<TCell[]>(rows * FStride);
    if (!FPages.empty()) std::memcpy(grown.get(), FPages[0].get(), FFirstPageRows * FStride * sizeof(TCell));
    FPages.resize(1);
    FPages[0] = std::move(grown);
    FFirstPageRows = rows;
    return;
  }
  FPages.push_back(std::make_unique<TCell[]>(RowsPerPage * FStride));
}

TRowHandle TRecordStore::NewRow(UInt64 Id, bool HasRowId, Int64 RowId) {
  TRowHandle row;
  if (!FFreeRows.empty()) {
    row = FFreeRows.back();
    FFreeRows.pop_back();
  } else {
    bool full = FNextRow >> PageShift >= FPages.size() || (FNextRow < RowsPerPage && FNextRow >= FFirstPageRows);
    if (full) GrowPages();
    row = FNextRow++;
  }
  TCell* cells = RowAt(row);
  for (size_t i = 0; i < FStride; ++i) cells[i].Clear();
  ++FRowCount;
  SetRowId(row, HasRowId, RowId);
  cells[0].Write<UInt64>(0, (Id & ~HasRowIdBit) | (HasRowId ? HasRowIdBit : 0));
  return row;
}

void TRecordStore::FreeRow(TRowHandle Row) {
  if (Row == NoRow || Row >= FNextRow || Id(Row) == 0) return;
  TCell* cells = RowAt(Row);
  for (size_t i = 1; i < FStride; ++i) Release(cells[i]);
  cells[0].Clear();  // identity 0: free
  FFreeRows.push_back(Row);
  --FRowCount;
  CompactIfWasteful();
}

UInt64 TRecordStore::Id(TRowHandle Row) const { return RowAt(Row)[0].Read<UInt64>(0) & ~HasRowIdBit; }

bool TRecordStore::HasRowId(TRowHandle Row) const { return (RowAt(Row)[0].Read<UInt64>(0) & HasRowIdBit) != 0; }

Int64 TRecordStore::RowId(TRowHandle Row) const { return RowAt(Row)[0].Read<Int64>(8); }

void TRecordStore::SetRowId(TRowHandle Row, bool HasRowId, Int64 RowId) {
  TCell& identity = RowAt(Row)[0];
  UInt64 id = identity.Read<UInt64>(0) & ~HasRowIdBit;
  identity.Write<UInt64>(0, id | (HasRowId ? HasRowIdBit : 0));
  identity.Write<Int64>(8, RowId);
}

// ---- Values --------------------------------------------------------------------------

Variant TRecordStore::Get(TRowHandle Row, Integer Slot) const {
  const TCell* cell = CellAt(Row, Slot);
  if (!cell) return Null();
  switch (cell->Kind()) {
    case TCellKind::Null: return Null();
    case TCellKind::Empty: return Variant();
    case TCellKind::Integer: return Variant::MakeInt(cell->Type(), cell->Read<Int64>(8));
    case TCellKind::Float: return Variant::MakeDouble(cell->Type(), cell->Read<double>(8));
    case TCellKind::ShortText:
    case TCellKind::Text: return Variant(String(cell->Text()));
    case TCellKind::Bytes: return Variant::MakeBytes(RawByteString(cell->Data(), cell->Length()));
    case TCellKind::Boxed: return FBoxes[cell->Read<UInt64>(8)];
  }
  return Null();
}

void TRecordStore::Release(TCell& Cell) {
  switch (Cell.Kind()) {
    case TCellKind::Text: FArena->Discard(size_t(Cell.Length()) * sizeof(Char)); break;
    case TCellKind::Bytes: FArena->Discard(Cell.Length()); break;
    case TCellKind::Boxed: {
      UInt64 box = Cell.Read<UInt64>(8);
      FBoxes[box] = Variant();
      FFreeBoxes.push_back(Cardinal(box));
      break;
    }
    default: break;
  }
  Cell.Clear();
}

void TRecordStore::StoreText(TCell& Cell, const Char* Data, size_t Units) {
  if (Units <= InlineTextUnits) {
    // Copied aside first: the text may be this very cell's.
    Char units[InlineTextUnits];
    if (Units) std::memcpy(units, Data, Units * sizeof(Char));
    Cell.Clear();
    Cell.SetKind(TCellKind::ShortText);
    Cell.Raw[1] = Byte(Units);
    if (Units) std::memcpy(Cell.Raw + 2, units, Units * sizeof(Char));
    return;
  }
  char* at = FArena->Allocate(Units * sizeof(Char));
  std::memcpy(at, Data, Units * sizeof(Char));
  Cell.SetWide(TCellKind::Text, varOleStr, Cardinal(Units));
  Cell.Write<const char*>(8, at);
}

void TRecordStore::StoreBytes(TCell& Cell, const char* Data, size_t Size) {
  char* at = Size ? FArena->Allocate(Size) : nullptr;
  if (Size) std::memcpy(at, Data, Size);
  Cell.SetWide(TCellKind::Bytes, varString, Cardinal(Size));
  Cell.Write<const char*>(8, at);
}

void TRecordStore::StoreBoxed(TCell& Cell, const Variant& Value) {
  Cardinal box;
  if (!FFreeBoxes.empty()) {
    box = FFreeBoxes.back();
    FFreeBoxes.pop_back();
    FBoxes[box] = Value;
  } else {
    box = Cardinal(FBoxes.size());
    FBoxes.push_back(Value);
  }
  Cell.SetWide(TCellKind::Boxed, Value.Type(), 0);
  Cell.Write<UInt64>(8, box);
}

// Writes a value into a cell that holds nothing (released or new).
void TRecordStore::Store(TCell& Cell, const Variant& Value) {
  TVarType t = Value.Type();
  if (t == varNull) return;
  if (t == varEmpty) {
    Cell.SetKind(TCellKind::Empty);
  } else if (IsIntegerType(t)) {
    Cell.SetWide(TCellKind::Integer, t, 0);
    Cell.Write<Int64>(8, Value.RawInt());
  } else if (IsFloatType(t)) {
    Cell.SetWide(TCellKind::Float, t, 0);
    Cell.Write<double>(8, Value.RawDouble());
  } else if (t == varOleStr && Value.RawString().size() <= LargestCellLength) {
    StoreText(Cell, Value.RawString().data(), Value.RawString().size());
  } else if (t == varString && Value.RawBytes().size() <= LargestCellLength) {
    StoreBytes(Cell, Value.RawBytes().data(), Value.RawBytes().size());
  } else {
    StoreBoxed(Cell, Value);
  }
}

// The new value is written before the old one is let go: a value read
// from this store's own arena stays readable while it is copied.
void TRecordStore::Set(TRowHandle Row, Integer Slot, const Variant& Value) {
  TCell* cell = CellAt(Row, Slot);
  if (!cell) return;
  TCell old = *cell;
  cell->Clear();
  Store(*cell, Value);
  Release(old);
  CompactIfWasteful();
}

void TRecordStore::SetInt(TRowHandle Row, Integer Slot, TVarType Type, Int64 Value) {
  TCell* cell = CellAt(Row, Slot);
  if (!cell) return;
  Release(*cell);
  cell->SetWide(TCellKind::Integer, Type, 0);
  cell->Write<Int64>(8, Value);
}

void TRecordStore::SetDouble(TRowHandle Row, Integer Slot, TVarType Type, double Value) {
  TCell* cell = CellAt(Row, Slot);
  if (!cell) return;
  Release(*cell);
  cell->SetWide(TCellKind::Float, Type, 0);
  cell->Write<double>(8, Type == varSingle ? double(float(Value)) : Value);
}

void TRecordStore::SetText(TRowHandle Row, Integer Slot, std::u16string_view Text) {
  if (Text.size() > LargestCellLength) {
    Set(Row, Slot, Variant(String(Text)));
    return;
  }
  TCell* cell = CellAt(Row, Slot);
  if (!cell) return;
  TCell old = *cell;
  StoreText(*cell, Text.data(), Text.size());
  Release(old);
  CompactIfWasteful();
}

void TRecordStore::ReadRow(TRowHandle Row, std::vector<Variant>& Values) const {
  Values.resize(size_t(FWidth));
  for (Integer i = 0; i < FWidth; ++i) Values[size_t(i)] = Get(Row, i);
}

void TRecordStore::WriteRow(TRowHandle Row, const std::vector<Variant>& Values) {
  for (Integer i = 0; i < FWidth; ++i) Set(Row, i, size_t(i) < Values.size() ? Values[size_t(i)] : Null());
}

// ---- Quick looks ---------------------------------------------------------------------

TRecordStore::TCellKind TRecordStore::KindOf(TRowHandle Row, Integer Slot) const {
  const TCell* cell = CellAt(Row, Slot);
  return cell ? cell->Kind() : TCellKind::Null;
}

TVarType TRecordStore::TypeOf(TRowHandle Row, Integer Slot) const {
  const TCell* cell = CellAt(Row, Slot);
  if (!cell) return varNull;
  switch (cell->Kind()) {
    case TCellKind::Null: return varNull;
    case TCellKind::Empty: return varEmpty;
    case TCellKind::ShortText: return varOleStr;
    default: return cell->Type();
  }
}

Int64 TRecordStore::IntOf(TRowHandle Row, Integer Slot) const {
  const TCell* cell = CellAt(Row, Slot);
  return cell && cell->Kind() == TCellKind::Integer ? cell->Read<Int64>(8) : 0;
}

std::u16string_view TRecordStore::TextOf(TRowHandle Row, Integer Slot) const {
  const TCell* cell = CellAt(Row, Slot);
  if (!cell || (cell->Kind() != TCellKind::ShortText && cell->Kind() != TCellKind::Text)) return {};
  return cell->Text();
}

// ---- The arena -------------------------------------------------------------------------

void TRecordStore::CompactIfWasteful() {
  size_t waste = FArena->Waste();
  if (waste > LeastWasteToCompact && waste > FArena->Used() - waste) Compact();
}

// Copies the texts and byte strings still in use into a fresh arena.
void TRecordStore::Compact() {
  auto fresh = std::make_unique<TArena>();
  for (TRowHandle row = 0; row < FNextRow; ++row) {
    TCell* cells = RowAt(row);
    if ((cells[0].Read<UInt64>(0) & ~HasRowIdBit) == 0) continue;  // free
    for (size_t i = 1; i < FStride; ++i) {
      TCell& cell = cells[i];
      size_t size = cell.Kind() == TCellKind::Text    ? size_t(cell.Length()) * sizeof(Char)
                    : cell.Kind() == TCellKind::Bytes ? cell.Length()
                                                      : 0;
      if (size == 0) continue;
      char* at = fresh->Allocate(size);
      std::memcpy(at, cell.Data(), size);
      cell.Write<const char*>(8, at);
    }
  }
  FArena = std::move(fresh);
}
