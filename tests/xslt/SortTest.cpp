// Sort keys of "xsl:apply-templates" and "xsl:call-template", and the text collation.

#include "TransformSupport.h"
#include "xslt/TextCollation.h"

namespace {

const std::string Items =
    "<list><i n='10' t='b'>ten</i><i n='9' t='a'>nine</i><i n='x' t='b'>ex</i><i n='0' t='a'>zero</i>"
    "<i n='2.5' t='B'>two</i></list>";

// Applies one template to every "i" with the given sort children and lists their texts.
std::string Sorted(const std::string& sortKeys)
{
    return Transform(Entry("<xsl:apply-templates select=\"name='i'\">" + sortKeys + "</xsl:apply-templates>",
                           "<xsl:template match=\"name='i'\"><xsl:value-of select='.'/></xsl:template>"),
                     Items);
}

std::string Lines(std::initializer_list<const char*> texts)
{
    std::string s;
    for (const char* t : texts) s += std::string(t) + "\r\n";
    return s;
}

TEST(Sort, WithoutKeysDocumentOrderStays)
{
    EXPECT_EQ(Sorted(""), Lines({"ten", "nine", "ex", "zero", "two"}));
}

TEST(Sort, NumericAndTextKeys)
{
    // Texts that are no number count as 0.
    EXPECT_EQ(Sorted("<xsl:sort select='@n' data-type='number'/>"), Lines({"ex", "zero", "two", "nine", "ten"}));
    EXPECT_EQ(Sorted("<xsl:sort select='@n'/>"), Lines({"zero", "ten", "two", "nine", "ex"}));
    EXPECT_EQ(Sorted("<xsl:sort select='@n' data-type='Number'/>"), Lines({"zero", "ten", "two", "nine", "ex"}));
    EXPECT_EQ(Sorted("<xsl:sort select='@n' order='descending' data-type='number'/>").substr(0, 16),
              Lines({"ten", "nine", "two"}));
    EXPECT_EQ(Sorted("<xsl:sort select='@n' order='DESCENDING'/>"), Lines({"zero", "ten", "two", "nine", "ex"}));
}

TEST(Sort, SecondKeyDecidesTiesOfTheFirst)
{
    EXPECT_EQ(Sorted("<xsl:sort select='@t'/><xsl:sort select='@n' data-type='number' order='descending'/>"),
              Lines({"nine", "zero", "ten", "ex", "two"}));
    EXPECT_EQ(Sorted("<xsl:sort select='@t' order='descending'/><xsl:sort select='value'/>"),
              Lines({"two", "ex", "ten", "nine", "zero"}));
}

TEST(Sort, KeysWithoutSelectCompareElementNames)
{
    const std::string mixed = "<r><b id='1'/><a id='2'/><c id='3'/><a id='4'/></r>";
    const std::string style = Entry("<xsl:apply-templates select=\"@id &lt;&gt; ''\"><xsl:sort/></xsl:apply-templates>",
                                    "<xsl:template match=\"@id &lt;&gt; ''\"><xsl:value-of select='@id'/></xsl:template>");
    // Equal keys end up in the order this quicksort's exchanges leave them.
    EXPECT_EQ(Transform(style, mixed), "4\r\n2\r\n1\r\n3\r\n");
}

TEST(Sort, CallTemplateSortsByTheCallersKeys)
{
    const std::string style =
        Entry("<xsl:call-template name='list'><xsl:sort select='value'/></xsl:call-template>",
              "<xsl:template name='list' match=\"name='i'\"><xsl:value-of select='.'/></xsl:template>");
    EXPECT_EQ(Transform(style, Items), Lines({"ex", "nine", "ten", "two", "zero"}));
}

TEST(Sort, KeysThatChangeBetweenEvaluationsDoNotBreakTheSort)
{
    // Every evaluation of this key returns a new number.
    std::string many = "<list>";
    for (int i = 0; i < 50; ++i) many += "<i>" + std::to_string(i) + "</i>";
    many += "<counter/></list>";
    const std::string style = Entry(
        "<xsl:apply-templates select=\"name='i'\"><xsl:sort select=\"assign('k', get('k') + 1)\" "
        "data-type='number' order='descending'/></xsl:apply-templates>",
        "<xsl:template match=\"name='i'\"><xsl:value-of select='.'/></xsl:template>");
    const std::string out = Transform(style, many);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 50);
}

TEST(Sort, StrToFloatOrZeroAndCompareFloat)
{
    EXPECT_EQ(StrToFloatOrZero(" 2.5 "), 2.5);
    EXPECT_EQ(StrToFloatOrZero("abc"), 0.0);
    EXPECT_EQ(StrToFloatOrZero(""), 0.0);
    EXPECT_EQ(CompareFloat(1, 1), 0);
    EXPECT_EQ(CompareFloat(2, 1), 1);
    EXPECT_EQ(CompareFloat(1, 2), -1);
}

// The collation: case ignored first, then small letters first; digits before letters.
TEST(Sort, TextCollationOrder)
{
    const char* ordered[] = {"", " ", "-", "0", "10", "9", "a-b", "ab", "apple", "Apple", "apples", "banana",
                             "Banana", "item10", "item2", "z", "\xc0", "\xe1", "\xc1"};
    const std::size_t n = std::size(ordered);
    for (std::size_t i = 0; i < n; ++i) {
        EXPECT_EQ(CollateText(ordered[i], ordered[i]), 0) << ordered[i];
        for (std::size_t j = i + 1; j < n; ++j) {
            EXPECT_LT(CollateText(ordered[i], ordered[j]), 0) << ordered[i] << " < " << ordered[j];
            EXPECT_GT(CollateText(ordered[j], ordered[i]), 0) << ordered[j] << " > " << ordered[i];
        }
    }
}

}  // namespace

namespace {

// Keys without "assign" are evaluated once per element; keys with it at every
// comparison. Both must leave elements with equal keys in the same order.
TEST(Sort, KeysEvaluatedOncePerElementGiveTheSameOrder)
{
    std::string many = "<list>";
    for (int i = 0; i < 200; ++i)
        many += "<i n='" + std::to_string((i * 37) % 11) + "' t='" + std::string(1, static_cast<char>('a' + (i * 13) % 5)) +
                "'>" + std::to_string(i) + "</i>";
    many += "</list>";
    auto run = [&](const std::string& sort) {
        return Transform(Entry("<xsl:apply-templates select=\"name='i'\">" + sort + "</xsl:apply-templates>",
                               "<xsl:template match=\"name='i'\"><xsl:value-of select='value'/></xsl:template>"),
                         many);
    };
    // The same key values, once with an "assign" that changes nothing.
    const std::string sideEffect = " + left(assign('none', 1), 0)";
    for (const std::string order : {"ascending", "descending"}) {
        const std::string pure = "<xsl:sort select='@t' order='" + order + "'/><xsl:sort select='@n' data-type='number'/>";
        const std::string literal = "<xsl:sort select=\"@t" + sideEffect + "\" order='" + order +
                                    "'/><xsl:sort select=\"@n" + sideEffect + "\" data-type='number'/>";
        const std::string once = run(pure);
        EXPECT_EQ(std::count(once.begin(), once.end(), '\n'), 200);
        EXPECT_EQ(once, run(literal)) << order;
    }
}

}  // namespace
