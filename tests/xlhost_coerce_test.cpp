// The stand-in host's coercion: the conversion rules on values, and the xlCoerce call on records of both
// generations (results in host memory, the two failure modes).

#include "xlhost/common/Coerce.h"
#include "xlhost/common/Text.h"
#include "xlhost/core/StandInHost.h"
#include "xlhost/program/Arguments.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

extern "C" int Excel4(int xlfn, XLOPER* result, int count, ...);

using namespace xlhost;

namespace {

const auto noCells = CellReader{};

std::string describe(const std::optional<Value>& v) {
    if (!v)
        return "(does not convert)";
    std::string s = kindName(v->kind);
    switch (v->kind) {
    case Kind::Num:
        return s + " " + std::to_string(v->num);
    case Kind::Str:
        return s + " \"" + utf16ToUtf8(v->text) + "\"";
    case Kind::Bool:
    case Kind::Int:
    case Kind::Err:
        return s + " " + std::to_string(v->code);
    case Kind::Multi:
        return s + " " + std::to_string(v->rows) + "x" + std::to_string(v->columns);
    default:
        return s;
    }
}

} // namespace

TEST(XlhostCoerce, ScalarConversions) {
    const auto four = Generation::Four;
    const auto twelve = Generation::Twelve;
    struct Case {
        Value from;
        uint32_t wanted;
        Generation generation;
        std::optional<Value> expected;
    };
    const std::vector<Case> cases = {
        // numbers to texts: the shortest text that reads back
        {Value::number(1.5), xltypeStr, four, Value::str(u"1.5")},
        {Value::number(-2), xltypeStr, four, Value::str(u"-2")},
        {Value::number(1e20), xltypeStr, four, Value::str(u"1E+20")},
        {Value::number(-0.0), xltypeStr, four, Value::str(u"0")},
        {Value::number(0.1 + 0.2), xltypeStr, four, Value::str(u"0.30000000000000004")},
        {Value::number(NAN), xltypeStr, four, std::nullopt},
        {Value::integer(-7), xltypeStr, twelve, Value::str(u"-7")},
        // texts to numbers
        {Value::str(u" 12.5 "), xltypeNum, four, Value::number(12.5)},
        {Value::str(u"-1e3"), xltypeNum, four, Value::number(-1000)},
        {Value::str(u"50%"), xltypeNum, four, Value::number(0.5)},
        {Value::str(u"abc"), xltypeNum, four, std::nullopt},
        {Value::str(u""), xltypeNum, four, std::nullopt},
        {Value::str(u"1e999"), xltypeNum, four, std::nullopt},
        {Value::str(u"0x10"), xltypeNum, four, std::nullopt},
        {Value::str(u"TRUE"), xltypeNum, four, std::nullopt},
        // integers: rounded, within the generation's width
        {Value::str(u"16.0"), xltypeInt, four, Value::integer(16)},
        {Value::number(2.5), xltypeInt, four, Value::integer(3)},
        {Value::number(-2.5), xltypeInt, four, Value::integer(-3)},
        {Value::number(40000), xltypeInt, four, std::nullopt},
        {Value::number(40000), xltypeInt, twelve, Value::integer(40000)},
        {Value::number(1e10), xltypeInt, twelve, std::nullopt},
        {Value::integer(5), xltypeNum, twelve, Value::number(5)},
        // booleans
        {Value::boolean(true), xltypeNum, four, Value::number(1)},
        {Value::boolean(false), xltypeStr, four, Value::str(u"FALSE")},
        {Value::str(u"true"), xltypeBool, four, Value::boolean(true)},
        {Value::str(u"False"), xltypeBool, twelve, Value::boolean(false)},
        {Value::str(u"yes"), xltypeBool, four, std::nullopt},
        {Value::str(u"1"), xltypeBool, four, std::nullopt},
        {Value::number(0), xltypeBool, four, Value::boolean(false)},
        {Value::number(-3), xltypeBool, four, Value::boolean(true)},
        // missing and empty
        {Value::missing(), xltypeNum, four, Value::number(0)},
        {Value::missing(), xltypeStr, four, Value::str(u"")},
        {Value::nil(), xltypeBool, four, Value::boolean(false)},
        {Value::nil(), xltypeInt, four, Value::integer(0)},
        {Value::number(1), xltypeNil, four, std::nullopt},
        // errors propagate into every scalar kind; nothing else becomes an error
        {Value::error(42), xltypeNum, four, Value::error(42)},
        {Value::error(7), xltypeStr, twelve, Value::error(7)},
        {Value::number(3), xltypeErr, four, std::nullopt},
        // arrays: the top-left element for a scalar; a scalar becomes a 1 x 1 array
        {Value::multi(1, 2, {Value::str(u"7"), Value::number(2)}), xltypeNum, four, Value::number(7)},
        {Value::multi(1, 1, {Value::error(23)}), xltypeStr, four, Value::error(23)},
        {Value::number(3), xltypeMulti, four, Value::multi(1, 1, {Value::number(3)})},
        {Value::missing(), xltypeMulti, four, Value::multi(1, 1, {Value::nil()})},
        // no reference can be made from a value
        {Value::number(3), xltypeRef, four, std::nullopt},
        {Value::number(3), xltypeSRef, twelve, std::nullopt},
        // several wanted kinds: kept as it is when it has one, else the first that converts
        {Value::str(u"x"), xltypeNum | xltypeStr, four, Value::str(u"x")},
        {Value::boolean(true), xltypeNum | xltypeStr, four, Value::number(1)},
        {Value::str(u"x"), xltypeNum | xltypeBool | xltypeMulti, four,
         Value::multi(1, 1, {Value::str(u"x")})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(describe(c.from) + " to type " + std::to_string(c.wanted));
        const auto result = coerce(c.from, c.wanted, c.generation, noCells);
        EXPECT_EQ(result, c.expected) << describe(result);
    }
    EXPECT_EQ(coerce(Value::number(1), std::nullopt, Generation::Four, noCells), Value::number(1));
}

TEST(XlhostCoerce, ReferencesReadTheirCells) {
    std::map<std::pair<int32_t, int32_t>, Value> sheet{{{0, 0}, Value::number(1)},
                                                       {{1, 0}, Value::str(u"2")}};
    const CellReader cells = [&](int32_t r, int32_t c) {
        const auto found = sheet.find({r, c});
        return found == sheet.end() ? Value::nil() : found->second;
    };
    const auto g = Generation::Twelve;
    const Value column = Value::ref({{0, 1, 0, 0}});
    EXPECT_EQ(coerce(column, std::nullopt, g, cells),
              Value::multi(2, 1, {Value::number(1), Value::str(u"2")}));
    EXPECT_EQ(coerce(column, xltypeNum, g, cells), Value::number(1));
    EXPECT_EQ(coerce(column, xltypeRef, g, cells), column);
    EXPECT_EQ(coerce(Value::sref({1, 1, 0, 0}), xltypeNum, g, cells), Value::number(2));
    EXPECT_EQ(coerce(Value::sref({5, 5, 5, 5}), std::nullopt, g, cells), Value::nil());
    EXPECT_EQ(coerce(Value::ref({{0, 0, 0, 0}, {1, 1, 0, 0}}), xltypeNum, g, cells), std::nullopt);
    // An area beyond what the host reads into an array does not convert (rather than take all memory).
    EXPECT_EQ(coerce(Value::ref({{0, 1048575, 0, 16383}}), std::nullopt, g, cells), std::nullopt);
}

class XlhostCoerceCall : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override {
        EXPECT_TRUE(ledger().clean()) << ledger().text();
        reset();
    }

    template <typename Record>
    Record* record(const Value& v) {
        auto* r = static_cast<Record*>(storage.allocate(sizeof(Record)));
        std::memset(static_cast<void*>(r), 0, sizeof(Record));
        writeRecord(v, *r, storage);
        return r;
    }

    ArgumentStorage storage;
};

TEST_F(XlhostCoerceCall, FourGenerationThroughExcel4) {
    XLOPER result{};
    ASSERT_EQ(Excel4(xlCoerce, &result, 2, record<XLOPER>(Value::str(u"16.0")),
                     record<XLOPER>(Value::integer(xltypeInt))),
              xlretSuccess);
    EXPECT_EQ(result.xltype, xltypeInt);
    EXPECT_EQ(result.val.w, 16);

    ASSERT_EQ(Excel4(xlCoerce, &result, 2, record<XLOPER>(Value::number(1.25)),
                     record<XLOPER>(Value::integer(xltypeStr))),
              xlretSuccess);
    ASSERT_EQ(result.xltype, xltypeStr); // plain type code: no marker bits
    EXPECT_EQ(std::string(result.val.str + 1, static_cast<unsigned char>(result.val.str[0])), "1.25");
    EXPECT_EQ(ledger().outstanding, 1u);
    EXPECT_EQ(Excel4(xlFree, nullptr, 1, &result), xlretSuccess);

    // The wanted type may come as a number; without one, values come back as they are.
    ASSERT_EQ(
        Excel4(xlCoerce, &result, 2, record<XLOPER>(Value::boolean(true)), record<XLOPER>(Value::number(1))),
        xlretSuccess);
    EXPECT_EQ(readValue(&result), Value::number(1));
    ASSERT_EQ(Excel4(xlCoerce, &result, 1, record<XLOPER>(Value::error(7))), xlretSuccess);
    EXPECT_EQ(readValue(&result), Value::error(7));
}

TEST_F(XlhostCoerceCall, TwelveGenerationArraysAndTexts) {
    XLOPER12 result{};
    XLOPER12* args[] = {record<XLOPER12>(Value::multi(2, 1, {Value::str(u"\u20ac"), Value::number(2)})),
                        record<XLOPER12>(Value::integer(xltypeMulti))};
    ASSERT_EQ(dispatch12(xlCoerce, 2, args, &result), xlretSuccess);
    EXPECT_EQ(readValue(&result), Value::multi(2, 1, {Value::str(u"\u20ac"), Value::number(2)}));
    EXPECT_EQ(ledger().outstanding, 1u); // one result: the array and its element text
    XLOPER12* freeArgs[] = {&result};
    EXPECT_EQ(dispatch12(xlFree, 1, freeArgs, nullptr), xlretSuccess);

    setCell(3, 2, Value::str(u"9.5"));
    args[0] = record<XLOPER12>(Value::sref({3, 3, 2, 2}));
    args[1] = record<XLOPER12>(Value::integer(xltypeNum));
    ASSERT_EQ(dispatch12(xlCoerce, 2, args, &result), xlretSuccess);
    EXPECT_EQ(readValue(&result), Value::number(9.5));
}

TEST_F(XlhostCoerceCall, WhatDoesNotConvert) {
    XLOPER result{};
    XLOPER* args[] = {record<XLOPER>(Value::str(u"abc")), record<XLOPER>(Value::integer(xltypeNum))};
    ASSERT_EQ(dispatch4(xlCoerce, &result, 2, args), xlretSuccess);
    EXPECT_EQ(readValue(&result), Value::error(xlerrValue));

    setCoerceFailure(CoerceFailure::FailedCode);
    EXPECT_EQ(dispatch4(xlCoerce, &result, 2, args), xlretFailed);

    // A converted value too long for the generation does not convert either.
    setCoerceFailure(CoerceFailure::ErrorValue);
    setCell(0, 0, Value::str(std::u16string(300, u'x')));
    args[0] = record<XLOPER>(Value::sref({0, 0, 0, 0}));
    args[1] = record<XLOPER>(Value::integer(xltypeStr));
    ASSERT_EQ(dispatch4(xlCoerce, &result, 2, args), xlretSuccess);
    EXPECT_EQ(readValue(&result), Value::error(xlerrValue));

    // Bad calls: no value, a wanted type that is no number.
    EXPECT_EQ(dispatch4(xlCoerce, &result, 0, nullptr), xlretInvCount);
    args[1] = record<XLOPER>(Value::str(u"x"));
    EXPECT_EQ(dispatch4(xlCoerce, &result, 2, args), xlretInvXloper);
}

TEST(XlhostText, NumbersAndTextsReadBack) {
    for (double x : {0.1, 1.0 / 3, 1e-300, 5e-324, 1.7976931348623157e308, -123456789.125, 45351.0}) {
        SCOPED_TRACE(x);
        const auto text = numberText(x);
        ASSERT_TRUE(text);
        EXPECT_EQ(readNumber(*text), x);
    }
    EXPECT_EQ(
        readNumber(u"0.000000000000000000000000000000000000000000000000000000000000000000000000000000000"
                   u"000000000000000000000000000000000000000000000000000000000000000000000000000000000"
                   u"000000000000000000000000000000000000000000000000000000000000000000000000000000000"
                   u"000000000000000000000000000000000000000000000000000000000000000000000000000000001"),
        0.0);
    EXPECT_EQ(readNumber(u"1" + std::u16string(400, u'0')), std::nullopt);
    EXPECT_EQ(readNumber(u"1e-99999999999999999999"), 0.0);
    EXPECT_EQ(readNumber(u"."), std::nullopt);
    EXPECT_EQ(readNumber(u"1 2"), std::nullopt);

    EXPECT_EQ(utf16ToUtf8(utf8ToUtf16("h\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80")),
              "h\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(utf8ToUtf16("\xC0\xAF\xFF"), u"\uFFFD\uFFFD\uFFFD"); // overlong form, bad byte
    EXPECT_EQ(toBytes(u"\u00e9\u20ac"), "\xE9?");
}
