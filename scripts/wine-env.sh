# The Wine environment, sourced by every script that runs our Windows programs:
# scripts/run, the benchmarks, the screenshots, tests/wine/run-tests and the
# signing check.
# An own HOME, the template prefix, fresh prefixes and the Xvfb display files
# live under one temporary folder; the EXIT trap stops what we started, by pid.
WT_ROOT="" WT_XVFB_PID=""

wt_init() {
  WT_ROOT=$(mktemp -d /tmp/velloran-wine.XXXXXX)
  export HOME="$WT_ROOT/home" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$HOME"
  unset DISPLAY WINEPREFIX
  trap wt_cleanup EXIT
}

# Picks the Wine this machine can run, by trying: 32-bit first, since that runs
# the programs that ship; else 64-bit, which runs the x86_64 build of the same
# sources. VELLORAN_WINE=win32 or win64 forces one; VELLORAN_WINE32 and
# VELLORAN_WINE64 name other loaders. Exports WT_ARCH (win32 or win64) and
# WT_TREE (win or win64) and puts wine, wineboot and wineserver for that choice
# first on PATH; WT_WHY says why, in words. Returns 1 when nothing starts.
# Called once per run: processes started under it inherit the choice.
wt_wine_pick() {
  [ -n "${WT_ARCH:-}" ] && return 0
  local w32=${VELLORAN_WINE32:-/usr/lib/wine/wine} w64=${VELLORAN_WINE64:-/usr/lib/wine/wine64} e32 e64
  e32=$(wt_wine_try "$w32")
  case "${VELLORAN_WINE:-}" in
    win32) [ -z "$e32" ] || { WT_WHY="VELLORAN_WINE=win32, but 32-bit Wine does not start here ($e32)"; return 1; }
           WT_WHY="forced by VELLORAN_WINE=win32" ;;
    win64) e64=$(wt_wine_try "$w64")
           [ -z "$e64" ] || { WT_WHY="VELLORAN_WINE=win64, but 64-bit Wine does not start here ($e64)"; return 1; }
           WT_WHY="forced by VELLORAN_WINE=win64" ;;
    "")    if [ -z "$e32" ]; then WT_WHY="32-bit Wine starts here"
           else
             e64=$(wt_wine_try "$w64")
             [ -z "$e64" ] || { WT_WHY="no Wine starts here: 32-bit: $e32; 64-bit: $e64"; return 1; }
             WT_WHY="32-bit Wine does not start here ($e32)"
           fi ;;
    *)     WT_WHY="VELLORAN_WINE is '$VELLORAN_WINE'; it takes win32 or win64"; return 1 ;;
  esac
  local bin="$WT_ROOT/bin"
  mkdir -p "$bin"
  if [ -n "$e32" ] || [ "${VELLORAN_WINE:-}" = win64 ]; then
    export WT_ARCH=win64 WT_TREE=win64 WINEARCH=win64 WINELOADER="$w64" WINESERVER=/usr/lib/wine/wineserver64
    printf '#!/bin/sh\nexec "%s" "$@"\n' "$w64" > "$bin/wine"
  else
    export WT_ARCH=win32 WT_TREE=win WINEARCH=win32
    printf '#!/bin/sh\nexec "%s" "$@"\n' "$w32" > "$bin/wine"
  fi
  # Debian's own wrappers would pick the 32-bit loader whenever it is installed.
  printf '#!/bin/sh\nexec wine wineboot "$@"\n' > "$bin/wineboot"
  printf '#!/bin/sh\nexec "%s" "$@"\n' "${WINESERVER:-/usr/bin/wineserver}" > "$bin/wineserver"
  chmod +x "$bin"/*
  export PATH="$bin:$PATH" WT_WHY
}

# wt_wine_for PROGRAM: picks the Wine that runs PROGRAM, as wt_wine_pick does.
wt_wine_for() {
  case "$(wt_pe_machine "$1")" in
    14c) VELLORAN_WINE=win32 wt_wine_pick ;;
    8664) VELLORAN_WINE=win64 wt_wine_pick ;;
    *) WT_WHY="$1 is missing or no Windows program"; return 1 ;;
  esac
}

# The machine field of a PE file's header: 14c for i686, 8664 for x86_64.
wt_pe_machine() {
  local at
  at=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') && [ -n "$at" ] &&
    od -An -tx2 -j$((at + 4)) -N2 "$1" | tr -d ' '
}

# Prints why the loader $1 cannot start, or nothing when it can.
wt_wine_try() {
  local out
  [ -x "$1" ] || { echo "no loader at $1"; return; }
  out=$("$1" --version 2>&1) && return
  out=$(tail -n 1 <<< "$out")
  echo "${out##*: }"
}

# Makes the template prefix at $1 for the picked Wine unless it is there already.
wt_template() {
  [ -f "$1/system.reg" ] && return 0
  wt_xvfb_start || return 1
  WINEPREFIX="$1" wineboot -i >/dev/null 2>&1
  WINEPREFIX="$1" wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  WINEPREFIX="$1" wineserver -w
  wt_xvfb_stop
  # The server writes the registry files when it ends.
  [ -f "$1/system.reg" ] || { echo "no $WINEARCH Wine prefix could be made (wineboot failed)" >&2; return 1; }
}

# Starts Xvfb with screen $1, and further options after it, and exports
# DISPLAY. Xvfb picks a free display itself (-displayfd), so jobs starting
# together never share one.
wt_xvfb_start() {
  local file="$WT_ROOT/display.$BASHPID" i
  Xvfb -displayfd 5 -screen 0 "${1:-1024x768x24}" "${@:2}" -nolisten tcp 5>"$file" >/dev/null 2>&1 &
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

# Stops the prefix's programs; removes it only when it is one of ours.
wt_prefix_end() {
  [ -d "${WINEPREFIX:-}" ] && [ -n "$WT_ROOT" ] && [[ "$WINEPREFIX" = "$WT_ROOT"/* ]] && { wineserver -k; wineserver -w; rm -rf "$WINEPREFIX"; } >/dev/null 2>&1
  unset WINEPREFIX
}

# wt_run SECONDS PROGRAM [ARGS...]: its exit code, or 124 when the limit ended it.
wt_run() { timeout --kill-after=5 "$1" wine "${@:2}"; }

wt_screenshot() { import -window root "$1"; }

# Scripts that source this run with errexit; a prefix already stopped must
# not end the clean-up before the display is stopped too.
wt_cleanup() { set +e; wt_prefix_end; wt_xvfb_stop; [ -z "$WT_ROOT" ] || rm -rf "$WT_ROOT"; }
