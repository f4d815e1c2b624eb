#!/usr/bin/env bash
# Throughput and memory of bmp2spr against the copy limits, GNU tr and a
# byte-at-a-time converter, all interleaved in one run.
#   bash bench/run.sh [--dir PATH] [--runs N] [--quick] [--no-warm]
#     --dir PATH  make the workloads under PATH (default /dev/shm, memory)
#     --runs N    timed runs per contestant, workload and state (default 7)
#     --quick     small workloads and 3 runs, to try the script out only
#     --no-warm   leave out the warm-up of free memory before each run
# Results go to build-bench/: results.csv, results.md, bench.png, raw.csv,
# targets.txt, machine.txt, encode.asm; docs/bench.csv and docs/bench.png are
# copies of one run's results.csv and bench.png.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

parent=/dev/shm
runs=7
quick=0
warm=1
while [ $# -gt 0 ]; do
  case "$1" in
    --dir) parent=${2:?--dir needs a path}; shift 2 ;;
    --runs) runs=${2:?--runs needs a number}; shift 2 ;;
    --quick) quick=1; runs=3; shift ;;
    --no-warm) warm=0; shift ;;
    *) echo "run.sh: unknown argument '$1'" >&2; exit 2 ;;
  esac
done
case "$runs" in '' | *[!0-9]*) echo "run.sh: --runs wants a number" >&2; exit 2 ;; esac

bash scripts/setup.sh build bench

out=$root/build-bench
echo "== building (Release) into $out"
cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=Release -DBMP2SPR_BENCH=ON -DBMP2SPR_TESTS=OFF >/dev/null
cmake --build "$out" -j "$(nproc)" >/dev/null
bin=$out/bench
measure=$bin/bench_measure

# Others' builds on the machine should preempt the contestants less; this
# weighs on all of them alike.
renice -n -10 $$ >/dev/null 2>&1 || true
export LC_ALL=C

mkdir -p "$parent"
scratch=$(mktemp -d "$parent/bmp2spr-bench.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fstype=$(df -PT "$scratch" | awk 'NR == 2 { print $2 }')
on_disk=1
[ "$fstype" = tmpfs ] && on_disk=0

{
  echo "cpu: $(lscpu | sed -n 's/^Model name: *//p' | head -n1)"
  echo "cores: $(nproc)"
  echo "ram: $(awk '/^MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)"
  echo "kernel: $(uname -sr)"
  echo "filesystem: $fstype ($parent)"
  echo "compiler: $(c++ --version | head -n1)"
  echo "flags: $(sed -n 's/^CMAKE_CXX_FLAGS_RELEASE:STRING=//p' "$out/CMakeCache.txt")"
  echo "runs: $runs"
  echo "warm-up of free memory before each run: $([ "$warm" = 1 ] && echo yes || echo no)"
} >"$out/machine.txt"
cat "$out/machine.txt"

# What the compiler made of the encoding loop.
objdump -d --no-show-raw-insn -C "$out/libbmp2spr_core.a" |
  awk '/^[0-9a-f]+ <EncodeSprImage/ { on = 1 } on && /^$/ { on = 0 } on' >"$out/encode.asm"
vector=$(grep -cE 'pxor|vxorp|xorp[sd]' "$out/encode.asm" || true)
widest=xmm
grep -q '%ymm' "$out/encode.asm" && widest=ymm
grep -q '%zmm' "$out/encode.asm" && widest=zmm
if [ "$vector" -gt 0 ]; then
  echo "encoding loop: vectorised, $vector vector XORs, widest register $widest (encode.asm)"
else
  echo "encoding loop: not vectorised (encode.asm)"
fi

# tr's second set: the byte b of the first set maps to b XOR 0xA7.
set2=$(for b in $(seq 0 255); do printf '\\%03o' $((b ^ 0xA7)); done)

contestants=(bmp2spr safe-copy plain-copy tr-loop naive)
run_one() {
  case "$1" in
    bmp2spr) "$measure" "$out/bmp2spr" ;;
    safe-copy) "$measure" "$bin/bench_copy" safe ;;
    plain-copy) "$measure" "$bin/bench_copy" plain ;;
    tr-loop) "$measure" bash "$root/bench/tr-loop.sh" "$set2" ;;
    naive) "$measure" "$bin/bench_naive" ;;
  esac
}

raw=$out/raw.csv
echo "workload,state,contestant,run,wall_s,peak_rss_kib,user_s,sys_s" >"$raw"
workloads=$out/workloads.txt
: >"$workloads"

delete_targets() {
  find . -maxdepth 1 -name '*.spr' -delete
}

# Runs every contestant once per round, the order turning each round.
timed_rounds() {
  local workload=$1 state=$2 r i n=${#contestants[@]}
  for ((r = 1; r <= runs; r++)); do
    for ((i = 0; i < n; i++)); do
      local c=${contestants[$(((i + r) % n))]}
      if [ "$state" = first ]; then delete_targets; fi
      # Why: bench/warm.cpp.
      if [ "$warm" = 1 ]; then "$bin/bench_warm" "$warm_bytes"; fi
      # Write-back of one contestant's output must not fall on the next.
      if [ "$on_disk" = 1 ]; then sync; fi
      local res wall rss user sys
      res=$(run_one "$c")
      read -r wall rss user sys <<<"$res"
      echo "$workload,$state,$c,$r,$wall,$rss,$user,$sys" >>"$raw"
    done
    printf '.'
  done
}

# Every contestant's targets against bmp2spr's, which are checked against
# an independent encoder; the copy limits against the plain source.
verify() {
  local ref=$scratch/ref c
  run_one bmp2spr >/dev/null
  "$bin/bench_check" xor >/dev/null
  mkdir "$ref"
  find . -maxdepth 1 -name '*.spr' -exec mv -t "$ref" {} +
  for c in safe-copy plain-copy tr-loop naive; do
    delete_targets
    run_one "$c" >/dev/null
    case "$c" in
      *-copy) "$bin/bench_check" plain >/dev/null ;;
      *) "$bin/bench_check" same "$ref" >/dev/null ;;
    esac
  done
  rm -rf "$ref"
}

# The idle RSS: each program in a folder with nothing to convert.
echo "== idle"
mkdir "$scratch/idle"
cd "$scratch/idle"
echo "idle 0 0" >>"$workloads"
warm_bytes=$((64 << 20))
timed_rounds idle empty
tr_alone=$("$measure" tr '\000-\377' "$set2" </dev/null | awk '{ print $2 }')
echo

if [ "$quick" = 1 ]; then
  set -- big 1 67108864 medium 20 1048576 small 1000 4096
else
  set -- big 1 536870912 medium 200 1048576 small 10000 4096
fi
while [ $# -gt 0 ]; do
  name=$1 count=$2 size=$3
  shift 3
  echo "== $name: $count x $size bytes"
  mkdir "$scratch/$name"
  cd "$scratch/$name"
  "$bin/bench_makefiles" "$count" "$size" "$name"
  echo "$name $count $size" >>"$workloads"
  # Room for the buffer, the new target and some over.
  warm_bytes=$((3 * count * size + (64 << 20)))
  verify
  echo "   outputs checked byte for byte"
  printf '   steady '
  timed_rounds "$name" steady
  printf '\n   first  '
  timed_rounds "$name" first
  echo
  cd "$scratch"
  rm -rf "${scratch:?}/$name"
done
cd "$root"

bash bench/summarise.sh "$out" "$tr_alone"
echo "results: $out/results.csv, $out/results.md, $out/bench.png"
