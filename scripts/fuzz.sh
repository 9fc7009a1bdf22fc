#!/usr/bin/env bash
# Runs every fuzz target of a libFuzzer build for a while and prints, per target, the
# executions, the coverage and whether anything was found. New inputs go to
# <build>/corpus/<target>; the seeds in fuzz/corpus/ are only read. A finding is written to
# <build>/findings/ and makes the script fail; copy it into fuzz/corpus/<target>/ (as crash-*)
# once fixed, so the replay in `make test` keeps it fixed.
#   usage: scripts/fuzz.sh BUILD_DIR SECONDS [TARGET...]
set -uo pipefail

build=$1
seconds=$2
shift 2
root=$(cd "$(dirname "$0")/.." && pwd)

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for seeds in "$root"/fuzz/corpus/*/; do targets+=("$(basename "$seeds")"); done
fi

# A small quarantine and short allocation stacks keep AddressSanitizer's cost per run down;
# neither weakens what it detects.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=8:malloc_context_size=4}

failed=0
printf '%-14s %12s %9s %8s %6s  %s\n' target executions exec/s cov ft result
for name in "${targets[@]}"; do
  binary="$build/fuzz/fuzz_$name"
  if [ ! -x "$binary" ]; then
    echo "$name: no $binary" >&2
    failed=1
    continue
  fi
  mkdir -p "$build/corpus/$name" "$build/findings"
  log="$build/fuzz_$name.log"
  "$binary" -max_total_time="$seconds" -max_len=1024 -timeout=60 -rss_limit_mb=1024 -print_final_stats=1 \
    -artifact_prefix="$build/findings/$name-" "$build/corpus/$name" "$root/fuzz/corpus/$name" \
    >"$log" 2>&1
  status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  result="no finding"
  if [ $status -ne 0 ]; then
    result="FINDING (exit $status), see $log and $build/findings/"
    failed=1
  fi
  printf '%-14s %12s %9s %8s %6s  %s\n' "$name" "${runs:-?}" "${speed:-?}" "${cov:-?}" "${ft:-?}" "$result"
done
exit $failed
