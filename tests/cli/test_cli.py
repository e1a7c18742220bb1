"""resistance-tester-cli, the real program, against the real simulator program.

Each test gets a runtime folder of its own, where the simulator puts its socket
and where the program looks for it, as the link does.
"""

import csv
import io
import json
import os
import signal
import subprocess
import tempfile
import time
import unittest

import openpyxl

CLI = os.environ["TESTER_CLI"]
SIM = os.environ["TESTER_SIM"]
FILL_STORE = os.environ["TESTER_FILL_STORE"]

NO_INSTRUMENT, INTERRUPTED, LOST, USAGE = 2, 3, 4, 64
FAST = ["--time-scale", "0.01"]


class CliTestCase(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        os.chmod(self.folder.name, 0o700)
        self.env = dict(os.environ, XDG_RUNTIME_DIR=self.folder.name, HOME=self.folder.name, LANG="C.UTF-8",
                        LC_ALL="C.UTF-8")
        self.simulators = []

    def tearDown(self):
        for sim in self.simulators:
            if sim.poll() is None:
                sim.kill()
            sim.wait()
            if sim.stderr:
                sim.stderr.close()
        self.folder.cleanup()

    # logged: the simulator logs every request and answer to a pipe read only
    # when it ends, so a long read-out must go unlogged or it fills the pipe.
    def start_sim(self, *args, name="sim", logged=True):
        sim = subprocess.Popen([SIM, "--name", name, *(["--verbose"] if logged else []), *args], env=self.env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.PIPE if logged else subprocess.DEVNULL,
                               text=True)
        self.simulators.append(sim)
        deadline = time.monotonic() + 10
        while name + ".sock" not in self.cli("list").stdout:
            self.assertLess(time.monotonic(), deadline, "the simulator's socket never appeared")
            time.sleep(0.05)
        return sim

    def cli(self, *args, timeout=60):
        return subprocess.run([CLI, *args], env=self.env, capture_output=True, text=True, timeout=timeout)

    def popen_cli(self, *args):
        return subprocess.Popen([CLI, *args], env=self.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                text=True)

    def assertFailsWith(self, result, status):
        self.assertEqual(result.returncode, status, result.stderr)
        self.assertEqual(result.stdout, "")
        lines = result.stderr.strip().splitlines()
        self.assertEqual(len(lines), 1, result.stderr)
        self.assertTrue(lines[0].startswith("resistance-tester-cli: "), lines[0])

    @staticmethod
    def sim_requests(sim):
        """The requests the simulator logged, once it has ended."""
        sim.send_signal(signal.SIGTERM)
        _, log = sim.communicate(timeout=10)
        return [line for line in log.splitlines() if line.startswith("<-")]


class ArgumentsAndFinding(CliTestCase):
    def test_no_widgets_linked(self):
        libraries = subprocess.run(["ldd", CLI], capture_output=True, text=True, check=True).stdout
        self.assertIn("libQt5Core", libraries)
        self.assertNotIn("libQt5Widgets", libraries)

    def test_bad_arguments_are_refused_before_anything_is_sent(self):
        sim = self.start_sim()
        cases = [[], ["frobnicate"], ["list", "extra"], ["read", "--interval", "199"], ["read", "--interval", "801"],
                 ["read", "--count", "0"], ["read", "--count", "x"], ["read", "--format", "xml"], ["read", "--bogus"],
                 ["test"], ["test", "--dc", "--length"], ["test", "--dc", "--timeout", "0"]]
        for args in cases:
            with self.subTest(args=args):
                self.assertFailsWith(self.cli(*args), USAGE)
        self.assertEqual(self.sim_requests(sim), [])

    def test_nothing_found(self):
        self.assertEqual((self.cli("list").returncode, self.cli("list").stdout), (0, ""))
        for args in (["read", "--count", "1"], ["test", "--dc"], ["read", "--device", "/nowhere.sock"]):
            with self.subTest(args=args):
                self.assertFailsWith(self.cli(*args), NO_INSTRUMENT)

    def test_list_and_device_choice(self):
        self.start_sim(name="a")
        self.start_sim("--screen", "length", name="b")
        listed = [line.split("\t") for line in self.cli("list").stdout.splitlines()]
        paths = sorted(path for path, _ in listed)
        self.assertEqual([os.path.basename(p) for p in paths], ["a.sock", "b.sock"])
        self.assertEqual({reach for _, reach in listed}, {"simulator"})
        first = json.loads(self.cli("read", "--count", "1", "--format", "json").stdout)
        chosen = {path: json.loads(self.cli("read", "--count", "1", "--format", "json", "--device", path).stdout)
                  for path in paths}
        self.assertEqual(chosen[paths[0]]["test"], "dc")
        self.assertEqual(chosen[paths[1]]["test"], "length")
        self.assertEqual(first["test"], chosen[listed[0][0]]["test"])


class Language(CliTestCase):
    # The tool's own texts follow the system's language; field names and keys do not.
    def test_messages_and_help_in_the_system_language(self):
        cases = [(["frobnicate"], "unknown command: frobnicate", "未知命令：frobnicate"),
                 (["read", "--count", "0"], "--count must be a whole number from 1 to", "--count 须为 1 至"),
                 (["settings", "set", "phase=ZZ"], "phase cannot be ZZ; allowed: A0, B0", "phase 不能为 ZZ；允许：A0, B0"),
                 (["read"], "no instrument found", "未找到仪器"),
                 (["--help"], "Commands:", "命令："),
                 (["read", "--help"], "Stop after n readings", "读取 n 个读数后停止")]
        for language, column in (("C.UTF-8", 1), ("en_GB.UTF-8", 1), ("zh_CN.UTF-8", 2)):
            env = dict(self.env, LANG=language, LC_ALL=language)
            for case in cases:
                with self.subTest(language=language, args=case[0]):
                    result = subprocess.run([CLI, *case[0]], env=env, capture_output=True, text=True, timeout=30)
                    self.assertIn(case[column], result.stdout + result.stderr)


class Readings(CliTestCase):
    def test_json_and_csv_carry_the_same_fields(self):
        self.start_sim()
        result = self.cli("read", "--count", "3", "--interval", "200", "--format", "json")
        self.assertEqual(result.returncode, 0, result.stderr)
        readings = [json.loads(line) for line in result.stdout.splitlines()]
        self.assertEqual(len(readings), 3)
        for reading in readings:
            self.assertEqual(reading["test"], "dc")
            self.assertEqual(reading["charging"], False)
            self.assertEqual((reading["current_setting"], reading["converted_temp_c"]), ("10A", 75))
            self.assertAlmostEqual(reading["environment_temp_c"], float(reading["environment_temp"].rstrip("℃")))

        result = self.cli("read", "--count", "2", "--format", "csv")
        self.assertEqual(result.returncode, 0, result.stderr)
        rows = list(csv.DictReader(io.StringIO(result.stdout)))
        self.assertEqual(len(rows), 2)
        self.assertEqual(list(rows[0].keys()), sorted(readings[0].keys(), key=list(rows[0].keys()).index))
        self.assertEqual(set(rows[0].keys()), set(readings[0].keys()))
        self.assertEqual(rows[0]["current_setting"], "10A")

    def test_text_lines(self):
        self.start_sim()
        result = self.cli("read", "--count", "2", "--interval", "200")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual([line.split("\t")[0] for line in result.stdout.splitlines()], ["dc", "dc"])

    def test_interrupted_read_lets_the_instrument_go_like_a_finished_one(self):
        sim = self.start_sim()
        self.assertEqual(self.cli("read", "--count", "1").returncode, 0)
        finished = self.sim_requests(sim)
        sim = self.start_sim()
        reader = self.popen_cli("read", "--format", "json")
        self.assertEqual(json.loads(reader.stdout.readline())["test"], "dc")
        reader.send_signal(signal.SIGINT)
        out, err = reader.communicate(timeout=5)
        self.assertEqual(reader.returncode, 0, err)
        self.assertEqual(err, "")
        for line in out.splitlines():
            json.loads(line)
        self.assertEqual(self.sim_requests(sim)[-2:], finished[-2:])

    def test_no_test_page_ends_the_read(self):
        self.start_sim("--screen", "none")  # a menu refusing every reading
        started = time.monotonic()
        self.assertFailsWith(self.cli("read", "--count", "1"), 1)
        self.assertLess(time.monotonic() - started, 15)

    def test_instrument_lost_during_read(self):
        sim = self.start_sim()
        reader = self.popen_cli("read", "--format", "json")
        reader.stdout.readline()
        sim.kill()
        _, err = reader.communicate(timeout=30)
        self.assertEqual(reader.returncode, LOST, err)
        self.assertIn("instrument lost", err)


class Tests(CliTestCase):
    def test_dc_and_length_results(self):
        # Over the range the resistance has no number, only the instrument's text.
        cases = [("--dc", ["--sample-ohms", "0.05"], "tested_resistance_ohm", 0.05),
                 ("--dc", ["--sample-ohms", "5000"], "tested_resistance_ohm", None),
                 ("--length", ["--sample-metres", "120"], "conductor_length_m", 120.0)]
        for number, (option, sim_args, field, expected) in enumerate(cases):
            with self.subTest(option=option, sim=sim_args):
                self.start_sim(*FAST, *sim_args, name=f"sim{number}")
                result = self.cli("test", option, "--format", "json", "--timeout", "60",
                                  "--device", os.path.join(self.folder.name, "resistance-tester", f"sim{number}.sock"))
                self.assertEqual(result.returncode, 0, result.stderr)
                row = json.loads(result.stdout)
                self.assertEqual((row["test"], row["charging"]), (option[2:], False))
                if expected is None:
                    self.assertEqual((row[field], row["resistance_over_range"]), (None, True))
                    self.assertTrue(row["tested_resistance"].startswith(">"), row["tested_resistance"])
                else:
                    self.assertAlmostEqual(row[field], expected, delta=expected * 0.01)

    def test_interrupted_or_timed_out_test_is_stopped(self):
        sim = self.start_sim()  # a test at full length takes far longer than this
        tester = self.popen_cli("test", "--dc")
        time.sleep(1.5)
        tester.send_signal(signal.SIGINT)
        out, err = tester.communicate(timeout=10)
        self.assertEqual((tester.returncode, out), (INTERRUPTED, ""), err)
        self.assertIn("interrupted", err)
        self.sim_requests(sim)

        self.start_sim()
        started = time.monotonic()
        self.assertFailsWith(self.cli("test", "--length", "--timeout", "1"), INTERRUPTED)
        self.assertLess(time.monotonic() - started, 10)

    def test_refused_start(self):
        self.start_sim("--refuse")
        result = self.cli("test", "--dc")
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertIn("did not start", result.stderr)


class Settings(CliTestCase):
    def settings(self, *args):
        result = self.cli("settings", *args)
        self.assertEqual(result.returncode, 0, result.stderr)
        return dict(line.split("=", 1) for line in result.stdout.splitlines())

    def test_changes_reach_the_instrument_and_come_back(self):
        self.start_sim()
        pages = [{"conductor-no": "42", "conductor-temp": "-12.50", "tapping": "7", "winding": "high",
                  "material": "aluminium", "current": "AUTO", "converted-temp": "115", "phase": "BC"},
                 {"length-conductor-no": "9", "sample-no": "199", "wire-square": "2.5", "length-current": "40mA",
                  "standard": "set", "standard-value": "1.250", "standard-unit": "mohm"}]
        for changes in pages:
            with self.subTest(keys=list(changes)):
                self.assertEqual(self.settings("set", *(f"{k}={v}" for k, v in changes.items())), changes)
                self.assertEqual(self.settings("get", *changes), changes)
        # One change leaves the page's other settings as they were.
        self.assertEqual(self.settings("set", "tapping=8"), {"tapping": "8"})
        self.assertEqual(self.settings("get", *pages[0]), dict(pages[0], tapping="8"))

    def test_bad_settings_are_refused_before_anything_is_sent(self):
        sim = self.start_sim()
        cases = [["get", "voltage"], ["set", "tapping=100"], ["set", "tapping=1.5"], ["set", "phase=ZZ"],
                 ["set", "conductor-temp=100.5"], ["set", "wire-square=3.25"], ["set", "tapping"],
                 ["set", "tapping=1", "sample-no=2"], ["set"], ["frob"]]
        for args in cases:
            with self.subTest(args=args):
                result = self.cli("settings", *args)
                self.assertFailsWith(result, USAGE)
        self.assertIn("allowed: A0, B0, C0, AB, AC, BC", self.cli("settings", "set", "phase=ZZ").stderr)
        self.assertEqual(self.sim_requests(sim), [])

    def test_a_refused_setting_changes_nothing(self):
        self.start_sim("--battery", "1")  # refuses ranges above 400 mA
        self.assertEqual(self.settings("set", "current=400mA"), {"current": "400mA"})
        result = self.cli("settings", "set", "current=10A")
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertEqual(self.settings("get", "current"), {"current": "400mA"})


class Import(CliTestCase):
    RECORDS = 40

    def test_formats_hold_every_record(self):
        self.start_sim("--records", str(self.RECORDS))
        out = os.path.join(self.folder.name, "records")
        for fmt in ("csv", "json", "xlsx"):
            with self.subTest(format=fmt):
                result = self.cli("import", "--format", fmt, "--out", out + "." + fmt)
                self.assertEqual((result.returncode, result.stdout, result.stderr), (0, "", ""))
        with open(out + ".csv", newline="", encoding="utf-8") as f:
            rows = list(csv.DictReader(f))
        with open(out + ".json", encoding="utf-8") as f:
            records = [json.loads(line) for line in f]
        sheet = openpyxl.load_workbook(out + ".xlsx").active
        cells = [[cell.value for cell in row] for row in sheet.iter_rows()]
        self.assertEqual([int(row["record_no"]) for row in rows], list(range(1, self.RECORDS + 1)))
        self.assertEqual([r["record_no"] for r in records], list(range(1, self.RECORDS + 1)))
        self.assertEqual([row[0] for row in cells[1:]], [str(n) for n in range(1, self.RECORDS + 1)])
        for row, record, sheet_row in zip(rows, records, cells[1:]):
            self.assertEqual((row["test_time"], record["test_time"], sheet_row[1]),
                             (record["test_time"],) * 3)
            self.assertIn(record["tested_resistance"], sheet_row)
            if record["resistance_over_range"]:
                self.assertIsNone(record["tested_resistance_ohm"])
            else:
                self.assertEqual(record["resistance_limit"], "")
        with open(out + ".csv", encoding="utf-8") as f:
            self.assertEqual(self.cli("import").stdout, f.read())

    def test_keys_locked_while_the_records_are_read(self):
        sim = self.start_sim("--records", "45")  # two batches of requests
        self.assertEqual(self.cli("import").returncode, 0)
        kinds = {"AB CD 00 04 19 5A": "lock", "AB CD 00 04 19 A5": "unlock", "AB CD 00 07 07": "records"}
        steps = [kind for line in self.sim_requests(sim) for frame, kind in kinds.items() if line[3:].startswith(frame)]
        self.assertEqual(steps[:3], ["lock", "records", "records"])
        self.assertEqual(set(steps[3:]), {"unlock"})

    def test_damaged_record_is_named(self):
        self.start_sim("--records", "5", "--corrupt-record", "3")
        result = self.cli("import", "--format", "json")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual([json.loads(line)["record_no"] for line in result.stdout.splitlines()], [1, 2, 4, 5])
        self.assertIn("records not read: 3", result.stderr)

    def test_interrupted_or_lost_import_leaves_the_file_alone(self):
        for stop in ("sigint", "kill"):
            with self.subTest(stop=stop):
                # A simulator serves one client at a time: one each.
                sims = {kind: self.start_sim("--records", "2000", "--delay", "5", name=f"{stop}-{kind}", logged=False)
                        for kind in ("file", "streamed")}
                device = {kind: os.path.join(self.folder.name, "resistance-tester", f"{stop}-{kind}.sock")
                          for kind in sims}
                out = os.path.join(self.folder.name, stop + ".csv")
                with open(out, "w") as f:
                    f.write("earlier\n")
                # Started first, the import to the file is under way once the streamed one is.
                importer = self.popen_cli("import", "--device", device["file"], "--out", out)
                streamed = self.popen_cli("import", "--device", device["streamed"])
                streamed.stdout.readline()  # the header
                streamed.stdout.readline()  # a record: the read-out is under way
                for kind, client in (("streamed", streamed), ("file", importer)):
                    if stop == "sigint":
                        client.send_signal(signal.SIGINT)
                    else:
                        sims[kind].kill()
                _, err = streamed.communicate(timeout=30)
                self.assertEqual(streamed.returncode, INTERRUPTED if stop == "sigint" else LOST, err)
                _, err = importer.communicate(timeout=30)
                self.assertEqual(importer.returncode, INTERRUPTED if stop == "sigint" else LOST, err)
                with open(out) as f:
                    self.assertEqual(f.read(), "earlier\n")

    def test_workbook_needs_a_file(self):
        self.assertFailsWith(self.cli("import", "--format", "xlsx"), USAGE)
        self.assertFailsWith(self.cli("import", "--format", "text"), USAGE)


class History(CliTestCase):
    def store_path(self):
        return os.path.join(self.folder.name, ".local", "share", "resistance-tester", "resistance-tester",
                            "results.sqlite")

    def test_nothing_kept_yet(self):
        self.assertEqual(self.cli("history", "list").stdout, "")
        self.assertFailsWith(self.cli("history", "export", "1", "--out", os.path.join(self.folder.name, "x.csv")), 65)
        self.assertFalse(os.path.exists(self.store_path()))

    def test_sessions_listed_and_exported_without_changing_the_store(self):
        subprocess.run([FILL_STORE, "object:1#主变\tA|SN-7|城东", "dc:1|2026-01-01 10:00:00|7|a,\"b\"",
                        "dc:2|2026-01-01 10:01:00|8", "dc", "object:", "stored:1|2026-01-02 09:00:00|5", "stored",
                        "length:1|2026-01-03 08:00:00"],
                       env=self.env, check=True)
        with open(self.store_path(), "rb") as f:
            before = f.read()
        listed = [line.split("\t") for line in self.cli("history", "list").stdout.splitlines()]
        # The object's tab stays inside its field: every line has the same six fields.
        self.assertEqual([(row[0], row[1], row[4], row[5]) for row in listed],
                         [("2", "stored", "1", ""), ("1", "dc", "2", "1#主变 A / SN-7")])

        out = os.path.join(self.folder.name, "dc")
        for suffix in ("csv", "json", "xlsx"):
            with self.subTest(format=suffix):
                result = self.cli("history", "export", "1", "--out", f"{out}.{suffix}")
                self.assertEqual((result.returncode, result.stderr), (0, ""))
        with open(out + ".csv", newline="", encoding="utf-8") as f:
            rows = list(csv.reader(f))
        with open(out + ".json", encoding="utf-8") as f:
            objects = [json.loads(line) for line in f]
        sheet = [[c.value or "" for c in row] for row in openpyxl.load_workbook(out + ".xlsx").active.iter_rows()]
        header = rows[0]
        self.assertEqual((header[0], header[1], header[-1]), ("No.", "Test Time", "Remark"))
        self.assertEqual([row[:4] for row in rows[1:]],
                         [["1", "2026-01-01 10:00:00", "7", 'a,"b"'], ["2", "2026-01-01 10:01:00", "8", ""]])
        self.assertEqual([[o.get(h, "") for h in header] for o in objects], rows[1:])
        self.assertEqual(sheet, rows)

        self.assertFailsWith(self.cli("history", "export", "3", "--out", out + ".csv"), 65)  # the current session
        for args in (["history"], ["history", "export", "1"], ["history", "export", "x", "--out", out],
                     ["history", "export", "1", "--out", out, "--format", "pdf"]):
            with self.subTest(args=args):
                self.assertFailsWith(self.cli(*args), USAGE)
        with open(self.store_path(), "rb") as f:
            self.assertEqual(f.read(), before)

    def test_read_while_the_window_keeps_the_store(self):
        window = subprocess.Popen([FILL_STORE, "dc:1|2026-01-01 10:00:00|7", "dc", "--hold"], env=self.env,
                                  stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        try:
            self.assertEqual(window.stdout.readline(), "holding\n")
            listed = self.cli("history", "list")
            self.assertEqual((listed.returncode, listed.stderr), (0, ""))
            self.assertEqual([line.split("\t")[1] for line in listed.stdout.splitlines()], ["dc"])
            out = os.path.join(self.folder.name, "held.csv")
            self.assertEqual(self.cli("history", "export", "1", "--out", out).returncode, 0)
            with open(out, newline="", encoding="utf-8") as f:
                self.assertEqual(list(csv.reader(f))[1][:3], ["1", "2026-01-01 10:00:00", "7"])
            # A second writer is still refused: it would mix its rows into the window's.
            self.assertEqual(subprocess.run([FILL_STORE, "dc:2"], env=self.env).returncode, 1)
        finally:
            window.stdin.close()
            self.assertEqual(window.wait(timeout=10), 0)
            window.stdout.close()


if __name__ == "__main__":
    unittest.main(verbosity=2)
