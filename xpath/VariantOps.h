#pragma once
// Operators on values. A binary operator decides by the pair of operand kinds
// (left operand first):
//
//   pair                                comparison          + - * /                    and, or
//   either Empty                        error               error                      error
//   either Null                         Null lowest kind    Null                       Null
//   Text, Text                          bytes, unsigned     + joins; - * / as Double   bitwise Integer
//   Integer, Integer / Integer, Boolean as Integer          as Integer (64-bit exact,  bitwise Integer
//                                                           Double outside 32 bits);
//                                                           / as Double
//   Boolean, Boolean / Boolean, Text    as Boolean          as Double                  logical, Boolean
//   Date with any other kind            as Double           + - give Date, Date - Date bitwise Integer
//                                                           is Double; * / Double
//   every other pair                    as Double           as Double                  bitwise Integer
//
// Errors: EVariantError for Empty operands and failed conversions; EMathError for
// division by zero and results that are infinite or not a number. A Date result
// outside the calendar's range is a failed conversion.

#include "xpath/Variant.h"

enum TCompareOp : unsigned char { coEQ, coNE, coLT, coLE, coGT, coGE };
enum TArithOp : unsigned char { aoAdd, aoSub, aoMul, aoDiv };
enum TLogicOp : unsigned char { loAnd, loOr };

// -1, 0 or 1: left against right by the comparison rule.
int CompareVariants(const Variant& left, const Variant& right);
// Whether the comparison holds; VariantCompare gives it as a Boolean value.
bool VariantCompareHolds(TCompareOp op, const Variant& left, const Variant& right);
Variant VariantCompare(TCompareOp op, const Variant& left, const Variant& right);
Variant VariantArith(TArithOp op, const Variant& left, const Variant& right);
Variant VariantLogic(TLogicOp op, const Variant& left, const Variant& right);
// As VariantLogic, into result, which may be one of the operands.
void VariantLogicInto(TLogicOp op, const Variant& left, const Variant& right, Variant& result);
// Negates a Boolean, keeps Null, fails on Empty, otherwise the bitwise complement of the Integer.
Variant VariantNot(const Variant& operand);
// The Double result of an operation, or EMathError when it is infinite or not a number.
double CheckedFloat(double value);
