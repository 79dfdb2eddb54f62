#pragma once

// How xlhost prints a result: one JSON object per formula (--json), or a readable line (and, for arrays,
// aligned rows) with dates shown as calendar dates where the function returns dates.

#include "xlhost/common/Value.h"

#include <optional>
#include <string>
#include <string_view>

namespace xlhost {

// A result record's value; nullopt stands for a null pointer returned.
using Result = std::optional<Value>;

// {"num": 1.5} {"str": "..."} {"bool": true} {"int": 6} {"err": 15} {"nil": true} {"missing": true}
// {"multi": [[cell, ...], ...]} {"null": true}; numbers in their shortest round-trip form, non-finite ones as
// "nan", "inf", "-inf"; texts as counted, units outside printable ASCII as \u escapes.
std::string jsonResult(const Result& result);
// {"error": "<message>"}
std::string jsonError(std::string_view message);
// A JSON string literal of UTF-8 (or any) bytes; bytes outside printable ASCII as \u00XX.
std::string jsonBytes(std::string_view bytes);
// A JSON string literal of a UTF-8 text, units outside printable ASCII as \u escapes of UTF-16 (a malformed
// byte as U+FFFD).
std::string jsonUtf8(std::string_view text);
// The object with the fields put first: withFields("{\"num\": 1}", "\"line\": 3") is
// {"line": 3, "num": 1}.
std::string withFields(std::string_view object, std::string_view fields);

// The readable form of a result after "<formula> => ": a scalar on the same line; an array as
// "<rows> x <columns>" and then one indented line per row, columns aligned. With dates, numbers (of a scalar,
// or of an array's first column) are followed by their calendar date in the host's 1900 system.
std::string tableResult(const Result& result, bool dates);

// Whether the named worksheet function returns dates (scalar, or in its first column).
bool returnsDates(std::string_view functionName);

} // namespace xlhost
