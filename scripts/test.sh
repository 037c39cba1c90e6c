#!/usr/bin/env bash
# Builds and runs every test: the Windows programs (32-bit and 64-bit,
# their unit tests under wine), then the Linux release build with the
# Windows suite against both programs and a short run of every benchmark,
# then the Linux sanitizer build, then a short run of every fuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/ensure-packages.sh g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev googletest \
  libvterm-dev libbenchmark-dev valgrind clang clang-format libclang-rt-14-dev \
  python3 dpkg-dev lintian mandoc man-db groff-base xz-utils unzip \
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64

jobs=$(nproc)
# Each step's heading gives the seconds since the start.
step() { echo "== [${SECONDS} s] $*"; }

step "format: every C++ file as .clang-format has it"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

trap 'scripts/wine-run.sh --stop' EXIT
# wine64 runs the 32-bit program with the 32-bit DLLs of Debian's wine,
# fetched once, where the machine runs 32-bit code at all; elsewhere the
# program is built and its tests show as skipped.
bits_run="64 32"
if no_32bit="$(scripts/runs-32bit.sh)"; then
  scripts/wine32-dlls.sh
else
  bits_run=64
fi
# Each wine prefix is made once, while the programs build.
prefixes=()
for bits in $bits_run; do
  ZEV_WINE_BITS=$bits scripts/wine-run.sh cmd /c exit </dev/null >/dev/null &
  prefixes+=($!)
done

for preset in windows-x86 windows-x64; do
  step "$preset: configure and build"
  cmake --preset "$preset" -DZEV_TESTS=ON >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
for prefix in "${prefixes[@]}"; do
  wait "$prefix"
done
for preset in windows-x86 windows-x64; do
  step "$preset: unit tests under wine"
  ctest --preset "$preset" -j "$jobs"
done

for preset in release asan; do
  step "$preset: configure and build"
  windows="" benchmarks=OFF
  [ "$preset" = release ] && windows="$PWD/build/windows-x64;$PWD/build/windows-x86" benchmarks=ON
  cmake --preset "$preset" -DZEV_TESTS=ON -DZEV_WINDOWS_BUILD="$windows" -DZEV_BENCHMARKS="$benchmarks" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  step "$preset: test"
  ctest --preset "$preset" -j "$jobs"
done

step "fuzz: configure, build and run each fuzzer briefly"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
ctest --preset fuzz -j "$jobs"

step "package: the Debian package and the Windows archive, made once and checked"
scripts/package.sh
tests/package/package_test.sh build/dist/zev_*.deb
listing="$(unzip -Z1 build/dist/zev-*-windows.zip)"
for member in x86/zev.exe x64/zev.exe README.md; do
  grep -q "/$member\$" <<< "$listing" || { echo "the Windows archive lacks $member" >&2; exit 1; }
done
if [ "$bits_run" = 64 ]; then
  echo "== the 32-bit Windows program was built but not run: $no_32bit"
fi
step "all passed"
