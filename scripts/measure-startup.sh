#!/usr/bin/env bash
# Measures the time from starting a program to its main window being mapped
# (found by its title; a message shown before it, such as Lumora's note on
# its classifiers, is answered at once and its own time reported apart),
# over several runs, under a virtual display and in a fresh home folder;
# reports the medians.
# Usage: measure-startup.sh [lumora|cavitra] [BUILD_DIR] [RUNS]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"

# Presses Return with the pointer over the top-left corner of the display,
# where a window appears when no window manager places it: answers a message
# shown before the main window. Through XTest, from the X libraries alone.
press_return() {
  python3 - <<'PY'
import ctypes
x11, xtest = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XFlush.argtypes = [ctypes.c_void_p]
xtest.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_ulong]
xtest.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
display = x11.XOpenDisplay(None)
xtest.XTestFakeMotionEvent(display, -1, 20, 20, 0)
key = x11.XKeysymToKeycode(display, 0xFF0D)
xtest.XTestFakeKeyEvent(display, key, 1, 0)
xtest.XTestFakeKeyEvent(display, key, 0, 0)
x11.XFlush(display)
PY
}

if [ "${1:-}" = "--one-run" ]; then
  program="$3"
  case "$program" in
    lumora) title="Lumora: application to stereological analysis" ;;
    *) title="Cavitra" ;;
  esac
  # Inside the virtual display: one start, timed until the main window is
  # mapped; the display is this run's own, so the title alone finds it.
  home="$(mktemp -d)"
  cd "$2/run/$program"
  start=$(date +%s%N)
  HOMEDRIVE= HOMEPATH="$home" "./$program" >/dev/null 2>&1 &
  pid=$!
  message=""
  until xwininfo -name "$title" 2>/dev/null | grep -q IsViewable; do
    # A message window (no name, larger than GTK's 1 x 1 helpers) comes
    # first: its time is noted and it is answered.
    if xwininfo -root -tree | grep -q "(has no name): (\"$program\".* [0-9][0-9]*x[0-9][0-9]*+0+0"; then
      [ -n "$message" ] || message=$(date +%s%N)
      press_return
      sleep 0.02
    fi
    sleep 0.005
  done
  end=$(date +%s%N)
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  rm -rf "$home"
  echo $(((end - start) / 1000000)) $(((${message:-$end} - start) / 1000000))
  exit 0
fi

PROGRAM=lumora
case "${1:-}" in lumora | cavitra) PROGRAM="$1"; shift ;; esac
BUILD_DIR="$(cd "${1:-$ROOT/build}" && pwd)"
RUNS="${2:-5}"
command -v xwininfo >/dev/null || { echo "xwininfo is needed: apt-get install -y x11-utils" >&2; exit 1; }
median() { sort -n | awk '{ t[++n] = $1 } END { printf "median %d ms, min %d ms, max %d ms over %d runs", t[int((n + 1) / 2)], t[1], t[n], n }'; }
times="$(for _ in $(seq "$RUNS"); do
  xvfb-run -a dbus-run-session -- "$0" --one-run "$BUILD_DIR" "$PROGRAM" 2>/dev/null | tail -1
done)"
echo "start to mapped main window: $(cut -d' ' -f1 <<<"$times" | median)"
echo "start to the first message (the main window when none): $(cut -d' ' -f2 <<<"$times" | median)"
