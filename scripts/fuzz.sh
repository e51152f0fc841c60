#!/usr/bin/env bash
# Runs every fuzz target for SECONDS (default 300) over its corpus.
#   scripts/fuzz.sh [SECONDS]
# A crash or hang leaves its input in build/fuzz/tests/fuzz; turn it into a
# test before fixing it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-300}
scripts/install-deps.sh
cmake --preset fuzz -DFUZZ_SECONDS="$seconds" >/dev/null
cmake --build --preset fuzz -j"$(nproc)"
status=0
(cd build/fuzz && ctest --output-on-failure --timeout $((seconds + 120))) || status=$?
# CTest's own runs stay short.
cmake --preset fuzz -DFUZZ_SECONDS=15 >/dev/null
exit $status
