#!/usr/bin/env bash
# pinboard-trace.exe under Wine tells the native build's story bit for bit (doubles print with 17 digits)
# and answers bad arguments alike: usage on stderr, exit code 2. The long runs of long-traces, all at
# once, compare digests of every 1000 frames: the first that differs says where the builds part.
set -uo pipefail
native="$WT_BIN/../../native/bin/pinboard-trace" work=$(mktemp -d) failed=0
trap 'rm -rf "$work"' EXIT
[ -x "$native" ] || { echo "no native pinboard-trace at $native (build the native tree)"; exit 1; }
run() {  # run NAME ARGS...: both builds, into $work/NAME.native and $work/NAME.wine, exit codes in .rc
  { "$native" "${@:2}" > "$work/$1.native" 2> "$work/$1.native.err" < /dev/null; echo $? > "$work/$1.native.rc"; } &
  timeout 240 wine "$WT_DIR/pinboard-trace.exe" "${@:2}" 2> "$work/$1.wine.err" < /dev/null | tr -d '\r' > "$work/$1.wine"
  echo "${PIPESTATUS[0]}" > "$work/$1.wine.rc"
  wait
}
n=0
while read -r args; do
  case "$args" in '' | '#'*) continue ;; esac
  n=$((n + 1)) && echo "$args" > "$work/long$n.args"
  # shellcheck disable=SC2086
  run "long$n" $args --digest &
done < "$(dirname "$0")/long-traces"
wait
for ((i = 1; i <= n; i++)); do
  args=$(cat "$work/long$i.args") rc="$(cat "$work/long$i.native.rc")/$(cat "$work/long$i.wine.rc")"
  if [ "$rc" != 0/0 ]; then echo "$args: exit $rc (native/wine)"; failed=1
  elif [ ! -s "$work/long$i.native" ] || ! cmp -s "$work/long$i.native" "$work/long$i.wine"; then
    echo "$args: the long traces part before frame $(diff "$work/long$i.native" "$work/long$i.wine" | awk '/^< frame/ { print $3; exit }')"
    failed=1
  fi
done
# shellcheck disable=SC2086
while read -r want args <&3; do
  run short $args; rc="$(cat "$work/short.native.rc")/$(cat "$work/short.wine.rc")"
  if [ "$rc" != "$want/$want" ]; then echo "$args: exit $rc (native/wine), want $want"; failed=1
  elif [ "$want" = 2 ]; then grep -q usage "$work/short.native.err" && grep -q usage "$work/short.wine.err" || { echo "$args: no usage"; failed=1; }
  elif ! cmp -s "$work/short.native" "$work/short.wine"; then echo "$args: traces differ"; diff "$work/short.native" "$work/short.wine" | head -4; failed=1
  fi
done 3< <(grep -vE '^(#|$)' "$(dirname "$0")/short-traces")
exit $failed
