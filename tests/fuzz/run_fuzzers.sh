#!/usr/bin/env bash
# Runs every fuzz target for a bounded time on a copy of its seed corpus (the checked-in
# corpus stays as it is; new inputs go to the copy). A finding stops with a non-zero status
# and leaves the input that caused it in the work directory.
#
#   tests/fuzz/run_fuzzers.sh BUILD_DIR [SECONDS_PER_TARGET] [WORK_DIR]
set -euo pipefail

build_dir=${1:?usage: run_fuzzers.sh BUILD_DIR [SECONDS] [WORK_DIR]}
seconds=${2:-20}
source_dir=$(cd "$(dirname "$0")" && pwd)
work_dir=${3:-$build_dir/fuzz-work}

targets=$(sed -n 's/^set(TOVIMAR_FUZZ_TARGETS \(.*\))$/\1/p' "$source_dir/fuzz_targets.cmake")
status=0
for target in $targets; do
  exe=$build_dir/tests/fuzz/fuzz_$target
  corpus=$work_dir/corpus/$target
  artifacts=$work_dir/findings/$target/
  mkdir -p "$corpus" "$artifacts"
  cp -R "$source_dir/corpus/$target/." "$corpus/"
  # libFuzzer's timeout counts wall time: the run target's slowest inputs march whole lines
  # and take many seconds on a busy machine, so it has a wider one.
  timeout=10
  if [ "$target" = run ]; then timeout=60; fi
  echo "== fuzz_$target: ${seconds} s"
  if ! "$exe" -max_total_time="$seconds" -timeout="$timeout" -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$artifacts" "$corpus" > "$work_dir/$target.log" 2>&1; then
    echo "fuzz_$target found a problem; see $work_dir/$target.log and $artifacts"
    status=1
  fi
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added)' "$work_dir/$target.log" || true
done
exit $status
