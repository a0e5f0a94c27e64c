#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under ASan and UBSan in build-fuzz
# and runs each over its committed corpus plus SECONDS of new inputs.
# Usage: fuzz.sh [SECONDS] [TARGET...]   (default 30 seconds, every target)
# New inputs go to build-fuzz/corpus/<target>, crashes to build-fuzz/artifacts.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$ROOT/build-fuzz"
SECONDS_PER_TARGET="${1:-30}"
shift || true
TARGETS=("$@")
if [ ${#TARGETS[@]} -eq 0 ]; then TARGETS=(Annotation Preferences ModelFile Normalisation Picture CavitraAnnotation LumoraCsv CavitraCsv CystClassifier Journal); fi

# The committed corpus folder of each target.
corpus_of() {
  case "$1" in
    Annotation) echo annotation ;;
    Preferences) echo preferences ;;
    ModelFile) echo model_file ;;
    Normalisation) echo normalisation ;;
    Picture) echo picture ;;
    CavitraAnnotation) echo cavitra_annotation ;;
    LumoraCsv | CavitraCsv) echo csv ;;
    CystClassifier) echo cyst_classifier ;;
    Journal) echo journal ;;
  esac
}

CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLUMORA_FUZZ=ON -DLUMORA_BENCHMARKS=OFF >/dev/null
cmake --build "$BUILD" --parallel "$(nproc)" --target "${TARGETS[@]/#/fuzz_}"

# A single allocation above the malloc limit is reported, as is a resident
# set above the rss limit: no target asks a picture loader about a header,
# and a decode is reserved at the size its header was read at, so a larger
# reservation is a fault. The timeout, there for hangs, is twenty times the
# slowest input of any target on a quiet machine (below a second), room for
# a machine with six busy processes per core.
RSS_LIMIT_MB=3072
MALLOC_LIMIT_MB=3072
TIMEOUT_SECONDS=20

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$ROOT/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
mkdir -p "$BUILD/artifacts"
for target in "${TARGETS[@]}"; do
  name="$(corpus_of "$target")"
  work="$BUILD/corpus/$name"
  mkdir -p "$work"
  echo "== fuzz_$target: corpus fuzz/corpus/$name, $SECONDS_PER_TARGET s"
  log="$BUILD/fuzz_$target.log"
  status=0
  "$BUILD/fuzz/fuzz_$target" "$work" "$ROOT/fuzz/corpus/$name" \
    -max_total_time="$SECONDS_PER_TARGET" -timeout="$TIMEOUT_SECONDS" -rss_limit_mb="$RSS_LIMIT_MB" \
    -malloc_limit_mb="$MALLOC_LIMIT_MB" -max_len=16384 \
    -close_fd_mask=3 -artifact_prefix="$BUILD/artifacts/$target-" -print_final_stats=1 >"$log" 2>&1 || status=$?
  grep -a -E "^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb|==[0-9]+==ERROR|SUMMARY|invariant broken|Test unit written)" "$log" || true
  if [ "$status" -ne 0 ]; then
    echo "fuzz_$target found a fault (log $log); the input is in $BUILD/artifacts" >&2
    exit 1
  fi
done
