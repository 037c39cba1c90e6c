#!/usr/bin/env bash
# Builds and runs every test: the release build, then the sanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/ensure-packages.sh g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libvterm-dev

jobs=$(nproc)
for preset in release asan; do
  echo "== $preset: configure and build"
  cmake --preset "$preset" -DZEV_TESTS=ON >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "== $preset: test"
  ctest --preset "$preset" -j "$jobs"
done
