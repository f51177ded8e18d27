// Values: the conversions between kinds and the operator table by pair of kinds.

#include <functional>

#include "XPathTestSupport.h"
#include "xpath/VariantOps.h"

namespace {

Variant I(std::int32_t v) { return Variant::FromInteger(v); }
Variant D(double v) { return Variant::FromDouble(v); }
Variant B(bool v) { return Variant::FromBoolean(v); }
Variant T(const char* v) { return Variant::FromText(v); }
Variant Dt(double v) { return Variant::FromDate(v); }

// The description of a computed value, or the message of the error it raised.
std::string Outcome(const std::function<Variant()>& compute)
{
    try {
        return Describe(compute());
    } catch (const std::exception& e) {
        return std::string("error: ") + e.what();
    }
}

template <class T>
std::string ConversionOutcome(const std::function<T()>& convert)
{
    try {
        if constexpr (std::is_same_v<T, std::string>)
            return convert();
        else if constexpr (std::is_same_v<T, bool>)
            return convert() ? "true" : "false";
        else
            return std::to_string(convert());
    } catch (const std::exception& e) {
        return std::string("error: ") + e.what();
    }
}

const std::string ConversionError = "error: Invalid variant type conversion";
const std::string OperationError = "error: Invalid variant operation";

}  // namespace

TEST(Variant, ConvertsToText)
{
    const struct {
        Variant Value;
        std::string Text;
    } cases[] = {
        {I(-42), "-42"},
        {D(0.1 + 0.2), "0.3"},
        {D(1e20), "1E20"},
        {D(-0.0), "0"},
        {B(true), "True"},
        {B(false), "False"},
        {Dt(36957), "07-03-2001"},
        {Dt(36957.5), "07-03-2001 12:00:00"},
        {T("x"), "x"},
        {Variant(), ""},
        {Variant::Null(), ConversionError},
        {Dt(1e9), ConversionError},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConversionOutcome<std::string>([&] { return c.Value.ToText(); }), c.Text) << Describe(c.Value);
}

TEST(Variant, ConvertsToNumbers)
{
    const struct {
        Variant Value;
        std::string AsDouble;
        std::string AsInteger;
    } cases[] = {
        {I(7), "7.000000", "7"},
        {D(2.5), "2.500000", "2"},
        {D(3.5), "3.500000", "4"},
        {D(-2.5), "-2.500000", "-2"},
        {D(2147483647.5), "2147483647.500000", ConversionError},
        {B(true), "-1.000000", "-1"},
        {Dt(1.75), "1.750000", "2"},
        {T(" 2.5 "), "2.500000", "2"},
        {T("1e3"), "1000.000000", "1000"},
        {T(""), ConversionError, ConversionError},
        {T("0x1A"), ConversionError, ConversionError},
        {T("1,000"), ConversionError, ConversionError},
        {Variant(), "0.000000", "0"},
        {Variant::Null(), ConversionError, ConversionError},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ConversionOutcome<double>([&] { return c.Value.ToDouble(); }), c.AsDouble) << c.AsInteger;
        EXPECT_EQ(ConversionOutcome<std::int32_t>([&] { return c.Value.ToInteger(); }), c.AsInteger) << c.AsDouble;
    }
}

TEST(Variant, ConvertsToBoolean)
{
    const struct {
        Variant Value;
        std::string AsBoolean;
    } cases[] = {
        {T("true"), "true"},   {T(" FALSE "), "false"}, {T("True"), "true"},   {T("1"), "true"},
        {T("-1"), "true"},     {T("2.5"), "true"},      {T("0"), "false"},     {T(" 0 "), "false"},
        {T("0.0"), "false"},   {T("1e-400"), "false"},  {T("yes"), ConversionError},
        {T(""), ConversionError}, {T("T"), ConversionError}, {T("\ttrue"), ConversionError},
        {I(0), "false"},       {I(-3), "true"},         {D(0.5), "true"},      {Dt(0), "false"},
        {Variant(), "false"},  {Variant::Null(), ConversionError},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConversionOutcome<bool>([&] { return c.Value.ToBoolean(); }), c.AsBoolean) << Describe(c.Value);
}

// Comparisons decide by the pair of kinds; Null is the lowest kind.
TEST(VariantOperators, CompareByPairOfKinds)
{
    const struct {
        Variant Left;
        Variant Right;
        std::string Order;
    } cases[] = {
        {T("abc"), T("abd"), "-1"},          // Text: bytes
        {T("ab"), T("abc"), "-1"},           // a proper prefix is less
        {T("B"), T("a"), "-1"},              // letter case significant
        {T("\xe4"), T("z"), "1"},            // bytes compare unsigned
        {T("03"), T("3"), "-1"},             // Text against Text is never numeric
        {T("03"), D(3), "0"},                // Text against Double compares numbers
        {I(2), T("2"), "0"},                 // Integer against Text as Doubles
        {I(2), I(10), "-1"},
        {B(true), I(-1), "0"},               // Boolean with Integer as Integers
        {B(true), D(1), "-1"},               // true is -1
        {B(false), B(true), "-1"},           // false is less than true
        {B(true), T("true"), "0"},           // Boolean with Text as Booleans
        {Dt(36957), D(36957), "0"},
        {Dt(36957), Dt(36958), "-1"},
        {Variant::Null(), Variant::Null(), "0"},
        {Variant::Null(), I(-5), "-1"},
        {T(""), Variant::Null(), "1"},
        {T(""), D(3), ConversionError},      // empty text is no number
        {B(true), T("yes"), ConversionError},
        {Variant(), I(1), OperationError},
        {Variant::Null(), Variant(), OperationError},
    };
    for (const auto& c : cases) {
        std::string order;
        try {
            order = std::to_string(CompareVariants(c.Left, c.Right));
        } catch (const std::exception& e) {
            order = std::string("error: ") + e.what();
        }
        EXPECT_EQ(order, c.Order) << Describe(c.Left) << " vs " << Describe(c.Right);
    }
    EXPECT_EQ(Describe(VariantCompare(coGE, I(3), D(3))), "Boolean: True");
    EXPECT_EQ(Describe(VariantCompare(coNE, T("a"), T("a"))), "Boolean: False");
    EXPECT_EQ(Describe(VariantCompare(coLT, Variant::Null(), I(1))), "Boolean: True");
}

TEST(VariantOperators, ArithmeticByPairOfKinds)
{
    const struct {
        TArithOp Op;
        Variant Left;
        Variant Right;
        std::string Result;
    } cases[] = {
        {aoAdd, T("ab"), T("cd"), "Text: abcd"},
        {aoAdd, T("2"), T("3"), "Text: 23"},
        {aoSub, T("5"), T("3"), "Double: 2"},
        {aoAdd, T("2"), D(3), "Double: 5"},
        {aoAdd, T("3"), I(1), "Double: 4"},
        {aoAdd, I(2), I(3), "Integer: 5"},
        {aoMul, I(65536), I(65536), "Double: 4294967296"},
        {aoAdd, I(2147483647), I(1), "Double: 2147483648"},
        {aoSub, I(-2147483647), I(1), "Integer: -2147483648"},
        {aoDiv, I(7), I(2), "Double: 3.5"},
        {aoAdd, I(1), B(true), "Integer: 0"},
        {aoAdd, B(true), B(true), "Double: -2"},
        {aoAdd, B(true), T("1"), "Double: 0"},
        {aoAdd, B(true), T("x"), ConversionError},
        {aoMul, D(1e200), D(1e200), "error: Floating point overflow"},
        {aoDiv, D(1), D(0), "error: Division by zero"},
        {aoDiv, I(0), I(0), "error: Division by zero"},
        {aoAdd, Dt(36957), D(1.5), "Date: 08-03-2001 12:00:00"},
        {aoSub, Dt(36957), I(1), "Date: 06-03-2001"},
        {aoAdd, I(1), Dt(36957), "Date: 08-03-2001"},
        {aoSub, Dt(36957), Dt(36950), "Double: 7"},
        {aoMul, Dt(2), I(3), "Double: 6"},
        {aoAdd, Dt(36957), T("07-03-2001"), ConversionError},
        {aoAdd, Dt(36957), D(1e9), ConversionError},
        {aoAdd, Variant::Null(), I(1), "Null"},
        {aoDiv, T("x"), Variant::Null(), "Null"},
        {aoAdd, Variant(), I(1), OperationError},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Outcome([&] { return VariantArith(c.Op, c.Left, c.Right); }), c.Result)
            << Describe(c.Left) << " op " << int(c.Op) << " " << Describe(c.Right);
}

TEST(VariantOperators, LogicByPairOfKinds)
{
    const struct {
        TLogicOp Op;
        Variant Left;
        Variant Right;
        std::string Result;
    } cases[] = {
        {loAnd, B(true), B(false), "Boolean: False"},
        {loOr, B(true), B(false), "Boolean: True"},
        {loAnd, B(true), T("TRUE"), "Boolean: True"},
        {loOr, T("false"), B(false), "Boolean: False"},
        {loAnd, I(6), I(3), "Integer: 2"},
        {loOr, I(6), I(3), "Integer: 7"},
        {loAnd, B(true), I(5), "Integer: 5"},
        {loOr, T("4"), T("1"), "Integer: 5"},
        {loAnd, D(2.5), I(3), "Integer: 2"},
        {loAnd, T("true"), T("true"), ConversionError},
        {loAnd, Variant::Null(), B(true), "Null"},
        {loOr, B(true), Variant(), OperationError},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Outcome([&] { return VariantLogic(c.Op, c.Left, c.Right); }), c.Result) << Describe(c.Left);

    EXPECT_EQ(Outcome([] { return VariantNot(B(true)); }), "Boolean: False");
    EXPECT_EQ(Outcome([] { return VariantNot(I(0)); }), "Integer: -1");
    EXPECT_EQ(Outcome([] { return VariantNot(T("5")); }), "Integer: -6");
    EXPECT_EQ(Outcome([] { return VariantNot(T("true")); }), ConversionError);
    EXPECT_EQ(Outcome([] { return VariantNot(Variant::Null()); }), "Null");
    EXPECT_EQ(Outcome([] { return VariantNot(Variant()); }), OperationError);
}
