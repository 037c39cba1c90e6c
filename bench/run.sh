#!/usr/bin/env bash
# Measures zev against its references on page-cached files, side by side in
# one run: each workload runs interleaved with its reference, and the
# medians give the ratio. Absolute times on a shared machine mean little;
# the ratios are what the goals are set in.
#
#   bench/run.sh                 build the release preset with the benchmarks, full sizes
#   bench/run.sh --quick         small files and one run each (a check that it all works)
#   bench/run.sh --runs 9        more runs per workload (default 5)
#   bench/run.sh --build-dir D   use the programs already built in D
#   bench/run.sh --dir D         make the files in D (default: /dev/shm when it is
#                                a memory file system with room, else $TMPDIR or /tmp)
#
# When both Windows programs are built (build/windows-x86, build/windows-x64)
# and the 32-bit DLLs are there, the 32-bit program is measured against the
# x64 one, both under wine; on a machine that cannot run 32-bit code
# (scripts/runs-32bit.sh) the row says so instead.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

quick=0
runs=5
build=""
place=""
while [ $# -gt 0 ]; do
  case "$1" in
    --quick) quick=1; runs=1 ;;
    --runs) runs="$2"; shift ;;
    --build-dir) build="$2"; shift ;;
    --dir) place="$2"; shift ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
  shift
done

if [ -z "$build" ]; then
  scripts/ensure-packages.sh g++ cmake ninja-build libbenchmark-dev diffutils
  cmake --preset release -DZEV_BENCHMARKS=ON >/dev/null
  cmake --build --preset release >/dev/null
  build=build/release
fi
zev="$(cd "$build" && pwd)/zev"
readlimit="$(cd "$build" && pwd)/bench/read_limit"
timed="$(cd "$build" && pwd)/bench/run_timed"

if [ "$quick" = 1 ]; then pair_mib=8; ten_mib=4; else pair_mib=1024; ten_mib=64; fi

# A memory file system keeps every file, the reports included, in the page
# cache and nothing is ever written back to a disk, whose speed would
# otherwise decide the report workload and vary from run to run.
if [ -z "$place" ]; then
  place="${TMPDIR:-/tmp}"
  free_kb="$(df -k --output=avail /dev/shm 2>/dev/null | tail -1 || echo 0)"
  if [ "$(stat -f -c %T /dev/shm 2>/dev/null)" = tmpfs ] && [ "${free_kb:-0}" -gt $((10 * 1048576)) ]; then
    place=/dev/shm
  fi
fi
data="$(mktemp -d "$place/zev-bench-XXXXXX")"
trap 'rm -rf "$data"' EXIT

# Random bytes, quickly: a 1 MiB random piece repeated with a changing
# counter would compare alike; instead every file is read from urandom.
random_file() { head -c "$(( $2 * 1048576 ))" /dev/urandom > "$1"; }

random_file "$data/pair1" "$pair_mib"
cp "$data/pair1" "$data/pair2"
random_file "$data/dense1" "$ten_mib"
random_file "$data/dense2" "$ten_mib"
ten_random=() ten_same=()
random_file "$data/same0" "$ten_mib"
for k in 0 1 2 3 4 5 6 7 8 9; do
  random_file "$data/random$k" "$ten_mib"
  [ "$k" -gt 0 ] && cp "$data/same0" "$data/same$k"
  ten_random+=("$data/random$k")
  ten_same+=("$data/same$k")
done
cat "$data"/* > /dev/null  # into the page cache

# run NAME OUTPUT COMMAND...: one timed run; prints "seconds peak-kb".
# The reports of earlier runs are removed first, so that no run pays for
# emptying another's.
run() {
  rm -f "$data/out" "$data/out.cmp"
  local result
  result="$("$timed" "$2" "${@:3}")"
  set -- $result
  if [ "$3" -gt 1 ]; then echo "a run ended with exit code $3" >&2; exit 1; fi
  echo "$1 $2"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

printf 'processor: %s\n' "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //')"
printf 'vector units: %s\n' "$(grep -m1 '^flags' /proc/cpuinfo | tr ' ' '\n' | grep -xE 'sse2|avx2|avx512bw' | tr '\n' ' ')"
printf 'sizes: pair %d MiB, ten inputs %d MiB each, %d runs each, files in %s\n\n' "$pair_mib" "$ten_mib" "$runs" "$place"
printf '%-44s %10s %10s %8s %7s %9s\n' workload "zev s" "ref s" ratio goal "zev KB"

peak_all=0
# workload NAME GOAL ZEV-OUTPUT "ZEV ARGS" REF-OUTPUT REF COMMAND...
workload() {
  local name="$1" goal="$2" zev_out="$3" zev_args="$4" ref_out="$5"
  shift 5
  local zev_times="" ref_times="" peak=0 i
  for ((i = 0; i < runs; i++)); do
    local result seconds kb
    # shellcheck disable=SC2086
    result="$(run zev "$zev_out" "${zev_command[@]}" $zev_args)"
    read -r seconds kb <<< "$result"
    zev_times+="$seconds"$'\n'
    [ "$kb" -gt "$peak" ] && peak="$kb"
    result="$(run ref "$ref_out" "$@")"
    read -r seconds kb <<< "$result"
    ref_times+="$seconds"$'\n'
  done
  local zev_median ref_median
  zev_median="$(printf '%s' "$zev_times" | median)"
  ref_median="$(printf '%s' "$ref_times" | median)"
  printf '%-44s %10.4f %10.4f %8.3f %7s %9d\n' "$name" "$zev_median" "$ref_median" \
    "$(awk -v a="$zev_median" -v b="$ref_median" 'BEGIN { print a / b }')" "$goal" "$peak"
  [ "$peak" -gt "$peak_all" ] && peak_all="$peak"
  return 0
}

zev_command=("$zev")
out="$data/out"
workload "two identical files vs read limit" "<=1.05" /dev/null \
  "$data/pair1 $data/pair2 -f:$out" /dev/null "$readlimit" "$data/pair1" "$data/pair2"
workload "two identical files vs cmp" "<=0.26" /dev/null \
  "$data/pair1 $data/pair2 -f:$out" /dev/null cmp "$data/pair1" "$data/pair2"
workload "two random files, report to a file vs cmp -l" "<=0.27" /dev/null \
  "$data/dense1 $data/dense2 -f:$out" "$out.cmp" cmp -l "$data/dense1" "$data/dense2"
workload "ten random files -a -d vs read limit" "<=1.2" /dev/null \
  "${ten_random[*]} -a -d -f:$out" /dev/null "$readlimit" "${ten_random[@]}"
workload "ten random files -s vs read limit" "<=1.25" /dev/null \
  "${ten_random[*]} -s -f:$out" /dev/null "$readlimit" "${ten_random[@]}"
workload "two random files, CSV vs the table, to a file" "<=1.0" /dev/null \
  "$data/dense1 $data/dense2 -m:csv -f:$out" /dev/null "$zev" "$data/dense1" "$data/dense2" "-f:$out.cmp"
workload "ten random files -w:4 -a -d vs read limit" "<=1.3" /dev/null \
  "${ten_random[*]} -w:4 -a -d -f:$out" /dev/null "$readlimit" "${ten_random[@]}"
workload "ten random files -w:2 -s vs read limit" "<=1.3" /dev/null \
  "${ten_random[*]} -w:2 -s -f:$out" /dev/null "$readlimit" "${ten_random[@]}"
workload "ten random files -v: vs read limit" "<=1.3" /dev/null \
  "${ten_random[*]} -v:1,2,3,4,5,6,7,8,9,10 -f:$out" /dev/null "$readlimit" "${ten_random[@]}"
ranges="$(printf '1..4611686018427387904,%.0s' 1 2 3 4 5 6 7 8 9 10)"
workload "ten random files -w:8 -v: ranges vs read limit" "<=1.3" /dev/null \
  "${ten_random[*]} -w:8 -v:${ranges%,} -f:$out" /dev/null "$readlimit" "${ten_random[@]}"
workload "ten random files -w:4 -r -a vs read limit" "<=1.3" /dev/null \
  "${ten_random[*]} -w:4 -r -a -f:$out" /dev/null "$readlimit" "${ten_random[@]}"
real_ranges="$(printf -- '0..1,%.0s' 1 2 3 4 5 6 7 8 9 10)"
workload "ten random files -w:8 -r -v: ranges vs read limit" "<=1.3" /dev/null \
  "${ten_random[*]} -w:8 -r -v:${real_ranges%,} -f:$out" /dev/null "$readlimit" "${ten_random[@]}"
workload "ten random files -p: mixed vs read limit" "<=1.3" /dev/null \
  "${ten_random[*]} -p:+-=!*+-=! -f:$out" /dev/null "$readlimit" "${ten_random[@]}"
workload "ten identical files vs read limit" "<=1.1" /dev/null \
  "${ten_same[*]} -f:$out" /dev/null "$readlimit" "${ten_same[@]}"
printf '\npeak resident memory of zev: %d KB (goal <= 4608 KB)\n' "$peak_all"

# The Windows programs take names beginning with / for switches: they run
# in the files' directory and name them relatively.
x86="$root/build/windows-x86/zev.exe" x64="$root/build/windows-x64/zev.exe"
row="windows: 32-bit vs x64, ten random -a -d"
if [ -f "$x86" ] && [ -f "$x64" ] && ! reason="$("$root/scripts/runs-32bit.sh")"; then
  printf '\n%s: no figure, the 32-bit program cannot run here: %s\n' "$row" "$reason"
elif [ -f "$x86" ] && [ -f "$x64" ] && [ -e "$root/build/wine32-dlls/dllpath/i386-windows/kernel32.dll" ]; then
  cd "$data"
  # Ten inputs of 16 MiB (4 MiB with --quick), the sizes the goal was set for.
  ten_names=()
  for file in "${ten_random[@]}"; do
    head -c "$(( ten_mib / 4 * 1048576 ))" "$file" > "$file.w"
    ten_names+=("$(basename "$file").w")
  done
  zev_command=("$root/scripts/wine-run.sh" "$x86")
  echo
  workload "$row" "<=1.3" /dev/null \
    "${ten_names[*]} -a -d -f:out" /dev/null "$root/scripts/wine-run.sh" "$x64" "${ten_names[@]}" -a -d -f:out
fi
