"""scripts/bench --floor: what holding the records themselves costs, beside the merger and sort -m.

bench/cell_floor reads every ROD report of a run into its records as the merger does (a node and a
record each, numbered), holds them all, and writes them back: no pass, no merge. Its time and peak
memory bound from below any merger that holds the reports in these records, whatever its passes and
merges do. Each shape's largest run is measured (best of three): sort -m, the
floor, and the merger's merge-only run in both variants.
"""
import os
import sys

import runs

HEAD = ("| run | records | ROD MB | sort -m s | floor s | floor RSS MB | floor RSS/ROD | floor/sort "
        "| variant | merge s | merge RSS/ROD | merge/floor |")


def best(n, measure_once):
    results = [measure_once() for _ in range(n)]
    failed = [r for r in results if runs.failure(r)]
    if failed:
        return None, runs.failure(failed[0])
    return min(results, key=lambda r: r.seconds)._replace(rss=max(r.rss for r in results)), None


def measure_floor(run, timeout):
    command = [os.path.join(runs.BUILD, "bench", "cell_floor"), "floor.out", *run.rods]
    result = best(3, lambda: runs.measure(command, run.directory, timeout=timeout))
    os.unlink(os.path.join(run.directory, "floor.out"))
    return result


def main(args, work, noop):
    print(f"seed {runs.SEED}; scale {args.scale}; best of three; floor: bench/cell_floor")
    print(HEAD)
    print("|" + "---|" * (HEAD.count("|") - 1))
    problems = []
    mb = 1 << 20
    for shape in runs.shapes_named(args.shapes or ",".join(runs.SHAPES)):
        for run in runs.runs_of(work, shape, args.scale, args.keep, largest_only=True):
            full = runs.full_run(run, [], "full.rdd", args.timeout)
            if runs.failure(full):
                problems.append(f"{run.name}: full run: {runs.failure(full)}")
                continue
            rod = runs.rod_bytes(run)
            sort_seconds, _ = runs.floors(run)
            floor, why = measure_floor(run, args.timeout)
            if why:
                problems.append(f"{run.name}: floor: {why}")
                continue
            lead = (f"| {run.name} | {run.records} | {rod / mb:.1f} | {sort_seconds:.3f} | {floor.seconds:.2f} | "
                    f"{floor.rss / mb:.0f} | {floor.rss / rod:.1f} | {floor.seconds / sort_seconds:.1f} |")
            for variant, flags in runs.VARIANTS:
                merge, why = best(3, lambda: runs.merge_only(runs.BUILD, run, flags, "merge.rdd", noop, args.timeout))
                if why:
                    problems.append(f"{run.name} {variant}: {why}")
                    print(f"{lead} {variant} | {why} | | |", flush=True)
                else:
                    print(f"{lead} {variant} | {merge.seconds:.2f} | {merge.rss / rod:.1f} | "
                          f"{merge.seconds / floor.seconds:.1f} |", flush=True)
                lead = "| | | | | | | | |"
    for problem in problems:
        print("bench: " + problem, file=sys.stderr)
    return 1 if problems else 0
