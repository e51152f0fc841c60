#!/usr/bin/env bash
# Builds everything and runs every test: the portable code natively, the
# Win32 unit tests and the end-to-end tests under Wine.  Installs what it
# needs on a fresh Debian machine.  Ends with one summary line.  Run as
# root, it builds and sets up the test bed as root, and every Windows
# program runs as the unprivileged user morvane-test that the set-up
# creates (scripts/wine-user.sh).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)

scripts/install-deps.sh || exit 1
# The builds are the presets of CMakePresets.json.  win-clang is the second
# compiler of the Win32 build: built, not tested (see its toolchain file).
for preset in native win win-clang fuzz; do
  cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j"$jobs" || exit 1
done

scripts/setup-wine.sh start build/win || exit 1
trap 'scripts/setup-wine.sh stop build/win' EXIT

# ctest's output goes to files, never into a pipe: a Wine process that
# outlives its test would keep a pipe open.
run_ctest() { # build-folder log [ctest options]
  local dir=$1 log=$2
  shift 2
  (cd "$dir" && ctest --output-on-failure "$@" >"$root/$log" 2>&1)
  cat "$log"
}
run_ctest build/native build/native-ctest.log -j"$jobs"
run_ctest build/fuzz build/fuzz-ctest.log -j"$jobs"
run_ctest build/win build/win-ctest.log

# The benchmarks once on tiny data sets, so that their scripts keep working;
# no time is judged.
bench_failed=0
if ! bench/run.sh --smoke >build/bench-smoke.log 2>&1; then
  bench_failed=1
  echo "test.sh: bench/run.sh --smoke failed; see build/bench-smoke.log" >&2
  tail -n 20 build/bench-smoke.log >&2
fi

passed=$((1 - bench_failed))
failed=$bench_failed
for log in build/native-ctest.log build/fuzz-ctest.log build/win-ctest.log; do
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$line" ]; then
    echo "test.sh: no summary in $log" >&2
    failed=$((failed + 1))
    continue
  fi
  f=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/')
  t=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/')
  passed=$((passed + t - f))
  failed=$((failed + f))
done
echo "tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
