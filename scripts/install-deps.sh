#!/usr/bin/env bash
# Installs the Debian packages the programs and their tests need. Only the
# packages missing are installed, so a machine that has them all never needs
# the package manager (nor its lock) again.
set -euo pipefail
PACKAGES=(
  build-essential cmake ninja-build pkg-config ccache
  libgtkmm-3.0-dev libxml++2.6-dev libxml2-dev libopencv-dev libwebp-dev libsvm-dev libsvm-tools
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth dbus dbus-x11 locales adwaita-icon-theme libgtk-3-bin
  clang libclang-rt-dev
)
MISSING=()
for package in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    MISSING+=("$package")
  fi
done
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
if [ "${#MISSING[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update
  $SUDO apt-get install -y --no-install-recommends "${MISSING[@]}"
fi
# A locale with a decimal comma, for the tests that check numbers in files.
if ! locale -a 2>/dev/null | grep -qi '^de_DE.utf-\?8$'; then
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
