# Wine harness, sourced by run-tests and by the scripts that run our programs.
# An own HOME, the template prefix, fresh prefixes and the Xvfb display files
# live under one temporary folder; the EXIT trap stops what we started, by pid.
WT_ROOT="" WT_XVFB_PID=""

wt_init() {
  WT_ROOT=$(mktemp -d /tmp/velloran-wine.XXXXXX)
  export HOME="$WT_ROOT/home" WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$HOME"
  unset DISPLAY WINEPREFIX
  trap wt_cleanup EXIT
}

# Makes the 32-bit template prefix at $1 unless it is there already.
wt_template() {
  [ -f "$1/system.reg" ] && return 0
  wt_xvfb_start && WINEPREFIX="$1" wineboot -i >/dev/null 2>&1 || { echo "wineboot failed" >&2; return 1; }
  WINEPREFIX="$1" wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  WINEPREFIX="$1" wineserver -w
  wt_xvfb_stop
}

# Starts Xvfb with screen $1 and exports DISPLAY. Xvfb picks a free display
# itself (-displayfd), so jobs starting together never share one.
wt_xvfb_start() {
  local file="$WT_ROOT/display.$BASHPID" i
  Xvfb -displayfd 5 -screen 0 "${1:-1024x768x24}" -nolisten tcp 5>"$file" >/dev/null 2>&1 &
  WT_XVFB_PID=$!
  for i in $(seq 200); do
    [ -s "$file" ] && export DISPLAY=":$(head -n 1 "$file")" && xdpyinfo >/dev/null 2>&1 && return
    kill -0 "$WT_XVFB_PID" 2>/dev/null && sleep 0.05 || break
  done
  wt_xvfb_stop
  echo "Xvfb did not start" >&2 && return 1
}

wt_xvfb_stop() {
  [ -z "$WT_XVFB_PID" ] || { kill "$WT_XVFB_PID"; wait "$WT_XVFB_PID"; } 2>/dev/null
  WT_XVFB_PID=""
  unset DISPLAY
}

# A fresh copy of the template prefix $1, exported as WINEPREFIX.
wt_prefix_new() { export WINEPREFIX && WINEPREFIX=$(mktemp -d "$WT_ROOT/prefix.XXXXXX") && cp -a "$1/." "$WINEPREFIX/"; }

wt_prefix_end() {
  [ -d "${WINEPREFIX:-}" ] && { wineserver -k; wineserver -w; rm -rf "$WINEPREFIX"; } >/dev/null 2>&1
  unset WINEPREFIX
}

# wt_run SECONDS PROGRAM [ARGS...]: its exit code, or 124 when the limit ended it.
wt_run() { timeout --kill-after=5 "$1" wine "${@:2}"; }

wt_screenshot() { import -window root "$1"; }

# Scripts that source this run with errexit; a prefix already stopped must
# not end the clean-up before the display is stopped too.
wt_cleanup() { set +e; wt_prefix_end; wt_xvfb_stop; [ -z "$WT_ROOT" ] || rm -rf "$WT_ROOT"; }
