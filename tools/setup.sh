#!/usr/bin/env bash
# Installs what Tinkerhold needs to build, play and test, then builds it.
# Usage: tools/setup.sh play   build and start the game
#        tools/setup.sh test   build and run every test
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_PACKAGES=(g++ cmake make pkg-config libgtest-dev libbenchmark-dev lame)
# The window, its text, sound and music.
WINDOW_PACKAGES=()
# Speech: the client library and, for playing and testing, the daemon.
SPEECH_PACKAGES=()
# Only the tests need these (a display and a private speech daemon).
TEST_PACKAGES=()

install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

build() {
  local dir=$1; shift
  cmake -S . -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}

case "${1:-}" in
  play)
    install_missing "${BUILD_PACKAGES[@]}" "${WINDOW_PACKAGES[@]}" "${SPEECH_PACKAGES[@]}"
    build build
    shift
    exec build/game/tinkerhold "$@"
    ;;
  test)
    install_missing "${BUILD_PACKAGES[@]}" "${WINDOW_PACKAGES[@]}" "${SPEECH_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    build build
    (cd build && ctest --output-on-failure -j "$(nproc)")
    ;;
  *)
    echo "usage: $0 play|test" >&2
    exit 2
    ;;
esac
