#include "xpath/VariantOps.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "core/DateText.h"

namespace {

// Which row of the operator table a pair of operands falls in.
enum TPairClass : unsigned char { pcEmpty, pcNull, pcText, pcInteger, pcBoolean, pcDate, pcDouble };

TPairClass ClassifyPair(TVarKind a, TVarKind b)
{
    if (a == vkEmpty || b == vkEmpty) return pcEmpty;
    if (a == vkNull || b == vkNull) return pcNull;
    if (a == vkText && b == vkText) return pcText;
    const bool aIntLike = a == vkInteger || a == vkBoolean;
    const bool bIntLike = b == vkInteger || b == vkBoolean;
    if (aIntLike && bIntLike && (a == vkInteger || b == vkInteger)) return pcInteger;
    if ((a == vkBoolean && (b == vkBoolean || b == vkText)) || (b == vkBoolean && a == vkText)) return pcBoolean;
    if (a == vkDate || b == vkDate) return pcDate;
    return pcDouble;
}

template <class T>
int Order(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

double FloatArith(TArithOp op, double a, double b)
{
    switch (op) {
    case aoAdd: return CheckedFloat(a + b);
    case aoSub: return CheckedFloat(a - b);
    case aoMul: return CheckedFloat(a * b);
    case aoDiv:
        if (b == 0.0) throw EMathError("Division by zero");
        return CheckedFloat(a / b);
    }
    return 0.0;
}

Variant IntegerArith(TArithOp op, std::int32_t a, std::int32_t b)
{
    std::int64_t result = 0;
    switch (op) {
    case aoAdd: result = std::int64_t{a} + b; break;
    case aoSub: result = std::int64_t{a} - b; break;
    case aoMul: result = std::int64_t{a} * b; break;
    case aoDiv: return Variant::FromDouble(FloatArith(op, a, b));
    }
    if (result >= std::numeric_limits<std::int32_t>::min() && result <= std::numeric_limits<std::int32_t>::max())
        return Variant::FromInteger(static_cast<std::int32_t>(result));
    return Variant::FromDouble(static_cast<double>(result));
}

Variant DateResult(double value)
{
    if (!(value > MinDateValue - 1.0 && value < MaxDateValue + 1.0)) RaiseTypeConversion();
    return Variant::FromDate(value);
}

}  // namespace

double CheckedFloat(double value)
{
    if (std::isnan(value)) throw EMathError("Invalid floating point operation");
    if (std::isinf(value)) throw EMathError("Floating point overflow");
    return value;
}

int CompareVariants(const Variant& left, const Variant& right)
{
    switch (ClassifyPair(left.Kind(), right.Kind())) {
    case pcEmpty:
        RaiseInvalidOperation();
    case pcNull:
        return Order(left.IsNull() ? 0 : 1, right.IsNull() ? 0 : 1);
    case pcText:
        return Order(left.TextView().compare(right.TextView()), 0);
    case pcInteger:
        return Order(left.ToInteger(), right.ToInteger());
    case pcBoolean:
        return Order(left.ToBoolean(), right.ToBoolean());
    case pcDate:
    case pcDouble:
        break;
    }
    return Order(left.ToDouble(), right.ToDouble());
}

bool VariantCompareHolds(TCompareOp op, const Variant& left, const Variant& right)
{
    const int order = CompareVariants(left, right);
    switch (op) {
    case coEQ: return order == 0;
    case coNE: return order != 0;
    case coLT: return order < 0;
    case coLE: return order <= 0;
    case coGT: return order > 0;
    case coGE: return order >= 0;
    }
    return false;
}

Variant VariantCompare(TCompareOp op, const Variant& left, const Variant& right)
{
    return Variant::FromBoolean(VariantCompareHolds(op, left, right));
}

Variant VariantArith(TArithOp op, const Variant& left, const Variant& right)
{
    switch (ClassifyPair(left.Kind(), right.Kind())) {
    case pcEmpty:
        RaiseInvalidOperation();
    case pcNull:
        return Variant::Null();
    case pcText:
        if (op == aoAdd) return Variant::FromText(std::string(left.TextView()).append(right.TextView()));
        break;
    case pcInteger:
        return IntegerArith(op, left.ToInteger(), right.ToInteger());
    case pcDate: {
        const double value = FloatArith(op, left.ToDouble(), right.ToDouble());
        const bool bothDates = left.Kind() == vkDate && right.Kind() == vkDate;
        if (op == aoAdd || (op == aoSub && !bothDates)) return DateResult(value);
        return Variant::FromDouble(value);
    }
    case pcBoolean:
    case pcDouble:
        break;
    }
    return Variant::FromDouble(FloatArith(op, left.ToDouble(), right.ToDouble()));
}

Variant VariantLogic(TLogicOp op, const Variant& left, const Variant& right)
{
    Variant result;
    VariantLogicInto(op, left, right, result);
    return result;
}

void VariantLogicInto(TLogicOp op, const Variant& left, const Variant& right, Variant& result)
{
    switch (ClassifyPair(left.Kind(), right.Kind())) {
    case pcEmpty:
        RaiseInvalidOperation();
    case pcNull:
        result.SetNull();
        return;
    case pcBoolean: {
        const bool a = left.ToBoolean();
        const bool b = right.ToBoolean();
        result.SetBoolean(op == loAnd ? (a && b) : (a || b));
        return;
    }
    default:
        break;
    }
    const std::int32_t a = left.ToInteger();
    const std::int32_t b = right.ToInteger();
    result.SetInteger(op == loAnd ? (a & b) : (a | b));
}

Variant VariantNot(const Variant& operand)
{
    switch (operand.Kind()) {
    case vkBoolean: return Variant::FromBoolean(!operand.BooleanValue());
    case vkNull: return Variant::Null();
    case vkEmpty: RaiseInvalidOperation();
    default: break;
    }
    return Variant::FromInteger(~operand.ToInteger());
}
