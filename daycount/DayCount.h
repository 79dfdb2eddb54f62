#pragma once

#include "dates/SerialDate.h"

#include <string>

// Year fraction of [start, end] under one of eleven conventions named case-insensitively ("Act/365F",
// "Act/360", "Act/365L", "Act/365A", "NL/365", "30/360 ISDA", "30E/360", "30E+/360", "30/360 German",
// "30/360 US", "Act/Act").
double dayCountFraction(SerialDate start, SerialDate end, const std::wstring& convention);
double sched_DCF(double start, double end, std::wstring convention);
