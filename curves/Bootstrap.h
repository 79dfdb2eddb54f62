#pragma once

#include "curves/CurveData.h"
#include "curves/Interpolation.h"
#include "curves/SwapSolver.h"
#include "dates/SerialDate.h"
#include "matrix/NumberMatrix.h"

#include <vector>

namespace tavrin {

// What the bootstrap builds on the way to its table: the pillars, the fixed-leg schedule and the schedule
// points whose discount factors the swaps fixed (known to tests and benchmarks; the worksheet sees only
// the table).
struct CurveBuild {
    CurveConvention convention;
    CurvePillars pillars;
    std::vector<SerialDate> fixedSchedule;
    ScheduleCurve scheduleCurve;
};

CurveBuild bootstrapCurve(const CurveRequest& request);

// One row per pillar: date, discount factor, zero rate.
xll::NumberMatrix pillarTable(const CurvePillars& pillars);

} // namespace tavrin
