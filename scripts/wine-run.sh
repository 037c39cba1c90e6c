#!/usr/bin/env bash
# Runs a Windows program under wine64 in the project's own wine prefix:
# scripts/wine-run.sh program.exe [arguments]. The prefix lives in
# build/wine (or $ZEV_WINEPREFIX) and is made on first use; a wine server
# is kept running so that each later run starts in a fraction of a second.
set -euo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="${ZEV_WINEPREFIX:-$here/build/wine}"
export WINEDEBUG=-all
# Without a UTF-8 locale wine's console shows every byte above 0x7F as '?'.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY

wine=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver64

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      "$wine" wineboot -i </dev/null >/dev/null 2>&1
      "$server" -w
    fi
  ) 9>"$WINEPREFIX.lock"
fi
# The first program of a server starts wine's own background processes,
# which keep the standard streams they inherit: they get /dev/null.
# (wineserver -p answers 0 only when it started a new server.)
if "$server" -p 2>/dev/null; then
  "$wine" cmd /c exit </dev/null >/dev/null 2>&1 || true
fi
exec "$wine" "$@"
