#!/usr/bin/env bash
# Two runs on the same RIO files, the second started while the first's
# post-processor is half way through a ROD report: the second waits, says so
# once, and each ends with the report it would write alone.
#   concurrent_runs.sh BUILD SCENARIO    (SCENARIO holds plan.tdc, a.rio, b.rio)
set -uo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -f "$work/hold"; wait; rm -rf "$work"' EXIT
cp "$2"/{plan.tdc,a.rio,b.rio} "$work"/
cd "$work" || exit 1
export VARNETDIR=$build/varnet MPS_DIR=$build LANG=C LC_ALL=C
merge() { "$build/mpsmerge" plan.tdc "$@"; }
fail=0

merge a.rio b.rio -RDD=alone_ab.rdd 2>/dev/null && merge b.rio a.rio -RDD=alone_ba.rdd 2>/dev/null ||
  { echo "the runs alone failed"; exit 1; }

touch hold
export MPS_STANDIN_HOLD=$work/hold MPS_STANDIN_LOG=$work/postpro.log
merge a.rio b.rio -RDD=first.rdd 2>first.stderr &
first=$!
until [ -s postpro.log ]; do sleep 0.05; done
# The files in the other order: taken by device and inode, they cannot deadlock.
merge b.rio a.rio -RDD=second.rdd 2>second.stderr &
second=$!
# Unguarded, the second run starts a post-processor of its own on the files
# the first is working on.
until grep -q RIOINUSED second.stderr || [ "$(grep -c mpspostpro postpro.log)" -gt 1 ] || ! kill -0 $second 2>/dev/null; do
  sleep 0.05
done
if [ "$(grep -c mpspostpro postpro.log)" -gt 1 ]; then echo "the second run did not wait"; fail=1; fi
rm hold
wait $first || { echo "first run: status $?"; fail=1; }
wait $second || { echo "second run: status $?"; fail=1; }

waiting='^Varnet-I-RIOINUSED,  The RIO file [ab]\.rio is in use by another run: waiting for it$'
[ "$(grep -c "$waiting" second.stderr)" = 1 ] || { echo "second run, not one waiting line:"; cat second.stderr; fail=1; }
if grep -q RIOINUSED first.stderr; then echo "the first run waited"; fail=1; fi
for pair in first:alone_ab second:alone_ba; do
  run=${pair%:*} alone=${pair#*:}
  # The header line holds the date of the run.
  diff <(tail -n +2 "$run.rdd") <(tail -n +2 "$alone.rdd") >/dev/null || { echo "$run.rdd differs from $alone.rdd"; fail=1; }
done
exit $fail
