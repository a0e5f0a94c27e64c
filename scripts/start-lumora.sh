#!/usr/bin/env bash
# Installs what Lumora needs, builds it and starts it from its run folder.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
"$ROOT/scripts/install-deps.sh"
"$ROOT/scripts/build.sh" "$ROOT/build" -DCMAKE_BUILD_TYPE=Release -DLUMORA_TESTS=OFF -DLUMORA_BENCHMARKS=OFF
cd "$ROOT/build/run/lumora"
exec ./lumora "$@"
