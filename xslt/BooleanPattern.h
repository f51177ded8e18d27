#pragma once
// Patterns whose value is a Boolean at every element.

#include "xpath/qelXPathExpression2.h"

// True when the compiled program gives a Boolean at any context element without
// failing: it compares texts or Booleans read from the element (name, text,
// parent name, prefix, attributes) and literals, and joins Booleans with "and",
// "or" and "not". Its test at an element is then the same whether the element is
// tested alone or within a walk over its document; any other program gives false.
// Attribute references are taken to read the element, as the document's cached
// expressions do.
bool GivesBooleanEverywhere(const TqelXPathExpression2& expression);
