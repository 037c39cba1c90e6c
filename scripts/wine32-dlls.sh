#!/usr/bin/env bash
# Fetches the 32-bit Windows DLLs of Debian's wine (the package libwine:i386,
# the same version as the installed wine64) and unpacks them, once for the
# machine, into the user's cache (~/.cache/zev/wine32-dlls-VERSION), which
# build/wine32-dlls then names: a new clone finds them there. wine64 runs
# 32-bit programs with them (its WoW64 mode) when WINEDLLPATH names
# build/wine32-dlls/dllpath. The package is only downloaded, never
# installed: the machine's package architectures are left alone, and the
# 32-bit wine packages would break the wine command.
set -euo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"
version="$(dpkg-query -W -f='${Version}' libwine)"
dir="${XDG_CACHE_HOME:-$HOME/.cache}/zev/wine32-dlls-$version"
dlls="$dir/root/usr/lib/i386-linux-gnu/wine/i386-windows"
mkdir -p "$here/build"
[ -L "$here/build/wine32-dlls" ] || rm -rf "$here/build/wine32-dlls"  # a clone's own copy, as they once were
ln -sfn "$dir" "$here/build/wine32-dlls"
[ -f "$dlls/kernel32.dll" ] && [ -L "$dir/dllpath/i386-windows" ] && exit 0

mkdir -p "$dir/apt/lists/partial" "$dir/apt/cache/archives/partial" "$dir/deb"
apt=(apt-get -q
  -o APT::Architectures::=amd64 -o APT::Architectures::=i386
  -o Dir::State::Lists="$dir/apt/lists" -o Dir::Cache="$dir/apt/cache"
  -o Debug::NoLocking=1 -o APT::Sandbox::User=root)
echo "Fetching libwine:i386 $version into $dir" >&2
"${apt[@]}" update >/dev/null
(cd "$dir/deb" && "${apt[@]}" download "libwine:i386=$version" >/dev/null)
rm -rf "$dir/root"
dpkg-deb -x "$dir"/deb/libwine_*_i386.deb "$dir/root"
[ -f "$dlls/kernel32.dll" ] || { echo "libwine:i386 holds no kernel32.dll" >&2; exit 1; }
mkdir -p "$dir/dllpath"
ln -sfn "$dlls" "$dir/dllpath/i386-windows"
rm -rf "$dir/apt" "$dir/deb"
