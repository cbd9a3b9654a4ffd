#pragma once
// In-memory record storage of a data controller: the value types (one class
// per scalar kind, used through class references) that hold, convert,
// compare, show and stream one value; the value definitions, each of which
// keeps its column's values; the storage with its normal records (0 up) and
// internal records (-1 down); the sorted lookup list; and the registry of
// value types.
//
// Records are kept column by column. A record that holds values has a slot,
// the same in every column of its definition list; a column keeps one data
// area per slot in one array, a bit per slot that tells a value from Null,
// and, when it keeps display texts, a pointer per slot to its text. A record
// without values has no slot. Deleted records give their slots back for
// reuse. Pointer-held values (8-bit texts, variants, objects) take a
// pointer's size; a wide text takes sixteen bytes and holds a short text in
// place (TcxStoredWideText).
#include <cstring>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/rtl/events.h"
#include "platform/rtl/fmtbcd.h"
#include "platform/rtl/object.h"
#include "platform/rtl/sqltimst.h"
#include "platform/rtl/types.h"
#include "platform/rtl/variant.h"

class TStream;
class TcxValueType;

// ---- Wide texts in place ----------------------------------------------------------------

// The data area of a wide-text value: a text of up to InlineLength UTF-16
// units lies in the area itself; a longer one lies in a block of its own
// that the area points to. A zeroed area is the empty text. An area is plain
// bytes, moved with memcpy; Release frees its block.
class TcxStoredWideText {
public:
  // Seven units beside the length mark fill sixteen bytes, room for most
  // names and codes of a record without a block.
  static constexpr size_t InlineLength = 7;

  std::u16string_view View() const;
  // Makes the text in a zeroed or released area. Raises std::bad_alloc, or
  // std::length_error for a text longer than a block can tell, leaving the
  // area as it was.
  void Assign(std::u16string_view AText);
  // Frees the block; the area is then the empty text.
  void Release();

  // The text at a value pointer the storage gave for a wide-text column (its
  // areas are aligned for reading in place); valid while that record's value
  // stays.
  static std::u16string_view AtValuePointer(const void* AValuePointer) {
    return static_cast<const TcxStoredWideText*>(AValuePointer)->View();
  }
  // A copy of a possibly unaligned area.
  static TcxStoredWideText Load(const void* AArea) {
    TcxStoredWideText Result;
    std::memcpy(&Result, AArea, sizeof Result);
    return Result;
  }

private:
  // The mark of a text in a block: the block's address is in the first eight
  // bytes of FUnits, its length in the next four.
  static constexpr Word BlockMark = 0xFFFF;
  Char FUnits[InlineLength] = {};
  Word FMark = 0;  // the length of a text in place, or BlockMark
};
static_assert(sizeof(TcxStoredWideText) == 16, "a wide-text area is sixteen bytes");

// ---- Value types ---------------------------------------------------------------------

// The class reference of value types. Every class operation of a value type
// is reached through it: AClass->DataToVariant(...). The operations
// themselves are the virtual members of TcxValueType; the class reference
// calls them on one hidden, stateless instance of its class.
class TcxValueTypeMetaClass : public TMetaClass {
public:
  template <class Self>
  TcxValueTypeMetaClass(std::type_identity<Self> ASelf, const char16_t* AClassName, TClass AClassParent)
      : TMetaClass(ASelf, AClassName, AClassParent),
        FOperations([]() -> const TcxValueType& {
          static const Self Operations;
          return Operations;
        }) {}

  const TcxValueType& Operations() const { return FOperations(); }

  Integer CompareDataAreas(const void* A, const void* B) const;
  void ReleaseData(void* AArea) const;
  void ReleaseTextHolder(void* AArea) const;
  Integer DataAreaSize() const;
  Variant DataToVariant(const void* AArea) const;
  String DataToText(const void* AArea) const;
  String HolderToText(const void* AArea) const;
  void LoadData(void* AArea, TStream* AStream) const;
  void LoadText(void* AArea, TStream* AStream) const;
  void VariantToData(void* AArea, const Variant& AValue) const;
  void TextToHolder(void* AArea, const String& AText) const;
  void SaveData(const void* AArea, TStream* AStream) const;
  void SaveText(const void* AArea, TStream* AStream) const;
  String TypeCaption() const;
  Integer CompareValuePointers(const void* P, const void* Q) const;
  Variant ValuePointerToVariant(const void* P) const;
  TVarType VariantType() const;
  bool AcceptsVariant(Variant& AValue) const;
  bool IsTextType() const;
  const void* AreaToValuePointer(const void* AArea) const;

private:
  const TcxValueType& (*FOperations)();
};
using TcxValueTypeClass = const TcxValueTypeMetaClass*;

// The root of the value types. Areas are raw bytes, possibly unaligned; a
// value pointer is the area itself for fixed-size types and wide texts, and
// the holder for pointer-held ones (nullptr when the holder is not made yet).
class TcxValueType : public TObject {
public:
  using MetaClass = TcxValueTypeMetaClass;
  KORVANE_CLASS(TcxValueType, TObject)

  // Compares two data areas of this type (base: CompareValuePointers of the
  // areas' value pointers).
  virtual Integer CompareDataAreas(const void* A, const void* B) const;
  // Releases what the area owns (nothing for fixed-size types).
  virtual void ReleaseData(void* AArea) const;
  // Disposes the display-text holder whose pointer is in AArea, if any.
  virtual void ReleaseTextHolder(void* AArea) const;
  virtual Integer DataAreaSize() const;
  // Base: Null.
  virtual Variant DataToVariant(const void* AArea) const;
  // Base: the value as text; a value that cannot be turned into text gives "".
  virtual String DataToText(const void* AArea) const;
  // The display text whose holder pointer is in AArea ("" when none).
  virtual String HolderToText(const void* AArea) const;
  virtual void LoadData(void* AArea, TStream* AStream) const;
  virtual void LoadText(void* AArea, TStream* AStream) const;
  // Base: nothing. Raises the platform's variant errors when AValue cannot
  // be converted; the area is then left as it was.
  virtual void VariantToData(void* AArea, const Variant& AValue) const;
  // Stores a display text into the holder whose pointer is in AArea (made
  // when the pointer is nullptr).
  virtual void TextToHolder(void* AArea, const String& AText) const;
  virtual void SaveData(const void* AArea, TStream* AStream) const;
  virtual void SaveText(const void* AArea, TStream* AStream) const;
  // The class name without "Tcx" and "ValueType": TcxStringValueType gives "String".
  virtual String TypeCaption() const;
  virtual Integer CompareValuePointers(const void* P, const void* Q) const;
  virtual Variant ValuePointerToVariant(const void* P) const;
  // Base: varVariant.
  virtual TVarType VariantType() const;
  // True for Null, for the Variant type, or when AValue can be converted to
  // VariantType (AValue is converted in place).
  virtual bool AcceptsVariant(Variant& AValue) const;
  virtual bool IsTextType() const;
  // The value pointer of an area.
  virtual const void* AreaToValuePointer(const void* AArea) const;
};

#define KORVANE_VALUE_TYPE(Name, Parent)                                              \
  class Name : public Parent {                                                        \
    KORVANE_CLASS(Name, Parent)                                                       \
    Integer CompareValuePointers(const void* P, const void* Q) const override;        \
    void ReleaseData(void* AArea) const override;                                     \
    Integer DataAreaSize() const override;                                            \
    Variant DataToVariant(const void* AArea) const override;                          \
    String DataToText(const void* AArea) const override;                              \
    void LoadData(void* AArea, TStream* AStream) const override;                      \
    void VariantToData(void* AArea, const Variant& AValue) const override;            \
    void SaveData(const void* AArea, TStream* AStream) const override;                \
    Variant ValuePointerToVariant(const void* P) const override;                      \
    TVarType VariantType() const override;                                            \
    bool IsTextType() const override;                                                 \
    const void* AreaToValuePointer(const void* AArea) const override;                 \
  }

// Text of 8-bit characters (the platform's byte strings, UTF-8 text).
KORVANE_VALUE_TYPE(TcxStringValueType, TcxValueType);
// UTF-16 text, its area a TcxStoredWideText; a value pointer is the area.
KORVANE_VALUE_TYPE(TcxWideStringValueType, TcxValueType);
KORVANE_VALUE_TYPE(TcxSmallintValueType, TcxValueType);
KORVANE_VALUE_TYPE(TcxIntegerValueType, TcxValueType);
KORVANE_VALUE_TYPE(TcxWordValueType, TcxValueType);
KORVANE_VALUE_TYPE(TcxBooleanValueType, TcxValueType);
KORVANE_VALUE_TYPE(TcxFloatValueType, TcxValueType);
KORVANE_VALUE_TYPE(TcxCurrencyValueType, TcxValueType);
KORVANE_VALUE_TYPE(TcxDateTimeValueType, TcxValueType);
KORVANE_VALUE_TYPE(TcxLargeIntValueType, TcxValueType);
KORVANE_VALUE_TYPE(TcxFMTBcdValueType, TcxValueType);
KORVANE_VALUE_TYPE(TcxSQLTimeStampValueType, TcxValueType);
KORVANE_VALUE_TYPE(TcxVariantValueType, TcxValueType);
// An object reference, held as a pointer-sized integer; not streamed. Its
// values travel as 64-bit integer variants.
KORVANE_VALUE_TYPE(TcxObjectValueType, TcxIntegerValueType);

#undef KORVANE_VALUE_TYPE

// ---- Value definitions ---------------------------------------------------------------

class TcxDataStorage;
class TcxValueDefs;

class TcxValueDef : public TObject {
  KORVANE_CLASS(TcxValueDef, TObject)

  TcxValueDef(TcxValueDefs* AOwner, TcxValueTypeClass AValueTypeClass);
  // Leaves its list, which reshapes the list's records.
  ~TcxValueDef() override;

  virtual TObject* GetLinkObject() const;
  // Stored when the stored flag is set or the storage keeps all values.
  virtual bool IsStored() const;
  virtual void SetLinkObject(TObject* AValue);
  // Copies the stored and text-stored flags.
  virtual void Assign(TcxValueDef* ASource);

  TcxValueDefs* ValueDefs() const { return FValueDefs; }
  TcxValueTypeClass ValueTypeClass() const { return FValueTypeClass; }
  TObject* LinkObject() const { return GetLinkObject(); }
  bool Stored() const { return FStored; }
  void SetStored(bool AValue);
  bool TextStored() const { return FTextStored; }
  void SetTextStored(bool AValue);
  // Stored and keeping a display text beside the value.
  bool KeepsText() const;
  Integer Index() const;
  // What a record's value of the column takes: BufferSize counts the area,
  // a byte for the Null mark and, when it keeps texts, the text pointer (0
  // when it is not stored); Offset is the sum over the columns before it
  // from the list's record header. They size a record; the values themselves
  // lie in the columns. DataSize is the value type's area size.
  Integer Offset() const { return FOffset; }
  Integer DataSize() const { return FDataSize; }
  Integer BufferSize() const { return FBufferSize; }
  bool IsText() const { return FValueTypeClass && FValueTypeClass->IsTextType(); }

  // The order of two located values: both Null 0, first Null -1, second
  // Null 1, else the value type's CompareValuePointers.
  Integer CompareWithNullFlags(bool ANull1, bool ANull2, const void* P1, const void* P2) const;

protected:
  friend class TcxValueDefs;
  friend class TcxDataStorage;
  TcxValueDefs* FValueDefs;
  TcxValueTypeClass FValueTypeClass;
  TObject* FLinkObject = nullptr;
  bool FStored = true;
  bool FTextStored = false;
  Integer FOffset = 0;
  Integer FDataSize = 0;
  Integer FBufferSize = 0;
  // The layout the column was made with (set by LayOut).
  bool FLaidOutStored = false;
  bool FLaidOutKeepsText = false;

private:
  // ---- The column (used by the storage) ----
  // Makes the column fit the definition's stored-ness and text keeping with
  // room for ASlotCount slots: values go when it is not stored any more,
  // texts when it keeps none; what stays keeps its values.
  void LayOut(size_t ASlotCount, size_t ARoom);
  // Room for ASlotCount slots (new ones Null, without text); ARoom is the
  // number of slots worth reserving at once.
  void GrowColumn(size_t ASlotCount, size_t ARoom);
  // Releases a slot's value and text; the slot is then Null.
  void ReleaseSlot(Integer ASlot);
  // Releases every value and text and frees the column's memory.
  void ReleaseColumn();
  Byte* Area(Integer ASlot) { return FAreas.data() + size_t(ASlot) * size_t(FDataSize); }
  const Byte* Area(Integer ASlot) const { return FAreas.data() + size_t(ASlot) * size_t(FDataSize); }
  static constexpr size_t BitsPerWord = 64;  // value bits in one element of FValueBits
  bool HasValue(Integer ASlot) const {
    return FValueBits[size_t(ASlot) / BitsPerWord] >> (size_t(ASlot) % BitsPerWord) & 1;
  }
  void SetHasValue(Integer ASlot, bool AValue);
  void* TextHolder(Integer ASlot) { return &FTexts[size_t(ASlot)]; }
  const void* TextHolder(Integer ASlot) const { return &FTexts[size_t(ASlot)]; }

  // FDataSize bytes per slot; a bit per slot, set for a value (not Null);
  // the display-text holder of each slot when the column keeps texts.
  std::vector<Byte> FAreas;
  std::vector<UInt64> FValueBits;
  std::vector<String*> FTexts;
  size_t FSlotCount = 0;  // the slots the column has room for
};

class TcxValueDefs : public TObject {
  KORVANE_CLASS(TcxValueDefs, TObject)

  explicit TcxValueDefs(TcxDataStorage* AStorage);
  // Frees the definitions (the last first).
  ~TcxValueDefs() override;

  // The storage is told that a definition changed its stored-ness or its
  // text keeping; it reshapes the records of this list.
  virtual void Changed(TcxValueDef* AValueDef, bool AResyncNeeded);
  // Makes a definition of this list's class.
  virtual TcxValueDef* CreateItem(TcxValueTypeClass AValueTypeClass);
  // Counts the columns' sizes from AStartOffset and makes every column fit
  // its definition (see TcxValueDef::LayOut).
  virtual void Prepare(Integer AStartOffset);

  // A new definition, appended; the storage widens the list's records.
  TcxValueDef* Add(TcxValueTypeClass AValueTypeClass, bool AStored, TObject* ALinkObject,
                   bool ATextStored);
  void Clear();
  Integer Count() const;
  // Through the storage's substitute list when one is installed.
  TcxValueDef* Items(Integer AIndex) const;
  Integer IndexOf(const TcxValueDef* AValueDef) const;
  Integer StoredCount() const;
  Integer RecordOffset() const { return FRecordOffset; }
  Integer RecordSize() const { return FRecordSize; }
  TcxDataStorage* DataStorage() const { return FDataStorage; }
  bool IsInternal() const { return FInternal; }

protected:
  friend class TcxValueDef;
  friend class TcxDataStorage;
  void Remove(TcxValueDef* AValueDef);
  TcxDataStorage* FDataStorage;
  std::vector<TcxValueDef*> FItems;
  Integer FRecordOffset = 0;
  Integer FRecordSize = 0;
  bool FInternal = false;
  bool FDestroying = false;
};

// The twin of a normal definition in the internal records. Its link object
// is the normal definition; reading it answers the normal one's link object.
class TcxInternalValueDef : public TcxValueDef {
  KORVANE_CLASS(TcxInternalValueDef, TcxValueDef)

  using TcxValueDef::TcxValueDef;
  TObject* GetLinkObject() const override;
  bool IsStored() const override { return true; }
  // The normal definition this one is the twin of.
  TcxValueDef* BaseValueDef() const { return static_cast<TcxValueDef*>(FLinkObject); }
};

class TcxInternalValueDefs : public TcxValueDefs {
  KORVANE_CLASS(TcxInternalValueDefs, TcxValueDefs)

  explicit TcxInternalValueDefs(TcxDataStorage* AStorage);
  TcxValueDef* CreateItem(TcxValueTypeClass AValueTypeClass) override;
  // The twin of ABase (searched from the end), or nullptr.
  TcxInternalValueDef* FindByLinkObject(const TcxValueDef* ABase) const;
  void RemoveByLinkObject(const TcxValueDef* ABase);
};

// ---- Record source of LoadRecord ---------------------------------------------------------

class TcxValueDefReader : public TObject {
  KORVANE_CLASS(TcxValueDefReader, TObject)

  TcxValueDefReader() = default;
  virtual String GetDisplayText(TcxValueDef* AValueDef);  // ""
  virtual Variant GetValue(TcxValueDef* AValueDef);       // Null
  virtual bool IsInternal(TcxValueDef* AValueDef);        // false
};

// ---- Storage ---------------------------------------------------------------------------------

// Called by ForEachDefinition once per definition.
using TcxValueDefProc =
    std::function<void(TcxValueDef* AValueDef, Integer ARecordIndex, TcxValueDefReader* AReader, void* AData)>;

class TcxDataStorage : public TObject {
  KORVANE_CLASS(TcxDataStorage, TObject)

  TcxDataStorage();
  ~TcxDataStorage() override;

  // Lays out a definition list from the record header on.
  virtual void PrepareValueDefs(TcxValueDefs* AValueDefs);
  // A definition changed (base: nothing).
  virtual void ValueDefsChanged(TcxValueDef* AValueDef, bool AResyncNeeded);
  // The normal definitions for ARecordIndex >= 0, the internal ones below 0.
  virtual TcxValueDefs* ValueDefsOf(Integer ARecordIndex) const;

  TcxValueDefs* ValueDefs() const { return FValueDefs; }
  TcxInternalValueDefs* InternalValueDefs() const { return FInternalValueDefs; }

  // ---- Records ----
  Integer RecordCount() const { return Integer(FRecords.Slots.size()); }
  // Negative counts as 0; shrinking deletes from the end.
  void SetRecordCount(Integer AValue);
  Integer AddRecord();
  void InsertRecordAt(Integer ARecordIndex);
  // A negative index releases that internal record's values (the record
  // stays, without values and not in use).
  void DeleteRecordAt(Integer ARecordIndex);
  // The first free internal record (-1 downward), made when all are in use.
  Integer AcquireInternalRecord();
  Integer InternalRecordCount() const { return Integer(FInternalRecords.Slots.size()); }
  // Without AKeepInternal the internal records go first (and
  // OnClearInternalRecords fires); then every normal record.
  void Reset(bool AKeepInternal);
  // A hook before loading (nothing to do).
  void PrepareLoad() {}

  // ---- Values ----
  Variant ReadValue(Integer ARecordIndex, TcxValueDef* AValueDef) const;
  // Null clears the column; any other value is converted by the column's
  // type. A failed conversion raises and leaves the column as it was.
  void WriteValue(Integer ARecordIndex, TcxValueDef* AValueDef, const Variant& AValue);
  String ReadText(Integer ARecordIndex, TcxValueDef* AValueDef) const;
  // Only for a column that keeps its text.
  void WriteText(Integer ARecordIndex, TcxValueDef* AValueDef, const String& AText);
  void LocateValue(Integer ARecordIndex, TcxValueDef* AValueDef, bool& AIsNull,
                   const void*& AValuePointer) const;
  // Calls AAction(ARecordIndex, AText) for every record in order with the
  // record's text of the wide-text column AValueDef read in place (a
  // const std::u16string_view*, nullptr for Null or a record without
  // values). Answers false, calling nothing, when the column holds no wide
  // texts.
  template <class TAction>
  bool ForEachStoredText(TcxValueDef* AValueDef, TAction&& AAction) const;
  // A record without values first; then Null first; then the values.
  Integer CompareRecordValues(Integer ARecordIndex1, Integer ARecordIndex2, TcxValueDef* AValueDef) const;
  Integer RecordIdOf(Integer ARecordIndex) const;
  void AssignRecordId(Integer ARecordIndex, Integer AId);
  void LoadRecord(Integer ARecordIndex, TcxValueDefReader* AReader, bool ASkipInternal);
  void ForEachDefinition(Integer ARecordIndex, const TcxValueDefProc& AProc, TcxValueDefReader* AReader,
                         void* AData);

  // ---- Modes ----
  bool UseRecordIDs() const { return FUseRecordIDs; }
  void SetUseRecordIDs(bool AValue);
  bool StoredValuesOnly() const { return FStoredValuesOnly; }
  void SetStoredValuesOnly(bool AValue);
  bool Destroying() const { return FDestroying; }
  Integer NextRecordId() const { return FRecordIdCounter; }

  // A list of definitions used for indexed access in place of the normal
  // list (nullptr: none). Not owned.
  std::vector<TcxValueDef*>* SubstituteValueDefs() const { return FSubstituteValueDefs; }
  void SetSubstituteValueDefs(std::vector<TcxValueDef*>* AValue) { FSubstituteValueDefs = AValue; }

  // Fired after the internal records were cleared; Sender is the storage.
  TNotifyEvent OnClearInternalRecords;

  static constexpr Byte RecordFlagInternalInUse = 0x01;
  // The bytes a record with values takes before its columns: its flags and
  // ID (an ID takes room only once records are numbered).
  static constexpr Integer RecordHeaderSize = 5;

protected:
  friend class TcxValueDefs;
  friend class TcxValueDef;
  // Reshaping after changes of the definitions.
  void ValueDefAdded(TcxValueDefs* AList, TcxValueDef* AValueDef);
  void ValueDefRemoving(TcxValueDefs* AList, TcxValueDef* AValueDef);
  // A definition's stored-ness or text keeping changed: lays AList out anew;
  // the columns that stay stored keep their values.
  void ValueDefLayoutChanged(TcxValueDefs* AList);
  // The slots the records of AList have room for in its columns.
  size_t SlotCountOf(const TcxValueDefs* AList) const;

private:
  // The slot of a record without values.
  static constexpr Integer NoSlot = -1;
  // The records of one definition list: each record's slot (NoSlot for a
  // record without values), the slots given back for reuse, and by slot the
  // record flags and IDs (each kept only once one is set: a slot past their
  // end has flags 0 and ID 0).
  struct TRecordTable {
    std::vector<Integer> Slots;
    std::vector<Integer> FreeSlots;
    size_t SlotCount = 0;
    std::vector<Byte> Flags;
    std::vector<Integer> Ids;
  };

  TRecordTable& TableOf(const TcxValueDefs* AList);
  const TRecordTable& TableOf(Integer ARecordIndex) const {
    return ARecordIndex >= 0 ? FRecords : FInternalRecords;
  }
  Integer& SlotRef(Integer ARecordIndex);
  // The record's slot (NoSlot without values); raises EListError for an
  // index outside the records.
  Integer SlotOf(Integer ARecordIndex) const;
  // The record's slot, given to it first when it has none.
  Integer MakeSlot(Integer ARecordIndex);
  Byte FlagsOf(const TRecordTable& ATable, Integer ASlot) const;
  // Gives ASlot's values and texts back and the slot for reuse; ASlot is
  // then NoSlot.
  void FreeSlot(const TcxValueDefs* AList, Integer& ASlot);
  // Every record of AList loses its values and its slot.
  void FreeSlots(const TcxValueDefs* AList);
  // The definition of AValueDef's column in the list of ARecordIndex:
  // itself, its internal twin, or nullptr when the record has no such column.
  TcxValueDef* ColumnOf(Integer ARecordIndex, TcxValueDef* AValueDef) const;
  void CheckRecordIndex(Integer ARecordIndex) const;
  void GiveRecordId(Integer ARecordIndex);
  void ReleaseInternalRecords();

  TcxValueDefs* FValueDefs = nullptr;
  TcxInternalValueDefs* FInternalValueDefs = nullptr;
  TRecordTable FRecords;
  TRecordTable FInternalRecords;
  Integer FRecordIdCounter = 1;
  bool FUseRecordIDs = false;
  bool FStoredValuesOnly = false;
  bool FDestroying = false;
  std::vector<TcxValueDef*>* FSubstituteValueDefs = nullptr;
};

// ---- Lookup list ---------------------------------------------------------------------------

struct TcxLookupListItem {
  Variant Value;
  String DisplayText;
};

// Items in ascending value order (CompareVariantValues).
class TcxLookupList : public TObject {
  KORVANE_CLASS(TcxLookupList, TObject)

  TcxLookupList() = default;
  ~TcxLookupList() override;

  void Clear();
  Integer Count() const { return Integer(FItems.size()); }
  // Bisection: true with the index of an equal item, or false with the
  // index where AValue would go.
  bool Find(const Variant& AValue, Integer& AIndex) const;
  void Insert(Integer AIndex, const Variant& AValue, const String& ADisplayText);
  // Raises EListError outside the list.
  const TcxLookupListItem& GetItem(Integer AIndex) const;

private:
  std::vector<TcxLookupListItem*> FItems;
};

// ---- Registry of value types ---------------------------------------------------------------

class TcxValueTypeClassList : public TObject {
  KORVANE_CLASS(TcxValueTypeClassList, TObject)

  Integer Count() const { return Integer(FItems.size()); }
  TcxValueTypeClass Items(Integer AIndex) const;
  // The registered class with that TypeCaption, or nullptr.
  TcxValueTypeClass ItemByCaption(const String& ACaption) const;
  // Adds the class unless it is present.
  void RegisterItem(TcxValueTypeClass AValueTypeClass);
  void UnregisterItem(TcxValueTypeClass AValueTypeClass);

private:
  std::vector<TcxValueTypeClass> FItems;
};

// The one registry, made on first use. The fourteen value types are
// registered at start-up in the order of their declarations above.
TcxValueTypeClassList* cxValueTypeClassList();

template <class TAction>
bool TcxDataStorage::ForEachStoredText(TcxValueDef* AValueDef, TAction&& AAction) const {
  const TcxValueDef* Def = ColumnOf(0, AValueDef);
  if (!Def || Def->ValueTypeClass() != TcxWideStringValueType::StaticClass()) return false;
  const std::vector<Integer>& Slots = FRecords.Slots;
  for (size_t R = 0; R < Slots.size(); ++R) {
    const Integer Slot = Slots[R];
    if (Slot == NoSlot || !Def->HasValue(Slot)) {
      AAction(Integer(R), static_cast<const std::u16string_view*>(nullptr));
      continue;
    }
    const std::u16string_view Text = TcxStoredWideText::AtValuePointer(Def->Area(Slot));
    AAction(Integer(R), &Text);
  }
  return true;
}
