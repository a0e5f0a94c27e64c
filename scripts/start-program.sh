#!/usr/bin/env bash
# Installs what the programs need and is missing, builds what changed and
# starts one program from its run folder. Both are desktop programs: they
# need a display. Usage: start-program.sh lumora|cavitra [ARGS...]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
PROGRAM="$1"
shift
case "$PROGRAM" in
  lumora) TITLE=Lumora ;;
  cavitra) TITLE=Cavitra ;;
  *) echo "Unknown program: $PROGRAM (lumora or cavitra)" >&2; exit 2 ;;
esac
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "$TITLE needs a display: start it from a desktop session (DISPLAY or WAYLAND_DISPLAY unset)." >&2
  exit 1
fi
"$ROOT/scripts/install-deps.sh"
if [ -f "$ROOT/build/build.ninja" ]; then
  cmake --build "$ROOT/build" --parallel "$(nproc)"
else
  "$ROOT/scripts/build.sh" "$ROOT/build" -DCMAKE_BUILD_TYPE=Release -DLUMORA_TESTS=OFF -DLUMORA_BENCHMARKS=OFF
fi
cd "$ROOT/build/run/$PROGRAM"
exec "./$PROGRAM" "$@"
