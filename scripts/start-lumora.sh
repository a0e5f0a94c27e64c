#!/usr/bin/env bash
# Installs what Lumora needs and is missing, builds what changed and starts it
# from its run folder. Lumora is a desktop program: it needs a display.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Lumora needs a display: start it from a desktop session (DISPLAY or WAYLAND_DISPLAY unset)." >&2
  exit 1
fi
"$ROOT/scripts/install-deps.sh"
if [ -f "$ROOT/build/build.ninja" ]; then
  cmake --build "$ROOT/build" --parallel "$(nproc)"
else
  "$ROOT/scripts/build.sh" "$ROOT/build" -DCMAKE_BUILD_TYPE=Release -DLUMORA_TESTS=OFF -DLUMORA_BENCHMARKS=OFF
fi
cd "$ROOT/build/run/lumora"
exec ./lumora "$@"
