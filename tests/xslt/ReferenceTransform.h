#pragma once
// A plain rendering of the processor's steps for literal elements, "xsl:value-of",
// "xsl:if" and "xsl:apply-templates", which selects every template's matches
// afresh for every selected element. The processor must write the same bytes.

#include <string>

#include "core/qelXMLParser2.h"

// The output of the stylesheet applied to node; raises what the evaluation raises.
std::string ReferenceTransform(TqelXMLParser2& stylesheet, TqelXMLNode2* node);
