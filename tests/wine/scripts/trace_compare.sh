#!/usr/bin/env bash
# pinboard-trace.exe under Wine tells the native build's story bit for bit (doubles print with 17 digits)
# and answers bad arguments alike: usage on stderr, exit code 2.
set -uo pipefail
native="$WT_BIN/../../native/bin/pinboard-trace" work=$(mktemp -d) failed=0
trap 'rm -rf "$work"' EXIT
[ -x "$native" ] || { echo "no native pinboard-trace at $native (build the native tree)"; exit 1; }
# shellcheck disable=SC2086
while read -r want args <&3; do
  "$native" $args > "$work/native" 2> "$work/native.err"; rc=$?
  timeout 120 wine "$WT_DIR/pinboard-trace.exe" $args 2> "$work/wine.err" | tr -d '\r' > "$work/wine"; rc="$rc/${PIPESTATUS[0]}"
  if [ "$rc" != "$want/$want" ]; then echo "$args: exit $rc (native/wine), want $want"; failed=1
  elif [ "$want" = 2 ]; then grep -q usage "$work/native.err" && grep -q usage "$work/wine.err" || { echo "$args: no usage"; failed=1; }
  elif ! cmp -s "$work/native" "$work/wine"; then echo "$args: traces differ"; diff "$work/native" "$work/wine" | head -4; failed=1
  fi
done 3<<'CASES'
0 --frames 20
0 --seed 7 --width 1920 --height 1080 --frames 20 --set NumBalls=10 --set NumPins=200 --set BallSize=10 --set PinSize=6 --set Symmetry=2 --set Sparks=2
0 --seed 2024 --width 1024 --height 768 --frames 20 --set NumBalls=10 --set NumPins=60 --set BallSize=60 --set PinSize=40 --set Gravity=100
0 --preview --seed 12345 --width 152 --height 112 --frames 20 --set Symmetry=0
0 --seed 99 --frames 100 --set ScenarioCounter=0 --set NumPins=7 --set Symmetry=0 --set Gravity=0
0 --seed 3 --width 300 --height 200 --frames 20 --set BallSize=90 --set NumPins=-5 --set NumBalls=4 --set PinSize=4294967295
2 --bogus
2 --set Colour=3
2 --width -1
2 --frames
2 --set NumBalls=4294967296
CASES
exit $failed
