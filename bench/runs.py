"""What the modes of scripts/bench share: the shapes, the release build, generated runs and their ROD
reports, merge-only runs of the merger, and the measurement of one command."""
import itertools
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from typing import NamedTuple

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build-release")
SEED = 1
GNU_TIME = "/usr/bin/time"
VARIANTS = [("structural", []), ("-TIME", ["-TIME"])]


class Shape(NamedTuple):
    generator: str   # the shape argument of generate_run
    runs: list       # (testers, records per tester); more than one run makes a doubling series
    repeats: int     # merge-only runs per variant, the best counts


SHAPES = {
    "deep": Shape("plain", [(8, 125000)], 1),
    "wide": Shape("plain", [(200, 5000)], 1),
    "series": Shape("plain", [(1, 100000), (2, 100000), (4, 100000), (8, 100000)], 5),
    # Doubles the groups per report, whose merge should not rescan what was merged before.
    "nods": Shape("nods", [(8, 12500), (8, 25000), (8, 50000), (8, 100000)], 3),
    "manygroups": Shape("manygroups", [(4, 25000), (4, 50000), (4, 100000), (4, 200000)], 3),
    # Doubles the testers, each of about 115 top-level groups.
    "testers": Shape("testers", [(50, 1800), (100, 1800), (200, 1800), (400, 1800)], 3),
    # Every record kind, nested groups, and testers aligned by their rendezvous alone.
    "mixed": Shape("mixed", [(8, 26500), (8, 53000), (8, 106000), (8, 212000)], 3),
}


def shapes_named(text):
    names = text.split(",")
    unknown = [name for name in names if name not in SHAPES]
    if unknown:
        sys.exit(f"bench: unknown shape {', '.join(unknown)}; shapes: {', '.join(SHAPES)}")
    return names


def build(targets=("mpsmerge", "generate_run", "cell_floor", "translations", "mpspostpro", "mpsuml")):
    if not os.path.exists(os.path.join(ROOT, "toolchain", "mpspostpro.cpp")):
        sys.exit("bench: the post-processor stand-in (toolchain/) is not in this tree yet")
    subprocess.run(["cmake", "-S", ROOT, "-B", BUILD, "-DCMAKE_BUILD_TYPE=Release"], check=True,
                   stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", BUILD, "-j2", "--target", *targets], check=True, stdout=subprocess.DEVNULL)


def require_build(build_dir):
    for needed in ("mpsmerge", "varnet"):
        if not os.path.exists(os.path.join(build_dir, needed)):
            sys.exit(f"bench: {build_dir} has no {needed}: not a build directory of mpsmerge")


class Measure(NamedTuple):
    seconds: float
    rss: int          # peak resident bytes
    status: object    # exit status, None on timeout
    stderr: bytes
    cpu: float        # user + system seconds


def measure(command, cwd, env=None, stdout=subprocess.DEVNULL, timeout=None, peak_rss=True):
    """Runs command in its own session, killed with it past timeout seconds; without peak_rss, a status below
    0 is the signal that ended it."""
    err = tempfile.TemporaryFile()
    # A forked child keeps the RSS peak of this interpreter; GNU time starts it from a small process.
    peak = tempfile.NamedTemporaryFile()
    if peak_rss and os.access(GNU_TIME, os.X_OK):
        command = [GNU_TIME, "-f", "%M", "-o", peak.name, *command]
    start = time.perf_counter()
    child = subprocess.Popen(command, cwd=cwd, env=env, stdout=stdout, stderr=err, start_new_session=True)
    deadline = start + timeout if timeout else None
    while True:
        pid, status, usage = os.wait4(child.pid, os.WNOHANG)
        if pid:
            break
        if deadline and time.perf_counter() > deadline:
            os.killpg(child.pid, signal.SIGKILL)
            os.wait4(child.pid, 0)
            return Measure(time.perf_counter() - start, 0, None, b"", 0.0)
        time.sleep(0.005)
    seconds = time.perf_counter() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    err.seek(0)
    kilobytes = peak.read().split()
    kilobytes = int(kilobytes[-1]) if kilobytes and kilobytes[-1].isdigit() else usage.ru_maxrss
    return Measure(seconds, kilobytes * 1024, child.returncode, err.read(), usage.ru_utime + usage.ru_stime)


def failure(result):
    """What went wrong in a measured run, or None when it ended with status 0 or 3."""
    if result.status is None:
        return "timeout"
    if result.status in (0, 3):
        return None
    lines = result.stderr.decode(errors="replace").strip().splitlines()
    return f"status {result.status} " + (lines[-1] if lines else "")


def best_of(n, command, cwd, out):
    best = None
    for _ in range(n):
        with open(out, "wb") as f:
            seconds = measure(command, cwd, stdout=f).seconds
        best = seconds if best is None else min(best, seconds)
    os.unlink(out)
    return best


def floors(run):
    """Best of three LC_ALL=C sort -m and cat of the run's ROD reports into a file: the line-merge and
    I/O floors."""
    out = os.path.join(run.directory, "floor.out")
    return (best_of(3, ["env", "LC_ALL=C", "sort", "-m", *run.rods], run.directory, out),
            best_of(3, ["cat", *run.rods], run.directory, out))


def noop_toolchain(directory):
    os.makedirs(directory, exist_ok=True)
    for tool in ("mpspostpro", "mpsuml"):
        path = os.path.join(directory, tool)
        if os.path.lexists(path):
            os.unlink(path)
        os.symlink(shutil.which("true"), path)
    return directory


def count_records(paths):
    total = 0
    for path in paths:
        with open(path, "rb") as f:
            total += sum(chunk.count(b"\n") for chunk in iter(lambda: f.read(1 << 20), b"")) - 1
    return total


def first_difference(a, b):
    """The number of the first line where two reports differ after their header lines; None when they agree."""
    with open(a, "rb") as fa, open(b, "rb") as fb:
        fa.readline(), fb.readline()
        for number, (x, y) in enumerate(itertools.zip_longest(fa, fb), 2):
            if x != y:
                return number
    return None


class Run(NamedTuple):
    name: str
    directory: str
    rios: list
    rods: list
    records: int


def generate(work, shape, testers, records):
    name = f"{shape} {testers}x{records}"
    directory = os.path.join(work, f"{shape}-{testers}x{records}")
    shutil.rmtree(directory, ignore_errors=True)
    subprocess.run([os.path.join(BUILD, "bench", "generate_run"), str(SEED), str(testers), str(records), directory,
                    SHAPES[shape].generator], check=True)
    rios = sorted(f for f in os.listdir(directory) if f.endswith(".rio"))
    total = count_records(os.path.join(directory, f) for f in rios)
    return Run(name, directory, rios, [f[:-4] + ".rod" for f in rios], total)


def runs_of(work, shape, scale, keep, largest_only=False):
    """Yields the runs of a shape, each generated when its turn comes and removed after it unless kept."""
    for testers, records in SHAPES[shape].runs[-1:] if largest_only else SHAPES[shape].runs:
        run = generate(work, shape, testers, max(1, int(records * scale)))
        yield run
        if not keep:
            shutil.rmtree(run.directory)


def merger_env(build_dir, toolchain):
    return dict(os.environ, VARNETDIR=os.path.join(build_dir, "varnet"), MPS_DIR=toolchain, LC_ALL="C")


def merger_command(build_dir, run, flags, rdd):
    return [os.path.join(build_dir, "mpsmerge"), "bench.tdc", *run.rios, *flags, "-RDD=" + rdd]


def full_run(run, flags, rdd, timeout):
    """The whole run with this tree's post-processor and bridge stand-ins; it leaves the ROD reports."""
    return measure(merger_command(BUILD, run, flags, rdd), run.directory, merger_env(BUILD, BUILD), timeout=timeout)


def merge_only(build_dir, run, flags, rdd, noop, timeout):
    """The merger's own work, reading to writing: the ROD reports of a full run are on disk already."""
    return measure(merger_command(build_dir, run, flags, rdd), run.directory, merger_env(build_dir, noop),
                   timeout=timeout)


def rod_bytes(run):
    return sum(os.path.getsize(os.path.join(run.directory, f)) for f in run.rods)
