#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing (run as root).
#   install-deps.sh           the native build and tests: compilers, CMake, GoogleTest, Google Benchmark,
#                             clang and its runtimes for the fuzzers, valgrind for the leak checks,
#                             clang-format and git for the formatting check
#   install-deps.sh --cross   also the Windows cross toolchain (mingw-w64 with posix threads) and the 64-bit
#                             Wine loader, with GoogleTest's sources for the tests that run under Wine
set -euo pipefail
packages=(cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev valgrind
    clang-format git)
if [[ ${1:-} == --cross ]]; then
    packages+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 g++-mingw-w64-i686-posix binutils-mingw-w64-i686
        wine64 wine googletest)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}"
fi
