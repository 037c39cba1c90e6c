#!/usr/bin/env bash
# Builds the tool and compares the two sample save files in examples/.
# Extra arguments are passed on: scripts/example.sh newer.sav -a
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/ensure-packages.sh g++ cmake ninja-build
# A plain build of the tool alone, in a folder of its own: the presets'
# folders keep their tests on.
cmake -S . -B build/example -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/example
cd examples
exec ../build/example/zev old.sav new.sav "$@"
