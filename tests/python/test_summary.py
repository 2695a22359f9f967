"""kelview.summary against "kelview-cli summary", and a loaded profile's
numbers against its file: a profile is read once, so what happens to the
file later changes nothing computed from it."""
import os
import shutil
import tempfile
import unittest

import numpy as np

import kelview
import support


class Summary(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.library = kelview.Library(support.DEMO_KINETICS)

    def tool(self, folder, *options):
        return support.cli_json("summary", folder, "--format", "json", "--kinetics", support.DEMO_KINETICS, *options)

    def test_rows_are_the_tools(self):
        for window, mode, fields, options in (("all", None, {}, ()),
                                              ("all", "ppb", {}, ("--mode", "ppb")),
                                              ("headspace", "rate", {}, ("--window", "headspace", "--mode", "rate")),
                                              ("20:200", "ppb", {"feDe200": 2.5},
                                               ("--window", "20:200", "--mode", "ppb", "--set", "feDe200=2.5"))):
            with self.subTest(window=window, mode=mode):
                mine = kelview.summary(support.DEMO_DIR, window=window, mode=mode, library=self.library, jobs=2,
                                       **fields)
                tool = self.tool(support.DEMO_DIR, *options)
                self.assertTrue(mine)
                self.assertEqual(list(mine), tool["rows"])
                self.assertEqual(mine.skipped, tool["skipped"])

    def test_a_damaged_profile_is_skipped_with_its_reason(self):
        with tempfile.TemporaryDirectory() as folder:
            shutil.copy(support.DEMO_PROFILES[0], folder)
            damaged = os.path.join(folder, "damaged.kel")
            with open(damaged, "wb") as f:
                f.write(b"PK\x03\x04 not a zip archive at all")
            mine = kelview.summary([folder], library=self.library, jobs=1)
            self.assertEqual({row["file"] for row in mine}, {os.path.join(folder, "breath-01.kel")})
            self.assertEqual([s["file"] for s in mine.skipped], [damaged])
            self.assertTrue(mine.skipped[0]["reason"])
            self.assertEqual(list(mine), self.tool(folder)["rows"])

    def test_errors_name_what_they_were_on(self):
        with tempfile.TemporaryDirectory() as folder:
            with self.assertRaises(kelview.LoadError):
                kelview.summary(folder)  # no profiles in it
            missing = os.path.join(folder, "missing")
            with self.assertRaises(kelview.LoadError) as caught:
                kelview.summary([missing])
            self.assertEqual(caught.exception.file, missing)
        with self.assertRaises(kelview.FieldError):
            kelview.summary(support.DEMO_DIR, window="soon")
        with self.assertRaises(kelview.FieldError):
            kelview.summary(support.DEMO_DIR, mode="dh")
        with self.assertRaises(kelview.FieldError):
            kelview.summary(support.DEMO_DIR, feNoSuchField=1)

    @unittest.skipUnless(__import__("importlib").util.find_spec("pandas"), "pandas is not installed")
    def test_summary_as_a_table(self):
        mine = kelview.summary(support.DEMO_DIR, mode="ppb", library=self.library)
        table = mine.to_pandas()
        self.assertEqual(list(table.columns), kelview.SUMMARY_COLUMNS)
        self.assertEqual(len(table), len(mine))
        self.assertEqual(list(table["name"]), [row["name"] for row in mine])


class LoadedOnce(unittest.TestCase):
    def test_a_profile_keeps_its_numbers_when_its_file_changes(self):
        library = kelview.Library(support.DEMO_KINETICS)
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "profile.kel")
            shutil.copy(support.DEMO_PROFILES[0], path)
            profile = kelview.load(path)
            results = profile.results(mode="ppb", library=library)
            rates = profile.rates()
            ppb = profile.concentrations(library)
            self.assertEqual(profile.results(mode="ppb", library=library), results)

            shutil.copy(support.DEMO_PROFILES[1], path)  # another profile now under its name
            self.assertNotEqual(kelview.load(path).results(mode="ppb", library=library), results)
            self.assertEqual(profile.results(mode="ppb", library=library), results)
            np.testing.assert_array_equal(profile.rates(), rates)
            os.remove(path)
            later = profile.concentrations(library)
            self.assertEqual(list(later), list(ppb))
            for name in ppb:
                np.testing.assert_array_equal(later[name], ppb[name])

    def test_corrections_read_once_are_the_files_and_the_windows(self):
        # A legacy profile holds no corrections (the window's stand in for
        # the calculation, the record keeps none); a zipped one holds them.
        with tempfile.TemporaryDirectory() as folder:
            zipped = os.path.join(folder, "zipped.kel")
            support.cli("convert", support.DEMO_PROFILES[2], zipped)
            for path in (support.DEMO_PROFILES[2], zipped):
                with self.subTest(profile=os.path.basename(path)):
                    info = support.cli_json("info", path)
                    profile = kelview.load(path)
                    for key in ("De200", "Mr200", "Df73"):
                        self.assertEqual(profile.meta[key], info[key], key)
                    self.assertEqual(profile.results(), support.cli_json("results", path, "--mode", "rate",
                                                                         "--kinetics", support.DEMO_KINETICS))

    def test_series_outlive_each_other(self):
        profile = kelview.load(support.DEMO_PROFILES[0])
        library = kelview.Library(support.DEMO_KINETICS)
        first = profile.concentrations(library)
        kept = {name: values.copy() for name, values in first.items()}
        rates = profile.rates()
        del first
        again = profile.concentrations(library)
        for name, values in kept.items():
            np.testing.assert_array_equal(again[name], values)
        self.assertEqual(rates.shape, (profile.meta["nim"] // 2, profile.meta["njm"]))


if __name__ == "__main__":
    unittest.main()
