// The number functions of the expression language.

#include <cmath>
#include <limits>

#include "core/NumberText.h"
#include "xpath/VariantOps.h"
#include "xpath/qelXPathExpression2.h"

namespace {

// 2 to the power 63: trigonometry of larger magnitudes gives 0.
constexpr double TrigLimit = 9223372036854775808.0;

std::string NumberCharacters(const std::string& text)
{
    std::string kept;
    for (char c : text)
        if ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.') kept += c;
    return kept;
}

// The Double the text reads as, or Integer 0 when it does not read as a number.
Variant NumberOrZero(const std::string& text)
{
    double value = 0.0;
    return TextToFloat(text, value) ? Variant::FromDouble(value) : Variant::FromInteger(0);
}

Variant WholeNumber(double value)
{
    if (!(value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max()))
        RaiseTypeConversion();
    return Variant::FromInteger(static_cast<std::int32_t>(value));
}

double Trig(TTokenOp op, double x)
{
    if (std::fabs(x) >= TrigLimit) return 0.0;
    return op == opSin ? std::sin(x) : std::cos(x);
}

}  // namespace

void TqelXPathExpression2::ExecuteNumberFunction(TTokenOp op)
{
    switch (op) {
    case opAsNumber:
    case opParseFloat: {
        // A value without text reads as 0 too.
        std::string text;
        try {
            text = PopText();
        } catch (const EVariantError&) {
            Push(Variant::FromInteger(0));
            break;
        }
        Push(NumberOrZero(op == opParseFloat ? NumberCharacters(text) : text));
        break;
    }
    case opIsNumeric: {
        double value = 0.0;
        Push(Variant::FromBoolean(TextToFloat(PopText(), value)));
        break;
    }
    case opSin:
    case opCos:
        Push(Variant::FromDouble(Trig(op, Pop().ToDouble())));
        break;
    case opSqr: {
        const double x = Pop().ToDouble();
        Push(Variant::FromDouble(CheckedFloat(x * x)));
        break;
    }
    case opSqrt:
        Push(Variant::FromDouble(CheckedFloat(std::sqrt(Pop().ToDouble()))));
        break;
    case opCeil:
        Push(WholeNumber(std::ceil(Pop().ToDouble())));
        break;
    case opFloor:
        Push(WholeNumber(std::floor(Pop().ToDouble())));
        break;
    default:
        break;
    }
}
