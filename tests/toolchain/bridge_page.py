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

    def handle_starttag(self, tag, attrs):
        parent = self.open[-1] if self.open else None
        self.elements.append({"tag": tag, "attrs": dict(attrs), "parent": parent, "text": ""})
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
        for i in self.open:
            self.elements[i]["text"] += data

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
    """Runs mpsmerge as the end-to-end scenario does, in a copy of it at work (changed by prepare first)."""
    shutil.copytree(os.path.join(source, "tests", "e2e", "scenarios", scenario), work, dirs_exist_ok=True)
    if prepare:
        prepare(work)
    with open(os.path.join(work, "args")) as f:
        args = [line.strip() for line in f if line.strip()]
    env = dict(os.environ, VARNETDIR=os.path.join(build, "varnet"), MPS_DIR=build, LANG="C", LC_ALL="C")
    subprocess.run([os.path.join(build, "mpsmerge"), *args], cwd=work, env=env, capture_output=True)


def run_bridge(build, directory, name):
    """Returns (exit status, standard error lines)."""
    done = subprocess.run([os.path.join(build, "mpsuml"), "-path", directory, "-name", name, "-nobanner"],
                          capture_output=True)
    return done.returncode, done.stderr.decode("utf-8", "replace").splitlines()


def read_page(path):
    with open(path, encoding="utf-8") as f:
        return Page(f.read())


def scratch_dir():
    """A directory removed at the end of a with statement."""
    return tempfile.TemporaryDirectory(prefix="mpsuml-")
