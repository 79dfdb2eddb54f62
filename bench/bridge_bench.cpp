// The host bridge against the stand-in host: the per-call arena pattern (release, then build a result) and
// reading a block argument, in both host generations (the argument is the host's version).

#include <benchmark/benchmark.h>

#include <vector>

#include "src/XlfExcel.h"
#include "src/XlfOper.h"
#include "xlhost/core/StandInHost.h"

namespace {

void startHost(int version) {
    xll::XlfExcel::deleteInstance();
    xlhost::reset();
    xlhost::setVersion(version);
    xll::XlfExcel::instance();
}

// A worksheet call returning a column of n dates: release the previous call's memory, build the array.
void BM_ReturnColumn(benchmark::State& state) {
    startHost(static_cast<int>(state.range(0)));
    const std::vector<double> column(static_cast<std::size_t>(state.range(1)), 45000.0);
    for (auto _ : state) {
        xll::XlfExcel::instance().freeMemory(false);
        xll::XlfOper result(column);
        benchmark::DoNotOptimize(result.handle());
    }
    state.SetItemsProcessed(state.iterations() * state.range(1));
}
BENCHMARK(BM_ReturnColumn)->ArgsProduct({{16, 12}, {1, 100, 10000}});

// A market-data block of n rows and 3 columns read into a CellMatrix.
void BM_ReadBlock(benchmark::State& state) {
    startHost(static_cast<int>(state.range(0)));
    const auto rows = static_cast<uint32_t>(state.range(1));
    xll::CellMatrix cells(rows, 3);
    for (uint32_t i = 0; i < rows; ++i)
        for (uint32_t j = 0; j < 3; ++j)
            cells(i, j) = xll::MatrixCell(0.01 * i + j);
    xll::XlfExcel::instance().freeMemory(false);
    const xll::XlfOper block(cells);
    for (auto _ : state)
        benchmark::DoNotOptimize(block.toCellMatrix());
    state.SetItemsProcessed(state.iterations() * state.range(1) * 3);
}
BENCHMARK(BM_ReadBlock)->ArgsProduct({{16, 12}, {10, 1000}});

} // namespace
