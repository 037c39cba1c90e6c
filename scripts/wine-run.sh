#!/usr/bin/env bash
# Runs a Windows program under wine64 in the project's own wine prefix:
# scripts/wine-run.sh program.exe [arguments]. The prefix lives in
# build/wine (or $ZEV_WINEPREFIX) and is made on first use. A wine server
# is kept running while runs follow each other, so that each run starts
# in a fraction of a second; scripts/wine-run.sh --stop ends it.
set -euo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="${ZEV_WINEPREFIX:-$here/build/wine}"
export WINEDEBUG=-all
# Without a UTF-8 locale wine's console shows every byte above 0x7F as '?'.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY

# Only the 64-bit wine: these machines cannot run 32-bit code, and the
# 32-bit wine package breaks the wine command itself.
wine=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver64

if [ "${1:-}" = "--stop" ]; then
  [ -d "$WINEPREFIX" ] && "$server" -k 2>/dev/null || true
  exit 0
fi

mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$wine" wineboot -i </dev/null >/dev/null 2>&1 9>&-
    "$server" -w 9>&-
  fi
  # wineserver -p answers 0 only when it started a new server. The first
  # program of a server starts wine's own background processes, which keep
  # the standard streams they inherit: they get /dev/null, not the
  # terminal or pipe of a test. Nothing started here keeps the lock.
  if "$server" -p120 </dev/null >/dev/null 2>&1 9>&-; then
    "$wine" cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
  fi
) 9>"$WINEPREFIX.lock"
exec "$wine" "$@"
