#!/usr/bin/env python3
"""Checks a generated benchmark run against the rules the merger relies on.

  check_run.py DIR             check the run in DIR
  check_run.py --generator G   make small runs with G: same seed gives the
                               same bytes, another seed other bytes, and
                               every run checks out

The merger makes the closing records FF FQ FV FX FO FA FN FR, FW and TP
itself, so a trace must not hold them; it must hold YI YT FE FS BF.
"""
import filecmp
import glob
import os
import re
import subprocess
import sys
import tempfile

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

    def group(i, depth):
        i = block(i, "XI")
        i = expect(i, "DS")
        if i < len(body) and body[i][1] == "XI":
            while i < len(body) and body[i][1] == "XI":
                i = group(i, depth + 1)
        else:
            rd = body[i]
            i = expect(i, "RD")
            if depth == 0:
                rendezvous[rd[2][0]] = int(rd[2][4]) * tick + origin
            while i < len(body) and body[i][1] in EVENT_MEMBERS:
                members = EVENT_MEMBERS[body[i][1]]
                i += 1
                while i < len(body) and body[i][1] in members:
                    i += 1
        i = expect(i, "FS")
        return block(i, "DT" if i < len(body) and body[i][1] == "DT" else "XE")

    while i < len(body):
        i = group(i, 0)
    for _, keyword, fields in body:
        if keyword in TIME:
            times.append(int(fields[TIME[keyword] - 1]) * tick + origin)
    if times != sorted(times) or (times and times[-1] >= 2**31):
        raise Bad(f"{path}: times out of order or too large")
    return len(recs), rendezvous


def check_dir(run):
    with open(os.path.join(run, "bench.tdc"), "rb") as f:
        tdc = f.read().decode("latin-1").split("\n")
    if not tdc[1].startswith("CF") or len(FIELD.findall(tdc[1])) < 5:
        raise Bad("bench.tdc: plan line missing")
    rendezvous_times = {}
    total = 0
    for path in sorted(glob.glob(os.path.join(run, "t*.rio"))):
        with open(path, "rb") as f:
            header = f.readline().decode("latin-1")
        if header.replace("RIO file", "TDC file", 1) != tdc[0] + "\n":
            raise Bad(f"{path}: header does not pair with bench.tdc")
        count, rendezvous = check_tester(path)
        total += count
        for name, at in rendezvous.items():
            if rendezvous_times.setdefault(name, at) != at:
                raise Bad(f"{path}: rendezvous {name} at another absolute time")
    return total


def self_test(generator):
    with tempfile.TemporaryDirectory() as tmp:
        def run(name, *args):
            out = os.path.join(tmp, name)
            subprocess.run([generator, *map(str, args), out], check=True)
            return out
        a, b, c = run("a", 7, 4, 3000), run("b", 7, 4, 3000), run("c", 8, 4, 3000)
        names = sorted(os.listdir(a))
        same = filecmp.cmpfiles(a, b, names, shallow=False)[0]
        if same != names:
            raise Bad("the same seed gave other bytes")
        if filecmp.cmpfiles(a, c, names, shallow=False)[0] == names:
            raise Bad("another seed gave the same bytes")
        for run_dir, testers in ((a, 4), (run("one", 3, 1, 200), 1), (run("many", 5, 30, 500), 30)):
            if len(glob.glob(os.path.join(run_dir, "t*.rio"))) != testers:
                raise Bad(f"{run_dir}: wrong tester count")
            check_dir(run_dir)
        if subprocess.run([generator, "1", "0", "10", os.path.join(tmp, "none")],
                          stderr=subprocess.DEVNULL).returncode != 2:
            raise Bad("zero testers accepted")


def main():
    try:
        if len(sys.argv) == 3 and sys.argv[1] == "--generator":
            self_test(sys.argv[2])
        elif len(sys.argv) == 2:
            print(check_dir(sys.argv[1]), "records")
        else:
            print(__doc__, file=sys.stderr)
            return 2
    except Bad as problem:
        print("check_run:", problem, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
