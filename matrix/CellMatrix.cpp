#include "matrix/CellMatrix.h"

#include "matrix/MatrixMessages.h"

#include <algorithm>
#include <cctype>
#include <cwctype>
#include <limits>
#include <stdexcept>

namespace xll {

namespace {

// Each UTF-16 unit keeps only its low byte, as the host's narrow texts do.
std::string narrow(const std::wstring& text) {
    std::string out(text.size(), '\0');
    std::transform(text.begin(), text.end(), out.begin(),
                   [](wchar_t c) { return static_cast<char>(static_cast<unsigned char>(c & 0xFF)); });
    return out;
}

// Bytes become the units of the same value (0xE9 stays 0xE9, never a negative unit).
std::wstring widen(const std::string& text) {
    std::wstring out(text.size(), L'\0');
    std::transform(text.begin(), text.end(), out.begin(),
                   [](char c) { return static_cast<wchar_t>(static_cast<unsigned char>(c)); });
    return out;
}

std::string lowered(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::wstring lowered(std::wstring text) {
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
    return text;
}

} // namespace

MatrixCell::MatrixCell(const std::string& text) : kind_(NarrowText), text_(text) {}
MatrixCell::MatrixCell(const char* text) : kind_(NarrowText), text_(text) {}
MatrixCell::MatrixCell(const std::wstring& text) : kind_(WideText), wideText_(text) {}
MatrixCell::MatrixCell(double value) : kind_(Number), number_(value) {}
MatrixCell::MatrixCell(int value) : kind_(Number), number_(value) {}
MatrixCell::MatrixCell(uint32_t value, bool asError)
    : kind_(asError ? Error : Number), number_(value), error_(value) {}
MatrixCell::MatrixCell(bool value) : kind_(Boolean), boolean_(value) {}

std::string MatrixCell::stringValue() const {
    if (kind_ == NarrowText)
        return text_;
    if (kind_ == WideText)
        return narrow(wideText_);
    throw messages::NotAString;
}

std::string MatrixCell::stringValueStrict() const {
    if (kind_ != NarrowText)
        throw messages::NotAString;
    return text_;
}

const std::wstring& MatrixCell::wstringValue() const {
    if (kind_ != WideText)
        throw messages::NotAWString;
    return wideText_;
}

std::wstring MatrixCell::wstringValueCopy() const {
    if (kind_ != WideText)
        throw messages::NotAString;
    return wideText_;
}

std::string MatrixCell::stringValueLowerCase() const {
    if (kind_ == NarrowText)
        return lowered(text_);
    if (kind_ == WideText)
        return narrow(lowered(wideText_));
    throw messages::NotAString;
}

std::wstring MatrixCell::wstringValueLowerCase() const {
    if (kind_ == NarrowText)
        return widen(lowered(text_));
    if (kind_ == WideText)
        return lowered(wideText_);
    throw messages::NotAString;
}

double MatrixCell::numericValue() const {
    if (kind_ != Number)
        throw messages::NotANumber;
    return number_;
}

uint32_t MatrixCell::unsignedValue() const {
    if (kind_ != Number)
        throw messages::NotANumber;
    // Truncation toward zero; values the type cannot hold saturate (NaN gives 0) instead of being undefined.
    if (!(number_ > 0.0))
        return 0;
    if (number_ >= 4294967296.0)
        return std::numeric_limits<uint32_t>::max();
    return static_cast<uint32_t>(number_);
}

bool MatrixCell::booleanValue() const {
    if (kind_ != Boolean)
        throw messages::NotABoolean;
    return boolean_;
}

uint32_t MatrixCell::errorValue() const {
    if (kind_ != Error)
        throw messages::NotAnError;
    return error_;
}

CellMatrix::CellMatrix(uint32_t rows, uint32_t columns)
    : rows_(rows), columns_(columns), cells_(rows, std::vector<MatrixCell>(columns)) {}

CellMatrix::CellMatrix(double value) : CellMatrix(1, 1) {
    cells_[0][0] = MatrixCell(value);
}

CellMatrix::CellMatrix(int value) : CellMatrix(1, 1) {
    cells_[0][0] = MatrixCell(value);
}

CellMatrix::CellMatrix(uint32_t value) : CellMatrix(1, 1) {
    cells_[0][0] = MatrixCell(value, false);
}

CellMatrix::CellMatrix(const std::string& text) : CellMatrix(1, 1) {
    cells_[0][0] = MatrixCell(text);
}

CellMatrix::CellMatrix(const char* text) : CellMatrix(1, 1) {
    cells_[0][0] = MatrixCell(text);
}

CellMatrix::CellMatrix(const std::wstring& text) : CellMatrix(1, 1) {
    cells_[0][0] = MatrixCell(text);
}

CellMatrix::CellMatrix(const std::vector<double>& column) {
    if (column.size() > std::numeric_limits<uint32_t>::max())
        throw std::length_error(messages::InvalidMatrixShape);
    rows_ = static_cast<uint32_t>(column.size());
    columns_ = 1;
    cells_.reserve(column.size());
    for (double value : column)
        cells_.push_back({MatrixCell(value)});
}

CellMatrix::CellMatrix(const NumberMatrix& numbers)
    : CellMatrix(static_cast<uint32_t>(numbers.rows()), static_cast<uint32_t>(numbers.columns())) {
    for (uint32_t i = 0; i < rows_; ++i)
        for (uint32_t j = 0; j < columns_; ++j)
            cells_[i][j] = MatrixCell(numbers(static_cast<int32_t>(i), static_cast<int32_t>(j)));
}

const MatrixCell& CellMatrix::operator()(uint32_t row, uint32_t column) const {
    if (row >= rows_ || column >= columns_)
        throw std::out_of_range(messages::InvalidSubscript);
    return cells_[row][column];
}

MatrixCell& CellMatrix::operator()(uint32_t row, uint32_t column) {
    if (row >= rows_ || column >= columns_)
        throw std::out_of_range(messages::InvalidSubscript);
    return cells_[row][column];
}

void CellMatrix::pushBottom(const CellMatrix& other) {
    if (&other == this) {
        const CellMatrix copy(other);
        pushBottom(copy);
        return;
    }
    if (other.rows_ > std::numeric_limits<uint32_t>::max() - rows_)
        throw std::length_error(messages::InvalidMatrixShape);
    const uint32_t columns = std::max(columns_, other.columns_);
    for (auto& row : cells_)
        row.resize(columns);
    cells_.reserve(cells_.size() + other.rows_);
    for (const auto& row : other.cells_) {
        cells_.push_back(row);
        cells_.back().resize(columns);
    }
    rows_ += other.rows_;
    columns_ = columns;
}

CellMatrix mergeCellMatrices(const CellMatrix& a, const CellMatrix& b) {
    CellMatrix merged(a);
    merged.pushBottom(b);
    return merged;
}

} // namespace xll
