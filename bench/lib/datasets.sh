# The data sets, made by benchdata from the seed.  A set is kept between runs
# while the command that made it stays the same.  Sourced by bench/run.sh.

# The parameters of each set; smoke runs use tiny ones of the same shape.
dataset_args() { # name
  local tiny=$smoke
  case "$1" in
  office) [ "$tiny" = 1 ] && echo "office --files 40 --large 2 --large-min 100000 --large-max 300000" ||
            echo "office" ;;
  many) [ "$tiny" = 1 ] && echo "many --files 200 --folders 4" || echo "many" ;;
  big) [ "$tiny" = 1 ] && echo "big --bytes 3000000" || echo "big" ;;
  files-*) local n=${1#files-}; echo "many --files $n --folders $(((n + 999) / 1000))" ;;
  bytes-*) echo "big --bytes ${1#bytes-}" ;;
  esac
}

# Files counts and single-file sizes of the scaling plot; "many" is its
# last point of files.
scale_files() { [ "$smoke" = 1 ] && echo "50 100" || echo "1000 3000 10000 30000"; }
scale_bytes() {
  [ "$smoke" = 1 ] && echo "1048576 2097152" || echo "268435456 536870912 1073741824 2147483648"
}

make_dataset() { # name
  local name=$1 args stamp
  args="$(dataset_args "$name") --seed $seed"
  stamp="$data/$name.stamp"
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$args" ] && [ -d "$data/$name" ]; then
    return
  fi
  rm -rf "${data:?}/$name" "$stamp"
  # shellcheck disable=SC2086 # the arguments are words
  "$benchdata" ${args%% *} "$data/$name" ${args#* } >"$data/$name.txt"
  echo "$args" >"$stamp"
}

# The sizes in the results: files, bytes, folders of each set.
describe_dataset() { # name
  echo "$1 $(sed -E 's/^[a-z]+: ([0-9]+) files, ([0-9]+) bytes, ([0-9]+) folders/\1 \2 \3/' "$data/$1.txt")"
}

make_datasets() {
  local sets=(office many)
  [ "$big" = 1 ] && sets+=(big)
  for n in $(scale_files); do sets+=("files-$n"); done
  for n in $(scale_bytes); do sets+=("bytes-$n"); done
  for name in "${sets[@]}"; do
    make_dataset "$name"
    describe_dataset "$name" >>"$results/datasets.txt"
  done
}
