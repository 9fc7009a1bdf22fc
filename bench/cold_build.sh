#!/usr/bin/env bash
# The cost of a fresh clone's first builds: an empty build folder and no ccache, configured as
# `make run` configures it. Prints the wall and CPU time of the configure step, of what
# `make run` builds (the window and the simulator) and of the rest `make test` builds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/timing.sh"
folder=$(mktemp -d)
trap 'rm -rf "$folder" "$_timing_file"' EXIT
export CCACHE_DISABLE=1
jobs=${JOBS:-$(nproc)}

echo "cold build in $folder, $jobs jobs, ccache off ..."
timed "configure" cmake -S "$root" -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld >/dev/null
timed "make run's build" cmake --build "$folder" -j "$jobs" --target skyrelay skyrelay-acu-sim \
  >/dev/null
timed "the rest of make test's build" cmake --build "$folder" -j "$jobs" >/dev/null
echo "== cold build ($(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg))"
printf '%s\n' "${TIMINGS[@]}"
