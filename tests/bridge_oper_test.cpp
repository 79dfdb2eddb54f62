// XlfOper through the stand-in host, in both host generations: conversions with their coercions and failure
// codes, setters with the generations' limits, arrays, host-owned values and the host-code exceptions.

#include <cmath>
#include <functional>
#include <limits>
#include <stdexcept>

#include "BridgeTestSupport.h"
#include "src/Messages.h"
#include "src/XlfException.h"
#include "src/XlfOperImpl.h"

using namespace xll;
using bridge_test::BridgeTest;
using bridge_test::hostView;
using bridge_test::storedNarrow;
using xlhost::Value;

namespace {

class OperTest : public BridgeTest {};
INSTANTIATE_TEST_SUITE_P(Generations, OperTest, ::testing::Values(16, 12), bridge_test::generationName);

XlfOper wideText(const std::wstring& text) {
    XlfOper oper;
    oper.setWideText(text);
    return oper;
}

XlfOper missing() {
    XlfOper oper;
    bridge_test::setTypeWord(oper, xltypeMissing);
    return oper;
}

// A block of numbers 1, 2, ... row after row.
XlfOper numberBlock(uint32_t rows, uint32_t columns) {
    CellMatrix cells(rows, columns);
    for (uint32_t i = 0; i < rows; ++i)
        for (uint32_t j = 0; j < columns; ++j)
            cells(i, j) = MatrixCell(static_cast<double>(i * columns + j + 1));
    return XlfOper(cells);
}

// The 2 x 2 block 1, "a", TRUE, #N/A as the host hands it over: read from its cells, host-owned.
void setMixedCells() {
    xlhost::setCell(0, 0, Value::number(1));
    xlhost::setCell(0, 1, Value::str(u"a"));
    xlhost::setCell(1, 0, Value::boolean(true));
    xlhost::setCell(1, 1, Value::error(xlerrNA));
}

TEST_P(OperTest, ScalarConversionsReadDirectlyOrThroughTheHostsCoercion) {
    struct Case {
        const char* name;
        std::function<XlfOper()> make;
        double asDouble;
        int doubleCode;
        short asShort;
        int shortCode;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"number", [] { return XlfOper(2.5); }, 2.5, 0, 2, 0},
        {"negative number truncates toward zero", [] { return XlfOper(-2.9); }, -2.9, 0, -2, 0},
        {"integer", [] { return XlfOper(short(7)); }, 7, 0, 7, 0},
        {"boolean", [] { return XlfOper(true); }, 1, 0, 1, 0},
        {"numeric text", [] { return wideText(L"2.9"); }, 2.9, 0, 2, 0},
        {"other text: the host answers #VALUE!", [] { return wideText(L"abc"); }, 0, xlretFailed, 0,
         xlretFailed},
        {"too large for 16 bits", [] { return XlfOper(40000.0); }, 40000, 0, 0, xlretFailed},
        {"not a number", [nan] { return XlfOper(nan); }, nan, 0, 0, xlretFailed},
        {"no record", [] { return XlfOper(nullptr); }, 0, xlretInvXloper, 0, xlretInvXloper},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const XlfOper value = c.make();
        int code = -1;
        const double d = value.toDouble(&code);
        EXPECT_EQ(code, c.doubleCode);
        if (code == 0 && !std::isnan(c.asDouble)) {
            EXPECT_DOUBLE_EQ(d, c.asDouble);
        }
        const short s = value.toShort(&code);
        EXPECT_EQ(code, c.shortCode);
        if (code == 0) {
            EXPECT_EQ(s, c.asShort);
        }
    }
}

TEST_P(OperTest, BooleanTextAndErrorConversions) {
    int code = -1;
    EXPECT_FALSE(XlfOper(0.0).toBool(&code));
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(wideText(L"true").toBool(&code));
    EXPECT_EQ(code, 0);
    wideText(L"maybe").toBool(&code);
    EXPECT_EQ(code, xlretFailed);

    EXPECT_STREQ(XlfOper(42.0).toText(), "42");
    EXPECT_STREQ(wideText(L"abc").toText(), "abc");
    EXPECT_EQ(wideText(L"6M").toWideText(), L"6M");
    EXPECT_EQ(XlfOper(true).toWideText(), L"TRUE");

    EXPECT_EQ(XlfOper().setError(xlerrNA).toErrorCode(), xlerrNA);
    EXPECT_EQ(XlfOper().setErrorOrInt(xlerrDiv0, true).kind(), xltypeErr);
    EXPECT_EQ(XlfOper().setErrorOrInt(-5, false).toDouble(), -5.0);
}

TEST_P(OperTest, FailuresCarryTheCallersContext) {
    const XlfOper text = wideText(L"abc");
    const auto message = [](const std::function<void()>& convert) {
        try {
            convert();
        } catch (const std::runtime_error& e) {
            return std::string(e.what());
        }
        return std::string("no exception");
    };
    EXPECT_EQ(message([&] { text.toDouble("iDate"); }), "command failed, Conversion to double iDate");
    EXPECT_EQ(message([&] { text.toShort("iMonths"); }),
              "command failed, iMonths conversion to short failed");
    EXPECT_EQ(message([&] { text.toBool("flag"); }), "command failed, flag conversion to bool failed");
    EXPECT_EQ(message([&] { numberBlock(2, 2).toDoubleVector("xtraHolidays"); }),
              "command failed, xtraHolidays conversion to double vector");
    XlfOper withText(CellMatrix(std::string("x")));
    EXPECT_EQ(message([&] { withText.toNumberMatrix("m"); }),
              "command failed, m conversion to matrix failed");
    EXPECT_EQ(message([&] { withText.toNumberMatrix(); }), "command failed,  conversion to matrix failed");

    // With the host answering code 32 itself, the conversion fails the same way.
    xlhost::setCoerceFailure(xlhost::CoerceFailure::FailedCode);
    EXPECT_EQ(message([&] { text.toDouble("iDate"); }), "command failed, Conversion to double iDate");
}

TEST_P(OperTest, ANullHandleFailsEveryConversionWithCode8AndIgnoresSetters) {
    XlfOper none(nullptr);
    none.setNumber(1).setText("x").setBool(true).setInt(3).setError(7).setWideText(L"y");
    none.setRef(XlfCellRef{0, 1, 0, 1, 0}).setMulti(2, 2).setCellMatrix(CellMatrix(1, 1));
    EXPECT_EQ(none.rawPointer(), nullptr);
    EXPECT_EQ(none.kind(), 0u);
    EXPECT_STREQ(none.kindName(), "unknown");

    const std::function<void(int*)> conversions[] = {
        [&](int* c) { none.toDouble(c); },       [&](int* c) { none.toShort(c); },
        [&](int* c) { none.toBool(c); },         [&](int* c) { none.toText(c); },
        [&](int* c) { none.toWideText(c); },     [&](int* c) { none.toCellRef(c); },
        [&](int* c) { none.toErrorCode(c); },    [&](int* c) { none.toCellMatrix(c); },
        [&](int* c) { none.toNumberMatrix(c); }, [&](int* c) { none.toDoubleVector(Line, c); },
    };
    for (std::size_t i = 0; i < std::size(conversions); ++i) {
        SCOPED_TRACE(i);
        int code = -1;
        conversions[i](&code);
        EXPECT_EQ(code, xlretInvXloper);
        EXPECT_THROW(conversions[i](nullptr), XlfException);
    }
    try {
        none.toDouble("x");
        FAIL();
    } catch (const XlfException& e) {
        EXPECT_EQ(std::string(e.what()), std::string(messages::InvalidOperPrefix) + "Conversion to double x");
    }
}

TEST_P(OperTest, ThrowOnHostErrorTestsTheBitsInOrder) {
    struct Case {
        int code;
        std::function<bool(const std::exception&)> isExpected;
        const char* plain;
        const char* withContext;
    };
    auto is = [](auto* sample) {
        using T = std::remove_pointer_t<decltype(sample)>;
        return [](const std::exception& e) { return dynamic_cast<const T*>(&e) != nullptr; };
    };
    auto exactlyXlfException = [](const std::exception& e) { return typeid(e) == typeid(XlfException); };
    auto runtime = [](const std::exception& e) { return typeid(e) == typeid(std::runtime_error); };
    const Case cases[] = {
        {64, is((XlfExceptionUncalculated*)nullptr), "", ""},
        {96, is((XlfExceptionUncalculated*)nullptr), "", ""}, // uncalculated and failed
        {1 | 32, is((XlfExceptionAbort*)nullptr), "abort", "abort"},
        {16 | 8, is((XlfExceptionStackOverflow*)nullptr), "stack overflow", "stack overflow"},
        {8 | 32, exactlyXlfException, "invalid OPER structure (memory could be exhausted)",
         "invalid OPER structure (memory could be exhausted),ctx"},
        {32 | 4, runtime, "command failed", "command failed, ctx"},
        {4 | 2, runtime, "invalid number of arguments", "invalid number of argument, ctx"},
        {2, runtime, "invalid function number", "invalid function number, ctx"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        for (const bool context : {false, true}) {
            try {
                context ? throwOnHostError(c.code, "ctx") : throwOnHostError(c.code);
                ADD_FAILURE() << "no exception";
            } catch (const std::exception& e) {
                EXPECT_TRUE(c.isExpected(e)) << typeid(e).name();
                EXPECT_STREQ(e.what(), context ? c.withContext : c.plain);
            }
        }
    }
    EXPECT_EQ(throwOnHostError(0), 0);
    EXPECT_EQ(throwOnHostError(128, "ctx"), 128);
}

TEST_P(OperTest, DoubleVectorsByShape) {
    struct Case {
        const char* name;
        std::function<XlfOper()> make;
        int shape;
        std::vector<double> expected;
        int code;
    };
    const Case cases[] = {
        {"missing", missing, Line, {}, 0},
        {"one number", [] { return XlfOper(4.0); }, Line, {4}, 0},
        {"a row", [] { return numberBlock(1, 3); }, Line, {1, 2, 3}, 0},
        {"a column", [] { return numberBlock(3, 1); }, Line, {1, 2, 3}, 0},
        {"a block as a line", [] { return numberBlock(2, 2); }, Line, {}, xlretFailed},
        {"a block by rows", [] { return numberBlock(2, 2); }, ByRows, {1, 2, 3, 4}, 0},
        {"a block by columns", [] { return numberBlock(2, 2); }, ByColumns, {1, 3, 2, 4}, 0},
        {"any other shape reads by columns", [] { return numberBlock(2, 2); }, 7, {1, 3, 2, 4}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int code = -1;
        const std::vector<double> values = c.make().toDoubleVector(static_cast<VectorShape>(c.shape), &code);
        EXPECT_EQ(code, c.code);
        if (code == 0) {
            EXPECT_EQ(values, c.expected);
        }
    }

    // Elements other than numbers go through the host's coercion; the first failure stops the conversion.
    XlfOper mixed;
    mixed.setMulti(1, 3);
    mixed.setElement(0, 0, XlfOper(1.0));
    mixed.setElement(0, 1, wideText(L"5"));
    mixed.setElement(0, 2, XlfOper(true));
    EXPECT_EQ(mixed.toDoubleVector(), (std::vector<double>{1, 5, 1}));
    mixed.setElement(0, 1, wideText(L"five"));
    int code = -1;
    mixed.toDoubleVector(Line, &code);
    EXPECT_EQ(code, xlretFailed);
}

TEST_P(OperTest, CellMatricesKeepEachCellsKind) {
    // An omitted argument: one empty cell, but no numbers and no vector.
    const XlfOper omitted = missing();
    const CellMatrix single = omitted.toCellMatrix();
    ASSERT_EQ(single.rows(), 1u);
    ASSERT_EQ(single.columns(), 1u);
    EXPECT_TRUE(single(0, 0).isEmpty());
    EXPECT_EQ(omitted.toNumberMatrix().rows(), 0);
    EXPECT_TRUE(omitted.toDoubleVector().empty());

    setMixedCells();
    XlfOper area;
    area.setRef(XlfCellRef{0, 2, 0, 2, 0});
    XlfOper block; // the array the host makes of the area: host-owned
    ASSERT_EQ(area.coerce(xltypeMulti, block), 0);
    EXPECT_EQ(block.kind(), xltypeMulti | xlbitHostOwned);
    for (const XlfOper* source : {&block, &area}) {
        SCOPED_TRACE(source == &block ? "array" : "reference");
        const CellMatrix cells = source->toCellMatrix();
        ASSERT_EQ(cells.rows(), 2u);
        ASSERT_EQ(cells.columns(), 2u);
        EXPECT_EQ(cells(0, 0).numericValue(), 1.0);
        // Texts arrive as bytes in the 4-generation, as UTF-16 in the 12-generation.
        EXPECT_EQ(cells(0, 1).kind(), bridge_test::excel12() ? MatrixCell::WideText : MatrixCell::NarrowText);
        EXPECT_EQ(cells(0, 1).stringValue(), "a");
        EXPECT_TRUE(cells(1, 0).booleanValue());
        EXPECT_EQ(cells(1, 1).errorValue(), static_cast<uint32_t>(xlerrNA));
        int code = -1;
        source->toNumberMatrix(&code);
        EXPECT_EQ(code, xlretFailed);
    }

    // A number block converts to numbers.
    const NumberMatrix numbers = numberBlock(2, 3).toNumberMatrix();
    ASSERT_EQ(numbers.rows(), 2);
    ASSERT_EQ(numbers.columns(), 3);
    EXPECT_EQ(numbers(1, 2), 6.0);

    // An element of a kind no cell holds is refused with a plain text, even when the code is asked for.
    XlfOper odd;
    odd.setMulti(1, 1);
    odd.setElement(0, 0, XlfOper(short(3)));
    int code = -1;
    EXPECT_THROW(
        try { odd.toCellMatrix(&code); } catch (const char* text) {
            EXPECT_STREQ(text, messages::UnsupportedCell);
            throw;
        },
        const char*);
}

TEST_P(OperTest, ReferencesRoundTripAndReadTheirCells) {
    for (int32_t i = 0; i < 3; ++i)
        xlhost::setCell(4 + i, 2, Value::number(10.0 + i));
    XlfOper column;
    column.setRef(XlfCellRef{4, 7, 2, 3, 0});
    EXPECT_EQ(column.toCellRef(), (XlfCellRef{4, 7, 2, 3, 0}));
    EXPECT_EQ(column.toDoubleVector(), (std::vector<double>{10, 11, 12}));
    EXPECT_THROW(column.element(0, 0), XlfException);
}

TEST_P(OperTest, ReferencesOutsideTheGridAreRefused) {
    const int32_t rows = bridge_test::excel12() ? kMaxRows12 : kMaxRows4 + 1;
    const int32_t columns = bridge_test::excel12() ? kMaxColumns12 : kMaxColumns4 + 1;
    XlfOper ref;
    EXPECT_NO_THROW(ref.setRef(XlfCellRef{rows - 1, rows, columns - 1, columns, 0}));
    EXPECT_EQ(ref.toCellRef(), (XlfCellRef{rows - 1, rows, columns - 1, columns, 0}));
    for (const XlfCellRef bad : {XlfCellRef{0, rows + 1, 0, 1, 0}, XlfCellRef{0, 1, 0, columns + 1, 0},
                                 XlfCellRef{-1, 1, 0, 1, 0}, XlfCellRef{3, 3, 0, 1, 0}})
        EXPECT_THROW(XlfOper().setRef(bad), std::runtime_error);
}

TEST_P(OperTest, NarrowTextsKeepTheGenerationsLimit) {
    const std::string longText(300, 'x');
    const XlfOper text(longText);
    const Value seen = hostView(text);
    if (bridge_test::excel12()) {
        EXPECT_EQ(seen.text, std::u16string(300, u'x'));
        EXPECT_EQ(reported(messages::TruncatedTo254), 0);
    } else {
        // 254 characters and the counted zero: the host sees 255.
        ASSERT_EQ(seen.text.size(), 255u);
        EXPECT_EQ(seen.text.substr(0, 254), std::u16string(254, u'x'));
        EXPECT_EQ(seen.text[254], u'\0');
        EXPECT_EQ(reported(messages::TruncatedTo254), 1);
    }
    EXPECT_EQ(hostView(XlfOper(std::string(254, 'y'))).text, storedNarrow(std::u16string(254, u'y')));
    EXPECT_EQ(reported(messages::TruncatedTo254), bridge_test::excel12() ? 0 : 1);
}

TEST_P(OperTest, WideTextsKeepTheGenerationsLimit) {
    EXPECT_EQ(hostView(wideText(std::wstring(255, L'w'))).text, std::u16string(255, u'w'));
    EXPECT_EQ(reported(messages::TruncatedTo255), 0);
    const std::u16string seen = hostView(wideText(std::wstring(256, L'w'))).text;
    EXPECT_EQ(seen.size(), bridge_test::excel12() ? 256u : 255u);
    EXPECT_EQ(reported(messages::TruncatedTo255), bridge_test::excel12() ? 0 : 1);

    // Beyond what a 12-generation count can describe for the host, texts are cut too.
    XlfOper huge;
    huge.setWideText(std::wstring(40000, L'h'));
    if (bridge_test::excel12()) {
        EXPECT_EQ(hostView(huge).text.size(), static_cast<std::size_t>(kMaxText12));
        EXPECT_EQ(reported(messages::TruncatedTo32767), 1);
    }
}

TEST_P(OperTest, SetCellMatrixWritesEveryCellKind) {
    CellMatrix cells(2, 3);
    cells(0, 0) = MatrixCell(1.5);
    cells(0, 1) = MatrixCell("ab");
    cells(0, 2) = MatrixCell(std::wstring(L"cd"));
    cells(1, 0) = MatrixCell(true);
    cells(1, 1) = MatrixCell(uint32_t(xlerrNum), true);
    // cells(1, 2) stays empty and goes to the host as an empty text.
    const XlfOper block(cells);
    const std::u16string wide = bridge_test::excel12() ? u"cd" : storedNarrow(u"cd");
    EXPECT_EQ(hostView(block),
              Value::multi(2, 3,
                           {Value::number(1.5), Value::str(storedNarrow(u"ab")), Value::str(wide),
                            Value::boolean(true), Value::error(xlerrNum), Value::str(storedNarrow(u""))}));
}

TEST_P(OperTest, ArraysKeepTheHostsShape) {
    // Tables of 255 or more columns keep their first 255.
    const XlfOper wide(CellMatrix(3, 300));
    EXPECT_EQ(wide.rows(), 3);
    EXPECT_EQ(wide.columns(), 255);

    // A shape the record or the host's grid cannot hold is refused rather than truncated.
    const int32_t maxRows = bridge_test::excel12() ? kMaxRows12 : kMaxRows4;
    const int32_t maxColumns = bridge_test::excel12() ? kMaxColumns12 : 0xFFFF;
    EXPECT_THROW(XlfOper().setMulti(maxRows + 1, 1), std::runtime_error);
    EXPECT_THROW(XlfOper().setMulti(1, maxColumns + 1), std::runtime_error);
    EXPECT_THROW(XlfOper().setMulti(-1, 1), std::runtime_error);
    try {
        XlfOper(CellMatrix(static_cast<uint32_t>(maxRows) + 1, 1));
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), messages::ArrayTooLarge);
    }

    // Numbers and vectors: an empty one is Nil, a vector a column.
    EXPECT_EQ(XlfOper(NumberMatrix(0, 3)).kind(), xltypeNil);
    EXPECT_EQ(XlfOper(std::vector<double>{}).kind(), xltypeNil);
    EXPECT_EQ(hostView(XlfOper(std::vector<double>{1, 2})),
              Value::multi(2, 1, {Value::number(1), Value::number(2)}));
}

TEST_P(OperTest, ArrayOperationsOnOtherKindsThrow) {
    const XlfOper number(1.0);
    const std::string expected = std::string(messages::MultiOperationPrefix) + "xltypeNum";
    for (const auto& operation : std::vector<std::function<void()>>{
             [&] { number.rows(); }, [&] { number.columns(); }, [&] { number.element(0, 0); },
             [&] { XlfOper(1.0).setElement(0, 0, number); }}) {
        try {
            operation();
            ADD_FAILURE() << "no exception";
        } catch (const XlfException& e) {
            EXPECT_EQ(e.what(), expected);
        }
    }

    XlfOper block;
    block.setMulti(2, 2);
    EXPECT_THROW(block.element(2, 0), std::out_of_range);
    EXPECT_THROW(block.setElement(0, -1, number), std::out_of_range);
    try {
        block.setElement(0, 0, XlfOper());
        FAIL();
    } catch (const XlfException& e) {
        EXPECT_EQ(e.what(), std::string(messages::SetElementPrefix) + "xltypeNil");
    }
    // A text element is a copy in its own memory.
    const XlfOper text = wideText(L"copy");
    block.setElement(1, 1, text);
    EXPECT_EQ(block.element(1, 1).toWideText(), L"copy");
    EXPECT_NE(hostView(block).cells[3].text.data(), hostView(text).text.data());
    EXPECT_EQ(hostView(block).cells[0].kind, xlhost::Kind::Nil);
}

TEST_P(OperTest, HostOwnedValuesAreFreedExactlyOnce) {
    {
        XlfOper text;
        ASSERT_EQ(XlfOper(42.0).coerce(xltypeStr, text), 0);
        EXPECT_EQ(text.kind(), xltypeStr | xlbitHostOwned);
        EXPECT_TRUE(text.isText());
        EXPECT_STREQ(text.kindName(), "xltypeStr");
        EXPECT_EQ(xlhost::ledger().outstanding, 1u);
        // A host-owned value goes back to the host (here: to be coerced again) without the bridge's marker.
        EXPECT_EQ(text.toDouble(), 42.0);
        const XlfOper copy = text;
        XlfOper assigned;
        assigned = copy;
    } // three handles on one host value: the first to go frees it, the others see it freed
    EXPECT_EQ(xlhost::ledger().outstanding, 0u);
    // TearDown fails the test on a leak or a double free.
}

TEST_P(OperTest, CrossGenerationAccessIsRefused) {
    const XlfOper value(1.0);
    const XlfOperImpl& impl = XlfOperImpl::instance();
    if (bridge_test::excel12()) {
        EXPECT_EQ(impl.asXloper12(value), value.rawPointer());
        EXPECT_THROW(
            try { impl.asXloper4(value); } catch (const char* text) {
                EXPECT_STREQ(text, messages::TwelveToFour);
                throw;
            },
            const char*);
    } else {
        EXPECT_EQ(impl.asXloper4(value), value.rawPointer());
        EXPECT_THROW(
            try { impl.asXloper12(value); } catch (const char* text) {
                EXPECT_STREQ(text, messages::FourToTwelve);
                throw;
            },
            const char*);
    }
}

TEST_P(OperTest, WideTextArgumentsByGeneration) {
    const std::wstring read = bridge_test::excel12() ? wideTextArgument(u"6M") : wideTextArgument("6M");
    EXPECT_EQ(read, L"6M");
    EXPECT_EQ(wideTextArgument(nullptr), L"");
}

TEST(KindNames, NameEachKindAndIgnoreTheHostOwnedMarker) {
    const std::pair<uint32_t, const char*> names[] = {
        {xltypeNum, "xltypeNum"},         {xltypeStr | xlbitHostOwned, "xltypeStr"},
        {xltypeBool, "xltypeBool"},       {xltypeRef, "xltypeRef"},
        {xltypeErr, "xltypeErr"},         {xltypeMulti, "xltypeMulti"},
        {xltypeMissing, "xltypeMissing"}, {xltypeNil, "xltypeNil"},
        {xltypeSRef, "xltypeSRef"},       {xltypeInt, "xltypeInt"},
        {xltypeFlow, "unknown"},          {xltypeNum | xltypeStr, "unknown"},
    };
    for (const auto& [type, name] : names)
        EXPECT_STREQ(XlfOperImpl::kindName(type), name) << type;
}

} // namespace
