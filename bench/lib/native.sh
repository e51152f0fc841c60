# ikotool against tar on the same trees, output on the same disk.  Every
# command runs warm (hyperfine's warm-up runs read the tree first); before
# each run the previous output is removed and written back, so that no run
# pays for another's writing.  Sourced by bench/run.sh.

# hyperfine runs no shell; prepare steps are shell lines of their own.  The
# runs go in rounds, the tools' order reversed each round, so that what else
# the machine does falls on every tool alike; only the first round warms up.
measure() { # result-name runs prepare [name command]...
  local name=$1 n=$2 prepare=$3
  shift 3
  local forward=() backward=()
  while [ $# -gt 0 ]; do
    forward+=(-n "$1" "$2")
    backward=(-n "$1" "$2" "${backward[@]}")
    shift 2
  done
  local rounds=$(( n < 5 ? n : 5 )) done=0
  for ((round = 1; round <= rounds; round++)); do
    local take=$(( (n - done) / (rounds - round + 1) )) warmup=0 order=("${forward[@]}")
    [ "$round" = 1 ] && warmup=1
    [ $((round % 2)) = 0 ] && order=("${backward[@]}")
    hyperfine -N --style none --warmup "$warmup" --runs "$take" --prepare "bash -c '$prepare'" \
      --export-json "$results/$name.r$round.json" "${order[@]}" >/dev/null
    done=$((done + take))
  done
}

# Peak resident memory in KiB, of three runs each.
peak_memory() { # result-name prepare command...
  local name=$1 prepare=$2
  shift 2
  for _ in 1 2 3; do
    bash -c "$prepare"
    /usr/bin/time -f %M -o "$work/mem.txt" "$@" >/dev/null
    cat "$work/mem.txt" >>"$results/$name.mem"
  done
}

# The tools measured: ikotool, the baseline's when given, and tar.
engine_commands() { # op set
  local op=$1 set=$2 tree=$data/$2 w=$work
  case "$op" in
  create)
    echo "ikotool|$ikotool create $w/out.iko --root 0=$tree --root 1=$tree"
    [ -n "$baseline" ] && echo "ikotool-before|$baseline/tools/ikotool/ikotool create $w/out.iko --root 0=$tree --root 1=$tree"
    echo "tar|tar -cf $w/out.tar -C $tree $(tree_items "$tree")" ;;
  extract)
    echo "ikotool|$ikotool extract $w/$set.iko --root 0=$w/x --root 1=$w/x"
    [ -n "$baseline" ] && echo "ikotool-before|$baseline/tools/ikotool/ikotool extract $w/$set.iko --root 0=$w/x --root 1=$w/x"
    echo "tar|tar -xf $w/$set.tar -C $w/x" ;;
  test)
    echo "ikotool|$ikotool test $w/$set.iko"
    [ -n "$baseline" ] && echo "ikotool-before|$baseline/tools/ikotool/ikotool test $w/$set.iko"
    echo "tar|tar -tf $w/$set.tar" ;;
  esac
}

# The items a migration file carries that the tree has: Data and Excel.
tree_items() { # tree
  local items=()
  for item in Data Excel; do [ -d "$1/$item" ] && items+=("$item"); done
  echo "${items[@]}"
}

prepare_of() { # op set
  case "$1" in
  create) echo "rm -f $work/out.iko $work/out.tar; sync" ;;
  extract) echo "rm -rf $work/x; mkdir $work/x; sync" ;;
  test) echo "true" ;;
  esac
}

# The tools of one operation as name, command, name, command... in PAIRS;
# the baseline only when asked for.
pairs_of() { # op set with-baseline
  PAIRS=()
  while IFS='|' read -r tool command; do
    [ "$tool" = ikotool-before ] && [ "$3" = 0 ] && continue
    PAIRS+=("$tool" "$command")
  done < <(engine_commands "$1" "$2")
}

compare_op() { # op set runs
  local op=$1 set=$2 n=$3 prepare
  prepare=$(prepare_of "$op" "$set")
  pairs_of "$op" "$set" 1
  measure "native-$set-$op" "$n" "$prepare" "${PAIRS[@]}"
  for ((i = 0; i < ${#PAIRS[@]}; i += 2)); do
    # shellcheck disable=SC2086 # the command is words
    peak_memory "native-$set-$op-${PAIRS[i]}" "$prepare" ${PAIRS[i + 1]}
  done
}

# The files that extract and test read are made once, by the tools
# themselves, before they are timed; create writes out.iko and out.tar.
make_archives() { # set
  local tree=$data/$1
  rm -f "$work/$1.iko" "$work/$1.tar"
  "$ikotool" create "$work/$1.iko" --root 0="$tree" --root 1="$tree" >/dev/null
  # shellcheck disable=SC2046 # the items are words
  tar -cf "$work/$1.tar" -C "$tree" $(tree_items "$tree")
  stat -c '%n %s' "$work/$1.iko" "$work/$1.tar" | sed "s|$work/||" >>"$results/archive-sizes.txt"
}

# The baseline's file of the same tree must be the same bytes.
compare_with_baseline() { # set
  [ -n "$baseline" ] || return 0
  local tree=$data/$1
  "$baseline/tools/ikotool/ikotool" create "$work/$1.before.iko" --root 0="$tree" --root 1="$tree" \
    >/dev/null
  if cmp -s "$work/$1.iko" "$work/$1.before.iko"; then echo "$1 identical"; else echo "$1 different"; fi \
    >>"$results/baseline-bytes.txt"
  rm -f "$work/$1.before.iko"
}

run_native_comparisons() {
  local sets=(office many)
  [ "$big" = 1 ] && sets+=(big)
  for set in "${sets[@]}"; do
    local n=$runs
    [ "$set" = big ] && n=3
    echo "bench: $set: ikotool against tar"
    make_archives "$set"
    compare_with_baseline "$set"
    for op in create extract test; do compare_op "$op" "$set" "$n"; done
    rm -rf "$work/x" "$work/$set.iko" "$work/$set.tar" "$work"/out.*
  done
}

# Time against the number of files (many-like sets; "many" itself is the
# last point) and against bytes (one file; "big" the last one with --big):
# create and extract for both tools.
run_scaling() {
  echo "bench: growth with files and bytes"
  local sets=()
  for n in $(scale_files); do sets+=("files-$n"); done
  for n in $(scale_bytes); do sets+=("bytes-$n"); done
  local n=3
  [ "$smoke" = 1 ] && n=1
  for set in "${sets[@]}"; do
    make_archives "$set" >/dev/null
    for op in create extract; do
      pairs_of "$op" "$set" 0
      measure "scale-$set-$op" "$n" "$(prepare_of "$op" "$set")" "${PAIRS[@]}"
    done
    rm -rf "$work/x" "$work/$set.iko" "$work/$set.tar" "$work"/out.*
  done
}
