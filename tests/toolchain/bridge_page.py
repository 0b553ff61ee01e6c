"""Runs the merger and its report bridge, and reads the page the bridge writes."""
import html.parser
import os
import shutil
import subprocess
import tempfile

VOID = {"meta", "br", "hr", "img", "input", "link"}


class Page(html.parser.HTMLParser):
    """Every element of a page with its attributes, its parent and its text."""

    def __init__(self, text):
        super().__init__(convert_charrefs=True)
        self.elements, self.open = [], []
        self.feed(text)
        self.close()
        for e in self.elements:
            e["text"] = "".join(e["text"])

    def handle_starttag(self, tag, attrs):
        parent = self.open[-1] if self.open else None
        self.elements.append({"tag": tag, "attrs": dict(attrs), "parent": parent, "text": []})
        if tag not in VOID:
            self.open.append(len(self.elements) - 1)

    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)
        if tag not in VOID:
            self.open.pop()

    def handle_endtag(self, tag):
        while self.open:
            if self.elements[self.open.pop()]["tag"] == tag:
                break

    def handle_data(self, data):
        # Joined once at the end: every ancestor of a text holds it.
        for i in self.open:
            self.elements[i]["text"].append(data)

    def all(self, tag=None, cls=None, inside=None, **attrs):
        found = []
        for i, e in enumerate(self.elements):
            if tag and e["tag"] != tag:
                continue
            if cls and cls not in e["attrs"].get("class", "").split():
                continue
            if any(e["attrs"].get(k.replace("_", "-")) != v for k, v in attrs.items()):
                continue
            if inside is not None and not self.is_inside(i, inside):
                continue
            found.append(e)
        return found

    def is_inside(self, i, ancestor):
        parent = self.elements[i]["parent"]
        while parent is not None:
            if self.elements[parent] is ancestor:
                return True
            parent = self.elements[parent]["parent"]
        return False


def run_merger(source, build, scenario, work, prepare=None):
    """Runs mpsmerge as the end-to-end scenario does, in a copy of it at work (changed by prepare first); the RDD report's bytes."""
    shutil.copytree(os.path.join(source, "tests", "e2e", "scenarios", scenario), work, dirs_exist_ok=True)
    if prepare:
        prepare(work)
    with open(os.path.join(work, "args")) as f:
        args = [line.strip() for line in f if line.strip()]
    env = dict(os.environ, VARNETDIR=os.path.join(build, "varnet"), MPS_DIR=build, LANG="C", LC_ALL="C")
    subprocess.run([os.path.join(build, "mpsmerge"), *args], cwd=work, env=env, capture_output=True)
    with open(os.path.join(work, "mpsrdd.rdd"), "rb") as f:
        return f.read()


def merge_generated_run(build, work, seed, testers, records, shape, *options):
    """A run of bench/generate_run merged with the stand-ins in work; the names of its RIO files. Status 3, an incorrect
    scenario, is a success here."""
    subprocess.run([os.path.join(build, "bench", "generate_run"), str(seed), str(testers), str(records), work, shape],
                   check=True, stdout=subprocess.DEVNULL)
    rios = sorted(f for f in os.listdir(work) if f.endswith(".rio"))
    env = dict(os.environ, VARNETDIR=os.path.join(build, "varnet"), MPS_DIR=build, LANG="C")
    done = subprocess.run([os.path.join(build, "mpsmerge"), "bench.tdc", *rios, *options], cwd=work, env=env,
                          capture_output=True)
    assert done.returncode in (0, 3), done.stderr
    return rios


def run_bridge(build, directory, name):
    """Returns (exit status, standard error lines)."""
    done = subprocess.run([os.path.join(build, "mpsuml"), "-path", directory, "-name", name, "-nobanner"],
                          capture_output=True)
    return done.returncode, done.stderr.decode("utf-8", "replace").splitlines()


def write_crowded_rdd(path, testers, steps, text_bytes):
    """An RDD report of many testers that all ran every step, with a long ER record in each step and rendezvous."""
    def tail(line):
        return "".join('"%d" "%d" ' % (t, line) for t in range(1, testers + 1))
    with open(path, "w") as f:
        f.write('MIRVA ProbeSuite "v2.6a" "crowd" "RDD file" "Tue Mar 12 09:00:00 2024" \n')
        for t in range(1, testers + 1):
            f.write('SC "tester %d" "crowd" "%d" "2" \nSY "lab" "1" "0" "1000" "1" "ms" "%d" "3" \n' % (t, t, t))
        for s in range(steps):
            line = 10 + 10 * s
            f.write('XI "%d" %s\nYI %s\n' % (100 * s, tail(line), tail(line + 1)))
            f.write('DS "step %d" "x" "1" "TI-%d" "%d" %s\n' % (s, s, 100 * s + 1, tail(line + 2)))
            for t in range(1, testers + 1, max(1, testers // 20)):
                f.write('RD "meet" "x" "0" "1" "%d" "%d" "%d" \n' % (100 * s + 2, t, line + 3))
            f.write('ER "x" "%s" "1" "%d" \n' % ("<&>" * (text_bytes // 3), line + 4))
            f.write('FS "step %d" "5" "1" %s\n' % (s, tail(line + 5)))


def read_page(path):
    with open(path, encoding="utf-8") as f:
        return Page(f.read())


def scratch_dir():
    """A directory removed at the end of a with statement."""
    return tempfile.TemporaryDirectory(prefix="mpsuml-")
