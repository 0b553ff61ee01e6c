#!/usr/bin/env bash
# Runs the real binary on one scenario folder and compares what it produced.
#   run_scenario.sh SCENARIO BUILD [PREFIX]
# With PREFIX, an installed tree with the stand-ins component, the installed
# binary runs instead of the build's, with VARNETDIR=PREFIX and
# MPS_DIR=PREFIX/lib/mpsmerge/standins.
#   args      the command-line arguments, one per line (run in a copy of the folder)
#   env       optional environment changes (see below)
#   stderr    expected standard error, line by line (the date never appears there)
#   status    expected exit status
#   *.expected  each file NAME.expected must equal the produced NAME, with the
#             header date masked as DATE and the run's directory as @WORK@
#   absent    names, one per line, that must not exist after the run
#   prepare   optional script run in the copy before the run, for what the
#             repository cannot hold (huge files, links to devices)
#   case      one line naming the bad input or fault, for docs/failures.md
# The scenario runs twice, reading reports on one thread and on four: what a
# run shows and writes must not depend on its threads.
set -uo pipefail
scenario=$1
build=$(cd "$2" && pwd)
binary=$build/mpsmerge varnetdir=$build/varnet mps_dir=$build
if [ $# -ge 3 ]; then
  prefix=$(cd "$3" && pwd)
  binary=$prefix/bin/mpsmerge varnetdir=$prefix mps_dir=$prefix/lib/mpsmerge/standins
fi
# Runs the scenario in a fresh copy with the threads given; 0 when all agrees.
run_with_threads() {
  local threads=$1
  work=$(mktemp -d)
  (cd "$work" && check_run "$threads")
  local fail=$?
  rm -rf "$work"
  return $fail
}

# The checks of one run, in the copy, which is the working directory.
check_run() {
  cp -rL "$scenario"/. "$work"/
  work_dir=$(pwd -P)
  if [ -f prepare ]; then bash prepare || { echo "prepare failed"; exit 1; }; fi

  mapfile -t arguments < <(grep -v '^$' args 2>/dev/null || true)
  # env lines: NAME=VALUE overrides, or -uNAME to unset; @BUILD@ is the build directory.
  (
    export VARNETDIR="$varnetdir" MPS_DIR="$mps_dir" LANG=C LC_ALL=C MPSMERGE_THREADS="$1"
    if [ -f env ]; then
      while IFS= read -r line; do
        case "$line" in
          -u*) unset "${line#-u}" ;;
          ?*) export "${line//@BUILD@/$build}" ;;
        esac
      done <env
    fi
    exec "$binary" "${arguments[@]}" 2>actual.stderr >actual.stdout
  )
  actual_status=$?

  fail=0
  expected_status=$(cat status 2>/dev/null || echo 0)
  if [ "$actual_status" != "$expected_status" ]; then
    echo "exit status $actual_status, expected $expected_status"; fail=1
  fi
  if [ -f stderr ]; then
    sed "s|@BUILD@|$build|g" stderr >expected.stderr
    diff -u expected.stderr actual.stderr || fail=1
  fi
  if [ -s actual.stdout ]; then echo "unexpected standard output:"; cat actual.stdout; fail=1; fi
  for expected in *.expected; do
    [ -e "$expected" ] || continue
    produced=${expected%.expected}
    if [ ! -f "$produced" ]; then echo "missing $produced"; fail=1; continue; fi
    sed -E -e '1s/"[A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9][0-9] [0-9:]{8} [0-9]{4}"/"DATE"/' \
      -e "s|$work_dir|@WORK@|g" "$produced" >masked
    if ! diff -u "$expected" masked; then fail=1; fi
  done
  if [ -f absent ]; then
    while IFS= read -r name; do
      if [ -n "$name" ] && [ -e "$name" ]; then echo "$name exists after the run"; fail=1; fi
    done <absent
  fi
  return $fail
}

status=0
for threads in 1 4; do
  run_with_threads "$threads" || { echo "(with MPSMERGE_THREADS=$threads)"; status=1; }
done
exit $status
