#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace xll {

// A rectangle of doubles in one row-major block; new and resized matrices are zero-filled.
class NumberMatrix {
public:
    NumberMatrix() = default;
    // A negative count fails with "Invalid matrix size.".
    NumberMatrix(int32_t rows, int32_t columns);

    int32_t rows() const { return rows_; }
    int32_t columns() const { return columns_; }
    // Discards the content and zero-fills when the shape changes.
    void resize(int32_t rows, int32_t columns);

    // Both indices are checked: out of range raises std::out_of_range("invalid vector<T> subscript").
    double operator()(int32_t row, int32_t column) const { return values_[index(row, column)]; }
    double& operator()(int32_t row, int32_t column) { return values_[index(row, column)]; }

private:
    size_t index(int32_t row, int32_t column) const;
    int32_t rows_ = 0;
    int32_t columns_ = 0;
    std::vector<double> values_;
};

} // namespace xll
