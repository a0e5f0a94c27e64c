#!/usr/bin/env bash
# Configures and builds the tree. Usage: build.sh BUILD_DIR [cmake options...]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD_DIR="$1"
shift
cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja "$@"
cmake --build "$BUILD_DIR" --parallel "$(nproc)"
