#pragma once
// The stylesheet processor: a stylesheet document turns one element into text.
// Its operations are members of the document class; this header adds the sort
// key, the processor's error and its numeric helpers.

#include <stdexcept>
#include <string>
#include <string_view>

#include "core/qelXMLParser2.h"

// One key of an "xsl:sort" element.
struct TqelXSLSort {
    std::string KeyExpression;  // may be empty: the element names are compared
    bool Ascending = true;      // false only for order="descending"
    bool Numeric = false;       // true only for data-type="number"
};

// Template bodies and instructions nest deeper than a transformation allows.
class ETransformError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Template bodies and instructions may nest this deep, and only while the stack
// has room; a template that applies itself reaches the limit quickly and stops
// the transformation with ETransformError.
constexpr int MaxTransformDepth = 3000;

// The compiled expression evaluated at context (Null when it fails).
void EvaluateCompiled(TqelXPathParser2& parser, TqelXMLNode2* context, Variant& result);

// The number the text holds, or 0 when it holds none.
double StrToFloatOrZero(std::string_view text);
// 0 when equal, 1 when a > b, -1 otherwise.
int CompareFloat(double a, double b);
