#!/usr/bin/env bash
# Runs a Windows program under wine64 in the project's own wine prefix:
# scripts/wine-run.sh program.exe [arguments]. A 64-bit program runs in
# build/wine, a 32-bit one (its PE header says which; ZEV_WINE_BITS=32 for
# a command that is no program file) in build/wine32, with the 32-bit
# DLLs that scripts/wine32-dlls.sh fetches (wine's WoW64 mode). Each
# prefix is made on first use. A wine server is kept running while runs
# follow each other, so that each run starts in a fraction of a second;
# scripts/wine-run.sh --stop ends both.
set -euo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"

# The machine field of a PE file's header: 014C for i386.
bits="${ZEV_WINE_BITS:-64}"
if [ -f "${1:-}" ] && [ "$(od -An -tx1 -j60 -N4 "$1" 2>/dev/null | wc -w)" = 4 ]; then
  header=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  [ "$(od -An -tx1 -j$((header + 4)) -N2 "$1" | tr -d ' ')" = 4c01 ] && bits=32
fi
export WINEDEBUG=-all
# Without a UTF-8 locale wine's console shows every byte above 0x7F as '?'.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY

# Only the 64-bit wine, which runs 32-bit programs inside its own 64-bit
# process: the 32-bit wine package breaks the wine command itself.
wine=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver64

if [ "${1:-}" = "--stop" ]; then
  for WINEPREFIX in "$here/build/wine" "$here/build/wine32"; do
    export WINEPREFIX
    [ -d "$WINEPREFIX" ] && "$server" -k 2>/dev/null || true
  done
  exit 0
fi

if [ "$bits" = 32 ]; then
  # A kernel that runs 64-bit user code only fails every 32-bit program
  # as it starts; that is said here, not met as an empty prefix.
  if ! reason="$("$here/scripts/runs-32bit.sh")"; then
    echo "wine-run: the 32-bit program cannot run here: $reason" >&2
    exit 125
  fi
  export WINEPREFIX="$here/build/wine32"
  export WINEDLLPATH="$here/build/wine32-dlls/dllpath"
  if [ ! -e "$WINEDLLPATH/i386-windows/kernel32.dll" ]; then
    echo "wine-run: no 32-bit Windows DLLs; run scripts/wine32-dlls.sh first" >&2
    exit 125
  fi
else
  export WINEPREFIX="${ZEV_WINEPREFIX:-$here/build/wine}"
fi

mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    # What wineboot answers varies with the machine's load; what it made
    # is checked instead.
    "$wine" wineboot -i </dev/null >/dev/null 2>&1 9>&- || true
    "$server" -w 9>&- || true
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      echo "wine-run: wineboot made no prefix in $WINEPREFIX" >&2
      exit 125
    fi
  fi
  # Without the 32-bit DLLs in the prefix wine runs a 32-bit program as
  # nothing at all and answers 0: a silent pass.
  if [ "$bits" = 32 ] && [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
    echo "wine-run: $WINEPREFIX has no syswow64/kernel32.dll" >&2
    exit 125
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
