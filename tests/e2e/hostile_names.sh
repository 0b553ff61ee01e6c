#!/usr/bin/env bash
# File names as bytes, through the real binary and the stand-ins: bytes that
# are not UTF-8 reach every use unchanged (the programs' argument vectors,
# the source record, the message lines), a double quote is doubled in the
# source record, a carriage return or a line feed is shown as \r or \n in a
# message line and other control characters escaped, and a line feed in a
# name or in the working directory, or a working directory too long for the
# source record, is refused before anything runs. A run started without its standard descriptors gives its
# programs /dev/null for them.
#   hostile_names.sh BUILD SOURCE_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
examples=$(cd "$2/examples" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VARNETDIR="$build/varnet" MPS_DIR="$build" LANG=C LC_ALL=C MPS_STANDIN_LOG="$work/programs.log"
fail=0
check() {  # DESCRIPTION, then a command that must succeed
  local description=$1
  shift
  if ! "$@"; then echo "FAILED: $description"; fail=1; fi
}

# A fresh directory holding the example's TDC file and one trace under the given name.
fresh() {  # DIRECTORY RIO_NAME
  rm -rf "$1" && mkdir -p "$1" && cp "$examples/lift_acceptance.tdc" "$1"/ && cp "$examples/cabin.rio" "$1/$2"
  : >"$MPS_STANDIN_LOG"
}

# Bytes that are not UTF-8, in a RIO name and in the RDD report's name.
rio=$'cab\xffin.rio'
rdd=$'o\xffut.rdd'
fresh "$work/bytes" "$rio"
(cd "$work/bytes" && "$build/mpsmerge" lift_acceptance.tdc "$rio" "-RDD=$rdd" 2>stderr)
check "non-UTF-8 names end normally" [ $? = 0 ]
cd "$work/bytes"
check "the post-processor gets the RIO name as given" \
  grep -qF "$(printf '%s\t%s\t%s' "$build/mpspostpro" "$rio" $'cab\xffin.ro')" "$MPS_STANDIN_LOG"
check "the ROD report is named after the RIO file" [ -f $'cab\xffin.rod' ]
check "the RDD report has the given name" [ -f "$rdd" ]
check "the bridge gets the RDD name as given" \
  grep -qF "$(printf '%s\t-path\t.\t-name\t%s\t-nobanner' "$build/mpsuml" "$rdd")" "$MPS_STANDIN_LOG"
check "the source record names the ROD report" grep -qF $'CF "cab\xffin.rod" "./"' "$rdd"
check "the message line names the RIO file" grep -qxF "Varnet-I-MERGEPOST,  Generating report from $rio file" stderr

# Two names that differ only in such bytes are two files.
fresh "$work/two" $'a\xfe.rio'
cp "$examples/landing.rio" $'../two/a\xff.rio'
(cd "$work/two" && "$build/mpsmerge" lift_acceptance.tdc $'a\xfe.rio' $'a\xff.rio' 2>stderr)
check "two names differing in non-UTF-8 bytes end normally" [ $? = 3 ]
check "each has its ROD report" [ -f "$work/two/"$'a\xfe.rod' ] && [ -f "$work/two/"$'a\xff.rod' ]

# A double quote in the RIO name and in the working directory.
quoted_dir="$work/q\"d"
fresh "$quoted_dir" 'ca"b.rio'
(cd "$quoted_dir" && "$build/mpsmerge" lift_acceptance.tdc 'ca"b.rio' 2>stderr)
check "quoted names end normally" [ $? = 0 ]
check "the source record doubles the quotes" \
  grep -qF "CF \"ca\"\"b.rod\" \"./\" \"${quoted_dir//\"/\"\"}/.\"" "$quoted_dir/mpsrdd.rdd"

# Line feeds are refused before any program runs.
refused() {  # DIRECTORY EXPECTED_LAST_LINE ARGUMENTS...
  local directory=$1 line=$2
  shift 2
  (cd "$directory" && "$build/mpsmerge" "$@" 2>stderr)
  local status=$?
  [ $status = 7 ] && [ "$(tail -1 "$directory/stderr")" = "$line" ] && [ ! -s "$MPS_STANDIN_LOG" ] &&
    ! ls "$directory"/*.rod >/dev/null 2>&1
}
fresh "$work/feed" $'ca\nbin.rio'
check "a line feed in a RIO name is refused" refused "$work/feed" \
  'Varnet-F-NAMNEWLIN,  The name ca\nbin.rio holds a line feed' lift_acceptance.tdc $'ca\nbin.rio'
fresh "$work/feed" cabin.rio
check "a line feed in the RDD name is refused" refused "$work/feed" \
  'Varnet-F-NAMNEWLIN,  The name o\nut.rdd holds a line feed' lift_acceptance.tdc cabin.rio $'-RDD=o\nut.rdd'
fresh "$work/fe"$'\n'"ed" cabin.rio
check "a line feed in the working directory is refused" refused "$work/fe"$'\n'"ed" \
  "Varnet-F-NAMNEWLIN,  The name $work/fe\\ned holds a line feed" lift_acceptance.tdc cabin.rio

# A carriage return travels in the name and shows as \r in the message line;
# a line feed in VARNETDIR shows as \n.
fresh "$work/return" $'ca\rbin.rio'
(cd "$work/return" && "$build/mpsmerge" lift_acceptance.tdc $'ca\rbin.rio' 2>stderr)
check "a carriage return in a name ends normally" [ $? = 0 ]
check "the message line shows the carriage return as \\r" \
  grep -qxF 'Varnet-I-MERGEPOST,  Generating report from ca\rbin.rio file' "$work/return/stderr"
(cd "$work/return" && VARNETDIR=$'/no\nwhere' "$build/mpsmerge" lift_acceptance.tdc 2>stderr)
check "a line feed in VARNETDIR ends with status 255" [ $? = 255 ]
check "a line feed in VARNETDIR shows as \\n on one line" \
  [ "$(cat "$work/return/stderr")" = "Fatal Error: directory doesn't exist '/no\nwhere/lib/locale'" ]

# Terminal control characters reach the programs and the source record as
# they are; the message line shows them escaped, and so does the VARNETDIR line.
rio=$'x\e[1A\e[2K\b\a\x7f\xc2\x9by.rio'
fresh "$work/controls" "$rio"
(cd "$work/controls" && "$build/mpsmerge" lift_acceptance.tdc "$rio" 2>stderr)
check "control characters in a name end normally" [ $? = 0 ]
check "the post-processor gets the name with its control characters" \
  grep -qF "$(printf '%s\t%s' "$build/mpspostpro" "$rio")" "$MPS_STANDIN_LOG"
check "the source record names the ROD report with its control characters" \
  grep -qF "CF \"${rio%.rio}.rod\"" "$work/controls/mpsrdd.rdd"
check "the message line shows the control characters escaped" grep -qxF \
  'Varnet-I-MERGEPOST,  Generating report from x\x1b[1A\x1b[2K\x08\x07\x7f\u009by.rio file' "$work/controls/stderr"
(cd "$work/controls" && VARNETDIR=$'/no\ewhere' "$build/mpsmerge" lift_acceptance.tdc 2>stderr)
check "an escape in VARNETDIR shows escaped" \
  [ "$(cat "$work/controls/stderr")" = "Fatal Error: directory doesn't exist '/no\x1bwhere/lib/locale'" ]

# A working directory of more than 4999 bytes, reached step by step (a path
# that long cannot be named at once).
(
  cd "$work" && mkdir deep && cd deep
  for step in $(seq 25); do
    mkdir "$(printf 'd%.0s' $(seq 200))" && cd "$(printf 'd%.0s' $(seq 200))"
  done
  cp "$examples/lift_acceptance.tdc" "$examples/cabin.rio" .
  : >"$MPS_STANDIN_LOG"
  "$build/mpsmerge" lift_acceptance.tdc cabin.rio 2>stderr
  status=$?
  [ $status = 7 ] && [ "$(tail -1 stderr)" = \
    "Varnet-F-NAMTOOLNG,  The name $(pwd) makes a path or command longer than 4999 characters" ] &&
    [ ! -s "$MPS_STANDIN_LOG" ] && [ ! -e cabin.rod ]
)
check "a working directory too long for the source record is refused before any program runs" [ $? = 0 ]

# Without descriptors 0 to 2, the run and its programs have them on /dev/null.
fresh "$work/closed" cabin.rio
mkdir "$work/closed/bin"
cat >"$work/closed/bin/mpspostpro" <<PROGRAM
#!/bin/sh
echo \$(readlink /proc/\$\$/fd/0 /proc/\$\$/fd/1 /proc/\$\$/fd/2) >"$work/closed/descriptors"
exec "$build/mpspostpro" "\$@"
PROGRAM
cp "$build/mpsuml" "$work/closed/bin/"
chmod +x "$work/closed/bin/mpspostpro"
(cd "$work/closed" && MPS_DIR="$work/closed/bin" "$build/mpsmerge" lift_acceptance.tdc cabin.rio <&- >&- 2>&-)
check "a run without standard descriptors ends normally" [ $? = 0 ]
check "its post-processor has /dev/null as its standard descriptors" \
  [ "$(cat "$work/closed/descriptors")" = "/dev/null /dev/null /dev/null" ]
exit $fail
