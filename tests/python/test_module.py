"""The Python module against the command-line tool and against itself: its
arrays are the record's counts, its results are the tool's, its series are
the window's numbers point by point, and its errors name the file."""
import glob
import json
import os
import subprocess
import sys
import tempfile
import unittest

import numpy as np

import kelview
import support


def slot_of_point(info, point):
    return (point + info["jm"]) % info["njm"]


class Arrays(unittest.TestCase):
    def test_counts_times_and_meta_are_the_records(self):
        for path in support.DEMO_PROFILES:
            with self.subTest(profile=os.path.basename(path)):
                info = support.cli_json("info", path, "--counts")
                profile = kelview.load(path)
                njm = info["njm"]
                counts = profile.counts
                self.assertEqual(counts.shape, (len(info["Counts"]), njm))
                slots = [slot_of_point(info, i) for i in range(njm)]
                expected = np.array([[row[s] for s in slots] for row in info["Counts"]], dtype=np.int32)
                np.testing.assert_array_equal(counts, expected)
                self.assertIs(profile.counts, counts)  # one copy, kept
                meta = profile.meta
                for key in ("FileName", "njm", "jm", "nim", "p", "fc", "f1", "ProfileDate", "DateOrigin", "ion",
                            "comment", "IonMass"):
                    self.assertEqual(meta[key], info[key], key)
                self.assertEqual(meta["sample"], info["reactant"])
                self.assertEqual(meta["date"], info["ProfileDateIso"])
                np.testing.assert_array_equal(profile.times, np.arange(njm) * meta["cycle_time"])

    def test_header_only_reads_no_counts(self):
        profile = kelview.load(support.DEMO_PROFILES[0], header_only=True)
        self.assertTrue(profile.meta["header_only"])
        self.assertEqual(profile.counts.shape[1], 0)
        with self.assertRaises(kelview.LoadError):
            profile.rates()


class Results(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.library = kelview.Library(support.DEMO_KINETICS)

    def test_results_are_those_of_the_tool(self):
        path = support.DEMO_PROFILES[0]
        profile = kelview.load(path)
        for mode in support.MODES:
            with self.subTest(mode=mode):
                mine = profile.results(mode=mode, library=self.library)
                tool = support.cli_json("results", path, "--mode", mode, "--kinetics", support.DEMO_KINETICS)
                self.assertEqual(json.loads(json.dumps(mine)), tool)
        mine = profile.results(20, 200, mode="ppb", library=self.library, SensitMode=2, feDe200=2.5)
        tool = support.cli_json("results", path, "--mode", "ppb", "--select", "20:200", "--set", "SensitMode=2",
                                "--set", "feDe200=2.5")
        self.assertEqual(json.loads(json.dumps(mine)), tool)

    def test_rates_are_the_one_point_window_means(self):
        profile = kelview.load(support.DEMO_PROFILES[1])
        cycle = profile.meta["cycle_time"]
        for corrected in (True, False):
            rates = profile.rates(corrected=corrected)
            self.assertEqual(rates.shape[1], profile.meta["njm"])
            for point in (1, 7, profile.meta["njm"] - 1):
                with self.subTest(corrected=corrected, point=point):
                    window = profile.results(point * cycle, point * cycle, btnApplyDeMr=corrected)
                    self.assertEqual(window["window"]["firstPoint"], point)
                    means = [c["meanRate"] for c in window["channels"]]
                    self.assertEqual(len(means), rates.shape[0])
                    for c, mean in enumerate(means):
                        self.assertEqual(rates[c][point] if mean is not None else None, mean)
        self.assertFalse(np.array_equal(profile.rates(True), profile.rates(False)))

    def test_concentrations_are_the_one_point_window_ppb(self):
        profile = kelview.load(support.DEMO_PROFILES[0])
        cycle = profile.meta["cycle_time"]
        for fields in ({}, {"feDe200": 2.5, "feDeadT": 0.05}):
            ppb = profile.concentrations(self.library, **fields)
            self.assertTrue(ppb)
            for point in (1, 12, profile.meta["njm"] - 1):
                with self.subTest(fields=fields, point=point):
                    window = profile.results(point * cycle, point * cycle, mode="ppb", library=self.library, **fields)
                    names = [c["name"] for c in window["compounds"]]
                    self.assertEqual(names, list(ppb))
                    for c in window["compounds"]:
                        expected = c["ppb"] if c["ppb"] is not None else 0.0
                        self.assertEqual(ppb[c["name"]][point], expected, c["name"])
        self.assertFalse(all(np.array_equal(a, b) for a, b in zip(profile.concentrations(self.library).values(),
                                                                  profile.concentrations(self.library,
                                                                                         feDe200=2.5).values())))

    def test_library_lists_its_compounds(self):
        names = [c["name"] for c in self.library.compounds]
        quantified = kelview.load(support.DEMO_PROFILES[0]).results(mode="ppb", library=self.library)["compounds"]
        self.assertTrue(quantified)
        self.assertLessEqual({c["name"] for c in quantified}, set(names))
        formulas = {c["name"]: c["formula"] for c in self.library.compounds}
        for c in quantified:
            self.assertEqual(c["formula"], formulas[c["name"]])
        for compound in self.library.compounds:
            self.assertTrue(compound["precursors"] and compound["products"], compound["name"])
            self.assertTrue(all(p["rate_coefficient"] > 0 for p in compound["precursors"]), compound["name"])
        self.assertEqual(self.library.warnings, [])

    @unittest.skipUnless(__import__("importlib").util.find_spec("pandas"), "pandas is not installed")
    def test_results_as_a_table(self):
        table = kelview.load(support.DEMO_PROFILES[0]).results(mode="ppb", library=self.library).to_pandas()
        ppb = table[(table.group == "compounds") & (table.quantity == "ppb")]
        self.assertTrue(len(ppb) > 0)
        self.assertTrue((ppb.unit == "ppb").all())


class Errors(unittest.TestCase):
    def test_errors_carry_the_file(self):
        with tempfile.TemporaryDirectory() as folder:
            missing = os.path.join(folder, "missing.kel")
            with self.assertRaises(kelview.LoadError) as caught:
                kelview.load(missing)
            self.assertEqual(caught.exception.file, missing)
            self.assertIn("missing.kel", str(caught.exception))

            damaged = os.path.join(folder, "damaged.kel")
            with open(damaged, "wb") as f:
                f.write(b"PK\x03\x04 not a zip archive at all")
            with self.assertRaises(kelview.Error) as caught:
                kelview.load(damaged)
            self.assertEqual(caught.exception.file, damaged)
            self.assertIn("damaged.kel", str(caught.exception))

            with self.assertRaises(kelview.KineticsError) as caught:
                kelview.Library(os.path.join(folder, "none.txt"))
            self.assertIn("none.txt", str(caught.exception))

        profile = kelview.load(support.DEMO_PROFILES[0])
        with self.assertRaises(kelview.FieldError):
            profile.rates(feNoSuchField=1)
        with self.assertRaises(kelview.FieldError) as caught:
            profile.rates(feTg=10000)  # beyond the field's range
        self.assertEqual(caught.exception.file, support.DEMO_PROFILES[0])
        with self.assertRaises(ValueError):
            profile.results(mode="fast")


class Installed(unittest.TestCase):
    def test_the_installed_module_imports_from_a_fresh_interpreter(self):
        with tempfile.TemporaryDirectory() as prefix:
            subprocess.run([os.environ["KELVIEW_CMAKE"], "--install", os.environ["KELVIEW_BINARY_DIR"], "--component",
                            "python", "--prefix", prefix], check=True, capture_output=True)
            packages = glob.glob(os.path.join(prefix, "**", "kelview", "__init__.py"), recursive=True)
            self.assertEqual(len(packages), 1)
            site = os.path.dirname(os.path.dirname(packages[0]))
            script = ("import kelview, sys; p = kelview.load(sys.argv[1]); "
                      "print(kelview.__file__); print(p.results()['mode'], p.counts.shape[1] == p.meta['njm'])")
            env = {k: v for k, v in os.environ.items() if k != "PYTHONPATH"}
            env["PYTHONPATH"] = site
            done = subprocess.run([sys.executable, "-c", script, support.DEMO_PROFILES[0]], cwd=prefix, env=env,
                                  capture_output=True, check=True)
            lines = done.stdout.decode().splitlines()
            self.assertTrue(lines[0].startswith(prefix), lines)
            self.assertEqual(lines[1], "rate True")


if __name__ == "__main__":
    unittest.main()
