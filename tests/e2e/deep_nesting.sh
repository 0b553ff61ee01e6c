#!/usr/bin/env bash
# Two testers whose reports nest one construct DEPTH levels deep, merged by
# the real binary under the default 8 MiB stack: the run must end normally
# and write the whole report, as many lines as the depth makes.
#   deep_nesting.sh BUILD KIND DEPTH [-TIME]
# KIND: XE, DT or DS blocks nested in a DS block, or DB blocks around one
# RD record each (the time variant keeps only those).
set -uo pipefail
build=$(cd "$1" && pwd)
kind=$2
depth=$3
variant=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
ulimit -s 8192

write_trace() {  # NAME TESTER DEPTH
  python3 - "$@" <<'PY'
import sys
name, tester, depth, kind = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
group = 'XI "200" "1" "40"\nYI "0" "41"\nDS "d" "%s" "1" "TI-01" "250" "1" "40"\n' % tester
opening, closing = {
    'XE': ('XE "300" "1" "2"\n', 'FE "0"\n'),
    'DT': ('DT "300" "1" "2"\n', 'YT "0"\n'),
    'DS': (group, 'FS "d" "3300" "0" "1"\n'),
    'DB': ('DB "s" "c"\nRD "r" "%s" "0" "300" "300"\n' % tester, 'BF "s" "c"\n'),
}[kind]
with open(name, 'w') as out:
    out.write('MIRVA ProbeSuite "v2.6a" "deep" "RIO file" "Tue Mar 12 09:00:00 2024"\n')
    out.write('RE "deep" "c"\nSC "%s" "t"\nSY "lab" "100" "0" "1000" "1" "ms"\nIE "0" "x" "v" "1" "5"\n' % tester)
    out.write(group if kind != 'DB' else '')
    out.write(opening * depth + closing * depth)
    out.write('FS "d" "3300" "0" "1"\n' if kind != 'DB' else '')
    out.write('DB "summary" "c"\nBC "v" "p" "2"\nBF "summary" "c"\n')
PY
}

run() {  # DEPTH: prints the RDD report's line count
  write_trace a.rio a "$1" "$kind" && write_trace b.rio b "$1" "$kind" || exit 1
  VARNETDIR="$build/varnet" MPS_DIR="$build" LANG=C LC_ALL=C \
    "$build/mpsmerge" deep.tdc a.rio b.rio -RDD=deep.rdd $variant 2>stderr >/dev/null
  local status=$?
  if [ $status != 0 ] || [ "$(tail -1 stderr)" != "Varnet-I-ENDNOENWR,  End of execution without errors or warnings" ]; then
    cat stderr
    echo "depth $1: exit status $status, expected a normal end" >&2
    exit 1
  fi
  wc -l <deep.rdd
}

printf '%s\n' 'MIRVA ProbeSuite "v2.6a" "deep" "TDC file" "Tue Mar 12 09:00:00 2024"' \
  'CF "deep.tdc" "plans" "/plans" "1" "1"' >deep.tdc
one=$(run 1)
two=$(run 2)
lines=$(run "$depth")
expected=$((one + (depth - 1) * (two - one)))
if [ "$lines" != "$expected" ]; then
  echo "depth $depth: $lines lines in the report, expected $expected"
  exit 1
fi
