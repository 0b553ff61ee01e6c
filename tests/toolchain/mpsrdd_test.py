#!/usr/bin/python3
"""mpsrdd on merged runs, read back by real consumers: xmllint against the JUnit schema, Debian's junitparser.

  mpsrdd_test.py SOURCE_DIR BUILD_DIR
"""
import datetime
import json
import os
import re
import resource
import subprocess
import sys
import unittest

import junitparser

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bridge_page import merge_generated_run, read_page, run_merger, scratch_dir, write_crowded_rdd  # noqa: E402

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


def header_date(rdd):
    with open(rdd) as f:
        return re.findall(r'"([^"]*)"', f.readline())[-1]


def changed_example(work):
    """The example run again with landing's door_cycle failed and 500 ms shorter, test item TI-00 gone and landing's
    clock 300 ms later."""
    def prepare(run):
        with open(os.path.join(run, "supervisor.rio")) as f:
            lines = f.readlines()
        with open(os.path.join(run, "supervisor.rio"), "w") as f:
            f.writelines(lines[:7] + lines[18:])  # the XI group of TI-00
        with open(os.path.join(run, "landing.rio")) as f:
            text = f.read()
        with open(os.path.join(run, "landing.rio"), "w") as f:
            f.write(text.replace('FS "door_cycle" "3000" "2"', 'FS "door_cycle" "2500" "1"')
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
        self.assertEqual((status, errors), (1, []))
        self.assertEqual(re.sub(r", [A-Z][a-z]{2} .*?[0-9]{4}, ", ", DATE, ", out),
                         "lift_acceptance, DATE, %s: 3 testers\n"
                         "1 cabin: 2 steps, 2 passed, 0 failed, 0 inconclusive, 0 unknown, 0 ER; rendezvous gap 0 ms\n"
                         "2 landing: 2 steps, 0 passed, 1 failed, 1 inconclusive, 0 unknown, 1 ER; rendezvous gap 0 ms\n"
                         "3 supervisor: 2 steps, 2 passed, 0 failed, 0 inconclusive, 0 unknown, 0 ER; rendezvous gap 0 ms\n"
                         "all: 6 steps, 4 passed, 1 failed, 1 inconclusive, 0 unknown, 1 ER\n"
                         "merged: 3 steps, 1 passed, 1 failed, 1 inconclusive, 0 unknown, 0 failed without ER\n"
                         % self.rdd)

    def test_junit_gives_a_suite_per_tester_and_a_case_per_step(self):
        self.assertEqual(mpsrdd("junit", self.rdd), (0, "", []))
        xml = valid_junit(self, os.path.join(self.work, "mpsrdd.junit.xml"))
        suites = {suite.name: suite for suite in xml}
        self.assertEqual(list(suites), ["1 cabin", "2 landing", "3 supervisor"])
        cases = {name: [(c.classname, c.name, c.time, outcome(c)) for c in suite] for name, suite in suites.items()}
        self.assertEqual(cases, {
            "1 cabin": [("1 cabin.TI-01", "door_cycle", 1.75, ["passed"]),
                        ("1 cabin.TI-02", "call_to_floor", 3.9, ["passed"])],
            "2 landing": [("2 landing.TI-01", "door_cycle", 1.55, ["Skipped"]),
                          ("2 landing.TI-02", "call_to_floor", 3.9, ["Failure"])],
            "3 supervisor": [("3 supervisor.TI-00", "power_check", 4.0, ["passed"]),
                             ("3 supervisor.TI-02", "call_to_floor", 4.9, ["passed"])]})
        with open(self.rdd) as f:
            date = re.findall(r'"([^"]*)"', f.readline())[-1]
        merged_at = datetime.datetime.strptime(date, "%a %b %d %H:%M:%S %Y").isoformat()
        self.assertEqual([suite.timestamp for suite in xml], [merged_at] * 3)
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
            status, out, errors = mpsrdd("compare", self.rdd, new, "--html")
            self.assertEqual((status, errors), (1, []))
            self.assertEqual(out.splitlines()[3:], [
                "changed: TI-01 door_cycle, tester landing: inconclusive (2) -> failed (1)",
                "only in old: test item TI-00: power_check",
                "clock moved: tester landing: scale \u00d71, shift 5500 ms -> scale \u00d71, shift 5800 ms",
                "verdicts differ"])
            page = read_page(os.path.join(work, "mpsrdd.compare.html"))
            self.assertEqual([svg["attrs"]["id"] for svg in page.all("svg", cls="timeline")],
                             ["old-timeline", "new-timeline"])
            # Both runs are mpsrdd.rdd: their folders and dates tell them apart.
            self.assertEqual([h["text"] for h in page.all("h2", cls="run")],
                             ["Old: mpsrdd.rdd in %s, %s" % (os.path.abspath(self.work), header_date(self.rdd)),
                              "New: mpsrdd.rdd in %s, %s" % (os.path.abspath(work), header_date(new))])
            rows = lambda table: [[td["text"] for td in page.all("td", inside=tr)]
                                  for tr in page.all("tr", inside=page.all("table", cls=table)[0])][1:]
            # Landing's records in door_cycle end 300 ms later, as its clock moved.
            self.assertEqual(rows("timings"), [["TI-01", "door_cycle", "landing", "0:00:05.250", "1\u202f550 ms",
                                                "0:00:05.250", "1\u202f850 ms", "slower by 300 ms (+19.4 %)"]])
            self.assertEqual(rows("clocks"), [["landing", "scale \u00d71, shift 5500 ms", "scale \u00d71, shift 5800 ms",
                                               "+300 ms"]])
            self.assertEqual(page.all("dd", cls="changes")[0]["text"],
                             "Statuses changed: 1 \u00b7 Steps slower or faster: 1 \u00b7 Clocks moved: 1 \u00b7 "
                             "Testers of one run only: 0 \u00b7 Of one run only: 1 \u00b7 ER records of one run only: 0")
            ids = [e["attrs"]["id"] for e in page.elements if "id" in e["attrs"]]
            self.assertEqual(len(ids), len(set(ids)))
            self.assertEqual(len(page.all("tr", inside=page.all("table", cls="changed")[0])), 2)

    def test_long_lists_of_changes_are_folded(self):
        with scratch_dir() as work:
            write_crowded_rdd(os.path.join(work, "old.rdd"), 2, 30, 3)
            with open(os.path.join(work, "old.rdd")) as f:
                text = f.read()
            with open(os.path.join(work, "new.rdd"), "w") as f:
                f.write(re.sub(r'(FS "step \d+" "5") "1"', r'\1 "0"', text))
            self.assertEqual(mpsrdd("compare", "old.rdd", "new.rdd", "-o", "c.html", cwd=work)[0], 1)
            page = read_page(os.path.join(work, "c.html"))
        section = page.all("section", id="changed")[0]
        folded = page.all("details", inside=section)[0]
        self.assertEqual(len(page.all("tr", inside=page.all("table", inside=section)[0])), 1 + 10)
        self.assertEqual(len(page.all("tr", inside=folded)), 1 + 20)
        self.assertEqual(page.all("summary", inside=folded)[0]["text"], "20 more (30 in all)")

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


def rewrite(path, old, new):
    with open(path, "rb") as f:
        text = f.read()
    with open(path, "wb") as f:
        f.write(text.replace(old, new))


class ClockAgreement(unittest.TestCase):
    def test_summary_tells_each_testers_largest_rendezvous_gap(self):
        with scratch_dir() as work:
            rdd = run_merger(SOURCE, BUILD, "example_three_testers", work)
            with open(os.path.join(work, "drift.rdd"), "wb") as f:
                f.write(rdd.replace(b'RD "door_closed" "cabin" "0" "6000" "6000"', b'RD "door_closed" "cabin" "0" "6000" "6250"')
                        .replace(b'RD "floor_reached" "landing" "0" "13000" "13000"',
                                 b'RD "floor_reached" "landing" "0" "13000" "12600"'))
            status, out, _ = mpsrdd("summary", "drift.rdd", cwd=work)
            self.assertEqual([line.split("; ")[-1] for line in out.splitlines()[1:4]],
                             ["rendezvous gap 400 ms", "rendezvous gap 400 ms", "rendezvous gap 400 ms"])
            with open(os.path.join(work, "alone.rdd"), "wb") as f:
                f.write(rdd.replace(b'RD "door_closed" "cabin"', b'RD "door_opened" "cabin"')
                        .replace(b'RD "floor_reached" "cabin"', b'RD "floor_left" "cabin"'))
            status, out, _ = mpsrdd("summary", "alone.rdd", cwd=work)
            self.assertTrue(out.splitlines()[1].endswith("0 ER; no rendezvous shared"), out)


class JunitForCiServers(unittest.TestCase):
    def test_every_tick_label_gives_times(self):
        with scratch_dir() as work:
            rdd = run_merger(SOURCE, BUILD, "example_three_testers", work)
            for label, seconds in ((b"10us", 0.0175), (b"s", 1750), (b"100ns", 0.000175), (b"\xc2\xb5s", 0.00175),
                                   (b"ticks", None), (b"0ms", None)):
                with open(os.path.join(work, "t.rdd"), "wb") as f:
                    f.write(rdd.replace(b'"1" "ms" "', b'"1" "' + label + b'" "'))
                self.assertEqual(mpsrdd("junit", "t.rdd", cwd=work), (0, "", []))
                xml = valid_junit(self, os.path.join(work, "t.junit.xml"))
                self.assertEqual(list(list(xml)[0])[0].time, seconds, label)

    def test_testers_of_one_name_keep_apart(self):
        with scratch_dir() as work:
            run_merger(SOURCE, BUILD, "example_three_testers", work,
                       lambda run: [rewrite(os.path.join(run, name + ".rio"), b'SC "' + name.encode(), b'SC "sc')
                                    for name in ("cabin", "landing", "supervisor")])
            self.assertEqual(mpsrdd("junit", "mpsrdd.rdd", cwd=work)[0], 0)
            xml = valid_junit(self, os.path.join(work, "mpsrdd.junit.xml"))
            cases = [(c.classname, c.name) for suite in xml for c in suite]
            self.assertEqual(len(cases), 6)
            self.assertEqual(len(set(cases)), 6)
            self.assertIn(("2 sc.TI-02", "call_to_floor"), cases)

    def test_a_failure_without_er_record_names_its_fs_record(self):
        with scratch_dir() as work:
            run_merger(SOURCE, BUILD, "example_three_testers", work, landing_ran([NO_ER]))
            self.assertEqual(mpsrdd("junit", "mpsrdd.rdd", cwd=work)[0], 0)
            xml = valid_junit(self, os.path.join(work, "mpsrdd.junit.xml"))
            failure = list(list(xml)[1])[1].result[0]
            self.assertEqual(failure.text.strip(), "no ER record in this test step; its FS record is RDD line 78")


def all_named_sc(order=None, renamed=False):
    """Prepares the example with every scenario named sc, its RIO files in another order or under other names."""
    def prepare(run):
        names = ["cabin", "landing", "supervisor"]
        for name in names:
            rewrite(os.path.join(run, name + ".rio"), b'SC "' + name.encode(), b'SC "sc')
            if renamed:
                os.rename(os.path.join(run, name + ".rio"), os.path.join(run, "x" + name + ".rio"))
        with open(os.path.join(run, "args"), "w") as f:
            f.write("\n".join(["lift_acceptance.tdc"] + [("x" if renamed else "") + names[i] + ".rio" for i in order or (0, 1, 2)]))
    return prepare


def without_clocks(compared):
    """The lines of a comparison but those of moved clocks: the order of the files may move them."""
    return [line for line in compared.splitlines() if not line.startswith("clock moved: ")]


class TestersOfOneName(unittest.TestCase):
    def test_matched_by_rod_report_then_by_position(self):
        for prepare, told in ((all_named_sc((2, 0, 1)), "testers matched: 3 by ROD report and scenario, 0 by position"),
                              (all_named_sc(renamed=True), "testers matched: 0 by ROD report and scenario, 3 by position")):
            with scratch_dir() as old, scratch_dir() as new:
                run_merger(SOURCE, BUILD, "example_three_testers", old, all_named_sc())
                run_merger(SOURCE, BUILD, "example_three_testers", new, prepare)
                status, out, errors = mpsrdd("compare", os.path.join(old, "mpsrdd.rdd"), os.path.join(new, "mpsrdd.rdd"),
                                             "-o", os.path.join(new, "c.html"))
                self.assertEqual((status, without_clocks(out)[2:], errors), (0, [told, "same verdicts"], []))

    def test_a_changed_status_names_the_tester_by_its_rod_report(self):
        with scratch_dir() as old, scratch_dir() as new:
            run_merger(SOURCE, BUILD, "example_three_testers", old, all_named_sc())
            run_merger(SOURCE, BUILD, "example_three_testers", new,
                       lambda run: [all_named_sc((1, 2, 0))(run), landing_ran([PASSED])(run)])
            status, out, _ = mpsrdd("compare", os.path.join(old, "mpsrdd.rdd"), os.path.join(new, "mpsrdd.rdd"),
                                    "-o", os.path.join(new, "c.html"))
            self.assertEqual((status, without_clocks(out)[3:]),
                             (1, ["changed: TI-01 door_cycle, tester sc (landing.rod): inconclusive (2) -> passed (0)",
                                  "verdicts differ"]))


class VerdictsOfTheRddReport(unittest.TestCase):
    """The RDD report is the source of truth: a ROD report counts only while its size and CRC-16 match."""

    def test_a_rod_report_that_changed_or_went_gives_no_verdicts_of_its_own(self):
        for damage, why in ((lambda rod: os.remove(rod), "missing"),
                            (lambda rod: rewrite(rod, b'"campaign 7"', b'"campaign 7 "'), "changed (size)"),
                            (lambda rod: rewrite(rod, b'"campaign 7"', b'"campaign 9"'), "changed (CRC)")):
            with scratch_dir() as work:
                run_merger(SOURCE, BUILD, "example_three_testers", work)
                rod = os.path.join(work, ".", "supervisor.rod")
                damage(rod)
                warning = "mpsrdd: warning: ROD report %s of tester 3 supervisor: %s; " % (rod, why)
                status, out, errors = mpsrdd("summary", "mpsrdd.rdd", cwd=work)
                self.assertEqual(len(errors), 1, why)
                self.assertTrue(errors[0].startswith(warning), errors)
                self.assertEqual(out.splitlines()[3:], [
                    "3 supervisor: verdicts unknown (supervisor.rod: %s); merged: 2 steps, 1 passed, 1 failed, "
                    "0 inconclusive, 0 unknown, 0 ER; rendezvous gap 0 ms" % why,
                    "all: 4 steps, 2 passed, 1 failed, 1 inconclusive, 0 unknown, 1 ER; "
                    "2 steps of testers whose verdicts are unknown",
                    "merged: 3 steps, 1 passed, 1 failed, 1 inconclusive, 0 unknown, 0 failed without ER"], why)

    def test_a_rerun_with_a_changed_comment_compares_as_the_same(self):
        with scratch_dir() as work:
            run_merger(SOURCE, BUILD, "example_three_testers", work)
            os.mkdir(os.path.join(work, "last"))
            os.rename(os.path.join(work, "mpsrdd.rdd"), os.path.join(work, "last", "lift.rdd"))
            run_merger(SOURCE, BUILD, "example_three_testers", work,
                       lambda run: rewrite(os.path.join(run, "supervisor.rio"), b"campaign 7", b"campaign 9"))
            status, out, errors = mpsrdd("compare", "last/lift.rdd", "mpsrdd.rdd", "-o", "c.html", cwd=work)
            self.assertEqual((status, out.splitlines()[3:], len(errors)), (0, ["same verdicts"], 1))
            self.assertIn("supervisor.rod of tester 3 supervisor: changed (CRC)", errors[0])

    def test_archived_report_without_its_rod_reports(self):
        with scratch_dir() as work:
            run_merger(SOURCE, BUILD, "example_three_testers", work)
            for name in ("cabin", "landing", "supervisor"):
                os.remove(os.path.join(work, name + ".rod"))
            status, out, errors = mpsrdd("junit", "mpsrdd.rdd", cwd=work)
            self.assertEqual((status, len(errors)), (0, 3))
            xml = valid_junit(self, os.path.join(work, "mpsrdd.junit.xml"))
            self.assertEqual([suite.name for suite in xml], ["merged verdicts"])
            self.assertEqual((xml.tests, xml.failures, xml.skipped), (3, 1, 1))
            failure = [case for case in list(xml)[0] if outcome(case) == ["Failure"]][0]
            self.assertIn("position display shows 2", failure.result[0].text)
            properties = {p.name: p.value for p in list(xml)[0].properties()}
            self.assertEqual(properties["verdicts unknown for"], "1 cabin, 2 landing, 3 supervisor")

    def test_junit_keeps_the_testers_it_can_judge(self):
        with scratch_dir() as work:
            run_merger(SOURCE, BUILD, "example_three_testers", work)
            os.remove(os.path.join(work, "cabin.rod"))
            self.assertEqual(mpsrdd("junit", "mpsrdd.rdd", cwd=work)[0], 0)
            xml = valid_junit(self, os.path.join(work, "mpsrdd.junit.xml"))
            cases = {suite.name: [(c.name, outcome(c)) for c in suite] for suite in xml}
            self.assertEqual(cases, {
                "2 landing": [("door_cycle", ["Skipped"]), ("call_to_floor", ["Failure"])],
                "3 supervisor": [("power_check", ["passed"]), ("call_to_floor", ["passed"])],
                "merged verdicts": [("door_cycle", ["Skipped"]), ("call_to_floor", ["Failure"])]})

    def test_an_edited_merged_status_wins_over_the_rod_reports(self):
        with scratch_dir() as work:
            run_merger(SOURCE, BUILD, "example_three_testers", work)
            with open(os.path.join(work, "mpsrdd.rdd"), "rb") as f:
                rdd = f.read()
            with open(os.path.join(work, "edited.rdd"), "wb") as f:
                f.write(rdd.replace(b'FS "door_cycle" "3300" "2"', b'FS "door_cycle" "3300" "0"'))
            status, out, errors = mpsrdd("compare", "mpsrdd.rdd", "edited.rdd", "-o", "c.html", cwd=work)
            self.assertEqual(out.splitlines()[3:], ["changed: TI-01 door_cycle, merged: inconclusive (2) -> passed (0)",
                                                    "verdicts differ"])
            self.assertEqual(status, 1)
            self.assertEqual(errors, ['mpsrdd: warning: edited.rdd:53: FS status "0" is not what its testers\' ROD '
                                      "reports give; the RDD report's status stands for every tester"])
            status, out, _ = mpsrdd("summary", "edited.rdd", cwd=work)
            self.assertIn("2 landing: 2 steps, 1 passed, 1 failed, 0 inconclusive", out)


def landing_ran(changes):
    """Prepares the example with landing.rio changed: (old bytes, new bytes) pairs."""
    def prepare(run):
        for old, new in changes:
            rewrite(os.path.join(run, "landing.rio"), old, new)
    return prepare


PASSED = (b'FS "door_cycle" "3000" "2"', b'FS "door_cycle" "3000" "0"')
NOT_FAILED = (b'FS "call_to_floor" "5000" "1"', b'FS "call_to_floor" "5000" "0"')
NO_ER = (b'ER "landing" "position display shows 2 while the car stands at 3" "1" "105"\n', b"")


class Gate(unittest.TestCase):
    """summary exits as a test runner does; junit only when asked."""

    def test_exit_status_by_verdicts_and_level(self):
        levels = ([], ["--fail-on=failed"], ["--fail-on=inconclusive"], ["--fail-on=never"])
        for changes, summary, junit in (([], (1, 1, 1, 0), (0, 1, 1, 0)),
                                        ([NOT_FAILED], (0, 0, 1, 0), (0, 0, 1, 0)),
                                        ([NOT_FAILED, PASSED], (0, 0, 0, 0), (0, 0, 0, 0))):
            with scratch_dir() as work:
                run_merger(SOURCE, BUILD, "example_three_testers", work, landing_ran(changes))
                self.assertEqual(tuple(mpsrdd("summary", "mpsrdd.rdd", *level, cwd=work)[0] for level in levels), summary)
                self.assertEqual(tuple(mpsrdd("junit", "mpsrdd.rdd", *level, cwd=work)[0] for level in levels), junit)

    def test_a_failed_step_without_an_er_record_is_counted_and_named(self):
        with scratch_dir() as work:
            run_merger(SOURCE, BUILD, "example_three_testers", work, landing_ran([NO_ER]))
            status, out, _ = mpsrdd("summary", "mpsrdd.rdd", cwd=work)
            self.assertEqual((status, out.splitlines()[-2:]),
                             (1, ["merged: 3 steps, 1 passed, 1 failed, 1 inconclusive, 0 unknown, 1 failed without ER",
                                  "failed without ER: TI-02 call_to_floor (RDD line 78)"]))

    def test_trouble_is_two_whatever_the_level(self):
        for words in (["summary", "gone.rdd"], ["summary", "gone.rdd", "--fail-on=never"], ["page", "a.rdd", "--fail-on=never"],
                      ["summary", "a.rdd", "--fail-on=sometimes"], ["compare", "a.rdd", "b.rdd", "--fail-on=failed"]):
            status, out, errors = mpsrdd(*words)
            self.assertEqual((status, out, len(errors)), (2, "", 1), words)


class Conventions(unittest.TestCase):
    """- is standard input and output; --version; --help for every command; compare's page only when asked."""

    def test_version_and_help_of_every_command(self):
        status, out, errors = mpsrdd("--version")
        self.assertEqual((status, errors), (0, []))
        self.assertRegex(out, r"^mpsrdd [0-9.]+\n$")
        for command in ("page", "junit", "compare", "summary"):
            status, out, errors = mpsrdd(command, "--help")
            self.assertEqual((status, out.split()[:3], errors), (0, ["usage:", "mpsrdd", command], []))

    def test_dash_is_standard_input_and_output(self):
        with scratch_dir() as work:
            rdd = run_merger(SOURCE, BUILD, "example_three_testers", work)
            for words, starts in ((["page", "-", "-o", "-"], "<!DOCTYPE html>"), (["page", "-"], "<!DOCTYPE html>"),
                                  (["junit", "mpsrdd.rdd", "-o", "-"], "<?xml"), (["junit", "-"], "<?xml"),
                                  (["summary", "-"], "lift_acceptance, "), (["compare", "mpsrdd.rdd", "-"], "old: ")):
                done = subprocess.run([os.path.join(BUILD, "mpsrdd"), *words], input=rdd, capture_output=True, cwd=work)
                self.assertTrue(done.stdout.decode().startswith(starts), words)
                self.assertEqual(done.stderr, b"", words)
                self.assertEqual(sorted(f for f in os.listdir(work) if f.startswith("-") or f.endswith((".xml", ".html"))),
                                 ["mpsrdd.html"], words)  # the bridge's page only

    def test_compare_writes_its_page_only_when_asked(self):
        with scratch_dir() as work:
            run_merger(SOURCE, BUILD, "example_three_testers", work)
            os.remove(os.path.join(work, "mpsrdd.html"))
            for words, pages in (([], []), (["--html"], ["mpsrdd.compare.html"]), (["--html=c.html"], ["c.html"]),
                                 (["-o", "d.html"], ["d.html"])):
                status, out, _ = mpsrdd("compare", "mpsrdd.rdd", "mpsrdd.rdd", *words, cwd=work)
                self.assertEqual((status, out.splitlines()[-1]), (0, "same verdicts"), words)
                self.assertEqual(sorted(f for f in os.listdir(work) if f.endswith(".html")), pages, words)
                for page in pages:
                    os.remove(os.path.join(work, page))

    def test_a_report_that_is_no_regular_file_is_refused(self):
        with scratch_dir() as work:
            os.mkfifo(os.path.join(work, "f.rdd"))
            os.mkdir(os.path.join(work, "d.rdd"))
            for name in ("f.rdd", "d.rdd", "/dev/null"):
                for words in (["summary", name], ["page", name, "-o", "p.html"], ["compare", name, name]):
                    status, out, errors = mpsrdd(*words, cwd=work)
                    self.assertEqual((status, out, errors), (2, "", ["mpsrdd: %s: no regular file: give a report as a "
                                                                     "file, or - for standard input" % name]), words)


def headers_of_fields(*fields):
    """Prepares the example with RIO and TDC headers of only these fields, their file kind last."""
    def prepare(run):
        for name, kind in (("cabin.rio", "RIO"), ("landing.rio", "RIO"), ("supervisor.rio", "RIO"),
                           ("lift_acceptance.tdc", "TDC")):
            with open(os.path.join(run, name)) as f:
                lines = f.readlines()
            lines[0] = " ".join(["MIRVA ProbeSuite", *fields, '"%s file"' % kind]) + "\n"
            with open(os.path.join(run, name), "w") as f:
                f.writelines(lines)
    return prepare


def sanitized():
    """Whether BUILD is a sanitizer build, which cannot run under an address-space limit."""
    with open(os.path.join(BUILD, "CMakeCache.txt")) as f:
        return "MPS_SANITIZE:BOOL=ON" in f.read()


def limit_address_space():
    """1 GiB: a read without bound ends the run rather than the machine."""
    resource.setrlimit(resource.RLIMIT_AS, (1 << 30, 1 << 30))


class HostileSources(unittest.TestCase):
    def test_a_source_record_naming_what_is_no_rod_report(self):
        with scratch_dir() as work:
            rdd = run_merger(SOURCE, BUILD, "example_three_testers", work)
            os.mkfifo(os.path.join(work, "fifo.rod"))
            source = re.search(rb'CF "landing.rod" "[^"]*" "[^"]*" "[0-9]+" "[0-9]+"', rdd).group(0)
            for directory, name, why in ((b"/proc/self", b"pagemap", "unreadable"), (b".", b"fifo.rod", "no regular file"),
                                         (b"/", b"proc", "no regular file")):
                with open(os.path.join(work, "x.rdd"), "wb") as f:
                    f.write(rdd.replace(source, b'CF "%s" "%s" "%s" "0" "0"' % (name, directory, directory)))
                limited = subprocess.run([os.path.join(BUILD, "mpsrdd"), "summary", "x.rdd"], cwd=work, capture_output=True,
                                         preexec_fn=None if sanitized() else limit_address_space)
                self.assertEqual(limited.returncode, 1, limited.stderr)
                self.assertIn("2 landing: verdicts unknown (%s: %s)" % (name.decode(), why), limited.stdout.decode())


class ShortHeaders(unittest.TestCase):
    def test_every_report_the_merger_writes_is_read(self):
        for fields in ([], ['"v2.6a"']):
            with scratch_dir() as work:
                run_merger(SOURCE, BUILD, "example_three_testers", work, headers_of_fields(*fields))
                status, out, errors = mpsrdd("summary", "mpsrdd.rdd", cwd=work)
                self.assertEqual((status, errors), (1, []), fields)
                self.assertTrue(out.startswith("(no plan), "), out)
                self.assertEqual(mpsrdd("junit", "mpsrdd.rdd", cwd=work)[0], 0)
                xml = valid_junit(self, os.path.join(work, "mpsrdd.junit.xml"))
                self.assertEqual({p.name: p.value for p in list(xml)[0].properties()}["plan"], "(no plan)")

    def test_headers_are_read_from_their_end(self):
        with scratch_dir() as work:
            rdd = run_merger(SOURCE, BUILD, "example_three_testers", work)
            body = rdd[rdd.index(b"\n"):]
            for header, plan in ((b'"v2.6a" "lift" "RDD file" "Tue Mar 12 09:00:00 2024"', "lift"),
                                 (b'"v2.6a" "lift" "x" "RDD file" "Tue Mar 12 09:00:00 2024"', "lift x"),
                                 (b'"v2.6a"  "RDD file" "Tue Mar 12 09:00:00 2024"', "(no plan)"),
                                 (b'"v2.6a" "ROD file" "RDD file" "Tue Mar 12 09:00:00 2024"', "(no plan)"),
                                 (b'"RDD file" "Tue Mar 12 09:00:00 2024"', "(no plan)")):
                with open(os.path.join(work, "h.rdd"), "wb") as f:
                    f.write(b"MIRVA ProbeSuite " + header + b" " + body)
                status, out, errors = mpsrdd("summary", "h.rdd", cwd=work)
                self.assertEqual((status, errors), (1, []), header)
                self.assertEqual(out.split("\n")[0], "%s, Tue Mar 12 09:00:00 2024, h.rdd: 3 testers" % plan)


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
            self.assertEqual(mpsrdd("junit", "x.rdd", cwd=work)[:2], (0, ""))  # landing's ROD report is not found
            xml = valid_junit(self, os.path.join(work, "x.junit.xml"))
            replaced = '</script><img src=x onerror=alert(1)>mark<b>&amp;</b>]]><![CDATA[ x]]>\ufffd\ufffd[2J " \ufffd\ufffd \ufffd end'
            merged = list(xml)[2]
            self.assertEqual({p.name: p.value for p in merged.properties()}["verdicts unknown for"], "2 " + replaced)
            self.assertIn(replaced, list(merged)[1].result[0].text)
            self.assertEqual(mpsrdd("page", "x.rdd", cwd=work)[:2], (0, ""))
            page = read_page(os.path.join(work, "x.html"))
            self.assertEqual(len(page.all("script")), 1)
            self.assertEqual(page.all("b") + page.all("img"), [])
            self.assertIn("2 " + replaced, [t["text"] for t in page.all("text", cls="lane-name")])
            self.assertIn(replaced, [t["text"] for t in page.all("text", cls="lane-source")])
            folder = '<img src=x onerror=alert(1)>mark<b>&amp;" end'
            os.mkdir(os.path.join(work, folder))
            with open(os.path.join(work, folder, "x.rdd"), "wb") as f:
                f.write(rdd)
            self.assertEqual(mpsrdd("compare", "x.rdd", os.path.join(folder, "x.rdd"), "-o", "c.html", cwd=work)[0], 0)
            page = read_page(os.path.join(work, "c.html"))
            self.assertEqual((len(page.all("script")), page.all("b") + page.all("img")), (2, []))
            self.assertEqual(page.all("h2", cls="run")[1]["text"].split(", ")[0],
                             "New: x.rdd in " + os.path.join(work, folder))
            status, out, _ = mpsrdd("summary", "x.rdd", cwd=work)
            self.assertIn("2 " + replaced + ": verdicts unknown (", out)
            self.assertEqual(mpsrdd("trace", "x.rdd", cwd=work)[0], 0)
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
