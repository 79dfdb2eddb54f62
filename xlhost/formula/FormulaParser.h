#pragma once

// One formula line of the xlhost program: `[=]name(argument, ...)`, where each argument is a number
// (JSON style), DATE(y, m, d), a text in double quotes ("" for a quote), TRUE or FALSE, an error literal
// (#NULL! #DIV/0! #VALUE! #REF! #NAME? #NUM! #N/A), an array {1, 2; 3, 4} of such constants (an empty cell
// is an empty value), or nothing (an omitted argument). Letter case does not matter in words and error
// literals. Columns are 1-based byte positions.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace xlhost::formula {

enum class LiteralKind { Number, Text, Boolean, Error, Array, Omitted, Empty };

struct Literal {
    LiteralKind kind = LiteralKind::Omitted;
    double number = 0;          // Number
    std::string text;           // Text, as written (UTF-8 or any bytes)
    bool boolean = false;       // Boolean
    int32_t error = 0;          // Error: the host's code
    int32_t rows = 0;           // Array
    int32_t columns = 0;        // Array
    std::vector<Literal> cells; // Array, row-major; never arrays or omitted
    friend bool operator==(const Literal&, const Literal&) = default;
};

struct Call {
    std::string name;
    std::size_t nameColumn = 1;
    std::vector<Literal> arguments;
};

struct ParseError {
    std::size_t column = 1;
    std::string message;
};

// The host's limits by default; maxCells bounds the memory a line may take.
struct Limits {
    std::size_t maxArguments = 255;
    int32_t maxRows = 1048576;
    int32_t maxColumns = 16384;
    std::size_t maxCells = std::size_t{1} << 18;
};

std::variant<Call, ParseError> parseFormula(std::string_view line, const Limits& limits = {});

// Blank lines and lines whose first non-blank character is '#' are not formulas.
bool isSkippedLine(std::string_view line);

} // namespace xlhost::formula
