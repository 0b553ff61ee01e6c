"""scripts/bench --instructions: instructions the merger executes on each run, the cost of a doubling
without the machine's noise.

Wall and CPU time of a shared virtual machine swing by a third between identical runs, which hides
whether a doubling costs 2.0 or 2.2. The count of instructions of a merge-only run (valgrind's
cachegrind without its cache simulation, about 20 times slower than the run) does not move between
runs of the same build and input, so its growth over a series shows a cost that grows faster than the
records, however small. It does not show what memory costs (page clearing, cache misses). Where
merged records gather a number per tester (the testers shape), the RDD report itself grows faster than
the records: instructions per RDD byte are given beside those per record.
"""
import os
import re
import shutil
import subprocess
import sys

import runs

HEAD = "| run | variant | records | RDD MB | instructions | per record | per RDD byte |"


def instructions(run, flags, noop, timeout):
    """Instructions of one merge-only run, or the reason there is no count."""
    command = ["valgrind", "--tool=cachegrind", "--cache-sim=no", "--cachegrind-out-file=/dev/null",
               *runs.merger_command(runs.BUILD, run, flags, "merge.rdd")]
    try:
        done = subprocess.run(command, cwd=run.directory, env=runs.merger_env(runs.BUILD, noop),
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=timeout)
    except subprocess.TimeoutExpired:
        return None, "timeout"
    if done.returncode not in (0, 3):
        return None, f"status {done.returncode}"
    found = re.search(rb"I\s+refs:\s+([\d,]+)", done.stderr)
    return (int(found.group(1).replace(b",", b"")), None) if found else (None, "no count in valgrind's output")


def main(args, work, noop):
    if not shutil.which("valgrind"):
        sys.exit("bench: --instructions needs valgrind (scripts/setup installs it)")
    print(f"seed {runs.SEED}; scale {args.scale}; instructions of the merge-only run (cachegrind, no cache simulation)")
    print(HEAD)
    print("|" + "---|" * (HEAD.count("|") - 1))
    series, problems = {}, []
    for shape in runs.shapes_named(args.shapes or ",".join(runs.SHAPES)):
        for run in runs.runs_of(work, shape, args.scale, args.keep):
            full = runs.full_run(run, [], "full.rdd", args.timeout)
            if runs.failure(full):
                problems.append(f"{run.name}: full run: {runs.failure(full)}")
                continue
            for variant, flags in runs.VARIANTS:
                count, why = instructions(run, flags, noop, args.timeout * 40)
                if why:
                    problems.append(f"{run.name} {variant}: {why}")
                    print(f"| {run.name} | {variant} | {run.records} | {why} | | | |", flush=True)
                    continue
                series.setdefault((shape, variant), []).append(count)
                rdd = os.path.getsize(os.path.join(run.directory, "merge.rdd"))
                print(f"| {run.name} | {variant} | {run.records} | {rdd / (1 << 20):.1f} | {count:,} | "
                      f"{count / run.records:.0f} | {count / rdd:.1f} |", flush=True)
    for (shape, variant), rows in series.items():
        if len(rows) < 2:
            continue
        steps = [after / before for before, after in zip(rows, rows[1:])]
        mean = (rows[-1] / rows[0]) ** (1 / len(steps))
        print(f"doubling, {shape}, {variant}: " + ", ".join(f"x{s:.3f}" for s in steps) + f"; mean x{mean:.3f}")
    for problem in problems:
        print("bench: " + problem, file=sys.stderr)
    return 1 if problems else 0
