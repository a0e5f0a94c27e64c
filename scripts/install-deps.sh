#!/usr/bin/env bash
# Installs the Debian packages the programs and their tests need.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends \
  build-essential cmake ninja-build pkg-config ccache \
  libgtkmm-3.0-dev libxml++2.6-dev libxml2-dev libopencv-dev libsvm-dev libsvm-tools \
  libgtest-dev libgmock-dev libbenchmark-dev \
  xvfb xauth dbus dbus-x11 locales adwaita-icon-theme libgtk-3-bin \
  clang libclang-rt-dev
# A locale with a decimal comma, for the tests that check numbers in files.
if ! locale -a 2>/dev/null | grep -qi '^de_DE.utf-\?8$'; then
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
