#!/usr/bin/env bash
# Builds the tool and compares the two sample save files in examples/.
# Extra arguments are passed on: scripts/example.sh newer.sav -a
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/ensure-packages.sh g++ cmake ninja-build
cmake --preset release -DZEV_TESTS=OFF >/dev/null
cmake --build --preset release
cd examples
exec ../build/release/zev old.sav new.sav "$@"
