#pragma once
// The dynamically typed value of the expression engine and its conversions.
//
// Conversions (the value rules of the engine):
//   from      to Text                to Double     to Integer               to Boolean
//   Integer   decimal                exact         itself                   not zero
//   Double    general 15-digit form  itself        halves to even, range    not zero
//   Date      date-and-time text     serial        serial, halves to even   not zero
//   Boolean   "True" / "False"       -1 / 0        -1 / 0                   itself
//   Text      itself                 number text   number, halves to even   true/false or number
//   Empty     ""                     0             0                        false
//   Null      fails                  fails         fails                    fails
// A failed conversion raises EVariantError("Invalid variant type conversion").

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// Kinds ordered by their rank; rank 4 (a fixed-point currency kind) never occurs.
enum TVarKind : unsigned char {
    vkEmpty = 0,
    vkNull = 1,
    vkInteger = 2,
    vkDouble = 3,
    vkText = 5,
    vkBoolean = 6,
    vkDate = 7,
};

// A value that cannot be converted, or an operation on an Empty value.
class EVariantError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Division by zero, and arithmetic whose result is infinite or not a number.
class EMathError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The message texts a person may see.
inline constexpr const char* InvalidTypeConversionText = "Invalid variant type conversion";
inline constexpr const char* InvalidOperationText = "Invalid variant operation";

[[noreturn]] void RaiseTypeConversion();
[[noreturn]] void RaiseInvalidOperation();

class Variant {
public:
    Variant() = default;  // Empty
    static Variant Null();
    static Variant FromInteger(std::int32_t value);
    static Variant FromDouble(double value);
    static Variant FromDate(double value);
    static Variant FromBoolean(bool value);
    static Variant FromText(std::string value);

    // In place, for the evaluator's stack: the value becomes the given one.
    void SetNull();
    void SetInteger(std::int32_t value);
    void SetBoolean(bool value);
    // Text that refers to text kept elsewhere instead of copying it. That text must
    // stay unchanged while the value exists; Own makes the value independent of it.
    void SetBorrowedText(std::string_view value);

    TVarKind Kind() const { return FKind; }
    bool IsNull() const { return FKind == vkNull; }
    bool IsEmpty() const { return FKind == vkEmpty; }

    // The stored payload; meaningful only for the matching kind (DoubleValue serves Double and Date).
    std::int32_t IntegerValue() const { return FInteger; }
    double DoubleValue() const { return FDouble; }
    bool BooleanValue() const { return FBoolean; }
    // The text of an owned Text value (see Own); TextView serves both forms.
    const std::string& TextValue() const { return FText; }
    std::string_view TextView() const { return FBorrowed ? FView : std::string_view(FText); }
    bool IsBorrowed() const { return FBorrowed; }
    // Copies borrowed text into the value; other values stay as they are.
    void Own();

    // Conversions by the table above; each raises EVariantError when it fails.
    std::string ToText() const;
    double ToDouble() const;
    std::int32_t ToInteger() const;
    bool ToBoolean() const;

private:
    // Sets the kind, with no text of its own and none borrowed.
    void Become(TVarKind kind);

    TVarKind FKind = vkEmpty;
    bool FBoolean = false;
    bool FBorrowed = false;  // the text is FView, not FText
    std::int32_t FInteger = 0;
    double FDouble = 0.0;
    std::string FText;
    std::string_view FView;  // not owned
};

// "Empty", "Null", "Integer", "Double", "Date", "Boolean" or "Text".
const char* VarKindName(TVarKind kind);
