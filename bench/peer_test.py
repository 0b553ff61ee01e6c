#!/usr/bin/env python3
"""Tests the log files that scripts/bench --peer hands ttcn3_logmerge.

  peer_test.py GENERATE_RUN
"""
import glob
import os
import subprocess
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True
import peer  # noqa: E402

GENERATOR = None


def logged(*records):
    return [line.decode() for line in peer.log_lines([r.encode() for r in records])]


class Stamps(unittest.TestCase):
    def test_times_count_ticks_from_the_clock_start_and_untimed_records_keep_the_last(self):
        lines = logged('RE "r" "0"',
                       'SY "CLK-A" "7200" "500" "1000" "1000" "ms"',
                       'XI "3" "0" "0"',
                       'XX "A1" "action" "done"',
                       'DS "G0" "Test group" "STEP" "ID-G0" "1500" "0" "0"',
                       'YI "9999" "0"',
                       'CH "V0" "1" "ok"')
        self.assertEqual(lines, ['1970/Jan/01 02:00:00.500000 RE "r" "0"',
                                 '1970/Jan/01 02:00:00.500000 SY "CLK-A" "7200" "500" "1000" "1000" "ms"',
                                 '1970/Jan/01 02:00:00.503000 XI "3" "0" "0"',
                                 '1970/Jan/01 02:00:00.503000 XX "A1" "action" "done"',
                                 '1970/Jan/01 02:00:02.000000 DS "G0" "Test group" "STEP" "ID-G0" "1500" "0" "0"',
                                 '1970/Jan/01 02:00:02.000000 YI "9999" "0"',
                                 '1970/Jan/01 02:00:02.000000 CH "V0" "1" "ok"'])

    def test_fine_ticks_past_midnight_and_a_time_going_back(self):
        lines = logged('SY "CLK-B" "86399" "999990" "1000000" "1" "us"',
                       'EV "E1" "signal" "1" "info" "15"',
                       'SN "S1" "snap" "x" "1" "2" "3"')
        self.assertEqual([line[:27] for line in lines], ["1970/Jan/01 23:59:59.999990", "1970/Jan/02 00:00:00.000005",
                                                         "1970/Jan/02 00:00:00.000005"])

    def test_a_report_without_clock_or_with_a_bad_time_is_refused(self):
        with self.assertRaises(ValueError):
            logged('RE "r" "0"', 'XI "3" "0" "0"')
        with self.assertRaises(ValueError):
            logged('SY "C" "1" "0" "1000" "1000" "ms"', 'XI "soon" "0" "0"')
        with self.assertRaises(ValueError):
            logged('SY "C" "1" "0" "0" "1000" "ms"')


class GeneratedRuns(unittest.TestCase):
    def test_every_record_once_in_order_and_rendezvous_at_one_stamp(self):
        for shape, testers in (("plain", 6), ("nods", 5), ("testers", 40)):
            with self.subTest(shape=shape), tempfile.TemporaryDirectory() as run:
                subprocess.run([GENERATOR, "3", str(testers), "1500", run, shape], check=True)
                rendezvous = {}
                for rio in sorted(glob.glob(os.path.join(run, "t*.rio"))):
                    log = rio[:-4] + ".log"
                    count = peer.write_log(rio, log)
                    with open(rio, "rb") as f:
                        records = f.read().split(b"\n")[1:-1]
                    with open(log, "rb") as f:
                        lines = f.read().split(b"\n")[:-1]
                    self.assertEqual(count, len(records))
                    self.assertEqual([line[28:] for line in lines], records)
                    stamps = [line[:28] for line in lines]
                    self.assertTrue(all(peer.STAMP.fullmatch(s) for s in stamps))
                    self.assertEqual(stamps, sorted(stamps))
                    for stamp, record in zip(stamps, records):
                        if record.startswith(b"RD ") and b'"sync" "0"' in record:
                            self.assertEqual(rendezvous.setdefault(record.split(b'"')[1], stamp), stamp, record)
                self.assertTrue(rendezvous)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    GENERATOR = sys.argv.pop(1)
    unittest.main()
