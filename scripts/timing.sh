# Sourced by .ci/run and bench/cold_build.sh: `timed NAME COMMAND...` runs COMMAND and records
# its wall time and its CPU time (user + sys of every process it started), so that a figure
# taken on a busy machine still says what the work cost; `print_timings` prints the table.
# The machine's other load shows in the wall time only.

TIMINGS=()
_timing_file=$(mktemp)
trap 'rm -f "$_timing_file"' EXIT

# User + sys seconds of this shell's finished children so far. `times` must run in this shell
# (a command substitution is a child of its own), so it writes to a file.
_children_cpu() {
  awk 'NR == 2 { split($1, u, /[ms]/); split($2, s, /[ms]/)
                print u[1] * 60 + u[2] + s[1] * 60 + s[2] }' "$_timing_file"
}

timed() {
  local name=$1
  shift
  local start cpu_start status=0
  start=$(date +%s.%N)
  times >"$_timing_file"
  cpu_start=$(_children_cpu)
  "$@" || status=$?
  times >"$_timing_file"
  TIMINGS+=("$(awk -v n="$name" -v w="$(date +%s.%N)" -v w0="$start" -v c="$(_children_cpu)" \
    -v c0="$cpu_start" -v st="$status" 'BEGIN {
      printf "%-34s %7.0f s wall %7.0f s CPU%s", n, w - w0, c - c0, (st ? "  FAILED" : "") }')")
  return $status
}

print_timings() {
  echo "== time of each step (CPU: user + sys, both cores)"
  printf '%s\n' "${TIMINGS[@]}"
}
