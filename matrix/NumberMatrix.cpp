#include "matrix/NumberMatrix.h"

#include "matrix/MatrixMessages.h"

#include <stdexcept>

namespace xll {

NumberMatrix::NumberMatrix(int32_t rows, int32_t columns) {
    resize(rows, columns);
}

void NumberMatrix::resize(int32_t rows, int32_t columns) {
    if (rows < 0 || columns < 0)
        throw messages::InvalidMatrixShape;
    if (rows == rows_ && columns == columns_)
        return;
    // Counts multiply in size_t so a large shape fails in the allocator instead of wrapping around.
    std::vector<double> values(static_cast<size_t>(rows) * static_cast<size_t>(columns), 0.0);
    values_.swap(values);
    rows_ = rows;
    columns_ = columns;
}

size_t NumberMatrix::index(int32_t row, int32_t column) const {
    if (row < 0 || row >= rows_ || column < 0 || column >= columns_)
        throw std::out_of_range(messages::InvalidSubscript);
    return static_cast<size_t>(row) * static_cast<size_t>(columns_) + static_cast<size_t>(column);
}

} // namespace xll
