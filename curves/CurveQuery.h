#pragma once

#include "curves/Interpolation.h"
#include "matrix/CellMatrix.h"
#include "matrix/NumberMatrix.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavrin {

// A bootstrapped curve read at any date exactly as the bootstrap reads its pillars: the interpolation
// method between them, the extrapolation method from the last two beyond the last one, the natural spline
// through all of them. A pillar date answers the pillar's own values; today answers a discount factor of 1.
// Dates before the first pillar are refused rather than extrapolated backwards, which the bootstrap never
// does either.

// One date's answer: a value, or the message that says why there is none.
struct CurveReading {
    double value = 0.0;
    const char* failure = nullptr;

    bool ok() const { return failure == nullptr; }
};

class CurveQuery {
public:
    // Checks the methods, the quoting and the pillars (at least two, dated strictly increasing from today on)
    // and fails with a message text otherwise.
    CurveQuery(const CurveConvention& convention, int16_t interpolationMethod, int16_t extrapolationMethod,
               CurvePillars pillars);

    // The quoting and the methods alone: a known zero-rate day count, a frequency of 1 or more, ids 1 to 5.
    static void checkQuoting(const CurveConvention& convention, int16_t interpolationMethod,
                             int16_t extrapolationMethod);

    // Dates are truncated to whole days, as everywhere else.
    CurveReading discountFactor(double date) const;
    CurveReading zeroRate(double date) const;
    // The simple rate of the period: (DF(start) / DF(end) - 1) / its year fraction under the day count.
    CurveReading forwardRate(double start, double end, DayCountConvention dayCount) const;

    const CurvePillars& pillars() const { return pillars_; }

private:
    // A date's value in the kind the method yields; kind says which of the two it is.
    struct Value {
        double value;
        bool isDiscountFactor;
    };
    CurveReading read(double date, bool wantDiscountFactor) const;
    Value onSegment(SerialDate date, size_t segment, int16_t method) const;

    CurveConvention convention_;
    int16_t interpolation_;
    int16_t extrapolation_;
    CurvePillars pillars_;
    std::vector<double> splineSecondDerivatives_; // over all pillars, when a method uses the spline
    std::vector<double> segmentForwards_;         // [i]: forward rate of pillars i to i + 1, for method 4
    std::vector<double> logZeroRates_;            // for method 3
};

// The pillars of a curve block as the curve function returns it: rows of date, discount factor, zero rate.
CurvePillars pillarsFromTable(const xll::CellMatrix& table);

// Dates as a block of the worksheet holds them, row by row: a number per cell, or none (a text, a boolean,
// an error, an empty cell). The worksheet layer fills it straight from the host's records.
struct DateCells {
    int32_t rows = 0;
    int32_t columns = 0;
    std::vector<double> values;
    std::vector<char> isNumber;

    bool single() const { return rows == 1 && columns == 1; }
};
DateCells dateCells(const xll::CellMatrix& cells);

// A function's answers in the shape of its dates: numbers, and the messages of the cells without one.
struct CurveAnswers {
    struct Failure {
        int32_t row;
        int32_t column;
        const char* message;
    };
    xll::NumberMatrix values;
    std::vector<Failure> failures;
};

CurveAnswers sched_CurveDF(double today, const std::wstring& zeroRateDayConv, int16_t zeroRateFreq,
                           int16_t interpId, int16_t extrapolId, const xll::CellMatrix& curve,
                           const DateCells& dates);
CurveAnswers sched_CurveZeroRate(double today, const std::wstring& zeroRateDayConv, int16_t zeroRateFreq,
                                 int16_t interpId, int16_t extrapolId, const xll::CellMatrix& curve,
                                 const DateCells& dates);
// Start and end dates pair up cell by cell; a single date on either side pairs with every date of the other.
CurveAnswers sched_CurveForwardRate(double today, const std::wstring& zeroRateDayConv, int16_t zeroRateFreq,
                                    int16_t interpId, int16_t extrapolId, const xll::CellMatrix& curve,
                                    const DateCells& startDates, const DateCells& endDates,
                                    const std::wstring& dayCountConvention);

} // namespace tavrin
