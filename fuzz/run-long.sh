#!/usr/bin/env bash
# Runs the fuzz targets for longer than ./test.sh does and prints, per target,
# the inputs executed, the crashes (any sanitizer report, leak, time-out or
# broken property; libFuzzer stops at the first) and the coverage reached
# (libFuzzer's cov: code edges, ft: features).
#
#   fuzz/run-long.sh [-t SECONDS] [-j JOBS] [--no-build] [TARGET...]
#
# -t   seconds per target (default 600, or $FUZZ_SECONDS)
# -j   targets run at the same time (default 1; each takes one core)
# TARGET  fuzz_profile_file, fuzz_sim_dot, ... (default: all)
#
# The corpus each target grows lives in build-fuzz/long/TARGET/corpus and is
# kept between runs, so a second run goes on where the first stopped; inputs
# that crash are kept in build-fuzz/long/TARGET/artifacts. The committed seed
# corpus (fuzz/corpus/TARGET) is read, never written.
set -euo pipefail
cd "$(dirname "$0")/.."
# System libraries that keep memory for the life of the process (fuzz/lsan.supp).
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/fuzz/lsan.supp}

seconds=${FUZZ_SECONDS:-600}
jobs=1
build=1
targets=()
while [ $# -gt 0 ]; do
  case $1 in
    -t) seconds=$2; shift 2 ;;
    -j) jobs=$2; shift 2 ;;
    --no-build) build=0; shift ;;
    -h|--help) sed -n '2,17p' "$0"; exit 0 ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_profile_file fuzz_bmp_conversion fuzz_picture_import fuzz_printer_reply fuzz_print_selection fuzz_logo_store
           fuzz_fleet_files fuzz_sim_mono fuzz_sim_two_color fuzz_sim_dot)
fi

if [ "$build" -eq 1 ]; then
  scripts/install-deps.sh --clang
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz
fi
bin=build-fuzz/bin
root=build-fuzz/long
# The model file and the store are flushed to disk on every write: memory is faster.
[ -d /dev/shm ] && export TMPDIR=/dev/shm

run_one() {
  local name=$1 dir=$root/$1
  mkdir -p "$dir/corpus" "$dir/artifacts"
  local options
  options=$(cat "$bin/$name.options" 2>/dev/null || true)
  local start status=0
  start=$(date +%s)
  # shellcheck disable=SC2086  # the options file holds separate words
  "$bin/$name" -max_total_time="$seconds" -timeout=60 -print_final_stats=1 \
    -artifact_prefix="$dir/artifacts/" $options "$dir/corpus" "fuzz/corpus/$name" >"$dir/log" 2>&1 || status=$?
  echo "$status $(( $(date +%s) - start ))" >"$dir/result"
}

running=0
for name in "${targets[@]}"; do
  [ -x "$bin/$name" ] || { echo "no fuzz target $bin/$name" >&2; exit 2; }
  echo "running $name for $seconds s (log: $root/$name/log)"
  run_one "$name" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n
    running=$((running - 1))
  fi
done
wait

failed=0
printf '\n%-22s %8s %12s %9s %8s %7s %8s %8s\n' target seconds executions exec/s crashes cov ft corpus
for name in "${targets[@]}"; do
  dir=$root/$name
  read -r status took <"$dir/result"
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log" | tail -n 1)
  last=$(grep -E '^#[0-9]+.* cov: ' "$dir/log" | tail -n 1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  # libFuzzer stops at the first crash, so a run has none or one.
  crashes=0
  if [ "$status" -ne 0 ]; then
    crashes=1
    failed=1
  fi
  [ -n "$execs" ] || execs=$(sed -n 's/^#\([0-9]*\).*/\1/p' <<<"$last")
  rate=$(( ${execs:-0} / (took > 0 ? took : 1) ))
  printf '%-22s %8s %12s %9s %8s %7s %8s %8s\n' "$name" "$took" "${execs:-?}" "$rate" "$crashes" \
    "${cov:-?}" "${ft:-?}" "$(find "$dir/corpus" -type f | wc -l)"
done
if [ "$failed" -ne 0 ]; then
  echo
  for name in "${targets[@]}"; do
    read -r status _ <"$root/$name/result"
    [ "$status" -eq 0 ] && continue
    echo "== $name: exit status $status"
    grep -E '^(SUMMARY|==[0-9]+==ERROR|.*property broken|artifact_prefix|Test unit written)' "$root/$name/log" | head -n 8
  done
  exit 1
fi
