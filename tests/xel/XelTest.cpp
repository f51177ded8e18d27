// Running XEL programs: statements, scope, switches, loops, calls and limits.

#include <gtest/gtest.h>

#include <chrono>

#include "core/qelXMLParser2.h"
#include "xel/qelXelInterpreter.h"
#include "xpath/Variant.h"

namespace {

// A document holding a program, run from its root, with the custom messages collected.
class TXelProgram {
public:
    explicit TXelProgram(const std::string& text)
    {
        Document.LoadFromText(text);
        EXPECT_EQ(Document.LastError, "");
        Document.SetXelCustomHandler([this](TqelXMLParser2& document, TqelXMLNode2& node, const std::string& act) {
            EXPECT_EQ(&document, &Document);
            Messages += ComposeXelMessage(node, act) + "|";
        });
    }
    // Runs the element with that id (the root when empty); "error: ..." when the run raised.
    std::string Run(const std::string& id = "")
    {
        TqelXMLNode2* start = id.empty() ? &Document : Document.FindById(id, true);
        if (!start) return "no element " + id;
        try {
            start->ExecuteXel(Document);
        } catch (const std::exception& error) {
            return std::string("error: ") + error.what();
        }
        return "ok";
    }
    // The text of the variable with that id, anywhere in the document.
    std::string Var(const std::string& id) const
    {
        const TqelXMLNode2* variable = Document.FindById(id, true);
        return variable ? variable->Text : "<none>";
    }

    TqelXMLParser2 Document;
    std::string Messages;
};

TEST(XelStatements, DoIfAndCustom)
{
    TXelProgram p(
        "<xel:program><xel:var id='n'>1</xel:var>"
        "<xel:do act=\"assign('n', get('n') + 1)\"/>"
        "<xel:if act=\"get('n') = 2\"><xel:custom act='two'/></xel:if>"
        "<xel:if act=\"get('n') = 3\"><xel:custom act='three'/></xel:if>"
        "<xel:custom act='show:n'/><xel:custom act='show:nothing'/><xel:custom act='show: n'/>"
        "</xel:program>");
    EXPECT_EQ(p.Run(), "ok");
    EXPECT_EQ(p.Var("n"), "2");
    EXPECT_EQ(p.Messages, "two|n: 2|nothing| n|");
}

TEST(XelStatements, BlocksRunTheirChildren)
{
    // Only names that begin with "xel:" exactly are statements.
    TXelProgram p(
        "<root><xel:program><xel:var id='n'>0</xel:var>"
        "<group><XEL:if act='1 = 2'><xel:do act=\"assign('n', get('n') + 1)\"/></XEL:if></group>"
        "<xel:unknown><xel:do act=\"assign('n', get('n') + 10)\"/></xel:unknown>"
        "<xel:var id='inner'><xel:do act=\"assign('n', get('n') + 100)\"/></xel:var>"
        "</xel:program></root>");
    EXPECT_EQ(p.Run(), "ok");
    EXPECT_EQ(p.Var("n"), "111");
}

TEST(XelStatements, CustomWithoutHandlerDoesNothing)
{
    TqelXMLParser2 doc;
    doc.LoadFromText("<xel:program><xel:var id='n'>0</xel:var><xel:custom act='hello'/>"
                     "<xel:do act=\"assign('n', 5)\"/></xel:program>");
    doc.ExecuteXel(doc);
    EXPECT_EQ(doc.FindById("n", false)->Text, "5");
}

// Scope is lexical: a function sees its own variables, then the program's.
TEST(XelScope, FunctionsAndPrograms)
{
    TXelProgram p(
        "<xel:program><xel:var id='g'>prog</xel:var><xel:var id='x'>outer</xel:var>"
        "<xel:function id='f'><xel:var id='x'>f-own</xel:var><xel:var id='seen'/>"
        "  <xel:do act=\"assign('seen', get('x') + '/' + get('g'))\"/><xel:call>h</xel:call></xel:function>"
        "<xel:function id='h'><xel:var id='fromh'/><xel:do act=\"assign('fromh', get('seen') + '|' + get('x'))\"/>"
        "</xel:function>"
        "<main id='main'><xel:call>f</xel:call></main>"
        "</xel:program>");
    EXPECT_EQ(p.Run("main"), "ok");
    EXPECT_EQ(p.Var("seen"), "f-own/prog");
    EXPECT_EQ(p.Var("fromh"), "|outer");  // h sees neither f's "seen" nor f's "x"
}

TEST(XelScope, NestedFunctionsSeeEnclosingFunctions)
{
    TXelProgram p(
        "<xel:program><xel:var id='p'>P</xel:var>"
        "<xel:function id='outer'><xel:var id='o'>O</xel:var><xel:var id='r'/>"
        "  <xel:function id='inner'><xel:do act=\"assign('r', get('o') + get('p'))\"/></xel:function>"
        "</xel:function></xel:program>");
    EXPECT_EQ(p.Run("inner"), "ok");
    EXPECT_EQ(p.Var("r"), "OP");
}

TEST(XelCalls, FunctionsAreFoundAmongTheProgramsChildren)
{
    TXelProgram p(
        "<xel:program><xel:var id='n'>0</xel:var>"
        "<xel:var id='f'>not a function</xel:var>"
        "<xel:function id='f'><xel:do act=\"assign('n', get('n') + 1)\"/></xel:function>"
        "<xel:function id='g'><xel:do act=\"assign('n', get('n') + 10)\"/></xel:function>"
        "<block id='calls'><xel:call>f</xel:call><xel:call>g</xel:call><xel:call>missing</xel:call></block>"
        "</xel:program>");
    EXPECT_EQ(p.Run("calls"), "ok");
    EXPECT_EQ(p.Var("n"), "10");  // the var named f stands first: that call does nothing
    // Run from the program, each function body also runs where it stands.
    EXPECT_EQ(p.Run(), "ok");
    EXPECT_EQ(p.Var("n"), "31");
}

TEST(XelCalls, FunctionsNestedInFunctionsAreNotCalled)
{
    TXelProgram p(
        "<xel:program><xel:var id='n'>0</xel:var>"
        "<xel:function id='outer'><xel:function id='inner'><xel:do act=\"assign('n', 1)\"/></xel:function>"
        "</xel:function><block id='calls'><xel:call>inner</xel:call></block></xel:program>");
    EXPECT_EQ(p.Run("calls"), "ok");
    EXPECT_EQ(p.Var("n"), "0");
}

TEST(XelCalls, RecursionSharesTheFunctionsVariables)
{
    TXelProgram p(
        "<xel:program><xel:var id='out'/>"
        "<xel:function id='down'><xel:var id='k'>3</xel:var>"
        "  <xel:if act=\"get('k') &gt; 0\"><xel:do act=\"assign('out', get('out') + get('k'))\"/>"
        "    <xel:do act=\"assign('k', get('k') - 1)\"/><xel:call>down</xel:call>"
        "    <xel:do act=\"assign('out', get('out') + '.' + get('k'))\"/></xel:if>"
        "</xel:function><start id='s'><xel:call>down</xel:call></start></xel:program>");
    EXPECT_EQ(p.Run("s"), "ok");
    EXPECT_EQ(p.Var("out"), "321.0.0.0");
}

TEST(XelSwitch, FirstHoldingCaseOnly)
{
    TXelProgram p(
        "<xel:program><xel:var id='v'>2</xel:var>"
        "<xel:switch act='this is not used'>"
        "  <xel:custom act='never'/>"
        "  <xel:case act=\"get('v') = 1\"><xel:custom act='one'/></xel:case>"
        "  <xel:case act=\"get('v') = 2\"><xel:custom act='two'/></xel:case>"
        "  <xel:case act=\"get('v') &gt; 1\"><xel:custom act='more'/></xel:case>"
        "</xel:switch>"
        "<xel:switch><xel:case act=\"get('v') = 2\"/><xel:case act='1 = 1'><xel:custom act='after'/></xel:case></xel:switch>"
        "<xel:switch><xel:case act='1 = 2'><xel:custom act='x'/></xel:case></xel:switch>"
        "<xel:case id='direct' act='1 = 2'><xel:custom act='case run directly'/></xel:case>"
        "</xel:program>");
    EXPECT_EQ(p.Run(), "ok");
    EXPECT_EQ(p.Messages, "two|case run directly|");
    // A case holds with its own element as context.
    TXelProgram q(
        "<xel:program><xel:switch><xel:case act=\"name = 'xel:case'\"><xel:custom act='case'/></xel:case>"
        "</xel:switch></xel:program>");
    EXPECT_EQ(q.Run(), "ok");
    EXPECT_EQ(q.Messages, "case|");
}

TEST(XelWhile, LoopsUntilTheConditionFails)
{
    TXelProgram p(
        "<xel:program><xel:var id='i'>0</xel:var><xel:var id='s'/>"
        "<xel:while act=\"get('i') &lt; 5\"><xel:do act=\"assign('i', get('i') + 1)\"/>"
        "<xel:do act=\"assign('s', get('s') + get('i'))\"/></xel:while>"
        "<xel:while act='1 = 1'/>"
        "<xel:custom act='show:s'/></xel:program>");
    EXPECT_EQ(p.Run(), "ok");
    EXPECT_EQ(p.Messages, "s: 12345|");
}

// A loop without children ends after its first test, however long its limit.
TEST(XelWhile, AnEmptyLoopTestsItsConditionOnce)
{
    SetXelWhileLimit(200);
    TXelProgram p(
        "<xel:program><xel:var id='tests'>0</xel:var>"
        "<xel:while act=\"assign('tests', get('tests') + 1)\"/></xel:program>");
    EXPECT_EQ(p.Run(), "ok");
    SetXelWhileLimit(10000);
    EXPECT_EQ(p.Var("tests"), "1");
}

TEST(XelWhile, GivesUpAfterItsTimeLimitAndTheRunGoesOn)
{
    SetXelWhileLimit(150);
    TXelProgram p(
        "<xel:program><xel:var id='n'>0</xel:var>"
        "<xel:while act='1 = 1'><xel:do act=\"assign('n', get('n') + 1)\"/></xel:while>"
        "<xel:custom act='after'/></xel:program>");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(p.Run(), "ok");
    const auto elapsed = std::chrono::steady_clock::now() - start;
    SetXelWhileLimit(10000);
    EXPECT_GE(elapsed, std::chrono::milliseconds(150));
    EXPECT_LT(elapsed, std::chrono::milliseconds(5000));
    EXPECT_EQ(p.Messages, "after|");
    EXPECT_NE(p.Var("n"), "0");
}

TEST(XelErrors, AConditionThatIsNoBooleanStopsTheRunKeepingVariables)
{
    TXelProgram p(
        "<xel:program><xel:var id='n'>0</xel:var><xel:do act=\"assign('n', 7)\"/>"
        "<xel:if><xel:do act=\"assign('n', 8)\"/></xel:if><xel:do act=\"assign('n', 9)\"/></xel:program>");
    EXPECT_EQ(p.Run(), "error: Invalid variant type conversion");
    EXPECT_EQ(p.Var("n"), "7");
    TXelProgram q("<xel:program><xel:var id='n'>x</xel:var><xel:while act=\"get('n')\"/></xel:program>");
    EXPECT_EQ(q.Run(), "error: Invalid variant type conversion");
    TXelProgram r("<xel:program><xel:do act=\"@missing + 1\"/></xel:program>");
    EXPECT_EQ(r.Run(), "error: Invalid variant type conversion");
}

TEST(XelErrors, EndlessRecursionStopsWithTheLimit)
{
    TXelProgram p(
        "<xel:program><xel:var id='n'>0</xel:var><xel:function id='f'>"
        "<xel:do act=\"assign('n', get('n') + 1)\"/><xel:call>f</xel:call></xel:function>"
        "<start id='s'><xel:call>f</xel:call></start></xel:program>");
    const std::string result = p.Run("s");
    EXPECT_EQ(result, "error: The XEL run stopped: calls and blocks nest too deeply (at most 5000 levels). "
                      "Does a function call itself without end?");
    EXPECT_GT(std::stoi(p.Var("n")), 100);
}

TEST(XelStress, AMillionNestedBlocksStopWithTheLimit)
{
    std::string deep = "<xel:program>";
    for (int i = 0; i < 1000000; ++i) deep += "<b>";
    for (int i = 0; i < 1000000; ++i) deep += "</b>";
    deep += "</xel:program>";
    TXelProgram q(deep);
    EXPECT_EQ(q.Run().rfind("error: The XEL run stopped", 0), 0u);
}

}  // namespace
