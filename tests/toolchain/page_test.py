#!/usr/bin/env python3
"""The bridge's page of end-to-end runs, of reports it must refuse, and of a huge run.

  page_test.py SOURCE_DIR BUILD_DIR
"""
import os
import re
import signal
import stat
import subprocess
import time
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bridge_page import (merge_generated_run, read_page, run_bridge, run_merger, scratch_dir,  # noqa: E402
                         write_crowded_rdd)

SOURCE, BUILD = sys.argv[1], sys.argv[2]


def lane_rows(page, report):
    """The marks of one lane, those drawn above all others included, counted by row."""
    counts = {}
    for lane in page.all("g", data_report=str(report)):
        for mark in page.all("rect", cls="m", inside=lane):
            row = mark["attrs"]["class"].split()[1]
            counts[row] = counts.get(row, 0) + 1
    return counts


def alignment(page):
    return {row["attrs"]["data-report"]: row["attrs"] for row in page.all("tr", inside=page.all("table", cls="alignment")[0])
            if "data-report" in row["attrs"]}


def item_statuses(page):
    """Per row of the test-item table, the raw status of each tester's step."""
    table = page.all("table", cls="items")[0]
    rows = [row for row in page.all("tr", inside=table) if "data-depth" in row["attrs"]]
    return [{cell["attrs"]["data-report"]: cell["attrs"].get("data-status")
             for cell in page.all("td", inside=row) if "data-report" in cell["attrs"]} for row in rows]


class ExampleRun(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = cls.enterClassContext(scratch_dir())
        run_merger(SOURCE, BUILD, "example_three_testers", cls.work)
        cls.page = read_page(os.path.join(cls.work, "mpsrdd.html"))

    def test_one_lane_per_tester_with_its_marks(self):
        lanes = self.page.all("g", cls="lane")
        self.assertEqual([lane["attrs"]["data-report"] for lane in lanes], ["1", "2", "3"])
        self.assertEqual([self.page.all("text", cls="lane-name", inside=lane)[0]["text"] for lane in lanes],
                         ["1 cabin", "2 landing", "3 supervisor"])
        self.assertEqual(lane_rows(self.page, 1), {"item": 2, "step": 2, "verdict": 2, "activity": 5, "rendezvous": 2})
        self.assertEqual(lane_rows(self.page, 2),
                         {"item": 2, "step": 2, "verdict": 2, "activity": 3, "rendezvous": 2, "error": 1})
        self.assertEqual(lane_rows(self.page, 3), {"item": 2, "step": 2, "verdict": 2, "activity": 3, "rendezvous": 3})

    def test_blocks_span_to_their_last_time_in_each_lane(self):
        steps = {(self.page.elements[m["parent"]]["parent"], m["attrs"]["data-t"], m["attrs"].get("data-e"))
                 for m in self.page.all("rect", cls="step") if "data-t" in m["attrs"]}
        spans = sorted((t, e) for _, t, e in steps)
        # door_cycle: cabin's last record at 7000, landing's at 6800; the DW runs to its FW at 5900.
        self.assertIn(("5250", "7000"), spans)
        self.assertIn(("5250", "6800"), spans)
        wait = self.page.all("rect", cls="dw")[0]["attrs"]
        self.assertEqual((wait["data-t"], wait["data-e"]), ("5400", "5900"))
        self.assertIn('DW "door_open" "cabin" "400" "500" "5400" "1" "13"', self.page.all("rect", cls="dw")[0]["text"])

    def test_rendezvous_are_joined_across_lanes(self):
        links = {link["attrs"]["data-name"]: link["attrs"]["data-reports"] for link in self.page.all("polyline", cls="rdv")}
        self.assertEqual(links, {"door_closed": "1 2 3", "floor_reached": "1 2 3"})

    def test_header_links_the_incorrect_scenario_to_its_mark(self):
        errors = self.page.all("dd", cls="errors")[0]
        self.assertEqual(errors["attrs"]["data-count"], "1")
        link = self.page.all("a", inside=errors)[0]
        self.assertIn("position display shows 2", errors["text"])
        mark = self.page.all("rect", id=link["attrs"]["href"][1:])[0]
        self.assertIn("error", mark["attrs"]["class"])
        self.assertEqual(mark["attrs"]["data-t"], "13000")

    def test_alignment_rows_give_the_scale_and_shift_of_each_clock(self):
        rows = alignment(self.page)
        self.assertEqual({r: (a.get("data-scale"), a.get("data-shift")) for r, a in rows.items()},
                         {"1": ("1", "5000"), "2": ("1", "5500"), "3": ("1000", "0")})

    def test_item_table_gives_each_testers_step_and_status(self):
        table = self.page.all("table", cls="items")[0]
        rows = [row for row in self.page.all("tr", inside=table) if "data-depth" in row["attrs"]]
        self.assertEqual([self.page.all("td", inside=row)[0]["text"] for row in rows],
                         ["TI-00 power_check", "TI-01 door_cycle", "TI-02 call_to_floor"])
        self.assertEqual(item_statuses(self.page), [{"3": "0"}, {"1": "0", "2": "2"}, {"1": "0", "2": "1", "3": "0"}])

    def test_one_script_and_no_resource_from_elsewhere(self):
        self.assertEqual(len(self.page.all("script")), 1)
        for e in self.page.elements:
            for name in ("src", "href"):
                self.assertFalse(e["attrs"].get(name, "#").partition("#")[0], e)


def replace_in(work, name, old, new):
    path = os.path.join(work, name)
    with open(path) as f:
        text = f.read()
    with open(path, "w") as f:
        f.write(text.replace(old, new))


def with_failed_door_cycle(work):
    """landing's door_cycle failed, without an ER record."""
    replace_in(work, "landing.rio", 'FS "door_cycle" "3000" "2"', 'FS "door_cycle" "3000" "1"')


class VerdictBanner(unittest.TestCase):
    def test_every_failed_step_heads_the_page_with_its_links(self):
        with scratch_dir() as work:
            run_merger(SOURCE, BUILD, "example_three_testers", work, with_failed_door_cycle)
            page = read_page(os.path.join(work, "mpsrdd.html"))
            banner = page.all("section", cls="banner")[0]
            self.assertEqual(banner["attrs"]["data-verdict"], "failed")
            self.assertEqual([c["attrs"]["data-count"] for c in page.all("span", cls="count", inside=banner)],
                             ["4", "2", "0", "0"])
            failed = [li for li in page.all("li", inside=page.all("div", cls="failed-steps")[0])]
            self.assertEqual([li["text"] for li in failed],
                             ["TI-01 door_cycle by 2 landing at 0:00:05.250 \xb7 in the table",
                              "TI-02 call_to_floor by 2 landing at 0:00:09.100, 1 ER record \xb7 in the table"])
            ids = {e["attrs"]["id"] for e in page.all() if "id" in e["attrs"]}
            for li in failed:
                for link in page.all("a", inside=li):
                    self.assertIn(link["attrs"]["href"][1:], ids)
            self.assertEqual([li["text"] for li in page.all("li", inside=page.all("div", cls="failing-testers")[0])],
                             ["2 landing: 2 failed steps, 1 ER record"])
            steps = page.all("rect", cls="failed")
            self.assertEqual(sorted(s["attrs"]["id"] for s in steps if "data-t" in s["attrs"]),
                             sorted(link["attrs"]["href"][1:] for li in failed for link in page.all("a", inside=li)[:1]))


def with_ie_records(work):
    for name in ("a.rio", "b.rio", "c.rio"):
        path = os.path.join(work, name)
        with open(path) as f:
            lines = f.readlines()
        lines.insert(3, 'IE "0" "lift" "v1" "1" "5"\n')
        with open(path, "w") as f:
            f.writelines(lines)


def with_late_rendezvous(work):
    """landing's floor_reached written 300 ms after the time it is matched by."""
    replace_in(work, "landing.rio", '"floor_reached" "landing" "0" "7500" "7500"',
               '"floor_reached" "landing" "0" "7500" "7800"')


class AlignmentScenarios(unittest.TestCase):
    def test_largest_rendezvous_gap_of_each_tester(self):
        for prepare, gap, text in ((None, "0", "0:00:00.000"), (with_late_rendezvous, "300", "0:00:00.300")):
            with scratch_dir() as work:
                run_merger(SOURCE, BUILD, "example_three_testers", work, prepare)
                page = read_page(os.path.join(work, "mpsrdd.html"))
                self.assertEqual({r: a.get("data-gap") for r, a in alignment(page).items()}, {"1": gap, "2": gap, "3": gap})
                rows = [row for row in page.all("tr") if row["attrs"].get("data-report") == "2"]
                self.assertEqual(page.all("td", inside=rows[0])[-1]["text"], text)
                lines = {link["attrs"]["data-name"]: link["attrs"]["data-t"] for link in page.all("polyline", cls="rdv")}
                self.assertEqual(lines["floor_reached"], "13000 %d 13000" % (13000 + int(gap)))

    def test_shifts_by_rendezvous_scale_and_first_records(self):
        with scratch_dir() as work:
            # Only a report with an IE record gets the source record that names it.
            run_merger(SOURCE, BUILD, "align_three_testers", work, with_ie_records)
            rows = alignment(read_page(os.path.join(work, "mpsrdd.html")))
            self.assertEqual({r: (a.get("data-scale"), a.get("data-shift")) for r, a in rows.items()},
                             {"1": ("1", "900"), "2": ("1000", "0"), "3": ("1", "500")})

    def test_gone_or_changed_rod_reports_are_not_available(self):
        with scratch_dir() as work:
            run_merger(SOURCE, BUILD, "example_three_testers", work)
            os.remove(os.path.join(work, "landing.rod"))
            with open(os.path.join(work, "cabin.rod"), "r+b") as f:
                f.seek(100)
                f.write(b"#")
            self.assertEqual(run_bridge(BUILD, work, "mpsrdd.rdd"), (0, []))
            page = read_page(os.path.join(work, "mpsrdd.html"))
            rows = alignment(page)
            self.assertEqual([rows[r]["data-available"] for r in "123"], ["no", "no", "yes"])
            cells = [row["text"] for row in page.all("tr") if row["attrs"].get("data-report") in ("1", "2")]
            self.assertIn("cabin.rod: changed (CRC)", cells[0])
            self.assertIn("landing.rod: missing", cells[1])
            self.assertIn("not available", cells[1])
            # Without their own reports only the merged status, the worst of all, is known.
            merged = [c["attrs"]["data-status"] for c in page.all("td", data_report="2") if "data-status" in c["attrs"]]
            self.assertEqual(merged, ["2", "1"])


EARLIER_PAGE = '<!DOCTYPE html>\n<html lang="en">\n<head>\n<meta charset="utf-8">\n<meta name="generator" content="mpsrdd">\n'


class BridgeOnItsOwn(unittest.TestCase):
    """The bridge run again on the example's report, as it is or changed."""

    def setUp(self):
        self.work = self.enterContext(scratch_dir())
        self.rdd = run_merger(SOURCE, BUILD, "example_three_testers", self.work)

    def test_a_refused_report_leaves_an_earlier_page_as_it_was(self):
        # Status 2, one line naming the report (mpsrdd_test.py has the reasons), and no page.
        with open(os.path.join(self.work, "bad.rdd"), "wb") as f:
            f.write(self.rdd[:-1])
        with open(os.path.join(self.work, "bad.html"), "w") as f:
            f.write(EARLIER_PAGE)
        status, lines = run_bridge(BUILD, self.work, "bad.rdd")
        self.assertEqual((status, lines), (2, ["mpsuml: " + os.path.join(self.work, "bad.rdd") +
                                               ":90: the last line is cut short (no line end)"]))
        self.assertEqual(sorted(n for n in os.listdir(self.work) if ".html" in n), ["bad.html", "mpsrdd.html"])
        with open(os.path.join(self.work, "bad.html")) as f:
            self.assertEqual(f.read(), EARLIER_PAGE)

    def test_the_page_takes_the_reports_mode(self):
        for mode in (0o600, 0o640, 0o444):
            os.chmod(os.path.join(self.work, "mpsrdd.rdd"), mode)
            self.assertEqual(run_bridge(BUILD, self.work, "mpsrdd.rdd"), (0, []))
            self.assertEqual(stat.S_IMODE(os.stat(os.path.join(self.work, "mpsrdd.html")).st_mode), mode)

    def test_interleaving_blocks_are_drawn(self):
        # A closing record of another kind, as reports whose constructs
        # interleave give: the page is still written.
        with open(os.path.join(self.work, "mixed.rdd"), "wb") as f:
            f.write(self.rdd.replace(b'YI "1" "8" "2" "8" ', b'YT "1" "8" "2" "8" '))
        self.assertEqual(run_bridge(BUILD, self.work, "mixed.rdd"), (0, []))


def with_four_field_fs(work):
    """FS records one field short: the merger then writes line numbers where the report numbers of a merged FS go."""
    for name in ("cabin.rio", "landing.rio", "supervisor.rio"):
        path = os.path.join(work, name)
        with open(path) as f:
            lines = [line.rsplit(" ", 1)[0] + "\n" if line.startswith("FS ") else line for line in f]
        with open(path, "w") as f:
            f.writelines(lines)


class Testers(unittest.TestCase):
    def test_testers_are_the_reports_with_whole_records(self):
        with scratch_dir() as work:
            run_merger(SOURCE, BUILD, "example_three_testers", work, with_four_field_fs)
            page = read_page(os.path.join(work, "mpsrdd.html"))
            self.assertEqual([lane["attrs"]["data-report"] for lane in page.all("g", cls="lane")], ["1", "2", "3"])
            # Merged FS records hold line numbers where report numbers belong: no status is claimed from them.
            self.assertEqual(item_statuses(page), [{"3": "0"}, {"1": "", "2": ""}, {"1": "", "2": "", "3": ""}])


class Budgets(unittest.TestCase):
    def test_the_page_of_any_report_stays_small(self):
        with scratch_dir() as work:
            write_crowded_rdd(os.path.join(work, "crowd.rdd"), 1500, 300, 30000)
            self.assertEqual(run_bridge(BUILD, work, "crowd.rdd"), (0, []))
            path = os.path.join(work, "crowd.html")
            self.assertLess(os.path.getsize(path), 40 << 20)
            with open(path, encoding="utf-8") as f:
                page = f.read()  # too large for the parser of read_page
            self.assertEqual(page.count('<g class="lane"'), 1000)
            notes = re.findall(r'<p class="note">([^<]*)</p>', page)
            self.assertIn("The first 1\u202f000 of 1\u202f500 testers are drawn, to keep the page small.", notes)
            self.assertTrue(any("test items are listed" in note for note in notes), notes)
            self.assertIn("&lt;&amp;&gt;\u2026 (", page)  # an ER text cut short


class HugeRun(unittest.TestCase):
    def merged_run(self, work, testers, records, shape, *options):
        """The path of the page of a generated run."""
        merge_generated_run(BUILD, work, 1, testers, records, shape, *options)
        return os.path.join(work, "mpsrdd.html")

    def test_records_of_a_time_merge_are_drawn_at_their_rod_times(self):
        # The merger drops each record's last two fields, here their times.
        with scratch_dir() as work:
            page = read_page(self.merged_run(work, 3, 300, "plain", "-TIME"))
            events = page.all("rect", cls="ev")
            self.assertGreater(len(events), 30)
            clocks = alignment(page)
            for event in events[::10]:
                report, line = [field.strip('"') for field in event["text"].split()[-2:]]
                with open(os.path.join(work, "t%03d.rod" % (int(report) - 1))) as f:
                    read = re.findall(r'"([^"]*)"', f.readlines()[int(line)])[4]
                scale, shift = int(clocks[report]["data-scale"]), int(clocks[report]["data-shift"])
                self.assertEqual(int(event["attrs"]["data-t"]), (scale * int(read) + shift) % 2 ** 32)
            for lane in page.all("g", cls="lane"):
                self.assertGreater(len(page.all("rect", cls="m", inside=lane)), 30)

    def test_crowded_lanes_become_density_bands(self):
        with scratch_dir() as work:
            page = read_page(self.merged_run(work, 2, 60000, "plain"))
            for lane in page.all("g", cls="lane"):
                self.assertEqual(lane["attrs"]["data-drawn"], "density")
                self.assertGreater(int(lane["attrs"]["data-marks"]), 5000)
                self.assertEqual(len(page.all("path", cls="density", inside=lane)), 1)
                self.assertEqual(page.all("rect", cls="m", inside=lane), [])
            self.assertIn("density bands", page.all("p", cls="note")[0]["text"])

    def test_every_lane_shows_its_incorrect_scenarios(self):
        # Over 2 000 ER records in lanes drawn as density bands: the marks
        # went to the first lanes until the budget ran out, and most links
        # pointed to nothing.
        with scratch_dir() as work:
            page = read_page(self.merged_run(work, 8, 55000, "mixed"))
            ids = {e["attrs"]["id"] for e in page.elements if "id" in e["attrs"]}
            marked = {}
            for group in page.all("g"):
                for mark in page.all("rect", cls="error", inside=group) if "data-report" in group["attrs"] else []:
                    report = mark["text"].split()[-2].strip('"')
                    self.assertEqual(report, group["attrs"]["data-report"], mark["text"])
                    marked[report] = marked.get(report, 0) + 1
            self.assertEqual(sorted(marked), [str(r) for r in range(1, 9)])
            self.assertGreater(min(marked.values()), 100)
            self.assertLessEqual(sum(marked.values()), 2000)
            links = page.all("a", inside=page.all("dd", cls="errors")[0])
            self.assertEqual(len(links), 100)
            self.assertEqual([a["attrs"]["href"] for a in links if a["attrs"]["href"][1:] not in ids], [])
            self.assertIn("ER records are not marked", " ".join(n["text"] for n in page.all("p", cls="note")))

    def test_a_signal_while_the_page_is_made_leaves_no_temporary(self):
        with scratch_dir() as work:
            page = self.merged_run(work, 2, 60000, "plain")
            with open(page, "rb") as f:
                before = f.read()
            for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
                bridge = subprocess.Popen([os.path.join(BUILD, "mpsuml"), "-path", work, "-name", "mpsrdd.rdd"],
                                          stderr=subprocess.DEVNULL, restore_signals=True)
                deadline = time.monotonic() + 20
                while not any(n.startswith(".mpsrdd.html") for n in os.listdir(work)):
                    self.assertLess(time.monotonic(), deadline, "no temporary seen")
                    self.assertIsNone(bridge.poll(), "the bridge ended before its temporary was seen")
                    time.sleep(0.001)
                bridge.send_signal(sig)
                self.assertEqual(bridge.wait(), -sig)
                self.assertEqual([n for n in os.listdir(work) if n.startswith(".")], [])
                with open(page, "rb") as f:
                    self.assertEqual(f.read(), before)

    def test_records_shared_by_many_testers_keep_the_page_small(self):
        # Each shared record's line holds every tester's numbers and is the
        # title of a mark in every lane: counted in marks alone, this page
        # took 60 MB.
        with scratch_dir() as work:
            path = self.merged_run(work, 200, 300, "testers")
            self.assertLess(os.path.getsize(path), 20 << 20)
            page = read_page(path)
            drawn = [lane for lane in page.all("g", cls="lane") if lane["attrs"]["data-drawn"] == "marks"]
            self.assertTrue(0 < len(drawn) < 200)
            with open(os.path.join(work, "mpsrdd.rdd"), encoding="utf-8") as f:
                lines = {line.rstrip(" \n") for line in f}
            marks = [mark for lane in page.all("g", data_report=drawn[0]["attrs"]["data-report"])
                     for mark in page.all("rect", cls="m", inside=lane)]
            self.assertEqual(len(marks), int(drawn[0]["attrs"]["data-marks"]))
            titles = [page.all("title", inside=mark)[0]["text"] for mark in marks]
            self.assertGreater(max(map(len, titles)), 1000)
            self.assertTrue(all(title in lines for title in titles))
            self.assertIn("shared by many testers", page.all("p", cls="note")[0]["text"])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
