#!/usr/bin/env bash
# Measures the time from starting a program to its main window being mapped
# (found by its title, so that a message shown first, such as Lumora's note
# on its classifiers, is not taken for it), over several runs, under a
# virtual display and in a fresh home folder; reports the median.
# Usage: measure-startup.sh [lumora|cavitra] [BUILD_DIR] [RUNS]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"

if [ "${1:-}" = "--one-run" ]; then
  program="$3"
  case "$program" in lumora) title="^Lumora:" ;; *) title="^Cavitra\$" ;; esac
  # Inside the virtual display: one start, timed until the window is mapped.
  home="$(mktemp -d)"
  cd "$2/run/$program"
  start=$(date +%s%N)
  HOMEDRIVE= HOMEPATH="$home" "./$program" >/dev/null 2>&1 &
  pid=$!
  # Poll finely: xdotool's own --sync waits half a second between looks.
  until xdotool search --all --onlyvisible --pid "$pid" --name "$title" >/dev/null 2>&1; do sleep 0.005; done
  end=$(date +%s%N)
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  rm -rf "$home"
  echo $(((end - start) / 1000000))
  exit 0
fi

PROGRAM=lumora
case "${1:-}" in lumora | cavitra) PROGRAM="$1"; shift ;; esac
BUILD_DIR="$(cd "${1:-$ROOT/build}" && pwd)"
RUNS="${2:-5}"
command -v xdotool >/dev/null || { echo "xdotool is needed: apt-get install -y xdotool" >&2; exit 1; }
for _ in $(seq "$RUNS"); do
  xvfb-run -a dbus-run-session -- "$0" --one-run "$BUILD_DIR" "$PROGRAM" 2>/dev/null | tail -1
done | sort -n | awk '{ t[++n] = $1 }
  END { printf "start to mapped main window: median %d ms, min %d ms, max %d ms over %d runs\n", t[int((n + 1) / 2)], t[1], t[n], n }'
