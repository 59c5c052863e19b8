#!/usr/bin/env bash
# pinboard-trace.exe under Wine tells the same story as the native build for
# a few seeds and settings, up to the last-bit differences of the runtimes'
# trigonometry (see tests/wine/sim/trace_compare.awk). Needs the native tree
# beside the Windows one: <root>/native/bin next to <root>/win/bin.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
compare="$here/../sim/trace_compare.awk"
native="$WT_BIN/../../native/bin/pinboard-trace"
exe="$WT_DIR/pinboard-trace.exe"
[ -x "$native" ] || { echo "no native pinboard-trace at $native (build the native tree)"; exit 1; }
[ -f "$exe" ] || { echo "no $exe"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

run_case() {
    local name=$1; shift
    if ! "$native" "$@" > "$work/native.txt"; then
        echo "$name: native run failed"; failed=1; return
    fi
    timeout 120 wine "$exe" "$@" > "$work/wine.txt" 2> "$work/wine.err"
    local rc=$?
    if [ $rc -ne 0 ]; then
        echo "$name: pinboard-trace.exe exited with $rc"; head -5 "$work/wine.err"; failed=1; return
    fi
    awk -v other="$work/wine.txt" -v name="$name" -f "$compare" "$work/native.txt" || failed=1
}

run_case defaults --frames 20
run_case busiest --seed 7 --width 1920 --height 1080 --frames 20 \
    --set NumBalls=10 --set NumPins=200 --set BallSize=10 --set PinSize=6 --set Symmetry=2 --set Sparks=2
run_case large-radii --seed 2024 --width 1024 --height 768 --frames 20 \
    --set NumBalls=10 --set NumPins=60 --set BallSize=60 --set PinSize=40 --set Gravity=100
run_case preview --preview --seed 12345 --width 152 --height 112 --frames 20 --set Symmetry=0
run_case restart-every-frame --seed 99 --frames 100 \
    --set ScenarioCounter=0 --set NumPins=7 --set Symmetry=0 --set Gravity=0
run_case out-of-range --seed 3 --width 300 --height 200 --frames 20 \
    --set BallSize=90 --set NumPins=-5 --set NumBalls=4 --set PinSize=4294967295

# Bad arguments: a usage message on stderr and exit code 2, on both sides.
for args in "--bogus" "--set Colour=3" "--width -1" "--frames" "--set NumBalls=4294967296"; do
    # shellcheck disable=SC2086
    "$native" $args > /dev/null 2> "$work/usage.txt"; rc=$?
    [ $rc -eq 2 ] && grep -q usage "$work/usage.txt" || { echo "native '$args': exit $rc"; failed=1; }
    # shellcheck disable=SC2086
    timeout 60 wine "$exe" $args > /dev/null 2> "$work/usage.txt"; rc=$?
    [ $rc -eq 2 ] && grep -q usage "$work/usage.txt" || { echo "wine '$args': exit $rc"; failed=1; }
done

exit $failed
