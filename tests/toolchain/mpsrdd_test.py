#!/usr/bin/python3
"""mpsrdd on merged runs, read back by real consumers: xmllint against the JUnit schema, Debian's junitparser.

  mpsrdd_test.py SOURCE_DIR BUILD_DIR
"""
import json
import os
import re
import subprocess
import sys
import unittest

import junitparser

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bridge_page import merge_generated_run, read_page, run_merger, scratch_dir  # noqa: E402

SOURCE, BUILD = sys.argv[1], sys.argv[2]
SCHEMA = os.path.join(SOURCE, "tests", "toolchain", "junit.xsd")


def mpsrdd(*words, cwd=None):
    """(exit status, standard output, standard error lines)."""
    done = subprocess.run([os.path.join(BUILD, "mpsrdd"), *words], capture_output=True, cwd=cwd)
    return done.returncode, done.stdout.decode("utf-8"), done.stderr.decode("utf-8", "replace").splitlines()


def valid_junit(test, path):
    checked = subprocess.run(["xmllint", "--noout", "--schema", SCHEMA, path], capture_output=True, text=True)
    test.assertEqual(checked.returncode, 0, checked.stderr)
    return junitparser.JUnitXml.fromfile(path)


def outcome(case):
    return [type(r).__name__ for r in case.result] or ["passed"]


def changed_example(work):
    """The example run again with landing's door_cycle failed, test item TI-00 gone and landing's clock 300 ms later."""
    def prepare(run):
        with open(os.path.join(run, "supervisor.rio")) as f:
            lines = f.readlines()
        with open(os.path.join(run, "supervisor.rio"), "w") as f:
            f.writelines(lines[:7] + lines[18:])  # the XI group of TI-00
        with open(os.path.join(run, "landing.rio")) as f:
            text = f.read()
        with open(os.path.join(run, "landing.rio"), "w") as f:
            f.write(text.replace('FS "door_cycle" "3000" "2"', 'FS "door_cycle" "3000" "1"')
                    .replace('SY "lab" "100" "500"', 'SY "lab" "100" "800"'))
    run_merger(SOURCE, BUILD, "example_three_testers", work, prepare)
    return os.path.join(work, "mpsrdd.rdd")


class Example(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = cls.enterClassContext(scratch_dir())
        run_merger(SOURCE, BUILD, "example_three_testers", cls.work)
        cls.rdd = os.path.join(cls.work, "mpsrdd.rdd")

    def test_summary_tells_each_testers_verdicts(self):
        status, out, errors = mpsrdd("summary", self.rdd)
        self.assertEqual((status, errors), (0, []))
        self.assertEqual(re.sub(r", [A-Z][a-z]{2} .*?[0-9]{4}, ", ", DATE, ", out),
                         "lift_acceptance, DATE, %s: 3 testers\n"
                         "1 cabin: 2 steps, 2 passed, 0 failed, 0 inconclusive, 0 unknown, 0 ER\n"
                         "2 landing: 2 steps, 0 passed, 1 failed, 1 inconclusive, 0 unknown, 1 ER\n"
                         "3 supervisor: 2 steps, 2 passed, 0 failed, 0 inconclusive, 0 unknown, 0 ER\n"
                         "all: 6 steps, 4 passed, 1 failed, 1 inconclusive, 0 unknown, 1 ER\n" % self.rdd)

    def test_junit_gives_a_suite_per_tester_and_a_case_per_step(self):
        self.assertEqual(mpsrdd("junit", self.rdd), (0, "", []))
        xml = valid_junit(self, os.path.join(self.work, "mpsrdd.junit.xml"))
        suites = {suite.name: suite for suite in xml}
        self.assertEqual(list(suites), ["1 cabin", "2 landing", "3 supervisor"])
        cases = {name: [(c.classname, c.name, c.time, outcome(c)) for c in suite] for name, suite in suites.items()}
        self.assertEqual(cases, {
            "1 cabin": [("TI-01", "door_cycle", 1.75, ["passed"]), ("TI-02", "call_to_floor", 3.9, ["passed"])],
            "2 landing": [("TI-01", "door_cycle", 1.55, ["Skipped"]), ("TI-02", "call_to_floor", 3.9, ["Failure"])],
            "3 supervisor": [("TI-00", "power_check", 4.0, ["passed"]), ("TI-02", "call_to_floor", 4.9, ["passed"])]})
        failure = list(suites["2 landing"])[1].result[0]
        self.assertIn("position display shows 2 while the car stands at 3", failure.message)
        self.assertEqual(failure.text.strip(),
                         "RDD line 76: landing \u00b7 position display shows 2 while the car stands at 3")
        self.assertEqual((xml.tests, xml.failures, xml.errors, xml.skipped), (6, 1, 0, 1))
        properties = {p.name: p.value for p in suites["3 supervisor"].properties()}
        self.assertEqual((properties["plan"], properties["clock scale"], properties["clock shift"]),
                         ("lift_acceptance", "1000", "0"))

    def test_compare_with_itself_and_with_a_changed_run(self):
        self.assertEqual(mpsrdd("compare", self.rdd, self.rdd, "-o", os.path.join(self.work, "same.html"))[0], 0)
        with scratch_dir() as work:
            new = changed_example(work)
            status, out, errors = mpsrdd("compare", self.rdd, new)
            self.assertEqual((status, errors), (1, []))
            self.assertEqual(out.splitlines()[2:], [
                "changed: TI-01 door_cycle, tester landing: inconclusive (2) -> failed (1)",
                "only in old: test item TI-00: power_check",
                "clock moved: tester landing: scale \u00d71, shift 5500 ms -> scale \u00d71, shift 5800 ms",
                "verdicts differ"])
            page = read_page(os.path.join(work, "mpsrdd.compare.html"))
            self.assertEqual([svg["attrs"]["id"] for svg in page.all("svg", cls="timeline")],
                             ["old-timeline", "new-timeline"])
            ids = [e["attrs"]["id"] for e in page.elements if "id" in e["attrs"]]
            self.assertEqual(len(ids), len(set(ids)))
            self.assertEqual(len(page.all("tr", inside=page.all("table", cls="changed")[0])), 2)

    def test_outputs_replace_only_their_own(self):
        page = os.path.join(self.work, "view.html")
        self.assertEqual(mpsrdd("page", self.rdd, "-o", page), (0, "", []))
        self.assertEqual(mpsrdd("junit", self.rdd, "-o", page), (0, "", []))  # outputs of this tool
        self.assertEqual(mpsrdd("page", self.rdd, "-o", page), (0, "", []))
        tdc = os.path.join(self.work, "lift_acceptance.tdc")
        for words, refused in ((["page", self.rdd, "-o", tdc], tdc), (["junit", self.rdd, "-o", self.rdd], self.rdd),
                               (["compare", self.rdd, tdc, "-o", self.rdd], self.rdd)):
            with open(refused, "rb") as f:
                before = f.read()
            status, out, errors = mpsrdd(*words)
            self.assertEqual((status, out, len(errors)), (2, "", 1), words)
            self.assertTrue(errors[0].startswith("mpsrdd: " + refused + ": "), errors)
            with open(refused, "rb") as f:
                self.assertEqual(f.read(), before)

    def test_an_output_is_one_from_its_first_byte(self):
        # The mark line alone, below another file's head, does not make an output.
        with open(self.rdd, "rb") as f:
            rdd_head = f.readline()
        heads = {"html": b'<!DOCTYPE html>\n<html lang="en">\n<head>\n<meta charset="utf-8">\n'
                         b'<meta name="generator" content="mpsrdd">\n',
                 "xml": b'<?xml version="1.0" encoding="UTF-8"?>\n<!-- generator: mpsrdd -->\n'}
        for name, content, replaced in (("page.html", heads["html"], True), ("junit.xml", heads["xml"], True),
                                        ("report.html", rdd_head + heads["html"], False),
                                        ("marked.html", rdd_head + b'<meta name="generator" content="mpsrdd">\n', False),
                                        ("late.xml", b"\n" + heads["xml"], False),
                                        ("short.html", heads["html"][:-1], False)):
            path = os.path.join(self.work, name)
            with open(path, "wb") as f:
                f.write(content)
            status, _, errors = mpsrdd("page", self.rdd, "-o", path)
            self.assertEqual((status, errors), (0, []) if replaced else
                             (2, ["mpsrdd: " + path + ": exists and is no output of mpsrdd: not replaced"]), name)
            with open(path, "rb") as f:
                self.assertEqual(f.read() == content, not replaced, name)


class Refused(unittest.TestCase):
    """A report that is no complete RDD report: one line naming file and line, status 2, no file."""

    def test_missing_truncated_binary_and_malformed_reports(self):
        with scratch_dir() as work:
            rdd = run_merger(SOURCE, BUILD, "example_three_testers", work)
            with open(os.path.join(work, "cabin.rod"), "rb") as f:
                rod = f.read()
            numbers = b'CH "door_cmd" "open" "1" "11" '
            cases = [("missing", None, "$"),
                     ("empty", b"", ": empty"),
                     ("binary", rdd[:200] + b"\0\1\2" + rdd[200:], ":4: binary data"),
                     ("rod", rod, ":1: not an RDD report"),
                     ("unclosed", b"\n".join(rdd.split(b"\n")[:40]) + b"\n", ":33: DS block never closed"),
                     ("cut", rdd[:rdd.index(b'"position display') + 5], ":76: the last line is cut short"),
                     ("unended", rdd[:-1], ":90: the last line is cut short"),
                     ("unnumbered", rdd.replace(numbers, b'CH "door_cmd" "open"'), ":35: record without its report"),
                     ("report_0", rdd.replace(numbers, b'CH "door_cmd" "open" "0" "11" '), ":35: record without"),
                     ("unquoted", rdd.replace(b'stands at 3" "2" "28" ', b'stands at 3" "2" "28 '), ":76: field without"),
                     ("untimed", rdd.replace(b'"5300" "1" "10"', b'"soon" "1" "10"'), ":34: time field 5 is no number"),
                     ("lower_case", rdd.replace(numbers, b"c" + numbers[1:]), ":35: line without a record keyword"),
                     ("blank_line", rdd.replace(numbers, b"\n" + numbers), ":35: line without a record keyword")]
            for name, content, told in cases:
                if content is not None:
                    with open(os.path.join(work, name + ".rdd"), "wb") as f:
                        f.write(content)
                for words in (["page"], ["junit"], ["summary"], ["compare", "mpsrdd.rdd"]):
                    before = sorted(os.listdir(work))
                    status, out, errors = mpsrdd(*words, name + ".rdd", cwd=work)
                    self.assertEqual((status, out, len(errors)), (2, "", 1), words + [name])
                    self.assertRegex(errors[0], "^mpsrdd: (cannot read )?" + name + r"\.rdd" + told)
                    self.assertEqual(sorted(os.listdir(work)), before)

    def test_words_it_does_not_take(self):
        for words in ([], ["draw", "a.rdd"], ["page"], ["page", "a.rdd", "b.rdd"], ["summary", "a.rdd", "-o", "x"],
                      ["page", "a.rdd", "-x"], ["compare", "a.rdd"]):
            status, out, errors = mpsrdd(*words)
            self.assertEqual((status, out, len(errors)), (2, "", 1), words)
        status, out, _ = mpsrdd("--help")
        self.assertEqual((status, out.split()[:3]), (0, ["usage:", "mpsrdd", "page"]))

    def test_names_show_their_control_characters_escaped(self):
        # The line names the report as given, but for what would steer the terminal.
        with scratch_dir() as work:
            for name, shown in ((b"x\x1b[1A\x1b[2Ky", rb"x\x1b[1A\x1b[2Ky"), (b"b\x08\x07\x7f", rb"b\x08\x07\x7f"),
                                (b"t\tr\rn\n", rb"t\tr\rn\n"), (b"\xc2\x9bc1", rb"\u009bc1"), (b"\xff\x9b", b"\xff\x9b")):
                done = subprocess.run([os.path.join(BUILD, "mpsrdd"), "summary", name + b".rdd"], capture_output=True,
                                      cwd=work)
                self.assertEqual((done.returncode, done.stderr), (2, b"mpsrdd: cannot read " + shown + b".rdd\n"))


class Trace(unittest.TestCase):
    """The example's run in the trace event format, parsed back."""

    @classmethod
    def setUpClass(cls):
        cls.work = cls.enterClassContext(scratch_dir())
        run_merger(SOURCE, BUILD, "example_three_testers", cls.work)
        status, _, errors = mpsrdd("trace", os.path.join(cls.work, "mpsrdd.rdd"), "-o", os.path.join(cls.work, "run.json"))
        assert (status, errors) == (0, []), errors
        with open(os.path.join(cls.work, "run.json"), encoding="utf-8") as f:
            cls.events = json.load(f)["traceEvents"]

    def of(self, phase, **fields):
        return [e for e in self.events if e["ph"] == phase and all(e.get(k) == v for k, v in fields.items())]

    def test_a_process_per_tester(self):
        names = {e["pid"]: e["args"]["name"] for e in self.of("M", name="process_name")}
        self.assertEqual(names, {1: "1 cabin", 2: "2 landing", 3: "3 supervisor"})

    def test_steps_and_items_are_complete_events_in_microseconds(self):
        # Merged ticks of 1 ms: cabin's door_cycle from 5 250 to 7 000 ticks.
        steps = {(e["pid"], e["name"], e["args"]["status"]): (e["ts"], e["dur"]) for e in self.of("X", tid=2)}
        self.assertEqual(steps[(1, "door_cycle", "passed")], (5250000, 1750000))
        self.assertIn((2, "call_to_floor", "failed"), steps)
        self.assertIn((2, "door_cycle", "inconclusive"), steps)
        self.assertEqual(sorted(e["name"] for e in self.of("X", tid=1, pid=3)), ["TI-00", "TI-02"])

    def test_records_errors_and_rendezvous(self):
        self.assertEqual([(e["ts"], e["pid"]) for e in self.of("i", name="DW door_open")], [(5400000, 1)])
        errors = self.of("i", name="ER")
        self.assertEqual([(e["pid"], e["ts"]) for e in errors], [(2, 13000000)])
        self.assertIn("position display shows 2", errors[0]["args"]["text"])
        flows = {}
        for e in self.events:
            if e.get("cat") == "rendezvous":
                flows.setdefault(e["id"], []).append((e["ph"], e["pid"], e["ts"]))
        self.assertEqual(sorted(e["name"] for e in self.events if e["ph"] == "s"), ["door_closed", "floor_reached"])
        for steps in flows.values():
            self.assertEqual([p for p, _, _ in steps], ["s", "t", "f"])
            self.assertEqual(sorted(pid for _, pid, _ in steps), [1, 2, 3])
            self.assertEqual(len({ts for _, _, ts in steps}), 1)  # the example's clocks agree


HOSTILE = '</script><img src=x onerror=alert(1)>mark<b>&amp;</b>]]><![CDATA[ x]]>\x01\x1b[2J "" \xff\xfe \xef\xbf\xbe end'


class HostileText(unittest.TestCase):
    def test_any_text_gives_well_formed_xml_and_no_markup(self):
        with scratch_dir() as work:
            rdd = run_merger(SOURCE, BUILD, "example_three_testers", work)
            hostile = HOSTILE.encode("latin-1")
            rdd = (rdd.replace(b"position display shows 2", hostile).replace(b'DS "door_cycle"', b'DS "' + hostile + b'"')
                   .replace(b'"TI-02"', b'"' + hostile + b'"').replace(b'SC "landing"', b'SC "' + hostile + b'"')
                   .replace(b'CF "landing.rod"', b'CF "' + hostile + b'"'))
            with open(os.path.join(work, "x.rdd"), "wb") as f:
                f.write(rdd)
            self.assertEqual(mpsrdd("junit", "x.rdd", cwd=work), (0, "", []))
            xml = valid_junit(self, os.path.join(work, "x.junit.xml"))
            replaced = '</script><img src=x onerror=alert(1)>mark<b>&amp;</b>]]><![CDATA[ x]]>\ufffd\ufffd[2J " \ufffd\ufffd \ufffd end'
            self.assertEqual([suite.name for suite in xml][1], "2 " + replaced)
            self.assertIn(replaced, list(list(xml)[1])[1].result[0].text)
            self.assertEqual(mpsrdd("page", "x.rdd", cwd=work), (0, "", []))
            page = read_page(os.path.join(work, "x.html"))
            self.assertEqual(len(page.all("script")), 1)
            self.assertEqual(page.all("b") + page.all("img"), [])
            self.assertIn("2 " + replaced, [t["text"] for t in page.all("text", cls="lane-name")])
            self.assertIn(replaced, [t["text"] for t in page.all("text", cls="lane-source")])
            status, out, _ = mpsrdd("summary", "x.rdd", cwd=work)
            self.assertIn("2 " + replaced + ": 2 steps", out)
            self.assertEqual(mpsrdd("trace", "x.rdd", cwd=work), (0, "", []))
            with open(os.path.join(work, "x.trace.json"), encoding="utf-8") as f:
                trace = json.load(f)["traceEvents"]
            self.assertIn(replaced, {e["name"] for e in trace})
            self.assertIn("2 " + replaced, {e["args"]["name"] for e in trace if e["name"] == "process_name"})


class GeneratedRun(unittest.TestCase):
    def test_trace_events_of_a_thread_nest(self):
        # Steps whose records run past the next step's start overlap
        # without nesting: a trace viewer drops such events of one thread.
        with scratch_dir() as work:
            merge_generated_run(BUILD, work, 1, 4, 8000, "mixed")
            self.assertEqual(mpsrdd("trace", "mpsrdd.rdd", cwd=work), (0, "", []))
            with open(os.path.join(work, "mpsrdd.trace.json"), encoding="utf-8") as f:
                events = json.load(f)["traceEvents"]
        threads = {}
        for e in events:
            if e["ph"] == "X":
                threads.setdefault((e["pid"], e["tid"]), []).append((e["ts"], -e["dur"]))
        self.assertTrue(any(tid > 10 for _, tid in threads), "no overlapping steps to try")
        for thread, spans in threads.items():
            open_ends = []
            for start, minus_duration in sorted(spans):
                while open_ends and open_ends[-1] <= start:
                    open_ends.pop()
                self.assertFalse(open_ends and start - minus_duration > open_ends[-1], thread)
                open_ends.append(start - minus_duration)

    def test_junit_counts_what_the_rod_reports_hold(self):
        with scratch_dir() as work:
            rios = merge_generated_run(BUILD, work, 3, 4, 3000, "plain")
            self.assertEqual(mpsrdd("junit", "mpsrdd.rdd", cwd=work), (0, "", []))
            xml = valid_junit(self, os.path.join(work, "mpsrdd.junit.xml"))
            for suite, rio in zip(xml, rios):
                with open(os.path.join(work, rio[:-4] + ".rod")) as f:
                    statuses = [re.findall(r'"([^"]*)"', line)[2] for line in f if line.startswith("FS ")]
                cases = list(suite)
                self.assertEqual(len(cases), len(statuses), rio)
                self.assertEqual(suite.failures, statuses.count("1"))
                self.assertEqual(suite.skipped, statuses.count("2"))
                self.assertTrue(all(case.time > 0 for case in cases))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
