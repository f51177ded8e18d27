// Literal result elements, "xsl:element" and the xsl instructions.

#include "TransformSupport.h"

namespace {

const std::string Source = "<r id='7' name='it&apos;s' say=\"it's\"><item>x &lt; y</item><item>second</item></r>";

struct TBodyCase {
    const char* Body;  // the entry template's content, run once for the root r
    const char* Output;
};

// Each template body, run for the root element, writes exactly this text.
const TBodyCase BodyCases[] = {
    // Literal elements: a line break and indentation before every start tag.
    {"<b/>", "\r\n<b/>"},
    {"<b>x</b>", "\r\n<b>x</b>"},
    {"<p><b>x</b></p>", "\r\n<p>\r\n  <b>x</b>\r\n</p>"},
    {"<p>t<b/><c/></p>", "\r\n<p>t\r\n  <b/>\r\n  <c/>\r\n</p>"},
    {"<b><![CDATA[1 < 2]]></b>", "\r\n<b><![CDATA[1 < 2]]></b>"},
    {"<a href='x' title=\"it's\"/>", "\r\n<a href='x' title=\"it's\"/>"},
    {"<a q='&quot;'/>", "\r\n<a q='&quot;'/>"},
    // "xsl:attribute" as a first child lands in the start tag; later, in the content.
    {"<td>y<xsl:attribute name='class'>x</xsl:attribute></td>", "\r\n<td class='x'>y\r\n</td>"},
    {"<td>y<b/><xsl:attribute name='class'>x</xsl:attribute></td>", "\r\n<td>y\r\n  <b/> class='x'\r\n</td>"},
    {"<td><xsl:attribute name='n'><xsl:value-of select='@id'/></xsl:attribute><xsl:attribute name='m'/></td>",
     "\r\n<td n='7' m=''>\r\n</td>"},
    {"<td><xsl:attribute name='n'><b/><xsl:value-of select='@id'/></xsl:attribute></td>", "\r\n<td n=''>\r\n</td>"},
    {"<td><xsl:attribute name='{@id}'>v</xsl:attribute></td>", "\r\n<td {@id}='v'>\r\n</td>"},
    // The value goes in the quote it does not hold; with both, the one around it is escaped.
    {"<td><xsl:attribute name='alt'><xsl:value-of select='@say'/></xsl:attribute></td>", "\r\n<td alt=\"it's\">\r\n</td>"},
    {"<td><xsl:attribute name='alt'>it's \"x\"</xsl:attribute></td>", "\r\n<td alt='it&#39;s \"x\"'>\r\n</td>"},
    {"<td><xsl:attribute name='alt'>it's \"</xsl:attribute></td>", "\r\n<td alt=\"it's &quot;\">\r\n</td>"},
    // "xsl:element": a computed or plain name; its own attributes are not copied.
    {"<xsl:element name='td' class='c'>v</xsl:element>", "\r\n<td>v</td>"},
    {"<xsl:element name='{name}'/>", "\r\n<r/>"},
    {"<xsl:element name='{@missing + 1}'><b/></xsl:element>", ""},
    {"<xsl:element name='{name'><b/></xsl:element>", ""},
    {"<xsl:element name='{'><b/></xsl:element>", ""},
    {"<xsl:element><b/></xsl:element>", ""},
    // "xsl:value-of": "." is the element's own text; Null writes nothing.
    {"<xsl:value-of select='@id'/>", "7"},
    {"<xsl:value-of select='.'/>", ""},
    {"<xsl:for-each select=\"name='item'\"><xsl:value-of select='.'/></xsl:for-each>", "x &lt; y\r\nsecond\r\n"},
    {"<xsl:value-of select='@id * 2'/>", "14"},
    {"<xsl:value-of select='1 = 1'/>", "True"},
    {"<xsl:value-of select='@missing + 1'/>", ""},
    {"<xsl:value-of/>", ""},
    {"<xsl:value-of select='@name'/>", "it&apos;s"},
    // "xsl:if".
    {"<xsl:if test='@id = 7'><yes/></xsl:if><xsl:if test='@id = 8'><no/></xsl:if>", "\r\n<yes/>"},
    {"<xsl:if test='1 = 1'/><xsl:if><b/></xsl:if>", ""},
    // "xsl:choose".
    {"<xsl:choose><xsl:when test='@id = 1'><one/></xsl:when><xsl:when test='@id = 7'><seven/></xsl:when>"
     "<xsl:otherwise><other/></xsl:otherwise></xsl:choose>",
     "\r\n<seven/>"},
    {"<xsl:choose><xsl:otherwise><o/></xsl:otherwise><xsl:when test='1=1'><w/></xsl:when></xsl:choose>", "\r\n<o/>"},
    {"<xsl:choose><xsl:otherwise/><xsl:when test='1=1'><w/></xsl:when></xsl:choose>", ""},
    {"<xsl:choose><xsl:when test='1=1'/><b/><xsl:when test='1=1'><w/></xsl:when></xsl:choose>", "\r\n<w/>"},
    // "xsl:for-each": a line break after each element; its sort keys do nothing.
    {"<xsl:for-each select=\"name='item'\"><xsl:sort select='.' order='descending'/><i/></xsl:for-each>",
     "\r\n<i/>\r\n\r\n<i/>\r\n"},
    {"<xsl:for-each select=\"name='none'\"><i/></xsl:for-each>", ""},
    // "xsl:comment", and instructions that do not exist here.
    {"<xsl:comment>note</xsl:comment>", "<!--note-->"},
    {"<xsl:text>hello</xsl:text><xsl:sort/><xsl:when test='1=1'><w/></xsl:when><xsl:unknown><b/></xsl:unknown>", ""},
    // Only the prefix "xsl" makes an instruction.
    {"<x:value-of xmlns:x='http://www.w3.org/1999/XSL/Transform' select='@id'/>",
     "\r\n<x:value-of xmlns:x='http://www.w3.org/1999/XSL/Transform' select='@id'/>"},
    // Indentation follows the nesting of the output.
    {"<a><xsl:if test='1=1'><b><c/></b></xsl:if></a>", "\r\n<a>\r\n  <b>\r\n    <c/>\r\n  </b>\r\n</a>"},
};

TEST(Instructions, TemplateBodies)
{
    for (const auto& c : BodyCases) EXPECT_EQ(Transform(Entry(c.Body), Source), c.Output) << c.Body;
}

TEST(Instructions, TheTemplatesOwnTextIsIgnored)
{
    EXPECT_EQ(Transform("<xsl:stylesheet><xsl:template match='.'>ignored<b/></xsl:template></xsl:stylesheet>", Source),
              "\r\n<b/>");
}

}  // namespace
