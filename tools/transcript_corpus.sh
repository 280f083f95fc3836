#!/bin/sh
# Writes the headless transcripts of a build, one file a run, so that two
# builds are compared with `diff -r A B`:
#   campaign/levelNN.seedS   every winning script of tests/campaign, seeds 1 to 3
#   challenge/NAME.seedS     every shipped challenge and its solution, seeds 1 and 2
#   random/mapNNN            200 random rooms, a few pieces placed at random,
#                            the arm started and let run for 120 virtual seconds
# Each file ends with the run's exit status. The same build writes the same
# files on every run; each run gets a fresh program folder of its own.
#
#   tools/transcript_corpus.sh BUILD_DIR OUT_DIR
set -eu

if [ "${1:-}" = --one ]; then
  # One run: --one WORK OUTFILE PROGRAM-OPTIONS...
  work=$2 out=$3
  shift 3
  dir=$(mktemp -d "$work/run.XXXXXX")
  mkdir "$dir/challenges"
  ln -s "$work/game/sounds" "$dir/sounds"
  for d in "$work/game/challenges"/*/; do
    [ -d "$d" ] && ln -s "$d" "$dir/challenges/$(basename "$d")"
  done
  status=0
  "$work/game/tinkerhold" --headless --program-dir "$dir" "$@" >"$out" 2>&1 || status=$?
  echo "status: $status" >>"$out"
  rm -rf "$dir"
  exit 0
fi

if [ $# -ne 2 ]; then
  echo "usage: $0 BUILD_DIR OUT_DIR" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
src=$(cd "$(dirname "$0")/.." && pwd)
self="$src/tools/transcript_corpus.sh"
mkdir -p "$2/campaign" "$2/challenge" "$2/random"
out=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s "$build/game" "$work/game"

# One line a run: the output file, then the program's options.
jobs="$work/jobs"
: >"$jobs"
for keys in "$src"/tests/campaign/level*.keys; do
  name=$(basename "$keys" .keys)
  n=$(echo "$name" | sed 's/^level0*//')
  for seed in 1 2 3; do
    echo "$out/campaign/$name.seed$seed --seed $seed --level $n --script $keys" >>"$jobs"
  done
done
for map in "$src"/challenges/*.txt; do
  name=$(basename "$map" .txt)
  for seed in 1 2; do
    echo "$out/challenge/$name.seed$seed --seed $seed --challenge $map --script $src/tests/data/editor/$name.solution.keys" >>"$jobs"
  done
done

# The random rooms and their key scripts, from a generator of its own
# (Park and Miller's, exact in awk's numbers), so that they are the same
# everywhere. A cell is written as six lines: piece, piece beneath, and the
# three values and the lock that go with it.
mkdir "$work/maps"
awk -v dir="$work/maps" -v count=200 '
function r(n) { seed = (seed * 16807) % 2147483647; return int(seed / 2147483647 * n) }
function num(v) { return (v >= 0 ? " " : "") v " " }
function line(s) { printf "%s\r\n", s > file }
function key(k) { printf "key %s\nwait 0.1\n", k > keys }
BEGIN {
  split("Bits Squeak Whisk Crumb Rot_gut Nibbles", names, " ")
  for (m = 1; m <= count; ++m) {
    seed = m * 7919 + 1
    r(1); r(1)
    file = sprintf("%s/map%03d.txt", dir, m)
    keys = sprintf("%s/map%03d.keys", dir, m)
    w = r(10) < 1 ? 1 : 2 + r(9); h = 2 + r(9)
    if (r(100) < 50) { sx = r(2) ? 1 : w; sy = 1 + r(h); sd = sx == 1 ? 0 : 180 }
    else { sy = r(2) ? 1 : h; sx = 1 + r(w); sd = sy == 1 ? 90 : 270 }
    if (r(100) < 10) sd = 90 * r(4)
    e = r(100); energy = e < 15 ? -1 : e < 95 ? 1 + r(30) : 0
    line("Random " m); line("A random room"); line(num(w)); line(num(h))
    line(num(sx)); line(num(sy)); line(num(sd)); line(num(energy))
    fill = 20 + r(60); named = 0
    for (x = 1; x <= w; ++x) for (y = 1; y <= h; ++y) {
      t = 0; t2 = 0; v1 = " 0 "; v2 = 0; v3 = 0; lock = 0
      if (!(x == sx && y == sy) && r(100) < fill) {
        # A1 never holds what keeps Space from starting the arm there.
        k = x == 1 && y == 1 ? r(40) : r(100)
        if (k < 40) {
          p = k < 8 ? 1 : k < 24 ? 2 + r(4) : k < 30 ? 6 : k < 34 ? 10 : 13
          how = r(100)
          if (how < 60) { t = p; t2 = 7 } else if (how < 90) { t = 7; t2 = p } else t = p
          if (p == 6) { v1 = num(r(4)); v2 = 1 + r(w); v3 = 1 + r(h) }
          lock = r(100) < 30
        } else if (k < 50) { t = 11; v1 = num(r(3)) }
        else if (k < 60) t = 14
        else {
          a = r(100)
          if (a < 40) t = 9; else if (a < 55) t = 8
          else { t = 12; o = r(3); v2 = o == 0 ? 0 : o == 1 ? 8 : 9 }
          if (t != 12 || v2 != 0) v1 = r(10) < 9 ? names[1 + r(6)] "_" (++named) : " 0 "
          gsub("_", " ", v1)
        }
      }
      line(num(t)); line(num(t2)); line(v1); line(num(v2)); line(num(v3)); line(num(lock))
    }
    line("Well done!")
    line("===For customizing your challenge map, leave the first line exactly as it is, and change the second line to what you want the game to say in its place.===")
    close(file)
    # A few pieces placed where the cursor happens to be, raised or lowered,
    # now and then tied to a switch; then the arm is started from A 1.
    for (p = 1 + r(5); p > 0; --p) {
      for (s = r(4); s > 0; --s) key(r(2) ? "Right" : "Down")
      for (s = r(2); s > 0; --s) key(r(2) ? "Left" : "Up")
      key("Enter")
      for (s = 1 + r(9); s > 0; --s) key("Down")
      key(r(3) ? "Enter" : "shift+Enter")
      if (r(5) == 0) key("Enter")
    }
    key("Escape"); key("Escape")
    for (s = 1; s < w; ++s) key("Left")
    for (s = 1; s < h; ++s) key("Up")
    key("Space")
    printf "wait 120\n" > keys
    close(keys)
  }
}'
for keys in "$work"/maps/*.keys; do
  name=$(basename "$keys" .keys)
  n=$(echo "$name" | sed 's/^map0*//')
  echo "$out/random/$name --seed $n --challenge ${keys%.keys}.txt --script $keys" >>"$jobs"
done

# Two at a time: the machine has two cores.
xargs -P 2 -L 1 sh "$self" --one "$work" <"$jobs"
