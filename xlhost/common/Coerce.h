#pragma once

// The host's coercion (function number 16386), on generation-free values.
//
// Conversions to a scalar kind:
//   Num   numbers as they are; integers; booleans 1/0; missing and empty 0; texts that read as numbers.
//   Int   as Num, then rounded half away from zero; must fit the generation's integer (16 or 32 bits).
//   Bool  booleans; numbers and integers (non-zero is TRUE); missing and empty FALSE; "TRUE"/"FALSE" texts in
//         any letter case.
//   Str   texts; numbers as their shortest text; integers; "TRUE"/"FALSE"; missing and empty "".
//   Nil   missing and empty only.
// An error value converts to itself for every scalar kind (errors propagate as in a formula); an array
// converts through its top-left element; Multi makes a 1 x 1 array of a scalar (missing becomes empty).
// References read their cells first: one cell gives its value, a larger area an array; several areas do not
// convert, nor does any value into a reference kind it is not already.
// When several kinds are wanted the value is returned as it is if it has one of them, else the first that
// converts in the order Num, Int, Bool, Str, Err, Multi, Nil.

#include "xlhost/common/Value.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace xlhost {

// The value of one referenced cell (0-based); cells never set read as empty (Nil).
using CellReader = std::function<Value(int32_t row, int32_t column)>;

// Nullopt when the value does not convert. Without wanted kinds, references are read and every other value
// is returned as it is.
std::optional<Value> coerce(const Value& value, std::optional<uint32_t> wantedTypes, Generation generation,
                            const CellReader& cells);

} // namespace xlhost
