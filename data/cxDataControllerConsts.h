#pragma once
// The error class of the data controller family and its message texts.
// Texts are read through LoadResourceText so that they can be replaced.
#include "platform/rtl/exceptions.h"
#include "platform/rtl/resstr.h"
#include "platform/rtl/types.h"

// Raised by the data controller, its provider and its bookkeeping classes.
KORVANE_EXCEPTION(EcxInvalidDataControllerOperation, Exception);

inline constexpr TResourceString cxSDataRecordIndexError{65260, u"RecordIndex out of range"};
inline constexpr TResourceString cxSDataItemIndexError{65261, u"ItemIndex out of range"};
inline constexpr TResourceString cxSDataRowIndexError{65262, u"RowIndex out of range"};
inline constexpr TResourceString cxSDataItemExistError{65263, u"Item already exists"};

// "No record": the editing record of an idle provider, and the record of a
// data change that names no record. Distinct from -1 and from every normal
// (0 up) and internal (-1 down) record index of the storage.
inline constexpr Integer cxNoRecordIndex = Integer(-2147483647);  // 0x80000001

// Raises EcxInvalidDataControllerOperation with the text loaded for AText.
[[noreturn]] void cxDataControllerError(const TResourceString& AText);
