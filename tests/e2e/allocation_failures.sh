#!/usr/bin/env bash
# Makes the k-th allocation of a small run fail, for every k from the first
# allocation to one past the last (tests/support/fail_allocation.cpp). The
# run is a scenario's: a TDC file and two small RIO files, the post-processor
# run on each, the reports read, merged and written. A run whose allocation failed ends
# with status 7 and the allocator's message (inside the command analysis, the
# analysis' own), leaves no temporary report, and no report unless the
# failure came once the report was complete; under the sanitizers nothing
# leaks. Else the failure was absorbed on the way (the C library gives a
# stream without a buffer, say), and the run ends exactly as without failure,
# as does the run past the last allocation. In place (the report's folder
# not writable, so the new report is held in memory and written over the
# previous one), a failure leaves the previous report whole.
#   allocation_failures.sh BUILD SHIM SCENARIO [-TIME | --in-place]
set -uo pipefail
build=$(cd "$1" && pwd)
shim=$(realpath "$2")
scenario=$(realpath "$3")
variant=${4:-}
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
mkdir "$work/run"
cp "$scenario"/*.tdc "$scenario"/*.rio "$work/run/"
cd "$work/run"
inputs=(./*.tdc ./*.rio)
export VARNETDIR="$build/varnet" MPS_DIR="$build" LANG=C LC_ALL=C
# The shim comes before the sanitizer's runtime; leaks are looked for at the exit.
export ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=1:allocator_may_return_null=1

report=out.rdd as_user=()
if [ "$variant" = --in-place ]; then
  variant=
  report=$work/locked/out.rdd
  mkdir "$work/locked"
  echo previous >"$report"
  chmod 666 "$report"
  # Folder permissions do not hold for root: the runs are a plain user's.
  [ "$(id -u)" = 0 ] && as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  chmod 755 "$work"
  chmod 777 "$work/run"
  chmod 555 "$work/locked"
fi

run_failing() {  # K: the status; standard error in stderr, the shim's log in log
  rm -f ./*.rod out.* log
  "${as_user[@]}" env FAIL_ALLOCATION="$1" FAIL_ALLOCATION_LOG=log LD_PRELOAD="$shim" \
    "$build/mpsmerge" "${inputs[@]}" $variant "-RDD=$report" 2>stderr >/dev/null
}
# The report without its header line, which holds the date.
report_body() { sed 1d "$1"; }

run_failing 0
status=$?
expected_status=$status
count=$(sed -n 's/^count //p' log)
if { [ "$status" != 0 ] && [ "$status" != 3 ]; } || [ -z "$count" ]; then
  echo "the run without failure ends with status $status"; cat stderr; exit 1
fi
report_body "$report" >"$work/expected.rdd"
cp stderr "$work/expected.stderr"
expected_end() { [ "$status" = "$expected_status" ] && cmp -s stderr "$work/expected.stderr" && report_body "$report" | cmp -s - "$work/expected.rdd"; }
# In place, each run starts from the previous report again.
restore() { if [ "$report" != out.rdd ]; then echo previous >"$report"; fi; }

malloc_text=$'FATAL ERROR on malloc,\n Please contact your administrative.'
analysis_text='MIRVA ProbeSuite Command analysis: No memory leftVarnet-F-INITPBRLM,  Initialization problem on command line'
fail=0 absorbed=0
complain() { echo "allocation $k ($failed): $*"; tail -4 stderr; fail=1; }
for ((k = 1; k <= count + 1; ++k)); do
  restore
  run_failing "$k"
  status=$?
  failed=$(sed -n 's/^failed [0-9]* //p' log)
  if grep -q 'Sanitizer' stderr; then complain "sanitizer report"; continue; fi
  if compgen -G 'mpsmerge.*' >/dev/null; then complain "a temporary report was left"; fi
  if [ "$status" != 7 ] || [ -z "$failed" ]; then
    if ! expected_end; then complain "status $status and another end than without failure"; fi
    [ -n "$failed" ] && absorbed=$((absorbed + 1))
    continue
  fi
  if [ "$(tail -2 stderr)" != "$malloc_text" ] && ! grep -qF "$analysis_text" stderr; then
    complain "status 7 without the allocator's message"
  fi
  if [ -e "$report" ] && [ "$(cat "$report")" != previous ] && ! report_body "$report" | cmp -s - "$work/expected.rdd"; then
    complain "a report cut short was left"
  fi
done
echo "failed each of the $count allocations of the run in turn; $absorbed failures were absorbed on the way"
exit $fail
