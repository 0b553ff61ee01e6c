#!/usr/bin/env bash
# The RDD report replaces the previous one whole or not at all: a run killed
# while it writes (SIGTERM, SIGINT, SIGHUP), or stopped by the file size
# limit or a full disk, leaves the previous report as it was and no temporary
# file; two runs writing one report at once leave one of their two complete
# reports. So on each road: through a temporary file beside the report (also
# for a name of 255 bytes, which leaves no room for a suffix), and in place
# where the report's folder may not be written in (a run as another user
# than root), where the report ends as it was or whole. A report the run may
# not write to is refused before any program runs.
#   interrupted_write.sh BUILD GENERATOR
set -uo pipefail
# A full disk is a small file system of our own, in mounts no one else sees.
if [ "$(id -u)" = 0 ] && [ -z "${MPS_OWN_MOUNTS:-}" ] && unshare -m true 2>/dev/null; then
  exec env MPS_OWN_MOUNTS=1 unshare -m --propagation private bash "$0" "$@"
fi
build=$(cd "$1" && pwd)
generator=$(realpath "$2")
work=$(mktemp -d)
mounts=()
cleanup() {
  for mount in "${mounts[@]}"; do umount "$mount"; done
  chmod -R u+w "$work"
  rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"
export VARNETDIR="$build/varnet" MPS_DIR="$build" LANG=C LC_ALL=C
fail=0
complain() { echo "FAILED: $*"; fail=1; }

# The command prefix that runs as a user the permissions hold for (root is
# not one), and the files that user then needs to own.
if [ "$(id -u)" = 0 ]; then
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  give_to_user() { chown -R 65534:65534 "$@"; }
else
  as_user=()
  give_to_user() { :; }
fi
# A folder of SIZE KB that fills up; false when none can be made here.
small_disk() {  # FOLDER SIZE
  mkdir -p "$1"
  if [ -n "${MPS_OWN_MOUNTS:-}" ] && mount -t tmpfs -o "size=$2k,mode=755" tmpfs "$1"; then
    mounts+=("$1")
    return 0
  fi
  echo "skipped: a full disk in $1 (no file system of our own can be mounted here)"
  return 1
}

for seed in 1 2; do
  "$generator" $seed 4 60000 "$work/run$seed" >/dev/null || exit 1
done
# A run in the background, the process itself in $pid; background runs get
# SIGINT back, as a run started from a terminal has it.
start_merge() {  # RUN RDD_PATH [COMMAND PREFIX...]
  local run=$1 rdd=$2
  shift 2
  (cd "$work/$run" && exec "$@" env --default-signal=INT "$build/mpsmerge" ./*.tdc ./*.rio "-RDD=$rdd" 2>/dev/null) &
  pid=$!
}
merge() { start_merge "$@"; wait $pid; }
same_report() { cmp -s <(sed 1d "$1") <(sed 1d "$2"); }
no_temporary() { ! compgen -G "$1/mpsmerge.*" >/dev/null; }
# Waits until the run has begun to change what FILE tells, or has ended.
wait_for() {  # TEST FILE
  for ((tries = 0; tries < 20000; ++tries)); do
    if "$1" "$2" || ! kill -0 $pid 2>/dev/null; then return; fi
    sleep 0.005
  done
}
has_temporary() { ! no_temporary "$(dirname "$1")"; }
size_changed() { [ "$(stat -c %s "$1")" != "$previous_size" ]; }
# A run stopped by the file size limit or by a full disk: status 7, the
# file opening message, the previous report as it was, no temporary file.
stopped() {  # WHAT RUN RDD_PATH PREVIOUS LIMIT_BLOCKS [COMMAND PREFIX...]
  local what=$1 run=$2 rdd=$3 previous=$4 limit=$5
  shift 5
  (ulimit -f "$limit" && cd "$work/$run" && exec "$@" "$build/mpsmerge" ./*.tdc ./*.rio "-RDD=$rdd" 2>"$work/stderr")
  local status=$?
  [ $status = 7 ] && grep -q '^Varnet-F-FICERROPN' "$work/stderr" ||
    complain "$what gave status $status: $(tail -1 "$work/stderr")"
  cmp -s "$rdd" "$previous" || complain "$what changed the previous report"
  no_temporary "$(dirname "$rdd")" || complain "$what left a temporary file"
}

merge run1 "$work/out.rdd" || exit 1
cp "$work/out.rdd" "$work/previous.rdd"
merge run2 "$work/second.rdd" || exit 1

# Through a temporary file: a signal, the file size limit.
for signal in TERM INT HUP; do
  cp "$work/previous.rdd" "$work/out.rdd"
  start_merge run2 "$work/out.rdd"
  wait_for has_temporary "$work/out.rdd"
  kill -$signal $pid
  wait $pid
  status=$?
  [ $status -gt 128 ] || complain "SIG$signal while writing: status $status, not the signal's"
  cmp -s "$work/out.rdd" "$work/previous.rdd" || complain "SIG$signal while writing changed the previous report"
  no_temporary "$work" || complain "SIG$signal while writing left a temporary file"
done
# Each ROD report fits the limit, the RDD report does not.
cp "$work/previous.rdd" "$work/out.rdd"
stopped "the file size limit" run2 "$work/out.rdd" "$work/previous.rdd" $(($(stat -c %s "$work/previous.rdd") / 2048))

# A name of 255 bytes still has its temporary file: the file size limit, a
# full disk.
long="$(printf 'r%.0s' $(seq 251)).rdd"
cp "$work/previous.rdd" "$work/$long"
stopped "the file size limit on a long name" run2 "$work/$long" "$work/previous.rdd" \
  $(($(stat -c %s "$work/previous.rdd") / 2048))
if small_disk "$work/full" $(($(stat -c %s "$work/previous.rdd") / 1024 + 1024)); then
  cp "$work/previous.rdd" "$work/full/$long"
  stopped "a full disk under a long name" run2 "$work/full/$long" "$work/previous.rdd" unlimited
fi

# In place, in a folder the user may not write in: a signal while the
# report is overwritten, the file size limit, a full disk. The previous
# report is smaller than the new one, so that the file must grow.
head -c 1000000 "$work/previous.rdd" >"$work/small.rdd"
previous_size=$(stat -c %s "$work/small.rdd")
cp -r "$work/run2" "$work/user_run"
mkdir "$work/open"
give_to_user "$work/user_run" "$work/open"
merge user_run "$work/open/new.rdd" "${as_user[@]}" || exit 1
mkdir "$work/locked"
cp "$work/small.rdd" "$work/locked/out.rdd"
give_to_user "$work/locked/out.rdd"
chmod 555 "$work/locked"
start_merge user_run "$work/locked/out.rdd" "${as_user[@]}"
wait_for size_changed "$work/locked/out.rdd"
kill -TERM $pid
wait $pid
cmp -s "$work/locked/out.rdd" "$work/small.rdd" || same_report "$work/locked/out.rdd" "$work/open/new.rdd" ||
  complain "SIGTERM while overwriting in place left neither report whole"
chmod 755 "$work/locked" && cp "$work/small.rdd" "$work/locked/out.rdd" && chmod 555 "$work/locked"
stopped "the file size limit in place" user_run "$work/locked/out.rdd" "$work/small.rdd" 3000 "${as_user[@]}"
if small_disk "$work/full_locked" 2048; then
  cp "$work/small.rdd" "$work/full_locked/out.rdd"
  give_to_user "$work/full_locked/out.rdd"
  chmod 555 "$work/full_locked"
  stopped "a full disk in place" user_run "$work/full_locked/out.rdd" "$work/small.rdd" unlimited "${as_user[@]}"
fi

# A report the user may not write to is not replaced, and no program runs.
cp "$work/small.rdd" "$work/open/out.rdd"
give_to_user "$work/open/out.rdd"
chmod 444 "$work/open/out.rdd"
rm -f "$work/user_run"/*.rod
(cd "$work/user_run" && exec "${as_user[@]}" "$build/mpsmerge" ./*.tdc ./*.rio "-RDD=$work/open/out.rdd" 2>"$work/stderr")
status=$?
[ $status = 7 ] && [ "$(tail -1 "$work/stderr")" = "Varnet-F-FICNOTOPN,  File $work/open/out.rdd access problem" ] ||
  complain "a write-protected report gave status $status: $(tail -1 "$work/stderr")"
cmp -s "$work/open/out.rdd" "$work/small.rdd" || complain "a write-protected report was replaced"
! compgen -G "$work/user_run/*.rod" >/dev/null || complain "a write-protected report let the post-processor run"

for round in 1 2 3; do
  start_merge run1 "$work/out.rdd"
  first=$pid
  start_merge run2 "$work/out.rdd"
  second=$pid
  wait $first && wait $second || complain "concurrent runs did not both end normally"
  same_report "$work/out.rdd" "$work/previous.rdd" || same_report "$work/out.rdd" "$work/second.rdd" ||
    complain "concurrent runs left neither complete report (round $round)"
  no_temporary "$work" || complain "concurrent runs left a temporary file"
done
exit $fail
