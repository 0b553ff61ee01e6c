#!/usr/bin/env python3
"""Runs the merger of two builds on the same inputs and checks that everything anyone could see agrees.

  bench/differential.py OLD_BUILD_DIR NEW_BUILD_DIR [--runs N] [--seed S] [--keep DIR] [--jobs J]
                        [--timeout SECONDS]

Every case (bench/diff_inputs.py: the bundled example, the inputs of fuzz/corpus/rod_reports, runs of
bench/generate_run of random seed, shape and size, and mutations of all three) runs in both variants,
structural and -TIME, with each build in turn in the same directory: ROD reports on disk already, a
post-processor that leaves them as they are and a bridge that does nothing (bench/diff_outcome.py). The
exit status, standard output and error, every file made, changed or removed (an RDD report with the date
of its header line masked) and the arguments the post-processor and the bridge were given must be the
same bytes; the start date is masked in standard error too, should it appear there. A run that ends by a
signal or outlives the timeout counts as a disagreement even when both builds do it.

About N runs (default 6000, two per case; the same cases for the same seed, whatever the jobs). Prints the
runs per source and variant, the exit statuses and message codes seen, and every disagreement, whose case
is kept under --keep (default a new temporary directory) with a script that runs it again. Exit status 0
when the builds agree everywhere, 1 otherwise.
"""
import argparse
import collections
import concurrent.futures
import os
import shutil
import sys
import tempfile
import time
from typing import NamedTuple

sys.dont_write_bytecode = True
import diff_inputs  # noqa: E402
import diff_outcome  # noqa: E402
import runs  # noqa: E402

RERUN = """#!/usr/bin/env bash
# ./rerun BUILD_DIR: runs BUILD_DIR's merger on this case in a fresh copy of input/ and leaves it there.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd) build=$(cd "$1" && pwd) work=$(mktemp -d)
cp -r "$here/input/." "$work"
mapfile -t arguments <"$here/arguments"
cd "$work"
VARNETDIR="$build/varnet" MPS_DIR="$here/toolchain" MPS_STANDIN_LOG="$work/tools.log" LC_ALL=C \\
  "$build/mpsmerge" "${arguments[@]}" || echo "exit status $?"
echo "$work"
"""


class Verdict(NamedTuple):
    source: str
    variant: str
    name: str
    status: str      # the old build's exit status
    codes: list      # the old build's message codes
    dated: bool      # whether the start date was in a build's standard error
    problems: list   # what differs, or went wrong in both
    kept: str        # where the case is kept, when it has problems


def failed(outcome):
    return outcome.status == "timeout" or outcome.status.startswith("signal")


def write(path, data):
    with open(path, "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode())


def keep(directory, case, flags, outcomes, problems, toolchain):
    """The case, both outcomes and a script to run it again."""
    shutil.copytree(toolchain, os.path.join(directory, "toolchain"))
    os.makedirs(os.path.join(directory, "input"))
    for name, data in case.files.items():
        write(os.path.join(directory, "input", name), data)
    write(os.path.join(directory, "arguments"), b"".join(os.fsencode(word) + b"\n" for word in case.arguments + flags))
    write(os.path.join(directory, "rerun"), RERUN)
    os.chmod(os.path.join(directory, "rerun"), 0o755)
    for side, outcome in zip(("old", "new"), outcomes):
        for what in ("stdout", "stderr", "tools"):
            write(os.path.join(directory, f"{side}.{what}"), getattr(outcome, what))
        for name, data in outcome.files.items():
            write(os.path.join(directory, f"{side}.file.{name}"), data)
    deep = ", in a directory deeper than 5 000 bytes" if case.deep else ""
    write(os.path.join(directory, "case"), f"{case.source}: {case.name}\n{' '.join(flags) or 'structural'}{deep}\n"
          + "".join(f"{problem}\n" for problem in problems))


def check_case(index, case, builds, work, keep_root, timeout):
    """Both variants of the case, each run by both builds in the same directory."""
    directory, scratch = os.path.join(work, f"case{index}"), os.path.join(work, f"scratch{index}")
    toolchain = os.path.join(work, "toolchain")
    diff_outcome.make_directory(directory, case.deep)
    os.makedirs(scratch)
    verdicts = []
    try:
        for variant, flags in runs.VARIANTS:
            old, new = (diff_outcome.run(build, case, flags, directory, toolchain, scratch, timeout)
                        for build in builds)
            problems = diff_outcome.differences(old, new)
            problems += [f"{side} build: {outcome.status}" for side, outcome in (("old", old), ("new", new))
                         if failed(outcome)]
            kept = ""
            if problems:
                kept = os.path.join(keep_root, f"case{index:05}-{case.source}-{variant.strip('-')}")
                keep(kept, case, flags, (old, new), problems, toolchain)
            verdicts.append(Verdict(case.source, variant, case.name, old.status, diff_outcome.codes(old),
                                    old.date_in_stderr or new.date_in_stderr, problems, kept))
    finally:
        diff_outcome.remove_directory(directory)
        shutil.rmtree(scratch)
    return verdicts


def counts(counter):
    return ", ".join(f"{key}: {count}" for key, count in sorted(counter.items()))


def check_all(args, builds, work, keep_root):
    """The verdicts of every case in order, however many run at once."""
    verdicts = []
    with concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
        pending = collections.deque()
        for index, case in enumerate(diff_inputs.cases(args.seed, args.runs, work)):
            pending.append(pool.submit(check_case, index, case, builds, work, keep_root, args.timeout))
            while pending and (len(pending) > 2 * args.jobs or pending[0].done()):
                verdicts += pending.popleft().result()
        while pending:
            verdicts += pending.popleft().result()
    return verdicts


def summarise(verdicts, seconds, keep_root):
    statuses = collections.defaultdict(collections.Counter)
    for v in verdicts:
        statuses[(v.source, v.variant)][v.status] += 1
    print("runs per source and variant, with their exit statuses (the old build's, as its message codes below):")
    for source in ("example", "corpus", "generated", "mutated"):
        for variant, _ in runs.VARIANTS:
            seen = statuses[(source, variant)]
            print(f"  {source:<10} {variant:<10} {sum(seen.values()):>5}  ({counts(seen)})")
    print("exit statuses:", counts(collections.Counter(v.status for v in verdicts)))
    print("runs showing each message code:", counts(collections.Counter(code for v in verdicts for code in v.codes)))
    dated = sum(v.dated for v in verdicts)
    print(f"start date in standard error: {dated} runs" if dated else "start date in standard error: never")
    print(f"{len(verdicts)} runs in {seconds:.0f} s")
    problems = [v for v in verdicts if v.problems]
    if not problems:
        print("the two builds agree on every run")
        return 0
    print(f"{len(problems)} RUNS WHERE THE BUILDS DO NOT AGREE (kept in {keep_root}):", file=sys.stderr)
    for v in problems:
        print(f"  {v.source} {v.variant}: {'; '.join(v.problems)}\n    {v.name[:200]}\n    {v.kept}", file=sys.stderr)
    return 1


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("old")
    parser.add_argument("new")
    parser.add_argument("--runs", type=int, default=6000)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--keep", help="where the cases of disagreements are kept")
    parser.add_argument("--jobs", type=int, default=1)
    parser.add_argument("--timeout", type=float, default=60, help="seconds per merger run")
    args = parser.parse_args()
    builds = [os.path.abspath(build) for build in (args.old, args.new)]
    for build in builds:
        runs.require_build(build)
    runs.build(["generate_run"])
    print(f"old: {builds[0]}\nnew: {builds[1]}\nseed {args.seed}, about {args.runs} runs, {args.jobs} jobs",
          flush=True)
    start = time.perf_counter()
    keep_root = os.path.abspath(args.keep) if args.keep else tempfile.mkdtemp(prefix="mpsdiff-kept.")
    os.makedirs(keep_root, exist_ok=True)
    work = tempfile.mkdtemp(prefix="mpsdiff.")
    try:
        diff_outcome.write_toolchain(os.path.join(work, "toolchain"))
        verdicts = check_all(args, builds, work, keep_root)
    finally:
        shutil.rmtree(work)
        if not args.keep and not os.listdir(keep_root):
            os.rmdir(keep_root)
    return summarise(verdicts, time.perf_counter() - start, keep_root)


if __name__ == "__main__":
    sys.exit(main())
