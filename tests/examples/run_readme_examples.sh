#!/bin/sh
# Runs every example block of a README (a fence opened with "```sh example") as a bash script
# with -e and pipefail, from a copy of the installed examples folder, with the installed
# programs first on PATH. A line "# prints: TEXT" in a block asks that TEXT appear in what
# the block prints (standard output and error together). Slurm's task number is set to 0, as
# in the first task of an array job.
#   run_readme_examples.sh README.md BUILD_DIR
set -eu
readme=$1
build=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cmake --install "$build" --prefix "$scratch/prefix" >"$scratch/install.log" 2>&1 || {
  cat "$scratch/install.log"
  exit 1
}
examples=$scratch/prefix/share/tovimar/examples
[ -f "$examples/conditions.txt" ] || { echo "no examples installed in $examples"; exit 1; }
PATH=$scratch/prefix/bin:$PATH
SLURM_ARRAY_TASK_ID=0
export PATH SLURM_ARRAY_TASK_ID

mkdir "$scratch/blocks"
awk -v dir="$scratch/blocks" '
  /^```sh example/ { n++; file = sprintf("%s/%02d.sh", dir, n); inside = 1; next }
  inside && /^```/ { inside = 0; close(file); next }
  inside { print > file }' "$readme"
count=$(ls "$scratch/blocks" | wc -l)
[ "$count" -gt 0 ] || { echo "no example blocks in $readme"; exit 1; }

failed=0
for block in "$scratch/blocks"/*.sh; do
  work=$scratch/work-$(basename "$block" .sh)
  cp -r "$examples" "$work"
  status=0
  (cd "$work" && bash -e -o pipefail "$block") >"$block.out" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    echo "FAILED (exit status $status): example block $(basename "$block" .sh):"
    cat "$block"
    echo "--- it printed:"
    cat "$block.out"
    failed=1
    continue
  fi
  grep '^# prints: ' "$block" | sed 's/^# prints: //' | while IFS= read -r expected; do
    if ! grep -qF -- "$expected" "$block.out"; then
      echo "example block $(basename "$block" .sh) did not print: $expected"
      echo "--- it printed:"
      cat "$block.out"
      exit 1
    fi
  done || failed=1
done
echo "$count example blocks run"
exit $failed
