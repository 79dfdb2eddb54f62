// The xlhost formula language: literals, omitted arguments, messages with their columns, the host's dates,
// and inputs that must give a message rather than a crash.

#include "xlhost/formula/FormulaParser.h"
#include "xlhost/formula/HostDate.h"
#include "xlhost/formula/Messages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace xlhost;
using namespace xlhost::formula;

namespace {

Literal number(double x) {
    Literal l;
    l.kind = LiteralKind::Number;
    l.number = x;
    return l;
}

Literal text(std::string s) {
    Literal l;
    l.kind = LiteralKind::Text;
    l.text = std::move(s);
    return l;
}

Literal boolean(bool b) {
    Literal l;
    l.kind = LiteralKind::Boolean;
    l.boolean = b;
    return l;
}

Literal error(int32_t code) {
    Literal l;
    l.kind = LiteralKind::Error;
    l.error = code;
    return l;
}

Literal empty() {
    Literal l;
    l.kind = LiteralKind::Empty;
    return l;
}

Literal omitted() {
    return Literal{};
}

Literal array(int32_t rows, int32_t columns, std::vector<Literal> cells) {
    Literal l;
    l.kind = LiteralKind::Array;
    l.rows = rows;
    l.columns = columns;
    l.cells = std::move(cells);
    return l;
}

Call parsed(const std::string& line, const Limits& limits = {}) {
    auto result = parseFormula(line, limits);
    if (auto* e = std::get_if<ParseError>(&result)) {
        ADD_FAILURE() << line << ": column " << e->column << ": " << e->message;
        return {};
    }
    return std::get<Call>(result);
}

ParseError failed(const std::string& line, const Limits& limits = {}) {
    auto result = parseFormula(line, limits);
    if (auto* e = std::get_if<ParseError>(&result))
        return *e;
    ADD_FAILURE() << line << " parsed";
    return {};
}

} // namespace

TEST(XlhostParser, EveryLiteralKind) {
    struct Case {
        std::string argument;
        Literal expected;
    };
    const std::vector<Case> cases = {
        {"42", number(42)},
        {"-1.5e-3", number(-1.5e-3)},
        {"+7", number(7)},
        {".25", number(0.25)},
        {"1E+2", number(100)},
        {"1e-999", number(0)}, // too small to hold reads as zero, as the host reads it
        {"\"abc\"", text("abc")},
        {"\"\"", text("")},
        {"\"say \"\"hi\"\"\"", text("say \"hi\"")},
        {"\"a,b)\"", text("a,b)")},
        {"\"h\xC3\xA9\"", text("h\xC3\xA9")},
        {"TRUE", boolean(true)},
        {"false", boolean(false)},
        {"#NULL!", error(0)},
        {"#DIV/0!", error(7)},
        {"#VALUE!", error(15)},
        {"#REF!", error(23)},
        {"#NAME?", error(29)},
        {"#NUM!", error(36)},
        {"#N/A", error(42)},
        {"#n/a", error(42)},
        {"DATE(2024, 2, 29)", number(45351)},
        {"date(1900,1,1)", number(1)},
        {"DATE(2024, 2, 30.9)", number(45352)},
        {"DATE(-1, 1, 1)", error(36)},
        {"{1, 2; 3, 4}", array(2, 2, {number(1), number(2), number(3), number(4)})},
        {"{1,,\"x\"}", array(1, 3, {number(1), empty(), text("x")})},
        {"{;}", array(2, 1, {empty(), empty()})},
        {"{}", array(1, 1, {empty()})},
        {"{TRUE; #N/A; DATE(1900,3,1)}", array(3, 1, {boolean(true), error(42), number(61)})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument);
        const Call call = parsed("f(" + c.argument + ")");
        ASSERT_EQ(call.arguments.size(), 1u);
        EXPECT_EQ(call.arguments[0], c.expected);
    }
}

TEST(XlhostParser, NamesAndOmittedArguments) {
    struct Case {
        std::string line;
        std::vector<Literal> expected;
    };
    const std::vector<Case> cases = {
        {"f()", {}},
        {"f( )", {}},
        {"f(,)", {omitted(), omitted()}},
        {"f(1,)", {number(1), omitted()}},
        {"f(,1)", {omitted(), number(1)}},
        {"f(1, , 2)", {number(1), omitted(), number(2)}},
        {"  =f ( 1 )  ", {number(1)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(parsed(c.line).arguments, c.expected);
    }
    const Call call = parsed("  sched_df_curve.v2(1)");
    EXPECT_EQ(call.name, "sched_df_curve.v2");
    EXPECT_EQ(call.nameColumn, 3u);
}

TEST(XlhostParser, MessagesNameTheColumn) {
    struct Case {
        std::string line;
        std::size_t column;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"", 1, messages::ExpectedFunctionName},
        {"1(2)", 1, messages::ExpectedFunctionName},
        {"f", 2, messages::ExpectedOpenParenthesis},
        {"f(1 2)", 5, messages::ExpectedCommaOrClose},
        {"f(1", 4, messages::ExpectedCommaOrClose},
        {"f(1,", 5, messages::ExpectedCommaOrClose},
        {"f(1) x", 6, messages::ExpectedEnd},
        {"f(\"abc)", 3, messages::UnterminatedText},
        {"f(1.2.3)", 3, messages::BadNumber},
        {"f(12abc)", 3, messages::BadNumber},
        {"f(-)", 3, messages::BadNumber},
        {"f(1e)", 3, messages::BadNumber},
        {"f(1e999)", 3, messages::NumberOutOfRange},
        {"f(-1e400)", 3, messages::NumberOutOfRange},
        {"f(maybe)", 3, messages::UnknownWord},
        {"f(#WHAT?)", 3, messages::UnknownError},
        {"f(DATE(2024,1))", 3, messages::DateArguments},
        {"f(DATE 1)", 3, messages::DateArguments},
        {"f({1 2})", 6, messages::ExpectedCellSeparator},
        {"f({1,{2}})", 6, messages::NestedArray},
        {"f({1,2;3})", 9, messages::RowLengthsDiffer},
        {"f({1,2)", 7, messages::ExpectedCellSeparator},
        {"f(@)", 3, messages::ExpectedArgument},
        {std::string("f(\0)", 4), 3, messages::ExpectedArgument},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const ParseError e = failed(c.line);
        EXPECT_EQ(e.column, c.column);
        EXPECT_EQ(e.message, c.message);
    }
}

TEST(XlhostParser, ArraysStayWithinTheLimits) {
    const Limits small{.maxRows = 2, .maxColumns = 3, .maxCells = 5};
    EXPECT_EQ(failed("f({1,2,3,4})", small).message, messages::TooManyColumns);
    EXPECT_EQ(failed("f({1;2;3})", small).message, messages::TooManyRows);
    EXPECT_EQ(failed("f({1,2,3;4,5,6})", small).message, messages::TooManyCells);

    std::string wide = "f({";
    for (int i = 0; i < 300; ++i)
        wide += i ? ",1" : "1";
    const Call call = parsed(wide + "})");
    EXPECT_EQ(call.arguments[0].columns, 300);
}

TEST(XlhostParser, HostileInputGivesAMessage) {
    const std::string braces(100000, '{');
    EXPECT_EQ(failed("f(" + braces).message, messages::NestedArray);
    const std::string parentheses(100000, '(');
    EXPECT_EQ(failed("f" + parentheses).message, messages::ExpectedArgument);

    const std::string million(1000000, 'x');
    EXPECT_EQ(parsed("f(\"" + million + "\")").arguments[0].text.size(), million.size());

    std::string binary;
    for (int i = 0; i < 256; ++i)
        binary.push_back(static_cast<char>(i));
    for (std::size_t start = 0; start < binary.size(); ++start) {
        const auto result = parseFormula("f(" + binary.substr(start) + ")");
        if (auto* e = std::get_if<ParseError>(&result)) {
            EXPECT_GE(e->column, 1u);
        }
    }

    EXPECT_EQ(parsed("f(" + std::string(254, ',') + ")").arguments.size(), 255u);
    const ParseError commas = failed("f(" + std::string(1000000, ',') + ")");
    EXPECT_EQ(commas.message, messages::TooManyArgumentsInLine);
    EXPECT_EQ(commas.column, 258u);

    std::string manyCells = "f({";
    for (int i = 0; i < (1 << 18); ++i)
        manyCells += ";";
    EXPECT_EQ(failed(manyCells + "})").message, messages::TooManyCells);
}

TEST(XlhostParser, SkippedLines) {
    EXPECT_TRUE(isSkippedLine(""));
    EXPECT_TRUE(isSkippedLine("  \t"));
    EXPECT_TRUE(isSkippedLine("# a comment"));
    EXPECT_TRUE(isSkippedLine("   #N/A"));
    EXPECT_FALSE(isSkippedLine(" f(1)"));
}

TEST(XlhostHostDate, DateFunctionFollowsTheHost) {
    struct Case {
        double year, month, day;
        std::optional<int32_t> serial;
        const char* note;
    };
    const std::vector<Case> cases = {
        {1900, 1, 0, 0, "day 0 exists"},
        {1900, 1, 1, 1, "day 1"},
        {1900, 2, 28, 59, ""},
        {1900, 2, 29, 60, "the host's 29 February 1900"},
        {1900, 3, 1, 61, ""},
        {1900, 3, 0, 60, "day 0 of March is 29 February"},
        {2024, 2, 29, 45351, ""},
        {2100, 2, 29, 73110, "2100 is no leap year: 1 March 2100"},
        {2100, 3, 1, 73110, ""},
        {9999, 12, 31, 2958465, "the last day"},
        {10000, 1, 1, std::nullopt, "year beyond 9999"},
        {9999, 12, 32, std::nullopt, "beyond the last day"},
        {99, 1, 1, 36161, "years below 1900 count from 1900: 1999"},
        {2024, 13, 1, 45658, "month 13 is January 2025"},
        {2024, 0, 1, 45261, "month 0 is December 2023"},
        {2024, -11, 1, 44927, "month -11 is January 2023"},
        {1900, 0, 1, std::nullopt, "before day 0"},
        {-1, 1, 1, std::nullopt, "negative year"},
        {2024.9, 1.9, 1.9, 45292, "every part truncated"},
        {NAN, 1, 1, std::nullopt, ""},
        {2024, 1e300, 1, std::nullopt, "no overflow on huge months"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month) + "-" + std::to_string(c.day) +
                     " " + c.note);
        EXPECT_EQ(hostDate(c.year, c.month, c.day), c.serial);
    }
}

TEST(XlhostHostDate, CalendarDateWalksEveryDay) {
    // Every day number from 1 to the last is one day after the one before, and DATE gives it back.
    auto previous = *hostCalendarDate(0);
    EXPECT_EQ(previous.day, 0);
    for (int32_t serial = 1; serial <= kLastHostDay; ++serial) {
        const auto ymd = hostCalendarDate(serial);
        ASSERT_TRUE(ymd) << serial;
        const bool nextDay =
            ymd->year == previous.year && ymd->month == previous.month && ymd->day == previous.day + 1;
        const bool nextMonth =
            ymd->day == 1 && ((ymd->year == previous.year && ymd->month == previous.month + 1) ||
                              (ymd->year == previous.year + 1 && ymd->month == 1 && previous.month == 12));
        ASSERT_TRUE(nextDay || nextMonth) << serial;
        ASSERT_EQ(hostDate(ymd->year, ymd->month, ymd->day), serial);
        previous = *ymd;
    }
    EXPECT_FALSE(hostCalendarDate(-1));
    EXPECT_FALSE(hostCalendarDate(kLastHostDay + 1));
    EXPECT_FALSE(hostCalendarDate(NAN));
}
