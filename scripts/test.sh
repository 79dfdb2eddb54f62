#!/usr/bin/env bash
# The test command: installs what is missing, then builds and runs every test, first under
# AddressSanitizer and UndefinedBehaviorSanitizer, last in the release build (whose CTest summary ends
# the output).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

cmake --preset asan
cmake --build --preset asan
ctest --preset asan

cmake --preset release
cmake --build --preset release
ctest --preset release
