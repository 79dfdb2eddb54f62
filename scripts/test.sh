#!/usr/bin/env bash
# The test command: installs what is missing, checks the include chain and the formatting, then builds and
# runs every test:
#   1. the native build under AddressSanitizer and UndefinedBehaviorSanitizer (unit and end-to-end tests),
#      then under ThreadSanitizer the runs on calculation threads (every suite on 8 threads at once);
#   2. the Windows XLLs, 32- and 64-bit, cross-built, with their export and import tables checked, and the
#      64-bit one end to end under Wine in both host generations; both packed by scripts/package.sh;
#   3. the fuzzers, each for a bounded time;
#   4. the plain recipe (cmake -S . -B ... -DCMAKE_BUILD_TYPE=Release, no preset), with GCC and with clang:
#      build and tests, less the valgrind leak check and the long sweeps, which the release build runs;
#   5. the native release build: unit, end-to-end and hostile-input suites, and the end-to-end suites under
#      valgrind (zero leaks); its CTest summary ends the output.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --cross

step() { printf '\n==== %s ====\n' "$*"; }

step "Shape: includes follow the chain, C++ files are clang-formatted"
bash scripts/check-layering.sh
bash scripts/check-format.sh

step "Sanitizers: build and test"
cmake --preset asan
cmake --build --preset asan
ctest --preset asan

step "ThreadSanitizer: every suite on 8 threads at once"
# Only the host program, the add-in and the two thread tests are built; the preset runs label "threads".
cmake --preset tsan
cmake --build --preset tsan
ctest --preset tsan

step "Windows: 32-bit XLL"
cmake --preset mingw32
cmake --build --preset mingw32 --target tavrin_schedules
bash scripts/check-xll.sh build/mingw32/bin/tavrin_schedules.xll @worksheet/exports.txt

step "Windows: 64-bit XLL, xlhost.exe and the suites under Wine"
cmake --preset mingw64
cmake --build --preset mingw64
bash scripts/check-xll.sh build/mingw64/bin/tavrin_schedules64.xll @worksheet/exports.txt
ctest --test-dir build/mingw64 --output-on-failure

step "Windows: the package"
bash scripts/package.sh --no-build

step "Fuzzers (bounded smoke runs)"
bash scripts/fuzz.sh

# The most common build recipe, as a new user types it, with each compiler we support.
plain() {
    local compiler=$1 dir=$2
    step "Plain recipe: Release with $compiler ($dir)"
    CXX=$compiler cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release
    cmake --build "$dir" -j "$(nproc)"
    ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" -E '^(leakcheck|e2e_sweeps_v(12|16))$'
    echo "plain recipe: Release with $compiler built without warnings and passed its tests"
}
plain g++ build/plain-gcc
plain clang++ build/plain-clang

step "Release: build and test"
cmake --preset release
cmake --build --preset release
ctest --preset release
