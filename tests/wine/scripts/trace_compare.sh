#!/usr/bin/env bash
# pinboard-trace.exe under Wine tells the native build's story bit for bit (doubles print with 17 digits)
# and answers bad arguments alike: usage on stderr, exit code 2. Every case runs at once; the long runs of
# long-traces compare digests of every 1000 frames: the first that differs says where the builds part.
set -uo pipefail
native="$WT_BIN/../../native/bin/pinboard-trace" work=$(mktemp -d) failed=0
trap 'rm -rf "$work"' EXIT
[ -x "$native" ] || { echo "no native pinboard-trace at $native (build the native tree)"; exit 1; }
n=0
while read -r want args; do  # case N: both builds' output into $work/N.native and $work/N.wine, exit codes in .rc
  n=$((n + 1)) && echo "$want $args" > "$work/$n.case" && read -ra argv <<< "$args"
  { "$native" "${argv[@]}"; echo $? > "$work/$n.native.rc"; } > "$work/$n.native" 2> "$work/$n.native.err" < /dev/null &
  { timeout 240 wine "$WT_DIR/pinboard-trace.exe" "${argv[@]}" | tr -d '\r'; echo "${PIPESTATUS[0]}" > "$work/$n.wine.rc"; } \
    > "$work/$n.wine" 2> "$work/$n.wine.err" < /dev/null &
done < <(cd "$(dirname "$0")" && grep -vhE '^(#|$)' short-traces && grep -vhE '^(#|$)' long-traces | sed 's/^/0 /; s/$/ --digest/')
wait
for ((i = 1; i <= n; i++)); do
  read -r want args < "$work/$i.case"
  rc="$(cat "$work/$i.native.rc")/$(cat "$work/$i.wine.rc")"
  if [ "$rc" != "$want/$want" ]; then echo "$args: exit $rc (native/wine), want $want"; failed=1
  elif [ "$want" = 2 ]; then grep -q usage "$work/$i.native.err" && grep -q usage "$work/$i.wine.err" || { echo "$args: no usage"; failed=1; }
  elif [ ! -s "$work/$i.native" ] || ! cmp -s "$work/$i.native" "$work/$i.wine"; then
    echo "$args: the traces differ"; diff "$work/$i.native" "$work/$i.wine" | head -4; failed=1
  fi
done
exit $failed
