#!/usr/bin/env bash
# Runs a generated run under address-space limits from the least the
# program starts with to what the run needs: every run ends with status 0
# or 3 and the whole report, or with status 7 and the allocator's message
# (or the command analysis' own, or the failed post-processor's), never with
# a crash or a hang.
#   memory_sweep.sh BUILD GENERATOR [-TIME]
set -uo pipefail
build=$(cd "$1" && pwd)
generator=$(realpath "$2")
variant=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$generator" 7 3 4000 run >/dev/null || exit 1
cd run
export VARNETDIR="$build/varnet" MPS_DIR="$build" LANG=C LC_ALL=C
files=(./*.tdc ./*.rio)

run_limited() {  # LIMIT_KB ARGS...: the status; standard error in stderr
  local limit=$1
  shift
  (ulimit -v "$limit" && exec timeout 120 "$build/mpsmerge" "$@" 2>stderr >/dev/null)
}

# The least limit at which the test passes, between low and high (KB).
least_limit() {  # TEST LOW HIGH
  local low=$2 high=$3
  while [ $((high - low)) -gt 256 ]; do
    local middle=$(((low + high) / 2))
    if $1 "$middle"; then high=$middle; else low=$middle; fi
  done
  echo "$high"
}
starts() { run_limited "$1" -NOSUCHOPTION; [ $? = 7 ]; }
completes() { run_limited "$1" "${files[@]}" $variant -RDD=full.rdd; [ $? = 0 ]; }

completes 4000000 || { cat stderr; echo "the run does not end normally without a tight limit"; exit 1; }
sed 1d full.rdd >expected.rdd
start=$(least_limit starts 1024 4000000)
need=$(least_limit completes "$start" 4000000)
malloc_text=$'FATAL ERROR on malloc,\n Please contact your administrative.'
steps=24
fail=0
for ((i = 0; i <= steps; ++i)); do
  limit=$((start + (need - start) * i / steps))
  rm -f swept.rdd
  run_limited "$limit" "${files[@]}" $variant -RDD=swept.rdd
  status=$?
  case $status in
    0 | 3)
      if ! sed 1d swept.rdd | cmp -s - expected.rdd; then echo "limit $limit KB: status $status with another report"; fail=1; fi ;;
    7)
      # The post-processor runs under the same limit: its failure is told as such.
      if [ "$(tail -2 stderr)" != "$malloc_text" ] &&
         ! grep -q '^MIRVA ProbeSuite Command analysis : No memory left' stderr &&
         [ "$(tail -1 stderr)" != "Varnet-F-POSTFAILD,  The generation of some ROD report has failed. No RDD report generated" ]; then
        echo "limit $limit KB: status 7 without the allocator's message:"; tail -3 stderr; fail=1
      fi
      if [ -e swept.rdd ]; then echo "limit $limit KB: a report was left by a failed run"; fail=1; fi ;;
    *)
      echo "limit $limit KB: status $status"; tail -3 stderr; fail=1 ;;
  esac
  if ls mpsmerge.* >/dev/null 2>&1; then echo "limit $limit KB: a temporary report was left"; fail=1; fi
done
echo "swept $((steps + 1)) limits from $start KB to $need KB"
exit $fail
