#!/usr/bin/env bash
# The RDD report replaces the previous one whole or not at all: a run killed
# while it writes (SIGTERM, SIGINT, SIGHUP), or stopped by the file size
# limit, leaves the previous report as it was and no temporary file; two
# runs writing one report at once leave one of their two complete reports.
#   interrupted_write.sh BUILD GENERATOR
set -uo pipefail
build=$(cd "$1" && pwd)
generator=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VARNETDIR="$build/varnet" MPS_DIR="$build" LANG=C LC_ALL=C
fail=0
complain() { echo "FAILED: $*"; fail=1; }

for seed in 1 2; do
  "$generator" $seed 4 60000 "$work/run$seed" >/dev/null || exit 1
done
# A run in the background, the process itself in $pid; background runs get
# SIGINT back, as a run started from a terminal has it.
start_merge() {  # RUN RDD_PATH
  (cd "$work/$1" && exec env --default-signal=INT "$build/mpsmerge" ./*.tdc ./*.rio "-RDD=$2" 2>/dev/null) &
  pid=$!
}
merge() { start_merge "$@"; wait $pid; }
same_report() { cmp -s <(sed 1d "$1") <(sed 1d "$2"); }
no_temporary() { ! ls "$work"/out.rdd.* >/dev/null 2>&1; }

merge run1 "$work/out.rdd" || exit 1
cp "$work/out.rdd" "$work/previous.rdd"

for signal in TERM INT HUP; do
  cp "$work/previous.rdd" "$work/out.rdd"
  start_merge run2 "$work/out.rdd"
  for ((tries = 0; tries < 20000; ++tries)); do
    if ls "$work"/out.rdd.* >/dev/null 2>&1; then break; fi
    sleep 0.005
  done
  kill -$signal $pid
  wait $pid
  status=$?
  [ $status -gt 128 ] || complain "SIG$signal while writing: status $status, not the signal's"
  cmp -s "$work/out.rdd" "$work/previous.rdd" || complain "SIG$signal while writing changed the previous report"
  no_temporary || complain "SIG$signal while writing left a temporary file"
done

# Each ROD report fits the limit, the RDD report does not.
cp "$work/previous.rdd" "$work/out.rdd"
limit_blocks=$(($(stat -c %s "$work/previous.rdd") / 1024 / 2))
(ulimit -f $limit_blocks && cd "$work/run2" && exec "$build/mpsmerge" ./*.tdc ./*.rio "-RDD=$work/out.rdd" 2>"$work/stderr")
status=$?
[ $status = 7 ] && grep -q '^Varnet-F-FICERROPN' "$work/stderr" ||
  complain "the file size limit gave status $status: $(tail -1 "$work/stderr")"
cmp -s "$work/out.rdd" "$work/previous.rdd" || complain "the file size limit changed the previous report"
no_temporary || complain "the file size limit left a temporary file"

merge run2 "$work/second.rdd" || exit 1
for round in 1 2 3; do
  start_merge run1 "$work/out.rdd"
  first=$pid
  start_merge run2 "$work/out.rdd"
  second=$pid
  wait $first && wait $second || complain "concurrent runs did not both end normally"
  same_report "$work/out.rdd" "$work/previous.rdd" || same_report "$work/out.rdd" "$work/second.rdd" ||
    complain "concurrent runs left neither complete report (round $round)"
  no_temporary || complain "concurrent runs left a temporary file"
done
exit $fail
