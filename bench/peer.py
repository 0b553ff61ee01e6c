"""scripts/bench --peer: the merger beside ttcn3_logmerge (Eclipse Titan), which merges test logs by
time, on the same records.

Each ROD report becomes a log file of the format ttcn3_logmerge reads, its DateTime time stamps:

    yyyy/Mon/dd hh:mm:ss.microsec RECORD

one line per record (the header line left out). The time stamp is the record's time on the common time
base, as the merger aligns testers that share a clock: the SY record gives the clock's start (field 2
whole units, field 3 ticks beyond them, field 4 ticks per whole unit), a record's time field counts
ticks from that start, and a whole unit is a second counted from 1970/Jan/01 00:00:00. Records without
a time field of their own (and the closing records, whose time the merger fixes) take the time of the
last timed record before them, records before the first one the clock's start, as the merger's time
points do. A time that would go backwards keeps the one before: ttcn3_logmerge needs every file in
order. The generated testers see one absolute timeline, so these are also the times that the merger's
alignment by rendezvous gives testers of different clocks.
"""
import datetime
import functools
import os
import re
import shutil
import subprocess
import sys

import runs

# The time field of each record kind that has one.
TIME_FIELD = {b"XI": 1, b"DT": 1, b"XE": 1, b"DP": 2, b"DS": 5, b"DA": 5, b"DW": 5, b"EV": 5, b"SN": 6,
              b"RD": 5, b"FT": 2, b"TN": 2, b"TF": 2, b"FB": 2, b"IC": 7, b"ID": 5}
FIELD = re.compile(rb'"((?:[^"]|"")*)"')
STAMP = re.compile(rb"\d{4}/[A-Z][a-z]{2}/\d\d \d\d:\d\d:\d\d\.\d{6} ")
MONTHS = "Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec".split()
EPOCH = datetime.datetime(1970, 1, 1)


@functools.lru_cache(maxsize=1 << 12)
def second_stamp(seconds):
    t = EPOCH + datetime.timedelta(seconds=seconds)
    return f"{t.year:04}/{MONTHS[t.month - 1]}/{t.day:02} {t.hour:02}:{t.minute:02}:{t.second:02}".encode()


def stamp(microseconds):
    seconds, micro = divmod(microseconds, 1000000)
    return second_stamp(seconds) + b".%06d " % micro


def number(line, field):
    fields = FIELD.findall(line, 2)
    try:
        return int(fields[field - 1])
    except (IndexError, ValueError):
        raise ValueError(f"{line[:2].decode(errors='replace')} record without a number in field {field}") from None


def log_lines(records):
    """The log lines of a report's records (each a line with its newline, the header line left out)."""
    clock = next((line for line in records if line[:2] == b"SY"), None)
    if clock is None:
        raise ValueError("no SY clock record")
    whole, ticks, per_unit = number(clock, 2), number(clock, 3), number(clock, 4)
    if per_unit == 0:
        raise ValueError("SY clock record with 0 ticks per whole unit")
    last = 0
    for line in records:
        field = TIME_FIELD.get(line[:2])
        if field:
            last = max(last, number(line, field))
        yield stamp(whole * 1000000 + (ticks + last) * 1000000 // per_unit) + line


def write_log(rod, log):
    """Writes the log file of a ROD report; returns its number of records."""
    with open(rod, "rb") as f:
        records = f.read().split(b"\n")[1:]
    if records and records[-1] == b"":
        records.pop()
    with open(log, "wb") as out:
        out.writelines(line + b"\n" for line in log_lines(records))
    return len(records)


def stamped_lines(path):
    with open(path, "rb") as f:
        return sum(1 for line in f if STAMP.match(line))


def ensure_installed():
    if shutil.which("ttcn3_logmerge"):
        return
    print("bench: installing eclipse-titan for ttcn3_logmerge", flush=True)
    sudo = [] if os.geteuid() == 0 else ["sudo"]
    subprocess.run([*sudo, "apt-get", "update", "-qq"], check=True)
    subprocess.run([*sudo, "env", "DEBIAN_FRONTEND=noninteractive", "apt-get", "install", "-y", "-qq",
                    "eclipse-titan"], check=True)
    if not shutil.which("ttcn3_logmerge"):
        sys.exit("bench: eclipse-titan installed, but ttcn3_logmerge is not on the PATH")


HEAD = ("| run | variant | records | ROD MB | log MB | ttcn3_logmerge s | its RSS MB | mpsmerge s | its RSS MB "
        "| speed-up | memory ratio |")


def compare_run(run, noop, repeats, timeout):
    """Times ttcn3_logmerge and the merge-only merger, in turns, on the records of one run; returns whether
    both did their work."""
    mb = 1 << 20
    full = runs.full_run(run, [], "full.rdd", timeout)
    if runs.failure(full):
        print(f"| {run.name} | | {run.records} | full run: {runs.failure(full)} |", flush=True)
        return False
    os.makedirs(os.path.join(run.directory, "peer"), exist_ok=True)
    names = []
    for rod in run.rods:
        names.append(os.path.join("peer", rod[:-4] + ".log"))
        write_log(os.path.join(run.directory, rod), os.path.join(run.directory, names[-1]))
    log_bytes = sum(os.path.getsize(os.path.join(run.directory, name)) for name in names)
    peer, merger = [], {variant: [] for variant, _ in runs.VARIANTS}
    for _ in range(repeats):
        peer.append(runs.measure(["ttcn3_logmerge", "-o", "merged.log", *names], run.directory, timeout=timeout))
        for variant, flags in runs.VARIANTS:
            merger[variant].append(runs.merge_only(runs.BUILD, run, flags, "merge.rdd", noop, timeout))
    problems = [f"ttcn3_logmerge: {runs.failure(m) or 'status ' + str(m.status)}" for m in peer if m.status != 0]
    problems += [f"mpsmerge {variant}: {runs.failure(m)}" for variant, ms in merger.items() for m in ms
                 if runs.failure(m)]
    if not problems:
        merged = stamped_lines(os.path.join(run.directory, "merged.log"))
        if merged != run.records:
            problems.append(f"ttcn3_logmerge wrote {merged} records of {run.records}")
    if problems:
        print(f"| {run.name} | | {run.records} | {'; '.join(problems)} |", flush=True)
        return False
    best_peer, peer_rss = min(m.seconds for m in peer), max(m.rss for m in peer)
    for variant, ms in merger.items():
        seconds, rss = min(m.seconds for m in ms), max(m.rss for m in ms)
        print(f"| {run.name} | {variant} | {run.records} | {runs.rod_bytes(run) / mb:.1f} | {log_bytes / mb:.1f} | "
              f"{best_peer:.2f} | {peer_rss / mb:.1f} | {seconds:.2f} | {rss / mb:.0f} | "
              f"x{best_peer / seconds:.2f} | x{rss / peer_rss:.0f} |", flush=True)
    return True


def version():
    said = subprocess.run(["ttcn3_logmerge", "-v"], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return next((line for line in said.stdout.splitlines() if line.startswith("Version")), "version unknown")


def main(args, work, noop):
    ensure_installed()
    print(f"peer: ttcn3_logmerge {version()}; best of {args.repeats or 3}, turn about; "
          "speed-up = ttcn3_logmerge s / mpsmerge s, memory ratio = mpsmerge RSS / ttcn3_logmerge RSS")
    print(HEAD)
    print("|" + "---|" * (HEAD.count("|") - 1))
    ok = True
    for shape in runs.shapes_named(args.shapes or "series"):
        for run in runs.runs_of(work, shape, args.scale, args.keep, largest_only=True):
            ok = compare_run(run, noop, args.repeats or 3, args.timeout) and ok
    return 0 if ok else 1
