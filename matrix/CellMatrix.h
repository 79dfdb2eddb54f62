#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "matrix/NumberMatrix.h"

namespace xll {

// One worksheet cell of a block: a number, a narrow or wide text, a boolean, a host error code or nothing.
// Accessors refuse a cell of another kind by throwing a plain text.
class MatrixCell {
public:
    enum Kind : int32_t {
        NarrowText = 0,
        WideText = 1,
        Number = 2,
        Boolean = 3,
        Reserved = 4, // no constructor makes it; it keeps its predicate
        Error = 5,
        Empty = 6,
    };

    MatrixCell() = default;
    MatrixCell(const std::string& text);
    MatrixCell(const char* text);
    MatrixCell(const std::wstring& text);
    MatrixCell(double value);
    MatrixCell(int value);
    // An error cell (asError) or a number; both keep v as number and as error code.
    MatrixCell(uint32_t value, bool asError);
    MatrixCell(bool value);

    int32_t kind() const { return kind_; }
    bool isString() const { return kind_ == NarrowText; }
    bool isWString() const { return kind_ == WideText; }
    bool isNumber() const { return kind_ == Number; }
    bool isBoolean() const { return kind_ == Boolean; }
    bool isReserved() const { return kind_ == Reserved; }
    bool isError() const { return kind_ == Error; }
    bool isEmpty() const { return kind_ == Empty; }

    std::string stringValue() const;            // narrow or wide (each unit cut to its low byte)
    std::string stringValueStrict() const;      // narrow only
    const std::wstring& wstringValue() const;   // wide only, "non wstring cell asked to be a wstring"
    std::wstring wstringValueCopy() const;      // wide only, "non string cell asked to be a string"
    std::string stringValueLowerCase() const;   // narrow or wide, lower-cased then narrowed
    std::wstring wstringValueLowerCase() const; // narrow or wide, lower-cased then widened
    double numericValue() const;
    uint32_t unsignedValue() const;
    bool booleanValue() const;
    uint32_t errorValue() const;

private:
    int32_t kind_ = Empty;
    std::string text_;
    std::wstring wideText_;
    double number_ = 0.0;
    bool boolean_ = false;
    uint32_t error_ = 0;
};

// A rectangle of cells; every row holds exactly columns() cells.
class CellMatrix {
public:
    CellMatrix() = default;
    CellMatrix(uint32_t rows, uint32_t columns);
    explicit CellMatrix(double value);
    explicit CellMatrix(int value);
    explicit CellMatrix(uint32_t value);
    explicit CellMatrix(const std::string& text);
    explicit CellMatrix(const char* text);
    explicit CellMatrix(const std::wstring& text);
    explicit CellMatrix(const std::vector<double>& column);
    explicit CellMatrix(const NumberMatrix& numbers);

    uint32_t rows() const { return rows_; }
    uint32_t columns() const { return columns_; }

    // Both indices are checked: out of range raises std::out_of_range("invalid vector<T> subscript").
    const MatrixCell& operator()(uint32_t row, uint32_t column) const;
    MatrixCell& operator()(uint32_t row, uint32_t column);

    // Widens both to the larger column count with empty cells, then appends the other's rows.
    void pushBottom(const CellMatrix& other);

private:
    uint32_t rows_ = 0;
    uint32_t columns_ = 0;
    std::vector<std::vector<MatrixCell>> cells_;
};

// A new matrix: a's rows, then b's, as wide as the wider of the two, missing cells empty.
CellMatrix mergeCellMatrices(const CellMatrix& a, const CellMatrix& b);

} // namespace xll
