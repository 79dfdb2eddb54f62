// The curve bootstrap on fuzzed market data: mostly the realistic curve of the tests with a few inputs
// changed (cells, rows, widths, methods, frequency, tenors, day counts, roll days, calendar), otherwise every
// input from the fuzzer, the matrices of any shape holding numbers near a real curve's, extreme numbers,
// texts, booleans, errors and empties. A failure must be a message text, or the matrices' out-of-range error
// for a matrix narrower than its test column; a table must have three columns.

#include "fuzz/FuzzInput.h"

#include "curves/Curve.h"
#include "matrix/CellMatrix.h"
#include "tests/CurveMarketData.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

using namespace tavrin;

namespace {

// A number as market data holds it: a date after today, a discount factor, a rate, a count of years, or
// anything at all.
double marketNumber(fuzz::FuzzInput& in) {
    switch (in.byte() & 7) {
    case 0:
        return market::kToday + in.upTo(20000);
    case 1:
        return market::kToday + static_cast<int8_t>(in.byte());
    case 2:
        return 0.5 + in.word() / 131072.0; // a discount factor in [0.5, 1)
    case 3:
        return 1.0 - in.byte() / 10000.0;
    case 4:
        return in.upTo(60) * 0.5; // years, or a rate in per cent
    default:
        return in.number();
    }
}

xll::MatrixCell cell(fuzz::FuzzInput& in) {
    switch (in.byte() & 7) {
    case 0:
    case 1:
    case 2:
    case 3:
        return xll::MatrixCell(marketNumber(in));
    case 4:
        return xll::MatrixCell(in.rawText(16));
    case 5: {
        const std::u16string units = in.text(fuzz::kVocabulary, true);
        return xll::MatrixCell(std::wstring(units.begin(), units.end()));
    }
    case 6:
        return in.flag() ? xll::MatrixCell(in.flag())
                         : xll::MatrixCell(static_cast<uint32_t>(in.byte()), true);
    default:
        return xll::MatrixCell();
    }
}

xll::CellMatrix matrix(fuzz::FuzzInput& in) {
    const uint32_t rows = in.upTo(24);
    const uint32_t columns = in.upTo(4);
    xll::CellMatrix m(rows, columns);
    for (uint32_t r = 0; r < rows; ++r)
        for (uint32_t c = 0; c < columns; ++c)
            m(r, c) = cell(in);
    return m;
}

// A copy with one cell replaced, one row dropped or repeated, or a different width.
xll::CellMatrix mutated(const xll::CellMatrix& m, fuzz::FuzzInput& in) {
    const uint32_t rows = m.rows();
    switch (in.byte() & 3) {
    case 0:
    case 1: {
        xll::CellMatrix copy = m;
        if (rows > 0 && m.columns() > 0) {
            const uint32_t r = in.upTo(rows - 1);
            const uint32_t c = in.upTo(m.columns() - 1);
            copy(r, c) = cell(in);
        }
        return copy;
    }
    case 2: { // a row dropped (or repeated) at some place
        const bool repeat = in.flag();
        const uint32_t at = rows > 0 ? in.upTo(rows - 1) : 0;
        xll::CellMatrix copy(rows == 0 ? 0 : repeat ? rows + 1 : rows - 1, m.columns());
        for (uint32_t r = 0, out = 0; r < rows; ++r) {
            for (int times = (r == at ? (repeat ? 2 : 0) : 1); times > 0; --times, ++out)
                for (uint32_t c = 0; c < m.columns(); ++c)
                    copy(out, c) = m(r, c);
        }
        return copy;
    }
    default: { // narrower or wider, new cells empty
        xll::CellMatrix copy(rows, in.upTo(4));
        for (uint32_t r = 0; r < rows; ++r)
            for (uint32_t c = 0; c < copy.columns() && c < m.columns(); ++c)
                copy(r, c) = m(r, c);
        return copy;
    }
    }
}

std::wstring wideText(fuzz::FuzzInput& in) {
    const std::u16string units = in.text(fuzz::kVocabulary, true);
    return std::wstring(units.begin(), units.end());
}

int16_t smallId(fuzz::FuzzInput& in) {
    return (in.byte() & 3) == 0 ? static_cast<int16_t>(in.word()) : static_cast<int16_t>(in.upTo(6));
}

// Everything from the input.
market::CurveInputs freeInputs(fuzz::FuzzInput& in) {
    market::CurveInputs c;
    c.today = in.flag() ? market::kToday : in.number();
    c.zeroRateDayConv = wideText(in);
    c.zeroRateFreq = smallId(in);
    c.interpId = smallId(in);
    c.extrapolId = smallId(in);
    c.moneyMarket = matrix(in);
    c.futures = matrix(in);
    c.swapFloatTenor = wideText(in);
    c.swapFloatDayConv = wideText(in);
    c.rollDayFloatLeg = in.flag() ? 21 : in.number();
    c.swapFixedTenor = wideText(in);
    c.swapFixedDayConv = wideText(in);
    c.rollDayFixedLeg = in.flag() ? 21 : in.number();
    c.swaps = matrix(in);
    c.holidayCalendar = wideText(in);
    c.ctrl = wideText(in);
    c.xtraHolidays.resize(in.upTo(4));
    for (double& d : c.xtraHolidays)
        d = marketNumber(in);
    return c;
}

// The realistic curve with a few of its inputs changed, so that most runs reach the swap solver.
market::CurveInputs realisticInputs(fuzz::FuzzInput& in) {
    market::CurveInputs c;
    for (uint32_t changes = 1 + in.upTo(3); changes > 0; --changes) {
        switch (in.byte() % 12) {
        case 0:
            c.moneyMarket = mutated(c.moneyMarket, in);
            break;
        case 1:
        case 2:
            c.futures = mutated(c.futures, in);
            break;
        case 3:
        case 4:
            c.swaps = mutated(c.swaps, in);
            break;
        case 5:
            c.interpId = smallId(in);
            break;
        case 6:
            c.extrapolId = smallId(in);
            break;
        case 7:
            c.zeroRateFreq = smallId(in);
            break;
        case 8:
            c.today = in.flag() ? market::kToday + static_cast<int8_t>(in.byte()) : in.number();
            break;
        case 9:
            c.xtraHolidays.push_back(marketNumber(in));
            break;
        case 10:
            (in.flag() ? c.rollDayFixedLeg : c.rollDayFloatLeg) = in.number();
            break;
        default:
            switch (in.byte() % 6) {
            case 0:
                c.zeroRateDayConv = wideText(in);
                break;
            case 1:
                c.swapFixedTenor = wideText(in);
                break;
            case 2:
                c.swapFixedDayConv = wideText(in);
                break;
            case 3:
                c.swapFloatTenor = wideText(in);
                break;
            case 4:
                c.holidayCalendar = wideText(in);
                break;
            default:
                c.ctrl = wideText(in);
                break;
            }
            break;
        }
    }
    return c;
}

[[noreturn]] void fail(const char* what, const char* detail) {
    std::fprintf(stderr, "curve fault: %s: %s\n", what, detail);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    const market::CurveInputs c = (in.byte() & 3) == 0 ? freeInputs(in) : realisticInputs(in);
    try {
        const xll::NumberMatrix table = market::curveTable(c);
        if (table.rows() > 0 && table.columns() != 3)
            fail("table", "not three columns");
    } catch (const char*) {
    } catch (const std::out_of_range& e) {
        // A matrix narrower than the column a row is tested on.
        if (std::strcmp(e.what(), "invalid vector<T> subscript") != 0)
            fail("out of range", e.what());
    } catch (const std::exception& e) {
        fail("standard exception", e.what());
    }
    return 0;
}
