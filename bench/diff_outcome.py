"""One merger run of bench/differential.py and what it left that anyone could see: its exit status, standard
output and error, the files it wrote or changed, and the arguments of the post-processor and bridge runs
(the start date masked where it appears). The run directories and the stand-in toolchain are here too."""
import os
import re
import shutil
import time
from typing import NamedTuple

import runs

DATE_MASK = b"@START-DATE@"
CODE = re.compile(rb"^Varnet-([IWFS])-(\w+),", re.M)
# The post-processor leaves the ROD report as it is, the bridge does nothing; both log their arguments, as
# the stand-ins do. The post-processor ends with status 3 when the report holds an ER record, and fails
# on a RIO file holding the line POSTPRO_FAILS.
POSTPRO_FAILS = b"POSTPRO FAILS\n"
POSTPRO = """#!/bin/sh
[ -n "$MPS_STANDIN_LOG" ] && (IFS='\t'; set -- "$0" "$@"; printf '%s\\n' "$*") >>"$MPS_STANDIN_LOG"
grep -qx 'POSTPRO FAILS' "$1" 2>/dev/null && exit 5
grep -q '^ER' "${1%.*}.rod" 2>/dev/null && exit 3
exit 0
"""
BRIDGE = """#!/bin/sh
[ -n "$MPS_STANDIN_LOG" ] && (IFS='\t'; set -- "$0" "$@"; printf '%s\\n' "$*") >>"$MPS_STANDIN_LOG"
exit 0
"""
DEEP_LEVEL = "d" * 200
# Levels of the deep directory reached through one link each: a link's text must stay under 4 096 bytes.
DEEP_HALVES = (12, 14)


class Outcome(NamedTuple):
    status: str
    stdout: bytes
    stderr: bytes
    files: dict            # name: bytes, "directory" or "removed", of what the run made, changed or removed
    tools: bytes           # the post-processor's and bridge's arguments, a line a run
    date_in_stderr: bool   # whether the start date had to be masked in standard error


def write_toolchain(directory):
    os.makedirs(directory)
    for name, text in (("mpspostpro", POSTPRO), ("mpsuml", BRIDGE)):
        with open(os.path.join(directory, name), "w") as f:
            f.write(text)
        os.chmod(os.path.join(directory, name), 0o755)
    return directory


def make_directory(path, deep):
    """The run directory; a deep one is reached through links, its real path past the 5 000 bytes of the
    merger's buffer for the working directory."""
    if not deep:
        os.makedirs(path)
        return
    middle = os.path.join(path + ".deep", *[DEEP_LEVEL] * DEEP_HALVES[0])
    os.makedirs(middle)
    level = os.open(middle, os.O_RDONLY)
    for _ in range(DEEP_HALVES[1]):
        os.mkdir(DEEP_LEVEL, dir_fd=level)
        below = os.open(DEEP_LEVEL, os.O_RDONLY, dir_fd=level)
        os.close(level)
        level = below
    os.close(level)
    os.symlink(os.path.join(*[DEEP_LEVEL] * DEEP_HALVES[1]), os.path.join(middle, "down"))
    os.symlink(os.path.join(middle, "down"), path)


def remove_directory(path):
    if os.path.islink(path):
        os.unlink(path)
        shutil.rmtree(path + ".deep")
    else:
        shutil.rmtree(path)


def fill_directory(path, files):
    """Only the case's files, as they were, whatever an earlier run left or changed."""
    for name in os.listdir(path):
        entry = os.path.join(path, name)
        if os.path.isdir(entry) and not os.path.islink(entry):
            shutil.rmtree(entry)
        else:
            os.unlink(entry)
    for name, data in files.items():
        with open(os.path.join(path, name), "wb") as f:
            f.write(data)


def made_or_changed(path, files, dates):
    """The files the run made, changed or removed; a made file's first line (an RDD report's header) with
    the start date masked."""
    found = {name: "removed" for name in files}
    for name in os.listdir(path):
        entry = os.path.join(path, name)
        found.pop(name, None)
        if os.path.isdir(entry):
            found[name] = "directory"
            continue
        with open(entry, "rb") as f:
            data = f.read()
        if files.get(name) != data:
            found[name] = data if name in files else mask_first_line(data, dates)
    return found


def mask_dates(data, dates):
    for date in dates:
        data = data.replace(date, DATE_MASK)
    return data


def mask_first_line(data, dates):
    first, end, rest = data.partition(b"\n")
    return mask_dates(first, dates) + end + rest


def status_text(status):
    if status is None:
        return "timeout"
    return f"signal {-status}" if status < 0 else str(status)


def run(build_dir, case, flags, directory, toolchain, scratch, timeout):
    """Runs the merger of build_dir on the case in directory; scratch holds what is not the run's."""
    fill_directory(directory, case.files)
    log, out = os.path.join(scratch, "tools.log"), os.path.join(scratch, "stdout")
    if os.path.exists(log):
        os.unlink(log)
    env = dict(runs.merger_env(build_dir, toolchain), MPS_STANDIN_LOG=log)
    start = time.time()
    with open(out, "wb") as stdout:
        result = runs.measure([os.path.join(build_dir, "mpsmerge"), *case.arguments, *flags], directory, env,
                              stdout=stdout, timeout=timeout, peak_rss=False)
    # The start date, as ctime gives it, is of a second within the run; time() may read a coarse clock a
    # few milliseconds behind this one.
    dates = [time.ctime(second).encode() for second in range(int(start) - 1, int(time.time()) + 2)]
    with open(out, "rb") as f:
        stdout = f.read()
    tools = b""
    if os.path.exists(log):
        with open(log, "rb") as f:
            tools = f.read()
    stderr = mask_dates(result.stderr, dates)
    return Outcome(status_text(result.status), stdout, stderr, made_or_changed(directory, case.files, dates), tools,
                   stderr != result.stderr)


def first_line_apart(a, b):
    for number, (x, y) in enumerate(zip(a.split(b"\n"), b.split(b"\n")), 1):
        if x != y:
            return number
    return min(a.count(b"\n"), b.count(b"\n")) + 1


def differences(old, new):
    """What differs between two outcomes, in words; empty when they agree byte for byte."""
    found = []
    if old.status != new.status:
        found.append(f"exit status {old.status} / {new.status}")
    for what in ("stdout", "stderr", "tools"):
        a, b = getattr(old, what), getattr(new, what)
        if a != b:
            found.append(f"{what} from line {first_line_apart(a, b)}")
    for name in sorted(set(old.files) | set(new.files)):
        a, b = old.files.get(name, "absent"), new.files.get(name, "absent")
        if isinstance(a, bytes) and isinstance(b, bytes):
            found += [f"file {name} from line {first_line_apart(a, b)}"] if a != b else []
        elif a != b:
            found.append(f"file {name}: " + " / ".join(x if isinstance(x, str) else "made" for x in (a, b)))
    return found


def codes(outcome):
    """The message codes of a run, with their letters (F-UNEXPTEOF)."""
    return sorted({f"{letter.decode()}-{code.decode()}" for letter, code in CODE.findall(outcome.stderr)})
