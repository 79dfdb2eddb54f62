#pragma once

#include "curves/CurveData.h"
#include "matrix/NumberMatrix.h"

namespace tavrin {

// The discount curve bootstrapped from money-market discount factors, futures forward discount factors and
// par swap rates, returned as rows of (date, discount factor, zero rate).
xll::NumberMatrix buildDiscountCurve(const CurveRequest& request);

} // namespace tavrin
