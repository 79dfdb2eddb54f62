#include <gtest/gtest.h>

#include "matrix/CellMatrix.h"
#include "matrix/MatrixMessages.h"
#include "matrix/NumberMatrix.h"

#include <cmath>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>

using xll::CellMatrix;
using xll::MatrixCell;
using xll::NumberMatrix;
namespace msg = xll::messages;

namespace {

// The text a plain-text throw carries, or "" when the call succeeds.
std::string thrownText(const std::function<void()>& call) {
    try {
        call();
    } catch (const char* text) {
        return text;
    }
    return "";
}

std::string outOfRangeText(const std::function<void()>& call) {
    try {
        call();
    } catch (const std::out_of_range& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(MatrixCell, EachConstructorGivesItsKindAndOnlyItsPredicate) {
    struct Row {
        const char* note;
        MatrixCell cell;
        int32_t kind;
    };
    // The error cell keeps its code as a number too, but only the error accessor answers.
    EXPECT_EQ(MatrixCell(42u, true).errorValue(), 42u);
    EXPECT_EQ(MatrixCell(42u, false).unsignedValue(), 42u);
    const Row rows[] = {
        {"default", MatrixCell(), MatrixCell::Empty},
        {"narrow", MatrixCell(std::string("a")), MatrixCell::NarrowText},
        {"zero-terminated", MatrixCell("a"), MatrixCell::NarrowText},
        {"wide", MatrixCell(std::wstring(L"a")), MatrixCell::WideText},
        {"double", MatrixCell(1.5), MatrixCell::Number},
        {"int", MatrixCell(-3), MatrixCell::Number},
        {"unsigned number", MatrixCell(7u, false), MatrixCell::Number},
        {"error", MatrixCell(42u, true), MatrixCell::Error},
        {"boolean", MatrixCell(true), MatrixCell::Boolean},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.note);
        const MatrixCell& c = r.cell;
        EXPECT_EQ(c.kind(), r.kind);
        const int predicates = c.isString() + c.isWString() + c.isNumber() + c.isBoolean() + c.isReserved() +
                               c.isError() + c.isEmpty();
        EXPECT_EQ(predicates, 1);
    }
}

TEST(MatrixCell, AccessorsRefuseOtherKindsWithTheirTexts) {
    const MatrixCell number(2.0), text("x"), wide(std::wstring(L"x")), empty, boolean(false), error(7u, true);
    struct Row {
        const char* note;
        std::function<void()> call;
        const char* expected;
    };
    const Row rows[] = {
        {"number of text", [&] { (void)text.numericValue(); }, msg::NotANumber},
        {"unsigned of empty", [&] { (void)empty.unsignedValue(); }, msg::NotANumber},
        {"string of number", [&] { (void)number.stringValue(); }, msg::NotAString},
        {"strict string of wide", [&] { (void)wide.stringValueStrict(); }, msg::NotAString},
        {"wstring reference of narrow", [&] { (void)text.wstringValue(); }, msg::NotAWString},
        {"wstring copy of narrow", [&] { (void)text.wstringValueCopy(); }, msg::NotAString},
        {"lower-case of boolean", [&] { (void)boolean.stringValueLowerCase(); }, msg::NotAString},
        {"wide lower-case of error", [&] { (void)error.wstringValueLowerCase(); }, msg::NotAString},
        {"boolean of number", [&] { (void)number.booleanValue(); }, msg::NotABoolean},
        {"error of number", [&] { (void)number.errorValue(); }, msg::NotAnError},
        {"number of error", [&] { (void)error.numericValue(); }, msg::NotANumber},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.note);
        EXPECT_EQ(thrownText(r.call), r.expected);
    }
}

TEST(MatrixCell, UnsignedValueTruncatesAndSaturatesOutsideItsRange) {
    const struct {
        double value;
        uint32_t expected;
    } rows[] = {
        {3.99, 3u},
        {-0.5, 0u},
        {-7.0, 0u},
        {4294967295.0, 4294967295u},
        {1e300, 4294967295u},
        {std::numeric_limits<double>::quiet_NaN(), 0u},
        {std::numeric_limits<double>::infinity(), 4294967295u},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.value);
        EXPECT_EQ(MatrixCell(r.value).unsignedValue(), r.expected);
    }
}

TEST(MatrixCell, TextConversionsNarrowWidenAndLowerCase) {
    const MatrixCell wide(std::wstring(L"A\u0142b")); // U+0142 keeps its low byte 0x42, 'B'
    EXPECT_EQ(wide.stringValue(), "ABb");
    EXPECT_EQ(wide.wstringValue(), L"A\u0142b");
    EXPECT_EQ(wide.wstringValueCopy(), L"A\u0142b");
    EXPECT_EQ(wide.stringValueLowerCase().substr(0, 1), "a");

    const MatrixCell narrow("MiXeD\xE9");
    EXPECT_EQ(narrow.stringValue(), "MiXeD\xE9");
    EXPECT_EQ(narrow.stringValueStrict(), "MiXeD\xE9");
    EXPECT_EQ(narrow.stringValueLowerCase(), "mixed\xE9");
    // Widening maps each byte to the unit of the same value, never a negative one.
    EXPECT_EQ(narrow.wstringValueLowerCase(), std::wstring(L"mixed\u00E9"));
    EXPECT_EQ(MatrixCell(std::wstring(L"ACT/360")).wstringValueLowerCase(), L"act/360");
}

TEST(CellMatrix, ConstructorsGiveTheirShapes) {
    EXPECT_TRUE(CellMatrix(2, 3)(1, 2).isEmpty());
    EXPECT_EQ(CellMatrix(5u)(0, 0).numericValue(), 5.0);
    EXPECT_TRUE(CellMatrix(std::wstring(L"t"))(0, 0).isWString());

    const CellMatrix column(std::vector<double>{1.0, 2.0, 3.0});
    EXPECT_EQ(column.rows(), 3u);
    EXPECT_EQ(column.columns(), 1u);
    EXPECT_EQ(column(2, 0).numericValue(), 3.0);

    NumberMatrix numbers(2, 2);
    numbers(1, 0) = 9.0;
    const CellMatrix fromNumbers(numbers);
    EXPECT_EQ(fromNumbers(1, 0).numericValue(), 9.0);
    EXPECT_EQ(fromNumbers(0, 1).numericValue(), 0.0);
}

TEST(CellMatrix, IndicesOutsideTheShapeRaiseOutOfRange) {
    CellMatrix one(1.0);
    const CellMatrix& constOne = one;
    EXPECT_EQ(outOfRangeText([&] { (void)constOne(0, 1); }), msg::InvalidSubscript);
    EXPECT_EQ(outOfRangeText([&] { (void)constOne(1, 0); }), msg::InvalidSubscript);
    EXPECT_EQ(outOfRangeText([&] { one(0, 1) = MatrixCell(2.0); }), msg::InvalidSubscript);
    EXPECT_EQ(outOfRangeText([&] { (void)CellMatrix()(0, 0); }), msg::InvalidSubscript);
    // A 0 x 5 matrix has columns but no row to read.
    EXPECT_EQ(outOfRangeText([&] { (void)CellMatrix(0, 5)(0, 0); }), msg::InvalidSubscript);
}

TEST(CellMatrix, PushBottomWidensBothToTheWiderAndAppends) {
    CellMatrix top(1, 3);
    top(0, 2) = MatrixCell(1.0);
    CellMatrix tall(2, 1);
    tall(1, 0) = MatrixCell(2.0);
    top.pushBottom(tall);
    EXPECT_EQ(top.rows(), 3u);
    EXPECT_EQ(top.columns(), 3u);
    EXPECT_EQ(top(0, 2).numericValue(), 1.0);
    EXPECT_EQ(top(2, 0).numericValue(), 2.0);
    EXPECT_TRUE(top(2, 2).isEmpty());

    // The narrower matrix on top is widened too.
    CellMatrix narrow(1.0);
    narrow.pushBottom(CellMatrix(1, 4));
    EXPECT_EQ(narrow.columns(), 4u);
    EXPECT_TRUE(narrow(0, 3).isEmpty());
    EXPECT_EQ(narrow(0, 0).numericValue(), 1.0);

    CellMatrix self(std::vector<double>{1.0, 2.0});
    self.pushBottom(self);
    ASSERT_EQ(self.rows(), 4u);
    EXPECT_EQ(self(3, 0).numericValue(), 2.0);

    // The join leaves both inputs alone.
    const CellMatrix a(std::vector<double>{1.0});
    const CellMatrix merged = xll::mergeCellMatrices(a, CellMatrix(1, 2));
    EXPECT_EQ(merged.rows(), 2u);
    EXPECT_EQ(merged.columns(), 2u);
    EXPECT_TRUE(merged(0, 1).isEmpty());
    EXPECT_EQ(a.columns(), 1u);
}

TEST(NumberMatrix, ZeroFilledResizedAndBoundsChecked) {
    NumberMatrix m(2, 3);
    EXPECT_EQ(m.rows(), 2);
    EXPECT_EQ(m.columns(), 3);
    EXPECT_EQ(m(1, 2), 0.0);
    m(1, 2) = 4.0;
    m(0, 1) = 1.0;
    EXPECT_EQ(m(1, 2), 4.0);
    EXPECT_EQ(m(0, 1), 1.0);

    m.resize(2, 3); // same shape keeps the content
    EXPECT_EQ(m(1, 2), 4.0);
    m.resize(3, 2); // a new shape zero-fills
    EXPECT_EQ(m(1, 1), 0.0);

    const NumberMatrix copy(m);
    EXPECT_EQ(copy.rows(), 3);

    EXPECT_EQ(outOfRangeText([&] { (void)m(3, 0); }), msg::InvalidSubscript);
    EXPECT_EQ(outOfRangeText([&] { (void)m(0, -1); }), msg::InvalidSubscript);
    EXPECT_EQ(outOfRangeText([&] { (void)NumberMatrix()(0, 0); }), msg::InvalidSubscript);
    EXPECT_EQ(thrownText([] { NumberMatrix(-1, 2); }), msg::InvalidMatrixShape);
}
