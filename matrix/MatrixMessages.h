#pragma once

// Failure texts of the cell accessors, thrown as plain texts and shown in the calling cell unchanged.
namespace xll::messages {
inline constexpr const char* NotAString = "non string cell asked to be a string";
inline constexpr const char* NotAWString = "non wstring cell asked to be a wstring";
inline constexpr const char* NotANumber = "non number cell asked to be a number";
inline constexpr const char* NotABoolean = "non boolean cell asked to be a bool";
inline constexpr const char* NotAnError = "non error cell asked to be an error";
// The text of the standard out-of-range error raised by an index outside a matrix.
inline constexpr const char* InvalidSubscript = "invalid vector<T> subscript";
// A matrix shape with a negative row or column count.
inline constexpr const char* InvalidMatrixShape = "Invalid matrix size.";
} // namespace xll::messages
