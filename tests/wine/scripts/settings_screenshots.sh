#!/usr/bin/env bash
# Opens the options dialog, then the About box through the system menu with
# real keys (Alt+Space, Up to its last item, Return), and takes a picture of
# each. Fails when a window
# does not appear or a picture is blank. With WT_SHOT_DIR set, the pictures
# are kept there as options.png and about.png.
# Runs inside run-one: WINEPREFIX, DISPLAY and WT_DIR are set.
set -euo pipefail
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT

# Polls for a top-level window by its exact title; prints its X id.
wait_window() {
  local title=$1 id i
  for i in $(seq 1 300); do
    id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.05
  done
  echo "no window \"$title\"" >&2
  return 1
}

wait_gone() {
  local title=$1 i
  for i in $(seq 1 300); do
    xdotool search --onlyvisible --name "^${title}\$" >/dev/null 2>&1 || return 0
    sleep 0.05
  done
  echo "window \"$title\" stays" >&2
  return 1
}

# A picture of one window, taken again until it shows more than a blank
# face (it may still be painting); a blank one at the deadline fails.
shoot() {
  local id=$1 file=$2 colours=0 i
  for i in $(seq 1 100); do
    import -window "$id" "$file"
    colours=$(identify -format '%k' "$file")
    [ "$colours" -ge 8 ] && return 0
    sleep 0.1
  done
  echo "$file has only $colours colours" >&2
  return 1
}

# Without a window manager Wine draws the captions itself, so that the
# pictures show them.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1

cd "$WT_DIR"
wine VelloranSaver.scr /c &
saver=$!

options=$(wait_window "VelloranSaver Options")
shoot "$options" "$shots/options.png"

# One burst of keys: the menu's loop reads them in order once it runs.
# "Up" wraps round to the last item (Wine adds an "About Wine" item of its
# own, so the item's A would be ambiguous).
xdotool windowfocus "$options"
xdotool key alt+space Up Return
about=$(wait_window "About VelloranSaver")
shoot "$about" "$shots/about.png"

# Return presses the About box's OK; Escape then cancels the options.
xdotool key Return
wait_gone "About VelloranSaver"
xdotool windowfocus "$options" 2>/dev/null || true
xdotool key Escape
for i in $(seq 1 300); do
  kill -0 "$saver" 2>/dev/null || break
  sleep 0.05
done
if kill -0 "$saver" 2>/dev/null; then
  echo "the screensaver did not end on Escape" >&2
  exit 1
fi

if [ -n "${WT_SHOT_DIR:-}" ]; then
  mkdir -p "$WT_SHOT_DIR"
  cp "$shots/options.png" "$shots/about.png" "$WT_SHOT_DIR"/
fi
echo "pictures: options $(identify -format '%wx%h' "$shots/options.png"), about $(identify -format '%wx%h' "$shots/about.png")"
