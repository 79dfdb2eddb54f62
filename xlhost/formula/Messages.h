#pragma once

// The texts xlhost shows in place of a result when a formula line cannot be evaluated.
namespace xlhost::messages {
// Parsing: each follows "file:line:column: ".
inline constexpr const char* ExpectedFunctionName = "expected a function name";
inline constexpr const char* ExpectedOpenParenthesis = "expected '('";
inline constexpr const char* ExpectedCommaOrClose = "expected ',' or ')'";
inline constexpr const char* ExpectedEnd = "unexpected text after ')'";
inline constexpr const char* ExpectedArgument = "expected an argument";
inline constexpr const char* UnterminatedText = "unterminated text";
inline constexpr const char* BadNumber = "malformed number";
inline constexpr const char* NumberOutOfRange = "number out of range";
inline constexpr const char* UnknownWord = "unknown word (expected TRUE, FALSE or DATE)";
inline constexpr const char* UnknownError = "unknown error literal";
inline constexpr const char* DateArguments = "DATE takes three numbers: DATE(year, month, day)";
inline constexpr const char* ExpectedCellSeparator = "expected ',', ';' or '}'";
inline constexpr const char* NestedArray = "arrays cannot be nested";
inline constexpr const char* RowLengthsDiffer = "array rows differ in length";
inline constexpr const char* TooManyRows = "array has more rows than the host allows";
inline constexpr const char* TooManyColumns = "array has more columns than the host allows";
inline constexpr const char* TooManyCells = "array has more cells than xlhost allows";
inline constexpr const char* LineTooLong = "line too long";
inline constexpr const char* TooManyArgumentsInLine = "more arguments than the host takes (255)";
// Evaluation: each follows "file:line:column: ".
inline constexpr const char* UnknownFunction = "unknown function ";        // + the name
inline constexpr const char* DidYouMean = "; did you mean ";               // + the closest name + "?"
inline constexpr const char* TooManyArguments = "too many arguments for "; // + the name
inline constexpr const char* UnsupportedType = "unsupported type letter "; // + the letter(s)
inline constexpr const char* ArrayTooLarge4 = "array too large for a 4-generation record (65535 x 255)";
inline constexpr const char* ArrayTooLarge12 = "array too large for a 12-generation record (1048576 x 16384)";
inline constexpr const char* ProcedureNotFound = "the add-in exports no procedure "; // + the name
inline constexpr const char* InvalidResult = "the add-in returned an invalid record";
inline constexpr const char* CallTooWide = "too many arguments to call through this host";
} // namespace xlhost::messages
