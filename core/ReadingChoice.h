#pragma once
// Which reading a text gets when the choice is automatic, and what the classic
// reading can hold.

#include <string_view>

#include "core/qelXMLParser2.h"

// Standard when text is well-formed XML and holds something the classic reading
// would refuse or read otherwise: a comment, a processing instruction besides the
// leading declaration, a DOCTYPE, text after a child element, a TAB, CR or LF
// inside a start tag, ">" inside an attribute value, a CDATA section that does not
// start its element's text, or a UTF-16 BOM. Classic otherwise.
TqelXMLReading ChooseReading(std::string_view text);
