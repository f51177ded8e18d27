#pragma once
// The vocabulary of the data framework: dataset states, field types and kinds,
// the modes and results of record fetching, bookmarks, and the database error.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// The error every dataset and field operation raises; its text is what a person reads.
class EDatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TDataSetState {
    dsInactive,    // closed
    dsBrowse,      // open, no pending change
    dsEdit,        // the active record is being changed
    dsInsert,      // a new record is being filled
    dsCalcFields,  // calculated fields of a buffer are being computed
    dsFilter,      // the record-filter handler is looking at the temporary buffer
    dsNewValue,    // a value is being given without notifying anyone
};

enum class TFieldType {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftMemo,
    ftGraphic,
};

enum class TFieldKind {
    fkData,        // stored in the dataset's records
    fkCalculated,  // computed by the calculated-fields handler
    fkLookup,      // computed like a calculated field
};

// Which record a fetch asks for, relative to the cursor.
enum class TGetMode { gmCurrent, gmNext, gmPrior };

// The outcome of a fetch: a record, or before the first, after the last, or none at all.
enum class TGetResult { grOk, grBof, grEof, grError };

// How a buffer's record relates to the stored records.
enum class TBookmarkFlag : std::uint8_t {
    bfCurrent,   // a stored record
    bfBOF,       // the position before the first record
    bfEOF,       // a new record placed after the last one
    bfInserted,  // a new record placed at the active position
};

enum class TBlobStreamMode { bmRead, bmWrite, bmReadWrite };

// A bookmark is an opaque copy of the bytes the dataset hands out; empty means none.
using TBookmark = std::vector<std::byte>;

// Record buffers are exchanged with the hosting code as 16-bit sizes.
constexpr std::size_t MaxRecordSize = 65535;

// Blob fields keep their content in streams, not in the record buffer's value slots.
bool IsBlobType(TFieldType type);
// Date, time and date-time fields: their native value is a date serial number.
bool IsDateType(TFieldType type);
