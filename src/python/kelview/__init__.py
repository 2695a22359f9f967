"""Kelview profiles from Python: load a profile, read its counts and rates,
compute concentrations and the window results with the program's own code.

    import kelview
    profile = kelview.load("breath-01.kel")
    profile.times, profile.counts, profile.rates()
    library = kelview.Library("demo-kinetics.txt")
    profile.concentrations(library)            # ppb per point, per compound
    profile.results(mode="ppb", library=library).to_pandas()
    kelview.summary(["study/"], window="headspace", mode="ppb").to_pandas()
"""
import os

DEMO_KINETICS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "demo-kinetics.txt")


class Error(Exception):
    """A failure of kelview's work; `file` names the file it was on."""

    def __init__(self, message, file=None):
        super().__init__(message)
        self.file = file


class LoadError(Error):
    """A profile could not be read."""


class KineticsError(Error):
    """A kinetics library could not be read."""


class FieldError(Error):
    """A field is unknown or its value was refused."""


class CalculationError(Error):
    """The window calculation failed (a zero dwell, flow or the like)."""


class Results(dict):
    """The window results, as `kelview-cli results --format json` gives them."""

    def to_pandas(self):
        """One row per quantity: group, item, quantity, value, unit."""
        import pandas

        units = self.get("units", {})
        rows = []

        def walk(group, item, node):
            for key, value in node.items():
                if key in ("units", "name") and item is not None or key == "units":
                    continue
                if isinstance(value, dict):
                    walk(key if not group else group + "." + key, None, value)
                elif isinstance(value, list):
                    for element in value:
                        walk(key if not group else group + "." + key, element.get("name"), element)
                else:
                    rows.append((group, item, key, value, units.get(key, "")))

        walk("", None, self)
        return pandas.DataFrame(rows, columns=["group", "item", "quantity", "value", "unit"])


SUMMARY_COLUMNS = ["file", "date", "ion", "sample", "comment", "window", "name", "mean", "relative_error",
                   "detection_limit", "unit"]


class Summary(list):
    """A study's summary rows, as `kelview-cli summary --format json` lists
    them; `skipped` holds the profiles left out, each with its reason."""

    def __init__(self, rows, skipped):
        super().__init__(rows)
        self.skipped = skipped

    def to_pandas(self):
        """The long table: one row per profile, window and channel or compound."""
        import pandas

        return pandas.DataFrame([[row[c] for c in SUMMARY_COLUMNS] for row in self], columns=SUMMARY_COLUMNS)


def summary(paths, window="all", mode=None, library=None, jobs=None, **fields):
    """The window results of the profiles (*.kel) in the folders `paths` in
    one table, as `kelview-cli summary` makes it: window "all", "headspace"
    or "A:B" seconds; mode "rate" or "ppb" (None: as each profile opens);
    the fields as in `Profile.results`; jobs profiles at once (None: the
    cores). A profile that cannot be read or computed is left out and listed
    in `skipped`."""
    if isinstance(paths, (str, bytes, os.PathLike)):
        paths = [paths]
    rows, skipped = _summary([os.fsdecode(p) for p in paths], window, mode, library, jobs, **fields)
    return Summary(rows, skipped)


from ._kelview import Library, Profile, _summary, load  # noqa: E402

__all__ = ["load", "summary", "Library", "Profile", "Results", "Summary", "Error", "LoadError", "KineticsError", "FieldError",
           "CalculationError", "DEMO_KINETICS"]
