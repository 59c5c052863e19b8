#!/usr/bin/env bash
# The uninstall of a file held without sharing its deletion, in a 64-bit prefix: where this machine runs
# 32-bit programs, the i686 build under WOW64, whose batch runs the 32-bit REG.EXE (see the case it runs).
set -uo pipefail
if [ "$WT_ARCH" = win32 ]; then  # the job's prefix is a 32-bit one: one of our own beside it
  export WINEPREFIX="$WINEPREFIX.64" WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
  trap '"$WINESERVER" -k; "$WINESERVER" -w; rm -rf "$WINEPREFIX"' EXIT
  timeout 120 "$WINELOADER" wineboot -i > /dev/null 2>&1 || { echo "no 64-bit prefix"; exit 1; }
  mkdir "$WINEPREFIX/drive_c/velloran" && cp "$WT_DIR"/* "$WINEPREFIX/drive_c/velloran/" || exit 1
fi
timeout 200 "${WINELOADER:-wine}" 'C:\velloran\wt_lifecycle.exe' --gtest_also_run_disabled_tests \
  --gtest_filter='Uninstall.DISABLED_*' --gtest_color=no 2>&1 | tr -d '\r' | tee /dev/stderr | grep -q '^\[  PASSED  \] 1 test'
