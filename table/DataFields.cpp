#include "table/DataFields.h"

#include <cmath>
#include <cstring>

#include "core/DateText.h"
#include "core/NumberText.h"
#include "core/qelStrings.h"
#include "table/DataSet.h"

bool IsBlobType(TFieldType type)
{
    return type == TFieldType::ftMemo || type == TFieldType::ftGraphic;
}

bool IsDateType(TFieldType type)
{
    return type == TFieldType::ftDate || type == TFieldType::ftTime || type == TFieldType::ftDateTime;
}

namespace {

std::string Quoted(std::string_view text)
{
    std::string result = "\"";
    result.append(text);
    result += '"';
    return result;
}

bool IsIntegerType(TFieldType type)
{
    return type == TFieldType::ftInteger || type == TFieldType::ftSmallint;
}

bool IsFloatType(TFieldType type)
{
    return type == TFieldType::ftFloat || type == TFieldType::ftCurrency || type == TFieldType::ftBCD;
}

bool IsTextType(TFieldType type)
{
    return type == TFieldType::ftString || IsBlobType(type);
}

// A date serial number that a date text can show: finite and inside years 1 to 9999.
bool IsValidDate(double value)
{
    return std::isfinite(value) && value > MinDateValue - 1.0 && value < MaxDateValue + 1.0;
}

std::string TimeText(double value)
{
    TDateParts parts;
    if (!DecodeDateTime(value, parts)) return {};
    char text[9];
    const int n[3] = {parts.Hour, parts.Minute, parts.Second};
    for (int i = 0; i < 3; ++i) {
        text[3 * i] = static_cast<char>('0' + n[i] / 10);
        text[3 * i + 1] = static_cast<char>('0' + n[i] % 10);
        if (i < 2) text[3 * i + 2] = ':';
    }
    return std::string(text, 8);
}

// "h:n[:s]" with blanks around it; 1 or 2 digits each.
bool TextToTime(std::string_view text, double& value)
{
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    int numbers[3] = {0, 0, 0};
    int count = 0;
    std::size_t i = 0;
    while (count < 3) {
        int digits = 0, number = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 3) {
            number = number * 10 + (text[i++] - '0');
            ++digits;
        }
        if (digits == 0 || digits > 2) return false;
        numbers[count++] = number;
        if (i == text.size()) break;
        if (text[i++] != ':') return false;
    }
    if (i != text.size() || count < 2) return false;
    if (numbers[0] > 23 || numbers[1] > 59 || numbers[2] > 59) return false;
    value = (numbers[0] * 3600.0 + numbers[1] * 60.0 + numbers[2]) / 86400.0;
    return true;
}

}  // namespace


// ---- definitions ----

void TFieldDefs::Clear()
{
    FItems.clear();
    FIndex.clear();
}

const TFieldDef& TFieldDefs::Add(std::string name, TFieldType dataType, int size, bool required)
{
    if (name.empty()) throw EDatabaseError("A field needs a name");
    if (FIndex.count(name)) throw EDatabaseError("Duplicate field name " + Quoted(name));
    if (dataType == TFieldType::ftString && size < 1)
        throw EDatabaseError("Invalid size " + std::to_string(size) + " of field " + Quoted(name));
    FIndex.emplace(name, Count());
    FItems.push_back({std::move(name), dataType, dataType == TFieldType::ftString ? size : 0, required});
    return FItems.back();
}

int TFieldDefs::IndexOf(std::string_view name) const
{
    const auto found = FIndex.find(std::string(name));
    return found == FIndex.end() ? -1 : found->second;
}

// ---- field objects ----

TField::TField(TDataSet& dataSet, std::string fieldName, TFieldType dataType, int size, TFieldKind kind)
    : FDataSet(dataSet), FFieldName(std::move(fieldName)), FDataType(dataType),
      FSize(dataType == TFieldType::ftString ? size : 0), FFieldKind(kind)
{
    if (FFieldName.empty()) throw EDatabaseError("A field needs a name");
    if (dataType == TFieldType::ftUnknown) throw EDatabaseError("Field " + Quoted(FFieldName) + " has no data type");
    if (dataType == TFieldType::ftString && size < 1)
        throw EDatabaseError("Invalid size " + std::to_string(size) + " of field " + Quoted(FFieldName));
    if (IsBlobType(dataType) && IsCalculated())
        throw EDatabaseError("Blob field " + Quoted(FFieldName) + " cannot be computed");
}

std::size_t TField::DataSize() const
{
    switch (FDataType) {
    case TFieldType::ftString:
        return static_cast<std::size_t>(FSize) + 1;
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
        return sizeof(std::int32_t);
    case TFieldType::ftBoolean:
        return sizeof(std::uint16_t);
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD:
    case TFieldType::ftDate:
    case TFieldType::ftTime:
    case TFieldType::ftDateTime:
        return sizeof(double);
    default:
        return 0;
    }
}

bool TField::GetData(void* destination) const
{
    return FDataSet.GetFieldData(*this, destination);
}

void TField::SetData(const void* source)
{
    FDataSet.CheckFieldWritable(*this);
    FDataSet.SetFieldData(*this, source);
}

void TField::RaiseInvalid(std::string_view text) const
{
    throw EDatabaseError("Invalid value " + Quoted(text) + " for field " + Quoted(FFieldName));
}

void TField::RaiseCannotRead(const char* as) const
{
    throw EDatabaseError("Field " + Quoted(FFieldName) + " cannot be read as " + as);
}

void TField::RaiseCannotHold(const char* what) const
{
    throw EDatabaseError("Field " + Quoted(FFieldName) + " cannot hold " + what);
}

std::int32_t TField::ReadInt32() const
{
    std::int32_t value = 0;
    if (!GetData(&value)) return 0;
    return value;
}

double TField::ReadDouble() const
{
    double value = 0;
    if (!GetData(&value)) return 0;
    return value;
}

void TField::WriteInt32(std::int32_t value)
{
    SetData(&value);
}

void TField::WriteDouble(double value)
{
    SetData(&value);
}

std::string TField::ReadBlobText() const
{
    if (IsNull()) return {};
    const auto stream = FDataSet.CreateBlobStream(const_cast<TField&>(*this), TBlobStreamMode::bmRead);
    return std::string(stream->View());
}

void TField::WriteBlobText(std::string_view text)
{
    FDataSet.CheckFieldWritable(*this);
    {
        const auto stream = FDataSet.CreateBlobStream(*this, TBlobStreamMode::bmWrite);
        WriteStringToStream(text, *stream);
    }  // the stream hands its content to the record here
    FDataSet.NotifyFieldChanged(*this);
}

std::string TField::AsString() const
{
    switch (FDataType) {
    case TFieldType::ftString: {
        std::string text(DataSize(), '\0');
        if (!GetData(text.data())) return {};
        text.resize(std::strlen(text.c_str()));
        return text;
    }
    case TFieldType::ftMemo:
    case TFieldType::ftGraphic:
        return ReadBlobText();
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
        return IsNull() ? std::string() : IntToText(ReadInt32());
    case TFieldType::ftBoolean:
        return IsNull() ? std::string() : (AsBoolean() ? "True" : "False");
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD: {
        std::string text;
        if (IsNull() || !FloatToText(ReadDouble(), text)) return {};
        return text;
    }
    case TFieldType::ftDate:
    case TFieldType::ftDateTime: {
        std::string text;
        if (IsNull()) return {};
        const double value = ReadDouble();
        const bool done = FDataType == TFieldType::ftDate ? DateToText(value, text) : DateTimeToText(value, text);
        return done ? text : std::string();
    }
    case TFieldType::ftTime:
        return IsNull() ? std::string() : TimeText(ReadDouble());
    default:
        return {};
    }
}

std::int32_t TField::AsInteger() const
{
    if (IsIntegerType(FDataType)) return ReadInt32();
    if (FDataType == TFieldType::ftBoolean) return AsBoolean() ? -1 : 0;
    if (IsFloatType(FDataType) || IsDateType(FDataType)) {
        std::int32_t value = 0;
        if (!RoundToInt32(ReadDouble(), value)) RaiseCannotRead("an integer");
        return value;
    }
    const std::string text = AsString();
    std::int32_t value = 0;
    if (text.empty()) return 0;
    if (!TextToInt(text, value)) RaiseInvalid(text);
    return value;
}

double TField::AsFloat() const
{
    if (IsIntegerType(FDataType)) return ReadInt32();
    if (FDataType == TFieldType::ftBoolean) return AsBoolean() ? -1 : 0;
    if (IsFloatType(FDataType) || IsDateType(FDataType)) return ReadDouble();
    const std::string text = AsString();
    double value = 0;
    if (text.empty()) return 0;
    if (!TextToFloat(text, value)) RaiseInvalid(text);
    return value;
}

bool TField::AsBoolean() const
{
    if (FDataType == TFieldType::ftBoolean) {
        std::uint16_t value = 0;
        return GetData(&value) && value != 0;
    }
    if (IsIntegerType(FDataType)) return ReadInt32() != 0;
    if (IsFloatType(FDataType) || IsDateType(FDataType)) return ReadDouble() != 0;
    const std::string text = AsString();
    bool value = false;
    if (text.empty()) return false;
    if (!TextToBoolean(text, value)) RaiseInvalid(text);
    return value;
}

double TField::AsDateTime() const
{
    if (IsDateType(FDataType) || IsFloatType(FDataType)) return ReadDouble();
    if (IsIntegerType(FDataType)) return ReadInt32();
    if (FDataType == TFieldType::ftBoolean) RaiseCannotRead("a date");
    const std::string text = AsString();
    double value = 0;
    if (text.empty()) return 0;
    if (!TextToDateTime(text, value)) RaiseInvalid(text);
    return value;
}

void TField::SetAsString(std::string_view text)
{
    switch (FDataType) {
    case TFieldType::ftString: {
        std::string value(text.substr(0, static_cast<std::size_t>(FSize)));
        value.resize(DataSize(), '\0');
        SetData(value.data());
        return;
    }
    case TFieldType::ftMemo:
    case TFieldType::ftGraphic:
        WriteBlobText(text);
        return;
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger: {
        std::int32_t value = 0;
        if (!TextToInt(text, value)) RaiseInvalid(text);
        SetAsInteger(value);
        return;
    }
    case TFieldType::ftBoolean: {
        bool value = false;
        if (!TextToBoolean(text, value)) RaiseInvalid(text);
        SetAsBoolean(value);
        return;
    }
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD: {
        double value = 0;
        if (!TextToFloat(text, value)) RaiseInvalid(text);
        SetAsFloat(value);
        return;
    }
    case TFieldType::ftDate:
    case TFieldType::ftDateTime: {
        double value = 0;
        if (!TextToDateTime(text, value)) RaiseInvalid(text);
        SetAsDateTime(value);
        return;
    }
    case TFieldType::ftTime: {
        double value = 0;
        if (!TextToTime(text, value)) RaiseInvalid(text);
        SetAsDateTime(value);
        return;
    }
    default:
        RaiseCannotHold("text");
    }
}

void TField::SetAsInteger(std::int32_t value)
{
    if (FDataType == TFieldType::ftSmallint && (value < -32768 || value > 32767)) RaiseInvalid(IntToText(value));
    if (IsIntegerType(FDataType))
        WriteInt32(value);
    else if (FDataType == TFieldType::ftBoolean)
        SetAsBoolean(value != 0);
    else if (IsFloatType(FDataType))
        WriteDouble(value);
    else if (IsDateType(FDataType))
        SetAsDateTime(value);
    else
        SetAsString(IntToText(value));
}

void TField::SetAsFloat(double value)
{
    if (!std::isfinite(value)) RaiseCannotHold("an infinite or undefined number");
    if (IsFloatType(FDataType)) {
        WriteDouble(value);
    } else if (IsIntegerType(FDataType)) {
        std::int32_t rounded = 0;
        if (!RoundToInt32(value, rounded)) {
            std::string text;
            FloatToText(value, text);
            RaiseInvalid(text);
        }
        SetAsInteger(rounded);
    } else if (FDataType == TFieldType::ftBoolean) {
        SetAsBoolean(value != 0);
    } else if (IsDateType(FDataType)) {
        SetAsDateTime(value);
    } else {
        std::string text;
        FloatToText(value, text);
        SetAsString(text);
    }
}

void TField::SetAsBoolean(bool value)
{
    if (FDataType == TFieldType::ftBoolean) {
        const std::uint16_t stored = value ? 1 : 0;
        SetData(&stored);
    } else if (IsIntegerType(FDataType)) {
        WriteInt32(value ? -1 : 0);
    } else if (IsFloatType(FDataType)) {
        WriteDouble(value ? -1 : 0);
    } else if (IsTextType(FDataType)) {
        SetAsString(value ? "True" : "False");
    } else {
        RaiseCannotHold("a Boolean");
    }
}

void TField::SetAsDateTime(double value)
{
    if (!IsValidDate(value)) RaiseCannotHold("a date outside the years 1 to 9999");
    switch (FDataType) {
    case TFieldType::ftDate:
        WriteDouble(DateDay(value));
        return;
    case TFieldType::ftTime:
        WriteDouble(DateTimeOfDay(value));
        return;
    case TFieldType::ftDateTime:
        WriteDouble(value);
        return;
    default:
        break;
    }
    if (IsFloatType(FDataType)) {
        WriteDouble(value);
    } else if (IsIntegerType(FDataType)) {
        SetAsFloat(value);
    } else if (IsTextType(FDataType)) {
        std::string text;
        DateTimeToText(value, text);
        SetAsString(text);
    } else {
        RaiseCannotHold("a date");
    }
}

std::string TField::DisplayText() const
{
    return AsString();
}

void TField::SetEditText(std::string_view text)
{
    SetAsString(text);
}

// ---- the list ----

TField* TFields::FindField(std::string_view name) const
{
    const auto found = FIndex.find(std::string(name));
    return found == FIndex.end() ? nullptr : found->second;
}

TField& TFields::Add(std::unique_ptr<TField> field)
{
    if (FindField(field->FieldName())) throw EDatabaseError("Duplicate field name " + Quoted(field->FieldName()));
    FItems.push_back(std::move(field));
    TField& added = *FItems.back();
    FIndex.emplace(added.FieldName(), &added);
    return added;
}

void TFields::Clear()
{
    FIndex.clear();
    FItems.clear();
}
