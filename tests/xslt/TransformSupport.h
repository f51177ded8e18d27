#pragma once
// Runs a stylesheet held as text over a document held as text.

#include <gtest/gtest.h>

#include <string>

#include "core/qelXMLParser2.h"
#include "xslt/qelXSLTransform.h"

// The output of the stylesheet applied to the source element at the given
// pre-order path (child indexes from the document root), or "error: <message>".
inline std::string Transform(const std::string& stylesheet, const std::string& source,
                             std::initializer_list<int> path = {})
{
    TqelXMLParser2 style, doc;
    style.LoadFromText(stylesheet);
    doc.LoadFromText(source);
    EXPECT_EQ(style.LastError, "");
    EXPECT_EQ(doc.LastError, "");
    TqelXMLNode2* node = &doc;
    for (int index : path) node = node->Children[index];
    std::string text = "unchanged";
    try {
        node->TransformWith(style, text);
    } catch (const std::exception& error) {
        EXPECT_EQ(text, "");
        return std::string("error: ") + error.what();
    }
    return text;
}

// A stylesheet whose entry template matches "." and holds body.
inline std::string Entry(const std::string& body, const std::string& more = "")
{
    return "<xsl:stylesheet><xsl:template match='.'>" + body + "</xsl:template>" + more + "</xsl:stylesheet>";
}
