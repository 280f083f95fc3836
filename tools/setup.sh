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
# Speech: the client library and, for playing and testing, the daemon; the
# braille display's client library (BRLTTY itself comes with the player's
# screen reader setup).
SPEECH_PACKAGES=(libspeechd-dev speech-dispatcher speech-dispatcher-espeak-ng espeak-ng libsystemd-dev libbrlapi-dev)
# Only the tests need these (a display, a terminal multiplexer to play the
# console front-end in, a private speech daemon, a private BRLTTY, clang with
# its sanitizer and libFuzzer runtimes for the second test build, the
# validators of the desktop entry and metainfo, and what builds the package).
TEST_PACKAGES=(xvfb tmux dbus-daemon brltty clang libclang-rt-14-dev desktop-file-utils appstream dpkg-dev)

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

# Runs ctest in a build folder against the private speech daemon and bus.
run_tests() {
  (cd "$1" && ../tools/speech_services.sh run ctest --output-on-failure --timeout 180 -j "$(nproc)")
}

# The whole suite again, built by clang with AddressSanitizer, LeakSanitizer
# and UndefinedBehaviorSanitizer, and the fuzz targets' short runs. Every
# report goes to a file in build-asan/sanitizer-reports, and any report fails
# the run: also one from a program a test started, whatever that test made of
# its exit status.
run_sanitized_tests() {
  local reports="$PWD/build-asan/sanitizer-reports"
  rm -rf "$reports"
  mkdir -p "$reports"
  local status=0
  ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:strict_init_order=1:detect_stack_use_after_return=1:log_path=$reports/report" \
  UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$reports/report" \
  LSAN_OPTIONS="suppressions=$PWD/tests/platform/lsan.supp:print_suppressions=0" \
    run_tests build-asan || status=$?
  if [ -n "$(ls -A "$reports")" ]; then
    echo "Sanitizer reports:" >&2
    tail -n +1 "$reports"/* >&2
    status=1
  fi
  return $status
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
    build build-asan -DCMAKE_CXX_COMPILER=clang++ -DTINKERHOLD_FUZZ=ON -DTINKERHOLD_BENCH=OFF
    # The window tests run on a private display; the speech tests against a
    # private speech daemon and session bus.
    start_display
    trap stop_display EXIT
    status=0
    run_tests build || status=$?
    # The Debian package, installed and played by an ordinary user.
    tools/package_test.sh build || status=$?
    run_sanitized_tests || status=$?
    exit $status
    ;;
  *)
    echo "usage: $0 play|test" >&2
    exit 2
    ;;
esac
