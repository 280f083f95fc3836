#!/usr/bin/env bash
# Builds the Debian package, installs it, plays a short game as an ordinary
# user and checks that the player's setting and map landed in that user's
# own folders and that nothing in the installed tree changed; the package is
# removed again however the test ends. Needs root (CI runs as root).
# Usage: tools/package_test.sh [BUILD_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
build=$(cd "${1:-build}" && pwd)

if [ "$(id -u)" -ne 0 ]; then
  echo "package test: skipped (installing a package needs root)"
  exit 0
fi
if dpkg-query -W -f='${Status}' tinkerhold 2>/dev/null | grep -q "install ok installed"; then
  echo "package test: tinkerhold is already installed here; not touching it" >&2
  exit 1
fi

work=$(mktemp -d /tmp/tinkerhold-package.XXXXXX)
chmod 755 "$work"
player=tinkerhold-player
made_player=""
cleanup() {
  dpkg -r tinkerhold >/dev/null 2>&1 || true
  [ -n "$made_player" ] && userdel -r "$player" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "package test: FAILED: $*" >&2
  exit 1
}

(cd "$build" && cpack -G DEB -B "$work/deb" >"$work/cpack.log" 2>&1) || fail "cpack -G DEB: $(tail -n 5 "$work/cpack.log")"
deb=$(ls "$work"/deb/tinkerhold_*.deb)
echo "package test: built $(basename "$deb")"
dpkg-deb -f "$deb" Depends | grep -q "libsdl2" || fail "the package's dependencies name no SDL library"
dpkg-deb -f "$deb" Recommends | grep -q "speech-dispatcher-espeak-ng" || fail "speech-dispatcher-espeak-ng is not recommended"
dpkg -i "$deb" >/dev/null || fail "dpkg -i"

# Every installed file and folder with its checksum, before and after play.
listing() {
  dpkg -L tinkerhold | while read -r f; do
    [ -e "$f" ] && find "$f" -maxdepth 0 -printf '%M %u %p\n'
    [ -f "$f" ] && sha256sum "$f"
  done
  find /usr/share/tinkerhold -printf '%M %p\n' | sort
}
listing >"$work/before"

if ! id "$player" >/dev/null 2>&1; then
  useradd --create-home --shell /bin/sh "$player"
  made_player=1
fi
home=$(getent passwd "$player" | cut -d: -f6)
cp tests/package/player.keys "$work/player.keys"
chmod 644 "$work/player.keys"
runuser -u "$player" -- env -i HOME="$home" PATH=/usr/bin:/bin \
  tinkerhold --headless --seed 1 --script "$work/player.keys" >"$work/transcript" 2>&1 ||
  fail "the game did not end well as $player: $(tail -n 5 "$work/transcript")"

listing >"$work/after"
diff "$work/before" "$work/after" || fail "the installed tree changed while $player played"
[ "$(head -n 1 "$home/.config/tinkerhold/progress.ini" 2>/dev/null | tr -d '\r')" = " 1 " ] ||
  fail "the speech output was not kept in $home/.config/tinkerhold/progress.ini"
[ -f "$home/.local/share/tinkerhold/challenges/myroom.txt" ] ||
  fail "the saved map is not in $home/.local/share/tinkerhold/challenges"
grep -q "say: Save failed: a challenge that came with the game has that name" "$work/transcript" ||
  fail "saving under a shipped challenge's name was not refused"
# Challenges lists the shipped maps and the player's, by file name (read
# upwards from the end of the list).
awk '/ say: Choose your level/ { on = 1; next }
     on && / say: / { sub(/^[^ ]+ say: /, ""); sub(/\..*/, ""); print; if (++n == 3) exit }' \
  "$work/transcript" >"$work/listed"
printf '%s\n' "Pantry voles" "Unnamed" "Claw relay" | diff - "$work/listed" ||
  fail "Challenges does not list the shipped maps with the player's, by file name"
[ "$(stat -c %U "$home/.config/tinkerhold/progress.ini")" = "$player" ] || fail "progress.ini is not the player's own"

dpkg -r tinkerhold >/dev/null || fail "dpkg -r"
[ ! -e /usr/bin/tinkerhold ] && [ ! -e /usr/share/tinkerhold ] || fail "dpkg -r left the program behind"
echo "package test: passed"
