#!/usr/bin/env python3
"""Checks a generated benchmark run against the rules the merger relies on.

  check_run.py DIR             check the run in DIR and summarise it
  check_run.py --generator G [--merger BUILD]
                               make small runs with G: same seed gives the
                               same bytes, another seed other bytes, the
                               plain shape its known bytes, every run checks
                               out and every shape shows what it is for;
                               with --merger, BUILD's mpsmerge (and its
                               stand-ins) merges a run of each shape in both
                               variants

The merger makes the closing records FF FQ FV FX FO FA FN FR, FW and TP
itself, so a trace must not hold them; it must hold YI YT FE FS BF.
"""
import filecmp
import glob
import hashlib
import os
import re
import subprocess
import sys
import tempfile
from typing import NamedTuple

FIELD = re.compile(r'"((?:[^"]|"")*)"')
FIELDS = {"XI": 3, "DT": 3, "XE": 3, "YI": 2, "YT": 2, "FE": 2, "DS": 7, "FS": 5, "SY": 6,
          "DW": 5, "EV": 5, "SN": 6, "RD": 5, "DX": 3, "CH": 3, "XX": 3}
NUMERIC = {"XI": (1, 2, 3), "DT": (1,), "XE": (1,), "YI": (1,), "YT": (1,), "FE": (1,),
           "DS": (5, 6, 7), "FS": (2,), "SY": (2, 3, 4, 5), "DW": (3, 4, 5), "EV": (3, 5),
           "SN": (4, 5, 6), "RD": (3, 4, 5)}
TIME = {"XI": 1, "DT": 1, "XE": 1, "DS": 5, "DW": 5, "EV": 5, "SN": 6, "RD": 5}
FIRST = ["RE", "SC", "IT", "DE", "PR", "PE", "RU", "SY", "PO", "IE", "CF"]
LAST = ["DB", "BC", "BF"]
EVENT_MEMBERS = {"DW": {"DX", "CH"}, "EV": {"CH"}, "SN": {"CH"}, "XX": set(), "RD": set()}
CLOSER = {"XI": "YI", "DT": "YT", "XE": "FE", "DS": "FS"}


class Bad(Exception):
    pass


def records(path):
    with open(path, "rb") as f:
        lines = f.read().decode("latin-1").split("\n")
    if lines[-1] != "":
        raise Bad(f"{path}: last line without newline")
    for number, line in enumerate(lines[1:-1], 2):
        keyword = line[:2]
        rest = line[2:]
        fields = FIELD.findall(rest)
        if FIELD.sub("", rest).strip() or len(line) >= 5119:
            raise Bad(f"{path}:{number}: malformed line")
        want = FIELDS.get(keyword)
        if want is not None and len(fields) != want:
            raise Bad(f"{path}:{number}: {keyword} with {len(fields)} fields")
        for i in NUMERIC.get(keyword, ()):
            if not re.fullmatch(r"\d+", fields[i - 1]):
                raise Bad(f"{path}:{number}: {keyword} field {i} not a number")
        yield number, keyword, fields


def check_tester(path):
    recs = list(records(path))
    where = lambda i: f"{path}:{recs[i][0]}" if i < len(recs) else f"{path}:end"
    if [k for _, k, _ in recs[:len(FIRST)]] != FIRST or [k for _, k, _ in recs[-3:]] != LAST:
        raise Bad(f"{path}: first or last section out of shape")
    clock = recs[FIRST.index("SY")][2]
    tick, origin = int(clock[4]), (int(clock[1]) - 7200) * 1000000 + int(clock[2]) * int(clock[4])
    body = recs[len(FIRST):-3]
    times = []
    rendezvous = {}
    groups = stepless = 0
    i = 0

    def expect(i, keyword):
        if i >= len(body) or body[i][1] != keyword:
            raise Bad(f"{where(len(FIRST) + i)}: {keyword} expected")
        return i + 1

    def block(i, opener):
        i = expect(i, opener)
        while i < len(body) and body[i][1] == "XX":
            i += 1
        return expect(i, CLOSER[opener])

    def leaf(i, depth):
        rd = body[i] if i < len(body) else None
        i = expect(i, "RD")
        if depth == 0:
            rendezvous[rd[2][0]] = int(rd[2][4]) * tick + origin
        while i < len(body) and body[i][1] in EVENT_MEMBERS:
            members = EVENT_MEMBERS[body[i][1]]
            i += 1
            while i < len(body) and body[i][1] in members:
                i += 1
        return i

    def group(i, depth):
        nonlocal groups, stepless
        groups += depth == 0
        i = expect(i, "XI")
        while i < len(body) and body[i][1] == "XX":
            i += 1
        if i < len(body) and body[i][1] == "RD":
            stepless += depth == 0
            i = expect(leaf(i, depth), "YI")
        else:
            i = expect(expect(i, "YI"), "DS")
            if i < len(body) and body[i][1] == "XI":
                while i < len(body) and body[i][1] == "XI":
                    i = group(i, depth + 1)
            else:
                i = leaf(i, depth)
            i = expect(i, "FS")
        return block(i, "DT" if i < len(body) and body[i][1] == "DT" else "XE")

    while i < len(body):
        i = group(i, 0)
    for _, keyword, fields in body:
        if keyword in TIME:
            times.append(int(fields[TIME[keyword] - 1]) * tick + origin)
    if times != sorted(times) or (times and times[-1] >= 2**31):
        raise Bad(f"{path}: times out of order or too large")
    return Summary(len(recs), 1, groups, stepless), rendezvous


class Summary(NamedTuple):
    records: int
    testers: int
    groups: int      # top-level groups
    stepless: int    # top-level groups without DS block

    def __add__(self, other):
        return Summary(*(a + b for a, b in zip(self, other)))


def check_dir(run):
    with open(os.path.join(run, "bench.tdc"), "rb") as f:
        tdc = f.read().decode("latin-1").split("\n")
    if not tdc[1].startswith("CF") or len(FIELD.findall(tdc[1])) < 5:
        raise Bad("bench.tdc: plan line missing")
    rendezvous_times = {}
    total = Summary(0, 0, 0, 0)
    for path in sorted(glob.glob(os.path.join(run, "t*.rio"))):
        with open(path, "rb") as f:
            header = f.readline().decode("latin-1")
        if header.replace("RIO file", "TDC file", 1) != tdc[0] + "\n":
            raise Bad(f"{path}: header does not pair with bench.tdc")
        summary, rendezvous = check_tester(path)
        total += summary
        for name, at in rendezvous.items():
            if rendezvous_times.setdefault(name, at) != at:
                raise Bad(f"{path}: rendezvous {name} at another absolute time")
    return total


def digest(run):
    h = hashlib.sha256()
    for name in sorted(os.listdir(run)):
        with open(os.path.join(run, name), "rb") as f:
            h.update(name.encode() + b"\0" + f.read())
    return h.hexdigest()


# The plain shape is the reference of earlier figures: its bytes must not change.
PLAIN_7_4_3000 = "c6ac0a3e19952347ff60c369f342af3909e918b7ed805ec29029ecd2628cb97d"

# What each shape must show at small size: a test of its summary, and the run's arguments.
SHAPES = {
    "plain": (lambda s: s.stepless == 0, (4, 3000)),
    "nods": (lambda s: s.stepless > 0.6 * s.groups, (4, 3000)),
    "manygroups": (lambda s: s.records < 20 * s.groups and s.groups > 150 * s.testers, (3, 3000)),
    "testers": (lambda s: 0.3 * s.groups < s.stepless < 0.7 * s.groups, (60, 200)),
}


def merge(build, run):
    """Runs the merger on run in both variants; every run must end with status 0 or 3."""
    rios = sorted(f for f in os.listdir(run) if f.endswith(".rio"))
    env = dict(os.environ, VARNETDIR=os.path.join(build, "varnet"), MPS_DIR=build, LC_ALL="C")
    reports = []
    for flags in ([], ["-TIME"]):
        rdd = "out" + "".join(flags) + ".rdd"
        done = subprocess.run([os.path.join(build, "mpsmerge"), "bench.tdc", *rios, *flags, "-RDD=" + rdd],
                              cwd=run, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        if done.returncode not in (0, 3):
            raise Bad(f"{run}: merger status {done.returncode} {' '.join(flags)}: "
                      + done.stderr.decode(errors="replace")[-300:])
        with open(os.path.join(run, rdd), "rb") as f:
            reports.append(f.read())
    return reports


def self_test(generator, build=None):
    with tempfile.TemporaryDirectory() as tmp:
        def run(name, *args):
            out = os.path.join(tmp, name)
            subprocess.run([generator, *map(str, args[:3]), out, *args[3:]], check=True)
            return out
        a, b, c = run("a", 7, 4, 3000), run("b", 7, 4, 3000), run("c", 8, 4, 3000)
        names = sorted(os.listdir(a))
        same = filecmp.cmpfiles(a, b, names, shallow=False)[0]
        if same != names:
            raise Bad("the same seed gave other bytes")
        if filecmp.cmpfiles(a, c, names, shallow=False)[0] == names:
            raise Bad("another seed gave the same bytes")
        if digest(a) != PLAIN_7_4_3000 or digest(run("p", 7, 4, 3000, "plain")) != PLAIN_7_4_3000:
            raise Bad("the plain shape changed its bytes")
        for run_dir, testers in ((a, 4), (run("one", 3, 1, 200), 1), (run("many", 5, 30, 500), 30)):
            if check_dir(run_dir).testers != testers:
                raise Bad(f"{run_dir}: wrong tester count")
        for shape, (holds, (testers, records)) in SHAPES.items():
            for seed in (1, 2):
                run_dir = run(f"{shape}{seed}", seed, testers, records, shape)
                summary = check_dir(run_dir)
                if summary.testers != testers or not holds(summary):
                    raise Bad(f"{shape}, seed {seed}: not of its shape: {summary}")
            if build:
                structural, _ = merge(build, run_dir)
                # Groups of all testers merge into one: the merged report holds about one tester's XI records.
                traced = 0
                for path in glob.glob(os.path.join(run_dir, "t*.rio")):
                    with open(path, "rb") as f:
                        traced += f.read().count(b"\nXI ")
                if structural.count(b"\nXI ") * 2 > traced:
                    raise Bad(f"{shape}: the testers' groups did not merge")
        for counts, shape in ((["1", "0", "10"], []), (["1", "2", "10"], ["round"])):
            if subprocess.run([generator, *counts, os.path.join(tmp, "none"), *shape],
                              stderr=subprocess.DEVNULL).returncode != 2:
                raise Bad(f"generate_run accepted {' '.join(counts + shape)}")


def main():
    args = sys.argv[1:]
    try:
        if len(args) in (2, 4) and args[0] == "--generator" and args[2:3] in ([], ["--merger"]):
            self_test(args[1], os.path.abspath(args[3]) if len(args) == 4 else None)
        elif len(args) == 1:
            summary = check_dir(args[0])
            print(f"{summary.records} records, {summary.testers} testers, {summary.groups} top-level groups, "
                  f"{summary.stepless} of them without DS block")
        else:
            print(__doc__, file=sys.stderr)
            return 2
    except Bad as problem:
        print("check_run:", problem, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
