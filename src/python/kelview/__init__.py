"""Kelview profiles from Python: load a profile, read its counts and rates,
compute concentrations and the window results with the program's own code.

    import kelview
    profile = kelview.load("breath-01.kel")
    profile.times, profile.counts, profile.rates()
    library = kelview.Library("demo-kinetics.txt")
    profile.concentrations(library)            # ppb per point, per compound
    profile.results(mode="ppb", library=library).to_pandas()
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


from ._kelview import Library, Profile, load  # noqa: E402

__all__ = ["load", "Library", "Profile", "Results", "Error", "LoadError", "KineticsError", "FieldError",
           "CalculationError", "DEMO_KINETICS"]
