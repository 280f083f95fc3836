#!/usr/bin/env bash
# A private speech-dispatcher, a private D-Bus session bus and a private
# BRLTTY for the speech and braille tests, so that they run against real
# processes on a machine with no sound card, no desktop session, no braille
# display and no daemon of its own.
#
# Usage:
#   tools/speech_services.sh run COMMAND [ARG...]
#       starts both, runs the command with their addresses in the
#       environment, ends both, and exits with the command's status;
#   tools/speech_services.sh speechd DIR
#       starts one speech-dispatcher in DIR (its own configuration, log,
#       socket and pid file; a null sound device) and returns once it
#       answers. End it with: kill "$(cat DIR/speechd.pid)".
#   tools/speech_services.sh brltty DIR
#       starts one BRLTTY for DIR/host (its BrlAPI host, ":N") with the
#       virtual braille driver waiting on DIR/display.sock for a test to
#       play the display, and returns once BrlAPI answers. End it with:
#       kill "$(cat DIR/brltty.pid)"; started again, it takes the same host.
#
# What the command sees:
#   SPEECHD_ADDRESS            unix_socket:... of the private daemon
#   DBUS_SESSION_BUS_ADDRESS   the private session bus
#   TINKERHOLD_SPEECHD_LOG     the synthesiser's log ("Requested data: |...|")
#   TINKERHOLD_SPEECH_SERVICES this script, to start further daemons with
#   TINKERHOLD_BRLTTY_DIR      the private BRLTTY's folder (host, display.sock,
#                              brltty.pid); its BrlAPI host is not exported as
#                              BRLAPI_HOST, so that only the braille tests
#                              write to its display
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)

# Starts a daemon in $1 and waits until its socket answers.
start_speechd() {
  local dir=$1
  mkdir -p "$dir/home" "$dir/log"
  rm -rf "$dir/conf"
  cp -r /etc/speech-dispatcher "$dir/conf" || return 1
  local conf="$dir/conf/speechd.conf"
  # The stock settings that ours replace.
  sed -i -E 's/^[[:space:]]*(LogLevel|LogDir|AudioOutputMethod|AudioALSADevice|AddModule|DefaultModule|Timeout)\b/# &/' "$conf"
  cat >>"$conf" <<EOF

# A private daemon for the tests.
LogLevel 3
LogDir "$dir/log"
AudioOutputMethod "alsa"
AudioALSADevice "default"
AddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"
DefaultModule espeak-ng
Timeout 0
EOF
  sed -i -E 's/^[[:space:]]*Debug\b.*/Debug 1/' "$dir/conf/modules/espeak-ng.conf"
  grep -q '^Debug 1' "$dir/conf/modules/espeak-ng.conf" || echo 'Debug 1' >>"$dir/conf/modules/espeak-ng.conf"
  # No sound card: the voice plays into a null device.
  echo 'pcm.!default { type null }' >"$dir/home/.asoundrc"
  rm -f "$dir/speechd.sock" "$dir/speechd.pid"
  HOME="$dir/home" XDG_RUNTIME_DIR="$dir/home" speech-dispatcher -s -t 0 -C "$dir/conf" \
    -S "$dir/speechd.sock" -P "$dir/speechd.pid" </dev/null >"$dir/log/stdout.txt" 2>&1 &
  await_start $! "speech-dispatcher did not start (see $dir/log)" speechd_ready
}
speechd_ready() { [ -S "$dir/speechd.sock" ] && [ -s "$dir/speechd.pid" ]; }

# Waits (up to ten seconds) until the check $3 passes while the process $1
# lives; otherwise says $2 and ends the process.
await_start() {
  local pid=$1
  for _ in $(seq 1 100); do
    "$3" && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "speech_services: $2" >&2
  kill "$pid" 2>/dev/null
  return 1
}

# Starts BRLTTY in $1: no screen, no speech, BrlAPI on a socket of its own
# that asks for no key file, and the virtual driver as the display.
start_brltty() {
  local dir=$1
  mkdir -p "$dir"
  [ -s "$dir/host" ] || echo ":$((4000 + $$ % 5000))" >"$dir/host"
  local host
  host=$(cat "$dir/host")
  # A BRLTTY that was killed leaves its BrlAPI socket and lock file behind;
  # the lock names its process, which may linger as a zombie.
  rm -f "$dir/display.sock" "$dir/brltty.pid" "/var/lib/BrlAPI/${host#:}" "/var/lib/BrlAPI/.${host#:}"
  brltty -n -e -q -f /dev/null -F "$dir/prefs" -W "$dir" -U "$dir" -P "$dir/brltty.pid" \
    -b vr -d "server:$dir/display.sock" -x no -s no -A "auth=none,host=$host" \
    </dev/null >"$dir/brltty.log" 2>&1 &
  disown $!  # a test may kill it: no word from the shell about that
  await_start $! "brltty did not start (see $dir/brltty.log)" brltty_ready
}
brltty_ready() { [ -S "$dir/display.sock" ] && [ -S "/var/lib/BrlAPI/${host#:}" ] && [ -s "$dir/brltty.pid" ]; }

# Starts a session bus of its own on a socket in $1; its address goes to
# $1/bus.address.
start_bus() {
  local dir=$1
  mkdir -p "$dir"
  cat >"$dir/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$dir/bus.sock</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
  : >"$dir/bus.address"
  dbus-daemon --config-file="$dir/bus.conf" --nofork --print-address=3 \
    3>"$dir/bus.address" </dev/null >/dev/null 2>"$dir/bus.log" &
  echo $! >"$dir/bus.pid"
  for _ in $(seq 1 100); do
    [ -s "$dir/bus.address" ] && return 0
    kill -0 "$(cat "$dir/bus.pid")" 2>/dev/null || break
    sleep 0.05
  done
  echo "speech_services: dbus-daemon did not start (see $dir/bus.log)" >&2
  return 1
}

# Ends a process by the PID in file $1: politely, then for certain.
stop_pid_file() {
  [ -s "$1" ] || return 0
  local pid
  pid=$(cat "$1")
  kill "$pid" 2>/dev/null || return 0
  for _ in $(seq 1 40); do
    kill -0 "$pid" 2>/dev/null || break
    [ "$(cut -d' ' -f3 "/proc/$pid/stat" 2>/dev/null)" = "Z" ] && break
    sleep 0.05
  done
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  return 0
}

case "${1:-}" in
  speechd)
    [ $# -eq 2 ] || { echo "usage: $0 speechd DIR" >&2; exit 2; }
    start_speechd "$2"
    ;;
  brltty)
    [ $# -eq 2 ] || { echo "usage: $0 brltty DIR" >&2; exit 2; }
    start_brltty "$2"
    ;;
  run)
    shift
    [ $# -ge 1 ] || { echo "usage: $0 run COMMAND [ARG...]" >&2; exit 2; }
    work=$(mktemp -d /tmp/tinkerhold-speech-XXXXXX)
    stop_all() {
      stop_pid_file "$work/speechd/speechd.pid"
      stop_pid_file "$work/brltty/brltty.pid"
      if [ -s "$work/brltty/host" ]; then
        local n
        n=$(cut -c2- "$work/brltty/host")
        rm -f "/var/lib/BrlAPI/$n" "/var/lib/BrlAPI/.$n"
      fi
      stop_pid_file "$work/bus/bus.pid"
      rm -rf "$work"
    }
    trap stop_all EXIT
    trap 'exit 130' INT TERM
    if command -v speech-dispatcher >/dev/null && start_speechd "$work/speechd"; then
      export SPEECHD_ADDRESS="unix_socket:$work/speechd/speechd.sock"
      export TINKERHOLD_SPEECHD_LOG="$work/speechd/log/espeak-ng.log"
      export TINKERHOLD_SPEECH_SERVICES="$here/speech_services.sh"
    else
      echo "speech_services: WARNING: no private speech-dispatcher; the speech daemon tests will be skipped" >&2
    fi
    if command -v brltty >/dev/null && start_brltty "$work/brltty"; then
      export TINKERHOLD_BRLTTY_DIR="$work/brltty"
      export TINKERHOLD_SPEECH_SERVICES="$here/speech_services.sh"
    else
      echo "speech_services: WARNING: no private BRLTTY; the braille tests will be skipped" >&2
    fi
    if command -v dbus-daemon >/dev/null && start_bus "$work/bus"; then
      export DBUS_SESSION_BUS_ADDRESS="$(head -n1 "$work/bus/bus.address")"
      export TINKERHOLD_PRIVATE_BUS=1
    else
      echo "speech_services: WARNING: no private session bus; the screen reader tests will be skipped" >&2
    fi
    "$@"
    ;;
  *)
    echo "usage: $0 run COMMAND [ARG...] | speechd DIR | brltty DIR" >&2
    exit 2
    ;;
esac
