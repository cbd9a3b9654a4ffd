#pragma once
// Message texts of the dataset layer; "%s" marks stand for names and values.
#include <initializer_list>

#include "platform/rtl/types.h"

namespace dbconsts {
inline constexpr const char16_t* SFieldNotFound = u"Field '%s' not found";
inline constexpr const char16_t* SNotEditing = u"Dataset not in edit or insert mode";
inline constexpr const char16_t* SDataSetClosed = u"Cannot perform this operation on a closed dataset";
inline constexpr const char16_t* SDataSetOpen = u"Cannot perform this operation on an open dataset";
inline constexpr const char16_t* SDataSetReadOnly = u"Cannot modify a read-only dataset";
inline constexpr const char16_t* SDataSetEmpty = u"Cannot perform this operation on an empty dataset";
inline constexpr const char16_t* SFieldReadOnly = u"Field '%s' cannot be modified";
inline constexpr const char16_t* SFieldRequired = u"Field '%s' must have a value";
inline constexpr const char16_t* SInvalidIntegerValue = u"'%s' is not a valid integer value for field '%s'";
inline constexpr const char16_t* SInvalidFloatValue = u"'%s' is not a valid floating point value for field '%s'";
inline constexpr const char16_t* SInvalidBoolValue = u"'%s' is not a valid boolean value for field '%s'";
inline constexpr const char16_t* SInvalidDateValue = u"'%s' is not a valid date and time value for field '%s'";
inline constexpr const char16_t* SInvalidValue = u"Invalid value for field '%s'";
inline constexpr const char16_t* SFieldRangeError = u"%s is not a valid value for field '%s'. The allowed range is %s to %s";
inline constexpr const char16_t* SRecordNotFound = u"Record not found";
inline constexpr const char16_t* SInvalidBookmark = u"Invalid bookmark";
inline constexpr const char16_t* SCircularDataLink = u"Circular datalinks are not allowed";
inline constexpr const char16_t* SLookupInfoError = u"Lookup information for field '%s' is incomplete";
inline constexpr const char16_t* SDuplicateFieldName = u"Duplicate field name '%s'";
inline constexpr const char16_t* SFieldIndexError = u"Field index out of range";
inline constexpr const char16_t* SNoResultSet = u"CommandText does not return a result set";
inline constexpr const char16_t* SMissingConnection = u"Missing Connection or ConnectionString";
inline constexpr const char16_t* SParameterNotFound = u"Parameter '%s' not found";
inline constexpr const char16_t* SNotConnected = u"Connection is not open";
inline constexpr const char16_t* SNoTransaction = u"No transaction is active";
inline constexpr const char16_t* SRowGone = u"Row cannot be located for updating. Some values may have been changed since it was last read";
inline constexpr const char16_t* SFieldAccessError = u"Cannot access field '%s' as type %s";
inline constexpr const char16_t* SInvalidSort = u"Invalid sort text '%s'";
}  // namespace dbconsts

// Fills the "%s" marks of a message in order.
String FormatDbMessage(const char16_t* message, std::initializer_list<String> args);
