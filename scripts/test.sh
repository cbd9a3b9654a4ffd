#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite: once as a normal build,
# once under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

bash scripts/build.sh build -DKORVANE_SANITIZE=OFF
ctest --test-dir build --output-on-failure -j "$(nproc)"

bash scripts/build.sh build-asan -DKORVANE_SANITIZE=ON -DKORVANE_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
