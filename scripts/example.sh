#!/usr/bin/env bash
# Builds the tool and compares the two sample files in examples/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/ensure-packages.sh g++ cmake ninja-build
cmake --preset release -DZEV_TESTS=OFF >/dev/null
cmake --build --preset release
exec build/release/zev examples/old.sav examples/new.sav "$@"
