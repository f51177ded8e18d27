#include "xpath/Variant.h"

#include <string_view>

#include "core/DateText.h"
#include "core/NumberText.h"

void RaiseTypeConversion()
{
    throw EVariantError(InvalidTypeConversionText);
}

void RaiseInvalidOperation()
{
    throw EVariantError(InvalidOperationText);
}

Variant Variant::Null()
{
    Variant v;
    v.SetNull();
    return v;
}

Variant Variant::FromInteger(std::int32_t value)
{
    Variant v;
    v.SetInteger(value);
    return v;
}

Variant Variant::FromDouble(double value)
{
    Variant v;
    v.FKind = vkDouble;
    v.FDouble = value;
    return v;
}

Variant Variant::FromDate(double value)
{
    Variant v;
    v.FKind = vkDate;
    v.FDouble = value;
    return v;
}

Variant Variant::FromBoolean(bool value)
{
    Variant v;
    v.SetBoolean(value);
    return v;
}

Variant Variant::FromText(std::string value)
{
    Variant v;
    v.FKind = vkText;
    v.FText = std::move(value);
    return v;
}

void Variant::Become(TVarKind kind)
{
    FKind = kind;
    FBorrowed = false;
    FText.clear();
}

void Variant::SetNull()
{
    Become(vkNull);
}

void Variant::SetInteger(std::int32_t value)
{
    Become(vkInteger);
    FInteger = value;
}

void Variant::SetBoolean(bool value)
{
    Become(vkBoolean);
    FBoolean = value;
}

void Variant::SetBorrowedText(std::string_view value)
{
    Become(vkText);
    FBorrowed = true;
    FView = value;
}

void Variant::Own()
{
    if (!FBorrowed) return;
    FText.assign(FView);
    FView = {};
    FBorrowed = false;
}

std::string Variant::ToText() const
{
    std::string text;
    switch (FKind) {
    case vkEmpty:
        return text;
    case vkInteger:
        return IntToText(FInteger);
    case vkDouble:
        if (!FloatToText(FDouble, text)) RaiseTypeConversion();
        return text;
    case vkDate:
        if (!DateTimeToText(FDouble, text)) RaiseTypeConversion();
        return text;
    case vkBoolean:
        return FBoolean ? "True" : "False";
    case vkText:
        return std::string(TextView());
    case vkNull:
        break;
    }
    RaiseTypeConversion();
}

double Variant::ToDouble() const
{
    switch (FKind) {
    case vkEmpty:
        return 0.0;
    case vkInteger:
        return FInteger;
    case vkDouble:
    case vkDate:
        return FDouble;
    case vkBoolean:
        return FBoolean ? -1.0 : 0.0;
    case vkText: {
        double value = 0.0;
        if (!TextToFloat(TextView(), value)) RaiseTypeConversion();
        return value;
    }
    case vkNull:
        break;
    }
    RaiseTypeConversion();
}

std::int32_t Variant::ToInteger() const
{
    switch (FKind) {
    case vkEmpty:
        return 0;
    case vkInteger:
        return FInteger;
    case vkBoolean:
        return FBoolean ? -1 : 0;
    case vkDouble:
    case vkDate:
    case vkText: {
        std::int32_t value = 0;
        if (!RoundToInt32(ToDouble(), value)) RaiseTypeConversion();
        return value;
    }
    case vkNull:
        break;
    }
    RaiseTypeConversion();
}

bool Variant::ToBoolean() const
{
    switch (FKind) {
    case vkEmpty:
        return false;
    case vkInteger:
        return FInteger != 0;
    case vkDouble:
    case vkDate:
        return FDouble != 0.0;
    case vkBoolean:
        return FBoolean;
    case vkText: {
        bool value = false;
        if (!TextToBoolean(TextView(), value)) RaiseTypeConversion();
        return value;
    }
    case vkNull:
        break;
    }
    RaiseTypeConversion();
}

const char* VarKindName(TVarKind kind)
{
    switch (kind) {
    case vkEmpty: return "Empty";
    case vkNull: return "Null";
    case vkInteger: return "Integer";
    case vkDouble: return "Double";
    case vkDate: return "Date";
    case vkBoolean: return "Boolean";
    case vkText: return "Text";
    }
    return "Unknown";
}
