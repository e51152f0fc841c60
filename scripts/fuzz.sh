#!/usr/bin/env bash
# Runs every fuzz target, one after another, for SECONDS each (default 600)
# over its corpus in tests/fuzz/corpus/<name>, and ends with one line per
# target: the runs, the seconds, and libFuzzer's coverage figures (cov: edges
# reached, ft: features) with the size of the corpus it reached them with.
#   scripts/fuzz.sh [SECONDS] [--merge] [TARGET...]
# in any order (scripts/fuzz.sh migration_fuzz 60 runs one target for a
# minute).  --merge adds the inputs that reached new coverage to the corpus
# in the repository (libFuzzer's -merge=1 keeps only those).  A crash, a
# hang (5 s), a single allocation above 64 MiB or a leak stops that target
# and leaves its input in build/fuzz/artifacts/: make it a test before
# fixing it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# target:corpus[:longest input].  Migration files are held to 4 KiB, so
# that the fuzzer explores structure instead of copying content; the
# hostile-file tests read the longer and deeper files whole.
targets=(bookmng_fuzz:bookmng migration_fuzz:migration:4096 commandline_fuzz:commandline)

usage() {
  echo "usage: scripts/fuzz.sh [SECONDS] [--merge] [TARGET...]; targets: ${targets[*]%%:*}" >&2
  exit 2
}
seconds=600 merge=
only=() # no names: every target
for arg in "$@"; do
  case "$arg" in
  --merge) merge=--merge ;;
  -* | "") usage ;;
  *[!0-9]*) [[ " ${targets[*]%%:*} " == *" $arg "* ]] || usage; only+=("$arg") ;;
  *) seconds=$((10#$arg)) ;;
  esac
done
# libFuzzer reads a time of 0 as "no limit": a run given 0 would never end.
[ "$seconds" -gt 0 ] || usage

scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 --target "${targets[@]%%:*}" >/dev/null
mkdir -p build/fuzz/artifacts build/fuzz/logs

status=0
summary=()
for entry in "${targets[@]}"; do
  IFS=: read -r target name max_len <<<"$entry"
  if [ ${#only[@]} -gt 0 ] && [[ ! " ${only[*]} " == *" $target "* ]]; then
    continue
  fi
  corpus=tests/fuzz/corpus/$name
  work=build/fuzz/work/$name
  limit=()
  [ -n "$max_len" ] && limit=(-max_len="$max_len")
  log=build/fuzz/logs/$target.log
  mkdir -p "$work"
  start=$(date +%s)
  # One job, one core: the machine is shared.
  if ! "build/fuzz/tests/fuzz/$target" -max_total_time="$seconds" -timeout=5 \
      -rss_limit_mb=1024 -malloc_limit_mb=64 -print_final_stats=1 "${limit[@]}" \
      -artifact_prefix="build/fuzz/artifacts/$target-" "$work" "$corpus" >"$log" 2>&1; then
    echo "fuzz.sh: $target found a fault; see $log and build/fuzz/artifacts/" >&2
    status=1
  fi
  elapsed=$(($(date +%s) - start))
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1 || true)
  cov=$(echo "$done_line" | sed -n 's/.* cov: \([0-9]*\).*/\1/p')
  ft=$(echo "$done_line" | sed -n 's/.* ft: \([0-9]*\).*/\1/p')
  corp=$(echo "$done_line" | sed -n 's/.* corp: \([0-9]*\/[0-9]*[a-zA-Z]*\).*/\1/p')
  summary+=("$(printf '%-17s runs %-10s time %5ss  cov %-6s ft %-6s corpus %s' \
    "$target" "${runs:-?}" "$elapsed" "${cov:-?}" "${ft:-?}" "${corp:-?}")")
  if [ "$merge" = "--merge" ]; then
    "build/fuzz/tests/fuzz/$target" -merge=1 "${limit[@]}" "$corpus" "$work" >"$log.merge" 2>&1
  fi
done
printf '%s\n' "${summary[@]}"
exit $status
