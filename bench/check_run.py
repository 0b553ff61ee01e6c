#!/usr/bin/env python3
"""Checks a generated benchmark run against the rules the merger relies on.

  check_run.py DIR             check the run in DIR and summarise it
  check_run.py --alignment G BUILD [TESTERS RECORDS ORDERS]
                               make runs of the alignment shapes with G and
                               check that BUILD's mpsmerge puts every record
                               at its true time plus one constant, for every
                               order of up to 4 testers and ORDERS random
                               orders of more (default: 4, 8 and 50 testers
                               of 150 records, 12 orders)
  check_run.py --generator G [--merger BUILD]
                               make small runs with G: same seed gives the
                               same bytes, another seed other bytes, the
                               plain shape its known bytes, every run checks
                               out and every shape shows what it is for;
                               with --merger, BUILD's mpsmerge (and its
                               stand-ins) merges a run of each shape in both
                               variants

The merger makes the closing records FF FQ FV FX FO FA FN FR and FW itself,
so a trace must not hold them; it must hold YI YT FE FS BF. The mixed shape
writes its events as a post-processor does, the scenario and line numbers
after their own fields: two fields more than the other shapes.
"""
import filecmp
import glob
import hashlib
import itertools
import os
import random
import re
import subprocess
import sys
import tempfile
from typing import NamedTuple

FIELD = re.compile(r'"((?:[^"]|"")*)"')
FIELDS = {"XI": (3,), "DT": (3,), "XE": (3,), "YI": (2,), "YT": (2,), "FE": (2,), "DS": (7,), "FS": (5,),
          "SY": (6,), "DW": (5, 7), "EV": (5, 7), "SN": (6, 8), "RD": (5, 7), "DX": (3, 4), "CH": (3, 4),
          "XX": (3, 4), "CO": (4,), "DA": (7,), "PA": (4,), "PP": (4,), "PQ": (4,), "TP": (3,), "EX": (4,),
          "ER": (4,), "FT": (4,), "TN": (4,), "TF": (4,), "FB": (4,), "IC": (9,), "ID": (7,), "DP": (4,),
          "FP": (4,), "UN": (4,), "PT": (4,)}
NUMERIC = {"XI": (1, 2, 3), "DT": (1,), "XE": (1,), "YI": (1,), "YT": (1,), "FE": (1,),
           "DS": (5, 6, 7), "FS": (2,), "SY": (2, 3, 4, 5), "DW": (3, 4, 5), "EV": (3, 5),
           "SN": (4, 5, 6), "RD": (3, 4, 5), "DA": (3, 4, 5), "TP": (1,), "FT": (1, 2), "TN": (1, 2),
           "TF": (1, 2), "FB": (1, 2), "IC": (5, 7), "ID": (4, 5), "DP": (2,)}
TIME = {"XI": 1, "DT": 1, "XE": 1, "DS": 5, "DW": 5, "EV": 5, "SN": 6, "RD": 5, "DA": 5, "TP": 1, "FT": 2,
        "TN": 2, "TF": 2, "FB": 2, "IC": 7, "ID": 5, "DP": 2}
FIRST = ["RE", "SC", "IT", "DE", "PR", "PE", "RU", "SY", "PO", "IE", "CF"]
LAST = ["DB", "BC", "BF"]
SINGLE = ["XX", "EX", "ER", "FT", "TN", "TF", "FB", "IC", "ID", "DP", "FP", "UN", "PT", "CO"]
EVENT_MEMBERS = {"DW": {"DX", "CH"}, "EV": {"CH"}, "SN": {"CH"}, "DA": {"PA"}, "PP": {"PQ", "TP"},
                 **{keyword: set() for keyword in SINGLE}}
CLOSER = {"XI": "YI", "DT": "YT", "XE": "FE", "DS": "FS"}
# Every kind of record the merger reads from a report.
READ = set(FIRST + LAST + list(FIELDS))


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
        if want is not None and len(fields) not in want:
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
    groups = stepless = ds_blocks = nesting = 0
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
        """A rendezvous (not in every shape's nested groups) and events."""
        if i < len(body) and body[i][1] == "RD":
            if depth == 0:
                rendezvous[body[i][2][0]] = int(body[i][2][4]) * tick + origin
            i += 1
        while i < len(body) and body[i][1] in EVENT_MEMBERS:
            if body[i][1] == "CO" and (i + 1 == len(body) or body[i + 1][1] not in ("DW", "SN")):
                raise Bad(f"{where(len(FIRST) + i)}: CO without DW or SN after it")
            members = EVENT_MEMBERS[body[i][1]]
            i += 1
            while i < len(body) and body[i][1] in members:
                i += 1
        return i

    def group(i, depth):
        nonlocal groups, stepless, ds_blocks, nesting
        groups += depth == 0
        i = expect(i, "XI")
        while i < len(body) and body[i][1] == "XX":
            i += 1
        i = expect(leaf(i, depth), "YI")
        if i < len(body) and body[i][1] == "DS":
            ds_blocks += 1
            i += 1
            if i < len(body) and body[i][1] == "XI":
                nesting += 1
                while i < len(body) and body[i][1] == "XI":
                    i = group(i, depth + 1)
            else:
                i = leaf(i, depth)
            i = expect(i, "FS")
        else:
            stepless += depth == 0
        return block(i, "DT" if i < len(body) and body[i][1] == "DT" else "XE")

    while i < len(body):
        i = group(i, 0)
    for _, keyword, fields in body:
        if keyword in TIME:
            times.append(int(fields[TIME[keyword] - 1]) * tick + origin)
    if times != sorted(times) or (times and times[-1] >= 2**31):
        raise Bad(f"{path}: times out of order or too large")
    kinds = frozenset(keyword for _, keyword, _ in recs)
    return Summary(len(recs), 1, groups, stepless, ds_blocks, nesting, kinds), rendezvous


class Summary(NamedTuple):
    records: int
    testers: int
    groups: int      # top-level groups
    stepless: int    # top-level groups without DS block
    ds_blocks: int
    nesting: int     # DS blocks holding groups
    kinds: frozenset

    def __add__(self, other):
        return Summary(*(a | b if isinstance(a, frozenset) else a + b for a, b in zip(self, other)))


def check_dir(run):
    with open(os.path.join(run, "bench.tdc"), "rb") as f:
        tdc = f.read().decode("latin-1").split("\n")
    if not tdc[1].startswith("CF") or len(FIELD.findall(tdc[1])) < 5:
        raise Bad("bench.tdc: plan line missing")
    rendezvous_times = {}
    total = Summary(0, 0, 0, 0, 0, 0, frozenset())
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

class ShapeCheck(NamedTuple):
    holds: object                     # a test of the run's summary
    size: tuple                       # the run's testers and records
    rendezvous_line_up: bool = False  # each rendezvous at one time in the RDD reports


# What each shape must show at small size.
SHAPES = {
    "plain": ShapeCheck(lambda s: s.stepless == 0, (4, 3000)),
    "nods": ShapeCheck(lambda s: s.stepless > 0.6 * s.groups, (4, 3000)),
    "manygroups": ShapeCheck(lambda s: s.records < 20 * s.groups and s.groups > 150 * s.testers, (3, 3000)),
    "testers": ShapeCheck(lambda s: 0.3 * s.groups < s.stepless < 0.7 * s.groups, (60, 200)),
    "mixed": ShapeCheck(lambda s: s.kinds == READ and 0.12 < s.nesting / s.ds_blocks < 0.3
                        and 0.3 * s.groups < s.stepless < 0.7 * s.groups, (8, 3000), True),
}


def rendezvous_spread(report):
    """The rendezvous names of an RDD report whose RD records are not all at one time (field 5)."""
    times = {}
    for line in report.decode("latin-1").split("\n"):
        if line.startswith("RD "):
            fields = FIELD.findall(line)
            times.setdefault(fields[0], set()).add(fields[4])
    return sorted(name for name, seen in times.items() if len(seen) > 1)


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
        for shape, check in SHAPES.items():
            testers, records = check.size
            for seed in (1, 2):
                run_dir = run(f"{shape}{seed}", seed, testers, records, shape)
                summary = check_dir(run_dir)
                if summary.testers != testers or not check.holds(summary):
                    raise Bad(f"{shape}, seed {seed}: not of its shape: {summary}")
            if build:
                structural, by_time = merge(build, run_dir)
                if check.rendezvous_line_up and (rendezvous_spread(structural) or rendezvous_spread(by_time)):
                    raise Bad(f"{shape}: rendezvous at several times after the merge")
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


# The shapes whose every road of alignment is exact, and the variants each
# can merge: -TIME drops the test items the first records align by.
ALIGNMENT_SHAPES = {"oneclock": ([], ["-TIME"]), "rendezvous": ([], ["-TIME"]), "firstrecords": ([],)}
# Fields an RDD record keeps of its own before the report and line numbers
# (the merger drops the two last fields a post-processor writes).
OWN_FIELDS = {kind: max(FIELDS[kind]) - 2 for kind in TIME}
OWN_FIELDS["FW"] = OWN_FIELDS["DW"]
MERGED_TIME = dict(TIME, FW=TIME["DW"])


def clocks_of(run):
    """Each trace's origin and tick length in absolute ticks, from the generator's CLOCKS."""
    with open(os.path.join(run, "CLOCKS")) as f:
        return {name: (int(origin), int(tick)) for name, origin, tick in (line.split() for line in f)}


def true_times(rio, clock, kind, line):
    """The absolute times a record read from line of rio stands for: its own, and a rendezvous's matched one."""
    origin, tick = clock
    fields = rio[line]
    if kind == "FW":  # the wait's end, made from its DW record
        return [origin + tick * (int(fields[4]) + int(fields[3]))]
    times = [origin + tick * int(fields[TIME[kind] - 1])]
    return times + times if kind == "RD" else times


def merged_offsets(rdd, traces, finest):
    """The set of (merged time x finest - true time) over every timed record of an RDD report; a merged
    record stands for the earliest of the records it gathers."""
    offsets = set()
    for line in rdd.decode("latin-1").split("\n"):
        kind = line[:2]
        if kind not in OWN_FIELDS or line[2:3] != " ":
            continue
        fields = FIELD.findall(line)
        own = OWN_FIELDS[kind]
        numbers = [int(n) for n in fields[own:]]
        read = [true_times(*traces[numbers[i] - 1], kind, numbers[i + 1] + 1) for i in range(0, len(numbers), 2)]
        merged = [int(fields[MERGED_TIME[kind] - 1])] + ([int(fields[3])] if kind == "RD" else [])
        for at, truth in zip(merged, min(read)):
            offsets.add(at * finest - truth)
    return offsets


def check_alignment(build, run, orders, variants):
    """Merges run in each order and variant; every record must lie at its true time plus one constant."""
    clocks = clocks_of(run)
    rios = {name: {n: fields for n, _, fields in records(os.path.join(run, name))} for name in clocks}
    finest = min(tick for _, tick in clocks.values())
    env = dict(os.environ, VARNETDIR=os.path.join(build, "varnet"), MPS_DIR=build, LC_ALL="C")
    for order in orders:
        for flags in variants:
            done = subprocess.run([os.path.join(build, "mpsmerge"), "bench.tdc", *order, *flags, "-RDD=out.rdd"],
                                  cwd=run, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
            if done.returncode not in (0, 3):
                raise Bad(f"{run}: merger status {done.returncode}: " + done.stderr.decode(errors="replace")[-300:])
            with open(os.path.join(run, "out.rdd"), "rb") as f:
                offsets = merged_offsets(f.read(), [(rios[name], clocks[name]) for name in order], finest)
            if len(offsets) != 1:
                raise Bad(f"{run} {' '.join(flags)}: order {' '.join(order)}: times off their true ones by "
                          f"{len(offsets)} different amounts")


def alignment_property(generator, build, sizes=((4, 150), (8, 150), (50, 150)), random_orders=12):
    with tempfile.TemporaryDirectory() as tmp:
        for shape, variants in ALIGNMENT_SHAPES.items():
            for testers, records in sizes:
                run = os.path.join(tmp, f"{shape}-{testers}")
                subprocess.run([generator, "3", str(testers), str(records), run, shape], check=True)
                names = sorted(clocks_of(run))
                if testers <= 4:
                    orders = list(itertools.permutations(names))
                else:
                    pick = random.Random(testers)
                    orders = [pick.sample(names, len(names)) for _ in range(random_orders)]
                check_alignment(build, run, orders, variants)


def main():
    args = sys.argv[1:]
    try:
        if len(args) in (2, 4) and args[0] == "--generator" and args[2:3] in ([], ["--merger"]):
            self_test(args[1], os.path.abspath(args[3]) if len(args) == 4 else None)
        elif len(args) in (3, 6) and args[0] == "--alignment":
            sizes = ((int(args[3]), int(args[4])),) if len(args) == 6 else ((4, 150), (8, 150), (50, 150))
            alignment_property(args[1], os.path.abspath(args[2]), sizes, int(args[5]) if len(args) == 6 else 12)
        elif len(args) == 1:
            summary = check_dir(args[0])
            print(f"{summary.records} records, {summary.testers} testers, {summary.groups} top-level groups, "
                  f"{summary.stepless} of them without DS block; {summary.ds_blocks} DS blocks, "
                  f"{summary.nesting} of them holding groups; {len(summary.kinds)} record kinds")
        else:
            print(__doc__, file=sys.stderr)
            return 2
    except Bad as problem:
        print("check_run:", problem, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
