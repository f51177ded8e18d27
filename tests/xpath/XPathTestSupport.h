#pragma once
// Helpers for the expression engine's tests: evaluate a text and describe the value
// as "Kind: text" ("Null" alone for Null), so that each case is one line.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "core/FormatSettings.h"
#include "core/qelXMLParser2.h"
#include "xpath/Variant.h"

// "Kind: text" of a value, or "Null".
std::string Describe(const Variant& value);
// The expected description from a kind name and a text.
std::string Expected(std::string_view kind, std::string_view text);
// Compiles the expression as the selection layer does and evaluates it at node.
Variant EvaluateAt(std::string_view expression, TqelXMLNode2* node);
std::string DescribeAt(std::string_view expression, TqelXMLNode2* node);
// A document parsed from text; fails the test when the text does not parse.
std::unique_ptr<TqelXMLParser2> ParseDocument(const std::string& text);
// The element at pre-order index (0 is the document itself).
TqelXMLNode2* ElementAt(TqelXMLNode2& root, int index);

// Sets program-wide settings for the life of a test and restores them after it.
class TSettingsGuard {
public:
    TSettingsGuard() : FSaved(ProgramSettings()) {}
    ~TSettingsGuard() { ProgramSettings() = FSaved; }
    TSettingsGuard(const TSettingsGuard&) = delete;
    TSettingsGuard& operator=(const TSettingsGuard&) = delete;

private:
    TFormatSettings FSaved;
};

// One evaluation case: an expression and the kind and text it must give.
struct TValueCase {
    const char* Expression;
    const char* Kind;
    const char* Text;
};

#define CHECK_VALUE_AT(node, expression, kind, text) \
    EXPECT_EQ(DescribeAt((expression), (node)), Expected((kind), (text))) << "expression: " << (expression)
#define CHECK_VALUE(expression, kind, text) CHECK_VALUE_AT(nullptr, expression, kind, text)
#define CHECK_NULL_AT(node, expression) CHECK_VALUE_AT(node, expression, "Null", "")
#define CHECK_NULL(expression) CHECK_VALUE_AT(nullptr, expression, "Null", "")

// Runs every case of a table without context element, or at node.
void CheckValues(std::initializer_list<TValueCase> cases, TqelXMLNode2* node = nullptr);
