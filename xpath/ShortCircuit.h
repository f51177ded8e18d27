#pragma once
// Which right operands of "and" and "or" a program may leave out.
//
// "and" gives False whenever both operands are Boolean and the left one is False
// ("or": True and True), so its right operand need not run when it is known to
// give a Boolean without failing and without any effect. That holds for operands
// built of
//   literals, attribute references, name, value, parentname, namespace, basename,
//   childcount and axis references (none of them fails or changes anything);
//   comparisons of two texts, or of two values that are each a number or a Boolean;
//   "and" and "or" of two Booleans, "not" of a Boolean;
//   plain words, which run as nothing.
// Everything else (functions, other comparisons, operands that reach below the
// start of the right operand) keeps the right operand running.

#include <cstddef>
#include <vector>

#include "xpath/qelXPathTokenizer.h"

// A right operand that may be left out: the program positions First to Logic - 1,
// followed by the "and" or "or" at Logic.
struct TShortCircuit {
    std::size_t First = 0;
    std::size_t Logic = 0;
    int Depth = 0;                 // the most values the operand holds on the stack at once
    bool ReadsAttributes = false;  // true when it refers to attributes
};

// The right operands of postfix that may be left out, in the order of their "and" or "or".
std::vector<TShortCircuit> FindShortCircuits(const TTokenList& postfix);
