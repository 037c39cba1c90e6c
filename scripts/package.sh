#!/usr/bin/env bash
# Makes the two things a user installs: the Debian package (from the
# release build) and the Windows archive with both Windows programs and
# the README (from the windows-x86 and windows-x64 builds), in build/dist.
set -euo pipefail
cd "$(dirname "$0")/.."

# The presets build the tests too, hence GoogleTest and libvterm.
scripts/ensure-packages.sh g++ cmake ninja-build dpkg-dev g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix \
  pkg-config libgtest-dev googletest libvterm-dev
for preset in release windows-x86 windows-x64; do
  cmake --preset "$preset" >/dev/null
done
cmake --build --preset release --target zev manual
cmake --build --preset windows-x86 --target zev
cmake --build --preset windows-x64 --target zev
mkdir -p build/dist
(cd build/release && cpack -G DEB -B "$PWD/../dist" >/dev/null)
rm -rf build/dist/_CPack_Packages

# The version is the project's, as CPack was given it.
version="$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' build/release/CPackConfig.cmake)"
staging="$(mktemp -d)"
trap 'rm -rf "$staging"' EXIT
mkdir -p "$staging/zev-$version-windows/x86" "$staging/zev-$version-windows/x64"
cp build/windows-x86/zev.exe "$staging/zev-$version-windows/x86/"
cp build/windows-x64/zev.exe "$staging/zev-$version-windows/x64/"
cp README.md "$staging/zev-$version-windows/"
rm -f "build/dist/zev-$version-windows.zip"
(cd "$staging" && cmake -E tar cf "$OLDPWD/build/dist/zev-$version-windows.zip" --format=zip "zev-$version-windows")
ls -l build/dist
