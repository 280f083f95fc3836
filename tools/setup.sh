#!/usr/bin/env bash
# Installs what Tinkerhold needs to build, play and test, then builds it.
# Usage: tools/setup.sh play   build and start the game
#        tools/setup.sh test   build and run every test
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_PACKAGES=(g++ cmake make pkg-config libgtest-dev libbenchmark-dev lame)
# The window, its text, sound and music.
WINDOW_PACKAGES=(libsdl2-dev libsdl2-mixer-dev libsdl2-ttf-dev libmpg123-dev libfontconfig-dev zlib1g-dev
                 fonts-liberation)
# Speech: the client library and, for playing and testing, the daemon.
SPEECH_PACKAGES=(libspeechd-dev speech-dispatcher speech-dispatcher-espeak-ng espeak-ng libsystemd-dev)
# Only the tests need these (a display and a private speech daemon).
TEST_PACKAGES=(xvfb dbus-daemon)

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

# The window tests run on a private X server (Xvfb), ended by its PID when
# the tests are over.
XVFB_PID=""
start_display() {
  command -v Xvfb >/dev/null || return 0
  local number
  number=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$number" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do
    [ -s "$number" ] && break
    sleep 0.1
  done
  if [ -s "$number" ]; then
    export DISPLAY=":$(head -n 1 "$number")"
  else
    kill "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  fi
  rm -f "$number"
}
stop_display() {
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
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
    # The speech tests run against a private speech daemon and session bus.
    start_display
    trap stop_display EXIT
    (cd build && ../tools/speech_services.sh run ctest --output-on-failure --timeout 180 -j "$(nproc)")
    ;;
  *)
    echo "usage: $0 play|test" >&2
    exit 2
    ;;
esac
