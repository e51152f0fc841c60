#!/usr/bin/env bash
# The benchmarks, side by side with what users would otherwise use, on the
# same data in the same run:
#   - ikotool create / extract / test against tar -cf / -xf / -tf, with the
#     peak memory of each, on the data sets "office" and "many" ("big" too
#     with --big), and the growth with files and with bytes (a plot);
#   - under Wine: Tessaro's backup (/K:1) and restore against xcopy /E /I of
#     the same tree, and ikotool.exe, the engine Tessaro runs, beside them;
#   - Quimbex /K:9 with 1, 10 and 50 books: the time per book inside the
#     Excel stand-in, in the automation transport and in Quimbex itself.
# Writes docs/PERFORMANCE.md and docs/performance-scaling.png.  The data sets
# come from a seed and are made again only when their parameters change.
#
#   bench/run.sh [--big] [--runs N] [--seed N] [--no-wine] [--baseline DIR]
#   bench/run.sh --smoke      tiny data sets, one or two runs each, report
#                             into build/bench-smoke (the test command's run)
#
# --baseline DIR: a native build folder of an earlier version; its ikotool
# is measured too, as the "before" of the engine's changes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

smoke=0 big=0 wine=1 runs=10 wine_runs=3 seed=14 baseline=
while [ $# -gt 0 ]; do
  case "$1" in
  --smoke) smoke=1 ;;
  --big) big=1 ;;
  --no-wine) wine=0 ;;
  --runs) runs=$2; shift ;;
  --seed) seed=$2; shift ;;
  --baseline) baseline=$(cd "$2" && pwd); shift ;;
  *) echo "usage: bench/run.sh [--smoke] [--big] [--runs N] [--seed N] [--no-wine] [--baseline DIR]" >&2
     exit 2 ;;
  esac
  shift
done

if [ "$smoke" = 1 ]; then
  out=$root/build/bench-smoke docs=$root/build/bench-smoke runs=2 wine_runs=1
else
  out=$root/build/bench docs=$root/docs
fi
data=$out/data work=$out/work results=$out/results
bench_lib=$root/bench/lib
. "$bench_lib/common.sh"
. "$bench_lib/datasets.sh"
. "$bench_lib/native.sh"
. "$bench_lib/wine.sh"

install_tools
build_programs
rm -rf "$results" "$work"
mkdir -p "$data" "$work" "$results"
record_machine "$results/machine.txt" start

make_datasets
run_native_comparisons
run_scaling
if [ "$wine" = 1 ]; then
  start_wine
  run_wine_comparisons
  run_quimbex
fi

record_machine "$results/machine.txt" end
python3 "$root/bench/report.py" "$results" "$docs/PERFORMANCE.md" "$docs/performance-scaling"
gnuplot "$results/plot.gp"
echo "bench: wrote $docs/PERFORMANCE.md and $docs/performance-scaling.png"
