"""scripts/bench --compare OTHER_BUILD: the merge-only runs of two builds, in turns, on the same runs.

A is OTHER_BUILD (its mpsmerge and varnet/), B this tree's build-release/. Both merge the same ROD
reports, made once by B's full run; the runs go A B, B A, A B, ... so that a machine getting busier
weighs on both. For each run and variant: best wall time, best CPU time (user + system) and peak RSS
of each, the B/A ratios, and whether the two RDD reports are the same after their header line. A
difference, or an exit status of one build that the other does not give, is flagged loudly and makes
the exit status 1.
"""
import os
import sys

import runs

HEAD = ("| run | variant | records | A s | B s | B/A | A CPU s | B CPU s | B/A | A RSS MB | B RSS MB | B/A "
        "| RDD |")


def build_type(build_dir):
    try:
        with open(os.path.join(build_dir, "CMakeCache.txt")) as f:
            for line in f:
                if line.startswith("CMAKE_BUILD_TYPE:"):
                    return line.split("=", 1)[1].strip() or "no build type"
    except OSError:
        pass
    return "build type unknown"


def best(measures):
    return (min(m.seconds for m in measures), min(m.cpu for m in measures), max(m.rss for m in measures))


def compare_run(run, builds, noop, repeats, timeout):
    """Prints one row per variant; returns the problems found."""
    full = runs.full_run(run, [], "full.rdd", timeout)
    if runs.failure(full):
        return [f"{run.name}: B's full run, which makes the ROD reports: {runs.failure(full)}"]
    problems = []
    for variant, flags in runs.VARIANTS:
        done = {side: [] for side in builds}
        for turn in range(repeats):
            for side in ("A", "B") if turn % 2 == 0 else ("B", "A"):
                rdd = side.lower() + ".rdd"
                done[side].append(runs.merge_only(builds[side], run, flags, rdd, noop, timeout))
        statuses = {side: sorted({str(m.status) for m in ms}) for side, ms in done.items()}
        failed = {side: runs.failure(m) for side, ms in done.items() for m in ms if runs.failure(m)}
        if statuses["A"] != statuses["B"] or len(statuses["A"]) > 1:
            verdict = f"exit status A {','.join(statuses['A'])}, B {','.join(statuses['B'])}"
        elif failed:
            verdict = "; ".join(f"{side}: {what}" for side, what in failed.items())
        else:
            line = runs.first_difference(os.path.join(run.directory, "a.rdd"), os.path.join(run.directory, "b.rdd"))
            verdict = "same" if line is None else f"DIFFERENT from line {line}"
        if verdict != "same":
            problems.append(f"{run.name} {variant}: {verdict}")
        if failed or len(statuses["A"]) > 1 or len(statuses["B"]) > 1:
            print(f"| {run.name} | {variant} | {run.records} | {verdict} |", flush=True)
            continue
        (a_s, a_cpu, a_rss), (b_s, b_cpu, b_rss) = best(done["A"]), best(done["B"])
        mb = 1 << 20
        print(f"| {run.name} | {variant} | {run.records} | {a_s:.2f} | {b_s:.2f} | {b_s / a_s:.2f} | {a_cpu:.2f} | "
              f"{b_cpu:.2f} | {b_cpu / a_cpu:.2f} | {a_rss / mb:.0f} | {b_rss / mb:.0f} | {b_rss / a_rss:.2f} | "
              f"{verdict} |", flush=True)
    return problems


def main(args, work, noop):
    other = os.path.abspath(args.compare)
    runs.require_build(other)
    builds = {"A": other, "B": runs.BUILD}
    for side, build_dir in builds.items():
        print(f"{side}: {build_dir} ({build_type(build_dir)})")
    repeats = args.repeats or 3
    print(f"seed {runs.SEED}; scale {args.scale}; {repeats} merge-only runs of each build per variant, in turns; "
          "best wall and CPU time, highest peak RSS")
    print(HEAD)
    print("|" + "---|" * (HEAD.count("|") - 1))
    problems = []
    for shape in runs.shapes_named(args.shapes or ",".join(runs.SHAPES)):
        for run in runs.runs_of(work, shape, args.scale, args.keep):
            problems += compare_run(run, builds, noop, repeats, args.timeout)
    if problems:
        bar = "!" * 72
        print(f"{bar}\n!!! B DOES NOT AGREE WITH A:", file=sys.stderr)
        for problem in problems:
            print(f"!!!   {problem}", file=sys.stderr)
        print(bar, file=sys.stderr)
        return 1
    print("every RDD report of B is the same as A's after the header line")
    return 0
