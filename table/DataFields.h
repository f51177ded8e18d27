#pragma once
// Field definitions, as a dataset describes its records, and the field objects
// through which values are read and written as text, numbers, Booleans and dates.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "table/DataTypes.h"

class TDataSet;

// One field as the dataset defines it. Size counts characters for string fields
// and is 0 for the other types.
struct TFieldDef {
    std::string Name;
    TFieldType DataType = TFieldType::ftUnknown;
    int Size = 0;
    bool Required = false;
};

// The definitions of a dataset's fields, in field order, with unique names.
class TFieldDefs {
public:
    void Clear();
    // Appends a definition; raises EDatabaseError for an empty or repeated name
    // and for a string field whose size is below 1.
    const TFieldDef& Add(std::string name, TFieldType dataType, int size, bool required);
    int Count() const { return static_cast<int>(FItems.size()); }
    const TFieldDef& operator[](int index) const { return FItems[static_cast<std::size_t>(index)]; }
    // 0-based position of the definition with that name, or -1.
    int IndexOf(std::string_view name) const;

    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    std::vector<TFieldDef> FItems;
    std::unordered_map<std::string, int> FIndex;
};

// A field object. Its value lives in the dataset's current record buffer and is
// exchanged in the field's native form:
//   string: Size + 1 bytes, zero-terminated      integer, small integer: 32-bit integer
//   boolean: 16 bits, 0 is false                 float, currency, BCD: double
//   date, time, date-time: the date serial number as a double
//   memo, graphic: no bytes; the content goes through the dataset's blob streams.
// Text forms: integers in decimal, floats in the general 15-digit form, Booleans
// "True" and "False", dates as date text, date-times as date-and-time text,
// times as "hh:nn:ss".
class TField {
public:
    TField(TDataSet& dataSet, std::string fieldName, TFieldType dataType, int size, TFieldKind kind);
    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;

    TDataSet& DataSet() const { return FDataSet; }
    const std::string& FieldName() const { return FFieldName; }
    TFieldType DataType() const { return FDataType; }
    int Size() const { return FSize; }
    // Bytes of the native value: see above.
    std::size_t DataSize() const;
    TFieldKind FieldKind() const { return FFieldKind; }
    bool IsCalculated() const { return FFieldKind != TFieldKind::fkData; }
    bool IsBlob() const { return IsBlobType(FDataType); }
    bool Required() const { return FRequired; }
    // 1-based position of its definition while the dataset is open; 0 for computed fields.
    int FieldNo() const { return FFieldNo; }
    // Computed fields: where the has-value byte lies inside the calculated-field area.
    std::size_t Offset() const { return FOffset; }

    // Copies the native value into destination (when given); false when there is no value.
    bool GetData(void* destination) const;
    // Gives the field the native value at source; the dataset must be editing.
    void SetData(const void* source);
    bool IsNull() const { return !GetData(nullptr); }

    // Readers give "", 0, false or day 0 when there is no value, and raise
    // EDatabaseError when the value does not convert.
    std::string AsString() const;
    std::int32_t AsInteger() const;
    double AsFloat() const;
    bool AsBoolean() const;
    double AsDateTime() const;
    // Writers raise EDatabaseError when the value does not fit the field.
    void SetAsString(std::string_view text);
    void SetAsInteger(std::int32_t value);
    void SetAsFloat(double value);
    void SetAsBoolean(bool value);
    void SetAsDateTime(double value);

    // The text a grid cell shows.
    std::string DisplayText() const;
    // Takes text as a person types it into a grid cell: a string is cut to the
    // size, other types must convert (empty text does not); raises
    // 'Invalid value "text" for field "name"' and changes nothing otherwise.
    void SetEditText(std::string_view text);

private:
    friend class TDataSet;

    std::int32_t ReadInt32() const;
    double ReadDouble() const;
    void WriteInt32(std::int32_t value);
    void WriteDouble(double value);
    std::string ReadBlobText() const;
    void WriteBlobText(std::string_view text);
    [[noreturn]] void RaiseInvalid(std::string_view text) const;
    [[noreturn]] void RaiseCannotRead(const char* as) const;
    [[noreturn]] void RaiseCannotHold(const char* what) const;

    TDataSet& FDataSet;  // not owned
    std::string FFieldName;
    TFieldType FDataType;
    int FSize;
    TFieldKind FFieldKind;
    bool FRequired = false;
    int FFieldNo = 0;
    std::size_t FOffset = 0;
};

// The field objects of a dataset, in field order; the dataset owns them.
class TFields {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    TField* operator[](int index) const { return FItems[static_cast<std::size_t>(index)].get(); }
    // The field of that name (names compare exactly), or nullptr.
    TField* FindField(std::string_view name) const;

    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    friend class TDataSet;
    TField& Add(std::unique_ptr<TField> field);
    void Clear();

    std::vector<std::unique_ptr<TField>> FItems;
    std::unordered_map<std::string, TField*> FIndex;  // not owned
};

