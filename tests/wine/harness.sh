# Wine test harness: source this file, then call the wt_* functions.
#
# Everything lives under one temporary folder: an own HOME, a 32-bit template
# prefix made once per run, a fresh copy of it per test, and an Xvfb display
# per test. Nothing depends on the caller's HOME, DISPLAY or WINEPREFIX, and
# wt_cleanup (installed as an EXIT trap by wt_init) always stops what we
# started: each prefix's wineserver and each Xvfb, by their own pids.

WT_ROOT=""
WT_XVFB_PID=""

wt_init() {
  WT_ROOT=$(mktemp -d /tmp/velloran-wine.XXXXXX)
  export HOME="$WT_ROOT/home"
  mkdir -p "$HOME"
  export WINEDEBUG=-all
  export WINEARCH=win32
  export WINEDLLOVERRIDES="mscoree,mshtml="
  unset DISPLAY WINEPREFIX
  trap wt_cleanup EXIT
}

# Uses the template prefix at $1 if it exists, else makes it there.
wt_template() {
  local tmpl=$1
  if [ ! -f "$tmpl/system.reg" ]; then
    wt_xvfb_start 1024x768x24
    WINEPREFIX="$tmpl" wineboot -i >/dev/null 2>&1 || { echo "wineboot failed" >&2; return 1; }
    WINEPREFIX="$tmpl" wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    WINEPREFIX="$tmpl" wineserver -w
    wt_xvfb_stop
  fi
}

# Starts Xvfb on a display that nobody uses; exports DISPLAY. Xvfb picks the
# display number itself (-displayfd) and reports it once it accepts clients,
# so tests that start at the same moment never end up sharing one.
wt_xvfb_start() {
  local screen=${1:-1024x768x24} numberFile="$WT_ROOT/display.$$.$RANDOM" i
  : > "$numberFile"
  Xvfb -displayfd 5 -screen 0 "$screen" -nolisten tcp 5>"$numberFile" >/dev/null 2>&1 &
  WT_XVFB_PID=$!
  for i in $(seq 1 200); do
    if [ -s "$numberFile" ] && DISPLAY=":$(head -n 1 "$numberFile")" xdpyinfo >/dev/null 2>&1; then
      export DISPLAY=":$(head -n 1 "$numberFile")"
      rm -f "$numberFile"
      return 0
    fi
    kill -0 "$WT_XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  rm -f "$numberFile"
  wt_xvfb_stop
  echo "Xvfb did not start" >&2
  return 1
}

wt_xvfb_stop() {
  if [ -n "$WT_XVFB_PID" ]; then
    kill "$WT_XVFB_PID" 2>/dev/null
    wait "$WT_XVFB_PID" 2>/dev/null
    WT_XVFB_PID=""
  fi
  unset DISPLAY
}

# Makes a fresh prefix from the template and exports WINEPREFIX.
wt_prefix_new() {
  local tmpl=$1
  export WINEPREFIX
  WINEPREFIX=$(mktemp -d "$WT_ROOT/prefix.XXXXXX")
  cp -a "$tmpl/." "$WINEPREFIX/"
}

wt_prefix_end() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    rm -rf "$WINEPREFIX"
  fi
  unset WINEPREFIX
}

# wt_run SECONDS program [args...]: runs a Windows program, returns its exit
# code, or 124 when the time limit ended it.
wt_run() {
  local limit=$1; shift
  timeout --kill-after=5 "$limit" wine "$@"
}

# The Windows path of a Linux path inside the current prefix's drive C.
wt_winpath() {
  local p=${1#"$WINEPREFIX/drive_c/"}
  printf 'C:\\%s' "${p//\//\\}"
}

wt_screenshot() {
  import -window root "$1"
}

wt_cleanup() {
  wt_prefix_end
  wt_xvfb_stop
  [ -n "$WT_ROOT" ] && rm -rf "$WT_ROOT"
}
