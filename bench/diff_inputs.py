"""The inputs of bench/differential.py. A case is a set of ROD reports already on disk, as in the
merge-only runs of scripts/bench, with the RIO and TDC files whose header lines pair them: reports of the
fuzz corpus, of generated runs, mutations of both and the bundled example."""
import os
import random
import shutil
import subprocess
from typing import NamedTuple

import diff_mutations
import diff_outcome
import runs

HEADER = b'MIRVA ProbeSuite "v2.6a" "DIFF-PLAN" "%s file" "Sun Dec  6 09:00:00 2026"\n'
PLAN = b'CF "plan.tdc" "plans" "/opt/plans" "4242" "17"\n'
SHAPES = ["plain", "nods", "manygroups", "testers", "mixed"]
# Options beside the variant's, for some generated and mutated cases: the post-processor and the bridge
# are handed them.
OPTIONS = [["-LOG"], ["-NOSUMMARY"], ["-RDD=merged.rdd"], ["-rdd=Out.RDD"], ["-RA=ERR", "-VA=COMBINE"],
           ["-LE=FR", "-NOCOMMENT", "-PORTRAIT"]]
CORPUS = os.path.join(runs.ROOT, "fuzz", "corpus", "rod_reports")
EXAMPLE = os.path.join(runs.ROOT, "examples")


class Case(NamedTuple):
    source: str         # corpus, generated, mutated or example
    name: str           # what it is made of
    files: dict         # name: bytes, the run directory's content
    arguments: list     # the merger's, the variant's flag aside
    deep: bool = False  # run where the working directory's path outgrows the merger's buffer


def rod_of(trace):
    """What the post-processor stand-in makes of a RIO trace."""
    header, _, records = trace.partition(b"\n")
    return header.replace(b"RIO file", b"ROD file", 1) + b"\n" + records


def of_reports(source, name, reports, options=()):
    files = {"plan.tdc": HEADER % b"TDC" + PLAN + b'TD "differential run"\n'}
    rios = []
    for i, report in enumerate(reports):
        rios.append(f"t{i:03}.rio")
        files[rios[-1]] = HEADER % b"RIO"
        files[f"t{i:03}.rod"] = report
    return Case(source, name, files, ["plan.tdc", *rios, *options])


def split_reports(data):
    """The reports of a corpus input after its first byte, as fuzz/rod_reports.cpp cuts them."""
    parts, start = [], 0
    while len(parts) < 2:
        found = data.find(b"\n====\n", start)
        if found < 0:
            break
        parts.append(data[start:found + 1])
        start = found + 6
    return parts + [data[start:]]


def corpus_names(count):
    """count inputs of the corpus (all of them when it has no more), spread over it."""
    names = sorted(name for name in os.listdir(CORPUS) if os.path.getsize(os.path.join(CORPUS, name)))
    return names if count >= len(names) else [names[i * len(names) // count] for i in range(count)]


def corpus_case(name):
    with open(os.path.join(CORPUS, name), "rb") as f:
        return of_reports("corpus", name, split_reports(f.read()[1:]))


def example_case():
    files = {}
    for name in sorted(os.listdir(EXAMPLE)):
        with open(os.path.join(EXAMPLE, name), "rb") as f:
            files[name] = f.read()
        if name.endswith(".rio"):
            files[name[:-4] + ".rod"] = rod_of(files[name])
    tdcs = [name for name in files if name.endswith(".tdc")]
    rios = [name for name in files if name.endswith(".rio")]
    return Case("example", "examples/", files, tdcs + rios)


def generated_reports(rng, work, most_testers, most_records):
    """The ROD reports of a run of bench/generate_run of random seed, shape and size."""
    seed, shape = rng.randrange(1, 1 << 31), rng.choice(SHAPES)
    testers = rng.randint(1, most_testers)
    records = int(20 * (most_records / 20) ** rng.random())  # as many small runs as large ones
    directory = os.path.join(work, f"generated-{seed}")
    subprocess.run([os.path.join(runs.BUILD, "bench", "generate_run"), str(seed), str(testers), str(records),
                    directory, shape], check=True)
    reports = []
    for i in range(testers):
        with open(os.path.join(directory, f"t{i:03}.rio"), "rb") as f:
            reports.append(rod_of(f.read()))
    shutil.rmtree(directory)
    return f"{shape} seed {seed} {testers}x{records}", reports


def some_options(rng):
    return rng.choice(OPTIONS) if rng.random() < 0.2 else []


def generated_case(rng, work):
    name, reports = generated_reports(rng, work, 12, 3000)
    return of_reports("generated", name, reports, some_options(rng))


def other_header(header):
    return header.replace(b'"v2.6a"', b'"v2.6b"', 1)


def unpaired_rio(files, arguments, rios, tdc):
    files[rios[-1]] = other_header(files[rios[-1]])


def two_plans(files, arguments, rios, tdc):
    """Half the RIO files pair with a TDC file of another plan, which asks for the time variant."""
    head, _, rest = files[tdc].partition(b"\n")
    files["other.tdc"] = other_header(head) + b"\n" + rest.replace(b'CF "', b'CF "other-', 1)
    for name in rios[::2]:
        files[name] = other_header(files[name])
    arguments.append("other.tdc")


def no_plan_line(files, arguments, rios, tdc):
    head, _, rest = files[tdc].partition(b"\n")
    files[tdc] = head + b"\n" + b"".join(line for line in rest.splitlines(True) if not line.startswith(b"CF"))


def unmarked_rio(files, arguments, rios, tdc):
    files[rios[0]] = files[rios[0]].replace(b"RIO file", b"RIO data", 1)


def no_tdc(files, arguments, rios, tdc):
    arguments.remove(tdc)


def no_rod_report(files, arguments, rios, tdc):
    files.pop(rios[0][:-4] + ".rod", None)


def rdd_over_rio(files, arguments, rios, tdc):
    arguments.append("-RDD=" + rios[0])


def failing_postpro(files, arguments, rios, tdc):
    files[rios[-1]] += diff_outcome.POSTPRO_FAILS


RUN_MUTATIONS = [unpaired_rio, two_plans, no_plan_line, unmarked_rio, no_tdc, no_rod_report, rdd_over_rio,
                 failing_postpro]


def mutate_run(rng, files, arguments):
    """The files and arguments around the reports changed; the mutation's name."""
    files, arguments = dict(files), list(arguments)
    rios = [name for name in arguments if name.endswith(".rio")]
    tdc = next(name for name in arguments if name.endswith(".tdc"))
    mutation = rng.choice(RUN_MUTATIONS)
    mutation(files, arguments, rios, tdc)
    return files, arguments, mutation.__name__


def mutated_case(rng, work, corpus):
    """A generated run, a corpus input or the example, mutated one to four times; a case in seven has its
    other files or arguments changed too, one in thirty runs in a deep directory."""
    base = rng.random()
    if base < 0.6:
        name, reports = generated_reports(rng, work, 4, 600)
        case = of_reports("mutated", name, reports, some_options(rng))
    elif base < 0.85:
        case = corpus_case(rng.choice(corpus))
    else:
        case = example_case()
    files, arguments, done = dict(case.files), case.arguments, []
    rods = sorted(name for name in files if name.endswith(".rod"))
    for _ in range(rng.randint(1, 4)):
        rod = rng.choice(rods)
        files[rod], mutation = diff_mutations.mutate(rng, files[rod])
        done.append(f"{mutation} {rod}")
    if rng.random() < 0.15:
        files, arguments, mutation = mutate_run(rng, files, arguments)
        done.append(mutation)
    return Case("mutated", f"{case.name}: {', '.join(done)}", files, arguments, rng.random() < 0.03)


def cases(seed, count, work):
    """The cases of a check of about count runs (two each, one per variant), the same for the same seed.
    The example always, the corpus whole when half the runs can hold it, then generated and mutated cases
    in a ratio of one to two."""
    corpus = corpus_names(max(1, (count // 2 - 1) // 2))
    yield example_case()
    for name in corpus:
        yield corpus_case(name)
    left = max(0, count // 2 - 1 - len(corpus))
    for index in range(left):
        rng = random.Random(f"{seed}/{index}")
        yield generated_case(rng, work) if index % 3 == 0 else mutated_case(rng, work, corpus)
