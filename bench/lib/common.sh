# What every part of the benchmarks shares: tools, builds, the record of the
# machine.  Sourced by bench/run.sh.

# hyperfine, gnuplot, GNU time and python3 come from Debian.
install_tools() {
  "$root/scripts/install-deps.sh"
  local missing=()
  command -v hyperfine >/dev/null || missing+=(hyperfine)
  command -v gnuplot >/dev/null || missing+=(gnuplot-nox)
  [ -x /usr/bin/time ] || missing+=(time)
  command -v python3 >/dev/null || missing+=(python3)
  if [ ${#missing[@]} -gt 0 ]; then
    echo "bench: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -qq "${missing[@]}" >/dev/null 2>&1 ||
      { apt-get update -qq && apt-get install -y -qq "${missing[@]}" >/dev/null; }
  fi
}

# The native build holds ikotool and the data generator; the Win32 build the
# programs, the stand-in and the driver.
build_programs() {
  local presets=(native)
  [ "$wine" = 1 ] && presets+=(win)
  for preset in "${presets[@]}"; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j"$(nproc)" >/dev/null
  done
  ikotool=$root/build/native/tools/ikotool/ikotool
  benchdata=$root/build/native/bench/benchdata
}

# The machine, the versions, the load and what else ran, once at the start
# and once at the end of the run.
record_machine() { # file start|end
  local file=$1 when=$2
  {
    echo "[$when]"
    echo "date=$(date -u '+%Y-%m-%d %H:%M:%S UTC')"
    echo "load=$(cut -d' ' -f1-3 /proc/loadavg)"
    echo "busiest=$(ps -eo comm,pcpu --sort=-pcpu --no-headers | awk '$2 > 5 {printf "%s %s%%, ", $1, $2}' | sed 's/, $//')"
    if [ "$when" = start ]; then
      echo "cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)"
      echo "cores=$(nproc)"
      echo "memory=$(awk '/MemTotal/ {printf "%.1f GiB", $2 / 1048576}' /proc/meminfo)"
      echo "kernel=$(uname -r)"
      echo "filesystem=$(df -T "$out" | awk 'NR==2 {print $2 " on " $1 ", " $5 " used"}')"
      echo "tar=$(tar --version | head -n 1)"
      echo "hyperfine=$(hyperfine --version)"
      echo "compiler=$(c++ --version | head -n 1)"
      [ "$wine" = 1 ] && echo "wine=$(wine --version 2>/dev/null)"
      echo "smoke=$smoke"
      echo "runs=$runs"
      echo "wine_runs=$wine_runs"
      echo "seed=$seed"
    fi
  } >>"$file"
}
