#pragma once
// Enumerations, sets and event types shared by datasets, fields, data
// sources and links. The enumerations keep the platform's order of values,
// since callers compare and store their ordinals.
#include <set>

#include "platform/rtl/component.h"
#include "platform/rtl/events.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/types.h"

class TDataSet;
class TField;

enum TFieldType {
  ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD,
  ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic,
  ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary, ftCursor, ftFixedChar, ftWideString,
  ftLargeint, ftADT, ftArray, ftReference, ftDataSet, ftOraBlob, ftOraClob, ftVariant,
  ftInterface, ftIDispatch, ftGuid, ftTimeStamp, ftFMTBcd, ftFixedWideChar, ftWideMemo,
  ftOraTimeStamp, ftOraInterval
};

enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };

enum TDataSetState {
  dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter, dsNewValue,
  dsOldValue, dsCurValue, dsBlockRead, dsInternalCalc, dsOpening
};

enum TDataEvent {
  deFieldChange, deRecordChange, deDataSetChange, deDataSetScroll, deLayoutChange,
  deUpdateRecord, deUpdateState, deCheckBrowseMode, dePropertyChange, deFieldListChange,
  deFocusControl, deParentScroll, deConnectChange, deReconcileError, deDisabledStateChange
};

enum TDataAction { daFail, daAbort, daRetry };

enum TLocateOption { loCaseInsensitive, loPartialKey };
using TLocateOptions = std::set<TLocateOption>;

enum TFilterOption { foCaseInsensitive, foNoPartialCompare };
using TFilterOptions = std::set<TFilterOption>;


// What a field reference names in FocusControl: a link that handles the
// request clears it so that nobody else does.
using TFieldRef = TField**;

using TDataSetNotifyEvent = TEvent<void(TDataSet* DataSet)>;
using TDataSetErrorEvent = TEvent<void(TDataSet* DataSet, EDatabaseError* E, TDataAction& Action)>;
using TFilterRecordEvent = TEvent<void(TDataSet* DataSet, bool& Accept)>;
using TFieldNotifyEvent = TEvent<void(TField* Sender)>;
using TFieldGetTextEvent = TEvent<void(TField* Sender, String& Text, bool DisplayText)>;
using TFieldSetTextEvent = TEvent<void(TField* Sender, const String& Text)>;
using TDataChangeEvent = TEvent<void(TObject* Sender, TField* Field)>;

// Raises EDatabaseError with the message; with a component, its name first
// ("aq_metadata: Field 'x' not found").
[[noreturn]] void DatabaseError(const String& Message, const TComponent* Component = nullptr);

// The next name of a ";"-separated list of field names, trimmed; Pos is
// 1-based and moves past the separator.
String ExtractFieldName(const String& Fields, Integer& Pos);
// Every name of such a list.
std::vector<String> SplitFieldNames(const String& Fields);

// Value ranges of the platform's small integer fields.
inline constexpr Integer MinSmallint = -32768;
inline constexpr Integer MaxSmallint = 32767;
inline constexpr Integer MaxWord = 65535;
