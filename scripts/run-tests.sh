#!/usr/bin/env bash
# Installs what the tests need, then builds and runs the whole suite twice:
# a normal build and one with AddressSanitizer and UndefinedBehaviorSanitizer;
# then a small ThreadSanitizer build runs the imaging tests whose searches
# run in parallel and side by side, and last the fuzz targets run briefly.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
"$ROOT/scripts/install-deps.sh"

"$ROOT/scripts/build.sh" "$ROOT/build-test" -DCMAKE_BUILD_TYPE=RelWithDebInfo
(cd "$ROOT/build-test" && ctest --output-on-failure --parallel "$(nproc)")

# A failing allocation returns null, as it does without the sanitizer: the
# library's tests check that it is reported and survived.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:allocator_may_return_null=1"
export LSAN_OPTIONS="suppressions=$ROOT/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
"$ROOT/scripts/build.sh" "$ROOT/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DLUMORA_SANITIZE=ON -DLUMORA_BENCHMARKS=OFF
(cd "$ROOT/build-sanitize" && ctest --output-on-failure --parallel "$(nproc)")

cmake -S "$ROOT" -B "$ROOT/build-tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMORA_SANITIZE_THREAD=ON \
  -DLUMORA_BENCHMARKS=OFF
cmake --build "$ROOT/build-tsan" --parallel "$(nproc)" --target imaging_tests
TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1" \
  "$ROOT/build-tsan/tests/imaging/imaging_tests" --gtest_filter='CannyGolden.*'

# The fuzz targets over their committed corpus plus 30 s of new inputs each.
"$ROOT/scripts/fuzz.sh" 30
